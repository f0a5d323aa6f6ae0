// The copy loop on the real file system: byte-exact joins, one pump per
// whole chunk, the figures, and every way a run can end early.
#include "core/CopyLoop.h"
#include "platform/PosixFileSystem.h"
#include "support/TestSupport.h"

#include <QtTest>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using TestSupport::makeFile;
using TestSupport::pattern;
using TestSupport::readAll;
using TestSupport::reason;

namespace {

struct Recorder : JoinProgress
{
    qint64 total = -1;
    int files = 0, pumps = 0;
    QList<JoinFigures> rounds;
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

// Reads `fd` to its end and compares it with the files' bytes one after the
// other, in 1 MiB pieces (cmp reads a pipe 4 KiB at a time, which takes
// half a minute for gibibytes). -1 when equal, else the first differing offset.
qint64 firstDifference(int fd, const QStringList& files)
{
    QByteArray want(1 << 20, 0), got(1 << 20, 0);
    qint64 at = 0, differs = -1;
    auto fill = [&](qint64 n) {
        qint64 m = 0;
        for (ssize_t r; m < n && (r = ::read(fd, got.data() + m, size_t(n - m))) > 0;)
            m += r;
        return m;
    };
    for (const QString& path : files) {
        QFile f(path);
        f.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        for (qint64 n; (n = f.read(want.data(), want.size())) > 0; at += n)
            if (differs < 0 && (fill(n) != n || std::memcmp(want.data(), got.data(), n) != 0))
                differs = at;
    }
    const qint64 extra = fill(1); // then drained, so the writer never meets a closed pipe
    while (fill(got.size()) > 0) {
    }
    return differs >= 0 ? differs : extra > 0 ? at : -1;
}

QStringList openFiles()
{
    return QDir("/proc/self/fd").entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

class TestCopyLoop : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_tmp;
    PosixFileSystem m_files;
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
            makeFile(m_tmp->path(), "out.mpg", oldTarget, 99);
        QStringList sources;
        QByteArray expected;
        qint64 wholeChunks = 0;
        for (int i = 0; i < sizes.size(); ++i) {
            sources << makeFile(m_tmp->path(), QStringLiteral("s%1").arg(i), sizes[i], i + 1);
            expected += pattern(sizes[i], i + 1);
            wholeChunks += sizes[i] / chunk;
        }
        Recorder rec;
        CopyLoop loop(m_files, sources, target, chunk, rec);
        QCOMPARE(loop.run(), CopyLoop::Outcome::Joined);
        QCOMPARE(readAll(target), expected);
        // The total, one pump per whole chunk and none for a tail, every file
        // reported, the figures at the end, the bytes written.
        const qint64 n = expected.size(), files = sizes.size();
        const JoinFigures& end = rec.rounds.last();
        QCOMPARE((QList<qint64>{rec.total, rec.pumps, rec.files, rec.rounds.size(), end.batchDone,
                                end.fileShown - end.fileLength, loop.bytesWritten()}),
                 (QList<qint64>{n, wholeChunks, files, wholeChunks + files, n, 0, n}));
        // During whole chunks the file figure shown trails by one chunk.
        for (const JoinFigures& f : std::as_const(rec.rounds))
            QVERIFY(f.fileShown == f.fileDone || f.fileShown == f.fileDone - chunk);
    }

    // Files f0, f1... with pattern seeds 1, 2... into t; chunk 10,000.
    void howARunEndsEarly_data()
    {
        QTest::addColumn<QList<qint64>>("sizes");
        QTest::addColumn<QString>("act");     // "pump what [file]|...", pump 0 before the run
        QTest::addColumn<QString>("text");    // failureText() ({d} the folder); empty: cancelled
        QTest::addColumn<QByteArray>("left"); // the target afterwards; null: not checked
        const QList<qint64> three{35000, 45000, 15000}; // f0 fills pumps 1-3, f1 pumps 4-7
        const QByteArray none("<missing>");
        const QString notCreated = "\nThe target file {t} was not created.";
        const QString incomplete = "\nThe target file {t} was left incomplete.";
        const QString noSize = "Could not read the size of file {d}/f1: " + reason(ENOENT) + ".";
        QTest::newRow("missing source") << three << "0 rm f1" << noSize + notCreated << none;
        QTest::newRow("missing source, old target kept")
            << three << "0 old t|0 rm f1" << noSize + "\nThe target file {t} was left unchanged."
            << pattern(777, 9);
        QTest::newRow("folder queued")
            << three << "0 rm f1|0 mkdir f1"
            << "Could not open file {d}/f1: " + reason(EISDIR) + "." + notCreated << none;
        QTest::newRow("vanishes during the run")
            << three << "1 rm f2"
            << "Could not open file {d}/f2: " + reason(ENOENT) + "." + incomplete
            << pattern(35000, 1) + pattern(45000, 2);
        // Cut to two chunks and a bit after its second chunk: the target
        // keeps every whole chunk read before.
        QTest::newRow("cut short during the run")
            << three << "5 cut f1"
            << "Could not read file {d}/f1: it ended early, it was changed during the join." +
                   incomplete
            << pattern(35000, 1) + pattern(20000, 2);
        QTest::newRow("full device")
            << QList<qint64>{1048576, 524288} << "0 into /dev/full"
            << "Could not write to the target file {t}: " + reason(ENOSPC) + "." + incomplete
            << QByteArray();
        QTest::newRow("target folder gone")
            << three << "0 into gone/t"
            << "Could not create the target file {t}: " + reason(ENOENT) + "." + notCreated << none;
        // Memory running out in a progress call ends the run like any failure.
        QTest::newRow("out of memory in a pump")
            << three << "2 throw"
            << "Could not get the memory to join into {t}: " + reason(ENOMEM) + "." + incomplete
            << pattern(20000, 1);
        QTest::newRow("cancelled before the run") << three << "0 cancel" << QString() << none;
        // During the third chunk of the second of four files: 5 pumps, then 3.
        QTest::newRow("cancelled") << QList<qint64>(4, 51234) << "8 cancel" << QString()
                                   << pattern(51234, 1) + pattern(30000, 2);
    }
    void howARunEndsEarly()
    {
        QFETCH(QList<qint64>, sizes);
        QFETCH(QString, act);
        QFETCH(QString, text);
        QFETCH(QByteArray, left);
        const QString dir = m_tmp->path();
        QStringList sources;
        for (int i = 0; i < sizes.size(); ++i)
            sources << makeFile(dir, QStringLiteral("f%1").arg(i), sizes[i], i + 1);
        const QString into = act.section("0 into ", 1);
        const QString target = into.startsWith('/') ? into : path(into.isEmpty() ? "t" : into);
        const QStringList fds = openFiles();
        Recorder rec;
        CopyLoop loop(m_files, sources, target, 10000, rec);
        rec.onPump = [&](int pump) {
            for (const QString& step : act.split('|')) {
                const QStringList w = step.split(' ');
                const QByteArray file = QFile::encodeName(dir + '/' + w.value(2));
                if (w[0] != QString::number(pump))
                    continue;
                if (w[1] == "rm")
                    QCOMPARE(::unlink(file), 0);
                else if (w[1] == "mkdir")
                    QCOMPARE(::mkdir(file, 0700), 0);
                else if (w[1] == "cut")
                    QCOMPARE(::truncate(file, 20010), 0);
                else if (w[1] == "old")
                    makeFile(dir, w[2], 777, 9);
                else if (w[1] == "cancel")
                    loop.cancel();
                else if (w[1] == "throw")
                    throw std::bad_alloc();
            }
        };
        rec.onPump(0);
        QCOMPARE(loop.run(),
                 text.isEmpty() ? CopyLoop::Outcome::Cancelled : CopyLoop::Outcome::Failed);
        QCOMPARE(loop.failureText(), text.replace("{d}", dir).replace("{t}", target));
        // On every ending the chunks read whole reach the target.
        if (!left.isNull())
            QCOMPARE(readAll(target), left);
        QCOMPARE(openFiles(), fds); // every file the run opened is closed
    }

