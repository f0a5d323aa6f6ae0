// The queue model on its own: order, ids, bulk changes and the persistent
// indexes that carry a view's selection through them.

#include "queue/QueueModel.h"

#include <QAbstractItemModelTester>
#include <QLocale>
#include <QRandomGenerator>
#include <QtTest>

namespace {

QList<QueueRow> rowsNamed(const QStringList& names, const QString& size = QStringLiteral("1.00"))
{
    QList<QueueRow> rows;
    for (const QString& n : names)
        rows.append(QueueRow{n, QStringLiteral("/f/"), size});
    return rows;
}

QStringList namesOf(const QueueModel& m)
{
    QStringList out;
    for (const QueueRow& r : m.rows())
        out << r.name;
    return out;
}

/// Move up as a walk from the top: each selected row swaps with the row
/// above it; refused when the first row is selected.
bool walkUp(QStringList& names, QList<bool>& selected)
{
    if (!selected.isEmpty() && selected.first())
        return false;
    for (int i = 1; i < names.size(); ++i)
        if (selected[i]) {
            names.swapItemsAt(i - 1, i);
            selected.swapItemsAt(i - 1, i);
        }
    return true;
}

/// Move down as a walk from the bottom.
bool walkDown(QStringList& names, QList<bool>& selected)
{
    if (!selected.isEmpty() && selected.last())
        return false;
    for (int i = names.size() - 2; i >= 0; --i)
        if (selected[i]) {
            names.swapItemsAt(i, i + 1);
            selected.swapItemsAt(i, i + 1);
        }
    return true;
}

} // namespace

class TestQueueModel : public QObject
{
    Q_OBJECT
private slots:
    void sortedAppendMergesStablyAfterEqualRows()
    {
        QueueModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m.append(rowsNamed({"b10", "a", "B2"}));
        QCOMPARE(namesOf(m), QStringList({"a", "B2", "b10"}));
        const quint64 firstB2 = m.at(1).id;
        m.append(rowsNamed({"b2", "0", "c", "b2"}));
        QCOMPARE(namesOf(m), QStringList({"0", "a", "B2", "b2", "b2", "b10", "c"}));
        // The row that was there first stays first among equals.
        QCOMPARE(m.at(2).id, firstB2);
        QVERIFY(m.at(3).id < m.at(4).id);

        QSet<quint64> ids;
        for (const QueueRow& r : m.rows())
            ids.insert(r.id);
        QCOMPARE(ids.size(), m.count());
    }

    void unsortedAppendGoesToTheEnd()
    {
        QueueModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m.append(rowsNamed({"b", "a"}));
        m.setSortedOff();
        m.append(rowsNamed({"0", "c"}));
        QCOMPARE(namesOf(m), QStringList({"a", "b", "0", "c"}));
        QVERIFY(!m.isSorted());
        m.clear();
        QVERIFY(!m.isSorted());
        QCOMPARE(m.count(), 0);
    }

    void persistentIndexesFollowTheirRows()
    {
        QueueModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m.append(rowsNamed({"a", "c", "e", "g"}));
        QPersistentModelIndex c(m.index(1, 2));
        QPersistentModelIndex g(m.index(3, 0));
        QPersistentModelIndex a(m.index(0, 1));

        m.append(rowsNamed({"f", "b", "d"})); // merged in between
        QCOMPARE(namesOf(m), QStringList({"a", "b", "c", "d", "e", "f", "g"}));
        QCOMPARE(c.row(), 2);
        QCOMPARE(c.column(), 2);
        QCOMPARE(g.row(), 6);

        m.removePositions({0, 3, 5, 3, 99, -1}); // a, d, f; junk ignored
        QCOMPARE(namesOf(m), QStringList({"b", "c", "e", "g"}));
        QVERIFY(!a.isValid());
        QCOMPARE(c.row(), 1);
        QCOMPARE(g.row(), 3);

        QVERIFY(m.moveUp({3}));
        QCOMPARE(g.row(), 2);
        m.sortByColumn(QueueModel::ColName);
        QCOMPARE(g.row(), 3);
        QCOMPARE(m.data(g).toString(), QStringLiteral("g"));

        m.removeIds({m.at(3).id});
        QVERIFY(!g.isValid());
        QCOMPARE(c.row(), 1);
    }

