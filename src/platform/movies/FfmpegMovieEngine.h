#pragma once

#include "platform/MovieEngine.h"

/// MovieEngine through FFmpeg's libraries: the movie module's one engine,
/// handed to the program by its entry point.
class FfmpegMovieEngine : public MovieEngine
{
public:
    FfmpegMovieEngine();
    FileResult<MovieLayout> describe(InputFile& input) override;
    FileResult<MovieTiming> timing(InputFile& input) override;
    FileResult<std::unique_ptr<MovieWriter>> createWriter(OutputFile& output,
                                                          MovieFamily family) override;
};
