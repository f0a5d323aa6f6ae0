#include "join/JoinController.h"

#include "app/frmReelbind.h"
#include "join/frmJoinStatus.h"

#include <QPushButton>

JoinController::JoinController(frmReelbind& window) : QObject(&window), m_w(window) {}
JoinController::~JoinController() = default;

void JoinController::CmdJoin_Click()
{
    if (m_running)
        return;
    if (m_status)
        closeStatusWindow();

    m_running = true;
    setButtonsEnabled(false);

    QPointer<frmJoinStatus> window = new frmJoinStatus(m_w);
    m_status = window;
    connect(window, &frmJoinStatus::unloadRequested, this,
            [this, w = window.data()] { unload(w); });
    window->Form_Load();

    if (window) {
        if (window->target().isEmpty() || window->closeRequested())
            unload(window);
        else
            window->show();
    }

    setButtonsEnabled(true);
    m_running = false;

    // What waited for the run to end (an exit, a close) goes on now.
    std::vector<std::function<void()>> waiting;
    waiting.swap(m_afterRun);
    for (auto& fn : waiting)
        fn();
}

void JoinController::setButtonsEnabled(bool on)
{
    if (!on) {
        m_w.CmdJoin->setEnabled(false);
        m_w.CmdAdd->setEnabled(false);
        m_w.CmdRemove->setEnabled(false);
        m_w.CmdClear->setEnabled(false);
        m_w.CmdExit->setEnabled(false);
    } else {
        m_w.CmdAdd->setEnabled(true);
        m_w.CmdRemove->setEnabled(true);
        m_w.CmdClear->setEnabled(true);
        m_w.CmdExit->setEnabled(true);
        m_w.CmdJoin->setEnabled(true);
    }
}

bool JoinController::isRunning() const
{
    return m_running;
}

void JoinController::cancelThen(std::function<void()> then)
{
    if (!m_running) {
        if (then)
            then();
        return;
    }
    if (then)
        m_afterRun.push_back(std::move(then));
    if (m_status)
        m_status->cancelJoin();
}

void JoinController::closeStatusWindow()
{
    if (!m_status)
        return;
    if (m_status->isRunning()) {
        m_status->close(); // cancels; the window goes when the run has ended
        return;
    }
    unload(m_status);
}

void JoinController::unload(frmJoinStatus* window)
{
    if (!window)
        return;
    window->hide();
    if (m_status == window)
        m_status = nullptr;
    window->deleteLater();
}

frmJoinStatus* JoinController::statusWindow() const
{
    return m_status;
}
