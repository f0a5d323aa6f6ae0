#include "support/TestFileSystem.h"

#include <algorithm>
#include <unistd.h>

namespace {

// A new file on the scripted disk: full after `left` bytes (of all files; -1: never); with
// `sparse`, writes of zeros become holes.
struct ScriptedOutput : OutputFile
{
    std::unique_ptr<OutputFile> real;
    qint64& left;
    bool sparse;
    ScriptedOutput(std::unique_ptr<OutputFile> r, qint64& l, bool s)
        : real(std::move(r)), left(l), sparse(s)
    {
    }
    int handle() const override { return real->handle(); }
    QString path() const override { return real->path(); }
    FileIdentity identity() const override { return real->identity(); }
    FileError close() override { return real->close(); }
    FileError nameAs(const QString& target) override { return real->nameAs(target); }
    FileError write(const char* data, qint64 bytes) override
    {
        const qint64 fits = left < 0 ? bytes : qMin(bytes, left);
        const bool hole = sparse && std::all_of(data, data + fits, [](char c) { return !c; });
        const off_t end = hole ? ::lseek(handle(), fits, SEEK_CUR) : 0;
        const FileError e = !hole ? real->write(data, fits)
                            : end >= 0 && ::ftruncate(handle(), end) == 0
                                ? FileError()
                                : FileError::fromCode(errno);
        left -= left < 0 ? 0 : fits;
        return e.failed() || fits == bytes ? e : FileError::fromCode(ENOSPC);
    }
};

} // namespace

FileResult<std::unique_ptr<OutputFile>> TestFileSystem::createBeside(const QString& target)
{
    FileResult<std::unique_ptr<OutputFile>> real = PosixFileSystem::createBeside(target);
    if (!real || (diskLeft < 0 && !sparseOutputs))
        return real;
    return std::unique_ptr<OutputFile>(
        std::make_unique<ScriptedOutput>(std::move(*real), diskLeft, sparseOutputs));
}
FileError TestFileSystem::shareAll(InputFile& from, OutputFile& to, qint64 bytes)
{
    if (shareAnswers.isEmpty())
        return PosixFileSystem::shareAll(from, to, bytes);
    sharedAt << to.identity().size;
    if (const int error = shareAnswers.takeFirst())
        return FileError::fromCode(error);
    QByteArray all(int(bytes), Qt::Uninitialized);
    const FileResult<qint64> got = from.read(all.data(), bytes);
    return got && *got == bytes ? to.write(all.constData(), bytes) : FileError::fromCode(EIO);
}
FileResult<qint64> TestFileSystem::copyRange(InputFile& from, OutputFile& to, qint64 bytes)
{
    if (sparseOutputs) { // the kernel would fill the holes: copy as it would, holes kept
        QByteArray piece(int(qMin(bytes, qint64(1) << 20)), Qt::Uninitialized);
        const FileResult<qint64> got = from.read(piece.data(), piece.size());
        const FileError e = got && *got > 0 ? to.write(piece.constData(), *got) : FileError();
        return e.failed() ? FileResult<qint64>(e) : got;
    }
    if (diskLeft == 0)
        return FileError::fromCode(ENOSPC);
    const FileResult<qint64> copied =
        PosixFileSystem::copyRange(from, to, diskLeft < 0 ? bytes : qMin(bytes, diskLeft));
    diskLeft -= copied && diskLeft >= 0 ? *copied : 0;
    return copied;
}
