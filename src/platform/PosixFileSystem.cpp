#include "platform/PosixFileSystem.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStorageInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Status = FileSystem::Status;
using Failure = FileSystem::Failure;

Status failed(Failure failure, const QString& reason)
{
    Status s;
    s.failure = failure;
    s.reason = reason;
    return s;
}

// A folder or anything else that is no regular file (pipes and devices
// could block or never end).
Status statusOf(const struct stat& st)
{
    if (S_ISREG(st.st_mode)) {
        Status s;
        s.size = qint64(st.st_size);
        return s;
    }
    if (S_ISDIR(st.st_mode))
        return failed(Failure::Kind, PosixFileSystem::systemReason(EISDIR));
    return failed(Failure::Kind, QStringLiteral("Not a regular file"));
}

FileSystem::Identity identityOf(const struct stat& st)
{
    FileSystem::Identity id;
    id.exists = true;
    id.regular = S_ISREG(st.st_mode);
    id.device = quint64(st.st_dev);
    id.inode = quint64(st.st_ino);
    id.size = qint64(st.st_size);
    id.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return id;
}

FileSystem::Identity identityOfFd(int fd)
{
    struct stat st;
    return ::fstat(fd, &st) == 0 ? identityOf(st) : FileSystem::Identity();
}

Status sizeAt(const QByteArray& native)
{
    struct stat st;
    if (::stat(native.constData(), &st) != 0)
        return failed(Failure::Lookup, PosixFileSystem::systemReason(errno));
    return statusOf(st);
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

class PosixInput : public FileSystem::Input
{
public:
    PosixInput(int fd, const FileSystem::Identity& id) : m_fd(fd), m_id(id) {}
    int fd() const { return m_fd; }
    ~PosixInput() override { ::close(m_fd); }
    qint64 size() const override { return m_id.size; }
    FileSystem::Identity identity() const override { return m_id; }
    qint64 read(char* into, qint64 bytes, QString& reason) override
    {
        qint64 got = 0;
        while (got < bytes) {
            const ssize_t r = ::read(m_fd, into + got, size_t(bytes - got));
            if (r < 0) {
                if (errno == EINTR)
                    continue;
                reason = PosixFileSystem::systemReason(errno);
                return -1;
            }
            if (r == 0)
                break;
            got += r;
        }
        return got;
    }

private:
    int m_fd;
    FileSystem::Identity m_id;
};

class PosixOutput : public FileSystem::Output
{
public:
    PosixOutput(int fd, QString path) : m_fd(fd), m_path(std::move(path)) {}
    int fd() const { return m_fd; }
    ~PosixOutput() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    QString path() const override { return m_path; }
    FileSystem::Identity identity() const override { return identityOfFd(m_fd); }
    bool write(const char* data, qint64 bytes, QString& reason) override
    {
        qint64 done = 0;
        while (done < bytes) {
            const ssize_t w = ::write(m_fd, data + done, size_t(bytes - done));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                reason = PosixFileSystem::systemReason(errno);
                return false;
            }
            if (w == 0) {
                reason = PosixFileSystem::systemReason(ENOSPC);
                return false;
            }
            done += w;
        }
        return true;
    }
    bool close(QString& reason) override
    {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0) {
            reason = PosixFileSystem::systemReason(errno);
            return false;
        }
        return true;
    }

private:
    int m_fd;
    QString m_path;
};

// The permissions a file created now would get.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A trash keeps its files in ".../Trash/files", ".Trash-UID/files" or ".Trash/UID/files".
bool inTrashFolder(const QString& path)
{
    const QFileInfo info(path);
    const QDir files = info.absoluteDir();
    if (files.dirName() != QLatin1String("files"))
        return false;
    QDir up = files;
    if (!up.cdUp())
        return false;
    const QString name = up.dirName();
    if (name == QLatin1String("Trash") || name.startsWith(QLatin1String(".Trash-")))
        return true;
    return up.cdUp() && up.dirName() == QLatin1String(".Trash");
}

} // namespace

QString PosixFileSystem::systemReason(int error)
{
    return qt_error_string(error);
}

FileSystem::Status PosixFileSystem::fileSize(const QString& path)
{
    return sizeAt(QFile::encodeName(path));
}

FileSystem::Status PosixFileSystem::readableFileSize(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    Status s = sizeAt(native);
    if (!s)
        return s;
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return failed(Failure::Open, systemReason(errno));
    ::close(fd);
    return s;
}

