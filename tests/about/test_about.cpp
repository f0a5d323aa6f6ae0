#include "about/frmAbout.h"
#include "app/Icons.h"
#include "app/frmReelbind.h"
#include "platform/FakePlatform.h"
#include "settings/Profile.h"
#include "settings/frmPrefs.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QtTest>

namespace {

const char* const kStored = "[Preferences]\n"
                            "SaveSourceDir=1\n"
                            "SaveTargetDir=1\n"
                            "SourceDir=/media/clips\n"
                            "TargetDir=/media/joined\n"
                            "ConfirmDel=1\n"
                            "ClearQue=0\n"
                            "ChunkSizeSave=1\n"
                            "ChunkSize=50000\n";

frmAbout* openAbout(TestSupport::App& app)
{
    app.window->mnu_About->trigger();
    frmAbout* a = app.window->about();
    if (a)
        QTest::qWaitForWindowExposed(a);
    return a;
}

int countAboutBoxes()
{
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<frmAbout*>(w))
            ++n;
    return n;
}

QString onDisk(const TestSupport::App& app, const char* key)
{
    return Profile::getString(app.iniBytes(), QStringLiteral("Preferences"), QLatin1String(key),
                              QStringLiteral("<missing>"));
}

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    void showsTitleVersionAndNotices()
    {
        TestSupport::App app(kStored);
        frmAbout* a = openAbout(app);
        QVERIFY(a);
        QCOMPARE(a->windowTitle(), QStringLiteral("About Orvel's Reelbind"));
        QCOMPARE(a->lblTitle->text(), QStringLiteral("Orvel's Reelbind"));
        QCOMPARE(a->lblVersion->text(), QStringLiteral("Version 1.0.7b For Windows 95/98/NT"));
        QVERIFY(a->lblDescription->text().contains(QStringLiteral("freeware")));
        QVERIFY(a->lblDisclaimer->text().contains(QStringLiteral("without warranty")));
        QCOMPARE(a->cmdOK->text(), QStringLiteral("OK"));
        QCOMPARE(a->CmdExit->text(), QStringLiteral("Exit"));

        QCOMPARE(a->lblTitle->font().pointSizeF(), 14.25);
        QCOMPARE(a->lblTitle->font().weight(), QFont::Normal);
        QCOMPARE(a->lblVersion->font().pointSizeF(), 9.75);
        QCOMPARE(a->lblVersion->font().weight(), QFont::Normal);
        for (QLabel* l : {a->lblTitle, a->lblDescription, a->lblDisclaimer})
            QCOMPARE(l->palette().color(QPalette::WindowText), QColor(Qt::black));

        const QPixmap icon = a->picIcon->pixmap();
        QCOMPARE(icon.size() / icon.devicePixelRatio(), QSize(48, 48));
        QCOMPARE(icon.toImage(), Icons::program().pixmap(48, 48).toImage());

        // The etched rule: grey above, white below, across the box.
        QCOMPARE(a->Line1[1]->palette().color(QPalette::Window), QColor(128, 128, 128));
        QCOMPARE(a->Line1[0]->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(a->Line1[0]->geometry().top(), a->Line1[1]->geometry().bottom() + 1);
        QCOMPARE(a->Line1[0]->height(), 2);
        QVERIFY(a->Line1[1]->width() > a->width() * 9 / 10);
    }

    void isAFixedBoxCentredOutsideTheTaskBar()
    {
        TestSupport::App app(kStored);
        frmAbout* a = openAbout(app);
        QCOMPARE(a->size(), QSize(382, 237));
        QCOMPARE(a->minimumSize(), a->maximumSize());
        QCOMPARE(a->windowType(), Qt::Tool);
        QVERIFY(!(a->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(a->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!a->parentWidget());
        QVERIFY(!a->isModal());
        QVERIFY(!QApplication::activeModalWidget());
        const QPoint centre = a->screen()->availableGeometry().center();
        QVERIFY(qAbs(a->geometry().center().x() - centre.x()) <= 2);
        QVERIFY(qAbs(a->geometry().center().y() - centre.y()) <= 30);

        // The main window keeps working: its Preferences opens beside the box.
        app.window->mnu_subPrefs->trigger();
        QVERIFY(app.window->existingPrefs()->isVisible());
        QVERIFY(a->isVisible());
    }

    void layoutKeepsEveryTextWhole()
    {
        TestSupport::App app(kStored);
        frmAbout* a = openAbout(app);
        const QRect client = a->rect();
        const QList<QWidget*> controls =
            a->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(controls.size(), 9);
        for (QWidget* w : controls) {
            QVERIFY2(client.contains(w->geometry()), qPrintable(w->objectName()));
            if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty()) {
                const int need =
                    l->wordWrap() ? l->heightForWidth(l->width()) : l->fontMetrics().height();
                QVERIFY2(need <= l->height(), qPrintable(l->text()));
                if (!l->wordWrap())
                    QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->width(),
                             qPrintable(l->text()));
            }
            if (auto* b = qobject_cast<QPushButton*>(w))
                QVERIFY(b->fontMetrics().horizontalAdvance(b->text()) + 8 <= b->width());
            for (QWidget* other : controls)
                if (other != w && other->objectName() != QStringLiteral("Line1") &&
                    w->objectName() != QStringLiteral("Line1"))
                    QVERIFY2(!w->geometry().intersects(other->geometry()),
                             qPrintable(w->objectName() + " / " + other->objectName()));
        }
        // The rule runs between the description and the disclaimer.
        QVERIFY(a->Line1[1]->geometry().top() > a->lblDescription->geometry().bottom());
        QVERIFY(a->Line1[0]->geometry().bottom() < a->lblDisclaimer->geometry().top());
    }

    void enterEscAndOkCloseAndBringTheMainWindowForward_data()
    {
        QTest::addColumn<int>("how"); // 0 OK clicked, 1 Enter, 2 Esc
        QTest::newRow("OK") << 0;
        QTest::newRow("Enter") << 1;
        QTest::newRow("Esc") << 2;
    }

    void enterEscAndOkCloseAndBringTheMainWindowForward()
    {
        QFETCH(int, how);
        TestSupport::App app(kStored);
        app.window->show();
        frmAbout* a = openAbout(app);
        QPointer<frmAbout> guard(a);
        QCOMPARE(a->focusWidget(), a->cmdOK);
        QVERIFY(a->cmdOK->isDefault());
        // Out of sight, so bringing it forward shows.
        app.window->hide();
        const QByteArray stored = app.iniBytes();

        if (how == 0)
            QTest::mouseClick(a->cmdOK, Qt::LeftButton);
        else
            QTest::keyClick(a->lblDescription, how == 1 ? Qt::Key_Return : Qt::Key_Escape);
        QVERIFY(!a->isVisible());
        QTRY_VERIFY(!guard);
        QVERIFY(!app.window->about());
        QVERIFY(app.window->isVisible());
        QCOMPARE(app.iniBytes(), stored); // nothing saved

        // The next opening builds a new box with its texts.
        a = openAbout(app);
        QCOMPARE(a->lblVersion->text(), QStringLiteral("Version 1.0.7b For Windows 95/98/NT"));
    }

    void closeBoxOnlyCloses()
    {
        TestSupport::App app(kStored);
        frmAbout* a = openAbout(app);
        QPointer<frmAbout> guard(a);
        app.window->hide();
        a->close();
        QTRY_VERIFY(!guard);
        QVERIFY(!app.window->isVisible());
        app.window->show();
    }

    void openingTwiceKeepsOneBox()
    {
        TestSupport::App app(kStored);
        frmAbout* a = openAbout(app);
        app.window->mnu_About->trigger();
        QCOMPARE(app.window->about(), a);
        QCOMPARE(countAboutBoxes(), 1);
        QVERIFY(a->isVisible());
    }

    void exitSavesAndEnds()
    {
        TestSupport::App app(kStored);
        app.window->show();
        frmAbout* a = openAbout(app);
        QPointer<frmAbout> guard(a);
        // The kept chunk size is in the record only, until something writes it.
        app.window->SldrChunkSize->setValue(60000);
        QCOMPARE(onDisk(app, "ChunkSize"), QStringLiteral("50000"));

        QTest::mouseClick(a->CmdExit, Qt::LeftButton);
        QVERIFY(!guard);
        QVERIFY(!app.window->isVisible());
        QVERIFY(TestSupport::visibleTopLevels().isEmpty());
        QCOMPARE(onDisk(app, "ChunkSize"), QStringLiteral("60000"));
    }

    void enterOnTheFocusedExitButtonExits()
    {
        TestSupport::App app(kStored);
        app.window->show();
        frmAbout* a = openAbout(app);
        QPointer<frmAbout> guard(a);
        // Tab goes from OK to Exit: the labels and the icon take no focus.
        QCOMPARE(a->focusWidget(), a->cmdOK);
        QTest::keyClick(a->cmdOK, Qt::Key_Tab);
        QCOMPARE(a->focusWidget(), a->CmdExit);
        QTest::keyClick(a->CmdExit, Qt::Key_Return);
        QVERIFY(!guard);
        QVERIFY(TestSupport::visibleTopLevels().isEmpty());
    }

    void exitWhilePreferencesAreOpenAndEdited()
    {
        TestSupport::App app(kStored);
        app.window->show();
        const QByteArray stored = app.iniBytes();
        app.window->mnu_subPrefs->trigger();
        QPointer<frmPrefs> prefs(app.window->existingPrefs());
        QTest::mouseClick(prefs->ChkConfirmDel, Qt::LeftButton);
        QTest::mouseClick(prefs->ChkRememberTarget, Qt::LeftButton);
        prefs->TextSourceDir->setText(QStringLiteral("/edited"));
        frmAbout* a = openAbout(app);
        QPointer<frmAbout> guard(a);

        QTest::mouseClick(a->CmdExit, Qt::LeftButton);
        QVERIFY(!guard);
        QVERIFY(!prefs);
        QVERIFY(!app.window->isVisible());
        QVERIFY(TestSupport::visibleTopLevels().isEmpty());
        QCOMPARE(app.iniBytes(), stored);
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
