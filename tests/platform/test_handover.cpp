// The hand-over to a running program over its local socket, and Unix signals in the event loop.
#include "platform/SignalWatcher.h"
#include "platform/SingleInstance.h"
#include "support/TestMain.h"

#include <QtTest>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
// The address of the socket `name`; a blocking connection to it, past Qt.
sockaddr_un addressOf(const QString& name)
{
    sockaddr_un addr{AF_UNIX, {}};
    qstrncpy(addr.sun_path, QFile::encodeName(name).constData(), sizeof addr.sun_path);
    return addr;
}
int connectTo(const QString& name)
{
    const sockaddr_un addr = addressOf(name);
    const int c = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ::connect(c, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    return c;
}
} // namespace

class TestHandover : public QObject
{
    Q_OBJECT
private slots:
    // This user's socket, on this platform's display, in a folder only the user reaches: the
    // runtime folder (mode `runtime`; 0: none named) or else the program's own folder in the
    // temporary folder (`tmp`: a folder, else a file), made 0700 where it is not there yet (`own`:
    // already there with that mode, `owner`'s, -1 for this user's), or none, which a start says.
    void socketFolder_data()
    {
        QTest::addColumn<int>("runtime");
        QTest::addColumn<int>("own");
        QTest::addColumn<int>("owner");
        QTest::addColumn<bool>("tmp");
        QTest::addColumn<QString>("socketIn");
        QTest::addColumn<QString>("refusal"); // what a start says without one, after the folder
        const QString alone = " is not a folder of yours alone; ",
                      made = " cannot be made (" + qt_error_string(ENOTDIR) + "); ",
                      after = "this Reelbind runs on its own, and neither passes files to one "
                              "already running nor takes files from a later start.";
        const auto row = [](const char* tag, int runtime, int own, int owner, bool tmp,
                            const char* socketIn, const QString& refusal) {
            QTest::newRow(tag) << runtime << own << owner << tmp << socketIn << refusal;
        };
        row("the runtime folder", 0700, 0, -1, true, "runtime", "");
        row("runtime folder open to others", 0777, 0, -1, true, "own", "");
        row("runtime folder open to the group", 0750, 0, -1, true, "own", "");
        row("no runtime folder", 0, 0, -1, true, "own", "");
        row("own folder there", 0777, 0700, -1, true, "own", "");
        row("own folder open to others", 0777, 0777, -1, true, "", alone + after);
        row("own folder open to the group", 0, 0770, -1, true, "", alone + after);
        row("own folder another user's", 0, 0700, 1, true, "", alone + after);
        row("temporary folder a file", 0, 0, -1, false, "", made + after);
    }
    void socketFolder()
    {
        QFETCH(int, runtime);
        QFETCH(int, own);
        QFETCH(int, owner);
        QFETCH(bool, tmp);
        QFETCH(QString, socketIn);
        QFETCH(QString, refusal);
        QTemporaryDir base;
        const QString run = base.filePath("run"), mine = base.filePath("tmp/reelbind-%1");
        const QString ownFolder = mine.arg(::getuid());
        const QByteArray env[] = {qgetenv("XDG_RUNTIME_DIR"), qgetenv("TMPDIR")};
        const auto restore =
            qScopeGuard([&] { qputenv("XDG_RUNTIME_DIR", env[0]), qputenv("TMPDIR", env[1]); });
        qputenv("XDG_RUNTIME_DIR", runtime ? QFile::encodeName(run) : QByteArray());
        qputenv("TMPDIR", QFile::encodeName(base.filePath("tmp")));
        QVERIFY(!runtime || (QDir().mkpath(run) && ::chmod(QFile::encodeName(run), runtime) == 0));
        QVERIFY(tmp ? QDir().mkpath(base.filePath("tmp"))
                    : QFile(base.filePath("tmp")).open(QIODevice::WriteOnly));
        QVERIFY(!own ||
                (QDir().mkdir(ownFolder) && ::chmod(QFile::encodeName(ownFolder), own) == 0));
        if (owner >= 0 && ::chown(QFile::encodeName(ownFolder), owner, owner) != 0)
            QSKIP("only root can give a folder to another user");
        const QString folder = socketIn == "runtime" ? run : socketIn == "own" ? ownFolder : "";
        const QString uid = QString::number(::getuid());
        QString said = "unchanged";
        const QString name = SingleInstance::socketName("xcb", ":42.0", &said);
        QCOMPARE(name, folder.isEmpty() ? "" : folder + "/reelbind-" + uid + "-xcb-_42");
        QCOMPARE(said, refusal.isEmpty() ? "unchanged" : "reelbind: " + ownFolder + refusal);
        QCOMPARE(SingleInstance::socketName("wayland", "w-1"),
                 folder.isEmpty() ? "" : folder + "/reelbind-" + uid + "-wayland-w-1");
        struct stat st;
        QVERIFY(socketIn != "own" ||
                (::stat(QFile::encodeName(ownFolder), &st) == 0 && (st.st_mode & 0777) == 0700));
        QVERIFY(!folder.isEmpty() ||
                (!SingleInstance().listen(name) && !SingleInstance::handOver(name, {"/a"}, 500)));
    }
    // One socket a display, however its name is written: X's [host]:number[.screen] without the
    // screen, "unix" the local host; a Wayland socket in the runtime folder ({run}) by its name.
    void oneSocketPerDisplay_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("other");
        QTest::addColumn<bool>("same");
        const auto row = [](const char* tag, const char* platform, const char* display,
                            const char* other, bool same) {
            QTest::newRow(tag) << platform << display << other << same;
        };
        row("a screen", "xcb", ":0", ":0.0", true);
        row("other screens", "xcb", ":0.1", ":0.2", true);
        row("unix, the local host", "xcb", "unix:0", ":0", true);
        row("unix and a screen", "xcb", "unix:0.1", ":0.0", true);
        row("a leading zero", "xcb", ":01", ":1", true);
        row("a host's screen", "xcb", "host:0.1", "host:0", true);
        row("another display", "xcb", ":1", ":0", false);
        row("a host", "xcb", "host:0", ":0", false);
        row("localhost, over the network", "xcb", "localhost:10", ":10", false);
        row("another host", "xcb", "a:0", "b:0", false);
        row("a Wayland path", "wayland", "wayland-0", "{run}/wayland-0", true);
        row("an untidy path", "wayland", "{run}/x/..//wayland-1", "wayland-1", true);
        row("a Wayland socket elsewhere", "wayland", "/elsewhere/wayland-0", "wayland-0", false);
        row("another Wayland display", "wayland", "wayland-1", "wayland-0", false);
    }
    void oneSocketPerDisplay()
    {
        QFETCH(QString, platform);
        QFETCH(QString, display);
        QFETCH(QString, other);
        QFETCH(bool, same);
        const QString run = qEnvironmentVariable("XDG_RUNTIME_DIR");
        const QString name = SingleInstance::socketName(platform, display.replace("{run}", run));
        QVERIFY(name.startsWith(run + "/reelbind-"));
        QCOMPARE(SingleInstance::socketName(platform, other.replace("{run}", run)) == name, same);
        QVERIFY(platform != "wayland" || SingleInstance::socketName("xcb", display) != name);
    }
    // A socket left by a crash does not stop the next program, a second listener runs on its
    // own, and the files come across whole while bad connections come and go.
    void filesGoToTheRunningProgram()
    {
        const QString name = SingleInstance::socketName("xcb", ":42");
        QVERIFY(!name.isEmpty());
        QVERIFY(!SingleInstance::handOver(name, {"/a"}, 500)); // nobody listens yet
        const sockaddr_un addr = addressOf(name);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0 &&
                !::close(fd));
        SingleInstance running, second;
        QVERIFY(running.listen(name) && !second.listen(name));
        QStringList handed; // the event loop runs again inside, as in a message box
        connect(&running, &SingleInstance::filesHanded, this,
                [&](const QStringList& f) { handed << f.join('+'), QTest::qWait(20); });
        // Meanwhile, under a low file limit: 150 idle connections, a message in 1-byte pieces, a
        // length past 64 MiB, one without its last NUL, then a hand-over of two files.
        rlimit old, low{rlim_t(QDir("/proc/self/fd").count() + 230), 0};
        QVERIFY(getrlimit(RLIMIT_NOFILE, &old) == 0 && (low.rlim_max = old.rlim_max) > 0);
        QList<int> fds;
        const auto raw = [&](const QByteArray& bytes, int piece) {
            const int c = fds.emplaceBack(connectTo(name));
            for (int i = 0; i < bytes.size(); i += piece)
                ::write(c, bytes.constData() + i, qMin(piece, int(bytes.size()) - i));
        };
        std::atomic<int> taken{-1}; // from another thread, while this one runs the event loop
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
        QCOMPARE(QString::number(taken) + ' ' + handed.join(' '),
                 "1 /p /movies/a b.mpg+/movies/ä.mpg");
    }
    // Five connections that each send 56 MiB of a 64 MiB message and never finish hold 256 MiB
    // at most together: the one holding the most goes when more comes. A whole message of 38 MiB
    // still comes across while the four left hold 224 MiB.
    void unfinishedMessagesShareOneBound()
    {
        const QString name = SingleInstance::socketName("xcb", ":43");
        SingleInstance running;
        QVERIFY(running.listen(name));
        QStringList handed;
        connect(&running, &SingleInstance::filesHanded, this,
                [&](const QStringList& f) { handed = f; });
        qint64 most = 0; // the most the listener held between two of its reads
        QTimer look;
        connect(&look, &QTimer::timeout, this,
                [&] { most = std::max(most, running.bufferedBytes()); });
        look.start(0);
        const qint64 bound = qint64(256) << 20, part = qint64(56) << 20;
        const QByteArray unfinished =
            QByteArray::fromHex("0000000004000000") + QByteArray(part, 'x');
        std::atomic<int> done{0}, taken{-1};
        QList<int> fds(5, -1);
        std::vector<std::thread> senders;
        for (int& fd : fds)
            senders.emplace_back([&] {
                qint64 sent = 0, n = (fd = connectTo(name), 0);
                while (sent < unfinished.size() &&
                       (n = ::send(fd, unfinished.constData() + sent, unfinished.size() - sent,
                                   MSG_NOSIGNAL)) > 0)
                    sent += n;
                ++done;
            });
        QTRY_VERIFY_WITH_TIMEOUT(done == fds.size(), 20000);
        QStringList files;
        for (int i = 0; i < 10000; ++i)
            files << "/movies/" + QString(3980, QChar('a' + i % 26)) + QString::number(i);
        const qint64 message = 8 + files.join('-').size() + 1; // the length, then paths and NULs
        QCOMPARE_GT(running.bufferedBytes() + message, bound); // no room for the whole message
        std::thread other([&] { taken = SingleInstance::handOver(name, files, 20000); });
        QTRY_VERIFY_WITH_TIMEOUT(taken >= 0 && !handed.isEmpty(), 20000);
        other.join();
        for (std::thread& sender : senders)
            sender.join();
        const auto closed = std::count_if(fds.begin(), fds.end(), [](int fd) {
            char c;
            const ssize_t got = ::recv(fd, &c, 1, MSG_DONTWAIT);
            return got == 0 || (got < 0 && errno != EAGAIN);
        });
        std::for_each(fds.begin(), fds.end(), ::close);
        QCOMPARE(taken, 1);
        QVERIFY(handed == files);
        QCOMPARE_LE(most, bound);
        QCOMPARE_GE(closed, 2); // at least two of them went for the others
    }
    // A logout's signals reach the event loop, one each, in order; then the default handlers.
    void unixSignals()
    {
        QList<int> got;
        std::signal(SIGHUP, SIG_IGN);
        auto watcher = std::make_unique<SignalWatcher>(QList<int>{SIGTERM, SIGINT, SIGHUP});
        connect(watcher.get(), &SignalWatcher::received, this, [&got](int n) { got << n; });
        for (const int n : {SIGHUP, SIGTERM, SIGINT, SIGHUP})
            ::raise(n);
        QVERIFY(got.isEmpty()); // nothing runs inside the handler
        QTRY_COMPARE(got, QList<int>({SIGHUP, SIGTERM, SIGINT, SIGHUP}));
        watcher.reset();
        QVERIFY(std::signal(SIGHUP, SIG_DFL) == SIG_DFL);
    }
};

REELBIND_CORE_TEST_MAIN(TestHandover)
#include "test_handover.moc"
