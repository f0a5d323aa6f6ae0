#include "support/TestSupport.h"

#include <QtTest>
#include <memory>

using TestSupport::Core;
using P = Preferences;

namespace {

const QByteArray kStored = "[Preferences]\nSaveSourceDir=1\nSaveTargetDir=1\n"
                           "SourceDir=/media/clips\nTargetDir=/media/joined\n"
                           "ConfirmDel=1\nClearQue=0\nChunkSizeSave=1\nChunkSize=50000\n";

// kStored with each given "Key=value" line in place of its own.
QByteArray stored(const QList<QByteArray>& lines = {})
{
    QList<QByteArray> out = kStored.split('\n');
    for (const QByteArray& line : lines)
        for (QByteArray& o : out)
            if (o.startsWith(line.left(line.indexOf('=') + 1)))
                o = line;
    return out.join('\n');
}

// "the five states|source folder|target folder|chunk size".
QString liveOf(Preferences& p)
{
    QString s;
    for (int b = 0; b < P::kBoxCount; ++b)
        s += QString::number(p.checkState(P::Box(b)));
    return s + '|' + p.folderText(P::SourceFolder) + '|' + p.folderText(P::TargetFolder) + '|' +
           QString::number(p.chunkSize());
}

// Makes the edits "Key=value" (named as in the file) in order, as the window would.
void edit(Preferences& p, const QList<QByteArray>& edits)
{
    const QList<QByteArray> boxes = {"SaveSourceDir", "SaveTargetDir", "ConfirmDel", "ClearQue",
                                     "ChunkSizeSave"};
    for (const QByteArray& e : edits) {
        const QByteArray key = e.left(e.indexOf('=')), value = e.mid(key.size() + 1);
        if (key == "SourceDir" || key == "TargetDir")
            p.setFolderText(key == "SourceDir" ? P::SourceFolder : P::TargetFolder, value);
        else if (key == "ChunkSize")
            p.setChunkSize(value.toInt());
        else
            p.setCheckState(P::Box(boxes.indexOf(key)), value.toInt());
    }
}

} // namespace

class TestPreferences : public QObject
{
    Q_OBJECT
    std::unique_ptr<Core> c;

private slots:
    void init() { c = std::make_unique<Core>(kStored); }
    void cleanup() { c.reset(); }

    void chunkSizeRule_data()
    {
        QTest::addColumn<int>("keep"); // the state of "Keep Chunk Size Setting"
        QTest::addColumn<int>("set");
        QTest::addColumn<int>("chunk");
        QTest::addColumn<QString>("record");
        QTest::newRow("kept") << 1 << 30000 << 30000 << "30000";
        QTest::newRow("kept, below the range") << 1 << 5 << 10000 << "10000";
        QTest::newRow("kept, above the range") << 1 << 99999 << 70000 << "70000";
        QTest::newRow("clear") << 0 << 30000 << 30000 << "50000";
        QTest::newRow("greyed") << 2 << 30000 << 30000 << "50000";
    }

    void chunkSizeRule()
    {
        QFETCH(int, keep);
        QFETCH(int, set);
        QFETCH(int, chunk);
        c->prefs().setCheckState(P::ChunkSizeSave, keep);
        QSignalSpy changed(&c->prefs(), &P::chunkSizeChanged);
        c->prefs().setChunkSize(set);
        c->prefs().setChunkSize(set); // no change
        QCOMPARE(c->prefs().chunkSize(), chunk);
        QCOMPARE(changed, QList<QVariantList>{{chunk}});
        QTEST(*c->settings().ChunkSize, "record");
        QCOMPARE(c->iniBytes(), kStored); // moving the slider writes nothing
    }

    void windowValuesComeFromTheRecord_data()
    {
        QTest::addColumn<int>("remember"); // the stored SaveSourceDir
        QTest::addColumn<QString>("live"); // rebuilt after the window closed
        QTest::newRow("ticked") << 1 << "11101|/media/clips|/media/joined|20000";
        QTest::newRow("clear") << 0 << "01101||/media/joined|20000";
        QTest::newRow("greyed") << 2 << "21101||/media/joined|20000";
    }

    void windowValuesComeFromTheRecord()
    {
        QFETCH(int, remember);
        c->settings().SaveSourceDir = QString::number(remember);
        // The window's edits, then it closes; the slider's value stays.
        edit(c->prefs(),
             {"ClearQue=1", "SourceDir=/elsewhere", "TargetDir=/elsewhere", "ChunkSize=20000"});
        c->prefs().discardWindowValues();
        QTEST(liveOf(c->prefs()), "live");
    }

    void okStoresTheWindowValues_data()
    {
        QTest::addColumn<QList<QByteArray>>("edits");
        QTest::addColumn<QList<QByteArray>>("lines"); // that change in the file
        QTest::addColumn<QString>("live");            // as the window opens next
        auto row = [](const char* name, const QList<QByteArray>& edits,
                      const QList<QByteArray>& lines,
                      const char* live) { QTest::newRow(name) << edits << lines << QString(live); };
        row("switches and target", {"ConfirmDel=0", "ClearQue=1", "TargetDir=/new target"},
            {"TargetDir=/new target", "ConfirmDel=0", "ClearQue=1"},
            "11011|/media/clips|/new target|50000");
        // An edit made before the box is cleared is not stored either.
        row("source not remembered", {"SourceDir=/media/edited", "SaveSourceDir=0"},
            {"SaveSourceDir=0"}, "01101||/media/joined|50000");
        row("empty ticked folder", {"SourceDir="}, {"SourceDir="}, "11101||/media/joined|50000");
        // While the box is clear the slider no longer updates the record.
        row("chunk size kept", {"ChunkSizeSave=0", "ChunkSize=20000", "ChunkSizeSave=1"},
            {"ChunkSize=20000"}, "11101|/media/clips|/media/joined|20000");
        row("chunk size not kept", {"ChunkSize=70000", "ChunkSizeSave=0"},
            {"ChunkSizeSave=0", "ChunkSize=40000"}, "11100|/media/clips|/media/joined|40000");
        row("greyed boxes", {"ConfirmDel=2", "ClearQue=2"}, {"ConfirmDel=2", "ClearQue=2"},
            "11221|/media/clips|/media/joined|50000");
    }

    void okStoresTheWindowValues()
    {
        QFETCH(QList<QByteArray>, edits);
        QFETCH(QList<QByteArray>, lines);
        edit(c->prefs(), edits);
        QVERIFY(c->program->store().storePreferences());
        QCOMPARE(c->iniBytes(), stored(lines));
        c->prefs().discardWindowValues();
        QTEST(liveOf(c->prefs()), "live");
    }

    void failedOkSaysWhyAndKeepsTheValues()
    {
        QVERIFY(QFile::remove(c->iniPath()) && QDir().mkdir(c->iniPath()));
        edit(c->prefs(), {"ClearQue=1", "ChunkSize=60000"});
        QString reason;
        QVERIFY(!c->program->store().storePreferences(&reason));
        QCOMPARE(reason, QStringLiteral("the existing file could not be read"));
        QCOMPARE(c->settings().ClearQue, QStringLiteral("1"));
        QCOMPARE(liveOf(c->prefs()), QStringLiteral("11111|/media/clips|/media/joined|60000"));
        QVERIFY(QFileInfo(c->iniPath()).isDir());
    }
};

QTEST_GUILESS_MAIN(TestPreferences)
#include "test_preferences.moc"
