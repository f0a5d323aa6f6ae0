// One join without windows, driven as the status window drives it: the
// target checks, the free space, the copy, how it ends, and what follows.
#include "core/CopyLoop.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QtTest>
#include <cerrno>
#include <sys/stat.h>

using namespace TestSupport;
using Ending = JoinSession::Ending;

// A started program with movies in a folder of their own, chunk 10,000.
struct J : Core, JoinProgress
{
    QTemporaryDir movies;
    JoinSession& s = join();
    std::function<void(int)> onPump = [](int) {}; // in pump n; pump 0 is just before the copy
    int pumps = 0;
    QString during; // the five commands just before the join ends

    J()
    {
        prefs().setChunkSize(10000);
        s.setCopyOptions({true, 1}); // one chunk a round: pump n is after the n-th round
    }
    void batchStarted(qint64) override {}
    void fileStarted(int, const JoinFigures&) override {}
    void copied(const JoinFigures&) override {}
    void pumpEvents() override { onPump(++pumps); }
    /// Writes pattern(size, seed) (from 1 GiB on only its size) and queues it.
    void queueFile(const QString& name, qint64 size, int seed)
    {
        size < qint64(1) << 30 ? makeFile(movies.path(), name, size, seed)
                               : sized(movies.path(), name, size);
        queue().add({movies.filePath(name)});
    }
    QString commands() // Add, Remove, Clear, Join, Exit as 0/1
    {
        const JoinQueue::Commands c = queue().commands();
        return QString("%1%2%3%4%5").arg(c.add).arg(c.remove).arg(c.clear).arg(c.join).arg(c.exit);
    }
    /// Join, the save dialog's answer, the copy unless the join is over, its end; the message.
    QString run(const QString& target)
    {
        const QString message = s.begin() ? s.chooseTarget(target) : "<not begun>";
        if (s.ending() == Ending::None) {
            onPump(0);
            s.copy(*this);
        }
        during = commands();
        s.end();
        return message;
    }
};

class TestJoinSession : public QObject
{
    Q_OBJECT
private slots:
    // Files f0, f1... with pattern seeds 1, 2... joined into t.mpg beside them unless told.
    void howAJoinEnds_data()
    {
        QTest::addColumn<QList<qint64>>("sizes");
        QTest::addColumn<qint64>("free"); // bytes; -1: the query fails, the join goes on
        QTest::addColumn<QString>("act"); // "pump what"
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("shown"); // message|caption|finalText, {t} the target
        QTest::addColumn<QByteArray>("left");
        const auto row = [](const char* name, qint64 free, const char* act, const QString& shown,
                            const QByteArray& left, const QString& target = "t.mpg",
                            QList<qint64> sizes = {35000, 45000}) {
            QTest::newRow(name) << sizes << free << QString(act) << target << shown << left;
        };
        const QByteArray none("<missing>");
        QString noSpace = "The drive you have selected does not have enough free space to save "
                          "the joined movie to.";
        noSpace += "|Joining Files...|" + noSpace;
        const QString cancelled = "|Joining Files...Cancelled!|Operation aborted by user";
        const QList<qint64> three(3, 1000000);
        row("dialog cancelled", 0, "", "|Joining Files...|", none, "");
        row("target is a source", 0, "",
            "The target file is one of the files to be joined. Please choose another target "
            "file.|Joining Files...|",
            pattern(45000, 2), "f1.mpg");
        row("target is a pipe", 0, "",
            "The target {t} is not a regular file. Please choose another target file."
            "|Joining Files...|",
            "<pipe>", "pipe");
        // The need is the files' exact lengths: as much free is too little.
        row("free = need, 3 GiB more", 3000000 + 3221225472, "", noSpace, none, "t.mpg",
            three + QList<qint64>{qint64(3) << 30});
        row("free = need + 1, queue changed", 3000001, "0 change",
            "|Joining Files...Done!|File {t} has successfully been joined!",
            pattern(1000000, 1) + pattern(1000000, 2) + pattern(1000000, 3), "t.mpg", three);
        // Twenty files of 4,000 bytes each show as 0.00 MB, yet need 80,000 bytes.
        row("small files, free = need", 80000, "", noSpace, none, "t.mpg", QList<qint64>(20, 4000));
        row("Exit in a pump", -1, "2 exit", cancelled, pattern(20000, 1));
        // The target folder is remembered only with RememberTarget ticked, the root as "/".
        row("failed, remember unticked", -1, "0 rm unticked",
            "|Joining Files...Failed!|Could not read the size of file {d}/f1.mpg: " +
                reason(ENOENT) + ".\nThe target file {t} was not created.",
            none);
        row("cancelled before the copy, remember the root", -1, "0 cancel", cancelled, none,
            "/reelbind-never-written.mpg");
    }
    void howAJoinEnds()
    {
        QFETCH(QList<qint64>, sizes);
        QFETCH(qint64, free);
        QFETCH(QString, act);
        QFETCH(QString, target);
        QFETCH(QString, shown);
        J j;
        const auto tidy = qScopeGuard([] { QFile::remove("/reelbind-never-written.mpg"); });
        for (int i = 0; i < sizes.size(); ++i)
            j.queueFile(QStringLiteral("f%1.mpg").arg(i), sizes[i], i + 1);
        j.files.setFreeSpace(free < 0 ? std::nullopt : std::optional(free));
        if (!target.isEmpty()) // empty: the dialog cancelled
            target = QDir(j.movies.path()).filePath(target);
        QVERIFY(!target.endsWith("/pipe") || ::mkfifo(QFile::encodeName(target), 0600) == 0);
        const QString out = QFileInfo(target).path(), before = j.s.targetFolder();
        const QByteArray ini = j.iniBytes();
        j.prefs().setCheckState(Preferences::RememberTarget, act.endsWith("unticked") ? 0 : 1);
        j.onPump = [&](int n) {
            if (act.section(' ', 0, 0) != QString::number(n))
                return;
            QVERIFY(!act.contains("rm") || QFile::remove(j.movies.filePath("f1.mpg")));
            if (act.contains("cancel"))
                j.s.cancel();
            if (act.contains("exit"))
                j.program->exit(Program::ExitKind::Save);
            if (act.contains("change")) {
                QVERIFY(!j.s.begin()); // Join again while one runs: nothing
                j.queue().clear();
            }
            QVERIFY(!j.program->isClosing() && j.iniBytes() == ini);
        };
        const QString message = j.run(target);
        QCOMPARE(message + '|' + j.s.caption() + '|' + j.s.finalText(),
                 shown.replace("{t}", target).replace("{d}", j.movies.path()));
        QTEST(target.isEmpty()           ? QByteArray("<missing>")
              : target.endsWith("/pipe") ? QByteArray("<pipe>")
                                         : readAll(target),
              "left");
        const Ending e = j.s.ending();
        QCOMPARE(j.files.freeSpaceQueries, QStringList(out).mid(0, e != Ending::NoTarget));
        const bool kept = e == Ending::NoTarget || e == Ending::NoSpace || act.endsWith("unticked");
        QCOMPARE(j.s.targetFolder() + '|' + j.settings().TargetDir.value_or("<none>"),
                 QString("%1|%1").arg(kept ? before : out));
        QCOMPARE(j.during + j.commands(), "0000011111"); // off from Join to its end
        QCOMPARE(j.program->isClosing() && j.iniBytes() != ini, act.contains("exit"));
    }

