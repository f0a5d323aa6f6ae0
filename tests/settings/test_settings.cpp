#include "app/frmReelbind.h"
#include "platform/FakePlatform.h"
#include "settings/Profile.h"
#include "settings/Settings.h"
#include "settings/frmPrefs.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QSlider>
#include <QtTest>
#include <cmath>
#include <csignal>
#include <limits>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace SettingRules;
using TestSupport::App;

namespace {

QByteArray L(QByteArray text)
{
    return text.replace('|', '\n');
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(data), data.size());
}

// Live preferences without any window: remembers every value and the order
// in which the loader and writer set them.
class RecordingLive : public LiveSettings
{
public:
    int states[5] = {1, 1, 1, 0, 1};
    QString folders[2];
    int slider = 40000;
    QStringList log;

    int checkState(Box box) override { return states[box]; }
    void setCheckState(Box box, int state) override
    {
        states[box] = state;
        log << QStringLiteral("box%1=%2").arg(int(box)).arg(state);
    }
    QString folderText(Folder f) override { return folders[f]; }
    void setFolderText(Folder f, const QString& text) override
    {
        folders[f] = text;
        log << QStringLiteral("folder%1=%2").arg(int(f)).arg(text);
    }
    int chunkSize() override { return slider; }
    void setChunkSize(int bytes) override
    {
        slider = bytes;
        log << QStringLiteral("slider=%1").arg(bytes);
    }
};

// The file a start-up writes for these field texts (no value: no line).
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

