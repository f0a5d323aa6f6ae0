#include "platform/movies/FfmpegMovieWriter.h"

#include "platform/movies/Ffmpeg.h"
#include "platform/movies/FfmpegInput.h"
#include "platform/movies/JoinedSound.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/mathematics.h>
}

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {

// Rounding between time bases, in microseconds.
constexpr int64_t kSlack = 1000;
// How many pictures a codec may show before one decoded earlier (H.264's and HEVC's most).
constexpr int kMaxReorder = 16;
using ShowTimes = std::array<int64_t, kMaxReorder + 1>;
// How much of a later part's sound may start before its pictures, or of a part may last after
// them, and be a sound encoder's priming or padding (or pictures delayed where they are
// reordered, by a writer that keeps no edit list), in microseconds.
constexpr int64_t kOverhang = 150000;

// A decode time for a picture that comes without a real one (Matroska keeps none, and the library
// makes them up as the show times, which go back wherever pictures are reordered): the earliest
// show time among the last ones, as far behind as a codec may reorder. `shown` holds them, sorted.
int64_t decodeTime(ShowTimes& shown, int64_t pts, int64_t duration)
{
    if (shown[0] == AV_NOPTS_VALUE) // the first: as if pictures had come before it
        for (int i = 1; i <= kMaxReorder; ++i)
            shown[i] = pts + (i - kMaxReorder - 1) * duration;
    shown[0] = pts;
    for (int i = 0; i < kMaxReorder && shown[i] > shown[i + 1]; ++i)
        std::swap(shown[i], shown[i + 1]);
    return shown[0];
}

// Whether a later part's stream `b` continues the movie's `a` as the plan compared them: the same
// codec, picture size, rate, channels and decoder setup (FLAC's holds each part's own length).
// A part replaced since is caught here.
bool sameStream(const AVCodecParameters* a, const AVCodecParameters* b)
{
    const bool setup = a->codec_id == AV_CODEC_ID_FLAC ||
                       (a->extradata_size == b->extradata_size &&
                        std::equal(a->extradata, a->extradata + a->extradata_size, b->extradata));
    return a->codec_id == b->codec_id && a->width == b->width && a->height == b->height &&
           a->sample_rate == b->sample_rate &&
           a->ch_layout.nb_channels == b->ch_layout.nb_channels && setup;
}

// How long one packet of a stream lasts, in microseconds, where its packets may not say (Matroska
// gives pictures no duration): a picture at its rate, a sound frame of a fixed size; else 0.
int64_t packetLength(const AVStream* st)
{
    const AVCodecParameters* p = st->codecpar;
    if (p->codec_type == AVMEDIA_TYPE_VIDEO && st->avg_frame_rate.num > 0)
        return av_rescale_q(1, av_inv_q(st->avg_frame_rate), AV_TIME_BASE_Q);
    if (p->codec_type == AVMEDIA_TYPE_AUDIO && p->frame_size > 0 && p->sample_rate > 0)
        return av_rescale(p->frame_size, AV_TIME_BASE, p->sample_rate);
    return 0;
}

// Where a stream says it ends, in microseconds on the part's clock: at its DURATION tag
// (Matroska's, counted from the file's start), else after its header's length from `start`, where
// it begins; 0 where it says neither.
int64_t ownEnd(const AVStream* st, int64_t start)
{
    if (st->duration != AV_NOPTS_VALUE && st->duration > 0)
        return start + av_rescale_q(st->duration, st->time_base, AV_TIME_BASE_Q);
    const AVDictionaryEntry* tag = av_dict_get(st->metadata, "DURATION", nullptr, 0);
    int h = 0, m = 0;
    double s = 0;
    if (!tag || std::sscanf(tag->value, "%d:%d:%lf", &h, &m, &s) != 3)
        return 0;
    return int64_t((h * 3600.0 + m * 60.0 + s) * AV_TIME_BASE);
}

// Whether a stream's packets come in the order they are shown: sound, and pictures of a codec that
// never reorders them (VP8, VP9, AV1, MJPEG, but not H.264, HEVC or MPEG-4).
bool inShowingOrder(const AVCodecParameters* p)
{
    const AVCodecDescriptor* codec = avcodec_descriptor_get(p->codec_id);
    return p->codec_type == AVMEDIA_TYPE_AUDIO || (p->codec_type == AVMEDIA_TYPE_VIDEO && codec &&
                                                   !(codec->props & AV_CODEC_PROP_REORDER));
}

// FLAC's block of stream facts in the first part's setup also holds that part's frame sizes,
// sample count and checksum, which are not the movie's: they become "unknown" (zero), as in a
// stream written live.
void forgetPartTotals(AVCodecParameters* p)
{
    if (p->codec_id != AV_CODEC_ID_FLAC || !p->extradata)
        return;
    const bool marked =
        p->extradata_size >= 4 &&
        std::equal(p->extradata, p->extradata + 4, reinterpret_cast<const uint8_t*>("fLaC"));
    const int at = marked ? 8 : 0;
    if (p->extradata_size < at + 34)
        return;
    uint8_t* facts = p->extradata + at;
    std::fill(facts + 4, facts + 10, 0);  // the smallest and largest frame
    facts[13] &= 0xf0;                    // the sample count's high bits,
    std::fill(facts + 14, facts + 34, 0); // the rest of it and the checksum
}

// The seam's target behind the library's writes and seeks; its last failure is kept for the
// message.
struct OutputIo
{
    OutputFile* file = nullptr;
    FileError failure;
    static int write(void* opaque, uint8_t* buf, int size)
    {
        auto* io = static_cast<OutputIo*>(opaque);
        const FileError e = io->file->write(reinterpret_cast<const char*>(buf), size);
        if (e.failed())
            return io->failure = e, AVERROR(EIO);
        return size;
    }
    static int64_t seek(void* opaque, int64_t offset, int whence)
    {
        auto* io = static_cast<OutputIo*>(opaque);
        if (whence & AVSEEK_SIZE)
            return io->file->identity().size;
        const off_t at = ::lseek(io->file->handle(), offset, whence & ~AVSEEK_FORCE);
        return at < 0 ? AVERROR(errno) : at;
    }
};

} // namespace

