#pragma once

#include <QtGlobal>

/// Figures of a join after one round, in bytes.
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

/// A join method's view of whoever shows its progress (the status window,
/// a test, a benchmark). Every call comes from inside the join's run.
class JoinProgress
{
public:
    virtual ~JoinProgress();

    /// The batch's total length is known; nothing has been copied yet.
    virtual void batchStarted(qint64 batchTotal) = 0;

    /// Source `index` (0-based, queue order) is open; its copy starts.
    virtual void fileStarted(int index, const JoinFigures& figures) = 0;

    /// A round (whole chunks, or the tail of a source) has been copied; the
    /// method lets events in right after.
    virtual void copied(const JoinFigures& figures) = 0;
};
