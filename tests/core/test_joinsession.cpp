// One join without windows, driven as the status window drives it: the
// target checks, the free space, the copy, how it ends, and what follows.
#include "core/CopyLoop.h"
#include "support/TestSupport.h"

#include <QtTest>
#include <cerrno>
#include <functional>
#include <limits>
#include <unistd.h>

using TestSupport::pattern;
using TestSupport::readAll;
using TestSupport::reason;
using Ending = JoinSession::Ending;

namespace {

const QString kNoSpace = QStringLiteral(
    "The drive you have selected does not have enough free space to save the joined movie to.");
constexpr qint64 kQueryFails = std::numeric_limits<qint64>::min();

// A started program with movies in a folder of their own, chunk 10,000,
// and the progress of its joins.
struct J : TestSupport::Core, JoinProgress
{
    QTemporaryDir movies;
    JoinSession& s = join();
    std::function<void(int)> onPump; // in pump n; pump 0 is just before the copy
    int pumps = 0;
    bool offThroughout = true; // the five commands, from begin() to end()

    J() { prefs().setChunkSize(10000); }
    void batchStarted(qint64) override {}
    void fileStarted(int, const JoinFigures&) override {}
    void copied(const JoinFigures&) override {}
    void pumpEvents() override
    {
        offThroughout = offThroughout && commands() == "00000";
        if (onPump)
            onPump(++pumps);
    }

    QString path(const QString& name) const { return movies.filePath(name); }
    /// Writes pattern(size, seed) (from 1 GiB on only its size) and queues it.
    void queueFile(const QString& name, qint64 size, int seed)
    {
        size < qint64(1) << 30 ? TestSupport::makeFile(movies.path(), name, size, seed)
                               : TestSupport::sized(movies.path(), name, size);
        queue().add({path(name)});
    }
    QByteArray queuedBytes()
    {
        QByteArray all;
        for (const QueueRow& r : queue().rows())
            all += readAll(r.fullPath());
        return all;
    }
    /// Add, Remove, Clear, Join, Exit as 0/1.
    QString commands()
    {
        const JoinQueue::Commands c = queue().commands();
        QString bits;
        for (bool on : {c.add, c.remove, c.clear, c.join, c.exit})
            bits += on ? '1' : '0';
        return bits;
    }
    QString targetFolder() { return prefs().folderText(Preferences::TargetFolder); }
    /// Join pressed, the save dialog answers `target`; unless that ends the
    /// join the copy runs; then it ends. The message the user sees first.
    QString run(const QString& target)
    {
        if (!s.begin())
            return "<not begun>";
        offThroughout = commands() == "00000";
        const QString message = s.chooseTarget(target);
        if (s.ending() == Ending::None) {
            if (onPump)
                onPump(0);
            s.copy(*this);
        }
        offThroughout = offThroughout && commands() == "00000";
        s.end();
        return message;
    }
};

} // namespace

class TestJoinSession : public QObject
{
    Q_OBJECT
private slots:
    void noJoinWithoutAUsableTarget_data()
    {
        QTest::addColumn<QString>("target"); // empty: the save dialog is cancelled
        QTest::addColumn<QString>("message");
        const QString refused("The target file is one of the files to be joined. Please choose "
                              "another target file.");
        QTest::newRow("dialog cancelled") << QString() << QString();
        QTest::newRow("a source") << "b.mpg" << refused;
        QTest::newRow("a source, roundabout") << "sub/../b.mpg" << refused;
        QTest::newRow("a source's hard link") << "hard.mpg" << refused;
        QTest::newRow("a source's symbolic link") << "soft.mpg" << refused;
    }
    void noJoinWithoutAUsableTarget()
    {
        QFETCH(QString, target);
        J j;
        j.queueFile("a.mpg", 30000, 1);
        j.queueFile("b.mpg", 25000, 2);
        const QByteArray b = QFile::encodeName(j.path("b.mpg"));
        QCOMPARE(::link(b, QFile::encodeName(j.path("hard.mpg"))), 0);
        QCOMPARE(::symlink(b, QFile::encodeName(j.path("soft.mpg"))), 0);
        QVERIFY(QDir(j.movies.path()).mkdir("sub"));
        const QByteArray sources = j.queuedBytes();
        const QStringList entries = QDir(j.movies.path()).entryList();
        const QString unchanged =
            j.targetFolder() + '|' + j.settings().TargetDir.value_or("<none>");

        QTEST(j.run(target.isEmpty() ? target : j.path(target)), "message");
        QCOMPARE(j.s.ending(), Ending::NoTarget);
        QCOMPARE(j.s.finalText() + '|' + j.s.caption(), "|Joining Files...");
        QCOMPARE(j.queuedBytes(), sources); // nothing read or written
        QCOMPARE(QDir(j.movies.path()).entryList(), entries);
        QVERIFY(j.files.freeSpaceQueries.isEmpty());
        QCOMPARE(j.targetFolder() + '|' + j.settings().TargetDir.value_or("<none>"), unchanged);
        QVERIFY(j.offThroughout);
        QCOMPARE(j.commands(), "11111");
    }

