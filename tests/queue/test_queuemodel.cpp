// The queue model on its own: order, ids, bulk changes and the persistent
// indexes that carry a view's selection through them.

#include "queue/QueueModel.h"

#include <QAbstractItemModelTester>
#include <QLocale>
#include <QRandomGenerator>
#include <QtTest>

class TestQueueModel : public QObject
{
    Q_OBJECT

    static QList<QueueRow> rows(const QString& names)
    {
        QList<QueueRow> out;
        for (const QString& n : names.split(' '))
            out.append(QueueRow{n, "/f/", "1.00"});
        return out;
    }
    static QString names(const QueueModel& m)
    {
        QStringList out;
        for (const QueueRow& r : m.rows())
            out << r.name;
        return out.join(' ');
    }
    /// A move done one row at a time: walking from the end the rows move
    /// towards, each selected row swaps with its neighbour there. Refused
    /// when a selected row is already at that end.
    static bool walk(QStringList& names, QList<bool>& selected, bool up)
    {
        const int n = int(names.size());
        if (selected[up ? 0 : n - 1])
            return false;
        for (int k = 1; k < n; ++k) {
            const int i = up ? k : n - 1 - k, j = up ? i - 1 : i + 1;
            if (selected[i]) {
                names.swapItemsAt(i, j);
                selected.swapItemsAt(i, j);
            }
        }
        return true;
    }

private slots:
    void persistentIndexesFollowTheirRows()
    {
        QueueModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m.append(rows("a c e g"));
        QPersistentModelIndex a(m.index(0, 1)), c(m.index(1, 2)), g(m.index(3, 0));
        // Merged in: equal rows after those already there, in the order given.
        m.append(rows("f C b 0 d c"));
        QCOMPARE(names(m), "0 a b c C c d e f g");
        QVERIFY(m.at(4).id < m.at(5).id);
        QCOMPARE(QList<int>({c.row(), c.column(), g.row()}), QList<int>({3, 2, 9}));
        m.removePositions({0, 1, 4, 5, 6, 8, 4, 99, -1}); // scattered; repeats and junk ignored
        QCOMPARE(names(m), "b c e g");
        QCOMPARE(QList<int>({a.row(), c.row(), g.row()}), QList<int>({-1, 1, 3}));
        m.removePositions({1, 2}); // one run
        m.append(rows("h c"));     // the sort keys still match the rows left
        QCOMPARE(names(m), "b c g h");
        QCOMPARE(g.row(), 2);
        QVERIFY(m.moveUp({2}));
        QCOMPARE(g.row(), 1);
        m.sortByColumn(QueueModel::ColName);
        QCOMPARE(m.data(g).toString(), "g");
        m.removeIds({m.at(2).id});
        QVERIFY(!g.isValid());
    }

    void movesMatchTheOneRowWalk_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 40; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }

    void movesMatchTheOneRowWalk()
    {
        QFETCH(quint32, seed);
        QRandomGenerator rng(seed);
        const int n = 1 + int(rng.bounded(12));
        QueueModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m.setSortedOff();
        for (int i = 0; i < n; ++i)
            m.append(rows(QString::number(i)));
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
            const bool up = rng.bounded(2) == 0;
            QStringList expected = names(m).split(' ');
            const bool ok = walk(expected, selected, up);
            QCOMPARE(up ? m.moveUp(positions) : m.moveDown(positions), ok);
            QCOMPARE(names(m), expected.join(' ')); // a refused move changes nothing
            for (const QPersistentModelIndex& p : marks)
                QVERIFY(selected[p.row()]); // the selected rows are where the walk put them
        }
    }

    void sortByEachColumnNumericAndCaseBlind()
    {
        QueueModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m.setSortedOff();
        m.append({{"x", "/m/dir10/", "10.00"},
                  {"Y", "/m/dir9/", "9.50"},
                  {"y2", "/m/Dir9/", "100.00"},
                  {"x1", "/a/", "0.95"}});
        m.sortByColumn(QueueModel::ColSize);
        QCOMPARE(names(m), "x1 Y x y2");
        QCOMPARE(m.data(m.index(1, QueueModel::ColSize)).toString(), "9.50");
        m.sortByColumn(QueueModel::ColFolder);
        QCOMPARE(names(m), "x1 Y y2 x");
        m.sortByColumn(QueueModel::ColName);
        QCOMPARE(names(m), "x x1 Y y2");

        // Sizes written with a decimal comma sort by value too.
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        m.clear();
        m.append({{"a", "/", "10,00"}, {"b", "/", "9,50"}});
        m.sortByColumn(QueueModel::ColSize);
        QLocale::setDefault(saved);
        QCOMPARE(names(m), "b a");
    }
};

QTEST_MAIN(TestQueueModel)
#include "test_queuemodel.moc"
