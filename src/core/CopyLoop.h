#pragma once

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
    /// What the file percentage shows: during the whole chunks it trails
    /// fileDone by the chunk just copied; after the tail it equals fileDone.
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

    /// A whole chunk (or the tail of a source) has been copied.
    virtual void copied(const JoinFigures& figures) = 0;

    /// Lets other events in: called exactly once after each whole chunk,
    /// never after a tail. CopyLoop::cancel() called from here stops the
    /// copy before the next chunk is read.
    virtual void pumpEvents() = 0;
};

/// Joins files byte for byte into one target, without any window.
///
/// Each round reads exactly one chunk of the current source and reports it;
/// a source's last bytes (fewer than a chunk) follow as its tail without a
/// pump. Whole chunks are gathered into one buffer and written out in
/// larger page-aligned pieces. One buffer serves the whole run.
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
class CopyLoop
{
public:
    enum class Outcome { Joined, Cancelled, Failed };

    /// Bytes gathered before the target is written to: as large as cat's
    /// writes. (1 MiB writes measured several times slower on ext4.)
    static constexpr qint64 kGatherBytes = qint64(1) << 17;

    /// `sources` are full paths in join order; `chunkSize` > 0.
    CopyLoop(FileSystem& files, QStringList sources, QString target, int chunkSize,
             JoinProgress& progress);
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

private:
    enum class Op {
        Size,
        Open,
        Read,
        ReadShort,
        Grew,
        Memory,
        CreateTarget,
        WriteTarget,
        CloseTarget,
        Length,
        Rename,
        Replaced
    };

    Outcome copyAll();
    /// After a source's last byte: nothing more may follow.
    bool readToTheEnd(const QString& path);
    /// Gives the written file the target's name and proves it holds the join.
    bool finishTarget();
    Outcome fail(Op op, const QString& file, const QString& reason);
    /// Reads `bytes` of the current source into the gather buffer and
    /// writes the buffer out when it is full; false after a failure.
    bool take(qint64 bytes, const QString& path);
    bool writeOut(qint64 bytes, QString& reason);
    bool flushAll(QString& reason);

    FileSystem& m_files;
    QStringList m_sources;
    QString m_target;
    int m_chunk;
    JoinProgress& m_progress;
    bool m_cancel = false;
    bool m_targetExisted = false;
    bool m_renamed = false;
    QString m_temporary; // the file being written, until it has the target's name
    std::unique_ptr<FileSystem::Input> m_src;
    std::unique_ptr<FileSystem::Output> m_dst;
    char* m_buf = nullptr;
    qint64 m_fill = 0;
    qint64 m_written = 0;
    QList<FileSystem::Identity> m_read;
    FileSystem::Identity m_writtenFile;
    QString m_failure;
};
