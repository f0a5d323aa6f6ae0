// What a long job tells the desktop over the session bus, heard by stand-ins for the desktop's
// notification service and launcher, on a bus of the test's own.
#include "platform/SessionBus.h"
#include "support/CoreSupport.h"

#include <QtDBus>

using namespace TestSupport;

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

class TestSessionBus : public QObject
{
    Q_OBJECT
private slots:
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

REELBIND_CORE_TEST_MAIN(TestSessionBus)
#include "test_session_bus.moc"
