#pragma once

#include "platform/MovieFamily.h"
#include "platform/MovieStream.h"

#include <QList>

/// What a movie file holds: its container and its streams in file order.
struct MovieLayout
{
    MovieFamily family = MovieFamily::None;
    QList<MovieStream> streams;
    /// The kept streams alone, in order.
    QList<MovieStream> kept() const;
};
