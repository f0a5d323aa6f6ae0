// The settings: the INI module, the rules that read stored texts, the settings file at start-up,
// at exit and on OK in the preferences window, and where the program keeps its files.
#include "core/settings/Profile.h"
#include "core/settings/SettingRules.h"
#include "support/CoreSupport.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace TestSupport;
using Id = SettingId;
using Exit = Program::ExitKind;

namespace {
const QString kNone; // a field without a value: the file has no line for it
/// A settings file of these fields (kNone: no line), in the table's order; "{d}" is `folder`.
QByteArray iniOf(const QStringList& fields, const QString& folder = {})
{
    QByteArray out = "[Preferences]\n";
    for (int i = 0; i < fields.size(); ++i)
        if (!fields[i].isNull())
            out += kSettingTable[i].key +
                   ('=' + QString(fields[i]).replace("{d}", folder).toUtf8()) + '\n';
    return out;
}
bool write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}
/// A file's bytes, or what stands at `path` instead (never opened: it may be a pipe).
QByteArray whatIsAt(const QString& path)
{
    const QFileInfo f(path);
    return f.isFile()    ? readAll(path)
           : !f.exists() ? QByteArray(f.isSymLink() ? "<dangling link>" : "<nothing>")
                         : QByteArray(f.isDir() ? "<folder>" : "<pipe>");
}
/// What lies in the settings file's place: before start-up, or (Pipe, HugeFile) after it.
enum class Place { File, DanglingLink, MissingFolder, Folder, FullDisk, Pipe, HugeFile };
} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    // Reading: lines end at CR, LF or runs of them and are trimmed; names match without ASCII
    // case; the first section and key win; quotes go; a value is cut to the buffer, in whole
    // characters.
    void profileRead_data()
    {
        const Table<QByteArray, QString, int, QString> row(
            {"content", "section", "buffer", "value"});
        const QString none = "(default)";
        row("line ends", "\r\n\n[A]\r\r\n\n\rj=1\rk=6", "A", 255, "6");
        row("ASCII case", "[a]\nK=6\n", "A", 255, "6");
        row("blanks", " \t[ A ] \t\n\t k \t=  6 \t\n", "A", 255, "6");
        row("other letters' case", "[Ärger]\nk=1\n", "ärger", 255, none);
        row("bracket in a name", "[A]b]\nk=1\n", "A]b", 255, "1");
        row("no header", "[A]\n[B\nk=1\n", "A", 255, "1");
        row("= in a value", "[A]\nk = b = c\n", "A", 255, "b = c");
        row("no comment after", "[A]\nk=1 ;x\n", "A", 255, "1 ;x");
        row("comment line", "[A]\n;k=1\nk=2\n", "A", 255, "2");
        row("before sections", "k=0\n[A]\nx=1\n", "A", 255, none);
        row("no section", "[B]\nk=1\n", "A", 255, none);
        row("other section", "[A]\na=1\n[B]\nk=2\n", "A", 255, none);
        row("empty", "[A]\nk=\n", "A", 255, "");
        row("first section", "[A]\nk=1\n[a]\nk=2\n", "A", 255, "1");
        row("only the first", "[A]\nj=1\n[a]\nk=3\n", "A", 255, none);
        row("first key", "[A]\nK=1\nk=2\n", "A", 255, "1");
        row("double quotes", "[A]\nk = \" a \"\n", "A", 255, " a ");
        row("single quotes", "[A]\nk='b'\n", "A", 255, "b");
        row("empty quotes", "[A]\nk=\"\"\n", "A", 255, "");
        row("one quote", "[A]\nk=\"abc\n", "A", 255, "\"abc");
        row("unmatched quotes", "[A]\nk=\"abc'\n", "A", 255, "\"abc'");
        row("NUL ends", QByteArrayLiteral("[A]\nk=/a\0b\n"), "A", 255, "/a");
        row("byte order mark", "\xef\xbb\xbf[A]\nk=1\n", "A", 255, "1");
        row("buffer", "[A]\nk=abcdef\n", "A", 4, "abc");
        row("cut after quotes", "[A]\nk=\"" + QByteArray(254, 'd') + "\"\n", "A", 255,
            QString(254, 'd'));
        row("whole characters", "[A]\nk=" + QString(300, u'ä').toUtf8(), "A", 255,
            QString(254, u'ä'));
    }
    void profileRead()
    {
        QTEST(Profile::getString(fetch<QByteArray>("content"), fetch<QString>("section"), "k",
                                 "(default)", fetch<int>("buffer")),
              "value");
    }
    // Writing changes only the key's line: in place, after its section's last line, or in a new
    // section at the end; no value removes the line. Every other byte stays.
    void profileWrite_data()
    {
        const Table<QByteArray, Profile::Value, QByteArray> row({"content", "value", "written"});
        const Profile::Value none;
        row("nothing", "", "v", "[A]\nk=v\n");
        row("new section", "[B]\nk=1\n", "v", "[B]\nk=1\n[A]\nk=v\n");
        row("after an unended line", "[B]\nk=1", "v", "[B]\nk=1\n[A]\nk=v\n");
        row("same value", "[A]\n  K =  v \t\n", "v", "[A]\n  K =  v \t\n");
        row("after the last line", "[A]\n;n\n\n\n[B]\n", "v", "[A]\n;n\nk=v\n\n\n[B]\n");
        row("empty section", "[A]\n\n[B]\n", "v", "[A]\nk=v\n\n[B]\n");
        row("unended section", "[A]\na=1", "v", "[A]\na=1\nk=v\n");
        row("empty value", "[A]\nk=1\n", "", "[A]\nk=\n");
        row("= and ;", "[A]\n", "/Käse=y ;z", "[A]\nk=/Käse=y ;z\n");
        row("leading blanks", "[A]\n", "  \t v w ", "[A]\nk=v w \n");
        row("line breaks", "[A]\nk=1\nj=2\n", "a\r\nb\nc", "[A]\nk=a  b c\nj=2\n");
        row("first key", "[A]\nk=1\nk=2\n[a]\nk=3\n", "v", "[A]\nk=v\nk=2\n[a]\nk=3\n");
        row("remove", "[A]\na=1\nK=2\nb=3\n", none, "[A]\na=1\nb=3\n");
        row("remove the last", "[A]\nk=2\n[B]\n", none, "[A]\n[B]\n");
        row("remove a missing key", "[A]\na=1\n", none, "[A]\na=1\n");
        row("remove, no section", "[B]\nk=1\n", none, "[B]\nk=1\n");
        row("CR LF", "[A]\r\na=1", "v", "[A]\r\na=1\r\nk=v\r\n");
        row("CR LF at the end", "[A]\na=1\r\n", "v", "[A]\na=1\r\nk=v\n");
        row("CR", "[A]\ra=1\r", "v", "[A]\ra=1\rk=v\n");
        const QByteArray head =
            "; c \t\r\n\r\nx\r\n[O]  x\r\nk = \"q\"\r\n\r\n[a]\r\n  U=keep  \r\n";
        row("every byte kept", head + "  K = 1 \t\r\n\t\r\n[T]", "v",
            head + "  K = v\r\n\t\r\n[T]");
    }
    void profileWrite()
    {
        QTEST(Profile::applyWrite(fetch<QByteArray>("content"), "A", "k",
                                  fetch<Profile::Value>("value")),
              "written");
    }
    // Random files and writes: a write reads back, again changes nothing, other keys stay.
    void profileAtRandom()
    {
        QRandomGenerator rng(20261207);
        const QList<QByteArray> pieces =
            QByteArray("[ ] = ; \t \r \n \r\n \" ' A a B k K x v [A] [a]\n [B] k= x=1 \xff \xc3")
                .split(' ') +
            QList<QByteArray>{" ", "K = ", {"", 1}};
        const QStringList names = {"A", "a", "B", "k", "K", "x", "[", ""};
        const auto get = [](const auto&... args) { return Profile::getString(args..., "<none>"); };
        const auto pick = [&](const auto& list) { return list.at(rng.bounded(int(list.size()))); };
        for (int round = 0; round < 3000; ++round) {
            QByteArray before;
            QString value; // what a value can hold whole: no edge blanks, quotes or breaks
            for (int n = rng.bounded(40); n > 0; --n)
                before += pick(pieces);
            for (int n = rng.bounded(1, 20); n > 0; --n)
                value += QChar(u"ab9 .=;[]ä"[rng.bounded(10)]);
            value = value.trimmed().isEmpty() ? "v" : value.trimmed();
            const QString section = pick(names), key = pick(names).isEmpty() ? "k" : pick(names);
            if (key.contains('[') || key.contains('=') || section.contains(']'))
                continue; // names the format cannot hold
            const QByteArray after = Profile::applyWrite(before, section, key, value);
            const QByteArray why = "round " + QByteArray::number(round) + ": " + before.toHex();
            QVERIFY2(get(after, section, key) == value, why);
            QVERIFY2(Profile::applyWrite(after, section, key, value) == after, why);
            for (const QString& s : names)
                for (const QString& k : names)
                    if (s.toLower() != section.toLower() || k.toLower() != key.toLower())
                        QVERIFY2(get(before, s, k) == get(after, s, k), why);
        }
    }
    // The stored texts as numbers, each rule with its (text, value) pairs; QVariant(): no value
    // stored; "１" is a fullwidth 1. Halves round to the even neighbour.
    void rules_data()
    {
        const Table<QString, QString, double> row({"rule", "text", "value"});
        const auto rows = [&](const char* rule, const QVariantList& pairs) {
            for (int i = 0; i < pairs.size(); i += 2) {
                const QString text = pairs[i].toString();
                const QString tag =
                    QString("%1 %2").arg(rule, text.isNull() ? "none" : '"' + text + '"');
                row(qPrintable(tag), rule, text, pairs[i + 1].toDouble());
            }
        };
        rows("leadingNumber",
             {"abc",   0,   "12abc", 12, " \t 7", 7,      ".5",          0.5,
              "3.",    3,   "-3",    -3, "+2",    2,      "4e4",         4e4,
              "1e",    1,   "- 1",   0,  ".",     0,      "1,5",         1,
              "1.2.3", 1.2, "１",    0,  "1e999", qInf(), "99999999999", 99999999999.0});
        rows("checkStateOf", {"0",   0, "1",   1, "2",    2, "7",     0, "-1",       0,
                              "2.5", 2, "3.5", 0, "1abc", 1, "1e999", 0, QVariant(), 0});
        rows("chunkSizeOf",
             {"5", 10000, "1e999", 70000, "-1e999", 10000, "60000.5", 60000, "60001.5", 60002,
              "60000.51", 60001, "70000.6", 70000, QVariant(), 10000});
        rows("wholeTextIsOne", {"1.0", 1, " 1 ", 1, "+1",    1, "1e0", 1, "",   0, " ",        0,
                                "1x",  0, "01x", 0, "0.999", 0, "1 1", 0, "11", 0, QVariant(), 0});
    }
    void rules()
    {
        using namespace SettingRules;
        const QString rule = fetch<QString>("rule"), text = fetch<QString>("text");
        const Settings::Field field = text.isNull() ? std::nullopt : Settings::Field(text);
        QTEST(rule == "leadingNumber"  ? leadingNumber(text)
              : rule == "checkStateOf" ? checkStateOf(field)
              : rule == "chunkSizeOf"  ? chunkSizeOf(field)
                                       : double(wholeTextIsOne(field)),
              "value");
    }
    // Start-up writes the file anew with only its own lines: a switch as read, a ticked switch's
    // folder, the chunk size clamped, and only while ChunkSizeSave is a whole 1. A file that is
    // no settings file is kept beside as tarvik.ini.bad, and the first start's values taken.
    void startUp_data()
    {
        // ini: null for none; written: empty for the first start's
        const Table<QByteArray, QStringList, bool> row({"ini", "written", "damaged"});
        const QString longer = "/" + QString(299, 'm');
        row("first start", QByteArray(), {}, false);
        row("long folder, huge chunk",
            iniOf({"1", "1", longer, "/t", "1", "1", "1.0", "99999999999"}),
            {"1", "1", longer.left(254), "/t", "1", "1", "1.0", "70000"}, false);
        row("greyed", iniOf({"2", "1", "/s", "/t", "2", "2", "2", "60000"}),
            {"2", "1", kNone, "/t", "2", "2", "2", "40000"}, false);
        row("1x", iniOf({"1", "1", "/s", "/t", "1", "1", "1x", "60000"}),
            {"1", "1", "/s", "/t", "1", "1", "1x", "40000"}, false);
        row("other lines go",
            ";\n[O]\nx=1\n" + iniOf({"1", "1", "/in", "\"/out dir\"", "0", "1", "1", "20000"}) +
                "U=1\n[T]",
            {"1", "1", "/in", "/out dir", "0", "1", "1", "20000"}, false);
        row("missing keys", iniOf({"1"}), {"1", "", "", kNone, "", "", "", "40000"}, false);
        row("binary", pattern(65536, 7), {}, true);
        row("too big", iniOf({"0"}) + QByteArray(5 << 20, ';'), {}, true);
        row("not UTF-8", "[Preferences]\nSourceDir=/v\xe9\n", {}, true);
        row("NUL", QByteArrayLiteral("[Preferences]\nClearQue=1\0\n"), {}, true);
        row("no section", "[Prefs]\nClearQue=1\n", {}, true);
    }
    void startUp()
    {
        const QByteArray ini = fetch<QByteArray>("ini");
        const QStringList written = fetch<QStringList>("written");
        Core c(ini);
        QCOMPARE(c.iniBytes(), written.isEmpty() ? c.firstStartIni() : iniOf(written));
        QCOMPARE(readAll(c.iniPath() + ".bad"), fetch<bool>("damaged") ? ini : "<missing>");
        QVERIFY(!written.isEmpty() || c.settings() == Settings::defaults(c.programFolder()));
    }
    // Exit saves, once however often it is asked; the close box does not. Where Exit cannot
    // save it says why, and the program still ends. Start-up on a full disk keeps the old file.
    void exit_data()
    {
        // reason: why the settings were not saved, if so; saved: empty when the place stays
        const Table<QByteArray, Place, Exit, QString, QStringList> row(
            {"ini", "place", "kind", "reason", "saved"});
        const QString unread = "the existing file could not be read";
        const QStringList changed = {"1", "1", "{d}", "{d}", "1", "1", "1", "33000"};
        row("Exit", {}, Place::File, Exit::Save, "", changed);
        row("close box", {}, Place::File, Exit::WithoutSaving, "", {});
        row("dangling link", {}, Place::DanglingLink, Exit::Save, "", changed);
        row("missing folder", {}, Place::MissingFolder, Exit::Save, reason(ENOENT), {});
        row("folder", {}, Place::Folder, Exit::Save, unread, {});
        row("huge file", {}, Place::HugeFile, Exit::Save, unread, {});
        row("pipe", {}, Place::Pipe, Exit::Save, unread, {});
        row("full disk at start-up",
            iniOf({"1", "0", "/old/src", "/old/tgt", "0", "1", "1", "60000"}), Place::FullDisk,
            Exit::Save, "", {"1", "0", "/old/src", kNone, "0", "1", "1", "33000"});
    }
    void exit()
    {
        const QByteArray ini = fetch<QByteArray>("ini");
        const Place place = fetch<Place>("place");
        const QString reason = fetch<QString>("reason");
        QTemporaryDir dir;
        const QString folder = place == Place::MissingFolder ? dir.filePath("gone") : dir.path(),
                      file = folder + "/tarvik.ini";
        QVERIFY((ini.isNull() || write(file, ini)) &&
                (place != Place::Folder || QDir().mkdir(file)));
        QVERIFY(place != Place::DanglingLink || QFile::link(dir.filePath("nowhere"), file));
        rlimit old, full;
        QVERIFY(getrlimit(RLIMIT_FSIZE, &old) == 0);
        full = {32, old.rlim_max}; // no file grows beyond 32 bytes, and a write past that fails
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(place != Place::FullDisk || setrlimit(RLIMIT_FSIZE, &full) == 0);
        Core c(Core::InFolder{folder});
        QVERIFY(setrlimit(RLIMIT_FSIZE, &old) == 0);
        std::signal(SIGXFSZ, handler);
        QVERIFY(place != Place::FullDisk || whatIsAt(file) == ini);
        QVERIFY(place != Place::Pipe ||
                (QFile::remove(file) && !mkfifo(QFile::encodeName(file), 0600)));
        QVERIFY(place != Place::HugeFile ||
                write(file, QByteArray(Profile::kMaxFileSize + 1, ';')));
        const QByteArray before = whatIsAt(file);
        QSignalSpy closing(c.program.get(), &Program::closing);
        QSignalSpy notSaved(c.program.get(), &Program::settingsNotSaved);
        c.settings()[Id::ClearQue] = "1";
        c.prefs().setChunkSize(33000);
        c.program->exit(fetch<Exit>("kind"));
        c.program->exit(Exit::Save); // changes what is saved no more
        QTRY_COMPARE(closing.count(), 1);
        c.program->exit(Exit::Save);
        QCOMPARE(closing.count(), 1);
        QCOMPARE(notSaved, reason.isEmpty()
                               ? QList<QVariantList>()
                               : QList<QVariantList>{{"The settings could not be saved to " + file +
                                                      ": " + reason + "."}});
        const QStringList saved = fetch<QStringList>("saved");
        QCOMPARE(whatIsAt(file), saved.isEmpty() ? before : iniOf(saved, folder));
        QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        left.removeOne("tarvik.ini"), left.removeOne("nowhere"); // where the link leads
        QCOMPARE(left, QStringList());                           // no temporary file is left
    }
    // The slider is clamped and writes nothing to the file; the record follows it while
    // ChunkSizeSave is ticked. OK stores the switches, a ticked
    // switch's folder and a kept chunk size; the window then shows the stored values again. OK
    // that cannot read the file says why, and the record still takes the values.
    void preferencesOk_data()
    {
        // state: given to SaveSourceDir, ConfirmDel and ChunkSizeSave; recorded: the record's
        // ChunkSize after the slider moved; shown: the switches, the folders and the slider
        const Table<int, QString, QStringList, QString> row(
            {"state", "recorded", "stored", "shown"});
        row("cleared", 0, "50000", {"0", "1", "/in", "/out", "0", "0", "0", "40000"},
            "01000 |/out 40000");
        row("greyed", 2, "50000", {"2", "1", "/in", "/out", "2", "0", "2", "40000"},
            "21202 |/out 40000");
        row("ticked", 1, "70000", {"1", "1", "", "/out", "1", "0", "1", "60000"},
            "11101 |/out 60000");
    }
    void preferencesOk()
    {
        const int state = fetch<int>("state");
        const QByteArray ini = iniOf({"1", "1", "/in", "/tgt", "1", "0", "1", "50000"});
        Core c(ini);
        Preferences& p = c.prefs();
        const auto shown = [&] {
            QString states;
            for (const Id id : {Id::SaveSourceDir, Id::SaveTargetDir, Id::ConfirmDel, Id::ClearQue,
                                Id::ChunkSizeSave})
                states += QString::number(p.checkState(id));
            return states + ' ' + p.folderText(Id::SourceDir) + '|' + p.folderText(Id::TargetDir) +
                   ' ' + QString::number(p.chunkSize());
        };
        p.setFolderText(Id::SourceDir, "");
        p.setFolderText(Id::TargetDir, "/out");
        for (const Id id : {Id::SaveSourceDir, Id::ConfirmDel, Id::ChunkSizeSave})
            p.setCheckState(id, state);
        p.setChunkSize(5);
        QCOMPARE(p.chunkSize(), kChunkMin);
        p.setChunkSize(99999);
        QCOMPARE(p.chunkSize(), kChunkMax);
        QTEST(c.settings()[Id::ChunkSize].value_or(kNone), "recorded");
        QCOMPARE(c.iniBytes(), ini);
        p.setCheckState(Id::ChunkSizeSave, 0);
        p.setChunkSize(60000);
        p.setCheckState(Id::ChunkSizeSave, state);
        QVERIFY(c.program->store().storePreferences());
        QCOMPARE(c.iniBytes(), iniOf(fetch<QStringList>("stored")));
        p.discardWindowValues();
        QTEST(shown(), "shown");
        QVERIFY(QFile::remove(c.iniPath()) && QDir().mkdir(c.iniPath()));
        p.setCheckState(Id::ClearQue, 1);
        QString why;
        QVERIFY(!c.program->store().storePreferences(&why));
        QCOMPARE(why, "the existing file could not be read");
        QCOMPARE(c.settings()[Id::ClearQue].value_or(kNone), "1");
        QCOMPARE(p.checkState(Id::ClearQue), 1);
    }
    // A program beside its guide, or with a settings file beside it, is portable. Installed (its
    // guide in ../share/doc/reelbind), its settings live in the user's config folder and a first
    // start takes the Videos folder, or home; nothing is written beside the program. "{p}": the
    // prefix, "{h}": home; XDG_CONFIG_HOME is config under home, or unset.
    void whereFilesLive_data()
    {
        const Table<QStringList, QString, QStringList> row({"made", "config", "places"});
        const QString ini = "{p}/bin/tarvik.ini", guide = "{p}/share/doc/reelbind/Readme.html";
        const QStringList portable = {"{p}/bin", "{p}/bin/Readme.html", "{p}/bin"};
        const QString home = "{h}/.config/reelbind";
        row("build folder", {}, "", portable);
        row("settings beside", {ini, guide}, "", portable);
        row("installed", {guide}, "", {home, guide, "{h}"});
        row("Videos", {guide, "{h}/Videos/"}, "", {home, guide, "{h}/Videos"});
        row("config folder", {guide}, "cfg", {"{h}/cfg/reelbind", guide, "{h}"});
        row("config is a file", {guide, "{h}/file"}, "file", {"{h}/file/reelbind", guide, "{h}"});
    }
    void whereFilesLive()
    {
        QTemporaryDir prefix, home;
        const auto in = [&](QString path) {
            return path.replace("{p}", prefix.path()).replace("{h}", home.path());
        };
        const QStringList made = fetch<QStringList>("made");
        for (const QString& path : made)
            QVERIFY(QDir().mkpath(QFileInfo(in(path)).path()) &&
                    (path.endsWith('/') || write(in(path), "[Preferences]\n")));
        const QString config = fetch<QString>("config"), bin = in("{p}/bin");
        const QByteArray env[] = {qgetenv("HOME"), qgetenv("XDG_CONFIG_HOME")};
        const auto restore =
            qScopeGuard([&] { qputenv("HOME", env[0]), qputenv("XDG_CONFIG_HOME", env[1]); });
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.isEmpty() ? "" : in("{h}/" + config)));
        TestFileSystem files;
        const Locations l = (QDir().mkpath(bin), Locations::of(bin, files));
        QStringList places = fetch<QStringList>("places");
        std::transform(places.begin(), places.end(), places.begin(), in);
        QCOMPARE(QStringList({l.settingsFolder, l.readme, l.firstStartFolder}), places);
        QCOMPARE(l.installed, !l.settingsFolder.startsWith(bin));
        Core core(l); // start-up writes there, or runs on the first start's values
        QVERIFY(made.contains("{p}/bin/tarvik.ini") ||
                core.settings() == Settings::defaults(l.firstStartFolder));
        QCOMPARE(QFileInfo(l.settingsFile()).isFile(), config != "file");
        QCOMPARE(QDir(bin).entryList(QDir::Files),
                 l.installed ? QStringList() : QStringList{"tarvik.ini"});
    }
};

REELBIND_CORE_TEST_MAIN(TestSettings)
#include "test_settings.moc"
