// The join through the main window and the status window: what the user
// sees during and after a run, and every way a run can end.
#include "join/JoinFixture.h"

#include <QtTest>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <unistd.h>

using JoinTest::EachPump;
using JoinTest::finalText;
using JoinTest::Fixture;
using JoinTest::readAll;

namespace {

const QString kNoSpace = QStringLiteral(
    "The drive you have selected does not have enough free space to save the joined movie to.");

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

class TestJoinStatus : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    void layoutOfTheWindow()
    {
        Fixture f;
        frmJoinStatus s(f.w);
        QCOMPARE(s.windowTitle(), QStringLiteral("Joining Files..."));
        QCOMPARE(s.size(), QSize(485, 132));
        QCOMPARE(s.minimumSize(), s.maximumSize());
        QVERIFY(!s.isModal());
        QCOMPARE(s.parentWidget(), &f.w);
        QVERIFY(s.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(s.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                                     Qt::WindowContextHelpButtonHint)));

        const QList<QPair<QWidget*, QRect>> places{{s.LblFileNow, QRect(20, 10, 448, 28)},
                                                   {s.TextFinal, QRect(20, 10, 446, 76)},
                                                   {s.ProgressBarFile, QRect(75, 40, 288, 16)},
                                                   {s.LblFilePercent, QRect(368, 40, 41, 16)},
                                                   {s.ProgressBarBatch, QRect(75, 65, 288, 16)},
                                                   {s.LblBatchPercent, QRect(368, 65, 41, 16)},
                                                   {s.CmdCancel, QRect(20, 97, 106, 26)},
                                                   {s.CmdViewClip, QRect(245, 97, 106, 26)},
                                                   {s.CmdDelSource, QRect(360, 97, 106, 26)}};
        for (const auto& p : places)
            QVERIFY2(p.first->geometry() == p.second, qPrintable(p.first->objectName()));

