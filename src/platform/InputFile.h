#pragma once

#include "platform/FileTypes.h"

/// A source open for reading, from its first byte on. Closed when destroyed.
class InputFile
{
public:
    // Defined here, so that the movie module, which holds none of the platform's code, has
    // this class's type information of its own.
    virtual ~InputFile() = default;
    /// Its length when it was opened.
    virtual qint64 size() const = 0;
    /// The file and how it stood when it was opened.
    virtual FileIdentity identity() const = 0;
    /// Reads until `bytes` arrived or the file ended; how many arrived.
    virtual FileResult<qint64> read(char* into, qint64 bytes) = 0;
    /// Reads from `offset` on until `bytes` arrived or the file ended, without
    /// moving where read() stands; how many arrived. Safe beside read() and
    /// DataMover's calls on another thread.
    virtual FileResult<qint64> readAt(qint64 offset, char* into, qint64 bytes) = 0;
    /// The system's descriptor for DataMover, or -1 when it has none.
    virtual int handle() const { return -1; }
};
