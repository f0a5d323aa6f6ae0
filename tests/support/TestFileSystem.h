#pragma once

#include "platform/PosixFileSystem.h"

#include <QStringList>
#include <cerrno>
#include <functional>

/// The real file system with a few scripted answers.
class TestFileSystem : public PosixFileSystem
{
public:
    /// A petabyte free unless told (a failure fails every query); each query is recorded, and
    /// beforeFreeSpace(folder) runs first.
    void setFreeSpace(FileResult<qint64> bytes) { m_freeSpace = bytes; }
    FileResult<qint64> freeSpace(const QString& folder) override
    {
        if (beforeFreeSpace)
            beforeFreeSpace(folder);
        return freeSpaceQueries << folder, m_freeSpace;
    }
    QStringList freeSpaceQueries;
    std::function<void(const QString&)> beforeFreeSpace;
    /// New files take this many more bytes in all, then "No space left on device" (-1: no
    /// limit); the kernel's copy into them too.
    qint64 diskLeft = -1;
    /// Writes of zeros become holes in new files, and the kernel's copy into them reads and
    /// writes, so gibibytes of sparse sources join without filling the disk.
    bool sparseOutputs = false;
    FileResult<std::unique_ptr<OutputFile>> createBeside(const QString& target) override;
    FileResult<qint64> copyRange(InputFile& from, OutputFile& to, qint64 bytes) override;
    /// When set, makeDurable() fails with this reason.
    QString durableFailure;
    FileError makeDurable(const QString& path) override
    {
        return durableFailure.isEmpty() ? PosixFileSystem::makeDurable(path)
                                        : FileError(EIO, durableFailure);
    }
    /// When set, no trash takes a file.
    bool noTrash = false;
    FileError moveToTrash(const QString& path) override
    {
        return noTrash ? FileError(EIO, "no trash here") : PosixFileSystem::moveToTrash(path);
    }
    /// Every path given to openInput, in order. beforeOpen(path) runs before each open, on the
    /// thread that opens (the join's): what another program does meanwhile.
    QStringList opened;
    std::function<void(const QString&)> beforeOpen;
    FileResult<std::unique_ptr<InputFile>> openInput(const QString& path) override
    {
        if (beforeOpen)
            beforeOpen(path);
        opened << path;
        return PosixFileSystem::openInput(path);
    }
    /// Scripted sharing (shareAnswers empty: the real file system's): each shareAll() takes the
    /// next answer, 0 to share (the bytes are copied in their place) or an error number; the
    /// target's length at each call is recorded. The block size, and a folder's when nonzero.
    QList<int> shareAnswers;
    QList<qint64> sharedAt;
    qint64 blockSize = 4096, folderBlockSize = 0;
    qint64 shareBlock(OutputFile& to) override
    {
        return shareAnswers.isEmpty() ? PosixFileSystem::shareBlock(to) : blockSize;
    }
    qint64 sharedBlockSize(const QString& folder, const QString& sample) override
    {
        return folderBlockSize ? folderBlockSize : PosixFileSystem::sharedBlockSize(folder, sample);
    }
    FileError shareAll(InputFile& from, OutputFile& to, qint64 bytes) override;
    /// A folder whose list of files cannot be read.
    QString unreadableFolder;
    QStringList fileNames(const QString& folder) override
    {
        return folder == unreadableFolder ? QStringList() : PosixFileSystem::fileNames(folder);
    }

private:
    FileResult<qint64> m_freeSpace = qint64(1) << 50;
};