    void memoryThatRunsOutEndsTheRun()
    {
        // A chunk of 1,000,000,000 bytes under an address space too small for it.
        const QString target = path("t.mpg");
        Recorder rec;
        CopyLoop loop(m_files, {makeFile(m_tmp->path(), "a", 1000)}, target, 1000000000, rec);
        QFile statm("/proc/self/statm");
        QVERIFY(statm.open(QIODevice::ReadOnly));
        rlimit saved, low;
        QCOMPARE(::getrlimit(RLIMIT_AS, &saved), 0);
        low = saved;
        low.rlim_cur = statm.readAll().split(' ')[0].toULongLong() * ::getpagesize() + (256 << 20);
        QVERIFY(low.rlim_cur < saved.rlim_max);
        const int lowered = ::setrlimit(RLIMIT_AS, &low);
        const CopyLoop::Outcome outcome = loop.run();
        const int restored = ::setrlimit(RLIMIT_AS, &saved); // at once, before any check
        QCOMPARE(lowered + restored, 0);
        QCOMPARE(outcome, CopyLoop::Outcome::Failed);
        QCOMPARE(loop.failureText(), "Could not get the memory to join into " + target + ": " +
                                         reason(ENOMEM) + ".\nThe target file " + target +
                                         " was not created.");
        QVERIFY(!QFile::exists(target));
    }

    void sparseFileOfThreeGibibytes()
    {
        // Figures past 32 bits, data marks around 2 GiB and at the end. The
        // target is a pipe read while the join writes, so no 3 GiB land on disk.
        const qint64 big = qint64(3) << 30;
        const QString a = path("big.mpg"), target = path("joined.mpg");
        {
            QFile sparse(a);
            QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(big));
            for (const qint64 at : {qint64(0), (qint64(1) << 31) - 3, big - 9})
                QVERIFY(sparse.seek(at) && sparse.write("REELBIND!", 9) == 9);
        }
        const QString b = makeFile(m_tmp->path(), "small.mpg", 1000, 1);
        const QByteArray fifo = QFile::encodeName(target);
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        // A writer of our own keeps the reader from an early end of file.
        const int in = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
        const int hold = ::open(fifo.constData(), O_WRONLY);
        QVERIFY(in >= 0 && hold >= 0 && ::fcntl(in, F_SETFL, 0) == 0);
        ::fcntl(in, F_SETPIPE_SZ, 1 << 20);
        qint64 differs = -2;
        std::thread reader([&] { differs = firstDifference(in, {a, b}); });
        Recorder rec;
        CopyLoop loop(m_files, {a, b}, target, 70000, rec);
        const CopyLoop::Outcome outcome = loop.run();
        ::close(hold);
        reader.join();
        ::close(in);
        QCOMPARE(outcome, CopyLoop::Outcome::Joined);
        QCOMPARE(differs, qint64(-1)); // the same bytes, no more, no fewer
        QCOMPARE(rec.total, big + 1000);
        QCOMPARE(qint64(rec.pumps), big / 70000);
        const JoinFigures& endOfBig = rec.rounds.at(rec.rounds.size() - 2);
        QCOMPARE(endOfBig.fileDone + endOfBig.batchDone, 2 * big);
        QCOMPARE(rec.rounds.last().batchDone, big + 1000);
        QCOMPARE(loop.bytesWritten(), big + 1000);
    }
};

QTEST_GUILESS_MAIN(TestCopyLoop)
#include "test_copyloop.moc"
