#include "about/frmAbout.h"
#include "app/frmReelbind.h"
#include "platform/FakePlatform.h"
#include "settings/frmPrefs.h"
#include "support/TestSupport.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>
#include <sys/stat.h>

using TestSupport::App;

namespace {

QStringList texts(const QList<QAction*>& actions)
{
    QStringList out;
    for (QAction* a : actions)
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

QString chunkCaption(int bytes)
{
    return QStringLiteral("Chunk Size: ") + QLocale().toString(bytes) + " bytes";
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

    void firstStartAndFrame()
    {
        App app;
        frmReelbind& w = *app.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("Orvel's Reelbind 1.0.7b"));
        const QByteArray folder = app.folder.path().toUtf8();
        QCOMPARE(app.iniBytes(),
                 "[Preferences]\nSaveSourceDir=1\nSaveTargetDir=1\nSourceDir=" + folder +
                     "\nTargetDir=" + folder +
                     "\nConfirmDel=1\nClearQue=0\nChunkSizeSave=1\nChunkSize=40000\n");
        const Qt::WindowFlags f = w.windowFlags();
        QVERIFY((f & Qt::WindowMinimizeButtonHint) && (f & Qt::WindowCloseButtonHint));
        QVERIFY(!(f & Qt::WindowMaximizeButtonHint));
        QVERIFY(w.windowIcon().availableSizes().contains(QSize(48, 48)));
        QVERIFY(!w.prefs()->windowIcon().isNull());

        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.centralWidget()->size(), QSize(575, 264));
        // The frame is sizable, and the controls keep their places.
        const QRect before = w.CmdExit->geometry();
        w.resize(w.width() + 100, w.height() + 50);
        QTRY_COMPARE(w.centralWidget()->width(), 675);
        QCOMPARE(w.CmdExit->geometry(), before);
    }

    void layoutAndControls()
    {
        App app;
        frmReelbind& w = *app.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // No control overlaps another or cuts its text; the widest estimate and
        // chunk size fit, and the slider's ticks stay inside the frame.
        QCOMPARE(TestSupport::layoutFaults(w.centralWidget()), QStringList());
        QVERIFY(w.LblEstFilesize->fontMetrics().horizontalAdvance(QStringLiteral(
                    "Estimated Joined Filesize:  99999.99 MB")) <= w.LblEstFilesize->width());
        const QFontMetrics fm = w.FrameChunkSize->fontMetrics();
        QVERIFY(fm.horizontalAdvance(chunkCaption(70000)) < w.FrameChunkSize->width() - 20);
        QCOMPARE(w.SldrChunkSize->parentWidget(), w.FrameChunkSize);
        QVERIFY(w.SldrChunkSize->y() >= fm.height());
        QVERIFY(w.SldrChunkSize->height() >= w.SldrChunkSize->sizeHint().height());
        QVERIFY(w.SldrChunkSize->geometry().bottom() < w.FrameChunkSize->height() - 1);

        QTreeView* list = w.ListViewAdd;
        QHeaderView* h = list->header();
        QStringList titles;
        for (int i = 0; i < list->model()->columnCount(); ++i) {
            titles << list->model()->headerData(i, Qt::Horizontal).toString();
            QVERIFY(h->sectionSizeHint(i) <= h->sectionSize(i));
        }
        QCOMPARE(titles, QStringList({"Filename", "Location", "Filesize (in MB)"}));
        QCOMPARE(QList<int>({h->sectionSize(0), h->sectionSize(1)}), QList<int>({193, 187}));
        // The last column reaches the list's edge.
        QCOMPARE(h->sectionPosition(2) + h->sectionSize(2), list->viewport()->width());
        QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);

        QStringList captions, enabled;
        for (QPushButton* b : {w.CmdAdd, w.CmdRemove, w.CmdClear, w.CmdJoin, w.CmdExit})
            captions << b->text();
        for (QWidget* c : w.centralWidget()->findChildren<QAbstractButton*>())
            if (c->isEnabled())
                enabled << c->objectName();
        enabled.sort();
        QCOMPARE(captions, QStringList({"Add", "Remove", "Clear", "Join", "Exit"}));
        QCOMPARE(enabled, QStringList({"CmdAdd", "CmdExit", "CmdMoveDown", "CmdMoveUp"}));
        QVERIFY(!w.CmdMoveUp->icon().isNull() && !w.CmdMoveDown->icon().isNull());

