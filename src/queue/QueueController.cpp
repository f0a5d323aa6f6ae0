#include "queue/QueueController.h"

#include "app/frmReelbind.h"
#include "queue/Format.h"
#include "queue/QueueModel.h"

#include <QLabel>
#include <QPushButton>

QueueController::QueueController(frmReelbind& window) : QObject(&window), m_w(window) {}
QueueController::~QueueController() = default;

void QueueController::CmdAdd_Click() {}
void QueueController::CmdRemove_Click() {}
void QueueController::CmdMoveUp_Click() {}
void QueueController::CmdMoveDown_Click() {}
void QueueController::mnu_View_Click() {}
void QueueController::mnu_Remove_Click() {}

void QueueController::CmdClear_Click()
{
    clearQueue();
}

void QueueController::clearQueue()
{
    m_w.queue()->clear();
    m_w.LblEstFilesize->setText(Format::estimateCaption(0));
    m_w.CmdRemove->setEnabled(false);
    m_w.CmdClear->setEnabled(false);
    m_w.CmdJoin->setEnabled(false);
}

void QueueController::RefreshEstimate()
{
    float total = 0.0f;
    for (const QueueRow& r : m_w.queue()->rows())
        total = float(double(total) + Format::readFixed(r.size).value_or(0.0));
    m_w.LblEstFilesize->setText(Format::estimateCaption(total));
}
