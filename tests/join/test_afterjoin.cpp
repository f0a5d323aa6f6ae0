// What the finished status window offers: Finished, View Joined MPG and
// Delete Source Files.
#include "join/JoinFixture.h"

#include <QtTest>

#include <cerrno>
#include <cstring>

using JoinTest::Fixture;
using JoinTest::readAll;

namespace {

const QString kQuestion = QStringLiteral(
    "Delete Source Files?|Are you sure you want to delete the source files?  These files will be "
    "PERMANENTLY deleted.");
const QString kEmptyEstimate = QStringLiteral("Estimated Joined Filesize:  0.00 MB");

/// Three queued files a, b, c joined into t.mpg; the status window is open.
struct Joined : Fixture
{
    QString a, b, c, target;
    Joined(bool clearQueue, bool confirmDelete)
    {
        tick(LiveSettings::ClearQue, clearQueue);
        tick(LiveSettings::ConfirmDel, confirmDelete);
        a = queueFile(QStringLiteral("a.mpg"), 1048576, 1);
        b = queueFile(QStringLiteral("b.mpg"), 524288, 2);
        c = queueFile(QStringLiteral("c.mpg"), 25000, 3);
        target = path(QStringLiteral("t.mpg"));
        join(target);
        QCOMPARE(readAll(target), TestSupport::pattern(1048576, 1) +
                                      TestSupport::pattern(524288, 2) +
                                      TestSupport::pattern(25000, 3));
    }
    QStringList names() const
    {
        QStringList out;
        for (const QueueRow& r : w.queue()->rows())
            out << r.name;
        return out;
    }
    QString queueButtons() const { return fiveButtons().mid(2, 2) + fiveButtons().left(1); }
};

} // namespace

