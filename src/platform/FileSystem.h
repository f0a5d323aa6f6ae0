#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

/// The one door from the program's logic to the files on disk: sizes,
/// existence, identity, free space, deletion, and the reading and writing
/// the copy loop does. PosixFileSystem is the real one; tests may script
/// parts of it (the free space, say) and keep the rest real.
///
/// Every failure comes with the system's own reason ("No such file or
/// directory"), ready to be shown to the user.
class FileSystem
{
public:
    /// Why a file cannot be used.
    enum class Failure {
        None,
        Lookup, ///< its status cannot be read (gone, or its folder is closed to us)
        Kind,   ///< it is no regular file: a folder, a pipe, a device
        Open,   ///< it cannot be opened (no permission...)
    };

    /// Which file a path leads to, and how it stood: enough to tell whether
    /// it is still the same file with the same content.
    struct Identity
    {
        bool exists = false;
        bool regular = false;
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = -1;
        qint64 modifiedNs = 0; // last modification, in nanoseconds since the epoch
        bool sameFile(const Identity& o) const
        {
            return exists && o.exists && device == o.device && inode == o.inode;
        }
        /// The same file, unchanged in length and modification time.
        bool unchangedSince(const Identity& then) const
        {
            return sameFile(then) && size == then.size && modifiedNs == then.modifiedNs;
        }
    };

    /// A regular file's size, or why there is none.
    struct Status
    {
        qint64 size = -1;
        Failure failure = Failure::None;
        QString reason; // the system's text; empty when usable
        explicit operator bool() const { return failure == Failure::None; }
    };

    /// A source open for reading, from its first byte on. Closed when destroyed.
    class Input
    {
    public:
        virtual ~Input();
        /// Its length when it was opened.
        virtual qint64 size() const = 0;
        /// The file and how it stood when it was opened.
        virtual Identity identity() const = 0;
        /// Reads until `bytes` arrived or the file ended; returns how many
        /// arrived, or -1 with the reason.
        virtual qint64 read(char* into, qint64 bytes, QString& reason) = 0;
    };

    /// A new file open for writing, from its first byte on, under a
    /// temporary name of its own. Closed (without a check) when destroyed;
    /// close() reports what the last writes met.
    class Output
    {
    public:
        virtual ~Output();
        /// Its temporary name.
        virtual QString path() const = 0;
        /// Writes all of `bytes` or fails with the reason (a full disk...).
        virtual bool write(const char* data, qint64 bytes, QString& reason) = 0;
        /// The file as it stands now (its length is what was written).
        virtual Identity identity() const = 0;
        virtual bool close(QString& reason) = 0;
    };

    /// What became of a file sent to the trash.
    enum class Trashed { Yes, NoTrash };

    virtual ~FileSystem();

    /// Size of the regular file at `path` (links followed).
    virtual Status fileSize(const QString& path) = 0;

    /// The same, and the file can be opened for reading by this user.
    virtual Status readableFileSize(const QString& path) = 0;

    /// Whether a directory search for `PathName` finds a regular, non-hidden
    /// file. "*" and "?" in the file name act as patterns (case-sensitive,
    /// every other character literal); folders, hidden files (".name"),
    /// special files and dangling links never count.
    virtual bool File_Exists(const QString& PathName) = 0;

    /// Whether anything (a file, a folder, a device...) is at `path`.
    virtual bool exists(const QString& path) = 0;

    /// Index of the first of `files` that is the file `target` itself: the
    /// same device and inode, or the same canonical path (also for a target
    /// that does not exist yet). -1 when none is.
    virtual int firstSameFile(const QStringList& files, const QString& target) = 0;

    /// Bytes available to this user on the file system that holds `folder`,
    /// asked afresh; nullopt when the query fails.
    virtual std::optional<qint64> freeSpace(const QString& folder) = 0;

    /// Deletes the file at `path`. Empty on success, otherwise the reason.
    virtual QString removeFile(const QString& path) = 0;

    /// Opens the regular file at `path` for reading, telling the system it
    /// is read once from start to end. nullptr on failure, with `status`
    /// saying why; on success `status` holds its size.
    virtual std::unique_ptr<Input> openInput(const QString& path, Status& status) = 0;

    /// Creates a new, empty file with a temporary name in the folder of
    /// `target`, to become `target` later (rename()). It has the permissions
    /// of an existing target, otherwise those a new file gets. nullptr on
    /// failure, with the reason.
    virtual std::unique_ptr<Output> createBeside(const QString& target, QString& reason) = 0;

    /// What a kernel copy did.
    struct Copied
    {
        qint64 bytes = 0;        // copied; 0 when the source had ended
        bool failed = false;     // then `reason` says why
        bool refused = false;    // the kernel cannot copy between these two at all
        bool targetSide = false; // the failure was the target's (a full disk...)
        QString reason;
    };

    /// Lets the kernel copy up to `bytes` from where `from` stands to the end
    /// of `to` (both move on), without the data passing through the program.
    /// A refusal (another file system, an older kernel...) means: read and
    /// write instead.
    virtual Copied copyRange(Input& from, Output& to, qint64 bytes) = 0;

    /// Gives the file `from` the name `to` in one step, replacing whatever
    /// was there. Empty on success, otherwise the reason.
    virtual QString rename(const QString& from, const QString& to) = 0;

    /// Which file `path` leads to now (links followed).
    virtual Identity identity(const QString& path) = 0;

    /// Makes the file at `path` and its name in its folder durable: written
    /// through to the disk. Empty on success, otherwise the reason.
    virtual QString makeDurable(const QString& path) = 0;

    /// Moves the file at `path` into the user's trash. Trashed::NoTrash
    /// (and the file where it was) when no trash takes it, with the reason.
    virtual Trashed moveToTrash(const QString& path, QString& reason) = 0;
};
