// Closing windows and exiting while a join runs, and a second join while
// the first one's window is still open.
#include "about/frmAbout.h"
#include "join/JoinFixture.h"

#include <QAction>
#include <QtTest>

using JoinTest::EachPump;
using JoinTest::Fixture;
using JoinTest::readAll;

namespace {

/// Three files of five chunks and a bit, queued in order.
struct Running : Fixture
{
    QString target;
    explicit Running(bool clearQueue)
    {
        tick(LiveSettings::ClearQue, clearQueue);
        for (int i = 0; i < 3; ++i)
            queueFile(QStringLiteral("%1.mpg").arg(QChar('a' + i)), 51234, i + 1);
        QVERIFY(QDir(files.path()).mkpath(QStringLiteral("out")));
        target = path(QStringLiteral("out/t.mpg"));
    }
    /// Joins, running `act` in the second event pump; returns the pumps seen.
    int joinActingAt2(const std::function<void()>& act)
    {
        EachPump hook([&](int n) {
            if (n == 2)
                act();
        });
        join(target);
        return hook.count();
    }
    QByteArray twoChunksOfA() const { return TestSupport::pattern(20000, 1); }
    QByteArray whole() const
    {
        return TestSupport::pattern(51234, 1) + TestSupport::pattern(51234, 2) +
               TestSupport::pattern(51234, 3);
    }
};

} // namespace

class TestJoinLifecycle : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    void exitDuringARunCancelsThenExits_data()
    {
        QTest::addColumn<bool>("fromAbout");
        QTest::newRow("Exit menu item") << false;
        QTest::newRow("about box Exit") << true;
    }
    void exitDuringARunCancelsThenExits()
    {
        QFETCH(bool, fromAbout);
        Running r(false);
        const QByteArray iniBefore = r.app.iniBytes();
        QPointer<frmJoinStatus> s;
        const int pumps = r.joinActingAt2([&] {
            s = r.status();
            QVERIFY(s->isRunning());
            if (fromAbout) {
                r.w.mnu_About->trigger();
                QVERIFY(r.w.about());
                QTest::mouseClick(r.w.about()->CmdExit, Qt::LeftButton);
            } else {
                r.w.mnu_Exit->trigger();
            }
            // Nothing closes under the running join.
            QVERIFY(r.w.isVisible() && s->isVisible());
        });
        QCOMPARE(pumps, 2);
        QCOMPARE(readAll(r.target), r.twoChunksOfA());
        QVERIFY(!r.w.joinController()->isRunning());
        QVERIFY(TestSupport::visibleTopLevels().isEmpty());
        QVERIFY(!r.status());
        QTRY_VERIFY(s.isNull());
        // The exit saved the settings, with the folder the join remembered.
        QVERIFY(r.app.iniBytes() != iniBefore);
        QVERIFY(r.app.iniBytes().contains(
            "TargetDir=" + QFile::encodeName(r.path(QStringLiteral("out"))) + "\n"));
    }

    void mainCloseBoxDuringARunCancelsThenCloses()
    {
        Running r(false);
        const QByteArray iniBefore = r.app.iniBytes();
        const int pumps = r.joinActingAt2([&] {
            QVERIFY(!r.w.close()); // refused for now
            QVERIFY(r.w.isVisible());
        });
        QCOMPARE(pumps, 2);
        QCOMPARE(readAll(r.target), r.twoChunksOfA());
        QVERIFY(TestSupport::visibleTopLevels().isEmpty());
        QVERIFY(!r.status());
        QCOMPARE(r.app.iniBytes(), iniBefore); // the close box saves nothing
    }

    void statusCloseBoxDuringARunCancelsThenCloses()
    {
        Running r(true);
        QPointer<frmJoinStatus> s;
        const int pumps = r.joinActingAt2([&] {
            s = r.status();
            QVERIFY(!s->close());
            QVERIFY(s->isVisible()); // the run still shows in it
        });
        QCOMPARE(pumps, 2);
        QCOMPARE(readAll(r.target), r.twoChunksOfA());
        QVERIFY(!r.status());
        QTRY_VERIFY(s.isNull());
        QCOMPARE(TestSupport::visibleTopLevels(), QStringList{QStringLiteral("frmReelbind")});
        QCOMPARE(r.w.queue()->count(), 3); // no clear-queue step
        QCOMPARE(r.fiveButtons(), QStringLiteral("11111"));
    }

    void exitAfterTheJoinClosesTheStatusWindow()
    {
        Running r(false);
        r.join(r.target);
        QCOMPARE(readAll(r.target), r.whole());
        QPointer<frmJoinStatus> s = r.status();
        QVERIFY(s && s->isVisible());
        r.w.CmdExit_Click();
        QVERIFY(TestSupport::visibleTopLevels().isEmpty());
        QTRY_VERIFY(s.isNull());
    }

    void joinAgainWithTheOldWindowOpenStartsANewJoin()
    {
        Running r(true);
        r.join(r.target);
        QPointer<frmJoinStatus> first = r.status();
        QCOMPARE(first->ending(), frmJoinStatus::Ending::Joined);

        const QString second = r.path(QStringLiteral("second.mpg"));
        r.join(second);
        QVERIFY(!first || !first->isVisible());
        QTRY_VERIFY(first.isNull());
        frmJoinStatus* now = r.status();
        QVERIFY(now && now->isVisible());
        QCOMPARE(now->ending(), frmJoinStatus::Ending::Joined);
        QCOMPARE(now->target(), second);
        // The old window went without the clear-queue step: all three joined again.
        QCOMPARE(readAll(r.target), r.whole());
        QCOMPARE(readAll(second), r.whole());
        QCOMPARE(r.fake.dialogs.size(), 2);
        QCOMPARE(TestSupport::visibleTopLevels().size(), 2);
    }

    void joinDuringARunIsIgnored()
    {
        Running r(false);
        r.joinActingAt2([&] {
            QVERIFY(!r.w.CmdJoin->isEnabled());
            r.w.CmdJoin_Click();
        });
        QCOMPARE(r.fake.dialogs.size(), 1);
        QCOMPARE(r.status()->ending(), frmJoinStatus::Ending::Joined);
        QCOMPARE(readAll(r.target), r.whole());
    }
};

QTEST_MAIN(TestJoinLifecycle)
#include "test_lifecycle.moc"
