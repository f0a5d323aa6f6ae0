// The join queue without windows: adding, the estimate, the editing
// commands, which commands are possible; and the queue model on its own.
#include "support/TestSupport.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QRandomGenerator>
#include <QtTest>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using TestSupport::reason;
using TestSupport::sized;

namespace {

// One column from the top: 0 name, 1 folder, 2 size.
QString column(const QList<QueueRow>& rows, int col = 0)
{
    QStringList out;
    for (const QueueRow& r : rows)
        out << (col == 0 ? r.name : col == 1 ? r.folder : r.size);
    return out.join(' ');
}

QList<QueueRow> rowsNamed(const QString& names)
{
    QList<QueueRow> out;
    for (const QString& n : names.split(' '))
        out.append(QueueRow{n, "/f/", "1.00"});
    return out;
}

// A started program whose queue takes sparse files from its program folder.
struct Q : TestSupport::Core
{
    JoinQueue& q = queue();
    const QString dir = folder.path();

    /// "names | sizes | estimate | Add Remove Clear Join Exit as 0/1".
    QString shown()
    {
        const JoinQueue::Commands c = q.commands();
        const QString bits =
            QString("%1%2%3%4%5").arg(c.add).arg(c.remove).arg(c.clear).arg(c.join).arg(c.exit);
        return QStringList{column(q.rows()), column(q.rows(), 2), q.estimate().section("  ", 1),
                           bits}
            .join(" | ");
    }
    /// Queues one file per name in dir + sub (the n-th n MiB unless told); the message.
    QString add(const QStringList& names, const QList<qint64>& sizes = {}, const QString& sub = {})
    {
        QStringList paths;
        for (int i = 0; i < names.size(); ++i)
            paths << sized(dir + sub, names[i], sizes.value(i, (i + 1) * 1048576LL));
        return q.add(paths);
    }
};

} // namespace

class TestQueue : public QObject
{
    Q_OBJECT
    const QLocale m_locale;

private slots:
    void cleanup() { QLocale::setDefault(m_locale); }

