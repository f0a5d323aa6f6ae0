#include "platform/PosixFileSystem.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStorageInfo>

#include <cerrno>
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
    PosixInput(int fd, qint64 size) : m_fd(fd), m_size(size) {}
    ~PosixInput() override { ::close(m_fd); }
    qint64 size() const override { return m_size; }
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
    qint64 m_size;
};

class PosixOutput : public FileSystem::Output
{
public:
    explicit PosixOutput(int fd) : m_fd(fd) {}
    ~PosixOutput() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
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
};

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
    const QString targetPath = canonicalOf(target);
    for (int i = 0; i < files.size(); ++i) {
        struct stat s;
        if (targetExists && ::stat(QFile::encodeName(files.at(i)).constData(), &s) == 0 &&
            s.st_dev == t.st_dev && s.st_ino == t.st_ino)
            return i;
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
    return std::make_unique<PosixInput>(fd, status.size);
}

std::unique_ptr<FileSystem::Output> PosixFileSystem::createOutput(const QString& path,
                                                                  QString& reason)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        reason = systemReason(errno);
        return nullptr;
    }
    return std::make_unique<PosixOutput>(fd);
}
