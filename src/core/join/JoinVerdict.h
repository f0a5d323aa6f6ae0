#pragma once

#include "platform/FileIdentity.h"
#include "platform/MovieContainers.h"

#include <QList>

#include <QString>

/// What the checks before a join found: go on, ask the user first (the
/// text is the question), refuse the target or find too little space (the
/// text is the message to show), or stop, because the join was cancelled
/// while they looked.
struct JoinVerdict
{
    enum class Kind { Go, Ask, Refused, NoSpace, Stopped };
    Kind kind = Kind::Go;
    QString text;
    /// With Ask: the container the files can be joined into as one movie;
    /// None when they cannot.
    MovieFamily oneMovie = MovieFamily::None;
    /// With oneMovie: each source as it stood when it was compared, in join
    /// order.
    QList<FileIdentity> compared = {};
    /// With Ask, when the files are all MP4/MOV or all Matroska/WebM but
    /// cannot be one movie: the part that differs, and how (MoviePlan).
    QString difference = {};
};
