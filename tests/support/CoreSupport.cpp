#include "support/CoreSupport.h"

#include <QFile>

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
    // Set once, before GLib reads it: it keeps the first value for the whole process.
    static QTemporaryDir home;
    if (qEnvironmentVariableIsEmpty("XDG_DATA_HOME"))
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    const QString trash = qEnvironmentVariable("XDG_DATA_HOME") + "/Trash/";
    QDir(trash).removeRecursively();
    return trash;
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
