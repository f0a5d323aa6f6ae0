#pragma once

#include "platform/InputFile.h"
#include "platform/OutputFile.h"

#include <QByteArray>
#include <memory>

/// Reading and writing files: the sources and the target of a join, the
/// settings file, and the names of files.
class FileStreams
{
public:
    virtual ~FileStreams();

    /// Opens the regular file at `path` for reading, telling the system it
    /// is read once from start to end; a pipe in its place fails at once.
    virtual FileResult<std::unique_ptr<InputFile>> openInput(const QString& path) = 0;

    /// Creates a new, empty file in the folder of `target`, to become
    /// `target` later (OutputFile::nameAs()). It has the permissions of an
    /// existing target, otherwise those a new file gets.
    virtual FileResult<std::unique_ptr<OutputFile>> createBeside(const QString& target) = 0;

    /// Removes the temporary files that earlier joins into `folder` left
    /// and nobody holds any longer (a killed program's), so that they take
    /// no room from the next join.
    virtual void removeLeftovers(const QString& folder) = 0;

    /// Gives the file `from` the name `to` in one step, replacing whatever
    /// was there.
    virtual FileError rename(const QString& from, const QString& to) = 0;

    /// Makes the file at `path` and its name in its folder durable: written
    /// through to the disk.
    virtual FileError makeDurable(const QString& path) = 0;

    /// The whole regular file at `path`, when it holds at most `maxBytes`
    /// (a pipe is never waited for).
    virtual FileResult<QByteArray> readSmallFile(const QString& path, qint64 maxBytes) = 0;

    /// Replaces the file at `path` with `content` in one step; on failure the
    /// old file is left as it was. Keeps an existing file's permissions.
    virtual FileError replaceFile(const QString& path, const QByteArray& content) = 0;

    /// Makes the folder at `path` with every folder above it that is missing.
    virtual FileError makeFolder(const QString& path) = 0;
};