    // Files f0, f1... with pattern seeds 1, 2... joined into out/t.mpg.
    void howAJoinEnds_data()
    {
        QTest::addColumn<QList<qint64>>("sizes");
        QTest::addColumn<qint64>("freeAboveNeed"); // the free space minus the sizes as shown
        QTest::addColumn<QString>("act");          // "pump what"
        QTest::addColumn<Ending>("ending");
        QTest::addColumn<QString>("shown"); // caption() and finalText(), {t} the target
        QTest::addColumn<QByteArray>("left");
        const QList<qint64> mb{1048576, 524288}, big{qint64(3) << 30}, two{35000, 45000};
        const QByteArray mbBytes = pattern(1048576, 1) + pattern(524288, 2), none("<missing>");
        const QString noSpace = "Joining Files...\n" + kNoSpace;
        const QString joined = "Joining Files...Done!\nFile {t} has successfully been joined!";
        const QString cancelled = "Joining Files...Cancelled!\nOperation aborted by user";
        // The need is the sizes as shown: free space equal to it is too little.
        QTest::newRow("free = need") << mb << 0ll << "" << Ending::NoSpace << noSpace << none;
        QTest::newRow("free = need - 1") << mb << -1ll << "" << Ending::NoSpace << noSpace << none;
        // The queue changed during the copy changes nothing in it.
        QTest::newRow("free = need + 1, queue changed")
            << mb << 1ll << "1 change" << Ending::Joined << joined << mbBytes;
        QTest::newRow("free-space query fails")
            << mb << kQueryFails << "" << Ending::Joined << joined << mbBytes;
        QTest::newRow("3 GiB, free = need")
            << big << 0ll << "" << Ending::NoSpace << noSpace << none;
        QTest::newRow("cancelled in a pump")
            << two << 1ll << "2 cancel" << Ending::Cancelled << cancelled << pattern(20000, 1);
        QTest::newRow("failed")
            << two << 1ll << "0 rm" << Ending::Failed
            << "Joining Files...Failed!\nCould not read the size of file {d}/f1.mpg: " +
                   reason(ENOENT) + ".\nThe target file {t} was not created."
            << none;
        // Cancelled before the copy, which writes nothing: the target folder
        // is remembered only with RememberTarget ticked, the root as "/".
        QTest::newRow("remember unticked")
            << two << 1ll << "0 cancel, unticked" << Ending::Cancelled << cancelled << none;
        QTest::newRow("remember the root")
            << two << 1ll << "0 cancel, root" << Ending::Cancelled << cancelled << none;
    }
    void howAJoinEnds()
    {
        QFETCH(QList<qint64>, sizes);
        QFETCH(qint64, freeAboveNeed);
        QFETCH(QString, act);
        QFETCH(Ending, ending);
        QFETCH(QString, shown);
        J j;
        qint64 need = 0;
        for (int i = 0; i < sizes.size(); ++i) {
            j.queueFile(QStringLiteral("f%1.mpg").arg(i), sizes[i], i + 1);
            need += sizes[i];
        }
        j.files.setFreeSpace(freeAboveNeed == kQueryFails ? std::nullopt
                                                          : std::optional(need + freeAboveNeed));
        QVERIFY(QDir(j.movies.path()).mkdir("out"));
        const QString out = act.endsWith("root") ? "/" : j.path("out");
        const QString target =
            act.endsWith("root") ? "/reelbind-never-written.mpg" : out + "/t.mpg";
        const QString before = j.targetFolder();
        j.prefs().setCheckState(Preferences::RememberTarget, act.endsWith("unticked") ? 0 : 1);
        j.onPump = [&](int n) {
            if (act.section(' ', 0, 0) != QString::number(n))
                return;
            if (act.contains("rm"))
                QVERIFY(QFile::remove(j.path("f1.mpg")));
            if (act.contains("cancel"))
                j.s.cancel();
            if (act.contains("change")) {
                QVERIFY(!j.s.begin()); // Join again while one runs: nothing
                j.queue().remove({0});
                j.queueFile("x.mpg", 5000, 7);
            }
        };
        QCOMPARE(j.run(target), ending == Ending::NoSpace ? kNoSpace : QString());
        QCOMPARE(j.s.ending(), ending);
        QCOMPARE(j.s.caption() + '\n' + j.s.finalText(),
                 shown.replace("{t}", target).replace("{d}", j.movies.path()));
        QTEST(readAll(target), "left");
        QCOMPARE(j.s.rows().size(), sizes.size());
        QCOMPARE(j.files.freeSpaceQueries, QStringList{out});
        const QString kept = ending == Ending::NoSpace || act.endsWith("unticked") ? before : out;
        QCOMPARE(j.targetFolder() + '|' + j.settings().TargetDir.value_or("<none>"),
                 kept + '|' + kept);
        QVERIFY(j.offThroughout);
        QCOMPARE(j.commands(), "11111");
    }

