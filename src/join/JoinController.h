#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class frmReelbind;
class frmJoinStatus;

/// The main window's Join command and the life of the status window.
class JoinController : public QObject
{
    Q_OBJECT
public:
    explicit JoinController(frmReelbind& window);
    ~JoinController() override;

    /// Disables the five buttons, runs one join in a new status window,
    /// and enables them again.
    void CmdJoin_Click();

    /// Whether a join is copying (or winding down after Cancel).
    bool isRunning() const;

    /// Cancels the running join as Cancel does; `then` runs once the run
    /// has ended (right away when none runs).
    void cancelThen(std::function<void()> then);

    /// Closes the status window if one is open (part of the exit sequence).
    void closeStatusWindow();

    frmJoinStatus* statusWindow() const;

private:
    frmReelbind& m_w;
    QPointer<frmJoinStatus> m_status;
};
