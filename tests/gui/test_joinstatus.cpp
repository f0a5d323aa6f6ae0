// The status window through the main window: what it shows while a join
// runs and at each ending, its buttons afterwards, and its lifetime.
#include "gui/JoinStatusDialog.h"
#include "platform/SignalWatcher.h"
#include "support/GuiSupport.h"

#include <QtTest>
#include <QtWidgets>
#include <csignal>

using namespace TestSupport;

namespace {

/// A shown main window; rounds of one chunk, so one pump each.
struct Joining : App
{
    Joining()
    {
        window->show();
        join().byteCopy().setOptions({true, 1});
    }
    JoinStatusDialog* status() const { return window->statusWindow(); }
    /// Join pressed, the save dialog answering `target`.
    void run(const QString& target)
    {
        desktop.setNextSaveFile(target);
        child<QPushButton>(window.get(), "CmdJoin")->click();
    }
};

QString text(const QWidget* w, const char* name)
{
    const QObject* c = child<QObject>(w, name);
    return c->property(c->inherits("QProgressBar") ? "value" : "text").toString();
}

/// "hidden", "disabled" or "enabled": View Joined MPG and Delete Source Files alike.
QString actions(const QWidget* s)
{
    QStringList looks;
    for (const char* name : {"CmdViewClip", "CmdDelSource"}) {
        const QWidget* b = child(s, name);
        looks << (b->isHidden() ? "hidden" : b->isEnabled() ? "enabled" : "disabled");
    }
    return looks[0] == looks[1] ? looks[0] : "mixed";
}

} // namespace

