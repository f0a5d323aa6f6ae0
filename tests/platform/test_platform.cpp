// The real file system, and one program per user and display taking the files of later starts
// over a local socket.
#include "platform/PosixFileSystem.h"
#include "platform/SingleInstance.h"
#include "support/CoreSupport.h"

#include <QStorageInfo>
#include <QtTest>
#include <atomic>
#include <cerrno>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace TestSupport;

class TestPlatform : public QObject
{
    Q_OBJECT
    PosixFileSystem fs;
    QTemporaryDir dir;
    QString at(const QString& name) const { return dir.filePath(name); }
private slots:
    void initTestCase()
    {
        QVERIFY(QDir(dir.path()).mkdir("only") && makePipe(at("pipe.mpg")));
        for (const char* name : {"clip1.mpg", ".hidden.mpg", "odd[1].mpg", "only/.x.mpg", "locked"})
            makeFile(dir.path(), name, 7);
        makeFile(dir.path(), "empty.mpg", 0);
        QVERIFY(QFile::setPermissions(at("locked"), QFile::WriteOwner));
        QVERIFY(QFile::link(at("clip1.mpg"), at("link.mpg")) &&
                QFile::link(at("only"), at("linked")));
        QVERIFY(QFile::link(at("missing.mpg"), at("dangling.mpg")));
        QCOMPARE(::link(QFile::encodeName(at("odd[1].mpg")), QFile::encodeName(at("hard"))), 0);
    }
    // "+": found, "-": not (a lone "-": no name); "only" holds a hidden file alone.
    void fileExists_data()
    {
        addRows({"+clip1.mpg", "+empty.mpg", "+link.mpg", "+clip*.mpg", "+?lip1.mpg", "+c*1.*",
                 "+odd[1].mpg", "+odd[1]*", "-.hidden.mpg", "-only", "-missing.mpg",
                 "-dangling.mpg", "-pipe.mpg", "-clip??.mpg", "-CLIP*.MPG", "-.hid*", "-onl*"},
                {"-odd1*", "-pipe*", "-clip1.mpg/", "-nowhere/*", "-only/*", "-"});
    }
    void fileExists() { QCOMPARE(fs.fileExists(at(row().mid(1))), row()[0] == '+'); }
    // "name > as fileSize, readableFileSize and openInput see it"; opening a pipe could wait
    // for a writer forever.
    void sizes_data()
    {
        addRows(
            {"link.mpg > 7|7|ok", "only > Is a directory|Is a directory|Is a directory",
             "pipe.mpg > Not a regular file|Not a regular file|Not a regular file",
             "gone > No such file or directory|No such file or directory|No such file or "
             "directory"},
            {geteuid() ? "locked > 7|Permission denied|Permission denied" : "empty.mpg > 0|0|ok"});
    }
    void sizes()
    {
        const QString path = at(row().section(" > ", 0, 0));
        QCOMPARE(said(fs.fileSize(path)) + '|' + said(fs.readableFileSize(path)) + '|' +
                     said(fs.openInput(path)),
                 row().section(" > ", 1));
    }
    void sameFileAndFreeSpace()
    {
        // The last file, named by the target through a linked folder, was deleted meanwhile.
        const QStringList files = {at("clip1.mpg"), at("odd[1].mpg"), at("odd[1].mpg"),
                                   at("only/gone.mpg")};
        QStringList found;
        for (const char* target : {"odd[1].mpg", "only/../odd[1].mpg", "hard", "link.mpg",
                                   "linked/gone.mpg", "empty.mpg", "new.mpg"})
            found << QString::number(fs.firstSameFile(files, at(target)));
        QCOMPARE(found.join(' '), "1 1 1 0 3 -1 -1");
        const auto free = fs.freeSpace(dir.path()); // figures move a little between calls
        QVERIFY(free && qAbs(*free - QStorageInfo(dir.path()).bytesAvailable()) < qint64(64) << 20);
        QVERIFY(!fs.freeSpace(at("no/such/folder")));
    }
    // A new file takes the target's place with its permissions; then to a trash whose data
    // folder does not exist yet (Qt 6.4 put the file in ./files then).
    void replaceAndTrash()
    {
        const QString target = makeFile(dir.path(), "t.mpg", 10), home = at("home");
        const QFileDevice::Permissions mine = QFile::ReadOwner | QFile::WriteOwner;
        QVERIFY(QFile::setPermissions(target, mine));
        auto out = fs.createBeside(target);
        QVERIFY(out && QFileInfo((*out)->path()).fileName().startsWith(".t.mpg."));
        QCOMPARE(said((*out)->write("abc", 3)), "ok");
        QCOMPARE(said((*out)->close()), "ok");
        const FileIdentity written = fs.identity((*out)->path());
        QCOMPARE(said(fs.rename((*out)->path(), target)), "ok");
        QVERIFY(written.size == 3 && fs.identity(target).unchangedSince(written));
        QCOMPARE(readAll(target), "abc");
        QCOMPARE(QFileInfo(target).permissions() & 0x7077, mine);
        QCOMPARE(said(fs.makeDurable(target)), "ok");
        QCOMPARE(said(fs.makeDurable(at("nothing"))), reason(ENOENT));
        qputenv("XDG_DATA_HOME", QFile::encodeName(home + "/data"));
        QCOMPARE(said(fs.moveToTrash(target)), "ok");
        QCOMPARE(readAll(home + "/data/Trash/files/t.mpg"), "abc");
        QVERIFY(!QFile::exists(target) && !QFile::exists("files/t.mpg"));
        QVERIFY(fs.moveToTrash(at("nothing")).failed());
        QCOMPARE(said(fs.removeFile(home + "/data/Trash/files/t.mpg")), "ok");
        QCOMPARE(said(fs.removeFile(at("nothing"))), reason(ENOENT));
    }
    // Small files (the settings) are read whole up to a limit, a pipe never waited for; a
    // replaced one keeps its permissions.
    void smallFiles()
    {
        const QString path = at("s.ini");
        const qint64 limit = 4 << 20;
        QVERIFY(writeFile(path, QByteArray(limit, ';')));
        QCOMPARE(fs.readSmallFile(path, limit)->size(), limit);
        QVERIFY(writeFile(path, QByteArray(limit + 1, ';')));
        QCOMPARE(said(fs.readSmallFile(path, limit)), reason(EFBIG));
        QVERIFY(writeFile(path, "k=1") &&
                QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(said(fs.replaceFile(path, "k=2")), "ok");
        QCOMPARE(*fs.readSmallFile(path, limit), "k=2");
        QCOMPARE(QFileInfo(path).permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(QFile::remove(path) && makePipe(path));
        QCOMPARE(said(fs.readSmallFile(path, limit)), "Not a regular file");
        QVERIFY(fs.replaceFile(at("nowhere/s.ini"), "x").failed());
        QVERIFY(!fs.makeFolder(at("deep/er")).failed() && QFileInfo(at("deep/er")).isDir());
    }
    void filesGoToTheRunningProgram()
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
        qunsetenv("WAYLAND_DISPLAY");
        qputenv("DISPLAY", ":42.0");
        const QString name = SingleInstance::socketName(); // this user's, this display's
        qputenv("DISPLAY", ":43");
        QCOMPARE(name + (name == SingleInstance::socketName() ? " again" : ""),
                 dir.path() + QString("/reelbind-%1-_42.0").arg(::getuid()));
        QVERIFY(!SingleInstance::handOver(name, {"/a"}, 500)); // nobody listens yet
        // A socket left by a program that crashed does not stop the next one.
        sockaddr_un addr{AF_UNIX, {}};
        qstrncpy(addr.sun_path, QFile::encodeName(name).constData(), sizeof addr.sun_path);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 && !::close(fd));
        SingleInstance running, second; // a second program without files runs on its own
        QVERIFY(running.listen(name) && !second.listen(name));
        QSignalSpy handed(&running, &SingleInstance::filesHanded);
        const QStringList files = {"/movies/a b.mpg", QString::fromUtf8("/movies/ä.mpg")};
        std::atomic<int> taken{-1}; // from another thread, while this one runs the event loop
        std::thread other([&] { taken = SingleInstance::handOver(name, files, 5000); });
        QTRY_VERIFY_WITH_TIMEOUT(taken >= 0, 10000);
        other.join();
        QCOMPARE((QList<int>{taken.load(), int(handed.count())}), (QList<int>{1, 1}));
        QCOMPARE(handed.at(0).at(0).toStringList(), files);
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
