#pragma once

#include "platform/FileStreams.h"

/// Moving data from one open file to another without it passing through the
/// program: today the kernel's copy.
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
};
