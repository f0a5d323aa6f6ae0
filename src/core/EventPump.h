#pragma once

#include <QElapsedTimer>

/// Lets other events in during a long step: the rounds of a join's copy,
/// a long look at the queued files. The application gives the program one
/// pump (ProcessEvents); tests give one that counts.
class EventPump
{
public:
    virtual ~EventPump();
    virtual void pumpEvents() = 0;
};

/// The pump of the running event loop: QCoreApplication::processEvents().
class ProcessEvents : public EventPump
{
public:
    void pumpEvents() override;
};

/// Paces a long look at many files (their sizes, their kinds...) so that
/// events come in about every 20 ms. It looks at the clock only every 64
/// files, so a short queue never stops for events.
class PacedLook
{
public:
    explicit PacedLook(EventPump& pump) : m_pump(pump) { m_since.start(); }
    /// `files` more were looked at: pumps when events are due; true if it did.
    bool lookedAt(int files = 1);

    static constexpr int kFilesPerCheck = 64;

private:
    EventPump& m_pump;
    QElapsedTimer m_since;
    qint64 m_count = 0;
    qint64 m_nextCheck = kFilesPerCheck;
};
