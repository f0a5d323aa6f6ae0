// One program per user and display: handing files over a local socket.
#include "platform/SingleInstance.h"

#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

class TestSingleInstance : public QObject
{
    Q_OBJECT
    QTemporaryDir m_runtime;

private slots:
    void scopedToUserAndDisplay()
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        qputenv("DISPLAY", ":42.0");
        qunsetenv("WAYLAND_DISPLAY");
        const QString here = SingleInstance::socketName();
        qputenv("DISPLAY", ":43");
        QVERIFY(here != SingleInstance::socketName());
        QCOMPARE(here, m_runtime.path() + QStringLiteral("/reelbind-%1-_42.0").arg(::getuid()));
    }

    void filesGoToTheRunningProgram()
    {
        const QString name = m_runtime.filePath("session");
        QVERIFY(!SingleInstance::handOver(name, {"/a"}, 500)); // nobody listens yet
        // A socket left by a program that crashed does not stop the next one.
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        qstrncpy(addr.sun_path, QFile::encodeName(name).constData(), sizeof addr.sun_path);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0);
        ::close(fd);
        SingleInstance running;
        QVERIFY(running.listen(name));
        SingleInstance second; // a second program without files runs on its own
        QVERIFY(!second.listen(name));
        QSignalSpy handed(&running, &SingleInstance::filesHanded);
        const QStringList files = {"/movies/a b.mpg", QString::fromUtf8("/movies/ä.mpg")};
        std::atomic<int> taken{-1}; // from another thread, while this one runs the event loop
        std::thread other([&] { taken = SingleInstance::handOver(name, files, 5000); });
        QTRY_VERIFY_WITH_TIMEOUT(taken >= 0, 10000);
        other.join();
        QCOMPARE(taken.load(), 1);
        QCOMPARE(handed.count(), 1);
        QCOMPARE(handed.at(0).at(0).toStringList(), files);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_singleinstance.moc"