struct FfmpegMovieWriter::Private
{
    OutputIo io;
    AVIOContext* pb = nullptr;
    AVFormatContext* out = nullptr;
    bool headerWritten = false;
    std::unique_ptr<FfmpegInput> part;
    AVPacket* packet = nullptr;
    std::deque<AVPacket*> ahead; // read to find where the part starts, not yet copied
    int aheadEnd = 0;            // what reading further gave then (an error, the end)
    QList<int> outIndex;         // of the part's streams; -1: left out
    // Each output stream: what the movie needs of it so far, and the reckoning of this part's
    // packets that proves the part whole.
    struct Track
    {
        int64_t lastDts = AV_NOPTS_VALUE;
        std::optional<ShowTimes> shown; // of its pictures, where parts keep no decode times

        const AVStream* stream = nullptr; // the part's
        // Packets read (each one read is written, or the part fails) and as its index names them
        // (0: unknown).
        int64_t read = 0, frames = 0;
        bool text = false;    // subtitles or telemetry, which a part may hold none of
        bool ordered = false; // packets come in order of showing (sound, pictures never reordered)
        // In microseconds: where the stream starts (its header's time, else its first packet's),
        // how long one packet lasts where packets do not say, the longest of its packets, where
        // they end, where the last one began.
        int64_t start = AV_NOPTS_VALUE, step = 0, longest = 0, end = AV_NOPTS_VALUE,
                lastAt = AV_NOPTS_VALUE;

        // Begins the reckoning of a part whose stream `st` continues this one.
        void beginPart(const AVStream* st)
        {
            const AVCodecParameters* c = st->codecpar;
            stream = st;
            read = 0;
            // MP4's subtitle tracks end in an empty sample that the index counts and the library
            // does not return; MOV counts each sample of plain (PCM) sound, read many to a packet.
            frames = av_get_exact_bits_per_sample(c->codec_id) > 0
                         ? 0
                         : st->nb_frames - (c->codec_type == AVMEDIA_TYPE_SUBTITLE ? 1 : 0);
            text = c->codec_type == AVMEDIA_TYPE_SUBTITLE || c->codec_type == AVMEDIA_TYPE_DATA;
            ordered = inShowingOrder(c);
            start = st->start_time == AV_NOPTS_VALUE
                        ? AV_NOPTS_VALUE
                        : av_rescale_q(st->start_time, st->time_base, AV_TIME_BASE_Q);
            step = longest = packetLength(st);
            end = lastAt = AV_NOPTS_VALUE;
        }

