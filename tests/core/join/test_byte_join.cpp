// The byte join on its own, run on the test's thread: what it writes, what it leaves behind, how
// it fails and how it stops, with another program meddling between its rounds.
#include "core/join/ByteCopy.h"
#include "core/join/CancelToken.h"
#include "core/join/JoinChecks.h"
#include "core/join/JoinProgress.h"
#include "support/CoreSupport.h"

#include <QMap>
#include <QtTest>
#include <cerrno>
#include <new>

using namespace TestSupport;

namespace {

/// What another program (or the user) does after a round of the join (0: before the first).
enum class Act { OldTarget, Remove, Folder, Cut, Grow, DiskFull, Throw, Cancel, Stop };
struct Meddling
{
    int round;
    Act act;
    QString name;
};
/// What the target holds afterwards: the sources joined, the old file, the whole chunks copied
/// before the cancel, or no file.
enum class Left { Joined, Old, Partial, Nothing };
using Meddlings = QList<Meddling>;
using Sizes = QList<qint64>;

/// The progress a join reports, meddled with after each round.
struct Rounds : JoinProgress
{
    std::function<void(int)> after = [](int) {};
    qint64 total = -1;
    int started = 0, rounds = 0;
    JoinFigures last;
    void batchStarted(qint64 batchTotal) override { total = batchTotal, after(0); }
    void fileStarted(int, const JoinFigures&) override { ++started; }
    void copied(const JoinFigures& f) override { last = f, after(++rounds); }
};

QStringList hiddenIn(const QString& dir)
{
    return QDir(dir).entryList({".t.*"}, QDir::Files | QDir::Hidden);
}

} // namespace

Q_DECLARE_METATYPE(Meddling)
Q_DECLARE_METATYPE(JoinEnding)
Q_DECLARE_METATYPE(Left)

