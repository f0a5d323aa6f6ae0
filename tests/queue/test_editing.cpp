// The editing commands: Remove (button, Delete key, pop-up item), Clear,
// Move Up/Down, sorting by a column click, the pop-up menu and View.

#include "QueueTestUtil.h"

#include <QAction>
#include <QHeaderView>
#include <QtTest>

using namespace QueueTest;

namespace {

const QString kAbove =
    QStringLiteral("Can't move the selected item above the beginning of the list.");
const QString kBelow = QStringLiteral("Can't move the selected item below the end of the list.");

/// A shown main window with files queued from its program folder.
struct Queue
{
    TestSupport::App app;
    frmReelbind& w = *app.window;
    FakePlatform& fake = *app.platform;

    Queue()
    {
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            qFatal("window not exposed");
    }
    QString path(const QString& name) const { return app.folder.path() + '/' + name; }
    /// One file per name, of the sizes given in bytes (by default the n-th is n MiB).
    void add(const QStringList& names, QList<qint64> sizes = {})
    {
        QStringList paths;
        for (int i = 0; i < names.size(); ++i)
            paths << sized(app.folder.path(), names[i], sizes.value(i, (i + 1) * 1048576LL));
        addViaDialog(app, paths);
    }
    QPoint row(int r) const { return w.ListViewAdd->visualRect(w.queue()->index(r, 0)).center(); }
    void click(Qt::MouseButton button, QPoint pos)
    {
        QTest::mouseClick(w.ListViewAdd->viewport(), button, {}, pos);
    }
};

} // namespace

