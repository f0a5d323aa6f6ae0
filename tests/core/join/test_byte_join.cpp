// The byte join on its own, run on the test's thread: what it writes, what it leaves behind, how
// it fails and how it stops, with another program meddling between its rounds; the checksum files
// beside its parts, and the join checked against them.
#include "core/join/ByteCopy.h"
#include "core/join/CancelToken.h"
#include "core/join/Checksums.h"
#include "core/join/JoinChecks.h"
#include "core/join/JoinProgress.h"
#include "support/CoreSupport.h"

#include <QCryptographicHash>
#include <cerrno>
#include <new>
#include <zlib.h>

using namespace TestSupport;

namespace {

/// One join of sources made in `dir` into `target`, and what meddles with it.
struct Run
{
    QString dir, target;
    TestFileSystem files;
    CancelToken cancel;
    QByteArray all, old, partial; // the sources joined, an old target, what a cancel keeps
    JoinFigures last;
    int round = -1, cancelledAt = -1;
    QString at(const QString& name) const { return name == "t" ? target : dir + '/' + name; }
};
/// What another program (or the user) does after round `round` (0: when the batch is known, -1:
/// before the join).
using Act = std::function<void(Run&)>;
struct Meddling
{
    int round;
    Act act;
};
using Meddlings = QList<Meddling>;
using Sizes = QList<qint64>;
/// What the target holds afterwards: the sources joined, the old file, the whole chunks copied
/// before the cancel, or no file.
enum class Left { Joined, Old, Partial, Nothing };

const Act oldTarget = [](Run& r) {
    r.old = readAll(makeFile(QFileInfo(r.target).path(), "t", 3e6, 9));
};
Act deleted(const QString& name)
{
    return [name](Run& r) { QVERIFY(QFile::remove(r.at(name))); };
}
Act folderAt(const QString& name)
{
    return [name](Run& r) { QVERIFY(QDir().mkdir(r.at(name))); };
}
Act resizedTo(const QString& name, qint64 size)
{
    return [name, size](Run& r) { QVERIFY(QFile::resize(r.at(name), size)); };
}
Act cancel(bool keepNothing)
{
    return [keepNothing](Run& r) {
        r.cancel.cancel(keepNothing);
        r.partial = r.all.left(r.last.batchDone);
        r.cancelledAt = r.round;
    };
}

/// The progress a join reports, meddled with after each round.
struct Rounds : JoinProgress
{
    std::function<void(int)> after = [](int) {};
    qint64 total = -1;
    int started = 0, rounds = 0;
    JoinFigures own, *last = &own;
    void batchStarted(qint64 batchTotal) override { total = batchTotal, after(0); }
    void fileStarted(int, const JoinFigures&) override { ++started; }
    void copied(const JoinFigures& f) override { *last = f, after(++rounds); }
};

/// The sum of `bytes` as a checksum file of `kind` writes it.
QByteArray sumOf(Checksums::Kind kind, const QByteArray& bytes)
{
    using H = QCryptographicHash;
    const H::Algorithm hashes[] = {H::Md5, H::Md5, H::Sha1, H::Sha256}; // by Kind, after Crc32
    const quint32 crc = crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), uInt(bytes.size()));
    return kind == Checksums::Kind::Crc32 ? QByteArray::number(crc, 16).rightJustified(8, '0')
                                          : H::hash(bytes, hashes[int(kind)]).toHex();
}

} // namespace

