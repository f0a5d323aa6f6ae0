#pragma once

#include "platform/FileTypes.h"

#include <QByteArray>
#include <memory>

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
    /// The system's descriptor for DataMover, or -1 when it has none.
    virtual int handle() const { return -1; }
};

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
