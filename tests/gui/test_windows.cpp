// The windows show what the core decided: the main window and its commands, the program ending
// with a dialog open, the about box, joins, the preferences, the status window, the real dialogs.
#include "gui/AboutDialog.h"
#include "gui/JoinStatusDialog.h"
#include "gui/PreferencesDialog.h"
#include "gui/QtDesktop.h"
#include "gui/QueueList.h"
#include "support/GuiSupport.h"

#include <QtWidgets>

using namespace TestSupport;

namespace {

// Every kind of file the program joins, and how the Add and save dialogs were asked (seen()).
const QString kinds = "*.mpg *.mpeg *.vob *.dat *.mod *.m1v *.m2v *.ts *.m2ts *.mts"
                      " *.mp3 *.ogg *.ogv *.mp4 *.m4v *.m4a *.mov *.3gp *.mkv *.mka *.webm *.avi "
                      "*.wav *.flv *.asf *.wmv";
const QString saveSeen = "save frmReelbind MPG Files (*.mpg),All Files (*)",
              addSeen =
                  "open frmReelbind Movie Files (" + kinds + "),MPG Files (*.mpg),All Files (*)";

/// The visible top-level widgets' names (or titles); with `kind`, those of it, hidden too.
QStringList topLevels(const char* kind = nullptr)
{
    QStringList names;
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (kind ? w->inherits(kind) : w->isVisible())
            names << (w->objectName().isEmpty() ? w->windowTitle() : w->objectName());
    return names;
}

/// Faults in `window`'s fixed layout: a control leaving it, two overlapping, a text cut.
QStringList layoutFaults(const QWidget* window)
{
    QStringList faults;
    const auto controls = window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const QWidget* w = controls[i];
        const QString name = w->objectName();
        if (!window->rect().contains(w->geometry()))
            faults << name + QStringLiteral(" leaves the window");
        for (qsizetype j = i + 1; j < controls.size(); ++j)
            if (w->geometry().intersects(controls[j]->geometry()))
                faults << name + QStringLiteral(" overlaps ") + controls[j]->objectName();
        const QFontMetrics fm = w->fontMetrics();
        QSize need; // a push button keeps 4 pixels of bevel a side
        if (auto* b = qobject_cast<const QPushButton*>(w))
            need = QSize(fm.horizontalAdvance(b->text()) + 8, fm.height());
        else if (auto* c = qobject_cast<const QCheckBox*>(w))
            need = QSize(c->sizeHint().width(), fm.height());
        else if (auto* l = qobject_cast<const QLabel*>(w); l && !l->text().isEmpty())
            need = l->wordWrap() ? QSize(0, l->heightForWidth(l->width()))
                                 : QSize(fm.horizontalAdvance(l->text()), fm.height());
        if (need.width() > w->width() || need.height() > w->height())
            faults << name + QStringLiteral(" cuts its text");
    }
    return faults;
}

/// The controls taking the keyboard, and progress bars, that a screen reader could not name.
QStringList unnamedControls(const QWidget* window)
{
    QStringList unnamed;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const QString name = w->objectName(); // Qt's inner parts have none or "qt_"; ours one
        if ((!(w->focusPolicy() & Qt::TabFocus) && !qobject_cast<QProgressBar*>(w)) ||
            name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            continue;
        const QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << name;
    }
    return unnamed;
}

/// What these controls show (a progress bar its value, any other its text), joined by spaces.
QString shown(const QObject* parent, std::initializer_list<const char*> names)
{
    QStringList out;
    for (const char* name : names) {
        const QObject* c = child<QObject>(parent, name);
        out << c->property(c->inherits("QProgressBar") ? "value" : "text").toString();
    }
    return out.join(QLatin1Char(' '));
}

/// Does to `on` what the user does: its close box, a click on the control or menu item so
/// named, a key ("Shift+Delete"); or what the system does: a signal stops the program.
void act(QWidget* on, const QString& what, Program* program = nullptr)
{
    const QKeyCombination key = QKeySequence(what)[0];
    if (what == "close box")
        on->close();
    else if (what == "signal")
        program->exit(Program::ExitKind::Stopped);
    else if (auto* action = on->findChild<QAction*>(what))
        action->trigger();
    else if (on->findChild<QObject*>(what) || key.key() == Qt::Key_unknown)
        QTest::mouseClick(child(on, qPrintable(what)), Qt::LeftButton); // stops if none
    else
        QTest::keyClick(on, key.key(), key.keyboardModifiers());
}

/// A desktop call as the user met it: kind, owner, filters, a document's name, a Yes/No's Enter.
QString seen(const FakeDesktop::Call& c)
{
    const bool yes = c.button == Desktop::Default::Yes;
    QStringList s = {c.kind, c.parent ? c.parent->objectName() : "", c.filters.join(','),
                     c.kind == "document" ? QFileInfo(c.text).fileName() : "",
                     c.kind == "yesno" ? (yes ? "(Yes)" : "(No)") : ""};
    return s.removeAll(""), s.join(' ');
}

