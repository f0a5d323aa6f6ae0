#pragma once

#include "platform/MovieContainers.h"

#include <memory>

/// What the movie module does: reading what a movie file holds, and writing
/// a new movie from parts, through FFmpeg's libraries. The module implements
/// it; MovieModule loads the module and hands out its one engine, which the
/// free describeMovie(), readMovieTiming() and MovieWriter::create()
/// delegate to. Every call may come from any thread.
class MovieEngine
{
public:
    virtual ~MovieEngine() = default;

    /// The container and streams of the movie `input` holds, as
    /// describeMovie() gives them.
    virtual FileResult<MovieLayout> describe(InputFile& input) = 0;

    /// When the movie `input` holds runs, as readMovieTiming() gives it.
    virtual FileResult<MovieTiming> timing(InputFile& input) = 0;

    /// A writer of a `family` movie into `output`, as MovieWriter::create()
    /// gives it.
    virtual FileResult<std::unique_ptr<MovieWriter>> createWriter(OutputFile& output,
                                                                  MovieFamily family) = 0;
};
