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

#include <cerrno>
#include <cmath>
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