/// The main window on screen, and what the tests do through it.
struct Win : App
{
    Win() { window->show(); }
    JoinStatusDialog* status() const { return window->statusWindow(); }
    void runJoin(const QString& target) // Join, the save dialog answered `target` (empty: none)
    {
        desktop.setNextSaveFile(target);
        child<QAbstractButton>(window.get(), "CmdJoin")->click();
    }
    QString at(const QString& name) const { return folder.filePath(name); }
    QueueList* list() const { return child<QueueList>(window.get(), "ListViewAdd"); }
    void click(int row, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = {})
    {
        QTest::mouseClick(list()->viewport(), button, mods,
                          row < 0 ? QPoint(10, list()->viewport()->height() - 3)
                                  : list()->visualRect(queue().model().index(row, 0)).center());
    }
    QString queued() // the names queued, "*" before a selected one
    {
        QStringList names;
        for (int p = 0; p < queue().count(); ++p)
            names << (list()->selectedPositions().contains(p) ? "*" : "") + queue().rows()[p].name;
        return names.join(' ');
    }
    QString firstPart() // a set's first part and E handed over: asks to add the other parts
    {
        for (const char* name : {"VTS_01_1.VOB", "VTS_01_2.VOB", "VTS_01_3.VOB"})
            sized(folder.path(), name, 2048);
        return window->openFiles({at("VTS_01_1.VOB"), at("E")}), "";
    }
    QString addTwo() // Add answered E and a missing file: a message names the missing one
    {
        desktop.setNextOpenFiles({at("E"), at("gone")});
        return act(window.get(), "CmdAdd"), "";
    }
    /// Join with one file (kind 0), two of unlike kinds (1: an MP4 head, a sparse 256 MiB MPEG)
    /// or two MP4 parts (2) queued; "no movies" where ffmpeg made none.
    QString joinKinds(int kind)
    {
        const QString mpeg = writeFile(at("2"), QByteArray::fromHex("000001BA"));
        QFile::resize(mpeg, 256 << 20);
        queue().add(
            kind > 1
                ? makeMovies(folder.path(), {"0", "1"})
                : QStringList{writeFile(at("0"), QByteArray::fromHex("0000001866747970")), mpeg}
                      .mid(0, kind + 1));
        return queue().count() ? (act(window.get(), "CmdJoin"), "") : "no movies";
    }
};
/// What a case does to the program ("no movies" where ffmpeg could make none).
using Act = std::function<QString(Win&)>;

/// An Act: `what` done on the main window, or on the list when the window has no such control.
Act doing(const char* what)
{
    return [what](Win& a) {
        QWidget* on = a.window->findChild<QObject*>(what) ? a.window.get() : nullptr;
        return act(on ? on : a.list(), what), "";
    };
}

} // namespace

Q_DECLARE_METATYPE(Act)

