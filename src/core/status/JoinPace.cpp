#include "core/status/JoinPace.h"

#include <QCoreApplication>
#include <QLocale>
#include <cmath>

void JoinPace::start(qint64 batchTotal)
{
    *this = JoinPace();
    m_total = batchTotal;
}

std::optional<QString> JoinPace::update(qint64 done, qint64 ms)
{
    if (ms < kFirstMs || (m_lastMs >= 0 && ms - m_lastMs < kEveryMs))
        return std::nullopt;
    const double recent = m_lastMs < 0 ? double(done) * 1000.0 / double(ms)
                                       : double(done - m_lastDone) * 1000.0 / double(ms - m_lastMs);
    // A fifth of each new half second: a change of pace shows within a few seconds, a hiccup
    // moves the line little.
    m_speed = m_lastMs < 0 ? recent : 0.8 * m_speed + 0.2 * recent;
    m_lastDone = done;
    m_lastMs = ms;
    return line(m_speed, m_total - done);
}

QString JoinPace::line(double bytesPerSecond, qint64 bytesLeft)
{
    const QString speed = QCoreApplication::translate("JoinPace", "%1 MB/s")
                              .arg(QLocale().toString(bytesPerSecond / 1048576.0, 'f', 1));
    if (bytesPerSecond <= 0)
        return speed;
    const auto seconds = qint64(std::ceil(double(qMax<qint64>(0, bytesLeft)) / bytesPerSecond));
    return QCoreApplication::translate("JoinPace", "%1, about %2 left")
        .arg(speed, duration(seconds));
}

QString JoinPace::duration(qint64 seconds)
{
    const QLocale locale;
    if (seconds < 60)
        return QCoreApplication::translate("JoinPace", "%1 s").arg(locale.toString(seconds));
    if (seconds < 3600) {
        const qint64 rounded = (seconds + 2) / 5 * 5;
        if (rounded < 3600)
            return QCoreApplication::translate("JoinPace", "%1 min %2 s")
                .arg(locale.toString(rounded / 60), locale.toString(rounded % 60));
        seconds = rounded;
    }
    const qint64 minutes = (seconds + 30) / 60;
    return QCoreApplication::translate("JoinPace", "%1 h %2 min")
        .arg(locale.toString(minutes / 60), locale.toString(minutes % 60));
}
