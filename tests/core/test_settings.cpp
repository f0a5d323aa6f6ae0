// The settings: their file's format as bytes, where it lives, the rules for stored texts,
// start-up, Exit, OK in the preferences window, and a file or disk in the way.
#include "core/Profile.h"
#include "support/CoreSupport.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace SettingRules;
using namespace TestSupport;
using Exit = Program::ExitKind;
using Id = SettingId;

class TestSettings : public QObject
{
    Q_OBJECT
    const QByteArray kStored = iniFile("1|1|/in|/tgt|1|0|1|50000");
private slots:
    // "content => value of k in A" ("<default>": none), then " @S": in section S, " #N": into
    // a buffer of N characters.
    void reads_data()
    {
        addRows({"^||[A]^^||^j=1^k=6 => 6", "[a]|K=6| => 6", " \t[ A ] \t|\t k \t=  6 \t| => 6",
                 "[Ärger]|k=1| => <default> @ärger", "[A]b]|k=1| => 1 @A]b", "[A]|[B|k=1| => 1",
                 "[A]|k = b = c| => b = c", "[A]|k=1 ;x| => 1 ;x", "[A]|;k=1|k=2| => 2",
                 "k=0|[A]|x=1| => <default>", "[B]|k=1| => <default>",
                 "[A]|a=1|[B]|k=2| => <default>"},
                {"[A]|k=| => ", "[A]|k=1|[a]|k=2| => 1", "[A]|j=1|[a]|k=3| => <default>",
                 "[A]|K=1|k=2| => 1", "[A]|k = \" a \"| =>  a ", "[A]|k='b'| => b",
                 "[A]|k=\"\"| => ", "[A]|k=\"abc| => \"abc", "[A]|k=\"abc'| => \"abc'",
                 "[A]|k=/a~b| => /a", "\xef\xbb\xbf[A]|k=1| => 1", "[A]|k=abcdef| => abc #4"});
        // Cut after the quotes go, in whole characters.
        QTest::newRow("254 d") << "[A]|k=\"" + QString(254, 'd') + "\"| => " + QString(254, 'd');
        QTest::newRow("254 ä") << "[A]|k=" + QString(300, u'ä') + " => " + QString(254, u'ä');
    }
    void reads()
    {
        QFETCH(QString, row);
        const QString want = row.section(" => ", 1);
        const QString section = want.contains(" @") ? want.section(" @", 1) : "A";
        const int size = want.contains(" #") ? want.section(" #", 1).toInt() : 255;
        QCOMPARE(
            Profile::getString(lines(row.section(" => ", 0, 0)), section, "k", "<default>", size),
            want.section(QRegularExpression(" [@#]"), 0, 0));
    }
    // "content := value of k in A (<none>: no value) => content after".
    void writes_data()
    {
        addRows({" := v => [A]|k=v|", "[B]|k=1| := v => [B]|k=1|[A]|k=v|",
                 "[B]|k=1 := v => [B]|k=1|[A]|k=v|", "[A]|  K =  v \t| := v => [A]|  K =  v \t|",
                 "[A]|;n|||[B]| := v => [A]|;n|k=v|||[B]|", "[A]||[B]| := v => [A]|k=v||[B]|",
                 "[A]|a=1 := v => [A]|a=1|k=v|", "[A]|k=1| :=  => [A]|k=|",
                 "[A]| := /Käse=y ;z => [A]|k=/Käse=y ;z|", "[A]| :=   \t v w  => [A]|k=v w |",
                 "[A]|k=1|j=2| := a^|b|c => [A]|k=a  b c|j=2|",
                 "[A]|k=1|k=2|[a]|k=3| := v => [A]|k=v|k=2|[a]|k=3|"},
                {"[A]|a=1|K=2|b=3| := <none> => [A]|a=1|b=3|", "[A]|k=2|[B]| := <none> => [A]|[B]|",
                 "[A]|a=1| := <none> => [A]|a=1|", "[B]|k=1| := <none> => [B]|k=1|",
                 "[A]^|a=1 := v => [A]^|a=1^|k=v^|", "[A]|a=1^| := v => [A]|a=1^|k=v|",
                 "[A]^a=1^ := v => [A]^a=1^k=v|",
                 // In place: every other byte stays.
                 "; c \t^|^|x^|[O]  x^|k = \"q\"^|^|[a]^|  U=keep  ^|  K = 1 \t^|\t^|[T] := v => "
                 "; c \t^|^|x^|[O]  x^|k = \"q\"^|^|[a]^|  U=keep  ^|  K = v^|\t^|[T]"});
    }
    void writes()
    {
        QFETCH(QString, row);
        const QString value = row.section(" := ", 1).section(" => ", 0, 0);
        QCOMPARE(Profile::applyWrite(lines(row.section(" := ", 0, 0)), "A", "k",
                                     value == "<none>" ? Profile::Value() : QString(lines(value))),
                 lines(row.section(" => ", 1)));
    }
    // Any bytes read; a write reads back, writing it again changes nothing, other keys stay.
    void randomFilesAndWrites()
    {
        QRandomGenerator rng(20261207);
        const QList<QByteArray> pieces = QByteArray("[ ] = ; \t \r \n \r\n \" ' A a B k K x v [A] "
                                                    "[a]\n [B] k= x=1 \xff \xc3")
                                             .split(' ') +
                                         QList<QByteArray>{" ", "K = ", {"", 1}};
        const QStringList names = {"A", "a", "B", "k", "K", "x", "[", ""};
        const auto get = [](const QByteArray& in, const QString& s, const QString& k) {
            return Profile::getString(in, s, k, "<none>");
        };
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
            const QByteArray after = Profile::applyWrite(before, section, key, value);
            const QByteArray why = "round " + QByteArray::number(round) + ": " + before.toHex();
            if (key.contains('[') || key.contains('=') || section.contains(']'))
                continue; // names the format cannot hold
            QVERIFY2(get(after, section, key) == value, why);
            QVERIFY2(Profile::applyWrite(after, section, key, value) == after, why);
            for (const QString& s : names)
                for (const QString& k : names)
                    if (s.compare(section, Qt::CaseInsensitive) ||
                        k.compare(key, Qt::CaseInsensitive))
                        QVERIFY2(get(before, s, k) == get(after, s, k), why);
        }
    }
    // The program's surroundings > settings folder | user's guide's folder | first-start
    // folder; {p} the prefix, {h} home, where "file" is a file: no folder can be made in it.
    void whereFilesLive_data()
    {
        addRows({"build folder > {p}/bin|{p}/bin|{p}/bin", "doc ini > {p}/bin|{p}/bin|{p}/bin",
                 "doc > {h}/.config/reelbind|{p}/share/doc/reelbind|{h}",
                 "doc videos > {h}/.config/reelbind|{p}/share/doc/reelbind|{h}/Videos",
                 "doc config=cfg > {h}/cfg/reelbind|{p}/share/doc/reelbind|{h}",
                 "doc config=file > {h}/file/reelbind|{p}/share/doc/reelbind|{h}"});
    }
    void whereFilesLive()
    {
        QFETCH(QString, row);
        const QString tree = row.section(" > ", 0, 0);
        QTemporaryDir prefix, home;
        const QString p = prefix.path(), h = home.path(), doc = p + "/share/doc/reelbind";
        QVERIFY(QDir().mkpath(p + "/bin") && QDir().mkpath(doc) && writeFile(h + "/file", ""));
        QVERIFY(!tree.contains("doc") || writeFile(doc + "/Readme.html", "<html>"));
        QVERIFY(!tree.contains("ini") || writeFile(p + "/bin/tarvik.ini", "[Preferences]\n"));
        QVERIFY(!tree.contains("videos") || QDir().mkpath(h + "/Videos"));
        qputenv("HOME", QFile::encodeName(h));
        const QString config = tree.section("config=", 1); // XDG_CONFIG_HOME, under home
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.isEmpty() ? "" : h + '/' + config));
        PosixFileSystem files;
        const Locations l = Locations::of(p + "/bin", files);
        const QStringList w = row.section(" > ", 1).replace("{p}", p).replace("{h}", h).split('|');
        QCOMPARE(QStringList({l.settingsFile(), l.readme, l.firstStartFolder}),
                 QStringList({w[0] + "/tarvik.ini", w[1] + "/Readme.html", w[2]}));
        QCOMPARE(l.installed, tree.contains("doc") && !tree.contains("ini"));
        // Start-up writes there, not beside the program; where it cannot, on the defaults.
        Core core(l);
        QVERIFY(tree.contains("ini") || core.settings() == Settings::defaults(l.firstStartFolder));
        QCOMPARE(QFileInfo(l.settingsFile()).isFile(), config != "file");
        QCOMPARE(QDir(p + "/bin").entryList(QDir::Files),
                 QStringList(tree.contains("ini") || !l.installed ? 1 : 0, "tarvik.ini"));
    }
    void numberRules() // "rule:text=result|..."; "１" is a fullwidth 1
    {
        for (const QString cases :
             {"leadingNumber:abc=0|12abc=12| \t 7=7|.5=0.5|3.=3|-3=-3|+2=2|4e4=4e4|1e=1|- 1=0|"
              ".=0|1,5=1|1.2.3=1.2|１=0|1e999=inf|99999999999=99999999999",
              "checkStateOf:0=0|1=1|2=2|7=0|-1=0|2.5=2|3.5=0|1abc=1|1e999=0|<none>=0",
              "chunkSizeOf:5=10000|1e999=70000|-1e999=10000|60000.5=60000|60001.5=60002|"
              "60000.51=60001|70000.6=70000|<none>=10000",
              "wholeTextIsOne:1.0=1| 1 =1|+1=1|1e0=1|=0| =0|1x=0|01x=0|0.999=0|1 "
              "1=0|11=0|<none>=0"})
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
    // A file as read (its fields, written anew) or damaged (the first start's file, the old one
    // beside). Only a ticked box reads its folder, a whole 1 the chunk size; missing: empty.
    void startUpReads_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("fields");
        const QString longer = "/" + QString(299, 'm');
        QTest::newRow("whole 1, long folder, huge chunk size")
            << iniFile("1|1|" + longer + "|/t|1|1|1.0|99999999999")
            << "1|1|" + longer.left(254) + "|/t|1|1|1.0|70000";
        QTest::newRow("greyed") << iniFile("2|1|/s|/t|2|2|2|60000") << "2|1|<none>|/t|2|2|2|40000";
        QTest::newRow("1x") << iniFile("1|1|/s|/t|1|1|1x|60000") << "1|1|/s|/t|1|1|1x|40000";
        QTest::newRow("other lines go")
            << ";\n[O]\nx=1\n" + iniFile("1|1|/in|\"/out dir\"|0|1|1|20000") + "U=1\n[T]"
            << "1|1|/in|/out dir|0|1|1|20000";
        QTest::newRow("missing") << iniFile("1") << "1|||<none>||||40000";
        QTest::newRow("binary") << pattern(65536, 7) << "";
        QTest::newRow("too big") << iniFile("0") + QByteArray(5 << 20, ';') << "";
        QTest::newRow("not UTF-8") << QByteArray("[Preferences]\nSourceDir=/v\xe9\n") << "";
        QTest::newRow("no section") << QByteArray("[Prefs]\nClearQue=1\n") << "";
    }
    void startUpReads()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, fields);
        const Core core(ini);
        QCOMPARE(core.iniBytes(), fields.isEmpty() ? core.firstStartIni() : iniFile(fields));
        QCOMPARE(readAll(core.iniPath() + ".bad"), fields.isEmpty() ? ini : "<missing>");
    }
    // Start-up without a usable file, then Exit (or the close box, which does not save).
    void defaultsThenExit_data()
    {
        addRows({"Exit", "close box", "dangling link", "missing folder", "folder in its place",
                 "too big at Exit", "pipe at Exit"});
    }
    void defaultsThenExit()
    {
        QFETCH(QString, row);
        const bool writable = row != "missing folder" && row != "folder in its place";
        const bool atExit = row.endsWith("at Exit"), pipe = row == "pipe at Exit";
        QTemporaryDir dir;
        const QString folder = writable ? dir.path() : dir.filePath("gone"),
                      ini = folder + "/tarvik.ini";
        QVERIFY(row != "dangling link" || QFile::link(dir.filePath("nowhere"), ini));
        QVERIFY(row != "folder in its place" || QDir().mkpath(ini));
        Core c(Core::InFolder{folder});
        QCOMPARE(c.settings(), Settings::defaults(folder));
        QByteArray after = writable ? c.firstStartIni() : "<missing>";
        QVERIFY(!atExit || pipe ||
                writeFile(ini, after = QByteArray(Profile::kMaxFileSize + 1, ';')));
        QVERIFY(!pipe || (QFile::remove(ini) && makePipe(ini))); // Exit must still end
        QSignalSpy closing(c.program.get(), &Program::closing);
        QSignalSpy notSaved(c.program.get(), &Program::settingsNotSaved);
        c.settings()[Id::ClearQue] = "1";
        c.prefs().setChunkSize(33000);
        c.program->exit(row == "close box" ? Exit::WithoutSaving : Exit::Save);
        c.program->exit(Exit::Save); // already closing: nothing more happens
        if (writable && !atExit && row != "close box")
            after.replace("ClearQue=0", "ClearQue=1").replace("ChunkSize=40000", "ChunkSize=33000");
        QCOMPARE(pipe ? QFileInfo(ini).isFile() ? "file" : "pipe" : c.iniBytes(),
                 pipe ? "pipe" : after);
        QCOMPARE((QList<int>{int(closing.count()), QFileInfo::exists(folder)}),
                 (QList<int>{1, row != "missing folder"}));
        // Not saved: the message names the file it could not write, and why.
        const QString said = notSaved.value(0).value(0).toString(),
                      why = "The settings could not be saved to " + ini + ": ";
        QCOMPARE(QString::number(notSaved.count()) + said.left(atExit ? -1 : why.size()),
                 writable && !atExit ? "0"
                 : atExit            ? "1" + why + "the existing file could not be read."
                                     : "1" + why);
    }
    void diskFullAtStartUp()
    {
        QTemporaryDir dir;
        const QByteArray before = iniFile("1|0|/old/src|/old/tgt|0|1|1|60000") + "; padding\n";
        QVERIFY(writeFile(dir.filePath("tarvik.ini"), before));
        auto full = std::make_unique<FileSizeLimit>(32); // on a full disk the old file is kept
        QVERIFY(full->active());
        Core c(Core::InFolder{dir.path()});
        full.reset();
        QCOMPARE(c.iniBytes(), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"tarvik.ini"});
        c.program->exit(Exit::Save); // once there is room again, Exit writes what was read
        QCOMPARE(c.iniBytes(), iniFile("1|0|/old/src|<none>|0|1|1|60000") + "; padding\n");
    }
    // RememberSource, ConfirmDel, ChunkSizeSave in one state > the record's ChunkSize after the
    // slider's end | the fields after OK (the slider's, not the record's) | live values again.
    void switchStates_data()
    {
        addRows({"0 > 50000|0|1|/in|/out|0|0|0|40000|01000||/out|40000",
                 "1 > 70000|1|1||/out|1|0|1|60000|11101||/out|60000",
                 "2 > 50000|2|1|/in|/out|2|0|2|40000|21202||/out|40000"});
    }
    void switchStates()
    {
        QFETCH(QString, row);
        const int state = row.left(1).toInt();
        Core c(kStored);
        Preferences& p = c.prefs();
        p.setFolderText(Id::SourceDir, ""); // edits before the box is cleared are not kept
        p.setFolderText(Id::TargetDir, "/out");
        for (Id id : {Id::SaveSourceDir, Id::ConfirmDel, Id::ChunkSizeSave})
            p.setCheckState(id, state);
        p.setChunkSize(5);
        QCOMPARE(p.chunkSize(), 10000); // clamped, as the slider does
        p.setChunkSize(99999);
        const QString record = *c.settings()[Id::ChunkSize];
        QCOMPARE(c.iniBytes(), kStored); // moving the slider writes nothing
        p.setCheckState(Id::ChunkSizeSave, 0);
        p.setChunkSize(60000);
        p.setCheckState(Id::ChunkSizeSave, state);
        QVERIFY(c.program->store().storePreferences());
        const QByteArray ini = c.iniBytes();
        p.discardWindowValues();
        const QStringList want = row.section(" > ", 1).split('|');
        QCOMPARE(record + '|' + QString(ini) + liveOf(p),
                 want[0] + '|' + iniFile(want.mid(1, 8).join('|')) + want.mid(9).join('|'));
        if (state != 1)
            return; // OK when the file cannot be read says why and keeps the values:
        QVERIFY(QFile::remove(c.iniPath()) && QDir().mkdir(c.iniPath()));
        p.setCheckState(Id::ClearQue, 1);
        const QString live = liveOf(p);
        QString reason;
        QVERIFY(!c.program->store().storePreferences(&reason));
        QCOMPARE(reason + '|' + liveOf(p), "the existing file could not be read|" + live);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