        // Sound: its samples a second, and its track joined where parts meet.
        int rate = 0;
        std::shared_ptr<JoinedSound> sound;
    };
    QList<Track> tracks;
    int64_t base = 0;      // where the current part starts, in microseconds
    int64_t partStart = 0; // its own first time, in microseconds
    int64_t partEnd = 0;   // its length, once it is read
    int partChapter = 0;   // its chapter; its own chapters follow
    qint64 position = 0;
    bool corrupt = false;
    QString failure;

    Step fail(Step step, const QString& why) { return failure = why, step; }
    Step readFailure(int e)
    {
        return fail(Step::ReadFailed,
                    part->failure().failed() ? part->failure().text() : Ffmpeg::libraryText(e));
    }
    Step writeFailure(int e)
    {
        return fail(Step::WriteFailed,
                    io.failure.failed() ? io.failure.text() : Ffmpeg::libraryText(e));
    }
    Step endPart();
    // A chapter of the movie, in microseconds; false when memory ran out.
    bool addChapter(int64_t start, int64_t end, const char* title)
    {
        auto* ch = static_cast<AVChapter*>(av_mallocz(sizeof(AVChapter)));
        if (!ch || av_dynarray_add_nofree(&out->chapters, reinterpret_cast<int*>(&out->nb_chapters),
                                          ch) < 0)
            return av_free(ch), false;
        ch->id = out->nb_chapters;
        ch->time_base = AV_TIME_BASE_Q;
        ch->start = start;
        ch->end = end;
        return av_dict_set(&ch->metadata, "title", title, 0) >= 0;
    }
    int64_t readAhead(bool later);
    Step write(int index, AVPacket* pkt);
    Step sound(int index, AVPacket* pkt);
    // A sound track's packet, timed in samples, written; a sound track's failure.
    bool writeSound(int index, AVPacket* pkt);
    Step soundFailure()
    {
        return failure.isEmpty() ? fail(Step::WriteFailed, Ffmpeg::libraryText(AVERROR(ENOMEM)))
                                 : Step::WriteFailed;
    }
    void dropAhead()
    {
        for (AVPacket* pkt : ahead)
            av_packet_free(&pkt);
        ahead.clear();
        aheadEnd = 0;
    }
};

