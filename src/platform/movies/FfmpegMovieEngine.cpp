#include "platform/movies/FfmpegMovieEngine.h"

#include "platform/MovieModuleEntry.h"
#include "platform/movies/Ffmpeg.h"
#include "platform/movies/FfmpegInput.h"
#include "platform/movies/FfmpegMovieWriter.h"
#include "platform/movies/SoundBridge.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/display.h>
}

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <optional>
#include <type_traits>
#include <unistd.h>

namespace {

MovieFamily familyOf(const AVFormatContext* format, const QByteArray& head)
{
    const QByteArray name = format->iformat->name;
    bool pictures = false, sound = false; // a cover is no picture
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* st = format->streams[i];
        pictures |= Ffmpeg::pictures(st);
        sound |= st->codecpar->codec_type == AVMEDIA_TYPE_AUDIO;
    }
    const bool soundAlone = sound && !pictures;
    if (name.startsWith("matroska"))
        return head.contains(QByteArray("\x42\x82\x84webm", 7)) ? MovieFamily::WebM
               : soundAlone                                     ? MovieFamily::Mka
                                                                : MovieFamily::Matroska;
    if (!name.startsWith("mov,mp4"))
        return MovieFamily::None;
    const AVDictionaryEntry* brand = av_dict_get(format->metadata, "major_brand", nullptr, 0);
    return !brand || QByteArray(brand->value).startsWith("qt") ? MovieFamily::Mov
           : soundAlone                                        ? MovieFamily::M4a
                                                               : MovieFamily::Mp4;
}

// Whether the file says how long it is: its container, or each of its picture and sound streams
// (their headers, or Matroska's DURATION tags).
bool timed(const AVFormatContext* format)
{
    if (format->duration > 0)
        return true;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* st = format->streams[i];
        if ((Ffmpeg::pictures(st) || st->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) &&
            st->duration <= 0 && !av_dict_get(st->metadata, "DURATION", nullptr, 0))
            return false;
    }
    return true;
}

// Whether the first picture read is one to decode but not to show (the file starts between two
// key pictures); the first packets are read to tell.
bool cutInside(AVFormatContext* format)
{
    AVPacket* pkt = av_packet_alloc();
    bool cut = false;
    for (int read = 0; pkt && read < 64 && av_read_frame(format, pkt) >= 0; ++read) {
        const bool picture = Ffmpeg::pictures(format->streams[pkt->stream_index]);
        cut = picture && (pkt->flags & AV_PKT_FLAG_DISCARD);
        av_packet_unref(pkt);
        if (picture)
            break;
    }
    av_packet_free(&pkt);
    return cut;
}

