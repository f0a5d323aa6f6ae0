#pragma once

#include "core/Program.h"
#include "support/TestFileSystem.h"
#include "support/TestMain.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <array>
#include <atomic>
#include <functional>
#include <memory>

namespace TestSupport {

/// Writes `size` bytes to dir/name; byte i is (i * 131 + seed) % 251. Its path.
QString makeFile(const QString& dir, const QString& name, qint64 size, int seed = 0);
/// The bytes makeFile writes.
QByteArray pattern(qint64 size, int seed);
/// Writes `bytes` to `path`; its path.
QString writeFile(const QString& path, const QByteArray& bytes);
/// A sparse file of `size` bytes (where only sizes matter); its path.
QString sized(const QString& dir, const QString& name, qint64 size);
/// A file's bytes, or "<missing>".
QByteArray readAll(const QString& path);
/// A value as text for joined(): bools true/false, a list its items joined by ",".
inline QString asText(const QStringList& list)
{
    return list.join(QLatin1Char(','));
}
template <typename T> QString asText(const T& value)
{
    const QVariant v(value);
    if (!v.canConvert<QString>()) // a value that would compare as "" with anything
        qFatal("joined(): no text for a %s", v.typeName());
    return v.toString();
}
/// The values as text (asText()), joined by " | ".
template <typename... Values> QString joined(const Values&... v)
{
    return QStringList({asText(v)...}).join(QStringLiteral(" | "));
}
/// MP4 movies of one second (a test pattern) that ffmpeg makes in `dir`; their paths, or none
/// where it cannot make them (the case is then skipped).
QStringList makeMovies(const QString& dir, const QStringList& names);
/// In a test with data: the current row's value in `column` (QFETCH as an expression).
template <typename T> T fetch(const char* column)
{
    return *static_cast<T*>(QTest::qData(column, qMetaTypeId<T>()));
}
/// A data table whose columns are named once; each call adds a row of those types, e.g.
///   const Table<QString, int> row({"name", "size"});
///   row("an empty file", "clip.mpg", 0);
template <typename... T> struct Table
{
    explicit Table(const std::array<const char*, sizeof...(T)>& names)
    {
        size_t i = 0;
        (QTest::addColumn<T>(names[i++]), ...);
    }
    void operator()(const char* tag, const T&... values) const
    {
        (QTest::newRow(tag) << ... << values);
    }
};
/// The system's text for an error number, as the program shows it.
QString reason(int error);
/// The tests' own trash, in the isolated data folder (isolateEnvironment()), emptied; its
/// folder, ending in "/".
QString emptyTrash();

/// Sources f0, f1... in `dir` of these sizes: makeFile's pattern(size, i + 1), except that a
/// source of 1 GiB or more is sparse, holding "!!!!!!!!!" at its start, across 2 GiB and at its
/// end. Their paths; `joined` gets what readJoined() reads of them joined.
QStringList makeSources(const QString& dir, const QList<qint64>& sizes, QByteArray& joined);
/// A joined file as makeSources() describes it, its last source `lastSize` bytes long: all of
/// it, or up to a sparse last source and then that source's marks; "<no file>" when none.
QByteArray readJoined(const QString& path, qint64 lastSize);

/// A second view of `folder` through FUSE (bindfs), unmounted when it goes; mounted is false
/// where FUSE is refused (the case is then skipped).
struct BindView : QTemporaryDir
{
    explicit BindView(const QString& folder);
    ~BindView();
    const bool mounted;
};

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
    /// Waits until the join has ended; false if it does not.
    bool joinEnded()
    {
        return waitUntil([this] { return join().phase() == JoinSession::Phase::Ended; });
    }
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

/// Stops the join's thread before it opens the source named `name` for the copy (not for the
/// looks before the question) until the test opens the gate, so that what the user does
/// meanwhile happens at a known point of the join. Set it up before the join starts.
class JoinGate
{
public:
    JoinGate(Core& core, const QString& name);
    ~JoinGate(); // open for good: a failed test never leaves the join waiting
    /// Waits until the join stands at the gate; false (the test then fails) if it never does.
    bool reached();
    void open() { m_state->go.release(); }

private:
    struct State
    {
        QSemaphore arrived, go;
        std::atomic<bool> armed{false};
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

} // namespace TestSupport
