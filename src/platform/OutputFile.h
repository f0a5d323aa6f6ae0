#pragma once

#include "platform/FileTypes.h"

#include <QString>

/// A new file open for writing, from its first byte on, to become a target
/// in one step. Where the file system allows, it has no name until close(),
/// so a program killed while writing leaves nothing; elsewhere it has a
/// hidden temporary name, locked while the file is written. When destroyed it
/// is closed, and removed unless it got the target's name.
class OutputFile
{
public:
    // Defined here, as InputFile's.
    virtual ~OutputFile() = default;
    /// Its temporary name; empty while it has none.
    virtual QString path() const = 0;
    /// Writes all of `bytes`, or fails (a full disk...).
    virtual FileError write(const char* data, qint64 bytes) = 0;
    /// The file as it stands now (its length is what was written).
    virtual FileIdentity identity() const = 0;
    /// Gives the file its temporary name, if it has none yet, and closes it,
    /// reporting what the last writes met.
    virtual FileError close() = 0;
    /// After close(): gives the file the name `target` in one step,
    /// replacing whatever was there.
    virtual FileError nameAs(const QString& target) = 0;
    /// The system's descriptor for DataMover, or -1 when it has none.
    virtual int handle() const { return -1; }
};
