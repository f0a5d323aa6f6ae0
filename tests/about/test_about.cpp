#include "about/frmAbout.h"
#include "app/frmReelbind.h"
#include "settings/frmPrefs.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
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
    frmAbout* a = app.window->about();
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
        // The etched rule: white directly under grey.
        QCOMPARE(a->Line1[0]->geometry().top(), a->Line1[1]->geometry().bottom() + 1);

        // One box, out of the task bar, not blocking the main window.
        QCOMPARE(a->windowType(), Qt::Tool);
        QVERIFY(!a->parentWidget() && !a->isModal() && !QApplication::activeModalWidget());
        app.window->mnu_About->trigger();
        QCOMPARE(app.window->about(), a);
        QCOMPARE(TestSupport::topLevelCount("frmAbout"), 1);
        app.window->mnu_subPrefs->trigger();
        QVERIFY(app.window->existingPrefs()->isVisible() && a->isVisible());
    }

    void closingBringsTheMainWindowForward_data()
    {
        QTest::addColumn<int>("how"); // 0 OK clicked, 1 Enter, 2 Esc, 3 close box
        QTest::addColumn<bool>("forward");
        QTest::newRow("OK") << 0 << true;
        QTest::newRow("Enter") << 1 << true;
        QTest::newRow("Esc") << 2 << true;
        QTest::newRow("close box only closes") << 3 << false;
    }

    void closingBringsTheMainWindowForward()
    {
        QFETCH(int, how);
        QFETCH(bool, forward);
        App app;
        QPointer<frmAbout> a = openAbout(app);
        QVERIFY(a->cmdOK->isDefault());
        app.window->hide();
        const QByteArray stored = app.iniBytes();
        if (how == 0)
            QTest::mouseClick(a->cmdOK, Qt::LeftButton);
        else if (how == 3)
            a->close();
        else
            QTest::keyClick(a->lblDescription, how == 1 ? Qt::Key_Return : Qt::Key_Escape);
        QTRY_VERIFY(!a);
        QVERIFY(!app.window->about());
        QCOMPARE(app.window->isVisible(), forward);
        QCOMPARE(app.iniBytes(), stored);
    }

    void exitSavesTheRecordNotThePreferencesEdits()
    {
        App app;
        app.window->show();
        const QByteArray stored = app.iniBytes();
        app.window->mnu_subPrefs->trigger();
        QPointer<frmPrefs> prefs(app.window->existingPrefs());
        QTest::mouseClick(prefs->ChkConfirmDel, Qt::LeftButton);
        QTest::mouseClick(prefs->ChkRememberTarget, Qt::LeftButton);
        prefs->TextSourceDir->setText(QStringLiteral("/edited"));
        app.window->SldrChunkSize->setValue(60000); // in the record only, until Exit
        QPointer<frmAbout> a = openAbout(app);
        QCOMPARE(app.iniBytes(), stored);
        QTest::mouseClick(a->CmdExit, Qt::LeftButton);
        QVERIFY(!a && !prefs);
        QVERIFY(TestSupport::visibleTopLevels().isEmpty());
        QCOMPARE(app.iniBytes(), QByteArray(stored).replace("ChunkSize=40000", "ChunkSize=60000"));
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
