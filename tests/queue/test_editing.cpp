// The editing commands on the queue: Remove (button, pop-up item, Delete
// key), Move Up/Down, Clear, sorting by a column, the pop-up menu and View.

#include "QueueTestUtil.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

using namespace QueueTest;

namespace {
const QString kAbove =
    QStringLiteral("Can't move the selected item above the beginning of the list.");
const QString kBelow = QStringLiteral("Can't move the selected item below the end of the list.");
} // namespace

class TestEditing : public QObject
{
    Q_OBJECT

    /// A shown main window with files queued in the given order (sorting is
    /// turned off first when `sorted` is false).
    struct Queue
    {
        TestSupport::App app;
        QTemporaryDir dir;
        frmReelbind& w() { return *app.window; }
    };

    std::unique_ptr<Queue> queue(const QList<QPair<QString, qint64>>& files, bool sorted = false)
    {
        auto q = std::make_unique<Queue>();
        q->w().show();
        if (!QTest::qWaitForWindowExposed(&q->w()))
            qFatal("window not exposed");
        if (!sorted)
            q->w().queue()->setSortedOff();
        QStringList paths;
        for (const auto& f : files)
            paths << TestSupport::makeFile(q->dir.path(), f.first, f.second);
        addViaDialog(q->app, paths);
        return q;
    }

    std::unique_ptr<Queue> abcde()
    {
        return queue({{"A", 1048576},
                      {"B", 2 * 1048576},
                      {"C", 3 * 1048576},
                      {"D", 4 * 1048576},
                      {"E", 5 * 1048576}});
    }

    static QPoint rowCenter(frmReelbind& w, int row)
    {
        return w.ListViewAdd->visualRect(w.queue()->index(row, 0)).center();
    }

private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    void removeTheMiddleTwoOfFour()
    {
        auto q = queue({{"1.mpg", 1048576},
                        {"2.mpg", 2 * 1048576},
                        {"3.mpg", 3 * 1048576},
                        {"4.mpg", 4 * 1048576}});
        q->w().CmdAdd->setFocus();
        selectRows(q->w(), {1, 2});
        q->w().CmdRemove->click();
        QCOMPARE(names(q->w()), QStringList({"1.mpg", "4.mpg"}));
        QCOMPARE(q->w().LblEstFilesize->text(), estimate("5.00"));
        QCOMPARE(queueButtons(q->w()), QStringLiteral("111"));
        QVERIFY(selectedNames(q->w()).isEmpty());
        QCOMPARE(q->w().focusWidget(), static_cast<QWidget*>(q->w().ListViewAdd));
    }

    void removeEveryRowDisablesTheButtons()
    {
        auto q = abcde();
        q->w().ListViewAdd->selectAll();
        q->w().CmdRemove->click();
        QCOMPARE(q->w().queue()->count(), 0);
        QCOMPARE(queueButtons(q->w()), QStringLiteral("000"));
        QCOMPARE(q->w().LblEstFilesize->text(), estimate("0.00"));
    }

    void removeWithNothingSelectedOnlyRecomputesTheEstimate()
    {
        auto q = abcde();
        q->w().LblEstFilesize->setText(QStringLiteral("stale"));
        q->w().CmdRemove->click();
        QCOMPARE(names(q->w()), QStringList({"A", "B", "C", "D", "E"}));
        QCOMPARE(q->w().LblEstFilesize->text(), estimate("15.00"));
        QCOMPARE(queueButtons(q->w()), QStringLiteral("111"));
    }

    void removeKeepsOtherSelectionStateOfSurvivors()
    {
        // The join takes rows out by id while the user has rows selected.
        auto q = abcde();
        selectRows(q->w(), {3});
        QSet<quint64> ids{q->w().queue()->at(0).id, q->w().queue()->at(2).id};
        q->w().queue()->removeIds(ids);
        QCOMPARE(names(q->w()), QStringList({"B", "D", "E"}));
        QCOMPARE(selectedNames(q->w()), QStringList({"D"}));
    }

