#include "platform/movies/JoinedSound.h"

#include "platform/movies/Ffmpeg.h"
#include "platform/movies/SoundBridge.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/vorbis_parser.h>
#include <libavformat/avformat.h>
#include <libavutil/intreadwrite.h>
#include <libavutil/mathematics.h>
}

#include <QElapsedTimer>

#include <deque>
#include <vector>

namespace {

// Frames of sound decoded and encoded again at each join: of the part before (its last, which
// holds its padding; held back until the part ends, and the muxer holds the pictures meanwhile),
// of Vorbis's (whose last blocks are short), of the part after.
constexpr int kTailFrames = 2, kVorbisTailFrames = 2, kHeadFrames = 7;
// At most this many new frames at a join, and the sound stretched by at most 1/kMostStretch.
constexpr int kMostFrames = 12, kMostStretch = 8;

void freeAll(std::deque<AVPacket*>& packets)
{
    for (AVPacket*& pkt : packets)
        av_packet_free(&pkt);
    packets.clear();
}

} // namespace

struct JoinedSound::Private
{
    Write write;
    int rate = 0;
    std::unique_ptr<SoundBridge> bridge; // null: the sound is copied, its priming dropped
    bool lossless = false;
    int frame = 0; // samples in each of its frames, where they are of one length and lossy
    // Vorbis: its packets' block sizes, which tell how many samples each decodes to after the one
    // before (Matroska does not say).
    std::unique_ptr<AVVorbisParseContext, void (*)(AVVorbisParseContext*)> vorbis{
        nullptr, [](AVVorbisParseContext* v) { av_vorbis_parse_free(&v); }};
    int bridges = 0;
    int64_t bridgeTime = 0;

    // All in samples. Where the sound written so far ends on the movie's clock, and how far this
    // part's sound lies behind its pictures (the remainder of the joins' whole frames).
    int64_t written = AV_NOPTS_VALUE, drift = 0;
    const AVStream* stream = nullptr; // the part's
    bool later = false;               // a part after the first
    int64_t shift = 0;                // from the part's clock to the movie's, for its pictures
    // The part's last packets: not yet written (`held`), which the next join may encode again;
    // before them, written (`past`), which its decoder reads first.
    std::deque<AVPacket*> held, past;
    // The part before's, where its sound ends on its clock and its shift with its drift.
    std::deque<AVPacket*> tail, tailPast;
    int64_t tailEnd = 0, tailShift = 0;
    // This part's first packets while the join before it waits for them, where its own sound
    // begins on its clock, and where its next packet follows on.
    std::deque<AVPacket*> head;
    bool joining = false;
    int64_t from = 0, next = AV_NOPTS_VALUE;
    int64_t end = AV_NOPTS_VALUE; // where the part says its sound ends

    size_t tailFrames() const { return vorbis ? kVorbisTailFrames : kTailFrames; }
    // How many written packets a join's decoder and encoder need before those it encodes.
    size_t settles() const
    {
        const SoundBridge* b = bridge.get();
        return b ? size_t(b->settle() + (b->warmUp() + b->frameSize() - 1) / b->frameSize()) : 0;
    }
    // How many samples a packet decodes to: a whole frame where the codec's are of one length (a
    // part's last packet may say less, leaving out padding that decoders still play; Matroska's
    // may say nothing).
    int64_t decoded(const AVPacket* pkt) const
    {
        return std::max<int64_t>(vorbis ? 0 : bridge ? bridge->frameSize() : frame, pkt->duration);
    }
    bool send(AVPacket* pkt, int64_t shift);
    bool writeHeld(std::deque<AVPacket*>& packets, size_t keep, int64_t shift,
                   std::deque<AVPacket*>* past = nullptr);
    bool join(bool partEnded);
    bool copyJoin(bool partEnded);
};

JoinedSound::JoinedSound(const AVCodecParameters* first, Write write)
    : d(std::make_unique<Private>())
{
    d->write = std::move(write);
    d->rate = first->sample_rate;
    d->bridge = SoundBridge::create(first);
    const AVCodecDescriptor* codec = avcodec_descriptor_get(first->codec_id);
    d->lossless = codec && (codec->props & AV_CODEC_PROP_LOSSLESS);
    d->frame = d->lossless ? 0
               : first->frame_size > 0
                   ? first->frame_size
                   : av_get_audio_frame_duration2(const_cast<AVCodecParameters*>(first), 0);
    if (first->codec_id == AV_CODEC_ID_VORBIS)
        d->vorbis.reset(av_vorbis_parse_init(first->extradata, first->extradata_size));
}

JoinedSound::~JoinedSound()
{
    for (auto* packets : {&d->held, &d->past, &d->tail, &d->tailPast, &d->head})
        freeAll(*packets);
}

