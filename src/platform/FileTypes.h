#pragma once

#include <QString>
#include <optional>
#include <utility>

/// Why a file operation failed: the system's error number and its text
/// ("No such file or directory"), ready to be shown to the user. Every role
/// of the file seam reports its failures with it. A default FileError is no
/// failure.
class FileError
{
public:
    /// No failure.
    FileError() = default;
    /// `code` in words of the program's own.
    FileError(int code, QString text) : m_code(code), m_text(std::move(text)) {}
    /// The system's error `code` (an errno value), in the system's words.
    static FileError fromCode(int code);
    /// What stands at the path is no regular file: a folder ("Is a
    /// directory"), a pipe or a device ("Not a regular file").
    static FileError notRegular(bool folder);

    bool failed() const { return m_code != 0; }
    int code() const { return m_code; }
    const QString& text() const { return m_text; }

    bool isNotRegular() const;
    /// A failure that a write meets: no space left, the quota, or the
    /// largest file the file system takes.
    bool isWriteSide() const;

    /// The program's own code for a special file.
    static constexpr int kNotRegular = -1;

private:
    int m_code = 0;
    QString m_text;
};

/// A value, or the FileError that kept it from being made.
template <typename T> class FileResult
{
public:
    FileResult(T value) : m_value(std::move(value)) {}
    FileResult(FileError error) : m_error(std::move(error)) {}

    explicit operator bool() const { return m_value.has_value(); }
    T& operator*() { return *m_value; }
    const T& operator*() const { return *m_value; }
    T* operator->() { return &*m_value; }
    const T* operator->() const { return &*m_value; }
    const FileError& error() const { return m_error; }

private:
    std::optional<T> m_value;
    FileError m_error;
};

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
