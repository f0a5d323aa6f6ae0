#pragma once

#include <QtGlobal>

/// Which file a path leads to, and how it stood: enough to tell whether it
/// is still the same file with the same content.
struct FileIdentity
{
    bool exists = false;
    bool regular = false;
    bool folder = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 modifiedNs = 0; // last modification, in nanoseconds since the epoch

    bool sameFile(const FileIdentity& o) const
    {
        return exists && o.exists && device == o.device && inode == o.inode;
    }
    /// The same file, unchanged in length and modification time.
    bool unchangedSince(const FileIdentity& then) const
    {
        return sameFile(then) && size == then.size && modifiedNs == then.modifiedNs;
    }
};
