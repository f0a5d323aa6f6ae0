#pragma once

#include <QObject>
#include <QStringList>

class frmReelbind;

/// The queue commands of the main window: Add (and files dropped on the
/// list), Remove, Move Up/Down, Clear, sorting by a column, the pop-up menu
/// and viewing the selected file, plus the estimate label.
class QueueController : public QObject
{
    Q_OBJECT
public:
    explicit QueueController(frmReelbind& window);
    ~QueueController() override;

    void CmdAdd_Click();
    void CmdRemove_Click();
    void CmdMoveUp_Click();
    void CmdMoveDown_Click();
    void CmdClear_Click();
    void mnu_View_Click();
    void mnu_Remove_Click();

    /// Recomputes the estimate label from the rows' size texts.
    void RefreshEstimate();

    /// Empties the queue, sets the estimate to 0.00 MB and disables Remove,
    /// Clear and Join, as Clear does.
    void clearQueue();

private:
    frmReelbind& m_w;
};
