#include "platform/movies/SoundBridge.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mathematics.h>
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
}

#include <QByteArray>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <optional>
#include <tuple>
#include <utility>

namespace {

// Sound as the bridge handles it: each channel's samples as floats, from `start` on the part's
// clock, in samples.
struct Pcm
{
    int64_t start = 0;
    std::vector<std::vector<float>> channels;
    int64_t end() const { return start + int64_t(channels.empty() ? 0 : channels[0].size()); }
};

void append(Pcm& pcm, const AVFrame* f)
{
    const auto format = AVSampleFormat(f->format);
    const bool planar = av_sample_fmt_is_planar(format);
    const int count = f->ch_layout.nb_channels;
    pcm.channels.resize(size_t(count));
    for (int c = 0; c < count; ++c) {
        const uint8_t* data = f->extended_data[planar ? c : 0];
        for (int i = 0; i < f->nb_samples; ++i) {
            const int at = planar ? i : i * count + c;
            float v = 0;
            switch (av_get_packed_sample_fmt(format)) {
            case AV_SAMPLE_FMT_FLT:
                v = reinterpret_cast<const float*>(data)[at];
                break;
            case AV_SAMPLE_FMT_DBL:
                v = float(reinterpret_cast<const double*>(data)[at]);
                break;
            case AV_SAMPLE_FMT_S16:
                v = reinterpret_cast<const int16_t*>(data)[at] / 32768.0f;
                break;
            case AV_SAMPLE_FMT_S32:
                v = float(reinterpret_cast<const int32_t*>(data)[at] / 2147483648.0);
                break;
            case AV_SAMPLE_FMT_U8:
                v = (data[at] - 128) / 128.0f;
                break;
            default:
                break;
            }
            pcm.channels[size_t(c)].push_back(v);
        }
    }
}

// Writes `count` samples of each channel from `from` into the encoder's frame.
void fill(AVFrame* f, const std::vector<std::vector<float>>& channels, size_t from, int count)
{
    const auto format = AVSampleFormat(f->format);
    const bool planar = av_sample_fmt_is_planar(format);
    const int n = f->ch_layout.nb_channels;
    for (int c = 0; c < n; ++c) {
        uint8_t* data = f->extended_data[planar ? c : 0];
        for (int i = 0; i < count; ++i) {
            const float v = std::clamp(channels[size_t(c)][from + size_t(i)], -1.0f, 1.0f);
            const int at = planar ? i : i * n + c;
            switch (av_get_packed_sample_fmt(format)) {
            case AV_SAMPLE_FMT_FLT:
                reinterpret_cast<float*>(data)[at] = v;
                break;
            case AV_SAMPLE_FMT_DBL:
                reinterpret_cast<double*>(data)[at] = v;
                break;
            case AV_SAMPLE_FMT_S16:
                reinterpret_cast<int16_t*>(data)[at] = int16_t(std::lrint(v * 32767));
                break;
            case AV_SAMPLE_FMT_S32:
                reinterpret_cast<int32_t*>(data)[at] = int32_t(std::lrint(v * 2147483647.0));
                break;
            default:
                break;
            }
        }
    }
}

// The encoder that writes a codec as cameras and ffmpeg do: the external libraries where the
// library's own is experimental or missing. None for lossless sound, nor for MP3, whose frames
// take bytes from the frames before them: those after a bridge would lose theirs.
const AVCodec* encoderFor(AVCodecID id)
{
    const AVCodecDescriptor* codec = avcodec_descriptor_get(id);
    if (!codec || (codec->props & AV_CODEC_PROP_LOSSLESS) || id == AV_CODEC_ID_MP3)
        return nullptr;
    if (id == AV_CODEC_ID_OPUS)
        return avcodec_find_encoder_by_name("libopus");
    if (id == AV_CODEC_ID_VORBIS)
        return avcodec_find_encoder_by_name("libvorbis");
    const AVCodec* encoder = avcodec_find_encoder(id);
    return encoder && !(encoder->capabilities & AV_CODEC_CAP_EXPERIMENTAL) ? encoder : nullptr;
}

// Vorbis's three headers, each its length in 255s and a rest but the last; the i-th, or none.
std::pair<const uint8_t*, int> vorbisHeader(const uint8_t* data, int size, int i)
{
    if (size < 1 || data[0] != 2)
        return {nullptr, 0};
    int at = 1, lengths[3] = {0, 0, 0};
    for (int h = 0; h < 2; ++h)
        for (int more = 255; more == 255 && at < size; lengths[h] += more)
            more = data[at++];
    lengths[2] = size - at - lengths[0] - lengths[1];
    for (int h = 0; h < i; ++h)
        at += lengths[h];
    return lengths[2] > 0 ? std::pair{data + at, lengths[i]} : std::pair{nullptr, 0};
}

// Whether packets of an encoder with setup `mine` decode with the parts' setup `theirs`: the same
// bytes, or for Vorbis the same codebooks and modes (its third header).
bool sameSetup(AVCodecID id, const uint8_t* mine, int mineSize, const uint8_t* theirs,
               int theirSize)
{
    if (id == AV_CODEC_ID_VORBIS) {
        const auto a = vorbisHeader(mine, mineSize, 2), b = vorbisHeader(theirs, theirSize, 2);
        return a.first && b.first && a.second == b.second &&
               std::equal(a.first, a.first + a.second, b.first);
    }
    return mineSize == theirSize && std::equal(mine, mine + mineSize, theirs);
}

// Codecs whose every packet says all its decoder needs: a setup of other bytes decodes them too.
bool selfDescribing(AVCodecID id)
{
    return id == AV_CODEC_ID_OPUS || id == AV_CODEC_ID_AC3 || id == AV_CODEC_ID_EAC3 ||
           id == AV_CODEC_ID_MP2;
}

struct CodecContext
{
    AVCodecContext* c = nullptr;
    ~CodecContext() { avcodec_free_context(&c); }
};

// An encoder for sound as `par` holds it at `bitRate`, open, or null where it cannot encode it
// in frames of one length that the movie's decoder setup decodes.
AVCodecContext* openEncoder(const AVCodecParameters* par, int64_t bitRate)
{
    const AVCodec* codec = encoderFor(par->codec_id);
    if (!codec || par->sample_rate <= 0 || par->ch_layout.nb_channels <= 0)
        return nullptr;
    CodecContext enc{avcodec_alloc_context3(codec)};
    if (!enc.c)
        return nullptr;
    AVCodecContext* c = enc.c;
    c->sample_rate = par->sample_rate;
    if (par->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&c->ch_layout, par->ch_layout.nb_channels);
    else if (av_channel_layout_copy(&c->ch_layout, &par->ch_layout) < 0)
        return nullptr;
    c->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    for (const AVSampleFormat* f = codec->sample_fmts; f && *f != AV_SAMPLE_FMT_NONE; ++f)
        if (*f == AV_SAMPLE_FMT_FLTP)
            c->sample_fmt = *f;
    // libvorbis's setup depends on its mode: ffmpeg's own choice, by quality, is tried first.
    c->bit_rate = par->codec_id == AV_CODEC_ID_VORBIS ? 0 : bitRate > 0 ? bitRate : 128000;
    if (par->profile != FF_PROFILE_UNKNOWN)
        c->profile = par->profile;
    c->time_base = AVRational{1, par->sample_rate};
    c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // The library's AAC encoder searches its quantizers faster so, as good for a few frames.
    if (par->codec_id == AV_CODEC_ID_AAC)
        av_opt_set(c->priv_data, "aac_coder", "fast", 0);
    if (avcodec_open2(c, codec, nullptr) < 0 || c->frame_size <= 0 ||
        (codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) ||
        (par->frame_size > 0 && par->frame_size != c->frame_size) ||
        (par->profile != FF_PROFILE_UNKNOWN && c->profile != par->profile))
        return nullptr;
    const bool decodes =
        selfDescribing(par->codec_id) || sameSetup(par->codec_id, c->extradata, c->extradata_size,
                                                   par->extradata, par->extradata_size);
    return decodes ? std::exchange(enc.c, nullptr) : nullptr;
}

// A side's sound as its packets decode in order, from the first sample they give, in as many
// channels as they hold (an MP4's header may say otherwise); empty where decoding failed.
Pcm decode(const AVCodecParameters* par, const SoundBridge::Side& side)
{
    Pcm pcm;
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    CodecContext dec{codec ? avcodec_alloc_context3(codec) : nullptr};
    AVFrame* f = av_frame_alloc();
    bool ok = dec.c && f && avcodec_parameters_to_context(dec.c, par) >= 0;
    if (ok) {
        dec.c->pkt_timebase = side.timeBase;
        ok = avcodec_open2(dec.c, codec, nullptr) >= 0;
    }
    bool first = true;
    for (size_t i = 0; ok && i <= side.packets.size(); ++i) {
        ok = avcodec_send_packet(dec.c, i < side.packets.size() ? side.packets[i] : nullptr) >= 0;
        while (ok && avcodec_receive_frame(dec.c, f) >= 0) {
            if (first && f->best_effort_timestamp != AV_NOPTS_VALUE)
                pcm.start = av_rescale_q(f->best_effort_timestamp, side.timeBase,
                                         AVRational{1, par->sample_rate});
            first = first && f->best_effort_timestamp == AV_NOPTS_VALUE;
            if (!first)
                append(pcm, f);
            av_frame_unref(f);
        }
    }
    av_frame_free(&f);
    return ok ? pcm : Pcm();
}

// Catmull-Rom interpolation of `s` at `x` (1 <= x < size - 2).
float at(const std::vector<float>& s, double x)
{
    const auto i = size_t(x);
    const auto t = float(x - double(i));
    const float a = s[i - 1], b = s[i], c = s[i + 1], e = s[i + 2];
    return b + 0.5f * t * (c - a + t * (2 * a - 5 * b + 4 * c - e + t * (3 * (b - c) + e - a)));
}

} // namespace

