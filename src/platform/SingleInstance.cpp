#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const char kTaken = 'T';
// A message: its length (8 bytes, big-endian), then the paths in UTF-8, each ended by a NUL.
constexpr qint64 kMaxMessage = qint64(64) << 20;
constexpr qint64 kMaxBuffered = qint64(256) << 20;
constexpr qsizetype kMaxPaths = 100000;
constexpr int kMaxConnections = 64;
constexpr int kConnectionMs = 5000;
void drop(QLocalSocket* socket)
{
    socket->abort();
    socket->deleteLater();
}
QString displayKey(const QString& platform, const QString& display)
{
    if (platform == QLatin1String("wayland")) {
        const QString path = QDir::cleanPath(display);
        const QString runtime = QDir::cleanPath(qEnvironmentVariable("XDG_RUNTIME_DIR"));
        return !runtime.isEmpty() && path.startsWith(QLatin1Char('/')) &&
                       path.section(QLatin1Char('/'), 0, -2) == runtime
                   ? path.section(QLatin1Char('/'), -1)
                   : display;
    }
    const qsizetype colon = display.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return display;
    const QString host = display.left(colon);
    QString number = display.mid(colon + 1).section(QLatin1Char('.'), 0, 0);
    bool isNumber = false;
    const uint n = number.toUInt(&isNumber);
    if (isNumber)
        number = QString::number(n); // ":01" is ":1"
    return (host == QLatin1String("unix") ? QString() : host) + QLatin1Char(':') + number;
}
} // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::socketName(const QString& platform, const QString& display,
                                   QString* refusal)
{
    const auto onlyMine = [](const QString& folder) {
        struct stat st;
        return !folder.isEmpty() && ::lstat(QFile::encodeName(folder).constData(), &st) == 0 &&
               S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
    };
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!onlyMine(folder)) {
        // Qt's temporary folder is empty where TMPDIR names none: then the system's.
        const QString temp = QDir::tempPath();
        folder = (temp.isEmpty() ? QStringLiteral("/tmp") : temp) +
                 QStringLiteral("/reelbind-%1").arg(::getuid());
        const int made = ::mkdir(QFile::encodeName(folder).constData(), 0700) == 0 ? 0 : errno;
        if (!onlyMine(folder)) {
            if (refusal)
                *refusal =
                    made != 0 && made != EEXIST
                        ? QCoreApplication::translate(
                              "SingleInstance",
                              "reelbind: %1 cannot be made (%2); this Reelbind runs on its own, "
                              "and neither passes files to one already running nor takes files "
                              "from a later start.")
                              .arg(folder, qt_error_string(made))
                        : QCoreApplication::translate(
                              "SingleInstance",
                              "reelbind: %1 is not a folder of yours alone; this Reelbind runs "
                              "on its own, and neither passes files to one already running nor "
                              "takes files from a later start.")
                              .arg(folder);
            return QString();
        }
    }
    QString key = platform + QLatin1Char('-') + displayKey(platform, display);
    for (QChar& c : key) // a plain loop: no pattern compiled at every start
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('.') &&
            c != QLatin1Char('-'))
            c = QLatin1Char('_');
    return folder + QStringLiteral("/reelbind-%1-%2").arg(::getuid()).arg(key);
}

bool SingleInstance::handOver(const QString& name, const QStringList& files, int timeoutMs)
{
    if (name.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray message(8, '\0');
    for (const QString& file : files)
        message += file.toUtf8() + '\0';
    qToBigEndian<quint64>(message.size() - 8, message.data());
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (socket.bytesAvailable() < 1)
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    char answer = 0;
    return socket.getChar(&answer) && answer == kTaken;
}

bool SingleInstance::listen(const QString& name)
{
    // A program that answers is running. Asked first: with access options Qt
    // puts its socket in place by renaming, which would take over the name.
    if (name.isEmpty())
        return false;
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(1000))
        return false;
    QLocalServer::removeServer(name); // what is left of a program that crashed
    delete m_server;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(name)) {
        delete m_server;
        m_server = nullptr;
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::takeConnection);
    return true;
}

void SingleInstance::takeConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        // Idle connections go, the oldest first, so they never use up the file descriptors the
        // listener needs to accept the next one, and the newest start is always heard.
        m_open.removeAll(nullptr);
        while (m_open.size() >= kMaxConnections)
            drop(m_open.takeFirst());
        m_open.append(socket);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kConnectionMs, socket, [socket] { drop(socket); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            readMessage(socket);
            boundBuffers();
        });
    }
    boundBuffers();
}

qint64 SingleInstance::bufferedBytes() const
{
    qint64 total = 0;
    for (const QLocalSocket* socket : m_open)
        total += socket ? socket->bytesAvailable() : 0;
    return total;
}

void SingleInstance::boundBuffers()
{
    // Run after every read, so each connection may read no more than the room left: Qt stops
    // reading a socket whose buffer is full, and the sender waits.
    m_open.removeAll(nullptr);
    qint64 total = bufferedBytes();
    while (total >= kMaxBuffered) {
        const auto most = std::max_element(m_open.begin(), m_open.end(), [](auto& a, auto& b) {
            return a->bytesAvailable() < b->bytesAvailable();
        });
        total -= (*most)->bytesAvailable();
        drop(*most);
        m_open.erase(most);
    }
    for (QLocalSocket* socket : std::as_const(m_open)) {
        // What Qt's socket holds: the rest of bytesAvailable() was peeked into the device's own
        // buffer. Never 0, which would mean no limit.
        const qint64 held = socket->bytesAvailable() - socket->QIODevice::bytesAvailable();
        socket->setReadBufferSize(std::min(held + kMaxBuffered - total, 8 + kMaxMessage));
    }
}

void SingleInstance::readMessage(QLocalSocket* socket)
{
    char head[8];
    if (socket->peek(head, 8) < 8)
        return;
    const quint64 size = qFromBigEndian<quint64>(head);
    if (size > quint64(kMaxMessage))
        return drop(socket);
    if (socket->bytesAvailable() < qint64(8 + size))
        return; // the rest is still on its way; read once it is all there
    socket->skip(8);
    const QByteArray body = socket->read(qint64(size));
    const QList<QByteArray> parts = body.split('\0');
    QStringList files;
    for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); ++i)
        files << QString::fromUtf8(parts[i]);
    if (files.isEmpty() || files.size() != parts.size() - 1 || files.size() > kMaxPaths)
        return drop(socket); // not a message of ours
    socket->putChar(kTaken);
    socket->flush();
    // Acted on after this handler returned: whatever the files bring up (a message box and its
    // event loop) never runs inside the socket's handler.
    QMetaObject::invokeMethod(
        this, [this, files] { emit filesHanded(files); }, Qt::QueuedConnection);
}
