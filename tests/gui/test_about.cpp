// The about box: what it shows, how it closes, and Exit.
#include "gui/frmAbout.h"
#include "gui/frmPrefs.h"
#include "gui/frmReelbind.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

using TestSupport::App;

namespace {

frmAbout* openAbout(App& app)
{
    app.window->mnu_About->trigger();
    frmAbout* a = app.window->aboutWindow();
    return a && QTest::qWaitForWindowExposed(a) ? a : nullptr;
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
        App app;
        frmAbout* a = openAbout(app);
        QVERIFY(a);
        QCOMPARE(a->windowTitle(), QStringLiteral("About Orvel's Reelbind"));
        QCOMPARE(a->lblTitle->text(), QStringLiteral("Orvel's Reelbind"));
        QCOMPARE(a->lblVersion->text(), QStringLiteral("Version 1.0.7b For Windows 95/98/NT"));
        QVERIFY(a->lblDescription->text().contains(QStringLiteral("freeware")));
        QVERIFY(a->lblDisclaimer->text().contains(QStringLiteral("without warranty")));
        QCOMPARE(a->lblTitle->font().pointSizeF(), 14.25);
        QCOMPARE(a->lblVersion->font().pointSizeF(), 9.75);
        QVERIFY(!a->picIcon->pixmap().isNull());
        QCOMPARE(TestSupport::layoutFaults(a), QStringList());
        QCOMPARE(a->focusWidget(), a->cmdOK);
        // The etched rule: white directly under grey.
        QCOMPARE(a->Line1[0]->geometry().top(), a->Line1[1]->geometry().bottom() + 1);

        // One box, out of the task bar, not blocking the main window.
        QCOMPARE(a->windowType(), Qt::Tool);
        QVERIFY(!a->parentWidget() && !a->isModal() && !QApplication::activeModalWidget());
        app.window->mnu_About->trigger();
        QCOMPARE(app.window->aboutWindow(), a);
        QCOMPARE(TestSupport::topLevelCount("frmAbout"), 1);
        app.window->mnu_subPrefs->trigger();
        QVERIFY(app.window->prefsWindow()->isVisible() && a->isVisible());
    }

    void closingBringsTheMainWindowForward_data()
    {
        QTest::addColumn<QString>("how");
        for (const char* how : {"OK", "Enter", "Esc", "close box"})
            QTest::newRow(how) << QString(how);
    }
    void closingBringsTheMainWindowForward()
    {
        QFETCH(QString, how);
        App app;
        QPointer<frmAbout> a = openAbout(app);
        QVERIFY(a->cmdOK->isDefault());
        const QByteArray stored = app.iniBytes();
        if (how == "OK")
            QTest::mouseClick(a->cmdOK, Qt::LeftButton);
        else if (how == "close box")
            a->close();
        else
            QTest::keyClick(a->lblDescription, how == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
        QVERIFY(!app.window->aboutWindow());
        QTRY_VERIFY(!a);
        QCOMPARE(app.window->isVisible(), how != "close box"); // the close box only closes
        QCOMPARE(app.iniBytes(), stored);
    }

    void exitSavesTheRecordNotThePreferencesEdits()
    {
        App app;
        app.window->show();
        const QByteArray stored = app.iniBytes();
        app.window->mnu_subPrefs->trigger();
        QPointer<frmPrefs> prefs(app.window->prefsWindow());
        QTest::mouseClick(prefs->ChkConfirmDel, Qt::LeftButton);
        QTest::mouseClick(prefs->ChkRememberTarget, Qt::LeftButton);
        prefs->TextSourceDir->setText(QStringLiteral("/edited"));
        app.window->SldrChunkSize->setValue(60000); // in the record only, until Exit
        QPointer<frmAbout> a = openAbout(app);
        QCOMPARE(app.iniBytes(), stored);
        // The box outlives its own click handler, and goes right after it.
        int handlersSeeingTheBox = 0;
        connect(a->CmdExit, &QPushButton::clicked, this,
                [&] { handlersSeeingTheBox += !a.isNull(); });
        QTest::mouseClick(a->CmdExit, Qt::LeftButton);
        QCOMPARE(handlersSeeingTheBox, 1);
        QVERIFY(TestSupport::visibleTopLevels().isEmpty());
        QTRY_VERIFY(!a && !prefs);
        QCOMPARE(app.iniBytes(), QByteArray(stored).replace("ChunkSize=40000", "ChunkSize=60000"));
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
