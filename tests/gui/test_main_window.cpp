// The main window: its looks, the queue through it, how the program ends (with a question or a
// dialog open or not); the about box.
#include "gui/AboutDialog.h"
#include "gui/PreferencesDialog.h"
#include "gui/QueueList.h"
#include "support/GuiSupport.h"

#include <QtWidgets>

using namespace TestSupport;

namespace {

/// What a case does to the program, and what it saw then.
using Act = std::function<QString(Shown&)>;

QueueList* listOf(Shown& a)
{
    return child<QueueList>(a.window.get(), "ListViewAdd");
}
Act pressing(const char* name)
{
    return [name](Shown& a) { return press(a.window.get(), name), QString(); };
}
/// The queued names, the selected ones marked "*".
QString queued(Shown& a)
{
    QStringList names;
    for (int p = 0; p < a.queue().count(); ++p)
        names << (listOf(a)->selectedPositions().contains(p) ? "*" : "") +
                     a.queue().rows().at(p).name;
    return names.join(' ');
}
/// The first part of a set (and E) handed over: the question names the rest.
QString firstPart(Shown& a)
{
    for (const char* name : {"VTS_01_1.VOB", "VTS_01_2.VOB", "VTS_01_3.VOB"})
        sized(a.folder.path(), name, 2048);
    return a.window->openFiles({a.folder.filePath("VTS_01_1.VOB"), a.folder.filePath("E")}), "";
}
/// Add, the dialog answering E and a missing file: a message names it.
QString addTwo(Shown& a)
{
    a.desktop.setNextOpenFiles({a.folder.filePath("E"), a.folder.filePath("gone")});
    return press(a.window.get(), "CmdAdd"), QString();
}

/// Records the windows as they close, each marked "saved " once the settings file changed.
struct Closings : QObject
{
    Shown& app;
    const QByteArray before = app.iniBytes();
    QStringList closed;
    explicit Closings(Shown& a) : app(a) { qApp->installEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Hide && o->isWidgetType() && o->objectName().startsWith("frm"))
            closed << (app.iniBytes() != before ? "saved " : "") + o->objectName();
        return false;
    }
};

} // namespace