// Where the part starts, in microseconds: the earliest of its kept streams' starts, as its
// header gives them or (Matroska has none) as their first packets tell. A `later` part whose
// sound starts just before its pictures starts with them: that sound is an encoder's priming.
int64_t FfmpegMovieWriter::Private::readAhead(bool later)
{
    const AVFormatContext* in = part->format();
    QList<int64_t> starts(out->nb_streams, AV_NOPTS_VALUE);
    qsizetype unknown = 0;
    for (unsigned i = 0; i < in->nb_streams; ++i)
        if (const int index = outIndex[int(i)]; index >= 0) {
            const AVStream* st = in->streams[i];
            if (st->start_time != AV_NOPTS_VALUE)
                starts[index] = av_rescale_q(st->start_time, st->time_base, AV_TIME_BASE_Q);
            else
                ++unknown;
        }
    while (unknown > 0 && ahead.size() < 512) {
        AVPacket* pkt = av_packet_alloc();
        if (!pkt || (aheadEnd = av_read_frame(part->format(), pkt)) < 0) {
            aheadEnd = pkt ? aheadEnd : AVERROR(ENOMEM);
            av_packet_free(&pkt);
            break;
        }
        ahead.push_back(pkt);
        const int index = outIndex.value(pkt->stream_index, -1);
        if (index >= 0 && starts[index] == AV_NOPTS_VALUE && pkt->pts != AV_NOPTS_VALUE) {
            starts[index] =
                av_rescale_q(pkt->pts, in->streams[pkt->stream_index]->time_base, AV_TIME_BASE_Q);
            --unknown;
        }
    }
    int64_t start = AV_NOPTS_VALUE, pictures = AV_NOPTS_VALUE, sound = AV_NOPTS_VALUE;
    const auto earliest = [](int64_t& to, int64_t s) {
        to = s != AV_NOPTS_VALUE && (to == AV_NOPTS_VALUE || s < to) ? s : to;
    };
    for (int i = 0; i < starts.size(); ++i) {
        earliest(start, starts[i]);
        const AVStream* os = out->streams[i];
        if (Ffmpeg::pictures(os))
            earliest(pictures, starts[i]);
        else if (os->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
            earliest(sound, starts[i]);
    }
    if (later && pictures != AV_NOPTS_VALUE && sound == start && pictures - sound <= kOverhang)
        start = pictures;
    return start == AV_NOPTS_VALUE ? 0 : start;
}

MovieWriter::Step FfmpegMovieWriter::Private::write(int index, AVPacket* pkt)
{
    int64_t& last = tracks[index].lastDts;
    // Other packets may come without one too.
    if (pkt->dts == AV_NOPTS_VALUE && pkt->pts != AV_NOPTS_VALUE)
        pkt->dts = last == AV_NOPTS_VALUE ? pkt->pts - 2 * pkt->duration : last + 1;
    if (pkt->dts != AV_NOPTS_VALUE && last != AV_NOPTS_VALUE && pkt->dts <= last) {
        pkt->dts = last + 1;
        if (pkt->pts != AV_NOPTS_VALUE && pkt->pts < pkt->dts)
            pkt->pts = pkt->dts;
    }
    if (pkt->dts != AV_NOPTS_VALUE)
        last = pkt->dts;
    pkt->stream_index = index;
    pkt->pos = -1;
    if (const int w = av_interleaved_write_frame(out, pkt); w < 0)
        return writeFailure(w);
    return Step::Copied;
}

bool FfmpegMovieWriter::Private::writeSound(int index, AVPacket* pkt)
{
    const AVRational samples{1, tracks[index].rate}, to = out->streams[index]->time_base;
    av_packet_rescale_ts(pkt, samples, to);
    return write(index, pkt) == Step::Copied;
}

FfmpegMovieWriter::FfmpegMovieWriter() : d(std::make_unique<Private>()) {}

FfmpegMovieWriter::~FfmpegMovieWriter()
{
    av_packet_free(&d->packet);
    d->dropAhead();
    d->part.reset();
    avformat_free_context(d->out);
    Ffmpeg::freeIo(d->pb);
}

FileResult<std::unique_ptr<MovieWriter>> FfmpegMovieWriter::open(OutputFile& output,
                                                                 MovieFamily family)
{
    std::unique_ptr<FfmpegMovieWriter> w(new FfmpegMovieWriter);
    Private& d = *w->d;
    d.io.file = &output;
    d.pb = Ffmpeg::ioContext(&d.io, true, nullptr, &OutputIo::write, &OutputIo::seek);
    d.packet = av_packet_alloc();
    if (!d.pb || !d.packet ||
        avformat_alloc_output_context2(&d.out, nullptr, Ffmpeg::muxerOf(family), nullptr) < 0)
        return FileError(ENOMEM, Ffmpeg::libraryText(AVERROR(ENOMEM)));
    d.out->pb = d.pb;
    d.out->flags |= AVFMT_FLAG_CUSTOM_IO;
    // What the parts already hold (FLAC in MP4, which the library still calls experimental) is
    // written as it is.
    d.out->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
    return std::unique_ptr<MovieWriter>(std::move(w));
}

MovieWriter::Step FfmpegMovieWriter::beginPart(InputFile& file, const QString& chapter)
{
    Private& p = *d;
    p.base += p.part ? p.partEnd : 0;
    p.dropAhead();
    p.part = std::make_unique<FfmpegInput>();
    if (const QString why = p.part->open(file); !why.isEmpty())
        return p.fail(Step::ReadFailed, why);
    AVFormatContext* in = p.part->format();
    const bool first = !p.headerWritten;
    const auto otherStreams = [&p] {
        return p.fail(Step::ReadFailed,
                      Ffmpeg::Text::tr("its streams are not those of the first part"));
    };
    p.outIndex.clear();
    int keptSoFar = 0;
    for (unsigned i = 0; i < in->nb_streams; ++i) {
        AVStream* st = in->streams[i];
        const bool attached = st->codecpar->codec_type == AVMEDIA_TYPE_ATTACHMENT;
        const bool kept = !attached && Ffmpeg::carried(st, p.out->oformat);
        const int index = kept ? keptSoFar++ : -1;
        p.outIndex << index;
        if (!kept)
            continue;
        if (first) {
            AVStream* os = avformat_new_stream(p.out, nullptr);
            if (!os || avcodec_parameters_copy(os->codecpar, st->codecpar) < 0)
                return p.fail(Step::WriteFailed, Ffmpeg::libraryText(AVERROR(ENOMEM)));
            forgetPartTotals(os->codecpar);
            const unsigned tag = st->codecpar->codec_tag;
            if (av_codec_get_id(p.out->oformat->codec_tag, tag) != st->codecpar->codec_id)
                os->codecpar->codec_tag = 0;
            os->time_base = st->time_base;
            os->avg_frame_rate = st->avg_frame_rate;
            os->disposition = st->disposition;
            av_dict_copy(&os->metadata, st->metadata, 0); // its timecode, MP4's makes a track
            for (int s = 0; s < st->nb_side_data; ++s) {
                const AVPacketSideData& sd = st->side_data[s];
                if (uint8_t* to = av_stream_new_side_data(os, sd.type, sd.size))
                    std::copy(sd.data, sd.data + sd.size, to);
            }
            p.tracks.append(Private::Track());
            Private::Track& t = p.tracks.last();
            if (std::strncmp(in->iformat->name, "matroska", 8) == 0 &&
                st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
                t.shown.emplace().fill(AV_NOPTS_VALUE);
            if (st->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && st->codecpar->sample_rate > 0) {
                t.rate = st->codecpar->sample_rate;
                t.sound = std::make_shared<JoinedSound>(
                    st->codecpar, [&p, index](AVPacket* pkt) { return p.writeSound(index, pkt); });
            }
        } else if (index >= p.tracks.size() ||
                   !sameStream(p.out->streams[index]->codecpar, st->codecpar)) {
            return otherStreams();
        }
        p.tracks[index].beginPart(st);
    }
    if (!first && keptSoFar != p.tracks.size())
        return otherStreams();
    if (first) {
        // The first part's attached files (fonts for its subtitles), after its streams.
        for (unsigned i = 0; i < in->nb_streams; ++i) {
            const AVStream* st = in->streams[i];
            if (st->codecpar->codec_type != AVMEDIA_TYPE_ATTACHMENT ||
                !Ffmpeg::carried(st, p.out->oformat))
                continue;
            AVStream* os = avformat_new_stream(p.out, nullptr);
            if (!os || avcodec_parameters_copy(os->codecpar, st->codecpar) < 0)
                return p.fail(Step::WriteFailed, Ffmpeg::libraryText(AVERROR(ENOMEM)));
            av_dict_copy(&os->metadata, st->metadata, 0);
        }
        av_dict_copy(&p.out->metadata, in->metadata, 0);
        // Chapters added after the header go to the container's ending, all together.
        if (const int e = avformat_write_header(p.out, nullptr); e < 0)
            return p.writeFailure(e);
        p.headerWritten = true;
    }

    p.partStart = p.readAhead(!first);
    for (const Private::Track& t : std::as_const(p.tracks))
        if (t.sound)
            t.sound->beginPart(t.stream, p.base - p.partStart, p.partStart,
                               std::max(ownEnd(t.stream, t.start), in->duration));
    // The part's chapter, from where it starts (its end is fixed at the part's end), then the
    // part's own chapters inside it. Chapters are a flat list, each starting after the one before
    // (readers drop a chapter that starts with its predecessor): an own chapter at the part's
    // start is told in the part's chapter's title.
    QByteArray title = chapter.toUtf8();
    const auto ownTitle = [](const AVChapter* own) {
        const AVDictionaryEntry* t = av_dict_get(own->metadata, "title", nullptr, 0);
        return QByteArray(t ? t->value : "");
    };
    const auto moved = [&p](const AVChapter* own, int64_t t) {
        return std::max(p.base,
                        p.base + av_rescale_q(t, own->time_base, AV_TIME_BASE_Q) - p.partStart);
    };
    unsigned c = 0;
    if (in->nb_chapters > 0 && moved(in->chapters[0], in->chapters[0]->start) <= p.base + kSlack &&
        !ownTitle(in->chapters[0]).isEmpty())
        title += ": " + ownTitle(in->chapters[c++]);
    p.partChapter = int(p.out->nb_chapters);
    bool added = p.addChapter(p.base, p.base, title.constData());
    for (; added && c < in->nb_chapters; ++c) {
        const AVChapter* own = in->chapters[c];
        added = p.addChapter(moved(own, own->start), moved(own, own->end), ownTitle(own));
    }
    if (!added)
        return p.fail(Step::WriteFailed, Ffmpeg::libraryText(AVERROR(ENOMEM)));
    p.position = 0;
    p.corrupt = false;
    return Step::Copied;
}

MovieWriter::Step FfmpegMovieWriter::copyPacket()
{
    Private& p = *d;
    AVFormatContext* in = p.part->format();
    AVPacket* pkt = p.packet;
    int e = 0;
    if (!p.ahead.empty()) {
        av_packet_move_ref(pkt, p.ahead.front());
        av_packet_free(&p.ahead.front());
        p.ahead.pop_front();
    } else {
        e = p.aheadEnd < 0 ? std::exchange(p.aheadEnd, 0) : av_read_frame(in, pkt);
    }
    if (e == AVERROR_EOF)
        return p.endPart();
    if (e < 0)
        return p.readFailure(e);
    p.position = std::max<qint64>(p.position, pkt->pos >= 0 ? pkt->pos + pkt->size : 0);
    const int index = pkt->stream_index < p.outIndex.size() ? p.outIndex[pkt->stream_index] : -1;
    if (index < 0) {
        av_packet_unref(pkt);
        return Step::Copied;
    }
    p.corrupt = p.corrupt || (pkt->flags & AV_PKT_FLAG_CORRUPT);
    Private::Track& track = p.tracks[index];
    ++track.read;
    const AVRational from = in->streams[pkt->stream_index]->time_base;
    // A packet that does not say how long it lasts (the last of a fragmented MP4's tracks) lasts
    // as long as one of its stream's.
    if (pkt->duration <= 0 && !track.text)
        pkt->duration = av_rescale_q(track.step, AV_TIME_BASE_Q, from);
    if (pkt->pts != AV_NOPTS_VALUE) {
        const int64_t at = av_rescale_q(pkt->pts, from, AV_TIME_BASE_Q),
                      lasts = av_rescale_q(pkt->duration, from, AV_TIME_BASE_Q);
        // Where packets do not say how long they last, the step between two.
        const int64_t step = track.lastAt == AV_NOPTS_VALUE || lasts > 0 ? 0 : at - track.lastAt;
        // In order of showing, a packet that starts before its predecessor ends has a damaged time.
        p.corrupt = p.corrupt ||
                    (track.ordered && track.lastAt != AV_NOPTS_VALUE && at + kSlack < track.end);
        track.start = track.start == AV_NOPTS_VALUE ? at : track.start;
        track.end = std::max(track.end, at + lasts);
        track.longest = std::max({track.longest, lasts, step});
        track.lastAt = at;
    }
    if (track.sound)
        return track.sound->add(pkt) ? Step::Copied : p.soundFailure();
    AVStream* os = p.out->streams[index];
    const AVRational to = os->time_base;
    const int64_t shift =
        av_rescale_q(p.base, AV_TIME_BASE_Q, to) - av_rescale_q(p.partStart, AV_TIME_BASE_Q, to);
    const auto move = [&](int64_t ts) {
        return ts == AV_NOPTS_VALUE ? ts : av_rescale_q(ts, from, to) + shift;
    };
    pkt->pts = move(pkt->pts);
    pkt->dts = move(pkt->dts);
    pkt->duration = av_rescale_q(pkt->duration, from, to);
    if (track.shown && pkt->pts != AV_NOPTS_VALUE)
        pkt->dts = decodeTime(*track.shown, pkt->pts, pkt->duration);
    return p.write(index, pkt);
}

MovieWriter::Step FfmpegMovieWriter::Private::endPart()
{
    // Read to its end: no damaged packet, pictures and sound in each of their tracks, every
    // packet its index names, each stream as long as the part says, and no packet beyond it.
    const AVFormatContext* in = part->format();
    bool whole = !corrupt;
    int64_t packetsEnd = partStart, streamsEnd = 0, longest = 0;
    for (const Track& t : std::as_const(tracks)) {
        whole = whole && (t.read > 0 || t.text) && (t.frames <= 0 || t.read >= t.frames);
        if (t.text || t.read == 0)
            continue;
        packetsEnd = std::max(packetsEnd, t.end);
        longest = std::max(longest, t.longest);
        // Within one of its packets of where it says it ends, and of the sound's priming (Opus
        // in Matroska), which a file copied anew may count in that end.
        const AVCodecParameters* c = t.stream->codecpar;
        const int64_t within =
            t.longest + kSlack +
            (c->sample_rate > 0 ? av_rescale(c->initial_padding, AV_TIME_BASE, c->sample_rate) : 0);
        if (const int64_t own = ownEnd(t.stream, t.start); own > 0) {
            whole = whole && t.end + within >= own && t.end <= own + within;
            streamsEnd = std::max(streamsEnd, own);
        }
    }
    // Where the part ends on its clock: the container's length where it gives one (it leaves out
    // an encoder's priming and padding, which the next part's first packets overlap), else its
    // streams' own ends.
    const int64_t end = in->duration > 0 ? in->duration : streamsEnd > 0 ? streamsEnd : packetsEnd;
    whole = whole && packetsEnd + longest + kSlack >= end && packetsEnd <= end + longest + kSlack;
    if (!whole)
        return fail(Step::ReadFailed,
                    Ffmpeg::Text::tr("it ends before its last picture or sound, it is damaged "
                                     "or cut short"));
    // A part that lasts a little longer than its pictures does so by its sound encoder's padding
    // or its container's rounding: the next part starts where the pictures end.
    int64_t pictures = AV_NOPTS_VALUE;
    for (int i = 0; i < tracks.size(); ++i)
        if (tracks[i].read > 0 && Ffmpeg::pictures(out->streams[i]))
            pictures = std::max(pictures, tracks[i].end);
    const int64_t until =
        pictures != AV_NOPTS_VALUE && end > pictures && end - pictures <= kOverhang ? pictures
                                                                                    : end;
    for (const Track& t : std::as_const(tracks))
        if (t.sound && !t.sound->endPart(until))
            return soundFailure();
    // From where the part starts: one cut out of a longer movie joins without the wait before its
    // start, one whose priming starts before 0 with it.
    partEnd = until - partStart;
    position = std::max<qint64>(position, part->file().size());
    out->chapters[partChapter]->end = base + partEnd;
    for (unsigned c = unsigned(partChapter) + 1; c < out->nb_chapters; ++c) {
        AVChapter* own = out->chapters[c];
        own->end = std::min(own->end, base + partEnd);
        own->start = std::min(own->start, own->end);
    }
    return Step::PartDone;
}

qint64 FfmpegMovieWriter::partPosition() const
{
    return d->position;
}

MovieWriter::Step FfmpegMovieWriter::finish()
{
    for (const Private::Track& t : std::as_const(d->tracks)) {
        if (t.sound && !t.sound->finish())
            return d->soundFailure();
        if (t.sound && t.sound->bridged() > 0)
            qCDebug(Ffmpeg::lcMovies, "sound joined %d times in %.2f ms each", t.sound->bridged(),
                    double(t.sound->bridgeTime()) / 1e6 / t.sound->bridged());
    }
    if (const int e = av_write_trailer(d->out); e < 0)
        return d->writeFailure(e);
    avio_flush(d->pb);
    if (d->io.failure.failed() || d->pb->error < 0)
        return d->writeFailure(d->pb->error);
    return Step::Copied;
}

QString FfmpegMovieWriter::failure() const
{
    return d->failure;
}
