#include "platform/movies/FfmpegInput.h"

#include "platform/movies/Ffmpeg.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <cerrno>
#include <unistd.h>

namespace {

// Whether the header gave every stream's picture size or sound format.
bool described(const AVFormatContext* format)
{
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVCodecParameters* p = format->streams[i]->codecpar;
        if ((p->codec_type == AVMEDIA_TYPE_VIDEO && (p->width <= 0 || p->height <= 0)) ||
            (p->codec_type == AVMEDIA_TYPE_AUDIO &&
             (p->sample_rate <= 0 || p->ch_layout.nb_channels <= 0)))
            return false;
    }
    return true;
}

} // namespace

int FfmpegInput::Io::read(void* opaque, uint8_t* buf, int size)
{
    auto* io = static_cast<Io*>(opaque);
    const FileResult<qint64> got = io->file->read(reinterpret_cast<char*>(buf), size);
    if (!got)
        return io->failure = got.error(), AVERROR(EIO);
    return *got > 0 ? int(*got) : AVERROR_EOF;
}

int64_t FfmpegInput::Io::seek(void* opaque, int64_t offset, int whence)
{
    auto* io = static_cast<Io*>(opaque);
    if (whence & AVSEEK_SIZE)
        return io->file->size();
    const off_t at = ::lseek(io->file->handle(), offset, whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : at;
}

FfmpegInput::~FfmpegInput()
{
    avformat_close_input(&m_format);
    Ffmpeg::freeIo(m_pb);
}

QString FfmpegInput::open(InputFile& file, bool streams)
{
    m_io.file = &file;
    m_pb = Ffmpeg::ioContext(&m_io, false, &Io::read, nullptr, &Io::seek);
    m_format = avformat_alloc_context();
    if (!m_pb || !m_format)
        return Ffmpeg::libraryText(AVERROR(ENOMEM));
    m_format->pb = m_pb;
    m_format->flags |= AVFMT_FLAG_NOPARSE; // whole packets as stored: nothing to parse
    int e = avformat_open_input(&m_format, "", nullptr, nullptr);
    // The header mostly holds all that is compared and copied; where it does not, a look at
    // the first packets, which decodes pictures (tens of milliseconds each).
    if (e >= 0 && streams && !described(m_format))
        e = avformat_find_stream_info(m_format, nullptr);
    return e >= 0                  ? QString()
           : m_io.failure.failed() ? m_io.failure.text()
                                   : Ffmpeg::libraryText(e);
}
