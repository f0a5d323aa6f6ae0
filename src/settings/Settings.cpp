#include "settings/Settings.h"

#include "queue/StrFunc.h"
#include "settings/Profile.h"

#include <QFileInfo>
#include <QLocale>
#include <cmath>

const std::array<const char*, Settings::kFieldCount> Settings::kKeys = {
    "SaveSourceDir", "SaveTargetDir", "SourceDir",     "TargetDir",
    "ConfirmDel",    "ClearQue",      "ChunkSizeSave", "ChunkSize"};

Settings::Field& Settings::field(int i)
{
    return const_cast<Field&>(static_cast<const Settings*>(this)->field(i));
}

const Settings::Field& Settings::field(int i) const
{
    switch (i) {
    case 0:
        return SaveSourceDir;
    case 1:
        return SaveTargetDir;
    case 2:
        return SourceDir;
    case 3:
        return TargetDir;
    case 4:
        return ConfirmDel;
    case 5:
        return ClearQue;
    case 6:
        return ChunkSizeSave;
    default:
        return ChunkSize;
    }
}

bool Settings::operator==(const Settings& o) const
{
    for (int i = 0; i < kFieldCount; ++i)
        if (field(i) != o.field(i))
            return false;
    return true;
}

Settings Settings::defaults(const QString& programFolder)
{
    Settings s;
    s.SaveSourceDir = QStringLiteral("1");
    s.SaveTargetDir = QStringLiteral("1");
    s.SourceDir = programFolder;
    s.TargetDir = programFolder;
    s.ConfirmDel = QStringLiteral("1");
    s.ClearQue = QStringLiteral("0");
    s.ChunkSizeSave = QStringLiteral("1");
    s.ChunkSize = QString::number(kChunkDefault);
    return s;
}

LiveSettings::~LiveSettings() = default;

namespace SettingRules {

double leadingNumber(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto isDigit = [&](qsizetype k) { return k < n && text[k] >= u'0' && text[k] <= u'9'; };
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    const qsizetype start = i;
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    bool any = false;
    while (isDigit(i)) {
        ++i;
        any = true;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        while (isDigit(i)) {
            ++i;
            any = true;
        }
    }
    if (!any)
        return 0.0;
    // An exponent counts only when digits follow it ("1e3", not "1e").
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == u'-' || text[j] == u'+'))
            ++j;
        if (isDigit(j)) {
            while (isDigit(j))
                ++j;
            i = j;
        }
    }
    bool ok = false;
    const double v = QLocale::c().toDouble(text.mid(start, i - start), &ok);
    if (std::isinf(v)) // too big for a double: still a huge number, not 0
        return v;
    return ok ? v : 0.0;
}

double roundHalfEven(double v)
{
    const double fl = std::floor(v);
    const double diff = v - fl;
    if (diff < 0.5)
        return fl;
    if (diff > 0.5)
        return fl + 1.0;
    return std::fmod(fl, 2.0) == 0.0 ? fl : fl + 1.0;
}

int checkStateOf(const Settings::Field& text)
{
    const double v = roundHalfEven(leadingNumber(text.value_or(QString())));
    if (v == 1.0)
        return 1;
    if (v == 2.0)
        return 2;
    return 0;
}

int chunkSizeOf(const Settings::Field& text)
{
    const double v = roundHalfEven(leadingNumber(text.value_or(QString())));
    if (!(v >= kChunkMin)) // also catches NaN
        return kChunkMin;
    if (v > kChunkMax)
        return kChunkMax;
    return static_cast<int>(v);
}

bool wholeTextIsOne(const Settings::Field& text)
{
    const QString t = text.value_or(QString()).trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    double v = QLocale::c().toDouble(t, &ok);
    if (!ok)
        v = QLocale().toDouble(t, &ok);
    return ok && v == 1.0;
}

} // namespace SettingRules

using namespace SettingRules;

