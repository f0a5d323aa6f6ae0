// What the finished status window offers: Finished, its close box, View
// Joined MPG and Delete Source Files.
#include "join/JoinFixture.h"

#include <QtTest>

using namespace JoinTest;

class TestAfterJoin : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    // a (1.00 MB), b (0.50 MB) and c (0.02 MB) are joined into t.mpg, then
    // the window is left by `act`.
    void leavingTheWindow_data()
    {
        QTest::addColumn<QString>("act");        // "finished", "close" (box) or "delete"
        QTest::addColumn<bool>("clear");         // the clear-queue box
        QTest::addColumn<int>("confirm");        // 0: box clear; 1: ticked, No; 2: ticked, Yes
        QTest::addColumn<QString>("fault");      // "twice": a queued twice; after the join
                                                 // "gone": b deleted, "later": x queued
        QTest::addColumn<QStringList>("onDisk"); // which of a, b, c, x exist afterwards
        QTest::addColumn<QStringList>("queue");  // afterwards
        QTest::addColumn<QString>("estimate");   // afterwards, in MB
        const QStringList abc{"a.mpg", "b.mpg", "c.mpg"}, none;
        QTest::newRow("Finished, clear-queue on")
            << "finished" << true << 1 << "" << abc << none << "0.00";
        QTest::newRow("Finished, clear-queue off")
            << "finished" << false << 1 << "" << abc << abc << "1.52";
        QTest::newRow("close box: no clearing")
            << "close" << true << 1 << "" << abc << abc << "1.52";
        QTest::newRow("Delete, No") << "delete" << false << 1 << "" << abc << abc << "1.52";
        QTest::newRow("Delete, No, clear-queue on")
            << "delete" << true << 1 << "" << abc << none << "0.00";
        QTest::newRow("Delete, Yes") << "delete" << false << 2 << "" << none << none << "0.00";
        QTest::newRow("Delete unasked") << "delete" << false << 0 << "" << none << none << "0.00";
        QTest::newRow("Delete, a queued twice")
            << "delete" << false << 0 << "twice" << none << none << "0.00";
        QTest::newRow("Delete, b already gone")
            << "delete" << false << 0 << "gone" << none << QStringList{"b.mpg"} << "0.50";
        QTest::newRow("Delete, x queued after the join")
            << "delete" << false << 0 << "later" << QStringList{"x.mpg"} << QStringList{"x.mpg"}
            << "2.00";
    }
    void leavingTheWindow()
    {
        QFETCH(QString, act);
        QFETCH(bool, clear);
        QFETCH(int, confirm);
        QFETCH(QString, fault);
        QFETCH(QStringList, onDisk);
        QFETCH(QStringList, queue);
        QFETCH(QString, estimate);
        Fixture f;
        f.tick(LiveSettings::ClearQue, clear);
        f.tick(LiveSettings::ConfirmDel, confirm > 0);
        f.queueFile("a.mpg", 1048576, 1);
        if (fault == "twice")
            f.queueExisting("a.mpg", 1048576);
        f.queueFile("b.mpg", 524288, 2);
        f.queueFile("c.mpg", 25000, 3);
        const QByteArray joined = f.queuedBytes();
        const QString target = f.path("t.mpg");
        f.join(target);
        QCOMPARE(readAll(target), joined);
        QPointer<frmJoinStatus> s = f.status();
        QVERIFY(s && s->isVisible());

        if (fault == "gone")
            QVERIFY(QFile::remove(f.path("b.mpg")));
        else if (fault == "later")
            f.queueFile("x.mpg", 2097152, 7);
        f.fake.setNextAnswer(confirm == 2);
        if (act == "close")
            QVERIFY(s->close());
        else
            QTest::mouseClick(act == "delete" ? s->CmdDelSource : s->CmdCancel, Qt::LeftButton);

        QCOMPARE(f.fake.questions,
                 act == "delete" && confirm
                     ? QStringList{"Delete Source Files?|Are you sure you want to delete the "
                                   "source files?  These files will be PERMANENTLY deleted."}
                     : QStringList());
        // A file that cannot be deleted is named with the reason; the others go.
        QCOMPARE(f.fake.messages,
                 fault == "gone" ? QStringList{expand(
                                       "These files could not be deleted:\n{dir}/b.mpg: {ENOENT}",
                                       f.files.path())}
                                 : QStringList());
        QStringList existing;
        for (const char* name : {"a.mpg", "b.mpg", "c.mpg", "x.mpg"})
            if (QFile::exists(f.path(QLatin1String(name))))
                existing << QLatin1String(name);
        QCOMPARE(existing, onDisk);
        QCOMPARE(readAll(target), joined);
        QCOMPARE(f.queuedNames(), queue);
        QCOMPARE(f.w.LblEstFilesize->text(), "Estimated Joined Filesize:  " + estimate + " MB");
        QCOMPARE(f.fiveButtons().mid(2, 2) + f.fiveButtons().left(1),
                 queue.isEmpty() ? "000" : "111");
        QVERIFY(!f.status());
        QTRY_VERIFY(s.isNull());
    }

    void viewOpensTheTargetAndStays()
    {
        // With the remember box clear the target folder stays as it was.
        Fixture f;
        f.tick(LiveSettings::RememberTarget, false);
        const QString before = f.w.live().folderText(LiveSettings::TargetFolder);
        f.queueFile("a.mpg", 1000, 1);
        f.join(f.path("t.mpg"));
        QCOMPARE(readAll(f.path("t.mpg")), pattern(1000, 1));
        QCOMPARE(f.w.live().folderText(LiveSettings::TargetFolder), before);
        QCOMPARE(f.w.settings().TargetDir.value_or(QString()), before);
        frmJoinStatus* s = f.status();
        QTest::mouseClick(s->CmdViewClip, Qt::LeftButton);
        QTest::mouseClick(s->CmdViewClip, Qt::LeftButton);
        QCOMPARE(f.fake.opened, QStringList(2, f.path("t.mpg")));
        QCOMPARE(f.status(), s);
        QVERIFY(s->isVisible());
    }
};

QTEST_MAIN(TestAfterJoin)
#include "test_afterjoin.moc"
