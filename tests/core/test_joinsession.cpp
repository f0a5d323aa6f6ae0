// One join without windows, driven as the status window drives it: the
// target checks, the free space, the copy, how it ends, and what follows.
#include "core/CopyLoop.h"
#include "support/TestSupport.h"

#include <QtTest>
#include <cerrno>

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

    J() { prefs().setChunkSize(10000); }
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
        const QList<qint64> three(3, 1000000); // 0.95 MB each: 996,147 bytes as shown
        row("dialog cancelled", 0, "", "|Joining Files...|", none, "");
        row("target is a source", 0, "",
            "The target file is one of the files to be joined. Please choose another target "
            "file.|Joining Files...|",
            pattern(45000, 2), "f1.mpg");
        // The need is the sizes as shown, each rounded to a byte: as much free is too little.
        row("free = need, 3 GiB more", 2988441 + 3221225472, "", noSpace, none, "t.mpg",
            three + QList<qint64>{qint64(3) << 30});
        row("free = need + 1, queue changed", 2988442, "0 change",
            "|Joining Files...Done!|File {t} has successfully been joined!",
            pattern(1000000, 1) + pattern(1000000, 2) + pattern(1000000, 3), "t.mpg", three);
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
        QTEST(target.isEmpty() ? QByteArray("<missing>") : readAll(target), "left");
        const Ending e = j.s.ending();
        QCOMPARE(j.files.freeSpaceQueries, QStringList(out).mid(0, e != Ending::NoTarget));
        const bool kept = e == Ending::NoTarget || e == Ending::NoSpace || act.endsWith("unticked");
        QCOMPARE(j.s.targetFolder() + '|' + j.settings().TargetDir.value_or("<none>"),
                 QString("%1|%1").arg(kept ? before : out));
        QCOMPARE(j.during + j.commands(), "0000011111"); // off from Join to its end
        QCOMPARE(j.program->isClosing() && j.iniBytes() != ini, act.contains("exit"));
    }

    // a (queued twice), b and c joined into t; then b is gone and x queued.
    void deleteSourcesThenFinished()
    {
        J j;
        for (const char* name : {"a", "a", "b", "c"})
            j.queueFile(name, *name == 'b' ? 524288 : 1048576, 1);
        QCOMPARE(j.run(j.movies.filePath("t")), QString());
        QVERIFY(QFile::remove(j.movies.filePath("b")));
        j.queueFile("x", 2097152, 7);
        // Each file the join read is deleted once and its rows go; b's row stays.
        QCOMPARE(j.s.deleteSources(), "These files could not be deleted:\n" +
                                          j.movies.filePath("b") + ": " + reason(ENOENT));
        QStringList seen{QDir(j.movies.path()).entryList(QDir::Files).join(' '), "|"};
        for (const QueueRow& r : j.queue().rows())
            seen << r.name;
        seen << "|" << j.queue().estimate().section("  ", 1) << "|" << j.commands();
        QCOMPARE(seen.join(' '), "t x | b x | 2.50 MB | 11111");
        QStringList finished; // asks first, rows left; greyed, unticked, ticked: only ticked counts
        for (int state : {2, 0, 1}) {
            j.prefs().setCheckState(Preferences::ConfirmDel, state);
            j.prefs().setCheckState(Preferences::ClearQue, state);
            j.s.finish();
            finished << QString("%1 %2").arg(j.s.asksBeforeDelete()).arg(j.queue().count());
        }
        QCOMPARE(finished.join(", "), "0 2, 0 2, 1 0");
        QCOMPARE(QDir(j.movies.path()).entryList(QDir::Files).join(' '), "t x"); // deletes nothing
    }
};

QTEST_GUILESS_MAIN(TestJoinSession)
#include "test_joinsession.moc"