struct SoundBridge::Private
{
    AVCodecParameters* par = nullptr;
    int frameSize = 0, padding = 0;
    ~Private() { avcodec_parameters_free(&par); }
};

SoundBridge::SoundBridge() : d(std::make_unique<Private>()) {}

SoundBridge::~SoundBridge() = default;

namespace {

// What an encoder for sound as `par` holds it says of its frames: how many samples each, how many
// of the first are priming; none where there is no such encoder. The parts of a set share their
// sound's parameters: each kind is tried once.
std::optional<std::pair<int, int>> encoderFrames(const AVCodecParameters* par)
{
    static std::mutex lock;
    static std::map<std::tuple<int, int, int, int, QByteArray>, std::optional<std::pair<int, int>>>
        known;
    const auto key = std::make_tuple(
        int(par->codec_id), par->sample_rate, par->ch_layout.nb_channels, par->profile,
        QByteArray(reinterpret_cast<const char*>(par->extradata), par->extradata_size));
    const std::lock_guard<std::mutex> locked(lock);
    if (const auto found = known.find(key); found != known.end())
        return found->second;
    const CodecContext probe{openEncoder(par, par->bit_rate)};
    return known[key] =
               probe.c ? std::optional(std::pair(probe.c->frame_size, probe.c->initial_padding))
                       : std::nullopt;
}

} // namespace

