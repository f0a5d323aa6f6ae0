#pragma once

// Helpers shared by the queue's GUI tests.

#include "app/frmReelbind.h"
#include "platform/FakePlatform.h"
#include "queue/QueueController.h"
#include "queue/QueueModel.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>

namespace QueueTest {

/// A sparse file of `size` bytes (only sizes matter to the queue); its path.
inline QString sized(const QString& dir, const QString& name, qint64 size)
{
    QFile f(dir + '/' + name);
    return f.open(QIODevice::WriteOnly) && f.resize(size) ? f.fileName() : QString();
}

/// One column of the queue from the top: 0 name, 1 folder, 2 size.
inline QStringList column(const frmReelbind& w, int col = 0)
{
    QStringList out;
    for (const QueueRow& r : w.queue()->rows())
        out << (col == 0 ? r.name : col == 1 ? r.folder : r.size);
    return out;
}

/// The queue as the user sees it: "names | sizes | estimate | whether
/// Remove, Clear and Join are enabled", e.g. "a b | 1.00 2.00 | 3.00 MB | 110".
inline QString shown(const frmReelbind& w)
{
    QString buttons;
    for (const QPushButton* b : {w.CmdRemove, w.CmdClear, w.CmdJoin})
        buttons += b->isEnabled() ? '1' : '0';
    const QString est =
        w.LblEstFilesize->text().remove(QStringLiteral("Estimated Joined Filesize:  "));
    return QStringList{column(w).join(' '), column(w, 2).join(' '), est, buttons}.join(" | ");
}

/// Names of the selected rows, from the top.
inline QString selectedNames(const frmReelbind& w)
{
    QStringList out;
    for (int p : w.queueController()->selectedPositions())
        out << w.queue()->at(p).name;
    return out.join(' ');
}

/// Selects exactly the rows at the given 0-based positions.
inline void selectRows(frmReelbind& w, const QList<int>& rows)
{
    QItemSelection sel;
    for (int r : rows)
        sel.select(w.queue()->index(r, 0), w.queue()->index(r, 2));
    w.ListViewAdd->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
}

/// Adds `paths` through the Add button and a scripted dialog answer.
inline void addViaDialog(TestSupport::App& app, const QStringList& paths)
{
    app.platform->setNextOpenFiles(paths);
    app.window->CmdAdd->click();
}

} // namespace QueueTest