class TestWindows : public QObject
{
    Q_OBJECT
    QStringList opened;
public slots:
    void open(const QUrl& url) { opened << url.toString(); } // a URL handler, no test
private slots:
    void mainWindowLooks()
    {
        Win app;
        MainWindow& w = *app.window;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QStringList texts; // the menus, the buttons, the columns' heads and widths, the tab order
        for (const char* m : {"", "mnu_prefs", "mnu_Links", "mnu_Help", "Option_mnu"}) {
            QStringList items; // no item has a shortcut or a mnemonic
            for (QAction* a : *m ? child<QMenu>(&w, m)->actions() : w.menuBar()->actions())
                items << (a->isSeparator() ? "-" : a->text() + a->shortcut().toString());
            texts << items.join('|');
        }
        texts << shown(&w, {"CmdAdd", "CmdRemove", "CmdClear", "CmdJoin", "CmdExit"});
        for (int c = 0; c < 3; ++c) // the last column ends at the edge
            texts << app.list()->model()->headerData(c, Qt::Horizontal).toString() + ' ' +
                         QString::number(app.list()->header()->sectionSize(c));
        for (QWidget* cur = app.list(); texts.size() < 19; cur = cur->nextInFocusChain())
            if ((cur->focusPolicy() & Qt::TabFocus) && cur->window() == &w)
                texts << cur->objectName();
        // The estimate, the chunk size: at start, lowest, highest, a step less, set live (German).
        texts << shown(&w, {"LblEstFilesize"}) << child<QGroupBox>(&w, "FrameChunkSize")->title();
        for (auto step : {QSlider::SliderToMinimum, QSlider::SliderToMaximum,
                          QSlider::SliderSingleStepSub, QSlider::SliderNoAction}) {
            if (step == QSlider::SliderNoAction) // the slider follows the live chunk size
                QLocale::setDefault(QLocale("de_DE")), app.prefs().setChunkSize(23000);
            child<QSlider>(&w, "SldrChunkSize")->triggerAction(step);
            texts << child<QGroupBox>(&w, "FrameChunkSize")->title().section(' ', 2, 2);
        }
        QLocale::setDefault(QLocale::system());
        for (QAction* a : child<QMenu>(&w, "mnu_Links")->actions())
            a->trigger();
        act(&w, "mnu_Readme"); // after the seven links
        texts << w.windowTitle() << QString::number(w.centralWidget()->width())
              << QString::number(w.centralWidget()->height())
              << app.desktop.texts("document").mid(7).join(',') +
                     layoutFaults(w.centralWidget()).join(',') +
                     unnamedControls(w.centralWidget()).join(',');
        QCOMPARE(
            joined(
                texts.join(" # ").replace(app.programFolder(), "{d}"),
                bool(w.windowFlags() & Qt::WindowMaximizeButtonHint) ||
                    w.menuBar()->actions().contains(child<QMenu>(&w, "Option_mnu")->menuAction()) ||
                    w.windowIcon().isNull() ||
                    child<QToolButton>(&w, "CmdMoveUp")->icon().isNull() ||
                    child<QToolButton>(&w, "CmdMoveDown")->icon().isNull()),
            joined("Preferences|Useful Links|Help # Preferences|-|Exit # ZIDA FAQ|Brightwater's "
                   "I.263 Site|Marlowe's IR21 and Tesk's Power Post/Join|Intel's I.263 video "
                   "CODEC (without IMC audio)|Intel Indeo CODECs (IV3.x, IV4.x, IV5)|Free "
                   "Agent (Newsreader)|Get The Latest Version of Orvel's Reelbind # View "
                   "Readme File|-|About # View Selecte File|Remove Selected File(s) # Add "
                   "Remove Clear Join Exit # Filename 193 # Location 187 # Filesize (in MB) " +
                       QString::number(app.list()->viewport()->width() - 380) +
                       " # ListViewAdd # CmdJoin # CmdExit # CmdAdd # CmdRemove # CmdClear "
                       "# SldrChunkSize # CmdMoveUp # CmdMoveDown # ListViewAdd # Estimated "
                       "Joined Filesize:  0.00 MB # Chunk Size: 40,000 bytes # 10,000 # "
                       "70,000 # 69,000 # 23.000 # Orvel's Reelbind 1.0.7b # 575 # 264 # "
                       "{d}/Readme.html",
                   false));
        const QRect exit = child(&w, "CmdExit")->geometry(), list = app.list()->geometry();
        w.resize(w.width() + 100, w.height() + 50); // the frame is sizable; the controls stay put
        QTRY_COMPARE(w.centralWidget()->width(), 675);
        QVERIFY(child(&w, "CmdExit")->geometry() == exit && app.list()->geometry() == list);
    }
    void commands_data()
    {
        // A to D queued, rows `select`ed (a click, then Ctrl+clicks), `act` done: the queue
        // (*: selected), the list focused, what the act saw and the desktop was asked.
        const Table<QString, Act, bool, QString, bool, QStringList> row(
            {"select", "act", "running", "queue", "focused", "calls"});
        const auto popup = [](int row, int item) -> Act { // a right click
            return [row, item](Win& a) {
                return a.desktop.setNextPopupChoice(item), a.click(row, Qt::RightButton), "";
            };
        };
        const Act sort = [](Win& a) { return emit a.list()->header()->sectionClicked(2), ""; };
        const auto set = [](bool yes) -> Act {
            return [yes](Win& a) { return a.desktop.setNextAnswer(yes), a.firstPart(); };
        };
        // Dropped on the list with these actions offered: each event's action (0: refused).
        const auto drop = [](QStringList items, Qt::DropActions offered) -> Act {
            return [items, offered](Win& a) {
                QMimeData mime;
                for (const QString& u : items) // in the folder, on the web, or E's path as text
                    u == "text" ? mime.setText(a.at("E"))
                                : mime.setUrls(mime.urls() << QUrl::fromUserInput(u, a.at("")));
                QDragEnterEvent enter({20, 20}, offered, &mime, Qt::LeftButton, {});
                QDragMoveEvent move({20, 20}, offered, &mime, Qt::LeftButton, {});
                QDropEvent dropped({20, 20}, offered, &mime, Qt::LeftButton, {});
                QString taken;
                for (QDropEvent* e : std::initializer_list<QDropEvent*>{&enter, &move, &dropped})
                    taken += QString::number(QCoreApplication::sendEvent(a.list()->viewport(), e) *
                                             e->isAccepted() * e->dropAction());
                return taken;
            };
        };
        const Act handedOver = [](Win& a) { // during a join: queued once it has ended
            JoinGate gate(a, "B");
            a.runJoin(a.at("t.mpg"));
            const QString meanwhile =
                gate.reached() ? (a.window->openFiles({a.at("E")}), a.queued()) : "";
            gate.open();
            return a.joinEnded() ? "meanwhile " + meanwhile : "no end";
        };
        const QString all = "A B C D", withE = "A B C D E", box = "message frmReelbind",
                      web = "https://example.org/a.mpg", refused = "000";
        const Qt::DropActions copy = Qt::CopyAction, move = Qt::MoveAction, link = Qt::LinkAction;
        row("Remove", "BC", doing("CmdRemove"), false, "A D", true, {});
        row("Delete", "BC", doing("Delete"), false, "A D", true, {});
        row("Shift+Delete", "BC", doing("Shift+Delete"), false, "A *B *C D", false, {});
        row("Delete, join running", "BC", doing("Delete"), true, "A *B *C D", false, {});
        row("Move Down", "AC", doing("CmdMoveDown"), false, "B *A D *C", true, {});
        row("Move Up refused", "AB", doing("CmdMoveUp"), false, "*A *B C D", true, {box});
        row("Clear", "B", doing("CmdClear"), false, "", false, {});
        row("pop-up: Remove", "BC", popup(2, 1), false, "A D", true, {"popup"});
        row("pop-up: View, a row unselected", "BC", popup(0, 0), false, "*A B C D", true,
            {"popup", "document A"});
        row("pop-up: nothing selected", "", popup(-1, 1), false, all, true, {});
        row("View: topmost", "AC", doing("mnu_View"), false, "*A B *C D", false, {"document A"});
        row("sort by size", "", sort, false, "B D A C", false, {});
        row("Add", "", &Win::addTwo, false, withE, false, {addSeen, box});
        row("a set's first part, Yes", "", set(true), false,
            "A B C D E VTS_01_1.VOB VTS_01_2.VOB VTS_01_3.VOB", false, {"yesno frmReelbind (Yes)"});
        row("a set's first part, No", "", set(false), false, "A B C D E VTS_01_1.VOB", false,
            {"yesno frmReelbind (Yes)"});
        row("drop", "", drop({"E", "/gone"}, copy | move), false, withE, false, {"111", box});
        row("drop: link", "", drop({web, "E"}, link | move), false, withE, false, {"444"});
        row("drop: a move", "", drop({"E"}, move), false, all, false, {refused});
        row("drop: plain text", "", drop({"text"}, copy), false, all, false, {refused});
        row("drop: web only", "", drop({web}, copy), false, all, false, {refused});
        row("drop, join running", "", drop({"E"}, copy | move), true, all, false, {refused});
        row("handed over during a join", "", handedOver, false, withE, false,
            {"meanwhile " + all, saveSeen, "beep"});
    }
    void commands()
    {
        Win app;
        MainWindow* w = app.window.get();
        for (int i = 0; i < 5; ++i) // A to E of 3, 1, 4, 2 and 1 MiB
            sized(app.folder.path(), QChar('A' + i), qint64("31421"[i] - '0') << 20);
        app.queue().add({app.at("A"), app.at("B"), app.at("C"), app.at("D")});
        Qt::KeyboardModifiers how;
        for (const QChar l : fetch<QString>("select"))
            app.click(l.unicode() - 'A', Qt::LeftButton, std::exchange(how, Qt::ControlModifier));
        child(w, "CmdAdd")->setFocus();
        app.queue().setJoinRunning(fetch<bool>("running"));
        const QString saw = fetch<Act>("act")(app);
        const auto calls = [&app, saw] {
            QStringList out(saw);
            for (const FakeDesktop::Call& call : std::as_const(app.desktop.calls))
                out << (call.kind == "launcher" ? "" : seen(call));
            return out.removeAll(""), out;
        };
        const JoinQueue::Commands c = app.queue().commands(); // the core's: shown as they are
        QString enabled = QString::asprintf("%d%d%d%d%d", c.add, c.remove, c.clear, c.join, c.exit);
        for (const char* b : {"CmdAdd", "CmdRemove", "CmdClear", "CmdJoin", "CmdExit"})
            enabled += QString::number(child(w, b)->isEnabled());
        QTRY_COMPARE(joined(app.queued(), calls(), w->focusWidget() == app.list(),
                            enabled.left(5) == enabled.mid(5), shown(w, {"LblEstFilesize"})),
                     joined(fetch<QString>("queue"), fetch<QStringList>("calls"),
                            fetch<bool>("focused"), true, app.queue().estimate()));
    }
    void programEnds_data()
    {
        // With the other windows and the `held` dialog open the program ends; Exit saves.
        const Table<Act, QString, QString> row({"open", "held", "how"});
        const Act none = [](Win&) { return ""; };
        const Act folder = [](Win& a) {
            return act(a.window->prefsWindow(), "CmdBrowseSource"), "";
        };
        const auto join = [](int kind) -> Act {
            return [kind](Win& a) { return a.joinKinds(kind); };
        };
        const Act deleting = [](Win& a) { // a join's window, Delete pressed
            a.queue().add({sized(a.folder.path(), "a.mpg", 10)});
            a.runJoin(a.at("t.mpg"));
            return a.joinEnded() ? (act(a.status(), "CmdDelSource"), "") : "";
        };
        row("Exit button", none, "", "CmdExit");
        row("Exit menu item", none, "", "mnu_Exit");
        row("about box's Exit", none, "", "about box's CmdExit");
        row("close box", none, "", "close box");
        row("a signal", none, "", "signal");
        row("a signal, the join's question (One Movie)", join(2),
            "choice frmReelbind Join as One Movie,Join Bytes Anyway,Cancel", "signal");
        row("a signal, the join's question (Yes/No)", join(1), "yesno frmReelbind (No)", "signal");
        row("a signal, the save dialog", join(0), saveSeen, "signal");
        row("Exit, the Add dialog", doing("CmdAdd"), addSeen, "CmdExit");
        row("Exit, Add the Other Parts?", &Win::firstPart, "yesno frmReelbind (Yes)", "CmdExit");
        row("a signal, the delete question", deleting, "yesno frmJoinStatus (Yes)", "signal");
        row("Exit, the folder chooser", folder, "folder frmPrefs", "CmdExit");
        row("close box, a message", &Win::addTwo, "message frmReelbind", "close box");
    }
    void programEnds()
    {
        const QString how = fetch<QString>("how");
        const bool saved = how != "close box" && how != "signal";
        Win app;
        MainWindow& w = *app.window;
        app.desktop.holdUnprepared = true;
        act(&w, "mnu_subPrefs"), act(&w, "mnu_About");
        act(w.prefsWindow(), "ChkRememberSource"); // not OK'd: never saved
        app.settings()[SettingId::ClearQue] = QStringLiteral("1");
        child<QSlider>(&w, "SldrChunkSize")->setValue(23000);
        if (fetch<Act>("open")(app) == "no movies")
            QSKIP("ffmpeg cannot make movies here: the case was not run");
        const QString held = fetch<QString>("held");
        QTRY_COMPARE(app.desktop.isOpen() ? seen(app.desktop.calls.last()) : "", held);
        // The event loop runs as in main() and ends by itself, the windows closed in order.
        const QByteArray before = app.iniBytes();
        QStringList order, closed; // each marked "saved " if the settings were written by then
        QTimer::singleShot(0, &w, [&] {
            for (QWidget* top : std::initializer_list<QWidget*>{w.prefsWindow(), w.statusWindow(),
                                                                w.aboutWindow(), &w})
                if (top && top->isVisible()) { // the status window goes with its question
                    const bool early = top == w.statusWindow() && held.contains("JoinStatus");
                    order.insert(early ? 0 : order.size(),
                                 (saved && !early ? "saved " : "") + top->objectName());
                    connect(top->windowHandle(), &QWindow::visibleChanged, this,
                            [&, name = top->objectName()] {
                                closed << (app.iniBytes() != before ? "saved " : "") + name;
                            });
                }
            act(how.startsWith("about") ? static_cast<QWidget*>(w.aboutWindow()) : &w,
                how.section("'s ", -1), app.program.get());
        });
        QObject guard; // local: its timer must not fire in a later test's loop
        QTimer::singleShot(10000, &guard, [] { QCoreApplication::exit(99); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QByteArray written = app.firstStartIni();
        written.replace("ClearQue=0", "ClearQue=1").replace("ChunkSize=40000", "ChunkSize=23000");
        QCOMPARE(joined(app.iniBytes() == (saved ? written : app.firstStartIni()), closed,
                        app.desktop.isOpen(), app.desktop.dismissed(), topLevels()),
                 joined(true, order, false, true, QStringList()));
        QTRY_COMPARE(topLevels("QDialog").size(), 0); // the others are gone
    }
    void aboutBox_data()
    {
        const Table<QString> row({"how"});
        for (const char* how : {"cmdOK", "Return", "Esc", "close box"})
            row(how, how);
    }
    void aboutBox() // OK, Esc and Enter bring the main window forward; Exit: programEnds()
    {
        App app;
        act(app.window.get(), "mnu_About");
        QPointer<AboutDialog> a = app.window->aboutWindow();
        QVERIFY(a && QTest::qWaitForWindowExposed(a));
        child<QSlider>(app.window.get(), "SldrChunkSize")->setValue(60000); // saved only by Exit
        act(a, fetch<QString>("how"));
        QVERIFY(a && !app.window->aboutWindow()); // deleted later, never under its own handler
        QTRY_VERIFY(!a);
        QCOMPARE(joined(app.window->isVisible(), app.program->isExiting(),
                        app.iniBytes() == app.firstStartIni()),
                 joined(fetch<QString>("how") != "close box", false, true));
    }
    void joins_data()
    {
        // Unlike kinds or MP4 parts joined into a short or 4,000-character folder, the question
        // `answer`ed: the save dialog's first filter and added ending, the window's file line.
        const Table<int, int, QString, QString, QString, QString> row(
            {"kind", "answer", "folder", "filter", "suffix", "line"});
        const QString mpg = "MPG Files (*.mpg)";
        row("kinds, No", 1, 0, "short", "", "", "");
        row("kinds, Yes, a long path", 1, 1, "long", mpg, "", "using a chunk size of 10,000 bytes");
        row("MP4 parts, One Movie", 2, 0, "short", "MP4 Files (*.mp4)", "mp4", "as one movie");
        row("MP4 parts, Join Bytes Anyway, a long path missing", 2, 1, "missing", mpg, "", "");
        row("MP4 parts, Cancel", 2, 2, "short", "", "", "");
    }
    void joins()
    {
        const QString filter = fetch<QString>("filter"), folder = fetch<QString>("folder");
        const int answer = fetch<int>("answer");
        Win f;
        QString dir = f.folder.path();
        while (folder != "short" && dir.size() < 3900)
            dir += '/' + QString(200, QChar(char16_t(0x64 + dir.size() % 3)));
        QVERIFY(folder == "missing" || QDir().mkpath(dir));
        f.prefs().setChunkSize(10000), f.desktop.holdUnprepared = f.files.sparseOutputs = true;
        f.desktop.setNextSaveFile(dir + "/t");
        const qint64 start = QDateTime::currentMSecsSinceEpoch();
        if (!f.joinKinds(fetch<int>("kind")).isEmpty())
            QSKIP("ffmpeg cannot make movies here: the case was not run");
        QString line;
        connect(&f.join(), &JoinSession::fileStarted, f.status(),
                [&] { line = shown(f.status(), {"LblFileNow"}).section(dir + "/t ", 1); });
        QTRY_VERIFY(f.desktop.isOpen()); // the question, the files read: no busy cursor
        const bool busy = QGuiApplication::overrideCursor();
        f.desktop.setNextAnswer(answer), f.desktop.setNextChoice(answer), f.desktop.answerOpen();
        QVERIFY(f.joinEnded());
        QCOMPARE(joined(busy, f.desktop.calls.value(1).filters.value(0),
                        f.desktop.calls.value(1).text, line, bool(f.status())),
                 joined(false, filter, fetch<QString>("suffix"), fetch<QString>("line"),
                        !filter.isEmpty()));
        if (!f.status())
            return;
        const QStringList launcher = f.desktop.texts("launcher");
        // The outcome readable whole: no later control lies on it; a long one scrolls.
        const auto* text = child<QPlainTextEdit>(f.status(), "TextFinal");
        const int end =
            text->y() + int(text->document()->size().height()) * text->fontMetrics().height();
        QStringList covering;
        const QObjectList made = f.status()->children();
        for (const QObject* o : made.mid(made.indexOf(text) + 1))
            if (auto* w = qobject_cast<const QWidget*>(o);
                w && w->isVisible() && w->y() < end && w->geometry().intersects(text->geometry()))
                covering << w->objectName();
        // The launcher hears the progress at most four times a second, and not after the end.
        QCOMPARE(joined(launcher.size() <= 2 + (QDateTime::currentMSecsSinceEpoch() - start) / 250,
                        launcher.indexOf("hidden"), text->toPlainText().contains(dir), covering,
                        child(f.status(), "ProgressBarFile")->isVisible(),
                        text->verticalScrollBar()->maximum() > 0),
                 joined(true, launcher.size() - 1, true, QStringList(), folder == "short",
                        folder != "short"));
    }
    void preferencesWindow_data()
    {
        // The window left by a click, a key on a control, the close box: Enter presses only a
        // focused button, Esc none; a failed OK keeps the edits.
        const Table<QString, QString, bool, bool, bool, int, bool> row(
            {"control", "key", "unwritable", "open", "written", "messages", "kept"});
        row("OK", "CmdOK", "", false, false, true, 0, true);
        row("OK, file unwritable", "CmdOK", "", true, false, false, 1, true);
        row("Cancel", "CmdCancel", "", false, false, false, 0, false);
        row("close box", "", "close box", false, false, false, 0, false);
        row("Esc on OK", "CmdOK", "Esc", false, true, false, 0, true);
        row("Esc in a folder box", "TextSourceDir", "Esc", false, true, false, 0, true);
        row("Return in a folder box", "TextTargetDir", "Return", false, true, false, 0, true);
        row("Enter on a switch", "ChkClearQue", "Enter", false, true, false, 0, true);
        row("Return on Cancel", "CmdCancel", "Return", false, false, false, 0, false);
        row("Enter on OK", "CmdOK", "Enter", false, false, true, 0, true);
    }
    void preferencesWindow()
    {
        const QString control = fetch<QString>("control"), key = fetch<QString>("key");
        App o("[Preferences]\nSaveSourceDir=1\nSaveTargetDir=2\n" // two greyed
              "SourceDir=/media/clips\nConfirmDel=2\nChunkSizeSave=1\n");
        o.desktop.holdUnprepared = true;
        act(o.window.get(), "mnu_subPrefs"), act(o.window.get(), "mnu_subPrefs"); // one window
        QPointer<PreferencesDialog> p = o.window->prefsWindow();
        QStringList states; // the switches, the folder boxes locked (on the button colour) or not
        const auto state = [&] {
            QString out;
            for (const QCheckBox* box : p->findChildren<QCheckBox*>())
                out += QString::number(toStoredCheckState(box->checkState()));
            for (const QLineEdit* e : p->findChildren<QLineEdit*>())
                out += QString(e->isReadOnly() ? " locked " : " editable ") + e->text() +
                       (e->palette().base() == e->palette().button() ? " grey" : "");
            states << out;
        };
        // The remember boxes stand at one left edge (3,000 twips).
        QCOMPARE(joined(topLevels("PreferencesDialog").size(), p->windowTitle(), !p->parentWidget(),
                        p->isModal(), p->focusWidget()->objectName(),
                        layoutFaults(p) + unnamedControls(p), child(p, "ChkRememberSource")->x(),
                        child(p, "ChkRememberTarget")->x()),
                 joined(1, "Preferences", true, false, "CmdOK", QStringList(), 200, 200));
        if (fetch<bool>("unwritable"))
            QVERIFY(QFile::remove(o.iniPath()) && QDir().mkdir(o.iniPath()));
        const QByteArray before = o.iniBytes();
        state(); // a folder box is editable only while its switch is ticked
        for (const char* name : {"ChkConfirmDel", "ChkClearQue", "ChkRememberSource",
                                 "CmdBrowseSource", "CmdBrowseTarget"}) // a click on greyed ticks
            child<QAbstractButton>(p, name)->click();
        o.desktop.answerOpen(), o.desktop.answerOpen(), state(); // both choosers cancelled
        // A chosen folder ticks its remember box; both choosers ask for the "Source" folder.
        for (const auto& [name, folder] :
             {std::pair("CmdBrowseSource", "/a"), {"CmdBrowseTarget", "/b"}}) {
            child<QAbstractButton>(p, name)->click();
            o.desktop.setNextDirectory(folder);
            o.desktop.answerOpen();
        }
        child(p, "TextTargetDir")->setFocus();
        QTest::keyClicks(child(p, "TextTargetDir"), "/x");
        state();
        o.prefs().setCheckState(SettingId::SaveTargetDir, 0), state(); // a live value shows
        QCOMPARE(joined(states, o.desktop.texts("folder"), o.desktop.calls[0].dir,
                        o.desktop.calls[1].dir, o.desktop.calls[3].parent == p.data(),
                        o.prefs().folderText(SettingId::TargetDir)),
                 joined(QStringList{"12201 editable /media/clips locked  grey",
                                    "02111 locked /media/clips grey locked  grey",
                                    "11111 editable /a editable /b/x",
                                    "10111 editable /a locked /b/x grey"},
                        QStringList(4, "Select your default Source folder:"), "/media/clips", "",
                        true, "/b/x"));
        child(p, "CmdBrowseSource")->setFocus(); // a focused button must not leave a default
        QWidget* on = control.isEmpty() ? p.data() : child(p, qPrintable(control));
        on->setFocus();
        act(key.isEmpty() ? p.data() : on, key.isEmpty() ? control : key);
        const bool open = o.window->prefsWindow();
        QTRY_VERIFY(open || !p);
        act(o.window.get(), "mnu_subPrefs");
        p = o.window->prefsWindow();
        QCOMPARE(joined(open, o.iniBytes() != before, o.desktop.texts("message").size(),
                        shown(p, {"TextSourceDir"}) == "/a" &&
                            child<QCheckBox>(p, "ChkClearQue")->isChecked()),
                 joined(fetch<bool>("open"), fetch<bool>("written"), fetch<int>("messages"),
                        fetch<bool>("kept")));
    }
    void statusWindow_data()
    {
        // A join onto `target` with `room` (-1: plenty), `during` done as it opens c.mpg, its
        // window left by `leave`: its buttons, the end, what was told, queued and kept.
        const Table<QString, qint64, QString, QString, QString, QString, QStringList, int, bool>
            row({"target", "room", "during", "leave", "actions", "ends", "told", "queued", "kept"});
        const QString t = "t.mpg", kept = "before the cancel.", same = "was left unchanged.";
        // Enter never deletes for good.
        const QStringList beep = {"beep"}, asked = {"beep", "yesno (Yes)"}, notify = {"notify"},
                          forGood = asked + QStringList("yesno (No)"), noted = notify + beep,
                          byMain = {"message frmReelbind first"};
        row("joined, Enter", t, -1, "", "Enter", "enabled", "", beep, 0, true);
        row("joined, close box", t, -1, "", "close box", "enabled", "", beep, 4, true);
        row("joined, Delete: No", t, -1, "", "Delete: No", "enabled", "", asked, 0, true);
        row("joined, Delete: Yes", t, -1, "", "Delete: Yes", "enabled", "", asked, 0, false);
        row("Delete: no trash", t, -1, "", "Delete: no trash", "enabled", "", forGood, 0, false);
        row("joined, Join again", t, -1, "", "Join again", "enabled", "", beep + beep, 4, true);
        row("Esc during, old file", "old.mpg", -1, "Esc", "Esc", "disabled", same, beep, 0, true);
        row("disk full", t, 40000, "", "Enter", "hidden", "", {"message frmJoinStatus"}, 0, true);
        row("not matching bad.mpg.md5", "bad.mpg", -1, "", "Enter", "enabled hidden", "damaged.",
            {"message frmJoinStatus"}, 0, true);
        row("too little space: message first", t, 0, "", "Enter", "hidden", "", byMain, 0, true);
        row("save dialog cancelled", "", -1, "", "", "", "", {}, 4, true);
        row("a source as the target", "a.mpg", -1, "", "", "", "", byMain, 4, true);
        row("main close box during", t, -1, "main close box", "", "", kept, noted, 4, true);
        row("status close box during", t, -1, "status close box", "", "", kept, notify, 4, true);
        row("signal during, an old file", "old.mpg", -1, "signal", "", "", same, noted, 4, true);
    }
    void statusWindow()
    {
        const QString target = fetch<QString>("target"), during = fetch<QString>("during"),
                      leave = fetch<QString>("leave"), actions = fetch<QString>("actions");
        const qint64 room = fetch<qint64>("room");
        Win f;
        const QString path = f.at(target.isEmpty() ? "t" : target);
        QStringList sources;
        for (int i = 0; i < 4; ++i)
            sources << makeFile(f.folder.path(), QString("abcd"[i]) + ".mpg",
                                5000 * ("7410"[i] - '0'), i);
        const QByteArray before =
            readAll(target == "old.mpg" ? makeFile(f.folder.path(), target, 100, 9) : path);
        f.queue().add(sources), f.prefs().setChunkSize(10000);
        writeFile(f.at("bad.mpg.md5"), QByteArray(32, '0')); // of bad.mpg: no other join's
        f.prefs().setCheckState(SettingId::ClearQue, 1);
        f.files.setFreeSpace(room ? qint64(1) << 40 : 0);
        f.files.diskLeft = room > 0 ? room : -1;
        f.desktop.setNextAnswer(leave != "Delete: No");
        f.desktop.setNextAnswer(f.files.noTrash = leave == "Delete: no trash");
        f.desktop.holdUnprepared = true; // the messages
        JoinGate gate(f, during.isEmpty() ? "" : "c.mpg");
        f.runJoin(target.isEmpty() ? "" : path);
        QPointer<JoinStatusDialog> s = f.status();
        if (!during.isEmpty()) { // the window follows the join: b.mpg joined, c.mpg next
            QVERIFY(gate.reached());
            QTRY_COMPARE(joined(shown(s, {"LblFileNow", "CmdCancel"}), s->isVisible(),
                                child(s, "TextFinal")->isVisible()),
                         joined("Now joining file: b.mpg to " + path +
                                    " using a chunk size of 10,000 bytes Cancel",
                                true, false));
            s->setLongJoinMs(-1);
            QApplication::setActiveWindow(during.size() > 3 ? nullptr : s.data());
            act(during.startsWith("main") ? static_cast<QWidget*>(f.window.get()) : s,
                during.endsWith("close box") ? "close box" : during, f.program.get());
            gate.open();
        }
        QVERIFY(f.joinEnded());
        const auto tell = [&](qsizetype from) { // the messages, beeps, questions, notifications
            QStringList out;
            for (const FakeDesktop::Call& c : f.desktop.calls.mid(from))
                if (QStringList{"message", "beep", "yesno", "notify"}.contains(c.kind))
                    out << seen(c) +
                               (c.kind == "message" && !(s && s->isVisible()) ? " first" : "");
            return out;
        };
        const QStringList told = tell(0);
        const qsizetype seenSoFar = f.desktop.calls.size();
        f.desktop.answerOpen();
        QTRY_COMPARE(s && s->isVisible(), !actions.isEmpty());
        const QString text = f.join().finalText();
        if (s) { // the core's caption and outcome; the bars end empty
            QString acts;
            for (const QWidget* b : {child(s, "CmdViewClip"), child(s, "CmdDelSource")})
                acts += b->isHidden() ? "hidden " : b->isEnabled() ? "enabled " : "disabled ";
            if (child(s, "CmdViewClip")->isVisible()) // it keeps no focus from Enter
                child<QAbstractButton>(s, "CmdViewClip")->click();
            const QStringList messages = f.desktop.texts("message");
            const QString wanted = // each button's, or both's
                actions.contains(' ') ? actions + ' ' : QString(actions + ' ').repeated(2);
            QCOMPARE(joined(s->windowTitle(), acts,
                            shown(s, {"LblFileNow", "ProgressBarFile", "ProgressBarBatch",
                                      "CmdCancel", "CmdViewClip", "CmdDelSource"}),
                            child<QPlainTextEdit>(s, "TextFinal")->toPlainText(),
                            child(s, "TextFinal")->isVisible(), messages.count(text),
                            f.desktop.texts("document"), unnamedControls(s)),
                     joined(f.join().caption(), wanted,
                            " 0 0 Finished View Joined MPG Delete Source Files", text, true,
                            messages.size(),
                            QStringList(wanted.startsWith("enabled") ? 1 : 0, path),
                            QStringList()));
            if (leave == "Join again")
                QVERIFY((f.runJoin(f.at("again.mpg")), f.joinEnded()));
            else
                act(s, leave.startsWith("Delete") ? "CmdDelSource" : leave);
            QTRY_VERIFY(!s);
        }
        const bool exits = during == "signal" || during.startsWith("main");
        QTRY_COMPARE(told + tell(seenSoFar), fetch<QStringList>("told"));
        QTRY_COMPARE(topLevels().size(), exits ? 0 : leave == "Join again" ? 2 : 1);
        const QStringList notified = f.desktop.texts("notify");
        QCOMPARE(
            joined(f.queue().count(), QFile::exists(sources[0]),
                   text.endsWith(fetch<QString>("ends")) || text.isNull(),
                   !target.startsWith("old") || readAll(path) == before,
                   notified.count(f.join().caption() + '|' + text) == notified.size(),
                   f.desktop.texts("yesno")),
            joined(fetch<int>("queued"), fetch<bool>("kept"), true, true, true,
                   QStringList{"Delete Source Files?|Are you sure you want to delete the "
                               "source files?  These files will be moved to the trash.",
                               "Delete Source Files?|" + AfterJoin::deleteForGoodQuestion(sources)}
                       .mid(0, fetch<QStringList>("told").filter("yesno").size())));
    }
    // The real dialogs, answered newest first, show what they were given; at the program's end
    // the others close as by Esc, but the message at the end shows till dismissAll().
    void realDialogs()
    {
        QtDesktop desktop(QStringLiteral("Orvel's Reelbind"));
        QWidget owner;
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("movies"));
        QStringList answers, files; // what each `done` got; the file dialogs as they showed
        const auto take = [&answers](const QString& answer) { answers << answer; };
        const auto show = [&] {
            desktop.message(&owner, "Not enough free space.", [take] { take("closed"); });
            desktop.choose(&owner, "Join Files?", "How?", {"One", "Two", "Three"}, 0, 2,
                           [take](int i) { take(QString::number(i)); });
            desktop.chooseFilesToOpen(
                &owner, dir.path(), Desktop::movieFilters("MP4 Files (*.mp4)"),
                [take](const QStringList& f) { take("open " + f.join(',')); });
            desktop.chooseSaveFile(&owner, dir.path(), Desktop::movieFilters(), "mp4", take);
            desktop.chooseFolder(&owner, "Select your default Source folder:", dir.path(), take);
            for (const auto enter : {Desktop::Default::Yes, Desktop::Default::No})
                desktop.askYesNo(&owner, "Delete?", "Really?", enter,
                                 [take](bool yes) { take(QVariant(yes).toString()); });
        };
        show();
        QCOMPARE(joined(answers.size(), owner.findChildren<QDialog*>().size()), joined(0, 7));
        for (const QString key : {"Return", "Y", "type movies/", "type joined", "Esc"}) {
            QTRY_VERIFY(QApplication::activeModalWidget());
            QWidget* d = QApplication::activeModalWidget();
            const qsizetype before = answers.size();
            if (auto* f = qobject_cast<QFileDialog*>(d)) // where, filters, asks before replacing
                files << joined(f->directory().absolutePath(), f->nameFilters(),
                                f->selectedNameFilter(),
                                f->acceptMode() == QFileDialog::AcceptSave &&
                                    !f->testOption(QFileDialog::DontConfirmOverwrite));
            if (key.startsWith("type "))
                child<QLineEdit>(d, "fileNameEdit")->setText(key.mid(5)), act(d, "Return");
            else
                act(d, key);
            QTRY_VERIFY(answers.size() > before);
        }
        desktop.dismissAll();
        QCOMPARE(joined(answers, files).replace(dir.path(), "{d}"),
                 joined(QStringList{"false", "true", "{d}/movies", "{d}/joined.mp4", "open ", "2",
                                    "closed"},
                        QStringList{
                            "{d} | All Files (*) | Directories | false",
                            "{d} | MPG Files (*.mpg),All Files (*) | MPG Files (*.mpg) | true",
                            "{d} | MP4 Files (*.mp4),All Files (*) | MP4 Files (*.mp4) | false"}));
        QTRY_COMPARE(topLevels("QDialog").size(), 0); // each deleted once closed
        show();
        QCOMPARE(joined(answers.size(), topLevels()), joined(7, QStringList()));
        QTRY_COMPARE(answers.mid(7),
                     QStringList({"closed", "2", "open ", "", "", "false", "false"}));
        desktop.messageAtExit(&owner, "The settings were not saved.");
        QTRY_VERIFY(QApplication::activeModalWidget());
        auto* m = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(m && m->text() == "The settings were not saved." && m->parentWidget() == &owner);
        desktop.dismissAll();
        QTRY_COMPARE(topLevels("QMessageBox").size(), 0);
        // A web address opens as a URL, a path ("//Readme.html" too) as a local file.
        for (const char* scheme : {"https", "file"})
            QDesktopServices::setUrlHandler(scheme, this, "open");
        QString done;
        for (const char* target : {"https://en.wikipedia.org/wiki/Indeo", "/movies/clip#1.mpg",
                                   "//Readme.html", "/a:b/c.mpg", "refused://example.org/"})
            done += QString::number(desktop.openDocument(QString::fromUtf8(target)));
        for (const char* scheme : {"https", "file"})
            QDesktopServices::unsetUrlHandler(scheme);
        QCOMPARE(joined(done, opened.join(' ')),
                 joined("11110", "https://en.wikipedia.org/wiki/Indeo file:///movies/clip%231.mpg "
                                 "file:///Readme.html file:///a:b/c.mpg"));
    }
};

REELBIND_GUI_TEST_MAIN(TestWindows)
#include "test_windows.moc"