    // a (queued twice), b and c joined into t; then `fault`. Delete Source Files, then Finished.
    void deleteSources_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("after"); // files left | queue | estimate | commands | message
        const QString kept = "These files could not be deleted:\n{d}/b: " + reason(ENOENT) +
                             "\n{d}/c: it was changed after it was joined, so it was kept";
        QTest::newRow("to the trash, changed and gone kept")
            << "b gone, c changed, x queued"
            << "c t x | b c x | 3.50 MB | 11111 | " + kept;
        QTest::newRow("target not durable")
            << "not durable"
            << "a b c t | a a b c | 3.50 MB | 11111 | The joined file {t} could "
               "not be made safe on disk: disk on fire. No source file was deleted.";
        QTest::newRow("target replaced after the join")
            << "t replaced"
            << "a b c t | a a b c | 3.50 MB | 11111 | The joined file {t} could "
               "not be made safe on disk: it is no longer the file the join "
               "wrote. No source file was deleted.";
        QTest::newRow("no trash, deleted for good") << "no trash"
                                                    << "t |  | 0.00 MB | 10001 | ";
    }
    void deleteSources()
    {
        QFETCH(QString, fault);
        QFETCH(QString, after);
        J j;
        QTemporaryDir home; // the user's data folder, with its trash
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        for (const char* name : {"a", "a", "b", "c"})
            j.queueFile(name, *name == 'b' ? 524288 : 1048576, 1);
        const QString t = j.movies.filePath("t");
        QCOMPARE(j.run(t), QString());
        QVERIFY(!fault.contains("b gone") || QFile::remove(j.movies.filePath("b")));
        QVERIFY(!fault.contains("c changed") || QFile::resize(j.movies.filePath("c"), 1000));
        if (fault.contains("x queued"))
            j.queueFile("x", 2097152, 7);
        if (fault == "t replaced")
            QVERIFY(QFile::remove(t) && !makeFile(j.movies.path(), "t", 10).isEmpty());
        j.files.durableFailure = fault == "not durable" ? "disk on fire" : "";
        j.files.noTrash = fault == "no trash";
        const JoinSession::Deletion done = j.s.deleteSources();
        QCOMPARE(done.noTrash, fault == "no trash"
                                   ? QStringList({j.movies.filePath("a"), j.movies.filePath("b"),
                                                  j.movies.filePath("c")})
                                   : QStringList());
        QString message = done.message;
        if (!done.noTrash.isEmpty())
            message += j.s.deleteForGood(done.noTrash);
        QStringList seen{QDir(j.movies.path()).entryList(QDir::Files).join(' ')};
        QStringList names;
        for (const QueueRow& r : j.queue().rows())
            names << r.name;
        seen << names.join(' ') << j.queue().estimate().section("  ", 1) << j.commands() << message;
        QCOMPARE(seen.join(" | "), after.replace("{d}", j.movies.path()).replace("{t}", t));
        // What was deleted lies in the trash, whole; nothing else went there.
        const QString trash = home.filePath("Trash/files/");
        const bool trashed = fault.contains("gone");
        QCOMPARE(readAll(trash + "a"), trashed ? pattern(1048576, 1) : QByteArray("<missing>"));
        QCOMPARE(QDir(trash).entryList(QDir::Files).size(), trashed);
        j.prefs().setCheckState(Preferences::ClearQue, 1);
        j.s.finish();
        QCOMPARE(j.queue().count(), 0); // Finished with the clear-queue switch ticked
    }

    // The look at the files' kinds before the save dialog: each file read once, from its first
    // bytes; a file that is gone, empty or a pipe is no reason to ask and never waits.
    void kindsOfTheQueuedFiles()
    {
        J j;
        const auto write = [&](const QString& name, const QByteArray& bytes) {
            QFile f(j.movies.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
            f.close();
            j.queue().add({f.fileName()});
        };
        write("a.mp4", QByteArray(4, '\0') + "ftypisom" + QByteArray(5000, 'x'));
        write("b.mpg", QByteArray::fromHex("000001BA") + QByteArray(100, '\1'));
        write("empty.mpg", "");
        write("gone.mpg", "x");
        write("pipe.mpg", "x");
        j.queue().add({j.movies.filePath("a.mp4")});
        QVERIFY(QFile::remove(j.movies.filePath("gone.mpg")) &&
                QFile::remove(j.movies.filePath("pipe.mpg")));
        QCOMPARE(mkfifo(QFile::encodeName(j.movies.filePath("pipe.mpg")).constData(), 0600), 0);

        QVERIFY(j.s.begin());
        const QString question = j.s.kindQuestion();
        QCOMPARE(
            question.split('\n').mid(0, 5),
            QStringList({question.section('\n', 0, 0), j.movies.filePath("a.mp4") + " (MP4/MOV)",
                         j.movies.filePath("a.mp4") + " (MP4/MOV)",
                         j.movies.filePath("b.mpg") + " (MPEG program stream)", ""}));
        QStringList names;
        for (const QString& path : std::as_const(j.files.opened))
            names << QFileInfo(path).fileName();
        QCOMPARE(names.join(' '), "a.mp4 b.mpg empty.mpg gone.mpg pipe.mpg");
        j.s.end();

        // A long queue on a slow disk: events come in while the files are looked at, and a
        // cancel (the program ends) stops the looking: nothing is asked, no target is made.
        for (int i = 0; i < 64; ++i)
            write(QString("more%1.mpg").arg(i), "x");
        j.files.lookDelayMs = 1;
        for (const bool inTheSaveDialogsAnswer : {false, true}) {
            j.files.opened.clear();
            QVERIFY(j.s.begin());
            QTimer::singleShot(0, [&] { j.s.cancel(); }); // comes in with the first events
            if (inTheSaveDialogsAnswer) {
                QCOMPARE(j.s.chooseTarget(j.movies.filePath("t.mpg")), QString());
                QCOMPARE(j.s.ending(), Ending::NoTarget);
            } else {
                QCOMPARE(j.s.kindQuestion(), QString());
                QCOMPARE(j.files.opened.size(), 63); // 64 rows, a.mp4 read once
            }
            QVERIFY(j.s.cancelled());
            j.s.end();
        }
        QVERIFY(!QFile::exists(j.movies.filePath("t.mpg")));
    }

    // A source reached through a second path (a FUSE view of its folder) chosen as target:
    // no check can see that it is the same file, but nothing of it is lost.
    void sourceThroughASecondPath()
    {
        J j;
        QTemporaryDir view, home;
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        QProcess bindfs;
        bindfs.start("bindfs", {j.movies.path(), view.path()});
        if (!bindfs.waitForFinished(10000) || bindfs.exitCode() != 0)
            QSKIP("bindfs (FUSE) cannot mount here: the second-path case was not run");
        const auto unmount = qScopeGuard([&] {
            QProcess::execute("fusermount", {"-u", "-z", view.path()}) == 0 ||
                QProcess::execute("umount", {"-l", view.path()});
        });
        j.queueFile("a", 30000, 1);
        j.queueFile("b", 25000, 2);
        QCOMPARE(j.run(view.filePath("b")), QString());
        QCOMPARE(j.s.ending(), Ending::Joined);
        QCOMPARE(readAll(j.movies.filePath("b")), pattern(30000, 1) + pattern(25000, 2));
        const JoinSession::Deletion done = j.s.deleteSources();
        QCOMPARE(done.message, "These files could not be deleted:\n" + j.movies.filePath("b") +
                                   ": it was changed after it was joined, so it was kept");
        QCOMPARE(readAll(j.movies.filePath("b")), pattern(30000, 1) + pattern(25000, 2));
    }
};

QTEST_GUILESS_MAIN(TestJoinSession)
#include "test_joinsession.moc"
