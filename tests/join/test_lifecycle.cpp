// Exit, the close boxes and Join again, while a join runs and after it.
#include "about/frmAbout.h"
#include "join/JoinFixture.h"

#include <QAction>
#include <QtTest>

using namespace JoinTest;

class TestJoinLifecycle : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    // Three files of five chunks and a bit are joined into out/t.mpg with
    // the clear-queue box ticked; `act` comes in the second pump or after.
    void actDuringOrAfterARun_data()
    {
        QTest::addColumn<QString>("act");
        QTest::addColumn<bool>("during");
        QTest::addColumn<QStringList>("left"); // the windows still open
        QTest::addColumn<bool>("saved");       // the settings were saved
        const QStringList none, main{"frmReelbind"}, both{"frmJoinStatus", "frmReelbind"};
        QTest::newRow("Exit during") << "exit" << true << none << true;
        QTest::newRow("about box Exit during") << "about" << true << none << true;
        QTest::newRow("main close box during") << "main close" << true << none << false;
        QTest::newRow("status close box during") << "status close" << true << main << false;
        QTest::newRow("Join during: ignored") << "join" << true << both << false;
        QTest::newRow("Exit after") << "exit" << false << none << true;
        QTest::newRow("Join again after") << "join" << false << both << false;
    }
    void actDuringOrAfterARun()
    {
        QFETCH(QString, act);
        QFETCH(bool, during);
        QFETCH(QStringList, left);
        QFETCH(bool, saved);
        Fixture f;
        f.tick(LiveSettings::ClearQue, true);
        for (int i = 0; i < 3; ++i)
            f.queueFile(QStringLiteral("%1.mpg").arg(QChar('a' + i)), 51234, i + 1);
        const QByteArray whole = f.queuedBytes();
        QVERIFY(QDir(f.files.path()).mkdir("out"));
        const QString target = f.path("out/t.mpg");
        const QString second = f.path("second.mpg");
        const QByteArray iniBefore = f.app.iniBytes();
        QPointer<frmJoinStatus> first;
        const auto doAct = [&] {
            first = f.status();
            if (act == "exit") {
                f.w.mnu_Exit->trigger();
            } else if (act == "about") {
                f.w.mnu_About->trigger();
                QTest::mouseClick(f.w.about()->CmdExit, Qt::LeftButton);
            } else if (act == "main close") {
                QVERIFY(!f.w.close());
            } else if (act == "status close") {
                QVERIFY(!first->close());
            } else {
                QCOMPARE(f.w.CmdJoin->isEnabled(), !during);
                f.join(second);
            }
        };
        {
            EachPump hook([&](int n) {
                if (n == 2 && during) {
                    doAct();
                    // Nothing closes under the running join.
                    QVERIFY(f.w.isVisible() && first->isVisible() && first->isRunning());
                }
            });
            f.join(target);
            if (during && act != "join")
                QCOMPARE(hook.count(), 2); // cancelled in the pump that closed
        }
        if (!during)
            doAct();

        const bool cancelled = during && act != "join";
        QCOMPARE(readAll(target), cancelled ? pattern(20000, 1) : whole);
        QVERIFY(!f.w.joinController()->isRunning());
        QStringList open = TestSupport::visibleTopLevels();
        open.sort();
        QCOMPARE(open, left);
        QTRY_VERIFY(first.isNull() || left.contains("frmJoinStatus"));
        if (saved)
            QVERIFY(
                f.app.iniBytes().contains("TargetDir=" + QFile::encodeName(f.path("out")) + "\n"));
        else
            QCOMPARE(f.app.iniBytes(), iniBefore);
        if (!left.isEmpty()) {
            QCOMPARE(f.w.queue()->count(), 3); // no clear-queue step
            QCOMPARE(f.fiveButtons(), "11111");
        }
        // Join again: the old window goes and the new join runs on its own.
        if (act == "join") {
            QCOMPARE(f.fake.dialogs.size(), during ? 1 : 2);
            QCOMPARE(f.status()->target(), during ? target : second);
            QCOMPARE(f.status()->ending(), frmJoinStatus::Ending::Joined);
            QTRY_VERIFY(during || first.isNull());
            QCOMPARE(readAll(second), during ? QByteArray("<missing>") : whole);
        }
    }
};

QTEST_MAIN(TestJoinLifecycle)
#include "test_lifecycle.moc"
