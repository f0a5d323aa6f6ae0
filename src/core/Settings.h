#pragma once

#include <QString>
#include <array>
#include <optional>

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
    /// The objectName of the control that shows the live value.
    const char* shownBy;
};

/// The settings, declared once: the record, the settings file, the live
/// preferences and the preferences window all follow this table, in its
/// order (which is the file's: a folder's switch comes before the folder).
inline constexpr SettingInfo kSettingTable[kSettingCount] = {
    {SettingId::SaveSourceDir, "SaveSourceDir", SettingInfo::Kind::Switch, "1",
     SettingId::SaveSourceDir, "ChkRememberSource"},
    {SettingId::SaveTargetDir, "SaveTargetDir", SettingInfo::Kind::Switch, "1",
     SettingId::SaveTargetDir, "ChkRememberTarget"},
    {SettingId::SourceDir, "SourceDir", SettingInfo::Kind::Folder, nullptr,
     SettingId::SaveSourceDir, "TextSourceDir"},
    {SettingId::TargetDir, "TargetDir", SettingInfo::Kind::Folder, nullptr,
     SettingId::SaveTargetDir, "TextTargetDir"},
    {SettingId::ConfirmDel, "ConfirmDel", SettingInfo::Kind::Switch, "1", SettingId::ConfirmDel,
     "ChkConfirmDel"},
    {SettingId::ClearQue, "ClearQue", SettingInfo::Kind::Switch, "0", SettingId::ClearQue,
     "ChkClearQue"},
    {SettingId::ChunkSizeSave, "ChunkSizeSave", SettingInfo::Kind::Switch, "1",
     SettingId::ChunkSizeSave, "ChkChunkSizeSave"},
    {SettingId::ChunkSize, "ChunkSize", SettingInfo::Kind::ChunkSize, "40000",
     SettingId::ChunkSizeSave, "SldrChunkSize"},
};

inline const SettingInfo& settingInfo(SettingId id)
{
    return kSettingTable[int(id)];
}

/// The stored preferences: one text per setting, each possibly without a
/// value (the file then has no line for it).
struct Settings
{
    using Field = std::optional<QString>;

    Field& operator[](SettingId id) { return m_fields[size_t(id)]; }
    const Field& operator[](SettingId id) const { return m_fields[size_t(id)]; }
    bool operator==(const Settings& o) const { return m_fields == o.m_fields; }

    /// First start: every setting at its first-start value, both folders `folder`.
    static Settings defaults(const QString& folder);

private:
    std::array<Field, kSettingCount> m_fields;
};

/// The section every caller uses.
inline const QString kSettingsSection = QStringLiteral("Preferences");

/// Conversions from stored texts to numbers.
namespace SettingRules {

/// The number a text starts with: leading blanks skipped, an optional sign,
/// digits with an optional "." fraction and exponent; 0 when the text does
/// not start with a number, +-infinity when it is too big for a double.
double leadingNumber(const QString& text);

/// Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double v);

/// Check state (0 clear, 1 ticked, 2 greyed) of a stored text. Anything
/// that does not round to 0, 1 or 2 counts as 0.
int checkStateOf(const Settings::Field& text);

/// Chunk size of a stored text (its rounded leading number), clamped into
/// kChunkMin..kChunkMax; a text without a number gives kChunkMin.
int chunkSizeOf(const Settings::Field& text);

/// Whether the whole text (surrounding blanks allowed) is a number equal to
/// 1: "1", " 1 ", "1.0" are; "", "1x", "01x" are not.
bool wholeTextIsOne(const Settings::Field& text);

} // namespace SettingRules