void LoadSettings(const QString& section, Settings& s, const QString& iniPath, LiveSettings& live)
{
    // Each read sees the file as it is on disk at that moment.
    auto read = [&](const char* key) {
        return Profile::getPrivateString(section, QLatin1String(key), QString(), 255, iniPath);
    };
    // The field keeps the text as read; a number that is no check state shows as clear.
    auto readState = [&](Settings::Field& field, const char* key, LiveSettings::Box box) {
        field = read(key);
        live.setCheckState(box, checkStateOf(field));
    };

    readState(s.SaveSourceDir, "SaveSourceDir", LiveSettings::RememberSource);
    readState(s.SaveTargetDir, "SaveTargetDir", LiveSettings::RememberTarget);
    if (live.isTicked(LiveSettings::RememberSource)) {
        s.SourceDir = read("SourceDir");
        live.setFolderText(LiveSettings::SourceFolder, *s.SourceDir);
    }
    if (live.isTicked(LiveSettings::RememberTarget)) {
        s.TargetDir = read("TargetDir");
        live.setFolderText(LiveSettings::TargetFolder, *s.TargetDir);
    }
    readState(s.ConfirmDel, "ConfirmDel", LiveSettings::ConfirmDel);
    readState(s.ClearQue, "ClearQue", LiveSettings::ClearQue);
    readState(s.ChunkSizeSave, "ChunkSizeSave", LiveSettings::ChunkSizeSave);
    if (wholeTextIsOne(s.ChunkSizeSave)) {
        const int chunk = chunkSizeOf(read("ChunkSize"));
        s.ChunkSize = QString::number(chunk);
        live.setChunkSize(chunk);
    } else {
        s.ChunkSize = QString::number(kChunkDefault);
        live.setChunkSize(kChunkDefault);
    }
}

bool SaveSettings(const QString& section, Settings& s, const QString& iniPath, LiveSettings& live,
                  bool fresh, QString* error)
{
    QList<Profile::Write> writes;
    for (int i = 0; i < Settings::kFieldCount; ++i)
        writes.append({QLatin1String(Settings::kKeys[i]), s.field(i)});

    QByteArray base;
    bool readable = true;
    if (!fresh && QFileInfo::exists(iniPath)) {
        const auto existing = Profile::readFile(iniPath);
        readable = existing.has_value();
        if (existing)
            base = *existing;
        else if (error)
            *error = QStringLiteral("the existing file could not be read");
    }
    bool written = false;
    if (readable) {
        const QByteArray updated = Profile::applyWrites(base, section, writes);
        written = (!fresh && updated == base && QFileInfo::exists(iniPath))
                      ? true
                      : Profile::replaceFile(iniPath, updated, error);
    }

    // Copy of the record: setting the slider may update the record itself.
    const Settings snapshot = s;
    live.setCheckState(LiveSettings::RememberSource, checkStateOf(snapshot.SaveSourceDir));
    live.setCheckState(LiveSettings::RememberTarget, checkStateOf(snapshot.SaveTargetDir));
    live.setFolderText(LiveSettings::SourceFolder, snapshot.SourceDir.value_or(QString()));
    live.setFolderText(LiveSettings::TargetFolder, snapshot.TargetDir.value_or(QString()));
    live.setCheckState(LiveSettings::ConfirmDel, checkStateOf(snapshot.ConfirmDel));
    live.setCheckState(LiveSettings::ClearQue, checkStateOf(snapshot.ClearQue));
    live.setCheckState(LiveSettings::ChunkSizeSave, checkStateOf(snapshot.ChunkSizeSave));
    live.setChunkSize(chunkSizeOf(snapshot.ChunkSize));
    return written;
}

void StartUpSettings(Settings& settings, const QString& iniPath, bool fileExists,
                     LiveSettings& live)
{
    if (fileExists) {
        LoadSettings(kSettingsSection, settings, iniPath, live);
    } else {
        settings = Settings::defaults(StrFunc::LeftOfLast(iniPath, QStringLiteral("/")));
    }
    // The file is rebuilt from nothing, so only what we write stays in it.
    SaveSettings(kSettingsSection, settings, iniPath, live, /*fresh=*/true);
}

QString settingsNotSavedMessage(const QString& iniPath, const QString& reason)
{
    return QStringLiteral("The settings could not be saved to %1: %2.").arg(iniPath, reason);
}
