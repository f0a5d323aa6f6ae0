// The copy loop on the real file system: byte-exact joins, one pump per
// whole chunk, the figures, and every way a run can end early.
#include "core/CopyLoop.h"
#include "support/TestSupport.h"

#include <QtTest>
#include <cerrno>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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
    void pumpEvents() override { onPump(++pumps); }
};

class TestCopyLoop : public QObject
{
    Q_OBJECT
    PosixFileSystem m_files;

private slots:
    // Sources f0, f1... (pattern seeds 1, 2...; from 1 GiB on sparse with marks) into t.
    void run_data()
    {
        QTest::addColumn<int>("chunk");
        QTest::addColumn<QList<qint64>>("sizes");
        QTest::addColumn<QString>("act");     // "pump what [file]|...", pump 0 before the run
        QTest::addColumn<QString>("text");    // failureText(), {d} the folder, {t} the target
        QTest::addColumn<QByteArray>("left"); // the target afterwards; null: every source
        const auto row = [](const char* name, const char* act, const QString& text,
                            const QByteArray& left, QList<qint64> sizes = {35000, 45000, 15000},
                            int chunk = 10000) { // f0 fills pumps 1-3, f1 pumps 4-7
            QTest::newRow(name) << chunk << sizes << QString(act) << text << left;
        };
        const auto failed = [](const QString& what, int error, const char* target) {
            return what + ": " + reason(error) + ".\nThe target file {t} was " + target + ".";
        };
        const QByteArray none("<missing>");
        // Every length around the chunk, more than one gather, a longer target replaced.
        row("joined", "0 old t", "", {}, {39999, 40000, 40001, 0, 1, 120000, 2621447}, 40000);
        // Figures past 32 bits; a pipe as the target, so no 3 GiB land on disk.
        row("3 GiB through a pipe", "pipe", "", pattern(1000, 1) + QByteArray(27, '!'),
            {1000, qint64(3) << 30}, 70000);
        row("folder queued, old target kept", "0 old t|0 rm f1|0 mkdir f1",
            failed("Could not open file {d}/f1", EISDIR, "left unchanged"), pattern(3000000, 9));
        row("vanishes during the run", "1 rm f2",
            failed("Could not open file {d}/f2", ENOENT, "left incomplete"),
            pattern(35000, 1) + pattern(45000, 2));
        row("cut short during the run", "5 cut f1",
            "Could not read file {d}/f1: it ended early, it was changed during the join.\nThe "
            "target file {t} was left incomplete.",
            pattern(35000, 1) + pattern(20000, 2));
        row("full device", "into /dev/full",
            failed("Could not write to the target file {t}", ENOSPC, "left incomplete"), {});
        row("target folder gone", "into gone/t",
            failed("Could not create the target file {t}", ENOENT, "not created"), none);
        const QString noMemory = "Could not get the memory to join into {t}";
        row("no memory for the chunk", "0 lowmem", failed(noMemory, ENOMEM, "not created"), none,
            {1000}, 1000000000);
        // Memory running out in a progress call ends the run like any failure.
        row("out of memory in a pump", "2 throw", failed(noMemory, ENOMEM, "left incomplete"),
            pattern(20000, 1));
    }
    void run()
    {
        QFETCH(int, chunk);
        QFETCH(QList<qint64>, sizes);
        QFETCH(QString, act);
        QFETCH(QString, text);
        QFETCH(QByteArray, left);
        QTemporaryDir tmp;
        const QString dir = tmp.path();
        const QString target = QDir(dir).filePath(act.startsWith("into ") ? act.mid(5) : "t");
        QStringList sources;
        QByteArray all;
        qint64 n = 0, wholeChunks = 0;
        for (int i = 0; i < sizes.size(); n += sizes[i], wholeChunks += sizes[i++] / chunk) {
            if (sizes[i] < qint64(1) << 30) {
                sources << makeFile(dir, QStringLiteral("f%1").arg(i), sizes[i], i + 1);
                all += pattern(sizes[i], i + 1);
                continue;
            }
            QFile sparse(sources.emplaceBack(sized(dir, "big", sizes[i])));
            QVERIFY(sparse.open(QIODevice::ReadWrite));
            for (const qint64 at : {qint64(0), (qint64(1) << 31) - 3, sizes[i] - 9})
                QVERIFY(sparse.seek(at) && sparse.write("!!!!!!!!!") == 9);
        }
        rlimit saved{}; // "lowmem" leaves enough for the test, not for the chunk
        QVERIFY(::getrlimit(RLIMIT_DATA, &saved) == 0);
        const rlimit low{rlim_t(512) << 20, saved.rlim_max};
        QByteArray seen; // from the pipe: the bytes where the marks are, and all after the last
        std::thread reader;
        if (act == "pipe") {
            QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
            reader = std::thread([&] {
                const qint64 mid = 1000 + (qint64(1) << 31) - 3; // the mark across 2 GiB
                const QList<std::pair<qint64, qint64>> windows{
                    {0, 1009}, {mid, mid + 9}, {n - 9, 2 * n}};
                QFile in(target);
                in.open(QIODevice::ReadOnly); // waits for a writer
                qint64 at = 0;
                for (QByteArray b; !(b = in.read(1 << 20)).isEmpty(); at += b.size())
                    for (const auto& [from, to] : windows)
                        seen += b.mid(qMax(from, at) - at,
                                      qMax(qMin(to, at + b.size()) - qMax(from, at), qint64(0)));
            });
        }
        const auto openFiles = [] { return QDir("/proc/self/fd").entryList(QDir::Files); };
        const QStringList fds = openFiles();
        Recorder rec;
        CopyLoop loop(m_files, sources, target, chunk, rec);
        rec.onPump = [&](int pump) {
            for (const QString& step : act.split('|')) {
                const QString op = step.section(' ', 1, 1), file = dir + '/' + step.section(' ', 2);
                if (step.section(' ', 0, 0) != QString::number(pump))
                    continue;
                QVERIFY(op != "rm" || QFile::remove(file));
                QVERIFY(op != "mkdir" || QDir().mkdir(file));
                QVERIFY(op != "cut" || QFile::resize(file, 20010));
                QVERIFY(op != "old" || makeFile(dir, "t", 3000000, 9) == file);
                QVERIFY(op != "lowmem" || ::setrlimit(RLIMIT_DATA, &low) == 0);
                if (op == "throw")
                    throw std::bad_alloc();
            }
        };
        rec.onPump(0);
        const CopyLoop::Outcome outcome = loop.run();
        if (reader.joinable()) {
            ::close(::open(QFile::encodeName(target), O_WRONLY | O_NONBLOCK)); // ends the reader
            reader.join();
        }
        QVERIFY(::setrlimit(RLIMIT_DATA, &saved) == 0); // before any check
        QCOMPARE(outcome, text.isEmpty() ? CopyLoop::Outcome::Joined : CopyLoop::Outcome::Failed);
        QCOMPARE(loop.failureText(), text.replace("{d}", dir).replace("{t}", target));
        // On every ending the chunks read whole reach the target.
        if (!target.startsWith("/dev/"))
            QCOMPARE(act == "pipe" ? seen : readAll(target), left.isNull() ? all : left);
        QCOMPARE(openFiles(), fds);               // every file the run opened is closed
        if (outcome == CopyLoop::Outcome::Joined) // one pump per whole chunk, none for a tail
            QCOMPARE(
                (QList<qint64>{rec.total, rec.pumps, rec.files, rec.last.batchDone,
                               rec.last.fileShown, rec.last.fileLength, loop.bytesWritten()}),
                (QList<qint64>{n, wholeChunks, sizes.size(), n, sizes.last(), sizes.last(), n}));
    }
};

QTEST_GUILESS_MAIN(TestCopyLoop)
#include "test_copyloop.moc"
