// The copy loop on its own: real files, real errors, no window.
#include "join/JoinEngine.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <unistd.h>

namespace {

/// Records what the loop reports and runs a hook inside every pump.
struct Recorder : JoinProgress
{
    qint64 total = -1;
    QList<int> started;
    QList<JoinFigures> rounds;
    int pumps = 0;
    int pumpsInFile = 0;
    std::function<void(Recorder&)> onPump;

    void batchStarted(qint64 t) override { total = t; }
    void fileStarted(int index, const JoinFigures&) override
    {
        started << index;
        pumpsInFile = 0;
    }
    void copied(const JoinFigures& f) override { rounds << f; }
    void pumpEvents() override
    {
        ++pumps;
        ++pumpsInFile;
        if (onPump)
            onPump(*this);
    }
    int currentFile() const { return started.isEmpty() ? -1 : started.last(); }
};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

QStringList openDescriptors()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
}

// A folder on a real disk for the big file (tmpfs would hold it in memory).
QString bigFileParent()
{
    const QFileInfo varTmp(QStringLiteral("/var/tmp"));
    return varTmp.isDir() && varTmp.isWritable() ? varTmp.filePath() : QDir::tempPath();
}

// Compares `target` with the concatenation of `sources`, block by block.
bool sameAsConcatenation(const QStringList& sources, const QString& target, QString* why)
{
    QFile t(target);
    if (!t.open(QIODevice::ReadOnly)) {
        *why = QStringLiteral("cannot open target");
        return false;
    }
    qint64 offset = 0;
    for (const QString& s : sources) {
        QFile f(s);
        if (!f.open(QIODevice::ReadOnly)) {
            *why = QStringLiteral("cannot open ") + s;
            return false;
        }
        while (true) {
            const QByteArray a = f.read(4 << 20);
            if (a.isEmpty())
                break;
            const QByteArray b = t.read(a.size());
            if (a != b) {
                *why = QStringLiteral("differs in the 4 MiB block at %1").arg(offset);
                return false;
            }
            offset += a.size();
        }
    }
    if (!t.atEnd()) {
        *why = QStringLiteral("target longer than the sources");
        return false;
    }
    return true;
}

} // namespace

