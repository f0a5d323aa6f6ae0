#include "core/Profile.h"
#include "support/TestSupport.h"

#include <QtTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace SettingRules;
using TestSupport::Core;
using TestSupport::readAll;
using Exit = Program::ExitKind;

namespace {

// The file the writer makes of the eight fields joined by "|" ("<none>": no line).
QByteArray fileOf(const QString& fields)
{
    QByteArray out = "[Preferences]\n";
    const QStringList f = fields.split('|');
    for (int i = 0; i < Settings::kFieldCount; ++i)
        if (f[i] != QLatin1String("<none>"))
            out += QByteArray(Settings::kKeys[i]) + "=" + f[i].toUtf8() + "\n";
    return out;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void numberRules()
    {
        // "rule:text=result|..."; "１" is a fullwidth 1.
        const QStringList rules = {
            "leadingNumber:abc=0|12abc=12| \t 7=7|.5=0.5|3.=3|-3=-3|+2=2|4e4=4e4|1e=1|- 1=0|.=0|"
            "1,5=1|1.2.3=1.2|１=0|1e999=inf|99999999999=99999999999",
            "checkStateOf:0=0|1=1|2=2|7=0|-1=0|2.5=2|3.5=0|1abc=1|1e999=0|<none>=0",
            "chunkSizeOf:5=10000|1e999=70000|-1e999=10000|60000.5=60000|60001.5=60002|"
            "60000.51=60001|70000.6=70000|<none>=10000",
            "wholeTextIsOne:1.0=1| 1 =1|+1=1|1e0=1|=0| =0|1x=0|01x=0|0.999=0|1 1=0|11=0|<none>=0"};
        for (const QString& cases : rules)
            for (const QString& c : cases.section(':', 1).split('|')) {
                const QString rule = cases.section(':', 0, 0), text = c.section('=', 0, 0);
                const Settings::Field f = text == "<none>" ? std::nullopt : Settings::Field(text);
                const double got = rule == "leadingNumber"  ? leadingNumber(text)
                                   : rule == "checkStateOf" ? checkStateOf(f)
                                   : rule == "chunkSizeOf"  ? chunkSizeOf(f)
                                                            : wholeTextIsOne(f);
                QVERIFY2(got == QLocale::c().toDouble(c.section('=', 1)), qPrintable(rule + c));
            }
    }

    void startUpReads_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("fields"); // as read, and written anew
        // Only a ticked box reads its folder, and only a whole 1 reads the chunk size.
        const QString longer = "/" + QString(299, 'm'), cut = longer.left(254);
        QTest::newRow("whole 1, long folder, huge chunk size")
            << fileOf("1|1|" + longer + "|/t|1|1|1.0|99999999999")
            << "1|1|" + cut + "|/t|1|1|1.0|70000";
        QTest::newRow("greyed") << fileOf("2|1|/s|/t|2|2|2|60000") << "2|1|<none>|/t|2|2|2|40000";
        QTest::newRow("1x") << fileOf("1|1|/s|/t|1|1|1x|60000") << "1|1|/s|/t|1|1|1x|40000";
        QTest::newRow("other lines go")
            << ";\n[O]\nx=1\n" + fileOf("1|1|/in|\"/out dir\"|0|1|1|20000") + "U=1\n[T]"
            << "1|1|/in|/out dir|0|1|1|20000";
        // A missing key reads as the empty text, and is written so.
        const QByteArray head = "[Preferences]\n";
        QTest::newRow("missing") << (head + "SaveSourceDir=1\n") << "1|||<none>||||40000";
        // A damaged file counts as none: the first start's file, the old one kept beside.
        QTest::newRow("binary") << TestSupport::pattern(65536, 7) << "<damaged>";
        QTest::newRow("too big") << head + "ClearQue=0\n" + QByteArray(5 << 20, ';') << "<damaged>";
        QTest::newRow("not UTF-8") << head + "SourceDir=/v\xe9\n"
                                   << "<damaged>";
        QTest::newRow("no section") << QByteArray("[Prefs]\nClearQue=1\n") << "<damaged>";
    }

