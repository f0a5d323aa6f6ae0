#pragma once

#include "core/EventPump.h"
#include "core/Program.h"
#include "support/TestFileSystem.h"

#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <initializer_list>
#include <memory>

namespace TestSupport {

/// Writes `size` bytes to dir/name; byte i is (i * 131 + seed) % 251. Its path.
QString makeFile(const QString& dir, const QString& name, qint64 size, int seed = 0);

/// The bytes makeFile writes.
QByteArray pattern(qint64 size, int seed);

/// Bytes described piece by piece: "N:HEX@A,B" N bytes of filler (0x5a) with HEX at A and B
/// (at 0 unless told), "HEX*L*C" C frames of L bytes starting with HEX and filled with 0x11
/// (MPEG audio, say), "+N" N bytes of 0x11, "HEX" just those bytes.
QByteArray bytesOf(const QString& pieces);

/// The bytes of a text written on one line: "|" stands for "\n", "^" for "\r", "~" for NUL.
QByteArray lines(const QString& text);

/// A sparse file of `size` bytes (where only sizes matter); its path.
QString sized(const QString& dir, const QString& name, qint64 size);

/// A file's bytes, or "<missing>".
QByteArray readAll(const QString& path);

/// The system's text for an error number, as the program shows it.
QString reason(int error);

/// The settings file the program writes of the fields in the file's order, joined by "|"
/// ("<none>", or a field left out at the end: no line).
QByteArray iniFile(const QString& fields);

/// Writes `bytes` to `path`, replacing what was there; whether all of them went.
bool writeFile(const QString& path, const QByteArray& bytes);

/// Sources f0, f1... in `dir` with the given sizes: pattern(size, i + 1), or from 1 GiB on a
/// sparse "big" file with "!!!!!!!!!" at its start, across 2 GiB and at its end (sparseMarks).
/// Their paths; `bytes` (if given) gets the patterns joined, the sparse file left out.
QStringList makeSources(const QString& dir, const QList<qint64>& sizes,
                        QByteArray* bytes = nullptr);
/// Where a sparse source holds its marks.
QList<qint64> sparseMarks(qint64 size);

/// Another program at work in `dir` while a join runs: "rm NAME" (a pattern; exactly one file
/// must match), "mkdir NAME", "cut NAME" (to 20,010 bytes), "grow NAME" (to 60,000 bytes),
/// "old NAME" (3,000,000 bytes of pattern seed 9), "full" (the disk fills up after 50,000 more
/// bytes). False when the step could not be done.
bool meddle(const QString& dir, const QString& step, TestFileSystem& files);

/// What a file operation said: "ok" (or the size it found), or the system's reason.
QString said(const FileError& error);
QString said(const FileResult<qint64>& result);
template <typename T> QString said(const FileResult<T>& result)
{
    return result ? QStringLiteral("ok") : result.error().text();
}

/// "the five switches' states|source folder|target folder|chunk size" of the live preferences.
QString liveOf(Preferences& live);

/// While it lives no file grows beyond `bytes` (a full disk), and writes past that fail
/// instead of ending the program.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    bool active() const { return m_active; }

private:
    bool m_active = false;
    qint64 m_old[2] = {};
    void (*m_handler)(int) = nullptr;
};

/// A second path to `folder`: a FUSE view of it (bindfs), while it lives.
struct SecondPath
{
    explicit SecondPath(const QString& folder);
    ~SecondPath();
    QTemporaryDir view;
    bool mounted = false;
};

/// The files this process has open now.
QStringList openFiles();

/// Writes `bytes` into the file at `path` from `offset` on; whether all of them went.
bool writeAt(const QString& path, qint64 offset, const QByteArray& bytes);

/// `count` bytes of the file at `path` from `offset` on (fewer where it ends), or "<missing>".
QByteArray readAt(const QString& path, qint64 offset, qint64 count);

/// Makes a named pipe at `path`, a file no reader may wait for; whether it could.
bool makePipe(const QString& path);

/// One column of the rows, top down, joined by blanks: 0 names, 1 folders, 2 sizes.
QString column(const QList<QueueRow>& rows, int col = 0);

/// In a _data function: a QString column "row" and one row per text, tagged with the text
/// itself (two lists, as a long list does not fit the formatter's packing).
void addRows(std::initializer_list<const char*> rows, std::initializer_list<const char*> more = {});

/// The text of the current row of an addRows table.
QString row();

/// What the main window's Add, Remove, Clear, Join and Exit may do now, as 0/1.
QString commandBits(const JoinQueue& queue);

/// The program's pump in tests: it lets events in as the real one does,
/// counts, and then calls `onPump` with the count.
struct CountingPump : EventPump
{
    int count = 0;
    std::function<void(int)> onPump;
    void pumpEvents() override;
};

struct Core;

