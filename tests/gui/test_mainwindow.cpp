// The main window: what it shows, and how it hands the user's actions to the program.
#include "gui/QueueList.h"
#include "gui/frmAbout.h"
#include "gui/frmPrefs.h"
#include "gui/frmReelbind.h"
#include "support/TestSupport.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QtTest>

using TestSupport::App;
using TestSupport::sized;

namespace {

const QString kAbove =
    QStringLiteral("Can't move the selected item above the beginning of the list.");
const QString kBelow = QStringLiteral("Can't move the selected item below the end of the list.");

/// A main window on screen.
struct Shown : App
{
    frmReelbind& w = *window;
    Shown()
    {
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            qFatal("main window not exposed");
    }
};

/// Add, Remove, Clear, Join, Exit enabled as 0/1.
QString buttons(const frmReelbind& w)
{
    QString out;
    for (const QPushButton* b : {w.CmdAdd, w.CmdRemove, w.CmdClear, w.CmdJoin, w.CmdExit})
        out += b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return out;
}

/// The queue's names from the top, or only the selected ones.
QString names(App& app, bool selectedOnly = false)
{
    QStringList out;
    for (int p = 0; p < app.queue().count(); ++p)
        if (!selectedOnly || app.window->ListViewAdd->selectedPositions().contains(p))
            out << app.queue().rows().at(p).name;
    return out.join(QLatin1Char(' '));
}

void selectRows(App& app, const QList<int>& rows)
{
    QItemSelection sel;
    for (int r : rows)
        sel.select(app.queue().model().index(r, 0), app.queue().model().index(r, 2));
    app.window->ListViewAdd->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
}

QPoint rowCentre(App& app, int row)
{
    return app.window->ListViewAdd->visualRect(app.queue().model().index(row, 0)).center();
}

/// Queues `names` through the Add button, the n-th file n MiB unless `sizes` says otherwise.
void add(App& app, const QStringList& names, const QList<qint64>& sizes = {})
{
    QStringList paths;
    for (int i = 0; i < names.size(); ++i)
        paths << sized(app.folder.path(), names[i], sizes.value(i, (i + 1) * 1048576LL));
    app.desktop.setNextOpenFiles(paths);
    app.window->CmdAdd->click();
}

/// Drag-enter, drag-move and drop of `urls` (or of plain `text`) on the list, as a
/// file manager sends them: "111 copy" when all three are taken and the drop copies.
QString drop(frmReelbind& w, const QStringList& urls,
             Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction, const QString& text = {})
{
    QMimeData mime;
    QList<QUrl> list;
    for (const QString& u : urls)
        list << QUrl::fromUserInput(u);
    text.isEmpty() ? mime.setUrls(list) : mime.setText(text);
    const QPoint pos(20, 20);
    QDragEnterEvent enter(pos, offered, &mime, Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent move(pos, offered, &mime, Qt::LeftButton, Qt::NoModifier);
    QDropEvent dropped(pos, offered, &mime, Qt::LeftButton, Qt::NoModifier);
    QString taken;
    for (QDropEvent* e : std::initializer_list<QDropEvent*>{&enter, &move, &dropped}) {
        QCoreApplication::sendEvent(w.ListViewAdd->viewport(), e);
        taken += e->isAccepted() ? QLatin1Char('1') : QLatin1Char('0');
    }
    const Qt::DropAction a = dropped.dropAction();
    if (dropped.isAccepted())
        taken += a == Qt::CopyAction ? " copy" : a == Qt::LinkAction ? " link" : " move";
    return taken;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup()
    {
        QLocale::setDefault(QLocale::system());
        QVERIFY(TestSupport::closeAllTopLevels().isEmpty());
    }

    void frameAndLayout()
    {
        Shown app;
        frmReelbind& w = app.w;
        QCOMPARE(w.windowTitle(), QStringLiteral("Orvel's Reelbind 1.0.7b"));
        const Qt::WindowFlags f = w.windowFlags();
        QCOMPARE(f & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                      Qt::WindowCloseButtonHint),
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
        QVERIFY(w.windowIcon().availableSizes().contains(QSize(48, 48)));
        QCOMPARE(w.centralWidget()->size(), QSize(575, 264));
        QCOMPARE(TestSupport::layoutFaults(w.centralWidget()), QStringList());

        QueueList* list = w.ListViewAdd;
        QHeaderView* h = list->header();
        QStringList titles;
        for (int i = 0; i < 3; ++i)
            titles << list->model()->headerData(i, Qt::Horizontal).toString();
        QCOMPARE(titles, QStringList({"Filename", "Location", "Filesize (in MB)"}));
        QCOMPARE(QList<int>({h->sectionSize(0), h->sectionSize(1)}), QList<int>({193, 187}));
        QCOMPARE(h->sectionPosition(2) + h->sectionSize(2), list->viewport()->width());
        QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);

        QStringList captions, order;
        for (QPushButton* b : {w.CmdAdd, w.CmdRemove, w.CmdClear, w.CmdJoin, w.CmdExit})
            captions << b->text();
        QCOMPARE(captions, QStringList({"Add", "Remove", "Clear", "Join", "Exit"}));
        QCOMPARE(buttons(w), "10001");
        QVERIFY(w.CmdMoveUp->isEnabled() && w.CmdMoveDown->isEnabled());
        QVERIFY(!w.CmdMoveUp->icon().isNull() && !w.CmdMoveDown->icon().isNull());
        QWidget* cur = list;
        for (int i = 0; i < 60 && (i == 0 || cur != list); ++i, cur = cur->nextInFocusChain())
            if ((cur->focusPolicy() & Qt::TabFocus) && cur->window() == &w)
                order << cur->objectName();
        QCOMPARE(order, QStringList({"ListViewAdd", "CmdJoin", "CmdExit", "CmdAdd", "CmdRemove",
                                     "CmdClear", "SldrChunkSize", "CmdMoveUp", "CmdMoveDown"}));

        // The frame is sizable; the controls keep their places.
        const QRect before = w.CmdExit->geometry();
        w.resize(w.width() + 100, w.height() + 50);
        QTRY_COMPARE(w.centralWidget()->width(), 675);
        QCOMPARE(w.CmdExit->geometry(), before);
    }

    void captionsFollowTheLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("estimate");
        QTest::addColumn<QString>("chunks"); // at start, lowest, highest, a step less, set live
        const auto chunks = [](const char* numbers) {
            QStringList out;
            for (const QString& n : QString(numbers).split(' '))
                out << "Chunk Size: " + n + " bytes";
            return out.join('|');
        };
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates)
                               << QStringLiteral("Estimated Joined Filesize:  0.00 MB")
                               << chunks("40,000 10,000 70,000 69,000 23,000");
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany)
                               << QStringLiteral("Estimated Joined Filesize:  0,00 MB")
                               << chunks("40.000 10.000 70.000 69.000 23.000");
    }
    void captionsFollowTheLocale()
    {
        QFETCH(QLocale, locale);
        QLocale::setDefault(locale);
        Shown app;
        QSlider* slider = app.w.SldrChunkSize;
        QStringList seen = {app.w.FrameChunkSize->title()};
        slider->triggerAction(QAbstractSlider::SliderToMinimum);
        seen << app.w.FrameChunkSize->title();
        slider->triggerAction(QAbstractSlider::SliderToMaximum);
        seen << app.w.FrameChunkSize->title();
        QTest::keyClick(slider, Qt::Key_Left);
        seen << app.w.FrameChunkSize->title();
        QCOMPARE(app.prefs().chunkSize(), 69000); // the slider moves the live chunk size...
        app.prefs().setChunkSize(23000);          // ...and the live chunk size the slider
        QCOMPARE(slider->value(), 23000);
        seen << app.w.FrameChunkSize->title();
        QTEST(seen.join('|'), "chunks");
        QTEST(app.w.LblEstFilesize->text(), "estimate");
    }

    void menusLinksAndReadme()
    {
        App app;
        frmReelbind& w = *app.window;
        const auto texts = [](const QWidget* menu) {
            QStringList out;
            for (QAction* a : menu->actions())
                out << (a->isSeparator() ? QStringLiteral("-") : a->text());
            return out;
        };
        QCOMPARE(texts(w.menuBar()), QStringList({"Preferences", "Useful Links", "Help"}));
        QCOMPARE(texts(w.mnu_prefs), QStringList({"Preferences", "-", "Exit"}));
        QCOMPARE(texts(w.mnu_Links),
                 QStringList({"ZIDA FAQ", "Brightwater's I.263 Site",
                              "Marlowe's IR21 and Tesk's Power Post/Join",
                              "Intel's I.263 video CODEC (without IMC audio)",
                              "Intel Indeo CODECs (IV3.x, IV4.x, IV5)", "Free Agent (Newsreader)",
                              "Get The Latest Version of Orvel's Reelbind"}));
        QCOMPARE(texts(w.mnu_Help), QStringList({"View Readme File", "-", "About"}));
        QCOMPARE(texts(w.Option_mnu),
                 QStringList({"View Selecte File", "Remove Selected File(s)"}));
        QVERIFY(!w.menuBar()->actions().contains(w.Option_mnu->menuAction()));
        for (QAction* a : w.mnu_Links->actions())
            a->trigger();
        const QStringList opened = app.desktop.opened;
        QCOMPARE(opened.size(), 7);
        QCOMPARE(opened[6], opened[0]); // "ZIDA FAQ" and the latest version share a page
        QCOMPARE(QSet<QString>(opened.begin(), opened.end()).size(), 6);
        for (const QString& url : opened)
            QVERIFY2(QUrl(url, QUrl::StrictMode).isValid() && url.startsWith("https://"),
                     qPrintable(url));
        w.mnu_Readme->trigger();
        QCOMPARE(app.desktop.opened.last(), app.programFolder() + QStringLiteral("/Readme.html"));
        QVERIFY(app.desktop.messages.isEmpty() && app.desktop.dialogs.isEmpty());
    }

    void exitSavesTheCloseBoxDoesNot_data()
    {
        QTest::addColumn<QString>("how");
        for (const char* how : {"Exit button", "Exit menu item", "close box"})
            QTest::newRow(how) << QString(how);
    }
    void exitSavesTheCloseBoxDoesNot()
    {
        QFETCH(QString, how);
        Shown app;
        frmReelbind& w = app.w;
        w.mnu_subPrefs->trigger();
        w.mnu_About->trigger();
        QPointer<frmPrefs> prefs = w.prefsWindow();
        QPointer<frmAbout> about = w.aboutWindow();
        QVERIFY(prefs && about);
        app.settings().ClearQue = QStringLiteral("1");
        w.SldrChunkSize->setValue(33000);

        // The event loop runs as in main(); it must end by itself.
        QTimer::singleShot(0, &w, [&] {
            if (how == "Exit button")
                QTest::mouseClick(w.CmdExit, Qt::LeftButton);
            else if (how == "Exit menu item")
                w.mnu_Exit->trigger();
            else
                w.close();
        });
        QObject guard; // local: its timer must not fire in a later test's loop
        QTimer::singleShot(10000, &guard, [] { QCoreApplication::exit(99); });
        QCOMPARE(QCoreApplication::exec(), 0);

        QByteArray expected = app.firstStartIni();
        if (how != "close box")
            expected.replace("ClearQue=0", "ClearQue=1")
                .replace("ChunkSize=40000", "ChunkSize=33000");
        QCOMPARE(app.iniBytes(), expected);
        QTRY_VERIFY(prefs.isNull() && about.isNull());
        QVERIFY(TestSupport::visibleTopLevels().isEmpty());
    }

    void addOpensTheDialogAndNamesTheFilesLeftOut()
    {
        App app;
        frmReelbind& w = *app.window;
        for (const QString& text : {QStringLiteral("/"), QString()}) { // empty: home
            app.prefs().setFolderText(Preferences::SourceFolder, text);
            w.CmdAdd->click(); // not answered: cancelled
            const FakeDesktop::DialogCall& d = app.desktop.dialogs.last();
            QCOMPARE(d.kind + ' ' + d.dir, "open " + (text.isEmpty() ? QDir::homePath() : text));
            QCOMPARE(d.filters, QStringList({"MPG Files (*.mpg)", "All Files (*)"}));
            QCOMPARE(d.parent.data(), static_cast<QWidget*>(&w));
        }
        QCOMPARE(app.queue().count(), 0);
        QCOMPARE(buttons(w), "10001");
        const QString dir = app.folder.path();
        app.desktop.setNextOpenFiles({dir + "/gone1", sized(dir, "a", 1 << 20), dir + "/gone2"});
        w.CmdAdd->click();
        QCOMPARE(app.desktop.messages.size(), 1); // one box names both
        QCOMPARE(names(app), "a");
        QCOMPARE(buttons(w), "11111");
        QCOMPARE(w.LblEstFilesize->text(), "Estimated Joined Filesize:  1.00 MB");
        w.CmdClear->click();
        QCOMPARE(buttons(w), "10001");
        QCOMPARE(w.LblEstFilesize->text(), "Estimated Joined Filesize:  0.00 MB");
    }

    void editing_data()
    {
        QTest::addColumn<QString>("via");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("order"); // afterwards
        QTest::addColumn<QString>("message");
        const auto row = [](const char* name, const char* via, const char* selected,
                            const char* order, const QString& message = {}) {
            QTest::newRow(name) << QString(via) << QString(selected) << QString(order) << message;
        };
        row("Remove", "Remove", "B C", "A D");
        row("Remove all", "Remove", "A B C D", "");
        row("Delete key", "Delete", "B C", "A D");
        row("pop-up item", "popup", "B C", "A D");
        row("Shift+Delete: nothing", "Shift+Delete", "B C", "A B C D");
        row("Move Up", "Up", "B C", "B C A D");
        row("Move Down", "Down", "A C", "B A D C");
        row("Move Up refused", "Up", "A B", "A B C D", kAbove);
        row("Move Down refused", "Down", "D", "A B C D", kBelow);
    }
    void editing()
    {
        QFETCH(QString, via);
        QFETCH(QString, selected);
        Shown app;
        add(app, {"A", "B", "C", "D"});
        QList<int> rows;
        for (const QString& name : selected.split(' '))
            rows << name[0].unicode() - 'A';
        app.w.CmdAdd->setFocus();
        selectRows(app, rows);
        QAbstractButton* button = via == "Remove" ? static_cast<QAbstractButton*>(app.w.CmdRemove)
                                  : via == "Up"   ? app.w.CmdMoveUp
                                  : via == "Down" ? app.w.CmdMoveDown
                                                  : nullptr;
        if (button) {
            button->click();
        } else if (via == "popup") {
            app.desktop.setNextPopupChoice(1);
            QTest::mouseClick(app.w.ListViewAdd->viewport(), Qt::RightButton, {},
                              rowCentre(app, rows.last()));
        } else {
            QTest::keyClick(app.w.ListViewAdd, Qt::Key_Delete,
                            via == "Delete" ? Qt::NoModifier : Qt::ShiftModifier);
        }
        QTEST(names(app), "order");
        QTEST(app.desktop.messages.join('|'), "message");
        // Removed rows take their selection with them; moved rows keep it.
        const bool removes = via == "Remove" || via == "Delete" || via == "popup";
        QCOMPARE(names(app, true), removes ? QString() : selected);
        QCOMPARE(app.w.focusWidget() == app.w.ListViewAdd, via != "Shift+Delete");
        QCOMPARE(buttons(app.w), app.queue().count() ? "11111" : "10001");
    }

    void headerClickAndPopup()
    {
        Shown app;
        frmReelbind& w = app.w;
        QWidget* view = w.ListViewAdd->viewport();
        QTest::mouseClick(view, Qt::RightButton, {}, QPoint(10, 10)); // empty list
        add(app, {"A", "B", "C", "D"}, {3 << 20, 1 << 20, 4 << 20, 2 << 20});
        QHeaderView* header = w.ListViewAdd->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
        QCOMPARE(names(app), "B D A C"); // sorted by size

        const QPoint below(10, view->height() - 3);
        QVERIFY(!w.ListViewAdd->indexAt(below).isValid());
        QTest::mouseClick(view, Qt::RightButton, {}, below); // nothing selected
        QTest::mouseClick(view, Qt::LeftButton, {}, rowCentre(app, 1));
        QCOMPARE(names(app, true), "D");
        QVERIFY(app.desktop.popups.isEmpty());
        QTest::mouseClick(view, Qt::RightButton, {}, below);
        QCOMPARE(app.desktop.popups,
                 QList<QStringList>({{"View Selecte File", "Remove Selected File(s)"}}));
        app.desktop.setNextPopupChoice(0); // over an unselected row the press selects it first
        QTest::mouseClick(view, Qt::RightButton, {}, rowCentre(app, 3));
        QCOMPARE(app.desktop.opened, QStringList(app.folder.path() + "/C"));
        selectRows(app, {3, 0}); // View opens the topmost selected file
        w.mnu_View->trigger();
        QCOMPARE(app.desktop.opened.last(), app.folder.path() + "/B");
    }

    void dropsAddLikeAddUnlessRefused()
    {
        App byDialog, byDrop;
        frmReelbind& w = *byDrop.window;
        const QString dir = byDialog.folder.path();
        const QStringList paths = {sized(dir, "clip10", 1000), dir + "/gone",
                                   sized(dir, "clip2", 2000)};
        byDialog.desktop.setNextOpenFiles(paths);
        byDialog.window->CmdAdd->click();
        QCOMPARE(drop(w, paths), "111 copy"); // the file manager keeps its files
        QTRY_COMPARE(names(byDrop), "clip2 clip10");
        QCOMPARE(byDrop.desktop.messages, byDialog.desktop.messages); // one box, the same text
        QCOMPARE(buttons(w), "11111");

        // Refused: web addresses, a move, plain text; and while a join runs
        // (when the Delete key removes nothing either) any drop.
        const QString web = QStringLiteral("https://example.org/a.mpg");
        QCOMPARE(drop(w, {web}), "000");
        QCOMPARE(drop(w, {paths[0]}, Qt::MoveAction), "000");
        QCOMPARE(drop(w, {}, Qt::CopyAction, paths[0]), "000");
        byDrop.queue().setJoinRunning(true);
        QCOMPARE(buttons(w), "00000");
        QCOMPARE(drop(w, {paths[0]}), "000");
        selectRows(byDrop, {0});
        QTest::keyClick(w.ListViewAdd, Qt::Key_Delete);
        QCoreApplication::processEvents(); // a queued addition would come here
        QCOMPARE(names(byDrop), "clip2 clip10");
        byDrop.queue().setJoinRunning(false);
        QCOMPARE(buttons(w), "11111");
        // A link is fine when it is all the sender offers; web entries are passed over.
        QCOMPARE(drop(w, {web, paths[2]}, Qt::LinkAction), "111 link");
        QTRY_COMPARE(names(byDrop), "clip2 clip2 clip10");
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
