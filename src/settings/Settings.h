#pragma once

#include <QString>
#include <array>
#include <optional>

/// The stored preferences: eight texts, each possibly without a value,
/// named after the keys of the settings file and kept in the file's order.
struct Settings
{
    using Field = std::optional<QString>;

    Field SaveSourceDir;
    Field SaveTargetDir;
    Field SourceDir;
    Field TargetDir;
    Field ConfirmDel;
    Field ClearQue;
    Field ChunkSizeSave;
    Field ChunkSize;

    static constexpr int kFieldCount = 8;
    /// Key names in the record's (and the file's) order.
    static const std::array<const char*, kFieldCount> kKeys;

    Field& field(int i);
    const Field& field(int i) const;

    bool operator==(const Settings& o) const;
    bool operator!=(const Settings& o) const { return !(*this == o); }

    /// First start: every switch at its default, both folders `programFolder`.
    static Settings defaults(const QString& programFolder);
};

/// The section every caller uses.
inline const QString kSettingsSection = QStringLiteral("Preferences");
/// The settings file's name in the program folder.
inline const QString kSettingsFileName = QStringLiteral("tarvik.ini");

constexpr int kChunkMin = 10000;
constexpr int kChunkMax = 70000;
constexpr int kChunkDefault = 40000;

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

/// The live copy of the preferences: five check boxes, two folder boxes and
/// the chunk-size slider. The windows implement it; the settings loader and
/// writer only talk to this interface, so they run without any window.
class LiveSettings
{
public:
    enum Box { RememberSource, RememberTarget, ConfirmDel, ClearQue, ChunkSizeSave };
    enum Folder { SourceFolder, TargetFolder };

    virtual ~LiveSettings();

    /// Check states use the stored numbers: 0 clear, 1 ticked, 2 greyed.
    virtual int checkState(Box box) = 0;
    virtual void setCheckState(Box box, int state) = 0;
    virtual QString folderText(Folder folder) = 0;
    virtual void setFolderText(Folder folder, const QString& text) = 0;
    virtual int chunkSize() = 0;
    virtual void setChunkSize(int bytes) = 0;

    bool isTicked(Box box) { return checkState(box) == 1; }
};

/// Reads the section of the file `iniPath` into `settings`, copying each
/// value into its live control. Check-state fields keep their texts as
/// read; the chunk size is stored clamped into the slider's range, and is
/// 40000 unless the ChunkSizeSave text as a whole is the number 1. A file
/// that cannot be read reads as if every key were missing.
void LoadSettings(const QString& section, Settings& settings, const QString& iniPath,
                  LiveSettings& live);

/// Writes all eight fields into the section of `iniPath` (a field without
/// a value removes its key) and then sets every live control from them.
/// With `fresh` the file is rebuilt from nothing, as after deleting it.
/// The file is replaced atomically; returns false when it could not be
/// written (the program runs on with the values in memory); `error` (if
/// given) then gets the reason.
bool SaveSettings(const QString& section, Settings& settings, const QString& iniPath,
                  LiveSettings& live, bool fresh = false, QString* error = nullptr);

/// The message shown when the settings could not be saved on request.
QString settingsNotSavedMessage(const QString& iniPath, const QString& reason);

/// The start-up sequence: load an existing file or take the defaults, then
/// write the file anew. `iniPath` is the program folder + "/tarvik.ini";
/// `fileExists` is the main window's existence test of it.
/// Always completes.
void StartUpSettings(Settings& settings, const QString& iniPath, bool fileExists,
                     LiveSettings& live);
