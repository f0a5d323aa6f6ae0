#include "support/CoreSupport.h"

#include "platform/MovieModule.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <utility>

namespace TestSupport {

QByteArray pattern(qint64 size, int seed)
{
    QByteArray data(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        data[i] = char((i * 131 + seed) % 251);
    return data;
}
QString makeFile(const QString& dir, const QString& name, qint64 size, int seed)
{
    QFile f(dir + '/' + name);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(pattern(size, seed)) != size)
        qFatal("cannot write %s", qPrintable(f.fileName()));
    return f.fileName();
}
QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}
QString sized(const QString& dir, const QString& name, qint64 size)
{
    QFile f(dir + '/' + name);
    return f.open(QIODevice::WriteOnly) && f.resize(size) ? f.fileName() : QString();
}
QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
QString reason(int error)
{
    return FileError::fromCode(error).text();
}
QString emptyTrash()
{
    isolateEnvironment(); // a no-op after the test's main() did it; never the user's trash
    const QString trash = qEnvironmentVariable("XDG_DATA_HOME") + "/Trash/";
    QDir(trash).removeRecursively();
    return trash;
}

void useBuiltModules()
{
    MovieModule::lookIn(QStringLiteral(REELBIND_BUILT_MODULES));
}

void isolateEnvironment()
{
    static bool done = false;
    if (std::exchange(done, true))
        return;
    useBuiltModules();
    static QTemporaryDir root(QDir::tempPath() + "/reelbind-test-env-XXXXXX");
    if (!root.isValid())
        qFatal("cannot make a folder for the test's environment");
    const QString r = root.path();
    const auto folder = [&](const char* variable, const QString& name) {
        QDir().mkpath(r + '/' + name);
        QFile::setPermissions(r + '/' + name,
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv(variable, QFile::encodeName(r + '/' + name));
    };
    folder("HOME", "home");
    folder("XDG_DATA_HOME", "home/.local/share");
    folder("XDG_CONFIG_HOME", "home/.config");
    folder("XDG_CACHE_HOME", "home/.cache");
    folder("XDG_STATE_HOME", "home/.local/state");
    folder("XDG_RUNTIME_DIR", "runtime");
    qputenv("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
    qputenv("XDG_CONFIG_DIRS", "/etc/xdg");
    qputenv("LC_ALL", "C.UTF-8");
    qputenv("LANG", "C.UTF-8");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    for (const char* gone : {"LANGUAGE", "DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP",
                             "XDG_SESSION_TYPE", "DESKTOP_SESSION", "QT_QPA_PLATFORMTHEME",
                             "QT_STYLE_OVERRIDE", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS"})
        qunsetenv(gone);
    if (qgetenv("REELBIND_OWN_BUS") != "1")
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
}

namespace {
// Where a sparse source holds its marks: at its start, across 2 GiB, at its end.
QList<qint64> marksOf(qint64 size)
{
    return {0, (qint64(1) << 31) - 3, size - 9};
}
} // namespace

QStringList makeSources(const QString& dir, const QList<qint64>& sizes, QByteArray& joined)
{
    QStringList paths;
    for (int i = 0; i < sizes.size(); ++i) {
        const bool big = sizes[i] >= qint64(1) << 30;
        const QString name = QStringLiteral("f%1").arg(i);
        QFile f(paths.emplaceBack(big ? sized(dir, name, sizes[i])
                                      : makeFile(dir, name, sizes[i], i + 1)));
        joined += big ? QByteArray(27, '!') : pattern(sizes[i], i + 1);
        if (big && f.open(QIODevice::ReadWrite))
            for (const qint64 at : marksOf(sizes[i]))
                f.seek(at), f.write("!!!!!!!!!");
    }
    return paths;
}

QByteArray readJoined(const QString& path, qint64 lastSize)
{
    QFile t(path);
    if (!QFileInfo(t).isFile() || !t.open(QIODevice::ReadOnly))
        return "<no file>";
    const qint64 big = lastSize >= qint64(1) << 30 ? lastSize : 0;
    QByteArray got = t.read(t.size() - big);
    for (const qint64 at : big ? marksOf(big) : QList<qint64>())
        got += t.seek(t.size() - big + at) ? t.read(9) : QByteArray();
    return got;
}

BindView::BindView(const QString& folder)
    : mounted(QProcess::execute("bindfs", {folder, QTemporaryDir::path()}) == 0)
{
}

BindView::~BindView()
{
    if (mounted && QProcess::execute("fusermount", {"-u", "-z", path()}) != 0)
        QProcess::execute("umount", {"-l", path()});
}

bool waitUntil(const std::function<bool()>& done, int ms)
{
    return QTest::qWaitFor(done, ms);
}

JoinDriver::JoinDriver(JoinSession& s) : session(s)
{
    using Phase = JoinSession::Phase;
    connect(&session, &JoinSession::phaseChanged, this, [this](Phase phase) {
        phases << phase;
        if (phase == Phase::Asking)
            question = session.question(), offered = session.offersOneMovie();
        if (phase == Phase::ChoosingTarget)
            dialogFolder = session.targetFolder(), dialogFilter = session.targetFilter();
        onPhase(phase);
        // Answered from the event loop, as a dialog would.
        if (phase == Phase::Asking)
            QTimer::singleShot(0, this, [this] { session.answer(choice); });
        if (phase == Phase::ChoosingTarget)
            QTimer::singleShot(0, this, [this] { session.chooseTarget(target); });
    });
}

bool JoinDriver::run()
{
    phases.clear();
    return session.start() &&
           waitUntil([this] { return session.phase() == JoinSession::Phase::Ended; });
}

QString JoinDriver::phaseDigits() const
{
    QString digits;
    for (const JoinSession::Phase p : phases)
        digits += QString::number(int(p));
    return digits;
}

Core::Core(const QByteArray& ini) : m_programFolder(folder.path())
{
    QFile f(m_programFolder + "/tarvik.ini");
    if (!ini.isNull() && (!f.open(QIODevice::WriteOnly) || f.write(ini) != ini.size()))
        qFatal("cannot write ini");
    f.close();
    start({});
}
void Core::start(Locations where)
{
    emptyTrash();
    program = std::make_unique<Program>(
        files, where.settingsFolder.isEmpty() ? Locations::portable(m_programFolder) : where);
    program->startUp();
}

QStringList makeMovies(const QString& dir, const QStringList& names)
{
    QStringList paths;
    for (const QString& name : names)
        if (QProcess::execute("ffmpeg",
                              {"-nostdin", "-v", "error", "-f", "lavfi", "-i", "testsrc=d=1", "-f",
                               "mp4", paths.emplaceBack(dir + '/' + name)}) != 0)
            return {};
    return paths;
}

JoinGate::JoinGate(Core& core, const QString& name)
{
    // Armed on the windows' thread before the join's thread starts the copy.
    QObject::connect(
        &core.join(), &JoinSession::phaseChanged, core.program.get(),
        [s = m_state](JoinSession::Phase p) { s->armed = p == JoinSession::Phase::Joining; });
    core.files.beforeOpen = [s = m_state, name](const QString& path) {
        if (s->armed && QFileInfo(path).fileName() == name) {
            s->arrived.release();
            s->go.acquire();
        }
    };
}
JoinGate::~JoinGate()
{
    m_state->armed = false;
    m_state->go.release(1 << 20);
}
bool JoinGate::reached()
{
    return waitUntil([this] { return m_state->arrived.tryAcquire(); });
}

} // namespace TestSupport
