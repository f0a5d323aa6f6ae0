#pragma once

// Small helpers shared by the queue's GUI tests.

#include "app/frmReelbind.h"
#include "platform/FakePlatform.h"
#include "queue/QueueController.h"
#include "queue/QueueModel.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>

namespace QueueTest {

inline QStringList column(const frmReelbind& w, int col)
{
    QStringList out;
    for (const QueueRow& r : w.queue()->rows())
        out << (col == 0 ? r.name : col == 1 ? r.folder : r.size);
    return out;
}

inline QStringList names(const frmReelbind& w)
{
    return column(w, 0);
}

inline QStringList selectedNames(const frmReelbind& w)
{
    QStringList out;
    for (int p : w.queueController()->selectedPositions())
        out << w.queue()->at(p).name;
    return out;
}

/// Selects exactly the rows at the given 0-based positions.
inline void selectRows(frmReelbind& w, const QList<int>& rows)
{
    QItemSelection sel;
    for (int r : rows)
        sel.select(w.queue()->index(r, 0), w.queue()->index(r, 2));
    w.ListViewAdd->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
}

/// The three queue buttons' enabled states, "Remove Clear Join" as 0/1.
inline QString queueButtons(const frmReelbind& w)
{
    return QStringLiteral("%1%2%3")
        .arg(int(w.CmdRemove->isEnabled()))
        .arg(int(w.CmdClear->isEnabled()))
        .arg(int(w.CmdJoin->isEnabled()));
}

inline QString estimate(const QString& number)
{
    return QStringLiteral("Estimated Joined Filesize:  ") + number + QStringLiteral(" MB");
}

/// Adds `paths` through the Add button and a scripted dialog answer.
inline void addViaDialog(TestSupport::App& app, const QStringList& paths)
{
    app.platform->setNextOpenFiles(paths);
    app.window->CmdAdd->click();
}

inline QMimeData* uriList(const QStringList& paths)
{
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << (p.contains(QLatin1String("://")) ? QUrl(p) : QUrl::fromLocalFile(p));
    mime->setUrls(urls);
    return mime;
}

/// Sends a drag-enter and a drop of `paths` to the list's viewport, as a
/// file manager does. Returns whether the drop was accepted; the drop action
/// it was accepted with goes to `action`.
inline bool dropFiles(frmReelbind& w, const QStringList& paths,
                      Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction,
                      Qt::DropAction* action = nullptr)
{
    std::unique_ptr<QMimeData> mime(uriList(paths));
    QWidget* vp = w.ListViewAdd->viewport();
    const QPointF pos(20, 20);
    QDragEnterEvent enter(pos.toPoint(), offered, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(vp, &enter);
    QDropEvent drop(pos, offered, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(vp, &drop);
    if (action)
        *action = drop.dropAction();
    return enter.isAccepted() && drop.isAccepted();
}

} // namespace QueueTest
