// The about box: what it shows, how it closes, and Exit.
#include "gui/AboutDialog.h"
#include "support/GuiSupport.h"

#include <QtTest>
#include <QtWidgets>

using namespace TestSupport;

class TestAbout : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initGuiTest(); }
    void cleanup() { QVERIFY(closeAllTopLevels().isEmpty()); }

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
        App app;
        QAction* about = child<QAction>(app.window.get(), "mnu_About");
        about->trigger();
        about->trigger(); // one box only
        QPointer<AboutDialog> a = app.window->aboutWindow();
        QVERIFY(a && QTest::qWaitForWindowExposed(a));
        QCOMPARE(topLevelCount("AboutDialog"), 1);
        QLabel *title = child<QLabel>(a, "lblTitle"), *version = child<QLabel>(a, "lblVersion");
        QCOMPARE(a->windowTitle() + " | " + title->text() + " | " + version->text(),
                 "About Orvel's Reelbind | Orvel's Reelbind | Version 1.0.7b For Windows 95/98/NT");
        QCOMPARE(QList<qreal>({title->font().pointSizeF(), version->font().pointSizeF()}),
                 QList<qreal>({14.25, 9.75}));
        QVERIFY(!child<QLabel>(a, "picIcon")->pixmap().isNull());
        QCOMPARE(layoutFaults(a), QStringList());
        QCOMPARE(unnamedControls(a), QStringList());
        const auto rules = a->findChildren<QFrame*>("Line1"); // etched: white below grey
        QCOMPARE(rules.size(), 2);
        QCOMPARE(rules[1]->geometry().top(), rules[0]->geometry().bottom() + 1);
        QCOMPARE(a->focusWidget(), child(a, "cmdOK"));
        // Out of the task bar and not blocking the main window.
        QVERIFY(a->windowType() == Qt::Tool && !a->parentWidget() && !a->isModal());

        child<QSlider>(app.window.get(), "SldrChunkSize")->setValue(60000); // saved only by Exit
        const QByteArray stored = app.iniBytes();
        if (key == "OK" || key == "Exit")
            QTest::mouseClick(child(a, key == "OK" ? "cmdOK" : "CmdExit"), Qt::LeftButton);
        else if (key == "close box")
            a->close();
        else
            QTest::keyClick(child(a, "lblDescription"),
                            key == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
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
