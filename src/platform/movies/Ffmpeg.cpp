#include "platform/movies/Ffmpeg.h"

#include <QCoreApplication>

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

namespace Ffmpeg {

Q_LOGGING_CATEGORY(lcMovies, "reelbind.movies", QtWarningMsg)

namespace {
constexpr int kIoBuffer = 1 << 16;
} // namespace

QString libraryText(int error)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return QString::fromUtf8(text);
}

void quiet()
{
    av_log_set_level(AV_LOG_QUIET);
}

AVIOContext* ioContext(void* opaque, bool write, int (*read)(void*, uint8_t*, int),
                       int (*put)(void*, uint8_t*, int), int64_t (*seek)(void*, int64_t, int))
{
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBuffer));
    AVIOContext* io =
        buffer ? avio_alloc_context(buffer, kIoBuffer, write, opaque, read, put, seek) : nullptr;
    if (!io)
        av_free(buffer);
    return io;
}

void freeIo(AVIOContext*& io)
{
    if (io)
        av_freep(&io->buffer);
    avio_context_free(&io);
}

const char* muxerOf(MovieFamily family)
{
    switch (family) {
    case MovieFamily::Mp4:
        return "mp4";
    case MovieFamily::M4a: // MP4 of the brand "M4A "
        return "ipod";
    case MovieFamily::Mov:
        return "mov";
    case MovieFamily::Matroska:
    case MovieFamily::Mka:
        return "matroska";
    case MovieFamily::WebM:
        return "webm";
    case MovieFamily::None:
        break;
    }
    return nullptr;
}

bool writesMp4(const AVOutputFormat* muxer)
{
    return muxer && (std::strcmp(muxer->name, "mp4") == 0 || std::strcmp(muxer->name, "mov") == 0);
}

bool pictures(const AVStream* st)
{
    return st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
           !(st->disposition & AV_DISPOSITION_ATTACHED_PIC);
}

bool carried(const AVStream* st, const AVOutputFormat* muxer)
{
    const AVCodecParameters* p = st->codecpar;
    if (p->codec_type == AVMEDIA_TYPE_ATTACHMENT) // of the Matroska family, not WebM
        return muxer && std::strcmp(muxer->name, "matroska") == 0 && p->extradata_size > 0;
    // Of data, action cameras' telemetry (GoPro's "gpmd"), which MP4 and MOV carry.
    const bool telemetry = p->codec_type == AVMEDIA_TYPE_DATA &&
                           p->codec_tag == MKTAG('g', 'p', 'm', 'd') && writesMp4(muxer);
    const bool media = p->codec_type == AVMEDIA_TYPE_VIDEO || p->codec_type == AVMEDIA_TYPE_AUDIO ||
                       p->codec_type == AVMEDIA_TYPE_SUBTITLE || telemetry;
    return media && p->codec_id != AV_CODEC_ID_NONE && muxer &&
           !(st->disposition & AV_DISPOSITION_ATTACHED_PIC) &&
           avformat_query_codec(muxer, p->codec_id, FF_COMPLIANCE_NORMAL) == 1;
}

} // namespace Ffmpeg
