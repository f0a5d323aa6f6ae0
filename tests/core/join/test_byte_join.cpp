// The byte join on the test's thread: what it writes and leaves, how it fails and stops, checksums.
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

/// One join of sources made in `dir` into `target`, and what meddles with it.
struct Run
{
    QString dir, target;
    TestFileSystem files;
    CancelToken cancel;
    Rounds rounds;
    QByteArray all, old, partial; // the sources joined, an old target, what a cancel keeps
    int cancelledAt = -1;         // the rounds reported when cancelled
    QString at(const QString& name) const { return name == "t" ? target : dir + '/' + name; }
};
/// What another program (or the user) does after a round (0: batch known, -1: before the join).
using Act = std::function<void(Run&)>;
using Meddlings = QList<QPair<int, Act>>;
using Sizes = QList<qint64>;
/// What the target holds afterwards: the sources, the old file, what a cancel kept, or no file.
enum class Left { Joined, Old, Partial, Nothing };

const Act oldTarget = [](Run& r) {
    r.old = readAll(makeFile(QFileInfo(r.target).path(), "t", 3e6, 9));
};
const auto deleted = [](const QString& name) -> Act {
    return [name](Run& r) { QVERIFY(QFile::remove(r.at(name))); };
};
const auto folderAt = [](const QString& name) -> Act {
    return [name](Run& r) { QVERIFY(QDir().mkdir(r.at(name))); };
};
const auto resizedTo = [](const QString& name, qint64 size) -> Act {
    return [name, size](Run& r) { QVERIFY(QFile::resize(r.at(name), size)); };
};
const auto cancel = [](bool keepNothing) -> Act {
    return [keepNothing](Run& r) {
        r.cancel.cancel(keepNothing);
        r.partial = r.all.left(r.rounds.last.batchDone);
        r.cancelledAt = r.rounds.rounds;
    };
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
        // What the message says a failure or a cancel left of the target; the ending follows.
        const QMap<Left, QString> left = {
            {Left::Old, "The target file {t} was left unchanged."},
            {Left::Nothing, "The target file {t} was not created."},
            {Left::Partial, "The target file {t} holds what was joined before the cancel."}};
        const Sizes three = {35000, 45000, 15000};
        const auto add = [&](const char* name, const Meddlings& m, Left l, QString failed = {},
                             int error = 0, const Sizes& sizes = {35000, 45000, 15000},
                             const QString& target = "t", int chunk = 10000) {
            const JoinEnding ending = !failed.isEmpty()   ? JoinEnding::Failed
                                      : l == Left::Joined ? JoinEnding::Joined
                                                          : JoinEnding::Cancelled;
            if (!failed.isEmpty())
                failed = "Could not " + failed + (error ? ": " + reason(error) : "") + ".\n";
            row(name, chunk, sizes, target, m, ending, failed + left.value(l), l);
        };
        using L = Left;
        add("joined over an old target", {{-1, oldTarget}}, L::Joined, {}, 0,
            {39999, 40000, 40001, 0, 1, 120000, 2621447}, "t", 40000);
        add("3 GiB: figures past 32 bits", {}, L::Joined, {}, 0, {1000, qint64(3) << 30}, "t",
            70000);
        add("target removed, then replaced meanwhile",
            {{-1, oldTarget}, {2, deleted("t")}, {4, oldTarget}}, L::Joined);
        add("a name of 255 bytes", {}, L::Joined, {}, 0, three, QString(85, QChar(0x3042)));
        add("files on another file system", {}, L::Joined, {}, 0, three, "/dev/shm");
        add("cancelled where no file stood", {{6, cancel(false)}}, L::Partial);
        add("cancelled onto a file that existed", {{-1, oldTarget}, {6, cancel(false)}}, L::Old);
        add("stopped, keeping nothing", {{6, cancel(true)}}, L::Nothing);
        add("cancelled before it began", {{0, cancel(false)}}, L::Nothing);
        add("2,000 small files, cancelled in between", {{100, cancel(false)}}, L::Partial, {}, 0,
            Sizes(2000, 1000));
        add("a folder queued", {{-1, oldTarget}, {-1, deleted("f1")}, {-1, folderAt("f1")}}, L::Old,
            "open file {d}/f1", EISDIR);
        add("a source gone before the join", {{-1, deleted("f1")}}, L::Nothing,
            "read the size of file {d}/f1", ENOENT);
        add("a source gone during the join", {{1, deleted("f2")}}, L::Nothing, "open file {d}/f2",
            ENOENT);
        add("a source cut short during the join", {{5, resizedTo("f1", 20010)}}, L::Nothing,
            "read file {d}/f1: it ended early, it was changed during the join");
        add("a source grown during its own copy", {{5, resizedTo("f1", 60000)}}, L::Nothing,
            "read file {d}/f1: it grew while it was read, it was changed during the join");
        add("disk full", {{-1, oldTarget}, {0, [](Run& r) { r.files.diskLeft = 5e4; }}}, L::Old,
            "write to the target file {t}", ENOSPC);
        add("a folder put at the target's name", {{2, folderAt("t")}}, L::Nothing,
            "give the joined file the name {t}", EISDIR);
        add("the target's folder gone", {}, L::Nothing, "create the target file {t}", ENOENT, three,
            "gone/t");
        add("no memory in a progress call", {{2, [](Run&) { throw std::bad_alloc(); }}}, L::Nothing,
            "get the memory to join into {t}", ENOMEM);
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
            Rounds& rounds = run.rounds;
            rounds.after = [&](int round) {
                for (const auto& [at, act] : fetch<Meddlings>("meddling"))
                    if (at == round)
                        act(run);
            };
            rounds.after(-1);
            const JoinMethod::Result r = copy.run({sources, run.target, chunk}, rounds, run.cancel);
            QCOMPARE(r.ending, ending);
            QCOMPARE(r.message,
                     fetch<QString>("message").replace("{t}", run.target).replace("{d}", run.dir));
            QCOMPARE(readJoined(run.target, sizes.last()),
                     QList<QByteArray>({run.all, run.old, run.partial, "<no file>"})
                         .at(int(fetch<Left>("left"))));
            // Nothing left open or behind; a cancel stops right after its round.
            QCOMPARE(QDir("/proc/self/fd").entryList().join(' '), fds);
            QCOMPARE(QDir(here.path()).entryList({".t.*"}, QDir::Files | QDir::Hidden).size(), 0);
            QVERIFY(run.cancelledAt < 0 || rounds.rounds == run.cancelledAt);
            if (ending != JoinEnding::Joined)
                continue;
            // A round a chunk or tail; figures past 32 bits; sources read, target written, kernel.
            qint64 n = 0, perChunk = 0;
            for (const qint64 size : sizes)
                n += size, perChunk += (size + chunk - 1) / chunk;
            QCOMPARE(joined(rounds.total, rounds.rounds, rounds.started, rounds.last.batchDone,
                            rounds.last.fileShown, rounds.last.fileLength, r.read.size(),
                            r.written.size, run.files.identity(run.target).sameFile(r.written),
                            copy.kernelCopied()),
                     joined(n, perChunk, sizes.size(), n, sizes.last(), sizes.last(), sizes.size(),
                            n, true, kernel && target != "/dev/shm"));
        }
    }
    // Sharing at block boundaries until one is missed; refusals copy; shared space counts as 0.
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
        Rounds rounds;
        rounds.after = [&](int round) { round == 1 && cancel ? token.cancel() : void(); };
        const QString t = dir.filePath("t");
        QCOMPARE(copy.run({sources, t, 4096}, rounds, token).message,
                 QString(message).replace("{t}", t));
        QCOMPARE(files.sharedAt, triedAt);
        QCOMPARE(readAll(t), message.isEmpty() ? all
                             : cancel          ? all.left(sizes[0])
                                               : QByteArray("<missing>"));
    }
    // Checksum files beside movie.mkv.001, .002 joined as film.mkv: parts' sums 0=, 1=, whole W=.
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
    // A join checked against a sum of the whole t or the part f1: copied, read/written or shared.
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
        const auto next = [](qint64 chunks, qint64 tookUs, qint64 most) {
            return ByteCopy::nextRoundChunks(chunks, tookUs * 1000, most);
        };
        QCOMPARE(next(1, 1000, 100), 2);
        QCOMPARE(next(64, 2000, 100), 100);
        QCOMPARE(next(8, 5000, 100), 8);
        QCOMPARE(next(8, 11000, 100), 4);
        QCOMPARE(next(1, 500000, 100), 1);
        QCOMPARE(next(6, 1000, 4), 4);
    }
};

REELBIND_CORE_TEST_MAIN(TestByteJoin)
#include "test_byte_join.moc"
