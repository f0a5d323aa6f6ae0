// The main window, the preferences window, the about box and the status window (what they
// show, how they hand the user's actions on, how they close), and the real desktop's dialogs.
#include "gui/AboutDialog.h"
#include "gui/JoinStatusDialog.h"
#include "gui/PreferencesDialog.h"
#include "gui/QtDesktop.h"
#include "gui/QueueList.h"
#include "support/GuiSupport.h"

#include <QtDBus>
#include <QtTest>
#include <QtWidgets>

using namespace TestSupport;

namespace {

/// `look(parent, name)` for each name, joined by `sep`.
QString each(const QObject* parent, std::initializer_list<const char*> names,
             const std::function<QString(const QObject*, const char*)>& look = shown,
             const char* sep = " ")
{
    QStringList out;
    for (const char* name : names)
        out << look(parent, name);
    return out.join(QLatin1String(sep));
}
/// "1" for an enabled control, "0" for a disabled one.
const auto enabled = [](const QObject* p, const char* n) {
    return QString::number(child(p, n)->isEnabled());
};

/// A main window on screen; a join's rounds are of one chunk, so one pump each.
struct Shown : App
{
    MainWindow& w = *window;
    QueueList* list = child<QueueList>(&w, "ListViewAdd");
    Shown() { w.show(); }
    JoinStatusDialog* status() const { return window->statusWindow(); }
    /// Join pressed, the save dialog answering `target`.
    void run(const QString& target)
    {
        join().byteCopy().setOptions({true, 1});
        desktop.setNextSaveFile(target);
        child<QPushButton>(&w, "CmdJoin")->click();
    }
    /// Names queued (*: selected) | estimate | Add to Exit enabled | list focused | boxes, pop-ups
    QString state()
    {
        QStringList names;
        for (int p = 0; p < queue().count(); ++p)
            names << (list->selectedPositions().contains(p) ? "*" : "") + queue().rows().at(p).name;
        return names.join(' ') + " | " + shown(&w, "LblEstFilesize").section("  ", 1) + " | " +
               each(&w, {"CmdAdd", "CmdRemove", "CmdClear", "CmdJoin", "CmdExit"}, enabled, "") +
               " | " + QString::number(w.focusWidget() == list) + " | " +
               QString::number(desktop.texts("message").size()) +
               QString::number(desktop.texts("popup").size());
    }
    QPoint at(int row) { return list->visualRect(queue().model().index(row, 0)).center(); }
};

/// Drag-enter, drag-move and drop of `urls` (or of "text:..." as plain text) on the list:
/// "111 1" when all three are taken and the drop action is 1 (a copy; 4 is a link).
QString drop(QWidget* view, const QStringList& urls,
             Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction)
{
    QMimeData mime;
    for (const QString& u : urls)
        u.startsWith("text:") ? mime.setText(u.mid(5))
                              : mime.setUrls(mime.urls() << QUrl::fromUserInput(u));
    QDragEnterEvent enter({20, 20}, offered, &mime, Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent move({20, 20}, offered, &mime, Qt::LeftButton, Qt::NoModifier);
    QDropEvent dropped({20, 20}, offered, &mime, Qt::LeftButton, Qt::NoModifier);
    QString taken;
    for (QDropEvent* e : std::initializer_list<QDropEvent*>{&enter, &move, &dropped})
        taken += QString::number(QCoreApplication::sendEvent(view, e) && e->isAccepted());
    return dropped.isAccepted() ? taken + ' ' + QString::number(dropped.dropAction()) : taken;
}

/// How View Joined MPG and Delete Source Files look: "hidden", "disabled" or "enabled" each.
QString actions(const QWidget* s)
{
    return each(s, {"CmdViewClip", "CmdDelSource"}, [](const QObject* p, const char* name) {
        const QWidget* b = child(p, name);
        return QString(b->isHidden() ? "hidden" : b->isEnabled() ? "enabled" : "disabled");
    });
}

// Runs `fn` on the next modal window once it is up.
template <typename W> void whenUp(std::function<void(W*)> fn)
{
    QTimer::singleShot(0, [fn] {
        QTRY_VERIFY(qobject_cast<W*>(QApplication::activeModalWidget()));
        fn(qobject_cast<W*>(QApplication::activeModalWidget()));
    });
}

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

class TestWindows : public QObject
{
    Q_OBJECT
    QtDesktop desktop{QStringLiteral("Orvel's Reelbind")};
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; } // a URL handler, no test

private slots:
    void initTestCase() { initGuiTest(); }
    void cleanup()
    {
        QLocale::setDefault(QLocale::system());
        QVERIFY(visibleTopLevels(true).isEmpty());
    }
    void mainWindowLooksAndEnds_data()
    {
        tableRows("locale", {"Exit button=en_US", "Exit menu item=de_DE", "close box=en_US"});
    }
    void mainWindowLooksAndEnds()
    {
        QFETCH(QString, locale);
        const QString how = QTest::currentDataTag();
        QLocale::setDefault(QLocale(locale));
        Shown app;
        MainWindow& w = app.w;
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QStringList texts; // the menu bar, the menus, the buttons, the column heads and widths
        for (const char* m : {"", "mnu_prefs", "mnu_Links", "mnu_Help", "Option_mnu"}) {
            QStringList items; // no item has a shortcut or a mnemonic
            for (QAction* a : *m ? child<QMenu>(&w, m)->actions() : w.menuBar()->actions())
                items << (a->isSeparator() ? "-" : a->text() + a->shortcut().toString());
            texts << items.join('|');
        }
        texts << each(&w, {"CmdAdd", "CmdRemove", "CmdClear", "CmdJoin", "CmdExit"}, shown, "|");
        for (int c = 0; c < 3; ++c) // the last column ends at the edge
            texts << app.list->model()->headerData(c, Qt::Horizontal).toString() + ' ' +
                         QString::number(app.list->header()->sectionSize(c));
        QCOMPARE(texts.join(" # "),
                 "Preferences|Useful Links|Help # Preferences|-|Exit # ZIDA FAQ|Brightwater's "
                 "I.263 Site|Marlowe's IR21 and Tesk's Power Post/Join|Intel's I.263 video CODEC "
                 "(without IMC audio)|Intel Indeo CODECs (IV3.x, IV4.x, IV5)|Free Agent "
                 "(Newsreader)|Get The Latest Version of Orvel's Reelbind # View Readme File|-|"
                 "About # View Selecte File|Remove Selected File(s) # Add|Remove|Clear|Join|Exit "
                 "# Filename 193 # Location 187 # Filesize (in MB) " +
                     QString::number(app.list->viewport()->width() - 380));
        QVERIFY(!w.menuBar()->actions().contains(child<QMenu>(&w, "Option_mnu")->menuAction()));
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(w.centralWidget()->size(), QSize(575, 264));
        QCOMPARE(w.windowTitle(), "Orvel's Reelbind 1.0.7b");
        QVERIFY(!w.windowIcon().isNull() && !child<QToolButton>(&w, "CmdMoveUp")->icon().isNull() &&
                !child<QToolButton>(&w, "CmdMoveDown")->icon().isNull());
        QCOMPARE(layoutFaults(w.centralWidget()) + unnamedControls(w.centralWidget()),
                 QStringList());
        QStringList order;
        for (QWidget* cur = app.list; order.size() < 10; cur = cur->nextInFocusChain())
            if ((cur->focusPolicy() & Qt::TabFocus) && cur->window() == &w)
                order << cur->objectName();
        QCOMPARE(order.join(' '), "ListViewAdd CmdJoin CmdExit CmdAdd CmdRemove CmdClear "
                                  "SldrChunkSize CmdMoveUp CmdMoveDown ListViewAdd");
        // The chunk size at start, lowest, highest, a step less, and as set live.
        auto* frame = child<QGroupBox>(&w, "FrameChunkSize");
        QStringList seen = {child<QLabel>(&w, "LblEstFilesize")->text(), frame->title()};
        for (auto step : {QSlider::SliderToMinimum, QSlider::SliderToMaximum,
                          QSlider::SliderSingleStepSub, QSlider::SliderNoAction}) {
            if (step == QSlider::SliderNoAction) // the slider moves the live chunk size, and back
                app.prefs().setChunkSize(app.prefs().chunkSize() - 46000);
            child<QSlider>(&w, "SldrChunkSize")->triggerAction(step);
            seen << frame->title().section(' ', 2, 2);
        }
        QString want = "Estimated Joined Filesize:  0.00 MB | Chunk Size: 40,000 bytes | "
                       "10,000 | 70,000 | 69,000 | 23,000";
        if (locale == "de_DE") // German swaps the decimal point and the group separator
            want.replace(',', '#').replace('.', ',').replace('#', '.');
        QCOMPARE(seen.join(" | "), want);
        QWidget* exitButton = child(&w, "CmdExit");
        const QRect exit = exitButton->geometry(); // the frame is sizable; controls stay put
        w.resize(w.width() + 100, w.height() + 50);
        QTRY_COMPARE(w.centralWidget()->width(), 675);
        QCOMPARE(exitButton->geometry(), exit);
        app.prefs().setFolderText(SettingId::SourceDir, "/");
        child<QPushButton>(&w, "CmdAdd")->click(); // not answered: cancelled
        const FakeDesktop::Call& d = app.desktop.calls.last();
        QCOMPARE(d.kind + ' ' + d.dir + ' ' + d.filters.join(',') +
                     (d.parent == &w ? "" : " elsewhere"),
                 "open / MPG Files (*.mpg),All Files (*)");
        for (QAction* a : child<QMenu>(&w, "mnu_Links")->actions())
            a->trigger();
        child<QAction>(&w, "mnu_Readme")->trigger(); // after the seven links
        QCOMPARE(app.desktop.texts("document").mid(7),
                 QStringList(app.programFolder() + "/Readme.html"));
        child<QAction>(&w, "mnu_subPrefs")->trigger();
        child<QAction>(&w, "mnu_About")->trigger();
        QCOMPARE(visibleTopLevels().size(), 3);
        child<QCheckBox>(w.prefsWindow(), "ChkConfirmDel")->click(); // not OK'd: never saved
        app.settings()[SettingId::ClearQue] = QStringLiteral("1");
        // The event loop runs as in main(); it must end by itself.
        QTimer::singleShot(0, &w, [&] {
            how == "close box"     ? void(w.close())
            : how == "Exit button" ? QTest::mouseClick(exitButton, Qt::LeftButton)
                                   : child<QAction>(&w, "mnu_Exit")->trigger();
        });
        QObject guard; // local: its timer must not fire in a later test's loop
        QTimer::singleShot(10000, &guard, [] { QCoreApplication::exit(99); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QByteArray saved = app.firstStartIni();
        saved.replace("ClearQue=0", "ClearQue=1").replace("ChunkSize=40000", "ChunkSize=23000");
        QCOMPARE(app.iniBytes(), how == "close box" ? app.firstStartIni() : saved);
        QVERIFY(visibleTopLevels().isEmpty());
        QTRY_COMPARE(topLevelCount("QDialog"), 0); // the others are gone
    }
    void queueThroughTheWindow_data()
    {
        // A to D queued; E and a missing file to add or drop. "how=selected > after": state(),
        // files opened, the drop taken (enter, move, drop) and its action (1 copies, 4 links).
        tableRows("row",
                  {"Remove=B C > A D | 5.00 MB | 11111 | 1 | 00",
                   "Delete=B C > A D | 5.00 MB | 11111 | 1 | 00",
                   "Shift+Delete=B C > A *B *C D | 10.00 MB | 11111 | 0 | 00",
                   "Delete, join running=B C > A *B *C D | 10.00 MB | 00000 | 0 | 00",
                   "Move Up=B C > *B *C A D | 10.00 MB | 11111 | 1 | 00",
                   "Move Down=A C > B *A D *C | 10.00 MB | 11111 | 1 | 00",
                   "Move Up refused=A B > *A *B C D | 10.00 MB | 11111 | 1 | 10",
                   "Clear=B > | 0.00 MB | 10001 | 0 | 00",
                   "pop-up: Remove=B C > A D | 5.00 MB | 11111 | 1 | 01",
                   "pop-up: View, unselected row=B C > *A B C D | 10.00 MB | 11111 | 1 | 01 A",
                   "pop-up: nothing selected= > A B C D | 10.00 MB | 11111 | 1 | 00",
                   "View: the topmost=A C > *A B *C D | 10.00 MB | 11111 | 0 | 00 A",
                   "sort by size= > B D A C | 10.00 MB | 11111 | 1 | 00",
                   "Add= > A B C D E | 11.00 MB | 11111 | 0 | 10",
                   "drop= > A B C D E | 11.00 MB | 11111 | 0 | 10 111 1",
                   "drop: a move= > A B C D | 10.00 MB | 11111 | 0 | 00 000",
                   "drop: plain text= > A B C D | 10.00 MB | 11111 | 0 | 00 000",
                   "drop: web only= > A B C D | 10.00 MB | 11111 | 0 | 00 000",
                   "drop: a link, web= > A B C D E | 11.00 MB | 11111 | 0 | 00 111 4",
                   "drop, join running= > A B C D | 10.00 MB | 00000 | 0 | 00 000"});
    }
    void queueThroughTheWindow()
    {
        QFETCH(QString, row);
        const QString via = QTest::currentDataTag();
        Shown app;
        MainWindow& w = app.w;
        const QString dir = app.folder.path(), e = dir + "/E", web = "https://example.org/a.mpg";
        for (int i = 0; i < 5; ++i) // A to E of 3, 1, 4, 2 and 1 MiB
            sized(dir, QChar('A' + i), qint64("31421"[i] - '0') << 20);
        app.queue().add({dir + "/A", dir + "/B", dir + "/C", dir + "/D"});
        QWidget* view = app.list->viewport();
        Qt::KeyboardModifiers how; // a click, then Ctrl+clicks: the current row is the last
        for (const QString& l : row.section(" > ", 0, 0).split(' ', Qt::SkipEmptyParts))
            QTest::mouseClick(view, Qt::LeftButton, std::exchange(how, Qt::ControlModifier),
                              app.at(l[0].unicode() - 'A'));
        child(&w, "CmdAdd")->setFocus();
        app.queue().setJoinRunning(via.contains("join"));
        app.desktop.setNextPopupChoice(via.contains("View") ? 0 : 1);
        app.desktop.setNextOpenFiles({e, dir + "/gone"});
        QString dropped;
        QHeaderView* header = app.list->header();
        if (via.startsWith("pop-up"))
            QTest::mouseClick(view, Qt::RightButton, {},
                              via.endsWith("selected") ? QPoint(10, view->height() - 3)
                                                       : app.at(via.contains("View") ? 0 : 2));
        else if (via.contains("Delete"))
            QTest::keyClick(app.list, Qt::Key_Delete,
                            via.startsWith("Shift") ? Qt::ShiftModifier : Qt::NoModifier);
        else if (via.startsWith("View"))
            child<QAction>(&w, "mnu_View")->trigger();
        else if (via.startsWith("sort"))
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              {header->sectionViewportPosition(2) + 5, header->height() / 2});
        else if (via.startsWith("drop"))
            dropped =
                drop(view,
                     via.contains("web")    ? QStringList{web, e}.mid(0, 1 + via.contains("link"))
                     : via.contains("text") ? QStringList{"text:" + e}
                                            : QStringList{e, dir + "/gone"},
                     via.contains("link")   ? Qt::LinkAction
                     : via.contains("move") ? Qt::MoveAction
                                            : Qt::CopyAction | Qt::MoveAction);
        else
            w.findChild<QAbstractButton*>("Cmd" + via.section(' ', 0, 1).remove(' '))->click();
        QCoreApplication::processEvents(); // a dropped file is added here
        const QString docs = app.desktop.texts("document").join(' ').remove(dir + '/');
        QCOMPARE((app.state() + ' ' + docs + ' ' + dropped).simplified(), row.section(" > ", 1));
    }
    void preferencesWindow_data()
    {
        // Still open, file written, desktop calls after browsing's four, edits shown when next
        // opened. Enter presses only a focused button, Esc none; a failed OK keeps the edits.
        tableRows("after", {"OK=0 1 0 1", "OK, file unwritable=0 0 1 1", "Cancel=0 0 0 0",
                            "close box=0 0 0 0", "CmdOK Esc=1 0 0 1", "TextSourceDir Esc=1 0 0 1",
                            "TextTargetDir Return=1 0 0 1", "ChkClearQue Enter=1 0 0 1",
                            "CmdCancel Return=0 0 0 0", "CmdOK Enter=0 1 0 1"});
    }
    void preferencesWindow()
    {
        const QString how = QTest::currentDataTag();
        App o("[Preferences]\nSaveSourceDir=1\nSaveTargetDir=2\n" // two greyed
              "SourceDir=/media/clips\nConfirmDel=2\nChunkSizeSave=1\n");
        QAction* menuItem = child<QAction>(o.window.get(), "mnu_subPrefs");
        menuItem->trigger();
        QPointer<PreferencesDialog> p = o.window->prefsWindow();
        const auto c = [&p](const char* name) { return child(p, name); };
        // The switches' live states ("?" after one the window shows otherwise); then per folder
        // box "locked" or "editable" ("?" if it does not look so), its text and the live one.
        const auto state = [&] {
            QString out;
            for (const SettingInfo& s : kSettingTable)
                if (s.kind == SettingInfo::Kind::Switch) {
                    const int live = o.prefs().checkState(s.id);
                    const auto box = child<QCheckBox>(p, s.shownBy)->checkState();
                    out += QString::number(live) + (toStoredCheckState(box) == live ? "" : "?");
                }
            for (auto f : {SettingId::SourceDir, SettingId::TargetDir}) {
                const QLineEdit* e = child<QLineEdit>(p, settingInfo(f).shownBy);
                const bool locked = e->isReadOnly(),
                           grey = e->palette().color(QPalette::Base) ==
                                  QApplication::palette(e).color(QPalette::Button);
                out += QString(locked ? " | locked" : " | editable") +
                       (grey == locked ? " " : "? ") + e->text() + ' ' + o.prefs().folderText(f);
            }
            return out;
        };
        QCOMPARE(p->windowTitle(), "Preferences");
        QVERIFY(!p->parentWidget() && !p->isModal());
        QCOMPARE(p->focusWidget(), c("CmdOK"));
        QCOMPARE(layoutFaults(p) + unnamedControls(p), QStringList());
        // The remember boxes stand at one left edge (3,000 twips), their whole texts inside.
        for (const char* name : {"ChkRememberSource", "ChkRememberTarget"})
            QCOMPARE(QString::number(c(name)->x()) +
                         (c(name)->width() >= c(name)->sizeHint().width() &&
                                  c(name)->geometry().right() < p->width()
                              ? " whole"
                              : " cut"),
                     "200 whole");
        menuItem->trigger();
        QCOMPARE(o.window->prefsWindow(), p.data());
        QCOMPARE(topLevelCount("PreferencesDialog"), 1);
        if (how.contains("unwritable"))
            QVERIFY(QFile::remove(o.iniPath()) && QDir().mkdir(o.iniPath()));
        const QByteArray before = o.iniBytes();
        // A folder box is editable only while its remember box is ticked (greyed is not).
        QCOMPARE(state(), "12201 | editable /media/clips /media/clips | locked  ");
        for (const char* name : {"ChkConfirmDel", "ChkClearQue", "ChkRememberSource",
                                 "CmdBrowseSource", "CmdBrowseTarget"}) // a click on greyed ticks
            qobject_cast<QAbstractButton*>(c(name))->click();           // the choosers cancelled
        QCOMPARE(state(), "02111 | locked /media/clips /media/clips | locked  ");
        // A chosen folder ticks its remember box; both choosers ask for the "Source" folder.
        o.desktop.setNextDirectory("/a");
        o.desktop.setNextDirectory("/b");
        for (const char* name : {"CmdBrowseSource", "CmdBrowseTarget"})
            qobject_cast<QAbstractButton*>(c(name))->click();
        c("TextTargetDir")->setFocus();
        QTest::keyClicks(c("TextTargetDir"), "/x");
        QCOMPARE(state(), "11111 | editable /a /a | editable /b/x /b/x");
        QCOMPARE(o.desktop.texts("folder"), QStringList(4, "Select your default Source folder:"));
        QCOMPARE(o.desktop.calls[0].dir + "|" + o.desktop.calls[1].dir, "/media/clips|");
        QCOMPARE(o.desktop.calls[3].parent.data(), static_cast<QWidget*>(p.data()));
        o.prefs().setCheckState(SettingId::SaveTargetDir, 0);
        QCOMPARE(state(), "10111 | editable /a /a | locked /b/x /b/x");
        c("CmdBrowseSource")->setFocus(); // a focused button must not leave a default behind
        if (QWidget* w = p->findChild<QWidget*>(how.section(' ', 0, 0))) {
            w->setFocus();
            QTest::keyClick(w, QKeySequence(how.section(' ', 1))[0].key());
        } else if (how == "close box")
            p->close();
        else
            child<QPushButton>(p, how == "Cancel" ? "CmdCancel" : "CmdOK")->click();
        const bool open = o.window->prefsWindow();
        QTRY_VERIFY(open || !p);
        menuItem->trigger();
        p = o.window->prefsWindow();
        const bool kept = child<QLineEdit>(p, "TextSourceDir")->text() == "/a" &&
                          child<QCheckBox>(p, "ChkClearQue")->isChecked();
        QTEST(QString::asprintf("%d %d %d %d", open, o.iniBytes() != before,
                                int(o.desktop.calls.size() - 4), kept),
              "after");
    }
    void aboutBox_data()
    {
        // Main window shown (OK brings it forward, the close box only closes), quitting, saved.
        tableRows("after",
                  {"OK=1 0 0", "Return=1 0 0", "Esc=1 0 0", "close box=0 0 0", "Exit=0 1 1"});
    }
    void aboutBox()
    {
        const QString key = QTest::currentDataTag();
        App app;
        for (int i = 0; i < 2; ++i) // one box only
            child<QAction>(app.window.get(), "mnu_About")->trigger();
        QPointer<AboutDialog> a = app.window->aboutWindow();
        QVERIFY(a && QTest::qWaitForWindowExposed(a));
        QCOMPARE(topLevelCount("AboutDialog"), 1);
        QLabel *title = child<QLabel>(a, "lblTitle"), *version = child<QLabel>(a, "lblVersion");
        QCOMPARE(a->windowTitle() + " | " + title->text() + " | " + version->text(),
                 "About Orvel's Reelbind | Orvel's Reelbind | Version 1.0.7b For Windows 95/98/NT");
        QCOMPARE(QList<qreal>({title->font().pointSizeF(), version->font().pointSizeF()}),
                 QList<qreal>({14.25, 9.75}));
        QVERIFY(!child<QLabel>(a, "picIcon")->pixmap().isNull());
        QCOMPARE(layoutFaults(a) + unnamedControls(a), QStringList());
        const auto rules = a->findChildren<QFrame*>("Line1"); // etched: white below grey
        QCOMPARE(rules.size(), 2);
        QCOMPARE(rules[1]->geometry().top(), rules[0]->geometry().bottom() + 1);
        QCOMPARE(a->focusWidget(), child(a, "cmdOK"));
        QVERIFY(a->windowType() == Qt::Tool && !a->parentWidget() && !a->isModal()); // no task bar
        child<QSlider>(app.window.get(), "SldrChunkSize")->setValue(60000); // saved only by Exit
        const QByteArray stored = app.iniBytes();
        if (key == "OK" || key == "Exit")
            QTest::mouseClick(child(a, key == "OK" ? "cmdOK" : "CmdExit"), Qt::LeftButton);
        else if (key == "close box")
            a->close();
        else
            QTest::keyClick(child(a, "lblDescription"), QKeySequence(key)[0].key());
        QVERIFY(a && !app.window->aboutWindow()); // deleted later, never under its own handler
        QTRY_VERIFY(!a);
        QTEST(QString::asprintf("%d %d %d", app.window->isVisible(), app.program->isClosing(),
                                app.iniBytes() != stored),
              "after");
    }
    void endings_data()
    {
        // "how key=after": the join ends (Cancel by key or an act in pump 3); key leaves.
        // After: caption, texts | actions | box/beep | pumps | queued, kept, asked | windows, saved
        tableRows("row",
                  {"done Esc=Done! 100% 100% | enabled enabled | beep | 7 | 0 1 0 | 1 0",
                   "done close=Done! 100% 100% | enabled enabled | beep | 7 | 4 1 0 | 1 0",
                   "done no=Done! 100% 100% | enabled enabled | beep | 7 | 0 1 1 | 1 0",
                   "done yes=Done! 100% 100% | enabled enabled | beep | 7 | 0 0 1 | 1 0",
                   // No trash takes the files: asked again, then deleted for good.
                   "done notrash=Done! 100% 100% | enabled enabled | beep | 7 | 0 0 2 | 1 0",
                   "done join=Done! 100% 100% | enabled enabled | beep beep | 7 | 4 1 0 | 2 0",
                   "cancel Enter=Cancelled! 86% 50% | disabled disabled | beep | 3 | 0 1 0 | 1 0",
                   "cancel Esc=Cancelled! 86% 50% | disabled disabled | beep | 3 | 0 1 0 | 1 0",
                   "full Esc=Failed! 0% 58% | hidden hidden | box | 4 | 0 1 0 | 1 0",
                   "nospace Enter=0% 0% | hidden hidden | box first | 0 | 0 1 0 | 1 0",
                   // No window without a target; none closes under the running join.
                   "nosave -=gone | - |  | 0 | 4 1 0 | 1 0",
                   "source -=gone | - | box first | 0 | 4 1 0 | 1 0",
                   "exit -=gone | - | beep | 3 | 4 1 0 | 0 1",
                   "close main=gone | - | beep | 3 | 4 1 0 | 0 0",
                   "close status=gone | - | beep | 3 | 4 1 0 | 1 0"});
    }
    void endings()
    {
        QFETCH(QString, row);
        const QString tag = QTest::currentDataTag(), how = tag.section(' ', 0, 0),
                      key = tag.section(' ', 1);
        Shown f;
        QStringList joined;
        for (int i = 0; i < 4; ++i) // 35000, 0, 20000 and 5000 bytes: b adds nothing and no pump
            joined << sized(f.folder.path(), "abcd"[i] + QString(".mpg"), 5000 * ("7041"[i] - '0'));
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
            const bool steady =
                f.window->isVisible() && s->isVisible() && f.join().isRunning() &&
                child(s, "TextFinal")->isHidden() && actions(s) == "hidden hidden" &&
                s->windowTitle() + shown(s, "CmdCancel") == "Joining Files...Cancel";
            figures << shown(s, "LblFileNow").section(' ', n == 1 ? 0 : 3, n == 1 ? -1 : 3) + ' ' +
                           each(s, {"LblFilePercent", "LblBatchPercent", "ProgressBarFile",
                                    "ProgressBarBatch"}) +
                           (steady ? "" : " (window changed)");
        };
        f.run(target);
        f.pump.onPump = nullptr;
        // The file's line (then only its name); one pump a round (a chunk, or a tail), the file
        // figure showing the file as it stood before the chunk, the bars as it stands after.
        QCOMPARE(figures, ("Now joining file: a.mpg to " + target +
                           " using a chunk size of 10,000 bytes 0% 17% 285 166#a.mpg 29% 33% "
                           "571 333#a.mpg 57% 50% 857 500#a.mpg 100% 58% 1000 583#c.mpg 0% "
                           "75% 500 750#c.mpg 100% 92% 1000 916#d.mpg 100% 100% 1000 1000")
                              .split('#')
                              .mid(0, figures.size()));
        QString seen = "gone | -";
        if (JoinStatusDialog* now = f.status()) {
            s = now;
            seen =
                (s->windowTitle().mid(16) + ' ' + // the texts keep their last figures
                 each(s, {"LblFileNow", "LblFilePercent", "LblBatchPercent"}) + " | " + actions(s))
                    .simplified();
            const QString final = f.join().finalText();
            QVERIFY(s->isVisible() && child(s, "TextFinal")->isVisible() && !final.isEmpty());
            QCOMPARE(unnamedControls(s), QStringList());
            QCOMPARE(child<QPlainTextEdit>(s, "TextFinal")->toPlainText() + '|' +
                         each(s, {"CmdCancel", "CmdViewClip", "CmdDelSource"}, shown, "|"),
                     final + "|Finished|View Joined MPG|Delete Source Files");
            QCOMPARE(f.desktop.texts("message"), QStringList(final).mid(0, !box.isEmpty()));
            QCOMPARE(shown(s, "ProgressBarFile") + shown(s, "ProgressBarBatch"), "00");
            for (int i = 0; i < 2 && how == "done"; ++i)
                QTest::mouseClick(child(s, "CmdViewClip"), Qt::LeftButton);
            QCOMPARE(f.desktop.texts("document"), QStringList(how == "done" ? 2 : 0, target));
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
        QStringList questions; // Enter's answer after each: deleting for good is never its
        for (const FakeDesktop::Call& c : std::as_const(f.desktop.calls))
            if (c.kind == "yesno")
                questions << c.text + (c.button == Desktop::Default::No ? " (No)" : " (Yes)");
        QCOMPARE(questions,
                 QStringList(
                     {"Delete Source Files?|Are you sure you want to delete the "
                      "source files?  These files will be moved to the trash. (Yes)",
                      "Delete Source Files?|" + AfterJoin::deleteForGoodQuestion(joined) + " (No)"})
                     .mid(0, questions.size()));
        box += QString(" beep").repeated(f.desktop.texts("beep").size());
        seen += QString::asprintf(
            " | %s | %d | %d %d %d | %d %d", qPrintable(box.trimmed()), int(figures.size()),
            int(f.queue().count()), QFile::exists(joined[0]), int(questions.size()),
            int(visibleTopLevels().size()), f.iniBytes() != f.firstStartIni());
        QCOMPARE(seen, row);
    }
    // Files that will not play joined: the question comes first and Enter answers No; No ends
    // the join as a cancelled save dialog does, Yes goes on to the save dialog.
    void kindsAskBeforeTheSaveDialog()
    {
        for (const bool yes : {false, true}) {
            Shown f;
            const QString target = f.folder.filePath("t.mpg");
            QStringList names;
            for (const char* head : {"0000001866747970", "000001BA"}) { // ftyp, a pack header
                QFile file(f.folder.filePath(QString::number(names.size())));
                QVERIFY(file.open(QIODevice::WriteOnly) &&
                        file.write(QByteArray::fromHex(head) + pattern(30000, 1)) > 0);
                names << file.fileName();
            }
            f.queue().add(names);
            f.desktop.setNextAnswer(yes);
            f.run(target);
            QStringList calls;
            for (const FakeDesktop::Call& c : std::as_const(f.desktop.calls))
                if (c.kind != "launcher")
                    calls << c.kind + (c.kind == "yesno" && c.button == Desktop::Default::No
                                           ? "(No)"
                                           : "");
            QCOMPARE(calls.join(' '), yes ? "yesno(No) save beep" : "yesno(No)");
            QCOMPARE(f.desktop.texts("yesno").value(0).section('|', 0, 0), "Join Files?");
            QCOMPARE(QList<bool>({bool(f.status()), QFile::exists(target)}), QList<bool>(2, yes));
            QCOMPARE(QGuiApplication::overrideCursor(), nullptr); // busy only while files are read
            QCOMPARE(each(&f.w, {"CmdJoin", "CmdAdd", "CmdExit"}, enabled, ""), "111");
        }
    }
    // The launcher hears a join's progress (rising, at most four times a second, gone at the end);
    // a long join ending while its window is inactive asks for one notification. Then over a
    // real session bus, with stand-ins for the desktop's services (skipped without a bus).
    void desktopHearsOfLongJoins()
    {
        SessionBus bus(QStringLiteral("org.reelbind.Reelbind"), QStringLiteral("Orvel's Reelbind"));
        FakeDesktopServices services;
        QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "desk");
        const bool onBus = other.isConnected() &&
                           other.registerService("org.freedesktop.Notifications") &&
                           other.registerObject("/org/freedesktop/Notifications", &services,
                                                QDBusConnection::ExportAllSlots) &&
                           other.connect({}, {}, "com.canonical.Unity.LauncherEntry", "Update",
                                         &services, SLOT(Update(QString, QVariantMap)));
        const auto drop = qScopeGuard([] { QDBusConnection::disconnectFromBus("desk"); });
        for (const QString how : {"long", "long active", "short", "bus"}) {
            if (how == "bus" && !onBus)
                QSKIP("no session bus: the case over D-Bus was not run");
            Shown f;
            f.desktop.bus = how == "bus" ? &bus : nullptr;
            for (int i = 0; i < 6; ++i)
                f.queue().add({sized(f.folder.path(), QString("p%1.mpg").arg(i), 120000)});
            QElapsedTimer took;
            f.pump.onPump = [&](int) {
                f.status()->setLongJoinMs(how == "short" ? 60000 : 0);
                QApplication::setActiveWindow(how.contains("active") ? f.status() : nullptr);
                QTest::qSleep(40);
            };
            took.start();
            f.run(f.folder.filePath("t.mpg"));
            QTRY_COMPARE(f.status()->windowTitle(), "Joining Files...Done!");
            const QStringList shown = f.desktop.texts("launcher");
            QStringList rising = shown;
            std::sort(rising.begin(), rising.end() - 1);
            QCOMPARE(joined(shown.size() >= 3 && shown.size() - 1 <= 1 + took.elapsed() / 250,
                            shown.last(), shown == rising, f.desktop.texts("notify").join('#')),
                     joined(true, "hidden", true,
                            (how.startsWith("long") && !how.contains("active")) || how == "bus"
                                ? "Joining Files...Done!|File " + f.folder.filePath("t.mpg") +
                                      " has successfully been joined!"
                                : ""));
            if (how == "bus") {
                QTRY_VERIFY(!services.notes.isEmpty() &&
                            services.updates.endsWith(
                                "application://org.reelbind.Reelbind.desktop hidden"));
                QCOMPARE(services.notes, QStringList("Orvel's Reelbind|org.reelbind.Reelbind|" +
                                                     f.desktop.texts("notify").value(0)));
                QCOMPARE(services.updates.size(), shown.size());
            }
            QVERIFY(f.status()->close());
        }
    }
    // A first part added: one question names the rest of its set (Enter: Yes); Yes queues them
    // right after it, No only what was chosen.
    void otherPartsOfASet()
    {
        for (const bool yes : {true, false}) {
            Shown f;
            QStringList vobs;
            for (const char* name : {"VTS_01_1.VOB", "VTS_01_2.VOB", "VTS_01_3.VOB"})
                vobs << sized(f.folder.path(), name, 2048);
            f.desktop.setNextAnswer(yes);
            f.w.openFiles({vobs[0], sized(f.folder.path(), "z.mpg", 10)});
            const FakeDesktop::Call ask = f.desktop.calls.value(0);
            QCOMPARE(QStringList({ask.kind, ask.text.section('\n', 0, 0),
                                  QString::number(ask.button == Desktop::Default::Yes),
                                  f.state().section(" | ", 0, 0)})
                         .join(" # "),
                     "yesno # Add the Other Parts?|VTS_01_1.VOB is the first part of a set. Its "
                     "other parts lie in the same folder: # 1 # " +
                         QString(yes ? "VTS_01_1.VOB VTS_01_2.VOB VTS_01_3.VOB z.mpg"
                                     : "VTS_01_1.VOB z.mpg"));
        }
    }
    // Every outcome readable whole: a short one above the bars as ever; a long one (a target
    // path of 4,000 characters, joined or failing) scrolling where no control covers it.
    void outcomeTextReadable()
    {
        for (const QString how : {"short", "long", "failed"}) {
            Shown f;
            QString dir = f.folder.path();
            while (how != "short" && dir.size() < 3900)
                dir += '/' + QString(200, QChar(char16_t(0x64 + dir.size() % 3)));
            QVERIFY(how != "long" || QDir().mkpath(dir));
            f.queue().add({sized(f.folder.path(), "a.mpg", 3000)});
            f.run(dir + "/t.mpg");
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
            QCOMPARE(joined(how, text->toPlainText().contains(dir), covering.size(),
                            how == "short" ? lines * text->fontMetrics().height() <= room
                                           : text->verticalScrollBar()->maximum() > 0),
                     joined(how, true, how == "short" ? 4 : 0, true)); // short: the bars below
            QVERIFY(f.status()->close());
        }
    }
    // MP4 parts that make one movie: the question offers it first, the save dialog offers MP4
    // first, and the status window says how it joins.
    void partsJoinAsOneMovie()
    {
        Shown f;
        QStringList parts;
        for (const char* name : {"a.mp4", "b.mp4"})
            if (QProcess::execute("ffmpeg", QString("-nostdin -v error -f lavfi -i testsrc=d=1 ")
                                                    .split(' ', Qt::SkipEmptyParts)
                                                << parts.emplaceBack(f.folder.filePath(name))))
                QSKIP("ffmpeg cannot make movies here: the case was not run");
        f.queue().add(parts);
        f.desktop.setNextChoice(0);
        QString line;
        f.pump.onPump = [&](int) { line = shown(f.status(), "LblFileNow"); };
        f.run(f.folder.filePath("t.mp4"));
        QTRY_COMPARE(f.status()->windowTitle(), "Joining Files...Done!");
        QStringList calls;
        for (const FakeDesktop::Call& c : std::as_const(f.desktop.calls))
            if (c.kind != "launcher")
                calls << c.kind + ' ' + c.filters.join(',');
        QCOMPARE(calls.join(" # ") + " # " + line,
                 "choice Join as One Movie,Join Bytes Anyway,Cancel # save MP4 Files (*.mp4),All "
                 "Files (*) # beep  # Now joining file: b.mp4 to " +
                     f.folder.filePath("t.mp4") + " as one movie");
        QVERIFY(f.status()->close());
    }
    // Files handed over while a join runs join the queue once it has ended.
    void filesHandedOverDuringAJoin()
    {
        Shown app;
        const QString dir = app.folder.path();
        app.queue().add({sized(dir, "a.mpg", 30000)});
        app.pump.onPump = [&](int n) { n == 1 ? app.w.openFiles({sized(dir, "b", 1)}) : void(); };
        app.run(dir + "/t.mpg");
        QTRY_COMPARE(app.state().section(" | ", 0, 1), "a.mpg b | 0.03 MB");
        QVERIFY(app.status()->close());
    }
    // The real dialogs, each answered once it is up and checked after it closed (a failing
    // check cannot leave one waiting): what it shows, who owns it, what its answer gives.
    void dialogs()
    {
        QTemporaryDir dir;
        const QString folder = dir.path(), movies = dir.filePath("movies");
        QVERIFY(QDir().mkdir(movies));
        QWidget owner;
        QStringList seen;
        const auto n = [](int v) { return QString::number(v); };
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Y, Qt::Key_Escape, Qt::Key_Return,
                                  Qt::Key_Return, Qt::Key_Escape}) { // then a box of 3 buttons
            whenUp<QMessageBox>([&](QMessageBox* box) {
                QStringList look = {box->windowTitle(), box->text(), n(box->icon()),
                                    n(box->parentWidget() == &owner)};
                look << (box->defaultButton() ? box->defaultButton()->text().remove('&') : "-");
                for (QAbstractButton* b : box->buttons())
                    look << b->text().remove('&');
                seen << look.join('|');
                QTest::keyClick(box, key);
            });
            if (key == Qt::Key_Return && seen.isEmpty())
                desktop.message(&owner, "Not enough free space.");
            else if (seen.size() >= 7) // Enter takes the first, Esc the last
                seen << n(
                    desktop.choose(&owner, "Join Files?", "How?", {"One", "Two", "Three"}, 0, 2));
            else // the last one's safe answer is No: Enter takes it
                seen << n(desktop.askYesNo(&owner, "Delete Source Files?", "Really?",
                                           seen.size() < 5 ? Desktop::Default::Yes
                                                           : Desktop::Default::No));
        }
        for (int i = 0; i < 3; ++i) {
            whenUp<QFileDialog>([&](QFileDialog* d) {
                seen << QStringList({d->windowTitle(), d->nameFilters().join(';'),
                                     d->selectedNameFilter(), d->directory().absolutePath(),
                                     n(d->fileMode()), n(d->acceptMode()), // a save asks to replace
                                     n(!d->testOption(QFileDialog::DontConfirmOverwrite)),
                                     n(d->parentWidget() == &owner)})
                            .join('|');
                d->selectFile(movies);
                i < 2 ? d->reject() : static_cast<QDialog*>(d)->accept(); // no checks of its own
            });
            seen << (i == 0   ? desktop.getOpenFileNames(&owner, folder, Desktop::movieFilters())
                     : i == 1 ? QStringList(desktop.getSaveFileName(&owner, folder,
                                                                    Desktop::movieFilters()))
                              : QStringList(desktop.getExistingDirectory(
                                    &owner, "Select your default Source folder:", folder)));
        }
        QCOMPARE(
            seen.join(" # ").replace(folder, "{f}"),
            "Orvel's Reelbind|Not enough free space.|0|1|-|OK # Delete Source Files?|Really?|0|1|"
            "Yes|Yes|No # 1 # Delete Source Files?|Really?|0|1|Yes|Yes|No # 0 # "
            "Delete Source Files?|Really?|0|1|No|Yes|No # 0 # Join Files?|How?|0|1|One|One|Two|"
            "Three # 0 # Join Files?|How?|0|1|One|One|Two|Three # 2 # Open|MPG Files (*.mpg);All "
            "Files (*)|"
            "MPG Files (*.mpg)|{f}|3|0|1|1 # Save As|MPG Files (*.mpg);All Files (*)|"
            "MPG Files (*.mpg)|{f}|0|1|1|1 #  # Select your default Source folder:|All Files (*)|"
            "Directories|{f}|2|0|1|1 # {f}/movies");
        // The desktop opens documents through the URL handlers; "refused" names no slot.
        for (const char* scheme : {"https", "file", "refused"})
            QDesktopServices::setUrlHandler(scheme, this, *scheme == 'r' ? "refuse" : "open");
        for (const char* target : {"https://en.wikipedia.org/wiki/Indeo",
                                   "/movies/joined clip#1.mpg", "//Readme.html", "/a:b/c.mpg"})
            QVERIFY(desktop.openDocument(QString::fromUtf8(target)));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("No such method"));
        QVERIFY(!desktop.openDocument(QStringLiteral("refused://example.org/")));
        for (const char* scheme : {"https", "file", "refused"})
            QDesktopServices::unsetUrlHandler(scheme);
        QCOMPARE(opened, QList<QUrl>({QUrl(QStringLiteral("https://en.wikipedia.org/wiki/Indeo")),
                                      QUrl::fromLocalFile("/movies/joined clip#1.mpg"),
                                      QUrl::fromLocalFile("/Readme.html"),
                                      QUrl::fromLocalFile("/a:b/c.mpg")}));
    }
};

REELBIND_GUI_TEST_MAIN(TestWindows)
#include "test_windows.moc"