void JoinedSound::beginPart(const AVStream* st, int64_t shift, int64_t from, int64_t end)
{
    Private& p = *d;
    p.end = end > 0 ? av_rescale(end, p.rate, AV_TIME_BASE) : AV_NOPTS_VALUE;
    p.later = p.stream != nullptr;
    p.stream = st;
    p.shift = av_rescale(shift, p.rate, AV_TIME_BASE);
    p.from = av_rescale(from, p.rate, AV_TIME_BASE);
    freeAll(p.tail), freeAll(p.tailPast); // of a part before that never joined
    p.tail.swap(p.held);
    p.tailPast.swap(p.past);
    p.joining = p.later;
    p.next = AV_NOPTS_VALUE;
    if (p.vorbis)
        av_vorbis_parse_reset(p.vorbis.get());
}

bool JoinedSound::add(AVPacket* pkt)
{
    Private& p = *d;
    AVPacket* own = av_packet_alloc();
    if (!own)
        return false;
    // Held on a clock of samples, exact where the container rounds.
    av_packet_move_ref(own, pkt);
    av_packet_rescale_ts(own, p.stream->time_base, AVRational{1, p.rate});
    if (own->pts == AV_NOPTS_VALUE) // sound says when it plays by where it follows on
        own->pts = own->dts != AV_NOPTS_VALUE ? own->dts : p.next != AV_NOPTS_VALUE ? p.next : 0;
    if (p.vorbis)
        if (const int length = av_vorbis_parse_frame(p.vorbis.get(), own->data, own->size);
            length > 0)
            own->duration = length;
    if (own->duration <= 0 && p.bridge && !p.vorbis)
        own->duration = p.bridge->frameSize();
    // A time the container rounded (Matroska's milliseconds) follows on from the packet before.
    if (p.next != AV_NOPTS_VALUE && std::abs(own->pts - p.next) <= p.rate / 1000)
        own->pts = own->dts = p.next;
    p.next = own->duration > 0 ? own->pts + own->duration : AV_NOPTS_VALUE;
    if (p.joining) {
        p.head.push_back(own);
        return p.join(false);
    }
    // Only the packets near where the part says it ends are held back: until then the muxer
    // need not hold the pictures that come with them.
    const bool nearEnd =
        p.end == AV_NOPTS_VALUE ||
        own->pts + int64_t(p.tailFrames() + 2) * std::max<int64_t>(p.decoded(own), 1) >= p.end;
    p.held.push_back(own);
    return p.writeHeld(p.held, nearEnd ? p.tailFrames() : 0, p.shift + p.drift, &p.past);
}

bool JoinedSound::endPart(int64_t until)
{
    Private& p = *d;
    if (p.joining && !p.join(true))
        return false;
    p.tailEnd = av_rescale(until, p.rate, AV_TIME_BASE);
    p.tailShift = p.shift + p.drift;
    return true;
}

bool JoinedSound::finish()
{
    return d->writeHeld(d->held, 0, d->shift + d->drift);
}

int JoinedSound::bridged() const
{
    return d->bridges;
}

int64_t JoinedSound::bridgeTime() const
{
    return d->bridgeTime;
}

// A packet of the part, on its own clock, written `shift` samples later on the movie's; freed.
bool JoinedSound::Private::send(AVPacket* pkt, int64_t shift)
{
    pkt->pts = pkt->dts = pkt->pts + shift;
    written = pkt->pts + decoded(pkt);
    // A later part's priming is gone or bridged: nothing of it is to be skipped.
    size_t size = 0;
    if (uint8_t* skip = av_packet_get_side_data(pkt, AV_PKT_DATA_SKIP_SAMPLES, &size);
        skip && size >= 4 && later)
        AV_WL32(skip, 0);
    const bool ok = write(pkt);
    av_packet_free(&pkt);
    return ok;
}

// Writes the packets but the last `keep`, each kept in `past` too as far as a join needs.
bool JoinedSound::Private::writeHeld(std::deque<AVPacket*>& packets, size_t keep, int64_t shift,
                                     std::deque<AVPacket*>* past)
{
    bool ok = true;
    while (packets.size() > keep && ok) {
        AVPacket* pkt = packets.front();
        packets.pop_front();
        if (past && settles() > 0) {
            past->push_back(av_packet_clone(pkt));
            if (!past->back())
                return av_packet_free(&pkt), false;
            if (past->size() > settles()) {
                av_packet_free(&past->front());
                past->pop_front();
            }
        }
        ok = send(pkt, shift);
    }
    return ok;
}

