#include "core/Profile.h"
#include "support/TestSupport.h"

#include <QtTest>
#include <cmath>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace SettingRules;
using TestSupport::Core;
using Exit = Program::ExitKind;

namespace {

// The file the writer makes of the eight fields in its order, joined by "|"
// ("<none>": no value, no line); a leading blank goes, as the writer drops it.
QByteArray startUpFile(const QString& fields)
{
    QByteArray out = "[Preferences]\n";
    const QStringList f = fields.split('|');
    for (int i = 0; i < Settings::kFieldCount; ++i)
        if (f[i] != QLatin1String("<none>"))
            out += QByteArray(Settings::kKeys[i]) + "=" + f[i].toUtf8().mid(f[i].startsWith(' ')) +
                   "\n";
    return out;
}

QString fieldsOf(const Settings& s)
{
    QStringList out;
    for (int i = 0; i < Settings::kFieldCount; ++i)
        out << s.field(i).value_or(QStringLiteral("<none>"));
    return out.join('|');
}

// "the five states|source folder|target folder|chunk size" of the live preferences.
QString liveOf(Preferences& p)
{
    QString s;
    for (int b = 0; b < Preferences::kBoxCount; ++b)
        s += QString::number(p.checkState(Preferences::Box(b)));
    return s + '|' + p.folderText(Preferences::SourceFolder) + '|' +
           p.folderText(Preferences::TargetFolder) + '|' + QString::number(p.chunkSize());
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void numberRules()
    {
        // "\xef\xbc\x91" is a fullwidth 1, no digit.
        const QList<QPair<const char*, double>> numbers = {
            {"abc", 0},     {"12abc", 12},       {" \t 7", 7},      {".5", 0.5},
            {"3.", 3},      {"-3", -3},          {"+2", 2},         {"4e4", 4e4},
            {"1e", 1},      {"- 1", 0},          {".", 0},          {"1,5", 1},
            {"1.2.3", 1.2}, {"\xef\xbc\x91", 0}, {"1e999", qInf()}, {"99999999999", 99999999999.0}};
        for (const auto& c : numbers)
            QVERIFY2(leadingNumber(QString::fromUtf8(c.first)) == c.second, c.first);
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

    void startUpReads_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("record"); // the fields after start-up, as read
        QTest::addColumn<QString>("live");
        auto row = [](const char* name, const QByteArray& ini, const QString& record,
                      const QString& live) { QTest::newRow(name) << ini << record << live; };
        // `text` goes to SaveSourceDir, ConfirmDel, ClearQue and ChunkSizeSave; only a
        // ticked box reads its folder, and only a whole 1 reads the chunk size.
        auto switches = [&](const char* name, const char* text, const char* chunk, int state,
                            const char* read, const char* readChunk) {
            const bool ticked = state == 1;
            row(name, startUpFile(QString("%1|1|/s|/t|%1|%1|%1|%2").arg(text, chunk)),
                QString("%1|1|%2|/t|%1|%1|%1|%3").arg(read, ticked ? "/s" : "<none>", readChunk),
                QString("%1%2%1%1%1|%3|/t|%4")
                    .arg(QString::number(state), "1", ticked ? "/s" : "", readChunk));
        };
        switches("ticked, chunk size kept", "1", "60000", 1, "1", "60000");
        switches("clear: folder and chunk size not kept", "0", "60000", 0, "0", "40000");
        switches("greyed", "2", "60000", 2, "2", "40000");
        switches("1.0 is a whole 1", "1.0", "60000", 1, "1.0", "60000");
        switches("quoted with blanks", "\" 1 \"", "60000", 1, " 1 ", "60000");
        switches("leading 1 is no whole 1", "1x", "60000", 1, "1x", "40000");
        switches("not a number", "yes", "60000", 0, "yes", "40000");
        switches("chunk size too small", "1", "5", 1, "1", "10000");
        switches("chunk size beyond 32 bits", "1", "99999999999", 1, "1", "70000");
        switches("chunk size not a number", "1", "abc", 1, "1", "10000");

        row("only the writer's lines stay",
            "; my notes\r\n[Other]\r\nx=1\r\n\r\n[preferences]\r\n  chunksizesave = 1\r\n"
            "Unknown=keep?\r\nSaveSourceDir=1\r\nSaveTargetDir=1\r\nSourceDir=/in\r\n"
            "TargetDir=\"/out dir\"\r\nConfirmDel=0\r\nClearQue=1\r\nChunkSize=20000\r\n"
            "[Tail]\r\ny=2",
            "1|1|/in|/out dir|0|1|1|20000", "11011|/in|/out dir|20000");
        // A missing key reads as the empty text, and is written so.
        row("missing ConfirmDel", startUpFile("1|1|/s|/t|<none>|0|1|40000"), "1|1|/s|/t||0|1|40000",
            "11001|/s|/t|40000");
        row("missing ChunkSizeSave",
            "[Preferences]\nSaveSourceDir=1\nSaveTargetDir=1\nChunkSize=60000\n", "1|1||||||40000",
            "11000|||40000");
        const QString longer = "/" + QString(299, 'm'), cut = longer.left(254);
        row("300-character folder", startUpFile("1|1|" + longer + "|/t|1|0|1|40000"),
            "1|1|" + cut + "|/t|1|0|1|40000", "11101|" + cut + "|/t|40000");
        // Nothing in these reads as a key: every switch clear, the chunk size 40000.
        const char* nothing = "||<none>|<none>||||40000";
        row("binary file", TestSupport::pattern(64 * 1024, 7), nothing, "00000|||40000");
        row("huge file", startUpFile("1|1|/s|/t|1|0|1|60000") + QByteArray(5 << 20, ';'), nothing,
            "00000|||40000");
    }

    void startUpReads()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, record);
        Core c(ini);
        QCOMPARE(fieldsOf(c.settings()), record);
        QTEST(liveOf(c.prefs()), "live");
        QCOMPARE(c.iniBytes(), startUpFile(record));
    }

    // First start, and settings files that cannot be used or written.
    void defaultsWithoutAUsableFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("writable");
        for (const char* k : {"first start", "dangling link", "named pipe"})
            QTest::newRow(k) << QString(k) << true;
        for (const char* k : {"missing folder", "settings path is a folder", "refusing /proc"})
            QTest::newRow(k) << QString(k) << false;
    }

    void defaultsWithoutAUsableFile()
    {
        QFETCH(QString, kind);
        QFETCH(bool, writable);
        QTemporaryDir dir;
        const QString folder = kind == "missing folder"   ? dir.filePath(QStringLiteral("gone"))
                               : kind == "refusing /proc" ? QStringLiteral("/proc")
                                                          : dir.path();
        const QString ini = folder + QStringLiteral("/tarvik.ini");
        if (kind == "dangling link")
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")), ini));
        if (kind == "named pipe")
            QCOMPARE(mkfifo(QFile::encodeName(ini).constData(), 0600), 0);
        if (kind == "settings path is a folder")
            QVERIFY(QDir().mkdir(ini));

        PosixFileSystem files;
        Program p(files, folder);
        QSignalSpy notSaved(&p, &Program::settingsNotSaved);
        QSignalSpy closing(&p, &Program::closing);
        p.startUp(); // completes silently, never waiting on the pipe
        QCOMPARE(p.iniPath(), ini);
        QCOMPARE(p.settings(), Settings::defaults(folder));
        QCOMPARE(liveOf(p.prefs()), QStringLiteral("11101|%1|%1|40000").arg(folder));
        QCOMPARE(TestSupport::readAll(ini),
                 writable ? startUpFile(fieldsOf(p.settings())) : "<missing>");
        QVERIFY(notSaved.isEmpty());

        // Exit tries again, and names the file it could not write.
        p.exit(Exit::Save);
        QCOMPARE(closing.count(), 1);
        QCOMPARE(notSaved.count(), writable ? 0 : 1);
        QCOMPARE(QFileInfo(ini).isFile(), writable);
        QCOMPARE(QFileInfo::exists(folder), kind != "missing folder");
        if (!writable)
            QVERIFY(notSaved[0][0].toString().startsWith(
                QStringLiteral("The settings could not be saved to %1: ").arg(ini)));
    }

    void diskFullAtStartUp()
    {
        // The old file can be read but not replaced: the program runs on what
        // it read, and the file is not left half-written.
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("tarvik.ini"));
        const QByteArray before = startUpFile("1|0|/old/src|/old/tgt|0|1|1|60000") + "; padding\n";
        QVERIFY(Profile::replaceFile(ini, before));
        // Files this process writes may not grow beyond 32 bytes, as on a full disk.
        rlimit old;
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit full = {32, old.rlim_max};
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &full), 0);
        auto c = std::make_unique<Core>(Core::InFolder{dir.path()});
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, handler);
        QCOMPARE(c->iniBytes(), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"tarvik.ini"});
        QCOMPARE(fieldsOf(c->settings()), QStringLiteral("1|0|/old/src|<none>|0|1|1|60000"));
        QCOMPARE(liveOf(c->prefs()), QStringLiteral("10011|/old/src||60000"));
        // Once there is room again, Exit writes what the program held.
        c->program->exit(Exit::Save);
        QCOMPARE(c->iniBytes(), startUpFile(fieldsOf(c->settings())) + "; padding\n");
    }

    void writerDoesNotReplaceWhatItCannotRead()
    {
        Core c;
        const QByteArray huge = "[Preferences]\n" + QByteArray(Profile::kMaxFileSize, ';');
        QVERIFY(Profile::replaceFile(c.iniPath(), huge));
        QSignalSpy notSaved(c.program.get(), &Program::settingsNotSaved);
        c.program->exit(Exit::Save);
        QCOMPARE(QFileInfo(c.iniPath()).size(), huge.size());
        QCOMPARE(notSaved.count(), 1);
        QCOMPARE(notSaved[0][0].toString(), "The settings could not be saved to " + c.iniPath() +
                                                ": the existing file could not be read.");
    }

    void exitSavesTheCloseBoxDoesNot_data()
    {
        QTest::addColumn<Exit>("kind");
        QTest::newRow("Exit") << Exit::Save;
        QTest::newRow("close box") << Exit::WithoutSaving;
    }

    void exitSavesTheCloseBoxDoesNot()
    {
        QFETCH(Exit, kind);
        Core c;
        QSignalSpy closing(c.program.get(), &Program::closing);
        c.settings().ClearQue = QStringLiteral("1");
        c.prefs().setChunkSize(33000);
        c.program->exit(kind);
        c.program->exit(Exit::Save); // already closing: nothing more happens
        QByteArray saved = c.firstStartIni();
        saved.replace("ClearQue=0", "ClearQue=1").replace("ChunkSize=40000", "ChunkSize=33000");
        QCOMPARE(c.iniBytes(), kind == Exit::Save ? saved : c.firstStartIni());
        QCOMPARE(closing.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
