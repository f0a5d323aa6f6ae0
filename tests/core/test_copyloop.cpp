// The copy loop on the real file system: byte-exact joins, one pump per
// whole chunk, the figures, and every way a run can end early, with another
// program touching the files at a chosen round.
#include "core/CopyLoop.h"
#include "support/TestSupport.h"

#include <QtTest>
#include <cerrno>

using namespace TestSupport;

struct Recorder : JoinProgress
{
    qint64 total = -1;
    int files = 0, pumps = 0;
    JoinFigures last;
    std::function<void(int)> onPump = [](int) {};
    void batchStarted(qint64 t) override { total = t; }
    void fileStarted(int, const JoinFigures&) override { ++files; }
    void copied(const JoinFigures& f) override { last = f; }
    // Pumps while thousands of sizes are looked up come before any round: not counted.
    void pumpEvents() override
    {
        if (total >= 0)
            onPump(++pumps);
    }
};

class TestCopyLoop : public QObject
{
    Q_OBJECT

private slots:
    // Rounds double while they are quick and halve when slow, within one chunk and the most.
    void roundsFollowTheTimeTheyTake()
    {
        QStringList seen;
        for (const auto& [chunks, us, most] : {std::tuple<qint64, qint64, qint64>{1, 1000, 100},
                                               {64, 2000, 100},
                                               {8, 5000, 100},
                                               {8, 11000, 100},
                                               {1, 500000, 100},
                                               {6, 1000, 4}})
            seen << QString::number(CopyLoop::nextRoundChunks(chunks, us * 1000, most));
        QCOMPARE(seen.join(' '), "2 100 8 4 1 4");
    }

