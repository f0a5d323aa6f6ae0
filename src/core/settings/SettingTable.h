#pragma once

#include <QString>

/// The eight stored preferences, in the settings file's order.
enum class SettingId {
    SaveSourceDir,
    SaveTargetDir,
    SourceDir,
    TargetDir,
    ConfirmDel,
    ClearQue,
    ChunkSizeSave,
    ChunkSize,
};
constexpr int kSettingCount = 8;

constexpr int kChunkMin = 10000;
constexpr int kChunkMax = 70000;
constexpr int kChunkDefault = 40000;

/// One row of the table of settings.
struct SettingInfo
{
    enum class Kind {
        Switch,    ///< a check state: "0" clear, "1" ticked, "2" greyed
        Folder,    ///< a folder, stored only while its switch is ticked
        ChunkSize, ///< the slider's bytes, read only while its switch holds a whole 1
    };
    SettingId id;
    const char* key; ///< in the settings file's [Preferences] section
    Kind kind;
    /// The first start's text; a folder takes the first-start folder.
    const char* firstStart;
    /// The switch a folder or the chunk size depends on; a switch: itself.
    SettingId switchedBy;
};

/// The settings, declared once: the record, the settings file, the live
/// preferences and the preferences window all follow this table, in its
/// order (which is the file's: a folder's switch comes before the folder).
inline constexpr SettingInfo kSettingTable[kSettingCount] = {
    {SettingId::SaveSourceDir, "SaveSourceDir", SettingInfo::Kind::Switch, "1",
     SettingId::SaveSourceDir},
    {SettingId::SaveTargetDir, "SaveTargetDir", SettingInfo::Kind::Switch, "1",
     SettingId::SaveTargetDir},
    {SettingId::SourceDir, "SourceDir", SettingInfo::Kind::Folder, nullptr,
     SettingId::SaveSourceDir},
    {SettingId::TargetDir, "TargetDir", SettingInfo::Kind::Folder, nullptr,
     SettingId::SaveTargetDir},
    {SettingId::ConfirmDel, "ConfirmDel", SettingInfo::Kind::Switch, "1", SettingId::ConfirmDel},
    {SettingId::ClearQue, "ClearQue", SettingInfo::Kind::Switch, "0", SettingId::ClearQue},
    {SettingId::ChunkSizeSave, "ChunkSizeSave", SettingInfo::Kind::Switch, "1",
     SettingId::ChunkSizeSave},
    {SettingId::ChunkSize, "ChunkSize", SettingInfo::Kind::ChunkSize, "40000",
     SettingId::ChunkSizeSave},
};

inline const SettingInfo& settingInfo(SettingId id)
{
    return kSettingTable[int(id)];
}

/// The section every caller uses.
inline const QString kSettingsSection = QStringLiteral("Preferences");