/// Runs queue commands on `core`'s queue, steps separated by "; ", with the program folder as
/// the working folder: "add FILE..." (each made in the program folder, the n-th n MiB unless
/// "FILE=BYTES" says; "-FILE": missing; "@FILE": named relative), "remember STATE" (of
/// RememberSource), "source [FOLDER]" (the live source folder), "remove|up|down|joined POS..."
/// (0-based; joined: gone after Delete Source Files), "clear", "sort COLUMN", "run" and "end"
/// a join, "locale NAME"; "names", "folders", "sizes" show that column, "folder" where Add
/// opens and the stored source folder. Returns "names | estimate | commandBits" and each
/// message or shown text after " | ". The working folder and the locale are restored.
QString queueSteps(Core& core, const QString& steps);

/// Feeds a ProgressThrottle with a bar `width` pixels wide: "bT" a batch of T bytes, "fL" the
/// next file (L bytes), "cD/S" a round (the file's bytes done/shown), "e" the end, each
/// showing "file% batch% fileBar batchBar changed"; "s0" starts frames, "mITEMS" marks items
/// changed, "tK/MS" takes a frame K kFrameMs and MS ms after 0 (showing the items painted),
/// "x" stops frames. Items are letters: l the file line, p and P the file's and the batch's
/// percentages, b and B their bars; "-" none. Returns what each step showed, joined by ", ".
QString progressSteps(int width, const QString& steps);

/// A join's progress as a test sees it: the batch's total, the files started, the rounds and
/// their last figures. The join must let events in right after each round: a round that the
/// join follows by anything but a pump first counts as missed. `afterRound(n)` runs in the
/// pump after round n. It takes over the pump's onPump.
struct RecordingProgress : JoinProgress
{
    explicit RecordingProgress(CountingPump& pump);
    qint64 total = -1;
    int files = 0, rounds = 0, missed = 0;
    JoinFigures last;
    std::function<void(int)> afterRound = [](int) {};
    void batchStarted(qint64 batchTotal) override { total = batchTotal; }
    void fileStarted(int, const JoinFigures&) override;
    void copied(const JoinFigures& figures) override;
    /// Rounds missed so far, the last one included when no pump has followed it yet.
    int unpumped() const { return missed + m_waiting; }

private:
    bool m_waiting = false;
};

/// The join's questions answered from a script: Join Anyway, and the save dialog's answer
/// (empty: cancelled) while `inDialog` runs; what the join asked and told is kept.
struct ScriptedPrompts : JoinSession::Prompts
{
    bool anyway = false;
    QString target, asked, told, dialogFolder;
    std::function<void()> inDialog = [] {};
    bool joinAnyway(const QString& question) override;
    QString chooseTarget(const QString& folder) override;
    void tell(const QString& message) override { told = message; }
};

/// A started program on a fresh program folder, without windows, on the
/// real file system with a scripted free space.
struct Core
{
    /// Names a program folder other than the fresh temporary one.
    struct InFolder
    {
        QString path;
    };

    QTemporaryDir folder; // the program folder, unless InFolder named another
    TestFileSystem files;
    CountingPump pump;
    std::unique_ptr<Program> program;

    /// Writes `ini` (if not null) as tarvik.ini before the start-up.
    explicit Core(const QByteArray& ini = QByteArray());
    explicit Core(const char* ini) : Core(QByteArray(ini)) {}
    /// Starts with `where.path` as the program folder; nothing is written
    /// there first.
    explicit Core(InFolder where);
    /// Starts with these locations.
    explicit Core(const Locations& where);
    virtual ~Core();

    Settings& settings() { return program->settings(); }
    Preferences& prefs() { return program->prefs(); }
    JoinQueue& queue() { return program->queue(); }
    JoinSession& join() { return program->join(); }

    QString programFolder() const { return m_programFolder; }
    QString iniPath() const;
    /// The settings file's bytes, or "<missing>".
    QByteArray iniBytes() const;
    /// The nine lines a first start writes for this program folder.
    QByteArray firstStartIni() const;

private:
    void start(const Locations& where);
    QString m_programFolder;
};

/// A started program with movies in a folder of their own, chunk 10,000 and one chunk a
/// round, the join's prompts answered from a script and its progress recorded. `phases` lists
/// the phases a join went through, as digits; `commandsAtEnd` holds the five commands (as
/// commandBits) when it ended; round 0 of the progress comes just before the copy. Deleted
/// files go to the trash in `home`.
struct JoinCore : Core, ScriptedPrompts
{
    QTemporaryDir movies, home; // home: the user's data folder, with its trash
    RecordingProgress progress{pump};
    QString phases, commandsAtEnd;

    JoinCore();
    ~JoinCore() override;
    QString at(const QString& name) const { return movies.filePath(name); }
    /// Join pressed, the save dialog answering `to`.
    bool run(const QString& to);
    /// Writes pattern(size, seed) (from 1 GiB on only its size) and queues it.
    void queueFile(const QString& name, qint64 size, int seed = 1);

private:
    QByteArray m_dataHome; // as it was before
};

} // namespace TestSupport
