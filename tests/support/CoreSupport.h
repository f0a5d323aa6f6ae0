#pragma once

#include "core/Program.h"
#include "support/TestFileSystem.h"
#include "support/TestMain.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <functional>
#include <memory>

namespace TestSupport {

/// Writes `size` bytes to dir/name; byte i is (i * 131 + seed) % 251. Its path.
QString makeFile(const QString& dir, const QString& name, qint64 size, int seed = 0);
/// The bytes makeFile writes.
QByteArray pattern(qint64 size, int seed);
/// A sparse file of `size` bytes (where only sizes matter); its path.
QString sized(const QString& dir, const QString& name, qint64 size);
/// A file's bytes, or "<missing>".
QByteArray readAll(const QString& path);
/// The values as text (bools: true/false), joined by " | ".
template <typename... Values> QString joined(const Values&... v)
{
    return QStringList({QVariant(v).toString()...}).join(QStringLiteral(" | "));
}
/// The system's text for an error number, as the program shows it.
QString reason(int error);
/// The tests' own trash, in the isolated data folder (isolateEnvironment()), emptied; its
/// folder, ending in "/".
QString emptyTrash();

/// Spins the event loop until `done` holds; false (the test then fails) after `ms`.
bool waitUntil(const std::function<bool()>& done, int ms = 120000);

/// Drives joins through a session as a user would, from the test's thread:
/// answers the question with `choice` and the save dialog with `target`
/// (empty: cancelled); records what was asked and each phase, and runs
/// onPhase(phase) after it took a phase in (for what the user does then).
struct JoinDriver : QObject
{
    explicit JoinDriver(JoinSession& session);
    JoinSession& session;
    JoinSession::Choice choice = JoinSession::Choice::Cancel;
    QString target;
    QString question, dialogFolder, dialogFilter;
    bool offered = false;
    QList<JoinSession::Phase> phases;
    std::function<void(JoinSession::Phase)> onPhase = [](JoinSession::Phase) {};
    /// Starts a join and waits for its end; false when it did not start or end.
    bool run();
    /// The phases as digits ("12456": the enum's values).
    QString phaseDigits() const;
};

/// A started program on a fresh program folder (or the one InFolder names, where nothing is
/// written first), without windows, on the real file system with a scripted free space.
struct Core
{
    struct InFolder
    {
        QString path;
    };
    QTemporaryDir folder;
    TestFileSystem files;
    std::unique_ptr<Program> program;
    /// Writes `ini` (if not null) as tarvik.ini before the start-up.
    explicit Core(const QByteArray& ini = QByteArray());
    explicit Core(const char* ini) : Core(QByteArray(ini)) {}
    explicit Core(InFolder where) : m_programFolder(where.path) { start({}); }
    explicit Core(const Locations& where) : m_programFolder(where.settingsFolder) { start(where); }
    virtual ~Core() = default;
    Settings& settings() { return program->settings(); }
    Preferences& prefs() { return program->prefs(); }
    JoinQueue& queue() { return program->queue(); }
    JoinSession& join() { return program->join(); }
    QString programFolder() const { return m_programFolder; }
    QString iniPath() const { return program->iniPath(); }
    QByteArray iniBytes() const { return readAll(iniPath()); }
    /// The nine lines a first start writes for this program folder.
    QByteArray firstStartIni() const
    {
        const QByteArray d = m_programFolder.toUtf8();
        return "[Preferences]\nSaveSourceDir=1\nSaveTargetDir=1\nSourceDir=" + d +
               "\nTargetDir=" + d +
               "\nConfirmDel=1\nClearQue=0\nChunkSizeSave=1\nChunkSize=40000\n";
    }

private:
    void start(Locations where); // none: portable in the program folder
    QString m_programFolder;
};

} // namespace TestSupport