        for (QLabel* l : {s.LblFilePercent, s.LblBatchPercent}) {
            QCOMPARE(l->text(), QStringLiteral("0%"));
            QVERIFY(l->font().bold());
            QCOMPARE(l->font().pointSizeF(), 9.75);
            QCOMPARE(l->font().styleHint(), QFont::SansSerif);
            QCOMPARE(l->palette().color(QPalette::WindowText), QColor(Qt::red));
        }
        QCOMPARE(s.CmdCancel->text(), QStringLiteral("Cancel"));
        QVERIFY(s.CmdCancel->isDefault());
        QCOMPARE(s.CmdViewClip->text(), QStringLiteral("View Joined MPG"));
        QCOMPARE(s.CmdDelSource->text(), QStringLiteral("Delete Source Files"));
        QVERIFY(s.TextFinal->isHidden());
        QVERIFY(s.LblFileNow->text().isEmpty());
        // Lies over the line it replaces.
        QVERIFY(s.children().indexOf(s.TextFinal) > s.children().indexOf(s.LblFileNow));
    }

    void successfulJoinShowsEveryStep()
    {
        Fixture f;
        const QString a = f.queueFile(QStringLiteral("a.mpg"), 35000, 1);
        const QString b = f.queueFile(QStringLiteral("b.mpg"), 0, 2); // adds nothing
        const QString c = f.queueFile(QStringLiteral("c.mpg"), 20000, 3);
        const QString d = f.queueFile(QStringLiteral("d.mpg"), 5000, 4);
        QVERIFY(QDir(f.files.path()).mkpath(QStringLiteral("out")));
        const QString outFolder = f.path(QStringLiteral("out"));
        const QString target = outFolder + QStringLiteral("/joined.mpg");
        const QString folderBefore = f.w.live().folderText(LiveSettings::TargetFolder);

        struct Seen
        {
            QString line, file, batch, cancel, title, buttons;
            int fileBar, batchBar;
            bool visible, actionsHidden;
        };
        QList<Seen> seen;
        {
            EachPump hook([&](int) {
                frmJoinStatus* s = f.status();
                seen.append({s->LblFileNow->text(), s->LblFilePercent->text(),
                             s->LblBatchPercent->text(), s->CmdCancel->text(), s->windowTitle(),
                             f.fiveButtons(), s->ProgressBarFile->value(),
                             s->ProgressBarBatch->value(), s->isVisible(),
                             s->CmdViewClip->isHidden() && s->CmdDelSource->isHidden()});
            });
            f.join(target);
        }

        // One pump per whole chunk: 3 of a, none of b, 2 of c, none of d.
        QCOMPARE(seen.size(), 5);
        const QString lineA = QStringLiteral("Now joining file: a.mpg to ") + target +
                              QStringLiteral(" using a chunk size of 10,000 bytes");
        QCOMPARE(seen[0].line, lineA);
        QCOMPARE(seen[3].line, QString(lineA).replace(QStringLiteral("a.mpg"), "c.mpg"));
        for (const Seen& s : seen) {
            QVERIFY(s.visible);
            QVERIFY(s.actionsHidden);
            QCOMPARE(s.cancel, QStringLiteral("Cancel"));
            QCOMPARE(s.title, QStringLiteral("Joining Files..."));
            QCOMPARE(s.buttons, QStringLiteral("00000"));
        }
        // The file figure shows the file as it stood before the chunk.
        QCOMPARE(seen[0].file, QStringLiteral("0%"));
        QCOMPARE(seen[0].batch, QStringLiteral("17%")); // 10000 of 60000
        QCOMPARE(seen[2].file, QStringLiteral("57%"));  // 20000 of 35000
        QCOMPARE(seen[2].batch, QStringLiteral("50%"));
        QCOMPARE(seen[3].file, QStringLiteral("0%"));
        QCOMPARE(seen[3].batch, QStringLiteral("75%"));
        QCOMPARE(seen[4].file, QStringLiteral("50%"));
        QCOMPARE(seen[4].batch, QStringLiteral("92%"));
        QCOMPARE(seen[0].fileBar, 285);
        QCOMPARE(seen[4].fileBar, frmJoinStatus::kBarRange);
        QCOMPARE(seen[4].batchBar, 916);

        QCOMPARE(readAll(target), TestSupport::pattern(35000, 1) + TestSupport::pattern(20000, 3) +
                                      TestSupport::pattern(5000, 4));
        frmJoinStatus* s = f.status();
        QVERIFY(s && s->isVisible());
        QCOMPARE(s->windowTitle(), QStringLiteral("Joining Files...Done!"));
        QVERIFY(s->TextFinal->isVisible());
        QCOMPARE(finalText(s), QStringLiteral("File ") + target +
                                   QStringLiteral(" has successfully been joined!"));
        QCOMPARE(s->CmdCancel->text(), QStringLiteral("Finished"));
        QVERIFY(s->CmdViewClip->isVisible() && s->CmdViewClip->isEnabled());
        QVERIFY(s->CmdDelSource->isVisible() && s->CmdDelSource->isEnabled());
        QVERIFY(s->LblFileNow->text().isEmpty());
        QCOMPARE(s->LblFilePercent->text(), QStringLiteral("100%"));
        QCOMPARE(s->LblBatchPercent->text(), QStringLiteral("100%"));
        QCOMPARE(s->ProgressBarFile->value(), 0);
        QCOMPARE(s->ProgressBarBatch->value(), 0);
        QVERIFY((s->geometry().center() - f.w.geometry().center()).manhattanLength() <= 4);
        QCOMPARE(f.fake.beeps, 1);
        QVERIFY(f.fake.messages.isEmpty());
        QCOMPARE(f.fiveButtons(), QStringLiteral("11111"));

        // The save dialog, the free-space query and the remembered folder.
        QCOMPARE(f.fake.dialogs.size(), 1);
        QCOMPARE(f.fake.dialogs[0].kind, QStringLiteral("save"));
        QCOMPARE(f.fake.dialogs[0].dir, folderBefore);
        QCOMPARE(f.fake.dialogs[0].filters, (QStringList{QStringLiteral("MPG Files (*.mpg)"),
                                                         QStringLiteral("All Files (*)")}));
        QCOMPARE(f.fake.freeSpaceQueries, QStringList{outFolder});
        QCOMPARE(f.w.live().folderText(LiveSettings::TargetFolder), outFolder);
        QCOMPARE(f.w.settings().TargetDir.value_or(QString()), outFolder);
        QVERIFY(QFile::exists(a) && QFile::exists(b) && QFile::exists(c) && QFile::exists(d));
    }

    void emptyFilesEndAsJoined()
    {
        // Nothing to copy at all: no division by zero, the join is complete.
        Fixture f;
        f.queueFile(QStringLiteral("a.mpg"), 0, 1);
        f.queueFile(QStringLiteral("b.mpg"), 0, 2);
        const QString target =
            TestSupport::makeFile(f.files.path(), QStringLiteral("t.mpg"), 500, 3);
        f.join(target);
        frmJoinStatus* s = f.status();
        QCOMPARE(s->ending(), frmJoinStatus::Ending::Joined);
        QCOMPARE(QFileInfo(target).size(), qint64(0));
        QCOMPARE(s->LblFilePercent->text(), QStringLiteral("100%"));
        QCOMPARE(s->LblBatchPercent->text(), QStringLiteral("100%"));
        QCOMPARE(s->windowTitle(), QStringLiteral("Joining Files...Done!"));

        // An empty file last: the one before it ends whole, the last shows 100%.
        Fixture g;
        g.queueFile(QStringLiteral("a.mpg"), 25000, 1);
        g.queueFile(QStringLiteral("b.mpg"), 0, 2);
        g.join(g.path(QStringLiteral("t.mpg")));
        QCOMPARE(readAll(g.path(QStringLiteral("t.mpg"))), TestSupport::pattern(25000, 1));
        QCOMPARE(g.status()->LblFilePercent->text(), QStringLiteral("100%"));
        QCOMPARE(g.status()->ending(), frmJoinStatus::Ending::Joined);
    }

    void targetFolderIsNotRememberedWhenItsBoxIsClear()
    {
        Fixture f;
        f.tick(LiveSettings::RememberTarget, false);
        const QString before = f.w.live().folderText(LiveSettings::TargetFolder);
        f.queueFile(QStringLiteral("a.mpg"), 1000, 1);
        QVERIFY(QDir(f.files.path()).mkpath(QStringLiteral("out")));
        f.join(f.path(QStringLiteral("out/t.mpg")));
        QCOMPARE(f.status()->ending(), frmJoinStatus::Ending::Joined);
        QCOMPARE(readAll(f.path(QStringLiteral("out/t.mpg"))), TestSupport::pattern(1000, 1));
        QCOMPARE(f.w.live().folderText(LiveSettings::TargetFolder), before);
        QCOMPARE(f.w.settings().TargetDir.value_or(QString()), before);

        QCOMPARE(frmJoinStatus::folderOf(QStringLiteral("/t.mpg")), QStringLiteral("/"));
        QCOMPARE(frmJoinStatus::folderOf(QStringLiteral("/a/b/t.mpg")), QStringLiteral("/a/b"));
    }

    void cancelledSaveDialogShowsNothing()
    {
        Fixture f;
        f.queueFile(QStringLiteral("a.mpg"), 1000, 1);
        f.w.CmdJoin_Click(); // no answer prepared: the user cancels
        QCOMPARE(f.fake.dialogs.size(), 1);
        QVERIFY(!f.status());
        QCOMPARE(TestSupport::visibleTopLevels(), QStringList{QStringLiteral("frmReelbind")});
        QVERIFY(f.fake.freeSpaceQueries.isEmpty());
        QVERIFY(f.fake.messages.isEmpty());
        QCOMPARE(f.fake.beeps, 0);
        QCOMPARE(f.fiveButtons(), QStringLiteral("11111"));
    }

    void targetThatIsAQueuedSourceIsRefused_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("same path") << "path";
        QTest::newRow("hard link") << "link";
        QTest::newRow("roundabout path") << "dots";
    }
    void targetThatIsAQueuedSourceIsRefused()
    {
        QFETCH(QString, how);
        Fixture f;
        f.queueFile(QStringLiteral("a.mpg"), 30000, 1);
        const QString b = f.queueFile(QStringLiteral("b.mpg"), 25000, 2);
        QString target = b;
        if (how == QLatin1String("link")) {
            target = f.path(QStringLiteral("other-name.mpg"));
            QVERIFY(::link(QFile::encodeName(b).constData(),
                           QFile::encodeName(target).constData()) == 0);
        } else if (how == QLatin1String("dots")) {
            QVERIFY(QDir(f.files.path()).mkpath(QStringLiteral("sub")));
            target = f.path(QStringLiteral("sub/../b.mpg"));
        }
        const QString folderBefore = f.w.live().folderText(LiveSettings::TargetFolder);
        f.join(target);

        QCOMPARE(f.fake.messages,
                 QStringList{QStringLiteral("The target file is one of the files to be joined. "
                                            "Please choose another target file.")});
        QCOMPARE(readAll(b), TestSupport::pattern(25000, 2));
        QVERIFY(!f.status());
        QCOMPARE(TestSupport::visibleTopLevels(), QStringList{QStringLiteral("frmReelbind")});
        QVERIFY(f.fake.freeSpaceQueries.isEmpty());
        QCOMPARE(f.w.live().folderText(LiveSettings::TargetFolder), folderBefore);
        QCOMPARE(f.fiveButtons(), QStringLiteral("11111"));
    }

    void freeSpaceCheck_data()
    {
        QTest::addColumn<bool>("queryFails");
        QTest::addColumn<qint64>("freeAboveNeed");
        QTest::addColumn<bool>("joins");
        QTest::newRow("exactly the need") << false << qint64(0) << false;
        QTest::newRow("one byte less") << false << qint64(-1) << false;
        QTest::newRow("one byte more") << false << qint64(1) << true;
        QTest::newRow("query fails") << true << qint64(0) << true;
    }
    void freeSpaceCheck()
    {
        QFETCH(bool, queryFails);
        QFETCH(qint64, freeAboveNeed);
        QFETCH(bool, joins);
        Fixture f;
        f.tick(LiveSettings::ClearQue, true);
        // Shown as 1.00 and 0.50 MB: the need is 1,572,864 bytes.
        f.queueFile(QStringLiteral("a.mpg"), 1048576, 1);
        f.queueFile(QStringLiteral("b.mpg"), 524288, 2);
        f.fake.setFreeSpace(queryFails ? std::nullopt
                                       : std::optional<qint64>(1572864 + freeAboveNeed));
        const QString folderBefore = f.w.live().folderText(LiveSettings::TargetFolder);
        const QString target = f.path(QStringLiteral("t.mpg"));
        f.join(target);

        frmJoinStatus* s = f.status();
        QVERIFY(s && s->isVisible());
        QCOMPARE(f.fake.freeSpaceQueries, QStringList{f.files.path()});
        QCOMPARE(f.fiveButtons(), QStringLiteral("11111"));
        if (joins) {
            QCOMPARE(s->ending(), frmJoinStatus::Ending::Joined);
            QCOMPARE(readAll(target),
                     TestSupport::pattern(1048576, 1) + TestSupport::pattern(524288, 2));
            return;
        }
        QCOMPARE(f.fake.messages, QStringList{kNoSpace});
        QVERIFY(!QFile::exists(target));
        QCOMPARE(f.w.live().folderText(LiveSettings::TargetFolder), folderBefore);
        QCOMPARE(s->windowTitle(), QStringLiteral("Joining Files..."));
        QVERIFY(s->TextFinal->isVisible());
        QCOMPARE(finalText(s), kNoSpace);
        QCOMPARE(s->CmdCancel->text(), QStringLiteral("Finished"));
        QVERIFY(s->CmdViewClip->isHidden() && s->CmdDelSource->isHidden());
        QCOMPARE(f.fake.beeps, 0);

        // Finished clears the queue although nothing was joined.
        QTest::mouseClick(s->CmdCancel, Qt::LeftButton);
        QVERIFY(!f.status());
        QCOMPARE(f.w.queue()->count(), 0);
        QCOMPARE(f.w.LblEstFilesize->text(), QStringLiteral("Estimated Joined Filesize:  0.00 MB"));
        QCOMPARE(f.fiveButtons(), QStringLiteral("01001"));
    }

    void freeSpaceFiguresAreNotLimitedTo32Bits()
    {
        // 3 GiB shown as 3072.00 MB; the file itself is never reached.
        for (const qint64 free : {qint64(3) << 30, (qint64(3) << 30) + 1}) {
            Fixture f;
            f.queueExisting(QStringLiteral("huge.mpg"), f.files.path() + QLatin1Char('/'),
                            qint64(3) << 30);
            f.fake.setFreeSpace(free);
            f.join(f.path(QStringLiteral("t.mpg")));
            QCOMPARE(f.fake.messages.size(), 1);
            if (free == qint64(3) << 30)
                QCOMPARE(f.fake.messages[0], kNoSpace);
            else
                QVERIFY(f.fake.messages[0].contains(QStringLiteral("huge.mpg")));
            f.status()->close();
        }
    }

    void cancelDuringTheThirdChunkOfTheSecondFile_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("button") << "button";
        QTest::newRow("Esc") << "esc";
        QTest::newRow("Enter") << "enter";
    }
    void cancelDuringTheThirdChunkOfTheSecondFile()
    {
        QFETCH(QString, how);
        Fixture f;
        const qint64 size = 5 * 10000 + 1234;
        for (int i = 0; i < 4; ++i)
            f.queueFile(QStringLiteral("%1.mpg").arg(QChar('a' + i)), size, 10 + i);
        const QString target = f.path(QStringLiteral("t.mpg"));
        int roundsOfB = 0;
        {
            EachPump hook([&](int) {
                frmJoinStatus* s = f.status();
                if (!s->LblFileNow->text().contains(QStringLiteral("b.mpg")) || ++roundsOfB != 3)
                    return;
                if (how == QLatin1String("button"))
                    QTest::mouseClick(s->CmdCancel, Qt::LeftButton);
                else
                    QTest::keyClick(s,
                                    how == QLatin1String("esc") ? Qt::Key_Escape : Qt::Key_Return);
            });
            f.join(target);
            QCOMPARE(hook.count(), 5 + 3); // nothing pumps after the cancel
        }
        QCOMPARE(readAll(target), TestSupport::pattern(size, 10) + TestSupport::pattern(30000, 11));
        frmJoinStatus* s = f.status();
        QCOMPARE(s->ending(), frmJoinStatus::Ending::Cancelled);
        QCOMPARE(s->windowTitle(), QStringLiteral("Joining Files...Cancelled!"));
        QCOMPARE(finalText(s), QStringLiteral("Operation aborted by user"));
        QCOMPARE(s->CmdCancel->text(), QStringLiteral("Finished"));
        QVERIFY(s->CmdViewClip->isVisible() && !s->CmdViewClip->isEnabled());
        QVERIFY(s->CmdDelSource->isVisible() && !s->CmdDelSource->isEnabled());
        QVERIFY(s->LblFileNow->text().isEmpty());
        QCOMPARE(s->LblBatchPercent->text(), QStringLiteral("40%")); // 81,234 of 204,936
        QCOMPARE(s->LblFilePercent->text(), QStringLiteral("59%"));  // 30,000 of 51,234
        QCOMPARE(s->ProgressBarFile->value(), 0);
        QCOMPARE(s->ProgressBarBatch->value(), 0);
        QCOMPARE(f.fake.beeps, 1);
        QCOMPARE(f.fiveButtons(), QStringLiteral("11111"));
    }

    void keysAfterTheJoinActAsFinished_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Esc") << int(Qt::Key_Escape);
        QTest::newRow("Enter") << int(Qt::Key_Return);
    }
    void keysAfterTheJoinActAsFinished()
    {
        QFETCH(int, key);
        Fixture f;
        f.tick(LiveSettings::ClearQue, true);
        f.queueFile(QStringLiteral("a.mpg"), 15000, 1);
        f.join(f.path(QStringLiteral("t.mpg")));
        QCOMPARE(readAll(f.path(QStringLiteral("t.mpg"))), TestSupport::pattern(15000, 1));
        QPointer<frmJoinStatus> s = f.status();
        QVERIFY(s && s->isVisible());
        QTest::keyClick(s, Qt::Key(key));
        QVERIFY(!f.status());
        QVERIFY(!s || !s->isVisible());
        QCOMPARE(f.w.queue()->count(), 0);
        QTRY_VERIFY(s.isNull());
    }

    void failuresAreReported_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("expected"); // beginning of the message
        QTest::addColumn<bool>("targetLeft");
        QTest::newRow("deleted before") << "deleted"
                                        << "Could not read the size of file %1: " << false;
        QTest::newRow("folder queued") << "folder"
                                       << "Could not open file %1: " << false;
        QTest::newRow("vanishes during") << "vanishes"
                                         << "Could not open file %1: " << true;
        QTest::newRow("cut short during") << "truncated"
                                          << "Could not read file %1: it ended early" << true;
        QTest::newRow("full device") << "full"
                                     << "Could not write to the target file %1: " << true;
        QTest::newRow("folder gone") << "nofolder"
                                     << "Could not create the target file %1: " << false;
    }
    void failuresAreReported()
    {
        QFETCH(QString, fault);
        QFETCH(QString, expected);
        QFETCH(bool, targetLeft);
        Fixture f;
        f.tick(LiveSettings::ClearQue, true);
        f.queueFile(QStringLiteral("a.mpg"), 35000, 1);
        QString b = f.queueFile(QStringLiteral("b.mpg"), 45000, 2);
        f.queueFile(QStringLiteral("c.mpg"), 5000, 3);
        QString target = f.path(QStringLiteral("t.mpg"));
        QString named = b;
        std::function<void(int)> during = [](int) {};
        if (fault == QLatin1String("deleted")) {
            QVERIFY(QFile::remove(b));
        } else if (fault == QLatin1String("folder")) {
            QVERIFY(QFile::remove(b));
            QVERIFY(QDir(f.files.path()).mkdir(QStringLiteral("b.mpg")));
        } else if (fault == QLatin1String("vanishes")) {
            during = [&](int n) {
                if (n == 1)
                    QVERIFY(QFile::remove(b));
            };
        } else if (fault == QLatin1String("truncated")) {
            during = [&](int n) {
                if (n == 4) // first chunk of b
                    QVERIFY(::truncate(QFile::encodeName(b).constData(), 15000) == 0);
            };
        } else if (fault == QLatin1String("full")) {
            target = named = QStringLiteral("/dev/full");
        } else if (fault == QLatin1String("nofolder")) {
            target = named = f.path(QStringLiteral("gone/t.mpg"));
        }
        {
            EachPump hook(during);
            f.join(target);
        }

        QCOMPARE(f.fake.messages.size(), 1);
        const QString message = f.fake.messages[0];
        QVERIFY2(message.startsWith(expected.arg(named)), qPrintable(message));
        QVERIFY2(
            message.endsWith((targetLeft ? QStringLiteral("The target file %1 was left incomplete.")
                                         : QStringLiteral("The target file %1 was not created."))
                                 .arg(target)),
            qPrintable(message));
        if (target != QLatin1String("/dev/full"))
            QCOMPARE(QFile::exists(target), targetLeft);
        frmJoinStatus* s = f.status();
        QCOMPARE(s->ending(), frmJoinStatus::Ending::Failed);
        QCOMPARE(s->windowTitle(), QStringLiteral("Joining Files...Failed!"));
        QVERIFY(s->TextFinal->isVisible());
        QCOMPARE(finalText(s), message);
        QCOMPARE(s->CmdCancel->text(), QStringLiteral("Finished"));
        QVERIFY(s->CmdViewClip->isHidden() && s->CmdDelSource->isHidden());
        QCOMPARE(f.fiveButtons(), QStringLiteral("11111"));

        // Finished as after a cancelled join: the clear-queue step runs.
        QTest::mouseClick(s->CmdCancel, Qt::LeftButton);
        QVERIFY(!f.status());
        QCOMPARE(f.w.queue()->count(), 0);
    }

    void queueChangedDuringTheRunDoesNotChangeWhatIsJoined()
    {
        Fixture f;
        f.queueFile(QStringLiteral("a.mpg"), 25000, 1);
        f.queueFile(QStringLiteral("b.mpg"), 25000, 2);
        TestSupport::makeFile(f.files.path(), QStringLiteral("x.mpg"), 9000, 9);
        const QString target = f.path(QStringLiteral("t.mpg"));
        {
            EachPump hook([&](int n) {
                if (n != 1)
                    return;
                f.w.queue()->removePositions({0});
                f.w.queue()->append(
                    {QueueRow{QStringLiteral("x.mpg"), f.files.path() + QLatin1Char('/'),
                              Format::megabytes(9000)}});
            });
            f.join(target);
        }
        QCOMPARE(readAll(target), TestSupport::pattern(25000, 1) + TestSupport::pattern(25000, 2));
        QCOMPARE(f.status()->joinedRows().size(), 2);
    }

    void filesOverTwoGibibytesKeepTheBarsInRange()
    {
        Fixture f;
        f.w.SldrChunkSize->setValue(70000);
        const qint64 big = qint64(3) << 30;
        {
            QFile sparse(f.path(QStringLiteral("big.mpg")));
            QVERIFY(sparse.open(QIODevice::WriteOnly));
            QVERIFY(sparse.resize(big));
        }
        f.queueExisting(QStringLiteral("big.mpg"), f.files.path() + QLatin1Char('/'), big);
        f.queueFile(QStringLiteral("small.mpg"), 1000, 1);
        int lastBatch = 0;
        bool inRange = true;
        bool labelsExact = true;
        QString percentPastHalf;
        std::unique_ptr<QSignalSpy> fileBarMoves, batchBarMoves;
        {
            EachPump hook([&](int n) {
                frmJoinStatus* s = f.status();
                if (n == 1) {
                    fileBarMoves = std::make_unique<QSignalSpy>(s->ProgressBarFile,
                                                                &QProgressBar::valueChanged);
                    batchBarMoves = std::make_unique<QSignalSpy>(s->ProgressBarBatch,
                                                                 &QProgressBar::valueChanged);
                }
                const int fileBar = s->ProgressBarFile->value();
                const int batchBar = s->ProgressBarBatch->value();
                inRange = inRange && fileBar >= 0 && fileBar <= s->ProgressBarFile->maximum() &&
                          batchBar >= lastBatch && batchBar <= s->ProgressBarBatch->maximum();
                // Every pump sees the figures of its own round, none skipped.
                const double done = double(n) * 70000;
                labelsExact =
                    labelsExact &&
                    s->LblBatchPercent->text() ==
                        QStringLiteral("%1%").arg(std::llround(done * 100 / (big + 1000))) &&
                    s->LblFilePercent->text() ==
                        QStringLiteral("%1%").arg(std::llround((done - 70000) * 100 / big));
                lastBatch = batchBar;
                if (n == 30678) // 2,147,460,000 bytes, just under 2 GiB: 2/3 of the batch
                    percentPastHalf = s->LblBatchPercent->text();
            });
            // Nothing to keep: the null device swallows 3 GiB at once. (The bytes of
            // such a join are compared in the copy loop's own test.)
            f.join(QStringLiteral("/dev/null"));
            QCOMPARE(hook.count(), int(big / 70000));
        }
        QVERIFY(inRange);
        QVERIFY(labelsExact);
        // 46,017 rounds, but a bar only moves when it grows by a pixel.
        // (plus a reset and a full bar for the small file, and the reset at the end)
        QVERIFY2(fileBarMoves->count() <= f.status()->ProgressBarFile->width() + 4,
                 qPrintable(QString::number(fileBarMoves->count())));
        QVERIFY(batchBarMoves->count() <= f.status()->ProgressBarBatch->width() + 2);
        QVERIFY(batchBarMoves->count() > 100);
        QVERIFY(lastBatch > frmJoinStatus::kBarRange * 99 / 100); // the tails follow the last pump
        QCOMPARE(percentPastHalf, QStringLiteral("67%"));
        frmJoinStatus* s = f.status();
        QCOMPARE(s->ending(), frmJoinStatus::Ending::Joined);
        QCOMPARE(s->LblBatchPercent->text(), QStringLiteral("100%"));
        QCOMPARE(s->LblFilePercent->text(), QStringLiteral("100%"));
    }
};

QTEST_MAIN(TestJoinStatus)
#include "test_status.moc"