    void sizesAndEstimate_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QList<qint64>>("sizes");
        QTest::addColumn<QString>("expected");
        // The estimate sums the sizes as shown (2.85), not the exact ones (2.86).
        QTest::newRow("3 x 1,000,000")
            << "C" << QList<qint64>(3, 1000000) << "f0 f1 f2 | 0.95 0.95 0.95 | 2.85 MB | 11111";
        QTest::newRow("de_DE") << "de_DE" << QList<qint64>{1000000, 1000000, 1000000, 1234567890}
                               << "f0 f1 f2 f3 | 0,95 0,95 0,95 1177,38 | 1180,23 MB | 11111";
    }
    void sizesAndEstimate()
    {
        QFETCH(QString, locale);
        QFETCH(QList<qint64>, sizes);
        QLocale::setDefault(QLocale(locale));
        Q c;
        QCOMPARE(c.shown(), " |  | 0" + QLocale().decimalPoint() + "00 MB | 10001");
        QCOMPARE(c.add(QStringList{"f0", "f1", "f2", "f3"}.mid(0, sizes.size()), sizes), QString());
        QTEST(c.shown(), "expected");
    }

    void sameFileTwiceSplitAtTheLastSlashAndRelative()
    {
        Q c;
        const QString folder = c.dir + "/x.y/z", cwd = QDir::currentPath();
        QVERIFY(QDir().mkpath(folder));
        const QString p = sized(folder, "name with spaces", 2 * 1048576);
        c.q.add({p, p});
        QVERIFY(QDir::setCurrent(folder)); // a relative path counts from the working folder
        c.q.add({"name with spaces"});
        QVERIFY(QDir::setCurrent(cwd));
        QCOMPARE(c.shown(), "name with spaces name with spaces name with spaces | "
                            "2.00 2.00 2.00 | 6.00 MB | 11111");
        QCOMPARE(column(c.q.rows(), 1).split(' '), QStringList(3, folder + '/'));
        QVERIFY(c.q.rows()[0].id != c.q.rows()[1].id);
    }

    void rememberSource_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("root"); // a file in the root folder
        QTest::newRow("unticked") << 0 << false;
        QTest::newRow("ticked") << 1 << false;
        QTest::newRow("greyed") << 2 << false;
        QTest::newRow("ticked, root folder") << 1 << true;
    }
    void rememberSource()
    {
        QFETCH(int, state);
        QFETCH(bool, root);
        Q c;
        const QFileInfoList inRoot =
            QDir("/").entryInfoList(QDir::Files | QDir::Hidden | QDir::Readable | QDir::NoSymLinks);
        if (root && inRoot.isEmpty())
            QSKIP("no readable regular file in the root folder");
        const QString dir = root ? "/" : c.dir + "/in";
        QVERIFY(QDir().mkpath(dir));
        const QString file = root ? inRoot[0].absoluteFilePath() : sized(dir, "a", 10);
        c.prefs().setCheckState(Preferences::RememberSource, state);
        c.prefs().setFolderText(Preferences::SourceFolder, "/usr");
        const QString stored = c.settings().SourceDir.value_or("<none>");
        QCOMPARE(c.q.add({file}), QString());
        QCOMPARE(c.q.rows()[0].folder + '|' + c.q.rows()[0].fullPath(),
                 (root ? dir : dir + '/') + '|' + file);
        // Remembered live and stored; the Add dialog opens there.
        QCOMPARE(c.q.addFolder() + '|' + c.settings().SourceDir.value_or("<none>"),
                 state == 1 ? dir + '|' + dir : "/usr|" + stored);
        c.prefs().setFolderText(Preferences::SourceFolder, "");
        QCOMPARE(c.q.addFolder(), QDir::homePath());
    }

    void filesLeftOutAreNamedWithTheirReason()
    {
        Q c;
        const QString missing = c.dir + "/missing", folder = c.dir + "/folder";
        const QString fifo = c.dir + "/pipe";
        c.prefs().setFolderText(Preferences::SourceFolder, "/");
        // Nothing addable: nothing changes but the message.
        QCOMPARE(c.q.add({missing}),
                 "This file was not added to the queue:\n\n" + missing + ": " + reason(ENOENT));
        QCOMPARE(c.shown() + c.q.addFolder(), " |  | 0.00 MB | 10001/");

        QVERIFY(QDir().mkdir(folder));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QStringList paths = {missing, sized(c.dir, "a", 1048576), folder, fifo,
                             sized(c.dir, "c", 2 * 1048576)};
        QStringList why = {missing + ": " + reason(ENOENT), folder + ": " + reason(EISDIR),
                           fifo + ": Not a regular file"};
        if (::geteuid() != 0) { // root reads every file
            paths << sized(c.dir, "locked", 10);
            QVERIFY(QFile::setPermissions(paths.last(), QFileDevice::WriteOwner));
            why << paths.last() + ": " + reason(EACCES);
        }
        QCOMPARE(c.q.add(paths), "These files were not added to the queue:\n\n" + why.join('\n'));
        QCOMPARE(c.shown() + c.q.addFolder(), "a c | 1.00 2.00 | 3.00 MB | 11111" + c.dir);

        QStringList gone; // so many that only the first 15 are listed
        for (int i = 0; i < 1000; ++i)
            gone << c.dir + QStringLiteral("/gone%1").arg(i, 4, 10, QChar('0'));
        const QStringList lines = c.q.add(gone).split('\n');
        QCOMPARE(lines.size(), 2 + 15 + 1);
        QCOMPARE(lines[2] + '|' + lines[16],
                 gone[0] + ": " + reason(ENOENT) + '|' + gone[14] + ": " + reason(ENOENT));
        QCOMPARE(lines.last(), "... and 985 more.");
    }

    void edit_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("message");
        const QString none = " |  | 0.00 MB | 10001", all = "15.00 MB | 11111";
        const QString above("Can't move the selected item above the beginning of the list.");
        const QString below("Can't move the selected item below the end of the list.");
        const QString same = "A B C D E | 1.00 2.00 3.00 4.00 5.00 | " + all;
        QTest::newRow("remove rows 2 and 3")
            << "remove" << QList<int>{1, 2} << "A D E | 1.00 4.00 5.00 | 10.00 MB | 11111"
            << QString();
        QTest::newRow("remove all") << "remove" << QList<int>{4, 0, 1, 2, 3} << none << QString();
        QTest::newRow("remove none") << "remove" << QList<int>() << same << QString();
        QTest::newRow("clear") << "clear" << QList<int>() << none << QString();
        QTest::newRow("up B C") << "up" << QList<int>{1, 2}
                                << "B C A D E | 2.00 3.00 1.00 4.00 5.00 | " + all << QString();
        QTest::newRow("down B D") << "down" << QList<int>{1, 3}
                                  << "A C B E D | 1.00 3.00 2.00 5.00 4.00 | " + all << QString();
        QTest::newRow("up A C refused") << "up" << QList<int>{0, 2} << same << above;
        QTest::newRow("down C E refused") << "down" << QList<int>{2, 4} << same << below;
        QTest::newRow("up, nothing selected") << "up" << QList<int>() << same << QString();
        QTest::newRow("down, nothing selected") << "down" << QList<int>() << same << QString();
        // A join turns all five off; its end brings all five back, even for an empty queue.
        QTest::newRow("join runs")
            << "join runs" << QList<int>() << same.chopped(5) + "00000" << QString();
        QTest::newRow("join ended") << "join ended" << QList<int>() << same << QString();
        QTest::newRow("clear, join ended")
            << "clear, join ended" << QList<int>() << none.chopped(5) + "11111" << QString();
    }
    void edit()
    {
        QFETCH(QString, command);
        QFETCH(QList<int>, rows);
        Q c;
        c.add({"A", "B", "C", "D", "E"});
        QString message;
        if (command == "remove")
            c.q.remove(rows);
        if (command.startsWith("clear"))
            c.q.clear();
        if (command.startsWith("up") || command.startsWith("down"))
            message = command == "up" ? c.q.moveUp(rows) : c.q.moveDown(rows);
        if (command.contains("join"))
            c.q.setJoinRunning(true);
        if (command.endsWith("join ended"))
            c.q.setJoinRunning(false);
        QTEST(c.shown(), "expected");
        QTEST(message, "message");
        // Any move, even a refused or empty one, ends sorting.
        QCOMPARE(c.q.model().isSorted(), command != "up" && command != "down");
    }

    void sortByEachColumnAscending_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("C") << "C";
        QTest::newRow("de_DE") << "de_DE"; // sizes with a decimal comma sort by value too
    }
    void sortByEachColumnAscending()
    {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        Q c;
        c.q.model().setSortedOff();
        const QStringList names{"x", "Y", "y2", "x1"}, folders{"/dir10", "/dir9", "/Dir9", "/a"};
        const QList<qint64> sizes{10 * 1048576, 9961472, 100 * 1048576, 1000000};
        for (int i = 0; i < 4; ++i)
            QVERIFY(QDir().mkdir(c.dir + folders[i]) &&
                    c.add({names[i]}, {sizes[i]}, folders[i]).isEmpty());
        const QString bySize = QString("x1 Y x y2 | 0.95 9.50 10.00 100.00 | 120.45 MB | 11111")
                                   .replace('.', QLocale().decimalPoint());
        for (int round = 0; round < 2; ++round) { // always ascending
            c.q.sortByColumn(QueueModel::ColSize);
            QCOMPARE(c.shown(), bySize);
        }
        c.q.sortByColumn(QueueModel::ColFolder); // natural, case-blind
        QCOMPARE(column(c.q.rows()), "x1 Y y2 x");
        c.q.sortByColumn(QueueModel::ColName);
        QCOMPARE(column(c.q.rows()), "x x1 Y y2");
        c.q.sortByColumn(QueueModel::ColSize); // a new row takes its place by size
        c.add({"e"}, {20 * 1048576});
        QCOMPARE(column(c.q.rows()), "x1 Y x e y2");
        c.q.moveDown({0}); // from now on the order is the user's: new rows go to the end
        c.add({"clip10", "Clip1"});
        QCOMPARE(column(c.q.rows()), "Y x1 x e y2 clip10 Clip1");
    }

    void modelKeepsPersistentIndexes()
    {
        QueueModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m.append(rowsNamed("a c e g"));
        QPersistentModelIndex a(m.index(0, 1)), c(m.index(1, 2)), g(m.index(3, 0));
        // Merged in: equal rows after those already there, in the order given.
        m.append(rowsNamed("f C b 0 d c"));
        QCOMPARE(column(m.rows()), "0 a b c C c d e f g");
        QVERIFY(m.at(4).id < m.at(5).id);
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

    void modelMovesMatchTheOneRowWalk_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 40; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }
    void modelMovesMatchTheOneRowWalk()
    {
        QFETCH(quint32, seed);
        QRandomGenerator rng(seed);
        const int n = 1 + int(rng.bounded(12));
        QueueModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m.setSortedOff();
        m.append(rowsNamed("0 1 2 3 4 5 6 7 8 9 10 11").mid(0, n));
        for (int round = 0; round < 6; ++round) {
            QList<bool> selected;
            QList<int> positions;
            QList<QPersistentModelIndex> marks;
            for (int i = 0; i < n; ++i) {
                selected << (rng.bounded(3) == 0);
                if (selected.last()) {
                    positions << i;
                    marks << m.index(i, 0);
                }
            }
            // The same move one row at a time: walking from the end the rows
            // move towards, each selected row swaps with its neighbour there.
            const bool up = rng.bounded(2) == 0, ok = !selected[up ? 0 : n - 1];
            QStringList expected = column(m.rows()).split(' ');
            for (int k = 1; k < n && ok; ++k) {
                const int i = up ? k : n - 1 - k, j = up ? i - 1 : i + 1;
                if (selected[i]) {
                    expected.swapItemsAt(i, j);
                    selected.swapItemsAt(i, j);
                }
            }
            QCOMPARE(up ? m.moveUp(positions) : m.moveDown(positions), ok);
            QCOMPARE(column(m.rows()), expected.join(' ')); // a refused move changes nothing
            for (const QPersistentModelIndex& p : marks)
                QVERIFY(selected[p.row()]); // the selected rows are where the walk put them
        }
    }
};

QTEST_GUILESS_MAIN(TestQueue)
#include "test_queue.moc"
