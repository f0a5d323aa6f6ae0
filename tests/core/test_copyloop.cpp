// The copy loop on the real file system, with another program touching the files meanwhile;
// what the status window shows of its figures, and when it paints.
#include "core/CopyLoop.h"
#include "support/CoreSupport.h"

#include <QtTest>
#include <cerrno>

using namespace TestSupport;

class TestCopyLoop : public QObject
{
    Q_OBJECT
private slots:
    // Rounds double while they are quick and halve when slow, within one chunk and the most.
    void roundsFollowTheTimeTheyTake()
    {
        const auto next = [](qint64 chunks, qint64 us, qint64 most) {
            return CopyLoop::nextRoundChunks(chunks, us * 1000, most);
        };
        QCOMPARE((QList<qint64>{next(1, 1000, 100), next(64, 2000, 100), next(8, 5000, 100),
                                next(8, 11000, 100), next(1, 500000, 100), next(6, 1000, 4)}),
                 (QList<qint64>{2, 100, 8, 4, 1, 4}));
    }
    // Sources f0, f1... (makeSources) into t. With chunk 10,000 and one chunk a round, f0 takes
    // rounds 1-4, f1 rounds 5-9.
    void run_data()
    {
        QTest::addColumn<QList<qint64>>("sizes"); // the chunk, then the sources' sizes
        QTest::addColumn<QString>("act");  // "round what [file]|...": after that round, 0 before
        QTest::addColumn<QString>("text"); // failureText(), {d} the folder, {t} the target
        // Each row twice: the kernel copies, or the loop reads and writes.
        const auto row = [](const char* name, const char* act, const QString& text = "",
                            QList<qint64> sizes = {10000, 35000, 45000, 15000}) {
            for (const char* how : {"kernel", "read and write"})
                QTest::addRow("%s, %s", name, how) << sizes << QString(act) << text;
        };
        // "Could not " + what + the reason + what became of the target.
        const auto failed = [](const QString& what, int error = 0,
                               const char* target = "not created") {
            return "Could not " + what + (error ? ": " + reason(error) : "") +
                   ".\nThe target file {t} was " + target + ".";
        };
        row("joined", "0 old t", "", {40000, 39999, 40000, 40001, 0, 1, 120000, 2621447});
        row("3 GiB", "sparse", "", {70000, 1000, qint64(3) << 30}); // figures past 32 bits
        // Another program removes the target or puts its own there: the join still ends there.
        row("target removed meanwhile", "0 old t|2 rm t");
        row("target replaced meanwhile", "2 old t");
        row("cancelled, old target replaced", "0 old t|6 cancel");
        // Every small file is a round of its own: Cancel works between them.
        row("2,000 small files, cancelled", "100 cancel", "", QList<qint64>(2001, 1000));
        // The kernel cannot copy from another file system: the loop reads and writes instead.
        row("sources on another file system", "shm");
        row("folder queued, old target kept", "0 old t|0 rm f1|0 mkdir f1",
            failed("open file {d}/f1", EISDIR, "left unchanged"));
        row("vanishes during the run", "1 rm f2", failed("open file {d}/f2", ENOENT));
        row("cut short during the run", "6 cut f1",
            failed("read file {d}/f1: it ended early, it was changed during the join"));
        row("grew during its own copy", "6 grow f1",
            failed("read file {d}/f1: it grew while it was read, it was changed during the join"));
        row("disk full, old target kept", "0 old t|0 full",
            failed("write to the target file {t}", ENOSPC, "left unchanged"));
        row("temporary file removed meanwhile", "2 rm .t.*",
            failed("give the joined file the name {t}", ENOENT));
        row("target folder gone", "into gone/t", failed("create the target file {t}", ENOENT));
        // Memory running out in a pump ends the run like any failure.
        row("no memory in a pump", "2 throw", failed("get the memory to join into {t}", ENOMEM));
    }
    void run()
    {
        QFETCH(QList<qint64>, sizes);
        QFETCH(QString, act);
        QFETCH(QString, text);
        const bool kernel = QByteArray(QTest::currentDataTag()).endsWith("kernel");
        QTemporaryDir tmp, shm("/dev/shm/reelbind-test-XXXXXX");
        const QString dir = tmp.path(), from = act == "shm" ? shm.path() : dir;
        const QString target = QDir(dir).filePath(act.startsWith("into ") ? act.mid(5) : "t");
        const int chunk = sizes.takeFirst();
        TestFileSystem files;
        files.sparseOutputs = act == "sparse";
        QByteArray all;
        const QStringList sources = makeSources(from, sizes, &all);
        qint64 n = 0, rounds = 0;
        for (const qint64 size : sizes)
            n += size, rounds += (size + chunk - 1) / chunk;
        const QStringList fds = openFiles();
        CountingPump pump;
        RecordingProgress rec(pump);
        CopyLoop loop(files, pump, sources, target, chunk, rec, {kernel, 1});
        rec.afterRound = [&](int round) {
            for (const QString& step : act.split('|')) {
                if (step.section(' ', 0, 0) != QString::number(round))
                    continue;
                if (step.endsWith("throw"))
                    throw std::bad_alloc();
                if (step.endsWith("cancel"))
                    loop.cancel();
                else
                    QVERIFY(meddle(dir, step.section(' ', 1), files));
            }
        };
        rec.afterRound(0);
        const CopyLoop::Outcome outcome = loop.run();
        const bool cancel = act.endsWith("cancel"); // it stops right after that round
        QCOMPARE(outcome, !text.isEmpty() ? CopyLoop::Outcome::Failed
                          : cancel        ? CopyLoop::Outcome::Cancelled
                                          : CopyLoop::Outcome::Joined);
        QCOMPARE(cancel ? rec.rounds : 0, act.section('|', -1).section(' ', 0, 0).toInt() * cancel);
        QCOMPARE(loop.failureText(), text.replace("{d}", dir).replace("{t}", target));
        QByteArray got = act == "sparse" ? readAt(target, 0, 1000) : readAll(target);
        for (const qint64 at : act == "sparse" ? sparseMarks(sizes.last()) : QList<qint64>())
            got += readAt(target, 1000 + at, 9); // then its length:
        got += act == "sparse" ? QByteArray::number(QFileInfo(target).size()) : "";
        QCOMPARE(got, text.contains("unchanged") ? pattern(3000000, 9)
                      : !text.isEmpty()          ? "<missing>"
                      : act == "sparse"          ? all + QByteArray(27, '!') + QByteArray::number(n)
                                                 : all.left(cancel ? rec.last.batchDone : n));
        QCOMPARE(openFiles(), fds); // every file the run opened is closed
        QCOMPARE(QDir(dir).entryList({".t.*"}, QDir::Files | QDir::Hidden), QStringList());
        QCOMPARE(rec.unpumped(), 0);
        if (outcome == CopyLoop::Outcome::Joined) { // a round for each chunk, each tail
            QCOMPARE((QList<qint64>{rec.total, rec.rounds, rec.files, rec.last.batchDone,
                                    rec.last.fileShown, rec.last.fileLength, loop.bytesWritten(),
                                    loop.sourcesRead().size(), loop.written().size}),
                     (QList<qint64>{n, rounds, sizes.size(), n, sizes.last(), sizes.last(), n,
                                    sizes.size(), n}));
            QVERIFY(files.identity(target).sameFile(loop.written()));
            QCOMPARE(loop.kernelCopied(), kernel && act != "shm");
        }
    }

