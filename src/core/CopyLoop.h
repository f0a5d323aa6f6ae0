#pragma once

#include "core/JoinProgress.h"
#include "core/JoinTarget.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <memory>

class EventPump;

/// How the copy loop moves its rounds.
struct CopyOptions
{
    /// Let the kernel copy where it can; false: read and write always.
    bool kernelCopy = true;
    /// Chunks a round moves; 0: as the time rounds take suggests.
    int chunksPerRound = 0;
    /// Share sources' blocks where the file system can; false: copy always.
    bool share = true;
};

/// Joins files byte for byte into one target, without any window.
///
/// The copy goes in rounds. A round moves a whole number of chunks of the
/// current source (a source's tail, less than a chunk, is its last round),
/// reports the figures and lets events in once through the pump; Cancel takes effect at the
/// next round, so a cancelled join ends with a whole chunk. How many chunks
/// a round moves is the loop's own choice: it follows the time rounds take,
/// so that a round holds the event loop about 5 ms and never much above
/// 20 ms, however fast or slow the disk. The kernel copies where it can
/// (DataMover::copyRange); where it refuses, the loop reads and writes the
/// same rounds itself, through one buffer, for the rest of the run.
///
/// The run writes into a new file beside the target (FileStreams::createBeside)
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
    Q_DECLARE_TR_FUNCTIONS(CopyLoop)

public:
    enum class Outcome { Joined, Cancelled, Failed };

    using Options = CopyOptions;

    /// The buffer of a read-and-write round, which goes in pieces of it: as
    /// large as cat's writes. (1 MiB writes measured several times slower on ext4.)
    static constexpr qint64 kBufferBytes = qint64(1) << 17;
    /// The most a round moves: about 4 ms at 4 GB/s.
    static constexpr qint64 kMaxRoundBytes = qint64(16) << 20;

    /// `sources` are full paths in join order; `chunkSize` > 0.
    CopyLoop(FileSystem& files, EventPump& pump, QStringList sources, QString target, int chunkSize,
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

    /// Stops the copy before its next round (from the pump, or before
    /// run(): then nothing is opened or created). With `keepNothing` the
    /// data copied so far is removed and an existing target kept as it was.
    void cancel(bool keepNothing = false) { m_cancel = true, m_keepNothing |= keepNothing; }

    /// After Outcome::Failed: the message for the user.
    const QString& failureText() const { return m_out.failure(); }

    /// Bytes that reached the target.
    qint64 bytesWritten() const { return m_written; }

    /// Each source read to its end, as it stood when it was opened, in join
    /// order: what may be deleted afterwards is exactly these files, unchanged.
    const QList<FileIdentity>& sourcesRead() const { return m_read; }
    /// The file the run wrote, under the target's name (after Joined or Cancelled).
    const FileIdentity& written() const { return m_out.written(); }

    /// For each source the run took up, whether its blocks were shared.
    const QList<bool>& sharedSources() const { return m_shared; }

    /// Whether the kernel copied (some of) the data.
    bool kernelCopied() const { return m_kernelCopied; }
    /// The longest round, in nanoseconds.
    qint64 longestRoundNs() const { return m_longestRoundNs; }

private:
    using Op = JoinTarget::Op;

    Outcome copyAll();
    /// One round: `bytes` of the current source to the target.
    bool moveRound(qint64 bytes, const QString& path);
    bool readAndWrite(qint64 bytes, const QString& path);
    void pump();
    enum class Shared { No, Yes, Failed };
    /// Before a source's rounds: shares all of it where the target's file
    /// system can (at a block boundary, the same file system).
    Shared share(qint64 length);
    /// After a source's last byte: nothing more may follow.
    bool readToTheEnd(const QString& path);
    Outcome fail(Op op, const QString& file, const QString& reason);

    FileSystem& m_files;
    EventPump& m_pump;
    QStringList m_sources;
    JoinTarget m_out;
    int m_chunk;
    JoinProgress& m_progress;
    Options m_options;
    bool m_kernel = true; // until the kernel refuses
    bool m_kernelCopied = false;
    qint64 m_roundChunks = 1;
    qint64 m_longestRoundNs = 0;
    QElapsedTimer m_sincePump;
    bool m_cancel = false;
    bool m_keepNothing = false;
    std::unique_ptr<InputFile> m_src;
    char* m_buf = nullptr;
    qint64 m_bufBytes = 0;
    qint64 m_written = 0;
    QList<FileIdentity> m_read;
    QList<bool> m_shared;
    qint64 m_block = 0;   // the target's shared block size; 0: no (more) sharing
    quint64 m_device = 0; // the target's file system
};
