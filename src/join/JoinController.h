#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

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
    /// and enables them again. A status window left open by an earlier
    /// join is closed first, as its close box would.
    void CmdJoin_Click();

    /// Whether a join is under way (from the save dialog to its last text).
    bool isRunning() const;

    /// Cancels the running join as Cancel does; `then` runs once the run
    /// has ended (right away when none runs).
    void cancelThen(std::function<void()> then);

    /// Closes the status window if one is open (part of the exit sequence),
    /// without the clear-queue step. During a run it cancels the run and
    /// the window goes once the run has ended.
    void closeStatusWindow();

    /// The status window, or nullptr when none is loaded.
    frmJoinStatus* statusWindow() const;

private:
    void unload(frmJoinStatus* window);
    void setButtonsEnabled(bool on);

    frmReelbind& m_w;
    QPointer<frmJoinStatus> m_status;
    bool m_running = false;
    std::vector<std::function<void()>> m_afterRun;
};
