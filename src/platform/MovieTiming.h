#pragma once

#include <QDateTime>
#include <optional>

/// When a movie file runs, as its headers and the timestamps at its two ends
/// say: what tells whether one file goes on where another ends.
struct MovieTiming
{
    std::optional<qint64> start;    ///< its first timestamp, in microseconds
    std::optional<qint64> duration; ///< how long it runs, in microseconds
    QDateTime
        created; ///< when it was recorded ("creation_time"), UTC; invalid where it does not say
};
