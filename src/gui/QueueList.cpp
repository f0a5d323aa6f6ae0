#include "gui/QueueList.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include <algorithm>

QueueList::QueueList(QWidget* parent) : QTreeView(parent)
{
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
}

QList<int> QueueList::selectedPositions() const
{
    // Walk the ranges, never ask row by row: isSelected() scans every range.
    QList<int> rows;
    const QItemSelectionModel* sel = selectionModel();
    if (!sel)
        return rows;
    const QItemSelection ranges = sel->selection();
    for (const QItemSelectionRange& r : ranges) {
        if (!r.isValid())
            continue;
        for (int row = r.top(); row <= r.bottom(); ++row)
            rows.append(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

QStringList QueueList::localFiles(const QMimeData* mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    const QList<QUrl> urls = mime->urls();
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}

void QueueList::keyPressEvent(QKeyEvent* event)
{
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Delete && mods == Qt::NoModifier) {
        emit deletePressed();
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void QueueList::mousePressEvent(QMouseEvent* event)
{
    QTreeView::mousePressEvent(event);
    if (event->button() == Qt::RightButton) {
        event->accept();
        emit rightButtonPressed(event->globalPosition().toPoint());
    }
}

bool QueueList::takeDrag(QDropEvent* event)
{
    if (!m_acceptsFiles || localFiles(event->mimeData()).isEmpty())
        return false;
    // Never a move: the sender must not take the files away.
    if (event->possibleActions() & Qt::CopyAction)
        event->setDropAction(Qt::CopyAction);
    else if (event->possibleActions() & Qt::LinkAction)
        event->setDropAction(Qt::LinkAction);
    else
        return false;
    return true;
}

void QueueList::dragEnterEvent(QDragEnterEvent* event)
{
    m_dragAccepted = takeDrag(event);
    event->setAccepted(m_dragAccepted);
}

void QueueList::dragMoveEvent(QDragMoveEvent* event)
{
    if (m_dragAccepted && m_acceptsFiles) {
        event->setDropAction((event->possibleActions() & Qt::CopyAction) ? Qt::CopyAction
                                                                         : Qt::LinkAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void QueueList::dragLeaveEvent(QDragLeaveEvent* event)
{
    m_dragAccepted = false;
    event->accept();
}

void QueueList::dropEvent(QDropEvent* event)
{
    m_dragAccepted = false;
    if (!takeDrag(event)) {
        event->ignore();
        return;
    }
    event->accept();
    const QStringList paths = localFiles(event->mimeData());
    QMetaObject::invokeMethod(
        this, [this, paths] { emit filesDropped(paths); }, Qt::QueuedConnection);
}
