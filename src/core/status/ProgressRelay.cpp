#include "core/status/ProgressRelay.h"

#include <QMutexLocker>

void ProgressRelay::batchStarted(qint64 batchTotal)
{
    {
        const QMutexLocker lock(&m_lock);
        m_newest = Newest();
    }
    QMetaObject::invokeMethod(
        this,
        [this, batchTotal] {
            m_deliveredSerial = 0;
            emit batchStartedHere(batchTotal);
        },
        Qt::QueuedConnection);
}

void ProgressRelay::fileStarted(int index, const JoinFigures& figures)
{
    const QMutexLocker lock(&m_lock);
    m_newest.file = index;
    ++m_newest.fileSerial;
    m_newest.atStart = m_newest.figures = figures;
    m_newest.copiedSince = false;
    postIfIdle();
}

void ProgressRelay::copied(const JoinFigures& figures)
{
    const QMutexLocker lock(&m_lock);
    m_newest.figures = figures;
    m_newest.copiedSince = true;
    postIfIdle();
}

void ProgressRelay::postIfIdle()
{
    if (std::exchange(m_posted, true))
        return;
    QMetaObject::invokeMethod(this, &ProgressRelay::deliver, Qt::QueuedConnection);
}

void ProgressRelay::deliver()
{
    Newest now;
    {
        const QMutexLocker lock(&m_lock);
        now = m_newest;
        m_newest.copiedSince = false;
        m_posted = false;
    }
    if (now.fileSerial != m_deliveredSerial) {
        m_deliveredSerial = now.fileSerial;
        emit fileStartedHere(now.file, now.atStart);
    }
    if (now.copiedSince)
        emit copiedHere(now.figures);
}