class TestJoinStatus : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initGuiTest(); }
    void cleanup() { QVERIFY(closeAllTopLevels().isEmpty()); }

    void endings_data()
    {
        // "how key > after": the join ends (Cancel by key or an act in pump 3); key leaves.
        // After: caption, texts | actions | box/beep | pumps | queued, kept, asked | windows, saved
        QTest::addColumn<QString>("row");
        for (const char* row : {
                 "done Esc > Done! 100% 100% | enabled | beep | 7 | 0 1 0 | 1 0",
                 "done close > Done! 100% 100% | enabled | beep | 7 | 4 1 0 | 1 0",
                 "done no > Done! 100% 100% | enabled | beep | 7 | 0 1 1 | 1 0",
                 "done yes > Done! 100% 100% | enabled | beep | 7 | 0 0 1 | 1 0",
                 // No trash takes the files: asked again, then deleted for good.
                 "done notrash > Done! 100% 100% | enabled | beep | 7 | 0 0 2 | 1 0",
                 "done join > Done! 100% 100% | enabled | beep beep | 7 | 4 1 0 | 2 0",
                 "cancel Enter > Cancelled! 86% 50% | disabled | beep | 3 | 0 1 0 | 1 0",
                 "cancel Esc > Cancelled! 86% 50% | disabled | beep | 3 | 0 1 0 | 1 0",
                 "full Esc > Failed! 0% 58% | hidden | box | 4 | 0 1 0 | 1 0",
                 "nospace Enter > 0% 0% | hidden | box first | 0 | 0 1 0 | 1 0",
                 // No window without a target; none closes under the running join.
                 "nosave - > gone | - |  | 0 | 4 1 0 | 1 0",
                 "source - > gone | - | box first | 0 | 4 1 0 | 1 0",
                 "exit - > gone | - | beep | 3 | 4 1 0 | 0 1",
                 "close main > gone | - | beep | 3 | 4 1 0 | 0 0",
                 "close status > gone | - | beep | 3 | 4 1 0 | 1 0",
             })
            QTest::newRow(QByteArray(row).split('>')[0].trimmed().constData()) << QString(row);
    }
    void endings()
    {
        QFETCH(QString, row);
        const QString how = row.section(' ', 0, 0), key = row.section(' ', 1, 1);
        Joining f;
        const QList<qint64> sizes = {35000, 0, 20000, 5000}; // b adds nothing and no pump
        QStringList joined;
        for (int i = 0; i < 4; ++i)
            joined << sized(f.folder.path(), "abcd"[i] + QString(".mpg"), sizes[i]);
        f.queue().add(joined);
        f.prefs().setChunkSize(10000);
        f.prefs().setCheckState(SettingId::ClearQue, 1); // Finished and Delete clear the queue
        f.files.setFreeSpace(how == "nospace" ? 0 : qint64(1) << 40);
        const QString target =
            how == "nosave" ? "" : f.folder.filePath(how == "source" ? "a.mpg" : "t.mpg");
        f.files.diskLeft = how == "full" ? 40000 : -1; // the disk fills up at the end
        QString box; // the status window is up at the box, or it comes first
        f.desktop.setOnMessage(
            [&](const QString&) { box = f.status()->isVisible() ? "box" : "box first"; });
        QPointer<JoinStatusDialog> s;
        QStringList figures;
        f.pump.onPump = [&](int n) {
            s = f.status();
            if (n == 3 && how == "cancel")
                QTest::keyClick(s, QKeySequence(key)[0].key());
            else if (n == 3 && how == "exit")
                child<QAction>(f.window.get(), "mnu_Exit")->trigger();
            else if (n == 3 && how == "close")
                QVERIFY(!(key == "main" ? f.window->close() : s->close()));
            const bool steady = f.window->isVisible() && s->isVisible() && f.join().isRunning() &&
                                child(s, "TextFinal")->isHidden() && actions(s) == "hidden" &&
                                s->windowTitle() + text(s, "CmdCancel") == "Joining Files...Cancel";
            figures << text(s, "LblFileNow").section(' ', n == 1 ? 0 : 3, n == 1 ? -1 : 3) + ' ' +
                           QStringList({text(s, "LblFilePercent"), text(s, "LblBatchPercent"),
                                        text(s, "ProgressBarFile"), text(s, "ProgressBarBatch")})
                               .join(' ') +
                           (steady ? "" : " (window changed)");
        };
        f.run(target);
        f.pump.onPump = nullptr;
        // The file's line (then only its name); one pump a round (a chunk, or a tail), the file
        // figure showing the file as it stood before the chunk, the bars as it stands after.
        const QStringList all = {"Now joining file: a.mpg to " + target +
                                     " using a chunk size of 10,000 bytes 0% 17% 285 166",
                                 "a.mpg 29% 33% 571 333",
                                 "a.mpg 57% 50% 857 500",
                                 "a.mpg 100% 58% 1000 583",
                                 "c.mpg 0% 75% 500 750",
                                 "c.mpg 100% 92% 1000 916",
                                 "d.mpg 100% 100% 1000 1000"};
        QCOMPARE(figures, all.mid(0, figures.size()));
        QString seen = "gone | -";
        if (JoinStatusDialog* now = f.status()) {
            s = now;
            seen = QString("%1 %2 %3 %4 | %5") // the texts keep their last figures
                       .arg(s->windowTitle().mid(16), text(s, "LblFileNow"),
                            text(s, "LblFilePercent"), text(s, "LblBatchPercent"), actions(s))
                       .simplified();
            const QString final = f.join().finalText();
            QVERIFY(s->isVisible() && child(s, "TextFinal")->isVisible() && !final.isEmpty());
            QCOMPARE(unnamedControls(s), QStringList());
            QCOMPARE(child<QPlainTextEdit>(s, "TextFinal")->toPlainText() + '|' +
                         text(s, "CmdCancel") + '|' + text(s, "CmdViewClip") + '|' +
                         text(s, "CmdDelSource"),
                     final + "|Finished|View Joined MPG|Delete Source Files");
            QCOMPARE(f.desktop.messages, QStringList(final).mid(0, !box.isEmpty()));
            QCOMPARE(text(s, "ProgressBarFile") + text(s, "ProgressBarBatch"), "00");
            for (int i = 0; i < 2 && how == "done"; ++i)
                QTest::mouseClick(child(s, "CmdViewClip"), Qt::LeftButton);
            QCOMPARE(f.desktop.opened, QStringList(how == "done" ? 2 : 0, target));
            f.desktop.setNextAnswer(key == "yes" || key == "notrash");
            f.desktop.setNextAnswer(key == "notrash");
            f.files.noTrash = key == "notrash";
            if (key == "close")
                QVERIFY(s->close());
            else if (key == "yes" || key == "no" || key == "notrash")
                QTest::mouseClick(child(s, "CmdDelSource"), Qt::LeftButton);
            else if (key == "join") // the old window goes; the new join runs on its own
                f.run(f.folder.filePath("again.mpg"));
            else
                QTest::keyClick(s, QKeySequence(key)[0].key());
        }
        QTRY_VERIFY(!s);
        const QString sure = "Delete Source Files?|Are you sure you want to delete the source "
                             "files?  These files will be PERMANENTLY deleted.";
        QCOMPARE(f.desktop.questions.join('#'),
                 (QStringList{sure, "Delete Source Files?|" +
                                        AfterJoin::deleteForGoodQuestion(joined.mid(0, 4))})
                     .mid(0, f.desktop.questions.size())
                     .join('#'));
        seen += " | " + (box + QString(" beep").repeated(f.desktop.beeps)).trimmed() +
                QString::asprintf(" | %d | %d %d %d | %d %d", int(figures.size()),
                                  int(f.queue().count()), QFile::exists(joined[0]),
                                  int(f.desktop.questions.size()), int(visibleTopLevels().size()),
                                  f.iniBytes() != f.firstStartIni());
        QCOMPARE(seen, row.section(" > ", 1));
    }

    // Logout, Ctrl+C or kill end the program as the close box does, as main() wires them:
    // a running join is cancelled first and leaves its whole chunks; nothing is saved.
    void signalEndsLikeTheCloseBox_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("joining");
        for (const auto& [name, number] :
             {std::pair{"TERM", SIGTERM}, {"INT", SIGINT}, {"HUP", SIGHUP}})
            for (bool joining : {false, true})
                QTest::addRow("%s%s", name, joining ? " during a join" : "") << number << joining;
    }
    void signalEndsLikeTheCloseBox()
    {
        QFETCH(int, number);
        QFETCH(bool, joining);
        Joining f;
        SignalWatcher stop({SIGTERM, SIGINT, SIGHUP});
        connect(&stop, &SignalWatcher::received, f.window.get(), &QWidget::close);
        f.prefs().setChunkSize(10000);
        f.settings()[SettingId::ClearQue] = QStringLiteral("1"); // would be saved by Exit
        const QString target = f.folder.filePath("t.mpg");
        f.queue().add({makeFile(f.folder.path(), "a.mpg", 55000, 1)});
        if (joining) {
            f.pump.onPump = [&](int n) {
                if (n == 2)
                    ::raise(number);
            };
            f.run(target);
            QCOMPARE(f.join().ending(), JoinSession::Ending::Cancelled);
            QVERIFY(readAll(target).size() % 10000 == 0);
        } else {
            ::raise(number);
        }
        QTRY_VERIFY(f.program->isClosing());
        QTRY_VERIFY(visibleTopLevels().isEmpty());
        QCOMPARE(f.iniBytes(), f.firstStartIni());
    }

    // Files that will not play joined: the question comes before the save dialog, Enter
    // answers No, and No ends the join as a cancelled save dialog does.
    void kindsAskBeforeTheSaveDialog_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<bool>("yes");
        QTest::newRow("mp4 and mpeg, No") << "mp4 mpg" << false;
        QTest::newRow("mp4 and mpeg, Yes") << "mp4 mpg" << true;
        QTest::newRow("mpeg only") << "mpg mpg" << false;
    }
    void kindsAskBeforeTheSaveDialog()
    {
        QFETCH(QString, queue);
        QFETCH(bool, yes);
        Joining f;
        QByteArray all;
        QStringList names;
        for (const QString& kind : queue.split(' ')) {
            const QByteArray bytes = (kind == "mp4" ? QByteArray("\0\0\0\x18"
                                                                 "ftypmp42",
                                                                 12)
                                                    : QByteArray::fromHex("000001BA")) +
                                     pattern(30000, names.size());
            names << f.folder.filePath(QString("%1.%2").arg(names.size()).arg(kind));
            QFile file(names.last());
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
            all += bytes;
        }
        f.queue().add(names);
        const QString target = f.folder.filePath("t.mpg");
        f.desktop.setNextAnswer(yes);
        f.run(target);
        const bool asked = queue.contains("mp4");
        QStringList kinds;
        for (const QString& call : std::as_const(f.desktop.calls))
            kinds << call.section(':', 0, 0);
        QCOMPARE(kinds.join(' '), asked ? (yes ? "yesno save beep" : "yesno") : "save beep");
        QCOMPARE(f.desktop.questions.join('#').section('|', 0, 0), asked ? "Join Files?" : "");
        QCOMPARE(f.desktop.questionDefaults, QList<Desktop::Default>(asked, Desktop::Default::No));
        QCOMPARE(f.join().ending(),
                 asked && !yes ? JoinSession::Ending::NoTarget : JoinSession::Ending::Joined);
        QCOMPARE(readAll(target), asked && !yes ? QByteArray("<missing>") : all);
        QCOMPARE(bool(f.status()), !asked || yes);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr); // busy only while files are read
        for (const char* name : {"CmdJoin", "CmdAdd", "CmdExit"})
            QVERIFY(child(f.window.get(), name)->isEnabled());
    }
};

QTEST_MAIN(TestJoinStatus)
#include "test_joinstatus.moc"
