#pragma once

#include "platform/FileTypes.h"

/// Putting files away: into the user's trash, or deleted for good.
class Trash
{
public:
    virtual ~Trash();

    /// Moves the file at `path` into the user's trash. A failure means that
    /// no trash took it, and the file is where it was.
    virtual FileError moveToTrash(const QString& path) = 0;

    /// Deletes the file at `path` for good.
    virtual FileError removeFile(const QString& path) = 0;
};