bool PosixFileSystem::File_Exists(const QString& PathName)
{
    auto counts = [](const QFileInfo& f) { return f.isFile() && !f.isHidden(); };
    const QFileInfo info(PathName);
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

bool PosixFileSystem::exists(const QString& path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

int PosixFileSystem::firstSameFile(const QStringList& files, const QString& target)
{
    struct stat t;
    const bool targetExists = ::stat(QFile::encodeName(target).constData(), &t) == 0;
    // A target not there yet can only be a source that is not there either,
    // named the same in the same folder: only those need the costly canonical path.
    const QString name = QFileInfo(target).fileName();
    QString targetPath;
    for (int i = 0; i < files.size(); ++i) {
        struct stat s;
        const bool found = ::stat(QFile::encodeName(files.at(i)).constData(), &s) == 0;
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

std::optional<qint64> PosixFileSystem::freeSpace(const QString& folder)
{
    // A fresh QStorageInfo each time: it caches its figures.
    QStorageInfo info(folder);
    if (!info.isValid() || !info.isReady())
        return std::nullopt;
    const qint64 avail = info.bytesAvailable();
    if (avail < 0)
        return std::nullopt;
    return avail;
}

QString PosixFileSystem::removeFile(const QString& path)
{
    if (::unlink(QFile::encodeName(path).constData()) == 0)
        return QString();
    return systemReason(errno);
}

std::unique_ptr<FileSystem::Input> PosixFileSystem::openInput(const QString& path, Status& status)
{
    // Not blocking: a pipe put in a source's place must fail, not wait forever.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        status = failed(Failure::Open, systemReason(errno));
        return nullptr;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        status = failed(Failure::Lookup, systemReason(errno));
        ::close(fd);
        return nullptr;
    }
    status = statusOf(st);
    if (!status) {
        ::close(fd);
        return nullptr;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::make_unique<PosixInput>(fd, identityOf(st));
}

std::unique_ptr<FileSystem::Output> PosixFileSystem::createBeside(const QString& target,
                                                                  QString& reason)
{
    const QFileInfo info(target);
    // Short enough for any file system's name limit, whatever the target's name.
    const QString name = info.fileName().left(100);
    QByteArray pattern =
        QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + name) + ".XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        reason = systemReason(errno);
        return nullptr;
    }
    struct stat old;
    const bool replaces =
        ::stat(QFile::encodeName(target).constData(), &old) == 0 && S_ISREG(old.st_mode);
    ::fchmod(fd, replaces ? (old.st_mode & 07777) : newFileMode());
    return std::make_unique<PosixOutput>(fd, QFile::decodeName(pattern));
}

FileSystem::Copied PosixFileSystem::copyRange(Input& from, Output& to, qint64 bytes)
{
    Copied c;
    auto* in = dynamic_cast<PosixInput*>(&from);
    auto* out = dynamic_cast<PosixOutput*>(&to);
    if (!in || !out) {
        c.failed = c.refused = true;
        return c;
    }
    for (;;) {
        const ssize_t n =
            ::copy_file_range(in->fd(), nullptr, out->fd(), nullptr, size_t(bytes), 0);
        if (n >= 0) {
            c.bytes = n;
            return c;
        }
        if (errno != EINTR)
            break;
    }
    c.failed = true;
    c.reason = systemReason(errno);
    // What the kernel says when it cannot copy between these two files at all.
    c.refused = errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
                errno == EBADF;
    c.targetSide = errno == ENOSPC || errno == EDQUOT || errno == EFBIG;
    return c;
}

QString PosixFileSystem::rename(const QString& from, const QString& to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return QString();
    return systemReason(errno);
}

FileSystem::Identity PosixFileSystem::identity(const QString& path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return Identity();
    return identityOf(st);
}

QString PosixFileSystem::makeDurable(const QString& path)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return systemReason(errno);
    const bool synced = ::fdatasync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!synced)
        return systemReason(error);
    const QString folder = QFileInfo(path).absolutePath();
    const int dir =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return systemReason(errno);
    // Some file systems cannot sync a folder at all; the file itself is safe then.
    const bool folderSynced = ::fsync(dir) == 0 || errno == EINVAL || errno == EOPNOTSUPP;
    const int folderError = errno;
    ::close(dir);
    return folderSynced ? QString() : systemReason(folderError);
}

FileSystem::Trashed PosixFileSystem::moveToTrash(const QString& path, QString& reason)
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty() || !QDir().mkpath(data)) {
        reason = QStringLiteral("there is no folder for the trash");
        return Trashed::NoTrash;
    }
    QFile file(path);
    if (!file.moveToTrash()) {
        reason = file.errorString();
        return Trashed::NoTrash;
    }
    const QString landed = file.fileName();
    if (inTrashFolder(landed))
        return Trashed::Yes;
    // Moved, but into no trash: put it back where it was.
    rename(landed, path);
    reason = QStringLiteral("no trash took it");
    return Trashed::NoTrash;
}
