#pragma once

#include "platform/MovieFamily.h"
#include "platform/MovieStream.h"

#include <QList>

/// What a movie file holds: its container and its streams in file order.
struct MovieLayout
{
    MovieFamily family = MovieFamily::None;
    QList<MovieStream> streams;
    /// It says how long it is (its container, or each picture and sound
    /// stream): what a join checks each part against.
    bool timed = true;
    /// The kept streams alone, in order, without attached files.
    QList<MovieStream> kept() const;
};
