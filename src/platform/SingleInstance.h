#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

/// One program per user and graphical session: the first start listens on a
/// local socket; a later start with files hands them over and ends. The
/// socket's name holds the user and the display, so programs on different
/// displays (tests side by side) never meet, and one display has one socket
/// however it is named; only the user may connect. A socket left by a
/// program that crashed does not stop the next one.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    /// The socket for this user on this display of this platform (as Qt
    /// uses them: "xcb" and ":0"), in a folder only the user can reach:
    /// the runtime folder ($XDG_RUNTIME_DIR) when it is such, or else a
    /// folder of the program's own in the temporary folder, made with mode
    /// 0700. An X display is "[host]:number[.screen]": the screen does not
    /// count, and the host "unix" is the local one (":0", ":0.1" and
    /// "unix:0" are one display; "host:0" another). A Wayland display named
    /// by its path in the runtime folder is the one of its bare name.
    /// Empty when that folder is another user's, open to others or cannot be
    /// made: then no program hands over or listens, and `refusal` (if given)
    /// gets one line that names the folder and says so, for standard error.
    static QString socketName(const QString& platform, const QString& display,
                              QString* refusal = nullptr);

    /// Hands `files` (full paths) to the program listening on `name` and
    /// waits up to `timeoutMs` for it to take them. False when none listens
    /// or none answers.
    static bool handOver(const QString& name, const QStringList& files, int timeoutMs = 10000);

    /// Starts listening as the program of this session. False when another
    /// program already listens there (this one then runs on its own).
    bool listen(const QString& name);

    /// The bytes held of messages not yet taken, over all connections.
    /// Never more than 256 MiB: when the connections together would hold
    /// more, the one holding the most is closed.
    qint64 bufferedBytes() const;

signals:
    /// A later start handed over these files; emitted from the event loop,
    /// never inside the connection's own handler. A message is at most 64 MiB
    /// and 100,000 paths; a connection that sends none within 5 s is closed,
    /// and so is the oldest when a 65th comes; see bufferedBytes().
    void filesHanded(const QStringList& files);

private:
    void takeConnection();
    void readMessage(QLocalSocket* socket);
    void boundBuffers();

    QLocalServer* m_server = nullptr;
    QList<QPointer<QLocalSocket>> m_open; // the connections, oldest first
};
