// The main window: what it shows, and how it hands the user's actions to the program.
#include "gui/PreferencesDialog.h"
#include "gui/QueueList.h"
#include "support/GuiSupport.h"

#include <QtTest>
#include <QtWidgets>

using namespace TestSupport;

namespace {

/// A main window on screen.
struct Shown : App
{
    MainWindow& w = *window;
    QueueList* list = child<QueueList>(&w, "ListViewAdd");
    Shown() { w.show(); }
    /// Queued names (the selected starred) | estimate | Add Remove Clear Join Exit as 0/1.
    QString state()
    {
        QStringList names;
        for (int p = 0; p < queue().count(); ++p)
            names << (list->selectedPositions().contains(p) ? "*" : "") + queue().rows().at(p).name;
        QString bits;
        for (const char* b : {"CmdAdd", "CmdRemove", "CmdClear", "CmdJoin", "CmdExit"})
            bits += QString::number(child(&w, b)->isEnabled());
        return names.join(' ') + " | " +
               child<QLabel>(&w, "LblEstFilesize")->text().section("  ", 1) + " | " + bits;
    }
    QPoint at(int row) { return list->visualRect(queue().model().index(row, 0)).center(); }
};

/// Drag-enter, drag-move and drop of `urls` (or of "text:..." as plain text) on the list:
/// "111 1" when all three are taken and the drop action is 1 (a copy; 4 is a link).
QString drop(QWidget* view, const QStringList& urls,
             Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction)
{
    QMimeData mime;
    QList<QUrl> list;
    for (const QString& u : urls)
        list << QUrl::fromUserInput(u);
    urls.value(0).startsWith("text:") ? mime.setText(urls[0].mid(5)) : mime.setUrls(list);
    QDragEnterEvent enter({20, 20}, offered, &mime, Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent move({20, 20}, offered, &mime, Qt::LeftButton, Qt::NoModifier);
    QDropEvent dropped({20, 20}, offered, &mime, Qt::LeftButton, Qt::NoModifier);
    QString taken;
    for (QDropEvent* e : std::initializer_list<QDropEvent*>{&enter, &move, &dropped})
        taken += QString::number(QCoreApplication::sendEvent(view, e) && e->isAccepted());
    return dropped.isAccepted() ? taken + ' ' + QString::number(dropped.dropAction()) : taken;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initGuiTest(); }
    void cleanup()
    {
        QLocale::setDefault(QLocale::system());
        QVERIFY(closeAllTopLevels().isEmpty());
    }

    void textsAsTheUserReadsThem()
    {
        Shown app;
        MainWindow& w = app.w;
        QStringList texts;
        auto add = [&texts](QList<QAction*> actions) {
            QStringList items;
            for (QAction* a : actions) // no item has a shortcut or a mnemonic
                items << (a->isSeparator() ? "-" : a->text() + a->shortcut().toString());
            texts << items.join('|');
        };
        add(w.menuBar()->actions());
        for (const char* m : {"mnu_prefs", "mnu_Links", "mnu_Help", "Option_mnu"})
            add(child<QMenu>(&w, m)->actions());
        QStringList buttons;
        for (const char* b : {"CmdAdd", "CmdRemove", "CmdClear", "CmdJoin", "CmdExit"})
            buttons << child<QPushButton>(&w, b)->text();
        texts << buttons.join('|');
        for (int c = 0; c < 3; ++c)
            texts << app.list->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(texts,
                 QStringList(
                     {"Preferences|Useful Links|Help", "Preferences|-|Exit",
                      "ZIDA FAQ|Brightwater's I.263 Site|Marlowe's IR21 and Tesk's Power "
                      "Post/Join|Intel's I.263 video CODEC (without IMC audio)|Intel "
                      "Indeo CODECs (IV3.x, IV4.x, IV5)|Free Agent (Newsreader)|Get The "
                      "Latest Version of Orvel's Reelbind",
                      "View Readme File|-|About", "View Selecte File|Remove Selected File(s)",
                      "Add|Remove|Clear|Join|Exit", "Filename", "Location", "Filesize (in MB)"}));
        QVERIFY(!w.menuBar()->actions().contains(child<QMenu>(&w, "Option_mnu")->menuAction()));
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.centralWidget()->size(), QSize(575, 264));
    }

