#pragma once

#include "platform/FileStreams.h"

#include <QString>

struct AVFormatContext;
struct AVIOContext;

/// A movie open for reading through FFmpeg's libraries, every byte read
/// (and every seek made) through the seam's InputFile.
class FfmpegInput
{
public:
    FfmpegInput() = default;
    ~FfmpegInput();
    FfmpegInput(const FfmpegInput&) = delete;
    FfmpegInput& operator=(const FfmpegInput&) = delete;

    /// Opens the movie `file` holds (which must outlive this), reading its
    /// header and, where that does not describe every stream and `streams`
    /// is set, its first packets. "" when it opened; otherwise the reason.
    QString open(InputFile& file, bool streams = true);

    /// The library's view of the open movie.
    AVFormatContext* format() const { return m_format; }
    /// The file it reads.
    InputFile& file() const { return *m_io.file; }
    /// The seam's last failure while the library read, or none.
    const FileError& failure() const { return m_io.failure; }

private:
    // The seam's file behind the library's reads and seeks.
    struct Io
    {
        InputFile* file = nullptr;
        FileError failure; // kept for the message
        static int read(void* opaque, uint8_t* buf, int size);
        static int64_t seek(void* opaque, int64_t offset, int whence);
    };
    Io m_io;
    AVIOContext* m_pb = nullptr;
    AVFormatContext* m_format = nullptr;
};
