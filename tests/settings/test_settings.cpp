#include "app/frmReelbind.h"
#include "platform/FakePlatform.h"
#include "settings/Profile.h"
#include "settings/Settings.h"
#include "settings/SettingsTestUtil.h"
#include "settings/frmPrefs.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QSlider>
#include <QtTest>
#include <cmath>
#include <sys/stat.h>

using namespace SettingRules;
using namespace SettingsTest;
using TestSupport::App;

namespace {

// Live preferences without any window: keeps the values and logs each set.
class RecordingLive : public LiveSettings
{
public:
    int states[5] = {};
    QString folders[2];
    int slider = 0;
    QStringList log;

    int checkState(Box b) override { return states[b]; }
    void setCheckState(Box b, int s) override
    {
        log << QString("box%1=%2").arg(b).arg(states[b] = s);
    }
    QString folderText(Folder f) override { return folders[f]; }
    void setFolderText(Folder f, const QString& t) override
    {
        log << QString("folder%1=%2").arg(f).arg(folders[f] = t);
    }
    int chunkSize() override { return slider; }
    void setChunkSize(int bytes) override { log << QString("slider=%1").arg(slider = bytes); }
};

// The settings file with these eight texts in the writer's order ("<none>": no line).
QByteArray startUpFile(const QStringList& fields)
{
    static const char* keys[] = {"SaveSourceDir", "SaveTargetDir", "SourceDir",     "TargetDir",
                                 "ConfirmDel",    "ClearQue",      "ChunkSizeSave", "ChunkSize"};
    QByteArray out = "[Preferences]\n";
    for (int i = 0; i < 8; ++i)
        if (fields[i] != QLatin1String("<none>"))
            out += QByteArray(keys[i]) + "=" + fields[i].toUtf8() + "\n";
    return out;
}

QList<int> boxStates(frmReelbind& w)
{
    QList<int> out;
    for (int b = 0; b < 5; ++b)
        out << w.live().checkState(LiveSettings::Box(b));
    return out;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    void numberRules()
    {
        const QList<QPair<const char*, double>> numbers = {
            {"abc", 0}, {"12abc", 12}, {" \t 7", 7},  {".5", 0.5}, {"3.", 3},
            {"-3", -3}, {"+2", 2},     {"4e4", 4e4},  {"1e", 1},   {"- 1", 0},
            {".", 0},   {"1,5", 1},    {"1.2.3", 1.2}};
        for (const auto& c : numbers)
            QVERIFY2(leadingNumber(QString::fromUtf8(c.first)) == c.second, c.first);
        QCOMPARE(leadingNumber(QStringLiteral("99999999999")), 99999999999.0);
        QCOMPARE(leadingNumber(QString::fromUtf8("\xef\xbc\x91")), 0.0); // no ASCII digit
        QVERIFY(std::isinf(leadingNumber(QStringLiteral("1e999"))));
        QVERIFY(std::isinf(leadingNumber(QString(400, QLatin1Char('9')))));

        const QList<QPair<double, double>> rounded = {
            {0.5, 0}, {1.5, 2}, {2.5, 2}, {-1.5, -2}, {-2.5, -2}, {2.51, 3}, {40000.5, 40000}};
        for (const auto& c : rounded)
            QCOMPARE(roundHalfEven(c.first), c.second);

        const QList<QPair<const char*, int>> states = {
            {"0", 0},   {"1", 1},   {"2", 2},   {"7", 0},    {"-1", 0},   {"1.5", 2},  {"0.5", 0},
            {"2.5", 2}, {"3.5", 0}, {"abc", 0}, {"1abc", 1}, {"0.51", 1}, {"1e999", 0}};
        for (const auto& c : states)
            QVERIFY2(checkStateOf(QString::fromLatin1(c.first)) == c.second, c.first);
        QCOMPARE(checkStateOf(std::nullopt), 0);

        const QList<QPair<const char*, int>> chunks = {
            {"5", 10000},       {"abc", 10000},     {"1e999", 70000},   {"-1e999", 10000},
            {"60000.5", 60000}, {"60001.5", 60002}, {"70000.6", 70000}, {"9999.5", 10000},
            {" 55555x", 55555}, {"4e4", 40000}};
        for (const auto& c : chunks)
            QVERIFY2(chunkSizeOf(QString::fromLatin1(c.first)) == c.second, c.first);
        QCOMPARE(chunkSizeOf(QString(400, QLatin1Char('9'))), kChunkMax);
        QCOMPARE(chunkSizeOf(std::nullopt), kChunkMin);

        for (const char* yes : {"1", "1.0", " 1 ", "\t1", "+1", "1e0", "1.000"})
            QVERIFY2(wholeTextIsOne(QString::fromLatin1(yes)), yes);
        for (const char* no : {"", " ", "1x", "01x", "2", "0", "0.999", "one", "1 1", "-1", "11"})
            QVERIFY2(!wholeTextIsOne(QString::fromLatin1(no)), no);
        QVERIFY(!wholeTextIsOne(std::nullopt));
    }

    void switchTexts_data()
    {
        // `text` goes to SaveSourceDir, ConfirmDel, ClearQue and ChunkSizeSave.
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("chunkText");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("slider");
        QTest::addColumn<QString>("written"); // the switches' text as written back
        auto row = [](const char* name, const char* text, const char* chunk, int state, int slider,
                      const char* written) {
            QTest::newRow(name) << QString(text) << QString(chunk) << state << slider
                                << QString(written);
        };
        row("ticked, chunk size kept", "1", "60000", 1, 60000, "1");
        row("clear: folder and chunk size not kept", "0", "60000", 0, 40000, "0");
        row("greyed", "2", "60000", 2, 40000, "2");
        row("1.0 is a whole 1", "1.0", "60000", 1, 60000, "1.0");
        row("quoted with blanks", "\" 1 \"", "60000", 1, 60000, "1 ");
        row("leading 1 is no whole 1", "1x", "60000", 1, 40000, "1x");
        row("not a number", "yes", "60000", 0, 40000, "yes");
        row("chunk size too small", "1", "5", 1, 10000, "1");
        row("chunk size beyond 32 bits", "1", "99999999999", 1, 70000, "1");
        row("chunk size not a number", "1", "abc", 1, 10000, "1");
    }

    void switchTexts()
    {
        QFETCH(QString, text);
        QFETCH(QString, chunkText);
        QFETCH(int, state);
        QFETCH(int, slider);
        QFETCH(QString, written);
        App app(startUpFile({text, "1", "/s", "/t", text, text, text, chunkText}));
        frmReelbind& w = *app.window;
        QCOMPARE(boxStates(w), QList<int>({state, 1, state, state, state}));
        QCOMPARE(w.prefs()->ChkConfirmDel->checkState(), toQtCheckState(state));
        // Only a ticked box remembers: greyed and clear leave the folder unread.
        const bool ticked = state == 1;
        QCOMPARE(w.settings().SourceDir.has_value(), ticked);
        QCOMPARE(w.prefs()->TextSourceDir->text(), ticked ? QStringLiteral("/s") : QString());
        QCOMPARE(w.prefs()->TextSourceDir->isReadOnly(), !ticked);
        QCOMPARE(w.prefs()->TextTargetDir->text(), QStringLiteral("/t"));
        QVERIFY(!w.prefs()->TextTargetDir->isReadOnly());
        QCOMPARE(w.SldrChunkSize->value(), slider);
        QCOMPARE(w.FrameChunkSize->title(),
                 QStringLiteral("Chunk Size: ") + QLocale().toString(slider) + " bytes");
        // The switches' texts are kept as read; the chunk size is stored clamped.
        QCOMPARE(app.iniBytes(), startUpFile({written, "1", ticked ? "/s" : "<none>", "/t", written,
                                              written, written, QString::number(slider)}));
    }

    void fileShapes_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("written"); // the eight texts written back
        QTest::addColumn<QList<int>>("boxes");
        auto row = [](const char* name, const QByteArray& ini, const QStringList& written,
                      const QList<int>& boxes) { QTest::newRow(name) << ini << written << boxes; };
        row("only the writer's lines stay",
            "; my notes\r\n[Other]\r\nx=1\r\n\r\n[preferences]\r\n  chunksizesave = 1\r\n"
            "Unknown=keep?\r\nSaveSourceDir=1\r\nSaveTargetDir=1\r\nSourceDir=/in\r\n"
            "TargetDir=\"/out "
            "dir\"\r\nConfirmDel=0\r\nClearQue=1\r\nChunkSize=20000\r\n[Tail]\r\ny=2",
            {"1", "1", "/in", "/out dir", "0", "1", "1", "20000"}, {1, 1, 0, 1, 1});
        // A missing key reads as the empty text, and is written so.
        row("missing ConfirmDel", startUpFile({"1", "1", "/s", "/t", "<none>", "0", "1", "40000"}),
            {"1", "1", "/s", "/t", "", "0", "1", "40000"}, {1, 1, 0, 0, 1});
        row("missing ChunkSizeSave",
            "[Preferences]\nSaveSourceDir=1\nSaveTargetDir=1\nChunkSize=60000\n",
            {"1", "1", "", "", "", "", "", "40000"}, {1, 1, 0, 0, 0});
        const QString folder = QStringLiteral("/") + QString(299, QLatin1Char('m'));
        row("300-character folder", startUpFile({"1", "1", folder, "/t", "1", "0", "1", "40000"}),
            {"1", "1", folder.left(254), "/t", "1", "0", "1", "40000"}, {1, 1, 1, 0, 1});
        row("NUL inside a value",
            startUpFile({"1", "1", "/mov@ies", "/t", "1", "0", "1", "30000"}).replace('@', '\0'),
            {"1", "1", "/mov", "/t", "1", "0", "1", "30000"}, {1, 1, 1, 0, 1});
        // Nothing in these reads as a key: every switch clear, the chunk size 40000.
        const QStringList nothing = {"", "", "<none>", "<none>", "", "", "", "40000"};
        row("binary file", TestSupport::pattern(64 * 1024, 7), nothing, {0, 0, 0, 0, 0});
        row("huge file",
            startUpFile({"1", "1", "/s", "/t", "1", "0", "1", "60000"}) +
                QByteArray(5 * 1024 * 1024, ';'),
            nothing, {0, 0, 0, 0, 0});
    }