    // The status window's figures: "bar width | steps (progressSteps) > what they show".
    // Nothing is shown to change until a visible step (a whole percent, a pixel) is crossed.
    void progress_data()
    {
        addRows(
            {"8 | b1024 f1024 c4/0 c7/4 c101/96 c128/101 c1018/1014 c1019/1018 c1024/1024 e > "
             "0% 0% 0 0 -, 0% 0% 0 0 -, 0% 0% 0 0 -, 0% 1% 0 0 P, 9% 10% 0 0 pP, "
             "10% 13% 125 125 pPbB, 99% 99% 994 994 pPbB, 99% 100% 994 994 P, "
             "100% 100% 1000 1000 pbB, 100% 100% 0 0 bB",
             // Past 32 bits; a file of no bytes; nothing to copy at all.
             "1 | b8589934592 f0 f8589934592 c4294967296/0 c8589934592/8589934592 e > 0% 0% 0 0 -, "
             "0% 0% 0 0 -, 0% 0% 0 0 -, 0% 50% 0 0 P, 100% 100% 1000 1000 pPbB, 100% 100% 0 0 bB",
             "10 | b0 f0 e > 0% 0% 0 0 -, 0% 0% 0 0 -, 100% 100% 0 0 pP",
             // A new file empties its bar; cancelled, the file shows how far it was copied.
             "200 | b4096 f2048 c512/0 c2048/2048 f2048 c512/0 e > 0% 0% 0 0 -, 0% 0% 0 0 -, "
             "0% 13% 250 125 PbB, 100% 50% 1000 500 pPbB, 100% 50% 0 500 b, 0% 63% 250 625 pPbB, "
             "25% 63% 0 0 pbB",
             // Frames: none while off, unchanged or before kFrameMs passed; changes add up.
             "100 | mpl t0 s0 ml t1/-1 b4096 f4096 c1024/0 t1/1 t1/2 mb t2 t2/2 e mB x t10 > "
             "-, -, 0% 0% 0 0 -, 0% 0% 0 0 -, 0% 25% 250 250 PbB, lPbB, -, -, b, 25% 25% 0 0 pbB, "
             "-"});
    }
    void progress()
    {
        QFETCH(QString, row);
        QCOMPARE(progressSteps(row.section(" | ", 0, 0).toInt(),
                               row.section(" | ", 1).section(" > ", 0, 0)),
                 row.section(" > ", 1));
    }
};

QTEST_GUILESS_MAIN(TestCopyLoop)
#include "test_copyloop.moc"
