#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class frmReelbind;
class FakePlatform;
class QWidget;

namespace TestSupport {

/// Settings every GUI test wants: Qt's own dialogs, the program's font.
void initGuiTest();

/// Titles (or object names) of top-level widgets that are still visible.
QStringList visibleTopLevels();

/// Closes and deletes every top-level widget; returns what was visible.
QStringList closeAllTopLevels();

/// How many top-level widgets inherit `className` (shown or hidden).
int topLevelCount(const char* className);

/// Faults in a fixed layout of `window`'s direct children: a control that
/// leaves the window, two that overlap, or a text drawn larger than its
/// control (a push button keeps 4 pixels of bevel a side). Empty if none.
QStringList layoutFaults(const QWidget* window);

/// Writes `size` bytes to dir/name; byte i is (i * 131 + seed) % 251.
QString makeFile(const QString& dir, const QString& name, qint64 size, int seed = 0);

/// The bytes makeFile writes.
QByteArray pattern(qint64 size, int seed);

/// A main window on a fresh program folder with a scripted desktop.
struct App
{
    /// Names a program folder other than the fresh temporary one.
    struct InFolder
    {
        QString path;
    };

    QTemporaryDir folder;
    std::unique_ptr<FakePlatform> platform;
    std::unique_ptr<frmReelbind> window;

    /// Writes `ini` (if not null) as tarvik.ini before the window starts.
    explicit App(const char* ini = nullptr);
    /// Writes `ini` as tarvik.ini, bytes as given (NULs included).
    explicit App(const QByteArray& ini);
    /// Starts the window with `where.path` as its program folder; nothing is
    /// written there first. `folder` still exists for the test's own files.
    explicit App(InFolder where);
    ~App();
    /// The window's program folder.
    QString programFolder() const;
    QString iniPath() const;
    /// The settings file's bytes, or "<missing>".
    QByteArray iniBytes() const;
    /// The nine lines a first start writes for this program folder.
    QByteArray firstStartIni() const;

private:
    QString m_programFolder;
};

} // namespace TestSupport
