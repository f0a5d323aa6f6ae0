#pragma once

extern "C" {
#include <libavutil/rational.h>
}

#include <cstdint>
#include <memory>
#include <vector>

struct AVCodecParameters;
struct AVPacket;

/// Makes a movie's sound seamless where one part meets the next. The last
/// frames of the one and the first of the other are decoded, the parts'
/// priming and padding left out, stretched to whole frames and encoded
/// again with the parts' codec, profile, rate, channels and about their bit
/// rate; the new packets take the place of the decoded ones between two
/// untouched packets.
class SoundBridge
{
public:
    /// One side of a join: a run of one part's sound packets, in order, in
    /// their time base; and the stretch of it that is the part's own sound
    /// (no priming, no padding), in samples on the part's clock.
    struct Side
    {
        std::vector<const AVPacket*> packets;
        AVRational timeBase{1, 1};
        int64_t from = 0, to = 0;
    };

    ~SoundBridge();
    SoundBridge(const SoundBridge&) = delete;
    SoundBridge& operator=(const SoundBridge&) = delete;

    /// A bridge for sound as `par` describes it; null where the sound needs
    /// none (lossless sound has no priming or padding) or the library cannot
    /// encode it with the same codec, profile and decoder setup in frames of
    /// one length.
    static std::unique_ptr<SoundBridge> create(const AVCodecParameters* par);
    /// Whether create() makes a bridge for `par`.
    static bool bridges(const AVCodecParameters* par);

    /// Samples in each frame of the encoder.
    int frameSize() const;
    /// How far before the bridge the tail's sound must reach, in samples: the
    /// encoder starts there, so that its own priming falls before the bridge.
    int warmUp() const;
    /// How far after the bridge the head's sound must reach, in samples: the
    /// encoder ends there, so that its last frame overlaps the untouched
    /// sound as the part's own did.
    int followUp() const;
    /// How many packets the tail needs before the sound warmUp() asks for,
    /// for the decoder to settle.
    int settle() const;

    /// New packets holding the tail's sound from `tail.from` to `tail.to`,
    /// then the head's from `head.from` to `head.to`, stretched to `length`
    /// samples (whole frames). Their times count samples from the bridge's
    /// start; where the encoder's frames vary in length (Vorbis) they may end
    /// up to half a frame elsewhere. Empty where the sides hold too little
    /// sound, decoding or encoding failed, or the encoder's packets do not
    /// begin where the bridge does. The caller frees them.
    std::vector<AVPacket*> bridge(const Side& tail, const Side& head, int64_t length);

private:
    SoundBridge();
    struct Private;
    std::unique_ptr<Private> d;
};