class TestJoinEngine : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_tmp;
    QString folder() const { return m_tmp->path(); }
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
        QTest::newRow("mixed 40000")
            << 40000 << QList<qint64>{39999, 40000, 40001, 0, 1, 120000, 2621447};
        QTest::newRow("one byte") << 10000 << QList<qint64>{1};
        QTest::newRow("exact chunks") << 70000 << QList<qint64>{70000, 140000, 1050000};
        QTest::newRow("all empty") << 10000 << QList<qint64>{0, 0};
        QTest::newRow("over one gather") << 10000 << QList<qint64>{3 * 1048576 + 5, 9999};
    }
    void joinsEveryLengthAroundTheChunkSize()
    {
        QFETCH(int, chunk);
        QFETCH(QList<qint64>, sizes);
        QStringList sources;
        QByteArray expected;
        qint64 wholeChunks = 0;
        for (int i = 0; i < sizes.size(); ++i) {
            sources << TestSupport::makeFile(folder(), QStringLiteral("s%1.mpg").arg(i), sizes[i],
                                             i + 1);
            expected += TestSupport::pattern(sizes[i], i + 1);
            wholeChunks += sizes[i] / chunk;
        }
        Recorder rec;
        JoinEngine engine(sources, path(QStringLiteral("out.mpg")), chunk, rec);
        QCOMPARE(engine.run(), JoinEngine::Outcome::Joined);
        QCOMPARE(readAll(path(QStringLiteral("out.mpg"))), expected);
        QCOMPARE(engine.bytesWritten(), qint64(expected.size()));

        // One pump per whole chunk, none for a tail; every file reported.
        QCOMPARE(rec.total, qint64(expected.size()));
        QCOMPARE(qint64(rec.pumps), wholeChunks);
        QCOMPARE(rec.started.size(), sizes.size());
        QCOMPARE(rec.rounds.size(), int(wholeChunks) + sizes.size());
        const JoinFigures last = rec.rounds.last();
        QCOMPARE(last.batchDone, qint64(expected.size()));
        QCOMPARE(last.fileShown, last.fileLength);
        // During whole chunks the file figure shown trails by one chunk.
        for (const JoinFigures& f : rec.rounds)
            QVERIFY(f.fileShown == f.fileDone || f.fileShown == f.fileDone - chunk);
    }

    void cancelDuringThirdChunkOfSecondFileKeepsWholeChunks()
    {
        const int chunk = 10000;
        QStringList sources;
        for (int i = 0; i < 4; ++i)
            sources << TestSupport::makeFile(folder(), QStringLiteral("c%1.mpg").arg(i),
                                             5 * chunk + 1234, 10 + i);
        Recorder rec;
        JoinEngine engine(sources, path(QStringLiteral("out.mpg")), chunk, rec);
        rec.onPump = [&engine](Recorder& r) {
            if (r.currentFile() == 1 && r.pumpsInFile == 3)
                engine.cancel();
        };
        QCOMPARE(engine.run(), JoinEngine::Outcome::Cancelled);
        const QByteArray expected =
            TestSupport::pattern(5 * chunk + 1234, 10) + TestSupport::pattern(3 * chunk, 11);
        QCOMPARE(readAll(path(QStringLiteral("out.mpg"))), expected);
        QCOMPARE(rec.started, (QList<int>{0, 1}));
        QCOMPARE(rec.pumps, 5 + 3);
    }

    void cancelBeforeTheRunCreatesNothing()
    {
        const QString src = TestSupport::makeFile(folder(), QStringLiteral("a.mpg"), 100);
        Recorder rec;
        JoinEngine engine({src}, path(QStringLiteral("never.mpg")), 10000, rec);
        engine.cancel();
        QCOMPARE(engine.run(), JoinEngine::Outcome::Cancelled);
        QVERIFY(!QFile::exists(path(QStringLiteral("never.mpg"))));
    }

    void replacesALongerExistingTarget()
    {
        const QString target =
            TestSupport::makeFile(folder(), QStringLiteral("old.mpg"), 3000000, 99);
        const QString a = TestSupport::makeFile(folder(), QStringLiteral("a.mpg"), 55555, 1);
        const QString b = TestSupport::makeFile(folder(), QStringLiteral("b.mpg"), 44444, 2);
        Recorder rec;
        JoinEngine engine({a, b}, target, 40000, rec);
        QCOMPARE(engine.run(), JoinEngine::Outcome::Joined);
        QCOMPARE(readAll(target), TestSupport::pattern(55555, 1) + TestSupport::pattern(44444, 2));
    }

    void failuresNameFileReasonAndTarget()
    {
        const QString a = TestSupport::makeFile(folder(), QStringLiteral("a.mpg"), 25000, 1);
        const QString gone = path(QStringLiteral("gone.mpg"));
        const QString target = path(QStringLiteral("t.mpg"));
        const QStringList fdsBefore = openDescriptors();

        // A queued file deleted before the join: nothing is created.
        {
            Recorder rec;
            JoinEngine engine({a, gone}, target, 10000, rec);
            QCOMPARE(engine.run(), JoinEngine::Outcome::Failed);
            QCOMPARE(engine.failureText(),
                     QStringLiteral("Could not read the size of file %1: %2.\n"
                                    "The target file %3 was not created.")
                         .arg(gone, QString::fromLocal8Bit(std::strerror(ENOENT)), target));
            QVERIFY(!QFile::exists(target));
            QCOMPARE(rec.total, qint64(-1));
        }
        // The same with an existing target: it stays as it was.
        {
            TestSupport::makeFile(folder(), QStringLiteral("t.mpg"), 777, 5);
            Recorder rec;
            JoinEngine engine({gone, a}, target, 10000, rec);
            QCOMPARE(engine.run(), JoinEngine::Outcome::Failed);
            QVERIFY(engine.failureText().endsWith(
                QStringLiteral("The target file %1 was left unchanged.").arg(target)));
            QCOMPARE(readAll(target), TestSupport::pattern(777, 5));
            QFile::remove(target);
        }
        // A folder in the queue.
        {
            QVERIFY(QDir(folder()).mkpath(QStringLiteral("sub")));
            Recorder rec;
            JoinEngine engine({a, path(QStringLiteral("sub"))}, target, 10000, rec);
            QCOMPARE(engine.run(), JoinEngine::Outcome::Failed);
            QVERIFY(engine.failureText().startsWith(
                QStringLiteral("Could not open file %1: %2.")
                    .arg(path(QStringLiteral("sub")),
                         QString::fromLocal8Bit(std::strerror(EISDIR)))));
            QVERIFY(!QFile::exists(target));
        }
        // Target in a folder that no longer exists.
        {
            const QString lost = path(QStringLiteral("lost/t.mpg"));
            Recorder rec;
            JoinEngine engine({a}, lost, 10000, rec);
            QCOMPARE(engine.run(), JoinEngine::Outcome::Failed);
            QCOMPARE(engine.failureText(),
                     QStringLiteral("Could not create the target file %1: %2.\n"
                                    "The target file %1 was not created.")
                         .arg(lost, QString::fromLocal8Bit(std::strerror(ENOENT))));
        }
        // A full device: every write fails.
        {
            Recorder rec;
            JoinEngine engine({a, a}, QStringLiteral("/dev/full"), 10000, rec);
            QCOMPARE(engine.run(), JoinEngine::Outcome::Failed);
            QCOMPARE(engine.failureText(),
                     QStringLiteral("Could not write to the target file /dev/full: %1.\n"
                                    "The target file /dev/full was left incomplete.")
                         .arg(QString::fromLocal8Bit(std::strerror(ENOSPC))));
        }
        // Every file the failed runs opened is closed again.
        QCOMPARE(openDescriptors(), fdsBefore);
    }

    void sourceThatVanishesOrShrinksDuringTheRun()
    {
        const int chunk = 10000;
        const QString a = TestSupport::makeFile(folder(), QStringLiteral("a.mpg"), 35000, 1);
        const QString b = TestSupport::makeFile(folder(), QStringLiteral("b.mpg"), 45000, 2);
        const QString c = TestSupport::makeFile(folder(), QStringLiteral("c.mpg"), 15000, 3);
        const QString target = path(QStringLiteral("t.mpg"));
        const QStringList fdsBefore = openDescriptors();

        // The third file is deleted while the first is copied.
        {
            Recorder rec;
            JoinEngine engine({a, b, c}, target, chunk, rec);
            rec.onPump = [&](Recorder& r) {
                if (r.pumps == 1)
                    QVERIFY(QFile::remove(c));
            };
            QCOMPARE(engine.run(), JoinEngine::Outcome::Failed);
            QCOMPARE(engine.failureText(),
                     QStringLiteral("Could not open file %1: %2.\n"
                                    "The target file %3 was left incomplete.")
                         .arg(c, QString::fromLocal8Bit(std::strerror(ENOENT)), target));
            QCOMPARE(readAll(target),
                     TestSupport::pattern(35000, 1) + TestSupport::pattern(45000, 2));
        }
        // The second file is cut short while it is being read: the target
        // keeps every whole chunk read before.
        {
            Recorder rec;
            JoinEngine engine({a, b}, target, chunk, rec);
            rec.onPump = [&](Recorder& r) {
                if (r.currentFile() == 1 && r.pumpsInFile == 2)
                    QVERIFY(::truncate(QFile::encodeName(b).constData(), 2 * chunk + 10) == 0);
            };
            QCOMPARE(engine.run(), JoinEngine::Outcome::Failed);
            QCOMPARE(engine.failureText(),
                     QStringLiteral("Could not read file %1: it ended early, it was changed "
                                    "during the join.\nThe target file %2 was left incomplete.")
                         .arg(b, target));
            QCOMPARE(readAll(target),
                     TestSupport::pattern(35000, 1) + TestSupport::pattern(2 * chunk, 2));
        }
        QCOMPARE(openDescriptors(), fdsBefore);
    }

    void recognisesTheTargetAmongTheSources()
    {
        const QString a = TestSupport::makeFile(folder(), QStringLiteral("a.mpg"), 10, 1);
        const QString b = TestSupport::makeFile(folder(), QStringLiteral("b.mpg"), 10, 2);
        QVERIFY(::link(QFile::encodeName(b).constData(),
                       QFile::encodeName(path(QStringLiteral("hard.mpg"))).constData()) == 0);
        QVERIFY(QFile::link(a, path(QStringLiteral("soft.mpg"))));
        QVERIFY(QDir(folder()).mkpath(QStringLiteral("sub")));
        const QString missing = path(QStringLiteral("missing.mpg"));
        const QStringList sources{a, b, missing};

        QCOMPARE(JoinEngine::sourceMatching(sources, a), 0);
        QCOMPARE(JoinEngine::sourceMatching(sources, path(QStringLiteral("hard.mpg"))), 1);
        QCOMPARE(JoinEngine::sourceMatching(sources, path(QStringLiteral("soft.mpg"))), 0);
        QCOMPARE(JoinEngine::sourceMatching(sources, path(QStringLiteral("sub/../b.mpg"))), 1);
        QCOMPARE(JoinEngine::sourceMatching(sources, missing), 2);
        QCOMPARE(JoinEngine::sourceMatching(sources, path(QStringLiteral("new.mpg"))), -1);
        QCOMPARE(JoinEngine::sourceMatching({}, a), -1);
    }

    void sparseFileOfThreeGibibytes()
    {
        // 3 GiB with data past the 2 GiB and 32-bit-signed limits.
        QTemporaryDir big(bigFileParent() + QStringLiteral("/reelbind-join-XXXXXX"));
        QVERIFY(big.isValid());
        const qint64 sparseSize = qint64(3) << 30;
        const QString sparse = big.filePath(QStringLiteral("sparse.mpg"));
        {
            QFile f(sparse);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(sparseSize));
            const QList<qint64> marks{0, (qint64(1) << 31) - 3, sparseSize - 9};
            for (qint64 at : marks) {
                QVERIFY(f.seek(at));
                QCOMPARE(f.write("REELBIND!", 9), qint64(9));
            }
        }
        const QString a = TestSupport::makeFile(big.path(), QStringLiteral("a.mpg"), 100003, 1);
        const QString b = TestSupport::makeFile(big.path(), QStringLiteral("b.mpg"), 12345, 2);
        const QString target = big.filePath(QStringLiteral("joined.mpg"));
        const QStringList sources{a, sparse, b};

        Recorder rec;
        qint64 lastBatch = 0;
        bool monotone = true;
        rec.onPump = [&](Recorder& r) {
            monotone = monotone && r.rounds.last().batchDone > lastBatch;
            lastBatch = r.rounds.last().batchDone;
        };
        JoinEngine engine(sources, target, 70000, rec);
        QCOMPARE(engine.run(), JoinEngine::Outcome::Joined);
        const qint64 total = 100003 + sparseSize + 12345;
        QCOMPARE(rec.total, total);
        QVERIFY(monotone);
        QCOMPARE(rec.rounds.last().batchDone, total);
        QCOMPARE(QFileInfo(target).size(), total);
        QCOMPARE(engine.bytesWritten(), total);
        QString why;
        QVERIFY2(sameAsConcatenation(sources, target, &why), qPrintable(why));
        QFile::remove(target);
        QFile::remove(sparse);
    }
};

QTEST_GUILESS_MAIN(TestJoinEngine)
#include "test_engine.moc"
