#pragma once

#include "platform/FileStreams.h"

/// Moving data from one open file to another without it passing through the
/// program: the kernel's copy, and blocks shared between files (btrfs, XFS).
class DataMover
{
public:
    virtual ~DataMover();

    /// Lets the kernel copy up to `bytes` from where `from` stands to the
    /// end of `to` (both move on). Returns how many it copied, 0 when the
    /// source had ended. A failure for which refuses() holds means that the
    /// kernel cannot copy between these two files at all (another file
    /// system, an older kernel...): read and write instead.
    virtual FileResult<qint64> copyRange(InputFile& from, OutputFile& to, qint64 bytes) = 0;

    /// Whether `error` says that the kernel cannot copy between two files.
    static bool refuses(const FileError& error);

    /// The size of the blocks `to`'s file system shares: where `to` ends at
    /// a multiple of it, a source may be shared (shareAll()); 0 when unknown.
    virtual qint64 shareBlock(OutputFile& to) = 0;

    /// Puts `bytes` of `from` (all of it, from its first byte) at the end of
    /// `to` by sharing their blocks, in one call (FICLONERANGE); `to` then
    /// ends after them. A failure for which cannotShare() holds means only
    /// that these files share nothing: copy instead.
    virtual FileError shareAll(InputFile& from, OutputFile& to, qint64 bytes) = 0;

    /// The block size in which the file system of `folder` shares blocks
    /// with `sample` (a file there of at least one block), tried on an
    /// unnamed file in `folder` that leaves nothing behind; 0 where it
    /// shares none or cannot tell.
    virtual qint64 sharedBlockSize(const QString& folder, const QString& sample) = 0;

    /// Whether `error` from shareAll() only means that nothing is shared.
    static bool cannotShare(const FileError& error);
};
