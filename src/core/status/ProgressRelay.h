#pragma once

#include "core/join/JoinProgress.h"

#include <QMutex>
#include <QObject>

/// Carries a join's progress from the join's thread to the windows' thread.
/// The join reports every step (JoinProgress); the windows' thread hears
/// batchStarted once, then the newest figures only, at most once per turn
/// of its event loop: a source started since the last delivery comes first
/// (fileStarted), then the figures copied since (copied). Sources that
/// started and ended between two deliveries are skipped, as a window would
/// show them for no time at all. Everything delivered comes before what the
/// join's thread posts after it, such as its end.
class ProgressRelay : public QObject, public JoinProgress
{
    Q_OBJECT
public:
    explicit ProgressRelay(QObject* parent = nullptr) : QObject(parent) {}

    // JoinProgress, on the join's thread.
    void batchStarted(qint64 batchTotal) override;
    void fileStarted(int index, const JoinFigures& figures) override;
    void copied(const JoinFigures& figures) override;

signals:
    // On the thread this object lives on.
    void batchStartedHere(qint64 batchTotal);
    void fileStartedHere(int index, const JoinFigures& figures);
    void copiedHere(const JoinFigures& figures);

private:
    void postIfIdle(); // under the lock
    void deliver();

    struct Newest
    {
        int file = -1;
        int fileSerial = 0;  // counts the sources started
        JoinFigures atStart; // the figures when that source started
        JoinFigures figures; // the newest figures
        bool copiedSince = false;
    };
    QMutex m_lock;
    Newest m_newest;
    bool m_posted = false;
    int m_deliveredSerial = 0; // on this object's thread
};
