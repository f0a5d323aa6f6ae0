// The platform on the real system: files, the trash, XDG, the hand-over, signals, the session bus.
#include "platform/PosixFileSystem.h"
#include "platform/SessionBus.h"
#include "platform/SignalWatcher.h"
#include "platform/SingleInstance.h"
#include "platform/XdgFolders.h"
#include "support/CoreSupport.h"
#include <QtDBus>
#include <csignal>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
using namespace TestSupport;
// A socket on `name` past Qt: connected (blocking), or bound with `how` = ::bind.
static int connectTo(const QString& name, decltype(::connect) how = ::connect)
{
    sockaddr_un addr{AF_UNIX, {}};
    qstrncpy(addr.sun_path, QFile::encodeName(name).constData(), sizeof addr.sun_path);
    const int c = ::socket(AF_UNIX, SOCK_STREAM, 0);
    return how(c, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), c;
}
/// The desktop's side: a notification service, and a launcher that listens.
class DesktopServices : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList heard;
public slots:
    uint Notify(const QString& app, uint, const QString& icon, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap&, int)
    {
        return heard << QStringList{"notify", app, icon, summary, body}.join('|'), 1;
    }
    void Update(const QString& app, const QVariantMap& p)
    {
        heard << app + ' ' + p["progress"].toString() + ' ' + p["progress-visible"].toString();
    }
};

