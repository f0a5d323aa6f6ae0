#pragma once

#include "platform/PosixFileSystem.h"

#include <QStringList>

/// The real file system with a few scripted answers: the free space (a
/// petabyte unless told; every query is recorded), a disk that fills up
/// after so many bytes written to new files, new files that keep runs of
/// zeros as holes (so gibibytes of sparse sources join without filling the
/// disk), a target that cannot be made durable, a desktop without a trash,
/// and a slow disk.
class TestFileSystem : public PosixFileSystem
{
public:
    /// A failure makes every query fail.
    void setFreeSpace(FileResult<qint64> bytes) { m_freeSpace = bytes; }
    FileResult<qint64> freeSpace(const QString& folder) override;
    QStringList freeSpaceQueries;

    /// Writes to new files fail with "No space left on device" once this
    /// many bytes went to them in all (-1: no limit).
    qint64 diskLeft = -1;
    /// Whole writes of zeros become holes in new files.
    bool sparseOutputs = false;
    FileResult<std::unique_ptr<OutputFile>> createBeside(const QString& target) override;
    /// The kernel's copy into a scripted new file: bounded by the full disk,
    /// and done by reading and writing where the file keeps holes.
    FileResult<qint64> copyRange(InputFile& from, OutputFile& to, qint64 bytes) override;

    /// When set, makeDurable() fails with this reason.
    QString durableFailure;
    FileError makeDurable(const QString& path) override;

    /// When set, no trash takes a file.
    bool noTrash = false;
    FileError moveToTrash(const QString& path) override;

    /// Every path given to openInput, in order. Each open and each size
    /// asked first waits this many milliseconds (a slow disk).
    QStringList opened;
    int lookDelayMs = 0;
    FileResult<std::unique_ptr<InputFile>> openInput(const QString& path) override;
    FileResult<qint64> fileSize(const QString& path) override;

private:
    FileResult<qint64> m_freeSpace = qint64(1) << 50;
};