class TestByteJoin : public QObject
{
    Q_OBJECT
private slots:
    void join_data()
    {
        QTest::addColumn<int>("chunk");
        QTest::addColumn<Sizes>("sizes");
        QTest::addColumn<QString>("target"); // in the sources' folder
        QTest::addColumn<Meddlings>("meddling");
        QTest::addColumn<JoinEnding>("ending");
        QTest::addColumn<QString>("message"); // {t}: the target, {d}: the folder
        QTest::addColumn<Left>("left");
        // What the message says a failure or a cancel left of the target.
        const QMap<Left, QString> leftText = {
            {Left::Old, "The target file {t} was left unchanged."},
            {Left::Nothing, "The target file {t} was not created."},
            {Left::Partial, "The target file {t} holds what was joined before the cancel."}};
        const auto add = [&](const char* name, const Sizes& sizes, const QString& target,
                             const Meddlings& m, JoinEnding ending, Left left,
                             const QString& failed = {}, int error = 0, int chunk = 10000) {
            const QString why = "Could not " + failed + (error ? ": " + reason(error) : "") + ".\n";
            QTest::newRow(name) << chunk << sizes << target << m << ending
                                << (failed.isEmpty() ? "" : why) + leftText.value(left) << left;
        };
        const Sizes three = {35000, 45000, 15000};
        const Meddling old = {-1, Act::OldTarget, "t"};
        using E = JoinEnding;
        add("joined over an old target", {39999, 40000, 40001, 0, 1, 120000, 2621447}, "t", {old},
            E::Joined, Left::Joined, {}, 0, 40000);
        add("3 GiB: figures past 32 bits", {1000, qint64(3) << 30}, "t", {}, E::Joined,
            Left::Joined, {}, 0, 70000);
        add("target removed, then replaced meanwhile", three, "t",
            {old, {2, Act::Remove, "t"}, {4, Act::OldTarget, "t"}}, E::Joined, Left::Joined);
        add("a name of 255 bytes", three, QString(85, QChar(0x3042)), {}, E::Joined, Left::Joined);
        add("files on another file system", three, "/dev/shm", {}, E::Joined, Left::Joined);
        add("cancelled where no file stood", three, "t", {{6, Act::Cancel, ""}}, E::Cancelled,
            Left::Partial);
        add("cancelled onto a file that existed", three, "t", {old, {6, Act::Cancel, ""}},
            E::Cancelled, Left::Old);
        add("stopped, keeping nothing", three, "t", {{6, Act::Stop, ""}}, E::Cancelled,
            Left::Nothing);
        add("cancelled before it began", three, "t", {{0, Act::Cancel, ""}}, E::Cancelled,
            Left::Nothing);
        add("2,000 small files, cancelled in between", Sizes(2000, 1000), "t",
            {{100, Act::Cancel, ""}}, E::Cancelled, Left::Partial);
        add("a folder queued", three, "t", {old, {-1, Act::Remove, "f1"}, {-1, Act::Folder, "f1"}},
            E::Failed, Left::Old, "open file {d}/f1", EISDIR);
        add("a source gone before the join", three, "t", {{-1, Act::Remove, "f1"}}, E::Failed,
            Left::Nothing, "read the size of file {d}/f1", ENOENT);
        add("a source gone during the join", three, "t", {{1, Act::Remove, "f2"}}, E::Failed,
            Left::Nothing, "open file {d}/f2", ENOENT);
        add("a source cut short during the join", three, "t", {{5, Act::Cut, "f1"}}, E::Failed,
            Left::Nothing, "read file {d}/f1: it ended early, it was changed during the join");
        add("a source grown during its own copy", three, "t", {{5, Act::Grow, "f1"}}, E::Failed,
            Left::Nothing,
            "read file {d}/f1: it grew while it was read, it was changed during the join");
        add("disk full", three, "t", {old, {0, Act::DiskFull, ""}}, E::Failed, Left::Old,
            "write to the target file {t}", ENOSPC);
        add("a folder put at the target's name", three, "t", {{2, Act::Folder, "t"}}, E::Failed,
            Left::Nothing, "give the joined file the name {t}", EISDIR);
        add("the target's folder gone", three, "gone/t", {}, E::Failed, Left::Nothing,
            "create the target file {t}", ENOENT);
        add("no memory in a progress call", three, "t", {{2, Act::Throw, ""}}, E::Failed,
            Left::Nothing, "get the memory to join into {t}", ENOMEM);
    }
    void join()
    {
        QFETCH(int, chunk);
        QFETCH(Sizes, sizes);
        QFETCH(QString, target);
        QFETCH(Meddlings, meddling);
        QFETCH(JoinEnding, ending);
        QFETCH(QString, message);
        QFETCH(Left, left);
        for (const bool kernel : {true, false}) {
            QTemporaryDir here, shm("/dev/shm/reelbind-test-XXXXXX");
            const QString dir = target == "/dev/shm" ? shm.path() : here.path();
            const QString t = here.filePath(target == "/dev/shm" ? "t" : target);
            TestFileSystem files;
            files.sparseOutputs = sizes.last() >= qint64(1) << 30; // gibibytes fill no disk
            QByteArray all;
            const QStringList sources = makeSources(dir, sizes, all);
            const QString fds = QDir("/proc/self/fd").entryList().join(' ');
            ByteCopy copy(files);
            copy.setOptions({kernel, 1, true});
            CancelToken cancel;
            Rounds rounds;
            QByteArray old, partial;
            int cancelledAt = -1;
            const auto act = [&](int round) {
                for (const Meddling& m : std::as_const(meddling)) {
                    const QString path = m.name.startsWith('f') ? dir + '/' + m.name : t;
                    if (m.round != round)
                        continue;
                    switch (m.act) {
                    case Act::OldTarget:
                        old = readAll(makeFile(here.path(), m.name, 3000000, 9));
                        break;
                    case Act::Remove:
                        QVERIFY(QFile::remove(path));
                        break;
                    case Act::Folder:
                        QVERIFY(QDir().mkdir(path));
                        break;
                    case Act::Cut:
                    case Act::Grow:
                        QVERIFY(QFile::resize(path, m.act == Act::Cut ? 20010 : 60000));
                        break;
                    case Act::DiskFull:
                        files.diskLeft = 50000;
                        break;
                    case Act::Throw:
                        throw std::bad_alloc();
                    case Act::Cancel:
                    case Act::Stop:
                        cancel.cancel(m.act == Act::Stop);
                        cancelledAt = round;
                        partial = all.left(rounds.last.batchDone);
                    }
                }
            };
            act(-1);
            rounds.after = act;
            const JoinMethod::Result r = copy.run({sources, t, chunk}, rounds, cancel);
            const QString want = QString(message).replace("{t}", t).replace("{d}", dir);
            QCOMPARE(r.ending, ending);
            QCOMPARE(r.message, want);
            QCOMPARE(readJoined(t, sizes.last()), left == Left::Joined ? all
                                                  : left == Left::Old  ? old
                                                  : left == Left::Partial
                                                      ? partial
                                                      : QByteArray("<no file>"));
            // Nothing left open or behind; a cancel stops right after its round.
            QCOMPARE(QDir("/proc/self/fd").entryList().join(' '), fds);
            QCOMPARE(hiddenIn(here.path()), QStringList());
            if (cancelledAt >= 0)
                QCOMPARE(rounds.rounds, qMax(cancelledAt, 0));
            if (ending != JoinEnding::Joined)
                continue;
            // A round for each chunk and each tail; the figures past 32 bits; each source as
            // read; the file written is the target; the kernel copied where it could.
            qint64 n = 0, perChunk = 0;
            for (const qint64 size : sizes)
                n += size, perChunk += (size + chunk - 1) / chunk;
            QCOMPARE(joined(rounds.total, rounds.rounds, rounds.started, rounds.last.batchDone,
                            rounds.last.fileShown, rounds.last.fileLength, r.read.size(),
                            r.written.size, files.identity(t).sameFile(r.written),
                            copy.kernelCopied()),
                     joined(n, perChunk, sizes.size(), n, sizes.last(), sizes.last(), sizes.size(),
                            n, true, kernel && target != "/dev/shm"));
        }
    }
    // Sharing through the seam: tried at block boundaries until a source ends off one; a refusal
    // copies, another error fails; Cancel before the next source. The free-space check counts
    // the sources it will share as needing nothing.
    void sharing_data()
    {
        QTest::addColumn<Sizes>("sizes");
        QTest::addColumn<QList<int>>("answers"); // each try: 0 shares, else the error
        QTest::addColumn<bool>("cancel");        // after the first source
        QTest::addColumn<Sizes>("triedAt");      // the target's length at each try
        QTest::addColumn<QString>("message");
        QTest::newRow("whole blocks") << Sizes{8192, 4096, 5000} << QList<int>{0, 0, 0} << false
                                      << Sizes{0, 8192, 12288} << "";
        QTest::newRow("an odd first source: the rest copied")
            << Sizes{5000, 3192, 4096} << QList<int>{0, 0} << false << Sizes{0} << "";
        QTest::newRow("refusals copy") << Sizes(6, 4096) << QList<int>{22, 95, 18, 25, 9, 1}
                                       << false << Sizes{0, 4096, 8192, 12288, 16384, 20480} << "";
        QTest::newRow("another error fails")
            << Sizes{4096, 4096} << QList<int>{0, 28} << false << Sizes{0, 4096}
            << "Could not write to the target file {t}: " + reason(ENOSPC) +
                   ".\nThe target file {t} was not created.";
        QTest::newRow("cancelled") << Sizes{4096, 4096} << QList<int>{0, 0} << true << Sizes{0}
                                   << "The target file {t} holds what was joined before the "
                                      "cancel.";
    }
    void sharing()
    {
        QFETCH(Sizes, sizes);
        QFETCH(QList<int>, answers);
        QFETCH(bool, cancel);
        QFETCH(Sizes, triedAt);
        QFETCH(QString, message);
        QTemporaryDir dir;
        TestFileSystem files;
        files.shareAnswers = answers;
        QByteArray all;
        const QStringList sources = makeSources(dir.path(), sizes, all);
        CancelToken token;
        JoinChecks checks(files, token);
        qint64 need = 0, end = 0; // as the join will do it, when it goes through
        for (const qint64 size : sizes)
            need += triedAt.contains(end) ? 0 : size, end += size;
        files.folderBlockSize = 4096;
        for (const qint64 free : {need, need + 1})
            QVERIFY(!message.isEmpty() ||
                    (files.setFreeSpace(free),
                     checks.enoughSpace(dir.path(), sources) == (free > need)));
        ByteCopy copy(files);
        Rounds rounds;
        rounds.after = [&](int round) { round == 1 && cancel ? token.cancel() : void(); };
        const QString t = dir.filePath("t");
        const JoinMethod::Result r = copy.run({sources, t, 4096}, rounds, token);
        QCOMPARE(files.sharedAt, triedAt);
        QCOMPARE(r.message, QString(message).replace("{t}", t));
        QCOMPARE(readAll(t), message.isEmpty() ? all
                             : cancel          ? all.left(sizes[0])
                                               : QByteArray("<missing>"));
    }
    // The rounds double while quick and halve when slow, within one chunk and the most.
    void roundsFollowTheirTime_data()
    {
        QTest::addColumn<qint64>("chunks");
        QTest::addColumn<qint64>("tookUs");
        QTest::addColumn<qint64>("most");
        QTest::addColumn<qint64>("next");
        QTest::newRow("quick: twice") << 1LL << 1000LL << 100LL << 2LL;
        QTest::newRow("quick, at the most") << 64LL << 2000LL << 100LL << 100LL;
        QTest::newRow("about right") << 8LL << 5000LL << 100LL << 8LL;
        QTest::newRow("slow: half") << 8LL << 11000LL << 100LL << 4LL;
        QTest::newRow("slow, one chunk") << 1LL << 500000LL << 100LL << 1LL;
        QTest::newRow("the most below") << 6LL << 1000LL << 4LL << 4LL;
    }
    void roundsFollowTheirTime()
    {
        QFETCH(qint64, chunks);
        QFETCH(qint64, tookUs);
        QFETCH(qint64, most);
        QTEST(ByteCopy::nextRoundChunks(chunks, tookUs * 1000, most), "next");
    }
};

REELBIND_CORE_TEST_MAIN(TestByteJoin)
#include "test_byte_join.moc"
