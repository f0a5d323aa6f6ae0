#pragma once

#include "core/join/JoinMethod.h"
#include "core/join/JoinSums.h"
#include "core/join/JoinTarget.h"

class FileSystem;
struct JoinFigures;

/// The run every join method shares, whatever moves the bytes: the sources'
/// lengths first (the batch total), then a new file beside the target
/// (JoinTarget), then each source opened in its turn, reported, moved and
/// proven unchanged since it was opened; at the end the new file takes the
/// target's name once proven. A failure (running out of memory included)
/// closes every file, keeps an existing target as it was and leaves the
/// message naming the file and the reason. The cancel token is read between
/// sources and, inside movePart(), between steps. A cancelled run keeps what
/// it wrote only where the method allows it, no file stood at the target's
/// name and the cancel does not ask to keep nothing; otherwise nothing of it
/// stays.
///
/// Where checksum files beside the sources give sums of them or of the whole
/// (Checksums::find), each source is hashed as it is read (JoinSums) and
/// checked once it was read whole: one that does not match fails the run,
/// naming the source and the checksum file. A whole that does not match
/// ends the run Mismatched, the new file kept under the target's name.
///
/// A method says how one source is moved and what its writing needs before
/// the first source and after the last.
class PartJoin : public JoinMethod
{
public:
    Result run(const Job& job, JoinProgress& progress, const CancelToken& cancel) final;

protected:
    explicit PartJoin(FileSystem& files) : m_files(files) {}

    /// One source while it is moved.
    struct Part
    {
        int index;
        const QString& path;
        InputFile& file;
        JoinFigures& figures; // its fileDone and fileShown, the batch's batchDone
        JoinProgress& progress;
        const CancelToken& cancel;
    };
    enum class Moved { Whole, Cancelled, Failed };

    /// The new file exists (target().file()); false after fail().
    virtual bool begin(const Job& job) = 0;
    /// Moves the whole of `part` to the end of the target, reporting its
    /// steps (progress.copied) and stopping at the first one after a cancel;
    /// Failed after fail().
    virtual Moved movePart(Part& part) = 0;
    /// After the last source of a join that was not cancelled; false after fail().
    virtual bool end() { return true; }
    /// The length the new file must have when it is named; -1: not counted.
    virtual qint64 lengthWritten() const { return -1; }
    /// Whether what was written before a cancel is worth keeping.
    virtual bool keepsPartOnCancel() const { return false; }
    /// The run is over, however it ended: what the method held of it goes.
    virtual void release() {}
    /// Whether the target holds the sources' bytes as they are, so that a
    /// sum of the whole applies to it.
    virtual bool keepsBytes() const { return true; }

    /// The sums of the run, for a method that lets them hash ahead of its moves.
    JoinSums& sums() { return m_sums; }
    /// Returns once `part` is hashed up to byte `upTo`: Whole, Cancelled, or
    /// Failed after fail().
    Moved hashedTo(Part& part, qint64 upTo);

    FileSystem& files() { return m_files; }
    JoinTarget& target() { return *m_out; }
    /// Ends the run as a failure (JoinTarget::fail); always false.
    bool fail(JoinTarget::Op op, const QString& file, const QString& reason);

private:
    Result joinAll(const Job& job, JoinProgress& progress, const CancelToken& cancel);
    void cancelled(Result& r, bool keep);

    FileSystem& m_files;
    JoinSums m_sums;
    JoinTarget* m_out = nullptr; // while a run lasts
};
