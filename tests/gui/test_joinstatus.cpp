// The status window through the main window: what it shows while a join
// runs and at each ending, its buttons afterwards, and its lifetime.
#include "gui/frmAbout.h"
#include "gui/frmJoinStatus.h"
#include "gui/frmReelbind.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QtTest>
#include <cmath>

namespace {

const QString kNoSpace = QStringLiteral(
    "The drive you have selected does not have enough free space to save the joined movie to.");

/// A shown main window, chunk size 10,000, with files queued from its program folder.
struct Joining : TestSupport::App
{
    frmReelbind& w = *window;
    Joining(std::initializer_list<qint64> sizes = {}, int chunk = 10000)
    {
        w.SldrChunkSize->setValue(chunk);
        w.show();
        QStringList paths;
        for (qint64 size : sizes)
            paths << TestSupport::makeFile(
                folder.path(), QString("%1.mpg").arg(QChar(char16_t('a' + paths.size()))), size,
                paths.size() + 1);
        if (!paths.isEmpty()) {
            desktop.setNextOpenFiles(paths);
            w.CmdAdd->click();
        }
    }
    QString path(const QString& name) const { return folder.path() + '/' + name; }
    frmJoinStatus* status() const { return w.statusWindow(); }
    void join(const QString& target)
    {
        desktop.setNextSaveFile(target);
        w.CmdJoin_Click();
    }
    /// Add, Remove, Clear, Join, Exit enabled as 0/1.
    QString buttons() const
    {
        QString out;
        for (const QPushButton* b : {w.CmdAdd, w.CmdRemove, w.CmdClear, w.CmdJoin, w.CmdExit})
            out += b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return out;
    }
};

/// Presses Cancel (later Finished): "click", "Esc" or "Enter".
void press(frmJoinStatus* s, const QString& key)
{
    if (key == "click")
        QTest::mouseClick(s->CmdCancel, Qt::LeftButton);
    else
        QTest::keyClick(s, key == "Esc" ? Qt::Key_Escape : Qt::Key_Return);
}

/// "hidden", "disabled" or "enabled": View Joined MPG and Delete Source Files alike.
QString actions(const frmJoinStatus* s)
{
    const bool shown = s->CmdViewClip->isVisible(), on = s->CmdViewClip->isEnabled();
    if (shown != s->CmdDelSource->isVisible() || on != s->CmdDelSource->isEnabled())
        return QStringLiteral("mixed");
    return !shown ? QStringLiteral("hidden")
           : on   ? QStringLiteral("enabled")
                  : QStringLiteral("disabled");
}

} // namespace

