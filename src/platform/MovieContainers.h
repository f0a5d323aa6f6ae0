#pragma once

#include "platform/FileStreams.h"
#include "platform/MovieLayout.h"
#include "platform/MovieTiming.h"
#include "platform/MovieWriter.h"

/// Movie containers (MP4/MOV, Matroska/WebM) read and written through
/// FFmpeg's libraries, packet by packet: nothing is ever decoded or encoded.
/// Every byte goes through the seam's InputFile and OutputFile. The
/// libraries live in the movie module (MovieModule), loaded on the first
/// call of describeMovie(), readMovieTiming() or MovieWriter::create(); where
/// it cannot be loaded, they fail naming the module and the reason.

/// Reads the container and streams of the movie `input` holds (from its
/// first byte); a file the library cannot read as a movie fails with the
/// library's reason. Safe to call from any thread.
FileResult<MovieLayout> describeMovie(InputFile& input);

/// Reads when the movie `input` holds runs: its headers and the packets at
/// its start and end, nothing decoded (an MPEG transport stream, which says
/// no length, is measured by its last timestamps). Any container the library
/// reads; one it cannot read fails with the library's reason. Safe to call
/// from any thread.
FileResult<MovieTiming> readMovieTiming(InputFile& input);
