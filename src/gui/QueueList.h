#pragma once

#include <QList>
#include <QStringList>
#include <QTreeView>

class QMimeData;

/// The queue's list view: three columns, rows selected whole, several at a
/// time. Besides a view's own work it reports three things to its window:
/// the Delete key, a press of the right mouse button (after the row under
/// the pointer was selected, as any click selects it), and local files
/// dropped on it from a file manager. A drop is always a copy (or a link
/// when the sender offers nothing else), never a move, and is taken only
/// while it accepts files (setAcceptsFiles).
class QueueList : public QTreeView
{
    Q_OBJECT
public:
    explicit QueueList(QWidget* parent = nullptr);

    /// 0-based positions of the selected rows, ascending. Linear in the
    /// number of selected ranges and rows.
    QList<int> selectedPositions() const;

    void setAcceptsFiles(bool on) { m_acceptsFiles = on; }

    /// The local files a drag carries, in its order.
    static QStringList localFiles(const QMimeData* mime);

signals:
    void deletePressed();
    void rightButtonPressed(const QPoint& globalPos);
    /// Sent after the drop has returned, so that the sender is not kept
    /// waiting behind a message box.
    void filesDropped(const QStringList& paths);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    /// Whether the list takes this drag; sets a copying drop action if so.
    bool takeDrag(QDropEvent* event);

    bool m_acceptsFiles = true;
    bool m_dragAccepted = false;
};
