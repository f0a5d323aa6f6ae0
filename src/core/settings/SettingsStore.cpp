#include "core/settings/SettingsStore.h"
#include "core/settings/SettingRules.h"

#include "core/settings/Preferences.h"
#include "core/settings/Profile.h"
#include "platform/FileSystem.h"

#include <QStringDecoder>

using namespace SettingRules;
using Kind = SettingInfo::Kind;

SettingsStore::SettingsStore(Settings& settings, Preferences& live, FileSystem& files,
                             QString iniPath)
    : m_settings(settings), m_live(live), m_files(files), m_iniPath(std::move(iniPath))
{
}

QString SettingsStore::read(const char* key)
{
    const FileResult<QByteArray> content = m_files.readSmallFile(m_iniPath, Profile::kMaxFileSize);
    return content ? Profile::getString(*content, kSettingsSection, QLatin1String(key)) : QString();
}

void SettingsStore::load()
{
    for (const SettingInfo& s : kSettingTable) {
        Settings::Field& field = m_settings[s.id];
        switch (s.kind) {
        case Kind::Switch:
            // The field keeps the text as read; a number that is no check state shows as clear.
            field = read(s.key);
            m_live.setCheckState(s.id, checkStateOf(field));
            break;
        case Kind::Folder:
            if (m_live.isTicked(s.switchedBy)) {
                field = read(s.key);
                m_live.setFolderText(s.id, *field);
            }
            break;
        case Kind::ChunkSize: {
            const int chunk =
                wholeTextIsOne(m_settings[s.switchedBy]) ? chunkSizeOf(read(s.key)) : kChunkDefault;
            field = QString::number(chunk);
            m_live.setChunkSize(chunk);
            break;
        }
        }
    }
}

bool SettingsStore::save(QString* error, bool fresh)
{
    QList<Profile::Write> writes;
    for (const SettingInfo& s : kSettingTable)
        writes.append({QLatin1String(s.key), m_settings[s.id]});

    QByteArray base;
    bool readable = true;
    const bool exists = m_files.identity(m_iniPath).exists;
    if (!fresh && exists) {
        const FileResult<QByteArray> existing =
            m_files.readSmallFile(m_iniPath, Profile::kMaxFileSize);
        readable = bool(existing);
        if (existing)
            base = *existing;
        else if (error)
            *error = tr("the existing file could not be read");
    }
    bool written = false;
    if (readable) {
        const QByteArray updated = Profile::applyWrites(base, kSettingsSection, writes);
        if (!fresh && exists && updated == base) {
            written = true;
        } else {
            const FileError e = m_files.replaceFile(m_iniPath, updated);
            written = !e.failed();
            if (!written && error)
                *error = e.text();
        }
    }

    // Copy of the record: setting the chunk size may update the record itself.
    const Settings stored = m_settings;
    for (const SettingInfo& s : kSettingTable) {
        if (s.kind == Kind::Switch)
            m_live.setCheckState(s.id, checkStateOf(stored[s.id]));
        else if (s.kind == Kind::Folder)
            m_live.setFolderText(s.id, stored[s.id].value_or(QString()));
        else
            m_live.setChunkSize(chunkSizeOf(stored[s.id]));
    }
    return written;
}

bool SettingsStore::isUsable()
{
    const FileResult<QByteArray> content = m_files.readSmallFile(m_iniPath, Profile::kMaxFileSize);
    if (!content || content->contains('\0'))
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(*content);
    return !utf8.hasError() && Profile::hasSection(*content, kSettingsSection);
}

void SettingsStore::startUp(bool fileExists, const QString& firstStartFolder)
{
    if (fileExists && isUsable()) {
        load();
    } else {
        // A damaged file is kept beside for the user, and counts as none.
        if (fileExists) {
            const QString aside = m_iniPath + QStringLiteral(".bad");
            m_files.removeFile(aside);
            m_files.rename(m_iniPath, aside);
        }
        m_settings = Settings::defaults(firstStartFolder);
    }
    // The file is rebuilt from nothing, so only what we write stays in it.
    save(nullptr, /*fresh=*/true);
}

bool SettingsStore::storePreferences(QString* error)
{
    for (const SettingInfo& s : kSettingTable) {
        Settings::Field& field = m_settings[s.id];
        if (s.kind == Kind::Switch)
            field = QString::number(m_live.checkState(s.id));
        else if (s.kind == Kind::Folder && m_live.isTicked(s.switchedBy))
            field = m_live.folderText(s.id); // an unticked folder keeps its stored value
        else if (s.kind == Kind::ChunkSize)
            field =
                QString::number(m_live.isTicked(s.switchedBy) ? m_live.chunkSize() : kChunkDefault);
    }
    return save(error);
}

QString SettingsStore::notSavedMessage(const QString& reason) const
{
    return tr("The settings could not be saved to %1: %2.").arg(m_iniPath, reason);
}
