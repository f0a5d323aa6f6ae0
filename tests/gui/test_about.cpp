// The about box: what it shows, how it closes, and Exit.
#include "gui/frmAbout.h"
#include "gui/frmReelbind.h"
#include "support/TestSupport.h"

#include <QtTest>
#include <QtWidgets>

class TestAbout : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    void showsAndCloses_data()
    {
        QTest::addColumn<QString>("after"); // main window shown, program closing, file written
        QTest::newRow("OK") << "1 0 0";     // brings the main window forward
        QTest::newRow("Enter") << "1 0 0";
        QTest::newRow("Esc") << "1 0 0";
        QTest::newRow("close box") << "0 0 0"; // only closes
        QTest::newRow("Exit") << "0 1 1";
    }
    void showsAndCloses()
    {
        const QString key = QTest::currentDataTag();
        TestSupport::App app;
        app.window->mnu_About->trigger();
        app.window->mnu_About->trigger(); // one box only
        QPointer<frmAbout> a = app.window->aboutWindow();
        QVERIFY(a && QTest::qWaitForWindowExposed(a));
        QCOMPARE(TestSupport::topLevelCount("frmAbout"), 1);
        QCOMPARE(a->windowTitle() + " | " + a->lblTitle->text() + " | " + a->lblVersion->text(),
                 "About Orvel's Reelbind | Orvel's Reelbind | Version 1.0.7b For Windows 95/98/NT");
        QCOMPARE(
            QList<qreal>({a->lblTitle->font().pointSizeF(), a->lblVersion->font().pointSizeF()}),
            QList<qreal>({14.25, 9.75}));
        QVERIFY(!a->picIcon->pixmap().isNull());
        QCOMPARE(TestSupport::layoutFaults(a), QStringList());
        QCOMPARE(TestSupport::unnamedControls(a), QStringList());
        QCOMPARE(a->Line1[0]->geometry().top(), a->Line1[1]->geometry().bottom() + 1); // etched
        QCOMPARE(a->focusWidget(), a->cmdOK);
        // Out of the task bar and not blocking the main window.
        QVERIFY(a->windowType() == Qt::Tool && !a->parentWidget() && !a->isModal());

        app.window->SldrChunkSize->setValue(60000); // in the record only, until Exit
        const QByteArray stored = app.iniBytes();
        if (key == "OK" || key == "Exit")
            QTest::mouseClick(key == "OK" ? a->cmdOK : a->CmdExit, Qt::LeftButton);
        else if (key == "close box")
            a->close();
        else
            QTest::keyClick(a->lblDescription, key == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
        QVERIFY(a && !app.window->aboutWindow()); // deleted later, never under its own handler
        QTRY_VERIFY(!a);
        QTEST(QString("%1 %2 %3")
                  .arg(app.window->isVisible())
                  .arg(app.program->isClosing())
                  .arg(app.iniBytes() != stored),
              "after");
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