class TestEditing : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    void remove_data()
    {
        // 0 Remove, 1 Delete key, 2 pop-up item, 3 Clear, 4 Shift+Delete, 5 Delete during a join
        QTest::addColumn<int>("via");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("expected");
        const QString none = " |  | 0.00 MB | 000", abcd = "A B C D | 1.00 2.00 3.00 4.00 | ";
        for (int via : {0, 1, 2}) {
            const char* how = via == 0 ? "button" : via == 1 ? "Delete key" : "pop-up";
            QTest::addRow("%s: rows 2 and 3", how)
                << via << QList<int>{1, 2} << "A D | 1.00 4.00 | 5.00 MB | 111";
            QTest::addRow("%s: all", how) << via << QList<int>{0, 1, 2, 3} << none;
            if (via != 2) // no menu without a selected row
                QTest::addRow("%s: none", how) << via << QList<int>{} << abcd + "10.00 MB | 111";
        }
        QTest::newRow("Clear") << 3 << QList<int>{1, 2} << none;
        QTest::newRow("Shift+Delete") << 4 << QList<int>{1, 2} << abcd + "stale | 111";
        QTest::newRow("Delete during a join") << 5 << QList<int>{1, 2} << abcd + "stale | 011";
    }

    void remove()
    {
        QFETCH(int, via);
        QFETCH(QList<int>, rows);
        Queue q;
        q.add({"A", "B", "C", "D"});
        q.w.CmdAdd->setFocus();
        selectRows(q.w, rows);
        q.w.LblEstFilesize->setText("stale");
        q.w.CmdRemove->setEnabled(via != 5);
        if (via == 0)
            q.w.CmdRemove->click();
        if (via == 1 || via == 5)
            QTest::keyClick(q.w.ListViewAdd, Qt::Key_Delete);
        if (via == 4)
            QTest::keyClick(q.w.ListViewAdd, Qt::Key_Delete, Qt::ShiftModifier);
        if (via == 2) {
            q.fake.setNextPopupChoice(1);
            q.click(Qt::RightButton, q.row(rows.last()));
            QCOMPARE(q.fake.popups.size(), 1);
        }
        if (via == 3)
            q.w.CmdClear->click();
        QTEST(shown(q.w), "expected");
        QVERIFY(q.fake.messages.isEmpty() && q.fake.questions.isEmpty());
        if (via <= 2) {
            QCOMPARE(selectedNames(q.w), QString());
            QCOMPARE(q.w.focusWidget(), static_cast<QWidget*>(q.w.ListViewAdd));
        }
    }

    void move_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QString>("order");
        QTest::addColumn<bool>("refused");
        QTest::newRow("up B C") << "BC" << true << "BCADE" << false;
        QTest::newRow("down B D") << "BD" << false << "ACBED" << false;
        QTest::newRow("up A C") << "AC" << true << "ABCDE" << true;
        QTest::newRow("down C E") << "CE" << false << "ABCDE" << true;
        QTest::newRow("up, nothing selected") << "" << true << "ABCDE" << false;
        QTest::newRow("down, nothing selected") << "" << false << "ABCDE" << false;
    }

    void move()
    {
        QFETCH(bool, up);
        QFETCH(QString, selected);
        QFETCH(bool, refused);
        Queue q;
        q.add({"A", "B", "C", "D", "E"});
        QList<int> rows;
        for (QChar c : selected)
            rows << c.unicode() - 'A';
        q.w.CmdAdd->setFocus();
        selectRows(q.w, rows);
        (up ? q.w.CmdMoveUp : q.w.CmdMoveDown)->click();
        QTEST(column(q.w).join(""), "order");
        QCOMPARE(selectedNames(q.w).remove(' '), selected); // the selection moves with its rows
        QCOMPARE(q.fake.messages, refused ? QStringList(up ? kAbove : kBelow) : QStringList());
        for (const QueueRow& r : q.w.queue()->rows()) // each row moves whole
            QCOMPARE(r.size, QString::number(r.name[0].unicode() - 'A' + 1) + ".00");
        QVERIFY(!q.w.queue()->isSorted()); // any press, even a refused or empty one, ends sorting
        if (!rows.isEmpty())
            QCOMPARE(q.w.focusWidget(), static_cast<QWidget*>(q.w.ListViewAdd));
    }

    void headerClickSortsAscending()
    {
        Queue q;
        q.w.queue()->setSortedOff();
        q.add({"b", "a", "c", "D"}, {10 * 1048576, 9961472, 1000000, 100 * 1048576});
        QHeaderView* header = q.w.ListViewAdd->header();
        auto clickHeader = [&](int section) {
            const QPoint pos(header->sectionViewportPosition(section) + 5, header->height() / 2);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, pos);
        };
        const QString bySize = "c a b D | 0.95 9.50 10.00 100.00 | 120.45 MB | 111";
        clickHeader(2);
        QCOMPARE(shown(q.w), bySize);
        clickHeader(2); // always ascending
        QCOMPARE(shown(q.w), bySize);
        clickHeader(0);
        QCOMPARE(column(q.w).join(' '), "a b c D");
        clickHeader(2); // sorted by size, a new row takes its place by size
        q.add({"e"}, {20 * 1048576});
        QCOMPARE(column(q.w).join(' '), "c a b e D");
    }

    void popupOnlyOnRightButtonWithASelectedRow()
    {
        Queue q;
        q.click(Qt::RightButton, QPoint(10, 10)); // empty list
        q.add({"A", "B", "C", "D", "E"});
        const QPoint below(10, q.w.ListViewAdd->viewport()->height() - 3);
        QVERIFY(!q.w.ListViewAdd->indexAt(below).isValid());
        q.click(Qt::RightButton, below); // nothing selected
        q.click(Qt::LeftButton, q.row(1));
        QCOMPARE(selectedNames(q.w), "B");
        QVERIFY(q.fake.popups.isEmpty());

        q.click(Qt::RightButton, below);
        QCOMPARE(q.fake.popups,
                 QList<QStringList>({{"View Selecte File", "Remove Selected File(s)"}}));

        // Over an unselected row the press selects it first; the menu works
        // while a join has the buttons off.
        for (QPushButton* b : {q.w.CmdAdd, q.w.CmdRemove, q.w.CmdClear, q.w.CmdJoin})
            b->setEnabled(false);
        q.fake.setNextPopupChoice(0);
        q.click(Qt::RightButton, q.row(3));
        QCOMPARE(q.fake.popups.size(), 2);
        QCOMPARE(q.fake.opened, QStringList(q.path("D")));

        selectRows(q.w, {3, 1}); // View opens the topmost selected file
        q.w.mnu_View->trigger();
        QCOMPARE(q.fake.opened.last(), q.path("B"));
    }
};

QTEST_MAIN(TestEditing)
#include "test_editing.moc"
