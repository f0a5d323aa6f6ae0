#include "join/JoinController.h"

#include "app/frmReelbind.h"
#include "join/frmJoinStatus.h"

JoinController::JoinController(frmReelbind& window) : QObject(&window), m_w(window) {}
JoinController::~JoinController() = default;

void JoinController::CmdJoin_Click() {}

bool JoinController::isRunning() const
{
    return false;
}

void JoinController::cancelThen(std::function<void()> then)
{
    if (then)
        then();
}

void JoinController::closeStatusWindow() {}

frmJoinStatus* JoinController::statusWindow() const
{
    return m_status;
}
