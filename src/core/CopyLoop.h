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
/// larger page-aligned pieces; on every ending the buffer is written out
/// before the target is closed, so the target always ends with the last
/// whole chunk read. One buffer serves the whole run.
///
/// The target is created, or replaced when it exists, and ends exactly as
/// long as the data written. A failure (a running out of memory included)
/// stops the run, closes every file it opened and leaves a message naming
/// the file, the operation, the system's reason and what became of the
/// target. The caller checks beforehand that the target is none of the
/// sources (FileSystem::firstSameFile).
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

private:
    enum class Op { Size, Open, Read, ReadShort, Memory, CreateTarget, WriteTarget, CloseTarget };

    Outcome copyAll();
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
    bool m_targetOpened = false;
    std::unique_ptr<FileSystem::Input> m_src;
    std::unique_ptr<FileSystem::Output> m_dst;
    char* m_buf = nullptr;
    qint64 m_fill = 0;
    qint64 m_written = 0;
    QString m_failure;
};
