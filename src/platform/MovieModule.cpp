#include "platform/MovieModule.h"

#include "Product.h"
#include "platform/MovieEngine.h"
#include "platform/MovieModuleEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <dlfcn.h>

namespace {

// The context of the texts below.
struct Text
{
    Q_DECLARE_TR_FUNCTIONS(MovieModule)
};

QString& namedFolder()
{
    static QString folder;
    return folder;
}

// dlerror() names the file first; the message names it already.
QString loaderText(const QString& path)
{
    const char* e = dlerror();
    QString text = e ? QString::fromLocal8Bit(e) : Text::tr("unknown reason");
    if (text.startsWith(path + QLatin1String(": ")))
        text.remove(0, path.size() + 2);
    return text;
}

FileError refused(int code, const QString& path, const QString& why)
{
    return FileError(code, Text::tr("the movie module %1 cannot be loaded: %2")
                               .arg(QDir::toNativeSeparators(path), why));
}

} // namespace

MovieModule::MovieModule(QStringList folders) : m_folders(std::move(folders)) {}

FileResult<MovieEngine*> MovieModule::engine()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_loaded)
        m_loaded = load();
    return *m_loaded;
}

MovieModule& MovieModule::program()
{
    static MovieModule module([] {
        if (!namedFolder().isEmpty())
            return QStringList{namedFolder()};
        // The program's own folder, as QCoreApplication gives it, but also before there is one.
        const QString bin = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
        return QStringList{bin, QDir::cleanPath(bin + QLatin1Char('/') + Product::kModulesFromBin)};
    }());
    return module;
}

void MovieModule::lookIn(const QString& folder)
{
    namedFolder() = folder;
}

FileResult<MovieEngine*> MovieModule::load() const
{
    QString path;
    for (const QString& folder : m_folders)
        if (const QString p = folder + QLatin1Char('/') + Product::kMoviesModuleFile;
            path.isEmpty() && QFileInfo::exists(p))
            path = p;
    if (path.isEmpty()) {
        QStringList shown;
        for (const QString& folder : m_folders)
            shown << QDir::toNativeSeparators(folder);
        return FileError(ENOENT,
                         Text::tr("the movie module %1 was not found in %2")
                             .arg(Product::kMoviesModuleFile, shown.join(QLatin1String(", "))));
    }
    // Every symbol resolved now, so that a module missing a library fails here, not in a join.
    void* module = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!module)
        return refused(ELIBACC, path, loaderText(path));
    using namespace MovieModuleEntry;
    const auto version = reinterpret_cast<VersionFunction>(dlsym(module, kVersionSymbol));
    const auto engine = reinterpret_cast<EngineFunction>(dlsym(module, kEngineSymbol));
    const QByteArray built = version ? QByteArray(version()) : QByteArray();
    QString why;
    if (!version || !engine)
        why = Text::tr("it has no entry point %1")
                  .arg(QLatin1String(version ? kEngineSymbol : kVersionSymbol));
    else if (built != MovieModuleEntry::version())
        why = Text::tr("it was built for version %1, the program is version %2")
                  .arg(QString::fromUtf8(built), QString::fromUtf8(MovieModuleEntry::version()));
    MovieEngine* made = why.isEmpty() ? engine() : nullptr;
    if (!made) {
        dlclose(module);
        return refused(ELIBBAD, path, why.isEmpty() ? Text::tr("it made no engine") : why);
    }
    return made;
}
