#include "core/status/ProgressThrottle.h"

#include "core/text/Format.h"

#include <cmath>
#include <limits>

namespace {

constexpr int kFile = 0, kBatch = 1;

double fractionOf(qint64 done, qint64 total)
{
    // Nothing to copy counts as all of it copied.
    return total > 0 ? double(done) / double(total) : 1.0;
}

// The byte count from which the shown figure may change: the fraction's
// byte position, taken a little early so that rounding never skips a step.
qint64 nextStep(qint64 done, double fraction, qint64 total)
{
    if (total <= 0)
        return std::numeric_limits<qint64>::max();
    const double at = std::floor(fraction * double(total)) - 1.0;
    if (at >= 9.0e18)
        return std::numeric_limits<qint64>::max();
    return qMax(done + 1, qint64(at));
}

} // namespace

int ProgressThrottle::batchStarted(qint64 batchTotal)
{
    m_fig = JoinFigures();
    m_fig.batchTotal = batchTotal;
    m_batchKnown = true;
    m_nextBatchStep = 0;
    return 0;
}

int ProgressThrottle::fileStarted(const JoinFigures& figures)
{
    m_fig = figures;
    m_fileKnown = true;
    m_nextFileStep = 0;
    m_nextShownStep = 0;
    int changed = 0;
    showBar(kFile, 0, 1, changed);
    m_dirty |= changed;
    return changed;
}

int ProgressThrottle::copied(const JoinFigures& f)
{
    m_fig = f;
    if (f.batchDone < m_nextBatchStep && f.fileDone < m_nextFileStep &&
        f.fileShown < m_nextShownStep)
        return 0;
    int changed = 0;
    m_nextBatchStep = qMin(showPercent(kBatch, f.batchDone, f.batchTotal, changed),
                           showBar(kBatch, f.batchDone, f.batchTotal, changed));
    m_nextShownStep = showPercent(kFile, f.fileShown, f.fileLength, changed);
    m_nextFileStep = showBar(kFile, f.fileDone, f.fileLength, changed);
    m_dirty |= changed;
    return changed;
}

int ProgressThrottle::ended()
{
    int changed = 0;
    if (m_batchKnown)
        showPercent(kBatch, m_fig.batchDone, m_fig.batchTotal, changed);
    if (m_fileKnown)
        showPercent(kFile, m_fig.fileDone, m_fig.fileLength, changed);
    for (int which : {kFile, kBatch}) {
        if (m_bar[which].value != 0)
            changed |= which == kFile ? FileBar : BatchBar;
        m_bar[which] = Bar();
    }
    return changed;
}

qint64 ProgressThrottle::showPercent(int which, qint64 done, qint64 total, int& changed)
{
    const double fraction = fractionOf(done, total);
    const int whole = Format::wholePercent(fraction);
    Percent& p = m_percent[which];
    if (whole != p.whole) {
        p.whole = whole;
        p.text = Format::percent(fraction);
        changed |= which == kFile ? FilePercent : BatchPercent;
    }
    // Rounded up from whole + 0.5.
    return nextStep(done, (whole + 0.5) / 100.0, total);
}

qint64 ProgressThrottle::showBar(int which, qint64 done, qint64 total, int& changed)
{
    // Only a step the eye can see reaches the bar: one pixel of its width.
    const double fraction = qBound(0.0, fractionOf(done, total), 1.0);
    const int pixels = int(fraction * m_barWidth);
    Bar& b = m_bar[which];
    if (pixels != b.pixels) {
        b.pixels = pixels;
        b.value = int(fraction * kBarRange);
        changed |= which == kFile ? FileBar : BatchBar;
    }
    return pixels >= m_barWidth ? std::numeric_limits<qint64>::max()
                                : nextStep(done, double(pixels + 1) / m_barWidth, total);
}

void ProgressThrottle::startFrames(qint64 nowMs)
{
    m_frames = true;
    m_dirty = 0;
    m_lastFrameMs = nowMs;
}

void ProgressThrottle::stopFrames()
{
    m_frames = false;
    m_dirty = 0;
}

int ProgressThrottle::takeFrame(qint64 nowMs)
{
    if (!m_frames || !m_dirty || nowMs - m_lastFrameMs <= kFrameMs)
        return 0;
    const int items = m_dirty;
    m_dirty = 0;
    m_lastFrameMs = nowMs;
    return items;
}
