#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <cerrno>

FileError FileError::fromCode(int code)
{
    return FileError(code, qt_error_string(code));
}

FileError FileError::notRegular(bool folder)
{
    return folder ? fromCode(EISDIR)
                  : FileError(kNotRegular,
                              QCoreApplication::translate("FileError", "Not a regular file"));
}

bool FileError::isNotRegular() const
{
    return m_code == EISDIR || m_code == kNotRegular;
}

bool FileError::isWriteSide() const
{
    return m_code == ENOSPC || m_code == EDQUOT || m_code == EFBIG;
}

bool DataMover::refuses(const FileError& error)
{
    const int c = error.code();
    return c == EXDEV || c == EINVAL || c == ENOSYS || c == EOPNOTSUPP || c == EBADF;
}

bool DataMover::cannotShare(const FileError& error)
{
    const int c = error.code();
    return c == EINVAL || c == EOPNOTSUPP || c == EXDEV || c == ENOTTY || c == EBADF || c == EPERM;
}

FileLookup::~FileLookup() = default;
FileStreams::~FileStreams() = default;
DataMover::~DataMover() = default;
Trash::~Trash() = default;