    void looksMenusAndExit_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("Exit button") << "en_US";
        QTest::newRow("Exit menu item") << "de_DE";
        QTest::newRow("close box") << "en_US";
    }
    void looksMenusAndExit()
    {
        QFETCH(QString, locale);
        const QString how = QTest::currentDataTag();
        QLocale::setDefault(QLocale(locale));
        Shown app;
        MainWindow& w = app.w;
        QCOMPARE(w.windowTitle(), "Orvel's Reelbind 1.0.7b");
        QVERIFY(!w.windowIcon().isNull() && !child<QToolButton>(&w, "CmdMoveUp")->icon().isNull() &&
                !child<QToolButton>(&w, "CmdMoveDown")->icon().isNull());
        QCOMPARE(layoutFaults(w.centralWidget()), QStringList());
        QCOMPARE(unnamedControls(w.centralWidget()), QStringList());
        const QHeaderView* h = app.list->header(); // the last column ends at the edge
        QCOMPARE(QList<int>({h->sectionSize(0), h->sectionSize(1), h->sectionSize(2)}),
                 QList<int>({193, 187, app.list->viewport()->width() - 380}));
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
        const FakeDesktop::DialogCall& d = app.desktop.dialogs.last();
        QCOMPARE(d.kind + ' ' + d.dir + ' ' + d.filters.join(',') +
                     (d.parent == &w ? "" : " elsewhere"),
                 "open / MPG Files (*.mpg),All Files (*)");
        for (QAction* a : child<QMenu>(&w, "mnu_Links")->actions())
            a->trigger();
        child<QAction>(&w, "mnu_Readme")->trigger(); // after the seven links
        QCOMPARE(app.desktop.opened.mid(7), QStringList(app.programFolder() + "/Readme.html"));
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

    void editing_data()
    {
        // Rows A to D queued; E and a missing file to add or drop. "selected > after": the queue
        // with the selected rows starred | estimate | buttons | the list has the keys | boxes and
        // pop-ups shown, files opened, the drop taken.
        QTest::addColumn<QString>("row");
        QTest::newRow("Remove") << "B C > A D | 5.00 MB | 11111 | 1 | 00";
        QTest::newRow("Delete") << "B C > A D | 5.00 MB | 11111 | 1 | 00";
        QTest::newRow("Shift+Delete") << "B C > A *B *C D | 10.00 MB | 11111 | 0 | 00";
        QTest::newRow("Delete, join running") << "B C > A *B *C D | 10.00 MB | 00000 | 0 | 00";
        QTest::newRow("Move Up") << "B C > *B *C A D | 10.00 MB | 11111 | 1 | 00";
        QTest::newRow("Move Down") << "A C > B *A D *C | 10.00 MB | 11111 | 1 | 00";
        QTest::newRow("Move Up refused") << "A B > *A *B C D | 10.00 MB | 11111 | 1 | 10";
        QTest::newRow("Clear") << "B > | 0.00 MB | 10001 | 0 | 00";
        QTest::newRow("pop-up: Remove") << "B C > A D | 5.00 MB | 11111 | 1 | 01";
        QTest::newRow("pop-up: View, unselected row")
            << "B C > *A B C D | 10.00 MB | 11111 | 1 | 01 A";
        QTest::newRow("pop-up: nothing selected") << " > A B C D | 10.00 MB | 11111 | 1 | 00";
        QTest::newRow("View: the topmost") << "A C > *A B *C D | 10.00 MB | 11111 | 0 | 00 A";
        QTest::newRow("sort by size") << " > B D A C | 10.00 MB | 11111 | 1 | 00";
        QTest::newRow("Add") << " > A B C D E | 11.00 MB | 11111 | 0 | 10";
        // Enter, move and drop taken, and the drop action: 1 copies, 4 links, never a move.
        QTest::newRow("drop") << " > A B C D E | 11.00 MB | 11111 | 0 | 10 111 1";
        QTest::newRow("drop: a move") << " > A B C D | 10.00 MB | 11111 | 0 | 00 000";
        QTest::newRow("drop: plain text") << " > A B C D | 10.00 MB | 11111 | 0 | 00 000";
        QTest::newRow("drop: web only") << " > A B C D | 10.00 MB | 11111 | 0 | 00 000";
        QTest::newRow("drop: a link, web") << " > A B C D E | 11.00 MB | 11111 | 0 | 00 111 4";
        QTest::newRow("drop, join running") << " > A B C D | 10.00 MB | 00000 | 0 | 00 000";
    }
    void editing()
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
        for (const QString& l : row.section(" > ", 0, 0).split(' ', Qt::SkipEmptyParts)) {
            QTest::mouseClick(view, Qt::LeftButton, how, app.at(l[0].unicode() - 'A'));
            how = Qt::ControlModifier;
        }
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
        const QString seen = QString("%1 | %2 | %3%4 %5 %6")
                                 .arg(app.state())
                                 .arg(w.focusWidget() == app.list)
                                 .arg(app.desktop.messages.size())
                                 .arg(app.desktop.popups.size())
                                 .arg(app.desktop.opened.join(' ').remove(dir + '/'), dropped);
        QCOMPARE(seen.simplified(), row.section(" > ", 1));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
