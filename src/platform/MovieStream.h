#pragma once

#include <QByteArray>
#include <QString>

/// One stream of a movie file.
struct MovieStream
{
    enum class Type { Video, Audio, Subtitle, Other };
    Type type = Type::Other;
    QString codec{};           ///< FFmpeg's short name ("h264", "aac"); empty: none
    QString tag{};             ///< the container's name for it ("avc1", "tmcd"), if any
    int width = 0, height = 0; ///< pictures
    int turned =
        0; ///< pictures: turned for showing, as a phone's rotate tag says (0, 90, 180, 270)
    int sampleRate = 0, channels = 0; ///< sound
    QByteArray setup{};               ///< the decoder setup (codec extra data)
    QString attached{};               ///< a file attached to the movie (a font): its name
    bool kept = false;                ///< a new file of the movie's family can carry it
    bool remade = false; ///< not copied, but made again from the first part's (a timecode track)
    /// Sound: encoded again for a few frames where one part meets the next,
    /// so that it plays on without a gap or a click (lossy sound the library
    /// can encode as the parts hold it).
    bool smoothed = false;
};