    // Sources f0, f1... (pattern seeds 1, 2...; from 1 GiB on sparse with marks) into t.
    void run_data()
    {
        QTest::addColumn<int>("chunk");
        QTest::addColumn<QList<qint64>>("sizes");
        QTest::addColumn<QString>("act");     // "pump what [file]|...", pump 0 before the run
        QTest::addColumn<QString>("text");    // failureText(), {d} the folder, {t} the target
        QTest::addColumn<QByteArray>("left"); // the target afterwards; null: every source
        QTest::addColumn<bool>("kernel");     // the kernel copies, or the loop reads and writes
        // One chunk a round: f0 fills pumps 1-4 (its tail the 4th), f1 pumps 5-9.
        const auto row = [](const char* name, const char* act, const QString& text,
                            const QByteArray& left, QList<qint64> sizes = {35000, 45000, 15000},
                            int chunk = 10000) {
            for (bool kernel : {true, false})
                QTest::addRow("%s, %s", name, kernel ? "kernel" : "read and write")
                    << chunk << sizes << QString(act) << text << left << kernel;
        };
        const auto failed = [](const QString& what, int error, const char* target) {
            return what + ": " + reason(error) + ".\nThe target file {t} was " + target + ".";
        };
        const QByteArray none("<missing>"), old = pattern(3000000, 9);
        const QString changed = "Could not read file {d}/f1: it %1, it was changed during the "
                                "join.\nThe target file {t} was not created.";
        // Every length around the chunk, more than one gather, a longer target replaced.
        row("joined", "0 old t", "", {}, {39999, 40000, 40001, 0, 1, 120000, 2621447}, 40000);
        // Figures past 32 bits; the target keeps the sparse source's holes.
        row("3 GiB", "sparse", "", pattern(1000, 1) + QByteArray(27, '!'), {1000, qint64(3) << 30},
            70000);
        // Another program removes the target, or puts its own file there: the join still ends
        // under the target's name.
        row("target removed meanwhile", "0 old t|2 rm t", "", {});
        row("target replaced meanwhile", "2 old t", "", {});
        row("cancelled, old target replaced", "0 old t|6 cancel", "",
            pattern(35000, 1) + pattern(20000, 2));
        // Every small file is a round of its own: Cancel works between them.
        row("2,000 small files, cancelled", "100 cancel", "", {}, QList<qint64>(2000, 1000));
        // The kernel cannot copy from another file system: the loop reads and writes instead.
        row("sources on another file system", "shm", "", {}, {35000, 45000});
        row("folder queued, old target kept", "0 old t|0 rm f1|0 mkdir f1",
            failed("Could not open file {d}/f1", EISDIR, "left unchanged"), old);
        row("vanishes during the run", "1 rm f2",
            failed("Could not open file {d}/f2", ENOENT, "not created"), none);
        row("cut short during the run", "6 cut f1", changed.arg("ended early"), none);
        row("grew during its own copy", "6 grow f1", changed.arg("grew while it was read"), none);
        row("disk full, old target kept", "0 old t|0 full",
            failed("Could not write to the target file {t}", ENOSPC, "left unchanged"), old);
        row("temporary file removed meanwhile", "2 rm .t.*",
            failed("Could not give the joined file the name {t}", ENOENT, "not created"), none);
        row("target folder gone", "into gone/t",
            failed("Could not create the target file {t}", ENOENT, "not created"), none);
        const QString noMemory = "Could not get the memory to join into {t}";
        // Memory running out in a progress call ends the run like any failure.
        row("out of memory in a pump", "2 throw", failed(noMemory, ENOMEM, "not created"), none);
    }
    void run()
    {
        QFETCH(int, chunk);
        QFETCH(QList<qint64>, sizes);
        QFETCH(QString, act);
        QFETCH(QString, text);
        QFETCH(QByteArray, left);
        QFETCH(bool, kernel);
        QTemporaryDir tmp, shm("/dev/shm/reelbind-test-XXXXXX");
        const QString dir = tmp.path();
        const QString from = act == "shm" ? shm.path() : dir;
        const QString target = QDir(dir).filePath(act.startsWith("into ") ? act.mid(5) : "t");
        TestFileSystem files;
        files.sparseOutputs = act == "sparse";
        QStringList sources;
        QByteArray all;
        qint64 n = 0, rounds = 0;
        for (int i = 0; i < sizes.size();
             n += sizes[i], rounds += sizes[i] / chunk + (sizes[i] % chunk > 0), ++i) {
            if (sizes[i] < qint64(1) << 30) {
                sources << makeFile(from, QStringLiteral("f%1").arg(i), sizes[i], i + 1);
                all += pattern(sizes[i], i + 1);
                continue;
            }
            QFile sparse(sources.emplaceBack(sized(dir, "big", sizes[i])));
            QVERIFY(sparse.open(QIODevice::ReadWrite));
            for (const qint64 at : {qint64(0), (qint64(1) << 31) - 3, sizes[i] - 9})
                QVERIFY(sparse.seek(at) && sparse.write("!!!!!!!!!") == 9);
        }
        const auto openFiles = [] { return QDir("/proc/self/fd").entryList(QDir::Files); };
        const QStringList fds = openFiles();
        Recorder rec;
        CopyLoop loop(files, sources, target, chunk, rec, {kernel, 1});
        rec.onPump = [&](int pump) {
            for (const QString& step : act.split('|')) {
                const QString op = step.section(' ', 1, 1), name = step.section(' ', 2);
                const QString file = dir + '/' + name;
                if (step.section(' ', 0, 0) != QString::number(pump))
                    continue;
                if (op == "rm" && name.contains('*'))
                    for (const QString& f : QDir(dir).entryList({name}, QDir::Files | QDir::Hidden))
                        QVERIFY(QFile::remove(dir + '/' + f));
                else
                    QVERIFY(op != "rm" || QFile::remove(file));
                QVERIFY(op != "mkdir" || QDir().mkdir(file));
                QVERIFY(op != "cut" || QFile::resize(file, 20010));
                QVERIFY(op != "grow" || QFile::resize(file, 60000));
                QVERIFY(op != "old" || makeFile(dir, "t", 3000000, 9) == file);
                files.diskLeft = op == "full" ? 50000 : files.diskLeft;
                if (op == "cancel")
                    loop.cancel();
                if (op == "throw")
                    throw std::bad_alloc();
            }
        };
        rec.onPump(0);
        const CopyLoop::Outcome outcome = loop.run();
        QCOMPARE(outcome, !text.isEmpty()          ? CopyLoop::Outcome::Failed
                          : act.contains("cancel") ? CopyLoop::Outcome::Cancelled
                                                   : CopyLoop::Outcome::Joined);
        QCOMPARE(loop.failureText(), text.replace("{d}", dir).replace("{t}", target));
        QByteArray got;
        if (act == "sparse") { // the bytes at the marks, and the length
            QFile f(target);
            QVERIFY(f.open(QIODevice::ReadOnly));
            for (const auto& [at, len] : {std::pair<qint64, qint64>{0, 1009},
                                          {1000 + (qint64(1) << 31) - 3, 9},
                                          {n - 9, 9}})
                got += f.seek(at) ? f.read(len) : QByteArray("<seek>");
            got += QByteArray::number(f.size() - n);
            left += '0';
        } else {
            got = readAll(target);
        }
        if (act == "100 cancel") // whole files, one a round
            left = all.left(100 * 1000);
        QCOMPARE(got, left.isNull() ? all : left);
        QCOMPARE(openFiles(), fds); // every file the run opened is closed
        QCOMPARE(QDir(dir).entryList({".t.*"}, QDir::Files | QDir::Hidden), QStringList());
        if (outcome == CopyLoop::Outcome::Joined) { // a pump a round: each chunk, each tail
            QCOMPARE((QList<qint64>{rec.total, rec.pumps, rec.files, rec.last.batchDone,
                                    rec.last.fileShown, rec.last.fileLength, loop.bytesWritten(),
                                    loop.sourcesRead().size(), loop.written().size}),
                     (QList<qint64>{n, rounds, sizes.size(), n, sizes.last(), sizes.last(), n,
                                    sizes.size(), n}));
            QVERIFY(files.identity(target).sameFile(loop.written()));
            QCOMPARE(loop.kernelCopied(), kernel && act != "shm");
        }
    }
};

QTEST_GUILESS_MAIN(TestCopyLoop)
#include "test_copyloop.moc"
