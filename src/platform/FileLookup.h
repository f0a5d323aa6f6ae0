#pragma once

#include "platform/FileTypes.h"

#include <QStringList>

/// Looking at files without opening them for long: sizes, which file a path
/// leads to, directory searches, and the free space of a file system.
/// Links are followed.
class FileLookup
{
public:
    virtual ~FileLookup();

    /// The length of the regular file at `path`.
    virtual FileResult<qint64> fileSize(const QString& path) = 0;

    /// The same, and this user may open it for reading (never waiting for
    /// a writer, should it be a pipe).
    virtual FileResult<qint64> readableFileSize(const QString& path) = 0;

    /// Which file `path` leads to now; `exists` false when none does.
    virtual FileIdentity identity(const QString& path) = 0;

    /// Whether a directory search for `pathName` finds a regular, non-hidden
    /// file. "*" and "?" in the file name act as patterns (case-sensitive,
    /// every other character literal); folders, hidden files (".name"),
    /// special files and dangling links never count.
    virtual bool fileExists(const QString& pathName) = 0;

    /// Index of the first of `files` that is the file `target` itself: the
    /// same device and inode, or the same canonical path (also for a target
    /// that does not exist yet). -1 when none is.
    virtual int firstSameFile(const QStringList& files, const QString& target) = 0;

    /// Bytes available to this user on the file system that holds `folder`,
    /// asked afresh.
    virtual FileResult<qint64> freeSpace(const QString& folder) = 0;

    /// The names of the files in `folder` (not its folders); none when it
    /// cannot be read.
    virtual QStringList fileNames(const QString& folder) = 0;
};
