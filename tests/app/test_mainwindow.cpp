#include "about/frmAbout.h"
#include "app/frmReelbind.h"
#include "platform/FakePlatform.h"
#include "settings/frmPrefs.h"
#include "support/TestSupport.h"

#include <QCheckBox>
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
#include <functional>
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

void show(frmReelbind& w)
{
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
}

// Runs the event loop as main() does, doing `action` once it runs. Returns
// true when the loop ended by itself within a few seconds (the program quit).
bool loopEndsAfter(const std::function<void()>& action)
{
    QTimer::singleShot(0, action);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    guard.start(5000);
    return QCoreApplication::exec() == 0;
}

// Sets the default locale for one test and puts the old one back.
class LocaleScope
{
public:
    explicit LocaleScope(const QLocale& l) : m_old(QLocale()) { QLocale::setDefault(l); }
    ~LocaleScope() { QLocale::setDefault(m_old); }

private:
    QLocale m_old;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    void captionAndFrame()
    {
        App app;
        frmReelbind& w = *app.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("Orvel's Reelbind 1.0.7b"));
        const Qt::WindowFlags f = w.windowFlags();
        QVERIFY(f & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(f & Qt::WindowMaximizeButtonHint));
        QVERIFY(f & Qt::WindowCloseButtonHint);
        QVERIFY(!w.windowIcon().isNull());
        QVERIFY(w.windowIcon().availableSizes().contains(QSize(48, 48)));
        QVERIFY(!w.prefs()->windowIcon().isNull());