    void cancelThenAndExitDuringAJoin()
    {
        J j;
        QStringList order;
        j.s.cancelThen([&] { order << "idle"; }); // no join runs: at once
        QCOMPARE(order, QStringList{"idle"});
        j.queueFile("a.mpg", 51234, 1);
        QVERIFY(QDir(j.movies.path()).mkdir("out"));
        const QByteArray iniBefore = j.iniBytes();
        QSignalSpy closing(j.program.get(), &Program::closing);
        QVERIFY(j.s.begin());
        QCOMPARE(j.s.chooseTarget(j.path("out/t.mpg")), QString());
        j.onPump = [&](int n) {
            if (n == 2) {
                j.program->exit(Program::ExitKind::Save);
                j.s.cancelThen([&] { order << "after end"; });
            }
        };
        QCOMPARE(j.s.copy(j), Ending::Cancelled);
        QCOMPARE(j.pumps, 2);
        // Nothing goes on before the join has ended.
        QCOMPARE(closing.count(), 0);
        QCOMPARE(order, QStringList{"idle"});
        QCOMPARE(j.iniBytes(), iniBefore);
        j.s.end();
        QCOMPARE(order, QStringList({"idle", "after end"}));
        QCOMPARE(closing.count(), 1);
        QVERIFY(j.program->isClosing());
        QVERIFY(j.iniBytes().contains("\nTargetDir=" + QFile::encodeName(j.path("out")) + "\n"));
    }

    void switchesAfterTheJoin_data()
    {
        QTest::addColumn<int>("state"); // of ConfirmDel and ClearQue
        for (int state : {0, 1, 2})
            QTest::addRow("state %d", state) << state;
    }
    void switchesAfterTheJoin()
    {
        QFETCH(int, state);
        J j;
        j.queueFile("a.mpg", 1000, 1);
        QCOMPARE(j.run(j.path("t.mpg")), QString());
        j.prefs().setCheckState(Preferences::ConfirmDel, state);
        j.prefs().setCheckState(Preferences::ClearQue, state);
        QCOMPARE(j.s.asksBeforeDelete(), state == 1);
        j.s.finish(); // clears the queue only when ticked, deletes nothing
        QCOMPARE(j.queue().count(), state == 1 ? 0 : 1);
        QVERIFY(QFile::exists(j.path("a.mpg")));
    }

    // a (1.00 MB), b (0.50 MB) and c (0.02 MB) joined into t.mpg, then deleted.
    void deleteSources_data()
    {
        QTest::addColumn<QString>("fault"); // a queued twice; after the join b gone or x queued
        QTest::addColumn<QString>("after"); // which of a, b, c, x exist | the queue | the
                                            // estimate | the five commands
        QTest::addColumn<QString>("message");
        QTest::newRow("plain") << ""
                               << " |  | 0.00 MB | 10001" << QString();
        QTest::newRow("a queued twice") << "twice"
                                        << " |  | 0.00 MB | 10001" << QString();
        QTest::newRow("b already gone")
            << "gone"
            << " | b.mpg | 0.50 MB | 11111"
            << "These files could not be deleted:\n{d}/b.mpg: " + reason(ENOENT);
        QTest::newRow("x queued after the join") << "later"
                                                 << "x.mpg | x.mpg | 2.00 MB | 11111" << QString();
    }
    void deleteSources()
    {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        J j;
        j.queueFile("a.mpg", 1048576, 1);
        if (fault == "twice")
            j.queueFile("a.mpg", 1048576, 1);
        j.queueFile("b.mpg", 524288, 2);
        j.queueFile("c.mpg", 25000, 3);
        const QByteArray joined = j.queuedBytes();
        QCOMPARE(j.run(j.path("t.mpg")), QString());
        if (fault == "gone")
            QVERIFY(QFile::remove(j.path("b.mpg")));
        else if (fault == "later")
            j.queueFile("x.mpg", 2097152, 7);

        QCOMPARE(j.s.deleteSources(), message.replace("{d}", j.movies.path()));
        QCOMPARE(readAll(j.path("t.mpg")), joined);
        QStringList existing, names;
        for (const QString& name : QStringList{"a.mpg", "b.mpg", "c.mpg", "x.mpg"})
            if (QFile::exists(j.path(name)))
                existing << name;
        for (const QueueRow& r : j.queue().rows())
            names << r.name;
        QTEST(QStringList({existing.join(' '), names.join(' '),
                           j.queue().estimate().section("  ", 1), j.commands()})
                  .join(" | "),
              "after");
    }
};

QTEST_GUILESS_MAIN(TestJoinSession)
#include "test_joinsession.moc"