class TestByteJoin : public QObject
{
    Q_OBJECT
private slots:
    void join_data()
    {
        const Table<int, Sizes, QString, Meddlings, JoinEnding, QString, Left> row(
            {"chunk", "sizes", "target", "meddling", "ending", "message", "left"});
        // What the message says a failure or a cancel left of the target.
        const QMap<Left, QString> left = {
            {Left::Old, "The target file {t} was left unchanged."},
            {Left::Nothing, "The target file {t} was not created."},
            {Left::Partial, "The target file {t} holds what was joined before the cancel."}};
        const auto add = [&](const char* name, const Sizes& sizes, const QString& target,
                             const Meddlings& m, JoinEnding ending, Left l, QString failed = {},
                             int error = 0, int chunk = 10000) {
            if (!failed.isEmpty())
                failed = "Could not " + failed + (error ? ": " + reason(error) : "") + ".\n";
            row(name, chunk, sizes, target, m, ending, failed + left.value(l), l);
        };
        const Sizes three = {35000, 45000, 15000};
        using E = JoinEnding;
        add("joined over an old target", {39999, 40000, 40001, 0, 1, 120000, 2621447}, "t",
            {{-1, oldTarget}}, E::Joined, Left::Joined, {}, 0, 40000);
        add("3 GiB: figures past 32 bits", {1000, qint64(3) << 30}, "t", {}, E::Joined,
            Left::Joined, {}, 0, 70000);
        add("target removed, then replaced meanwhile", three, "t",
            {{-1, oldTarget}, {2, deleted("t")}, {4, oldTarget}}, E::Joined, Left::Joined);
        add("a name of 255 bytes", three, QString(85, QChar(0x3042)), {}, E::Joined, Left::Joined);
        add("files on another file system", three, "/dev/shm", {}, E::Joined, Left::Joined);
        add("cancelled where no file stood", three, "t", {{6, cancel(false)}}, E::Cancelled,
            Left::Partial);
        add("cancelled onto a file that existed", three, "t", {{-1, oldTarget}, {6, cancel(false)}},
            E::Cancelled, Left::Old);
        add("stopped, keeping nothing", three, "t", {{6, cancel(true)}}, E::Cancelled,
            Left::Nothing);
        add("cancelled before it began", three, "t", {{0, cancel(false)}}, E::Cancelled,
            Left::Nothing);
        add("2,000 small files, cancelled in between", Sizes(2000, 1000), "t",
            {{100, cancel(false)}}, E::Cancelled, Left::Partial);
        add("a folder queued", three, "t",
            {{-1, oldTarget}, {-1, deleted("f1")}, {-1, folderAt("f1")}}, E::Failed, Left::Old,
            "open file {d}/f1", EISDIR);
        add("a source gone before the join", three, "t", {{-1, deleted("f1")}}, E::Failed,
            Left::Nothing, "read the size of file {d}/f1", ENOENT);
        add("a source gone during the join", three, "t", {{1, deleted("f2")}}, E::Failed,
            Left::Nothing, "open file {d}/f2", ENOENT);
        add("a source cut short during the join", three, "t", {{5, resizedTo("f1", 20010)}},
            E::Failed, Left::Nothing,
            "read file {d}/f1: it ended early, it was changed during the join");
        add("a source grown during its own copy", three, "t", {{5, resizedTo("f1", 60000)}},
            E::Failed, Left::Nothing,
            "read file {d}/f1: it grew while it was read, it was changed during the join");
        add("disk full", three, "t", {{-1, oldTarget}, {0, [](Run& r) { r.files.diskLeft = 5e4; }}},
            E::Failed, Left::Old, "write to the target file {t}", ENOSPC);
        add("a folder put at the target's name", three, "t", {{2, folderAt("t")}}, E::Failed,
            Left::Nothing, "give the joined file the name {t}", EISDIR);
        add("the target's folder gone", three, "gone/t", {}, E::Failed, Left::Nothing,
            "create the target file {t}", ENOENT);
        add("no memory in a progress call", three, "t", {{2, [](Run&) { throw std::bad_alloc(); }}},
            E::Failed, Left::Nothing, "get the memory to join into {t}", ENOMEM);
    }
    void join()
    {
        const auto sizes = fetch<Sizes>("sizes");
        const auto target = fetch<QString>("target");
        const int chunk = fetch<int>("chunk");
        const auto ending = fetch<JoinEnding>("ending");
        for (const bool kernel : {true, false}) {
            QTemporaryDir here, shm("/dev/shm/reelbind-test-XXXXXX");
            Run run;
            run.dir = target == "/dev/shm" ? shm.path() : here.path();
            run.target = here.filePath(target == "/dev/shm" ? "t" : target);
            run.files.sparseOutputs = sizes.last() >= qint64(1) << 30; // gibibytes fill no disk
            const QStringList sources = makeSources(run.dir, sizes, run.all);
            const QString fds = QDir("/proc/self/fd").entryList().join(' ');
            ByteCopy copy(run.files);
            copy.setOptions({kernel, 1, true});
            Rounds rounds;
            rounds.last = &run.last;
            rounds.after = [&](int round) {
                run.round = round;
                for (const Meddling& m : fetch<Meddlings>("meddling"))
                    if (m.round == round)
                        m.act(run);
            };
            rounds.after(-1);
            const JoinMethod::Result r = copy.run({sources, run.target, chunk}, rounds, run.cancel);
            QCOMPARE(r.ending, ending);
            QCOMPARE(r.message,
                     fetch<QString>("message").replace("{t}", run.target).replace("{d}", run.dir));
            const Left left = fetch<Left>("left");
            QCOMPARE(readJoined(run.target, sizes.last()), left == Left::Joined    ? run.all
                                                           : left == Left::Old     ? run.old
                                                           : left == Left::Partial ? run.partial
                                                                                   : "<no file>");
            // Nothing left open or behind; a cancel stops right after its round.
            QCOMPARE(QDir("/proc/self/fd").entryList().join(' '), fds);
            QCOMPARE(QDir(here.path()).entryList({".t.*"}, QDir::Files | QDir::Hidden).size(), 0);
            QVERIFY(run.cancelledAt < 0 || rounds.rounds == run.cancelledAt);
            if (ending != JoinEnding::Joined)
                continue;
            // A round for each chunk and each tail; the figures past 32 bits; each source as
            // read; the file written is the target; the kernel copied where it could.
            qint64 n = 0, perChunk = 0;
            for (const qint64 size : sizes)
                n += size, perChunk += (size + chunk - 1) / chunk;
            QCOMPARE(joined(rounds.total, rounds.rounds, rounds.started, run.last.batchDone,
                            run.last.fileShown, run.last.fileLength, r.read.size(), r.written.size,
                            run.files.identity(run.target).sameFile(r.written),
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
        const Table<Sizes, QList<int>, bool, Sizes, QString> row(
            {"sizes", "answers", "cancel", "triedAt", "message"}); // answers: 0 shares, or errno
        row("whole blocks", {8192, 4096, 5000}, {0, 0, 0}, false, {0, 8192, 12288}, "");
        row("an odd first source", {5000, 3192, 4096}, {0, 0}, false, {0}, "");
        row("refusals copy", Sizes(6, 4096), {22, 95, 18, 25, 9, 1}, false,
            {0, 4096, 8192, 12288, 16384, 20480}, "");
        row("another error fails", {4096, 4096}, {0, 28}, false, {0, 4096},
            "Could not write to the target file {t}: " + reason(ENOSPC) +
                ".\nThe target file {t} was not created.");
        row("cancelled", {4096, 4096}, {0, 0}, true, {0},
            "The target file {t} holds what was joined before the cancel.");
    }
    void sharing()
    {
        const auto sizes = fetch<Sizes>("sizes");
        const auto triedAt = fetch<Sizes>("triedAt");
        const auto message = fetch<QString>("message");
        const bool cancel = fetch<bool>("cancel");
        QTemporaryDir dir;
        TestFileSystem files;
        files.shareAnswers = fetch<QList<int>>("answers");
        QByteArray all;
        const QStringList sources = makeSources(dir.path(), sizes, all);
        CancelToken token;
        qint64 need = 0, end = 0; // as the join will do it, when it goes through
        for (const qint64 size : sizes)
            need += triedAt.contains(end) ? 0 : size, end += size;
        files.folderBlockSize = 4096;
        for (const qint64 free : {need, need + 1})
            QVERIFY(!message.isEmpty() ||
                    (files.setFreeSpace(free),
                     JoinChecks(files, token).enoughSpace(dir.path(), sources) == (free > need)));
        ByteCopy copy(files);
        JoinFigures last;
        Rounds rounds;
        rounds.last = &last;
        rounds.after = [&](int round) { round == 1 && cancel ? token.cancel() : void(); };
        const QString t = dir.filePath("t");
        QCOMPARE(copy.run({sources, t, 4096}, rounds, token).message,
                 QString(message).replace("{t}", t));
        QCOMPARE(files.sharedAt, triedAt);
        QCOMPARE(readAll(t), message.isEmpty() ? all
                             : cancel          ? all.left(sizes[0])
                                               : QByteArray("<missing>"));
    }
    // The checksum files beside the parts movie.mkv.001 and .002 joined into film.mkv: their
    // sums of the parts (0=, 1=) and of the whole (W=) as found, the first found counting.
    void checksumFiles_data()
    {
        const Table<QMap<QString, QString>, QString> row({"files", "found"});
        const QString a(32, 'a'), b(32, 'b'), h(40, 'c'), s(64, 'd');
        row("md5sum's, '*', the split file's", {{"x.md5", a + " *movie.mkv\n"}}, "W=" + a);
        row("sha1sum's, the target's", {{"x.SHA1", h + "  ./film.mkv"}}, "W=" + h);
        row("SFV, a comment, CR LF", {{"x.sfv", "; made\r\nmovie.mkv.002 0A1B2C3D\r\n"}},
            "1=0a1b2c3d");
        row("a sum alone", {{"movie.mkv.md5", a + "\n"}}, "W=" + a);
        row("the first found counts", {{"a.md5", a + "  film.mkv"}, {"b.md5", b + "  film.mkv"}},
            "W=" + a);
        row("another folder's file", {{"x.md5", a + "  sub/movie.mkv.001"}}, "");
        row("a line of no sum", {{"x.md5", a + "  film.mkv\nhello\n"}}, "");
        row("too large", {{"x.md5", a + "  film.mkv\n" + QString(1 << 20, '\n')}}, "");
    }
    void checksumFiles()
    {
        QTemporaryDir dir;
        const QStringList parts = {makeFile(dir.path(), "movie.mkv.001", 10),
                                   makeFile(dir.path(), "movie.mkv.002", 5)};
        for (const auto& [name, text] : fetch<QMap<QString, QString>>("files").asKeyValueRange())
            writeFile(dir.filePath(name), text.toUtf8());
        TestFileSystem files;
        const Checksums::ForJoin found = Checksums::find(files, parts, dir.filePath("x/film.mkv"));
        QStringList sums(found.whole ? "W=" + found.whole->digest.toHex() : QString());
        for (int i = 0; i < found.parts.size(); ++i)
            sums << (found.parts[i] ? QString("%1=").arg(i) + found.parts[i]->digest.toHex() : "");
        sums.removeAll("");
        QCOMPARE(sums.join(' '), fetch<QString>("found"));
    }
    // A join checked against a checksum file beside the parts (t.md5 ...: a line naming the
    // whole t or the part f1, matching or not), moved by the kernel, read and written, and
    // shared (the first two parts; the last copied).
    void sums_data()
    {
        const Table<QString, QString, bool, bool> row({"file", "line", "whole", "matches"});
        for (const QString line : {"t.md5:{s}  {n}", "t.md5:{s} *{n}", "t.sfv:{n} {s}",
                                   "t.sha1:{s}  {n}", "t.sha256:{s} *{n}"})
            for (const bool whole : {true, false})
                for (const bool matches : {true, false})
                    row(qPrintable(line + (whole ? ", the whole" : ", a part") +
                                   (matches ? ", matching" : ", not matching")),
                        line.section(':', 0, 0), line.section(':', 1), whole, matches);
    }
    void sums()
    {
        const auto file = fetch<QString>("file");
        const bool whole = fetch<bool>("whole"), matches = fetch<bool>("matches");
        QTemporaryDir dir;
        QByteArray all;
        const QStringList sources = makeSources(dir.path(), {8192, 5000, 4096}, all);
        const QByteArray sum = sumOf(*Checksums::kindOf(file),
                                     (whole ? all : pattern(5000, 2)) + (matches ? "" : "!"));
        writeFile(
            dir.filePath(file),
            fetch<QString>("line").replace("{s}", sum).replace("{n}", whole ? "t" : "f1").toUtf8());
        const int outcome = (matches ? 0 : 2) + (whole ? 0 : 1);
        const JoinEnding ending =
            QList<JoinEnding>{JoinEnding::Joined, JoinEnding::Joined, JoinEnding::Mismatched,
                              JoinEnding::Failed}[outcome];
        const QString t = dir.filePath("t");
        const QString said =
            QStringList{"The checksum in {f} matches.", "The parts' checksums in {f} match.",
                        "The joined file {t} does not match the checksum in {f}.\nThe joined file "
                        "was kept, but one of its parts may be damaged.",
                        "Could not join file {d}/f1: it does not match its checksum in {f}.\nThe "
                        "target file {t} was not created."}[outcome]
                .replace("{t}", t)
                .replace("{d}", dir.path())
                .replace("{f}", dir.filePath(file));
        for (const int mode : {0, 1, 2}) { // the kernel's copy, read and written, shared
            TestFileSystem files;
            files.shareAnswers = mode == 2 ? QList<int>{0, 0} : QList<int>{};
            ByteCopy copy(files);
            copy.setOptions({mode != 1, 0, true});
            Rounds rounds;
            const JoinMethod::Result r = copy.run({sources, t, 4096}, rounds, CancelToken());
            QCOMPARE(joined(int(r.ending), r.message, readAll(t), copy.sharedSources().value(1)),
                     joined(int(ending), said, ending == JoinEnding::Failed ? "<missing>" : all,
                            mode == 2));
            QFile::remove(t);
        }
    }
    // The rounds double while quick and halve when slow, within one chunk and the most.
    void roundsFollowTheirTime()
    {
        struct Case
        {
            qint64 chunks, tookUs, most, next;
        };
        for (const Case c : {Case{1, 1000, 100, 2},
                             {64, 2000, 100, 100},
                             {8, 5000, 100, 8},
                             {8, 11000, 100, 4},
                             {1, 500000, 100, 1},
                             {6, 1000, 4, 4}})
            QCOMPARE(ByteCopy::nextRoundChunks(c.chunks, c.tookUs * 1000, c.most), c.next);
    }
};

REELBIND_CORE_TEST_MAIN(TestByteJoin)
#include "test_byte_join.moc"