    void startUpReads()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, fields);
        const Core core(ini);
        const bool damaged = fields == "<damaged>";
        QCOMPARE(core.iniBytes(), damaged ? core.firstStartIni() : fileOf(fields));
        QCOMPARE(readAll(core.iniPath() + ".bad"), damaged ? ini : QByteArray("<missing>"));
    }

    // Start-up without a usable settings file, then Exit or the close box.
    void defaultsThenExit_data()
    {
        QTest::addColumn<QString>("file");
        for (const char* f : {"Exit", "close box", "dangling link", "missing folder",
                              "folder in its place", "too big at Exit", "pipe at Exit"})
            QTest::newRow(f) << QString(f);
    }

    void defaultsThenExit()
    {
        QFETCH(QString, file);
        const bool writable = file != "missing folder" && file != "folder in its place";
        const bool tooBig = file.endsWith("at Exit"), pipe = file == "pipe at Exit";
        QTemporaryDir dir;
        const QString folder = writable ? dir.path() : dir.filePath(QStringLiteral("gone"));
        const QString ini = folder + QStringLiteral("/tarvik.ini");
        if (file == "dangling link")
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")), ini));
        if (file == "folder in its place")
            QVERIFY(QDir().mkpath(ini));
        Core c(Core::InFolder{folder});
        QCOMPARE(c.settings(), Settings::defaults(folder));
        QByteArray after = writable ? c.firstStartIni() : "<missing>";
        if (tooBig && !pipe)
            QVERIFY(Profile::replaceFile(ini, after = QByteArray(Profile::kMaxFileSize + 1, ';')));
        // No reader may wait for a writer of the pipe: Exit must still end.
        QVERIFY(!pipe || (QFile::remove(ini) && ::mkfifo(QFile::encodeName(ini), 0600) == 0));
        QSignalSpy closing(c.program.get(), &Program::closing);
        QSignalSpy notSaved(c.program.get(), &Program::settingsNotSaved);
        c.settings().ClearQue = QStringLiteral("1");
        c.prefs().setChunkSize(33000);
        c.program->exit(file == "close box" ? Exit::WithoutSaving : Exit::Save);
        c.program->exit(Exit::Save); // already closing: nothing more happens
        if (writable && !tooBig && file != "close box")
            after.replace("ClearQue=0", "ClearQue=1").replace("ChunkSize=40000", "ChunkSize=33000");
        QCOMPARE(pipe ? QByteArray(QFileInfo(ini).isFile() ? "file" : "pipe") : c.iniBytes(),
                 pipe ? "pipe" : after);
        QCOMPARE(closing.count(), 1);
        QCOMPARE(QFileInfo::exists(folder), file != "missing folder");
        QCOMPARE(notSaved.count(), writable && !tooBig ? 0 : 1);
        for (const QVariantList& said : notSaved) // names the file it could not write
            QVERIFY(said[0].toString().startsWith(
                "The settings could not be saved to " + ini + ": " +
                (tooBig ? "the existing file could not be read." : "")));
    }

    void diskFullAtStartUp()
    {
        QTemporaryDir dir;
        const QByteArray before = fileOf("1|0|/old/src|/old/tgt|0|1|1|60000") + "; padding\n";
        QVERIFY(Profile::replaceFile(dir.filePath(QStringLiteral("tarvik.ini")), before));
        // On a full disk (no file grows beyond 32 bytes) the old file is read and kept.
        rlimit old;
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit full = {32, old.rlim_max};
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &full), 0);
        Core c(Core::InFolder{dir.path()});
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, handler);
        QCOMPARE(c.iniBytes(), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"tarvik.ini"});
        // Once there is room again, Exit writes what was read.
        c.program->exit(Exit::Save);
        QCOMPARE(c.iniBytes(), fileOf("1|0|/old/src|<none>|0|1|1|60000") + "; padding\n");
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