class TestPlatform : public QObject
{
    Q_OBJECT
    PosixFileSystem fs;
    QTemporaryDir dir;
    const QString uid = QString::number(::getuid());
    QString at(const QString& name) const { return dir.filePath(name); }
private slots:
    void initTestCase()
    {
        for (const char* name : {"clip1.mpg", ".hidden.mpg", "odd[1].mpg", "only/.x.mpg", "locked"})
            makeFile((QDir().mkpath(at("only")), dir.path()), name, 7);
        makeFile(dir.path(), "empty.mpg", 0);
        QVERIFY(::mkfifo(QFile::encodeName(at("pipe.mpg")), 0600) == 0 &&
                QFile::setPermissions(at("locked"), QFile::WriteOwner) &&
                QFile::link(at("clip1.mpg"), at("link.mpg")) &&
                QFile::link(at("only"), at("linked")) &&
                QFile::link(at("missing.mpg"), at("dangling.mpg")) &&
                ::link(QFile::encodeName(at("odd[1].mpg")), QFile::encodeName(at("hard"))) == 0);
    }
    // What fileExists (no patterns), fileSize, readableFileSize and openInput say of `name`.
    void lookups_data()
    {
        const Table<QString, bool, QString, QString> row({"name", "found", "size", "readable"});
        const QString none = reason(ENOENT), folder = reason(EISDIR),
                      special = FileError::notRegular(false).text();
        for (const char* name : {"clip1.mpg", "link.mpg", "odd[1].mpg"})
            row(name, name, true, "7", "7");
        row("empty", "empty.mpg", true, "0", "0");
        row("hidden", ".hidden.mpg", false, "7", "7");
        row("locked", "locked", true, "7", ::geteuid() == 0 ? "7" : reason(EACCES)); // root reads
        for (const char* pattern : {"clip*.mpg", "?lip1.mpg", "c*1.*", "odd[1]*"})
            row(pattern, pattern, true, none, none);
        for (const char* name : {"missing.mpg", "dangling.mpg", "gone", "clip??.mpg", "CLIP*.MPG",
                                 ".hid*", "onl*", "odd1*", "pipe*", "nowhere/*", "only/*"})
            row(name, name, false, none, none);
        row("a folder", "only", false, folder, folder);
        row("the folder", "", false, folder, folder);
        row("a pipe", "pipe.mpg", false, special, special);
        row("a file as a folder", "clip1.mpg/", false, reason(ENOTDIR), reason(ENOTDIR));
    }
    void lookups()
    {
        const QString path = at(fetch<QString>("name")), readable = fetch<QString>("readable");
        const auto text = [](const auto& r) { return r ? QString::number(*r) : r.error().text(); };
        QCOMPARE(joined(fs.fileExists(path), text(fs.fileSize(path)),
                        text(fs.readableFileSize(path)), fs.openInput(path).error().text()),
                 joined(fetch<bool>("found"), fetch<QString>("size"), readable,
                        readable[0].isDigit() ? "" : readable));
    }
    // The same file; free space; a new file takes a target's place; trash, delete; small files.
    void sameFileFreeSpaceAndWrites()
    {
        QStringList seen;
        for (const char* target : {"odd[1].mpg", "only/../odd[1].mpg", "hard", "link.mpg",
                                   "linked/gone.mpg", "empty.mpg", "new.mpg"})
            seen << QString::number(fs.firstSameFile(
                {at("clip1.mpg"), at("odd[1].mpg"), at("odd[1].mpg"), at("only/gone.mpg")},
                at(target)));
        const auto free = fs.freeSpace(dir.path()); // figures move a little between calls
        QVERIFY(free && qAbs(*free - QStorageInfo(dir.path()).bytesAvailable()) < qint64(64) << 20);
        const QString target = makeFile(dir.path(), "t.mpg", 10),
                      trashed = emptyTrash() + "files/t.mpg", ini = at("s.ini");
        const QFileDevice::Permissions mine = QFile::ReadOwner | QFile::WriteOwner;
        const qint64 limit = 4 << 20;
        const auto all = [&] { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); };
        const QStringList before = (QFile::setPermissions(target, mine), all());
        auto out = fs.createBeside(target);
        QVERIFY(out && !fs.freeSpace(at("no/such/folder")));
        seen << (*out)->path() + QString::number(all() == before) << (*out)->write("abc", 3).text()
             << (*out)->close().text() << QFileInfo((*out)->path()).fileName().left(16);
        const FileIdentity written = fs.identity((*out)->path());
        seen << (*out)->nameAs(target).text() << readAll(target)
             << QString::number(written.size == 3 && fs.identity(target).unchangedSince(written))
             << QString::number((QFileInfo(target).permissions() & 0x7077) == mine)
             << fs.makeDurable(target).text() << fs.makeDurable(at("no")).text()
             << fs.moveToTrash(target).text() << readAll(trashed) << readAll(target)
             << QString::number(fs.moveToTrash(at("no")).failed()) << fs.removeFile(trashed).text()
             << fs.removeFile(at("no")).text();
        out->reset();
        QCOMPARE(seen.join('|'), "1|1|1|0|3|-1|-1|1|||.t.mpg.reelbind-||abc|1|1||" +
                                     reason(ENOENT) + "||abc|<missing>|1||" + reason(ENOENT));
        // A folder moved while a file is written in it: the naming fails, the file goes with it.
        auto moved = (QDir().mkdir(at("sub")), fs.createBeside(at("sub/t.mpg")));
        QVERIFY(moved && QDir().rename(at("sub"), at("moved")) && !(*moved)->close().failed() &&
                (*moved)->nameAs(at("sub/t.mpg")).code() == ENOENT && (moved->reset(), true));
        QCOMPARE(QDir(at("moved")).entryList(QDir::Files | QDir::Hidden), QStringList());
        QVERIFY(fs.readSmallFile(writeFile(ini, QByteArray(limit, ';')), limit)->size() == limit);
        QCOMPARE(fs.readSmallFile(writeFile(ini, QByteArray(limit + 1, ';')), limit).error().text(),
                 reason(EFBIG));
        QVERIFY(QFile::setPermissions(writeFile(ini, "k=1"), mine) &&
                !fs.replaceFile(ini, "k=2").failed() && *fs.readSmallFile(ini, limit) == "k=2" &&
                (QFileInfo(ini).permissions() & 0x7077) == mine);
    }
    // The trash records each name exactly; another file system (FUSE) has a trash of its own.
    void trashRecordsExactNames_data()
    {
        const Table<QString, bool> row({"name", "elsewhere"});
        row("a newline", "new\nline.mpg", false);
        row("percent, spaces", "sp ace%25.mpg", false);
        row("other scripts", "日本 ü #1.mpg", false);
        row("another file system", "away.mpg", true);
    }
    void trashRecordsExactNames()
    {
        const QString name = fetch<QString>("name");
        const auto view =
            fetch<bool>("elsewhere") ? std::make_unique<BindView>(dir.path()) : nullptr;
        if (view && !view->mounted)
            QSKIP("bindfs (FUSE) cannot mount here: the case on a second file system was not run");
        const QString bin = view ? view->filePath(".Trash-%1/").arg(::geteuid()) : emptyTrash();
        const QString path = makeFile(view ? view->path() : dir.path(), name, 10, 4),
                      moved = fs.moveToTrash(path).text();
        const QByteArray info = readAll(bin + "info/" + name + ".trashinfo");
        const QByteArray recorded = info.mid(info.indexOf("\nPath=") + 6).split('\n')[0];
        QCOMPARE(joined(moved, QFile::exists(path),
                        readAll(bin + "files/" + name) == pattern(10, 4),
                        QString::fromUtf8(QByteArray::fromPercentEncoding(recorded))),
                 joined("", false, true, view ? name : at(name)));
    }
    // A relative XDG folder is unset (GLib then trashes under HOME), a list loses relative entries.
    void relativeXdgFoldersAreIgnored_data()
    {
        const Table<QString, QString, QString> row({"variable", "value", "after"});
        row("data home", "XDG_DATA_HOME", "data", "<unset>");
        row("config home", "XDG_CONFIG_HOME", "./config", "<unset>");
        row("cache home", "XDG_CACHE_HOME", "cache/", "<unset>");
        row("state home", "XDG_STATE_HOME", "../state", "<unset>");
        row("runtime folder", "XDG_RUNTIME_DIR", "run", "<unset>");
        row("config folders", "XDG_CONFIG_DIRS", "etc:xdg", "<unset>");
        row("an absolute one", "XDG_CACHE_HOME", "/var/cache/x", "/var/cache/x");
        row("data folders", "XDG_DATA_DIRS", "share:/usr/share::s/x:/opt/share",
            "/usr/share:/opt/share");
    }
    void relativeXdgFoldersAreIgnored()
    {
        const QByteArray variable = fetch<QString>("variable").toLatin1(), was = qgetenv(variable);
        const bool set = qEnvironmentVariableIsSet(variable);
        const auto back = qScopeGuard([&] { set ? qputenv(variable, was) : qunsetenv(variable); });
        qputenv(variable, QFile::encodeName(fetch<QString>("value")));
        ignoreRelativeXdgFolders();
        QCOMPARE(qEnvironmentVariable(variable, "<unset>"), fetch<QString>("after"));
    }
    // The socket in the runtime folder (mode, 0: none) or the own one in TMPDIR (-1: a file).
    void socketFolder_data()
    {
        const Table<int, int, bool, QString, QString> row(
            {"runtime", "own", "others", "socketIn", "refusal"});
        const QString after = "this Reelbind runs on its own, and neither passes files to one "
                              "already running nor takes files from a later start.",
                      alone = " is not a folder of yours alone; " + after;
        row("the runtime folder", 0700, 0, false, "run", "");
        row("runtime folder open to others", 0777, 0, false, "own", "");
        row("runtime folder open to the group", 0750, 0, false, "own", "");
        row("no runtime folder", 0, 0, false, "own", "");
        row("own folder there", 0777, 0700, false, "own", "");
        row("own folder open to others", 0777, 0777, false, "", alone);
        row("own folder open to the group", 0, 0770, false, "", alone);
        row("own folder another user's", 0, 0700, true, "", alone);
        row("temporary folder a file", 0, -1, false, "",
            " cannot be made (" + qt_error_string(ENOTDIR) + "); " + after);
    }
    void socketFolder()
    {
        const int runtime = fetch<int>("runtime"), own = fetch<int>("own");
        const QString in = fetch<QString>("socketIn");
        QTemporaryDir base;
        const QString run = base.filePath("run"), tmp = base.filePath("tmp"),
                      mine = tmp + "/reelbind-" + uid;
        const QByteArray env[] = {qgetenv("XDG_RUNTIME_DIR"), qgetenv("TMPDIR")};
        const auto restore =
            qScopeGuard([&] { qputenv("XDG_RUNTIME_DIR", env[0]), qputenv("TMPDIR", env[1]); });
        qputenv("XDG_RUNTIME_DIR", runtime ? QFile::encodeName(run) : "");
        QVERIFY(
            qputenv("TMPDIR", QFile::encodeName(tmp)) &&
            (!runtime || (QDir().mkpath(run) && ::chmod(QFile::encodeName(run), runtime) == 0)));
        QVERIFY(own < 0 ? QFile(tmp).open(QIODevice::WriteOnly) : QDir().mkpath(tmp));
        QVERIFY(own <= 0 || (QDir().mkdir(mine) && ::chmod(QFile::encodeName(mine), own) == 0));
        if (fetch<bool>("others") && ::chown(QFile::encodeName(mine), 1, 1) != 0)
            QSKIP("only root can give a folder to another user");
        QString said = "unchanged";
        const QString name = SingleInstance::socketName("xcb", ":42.0", &said);
        struct stat st; // the program's own folder made 0700, or left as it stood
        QCOMPARE(
            joined(name, said,
                   ::stat(QFile::encodeName(mine), &st) == 0 && (st.st_mode & 0777) == 0700),
            joined(in.isEmpty() ? "" : (in == "run" ? run : mine) + "/reelbind-" + uid + "-xcb-_42",
                   in.isEmpty() ? "reelbind: " + mine + fetch<QString>("refusal") : "unchanged",
                   in == "own" || own == 0700));
        QVERIFY(!in.isEmpty() ||
                (!SingleInstance().listen(name) && !SingleInstance::handOver(name, {"/a"}, 500)));
    }
    // One socket a display however written: [host]:number[.screen], "unix" local; Wayland by name.
    void oneSocketPerDisplay_data()
    {
        const Table<QString, QStringList, QStringList> row({"platform", "same", "others"});
        row("screens, unix", "xcb", {":0", ":0.0", ":0.1", "unix:0", "unix:0.1"}, {":1", "host:0"});
        row("a leading zero", "xcb", {":01", ":1"}, {":10", "unix:10"});
        row("hosts", "xcb", {"host:0.1", "host:0"}, {"a:0", "localhost:0", ":0"});
        row("localhost, over the network", "xcb", {"localhost:10"}, {":10"});
        row("Wayland", "wayland", {"wayland-0", "{run}/wayland-0"}, {"/elsewhere/wayland-0"});
        row("an untidy path", "wayland", {"{run}/x/..//wayland-1", "wayland-1"}, {"wayland-0"});
    }
    void oneSocketPerDisplay()
    {
        const QString platform = fetch<QString>("platform"), run = qgetenv("XDG_RUNTIME_DIR");
        QStringList same, others;
        for (QString display : fetch<QStringList>("same"))
            same << SingleInstance::socketName(platform, display.replace("{run}", run)),
                others << SingleInstance::socketName(platform == "xcb" ? "wayland" : "xcb",
                                                     display);
        for (const QString& display : fetch<QStringList>("others"))
            others << SingleInstance::socketName(platform, display);
        QVERIFY(same[0].startsWith(run + "/reelbind-") && !others.contains(same[0]));
        QCOMPARE(same, QStringList(same.size(), same[0]));
    }
    // Files come across whole past a crash's socket, bad connections, a low limit, 5 × 56 MiB.
    void filesGoToTheRunningProgram()
    {
        const QString name = SingleInstance::socketName("xcb", ":42");
        QVERIFY(!name.isEmpty() && !SingleInstance::handOver(name, {"/a"}, 500)); // none listens
        QVERIFY(::close(connectTo(name, ::bind)) == 0);
        SingleInstance running, second;
        QVERIFY(running.listen(name) && !second.listen(name));
        QStringList handed, files; // the event loop runs again inside, as in a message box
        connect(&running, &SingleInstance::filesHanded, this,
                [&](const QStringList& f) { handed << f.join('+'), QTest::qWait(20); });
        qint64 most = 0, bound = qint64(256) << 20; // the most held between two of its reads
        QTimer look;
        connect(&look, &QTimer::timeout, this, [&] { most = qMax(most, running.bufferedBytes()); });
        look.start(0);
        rlimit old, low{rlim_t(QDir("/proc/self/fd").count() + 230), 0};
        QVERIFY(getrlimit(RLIMIT_NOFILE, &old) == 0 && (low.rlim_max = old.rlim_max) > 0);
        QList<int> fds, big(5, -1);
        const auto raw = [&](const QByteArray& bytes, int piece) {
            const int c = fds.emplaceBack(connectTo(name));
            for (int i = 0; i < bytes.size(); i += piece)
                ::write(c, bytes.constData() + i, qMin(piece, int(bytes.size()) - i));
        };
        std::atomic<int> taken{-1}, done{0}; // from other threads, while this one runs the loop
        std::thread other([&] {
            for (int i = 0; i < 150; ++i)
                raw({}, 1);
            raw(QByteArray::fromHex("0000000000000003") + QByteArray("/p\0", 3), 1);
            raw(QByteArray::fromHex("0000000004000001"), 8);
            raw(QByteArray::fromHex("0000000000000002") + "/q", 8);
            taken = SingleInstance::handOver(name, {"/movies/a b.mpg", "/movies/ä.mpg"}, 5000);
        });
        QVERIFY(setrlimit(RLIMIT_NOFILE, &low) == 0);
        QTRY_VERIFY_WITH_TIMEOUT(taken >= 0 && handed.size() == 2, 20000);
        other.join();
        QVERIFY(setrlimit(RLIMIT_NOFILE, &old) == 0);
        std::for_each(fds.begin(), fds.end(), ::close);
        QCOMPARE(joined(taken, handed.join(' ')), "1 | /p /movies/a b.mpg+/movies/ä.mpg");
        const QByteArray unfinished =
            QByteArray::fromHex("0000000004000000") + QByteArray(qint64(56) << 20, 'x');
        std::vector<std::thread> senders;
        for (int& fd : big) // each blocks until all is sent or its connection goes
            senders.emplace_back([&] {
                ::send(fd = connectTo(name), unfinished.data(), unfinished.size(), MSG_NOSIGNAL);
                ++done;
            });
        QTRY_VERIFY_WITH_TIMEOUT(done == big.size(), 20000);
        for (int i = 0; i < 10000; ++i)
            files << "/movies/" + QString(3980, QChar('a' + i % 26)) + QString::number(i);
        QCOMPARE_GT(running.bufferedBytes() + 8 + files.join('-').size() + 1, bound); // no room
        std::thread last([&] { taken = SingleInstance::handOver(name, files, 20000); });
        QTRY_VERIFY_WITH_TIMEOUT(handed.size() == 3, 20000);
        last.join();
        std::for_each(senders.begin(), senders.end(), [](std::thread& t) { t.join(); });
        std::for_each(big.begin(), big.end(), ::close);
        QVERIFY(taken == 1 && handed[2] == files.join('+') && most <= bound);
        QCOMPARE_LE(running.bufferedBytes(), 3 * unfinished.size()); // two or more went
    }
    // A logout's signals reach the event loop, one each, in order; then the default handlers.
    void unixSignals()
    {
        QList<int> got;
        std::signal(SIGHUP, SIG_IGN);
        auto watcher = std::make_unique<SignalWatcher>(QList<int>{SIGTERM, SIGINT, SIGHUP});
        connect(watcher.get(), &SignalWatcher::received, this, [&got](int n) { got << n; });
        ::raise(SIGHUP), ::raise(SIGTERM), ::raise(SIGINT), ::raise(SIGHUP);
        QVERIFY(got.isEmpty()); // nothing runs inside the handler
        QTRY_COMPARE(got, QList<int>({SIGHUP, SIGTERM, SIGINT, SIGHUP}));
        watcher.reset();
        QVERIFY(std::signal(SIGHUP, SIG_DFL) == SIG_DFL);
    }
    void desktopHearsTheProgressAndOneNotification()
    {
        DesktopServices desktop;
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "desk");
        const auto drop = qScopeGuard([] { QDBusConnection::disconnectFromBus("desk"); });
        if (!bus.isConnected())
            QSKIP("no session bus of the test's own: not run");
        QVERIFY(bus.registerService("org.freedesktop.Notifications") &&
                bus.registerObject("/org/freedesktop/Notifications", &desktop,
                                   QDBusConnection::ExportAllSlots) &&
                bus.connect({}, {}, "com.canonical.Unity.LauncherEntry", "Update", &desktop,
                            SLOT(Update(QString, QVariantMap))));
        SessionBus session("org.reelbind.Reelbind", "Orvel's Reelbind");
        session.launcherProgress(0.25, true);
        session.notify("Joining Files...Done!", "File /m/t.mpg has successfully been joined!");
        session.launcherProgress(0, false);
        QTRY_COMPARE(desktop.heard,
                     QStringList({"application://org.reelbind.Reelbind.desktop 0.25 true",
                                  "notify|Orvel's Reelbind|org.reelbind.Reelbind|Joining "
                                  "Files...Done!|File /m/t.mpg has successfully been joined!",
                                  "application://org.reelbind.Reelbind.desktop 0 false"}));
    }
};
REELBIND_CORE_TEST_MAIN(TestPlatform)
#include "test_platform.moc"