        show(w);
        QCOMPARE(w.centralWidget()->size(), QSize(575, 264));
        // The frame is sizable, and the controls keep their places.
        const QRect before = w.CmdExit->geometry();
        w.resize(w.width() + 100, w.height() + 50);
        QTRY_COMPARE(w.centralWidget()->width(), 675);
        QCOMPARE(w.CmdExit->geometry(), before);
    }

    void layoutInPixels()
    {
        App app;
        frmReelbind& w = *app.window;
        // Twips / 15, rounded to the nearest pixel.
        const QList<QPair<QWidget*, QRect>> places = {
            {w.FrameChunkSize, QRect(35, 10, 281, 56)}, {w.ListViewAdd, QRect(32, 85, 511, 141)},
            {w.CmdMoveUp, QRect(5, 135, 21, 21)},       {w.CmdMoveDown, QRect(5, 170, 21, 21)},
            {w.CmdAdd, QRect(32, 235, 76, 21)},         {w.CmdRemove, QRect(140, 235, 76, 21)},
            {w.CmdClear, QRect(248, 235, 76, 21)},      {w.CmdJoin, QRect(357, 235, 76, 21)},
            {w.CmdExit, QRect(465, 235, 76, 21)},       {w.Line1, QRect(0, 0, 575, 2)}};
        for (const auto& p : places)
            QVERIFY2(p.first->geometry() == p.second, qPrintable(p.first->objectName()));
        // The estimate starts where it should and may use the room to the edge.
        QCOMPARE(w.LblEstFilesize->pos(), QPoint(350, 10));
        QCOMPARE(w.LblEstFilesize->geometry().right(), 574);
        QCOMPARE(w.SldrChunkSize->pos(), QPoint(10, 25));
        QCOMPARE(w.SldrChunkSize->width(), 261);
        QCOMPARE(w.SldrChunkSize->parentWidget(), w.FrameChunkSize);
    }

    void everyCaptionFits()
    {
        App app;
        frmReelbind& w = *app.window;
        show(w);
        // The label is wide enough for its text, even for a large estimate.
        for (const QString& caption : {w.LblEstFilesize->text(),
                                       QStringLiteral("Estimated Joined Filesize:  99999.99 MB")}) {
            const QSize need = w.LblEstFilesize->fontMetrics().size(0, caption);
            QVERIFY2(need.width() <= w.LblEstFilesize->width(), qPrintable(caption));
            QVERIFY(need.height() <= w.LblEstFilesize->height());
        }
        // The frame's title at its widest, and the slider with its ticks inside it.
        const QFontMetrics fm = w.FrameChunkSize->fontMetrics();
        QVERIFY(fm.horizontalAdvance(QStringLiteral("Chunk Size: 70,000 bytes")) <
                w.FrameChunkSize->width() - 20);
        QVERIFY(w.SldrChunkSize->y() >= fm.height());
        QVERIFY(w.SldrChunkSize->height() >= w.SldrChunkSize->sizeHint().height());
        QVERIFY(w.SldrChunkSize->geometry().bottom() < w.FrameChunkSize->height() - 1);
        // Buttons.
        for (QPushButton* b : {w.CmdAdd, w.CmdRemove, w.CmdClear, w.CmdJoin, w.CmdExit})
            QVERIFY2(b->fontMetrics().horizontalAdvance(b->text()) + 12 <= b->width(),
                     qPrintable(b->text()));
        // The column titles, and the last column reaching the list's edge.
        QHeaderView* h = w.ListViewAdd->header();
        for (int i = 0; i < 3; ++i)
            QVERIFY2(h->sectionSizeHint(i) <= h->sectionSize(i), qPrintable(QString::number(i)));
        QCOMPARE(h->sectionPosition(2) + h->sectionSize(2), w.ListViewAdd->viewport()->width());
    }

    void queueList()
    {
        App app;
        QTreeView* list = app.window->ListViewAdd;
        QHeaderView* h = list->header();
        QCOMPARE(list->model()->columnCount(), 3);
        QStringList titles;
        for (int i = 0; i < 3; ++i)
            titles << list->model()->headerData(i, Qt::Horizontal).toString();
        QCOMPARE(titles, QStringList({"Filename", "Location", "Filesize (in MB)"}));
        QCOMPARE(h->sectionSize(0), 193);
        QCOMPARE(h->sectionSize(1), 187);
        QVERIFY(h->sectionSize(2) >= 67);
        QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(!list->rootIsDecorated());
        QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    }

    void buttonsAtStart()
    {
        App app;
        frmReelbind& w = *app.window;
        QCOMPARE(w.CmdAdd->text(), QStringLiteral("Add"));
        QCOMPARE(w.CmdRemove->text(), QStringLiteral("Remove"));
        QCOMPARE(w.CmdClear->text(), QStringLiteral("Clear"));
        QCOMPARE(w.CmdJoin->text(), QStringLiteral("Join"));
        QCOMPARE(w.CmdExit->text(), QStringLiteral("Exit"));
        QVERIFY(w.CmdMoveUp->text().isEmpty() ||
                w.CmdMoveUp->toolButtonStyle() == Qt::ToolButtonIconOnly);
        QVERIFY(!w.CmdMoveUp->icon().isNull() && !w.CmdMoveDown->icon().isNull());
        for (QWidget* on : {(QWidget*)w.CmdAdd, (QWidget*)w.CmdExit, (QWidget*)w.CmdMoveUp,
                            (QWidget*)w.CmdMoveDown})
            QVERIFY2(on->isEnabled(), qPrintable(on->objectName()));
        for (QWidget* off : {w.CmdRemove, w.CmdClear, w.CmdJoin})
            QVERIFY2(!off->isEnabled(), qPrintable(off->objectName()));
        QVERIFY(!w.CmdAdd->isDefault());
    }

    void tabOrder()
    {
        App app;
        frmReelbind& w = *app.window;
        QStringList order;
        QWidget* cur = w.ListViewAdd;
        do {
            if ((cur->focusPolicy() & Qt::TabFocus) && cur->window() == &w)
                order << cur->objectName();
            cur = cur->nextInFocusChain();
        } while (cur != w.ListViewAdd && order.size() < 50);
        QCOMPARE(order, QStringList({"ListViewAdd", "CmdJoin", "CmdExit", "CmdAdd", "CmdRemove",
                                     "CmdClear", "SldrChunkSize", "CmdMoveUp", "CmdMoveDown"}));
    }

    void captionsFollowTheLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("estimate");
        QTest::addColumn<QString>("chunk");
        QTest::addColumn<QString>("lowest");
        QTest::addColumn<QString>("highest");
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates)
                               << "Estimated Joined Filesize:  0.00 MB"
                               << "Chunk Size: 40,000 bytes"
                               << "Chunk Size: 10,000 bytes"
                               << "Chunk Size: 70,000 bytes";
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany)
                               << "Estimated Joined Filesize:  0,00 MB"
                               << "Chunk Size: 40.000 bytes"
                               << "Chunk Size: 10.000 bytes"
                               << "Chunk Size: 70.000 bytes";
    }

    void captionsFollowTheLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, estimate);
        QFETCH(QString, chunk);
        QFETCH(QString, lowest);
        QFETCH(QString, highest);
        LocaleScope scope(locale);
        App app;
        frmReelbind& w = *app.window;
        QCOMPARE(w.LblEstFilesize->text(), estimate);
        QCOMPARE(w.FrameChunkSize->title(), chunk);
        QCOMPARE(w.SldrChunkSize->minimum(), 10000);
        QCOMPARE(w.SldrChunkSize->maximum(), 70000);
        QCOMPARE(w.SldrChunkSize->tickInterval(), 10000);
        QCOMPARE(w.SldrChunkSize->tickPosition(), QSlider::TicksBelow);
        // The user drags to both ends.
        w.SldrChunkSize->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(w.FrameChunkSize->title(), lowest);
        w.SldrChunkSize->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(w.FrameChunkSize->title(), highest);
        // The stored text never has grouping.
        QCOMPARE(w.settings().ChunkSize, std::optional<QString>(QStringLiteral("70000")));
    }

    void sliderSteps()
    {
        App app;
        frmReelbind& w = *app.window;
        show(w);
        w.SldrChunkSize->setFocus();
        QTest::keyClick(w.SldrChunkSize, Qt::Key_Right);
        QCOMPARE(w.SldrChunkSize->value(), 41000);
        QTest::keyClick(w.SldrChunkSize, Qt::Key_PageUp);
        QCOMPARE(w.SldrChunkSize->value(), 51000);
        QCOMPARE(w.FrameChunkSize->title(),
                 QStringLiteral("Chunk Size: ") + QLocale().toString(51000) + " bytes");
        QTest::keyClick(w.SldrChunkSize, Qt::Key_Home);
        QCOMPARE(w.SldrChunkSize->value(), 10000);
    }

    void sliderAndKeepChunkSize()
    {
        App app;
        frmReelbind& w = *app.window;
        const QByteArray fileBefore = app.iniBytes();

        // Ticked: the stored chunk size follows the slider.
        QCOMPARE(w.live().checkState(LiveSettings::ChunkSizeSave), 1);
        w.SldrChunkSize->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(w.settings().ChunkSize, std::optional<QString>(QStringLiteral("50000")));
        w.SldrChunkSize->setValue(23000);
        QCOMPARE(w.settings().ChunkSize, std::optional<QString>(QStringLiteral("23000")));

        // Clear or greyed: only the caption changes.
        for (int state : {0, 2}) {
            w.live().setCheckState(LiveSettings::ChunkSizeSave, state);
            w.SldrChunkSize->setValue(61000 + state);
            QCOMPARE(w.FrameChunkSize->title(),
                     QStringLiteral("Chunk Size: ") + QLocale().toString(61000 + state) + " bytes");
            QCOMPARE(w.settings().ChunkSize, std::optional<QString>(QStringLiteral("23000")));
        }
        // Moving the slider never writes the file.
        QCOMPARE(app.iniBytes(), fileBefore);
    }

    void menus()
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

        // The pop-up menu of the list is not in the menu bar.
        QCOMPARE(w.Option_mnu->title(), QStringLiteral("Options"));
        QCOMPARE(texts(w.Option_mnu->actions()),
                 QStringList({"View Selecte File", "Remove Selected File(s)"}));
        QVERIFY(!w.menuBar()->actions().contains(w.Option_mnu->menuAction()));
        QVERIFY(!w.Option_mnu->isVisible());

        // No shortcut keys and no mnemonics anywhere.
        QList<QAction*> all = w.menuBar()->actions();
        for (QMenu* m : {w.mnu_prefs, w.mnu_Links, w.mnu_Help, w.Option_mnu})
            all += m->actions();
        for (QAction* a : all) {
            QVERIFY2(a->shortcut().isEmpty(), qPrintable(a->text()));
            QVERIFY2(!a->text().contains(QLatin1Char('&')), qPrintable(a->text()));
            QVERIFY2(QKeySequence::mnemonic(a->text()).isEmpty(), qPrintable(a->text()));
        }
        // The named items.
        for (const char* name : {"mnu_subPrefs", "mnu_Exit", "mnu_ZIDA_FAQ", "mnu_BWI263", "mnu_MW",
                                 "mnu_I263", "mnu_Indeo", "mnu_FA", "mnu_Quorvik", "mnu_Readme",
                                 "mnu_About", "mnu_View", "mnu_Remove"})
            QVERIFY2(w.findChild<QAction*>(QLatin1String(name)), name);
    }

    void linksAndReadme()
    {
        App app;
        frmReelbind& w = *app.window;
        const QList<QAction*> links = {w.mnu_ZIDA_FAQ, w.mnu_BWI263, w.mnu_MW,     w.mnu_I263,
                                       w.mnu_Indeo,    w.mnu_FA,     w.mnu_Quorvik};
        for (QAction* a : links)
            a->trigger();
        const QStringList opened = app.platform->opened;
        QCOMPARE(opened.size(), 7);
        // Page A serves both "ZIDA FAQ" and the latest-version item; six pages in all.
        QCOMPARE(opened[6], opened[0]);
        QCOMPARE(QSet<QString>(opened.begin(), opened.end()).size(), 6);
        for (const QString& url : opened)
            QVERIFY2(QUrl(url, QUrl::StrictMode).isValid() && url.startsWith("https://"),
                     qPrintable(url));

        w.mnu_Readme->trigger();
        QCOMPARE(app.platform->opened.last(), app.folder.path() + QStringLiteral("/Readme.html"));
        // Nothing else happened: no message, no dialog.
        QVERIFY(app.platform->messages.isEmpty());
        QVERIFY(app.platform->dialogs.isEmpty());
        QCOMPARE(w.ShellOpen(QStringLiteral("https://example.org/")), 33);
    }

    void preferencesAndAboutDoNotBlock()
    {
        App app;
        frmReelbind& w = *app.window;
        show(w);
        w.mnu_subPrefs->trigger();
        QTRY_VERIFY(w.existingPrefs() && w.existingPrefs()->isVisible());
        QVERIFY(!w.existingPrefs()->isModal());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        w.mnu_About->trigger();
        QTRY_VERIFY(w.about() && w.about()->isVisible());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(w.CmdAdd->isEnabled());
        // Showing it again brings the same window forward.
        frmPrefs* prefs = w.existingPrefs();
        w.mnu_subPrefs->trigger();
        QCOMPARE(w.existingPrefs(), prefs);
        w.CmdExit_Click();
    }

    void exitWritesTheSettings_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("button") << false;
        QTest::newRow("menu") << true;
    }

    void exitWritesTheSettings()
    {
        QFETCH(bool, fromMenu);
        App app;
        frmReelbind& w = *app.window;
        show(w);
        w.mnu_subPrefs->trigger();
        w.mnu_About->trigger();
        QTRY_VERIFY(w.about() && w.about()->isVisible());
        QPointer<frmPrefs> prefs = w.existingPrefs();
        QPointer<frmAbout> about = w.about();

        w.settings().ClearQue = QStringLiteral("1");
        w.SldrChunkSize->setValue(33000);
        QVERIFY(loopEndsAfter([&] {
            if (fromMenu)
                w.mnu_Exit->trigger();
            else
                QTest::mouseClick(w.CmdExit, Qt::LeftButton);
        }));

        QByteArray expected = app.firstStartIni();
        expected.replace("ClearQue=0", "ClearQue=1").replace("ChunkSize=40000", "ChunkSize=33000");
        QCOMPARE(app.iniBytes(), expected);
        QTRY_VERIFY(prefs.isNull());
        QTRY_VERIFY(about.isNull());
        QVERIFY(!w.isVisible());
        QVERIFY(TestSupport::visibleTopLevels().isEmpty());
    }

    void closeBoxDoesNotSave()
    {
        App app;
        frmReelbind& w = *app.window;
        show(w);
        w.mnu_About->trigger();
        QTRY_VERIFY(w.about() && w.about()->isVisible());
        QPointer<frmPrefs> prefs = w.existingPrefs();
        QPointer<frmAbout> about = w.about();
        QVERIFY(prefs && !prefs->isVisible()); // the hidden live holder
        const QByteArray before = app.iniBytes();

        w.settings().ConfirmDel = QStringLiteral("0");
        w.SldrChunkSize->setValue(65000);
        QVERIFY(loopEndsAfter([&] { QVERIFY(w.close()); }));

        QCOMPARE(app.iniBytes(), before);
        // Every window of the program went with it, the hidden one too.
        QTRY_VERIFY(prefs.isNull());
        QTRY_VERIFY(about.isNull());
        QVERIFY(TestSupport::visibleTopLevels().isEmpty());
    }

    void fileExists()
    {
        App app;
        frmReelbind& w = *app.window;
        const QString dir = app.folder.path();
        TestSupport::makeFile(dir, QStringLiteral("clip1.mpg"), 10);
        TestSupport::makeFile(dir, QStringLiteral(".hidden.mpg"), 10);
        TestSupport::makeFile(dir, QStringLiteral("odd[1].mpg"), 10);
        TestSupport::makeFile(dir, QStringLiteral("empty.mpg"), 0);
        QVERIFY(QDir(dir).mkdir(QStringLiteral("folder.mpg")));
        QVERIFY(QFile::link(dir + "/clip1.mpg", dir + "/link.mpg"));
        QVERIFY(QFile::link(dir + "/missing.mpg", dir + "/dangling.mpg"));
        QCOMPARE(mkfifo(QFile::encodeName(dir + "/pipe.mpg").constData(), 0600), 0);

        const QList<QPair<QString, bool>> cases = {{"clip1.mpg", true},   {"empty.mpg", true},
                                                   {"tarvik.ini", true},  {".hidden.mpg", false},
                                                   {"folder.mpg", false}, {"missing.mpg", false},
                                                   {"link.mpg", true},    {"dangling.mpg", false},
                                                   {"pipe.mpg", false},   {"clip*.mpg", true},
                                                   {"?lip1.mpg", true},   {"c*1.*", true},
                                                   {"clip?.mpg", true},   {"clip??.mpg", false},
                                                   {"CLIP*.MPG", false},  {".hid*", false},
                                                   {"fold*", false},      {"odd[1].mpg", true},
                                                   {"odd[1]*", true},     {"odd1*", false},
                                                   {"pipe*", false},      {"*", true},
                                                   {"nothing*", false},   {"", false}};
        for (const auto& c : cases)
            QVERIFY2(w.File_Exists(dir + QLatin1Char('/') + c.first) == c.second,
                     qPrintable(c.first));
        QVERIFY(!w.File_Exists(QString()));
        QVERIFY(!w.File_Exists(dir + QStringLiteral("/clip1.mpg/")));
        QVERIFY(!w.File_Exists(dir + QStringLiteral("/nowhere/*")));
        // A hidden file shows up for no pattern, even with nothing else there.
        QTemporaryDir only;
        TestSupport::makeFile(only.path(), QStringLiteral(".x.mpg"), 1);
        QVERIFY(!w.File_Exists(only.path() + QStringLiteral("/*.mpg")));
        QVERIFY(!w.File_Exists(only.path() + QStringLiteral("/*")));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
