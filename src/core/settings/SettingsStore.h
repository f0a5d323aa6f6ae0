#pragma once

#include "core/settings/Settings.h"

#include <QCoreApplication>
#include <QString>

class FileSystem;
class Preferences;

/// The settings file and the stored record: loading, saving, the start-up
/// sequence and OK in the preferences window.
///
/// Loading and saving copy every value into the live preferences as they
/// go. The file is replaced atomically; a failed save leaves the old file
/// as it was and the program runs on with the values in memory.
class SettingsStore
{
    Q_DECLARE_TR_FUNCTIONS(SettingsStore)

public:
    SettingsStore(Settings& settings, Preferences& live, FileSystem& files, QString iniPath);

    const QString& iniPath() const { return m_iniPath; }

    /// Reads the section into the record, copying each value into the live
    /// preferences. Switches keep their texts as read; a folder is read only
    /// while its switch is ticked; the chunk size is stored clamped into the
    /// slider's range, and is 40000 unless the ChunkSizeSave text as a whole
    /// is the number 1. A file that cannot be read (or is over
    /// Profile::kMaxFileSize) reads as if every key were missing.
    void load();

    /// Writes all eight fields (a field without a value removes its key),
    /// then sets every live value from them. With `fresh` the file is
    /// rebuilt from nothing, as after deleting it. Returns false when the
    /// file could not be written; `error` (if given) then gets the reason.
    bool save(QString* error = nullptr, bool fresh = false);

    /// Start-up: an existing file (`fileExists`) is loaded, otherwise the
    /// defaults are taken with both folders `firstStartFolder`; then
    /// the file is written anew, holding only what this program writes. A
    /// file that cannot be read, is not text (UTF-8 without NUL bytes) or has
    /// no [Preferences] section counts as none: it is kept beside as
    /// "tarvik.ini.bad". Always completes; failures are silent.
    void startUp(bool fileExists, const QString& firstStartFolder);

    /// OK in the preferences window: the live switches and folders (a folder
    /// only while its switch is ticked) and the chunk size (40000 unless it
    /// is kept) go into the record, which is then saved.
    bool storePreferences(QString* error = nullptr);

    /// The message shown when the settings could not be saved on request.
    QString notSavedMessage(const QString& reason) const;

private:
    /// The file's value of `key` as it is on disk now ("" when missing).
    QString read(const char* key);
    /// Whether the file can be read as a settings file at all.
    bool isUsable();

    Settings& m_settings;
    Preferences& m_live;
    FileSystem& m_files;
    QString m_iniPath;
};