// The part's sound joined to the part before's: where a bridge can be made once enough of this
// part's first packets are read (or it ended), they and the last of the part before are encoded
// again; otherwise the sound is copied (copyJoin).
bool JoinedSound::Private::join(bool partEnded)
{
    SoundBridge* b = bridge.get();
    if (!b)
        return copyJoin(partEnded);
    const int frame = b->frameSize();
    // The head: its priming, the frames to bridge, then the follow-up the encoder is given (and a
    // packet more, for times rounded).
    size_t primed = 0;
    while (primed < head.size() && head[primed]->pts + decoded(head[primed]) <= from)
        ++primed;
    const size_t last = primed + kHeadFrames,
                 needed = last + size_t((b->followUp() + frame - 1) / frame) + 1;
    if (head.size() < needed && !partEnded)
        return true;
    if (head.size() < needed || tail.empty() || tailPast.size() < settles())
        return copyJoin(partEnded);
    // On the movie's clock: where the bridge begins, where it should end (where the pictures put
    // the head's end); the whole frames nearest that, else (an encoder that cannot end there) the
    // next nearest, so that the sound stays within a frame of the pictures; stretched a little.
    const int64_t begins = tail.front()->pts, ends = head[last]->pts, at = begins + tailShift,
                  should = ends + shift, content = (tailEnd - begins) + (ends - from),
                  nearest = (should - at + frame / 2) / frame,
                  other = should - at > nearest * frame ? nearest + 1 : nearest - 1;
    SoundBridge::Side before{{tailPast.begin(), tailPast.end()}, {1, rate}, begins, tailEnd},
        after{{head.begin(), head.begin() + needed}, {1, rate}, from, ends};
    before.packets.insert(before.packets.end(), tail.begin(), tail.end());
    std::vector<AVPacket*> bridged;
    QElapsedTimer timer;
    timer.start();
    for (const int64_t frames : {nearest, other})
        if (bridged.empty() && frames >= 1 && frames <= kMostFrames && content > 0 &&
            std::abs(frames * frame - content) * kMostStretch <= content &&
            std::abs(at + frames * frame - should) * 2 <= frame * (frames == nearest ? 1 : 2))
            bridged = b->bridge(before, after, frames * frame);
    bridgeTime += timer.nsecsElapsed();
    qCDebug(Ffmpeg::lcMovies, "sound joined in %d packets in %.2f ms", int(bridged.size()),
            double(timer.nsecsElapsed()) / 1e6);
    if (bridged.empty())
        return copyJoin(partEnded);

    ++bridges;
    freeAll(tail), freeAll(tailPast);
    bool ok = true;
    int64_t length = 0;
    for (AVPacket* pkt : bridged) {
        length += pkt->duration;
        ok = ok ? send(pkt, at) : (av_packet_free(&pkt), false);
    }
    drift = at + length - should;
    for (size_t i = 0; i < last; ++i)
        av_packet_free(&head[i]);
    held.assign(head.begin() + last, head.end());
    head.clear();
    joining = false;
    return ok && writeHeld(held, tailFrames(), shift + drift, &past);
}

// The part's sound copied after the part before's. Lossy sound without a bridge: the part
// before's last packets that hold little but padding, and this part's first that hold little but
// priming, are left out; where what the part before decodes to reaches over half a packet into
// this part, its next packets too, so that the sound stays with the pictures. A packet's length
// is told by the next one's start: the first is decided once the second is read.
bool JoinedSound::Private::copyJoin(bool partEnded)
{
    while (!lossless && tail.size() >= 2) {
        const int64_t end = tail.back()->pts, before = tail[tail.size() - 2]->pts;
        if (end + (end - before) / 2 < tailEnd)
            break;
        av_packet_free(&tail.back());
        tail.pop_back();
    }
    freeAll(tailPast);
    if (!writeHeld(tail, 0, tailShift))
        return false;
    while (!head.empty()) {
        if (head.size() < 2 && !partEnded)
            return true;
        AVPacket* pkt = head.front();
        const int64_t at = pkt->pts, after = head.size() >= 2 ? head[1]->pts : at,
                      length = std::max<int64_t>(1, after > at ? after - at : decoded(pkt));
        // Lossless packets may not say how long they are (FLAC's in Matroska): the part before
        // ends at its own end, or where its last packet decodes to.
        const int64_t reached = lossless || written == AV_NOPTS_VALUE
                                    ? std::max(written, tailEnd + tailShift)
                                    : written,
                      behind = reached - (at + shift);
        if (at + length / 2 > from && behind <= length / 2) {
            drift = behind;
            joining = false;
            break;
        }
        head.pop_front();
        av_packet_free(&pkt);
    }
    if (joining)
        return true;
    held.insert(held.end(), head.begin(), head.end());
    head.clear();
    return writeHeld(held, tailFrames(), shift + drift, &past);
}
