#include "core/settings/Settings.h"

Settings Settings::defaults(const QString& folder)
{
    Settings s;
    for (const SettingInfo& info : kSettingTable)
        s[info.id] =
            info.kind == SettingInfo::Kind::Folder ? folder : QString::fromLatin1(info.firstStart);
    return s;
}
