#include "support/TestSupport.h"

#include <QtTest>

using TestSupport::Core;
using P = Preferences;

namespace {

const QByteArray kStored =
    "[Preferences]\nSaveSourceDir=1\nSaveTargetDir=1\nSourceDir=/in\n"
    "TargetDir=/tgt\nConfirmDel=1\nClearQue=0\nChunkSizeSave=1\nChunkSize=50000\n";

// "the five states|source folder|target folder|chunk size".
QString liveOf(Preferences& p)
{
    QString s;
    for (int b = 0; b < P::kBoxCount; ++b)
        s += QString::number(p.checkState(P::Box(b)));
    return s + '|' + p.folderText(P::SourceFolder) + '|' + p.folderText(P::TargetFolder) + '|' +
           QString::number(p.chunkSize());
}

} // namespace

class TestPreferences : public QObject
{
    Q_OBJECT
private slots:
    // Only a ticked switch counts: RememberSource, ConfirmDel and ChunkSizeSave in one state.
    void switchStates_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("record"); // ChunkSize after the slider moved to its end
        QTest::addColumn<QString>("lines");  // that OK changes in the file
        QTest::addColumn<QString>("live");   // as the window opens next
        const QString lines = "SaveSourceDir=%1 TargetDir=/out ConfirmDel=%1 ChunkSizeSave=%1 "
                              "ChunkSize=40000";
        QTest::newRow("clear") << 0 << "50000" << lines.arg(0) << "01000||/out|40000";
        QTest::newRow("ticked") << 1 << "70000"
                                << "SourceDir= TargetDir=/out ChunkSize=60000"
                                << "11101||/out|60000";
        QTest::newRow("greyed") << 2 << "50000" << lines.arg(2) << "21202||/out|40000";
    }

    void switchStates()
    {
        QFETCH(int, state);
        QFETCH(QString, lines);
        Core c(kStored);
        P& p = c.prefs();
        // Folder edits made before the box is cleared are not stored either.
        p.setFolderText(P::SourceFolder, QString());
        p.setFolderText(P::TargetFolder, QStringLiteral("/out"));
        for (P::Box b : {P::RememberSource, P::ConfirmDel, P::ChunkSizeSave})
            p.setCheckState(b, state);
        p.setChunkSize(5);
        QCOMPARE(p.chunkSize(), 10000); // clamped, as the slider does
        p.setChunkSize(99999);
        QTEST(*c.settings().ChunkSize, "record");
        QCOMPARE(c.iniBytes(), kStored); // moving the slider writes nothing
        // OK stores the slider's value, not the record's.
        p.setCheckState(P::ChunkSizeSave, 0);
        p.setChunkSize(60000);
        p.setCheckState(P::ChunkSizeSave, state);
        QVERIFY(c.program->store().storePreferences());
        QString expected = kStored;
        for (const QString& line : lines.split(' '))
            expected.replace(QRegularExpression('\n' + line.section('=', 0, 0) + "=.*\n"),
                             '\n' + line + '\n');
        QCOMPARE(QString(c.iniBytes()), expected);
        p.discardWindowValues();
        QTEST(liveOf(p), "live");
    }

    void failedOkSaysWhyAndKeepsTheValues()
    {
        Core c(kStored);
        QVERIFY(QFile::remove(c.iniPath()) && QDir().mkdir(c.iniPath()));
        c.prefs().setCheckState(P::ClearQue, 1);
        c.prefs().setChunkSize(60000);
        QString reason;
        QVERIFY(!c.program->store().storePreferences(&reason));
        QCOMPARE(reason, QStringLiteral("the existing file could not be read"));
        QCOMPARE(liveOf(c.prefs()), QStringLiteral("11111|/in|/tgt|60000"));
    }
};

QTEST_GUILESS_MAIN(TestPreferences)
#include "test_preferences.moc"
