#pragma once

#include "platform/MovieContainers.h"

#include <QStringList>

/// What the look inside a queue of MP4/MOV or Matroska/WebM parts found.
struct MoviePlan
{
    /// The container of the one movie the parts can be joined into; None
    /// when they cannot.
    MovieFamily family = MovieFamily::None;
    /// When they cannot, though all are of one kind: the line that names
    /// the first part that differs from the first one, and how.
    QString difference;
    /// What the new file leaves out: streams it cannot carry, the first
    /// part's attached files (the later parts' are not kept); empty: nothing.
    QString leftOut;
    /// Whether the movie's sound is encoded again where parts meet.
    bool smoothed = false;
};

/// Compares the parts, in queue order (`names`: their file names; `layouts`:
/// what describeMovie() found in each).
MoviePlan planMovie(const QStringList& names, const QList<FileResult<MovieLayout>>& layouts);

/// The save dialog's first filter for a movie of `family`: "MP4 Files
/// (*.mp4)"...; empty for None.
QString movieFilter(MovieFamily family);
/// The file name ending of a movie of `family`, without the dot ("mp4"...);
/// empty for None.
QString movieSuffix(MovieFamily family);
