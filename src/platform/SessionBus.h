#pragma once

#include <QString>

/// The desktop's session bus, for what a long job tells the desktop: its
/// progress on the program's launcher icon (the com.canonical.Unity.
/// LauncherEntry "Update" signal that KDE's task manager and GNOME's docks
/// read) and a notification (org.freedesktop.Notifications). Without a
/// session bus, or without a notification service, nothing happens and
/// nothing is said; no bus is ever started for it.
class SessionBus
{
public:
    /// For the program whose desktop entry is `desktopId`.desktop, named
    /// `name`, with the icon `desktopId`.
    SessionBus(QString desktopId, QString name);

    /// Shows `progress` (0 to 1) on the launcher icon; `visible` false takes
    /// it away.
    void launcherProgress(double progress, bool visible);
    /// Asks for one notification: the program's name and icon, `summary`,
    /// `body`. Does not wait for the service.
    void notify(const QString& summary, const QString& body);

private:
    QString m_desktopId;
    QString m_name;
};
