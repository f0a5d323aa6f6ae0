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
    /// Its pictures begin with some that are decoded only, not shown: it
    /// was cut out of a longer movie between two key pictures, and its
    /// container (an MP4 edit) hides them, which one track can do only at
    /// its start.
    bool cutInside = false;
    /// The kept streams alone, in order, without attached files.
    QList<MovieStream> kept() const;
};
