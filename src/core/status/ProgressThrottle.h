#pragma once

#include "core/join/JoinProgress.h"

#include <QString>

/// What the status window shows of a join's figures, worked out without
/// widgets: two percentages and two bars (and the file line, whose text the
/// window makes). A figure counts as changed only when what the user sees of
/// it changes (a whole percent, a pixel of a bar), and a round that changes
/// nothing visible costs two comparisons. While frames are on, the window
/// paints what changed in frames, at most one every kFrameMs: painting a bar
/// costs far more than copying a chunk.
class ProgressThrottle
{
public:
    /// What the window shows, one bit each.
    enum Item { FileLine = 1, FilePercent = 2, BatchPercent = 4, FileBar = 8, BatchBar = 16 };
    /// Bars run from 0 to this; byte counts are mapped onto it.
    static constexpr int kBarRange = 1000;
    static constexpr qint64 kFrameMs = 40;

    /// Both bars are this many pixels wide: a bar moves by whole pixels.
    void setBarWidth(int pixels) { m_barWidth = pixels > 0 ? pixels : 1; }

    /// These return the items whose shown value changed.
    int batchStarted(qint64 batchTotal);
    /// A new source: its bar empties.
    int fileStarted(const JoinFigures& figures);
    int copied(const JoinFigures& figures);
    /// The join has ended: the percentages show the last figures (the file's
    /// as far as it was copied), the bars are empty.
    int ended();

    /// The shown values: percentages as texts ("0%"), bars in 0..kBarRange.
    const QString& filePercent() const { return m_percent[0].text; }
    const QString& batchPercent() const { return m_percent[1].text; }
    int fileBar() const { return m_bar[0].value; }
    int batchBar() const { return m_bar[1].value; }

    /// Frames: from startFrames() on, changes collect until a frame is due.
    void startFrames(qint64 nowMs);
    void stopFrames();
    bool framesOn() const { return m_frames; }
    void markChanged(int items) { m_dirty |= items; }
    /// When a frame is due at `nowMs` (something changed and more than
    /// kFrameMs have passed since the last one): the items to paint, then
    /// cleared; else 0.
    int takeFrame(qint64 nowMs);

private:
    struct Percent
    {
        int whole = 0;
        QString text = QStringLiteral("0%");
    };
    struct Bar
    {
        int pixels = 0;
        int value = 0;
    };
    // Show a figure anew; the byte count from which it may change next.
    qint64 showPercent(int which, qint64 done, qint64 total, int& changed);
    qint64 showBar(int which, qint64 done, qint64 total, int& changed);

    JoinFigures m_fig;
    bool m_batchKnown = false;
    bool m_fileKnown = false;
    Percent m_percent[2]; // the file's, the batch's
    Bar m_bar[2];
    int m_barWidth = 1;
    qint64 m_nextBatchStep = 0; // below these nothing visible changes
    qint64 m_nextFileStep = 0;
    qint64 m_nextShownStep = 0;
    bool m_frames = false;
    int m_dirty = 0;
    qint64 m_lastFrameMs = 0;
};
