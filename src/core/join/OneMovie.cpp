#include "core/join/OneMovie.h"

#include "core/join/CancelToken.h"
#include "core/join/JoinProgress.h"

#include <QElapsedTimer>
#include <QFileInfo>

namespace {
constexpr qint64 kReportNs = 15000000;
using Op = JoinTarget::Op;
using Step = MovieWriter::Step;
} // namespace

OneMovie::~OneMovie() = default;

bool OneMovie::begin(const Job& job)
{
    m_longestGapNs = 0;
    m_compared = job.compared;
    FileResult<std::unique_ptr<MovieWriter>> made =
        MovieWriter::create(*target().file(), job.family);
    if (!made)
        return fail(Op::Memory, job.target, made.error().text());
    m_writer = std::move(*made);
    return true;
}

void OneMovie::release()
{
    m_writer.reset(); // before the file it writes into goes
}

bool OneMovie::failed(Step step, const QString& part)
{
    const QString why = m_writer->failure();
    return step == Step::WriteFailed ? fail(Op::WriteTarget, target().path(), why)
                                     : fail(Op::ReadMovie, part, why);
}

PartJoin::Moved OneMovie::movePart(Part& part)
{
    JoinFigures& fig = part.figures;
    const qint64 before = fig.batchDone;
    // The part must be the file whose streams the plan compared: one put in its place since
    // (another size, another setup) would make a movie that claims the first part's.
    if (part.index < m_compared.size() &&
        !part.file.identity().unchangedSince(m_compared.at(part.index)))
        return fail(Op::Changed, part.path, QString()), Moved::Failed;
    sums().ahead(fig.fileLength); // the writer reads here and there; the sums, all of it
    QElapsedTimer sinceReport;
    sinceReport.start();
    Step step = m_writer->beginPart(part.file, QFileInfo(part.path).completeBaseName());
    while (step == Step::Copied) {
        if (part.cancel.cancelled())
            return Moved::Cancelled;
        step = m_writer->copyPacket();
        if (sinceReport.nsecsElapsed() >= kReportNs) {
            m_longestGapNs = qMax(m_longestGapNs, sinceReport.nsecsElapsed());
            fig.fileDone = fig.fileShown = qMin(m_writer->partPosition(), fig.fileLength);
            fig.batchDone = before + fig.fileDone;
            part.progress.copied(fig);
            sinceReport.start();
        }
    }
    if (step != Step::PartDone)
        return failed(step, part.path), Moved::Failed;
    fig.fileDone = fig.fileShown = fig.fileLength;
    fig.batchDone = before + fig.fileLength;
    part.progress.copied(fig);
    return Moved::Whole;
}

bool OneMovie::end()
{
    if (const Step step = m_writer->finish(); step != Step::Copied)
        return failed(step, target().path());
    m_writer.reset();
    return true;
}
