#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

/// The speed of a join and the time it has left, as the status window's
/// line of its own words them ("85.3 MB/s, about 1 min 20 s left"). The
/// line shows from 2 s into the join and is renewed at most twice a second;
/// the speed is the average over the whole join at first, then smoothed
/// from one renewal to the next, so the line does not jump around.
class JoinPace
{
public:
    static constexpr qint64 kFirstMs = 2000;
    static constexpr qint64 kEveryMs = 500;

    /// A join of `batchTotal` bytes starts (0 ms).
    void start(qint64 batchTotal);
    /// `done` bytes of the batch are copied `ms` milliseconds into the join:
    /// the line's new text, or nothing when it is not due.
    std::optional<QString> update(qint64 done, qint64 ms);

    /// "85.3 MB/s, about 1 min 20 s left" (MB: 1,048,576 bytes; the user's
    /// locale); "85.3 MB/s" alone when the speed is 0.
    static QString line(double bytesPerSecond, qint64 bytesLeft);
    /// "45 s", "1 min 20 s" (to 5 s), "2 h 5 min".
    static QString duration(qint64 seconds);

private:
    qint64 m_total = 0;
    qint64 m_lastDone = 0;
    qint64 m_lastMs = -1;
    double m_speed = 0;
};
