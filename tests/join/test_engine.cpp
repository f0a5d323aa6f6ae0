// The copy loop on its own, without a window: byte-exact joins, one pump per chunk.
#include "join/JoinFixture.h"

#include <QtTest>

using namespace JoinTest;

namespace {

struct Recorder : JoinProgress
{
    qint64 total = -1;
    int files = 0;
    QList<JoinFigures> rounds;
    int pumps = 0;
    std::function<void(int)> onPump;

    void batchStarted(qint64 t) override { total = t; }
    void fileStarted(int, const JoinFigures&) override { ++files; }
    void copied(const JoinFigures& f) override { rounds << f; }
    void pumpEvents() override
    {
        ++pumps;
        if (onPump)
            onPump(pumps);
    }
};

} // namespace

class TestJoinEngine : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString path(const QString& name) const { return m_tmp->filePath(name); }

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
    }

    void joinsEveryLengthAroundTheChunkSize_data()
    {
        QTest::addColumn<int>("chunk");
        QTest::addColumn<QList<qint64>>("sizes");
        QTest::addColumn<qint64>("oldTarget"); // length of a target already there, or -1
        QTest::newRow("mixed") << 40000 << QList<qint64>{39999, 40000, 40001, 0, 1, 120000, 2621447}
                               << qint64(-1);
        QTest::newRow("one byte") << 10000 << QList<qint64>{1} << qint64(-1);
        QTest::newRow("exact chunks")
            << 70000 << QList<qint64>{70000, 140000, 1050000} << qint64(-1);
        QTest::newRow("all empty") << 10000 << QList<qint64>{0, 0} << qint64(-1);
        QTest::newRow("over one gather")
            << 10000 << QList<qint64>{3 * 1048576 + 5, 9999} << qint64(-1);
        QTest::newRow("longer target replaced")
            << 40000 << QList<qint64>{55555, 44444} << qint64(3000000);
    }
    void joinsEveryLengthAroundTheChunkSize()
    {
        QFETCH(int, chunk);
        QFETCH(QList<qint64>, sizes);
        QFETCH(qint64, oldTarget);
        const QString target = path("out.mpg");
        if (oldTarget >= 0)
            TestSupport::makeFile(m_tmp->path(), "out.mpg", oldTarget, 99);
        QStringList sources;
        QByteArray expected;
        qint64 wholeChunks = 0;
        for (int i = 0; i < sizes.size(); ++i) {
            sources << TestSupport::makeFile(m_tmp->path(), QStringLiteral("s%1").arg(i), sizes[i],
                                             i + 1);
            expected += pattern(sizes[i], i + 1);
            wholeChunks += sizes[i] / chunk;
        }
        Recorder rec;
        JoinEngine engine(sources, target, chunk, rec);
        QCOMPARE(engine.run(), JoinEngine::Outcome::Joined);
        QCOMPARE(readAll(target), expected);
        QCOMPARE(engine.bytesWritten(), qint64(expected.size()));

        // One pump per whole chunk, none for a tail; every file reported.
        QCOMPARE(rec.total, qint64(expected.size()));
        QCOMPARE(qint64(rec.pumps), wholeChunks);
        QCOMPARE(rec.files, sizes.size());
        QCOMPARE(rec.rounds.size(), int(wholeChunks) + sizes.size());
        QCOMPARE(rec.rounds.last().batchDone, qint64(expected.size()));
        QCOMPARE(rec.rounds.last().fileShown, rec.rounds.last().fileLength);
        // During whole chunks the file figure shown trails by one chunk.
        for (const JoinFigures& f : std::as_const(rec.rounds))
            QVERIFY(f.fileShown == f.fileDone || f.fileShown == f.fileDone - chunk);
    }

    void cancelBeforeTheRunCreatesNothing()
    {
        Recorder rec;
        JoinEngine engine({TestSupport::makeFile(m_tmp->path(), "a", 100)}, path("never.mpg"),
                          10000, rec);
        engine.cancel();
        QCOMPARE(engine.run(), JoinEngine::Outcome::Cancelled);
        QVERIFY(!QFile::exists(path("never.mpg")));
        QCOMPARE(rec.total, qint64(-1));
    }
};

QTEST_GUILESS_MAIN(TestJoinEngine)
#include "test_engine.moc"