class TestJoinStatus : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    void showsEveryStepThenDone()
    {
        // The empty b adds nothing and no pump.
        Joining f({35000, 0, 20000, 5000});
        const QString target = f.path("joined.mpg");
        QStringList lines, figures;
        bool steady = true;
        {
            TestSupport::EachPump hook([&](int) {
                const frmJoinStatus* s = f.status();
                if (lines.isEmpty() || lines.last() != s->LblFileNow->text())
                    lines << s->LblFileNow->text();
                figures << QStringLiteral("%1 %2 %3 %4")
                               .arg(s->LblFilePercent->text(), s->LblBatchPercent->text())
                               .arg(s->ProgressBarFile->value())
                               .arg(s->ProgressBarBatch->value());
                steady = steady && s->isVisible() && s->TextFinal->isHidden() &&
                         s->windowTitle() == "Joining Files..." &&
                         s->CmdCancel->text() == "Cancel" && actions(s) == "hidden" &&
                         f.buttons() == "00000";
            });
            f.join(target);
        }
        const QString line =
            "Now joining file: %1 to " + target + " using a chunk size of 10,000 bytes";
        QCOMPARE(lines, (QStringList{line.arg("a.mpg"), line.arg("c.mpg")}));
        // One pump per whole chunk; the file figure shows the file as it
        // stood before the chunk, the bars as it stands after.
        QCOMPARE(figures, (QStringList{"0% 17% 285 166", "29% 33% 571 333", "57% 50% 857 500",
                                       "0% 75% 500 750", "50% 92% 1000 916"}));
        QVERIFY(steady);

        const frmJoinStatus* s = f.status();
        QVERIFY(s->LblFileNow->text().isEmpty());
        QCOMPARE(s->LblFilePercent->text() + s->LblBatchPercent->text(), "100%100%");
        QCOMPARE(s->CmdViewClip->text() + '|' + s->CmdDelSource->text(),
                 "View Joined MPG|Delete Source Files");
    }

    void endings_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("key"); // presses Cancel in pump 3 (to cancel), then Finished
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text"); // {t}: the target; empty: the failure's own
        QTest::addColumn<QString>("actions");
        const auto row = [](const char* name, const char* how, const char* key, const char* title,
                            const QString& text, const char* actions) {
            QTest::newRow(name) << QString(how) << QString(key) << QString(title) << text
                                << QString(actions);
        };
        row("done, Finished by click", "done", "click", "Joining Files...Done!",
            "File {t} has successfully been joined!", "enabled");
        for (const char* key : {"click", "Esc", "Enter"})
            row(qPrintable(QStringLiteral("cancelled by ") + key), "cancel", key,
                "Joining Files...Cancelled!", "Operation aborted by user", "disabled");
        row("failed", "full", "Esc", "Joining Files...Failed!", {}, "hidden");
        row("no space", "nospace", "Enter", "Joining Files...", kNoSpace, "hidden");
    }
    void endings()
    {
        QFETCH(QString, how);
        QFETCH(QString, key);
        QFETCH(QString, text);
        Joining f({51234, 51234});
        f.prefs().setCheckState(Preferences::ClearQue, 1);
        f.files.setFreeSpace(how == "nospace" ? 0 : qint64(1) << 40);
        const QString target = how == "full" ? QStringLiteral("/dev/full") : f.path("t.mpg");
        bool shownAtMessage = true;
        f.desktop.setOnMessage([&](const QString&) { shownAtMessage = f.status()->isVisible(); });
        {
            TestSupport::EachPump hook([&](int n) {
                if (how == "cancel" && n == 3)
                    press(f.status(), key);
            });
            f.join(target);
        }
        QPointer<frmJoinStatus> s = f.status();
        QVERIFY(s && s->isVisible() && s->TextFinal->isVisible());
        QTEST(s->windowTitle(), "title");
        QTEST(actions(s), "actions");
        QCOMPARE(s->CmdCancel->text(), "Finished");
        QCOMPARE(s->ProgressBarFile->value() + s->ProgressBarBatch->value(), 0);
        const QString shown = s->TextFinal->toPlainText();
        if (text.isEmpty())
            QVERIFY(shown.contains(target));
        else
            QCOMPARE(shown, text.replace("{t}", target));
        const bool box = how == "full" || how == "nospace";
        QCOMPARE(f.desktop.messages, box ? QStringList(shown) : QStringList());
        QCOMPARE(shownAtMessage, how != "nospace"); // no space: the box comes first
        QCOMPARE(f.desktop.beeps, box ? 0 : 1);
        QCOMPARE(f.buttons(), "11111");
        // The same key again is Finished: the window goes and the queue is cleared.
        press(s, key);
        QVERIFY(!f.status());
        QCOMPARE(f.queue().count(), 0);
        QTRY_VERIFY(s.isNull());
    }

    void noWindowWithoutATarget()
    {
        Joining f({25000});
        f.join(QString()); // the save dialog cancelled
        f.join(f.path("a.mpg"));
        QCOMPARE(f.desktop.messages.size(), 1); // the target is a source
        QVERIFY(!f.status());
        QCOMPARE(TestSupport::visibleTopLevels(), QStringList{"frmReelbind"});
        QCOMPARE(f.buttons(), "11111");
    }

    void afterTheJoin_data()
    {
        QTest::addColumn<QString>("act");
        QTest::addColumn<int>("confirm"); // ConfirmDel
        QTest::addColumn<bool>("yes");
        QTest::newRow("close box: no clearing") << "close" << 1 << false;
        QTest::newRow("Delete, No") << "delete" << 1 << false;
        QTest::newRow("Delete, Yes") << "delete" << 1 << true;
        QTest::newRow("Delete unasked") << "delete" << 0 << false;
    }
    void afterTheJoin()
    {
        QFETCH(QString, act);
        QFETCH(int, confirm);
        QFETCH(bool, yes);
        Joining f({25000});
        f.prefs().setCheckState(Preferences::ClearQue, 1);
        f.prefs().setCheckState(Preferences::ConfirmDel, confirm);
        f.join(f.path("t.mpg"));
        QPointer<frmJoinStatus> s = f.status();
        QTest::mouseClick(s->CmdViewClip, Qt::LeftButton);
        QTest::mouseClick(s->CmdViewClip, Qt::LeftButton);
        QCOMPARE(f.desktop.opened, QStringList(2, f.path("t.mpg")));
        QVERIFY(f.status() == s && s->isVisible());

        f.desktop.setNextAnswer(yes);
        if (act == "close")
            QVERIFY(s->close());
        else
            QTest::mouseClick(s->CmdDelSource, Qt::LeftButton);
        const bool asked = act == "delete" && confirm;
        QCOMPARE(f.desktop.questions,
                 asked ? QStringList{"Delete Source Files?|Are you sure you want to delete the "
                                     "source files?  These files will be PERMANENTLY deleted."}
                       : QStringList());
        QCOMPARE(QFile::exists(f.path("a.mpg")), act == "close" || (asked && !yes));
        QCOMPARE(f.queue().count(), act == "close" ? 1 : 0);
        QVERIFY(!f.status());
        QTRY_VERIFY(s.isNull());
        QCOMPARE(TestSupport::visibleTopLevels(), QStringList{"frmReelbind"});
    }

    void actDuringOrAfterARun_data()
    {
        QTest::addColumn<QString>("act");
        QTest::addColumn<bool>("during");
        QTest::addColumn<QStringList>("left"); // the windows still open
        QTest::addColumn<bool>("saved");
        const QStringList none, main{"frmReelbind"}, both{"frmJoinStatus", "frmReelbind"};
        QTest::newRow("Exit during") << "exit" << true << none << true;
        QTest::newRow("about box Exit during") << "about" << true << none << true;
        QTest::newRow("main close box during") << "main close" << true << none << false;
        QTest::newRow("status close box during") << "status close" << true << main << false;
        QTest::newRow("Join during: ignored") << "join" << true << both << false;
        QTest::newRow("Join again after") << "join" << false << both << false;
    }
    void actDuringOrAfterARun()
    {
        QFETCH(QString, act);
        QFETCH(bool, during);
        QFETCH(QStringList, left);
        QFETCH(bool, saved);
        Joining f({51234, 51234});
        f.prefs().setCheckState(Preferences::ClearQue, 1);
        QVERIFY(QDir(f.folder.path()).mkdir("out"));
        const QString target = f.path("out/t.mpg"), second = f.path("second.mpg");
        const QByteArray iniBefore = f.iniBytes();
        QPointer<frmJoinStatus> first;
        const auto doAct = [&] {
            first = f.status();
            if (act == "exit") {
                f.w.mnu_Exit->trigger();
            } else if (act == "about") {
                f.w.mnu_About->trigger();
                QTest::mouseClick(f.w.aboutWindow()->CmdExit, Qt::LeftButton);
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
            TestSupport::EachPump hook([&](int n) {
                if (n == 2 && during) {
                    doAct();
                    // Nothing closes under the running join.
                    QVERIFY(f.w.isVisible() && first->isVisible() && first->isRunning());
                }
            });
            f.join(target);
            QCOMPARE(hook.count(), during && act != "join" ? 2 : 10); // cancelled at once
        }
        if (!during)
            doAct();

        QStringList open = TestSupport::visibleTopLevels();
        open.sort();
        QCOMPARE(open, left);
        QTRY_VERIFY(first.isNull() || left.contains("frmJoinStatus"));
        if (saved)
            QVERIFY(f.iniBytes().contains("TargetDir=" + QFile::encodeName(f.path("out")) + "\n"));
        else
            QCOMPARE(f.iniBytes(), iniBefore);
        if (!left.isEmpty()) {
            QCOMPARE(f.queue().count(), 2); // no clear-queue step
            QCOMPARE(f.buttons(), "11111");
        }
        if (act == "join") { // again: the old window goes and the new join runs on its own
            QCOMPARE(f.desktop.dialogs.size(), during ? 2 : 3); // Add's, then Join's
            QCOMPARE(f.program->join().target(), during ? target : second);
            QCOMPARE(f.status()->windowTitle(), "Joining Files...Done!");
            QTRY_VERIFY(during || first.isNull());
        }
    }

    void barsMoveByWholePixels()
    {
        // 300 MiB of holes and 1,000 bytes at 70,000 a chunk: thousands of
        // pumps, but a bar moves only when a pixel more is filled.
        Joining f({}, 70000);
        const qint64 big = qint64(300) << 20;
        f.desktop.setNextOpenFiles({TestSupport::sized(f.folder.path(), "big.mpg", big),
                                    TestSupport::makeFile(f.folder.path(), "small.mpg", 1000)});
        f.w.CmdAdd->click();
        int lastFile = 0, lastBatch = 0, fileMoves = 0, batchMoves = 0;
        bool inRange = true, labelsExact = true;
        {
            TestSupport::EachPump hook([&](int n) {
                const frmJoinStatus* s = f.status();
                const int fileBar = s->ProgressBarFile->value();
                const int batchBar = s->ProgressBarBatch->value();
                inRange = inRange && fileBar >= 0 && fileBar <= frmJoinStatus::kBarRange &&
                          batchBar >= lastBatch && batchBar <= frmJoinStatus::kBarRange;
                fileMoves += fileBar != lastFile;
                batchMoves += batchBar != lastBatch;
                lastFile = fileBar;
                lastBatch = batchBar;
                // Every pump sees the figures of its own round.
                const double done = double(n) * 70000;
                labelsExact =
                    labelsExact &&
                    s->LblBatchPercent->text() ==
                        QStringLiteral("%1%").arg(std::llround(done * 100 / (big + 1000))) &&
                    s->LblFilePercent->text() ==
                        QStringLiteral("%1%").arg(std::llround((done - 70000) * 100 / big));
            });
            f.join(QStringLiteral("/dev/null"));
            QCOMPARE(hook.count(), int(big / 70000));
        }
        QVERIFY(inRange);
        QVERIFY(labelsExact);
        QVERIFY(lastBatch > frmJoinStatus::kBarRange * 99 / 100);
        QVERIFY(fileMoves <= f.status()->ProgressBarFile->width());
        QVERIFY(batchMoves <= f.status()->ProgressBarBatch->width());
        QVERIFY(batchMoves >= f.status()->ProgressBarBatch->width() * 99 / 100);
        QCOMPARE(f.status()->windowTitle(), "Joining Files...Done!");
    }
};

QTEST_MAIN(TestJoinStatus)
#include "test_joinstatus.moc"