Q_DECLARE_METATYPE(Act)

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void looks_data()
    {
        // The estimate and the chunk size: at start, lowest, highest, a step less, as set live.
        const Table<QString, QString> row({"locale", "chunks"});
        row("English", "en_US",
            "Estimated Joined Filesize:  0.00 MB | Chunk Size: 40,000 bytes | 10,000 | 70,000 | "
            "69,000 | 23,000");
        row("German: the decimal point and the group separator swap", "de_DE",
            "Estimated Joined Filesize:  0,00 MB | Chunk Size: 40.000 bytes | 10.000 | 70.000 | "
            "69.000 | 23.000");
    }
    void looks()
    {
        QLocale::setDefault(QLocale(fetch<QString>("locale")));
        const auto reset = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
        Shown app;
        MainWindow& w = *app.window;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QStringList texts; // the menu bar, the menus, the buttons, the column heads and widths
        for (const char* m : {"", "mnu_prefs", "mnu_Links", "mnu_Help", "Option_mnu"}) {
            QStringList items; // no item has a shortcut or a mnemonic
            for (QAction* a : *m ? child<QMenu>(&w, m)->actions() : w.menuBar()->actions())
                items << (a->isSeparator() ? "-" : a->text() + a->shortcut().toString());
            texts << items.join('|');
        }
        texts << shownEach(&w, {"CmdAdd", "CmdRemove", "CmdClear", "CmdJoin", "CmdExit"});
        QueueList* list = listOf(app);
        for (int c = 0; c < 3; ++c) // the last column ends at the edge
            texts << list->model()->headerData(c, Qt::Horizontal).toString() + ' ' +
                         QString::number(list->header()->sectionSize(c));
        QCOMPARE(texts.join(" # "),
                 "Preferences|Useful Links|Help # Preferences|-|Exit # ZIDA FAQ|Brightwater's "
                 "I.263 Site|Marlowe's IR21 and Tesk's Power Post/Join|Intel's I.263 video CODEC "
                 "(without IMC audio)|Intel Indeo CODECs (IV3.x, IV4.x, IV5)|Free Agent "
                 "(Newsreader)|Get The Latest Version of Orvel's Reelbind # View Readme File|-|"
                 "About # View Selecte File|Remove Selected File(s) # Add Remove Clear Join Exit "
                 "# Filename 193 # Location 187 # Filesize (in MB) " +
                     QString::number(list->viewport()->width() - 380));
        QCOMPARE(
            joined(w.windowTitle(), w.centralWidget()->width(), w.centralWidget()->height(),
                   bool(w.windowFlags() & Qt::WindowMaximizeButtonHint),
                   w.menuBar()->actions().contains(child<QMenu>(&w, "Option_mnu")->menuAction()),
                   w.windowIcon().isNull() ||
                       child<QToolButton>(&w, "CmdMoveUp")->icon().isNull() ||
                       child<QToolButton>(&w, "CmdMoveDown")->icon().isNull()),
            joined("Orvel's Reelbind 1.0.7b", 575, 264, false, false, false));
        QCOMPARE(layoutFaults(w.centralWidget()) + unnamedControls(w.centralWidget()),
                 QStringList());
        QStringList order;
        for (QWidget* cur = list; order.size() < 10; cur = cur->nextInFocusChain())
            if ((cur->focusPolicy() & Qt::TabFocus) && cur->window() == &w)
                order << cur->objectName();
        QCOMPARE(order.join(' '), "ListViewAdd CmdJoin CmdExit CmdAdd CmdRemove CmdClear "
                                  "SldrChunkSize CmdMoveUp CmdMoveDown ListViewAdd");
        auto* frame = child<QGroupBox>(&w, "FrameChunkSize");
        QStringList seen = {shown(&w, "LblEstFilesize"), frame->title()};
        for (auto step : {QSlider::SliderToMinimum, QSlider::SliderToMaximum,
                          QSlider::SliderSingleStepSub, QSlider::SliderNoAction}) {
            if (step == QSlider::SliderNoAction) // the slider moves the live chunk size, and back
                app.prefs().setChunkSize(app.prefs().chunkSize() - 46000);
            child<QSlider>(&w, "SldrChunkSize")->triggerAction(step);
            seen << frame->title().section(' ', 2, 2);
        }
        QCOMPARE(seen.join(" | "), fetch<QString>("chunks"));
        const QRect exit = child(&w, "CmdExit")->geometry(); // the frame is sizable, the
        w.resize(w.width() + 100, w.height() + 50);          // controls stay put
        QTRY_COMPARE(w.centralWidget()->width(), 675);
        QCOMPARE(child(&w, "CmdExit")->geometry(), exit);
        app.prefs().setFolderText(SettingId::SourceDir, "/");
        press(&w, "CmdAdd"); // not answered: cancelled
        for (QAction* a : child<QMenu>(&w, "mnu_Links")->actions())
            a->trigger();
        press(&w, "mnu_Readme"); // after the seven links
        const FakeDesktop::Call& d = app.desktop.calls.first();
        QCOMPARE(joined(d.kind, d.dir, d.filters.join(','), d.parent == &w,
                        app.desktop.texts("document").mid(7).join(',')),
                 joined("open", "/", "MPG Files (*.mpg),All Files (*)", true,
                        app.programFolder() + "/Readme.html"));
    }
    void queueThroughTheWindow_data()
    {
        // A to D of 3, 1, 4 and 2 MiB queued, the rows `select`ed (a click, then Ctrl+clicks:
        // the current row is the last), `act` done with a join `running` or not. Then the queue
        // (*: selected), the list focused, the desktop's calls (a document by its name, a Yes/No
        // box by its title, with Enter's answer), and what the act saw (a drop: whether its enter,
        // move and drop events were taken, and its action: 1 copies, 4 links).
        const Table<QString, Act, bool, QString, bool, QStringList, QString> row(
            {"select", "act", "running", "queue", "focused", "calls", "saw"});
        const auto del = [](Qt::KeyboardModifiers mods) -> Act {
            return
                [mods](Shown& a) { return QTest::keyClick(listOf(a), Qt::Key_Delete, mods), ""; };
        };
        const auto popup = [](int row, int item) -> Act { // a right click (-1: below the rows)
            return [row, item](Shown& a) {
                a.desktop.setNextPopupChoice(item);
                QWidget* view = listOf(a)->viewport();
                QTest::mouseClick(
                    view, Qt::RightButton, {},
                    row < 0 ? QPoint(10, view->height() - 3)
                            : listOf(a)->visualRect(a.queue().model().index(row, 0)).center());
                return "";
            };
        };
        // Files (E of 1 MiB, one missing), a web address or "text" dropped on the list.
        const auto drop = [](QStringList items, Qt::DropActions offered) -> Act {
            return [items, offered](Shown& a) {
                QMimeData mime;
                for (const QString& u : items)
                    u == "text" ? mime.setText(a.folder.filePath("E"))
                                : mime.setUrls(mime.urls() << QUrl::fromUserInput(
                                                   u.contains(':') ? u : a.folder.filePath(u)));
                QDragEnterEvent enter({20, 20}, offered, &mime, Qt::LeftButton, {});
                QDragMoveEvent move({20, 20}, offered, &mime, Qt::LeftButton, {});
                QDropEvent dropped({20, 20}, offered, &mime, Qt::LeftButton, {});
                QString taken;
                for (QDropEvent* e : std::initializer_list<QDropEvent*>{&enter, &move, &dropped})
                    taken += QString::number(
                        QCoreApplication::sendEvent(listOf(a)->viewport(), e) && e->isAccepted());
                return dropped.isAccepted() ? taken + ' ' + QString::number(dropped.dropAction())
                                            : taken;
            };
        };
        const Act sort = [](Shown& a) { // by size
            QHeaderView* header = listOf(a)->header();
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              {header->sectionViewportPosition(2) + 5, header->height() / 2});
            return "";
        };
        const auto set = [](bool yes) -> Act {
            return [yes](Shown& a) { return a.desktop.setNextAnswer(yes), firstPart(a); };
        };
        // Handed over while a join runs, E is queued once it has ended: the queue meanwhile.
        const Act duringAJoin = [](Shown& a) {
            JoinGate gate(a, "B");
            a.runJoin(a.folder.filePath("t.mpg"));
            const QString meanwhile =
                gate.reached() ? (a.window->openFiles({a.folder.filePath("E")}), queued(a)) : "";
            gate.open();
            return a.joinEnded() ? meanwhile : "no end";
        };
        const QString all = "A B C D", withE = "A B C D E", web = "https://example.org/a.mpg";
        row("Remove", "BC", pressing("CmdRemove"), false, "A D", true, {}, "");
        row("Delete", "BC", del(Qt::NoModifier), false, "A D", true, {}, "");
        row("Shift+Delete", "BC", del(Qt::ShiftModifier), false, "A *B *C D", false, {}, "");
        row("Delete, join running", "BC", del(Qt::NoModifier), true, "A *B *C D", false, {}, "");
        row("Move Up", "BC", pressing("CmdMoveUp"), false, "*B *C A D", true, {}, "");
        row("Move Down", "AC", pressing("CmdMoveDown"), false, "B *A D *C", true, {}, "");
        row("Move Up refused", "AB", pressing("CmdMoveUp"), false, "*A *B C D", true, {"message"},
            "");
        row("Clear", "B", pressing("CmdClear"), false, "", false, {}, "");
        row("pop-up: Remove", "BC", popup(2, 1), false, "A D", true, {"popup"}, "");
        row("pop-up: View, unselected row", "BC", popup(0, 0), false, "*A B C D", true,
            {"popup", "document A"}, "");
        row("pop-up: nothing selected", "", popup(-1, 1), false, all, true, {}, "");
        row("View: the topmost", "AC", pressing("mnu_View"), false, "*A B *C D", false,
            {"document A"}, "");
        row("sort by size", "", sort, false, "B D A C", true, {}, "");
        row("Add", "", addTwo, false, withE, false, {"open", "message"}, "");
        row("drop", "", drop({"E", "gone"}, Qt::CopyAction | Qt::MoveAction), false, withE, false,
            {"message"}, "111 1");
        row("drop: a move", "", drop({"E"}, Qt::MoveAction), false, all, false, {}, "000");
        row("drop: plain text", "", drop({"text"}, Qt::CopyAction), false, all, false, {}, "000");
        row("drop: web only", "", drop({web}, Qt::CopyAction), false, all, false, {}, "000");
        row("drop: a link, web", "", drop({web, "E"}, Qt::LinkAction), false, withE, false, {},
            "111 4");
        row("drop, join running", "", drop({"E"}, Qt::CopyAction), true, all, false, {}, "000");
        row("a set's first part, Yes", "", set(true), false,
            "A B C D E VTS_01_1.VOB VTS_01_2.VOB VTS_01_3.VOB", false,
            {"yesno Add the Other Parts? (Yes)"}, "");
        row("a set's first part, No", "", set(false), false, "A B C D E VTS_01_1.VOB", false,
            {"yesno Add the Other Parts? (Yes)"}, "");
        row("handed over during a join", "", duringAJoin, false, withE, false, {"save", "beep"},
            all);
    }
    void queueThroughTheWindow()
    {
        Shown app;
        MainWindow* w = app.window.get();
        for (int i = 0; i < 5; ++i) // A to E of 3, 1, 4, 2 and 1 MiB
            sized(app.folder.path(), QChar('A' + i), qint64("31421"[i] - '0') << 20);
        app.queue().add({app.folder.filePath("A"), app.folder.filePath("B"),
                         app.folder.filePath("C"), app.folder.filePath("D")});
        Qt::KeyboardModifiers how;
        for (const QChar l : fetch<QString>("select"))
            QTest::mouseClick(
                listOf(app)->viewport(), Qt::LeftButton, std::exchange(how, Qt::ControlModifier),
                listOf(app)->visualRect(app.queue().model().index(l.unicode() - 'A', 0)).center());
        child(w, "CmdAdd")->setFocus();
        app.queue().setJoinRunning(fetch<bool>("running"));
        QCOMPARE(fetch<Act>("act")(app), fetch<QString>("saw"));
        const auto calls = [&app] {
            QStringList out;
            for (const FakeDesktop::Call& c : std::as_const(app.desktop.calls))
                if (c.kind != "launcher")
                    out << c.kind +
                               (c.kind == "document" ? ' ' + QFileInfo(c.text).fileName()
                                : c.kind != "yesno"
                                    ? ""
                                    : ' ' + c.text.section('|', 0, 0) +
                                          (c.button == Desktop::Default::Yes ? " (Yes)" : " (No)"));
            return out;
        };
        QTRY_COMPARE(joined(queued(app), calls().join(',')),
                     joined(fetch<QString>("queue"), fetch<QStringList>("calls").join(',')));
        const JoinQueue::Commands c = app.queue().commands(); // the core's: shown as they are
        QCOMPARE(joined(w->focusWidget() == listOf(app), shown(w, "LblEstFilesize"),
                        QString::number(child(w, "CmdAdd")->isEnabled() == c.add) +
                            QString::number(child(w, "CmdRemove")->isEnabled() == c.remove) +
                            QString::number(child(w, "CmdClear")->isEnabled() == c.clear) +
                            QString::number(child(w, "CmdJoin")->isEnabled() == c.join) +
                            QString::number(child(w, "CmdExit")->isEnabled() == c.exit)),
                 joined(fetch<bool>("focused"), app.queue().estimate(), "11111"));
    }
    void programEnds_data()
    {
        // With the preferences window and the about box open, `open` opens a question or a
        // dialog of this kind (none: nothing) that stays open; the program is told to end
        // (`how`); the settings are written for Exit only.
        const Table<Act, QString, QString, bool> row({"open", "kind", "how", "saved"});
        const Act none = [](Shown&) { return ""; };
        const auto join = [](bool movies) -> Act { // files of unlike kinds, or a movie's parts
            return [movies](Shown& a) {
                const QString d = a.folder.path();
                a.queue().add(
                    movies
                        ? makeMovies(d, {"a.mp4", "b.mp4"})
                        : QStringList{writeFile(d + "/a", QByteArray::fromHex("0000001866747970")),
                                      writeFile(d + "/b", QByteArray::fromHex("000001BA"))});
                return a.queue().count() ? (press(a.window.get(), "CmdJoin"), "") : "no movies";
            };
        };
        const Act save = [](Shown& a) {
            a.queue().add({sized(a.folder.path(), "a.mpg", 10)});
            return press(a.window.get(), "CmdJoin"), QString();
        };
        // A join ended, its window open; then Delete Source Files pressed, and no trash taking
        // the files (Yes to the first question): "Delete them for good?".
        const auto joined = [](int deleting) -> Act {
            return [deleting](Shown& a) {
                a.queue().add({sized(a.folder.path(), "a.mpg", 10)});
                a.runJoin(a.folder.filePath("t.mpg"));
                if ((a.files.noTrash = deleting > 1))
                    a.desktop.setNextAnswer(true);
                if (a.joinEnded() && deleting)
                    press(a.status(), "CmdDelSource");
                return QString();
            };
        };
        const Act folder = [](Shown& a) {
            return press(a.window->prefsWindow(), "CmdBrowseSource"), QString();
        };
        row("Exit button", none, "", "Exit button", true);
        row("Exit menu item", none, "", "Exit menu", true);
        row("about box's Exit", none, "", "about box's Exit", true);
        row("close box", none, "", "close box", false);
        row("a signal", none, "", "signal", false);
        row("a signal, the join's question (One Movie)", join(true), "choice", "signal", false);
        row("a signal, the join's question (Yes/No)", join(false), "yesno", "signal", false);
        row("a signal, the save dialog", save, "save", "signal", false);
        row("a signal, Add the Other Parts?", firstPart, "yesno", "signal", false);
        row("Exit, Add the Other Parts?", firstPart, "yesno", "Exit button", true);
        row("Exit, a join's window", joined(0), "", "Exit button", true);
        row("Exit, the delete question", joined(1), "yesno", "Exit button", true);
        row("a signal, Delete them for good?", joined(2), "yesno", "signal", false);
        row("Exit, the folder chooser", folder, "folder", "Exit button", true);
        row("close box, a message", addTwo, "message", "close box", false);
    }
    void programEnds()
    {
        const QString how = fetch<QString>("how");
        Shown app;
        MainWindow& w = *app.window;
        app.desktop.holdUnprepared = true;
        press(&w, "mnu_subPrefs");
        press(&w, "mnu_About");
        press(w.prefsWindow(), "ChkRememberSource"); // not OK'd: never saved
        app.settings()[SettingId::ClearQue] = QStringLiteral("1");
        child<QSlider>(&w, "SldrChunkSize")->setValue(23000);
        if (fetch<Act>("open")(app) == "no movies")
            QSKIP("ffmpeg cannot make movies here: the case was not run");
        QTRY_COMPARE(app.desktop.openKind(), fetch<QString>("kind"));
        // The event loop runs as in main(); it must end by itself, the windows left open by the
        // dialog's Esc closed in order once the settings are written.
        std::unique_ptr<Closings> closings;
        QStringList order;
        QTimer::singleShot(0, &w, [&] {
            how == "close box" ? void(w.close())
            : how == "signal"
                ? app.program->exit(Program::ExitKind::Stopped)
                : void(press(how.startsWith("about") ? static_cast<QWidget*>(w.aboutWindow()) : &w,
                             how == "Exit menu" ? "mnu_Exit" : "CmdExit"));
            for (const char* name : {"frmPrefs", "frmJoinStatus", "frmAbout", "frmReelbind"})
                if (visibleTopLevels().contains(name))
                    order << (fetch<bool>("saved") ? "saved " : "") + QString(name);
            closings = std::make_unique<Closings>(app);
        });
        QObject guard; // local: its timer must not fire in a later test's loop
        QTimer::singleShot(10000, &guard, [] { QCoreApplication::exit(99); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QByteArray saved = app.firstStartIni();
        saved.replace("ClearQue=0", "ClearQue=1").replace("ChunkSize=40000", "ChunkSize=23000");
        QCOMPARE(app.iniBytes(), fetch<bool>("saved") ? saved : app.firstStartIni());
        QCOMPARE(joined(closings->closed.join(','), app.desktop.isOpen(), app.desktop.dismissed(),
                        visibleTopLevels().isEmpty()),
                 joined(order.join(','), false, true, true));
        QTRY_COMPARE(topLevelCount("QDialog"), 0); // the others are gone
    }
    void aboutBox_data()
    {
        // How the box is left; the main window shown then: OK brings it forward.
        const Table<QString, bool> row({"key", "mainShown"});
        for (const char* key : {"OK", "Return", "Esc"})
            row(key, key, true);
        row("close box", "", false);
    }
    void aboutBox()
    {
        const QString key = fetch<QString>("key");
        App app;
        for (int i = 0; i < 2; ++i) // one box only
            child<QAction>(app.window.get(), "mnu_About")->trigger();
        QPointer<AboutDialog> a = app.window->aboutWindow();
        QVERIFY(a && QTest::qWaitForWindowExposed(a));
        QLabel *title = child<QLabel>(a, "lblTitle"), *version = child<QLabel>(a, "lblVersion");
        const auto rules = a->findChildren<QFrame*>("Line1"); // etched: white below grey
        QCOMPARE(joined(topLevelCount("AboutDialog"), a->windowTitle(), title->text(),
                        version->text(), title->font().pointSizeF(), version->font().pointSizeF(),
                        child<QLabel>(a, "picIcon")->pixmap().isNull(),
                        rules.size() == 2 &&
                            rules[1]->geometry().top() == rules[0]->geometry().bottom() + 1,
                        a->focusWidget()->objectName()),
                 joined(1, "About Orvel's Reelbind", "Orvel's Reelbind",
                        "Version 1.0.7b For Windows 95/98/NT", 14.25, 9.75, false, true, "cmdOK"));
        QCOMPARE(layoutFaults(a) + unnamedControls(a), QStringList());
        QVERIFY(a->windowType() == Qt::Tool && !a->parentWidget() && !a->isModal()); // no task bar
        child<QSlider>(app.window.get(), "SldrChunkSize")->setValue(60000); // saved only by Exit
        if (key == "OK")
            press(a, "cmdOK");
        else if (key.isEmpty())
            a->close();
        else
            QTest::keyClick(child(a, "lblDescription"), QKeySequence(key)[0].key());
        QVERIFY(a && !app.window->aboutWindow()); // deleted later, never under its own handler
        QTRY_VERIFY(!a);
        QCOMPARE(joined(app.window->isVisible(), app.program->isExiting(),
                        app.iniBytes() == app.firstStartIni()),
                 joined(fetch<bool>("mainShown"), false, true));
    }
};

REELBIND_GUI_TEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
