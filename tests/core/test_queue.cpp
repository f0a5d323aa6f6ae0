// The join queue without windows: adding, the estimate, the editing
// commands, which commands are possible; and the queue model on its own.
#include "support/TestSupport.h"

#include <QAbstractItemModelTester>
#include <QtTest>
#include <cerrno>

using namespace TestSupport;

// One column from the top: 0 name, 1 folder, 2 size.
QString column(const QList<QueueRow>& rows, int col = 0)
{
    QStringList out;
    for (const QueueRow& r : rows)
        out << (col == 0 ? r.name : col == 1 ? r.folder : r.size);
    return out.join(' ');
}

// "names | estimate | Add Remove Clear Join Exit as 0/1".
QString shown(const JoinQueue& q)
{
    const JoinQueue::Commands c = q.commands();
    return column(q.rows()) + " | " + q.estimate().section("  ", 1) + " | " +
           QString("%1%2%3%4%5").arg(c.add).arg(c.remove).arg(c.clear).arg(c.join).arg(c.exit);
}

class TestQueue : public QObject
{
    Q_OBJECT
    const QLocale m_locale;

private slots:
    void cleanup() { QLocale::setDefault(m_locale); }

    void addNamesWhatIsLeftOutAndRemembersTheFolder()
    {
        Core c;
        JoinQueue& q = c.queue();
        const QString dir = c.folder.path() + "/x.y/z", gone = dir + "/gone",
                      cwd = QDir::currentPath();
        QVERIFY(QDir().mkpath(dir) && QDir::setCurrent(dir));
        c.prefs().setFolderText(Preferences::SourceFolder, "/usr");
        const QString kept = "/usr|" + c.settings().SourceDir.value_or("<none>");
        // Nothing addable: nothing changes but the message.
        QCOMPARE(q.add({gone}),
                 "This file was not added to the queue:\n\n" + gone + ": " + reason(ENOENT));
        QCOMPARE(shown(q) + q.addFolder(), " | 0.00 MB | 10001/usr");
        QStringList remembered;       // live and stored
        for (int state : {0, 2, 1}) { // RememberSource unticked, greyed, ticked
            c.prefs().setCheckState(Preferences::RememberSource, state);
            // The same file twice, the second time relative to the working folder.
            QCOMPARE(q.add({sized(dir, "a.b", 1 << 20), "a.b"}), QString());
            remembered << q.addFolder() + '|' + c.settings().SourceDir.value_or("<none>");
        }
        QVERIFY(QDir::setCurrent(cwd));
        QCOMPARE(remembered, QStringList({kept, kept, dir + '|' + dir}));
        QCOMPARE(column(q.rows()) + '|' + column(q.rows(), 1),
                 QStringList(6, "a.b").join(' ') + '|' + QStringList(6, dir + '/').join(' '));
        QVERIFY(q.rows()[0].id != q.rows()[1].id);
        // So many left out that only the first 15 are named; the others are added.
        QStringList paths{sized(c.folder.path(), "c", 1 << 20)}, named;
        for (int i = 0; i < 17; ++i)
            named << (paths << gone + QString::number(i)).last() + ": " + reason(ENOENT);
        QCOMPARE(q.add(paths), "These files were not added to the queue:\n\n" +
                                   named.mid(0, 15).join('\n') + "\n... and 2 more.");
        QCOMPARE(shown(q) + q.addFolder(),
                 "a.b a.b a.b a.b a.b a.b c | 7.00 MB | 11111" + c.folder.path());
        c.prefs().setFolderText(Preferences::SourceFolder, ""); // the Add dialog opens at home
        QCOMPARE(q.addFolder(), QDir::homePath());
        const auto inRoot = QDir("/").entryInfoList(QDir::Files | QDir::Hidden | QDir::Readable);
        if (inRoot.isEmpty())
            QSKIP("no readable regular file in the root folder");
        q.clear(); // the root folder keeps its slash
        QCOMPARE(q.add({inRoot[0].absoluteFilePath()}), QString());
        QCOMPARE(q.rows()[0].folder + '|' + q.addFolder() + '|' + *c.settings().SourceDir, "/|/|/");
    }

