#include "core/OneMovie.h"

#include "core/EventPump.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <new>

namespace {
constexpr qint64 kPumpNs = 15000000;
using Op = JoinTarget::Op;
} // namespace

JoinMethod::Result OneMovie::run(const Job& job, JoinProgress& progress)
{
    JoinTarget out(m_files, m_files, job.target);
    m_running = true;
    m_longestGapNs = 0;
    Result r;
    try {
        r = copyAll(job, progress, out);
    } catch (const std::bad_alloc&) {
        out.fail(Op::Memory, job.target, qt_error_string(ENOMEM));
        r = Result();
    }
    if (r.ending == JoinEnding::Failed)
        r.failure = out.failure();
    m_running = m_cancelled = false;
    return r;
}

JoinMethod::Result OneMovie::copyAll(const Job& job, JoinProgress& progress, JoinTarget& out)
{
    Result r;
    JoinFigures fig;
    for (const QString& path : job.sources) {
        const FileResult<qint64> size = m_files.fileSize(path);
        if (!size)
            return out.fail(size.error().isNotRegular() ? Op::Open : Op::Size, path,
                            size.error().text()),
                   r;
        fig.batchTotal += *size;
    }
    progress.batchStarted(fig.batchTotal);
    if (m_cancelled)
        return r.ending = JoinEnding::Cancelled, r;
    if (!out.create())
        return r;
    FileResult<std::unique_ptr<MovieWriter>> made = MovieWriter::create(*out.file(), m_family);
    if (!made)
        return out.fail(Op::Memory, job.target, made.error().text()), r;
    std::unique_ptr<MovieWriter> writer = std::move(*made);

    QElapsedTimer sincePump;
    sincePump.start();
    const auto pump = [&] {
        m_longestGapNs = qMax(m_longestGapNs, sincePump.nsecsElapsed());
        m_pump.pumpEvents();
        sincePump.start();
    };
    using Step = MovieWriter::Step;
    const auto failed = [&](Step step, const QString& path) {
        step == Step::WriteFailed ? out.fail(Op::WriteTarget, job.target, writer->failure())
                                  : out.fail(Op::ReadMovie, path, writer->failure());
        return r;
    };
    for (int i = 0; i < job.sources.size(); ++i) {
        const QString& path = job.sources.at(i);
        FileResult<std::unique_ptr<InputFile>> opened = m_files.openInput(path);
        if (!opened)
            return out.fail(Op::Open, path, opened.error().text()), r;
        const std::unique_ptr<InputFile> part = std::move(*opened);
        fig.fileLength = part->size();
        fig.fileDone = fig.fileShown = 0;
        progress.fileStarted(i, fig);
        const qint64 before = fig.batchDone;
        Step step = writer->beginPart(*part, QFileInfo(path).completeBaseName());
        while (step == Step::Copied) {
            if (m_cancelled) {
                writer.reset();
                out.discard();
                return r.ending = JoinEnding::Cancelled, r;
            }
            step = writer->copyPacket();
            if (sincePump.nsecsElapsed() >= kPumpNs) {
                fig.fileDone = fig.fileShown = qMin(writer->partPosition(), fig.fileLength);
                fig.batchDone = before + fig.fileDone;
                progress.copied(fig);
                pump();
            }
        }
        if (step != Step::PartDone)
            return failed(step, path);
        if (!m_files.identity(path).unchangedSince(part->identity()))
            return out.fail(Op::Changed, path, QString()), r;
        r.read.append(part->identity());
        fig.fileDone = fig.fileShown = fig.fileLength;
        fig.batchDone = before + fig.fileLength;
        progress.copied(fig);
        pump();
    }
    if (const Step step = writer->finish(); step != Step::Copied)
        return failed(step, job.target);
    writer.reset();
    if (!out.finish())
        return r;
    r.ending = JoinEnding::Joined;
    r.written = out.written();
    return r;
}

void OneMovie::cancel(bool)
{
    m_cancelled = true;
}
