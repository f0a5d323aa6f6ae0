#pragma once

#include "platform/PosixFileSystem.h"

#include <QStringList>

/// The real file system with a few scripted answers: the free space (a
/// petabyte unless told; every query is recorded), a disk that fills up
/// after so many bytes written to new files, new files that keep runs of
/// zeros as holes (so gibibytes of sparse sources join without filling the
/// disk), a target that cannot be made durable, and a desktop without a trash.
class TestFileSystem : public PosixFileSystem
{
public:
    /// nullopt makes every query fail.
    void setFreeSpace(std::optional<qint64> bytes) { m_freeSpace = bytes; }
    std::optional<qint64> freeSpace(const QString& folder) override
    {
        freeSpaceQueries << folder;
        return m_freeSpace;
    }
    QStringList freeSpaceQueries;

    /// Writes to new files fail with "No space left on device" once this
    /// many bytes went to them in all (-1: no limit).
    qint64 diskLeft = -1;
    /// Whole writes of zeros become holes in new files.
    bool sparseOutputs = false;
    std::unique_ptr<Output> createBeside(const QString& target, QString& reason) override;
    /// The kernel's copy into a scripted new file: bounded by the full disk,
    /// and done by reading and writing where the file keeps holes.
    Copied copyRange(Input& from, Output& to, qint64 bytes) override;

    /// When set, makeDurable() fails with this reason.
    QString durableFailure;
    QString makeDurable(const QString& path) override
    {
        return durableFailure.isEmpty() ? PosixFileSystem::makeDurable(path) : durableFailure;
    }

    /// When set, no trash takes a file.
    bool noTrash = false;
    Trashed moveToTrash(const QString& path, QString& reason) override
    {
        if (!noTrash)
            return PosixFileSystem::moveToTrash(path, reason);
        reason = QStringLiteral("no trash here");
        return Trashed::NoTrash;
    }

    /// Every path given to openInput, in order. Each open and each size
    /// asked first waits this many milliseconds (a slow disk).
    QStringList opened;
    int lookDelayMs = 0;
    std::unique_ptr<Input> openInput(const QString& path, Status& status) override;
    Status fileSize(const QString& path) override;

private:
    std::optional<qint64> m_freeSpace = qint64(1) << 50;
};
