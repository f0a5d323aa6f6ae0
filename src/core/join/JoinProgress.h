#pragma once

#include "core/join/JoinFigures.h"

/// Whoever follows a join method's progress (the status window through the
/// session, a test, a benchmark). Every call comes from the thread the
/// method runs on, in this order: batchStarted, then for each source
/// fileStarted and its copied steps.
class JoinProgress
{
public:
    virtual ~JoinProgress() = default;

    /// The batch's total length is known; nothing has been copied yet.
    virtual void batchStarted(qint64 batchTotal) = 0;

    /// Source `index` (0-based, queue order) is open; its copy starts.
    virtual void fileStarted(int index, const JoinFigures& figures) = 0;

    /// A step (whole chunks, the tail of a source, some packets) is copied.
    virtual void copied(const JoinFigures& figures) = 0;
};
