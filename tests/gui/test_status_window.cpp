// The status window: a join seen through it and how it ends; the question before the save
// dialog; the desktop told of long joins; the outcome readable whole.
#include "support/GuiSupport.h"

#include <QtDBus>
#include <QtWidgets>

using namespace TestSupport;

namespace {

/// What the target holds at the end: what stood there before the join (nothing, older bytes or
/// a source), all four sources, or the two joined before a cancel.
enum class Left { Before, All, FirstTwo };

/// The desktop's side of the session bus: a notification service and a launcher that listens.
class FakeDesktopServices : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList notes, updates;
public slots:
    uint Notify(const QString& app, uint, const QString& icon, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap&, int)
    {
        return notes << QStringList{app, icon, summary, body}.join('|'), uint(notes.size());
    }
    void Update(const QString& app, const QVariantMap& p)
    {
        updates << app + ' ' + (p["progress-visible"].toBool() ? "shown" : "hidden");
    }
};

} // namespace

Q_DECLARE_METATYPE(Left)

class TestStatusWindow : public QObject
{
    Q_OBJECT
private slots:
    void endings_data()
    {
        // Sources a to d of 35000, 20000, 5000 and 0 bytes joined in chunks of 10,000 bytes onto
        // `target` (none: the save dialog cancelled), where a file stood or not, on a disk with
        // `room` (-1: plenty; 0: too little free space); `during`: what the user does as the
        // join is about to open c.mpg; `after`: how they leave the window. The window at the end
        // (caption, percentages, actions; none: it is gone), its text (%1: the target), the
        // beeps and messages with their owners; then files queued, sources kept, delete
        // questions, windows on screen, settings written, what the target holds.
        const Table<QString, bool, qint64, QString, QString, QStringList, QString, QStringList, int,
                    bool, int, int, bool, Left>
            row({"target", "existed", "room", "during", "after", "window", "text", "told", "queued",
                 "kept", "asked", "windows", "saved", "left"});
        const QString t = "t.mpg", joined = "File %1 has successfully been joined!",
                      aborted = "Operation aborted by user\nThe target file %1 ";
        const QStringList done = {"Joining Files...Done!", "100% 100%", "enabled enabled"},
                          cancelled = {"Joining Files...Cancelled!", "0% 92%", "disabled disabled"},
                          beep = {"beep"}, byMain = {"message frmReelbind first"};
        row("joined, Esc", t, false, -1, "", "Esc", done, joined, beep, 0, true, 0, 1, false,
            Left::All);
        row("joined, close box", t, false, -1, "", "close box", done, joined, beep, 4, true, 0, 1,
            false, Left::All);
        row("joined, Delete: No", t, false, -1, "", "Delete: No", done, joined, beep, 0, true, 1, 1,
            false, Left::All);
        row("joined, Delete: Yes", t, false, -1, "", "Delete: Yes", done, joined, beep, 0, false, 1,
            1, false, Left::All);
        // No trash takes the files: asked again, then deleted for good.
        row("joined, Delete: no trash", t, false, -1, "", "Delete: no trash", done, joined, beep, 0,
            false, 2, 1, false, Left::All);
        // The old window goes; the new join runs in its own.
        row("joined, Join again", t, false, -1, "", "Join again", done, joined, beep, 4, true, 0, 2,
            false, Left::All);
        row("cancelled by Enter", t, false, -1, "Enter", "Enter", cancelled,
            aborted + "holds what was joined before the cancel.", beep, 0, true, 0, 1, false,
            Left::FirstTwo);
        row("cancelled by Esc, a file stood", t, true, -1, "Esc", "Esc", cancelled,
            aborted + "was left unchanged.", beep, 0, true, 0, 1, false, Left::Before);
        row("disk full, Esc", t, false, 40000, "", "Esc",
            {"Joining Files...Failed!", "0% 58%", "hidden hidden"},
            "Could not write to the target file %1: " + reason(ENOSPC) +
                ".\nThe target file %1 was not created.",
            {"message frmJoinStatus"}, 0, true, 0, 1, false, Left::Before);
        // The message first, over the main window; then the window, with the same text.
        row("too little space, Enter", t, false, 0, "", "Enter",
            {"Joining Files...", "0% 0%", "hidden hidden"},
            "The drive you have selected does not have enough free space to save the joined "
            "movie to.",
            byMain, 0, true, 0, 1, false, Left::Before);
        // No window without a target; none closes under the running join.
        row("save dialog cancelled", "", false, -1, "", "", {}, "", {}, 4, true, 0, 1, false,
            Left::Before);
        row("a source as the target", "a.mpg", true, -1, "", "", {}, "", byMain, 4, true, 0, 1,
            false, Left::Before);
        row("Exit menu during the join", t, false, -1, "Exit menu", "", {}, "", beep, 4, true, 0, 0,
            true, Left::FirstTwo);
        row("main window's close box during the join", t, false, -1, "main close box", "", {}, "",
            beep, 4, true, 0, 0, false, Left::FirstTwo);
        row("status window's close box during the join", t, false, -1, "status close box", "", {},
            "", {}, 4, true, 0, 1, false, Left::FirstTwo);
        // A signal keeps nothing of the join: a file that stood stays as it was.
        row("a signal during the join", t, false, -1, "signal", "", {}, "", beep, 4, true, 0, 0,
            false, Left::Before);
        row("a signal during the join, a file stood", t, true, -1, "signal", "", {}, "", beep, 4,
            true, 0, 0, false, Left::Before);
    }
    void endings()
    {
        const QString target = fetch<QString>("target"), during = fetch<QString>("during"),
                      after = fetch<QString>("after");
        const qint64 room = fetch<qint64>("room");
        Shown f;
        const QString dir = f.folder.path(),
                      path = dir + '/' + (target.isEmpty() ? "t.mpg" : target),
                      text = fetch<QString>("text").replace("%1", path);
        QStringList sources;
        QByteArray all;
        for (int i = 0; i < 4; ++i)
            all += readAll(sources.emplaceBack(
                makeFile(dir, QString("abcd"[i]) + ".mpg", 5000 * ("7410"[i] - '0'), i)));
        if (fetch<bool>("existed") && !QFile::exists(path))
            makeFile(dir, target, 100, 9);
        const QByteArray before = readAll(path);
        f.queue().add(sources);
        f.prefs().setChunkSize(10000);
        f.prefs().setCheckState(SettingId::ClearQue, 1); // Finished and Delete clear the queue
        f.files.setFreeSpace(room ? qint64(1) << 40 : 0);
        f.files.diskLeft = room > 0 ? room : -1;
        JoinGate gate(f, during.isEmpty() ? "" : "c.mpg");
        f.desktop.holdUnprepared = true; // the messages
        f.runJoin(target.isEmpty() ? "" : path);
        QPointer<JoinStatusDialog> s = f.status();
        const auto look = [&s] { // caption, percentages, actions
            QString acts;
            for (const QWidget* b : {child(s, "CmdViewClip"), child(s, "CmdDelSource")})
                acts += b->isHidden() ? " hidden" : b->isEnabled() ? " enabled" : " disabled";
            return QStringList{s->windowTitle(),
                               shownEach(s, {"LblFilePercent", "LblBatchPercent"}), acts.mid(1)};
        };
        if (!during.isEmpty()) { // the window follows the join: b.mpg joined, c.mpg next
            QVERIFY(gate.reached());
            QTRY_COMPARE(joined(shownEach(s, {"LblFileNow", "ProgressBarFile", "ProgressBarBatch",
                                              "CmdCancel"}),
                                look().join('|'),
                                s->isVisible() && child(s, "TextFinal")->isHidden()),
                         joined("Now joining file: b.mpg to " + path +
                                    " using a chunk size of 10,000 bytes 1000 916 Cancel",
                                "Joining Files...|100% 92%|hidden hidden", true));
            if (during == "signal")
                f.program->exit(Program::ExitKind::Stopped);
            else if (during.endsWith("close box"))
                QVERIFY(!(during.startsWith("main") ? f.window->close() : s->close()));
            else if (during == "Exit menu")
                press(f.window.get(), "mnu_Exit");
            else
                QTest::keyClick(s, QKeySequence(during)[0].key());
            gate.open();
        }
        QVERIFY(f.joinEnded());
        QStringList told; // a message held open: is the window up under it?
        for (const FakeDesktop::Call& c : std::as_const(f.desktop.calls))
            if (c.kind == "message" || c.kind == "beep")
                told << (c.parent ? c.kind + ' ' + c.parent->objectName() : c.kind) +
                            (c.kind == "message" && !(s && s->isVisible()) ? " first" : "");
        QCOMPARE(told, fetch<QStringList>("told"));
        f.desktop.answerOpen();
        QTRY_COMPARE(s && s->isVisible(), !fetch<QStringList>("window").isEmpty());
        if (s) { // the texts keep their last figures, the bars end empty
            QCOMPARE(look(), fetch<QStringList>("window"));
            QCOMPARE(joined(shownEach(s, {"LblFileNow", "ProgressBarFile", "ProgressBarBatch",
                                          "CmdCancel", "CmdViewClip", "CmdDelSource"}),
                            child<QPlainTextEdit>(s, "TextFinal")->toPlainText(),
                            child(s, "TextFinal")->isVisible(), unnamedControls(s).join(',')),
                     joined(" 0 0 Finished View Joined MPG Delete Source Files", text, true, ""));
            for (const QString& m : f.desktop.texts("message"))
                QCOMPARE(m, text);
            for (int i = 0; i < 2 && child(s, "CmdViewClip")->isVisible(); ++i)
                press(s, "CmdViewClip");
            QCOMPARE(f.desktop.texts("document"),
                     QStringList(look()[2].startsWith("en") ? 2 : 0, path));
            f.desktop.setNextAnswer(after != "Delete: No");
            f.desktop.setNextAnswer(f.files.noTrash = after == "Delete: no trash");
            if (after == "close box")
                QVERIFY(s->close());
            else if (after.startsWith("Delete"))
                press(s, "CmdDelSource");
            else if (after == "Join again")
                QVERIFY((f.runJoin(dir + "/again.mpg"), f.joinEnded()));
            else
                QTest::keyClick(s, QKeySequence(after)[0].key());
            QTRY_VERIFY(!s);
        }
        QStringList asked; // Enter's answer after each: deleting for good is never its
        for (const FakeDesktop::Call& c : std::as_const(f.desktop.calls))
            if (c.kind == "yesno")
                asked << c.text + (c.button == Desktop::Default::No ? " (No)" : " (Yes)");
        QCOMPARE(asked, QStringList({"Delete Source Files?|Are you sure you want to delete the "
                                     "source files?  These files will be moved to the trash. (Yes)",
                                     "Delete Source Files?|" +
                                         AfterJoin::deleteForGoodQuestion(sources) + " (No)"})
                            .mid(0, fetch<int>("asked")));
        QTRY_COMPARE(visibleTopLevels().size(), fetch<int>("windows"));
        const Left left = fetch<Left>("left");
        QCOMPARE(joined(f.queue().count(), QFile::exists(sources[0]),
                        f.iniBytes() != f.firstStartIni(),
                        readAll(path) == (left == Left::All        ? all
                                          : left == Left::FirstTwo ? all.left(55000)
                                                                   : before)),
                 joined(fetch<int>("queued"), fetch<bool>("kept"), fetch<bool>("saved"), true));
    }
    // The question before the save dialog, over the main window: files that will not play
    // joined byte by byte (Enter: No; No ends the join as a cancelled save dialog does); MP4
    // parts that make one movie (offered first, then MP4 first in the save dialog).
    void questionBeforeTheSaveDialog_data()
    {
        // The answer (Yes/No: 1 or 0, else the button's index); the calls with their buttons
        // or filters, Enter's first; the window's line as the join opens the second file.
        const Table<bool, int, QStringList, QString> row({"movies", "answer", "calls", "line"});
        row("kinds, No", false, 0, {"yesno "}, "");
        row("kinds, Yes", false, 1, {"yesno ", "save MPG Files (*.mpg),All Files (*)", "beep "},
            "Now joining file: 0 to %1 using a chunk size of 40,000 bytes");
        row("MP4 parts, One Movie", true, 0,
            {"choice Join as One Movie,Join Bytes Anyway,Cancel",
             "save MP4 Files (*.mp4),All Files (*)", "beep "},
            "Now joining file: 0 to %1 as one movie");
    }
    void questionBeforeTheSaveDialog()
    {
        const QStringList calls = fetch<QStringList>("calls");
        Shown f;
        const QString dir = f.folder.path(), target = dir + "/t";
        const QStringList files = // of unlike kinds: ftyp, a pack header
            fetch<bool>("movies")
                ? makeMovies(dir, {"0", "1"})
                : QStringList{writeFile(dir + "/0", QByteArray::fromHex("0000001866747970")),
                              writeFile(dir + "/1", QByteArray::fromHex("000001BA"))};
        if (files.isEmpty())
            QSKIP("ffmpeg cannot make movies here: the case was not run");
        f.queue().add(files);
        f.desktop.setNextAnswer(fetch<int>("answer"));
        f.desktop.setNextChoice(fetch<int>("answer"));
        JoinGate gate(f, "1");
        f.runJoin(target);
        if (calls.size() > 1) { // the window follows the join
            QVERIFY(gate.reached());
            QTRY_COMPARE(shown(f.status(), "LblFileNow"), fetch<QString>("line").arg(target));
            gate.open();
        }
        QVERIFY(f.joinEnded());
        QStringList seen;
        for (const FakeDesktop::Call& c : std::as_const(f.desktop.calls))
            if (c.kind != "launcher")
                seen << c.kind + ' ' + c.filters.join(',');
        const FakeDesktop::Call ask = f.desktop.calls.value(0);
        QCOMPARE(joined(seen.join('#'), ask.text.section('|', 0, 0), ask.parent == f.window.get(),
                        ask.kind == "choice" || ask.button == Desktop::Default::No,
                        bool(f.status()), QFile::exists(target),
                        QGuiApplication::overrideCursor() == nullptr, // busy only while reading
                        child(f.window.get(), "CmdJoin")->isEnabled() &&
                            child(f.window.get(), "CmdAdd")->isEnabled() &&
                            child(f.window.get(), "CmdExit")->isEnabled()),
                 joined(calls.join('#'), "Join Files?", true, true, calls.size() > 1,
                        calls.size() > 1, true, true));
    }
    // The launcher hears a join's progress (rising, at most four times a second, gone at the
    // end); a long join ending while its window is inactive asks for one notification. Over a
    // real session bus, with stand-ins for the desktop's services.
    void desktopHearsOfLongJoins_data()
    {
        // How long a join must take to be long; whether the status window is the active one.
        const Table<qint64, bool, bool> row({"longMs", "active", "notified"});
        row("long", -1, false, true);
        row("long, window active", -1, true, false);
        row("short", 60000, false, false);
    }
    void desktopHearsOfLongJoins()
    {
        SessionBus bus(QStringLiteral("org.reelbind.Reelbind"), QStringLiteral("Orvel's Reelbind"));
        FakeDesktopServices services;
        QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "desk");
        const auto drop = qScopeGuard([] { QDBusConnection::disconnectFromBus("desk"); });
        const bool onBus = other.isConnected() &&
                           other.registerService("org.freedesktop.Notifications") &&
                           other.registerObject("/org/freedesktop/Notifications", &services,
                                                QDBusConnection::ExportAllSlots) &&
                           other.connect({}, {}, "com.canonical.Unity.LauncherEntry", "Update",
                                         &services, SLOT(Update(QString, QVariantMap)));
        Shown f;
        f.desktop.bus = onBus ? &bus : nullptr;
        for (int i = 0; i < 6; ++i)
            f.queue().add({sized(f.folder.path(), QString("p%1.mpg").arg(i), 120000)});
        JoinGate gate(f, "p3.mpg");
        QElapsedTimer took;
        took.start();
        f.runJoin(f.folder.filePath("t.mpg"));
        QVERIFY(gate.reached());
        f.status()->setLongJoinMs(fetch<qint64>("longMs"));
        QApplication::setActiveWindow(fetch<bool>("active") ? f.status() : nullptr);
        QTRY_VERIFY(!f.desktop.texts("launcher").isEmpty()); // shown while the join runs
        gate.open();
        QTRY_COMPARE(f.status()->windowTitle(), "Joining Files...Done!");
        const QStringList shown = f.desktop.texts("launcher"), notes = f.desktop.texts("notify");
        QStringList rising = shown;
        std::sort(rising.begin(), rising.end() - 1);
        QCOMPARE(joined(shown.size() - 1 <= 1 + took.elapsed() / 250, shown.last(), shown == rising,
                        notes.join('#')),
                 joined(true, "hidden", true,
                        fetch<bool>("notified")
                            ? "Joining Files...Done!|File " + f.folder.filePath("t.mpg") +
                                  " has successfully been joined!"
                            : ""));
        if (!onBus)
            QSKIP("no session bus: what the desktop hears over it was not checked");
        QTRY_VERIFY(
            services.updates.endsWith("application://org.reelbind.Reelbind.desktop hidden"));
        QTRY_COMPARE(services.notes.size(), notes.size());
        for (const QString& note : notes)
            QVERIFY(services.notes.contains("Orvel's Reelbind|org.reelbind.Reelbind|" + note));
        QCOMPARE(services.updates.size(), shown.size());
    }
    // Every outcome readable whole: a short one above the bars (below it) as ever; a long one (a
    // target path of 4,000 characters, joined or failing) scrolling where no control covers it.
    void outcomeTextReadable_data()
    {
        const Table<bool, bool, int> row({"longPath", "folderMade", "covering"});
        row("short", false, true, 4);
        row("long", true, true, 0);
        row("long, failed", true, false, 0);
    }
    void outcomeTextReadable()
    {
        const bool longPath = fetch<bool>("longPath");
        Shown f;
        QString dir = f.folder.path();
        while (longPath && dir.size() < 3900)
            dir += '/' + QString(200, QChar(char16_t(0x64 + dir.size() % 3)));
        QVERIFY(!fetch<bool>("folderMade") || QDir().mkpath(dir));
        f.queue().add({sized(f.folder.path(), "a.mpg", 3000)});
        f.runJoin(dir + "/t.mpg");
        QVERIFY(f.joinEnded());
        QTRY_VERIFY(f.status() && f.status()->windowTitle() != "Joining Files...");
        const auto* text = child<QPlainTextEdit>(f.status(), "TextFinal");
        QStringList covering; // the controls above it (made after it) that overlap it
        const QObjectList above = f.status()->children();
        for (qsizetype i = above.indexOf(text) + 1; i < above.size(); ++i)
            if (const auto* w = qobject_cast<QWidget*>(above[i]);
                w && w->isVisible() && w->geometry().intersects(text->geometry()))
                covering << w->objectName();
        const int room = child(f.status(), "ProgressBarFile")->y() - text->y(),
                  lines = int(text->document()->size().height());
        QCOMPARE(joined(text->toPlainText().contains(dir), covering.size(),
                        longPath ? text->verticalScrollBar()->maximum() > 0
                                 : lines * text->fontMetrics().height() <= room),
                 joined(true, fetch<int>("covering"), true));
    }
};

REELBIND_GUI_TEST_MAIN(TestStatusWindow)
#include "test_status_window.moc"
