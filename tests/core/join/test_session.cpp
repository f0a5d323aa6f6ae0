// A join through the session as the windows drive it: checks, queue, Exit, kill, after, sharing.
#include "core/join/ByteCopy.h"
#include "core/join/CancelToken.h"
#include "core/join/JoinProgress.h"
#include "support/CoreSupport.h"

#include <QStorageInfo>
#include <csignal>
#include <numeric>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace TestSupport;
using Ending = JoinSession::Ending;
using Sizes = QList<qint64>;

namespace {

/// A program with sources f0, f1... queued, chunks of 10,000 bytes, one a round.
struct Queued : Core
{
    QTemporaryDir dir;
    QByteArray all;
    JoinDriver driver{join()};
    explicit Queued(const Sizes& sizes = {35000, 45000, 15000}, const QString& in = {})
    {
        prefs().setChunkSize(10000);
        join().byteCopy().setOptions({true, 1, true});
        queue().add(makeSources(in.isEmpty() ? dir.path() : in, sizes, all));
    }
    QString at(const QString& name) const { return dir.filePath(name); }
    /// Joins into `target`; `during` runs while the join waits before its copy opens f1.
    bool run(const QString& target, const std::function<void()>& during = nullptr)
    {
        std::optional<JoinGate> gate;
        if (during)
            gate.emplace(*this, "f1");
        driver.target = target;
        if (!join().start() || (gate && !gate->reached()))
            return false;
        if (gate)
            during(), gate->open();
        return joinEnded();
    }
    QString commands() const
    {
        const JoinQueue::Commands c = program->queue().commands();
        return QString::asprintf("%d%d%d%d%d", c.add, c.remove, c.clear, c.join, c.exit);
    }
};

} // namespace

