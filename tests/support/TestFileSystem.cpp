#include "support/TestFileSystem.h"

#include <QThread>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace {

// A new file on a scripted disk: it fills up after `left` bytes (shared by
// all files, -1: never), and with `sparse` runs of zeros become holes.
class ScriptedOutput : public OutputFile
{
public:
    ScriptedOutput(std::unique_ptr<OutputFile> real, qint64& left, bool sparse)
        : m_real(std::move(real)), m_left(left), m_sparse(sparse)
    {
    }
    int handle() const override { return m_real->handle(); }
    QString path() const override { return m_real->path(); }
    FileIdentity identity() const override { return m_real->identity(); }
    FileError close() override { return m_real->close(); }
    FileError write(const char* data, qint64 bytes) override
    {
        const qint64 fits = m_left < 0 ? bytes : qMin(bytes, m_left);
        if (fits > 0)
            if (const FileError e = put(data, fits); e.failed())
                return e;
        if (m_left >= 0)
            m_left -= fits;
        return fits == bytes ? FileError() : FileError::fromCode(ENOSPC);
    }

private:
    FileError put(const char* data, qint64 bytes)
    {
        if (!m_sparse)
            return m_real->write(data, bytes);
        const bool zeros = std::all_of(data, data + bytes, [](char c) { return c == 0; });
        const bool ok = zeros ? ::ftruncate(handle(), m_at + bytes) == 0
                              : ::pwrite(handle(), data, size_t(bytes), m_at) == bytes;
        if (!ok)
            return FileError::fromCode(errno);
        m_at += bytes;
        return FileError();
    }

    std::unique_ptr<OutputFile> m_real;
    qint64& m_left;
    bool m_sparse;
    qint64 m_at = 0;
};

} // namespace

FileResult<qint64> TestFileSystem::freeSpace(const QString& folder)
{
    freeSpaceQueries << folder;
    return m_freeSpace;
}

FileResult<std::unique_ptr<OutputFile>> TestFileSystem::createBeside(const QString& target)
{
    FileResult<std::unique_ptr<OutputFile>> real = PosixFileSystem::createBeside(target);
    if (!real || (diskLeft < 0 && !sparseOutputs))
        return real;
    return std::unique_ptr<OutputFile>(
        std::make_unique<ScriptedOutput>(std::move(*real), diskLeft, sparseOutputs));
}

FileResult<qint64> TestFileSystem::copyRange(InputFile& from, OutputFile& to, qint64 bytes)
{
    if (sparseOutputs) { // the kernel would fill the holes: copy as it would, holes kept
        QByteArray piece(int(qMin(bytes, qint64(1) << 20)), Qt::Uninitialized);
        const FileResult<qint64> got = from.read(piece.data(), piece.size());
        if (!got || *got == 0)
            return got;
        const FileError e = to.write(piece.constData(), *got);
        return e.failed() ? FileResult<qint64>(e) : got;
    }
    if (diskLeft == 0)
        return FileError::fromCode(ENOSPC);
    const FileResult<qint64> copied =
        PosixFileSystem::copyRange(from, to, diskLeft < 0 ? bytes : qMin(bytes, diskLeft));
    if (copied && diskLeft >= 0)
        diskLeft -= *copied;
    return copied;
}

FileError TestFileSystem::makeDurable(const QString& path)
{
    return durableFailure.isEmpty() ? PosixFileSystem::makeDurable(path)
                                    : FileError(EIO, durableFailure);
}

FileError TestFileSystem::moveToTrash(const QString& path)
{
    return noTrash ? FileError(EIO, QStringLiteral("no trash here"))
                   : PosixFileSystem::moveToTrash(path);
}

FileResult<std::unique_ptr<InputFile>> TestFileSystem::openInput(const QString& path)
{
    opened << path;
    if (lookDelayMs > 0)
        QThread::msleep(lookDelayMs);
    return PosixFileSystem::openInput(path);
}

FileResult<qint64> TestFileSystem::fileSize(const QString& path)
{
    if (lookDelayMs > 0)
        QThread::msleep(lookDelayMs);
    return PosixFileSystem::fileSize(path);
}
