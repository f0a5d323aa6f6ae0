#pragma once

#include "core/movies/MoviePlan.h"

#include <QByteArray>
#include <QList>
#include <QString>

/// What kind of movie (or sound) file a file is, told by the first bytes
/// it holds, and whether files of that kind still play when joined byte by
/// byte.
///
/// Streams (MPEG program, video elementary and transport streams, MP3,
/// Ogg) play on across a join. Containers that describe one file in a
/// header or index (MP4/MOV, Matroska/WebM, AVI, WAV, FLV, ASF/WMV) do not:
/// a player reads the first file's index and stops where that file ended.
namespace MovieKind {

enum class Kind {
    Unknown, ///< no signature we know: a later part of a split file, anything else
    ProgramStream,
    VideoStream,
    TransportStream,
    M2ts,
    Mp3,
    Ogg,
    Mp4,
    Matroska,
    Avi,
    Wav,
    Flv,
    Asf,
};

/// How many of a file's first bytes identify() wants to see.
constexpr int kHeadBytes = 4096;

/// The kind of a file that begins with `head` (fewer bytes when the file is
/// shorter). Unknown unless the signature is complete.
Kind identify(const QByteArray& head);

/// The kind as the user reads it: "MPEG program stream", "MP4/MOV"...
QString name(Kind kind);

/// Whether files of this kind carry an index or a length of their own, so
/// that joined byte by byte they play only their first part.
bool hasIndex(Kind kind);

/// One queued file and its kind, in queue order.
struct Queued
{
    QString path;
    Kind kind = Kind::Unknown;
};

/// The question to ask before files of these kinds are joined, or an empty
/// text when nothing speaks against the join. With a plan that can join
/// them as one movie, the question offers that (Join as One Movie, Join
/// Bytes Anyway, Cancel) and says what each gives; otherwise it asks Yes or
/// No, naming the plan's difference. It asks when a file of an
/// indexed kind, or files of more than one known kind, are queued; files of
/// no known kind never count, and neither does the first file alone (a
/// single file, or the first part of a split file followed by its parts).
/// The files named are those of known kinds, indexed ones first, at most
/// 15 of them.
QString joinQuestion(const QList<Queued>& files, const MoviePlan& plan = MoviePlan());

/// The buttons of the question that offers a movie: Join as One Movie
/// (Enter), Join Bytes Anyway, Cancel (Esc).
QStringList oneMovieButtons();

/// The title of the box that asks joinQuestion().
QString questionTitle();

} // namespace MovieKind
