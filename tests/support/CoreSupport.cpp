#include "support/CoreSupport.h"

#include "platform/MovieModule.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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

namespace {
QTemporaryDir* s_root = nullptr;
} // namespace

QString isolatedRoot()
{
    return s_root ? s_root->path() : QString();
}

void useBuiltModules()
{
    MovieModule::lookIn(QStringLiteral(REELBIND_BUILT_MODULES));
}

void isolateEnvironment()
{
    if (s_root)
        return;
    useBuiltModules();
    static QTemporaryDir root(QDir::tempPath() + "/reelbind-test-env-XXXXXX");
    if (!root.isValid())
        qFatal("cannot make a folder for the test's environment");
    s_root = &root;
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
        files, pump, where.settingsFolder.isEmpty() ? Locations::portable(m_programFolder) : where);
    program->startUp();
}

} // namespace TestSupport