        QStringList order;
        QWidget* cur = list;
        do {
            if ((cur->focusPolicy() & Qt::TabFocus) && cur->window() == &w)
                order << cur->objectName();
            cur = cur->nextInFocusChain();
        } while (cur != list && order.size() < 50);
        QCOMPARE(order, QStringList({"ListViewAdd", "CmdJoin", "CmdExit", "CmdAdd", "CmdRemove",
                                     "CmdClear", "SldrChunkSize", "CmdMoveUp", "CmdMoveDown"}));
    }

    void captionsFollowTheLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("captions"); // estimate|chunk at start|lowest|highest
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates)
                               << QString(
                                      "Estimated Joined Filesize:  0.00 MB|Chunk Size: 40,000 "
                                      "bytes|Chunk Size: 10,000 bytes|Chunk Size: 70,000 bytes");
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany)
                               << QString(
                                      "Estimated Joined Filesize:  0,00 MB|Chunk Size: 40.000 "
                                      "bytes|Chunk Size: 10.000 bytes|Chunk Size: 70.000 bytes");
    }

    void captionsFollowTheLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, captions);
        QLocale::setDefault(locale);
        App app;
        frmReelbind& w = *app.window;
        QStringList seen = {w.LblEstFilesize->text(), w.FrameChunkSize->title()};
        w.SldrChunkSize->triggerAction(QAbstractSlider::SliderToMinimum);
        seen << w.FrameChunkSize->title();
        w.SldrChunkSize->triggerAction(QAbstractSlider::SliderToMaximum);
        seen << w.FrameChunkSize->title();
        QCOMPARE(seen, captions.split('|'));
        // The stored text never has grouping.
        QCOMPARE(w.settings().ChunkSize, std::optional<QString>(QStringLiteral("70000")));
    }

    void sliderAndKeepChunkSize()
    {
        App app;
        frmReelbind& w = *app.window;
        const QByteArray fileBefore = app.iniBytes();
        w.show();
        w.SldrChunkSize->setFocus();
        QTest::keyClick(w.SldrChunkSize, Qt::Key_Right);
        QCOMPARE(w.SldrChunkSize->value(), 41000);
        QTest::keyClick(w.SldrChunkSize, Qt::Key_PageUp);
        QCOMPARE(w.FrameChunkSize->title(), chunkCaption(51000));
        // Ticked: the stored chunk size follows the slider.
        QCOMPARE(w.settings().ChunkSize, std::optional<QString>(QStringLiteral("51000")));
        // Clear or greyed: only the caption changes.
        for (int state : {0, 2}) {
            w.live().setCheckState(LiveSettings::ChunkSizeSave, state);
            w.SldrChunkSize->setValue(61000 + state);
            QCOMPARE(w.FrameChunkSize->title(), chunkCaption(61000 + state));
            QCOMPARE(w.settings().ChunkSize, std::optional<QString>(QStringLiteral("51000")));
        }
        QCOMPARE(app.iniBytes(), fileBefore);
    }

    void menusLinksAndReadme()
    {
        App app;
        frmReelbind& w = *app.window;
        QCOMPARE(texts(w.menuBar()->actions()),
                 QStringList({"Preferences", "Useful Links", "Help"}));
        QCOMPARE(texts(w.mnu_prefs->actions()), QStringList({"Preferences", "-", "Exit"}));
        QCOMPARE(texts(w.mnu_Links->actions()),
                 QStringList({"ZIDA FAQ", "Brightwater's I.263 Site",
                              "Marlowe's IR21 and Tesk's Power Post/Join",
                              "Intel's I.263 video CODEC (without IMC audio)",
                              "Intel Indeo CODECs (IV3.x, IV4.x, IV5)", "Free Agent (Newsreader)",
                              "Get The Latest Version of Orvel's Reelbind"}));
        QCOMPARE(texts(w.mnu_Help->actions()), QStringList({"View Readme File", "-", "About"}));
        QCOMPARE(texts(w.Option_mnu->actions()),
                 QStringList({"View Selecte File", "Remove Selected File(s)"}));
        QVERIFY(!w.menuBar()->actions().contains(w.Option_mnu->menuAction()));
        QVERIFY(!w.Option_mnu->isVisible());
        QList<QAction*> all = w.menuBar()->actions();
        for (QMenu* m : {w.mnu_prefs, w.mnu_Links, w.mnu_Help, w.Option_mnu})
            all += m->actions();
        for (QAction* a : all)
            QVERIFY2(a->shortcut().isEmpty() && QKeySequence::mnemonic(a->text()).isEmpty(),
                     qPrintable(a->text()));
        for (const char* name : {"mnu_subPrefs", "mnu_Exit", "mnu_ZIDA_FAQ", "mnu_BWI263", "mnu_MW",
                                 "mnu_I263", "mnu_Indeo", "mnu_FA", "mnu_Quorvik", "mnu_Readme",
                                 "mnu_About", "mnu_View", "mnu_Remove"})
            QVERIFY2(w.findChild<QAction*>(QLatin1String(name)), name);

        for (QAction* a : w.mnu_Links->actions())
            a->trigger();
        const QStringList opened = app.platform->opened;
        QCOMPARE(opened.size(), 7);
        // "ZIDA FAQ" and the latest-version item share a page; six pages in all.
        QCOMPARE(opened[6], opened[0]);
        QCOMPARE(QSet<QString>(opened.begin(), opened.end()).size(), 6);
        for (const QString& url : opened)
            QVERIFY2(QUrl(url, QUrl::StrictMode).isValid() && url.startsWith("https://"),
                     qPrintable(url));
        w.mnu_Readme->trigger();
        QCOMPARE(app.platform->opened.last(), app.folder.path() + QStringLiteral("/Readme.html"));
        QVERIFY(app.platform->messages.isEmpty() && app.platform->dialogs.isEmpty());
        QCOMPARE(w.ShellOpen(QStringLiteral("https://example.org/")), 33); // above 32: done
    }

    void exitSavesTheCloseBoxDoesNot_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Exit button") << "button";
        QTest::newRow("Exit menu item") << "menu";
        QTest::newRow("close box") << "close";
    }

    void exitSavesTheCloseBoxDoesNot()
    {
        QFETCH(QString, how);
        App app;
        frmReelbind& w = *app.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        if (how == QLatin1String("menu"))
            w.mnu_subPrefs->trigger(); // otherwise the live holder stays hidden
        w.mnu_About->trigger();
        QTRY_VERIFY(w.about() && w.about()->isVisible());
        QPointer<frmPrefs> prefs = w.existingPrefs();
        QPointer<frmAbout> about = w.about();
        w.settings().ClearQue = QStringLiteral("1");
        w.SldrChunkSize->setValue(33000);

        // Run the event loop as main() does; it must end by itself.
        QTimer::singleShot(0, [&] {
            if (how == QLatin1String("button"))
                QTest::mouseClick(w.CmdExit, Qt::LeftButton);
            else if (how == QLatin1String("menu"))
                w.mnu_Exit->trigger();
            else
                w.close();
        });
        QTimer guard; // local: it must not fire in a later test's loop
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        guard.start(5000);
        QCOMPARE(QCoreApplication::exec(), 0);

        QByteArray expected = app.firstStartIni();
        if (how != QLatin1String("close"))
            expected.replace("ClearQue=0", "ClearQue=1")
                .replace("ChunkSize=40000", "ChunkSize=33000");
        QCOMPARE(app.iniBytes(), expected);
        // Every window of the program went with it, the hidden one too.
        QTRY_VERIFY(prefs.isNull() && about.isNull());
        QVERIFY(TestSupport::visibleTopLevels().isEmpty());
    }

    void fileExists()
    {
        App app;
        frmReelbind& w = *app.window;
        const QString dir = app.folder.path();
        for (const char* name : {"clip1.mpg", ".hidden.mpg", "odd[1].mpg"})
            TestSupport::makeFile(dir, QString::fromLatin1(name), 10);
        TestSupport::makeFile(dir, QStringLiteral("empty.mpg"), 0);
        QVERIFY(QDir(dir).mkdir(QStringLiteral("folder.mpg")));
        QVERIFY(QFile::link(dir + "/clip1.mpg", dir + "/link.mpg"));
        QVERIFY(QFile::link(dir + "/missing.mpg", dir + "/dangling.mpg"));
        QCOMPARE(mkfifo(QFile::encodeName(dir + "/pipe.mpg").constData(), 0600), 0);

        for (const char* yes : {"clip1.mpg", "empty.mpg", "tarvik.ini", "link.mpg", "clip*.mpg",
                                "?lip1.mpg", "c*1.*", "clip?.mpg", "odd[1].mpg", "odd[1]*", "*"})
            QVERIFY2(w.File_Exists(dir + '/' + yes), yes);
        for (const char* no : {".hidden.mpg", "folder.mpg", "missing.mpg", "dangling.mpg",
                               "pipe.mpg", "clip??.mpg", "CLIP*.MPG", ".hid*", "fold*", "odd1*",
                               "pipe*", "nothing*", "", "clip1.mpg/", "nowhere/*"})
            QVERIFY2(!w.File_Exists(dir + '/' + no), no);
        QVERIFY(!w.File_Exists(QString()));
        // A hidden file matches no pattern, even with nothing else there.
        QTemporaryDir only;
        TestSupport::makeFile(only.path(), QStringLiteral(".x.mpg"), 1);
        QVERIFY(!w.File_Exists(only.path() + QStringLiteral("/*")));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
