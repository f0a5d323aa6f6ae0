#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <memory>

#include "platform/FileSystem.h"

/// Figures of the copy after one round, in bytes.
struct JoinFigures
{
    qint64 batchTotal = 0; // sum of the sources' lengths taken before the copy
    qint64 batchDone = 0;  // bytes of the batch copied so far
    qint64 fileLength = 0; // length of the current source when it was opened
    qint64 fileDone = 0;   // bytes of the current source copied so far
    /// What the file percentage shows: it trails fileDone by the last chunk
    /// copied, until the source's last round, after which it equals fileDone.
    qint64 fileShown = 0;
};

/// The copy loop's view of whoever shows its progress (the status window,
/// a test, a benchmark). Every call comes from inside CopyLoop::run().
class JoinProgress
{
public:
    virtual ~JoinProgress();

    /// The batch's total length is known; nothing has been copied yet.
    virtual void batchStarted(qint64 batchTotal) = 0;

    /// Source `index` (0-based, queue order) is open; its copy starts.
    virtual void fileStarted(int index, const JoinFigures& figures) = 0;

    /// A round (whole chunks, or the tail of a source) has been copied.
    virtual void copied(const JoinFigures& figures) = 0;

    /// Lets other events in: called once after each round, and between files
    /// when the last call is 20 ms ago. CopyLoop::cancel() called from here
    /// stops the copy before the next round.
    virtual void pumpEvents() = 0;
};

/// How the copy loop moves its rounds.
struct CopyOptions
{
    /// Let the kernel copy where it can; false: read and write always.
    bool kernelCopy = true;
    /// Chunks a round moves; 0: as the time rounds take suggests.
    int chunksPerRound = 0;
};

/// Joins files byte for byte into one target, without any window.
///
/// The copy goes in rounds. A round moves a whole number of chunks of the
/// current source (a source's tail, less than a chunk, is its last round),
/// reports the figures and pumps events once; Cancel takes effect at the
/// next round, so a cancelled join ends with a whole chunk. How many chunks
/// a round moves is the loop's own choice: it follows the time rounds take,
/// so that a round holds the event loop about 5 ms and never much above
/// 20 ms, however fast or slow the disk. The kernel copies where it can
/// (FileSystem::copyRange); where it refuses, the loop reads and writes the
/// same rounds itself, through one buffer, for the rest of the run.
///
/// The run writes into a new file with a temporary name beside the target
/// and gives it the target's name only when it ends, joined or cancelled
/// (then it ends with the last whole chunk read); an existing target is
/// replaced only then. A join counts as done only when it is proven: every
/// source was read to its end at its turn and was exactly as long as when
/// it was opened, the file written is as long as the bytes read, and after
/// the renaming the target's name leads to that file. A failure (running out
/// of memory included) stops the run, closes every file it opened, removes
/// the temporary file, leaves an existing target as it was, and leaves a
/// message naming the file, the operation, the system's reason and what
/// became of the target. The caller checks beforehand that the target is
/// none of the sources and no special file.
/// Paces a long look at many files (their sizes, their kinds...) so that
/// events come in about every 20 ms. It looks at the clock only every 64
/// files, so a short queue never stops for events.
class FilePace
{
public:
    FilePace() { m_since.start(); }
    /// `files` more were looked at; true when events are due now.
    bool due(int files = 1);

    static constexpr int kFilesPerCheck = 64;

private:
    QElapsedTimer m_since;
    qint64 m_count = 0;
    qint64 m_nextCheck = kFilesPerCheck;
};

class CopyLoop
{
public:
    enum class Outcome { Joined, Cancelled, Failed };

    using Options = CopyOptions;

    /// The buffer of a read-and-write round, which goes in pieces of it: as
    /// large as cat's writes. (1 MiB writes measured several times slower on ext4.)
    static constexpr qint64 kBufferBytes = qint64(1) << 17;
    /// The most a round moves: about 4 ms at 4 GB/s.
    static constexpr qint64 kMaxRoundBytes = qint64(16) << 20;

    /// `sources` are full paths in join order; `chunkSize` > 0.
    CopyLoop(FileSystem& files, QStringList sources, QString target, int chunkSize,
             JoinProgress& progress, Options options = Options());

    /// The chunks the next round moves after a round of `chunks` took
    /// `roundNs`: twice as many when it was quick, half as many when slow,
    /// within 1 and `most`.
    static qint64 nextRoundChunks(qint64 chunks, qint64 roundNs, qint64 most);
    ~CopyLoop();

    CopyLoop(const CopyLoop&) = delete;
    CopyLoop& operator=(const CopyLoop&) = delete;

    /// Runs the whole join once.
    Outcome run();

    /// Stops the copy before its next chunk (from JoinProgress::pumpEvents,
    /// or before run(): then nothing is opened or created).
    void cancel() { m_cancel = true; }

    /// After Outcome::Failed: the message for the user.
    const QString& failureText() const { return m_failure; }

    /// Bytes that reached the target.
    qint64 bytesWritten() const { return m_written; }

    /// Each source read to its end, as it stood when it was opened, in join
    /// order: what may be deleted afterwards is exactly these files, unchanged.
    const QList<FileSystem::Identity>& sourcesRead() const { return m_read; }
    /// The file the run wrote, under the target's name (after Joined or Cancelled).
    const FileSystem::Identity& written() const { return m_writtenFile; }

    /// Whether the kernel copied (some of) the data.
    bool kernelCopied() const { return m_kernelCopied; }
    /// The longest round, in nanoseconds.
    qint64 longestRoundNs() const { return m_longestRoundNs; }

private:
    enum class Op {
        Size,
        Open,
        Read,
        ReadShort,
        Grew,
        Memory,
        Copy,
        CreateTarget,
        WriteTarget,
        CloseTarget,
        Length,
        Rename,
        Replaced
    };

    Outcome copyAll();
    /// One round: `bytes` of the current source to the target.
    bool moveRound(qint64 bytes, const QString& path);
    bool readAndWrite(qint64 bytes, const QString& path);
    void pump();
    /// After a source's last byte: nothing more may follow.
    bool readToTheEnd(const QString& path);
    /// Gives the written file the target's name and proves it holds the join.
    bool finishTarget();
    Outcome fail(Op op, const QString& file, const QString& reason);

    FileSystem& m_files;
    QStringList m_sources;
    QString m_target;
    int m_chunk;
    JoinProgress& m_progress;
    Options m_options;
    bool m_kernel = true; // until the kernel refuses
    bool m_kernelCopied = false;
    qint64 m_roundChunks = 1;
    qint64 m_longestRoundNs = 0;
    QElapsedTimer m_sincePump;
    bool m_cancel = false;
    bool m_targetExisted = false;
    bool m_renamed = false;
    QString m_temporary; // the file being written, until it has the target's name
    std::unique_ptr<FileSystem::Input> m_src;
    std::unique_ptr<FileSystem::Output> m_dst;
    char* m_buf = nullptr;
    qint64 m_bufBytes = 0;
    qint64 m_written = 0;
    QList<FileSystem::Identity> m_read;
    FileSystem::Identity m_writtenFile;
    QString m_failure;
};
