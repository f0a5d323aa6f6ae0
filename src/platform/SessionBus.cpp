#include "platform/SessionBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileInfo>
#include <QVariantMap>

namespace {

// Only a bus that is there: asked without one, the library may start one of its own (X11
// autolaunch).
bool busThere()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS") ||
           (!runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus")));
}

} // namespace

SessionBus::SessionBus(QString desktopId, QString name)
    : m_desktopId(std::move(desktopId)), m_name(std::move(name))
{
}

void SessionBus::launcherProgress(double progress, bool visible)
{
    if (!busThere())
        return;
    QDBusMessage update = QDBusMessage::createSignal(
        QStringLiteral("/org/reelbind/Reelbind"),
        QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
    update << QStringLiteral("application://%1.desktop").arg(m_desktopId)
           << QVariantMap{{QStringLiteral("progress"), progress},
                          {QStringLiteral("progress-visible"), visible}};
    QDBusConnection::sessionBus().send(update);
}

void SessionBus::notify(const QString& summary, const QString& body)
{
    if (!busThere())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call << m_name << uint(0) << m_desktopId << summary << body << QStringList()
         << QVariantMap{{QStringLiteral("desktop-entry"), m_desktopId}} << int(-1);
    call.setAutoStartService(false);
    QDBusConnection::sessionBus().send(call);
}
