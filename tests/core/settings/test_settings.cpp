// The INI module, the rules reading stored texts, the settings file at start, exit and on OK.
#include "core/settings/Profile.h"
#include "core/settings/SettingRules.h"
#include "support/CoreSupport.h"
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
using namespace TestSupport;
using Id = SettingId;
const QString kNone; // a field with no value: iniOf(), the file of fields, has no line for it
static QByteArray iniOf(const QStringList& fields)
{
    QByteArray out = "[Preferences]\n";
    for (int i = 0; i < fields.size(); ++i)
        out += fields[i].isNull() ? "" : kSettingTable[i].key + ('=' + fields[i].toUtf8()) + '\n';
    return out;
}
/// In the settings file's place at exit (CloseBox: the close box ends; FullDisk: at start-up).
enum class Place { File, CloseBox, FullDisk, DanglingLink, MissingFolder, Folder, Pipe, HugeFile };
class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    // getString ("k" in "Ä") and applyWrite ("k" in "A", in the first line end), then the rules.
    void profile_data()
    {
        const Table<QVariantList> row({"cases"});
        const QString none = "(none)", ends = "\r\n\n [ Ä ] \r\r\n\n\rj=1\r\t K \t=  6 \t",
                      head = "; c \t\r\n\r\nx\r\n[O]  x\r\nk = \"q\"\r\n\r\n[a]\r\n  U=keep  ";
        const QVariant nul = QByteArrayLiteral("[Ä]\nk=/a\0b"), removed,
                       bom = QByteArray("\xef\xbb\xbf[Ä]\nk=1"),
                       cut = "[Ä]\nk=\"" + QString(300, u'ä') + '"', cutTo = QString(254, u'ä');
        row("getString: lines, names",
            {ends, "6", "[ä]\nk=1", none, "[Ä]b]\nk=1\n[Ä]\nk=2", "2", "[Ä]\n[B\nk=1", "1",
             "[Ä]\n;k=1\nk=2", "2", "k=0\n[Ä]\nx=1\n[B]\nk=2", none, "[Ä]\nj=1\n[Ä]\nk=3", none,
             "[Ä]\nK=1\nk=2", "1", bom, "1"});
        row("getString: values",
            {"[Ä]\nk = b = c ;x", "b = c ;x", "[Ä]\nk=", "", "[Ä]\nk = ' a '", " a ", "[Ä]\nk=\"\"",
             "", "[Ä]\nk=\"abc'", "\"abc'", nul, "/a", cut, cutTo});
        row("applyWrite: where",
            {"[B]\nk=1", "v", "[B]\nk=1\n[A]\nk=v\n", "[A]", "v", "[A]\nk=v\n",
             "[A]\n;n\n\n\n[B]\n", "v", "[A]\n;n\nk=v\n\n\n[B]\n", "[A]\n K = 1\nk=2\n[a]\nk=3\n",
             "v", "[A]\n K = v\nk=2\n[a]\nk=3\n", "[A]\n  K =  v \t\n", "v", "[A]\n  K =  v \t\n"});
        row("applyWrite: values, removals",
            {"[A]\nk=1\n", "", "[A]\nk=\n", "[A]\n", "  \t /Käse=y ;z ", "[A]\nk=/Käse=y ;z \n",
             "[A]\nk=1\nj=2\n", "a\r\nb\nc", "[A]\nk=a  b c\nj=2\n", "[A]\na=1\nK=2\nb=3\n",
             removed, "[A]\na=1\nb=3\n", "[A]\na=1\n", removed, "[A]\na=1\n", "[B]\nk=1\n", removed,
             "[B]\nk=1\n"});
        row("applyWrite: line ends, every byte",
            {"[A]\na=1\r\n", "v", "[A]\na=1\r\nk=v\n", "[A]\ra=1\r", "v", "[A]\ra=1\rk=v\n",
             head + "\r\n\t\r\n[T]", "v", head + "\r\nk=v\r\n\t\r\n[T]",
             head + "\r\n K = 1 \t\r\n[T]", "v", head + "\r\n K = v\r\n[T]"});
        row("checkStateOf",
            {"0",   0, "1",    1, "2",     2, "7",  0, "-1",    0, "2.5",      2, "3.5",   0,
             "1.5", 2, "2abc", 2, "2.",    2, "+2", 2, "- 1",   0, "1e",       1, " \t 2", 2,
             "1,5", 1, "１",   0, "1.2.3", 1, ".5", 0, "1e999", 0, QVariant(), 0});
        row("chunkSizeOf",
            {"5",       10000,     "4e4",         40000,     "1e999",    70000,      "-1e999",
             10000,     "60000.5", 60000,         "60001.5", 60002,      "60000.51", 60001,
             "70000.6", 70000,     "99999999999", 70000,     QVariant(), 10000});
        row("wholeTextIsOne",
            {"1.0", 1,     " 1 ", 1,       "+1", 1,     "1e0", 1,    "", 0,   " ", 0,          "1x",
             0,     "01x", 0,     "0.999", 0,    "1 1", 0,     "11", 0,  "2", 0,   QVariant(), 0});
    }
    void profile()
    {
        using namespace SettingRules;
        const QString way = QString(QTest::currentDataTag()).section(':', 0, 0);
        const int n = way == "applyWrite" ? 3 : 2; // the values in a case
        QVariantList got = fetch<QVariantList>("cases");
        for (int i = 0; i < got.size(); i += n) {
            const auto field = [&](int k) { // no value for QVariant()
                return got[k].isValid() ? Settings::Field(got[k].toString()) : std::nullopt;
            };
            got[i + n - 1] =
                way == "getString"
                    ? QVariant(Profile::getString(got[i].toByteArray(), "Ä", "k", "(none)"))
                : way == "applyWrite"   ? QVariant(QString::fromUtf8(Profile::applyWrite(
                                              got[i].toByteArray(), "A", "k", field(i + 1))))
                : way == "checkStateOf" ? checkStateOf(field(i))
                : way == "chunkSizeOf"  ? chunkSizeOf(field(i))
                                        : double(wholeTextIsOne(field(i)));
        }
        QCOMPARE(got, fetch<QVariantList>("cases"));
    }
    // Start-up writes its lines, keeps a damaged file as .bad; exit saves once or says why not.
    void settingsFile_data()
    {
        const Table<Place, QString, QByteArray, QStringList> row(
            {"place", "reason", "ini", "written"});
        const QString deep = QString(300, 'm'), unread = "the existing file could not be read";
        const QStringList one = {"1", "", "", kNone, "", "", "", "40000"}; // read from iniOf({"1"})
        row("long folder, huge chunk", Place::File, "",
            iniOf({"1", "1", deep, "/t", "1", "1", "1.0", "99999999999"}),
            {"1", "1", deep.left(254), "/t", "1", "1", "1.0", "70000"});
        row("greyed, 1x", Place::File, "", iniOf({"2", "1", "/s", "/t", "2", "2", "1x", "60000"}),
            {"2", "1", kNone, "/t", "2", "2", "1x", "40000"});
        row("other lines go", Place::File, "",
            ";\n[O]\nx=1\n" + iniOf({"1", "1", "/in", "\"/out dir\"", "0", "1", "1", "20000"}) +
                "U=1\n[T]",
            {"1", "1", "/in", "/out dir", "0", "1", "1", "20000"});
        row("missing keys", Place::File, "", iniOf({"1"}), one);
        row("too big", Place::File, "", iniOf({"0"}) + QByteArray(5 << 20, ';'), {});
        row("not UTF-8", Place::File, "", "[Preferences]\nSourceDir=/v\xe9\n", {});
        row("NUL", Place::File, "", QByteArrayLiteral("[Preferences]\nClearQue=1\0\n"), {});
        row("no section", Place::File, "", "[Prefs]\nClearQue=1\n", {});
        row("full disk", Place::FullDisk, "", iniOf({"1"}), one);
        row("close box", Place::CloseBox, "", {}, {});
        row("dangling link", Place::DanglingLink, "", {}, {});
        row("missing folder", Place::MissingFolder, reason(ENOENT), {}, {});
        row("folder", Place::Folder, unread, {}, {});
        row("pipe", Place::Pipe, unread, {}, {});
        row("huge file", Place::HugeFile, unread, {}, {});
    }
    void settingsFile()
    {
        const Place place = fetch<Place>("place");
        const QString reason = fetch<QString>("reason");
        const QByteArray ini = fetch<QByteArray>("ini");
        QTemporaryDir dir;
        const QString file = dir.filePath("tarvik.ini");
        QStringList written = fetch<QStringList>("written");
        const bool damaged = written.isEmpty() && !ini.isNull();
        if (written.isEmpty()) // the first start's
            written = {"1", "1", dir.path(), dir.path(), "1", "0", "1", "40000"};
        QVERIFY(ini.isNull() || !writeFile(file, ini).isEmpty());
        rlimit old{}, full{};
        const auto handler = (getrlimit(RLIMIT_FSIZE, &old), std::signal(SIGXFSZ, SIG_IGN));
        full = {32, old.rlim_max}; // no file grows beyond 32 bytes: a write past that fails
        QVERIFY(place != Place::FullDisk || setrlimit(RLIMIT_FSIZE, &full) == 0);
        Core c(Core::InFolder{dir.path()});
        QVERIFY(setrlimit(RLIMIT_FSIZE, &old) == 0 && std::signal(SIGXFSZ, handler) == SIG_IGN);
        const QByteArray started = readAll(file);
        QCOMPARE(
            joined(started, readAll(file + ".bad")),
            joined(place == Place::FullDisk ? ini : iniOf(written), damaged ? ini : "<missing>"));
        QVERIFY(place <= Place::FullDisk || QFile::remove(file));
        QVERIFY(place != Place::MissingFolder || dir.remove());
        QVERIFY(place != Place::Folder || QDir().mkdir(file));
        QVERIFY(place != Place::DanglingLink || QFile::link(dir.filePath("nowhere"), file));
        QVERIFY(place != Place::Pipe || !mkfifo(QFile::encodeName(file), 0600));
        QVERIFY(place != Place::HugeFile || !writeFile(file, QByteArray(5 << 20, ';')).isEmpty());
        QSignalSpy closing(c.program.get(), &Program::closing),
            notSaved(c.program.get(), &Program::settingsNotSaved);
        c.settings()[Id::ClearQue] = written[5] = "1";
        c.settings()[Id::ChunkSize] = written[7] = "33000";
        c.program->exit(place == Place::CloseBox ? Program::ExitKind::WithoutSaving
                                                 : Program::ExitKind::Save);
        c.program->exit(Program::ExitKind::Save); // changes what is saved no more
        QTRY_COMPARE(closing.count(), 1);
        const QString why = "The settings could not be saved to " + file + ": " + reason + ".";
        QCOMPARE(joined(notSaved.count(), notSaved.value(0).value(0).toString(),
                        place <= Place::DanglingLink ? readAll(file) : "", // not a pipe's
                        QDir(dir.path()).entryList({".*"}, QDir::Files | QDir::Hidden)),
                 joined(int(!reason.isEmpty()), reason.isEmpty() ? "" : why,
                        place > Place::DanglingLink ? ""
                        : place == Place::CloseBox  ? started
                                                    : iniOf(written),
                        QStringList()));
    }
    // Beside the program unless installed (its guide, no file beside): then the config folder.
    void locations_data()
    {
        const Table<QStringList, QString, QString, QString> row(
            {"made", "config", "settings", "first"});
        const QString guide = "p/share/doc/reelbind/Readme.html";
        row("build folder", {}, "", "p/bin", "p/bin");
        row("settings beside", {guide, "p/bin/tarvik.ini"}, "", "p/bin", "p/bin");
        row("installed", {guide}, "", "h/.config/reelbind", "h");
        row("Videos", {guide, "h/Videos/"}, "", "h/.config/reelbind", "h/Videos");
        row("Videos a file", {guide, "h/Videos"}, "h/c", "h/c/reelbind", "h");
        row("config a file", {guide, "h/c"}, "h/c", "h/c/reelbind", "h");
    }
    void locations()
    {
        QTemporaryDir t;
        const QString config = fetch<QString>("config"), bin = t.filePath("p/bin"),
                      first = t.filePath(fetch<QString>("first"));
        const QStringList made = fetch<QStringList>("made");
        const QByteArray ini = iniOf({"1", "1", first, first, "1", "0", "1", "40000"});
        QVERIFY(QDir().mkpath(bin) && QDir().mkpath(t.filePath("h")));
        for (const QString& path : made) // each file holds the settings the first start writes
            QVERIFY(QDir().mkpath(t.filePath(QFileInfo(path).path())) &&
                    (path.endsWith('/') || !writeFile(t.filePath(path), ini).isEmpty()));
        const QByteArray env[] = {qgetenv("HOME"), qgetenv("XDG_CONFIG_HOME")};
        const auto restore =
            qScopeGuard([&] { qputenv("HOME", env[0]), qputenv("XDG_CONFIG_HOME", env[1]); });
        qputenv("HOME", QFile::encodeName(t.filePath("h")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.isEmpty() ? "" : t.filePath(config)));
        TestFileSystem files;
        const Locations l = Locations::of(bin, files);
        Core c(l);
        const bool installed = first != bin;
        QCOMPARE(
            joined(l.installed, l.settingsFile(), l.readme, l.firstStartFolder,
                   c.settings() == Settings::defaults(first), readAll(l.settingsFile()),
                   QDir(bin).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)),
            joined(installed, t.filePath(fetch<QString>("settings")) + "/tarvik.ini",
                   installed ? t.filePath(made[0]) : bin + "/Readme.html", first, true,
                   made.contains(config) ? "<missing>" : ini, installed ? "" : "tarvik.ini"));
    }
    // The slider clamped and recorded while ticked, Add's folder, and what OK stores.
    void preferences_data()
    {
        const Table<int, QString, QStringList> row({"state", "recorded", "stored"});
        row("cleared", 0, "50000", {"0", "1", "/in", "/out", "0", "0", "0", "40000"});
        row("greyed", 2, "50000", {"2", "1", "/in", "/out", "2", "0", "2", "40000"});
        row("ticked", 1, "70000", {"1", "1", "{d}/x.y/z", "/out", "1", "0", "1", "60000"});
    }
    void preferences()
    {
        const int state = fetch<int>("state");
        Core c(iniOf({"1", "1", "/in", "/tgt", "1", "0", "1", "50000"}));
        const QStringList stored =
            fetch<QStringList>("stored").replaceInStrings("{d}", c.programFolder());
        const QByteArray ini = c.iniBytes();
        const auto back = qScopeGuard([cwd = QDir::currentPath()] { QDir::setCurrent(cwd); });
        Preferences& p = c.prefs();
        p.setFolderText(Id::SourceDir, "");
        p.setFolderText(Id::TargetDir, "/out");
        for (const Id id : {Id::SaveSourceDir, Id::ConfirmDel, Id::ChunkSizeSave})
            p.setCheckState(id, state);
        p.setChunkSize(5);
        const int lowest = p.chunkSize();
        p.setChunkSize(99999);
        const QString recorded =
            c.settings()[Id::ChunkSize].value_or(kNone) + (c.iniBytes() == ini ? "" : ", written");
        p.setCheckState(Id::ChunkSizeSave, 0);
        p.setChunkSize(60000);
        p.setCheckState(Id::ChunkSizeSave, state);
        QVERIFY(QDir::setCurrent(c.programFolder()) && QDir().mkpath("x.y/z") &&
                !sized(".", "x.y/z/a.b", 1).isEmpty());
        c.queue().add({"x.y/z/a.b", "x.y/z/a.b"}); // twice: two rows
        const QString addFolder = c.queue().addFolder();
        const bool ok = c.program->store().storePreferences();
        p.discardWindowValues();
        QCOMPARE(
            joined(lowest, recorded, addFolder, ok, c.iniBytes(), p.checkState(Id::SaveSourceDir),
                   p.folderText(Id::SourceDir), p.chunkSize(), c.queue().count()),
            joined(kChunkMin, fetch<QString>("recorded"), state == 1 ? stored[2] : QDir::homePath(),
                   true, iniOf(stored), state, state == 1 ? stored[2] : "", stored[7], 2));
    }
};
REELBIND_CORE_TEST_MAIN(TestSettings)
#include "test_settings.moc"
