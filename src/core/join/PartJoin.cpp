#include "core/join/PartJoin.h"

#include "core/join/CancelToken.h"
#include "core/join/JoinProgress.h"
#include "platform/FileSystem.h"

#include <QScopeGuard>
#include <new>

using Op = JoinTarget::Op;

JoinMethod::Result PartJoin::run(const Job& job, JoinProgress& progress, const CancelToken& cancel)
{
    JoinTarget out(m_files, m_files, job.target);
    m_out = &out;
    Result r;
    // Memory can run out anywhere, in a library or a progress call: that ends
    // the run like any other failure instead of ending the program.
    try {
        r = joinAll(job, progress, cancel);
    } catch (const std::bad_alloc&) {
        release();
        out.fail(Op::Memory, job.target, qt_error_string(ENOMEM));
        r = Result();
    }
    release();
    if (r.ending == JoinEnding::Failed)
        r.message = out.failure();
    m_out = nullptr;
    return r;
}

bool PartJoin::fail(Op op, const QString& file, const QString& reason)
{
    release();
    return m_out->fail(op, file, reason);
}

JoinMethod::Result PartJoin::joinAll(const Job& job, JoinProgress& progress,
                                     const CancelToken& cancel)
{
    Result r;
    JoinFigures fig;
    for (const QString& path : job.sources) {
        const FileResult<qint64> size = m_files.fileSize(path);
        if (!size)
            return fail(size.error().isNotRegular() ? Op::Open : Op::Size, path,
                        size.error().text()),
                   r;
        fig.batchTotal += *size;
        if (cancel.cancelled())
            return cancelled(r, false), r;
    }
    m_sums.begin(Checksums::find(m_files, job.sources, job.target), keepsBytes(), cancel);
    progress.batchStarted(fig.batchTotal);
    if (cancel.cancelled())
        return cancelled(r, false), r;
    if (!m_out->create() || !begin(job))
        return r;

    for (int i = 0; i < job.sources.size() && !cancel.cancelled(); ++i) {
        const QString& path = job.sources.at(i);
        FileResult<std::unique_ptr<InputFile>> opened = m_files.openInput(path);
        if (!opened)
            return fail(Op::Open, path, opened.error().text()), r;
        InputFile& source = **opened;
        m_sums.beginPart(i, source);
        const auto settle = qScopeGuard([this] { m_sums.settle(); }); // before the file closes
        fig.fileLength = source.size();
        fig.fileDone = fig.fileShown = 0;
        progress.fileStarted(i, fig);
        Part part{i, path, source, fig, progress, cancel};
        Moved moved = movePart(part);
        if (moved == Moved::Whole)
            moved = hashedTo(part, fig.fileLength);
        if (moved == Moved::Failed)
            return r;
        if (moved == Moved::Cancelled)
            break;
        // Read whole, but was it the same file all along: rewritten in place, it is not.
        if (!m_files.identity(path).unchangedSince(source.identity()))
            return fail(Op::Changed, path, QString()), r;
        if (const QString sumFile = m_sums.partMismatch(); !sumFile.isEmpty())
            return fail(Op::Sum, path, sumFile), r;
        r.read.append(source.identity());
    }
    if (cancel.cancelled())
        return cancelled(r, !cancel.keepsNothing() && keepsPartOnCancel() && !m_out->existed()), r;
    if (!end())
        return r;
    const QString mismatch = m_sums.wholeMismatch();
    if (!m_out->finish(lengthWritten()))
        return r;
    r.ending = mismatch.isEmpty() ? JoinEnding::Joined : JoinEnding::Mismatched;
    r.message =
        mismatch.isEmpty() ? m_sums.matchedText() : JoinSums::mismatchText(job.target, mismatch);
    r.written = m_out->written();
    return r;
}

PartJoin::Moved PartJoin::hashedTo(Part& part, qint64 upTo)
{
    switch (m_sums.through(upTo)) {
    case JoinSums::Hashed::Yes:
        return Moved::Whole;
    case JoinSums::Hashed::Cancelled:
        return Moved::Cancelled;
    default:
        const QString& why = m_sums.failure();
        return fail(why.isEmpty() ? Op::ReadShort : Op::Read, part.path, why), Moved::Failed;
    }
}

void PartJoin::cancelled(Result& r, bool keep)
{
    release();
    r.ending = JoinEnding::Cancelled;
    if (!keep || !m_out->file()) {
        m_out->discard();
        r.message = m_out->leftText();
        return;
    }
    if (!m_out->finish(lengthWritten())) {
        r.ending = JoinEnding::Failed;
        return;
    }
    r.written = m_out->written();
    r.message = m_out->keptText();
}