// The earliest and the latest moment, in microseconds, that the picture and sound packets read
// from here on hold (the latest at a packet's end, where it says how long it lasts), `packets` of
// them at most; nothing is decoded.
struct Moments
{
    std::optional<qint64> first, last;
};
Moments moments(AVFormatContext* format, int packets)
{
    Moments m;
    AVPacket* pkt = av_packet_alloc();
    for (int read = 0; pkt && read < packets && av_read_frame(format, pkt) >= 0; ++read) {
        const AVStream* st = format->streams[pkt->stream_index];
        const int64_t at = pkt->pts != AV_NOPTS_VALUE ? pkt->pts : pkt->dts;
        if (at != AV_NOPTS_VALUE &&
            (Ffmpeg::pictures(st) || st->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)) {
            const qint64 from = av_rescale_q(at, st->time_base, AV_TIME_BASE_Q);
            const qint64 to = av_rescale_q(at + std::max<int64_t>(0, pkt->duration), st->time_base,
                                           AV_TIME_BASE_Q);
            m.first = std::min(m.first.value_or(from), from);
            m.last = std::max(m.last.value_or(to), to);
        }
        av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
    return m;
}

QDateTime creationTime(const AVFormatContext* format)
{
    const AVDictionaryEntry* e = av_dict_get(format->metadata, "creation_time", nullptr, 0);
    QDateTime at =
        e ? QDateTime::fromString(QString::fromLatin1(e->value), Qt::ISODateWithMs) : QDateTime();
    if (at.timeSpec() == Qt::LocalTime) // the library's times are UTC, with or without their Z
        at.setTimeSpec(Qt::UTC);
    return at.toUTC();
}

MovieStream streamOf(const AVStream* st, const AVOutputFormat* muxer)
{
    const AVCodecParameters* p = st->codecpar;
    MovieStream s;
    s.type = p->codec_type == AVMEDIA_TYPE_VIDEO      ? MovieStream::Type::Video
             : p->codec_type == AVMEDIA_TYPE_AUDIO    ? MovieStream::Type::Audio
             : p->codec_type == AVMEDIA_TYPE_SUBTITLE ? MovieStream::Type::Subtitle
                                                      : MovieStream::Type::Other;
    s.codec = p->codec_id == AV_CODEC_ID_NONE ? QString()
                                              : QString::fromUtf8(avcodec_get_name(p->codec_id));
    char tag[AV_FOURCC_MAX_STRING_SIZE] = {};
    if (p->codec_tag)
        s.tag = QString::fromLatin1(av_fourcc_make_string(tag, p->codec_tag)).trimmed();
    s.width = p->width;
    s.height = p->height;
    size_t size = 0;
    const uint8_t* matrix = av_stream_get_side_data(st, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (matrix && size >= 9 * sizeof(int32_t)) {
        // As the library measures it, which is what a phone's "rotate" tag says.
        const double degrees = av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
        s.turned = (int(std::lround(degrees / 90)) % 4 + 4) % 4 * 90;
    }
    s.sampleRate = p->sample_rate;
    s.channels = p->ch_layout.nb_channels;
    s.setup = QByteArray(reinterpret_cast<const char*>(p->extradata), p->extradata_size);
    if (p->codec_type == AVMEDIA_TYPE_ATTACHMENT) {
        const AVDictionaryEntry* name = av_dict_get(st->metadata, "filename", nullptr, 0);
        s.attached = name ? QString::fromUtf8(name->value) : QStringLiteral("?");
    }
    s.kept = Ffmpeg::carried(st, muxer);
    s.smoothed = s.kept && p->codec_type == AVMEDIA_TYPE_AUDIO && SoundBridge::bridges(p);
    // MP4 and MOV write a timecode track of their own from the first part's start timecode.
    s.remade = s.tag == QLatin1String("tmcd") && Ffmpeg::writesMp4(muxer);
    return s;
}

} // namespace

FfmpegMovieEngine::FfmpegMovieEngine()
{
    // The library's own messages would only clutter the terminal: failures come back as texts.
    Ffmpeg::quiet();
}

FileResult<MovieLayout> FfmpegMovieEngine::describe(InputFile& input)
{
    QByteArray head(64, '\0');
    const FileResult<qint64> got = input.read(head.data(), head.size());
    if (!got)
        return got.error();
    head.truncate(int(*got));
    if (::lseek(input.handle(), 0, SEEK_SET) != 0)
        return FileError(errno, qt_error_string(errno));
    FfmpegInput in;
    if (const QString why = in.open(input); !why.isEmpty())
        return FileError(EINVAL, why);
    MovieLayout layout;
    layout.family = familyOf(in.format(), head);
    layout.timed = timed(in.format());
    layout.cutInside = cutInside(in.format());
    const AVOutputFormat* muxer = av_guess_format(Ffmpeg::muxerOf(layout.family), nullptr, nullptr);
    for (unsigned i = 0; i < in.format()->nb_streams; ++i)
        layout.streams << streamOf(in.format()->streams[i], muxer);
    return layout;
}

FileResult<MovieTiming> FfmpegMovieEngine::timing(InputFile& input)
{
    FfmpegInput in;
    if (const QString why = in.open(input, false); !why.isEmpty())
        return FileError(EINVAL, why);
    AVFormatContext* format = in.format();
    MovieTiming timing;
    timing.created = creationTime(format);
    timing.start = moments(format, 64).first;
    if (format->duration > 0)
        timing.duration = format->duration;
    // A transport stream says no length: its last timestamps do, near its end, or further back
    // where there are none (as the library itself measures it, up to 16 MiB back).
    for (qint64 back = 1 << 18; !timing.duration && timing.start && back <= 1 << 24; back *= 4)
        if (av_seek_frame(format, -1, std::max<qint64>(0, input.size() - back), AVSEEK_FLAG_BYTE) >=
            0)
            if (const std::optional<qint64> last = moments(format, INT_MAX).last)
                timing.duration = *last - *timing.start;
    return timing;
}

FileResult<std::unique_ptr<MovieWriter>> FfmpegMovieEngine::createWriter(OutputFile& output,
                                                                         MovieFamily family)
{
    return FfmpegMovieWriter::open(output, family);
}

extern "C" Q_DECL_EXPORT const char* reelbind_movies_version()
{
    static const QByteArray version = MovieModuleEntry::version();
    return version.constData();
}

extern "C" Q_DECL_EXPORT MovieEngine* reelbind_movies_engine()
{
    static FfmpegMovieEngine engine;
    return &engine;
}

static_assert(
    std::is_same_v<decltype(&reelbind_movies_version), MovieModuleEntry::VersionFunction>);
static_assert(std::is_same_v<decltype(&reelbind_movies_engine), MovieModuleEntry::EngineFunction>);
