#include "core/SettingsStore.h"

#include "core/Preferences.h"
#include "core/Profile.h"
#include "core/StrFunc.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

using namespace SettingRules;
using Box = Preferences::Box;

SettingsStore::SettingsStore(Settings& settings, Preferences& live, QString iniPath)
    : m_settings(settings), m_live(live), m_iniPath(std::move(iniPath))
{
}

void SettingsStore::load()
{
    Settings& s = m_settings;
    // Each read sees the file as it is on disk at that moment.
    auto read = [this](const char* key) {
        return Profile::getPrivateString(kSettingsSection, QLatin1String(key), QString(), 255,
                                         m_iniPath);
    };
    // The field keeps the text as read; a number that is no check state shows as clear.
    auto readState = [&](Settings::Field& field, const char* key, Box box) {
        field = read(key);
        m_live.setCheckState(box, checkStateOf(field));
    };

    readState(s.SaveSourceDir, "SaveSourceDir", Preferences::RememberSource);
    readState(s.SaveTargetDir, "SaveTargetDir", Preferences::RememberTarget);
    if (m_live.isTicked(Preferences::RememberSource)) {
        s.SourceDir = read("SourceDir");
        m_live.setFolderText(Preferences::SourceFolder, *s.SourceDir);
    }
    if (m_live.isTicked(Preferences::RememberTarget)) {
        s.TargetDir = read("TargetDir");
        m_live.setFolderText(Preferences::TargetFolder, *s.TargetDir);
    }
    readState(s.ConfirmDel, "ConfirmDel", Preferences::ConfirmDel);
    readState(s.ClearQue, "ClearQue", Preferences::ClearQue);
    readState(s.ChunkSizeSave, "ChunkSizeSave", Preferences::ChunkSizeSave);
    const int chunk =
        wholeTextIsOne(s.ChunkSizeSave) ? chunkSizeOf(read("ChunkSize")) : kChunkDefault;
    s.ChunkSize = QString::number(chunk);
    m_live.setChunkSize(chunk);
}

bool SettingsStore::save(QString* error, bool fresh)
{
    QList<Profile::Write> writes;
    for (int i = 0; i < Settings::kFieldCount; ++i)
        writes.append({QLatin1String(Settings::kKeys[i]), m_settings.field(i)});

    QByteArray base;
    bool readable = true;
    if (!fresh && QFileInfo::exists(m_iniPath)) {
        const auto existing = Profile::readFile(m_iniPath);
        readable = existing.has_value();
        if (existing)
            base = *existing;
        else if (error)
            *error = QStringLiteral("the existing file could not be read");
    }
    bool written = false;
    if (readable) {
        const QByteArray updated = Profile::applyWrites(base, kSettingsSection, writes);
        written = (!fresh && updated == base && QFileInfo::exists(m_iniPath))
                      ? true
                      : Profile::replaceFile(m_iniPath, updated, error);
    }

    // Copy of the record: setting the chunk size may update the record itself.
    const Settings s = m_settings;
    m_live.setCheckState(Preferences::RememberSource, checkStateOf(s.SaveSourceDir));
    m_live.setCheckState(Preferences::RememberTarget, checkStateOf(s.SaveTargetDir));
    m_live.setFolderText(Preferences::SourceFolder, s.SourceDir.value_or(QString()));
    m_live.setFolderText(Preferences::TargetFolder, s.TargetDir.value_or(QString()));
    m_live.setCheckState(Preferences::ConfirmDel, checkStateOf(s.ConfirmDel));
    m_live.setCheckState(Preferences::ClearQue, checkStateOf(s.ClearQue));
    m_live.setCheckState(Preferences::ChunkSizeSave, checkStateOf(s.ChunkSizeSave));
    m_live.setChunkSize(chunkSizeOf(s.ChunkSize));
    return written;
}

bool SettingsStore::isUsable() const
{
    const std::optional<QByteArray> content = Profile::readFile(m_iniPath);
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
            QFile::remove(m_iniPath + QStringLiteral(".bad"));
            QFile::rename(m_iniPath, m_iniPath + QStringLiteral(".bad"));
        }
        m_settings = Settings::defaults(firstStartFolder);
    }
    // The file is rebuilt from nothing, so only what we write stays in it.
    save(nullptr, /*fresh=*/true);
}

bool SettingsStore::storePreferences(QString* error)
{
    auto stateText = [this](Box b) { return QString::number(m_live.checkState(b)); };
    Settings& s = m_settings;
    s.SaveSourceDir = stateText(Preferences::RememberSource);
    s.SaveTargetDir = stateText(Preferences::RememberTarget);
    // A folder whose switch is not ticked keeps its stored value.
    if (m_live.isTicked(Preferences::RememberSource))
        s.SourceDir = m_live.folderText(Preferences::SourceFolder);
    if (m_live.isTicked(Preferences::RememberTarget))
        s.TargetDir = m_live.folderText(Preferences::TargetFolder);
    s.ConfirmDel = stateText(Preferences::ConfirmDel);
    s.ClearQue = stateText(Preferences::ClearQue);
    s.ChunkSizeSave = stateText(Preferences::ChunkSizeSave);
    s.ChunkSize = QString::number(m_live.isTicked(Preferences::ChunkSizeSave) ? m_live.chunkSize()
                                                                              : kChunkDefault);
    return save(error);
}

QString SettingsStore::notSavedMessage(const QString& reason) const
{
    return QStringLiteral("The settings could not be saved to %1: %2.").arg(m_iniPath, reason);
}
