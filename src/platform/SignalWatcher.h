#pragma once

#include <QList>
#include <QObject>

class QSocketNotifier;

/// Turns Unix signals into a Qt signal delivered by the event loop (the
/// self-pipe pattern): the handler only writes the signal's number into a
/// pipe, and received() comes from the loop's next round, where anything
/// may be done. One watcher at a time; the signals get their default handlers
/// back when it is destroyed.
class SignalWatcher : public QObject
{
    Q_OBJECT
public:
    explicit SignalWatcher(const QList<int>& signalNumbers, QObject* parent = nullptr);
    ~SignalWatcher() override;

signals:
    void received(int signalNumber);

private:
    void readPipe();

    QList<int> m_signals;
    QSocketNotifier* m_notifier = nullptr;
};
