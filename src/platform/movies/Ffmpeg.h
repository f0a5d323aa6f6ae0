#pragma once

#include "platform/MovieContainers.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QString>
#include <cstdint>

struct AVIOContext;
struct AVOutputFormat;
struct AVStream;

/// What the movie module's reading and writing share of FFmpeg's libraries.
namespace Ffmpeg {

/// The movie module's diagnostics ("reelbind.movies"; debug: how long each
/// join of the sound took).
Q_DECLARE_LOGGING_CATEGORY(lcMovies)

/// The library's words for its error code `error`.
QString libraryText(int error);

/// The movie module's texts for the user: Text::tr(), in their context.
struct Text
{
    Q_DECLARE_TR_FUNCTIONS(Ffmpeg)
};

/// Silences the library's own messages: its failures come back as texts.
void quiet();

/// The library's I/O over `opaque` through the given calls, with a buffer of
/// its own; null without memory. Freed by freeIo().
AVIOContext* ioContext(void* opaque, bool write, int (*read)(void*, uint8_t*, int),
                       int (*put)(void*, uint8_t*, int), int64_t (*seek)(void*, int64_t, int));

/// Frees an ioContext() and its buffer; `io` is null after.
void freeIo(AVIOContext*& io);

/// The library's name of the muxer that writes `family` ("mp4"); null for None.
const char* muxerOf(MovieFamily family);

/// Whether `muxer` writes the MP4 family (MP4, MOV: not M4A's "ipod").
bool writesMp4(const AVOutputFormat* muxer);

/// Whether `st` is a stream of pictures, not a cover picture.
bool pictures(const AVStream* st);

/// Whether a new file of `muxer` can carry the stream `st`: pictures, sound
/// or subtitles of a codec the muxer takes, not a cover picture; a camera's
/// telemetry where the muxer writes it (MP4, MOV); an attached file where the
/// muxer writes attachments (Matroska).
bool carried(const AVStream* st, const AVOutputFormat* muxer);

} // namespace Ffmpeg