    void fileShapes()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, written);
        QFETCH(QList<int>, boxes);
        App app(ini);
        QCOMPARE(app.iniBytes(), startUpFile(written));
        // The live holder shows what was written.
        QCOMPARE(boxStates(*app.window), boxes);
        QCOMPARE(app.window->SldrChunkSize->value(), written[7].toInt());
        QCOMPARE(app.window->prefs()->TextSourceDir->text(),
                 written[2] == QLatin1String("<none>") ? QString() : written[2]);
    }

    void unwritableProgramFolder_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("missing folder") << 0;
        QTest::newRow("settings path is a folder") << 1;
        QTest::newRow("file system refuses files") << 2;
    }

    void unwritableProgramFolder()
    {
        QFETCH(int, kind);
        QTemporaryDir dir;
        const QString folder = kind == 0   ? dir.filePath(QStringLiteral("gone"))
                               : kind == 1 ? dir.path()
                                           : QStringLiteral("/proc");
        if (kind == 1)
            QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("tarvik.ini"))));
        App app{App::InFolder{folder}};
        frmReelbind& w = *app.window;
        // Start-up completes silently on the defaults.
        QCOMPARE(w.settings(), Settings::defaults(folder));
        QCOMPARE(w.SldrChunkSize->value(), 40000);
        QCOMPARE(boxStates(w), QList<int>({1, 1, 1, 0, 1}));
        QCOMPARE(w.prefs()->TextSourceDir->text(), folder);
        QVERIFY(app.platform->messages.isEmpty());
        // Exit tries again and names the file it could not write.
        w.CmdExit_Click();
        QVERIFY(!QFileInfo(app.iniPath()).isFile());
        QCOMPARE(QFileInfo::exists(folder), kind != 0);
        QCOMPARE(app.platform->messages.size(), 1);
        QVERIFY(app.platform->messages[0].startsWith(
            QStringLiteral("The settings could not be saved to %1: ").arg(app.iniPath())));
    }

    void diskFullAtStartUp()
    {
        // The old file can be read but not replaced: the program runs on what
        // it read, and the file is not left half-written.
        QTemporaryDir dir;
        const QByteArray old =
            startUpFile({"1", "0", "/old/src", "/old/tgt", "0", "1", "1", "60000"}) + "; padding\n";
        writeAll(dir.filePath(QStringLiteral("tarvik.ini")), old);
        std::unique_ptr<App> app;
        {
            FileSizeLimit limit(32);
            QVERIFY(limit.ok());
            app = std::make_unique<App>(App::InFolder{dir.path()});
        }
        frmReelbind& w = *app->window;
        QCOMPARE(readAll(app->iniPath()), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"tarvik.ini"});
        QCOMPARE(w.SldrChunkSize->value(), 60000);
        QCOMPARE(boxStates(w), QList<int>({1, 0, 0, 1, 1}));
        QCOMPARE(w.prefs()->TextSourceDir->text(), QStringLiteral("/old/src"));
        QVERIFY(!w.settings().TargetDir.has_value());
        // Once there is room again, Exit writes what the program held.
        w.CmdExit_Click();
        QCOMPARE(readAll(app->iniPath()),
                 startUpFile({"1", "0", "/old/src", "<none>", "0", "1", "1", "60000"}) +
                     "; padding\n");
    }

    void settingsFileThatIsNoFile()
    {
        // A dangling link and a named pipe: the defaults, and no wait on the pipe.
        QTemporaryDir dir;
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")),
                            dir.filePath(QStringLiteral("tarvik.ini"))));
        {
            App app{App::InFolder{dir.path()}};
            QCOMPARE(app.window->settings(), Settings::defaults(dir.path()));
            QCOMPARE(app.iniBytes(), app.firstStartIni());
        }
        QTemporaryDir pipeDir;
        const QByteArray fifo = QFile::encodeName(pipeDir.filePath(QStringLiteral("tarvik.ini")));
        QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
        App app{App::InFolder{pipeDir.path()}};
        QCOMPARE(app.window->settings(), Settings::defaults(pipeDir.path()));
    }

    void loaderAndWriterSetControlsInOrder()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("tarvik.ini"));
        const QByteArray content = startUpFile({"1", "0", "/s", "/t", "2", "1", "1", "25000"});
        writeAll(ini, content);
        Settings s;
        RecordingLive live;
        LoadSettings(kSettingsSection, s, ini, live);
        QCOMPARE(live.log, QStringList({"box0=1", "box1=0", "folder0=/s", "box2=2", "box3=1",
                                        "box4=1", "slider=25000"}));
        QVERIFY(!s.TargetDir.has_value()); // not read: its box is clear
        QCOMPARE(s.ChunkSize, std::optional<QString>(QStringLiteral("25000")));
        QCOMPARE(readAll(ini), content); // loading never writes

        live.log.clear();
        s.ChunkSizeSave = QStringLiteral("0");
        s.ChunkSize = QStringLiteral("12000");
        QVERIFY(SaveSettings(kSettingsSection, s, ini, live));
        QCOMPARE(live.log, QStringList({"box0=1", "box1=0", "folder0=/s", "folder1=", "box2=2",
                                        "box3=1", "box4=0", "slider=12000"}));
        QCOMPARE(readAll(ini), startUpFile({"1", "0", "/s", "<none>", "2", "1", "0", "12000"}));
    }

    void writerDoesNotReplaceWhatItCannotRead()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("tarvik.ini"));
        const QByteArray huge = "[Preferences]\n" + QByteArray(Profile::kMaxFileSize, ';');
        writeAll(ini, huge);
        Settings s = Settings::defaults(QStringLiteral("/p"));
        RecordingLive live;
        QVERIFY(!SaveSettings(kSettingsSection, s, ini, live));
        QCOMPARE(QFileInfo(ini).size(), huge.size());
        // Start-up rebuilds it from nothing instead.
        QVERIFY(SaveSettings(kSettingsSection, s, ini, live, /*fresh=*/true));
        QCOMPARE(readAll(ini), startUpFile({"1", "1", "/p", "/p", "1", "0", "1", "40000"}));
    }
};

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
