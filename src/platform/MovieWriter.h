#pragma once

#include "platform/FileStreams.h"
#include "platform/MovieFamily.h"

#include <QString>
#include <memory>

/// One new movie written into an OutputFile from parts added one after
/// another, each packet of each kept stream copied unchanged. The first
/// part gives the container, the streams, their parameters and side data
/// (a rotation) and the metadata. Each later part is shifted in time to
/// start where the ones before it end, one shift for all its streams, so
/// that pictures and sound stay in step; a packet that would still decode
/// before its predecessor in its stream is moved just behind it. Each part
/// starts a chapter.
class MovieWriter
{
public:
    /// How copyPacket() went.
    enum class Step {
        Copied,   ///< one packet read (and written, when its stream is kept)
        PartDone, ///< the part was read to its end
        ReadFailed,
        WriteFailed,
    };

    virtual ~MovieWriter() = default;
    /// A writer of a `family` movie into `output` (which must outlive it).
    /// Safe to call from any thread; the writer is then used on one.
    static FileResult<std::unique_ptr<MovieWriter>> create(OutputFile& output, MovieFamily family);

    /// Opens `part` (which must outlive its copy) as the next part; its
    /// chapter is named `chapter`. The header is written with the first.
    virtual Step beginPart(InputFile& part, const QString& chapter) = 0;
    /// Copies the part's next packet.
    virtual Step copyPacket() = 0;
    /// How far into the current part the copy has read, in bytes.
    virtual qint64 partPosition() const = 0;
    /// Writes the container's ending; WriteFailed or Copied.
    virtual Step finish() = 0;
    /// The reason of the last failure: the seam's text for a failed read or
    /// write of a file, otherwise the library's words.
    virtual QString failure() const = 0;

protected:
    MovieWriter() = default;
    MovieWriter(const MovieWriter&) = delete;
    MovieWriter& operator=(const MovieWriter&) = delete;
};