    void contiguousAndTotalRemoval()
    {
        QueueModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m.append(rowsNamed({"a", "b", "c", "d", "e"}));
        QPersistentModelIndex e(m.index(4, 0));
        m.removePositions({1, 2, 3});
        QCOMPARE(namesOf(m), QStringList({"a", "e"}));
        QCOMPARE(e.row(), 1);
        // Sorting still works on what is left, and new rows find their place.
        m.append(rowsNamed({"c"}));
        QCOMPARE(namesOf(m), QStringList({"a", "c", "e"}));
        m.removePositions({0, 1, 2});
        QCOMPARE(m.count(), 0);
        m.removeIds({12345});
        m.removePositions({});
        QCOMPARE(m.count(), 0);
    }

    void movesMatchTheOnePlaceWalk_data()
    {
        QTest::addColumn<int>("seed");
        for (int seed = 1; seed <= 40; ++seed)
            QTest::addRow("seed %d", seed) << seed;
    }

    void movesMatchTheOnePlaceWalk()
    {
        QFETCH(int, seed);
        QRandomGenerator rng(static_cast<quint32>(seed));
        const int n = 1 + int(rng.bounded(12));
        QStringList names;
        for (int i = 0; i < n; ++i)
            names << QString::number(i);
        QueueModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m.setSortedOff();
        m.append(rowsNamed(names));

        for (int round = 0; round < 6; ++round) {
            QList<bool> selected;
            QList<int> positions;
            for (int i = 0; i < n; ++i) {
                selected << (rng.bounded(3) == 0);
                if (selected.last())
                    positions << i;
            }
            QList<QPersistentModelIndex> marks;
            for (int p : positions)
                marks << QPersistentModelIndex(m.index(p, 0));
            const bool up = rng.bounded(2) == 0;
            QStringList expected = namesOf(m);
            QList<bool> expectedSel = selected;
            const bool ok = up ? walkUp(expected, expectedSel) : walkDown(expected, expectedSel);
            const QStringList before = namesOf(m);
            QCOMPARE(up ? m.moveUp(positions) : m.moveDown(positions), ok);
            QCOMPARE(namesOf(m), ok ? expected : before);
            // The selected rows are where the walk put them.
            QList<bool> nowSel(n, false);
            for (const QPersistentModelIndex& p : marks)
                nowSel[p.row()] = true;
            QCOMPARE(nowSel, ok ? expectedSel : selected);
        }
    }

    void sortByEachColumnNumericAndCaseBlind()
    {
        QueueModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m.setSortedOff();
        m.append({QueueRow{"x", "/m/dir10/", "10.00"}, QueueRow{"Y", "/m/dir9/", "9.50"},
                  QueueRow{"y2", "/m/Dir9/", "100.00"}, QueueRow{"x1", "/a/", "0.95"}});
        m.sortByColumn(QueueModel::ColSize);
        QCOMPARE(namesOf(m), QStringList({"x1", "Y", "x", "y2"}));
        m.sortByColumn(QueueModel::ColFolder);
        QCOMPARE(namesOf(m), QStringList({"x1", "Y", "y2", "x"}));
        m.sortByColumn(QueueModel::ColName);
        QCOMPARE(namesOf(m), QStringList({"x", "x1", "Y", "y2"}));
        QVERIFY(m.isSorted());
        m.sortByColumn(7); // no such column: nothing happens
        QCOMPARE(m.sortKey(), int(QueueModel::ColName));
    }

    void sortFollowsTheLocale()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QueueModel m;
        m.append({QueueRow{"b", "/", "10,00"}, QueueRow{"a", "/", "9,50"}});
        m.sortByColumn(QueueModel::ColSize);
        QLocale::setDefault(saved);
        QCOMPARE(namesOf(m), QStringList({"a", "b"}));
    }
};

QTEST_MAIN(TestQueueModel)
#include "test_queuemodel.moc"