// Limits the size of files this process may write, as a full disk would.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim = m_old;
        lim.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &lim) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    // ---- number rules ----------------------------------------------------

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number");
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("word") << "abc" << 0.0;
        QTest::newRow("digits then text") << "12abc" << 12.0;
        QTest::newRow("leading blanks") << " \t 7" << 7.0;
        QTest::newRow("fraction") << "1.5" << 1.5;
        QTest::newRow("bare fraction") << ".5" << 0.5;
        QTest::newRow("trailing point") << "3." << 3.0;
        QTest::newRow("negative") << "-3" << -3.0;
        QTest::newRow("plus") << "+2" << 2.0;
        QTest::newRow("exponent") << "4e4" << 40000.0;
        QTest::newRow("exponent without digits") << "1e" << 1.0;
        QTest::newRow("sign alone") << "-x" << 0.0;
        QTest::newRow("blank inside sign") << "- 1" << 0.0;
        QTest::newRow("point alone") << "." << 0.0;
        QTest::newRow("second point ends it") << "1.2.3" << 1.2;
        QTest::newRow("comma ends it") << "1,5" << 1.0;
        QTest::newRow("beyond 32 bits") << "99999999999" << 99999999999.0;
        QTest::newRow("non-ASCII digit") << QString::fromUtf8("\xef\xbc\x91") << 0.0;
    }

    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, number);
        QCOMPARE(SettingRules::leadingNumber(text), number);
    }

    void hugeNumbersStayHuge()
    {
        QVERIFY(std::isinf(SettingRules::leadingNumber(QStringLiteral("1e999"))));
        QVERIFY(std::isinf(SettingRules::leadingNumber(QString(400, QLatin1Char('9')))));
        QCOMPARE(chunkSizeOf(QStringLiteral("1e999")), kChunkMax);
        QCOMPARE(chunkSizeOf(QString(400, QLatin1Char('9'))), kChunkMax);
        QCOMPARE(chunkSizeOf(QStringLiteral("-1e999")), kChunkMin);
        QCOMPARE(checkStateOf(QStringLiteral("1e999")), 0);
    }

    void roundHalfEven()
    {
        const QList<QPair<double, double>> cases = {
            {0.5, 0},   {1.5, 2},  {2.5, 2},          {3.5, 4}, {-0.5, 0},
            {-1.5, -2}, {2.49, 2}, {2.51, 3},         {7.0, 7}, {40000.5, 40000},
            {-2.5, -2}, {0.0, 0},  {1e15 + 0.5, 1e15}};
        for (const auto& c : cases)
            QCOMPARE(SettingRules::roundHalfEven(c.first), c.second);
    }

    void checkStates()
    {
        const QList<QPair<const char*, int>> cases = {
            {"0", 0},    {"1", 1},    {"2", 2},   {"7", 0},   {"-1", 0}, {"1.5", 2},
            {"0.5", 0},  {"2.5", 2},  {"3.5", 0}, {"abc", 0}, {"", 0},   {" 1", 1},
            {"1abc", 1}, {"0.51", 1}, {"1e0", 1}, {"-0.4", 0}};
        for (const auto& c : cases)
            QVERIFY2(checkStateOf(QString::fromLatin1(c.first)) == c.second, c.first);
        QCOMPARE(checkStateOf(std::nullopt), 0);
    }

    void chunkSizes()
    {
        const QList<QPair<const char*, int>> cases = {
            {"40000", 40000},   {"60000", 60000},       {"10000", 10000},   {"70000", 70000},
            {"5", 10000},       {"99999999999", 70000}, {"abc", 10000},     {"", 10000},
            {"-50000", 10000},  {"60000.5", 60000},     {"60001.5", 60002}, {"70000.4", 70000},
            {"70000.6", 70000}, {"9999.5", 10000},      {" 55555x", 55555}, {"4e4", 40000}};
        for (const auto& c : cases)
            QVERIFY2(chunkSizeOf(QString::fromLatin1(c.first)) == c.second, c.first);
        QCOMPARE(chunkSizeOf(std::nullopt), kChunkMin);
    }

    void wholeTextOne()
    {
        for (const char* yes : {"1", "1.0", " 1 ", "\t1", "+1", "1e0", "1.000"})
            QVERIFY2(wholeTextIsOne(QString::fromLatin1(yes)), yes);
        for (const char* no : {"", " ", "1x", "01x", "2", "0", "0.999", "one", "1 1", "-1", "11"})
            QVERIFY2(!wholeTextIsOne(QString::fromLatin1(no)), no);
        QVERIFY(!wholeTextIsOne(std::nullopt));
    }

    // ---- start-up through the main window --------------------------------

    void firstStart()
    {
        App app;
        QCOMPARE(app.iniBytes(), app.firstStartIni());
        frmReelbind& w = *app.window;
        QCOMPARE(w.iniPath(), app.folder.path() + QStringLiteral("/tarvik.ini"));
        QCOMPARE(w.settings(), Settings::defaults(app.folder.path()));
        QCOMPARE(w.SldrChunkSize->value(), 40000);

        // The live holder exists, hidden, and shows the defaults.
        frmPrefs* prefs = w.existingPrefs();
        QVERIFY(prefs);
        QVERIFY(!prefs->isVisible());
        QCOMPARE(prefs->ChkRememberSource->checkState(), Qt::Checked);
        QCOMPARE(prefs->ChkRememberTarget->checkState(), Qt::Checked);
        QCOMPARE(prefs->ChkConfirmDel->checkState(), Qt::Checked);
        QCOMPARE(prefs->ChkClearQue->checkState(), Qt::Unchecked);
        QCOMPARE(prefs->ChkChunkSizeSave->checkState(), Qt::Checked);
        QCOMPARE(prefs->TextSourceDir->text(), app.folder.path());
        QCOMPARE(prefs->TextTargetDir->text(), app.folder.path());
        QVERIFY(!prefs->TextSourceDir->isReadOnly());
    }

    void secondStartReadsWhatFirstWrote()
    {
        App first;
        const QByteArray written = first.iniBytes();
        const QString folder = first.programFolder();
        first.window.reset();
        App second{App::InFolder{folder}};
        QCOMPARE(second.iniBytes(), written);
        QCOMPARE(second.window->settings(), Settings::defaults(folder));
    }

    void onlyTheWritersLinesStay()
    {
        App app(QByteArray("; my notes\r\n[Other]\r\nx=1\r\n\r\n[preferences]\r\n"
                           "  chunksizesave = 1\r\nUnknown=keep?\r\nSaveSourceDir=1\r\n"
                           "SaveTargetDir=1\r\nSourceDir=/in\r\nTargetDir=\"/out dir\"\r\n"
                           "ConfirmDel=0\r\nClearQue=1\r\nChunkSize=20000\r\n[Tail]\r\ny=2"));
        QCOMPARE(app.iniBytes(),
                 startUpFile({"1", "1", "/in", "/out dir", "0", "1", "1", "20000"}));
        QCOMPARE(app.window->SldrChunkSize->value(), 20000);
        QCOMPARE(app.window->live().checkState(LiveSettings::ClearQue), 1);
        QCOMPARE(app.window->live().checkState(LiveSettings::ConfirmDel), 0);
    }

    void forgottenSourceFolder()
    {
        App app("[Preferences]\nSaveSourceDir=0\nSaveTargetDir=1\nSourceDir=/movies\n"
                "TargetDir=/joined\nConfirmDel=1\nClearQue=0\nChunkSizeSave=1\nChunkSize=40000\n");
        frmReelbind& w = *app.window;
        QVERIFY(!w.settings().SourceDir.has_value());
        QCOMPARE(w.settings().TargetDir, std::optional<QString>(QStringLiteral("/joined")));
        frmPrefs* prefs = w.prefs();
        QCOMPARE(prefs->TextSourceDir->text(), QString());
        QVERIFY(prefs->TextSourceDir->isReadOnly());
        QCOMPARE(prefs->TextSourceDir->palette().color(QPalette::Base),
                 prefs->TextSourceDir->palette().color(QPalette::Button));
        QCOMPARE(prefs->TextTargetDir->text(), QStringLiteral("/joined"));
        QVERIFY(!prefs->TextTargetDir->isReadOnly());
        QCOMPARE(app.iniBytes(),
                 startUpFile({"0", "1", "<none>", "/joined", "1", "0", "1", "40000"}));
    }

    void chunkSizeKeptOrNot_data()
    {
        QTest::addColumn<QString>("saveText");
        QTest::addColumn<QString>("chunkText");
        QTest::addColumn<int>("box");
        QTest::addColumn<int>("slider");
        QTest::addColumn<QString>("writtenSave"); // ChunkSizeSave as written back

        QTest::newRow("kept") << "1"
                              << "60000" << 1 << 60000 << "1";
        QTest::newRow("not kept") << "0"
                                  << "60000" << 0 << 40000 << "0";
        QTest::newRow("1.0 counts as 1") << "1.0"
                                         << "60000" << 1 << 60000 << "1.0";
        QTest::newRow("quoted with blanks") << "\" 1 \""
                                            << "60000" << 1 << 60000 << "1 ";
        QTest::newRow("leading 1 is no whole 1") << "1x"
                                                 << "60000" << 1 << 40000 << "1x";
        QTest::newRow("greyed") << "2"
                                << "60000" << 2 << 40000 << "2";
        QTest::newRow("empty") << ""
                               << "60000" << 0 << 40000 << "";
        QTest::newRow("too small") << "1"
                                   << "5" << 1 << 10000 << "1";
        QTest::newRow("beyond 32 bits") << "1"
                                        << "99999999999" << 1 << 70000 << "1";
        QTest::newRow("no number") << "1"
                                   << "abc" << 1 << 10000 << "1";
        QTest::newRow("half to even") << "1"
                                      << "50000.5" << 1 << 50000 << "1";
    }

    void chunkSizeKeptOrNot()
    {
        QFETCH(QString, saveText);
        QFETCH(QString, chunkText);
        QFETCH(int, box);
        QFETCH(int, slider);
        QFETCH(QString, writtenSave);
        const QByteArray ini = "[Preferences]\nSaveSourceDir=1\nSaveTargetDir=1\nSourceDir=/s\n"
                               "TargetDir=/t\nConfirmDel=1\nClearQue=0\nChunkSizeSave=" +
                               saveText.toUtf8() + "\nChunkSize=" + chunkText.toUtf8() + "\n";
        App app(ini);
        frmReelbind& w = *app.window;
        QCOMPARE(w.SldrChunkSize->value(), slider);
        QCOMPARE(w.live().checkState(LiveSettings::ChunkSizeSave), box);
        QCOMPARE(w.settings().ChunkSize, std::optional<QString>(QString::number(slider)));
        QCOMPARE(w.FrameChunkSize->title(),
                 QStringLiteral("Chunk Size: ") + QLocale().toString(slider) + " bytes");
        // The switch's text is kept as read; the chunk size is stored clamped.
        QCOMPARE(app.iniBytes(), startUpFile({"1", "1", "/s", "/t", "1", "0", writtenSave,
                                              QString::number(slider)}));
    }

    void checkStateTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("state");
        QTest::newRow("ticked") << "1" << 1;
        QTest::newRow("clear") << "0" << 0;
        QTest::newRow("greyed") << "2" << 2;
        QTest::newRow("7 counts as 0") << "7" << 0;
        QTest::newRow("1.5 rounds to 2") << "1.5" << 2;
        QTest::newRow("0.5 rounds to 0") << "0.5" << 0;
        QTest::newRow("2.5 rounds to 2") << "2.5" << 2;
        QTest::newRow("not a number") << "yes" << 0;
        QTest::newRow("negative") << "-1" << 0;
    }

    void checkStateTexts()
    {
        QFETCH(QString, text);
        QFETCH(int, state);
        const QByteArray t = text.toUtf8();
        App app("[Preferences]\nSaveSourceDir=" + t +
                "\nSaveTargetDir=1\nSourceDir=/s\n"
                "TargetDir=/t\nConfirmDel=" +
                t + "\nClearQue=" + t + "\nChunkSizeSave=" + t + "\nChunkSize=60000\n");
        frmReelbind& w = *app.window;
        frmPrefs* prefs = w.prefs();
        QCOMPARE(w.live().checkState(LiveSettings::RememberSource), state);
        QCOMPARE(w.live().checkState(LiveSettings::ConfirmDel), state);
        QCOMPARE(w.live().checkState(LiveSettings::ClearQue), state);
        QCOMPARE(w.live().checkState(LiveSettings::ChunkSizeSave), state);
        QCOMPARE(prefs->ChkConfirmDel->checkState(), toQtCheckState(state));
        // Only a ticked box remembers: greyed and clear leave the folder unread.
        const bool ticked = state == 1;
        QCOMPARE(w.settings().SourceDir.has_value(), ticked);
        QCOMPARE(prefs->TextSourceDir->text(), ticked ? QStringLiteral("/s") : QString());
        QCOMPARE(prefs->TextSourceDir->isReadOnly(), !ticked);
        // Only a whole "1" keeps the chunk size.
        QCOMPARE(w.SldrChunkSize->value(), text == QLatin1String("1") ? 60000 : 40000);
        // The texts themselves are stored as read.
        QCOMPARE(app.iniBytes(),
                 startUpFile({text, "1", ticked ? "/s" : "<none>", "/t", text, text, text,
                              text == QLatin1String("1") ? "60000" : "40000"}));
    }

    void missingConfirmDel()
    {
        App app("[Preferences]\nSaveSourceDir=1\nSaveTargetDir=1\nSourceDir=/s\nTargetDir=/t\n"
                "ClearQue=0\nChunkSizeSave=1\nChunkSize=40000\n");
        QCOMPARE(app.window->live().checkState(LiveSettings::ConfirmDel), 0);
        QCOMPARE(app.window->prefs()->ChkConfirmDel->checkState(), Qt::Unchecked);
        // The missing key reads as the empty text, and is written so.
        QCOMPARE(app.window->settings().ConfirmDel, std::optional<QString>(QString()));
        QVERIFY(app.iniBytes().contains("\nConfirmDel=\n"));
    }

    void missingChunkSizeSave()
    {
        App app("[Preferences]\nSaveSourceDir=1\nSaveTargetDir=1\nChunkSize=60000\n");
        QCOMPARE(app.window->SldrChunkSize->value(), 40000);
        QCOMPARE(app.iniBytes(), startUpFile({"1", "1", "", "", "", "", "", "40000"}));
    }

    void longFolder()
    {
        const QString folder = QStringLiteral("/") + QString(299, QLatin1Char('m'));
        App app("[Preferences]\nSaveSourceDir=1\nSaveTargetDir=1\nSourceDir=" + folder.toUtf8() +
                "\nTargetDir=/t\nConfirmDel=1\nClearQue=0\nChunkSizeSave=1\nChunkSize=40000\n");
        const QString cut = folder.left(254);
        QCOMPARE(app.window->settings().SourceDir, std::optional<QString>(cut));
        QCOMPARE(app.window->prefs()->TextSourceDir->text(), cut);
        QCOMPARE(app.iniBytes(), startUpFile({"1", "1", cut, "/t", "1", "0", "1", "40000"}));
    }

    // ---- start-up must always complete ---------------------------------

    void missingProgramFolder()
    {
        QTemporaryDir dir;
        const QString gone = dir.filePath(QStringLiteral("gone"));
        App app{App::InFolder{gone}};
        frmReelbind& w = *app.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("Orvel's Reelbind 1.0.7b"));
        QCOMPARE(w.settings(), Settings::defaults(gone));
        QCOMPARE(w.SldrChunkSize->value(), 40000);
        QCOMPARE(w.prefs()->TextSourceDir->text(), gone);
        QVERIFY(!QFileInfo::exists(gone));
        QVERIFY(app.platform->messages.isEmpty());
        // Exit tries again, fails, and names the file it could not write.
        w.CmdExit_Click();
        QVERIFY(!QFileInfo::exists(gone));
        QCOMPARE(app.platform->messages.size(), 1);
        QVERIFY(app.platform->messages[0].contains(app.iniPath()));
    }

    void settingsPathIsAFolder()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("tarvik.ini"))));
        App app{App::InFolder{dir.path()}};
        QCOMPARE(app.window->settings(), Settings::defaults(dir.path()));
        QVERIFY(QFileInfo(app.iniPath()).isDir());
        // Start-up runs on silently; an Exit that cannot keep the settings says so.
        QVERIFY(app.platform->messages.isEmpty());
        app.window->CmdExit_Click();
        QVERIFY(QFileInfo(app.iniPath()).isDir());
        QCOMPARE(app.platform->messages.size(), 1);
        QVERIFY(app.platform->messages[0].startsWith(
            QStringLiteral("The settings could not be saved to %1: ").arg(app.iniPath())));
        QVERIFY(!app.window->isVisible());
    }

    void folderThatRefusesFiles()
    {
        // Not even root may create files here.
        App app{App::InFolder{QStringLiteral("/proc")}};
        QCOMPARE(app.window->settings(), Settings::defaults(QStringLiteral("/proc")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/tarvik.ini")));
    }

    void diskFullAtStartUp()
    {
        // The old file can be read but not replaced: the program runs on the
        // values it read, and the file is not left half-written.
        QTemporaryDir dir;
        const QByteArray old = "[Preferences]\nSaveSourceDir=1\nSaveTargetDir=0\n"
                               "SourceDir=/old/src\nTargetDir=/old/tgt\nConfirmDel=0\nClearQue=1\n"
                               "ChunkSizeSave=1\nChunkSize=60000\n; padding\n";
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
        QCOMPARE(w.live().checkState(LiveSettings::ClearQue), 1);
        QCOMPARE(w.live().checkState(LiveSettings::RememberTarget), 0);
        QCOMPARE(w.prefs()->TextSourceDir->text(), QStringLiteral("/old/src"));
        QVERIFY(!w.settings().TargetDir.has_value());
        // Once there is room again, Exit writes what the program held.
        w.CmdExit_Click();
        QCOMPARE(readAll(app->iniPath()),
                 "[Preferences]\nSaveSourceDir=1\nSaveTargetDir=0\nSourceDir=/old/src\n"
                 "ConfirmDel=0\nClearQue=1\nChunkSizeSave=1\nChunkSize=60000\n; padding\n");
    }

    void binaryFile()
    {
        App app(TestSupport::pattern(64 * 1024, 7));
        // Nothing in it reads as a key: every switch is clear, the chunk size 40000.
        QCOMPARE(app.window->SldrChunkSize->value(), 40000);
        QCOMPARE(app.window->live().checkState(LiveSettings::RememberSource), 0);
        QCOMPARE(app.iniBytes(), startUpFile({"", "", "<none>", "<none>", "", "", "", "40000"}));
    }

    void nulInsideAValue()
    {
        QByteArray ini("[Preferences]\nSaveSourceDir=1\nSaveTargetDir=1\nSourceDir=/mov\0ies\n"
                       "TargetDir=/t\nConfirmDel=1\nClearQue=0\nChunkSizeSave=1\nChunkSize=30000\n",
                       139);
        QVERIFY(ini.contains('\0'));
        App app(ini);
        QCOMPARE(app.window->prefs()->TextSourceDir->text(), QStringLiteral("/mov"));
        QCOMPARE(app.window->SldrChunkSize->value(), 30000);
        QCOMPARE(app.iniBytes(), startUpFile({"1", "1", "/mov", "/t", "1", "0", "1", "30000"}));
    }

    void hugeFile()
    {
        QByteArray ini = "[Preferences]\nSaveSourceDir=1\nChunkSizeSave=1\nChunkSize=60000\n";
        ini += QByteArray(5 * 1024 * 1024, ';');
        App app(ini);
        // Too big to be a settings file: read as unreadable, then replaced.
        QCOMPARE(app.window->SldrChunkSize->value(), 40000);
        QCOMPARE(app.iniBytes(), startUpFile({"", "", "<none>", "<none>", "", "", "", "40000"}));
    }

    void settingsFileThatIsNoFile()
    {
        // A dangling link and a named pipe are no settings file: the defaults
        // are used and start-up does not wait on them.
        QTemporaryDir dir;
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")),
                            dir.filePath(QStringLiteral("tarvik.ini"))));
        {
            App app{App::InFolder{dir.path()}};
            QCOMPARE(app.window->settings(), Settings::defaults(dir.path()));
            QCOMPARE(app.iniBytes(), app.firstStartIni());
        }
        QTemporaryDir pipeDir;
        const QByteArray fifo = pipeDir.filePath(QStringLiteral("tarvik.ini")).toLocal8Bit();
        QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
        App app{App::InFolder{pipeDir.path()}};
        QCOMPARE(app.window->settings(), Settings::defaults(pipeDir.path()));
    }

    // ---- loader and writer on their own ----------------------------------

    void loaderOrder()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("tarvik.ini"));
        const QByteArray content =
            "[Preferences]\nSaveSourceDir=1\nSaveTargetDir=0\nSourceDir=/s\n"
            "TargetDir=/t\nConfirmDel=2\nClearQue=1\nChunkSizeSave=1\nChunkSize=25000\n";
        writeAll(ini, content);
        Settings s;
        RecordingLive live;
        LoadSettings(kSettingsSection, s, ini, live);
        QCOMPARE(live.log, QStringList({"box0=1", "box1=0", "folder0=/s", "box2=2", "box3=1",
                                        "box4=1", "slider=25000"}));
        QCOMPARE(s.SourceDir, std::optional<QString>(QStringLiteral("/s")));
        QVERIFY(!s.TargetDir.has_value()); // not read: its box is clear
        QCOMPARE(s.ChunkSize, std::optional<QString>(QStringLiteral("25000")));
        QCOMPARE(readAll(ini), content); // loading never writes
    }

    void writerSetsEveryControl()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("tarvik.ini"));
        Settings s;
        s.SaveSourceDir = QStringLiteral("2");
        s.SaveTargetDir = QStringLiteral("0");
        s.SourceDir = QStringLiteral("/src");
        s.ConfirmDel = QStringLiteral("1");
        s.ClearQue = QStringLiteral("1");
        s.ChunkSizeSave = QStringLiteral("0");
        s.ChunkSize = QStringLiteral("12000");
        RecordingLive live;
        QVERIFY(SaveSettings(kSettingsSection, s, ini, live));
        QCOMPARE(live.log, QStringList({"box0=2", "box1=0", "folder0=/src", "folder1=", "box2=1",
                                        "box3=1", "box4=0", "slider=12000"}));
        QCOMPARE(readAll(ini), startUpFile({"2", "0", "/src", "<none>", "1", "1", "0", "12000"}));
    }

    void laterWritesKeepTheFileAndAddKeysAtTheEnd()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("tarvik.ini"));
        writeAll(ini, "[Preferences]\r\nSaveSourceDir=0\r\nChunkSize=40000\r\n\r\n[Mine]\r\nk=1");
        Settings s = Settings::defaults(QStringLiteral("/p"));
        s.SaveSourceDir = QStringLiteral("0");
        s.SourceDir.reset();
        RecordingLive live;
        QVERIFY(SaveSettings(kSettingsSection, s, ini, live));
        QCOMPARE(readAll(ini), QByteArray("[Preferences]\r\nSaveSourceDir=0\r\nChunkSize=40000\r\n"
                                          "SaveTargetDir=1\r\nTargetDir=/p\r\nConfirmDel=1\r\n"
                                          "ClearQue=0\r\nChunkSizeSave=1\r\n\r\n[Mine]\r\nk=1"));
        // The folder gets a value later in the run: its key goes to the end.
        s.SourceDir = QStringLiteral("/later");
        QVERIFY(SaveSettings(kSettingsSection, s, ini, live));
        QVERIFY(readAll(ini).contains("ChunkSizeSave=1\r\nSourceDir=/later\r\n\r\n[Mine]"));
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
        QCOMPARE(live.slider, 40000); // the controls are set all the same
        // Start-up rebuilds it from nothing instead.
        QVERIFY(SaveSettings(kSettingsSection, s, ini, live, /*fresh=*/true));
        QCOMPARE(readAll(ini), startUpFile({"1", "1", "/p", "/p", "1", "0", "1", "40000"}));
    }
};

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