    void moveUpMovesTheSelectedBlock()
    {
        auto q = abcde();
        q->w().CmdAdd->setFocus();
        selectRows(q->w(), {1, 2});
        q->w().CmdMoveUp->click();
        QCOMPARE(names(q->w()), QStringList({"B", "C", "A", "D", "E"}));
        QCOMPARE(selectedNames(q->w()), QStringList({"B", "C"}));
        QCOMPARE(column(q->w(), 2), QStringList({"2.00", "3.00", "1.00", "4.00", "5.00"}));
        QCOMPARE(q->w().focusWidget(), static_cast<QWidget*>(q->w().ListViewAdd));
        QVERIFY(q->app.platform->messages.isEmpty());
        // Pressed again, the block goes on up to the top.
        q->w().CmdMoveUp->click();
        QCOMPARE(names(q->w()), QStringList({"B", "C", "A", "D", "E"}));
        QCOMPARE(q->app.platform->messages, QStringList({kAbove}));
    }

    void moveDownMovesEachSelectedRow()
    {
        auto q = abcde();
        selectRows(q->w(), {1, 3});
        q->w().CmdMoveDown->click();
        QCOMPARE(names(q->w()), QStringList({"A", "C", "B", "E", "D"}));
        QCOMPARE(selectedNames(q->w()), QStringList({"B", "D"}));
        QVERIFY(q->app.platform->messages.isEmpty());
    }

    void moveUpOfSeveralRunsAndMoveDownUndoesIt()
    {
        auto q = queue({{"a", 1}, {"b", 1}, {"c", 1}, {"d", 1}, {"e", 1}, {"f", 1}, {"g", 1}});
        selectRows(q->w(), {2, 3, 5});
        q->w().CmdMoveUp->click();
        QCOMPARE(names(q->w()), QStringList({"a", "c", "d", "b", "f", "e", "g"}));
        q->w().CmdMoveDown->click();
        QCOMPARE(names(q->w()), QStringList({"a", "b", "c", "d", "e", "f", "g"}));
        QCOMPARE(selectedNames(q->w()), QStringList({"c", "d", "f"}));
        // The current row follows its row as well.
        q->w().ListViewAdd->setCurrentIndex(q->w().queue()->index(3, 0));
        q->w().CmdMoveUp->click();
        QCOMPARE(q->w().ListViewAdd->currentIndex().row(), 2);
    }

    void refusalsMoveNothing()
    {
        auto q = abcde();
        q->w().CmdAdd->setFocus();
        selectRows(q->w(), {0, 2});
        q->w().CmdMoveUp->click();
        QCOMPARE(q->app.platform->messages, QStringList({kAbove}));
        QCOMPARE(names(q->w()), QStringList({"A", "B", "C", "D", "E"}));
        QCOMPARE(selectedNames(q->w()), QStringList({"A", "C"}));
        QCOMPARE(q->w().focusWidget(), static_cast<QWidget*>(q->w().ListViewAdd));

        selectRows(q->w(), {2, 4});
        q->w().CmdMoveDown->click();
        QCOMPARE(q->app.platform->messages, QStringList({kAbove, kBelow}));
        QCOMPARE(names(q->w()), QStringList({"A", "B", "C", "D", "E"}));
        QCOMPARE(selectedNames(q->w()), QStringList({"C", "E"}));
    }

    void movePressTurnsSortingOffEvenWhenRefusedOrEmpty()
    {
        auto q = queue({{"b", 1}, {"a", 1}}, true);
        QCOMPARE(names(q->w()), QStringList({"a", "b"}));
        selectRows(q->w(), {0});
        q->w().CmdMoveUp->click();
        QVERIFY(!q->w().queue()->isSorted());

        auto empty = queue({}, true);
        empty->w().CmdMoveDown->click();
        QVERIFY(!empty->w().queue()->isSorted());
        QVERIFY(empty->app.platform->messages.isEmpty());
    }