bool SoundBridge::bridges(const AVCodecParameters* par)
{
    return encoderFrames(par).has_value();
}

std::unique_ptr<SoundBridge> SoundBridge::create(const AVCodecParameters* par)
{
    const auto frames = encoderFrames(par);
    if (!frames)
        return nullptr;
    std::unique_ptr<SoundBridge> b(new SoundBridge);
    b->d->par = avcodec_parameters_alloc();
    if (!b->d->par || avcodec_parameters_copy(b->d->par, par) < 0)
        return nullptr;
    std::tie(b->d->frameSize, b->d->padding) = *frames;
    // Vorbis's packets decode to the halves of two blocks, short or long: a bridge is whole long
    // halves, and its encoder's first packets (short, then a long one after it) end where they
    // begin.
    if (par->codec_id == AV_CODEC_ID_VORBIS) {
        const auto id = vorbisHeader(par->extradata, par->extradata_size, 0);
        if (!id.first || id.second < 29)
            return nullptr;
        const int shortBlock = 1 << (id.first[28] & 15), longBlock = 1 << (id.first[28] >> 4);
        b->d->frameSize = longBlock / 2;
        b->d->padding = -(shortBlock + longBlock) / 4;
    }
    return b;
}

int SoundBridge::frameSize() const
{
    return d->frameSize;
}

