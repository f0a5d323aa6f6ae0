#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

class frmReelbind;
class QDropEvent;
class QMimeData;
class QPoint;

/// The queue commands of the main window: Add (and files dropped on the
/// list), Remove (button, pop-up item and the Delete key), Move Up/Down,
/// Clear, sorting by a column, the pop-up menu and viewing the selected file,
/// plus the estimate label.
///
/// The constructor wires the list: header clicks sort, a right-button press
/// over it opens the pop-up menu, files dropped on it are added, and Delete
/// removes the selected rows.
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

    /// 0-based positions of the list's selected rows, ascending. Linear in
    /// the number of selected ranges and rows.
    QList<int> selectedPositions() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// Adds the files at `paths` (full paths, in this order), as the Add
    /// command does with the dialog's answer; drops come here too.
    void addFiles(const QStringList& paths);
    void ListViewAdd_ColumnClick(int column);
    void ListViewAdd_MouseDown(Qt::MouseButton button, const QPoint& globalPos);
    /// The local files a drag carries, in its order.
    static QStringList localFiles(const QMimeData* mime);
    /// Whether the list takes this drag; sets a copying drop action if so.
    bool acceptDrag(QDropEvent* event);
    void setEstimateCaption(const QString& caption);
    void setQueueButtonsEnabled(bool enabled);

    frmReelbind& m_w;
    bool m_forwardingPress = false;
    bool m_dragAccepted = false;
};
