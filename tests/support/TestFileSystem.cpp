#include "support/TestFileSystem.h"

#include <QFile>
#include <QThread>

#include <algorithm>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A new file on a scripted disk: it fills up after `left` bytes (shared by
// all files, -1: never), and with `sparse` runs of zeros become holes.
class ScriptedOutput : public FileSystem::Output
{
public:
    ScriptedOutput(std::unique_ptr<Output> real, qint64& left, bool sparse)
        : m_real(std::move(real)), m_left(left), m_sparse(sparse)
    {
        if (m_sparse)
            m_fd = ::open(QFile::encodeName(m_real->path()).constData(), O_WRONLY | O_CLOEXEC);
    }
    ~ScriptedOutput() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Output& real() { return *m_real; }
    bool sparse() const { return m_sparse; }
    QString path() const override { return m_real->path(); }
    FileSystem::Identity identity() const override { return m_real->identity(); }
    bool close(QString& reason) override { return m_real->close(reason); }
    bool write(const char* data, qint64 bytes, QString& reason) override
    {
        const qint64 fits = m_left < 0 ? bytes : qMin(bytes, m_left);
        if (fits > 0 && !put(data, fits, reason))
            return false;
        if (m_left >= 0)
            m_left -= fits;
        if (fits == bytes)
            return true;
        reason = PosixFileSystem::systemReason(ENOSPC);
        return false;
    }

private:
    bool put(const char* data, qint64 bytes, QString& reason)
    {
        if (!m_sparse)
            return m_real->write(data, bytes, reason);
        const bool zeros = std::all_of(data, data + bytes, [](char c) { return c == 0; });
        const bool ok = zeros ? ::ftruncate(m_fd, m_at + bytes) == 0
                              : ::pwrite(m_fd, data, size_t(bytes), m_at) == bytes;
        if (!ok) {
            reason = PosixFileSystem::systemReason(errno);
            return false;
        }
        m_at += bytes;
        return true;
    }

    std::unique_ptr<Output> m_real;
    qint64& m_left;
    bool m_sparse;
    int m_fd = -1;
    qint64 m_at = 0;
};

} // namespace

std::unique_ptr<FileSystem::Output> TestFileSystem::createBeside(const QString& target,
                                                                 QString& reason)
{
    std::unique_ptr<Output> real = PosixFileSystem::createBeside(target, reason);
    if (!real || (diskLeft < 0 && !sparseOutputs))
        return real;
    return std::make_unique<ScriptedOutput>(std::move(real), diskLeft, sparseOutputs);
}

FileSystem::Copied TestFileSystem::copyRange(Input& from, Output& to, qint64 bytes)
{
    auto* scripted = dynamic_cast<ScriptedOutput*>(&to);
    if (!scripted)
        return PosixFileSystem::copyRange(from, to, bytes);
    Copied c;
    if (scripted->sparse()) { // the kernel would fill the holes: copy as it would, holes kept
        QByteArray piece(int(qMin(bytes, qint64(1) << 20)), Qt::Uninitialized);
        c.bytes = from.read(piece.data(), piece.size(), c.reason);
        c.failed = c.bytes < 0 || (c.bytes > 0 && !to.write(piece.constData(), c.bytes, c.reason));
        return c;
    }
    if (diskLeft == 0) {
        c.failed = c.targetSide = true;
        c.reason = PosixFileSystem::systemReason(ENOSPC);
        return c;
    }
    c = PosixFileSystem::copyRange(from, scripted->real(),
                                   diskLeft < 0 ? bytes : qMin(bytes, diskLeft));
    if (!c.failed && diskLeft >= 0)
        diskLeft -= c.bytes;
    return c;
}

std::unique_ptr<FileSystem::Input> TestFileSystem::openInput(const QString& path, Status& status)
{
    opened << path;
    if (lookDelayMs > 0)
        QThread::msleep(lookDelayMs);
    return PosixFileSystem::openInput(path, status);
}

FileSystem::Status TestFileSystem::fileSize(const QString& path)
{
    if (lookDelayMs > 0)
        QThread::msleep(lookDelayMs);
    return PosixFileSystem::fileSize(path);
}
