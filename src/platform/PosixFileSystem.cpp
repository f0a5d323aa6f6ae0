#include "platform/PosixFileSystem.h"

// GLib names a struct member "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStorageInfo>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <type_traits>
#include <unistd.h>

namespace {

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

FileError lastError()
{
    return FileError::fromCode(errno);
}

// A folder or anything else that is no regular file (pipes and devices
// could block or never end).
FileResult<qint64> sizeOf(const struct stat& st)
{
    if (S_ISREG(st.st_mode))
        return qint64(st.st_size);
    return FileError::notRegular(S_ISDIR(st.st_mode));
}

FileIdentity identityOf(const struct stat& st)
{
    FileIdentity id;
    id.exists = true;
    id.regular = S_ISREG(st.st_mode);
    id.folder = S_ISDIR(st.st_mode);
    id.device = quint64(st.st_dev);
    id.inode = quint64(st.st_ino);
    id.size = qint64(st.st_size);
    id.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return id;
}

FileIdentity identityOfFd(int fd)
{
    struct stat st;
    return ::fstat(fd, &st) == 0 ? identityOf(st) : FileIdentity();
}

// Not blocking: a pipe put in a file's place must fail, not wait forever.
int openForReading(const QString& path)
{
    return ::open(native(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
}

// A target path that does not exist yet still has a canonical folder.
QString canonicalOf(const QString& path)
{
    const QFileInfo info(path);
    const QString whole = info.canonicalFilePath();
    if (!whole.isEmpty())
        return whole;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? QDir::cleanPath(info.absolutePath()) : folder) + QLatin1Char('/') +
           info.fileName();
}

class PosixInput : public InputFile
{
public:
    PosixInput(int fd, const FileIdentity& id) : m_fd(fd), m_id(id) {}
    ~PosixInput() override { ::close(m_fd); }
    int handle() const override { return m_fd; }
    qint64 size() const override { return m_id.size; }
    FileIdentity identity() const override { return m_id; }
    FileResult<qint64> read(char* into, qint64 bytes) override { return readFrom(-1, into, bytes); }
    FileResult<qint64> readAt(qint64 offset, char* into, qint64 bytes) override
    {
        return readFrom(offset, into, bytes);
    }

private:
    // From where the file stands when `offset` is -1.
    FileResult<qint64> readFrom(qint64 offset, char* into, qint64 bytes)
    {
        qint64 got = 0;
        while (got < bytes) {
            const ssize_t r =
                offset < 0 ? ::read(m_fd, into + got, size_t(bytes - got))
                           : ::pread(m_fd, into + got, size_t(bytes - got), off_t(offset + got));
            if (r < 0 && errno == EINTR)
                continue;
            if (r < 0)
                return lastError();
            if (r == 0)
                break;
            got += r;
        }
        return got;
    }

    int m_fd;
    FileIdentity m_id;
};

// A join's temporary files: ".NAME.reelbind-XXXXXX", NAME cut to 100 bytes between characters
// so that any legal target name fits a file system's limit of 255 bytes.
constexpr char kTemporaryMark[] = ".reelbind-";
constexpr int kRandomChars = 6;

QByteArray temporaryPrefix(const QString& target)
{
    QString name = QFileInfo(target).fileName();
    while (native(name).size() > 100)
        name.chop(name.size() > 1 && name.back().isLowSurrogate() ? 2 : 1);
    return '.' + native(name) + kTemporaryMark;
}

bool isTemporaryName(const char* name)
{
    const size_t length = std::strlen(name), mark = sizeof kTemporaryMark - 1;
    if (name[0] != '.' || length < 1 + mark + kRandomChars)
        return false;
    const char* random = name + length - kRandomChars;
    return std::memcmp(random - mark, kTemporaryMark, mark) == 0 &&
           std::all_of(random, name + length, [](char c) { return std::isalnum(uchar(c)); });
}

// Calls `make` with new names of `prefix` and random characters while the name is taken.
template <typename Make> int withFreshName(const QByteArray& prefix, QByteArray& name, Make make)
{
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    int result = -1;
    for (int tries = 0; tries < 100; ++tries) {
        name = prefix;
        for (int i = 0; i < kRandomChars; ++i)
            name += kChars[QRandomGenerator::global()->bounded(int(sizeof kChars) - 1)];
        if ((result = make(name.constData())) >= 0 || errno != EEXIST)
            break;
    }
    if (result < 0)
        name.clear();
    return result;
}

// A killed join leaves its named temporary file, and its lock went with it; one still locked
// is being written.
void removeLeftoversIn(int folder)
{
    DIR* list = ::fdopendir(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!list)
        return;
    while (const dirent* entry = ::readdir(list)) {
        if (!isTemporaryName(entry->d_name))
            continue;
        const int fd = ::openat(folder, entry->d_name,
                                O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        struct stat st;
        if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(folder, entry->d_name, 0);
        if (fd >= 0)
            ::close(fd);
    }
    ::closedir(list);
}

class PosixOutput : public OutputFile
{
public:
    PosixOutput(int fd, int folder, const QString& folderPath, QByteArray prefix, QByteArray name)
        : m_fd(fd), m_folder(folder), m_folderPath(folderPath), m_prefix(std::move(prefix)),
          m_name(std::move(name))
    {
    }
    ~PosixOutput() override
    {
        for (const int fd : {m_fd, m_lock})
            if (fd >= 0)
                ::close(fd);
        if (!m_name.isEmpty() && !m_named)
            ::unlinkat(m_folder, m_name.constData(), 0);
        ::close(m_folder);
    }
    int handle() const override { return m_fd; }
    QString path() const override
    {
        return m_name.isEmpty() ? QString()
                                : m_folderPath + QLatin1Char('/') + QFile::decodeName(m_name);
    }
    FileIdentity identity() const override { return identityOfFd(m_fd); }
    FileError write(const char* data, qint64 bytes) override
    {
        qint64 done = 0;
        while (done < bytes) {
            const ssize_t w = ::write(m_fd, data + done, size_t(bytes - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w < 0)
                return lastError();
            if (w == 0)
                return FileError::fromCode(ENOSPC);
            done += w;
        }
        return FileError();
    }
    FileError close() override
    {
        const int fd = std::exchange(m_fd, -1);
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        if (m_name.isEmpty() && withFreshName(m_prefix, m_name, [&](const char* name) {
                                    return ::linkat(AT_FDCWD, self.constData(), m_folder, name,
                                                    AT_SYMLINK_FOLLOW);
                                }) < 0) {
            const FileError why = lastError();
            ::close(fd);
            return why;
        }
        // The lock lives on in the copy until the file has the target's name.
        m_lock = ::dup(fd);
        return ::close(fd) == 0 ? FileError() : lastError();
    }
    FileError nameAs(const QString& target) override
    {
        if (::renameat(m_folder, m_name.constData(), AT_FDCWD, native(target).constData()) != 0)
            return lastError();
        m_named = true;
        return FileError();
    }

private:
    int m_fd;
    int m_lock = -1;
    int m_folder; // the target's folder, wherever it is moved
    QString m_folderPath;
    QByteArray m_prefix;
    QByteArray m_name; // the temporary name in m_folder, once it has one
    bool m_named = false;
};

// The permissions a file created now would get.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

FileResult<qint64> PosixFileSystem::fileSize(const QString& path)
{
    struct stat st;
    if (::stat(native(path).constData(), &st) != 0)
        return lastError();
    return sizeOf(st);
}

FileResult<qint64> PosixFileSystem::readableFileSize(const QString& path)
{
    FileResult<qint64> size = fileSize(path);
    if (!size)
        return size;
    const int fd = openForReading(path);
    if (fd < 0)
        return lastError();
    ::close(fd);
    return size;
}

FileIdentity PosixFileSystem::identity(const QString& path)
{
    struct stat st;
    if (::stat(native(path).constData(), &st) != 0)
        return FileIdentity();
    return identityOf(st);
}

bool PosixFileSystem::fileExists(const QString& pathName)
{
    auto counts = [](const QFileInfo& f) { return f.isFile() && !f.isHidden(); };
    const QFileInfo info(pathName);
    const QString name = info.fileName();
    if (!name.contains(QLatin1Char('*')) && !name.contains(QLatin1Char('?')))
        return !name.isEmpty() && counts(info);

    // A directory search: "*" any run, "?" one character, all else literal.
    QString pattern;
    for (const QChar c : name) {
        if (c == QLatin1Char('*'))
            pattern += QStringLiteral(".*");
        else if (c == QLatin1Char('?'))
            pattern += QLatin1Char('.');
        else
            pattern += QRegularExpression::escape(QString(c));
    }
    const QRegularExpression re(QRegularExpression::anchoredPattern(pattern),
                                QRegularExpression::DotMatchesEverythingOption);
    QDirIterator it(info.path(), QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        if (re.match(it.fileName()).hasMatch() && counts(it.fileInfo()))
            return true;
    }
    return false;
}

int PosixFileSystem::firstSameFile(const QStringList& files, const QString& target)
{
    struct stat t;
    const bool targetExists = ::stat(native(target).constData(), &t) == 0;
    // A target not there yet can only be a source that is not there either,
    // named the same in the same folder: only those need the costly canonical path.
    const QString name = QFileInfo(target).fileName();
    QString targetPath;
    for (int i = 0; i < files.size(); ++i) {
        struct stat s;
        const bool found = ::stat(native(files.at(i)).constData(), &s) == 0;
        if (found && targetExists) {
            if (s.st_dev == t.st_dev && s.st_ino == t.st_ino)
                return i;
            continue;
        }
        if (found || !files.at(i).endsWith(name) || QFileInfo(files.at(i)).fileName() != name)
            continue;
        if (targetPath.isEmpty())
            targetPath = canonicalOf(target);
        if (canonicalOf(files.at(i)) == targetPath)
            return i;
    }
    return -1;
}

FileResult<qint64> PosixFileSystem::freeSpace(const QString& folder)
{
    // A fresh QStorageInfo each time: it caches its figures.
    QStorageInfo info(folder);
    const qint64 avail = info.isValid() && info.isReady() ? info.bytesAvailable() : -1;
    if (avail < 0)
        return FileError(ENOENT, QCoreApplication::translate("PosixFileSystem",
                                                             "the free space could not be read"));
    return avail;
}

QStringList PosixFileSystem::fileNames(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);
}

FileResult<std::unique_ptr<InputFile>> PosixFileSystem::openInput(const QString& path)
{
    const int fd = openForReading(path);
    if (fd < 0)
        return lastError();
    struct stat st;
    FileResult<qint64> size = ::fstat(fd, &st) == 0 ? sizeOf(st) : lastError();
    if (!size) {
        ::close(fd);
        return size.error();
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::unique_ptr<InputFile>(std::make_unique<PosixInput>(fd, identityOf(st)));
}

FileResult<std::unique_ptr<OutputFile>> PosixFileSystem::createBeside(const QString& target)
{
    const QString folderPath = QFileInfo(target).absolutePath();
    const int folder = ::open(native(folderPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return lastError();
    const QByteArray prefix = temporaryPrefix(target);
    QByteArray name;
    int fd = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL))
        fd = withFreshName(prefix, name, [folder](const char* n) {
            return ::openat(folder, n, O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0600);
        });
    if (fd < 0) {
        const FileError why = lastError();
        ::close(folder);
        return why;
    }
    ::flock(fd, LOCK_EX);
    struct stat old;
    const bool replaces = ::stat(native(target).constData(), &old) == 0 && S_ISREG(old.st_mode);
    ::fchmod(fd, replaces ? (old.st_mode & 07777) : newFileMode());
    return std::unique_ptr<OutputFile>(
        std::make_unique<PosixOutput>(fd, folder, folderPath, prefix, name));
}

void PosixFileSystem::removeLeftovers(const QString& folder)
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    removeLeftoversIn(fd);
    ::close(fd);
}

FileError PosixFileSystem::rename(const QString& from, const QString& to)
{
    return ::rename(native(from).constData(), native(to).constData()) == 0 ? FileError()
                                                                           : lastError();
}

FileError PosixFileSystem::makeDurable(const QString& path)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return lastError();
    const bool synced = ::fdatasync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!synced)
        return FileError::fromCode(error);
    const QString folder = QFileInfo(path).absolutePath();
    const int dir = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return lastError();
    // Some file systems cannot sync a folder at all; the file itself is safe then.
    const bool folderSynced = ::fsync(dir) == 0 || errno == EINVAL || errno == EOPNOTSUPP;
    const int folderError = errno;
    ::close(dir);
    return folderSynced ? FileError() : FileError::fromCode(folderError);
}

FileResult<QByteArray> PosixFileSystem::readSmallFile(const QString& path, qint64 maxBytes)
{
    const int fd = openForReading(path);
    if (fd < 0)
        return lastError();
    struct stat st;
    FileResult<qint64> size = ::fstat(fd, &st) == 0 ? sizeOf(st) : lastError();
    QFile f;
    if (!size || !f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return size ? FileError::fromCode(EIO) : size.error();
    }
    const FileError tooBig = FileError::fromCode(EFBIG);
    if (f.size() > maxBytes)
        return tooBig;
    QByteArray data = f.read(maxBytes + 1);
    if (data.size() > maxBytes)
        return tooBig;
    return data;
}

FileError PosixFileSystem::replaceFile(const QString& path, const QByteArray& content)
{
    // Unbuffered, so a short write (full disk) shows here: in Qt 6.4 (Debian 12) commit()
    // ignores a failing flush and would put a truncated file in place.
    QSaveFile f(path);
    auto failure = [&f] { return FileError(errno ? errno : EIO, f.errorString()); };
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure();
    if (f.write(content) != content.size() || !f.flush()) {
        const FileError why = failure();
        f.cancelWriting(); // the temporary file goes with f
        return why;
    }
    return f.commit() ? FileError() : failure();
}

FileError PosixFileSystem::makeFolder(const QString& path)
{
    return QDir().mkpath(path) ? FileError() : FileError::fromCode(EACCES);
}

FileResult<qint64> PosixFileSystem::copyRange(InputFile& from, OutputFile& to, qint64 bytes)
{
    for (;;) {
        const ssize_t n =
            ::copy_file_range(from.handle(), nullptr, to.handle(), nullptr, size_t(bytes), 0);
        if (n >= 0)
            return qint64(n);
        if (errno != EINTR)
            return lastError();
    }
}

qint64 PosixFileSystem::shareBlock(OutputFile& to)
{
    struct statvfs fs;
    return ::fstatvfs(to.handle(), &fs) == 0 ? qint64(fs.f_bsize) : 0;
}

FileError PosixFileSystem::shareAll(InputFile& from, OutputFile& to, qint64 bytes)
{
    const off_t at = ::lseek(to.handle(), 0, SEEK_CUR);
    if (at < 0)
        return lastError();
    file_clone_range range{};
    range.src_fd = from.handle();
    range.src_length = quint64(bytes);
    range.dest_offset = quint64(at);
    if (::ioctl(to.handle(), FICLONERANGE, &range) != 0)
        return lastError();
    // The clone leaves both files' positions where they were.
    if (::lseek(to.handle(), at + bytes, SEEK_SET) < 0 ||
        ::lseek(from.handle(), bytes, SEEK_SET) < 0)
        return lastError();
    return FileError();
}

qint64 PosixFileSystem::sharedBlockSize(const QString& folder, const QString& sample)
{
    const int src = openForReading(sample);
    const int tmp = ::open(native(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    struct stat st;
    struct statvfs fs;
    qint64 block = 0;
    if (src >= 0 && tmp >= 0 && ::fstat(src, &st) == 0 && ::fstatvfs(tmp, &fs) == 0 &&
        st.st_size >= qint64(fs.f_bsize)) {
        file_clone_range range{};
        range.src_fd = src;
        range.src_length = quint64(fs.f_bsize);
        block = ::ioctl(tmp, FICLONERANGE, &range) == 0 ? qint64(fs.f_bsize) : 0;
    }
    for (const int fd : {src, tmp})
        if (fd >= 0)
            ::close(fd);
    return block;
}

namespace {

// GIO's calls for the trash, loaded at the first trashing rather than at every start.
struct Gio
{
    decltype(&g_vfs_get_local) vfsLocal = nullptr;
    decltype(&g_vfs_get_file_for_path) fileForPath = nullptr;
    decltype(&g_file_trash) trash = nullptr;
    decltype(&g_object_unref) unref = nullptr;
    decltype(&g_error_free) errorFree = nullptr;
    decltype(&g_io_error_quark) ioErrorQuark = nullptr;
    QString failure; // why it cannot be used; empty when it can
};

const Gio& gio()
{
    static const Gio loaded = [] {
        Gio g;
        QLibrary library(QStringLiteral("gio-2.0"), 0); // never unloaded
        const auto resolve = [&library](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                library.resolve(name));
            return function != nullptr;
        };
        if (!resolve(g.vfsLocal, "g_vfs_get_local") ||
            !resolve(g.fileForPath, "g_vfs_get_file_for_path") ||
            !resolve(g.trash, "g_file_trash") || !resolve(g.unref, "g_object_unref") ||
            !resolve(g.errorFree, "g_error_free") || !resolve(g.ioErrorQuark, "g_io_error_quark"))
            g.failure = library.errorString();
        return g;
    }();
    return loaded;
}

} // namespace

FileError PosixFileSystem::moveToTrash(const QString& path)
{
    const Gio& g = gio();
    if (!g.failure.isEmpty())
        return FileError(ENOSYS, g.failure);
    // GIO's own local files: no modules loaded, no session bus needed.
    GFile* file = g.fileForPath(g.vfsLocal(), native(path).constData());
    GError* error = nullptr;
    const bool trashed = g.trash(file, nullptr, &error);
    g.unref(file);
    if (trashed)
        return FileError();
    const int code = error->domain != g.ioErrorQuark()             ? EIO
                     : error->code == G_IO_ERROR_NOT_FOUND         ? ENOENT
                     : error->code == G_IO_ERROR_PERMISSION_DENIED ? EACCES
                                                                   : EIO;
    FileError why(code, QString::fromUtf8(error->message));
    g.errorFree(error);
    return why;
}

FileError PosixFileSystem::removeFile(const QString& path)
{
    return ::unlink(native(path).constData()) == 0 ? FileError() : lastError();
}