    // Steps in turn: "add NAME[=BYTES]..." (the n-th n MiB unless told; folders are made),
    // "remove|up|down|joined POS..." (0-based), "clear", "sort COLUMN", "run" and "end" a
    // join, "locale NAME"; "names" and "sizes" show that column then.
    void edit_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected"); // shown() | each message
        const auto row = [](const QString& steps, const QString& expected) {
            QTest::newRow(qPrintable(steps)) << steps << expected;
        };
        const QString five = "add A B C D E; ", none = " | 0.00 MB | 10001";
        const QString same = "A B C D E | 15.00 MB | 11111";
        const QString above = " | Can't move the selected item above the beginning of the list.";
        // The estimate sums the sizes as shown in single precision: not .86 (exact), not .85.
        row("add a=1000000 b=1000000 c=1000000 d=137438953472; sizes",
            "a b c d | 131074.84 MB | 11111 | 0.95 0.95 0.95 131072.00");
        row(five + "remove 1 2", "A D E | 10.00 MB | 11111");
        row(five + "remove 4 0 1 2 3", none);
        row(five + "clear", none);
        row(five + "up 1 2 4", "B C A E D | 15.00 MB | 11111");
        row(five + "down 0 2 3", "B A E C D | 15.00 MB | 11111");
        row(five + "up 0 2", same + above);
        row(five + "down 2 4", same + " | Can't move the selected item below the end of the list.");
        // Rows joined and deleted go as with Remove, but as Clear when none is left.
        row(five + "joined 1 2", "A D E | 10.00 MB | 11111");
        row(five + "joined 4 0 1 2 3", none);
        // The end of a join brings all five commands back, even for an empty queue.
        row(five + "clear; run; end", " | 0.00 MB | 11111");
        // Any move, even a refused or an empty one, ends sorting: new rows go to the end.
        row("add B A; up 0; add 0", "A B 0 | 4.00 MB | 11111" + above);
        row("add B A; down; add 0", "A B 0 | 4.00 MB | 11111");
        // Sorting is ascending, numeric-aware and case-blind; a new row takes its place.
        const QString four = "add dir10/x=10485760 dir9/Y=9961472 Dir9/y2=1234567890 a/x1=1000000";
        row("locale de_DE; " + four + "; sort 2; sizes",
            "x1 Y x y2 | 1197,83 MB | 11111 | 0,95 9,50 10,00 1177,38");
        row(four + "; sort 2; sort 2; names; sort 1; names; sort 0; names; sort 2; add e=20971520; "
                   "names; down 0; add clip10 Clip1",
            "Y x1 x e y2 clip10 Clip1 | 1220.83 MB | 11111 | x1 Y x y2 | x1 Y y2 x | x x1 Y y2 | "
            "x1 Y x e y2");
    }
    void edit()
    {
        QFETCH(QString, steps);
        Core c;
        JoinQueue& q = c.queue();
        const QString dir = c.folder.path();
        QString messages;
        for (const QString& step : steps.split("; ")) {
            QStringList w = step.split(' ');
            const QString op = w.takeFirst();
            QList<int> rows;
            QSet<quint64> ids;
            for (const QString& n : w)
                ids << q.rows().value(rows.emplaceBack(n.toInt())).id;
            QStringList paths;
            for (int i = 0; op == "add" && i < w.size(); ++i) {
                const QString name = w[i].section('=', 0, 0), size = w[i].section('=', 1);
                QDir(dir).mkpath(QFileInfo(name).path());
                paths << sized(dir, name, size.isEmpty() ? (i + 1) << 20 : size.toLongLong());
            }
            QString message = op == "add" ? q.add(paths) : QString();
            if (op == "locale")
                QLocale::setDefault(QLocale(w[0]));
            if (op == "names" || op == "sizes")
                message = column(q.rows(), op == "sizes" ? 2 : 0);
            if (op == "remove" || op == "joined") // joined: as after Delete Source Files
                op == "remove" ? q.remove(rows) : q.removeJoined(ids);
            if (op == "clear")
                q.clear();
            if (op == "up" || op == "down")
                message = op == "up" ? q.moveUp(rows) : q.moveDown(rows);
            if (op == "sort")
                q.sortByColumn(rows[0]);
            if (op == "run" || op == "end")
                q.setJoinRunning(op == "run");
            messages += message.isEmpty() ? "" : " | " + message;
        }
        QTEST(shown(q) + messages, "expected");
    }

    void modelKeepsPersistentIndexes()
    {
        const auto rowsNamed = [](const QString& names) {
            QList<QueueRow> out;
            for (const QString& n : names.split(' '))
                out.append(QueueRow{n, "/f/", "1.00"});
            return out;
        };
        QueueModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m.append(rowsNamed("a c e g"));
        QPersistentModelIndex a(m.index(0, 1)), c(m.index(1, 2)), g(m.index(3, 0));
        // Merged in: equal rows after those already there, in the order given.
        m.append(rowsNamed("f C b 0 d c"));
        QCOMPARE(column(m.rows()), "0 a b c C c d e f g");
        QCOMPARE(QList<int>({c.row(), c.column(), g.row()}), QList<int>({3, 2, 9}));
        m.removePositions({0, 1, 4, 5, 6, 8, 4, 99, -1}); // scattered; repeats and junk ignored
        QCOMPARE(column(m.rows()), "b c e g");
        QCOMPARE(QList<int>({a.row(), c.row(), g.row()}), QList<int>({-1, 1, 3}));
        m.removePositions({1, 2});  // one run
        m.append(rowsNamed("h c")); // the sort keys still match the rows left
        QCOMPARE(column(m.rows()), "b c g h");
        QVERIFY(m.moveUp({2}) && g.row() == 1);
        m.sortByColumn(QueueModel::ColName);
        QCOMPARE(m.data(g).toString(), "g");
        m.removeIds({m.at(2).id});
        QVERIFY(!g.isValid());
    }
};

QTEST_GUILESS_MAIN(TestQueue)
#include "test_queue.moc"
