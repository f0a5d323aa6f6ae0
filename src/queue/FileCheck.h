#pragma once

#include <QString>
#include <sys/types.h>

/// What the queue and the join say about a file they cannot use.
namespace FileCheck {

/// The system's text for an error number ("No such file or directory").
QString systemReason(int error);

/// Empty for a regular file; otherwise why a file of this kind cannot be
/// joined: a folder ("Is a directory") or anything else that is not a
/// regular file (pipes, devices, sockets), which could block or never end.
QString whyNotRegular(mode_t mode);

} // namespace FileCheck