int SoundBridge::warmUp() const
{
    // Whole frames ending where the bridge begins, the priming included: at least two real ones.
    const int frames =
        (2 * d->frameSize + std::max(d->padding, 0) + d->frameSize - 1) / d->frameSize;
    return frames * d->frameSize - d->padding;
}

int SoundBridge::followUp() const
{
    return 2 * d->frameSize;
}

int SoundBridge::settle() const
{
    // Opus needs 80 ms to converge.
    return d->par->codec_id == AV_CODEC_ID_OPUS ? 4 : 2;
}

namespace {

// Encodes `input` (per channel) with frame times from 0, keeping the packets that begin from
// `warm` on, before `warm + length`, into `out`: each begins where the one before ends, the first
// at `warm`, the last ending at `warm + length`; else `out` stays empty. Where the packets begin
// from `warm` on, how far after it the one nearest `warm + length` ends; else 0.
int64_t encode(const AVCodecParameters* par, const std::vector<std::vector<float>>& input,
               int64_t bits, int64_t warm, int64_t length, std::vector<AVPacket*>& out)
{
    CodecContext enc{openEncoder(par, bits)};
    AVFrame* f = av_frame_alloc();
    AVPacket* pkt = av_packet_alloc();
    bool ok = enc.c && f && pkt;
    const int64_t total = int64_t(input[0].size()), chunk = ok ? enc.c->frame_size : 1;
    int64_t next = warm, nearest = 0; // where the next packet of the bridge must begin
    // Frames of the encoder's size, the last one shorter; then the end, which drains it.
    for (int64_t from = 0; ok; from = std::min(from + chunk, total)) {
        const bool end = from == total;
        if (!end) {
            av_frame_unref(f);
            f->format = enc.c->sample_fmt;
            f->nb_samples = int(std::min<int64_t>(chunk, total - from));
            f->pts = from;
            ok = av_channel_layout_copy(&f->ch_layout, &enc.c->ch_layout) >= 0 &&
                 av_frame_get_buffer(f, 0) >= 0;
            if (ok)
                fill(f, input, size_t(from), f->nb_samples);
        }
        ok = ok && avcodec_send_frame(enc.c, end ? nullptr : f) >= 0;
        while (ok && avcodec_receive_packet(enc.c, pkt) >= 0) {
            const int64_t end = pkt->pts + pkt->duration - warm;
            if (pkt->pts >= warm && std::abs(end - length) < std::abs(nearest - length))
                nearest = end;
            if (pkt->pts >= warm && pkt->pts < warm + length) {
                ok = pkt->pts == next && pkt->duration > 0;
                next = pkt->pts + pkt->duration;
                pkt->pts = pkt->dts = pkt->pts - warm;
                out.push_back(av_packet_clone(pkt));
            }
            av_packet_unref(pkt);
        }
        if (end)
            break;
    }
    av_packet_free(&pkt);
    av_frame_free(&f);
    const bool whole = ok && next == warm + length &&
                       std::all_of(out.begin(), out.end(), [](AVPacket* p) { return p; });
    if (!whole) {
        for (AVPacket*& p : out)
            av_packet_free(&p);
        out.clear();
    }
    return ok || next > warm ? nearest : 0;
}

} // namespace

