#include "app/frmReelbind.h"
#include "support/TestSupport.h"

#include <QtTest>

class TestSmoke : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    void firstStartWritesNineLines()
    {
        TestSupport::App app;
        QCOMPARE(app.window->windowTitle(), QStringLiteral("Orvel's Reelbind 1.0.7b"));
        const QByteArray expected =
            "[Preferences]\nSaveSourceDir=1\nSaveTargetDir=1\nSourceDir=" +
            app.folder.path().toUtf8() + "\nTargetDir=" + app.folder.path().toUtf8() +
            "\nConfirmDel=1\nClearQue=0\nChunkSizeSave=1\nChunkSize=40000\n";
        QCOMPARE(app.iniBytes(), expected);
    }
};

QTEST_MAIN(TestSmoke)
#include "test_smoke.moc"
