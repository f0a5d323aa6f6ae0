#pragma once

#include "platform/FileStreams.h"
#include "platform/MovieLayout.h"
#include "platform/MovieWriter.h"

/// Movie containers (MP4/MOV, Matroska/WebM) read and written through
/// FFmpeg's libraries, packet by packet: nothing is ever decoded or encoded.
/// Every byte goes through the seam's InputFile and OutputFile. The
/// libraries live in the movie module (MovieModule), loaded on the first
/// call of describeMovie() or MovieWriter::create(); where it cannot be
/// loaded, both fail naming the module and the reason.

/// Reads the container and streams of the movie `input` holds (from its
/// first byte); a file the library cannot read as a movie fails with the
/// library's reason. Safe to call from any thread.
FileResult<MovieLayout> describeMovie(InputFile& input);
