#pragma once

#include <cstdint>
#include <functional>
#include <memory>

struct AVCodecParameters;
struct AVPacket;
struct AVStream;

/// One sound track of a movie made of parts, joined where one part meets the
/// next so that it plays on without a gap and stays with the pictures within
/// a frame over the whole movie. Lossy sound the library can encode is
/// bridged there (SoundBridge); other sound is copied, the later parts'
/// priming and the parts' padding left out where packets hold little else.
/// Its packets go out in order, each part's last few held back for the next
/// join.
class JoinedSound
{
public:
    /// Writes one packet, its times in samples on the movie's clock (the
    /// caller frees it); false when writing failed.
    using Write = std::function<bool(AVPacket*)>;

    /// A track of sound as `first` (the first part's stream) describes it.
    JoinedSound(const AVCodecParameters* first, Write write);
    ~JoinedSound();
    JoinedSound(const JoinedSound&) = delete;
    JoinedSound& operator=(const JoinedSound&) = delete;

    /// Begins a part whose stream is `st`: its clock runs `shift`
    /// microseconds behind the movie's, its own sound begins at `from` and
    /// should end about `end` (0: it does not say) microseconds on its clock.
    /// The first part joins to none before it.
    void beginPart(const AVStream* st, int64_t shift, int64_t from, int64_t end);
    /// A packet read from the part, taken from `pkt`; false when writing
    /// failed or memory ran out.
    bool add(AVPacket* pkt);
    /// The part was read to its end, which is at `until` microseconds on its
    /// clock; false when writing failed.
    bool endPart(int64_t until);
    /// Writes what the last part held back; false when writing failed.
    bool finish();

    /// How many joins were encoded again so far, and in how many nanoseconds.
    int bridged() const;
    int64_t bridgeTime() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