class TestSession : public QObject
{
    Q_OBJECT
private slots:
    // What is checked between the save dialog and the join, and which folder is remembered.
    void checks_data()
    {
        const Table<QString, bool, qint64, bool, Ending, QString, QString, bool> row(
            {"target", "big", "free", "remember", "ending", "notice", "phases", "remembered"});
        // big: sources past 32 bits in all; free: over what they need (-1: unknown).
        const QString again = " Please choose another target file.";
        row("save dialog cancelled", "", false, 1, true, Ending::NoTarget, "", "136", false);
        row("a source as target", "f1", false, 1, true, Ending::NoTarget,
            "The target file is one of the files to be joined." + again, "1346", false);
        row("a pipe as target", "pipe", false, 1, true, Ending::NoTarget,
            "The target {t} is not a regular file." + again, "1346", false);
        row("free space = need", "t", true, 0, true, Ending::NoSpace,
            "The drive you have selected does not have enough free space to save the joined movie "
            "to.",
            "1346", false);
        row("free space = need + 1", "t", true, 1, true, Ending::Joined, "", "13456", true);
        row("free space unknown", "t", false, -1, true, Ending::Joined, "", "13456", true);
        row("RememberTarget unticked", "t", false, 1, false, Ending::Joined, "", "13456", false);
    }
    void checks()
    {
        const auto target = fetch<QString>("target");
        const auto free = fetch<qint64>("free");
        const bool big = fetch<bool>("big");
        const Sizes sizes = big ? Sizes(20, 4000) << (qint64(3) << 30) : Sizes{35000, 45000};
        Queued q(sizes);
        q.files.sparseOutputs = big;
        const qint64 need = std::accumulate(sizes.begin(), sizes.end(), qint64(0));
        q.files.setFreeSpace(free < 0 ? FileResult<qint64>(FileError::fromCode(EIO)) : need + free);
        q.prefs().setCheckState(SettingId::SaveTargetDir, fetch<bool>("remember"));
        const QString before = q.prefs().folderText(SettingId::TargetDir);
        const QString t = target.isEmpty() ? target : q.at(target);
        QVERIFY(target != "pipe" || ::mkfifo(QFile::encodeName(t), 0600) == 0);
        QVERIFY(q.run(t));
        const bool asked = target == "t";
        QCOMPARE(joined(int(q.join().ending()), q.join().notice(), q.driver.phaseDigits(),
                        q.prefs().folderText(SettingId::TargetDir) != before, q.driver.dialogFolder,
                        q.files.freeSpaceQueries, q.join().target(), QFileInfo(q.at("t")).isFile()),
                 joined(int(fetch<Ending>("ending")), fetch<QString>("notice").replace("{t}", t),
                        fetch<QString>("phases"), fetch<bool>("remembered"), before,
                        asked ? q.dir.path() : "", asked ? t : "",
                        fetch<Ending>("ending") == Ending::Joined));
    }
    // A join keeps its queue as it stood; meanwhile Join does nothing; old leftovers are cleared.
    void queueAndLeftoversDuringAJoin()
    {
        Queued q;
        makeFile(q.dir.path(), ".t.reelbind-abcdef", 3000000);
        QFile held(makeFile(q.dir.path(), ".t.reelbind-ghijkl", 10));
        QVERIFY(held.open(QIODevice::ReadOnly) && ::flock(held.handle(), LOCK_EX) == 0);
        QStringList atTheCheck;
        q.files.beforeFreeSpace = [&](const QString&) {
            atTheCheck = QDir(q.dir.path()).entryList({".t.*"}, QDir::Files | QDir::Hidden);
        };
        QString during;
        QVERIFY(q.run(q.at("t"), [&] {
            during = q.commands() + QString::number(q.join().start());
            q.queue().clear();
            q.queue().add({makeFile(q.dir.path(), "x", 10)});
        }));
        QCOMPARE(atTheCheck, QStringList{".t.reelbind-ghijkl"});
        QCOMPARE(during, "000000");
        QCOMPARE(readAll(q.at("t")), q.all);
        QCOMPARE(q.join().after().record().rows.size(), 3);
        QCOMPARE(q.commands(), "11111");
    }
    // Exit cancels a running join, then writes the settings and closes; a signal keeps nothing.
    void exitDuringAJoin()
    {
        for (const bool save : {true, false}) {
            Queued q;
            q.prefs().setCheckState(SettingId::ClearQue, 1); // a change only Exit writes
            const QByteArray ini = q.iniBytes();
            QStringList order;
            connect(&q.join(), &JoinSession::phaseChanged, this, [&](JoinSession::Phase p) {
                p == JoinSession::Phase::Ended ? order << "end" : order;
            });
            connect(q.program.get(), &Program::closing, this, [&] { order << "closing"; });
            QVERIFY(q.run(q.at("t"), [&] {
                q.program->exit(save ? Program::ExitKind::Save : Program::ExitKind::Stopped);
                q.program->exit(Program::ExitKind::Save); // a second exit adds nothing
                QVERIFY(!q.program->isClosing() && q.iniBytes() == ini);
            }));
            QVERIFY(waitUntil([&] { return q.program->isClosing(); }));
            QCOMPARE(joined(order.join(' '), int(q.join().ending()), q.iniBytes() != ini,
                            readAll(q.at("t")) == (save ? q.all.left(35000) : "<missing>")),
                     joined("end closing", int(Ending::Cancelled), save, true));
        }
    }
    // After a join: the target made durable, each unchanged source trashed once or deleted.
    void afterTheJoin_data()
    {
        const Table<QString, QStringList, QStringList, QStringList, QString> row(
            {"meddling", "left", "trashed", "queued", "message"}); // {d}: the folder
        const QStringList all = {"f0", "f1", "f2", "t"}, three = {"f0", "f0", "f1", "f2"};
        const QString unsafe = "The joined file {d}/t could not be made safe on disk: %1. No "
                               "source file was deleted.";
        row("to the trash", "", {"t"}, {"f0", "f1", "f2"}, {}, "");
        row("no trash", "no trash", {"t"}, {}, {},
            "No trash takes these files:\n{d}/f0\n{d}/f1\n{d}/f2\n\nDelete them for good? They "
            "cannot be brought back.");
        row("the target not durable", "not durable", all, {}, three, unsafe.arg("disk on fire"));
        row("the target replaced after", "replaced", all, {}, three,
            unsafe.arg("it is no longer the file the join wrote"));
        row("f1 gone, f2 changed, x queued", "changed", {"f2", "t", "x"}, {"f0"}, {"f1", "f2", "x"},
            "These files could not be deleted:\n{d}/f1: " + reason(ENOENT) +
                "\n{d}/f2: it was changed after it was joined, so it was kept");
    }
    void afterTheJoin()
    {
        const auto meddling = fetch<QString>("meddling");
        Queued q({10000, 1048576, 524288});
        q.queue().add({q.at("f0")});
        QVERIFY(q.run(q.at("t")) && q.join().ending() == Ending::Joined);
        const QString trash = emptyTrash() + "files/";
        q.files.noTrash = meddling == "no trash";
        q.files.durableFailure = meddling == "not durable" ? "disk on fire" : "";
        if (meddling == "replaced")
            makeFile(q.dir.path(), "t", 10, 9);
        if (meddling == "changed") {
            QVERIFY(QFile::remove(q.at("f1")) && QFile::resize(q.at("f2"), 20));
            q.queue().add({makeFile(q.dir.path(), "x", 2097152)});
        }
        AfterJoin& after = q.join().after();
        const AfterJoin::Deletion d = after.deleteSources();
        QString told = d.message; // and for good where no trash takes them
        if (!d.noTrash.isEmpty())
            told += after.deleteForGoodQuestion(d.noTrash) + after.deleteForGood(d.noTrash);
        QStringList names;
        for (const QueueRow& row : q.queue().rows())
            names << row.name;
        const auto trashed = fetch<QStringList>("trashed");
        QCOMPARE(joined(told, QDir(q.dir.path()).entryList(QDir::Files),
                        QDir(trash).entryList(QDir::Files), names, q.commands(),
                        readAll(trash + "f0") == pattern(10000, 1)),
                 joined(fetch<QString>("message").replace("{d}", q.dir.path()),
                        fetch<QStringList>("left"), trashed, fetch<QStringList>("queued"),
                        names.isEmpty() ? "10001" : "11111", trashed.contains("f0")));
        q.prefs().setCheckState(SettingId::ClearQue, 1);
        after.finish(); // Finished, with ClearQue ticked
        QCOMPARE(q.queue().count(), 0);
    }
    // A checksum of the target not matched: not done, the joined file kept, no source deleted.
    void checksumOfTheWholeNotMatching()
    {
        Queued q;
        writeFile(q.at("t.md5"), QByteArray(32, '0') + " *t\n");
        QVERIFY(q.run(q.at("t")));
        const bool mayDelete = q.join().after().mayDelete();
        QCOMPARE(joined(int(q.join().ending()), q.join().caption(), q.join().finalText(), mayDelete,
                        q.join().after().deleteSources().message, readAll(q.at("t")) == q.all),
                 joined(int(Ending::Mismatched), "Joining Files...Failed!",
                        "The joined file {d}/t does not match the checksum in {d}/t.md5.\nThe "
                        "joined file was kept, but one of its parts may be damaged.",
                        false, "The join into {d}/t did not succeed. No source file was deleted.",
                        true)
                     .replace("{d}", q.dir.path()));
    }
    // A killed join leaves nothing on ext4; on FUSE its temporary file stays until the next join,
    // which keeps a file locked or not its own; then a source through the view as the target.
    void killedJoinLeavesNothing()
    {
        for (const bool fuse : {false, true}) {
            Queued q({30000, 25000});
            BindView view(fuse ? q.dir.path() : "/nowhere");
            if (fuse && !view.mounted)
                QSKIP("bindfs (FUSE) cannot mount here: not run");
            const QString dir = fuse ? view.path() : q.dir.path(), t = dir + "/t";
            const auto names = [&] { // the random part of a temporary name as "?"
                const QString all = QDir(dir).entryList(QDir::Files | QDir::Hidden).join(' ');
                return QString(all).replace(QRegularExpression("reelbind-\\w{6}"), "reelbind-?");
            };
            const QByteArray old = readAll(makeFile(dir, "t", 5000, 9));
            const pid_t child = ::fork();
            if (child == 0) { // killed by a progress call in its second round
                struct Kill : JoinProgress
                {
                    int n = 0;
                    void batchStarted(qint64) override {}
                    void fileStarted(int, const JoinFigures&) override {}
                    void copied(const JoinFigures&) override { ++n == 2 ? ::raise(SIGKILL) : 0; }
                } kill;
                ByteCopy copy(q.files);
                copy.setOptions({true, 1, true});
                copy.run({{dir + "/f0", dir + "/f1"}, t, 10000}, kill, CancelToken());
                ::_exit(3);
            }
            int status = 0;
            QVERIFY(::waitpid(child, &status, 0) == child && WIFSIGNALED(status));
            QCOMPARE(names(), fuse ? ".t.reelbind-? f0 f1 t" : "f0 f1 t");
            QCOMPARE(readAll(t), old);
            QFile locked(makeFile(dir, ".x.reelbind-abcdef", 10));
            QVERIFY(locked.open(QIODevice::ReadOnly) && ::flock(locked.handle(), LOCK_EX) == 0);
            makeFile(dir, ".x.abcdef", 10);
            QVERIFY(q.run(t) && q.join().ending() == Ending::Joined && readAll(t) == q.all);
            QCOMPARE(names(), ".x.abcdef .x.reelbind-? f0 f1 t");
            if (fuse) { // replaced whole, and kept by deleting the sources
                QVERIFY(q.run(view.filePath("f1")) && q.join().ending() == Ending::Joined);
                QCOMPARE(q.join().after().deleteSources().message,
                         "This file could not be deleted:\n" + q.at("f1") +
                             ": it was changed after it was joined, so it was kept");
                QCOMPARE(readAll(q.at("f1")), q.all);
            }
        }
    }
    // Joins sharing blocks on btrfs and XFS images (as root, run by the cow test).
    void sharedBlocksOnBtrfsAndXfs_data()
    {
        const Table<QString, Sizes, QString, QList<bool>> row({"fs", "sizes", "act", "shared"});
        constexpr qint64 M = 1 << 20;
        for (const QString fs : {"btrfs", "xfs"}) {
            const auto add = [&](const char* tag, const Sizes& sizes, const QString& act,
                                 const QList<bool>& shared) {
                row(qPrintable(fs + ": " + tag), fs, sizes, act, shared);
            };
            add("whole blocks", {4 * M, 8 * M, 2 * M}, "", {true, true, true});
            add("an odd first part", {4 * M + 100, 8 * M}, "", {true, false});
            add("an odd last part", {4 * M, M + 123}, "", {true, true});
            add("only sharing fits", {96 * M, 96 * M}, "full", {true, true});
            add("cancelled", {4 * M, 4 * M}, "cancel", {true});
            if (fs == "btrfs")
                add("only sharing fits, from a subvolume", {96 * M, 96 * M}, "full subvolume",
                    {true, true});
        }
    }
    void sharedBlocksOnBtrfsAndXfs()
    {
        const auto fs = fetch<QString>("fs");
        const auto act = fetch<QString>("act");
        const auto shared = fetch<QList<bool>>("shared");
        if (qEnvironmentVariableIsEmpty("REELBIND_COW"))
            QSKIP("run by the cow test");
        QTemporaryDir dir;
        constexpr qint64 M = 1 << 20;
        const QString image = sized(dir.path(), "fs.img", 512 * M), mnt = dir.filePath("mnt");
        if (image.isEmpty() || !QDir().mkdir(mnt) ||
            QProcess::execute("mkfs." + fs, {"-q", "-f", image}) != 0 ||
            QProcess::execute("mount", {"-o", "loop", image, mnt}) != 0)
            QSKIP(qPrintable("cannot make and mount a " + fs + " image here: not run"));
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {mnt}); });
        const auto freeBytes = [&] { return ::sync(), QStorageInfo(mnt).bytesAvailable(); };
        const auto allShared = [](const QString& file) { // every extent, as filefrag lists them
            QProcess p;
            p.start("filefrag", {"-v", file});
            const QStringList lines = QString(p.waitForFinished() ? p.readAll() : "")
                                          .split('\n')
                                          .filter(QRegularExpression("^\\s*\\d+:"));
            return !lines.isEmpty() && lines.filter("shared").size() == lines.size();
        };
        const QString from = mnt + "/from", t = mnt + "/t";
        QVERIFY(act.contains("subvolume")
                    ? QProcess::execute("btrfs", {"-q", "subvolume", "create", from}) == 0
                    : QDir().mkdir(from));
        Queued q(fetch<Sizes>("sizes"), from);
        QFile filler(mnt + "/filler"); // leaves 48 MiB: too little for a copy
        QVERIFY(!act.contains("full") ||
                (filler.open(QIODevice::WriteOnly) &&
                 ::posix_fallocate(filler.handle(), 0, freeBytes() - 48 * M) == 0));
        q.files.setFreeSpace(freeBytes());
        const qint64 before = freeBytes();
        QVERIFY(q.run(t, [&] { act == "cancel" ? q.join().cancel() : void(); }));
        const bool whole = !shared.contains(false), cancel = act == "cancel";
        QCOMPARE(q.join().byteCopy().sharedSources(), shared);
        QCOMPARE(q.join().ending(), cancel ? Ending::Cancelled : Ending::Joined);
        QCOMPARE(readAll(t), cancel ? q.all.left(4 * M) : q.all);
        QVERIFY(!whole || (allShared(t) && before - freeBytes() < M));
    }
};

REELBIND_CORE_TEST_MAIN(TestSession)
#include "test_session.moc"