class TestAfterJoin : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    void finishedClearsTheQueueOnlyWhenAsked_data()
    {
        QTest::addColumn<bool>("clear");
        QTest::newRow("clear-queue on") << true;
        QTest::newRow("clear-queue off") << false;
    }
    void finishedClearsTheQueueOnlyWhenAsked()
    {
        QFETCH(bool, clear);
        Joined j(clear, true);
        QPointer<frmJoinStatus> s = j.status();
        QVERIFY(s && s->isVisible());
        QTest::mouseClick(s->CmdCancel, Qt::LeftButton);
        QVERIFY(!j.status());
        QTRY_VERIFY(s.isNull());
        QCOMPARE(j.w.queue()->count(), clear ? 0 : 3);
        QCOMPARE(j.queueButtons(), clear ? QStringLiteral("000") : QStringLiteral("111"));
        if (clear)
            QCOMPARE(j.w.LblEstFilesize->text(), kEmptyEstimate);
        QVERIFY(QFile::exists(j.a) && QFile::exists(j.target));
    }

    void closeBoxAfterTheJoinSkipsTheClearQueueStep()
    {
        Joined j(true, true);
        QPointer<frmJoinStatus> s = j.status();
        QVERIFY(s->close());
        QVERIFY(!j.status());
        QTRY_VERIFY(s.isNull());
        QCOMPARE(j.w.queue()->count(), 3);
    }

    void viewOpensTheTargetAndStays()
    {
        Joined j(false, true);
        frmJoinStatus* s = j.status();
        QTest::mouseClick(s->CmdViewClip, Qt::LeftButton);
        QTest::mouseClick(s->CmdViewClip, Qt::LeftButton);
        QCOMPARE(j.fake.opened, (QStringList{j.target, j.target}));
        QCOMPARE(j.status(), s);
        QVERIFY(s->isVisible());
    }

    void deleteAskedAndDeclinedDeletesNothing()
    {
        Joined j(false, true);
        j.fake.setNextAnswer(false);
        QTest::mouseClick(j.status()->CmdDelSource, Qt::LeftButton);
        QCOMPARE(j.fake.questions, QStringList{kQuestion});
        QVERIFY(QFile::exists(j.a) && QFile::exists(j.b) && QFile::exists(j.c));
        QVERIFY(!j.status());
        QCOMPARE(j.w.queue()->count(), 3);
    }

    void deleteDeclinedStillClearsWhenAsked()
    {
        Joined j(true, true);
        j.fake.setNextAnswer(false);
        QTest::mouseClick(j.status()->CmdDelSource, Qt::LeftButton);
        QVERIFY(QFile::exists(j.a) && QFile::exists(j.b) && QFile::exists(j.c));
        QCOMPARE(j.w.queue()->count(), 0);
    }

    void deleteConfirmedOrUnasked_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("confirm on, Yes") << true;
        QTest::newRow("confirm off") << false;
    }
    void deleteConfirmedOrUnasked()
    {
        QFETCH(bool, confirm);
        Joined j(false, confirm);
        j.fake.setNextAnswer(true);
        QTest::mouseClick(j.status()->CmdDelSource, Qt::LeftButton);
        QCOMPARE(j.fake.questions, confirm ? QStringList{kQuestion} : QStringList());
        QVERIFY(!QFile::exists(j.a) && !QFile::exists(j.b) && !QFile::exists(j.c));
        QCOMPARE(readAll(j.target), TestSupport::pattern(1048576, 1) +
                                        TestSupport::pattern(524288, 2) +
                                        TestSupport::pattern(25000, 3));
        QVERIFY(!j.status());
        QCOMPARE(j.w.queue()->count(), 0);
        QCOMPARE(j.w.LblEstFilesize->text(), kEmptyEstimate);
        QCOMPARE(j.queueButtons(), QStringLiteral("000"));
        QVERIFY(j.fake.messages.isEmpty());
    }

    void aFileThatCannotBeDeletedIsNamedAndKept()
    {
        Joined j(false, false);
        QVERIFY(QFile::remove(j.b));
        QTest::mouseClick(j.status()->CmdDelSource, Qt::LeftButton);
        QCOMPARE(j.fake.messages,
                 QStringList{QStringLiteral("These files could not be deleted:\n") + j.b +
                             QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(ENOENT))});
        QVERIFY(!QFile::exists(j.a) && !QFile::exists(j.c));
        QCOMPARE(j.names(), QStringList{QStringLiteral("b.mpg")});
        QCOMPARE(j.w.LblEstFilesize->text(), QStringLiteral("Estimated Joined Filesize:  0.50 MB"));
        QCOMPARE(j.queueButtons(), QStringLiteral("111"));
        QVERIFY(!j.status());
    }

    void filesQueuedAfterTheJoinAreKept()
    {
        Joined j(false, false);
        const QString x = j.queueFile(QStringLiteral("x.mpg"), 2097152, 7);
        QTest::mouseClick(j.status()->CmdDelSource, Qt::LeftButton);
        QVERIFY(!QFile::exists(j.a) && !QFile::exists(j.b) && !QFile::exists(j.c));
        QCOMPARE(readAll(x), TestSupport::pattern(2097152, 7));
        QCOMPARE(j.names(), QStringList{QStringLiteral("x.mpg")});
        QCOMPARE(j.w.LblEstFilesize->text(), QStringLiteral("Estimated Joined Filesize:  2.00 MB"));
        QCOMPARE(j.queueButtons(), QStringLiteral("111"));
        QVERIFY(j.fake.messages.isEmpty());
    }

    void aFileQueuedTwiceIsDeletedOnce()
    {
        Fixture f;
        f.tick(LiveSettings::ConfirmDel, false);
        const QString a = f.queueFile(QStringLiteral("a.mpg"), 15000, 1);
        f.queueExisting(QStringLiteral("a.mpg"), f.files.path() + QLatin1Char('/'), 15000);
        f.join(f.path(QStringLiteral("t.mpg")));
        QCOMPARE(readAll(f.path(QStringLiteral("t.mpg"))),
                 TestSupport::pattern(15000, 1) + TestSupport::pattern(15000, 1));
        QTest::mouseClick(f.status()->CmdDelSource, Qt::LeftButton);
        QVERIFY(!QFile::exists(a));
        QVERIFY(f.fake.messages.isEmpty());
        QCOMPARE(f.w.queue()->count(), 0);
    }
};

QTEST_MAIN(TestAfterJoin)
#include "test_afterjoin.moc"
