#pragma once

#include <QString>
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