    void clearEmptiesAndKeepsTheSortMode()
    {
        auto q = abcde();
        QVERIFY(!q->w().queue()->isSorted());
        q->w().CmdClear->click();
        QCOMPARE(q->w().queue()->count(), 0);
        QCOMPARE(q->w().LblEstFilesize->text(), estimate("0.00"));
        QCOMPARE(queueButtons(q->w()), QStringLiteral("000"));
        QVERIFY(!q->w().queue()->isSorted());
        QVERIFY(q->app.platform->questions.isEmpty());
    }

    void headerClickSortsAscendingByThatColumn()
    {
        auto q = queue({{"b.mpg", 10 * 1048576},
                        {"a.mpg", 9961472 /* 9.50 */},
                        {"c.mpg", 1000000},
                        {"D.mpg", 100 * 1048576}});
        QCOMPARE(names(q->w()), QStringList({"b.mpg", "a.mpg", "c.mpg", "D.mpg"}));
        QHeaderView* header = q->w().ListViewAdd->header();
        auto clickHeader = [&](int section) {
            const QPoint pos(header->sectionViewportPosition(section) + 5, header->height() / 2);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, pos);
        };
        clickHeader(2);
        QVERIFY(q->w().queue()->isSorted());
        QCOMPARE(q->w().queue()->sortKey(), int(QueueModel::ColSize));
        QCOMPARE(column(q->w(), 2), QStringList({"0.95", "9.50", "10.00", "100.00"}));
        clickHeader(2); // the order is always ascending
        QCOMPARE(column(q->w(), 2), QStringList({"0.95", "9.50", "10.00", "100.00"}));
        clickHeader(0);
        QCOMPARE(names(q->w()), QStringList({"a.mpg", "b.mpg", "c.mpg", "D.mpg"}));
        // Sorted by size, a new row takes its place by size.
        clickHeader(2);
        addViaDialog(q->app, {TestSupport::makeFile(q->dir.path(), "e.mpg", 20 * 1048576)});
        QCOMPARE(names(q->w()), QStringList({"c.mpg", "a.mpg", "b.mpg", "e.mpg", "D.mpg"}));
    }

    void sortKeepsTheSelectionOnItsRows()
    {
        auto q = queue({{"clip10", 1}, {"clip2", 1}, {"clip1", 1}});
        selectRows(q->w(), {0});
        emit q->w().ListViewAdd->header()->sectionClicked(0);
        QCOMPARE(names(q->w()), QStringList({"clip1", "clip2", "clip10"}));
        QCOMPARE(selectedNames(q->w()), QStringList({"clip10"}));
    }

    void sortByLocationGroupsFolders()
    {
        auto q = std::make_unique<Queue>();
        QVERIFY(QDir(q->dir.path()).mkpath("dir10"));
        QVERIFY(QDir(q->dir.path()).mkpath("dir9"));
        const QString x = TestSupport::makeFile(q->dir.path() + "/dir10", "a", 1);
        const QString y = TestSupport::makeFile(q->dir.path() + "/dir9", "b", 1);
        addViaDialog(q->app, {x, y});
        QCOMPARE(names(q->w()), QStringList({"a", "b"}));
        emit q->w().ListViewAdd->header()->sectionClicked(1);
        QCOMPARE(names(q->w()), QStringList({"b", "a"}));
    }

    void popupOnlyForTheRightButtonWithASelectedRow()
    {
        auto q = abcde();
        QWidget* vp = q->w().ListViewAdd->viewport();
        const QPoint belowRows(10, vp->height() - 3);
        QVERIFY(!q->w().ListViewAdd->indexAt(belowRows).isValid());

        // Nothing selected, right button on the empty part: no menu.
        QTest::mousePress(vp, Qt::RightButton, {}, belowRows);
        QTest::mouseRelease(vp, Qt::RightButton, {}, belowRows);
        QVERIFY(q->app.platform->popups.isEmpty());

        // Left button over a row selects it but never opens the menu.
        QTest::mousePress(vp, Qt::LeftButton, {}, rowCenter(q->w(), 1));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, rowCenter(q->w(), 1));
        QCOMPARE(selectedNames(q->w()), QStringList({"B"}));
        QVERIFY(q->app.platform->popups.isEmpty());

        // Right button with a row selected: the menu, with its two items.
        QTest::mousePress(vp, Qt::RightButton, {}, belowRows);
        QCOMPARE(q->app.platform->popups.size(), 1);
        QCOMPARE(q->app.platform->popups.first(),
                 QStringList({"View Selecte File", "Remove Selected File(s)"}));
        QTest::mouseRelease(vp, Qt::RightButton, {}, belowRows);

        // Right button over an unselected row selects that row first, so
        // the menu acts on the row under the pointer.
        q->app.platform->setNextPopupChoice(0);
        QTest::mousePress(vp, Qt::RightButton, {}, rowCenter(q->w(), 3));
        QTest::mouseRelease(vp, Qt::RightButton, {}, rowCenter(q->w(), 3));
        QCOMPARE(q->app.platform->popups.size(), 2);
        QCOMPARE(q->app.platform->opened, QStringList({q->dir.path() + "/D"}));
    }

    void popupNeedsRows()
    {
        auto q = queue({});
        QWidget* vp = q->w().ListViewAdd->viewport();
        QTest::mousePress(vp, Qt::RightButton, {}, QPoint(10, 10));
        QVERIFY(q->app.platform->popups.isEmpty());
    }

    void popupRemoveActsLikeTheButton()
    {
        auto q = abcde();
        selectRows(q->w(), {0, 4});
        q->app.platform->setNextPopupChoice(1);
        QTest::mousePress(q->w().ListViewAdd->viewport(), Qt::RightButton, {},
                          rowCenter(q->w(), 4));
        QCOMPARE(names(q->w()), QStringList({"B", "C", "D"}));
        QCOMPARE(q->w().LblEstFilesize->text(), estimate("9.00"));
    }

    void viewOpensTheTopmostSelectedFile()
    {
        auto q = abcde();
        QItemSelectionModel* sel = q->w().ListViewAdd->selectionModel();
        sel->select(q->w().queue()->index(3, 0),
                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        sel->select(q->w().queue()->index(1, 0),
                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
        q->w().mnu_View->trigger();
        QCOMPARE(q->app.platform->opened, QStringList({q->dir.path() + "/B"}));
    }

    void deleteKeyRemovesLikeRemove()
    {
        auto q = abcde();
        selectRows(q->w(), {1, 2});
        QTest::keyClick(q->w().ListViewAdd, Qt::Key_Delete);
        QCOMPARE(names(q->w()), QStringList({"A", "D", "E"}));
        QCOMPARE(q->w().LblEstFilesize->text(), estimate("10.00"));

        // Other keys are the list's own; Shift+Delete is not Remove.
        selectRows(q->w(), {0});
        QTest::keyClick(q->w().ListViewAdd, Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(q->w().queue()->count(), 3);

        // While Remove is off (during a join) the key does nothing.
        q->w().CmdRemove->setEnabled(false);
        QTest::keyClick(q->w().ListViewAdd, Qt::Key_Delete);
        QCOMPARE(q->w().queue()->count(), 3);
        q->w().CmdRemove->setEnabled(true);

        q->w().ListViewAdd->selectAll();
        QTest::keyClick(q->w().ListViewAdd, Qt::Key_Delete);
        QCOMPARE(q->w().queue()->count(), 0);
        QCOMPARE(queueButtons(q->w()), QStringLiteral("000"));
    }

    void duringAJoinMovesAndPopupStayUsable()
    {
        auto q = abcde();
        for (QPushButton* b : {q->w().CmdAdd, q->w().CmdRemove, q->w().CmdClear, q->w().CmdJoin})
            b->setEnabled(false);
        selectRows(q->w(), {4});
        q->w().CmdMoveUp->click();
        QCOMPARE(names(q->w()), QStringList({"A", "B", "C", "E", "D"}));
        q->app.platform->setNextPopupChoice(0);
        QTest::mousePress(q->w().ListViewAdd->viewport(), Qt::RightButton, {},
                          rowCenter(q->w(), 3));
        QCOMPARE(q->app.platform->opened, QStringList({q->dir.path() + "/E"}));
    }
};

QTEST_MAIN(TestEditing)
#include "test_editing.moc"
