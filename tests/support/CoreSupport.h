#pragma once

#include "core/EventPump.h"
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

/// The pump in tests: lets events in as the real one does, counts, then calls onPump(count).
struct CountingPump : EventPump
{
    int count = 0;
    std::function<void(int)> onPump;
    void pumpEvents() override
    {
        QCoreApplication::processEvents();
        if (++count, onPump)
            onPump(count);
    }
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
    CountingPump pump;
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