std::vector<AVPacket*> SoundBridge::bridge(const Side& tail, const Side& head, int64_t length)
{
    const int rate = d->par->sample_rate;
    const Pcm before = decode(d->par, tail), after = decode(d->par, head);
    const int64_t warm = warmUp(), follow = followUp();
    // Where the decoders say less (a part's padding discarded, its priming skipped), the sound
    // they give; the head from its first sound where the side's start was rounded (Matroska's
    // milliseconds), so that a sound that goes on across the parts goes on without a click.
    const int64_t tailTo = std::min(tail.to, before.end()),
                  headFrom = std::abs(head.from - after.start) <= rate / 1000
                                 ? after.start
                                 : std::max(head.from, after.start);
    // Where the sides meet, they fade into each other for up to 2 ms: no click.
    const int64_t fade = std::clamp<int64_t>(
                      std::min({int64_t(rate / 500), tailTo - tail.from, head.to - headFrom}), 0,
                      rate),
                  content = (tailTo - tail.from) + (head.to - headFrom) - fade;
    if (before.channels.empty() || before.channels.size() != after.channels.size() ||
        before.start > tail.from - warm || after.end() < head.to + follow || tailTo < tail.from ||
        head.to < headFrom || content <= 0 || length <= 0)
        return {};
    // Encoded in as many channels as the parts' sound holds.
    std::unique_ptr<AVCodecParameters, void (*)(AVCodecParameters*)> as(
        avcodec_parameters_alloc(), [](AVCodecParameters* p) { avcodec_parameters_free(&p); });
    if (!as || avcodec_parameters_copy(as.get(), d->par) < 0)
        return {};
    if (as->ch_layout.nb_channels != int(before.channels.size())) {
        av_channel_layout_uninit(&as->ch_layout);
        av_channel_layout_default(&as->ch_layout, int(before.channels.size()));
    }
    // Each channel: the warm-up, the sound of both sides, the follow-up, as they were.
    std::vector<std::vector<float>> natural(before.channels.size());
    for (size_t c = 0; c < natural.size(); ++c) {
        const auto& b = before.channels[c];
        const auto& a = after.channels[c];
        natural[c].assign(b.begin() + (tail.from - warm - before.start),
                          b.begin() + (tailTo - before.start));
        const auto head0 = a.begin() + (headFrom - after.start);
        for (int64_t i = 0; i < fade; ++i) {
            float& v = natural[c][size_t(int64_t(natural[c].size()) - fade + i)];
            const float w = float(0.5 - 0.5 * std::cos(M_PI * (double(i) + 0.5) / double(fade)));
            v = v * (1 - w) + head0[i] * w;
        }
        natural[c].insert(natural[c].end(), head0 + fade,
                          a.begin() + (head.to + follow - after.start));
    }
    // About the parts' bit rate: their header's, else their packets' around the join.
    int64_t bytes = 0, samples = 0;
    for (const Side* s : {&tail, &head})
        for (const AVPacket* p : s->packets)
            bytes += p->size, samples += av_rescale_q(p->duration, s->timeBase, {1, rate});
    const int64_t bits = d->par->bit_rate > 0 ? d->par->bit_rate
                         : samples > 0        ? av_rescale(bytes * 8, rate, samples)
                                              : 0;

    // The sound between warm-up and follow-up stretched to `length`, encoded from the warm-up on;
    // the packets that begin in the stretch are the bridge. Where the encoder's packets vary in
    // length (Vorbis's short blocks), its packets may end elsewhere: once more to that end.
    std::vector<AVPacket*> out;
    const int64_t asked = length;
    for (int tries = 0; tries < 2 && out.empty(); ++tries) {
        std::vector<std::vector<float>> input(natural.size());
        for (size_t c = 0; c < input.size(); ++c) {
            const std::vector<float>& n = natural[c];
            input[c].assign(n.begin(), n.begin() + warm);
            for (int64_t i = 0; i < length; ++i)
                input[c].push_back(
                    at(n, double(warm) + double(i) * double(content) / double(length)));
            input[c].insert(input[c].end(), n.end() - follow, n.end());
        }
        const int64_t ends = encode(as.get(), input, bits, warm, length, out);
        if (out.empty() && ends > 0 && ends != length && std::abs(ends - asked) * 2 <= d->frameSize)
            length = ends;
        else
            break;
    }
    return out;
}
