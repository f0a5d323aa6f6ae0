#pragma once

#include "core/Program.h"
#include "support/FakeDesktop.h"
#include "support/TestFileSystem.h"

#include <QCoreApplication>
#include <QEvent>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class frmReelbind;
class QWidget;

namespace TestSupport {

/// Settings every GUI test wants: Qt's own dialogs, the program's font.
void initGuiTest();

/// Titles (or object names) of top-level widgets that are still visible.
QStringList visibleTopLevels();

/// Closes every visible top-level widget; returns what was visible.
QStringList closeAllTopLevels();

/// How many top-level widgets inherit `className` (shown or hidden).
int topLevelCount(const char* className);

/// Faults in a fixed layout of `window`'s direct children: a control that
/// leaves the window, two that overlap, or a text drawn larger than its
/// control (a push button keeps 4 pixels of bevel a side). Empty if none.
QStringList layoutFaults(const QWidget* window);

/// The controls of `window` a screen reader could not name: each that takes
/// the keyboard, and each progress bar, without an accessible name.
QStringList unnamedControls(const QWidget* window);

/// Writes `size` bytes to dir/name; byte i is (i * 131 + seed) % 251. Its path.
QString makeFile(const QString& dir, const QString& name, qint64 size, int seed = 0);

/// The bytes makeFile writes.
QByteArray pattern(qint64 size, int seed);

/// A sparse file of `size` bytes (where only sizes matter); its path.
QString sized(const QString& dir, const QString& name, qint64 size);

/// A file's bytes, or "<missing>".
QByteArray readAll(const QString& path);

/// The system's text for an error number, as the program shows it.
QString reason(int error);

/// Calls fn(n) once in every event pump (n from 1) while it lives: an event
/// that posts itself again is delivered once per processEvents().
class EachPump : public QObject
{
public:
    explicit EachPump(std::function<void(int)> fn) : m_fn(std::move(fn)) { post(); }
    int count() const { return m_count; }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != kType)
            return QObject::event(e);
        m_fn(++m_count);
        post();
        return true;
    }

private:
    void post() { QCoreApplication::postEvent(this, new QEvent(kType)); }
    static constexpr QEvent::Type kType = QEvent::Type(QEvent::User + 71);
    std::function<void(int)> m_fn;
    int m_count = 0;
};

/// A started program on a fresh program folder, without windows, on the
/// real file system with a scripted free space.
struct Core
{
    /// Names a program folder other than the fresh temporary one.
    struct InFolder
    {
        QString path;
    };

    QTemporaryDir folder; // the program folder, unless InFolder named another
    TestFileSystem files;
    std::unique_ptr<Program> program;

    /// Writes `ini` (if not null) as tarvik.ini before the start-up.
    explicit Core(const QByteArray& ini = QByteArray());
    explicit Core(const char* ini) : Core(QByteArray(ini)) {}
    /// Starts with `where.path` as the program folder; nothing is written
    /// there first.
    explicit Core(InFolder where);
    /// Starts with these locations.
    explicit Core(const Locations& where);
    virtual ~Core();

    Settings& settings() { return program->settings(); }
    Preferences& prefs() { return program->prefs(); }
    JoinQueue& queue() { return program->queue(); }
    JoinSession& join() { return program->join(); }

    QString programFolder() const { return m_programFolder; }
    QString iniPath() const;
    /// The settings file's bytes, or "<missing>".
    QByteArray iniBytes() const;
    /// The nine lines a first start writes for this program folder.
    QByteArray firstStartIni() const;

private:
    QString m_programFolder;
};

/// The same with its main window on a scripted desktop.
struct App : Core
{
    FakeDesktop desktop;
    std::unique_ptr<frmReelbind> window;

    explicit App(const QByteArray& ini = QByteArray());
    explicit App(const char* ini) : App(QByteArray(ini)) {}
    explicit App(InFolder where);
    ~App() override;
};

} // namespace TestSupport
