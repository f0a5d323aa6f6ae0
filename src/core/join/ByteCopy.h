#pragma once

#include "core/join/PartJoin.h"

#include <QList>

/// The byte-for-byte join: each source's bytes at the end of the target, in
/// rounds of whole chunks.
///
/// A round moves a whole number of chunks of the current source (a source's
/// tail, less than a chunk, is its last round) and reports the figures;
/// Cancel takes effect at the next round, so a cancelled join ends with a
/// whole chunk. How many chunks a round moves follows the time rounds take,
/// about 5 ms and never much above 20 ms, so Cancel and the figures stay
/// quick however fast or slow the disk. The kernel copies where it can
/// (DataMover::copyRange); where it refuses, the rounds are read and written
/// through one buffer for the rest of the run. Where the target's file
/// system shares blocks and the target ends at a block boundary, a source
/// is shared whole in one call instead (DataMover::shareAll); a refusal
/// copies it. A cancelled join keeps its whole chunks where no file stood.
/// Each source must be read to its end and no further: one that ends early
/// or grows while it is read fails the join. Where sums are checked
/// (PartJoin), each round's bytes are hashed beside their copy, and a shared
/// source's rounds only hash it.
class ByteCopy : public PartJoin
{
public:
    /// How the rounds go (tests and benchmarks fix them).
    struct Options
    {
        /// Let the kernel copy where it can; false: read and write always.
        bool kernelCopy = true;
        /// Chunks a round moves; 0: as the time rounds take suggests.
        int chunksPerRound = 0;
        /// Share sources' blocks where the file system can; false: copy always.
        bool share = true;
    };

    /// The buffer of a read-and-write round, which goes in pieces of it: as
    /// large as cat's writes. (1 MiB writes measured several times slower on ext4.)
    static constexpr qint64 kBufferBytes = qint64(1) << 17;
    /// The most a round moves: about 4 ms at 4 GB/s.
    static constexpr qint64 kMaxRoundBytes = qint64(16) << 20;

    explicit ByteCopy(FileSystem& files) : PartJoin(files) {}
    ~ByteCopy() override;

    void setOptions(const Options& options) { m_options = options; }

    /// The chunks the next round moves after a round of `chunks` took
    /// `roundNs`: twice as many when it was quick, half as many when slow,
    /// within 1 and `most`.
    static qint64 nextRoundChunks(qint64 chunks, qint64 roundNs, qint64 most);

    // What the last run did, read once it has ended.
    /// Whether the kernel copied (some of) the data.
    bool kernelCopied() const { return m_kernelCopied; }
    /// The longest round, in nanoseconds.
    qint64 longestRoundNs() const { return m_longestRoundNs; }
    /// For each source it took up, whether its blocks were shared.
    const QList<bool>& sharedSources() const { return m_shared; }

private:
    bool begin(const Job& job) override;
    Moved movePart(Part& part) override;
    qint64 lengthWritten() const override { return m_written; }
    bool keepsPartOnCancel() const override { return true; }
    void release() override;

    /// One round: `bytes` of the part to the target.
    bool moveRound(Part& part, qint64 bytes);
    bool readAndWrite(Part& part, qint64 bytes);
    enum class Shared { No, Yes, Failed };
    /// Before a part's rounds: shares all of it where the target's file
    /// system can (at a block boundary).
    Shared share(Part& part);
    /// After a part's last byte: nothing more may follow.
    bool readToTheEnd(Part& part);

    Options m_options;
    int m_chunk = 1;
    bool m_kernel = true; // until the kernel refuses
    qint64 m_roundChunks = 1;
    qint64 m_block = 0; // the target's shared block size; 0: no (more) sharing
    char* m_buf = nullptr;
    qint64 m_written = 0;
    bool m_kernelCopied = false;
    qint64 m_longestRoundNs = 0;
    QList<bool> m_shared;
};
