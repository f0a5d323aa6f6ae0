#include "queue/FileCheck.h"

#include <cerrno>
#include <sys/stat.h>

namespace FileCheck {

QString systemReason(int error)
{
    return qt_error_string(error);
}

QString whyNotRegular(mode_t mode)
{
    if (S_ISREG(mode))
        return QString();
    if (S_ISDIR(mode))
        return systemReason(EISDIR);
    return QStringLiteral("Not a regular file");
}

} // namespace FileCheck
