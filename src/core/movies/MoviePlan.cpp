#include "core/movies/MoviePlan.h"

#include <QCoreApplication>
#include <QHash>

namespace {

using Type = MovieStream::Type;

// The context of the texts below.
struct Text
{
    Q_DECLARE_TR_FUNCTIONS(MoviePlan)
};

// The name and the usual extension of each family, in the enum's order.
constexpr const char* kFamilies[][2] = {
    {"", ""},         {"MP4", "mp4"}, {"MOV", "mov"}, {"Matroska", "mkv"},
    {"WebM", "webm"}, {"M4A", "m4a"}, {"MKA", "mka"}};

// The container a family is written in.
MovieFamily container(MovieFamily family)
{
    return family == MovieFamily::M4a   ? MovieFamily::Mp4
           : family == MovieFamily::Mka ? MovieFamily::Matroska
                                        : family;
}

QString familyName(MovieFamily family)
{
    return QString::fromLatin1(kFamilies[int(family)][0]);
}

QString codecName(const QString& codec)
{
    static const QHash<QString, QString> names = {
        {"h264", "H.264"}, {"hevc", "HEVC"}, {"mpeg4", "MPEG-4"},
        {"vp8", "VP8"},    {"vp9", "VP9"},   {"av1", "AV1"},
        {"aac", "AAC"},    {"opus", "Opus"}, {"vorbis", "Vorbis"},
        {"mp3", "MP3"},    {"ac3", "AC-3"},  {"mov_text", "MPEG-4 Timed Text"}};
    return names.value(codec, codec.isEmpty() ? Text::tr("unknown") : codec.toUpper());
}

// For each type of stream, in the enum's order, how a part's differ from the first part's: the
// part (%1) has none of them, it has them though the first part has none, it has another number
// of them (the first part's: %2), in another coding (%2, the first part's: %3), encoded with other
// settings; and the type's word in the list of what a movie leaves out.
constexpr const char* kTypeTexts[][6] = {
    {QT_TRANSLATE_NOOP("MoviePlan", "%1 has no pictures, unlike the first part"),
     QT_TRANSLATE_NOOP("MoviePlan", "%1 has pictures, unlike the first part"),
     QT_TRANSLATE_N_NOOP("MoviePlan", "%1 has %n picture stream(s); the first part has %2"),
     QT_TRANSLATE_NOOP("MoviePlan", "%1 has %2 pictures; the first part has %3 pictures"),
     QT_TRANSLATE_NOOP("MoviePlan",
                       "the pictures of %1 are encoded with other settings than the first part's"),
     QT_TRANSLATE_NOOP("MoviePlan", "pictures (%1)")},
    {QT_TRANSLATE_NOOP("MoviePlan", "%1 has no sound, unlike the first part"),
     QT_TRANSLATE_NOOP("MoviePlan", "%1 has sound, unlike the first part"),
     QT_TRANSLATE_N_NOOP("MoviePlan", "%1 has %n sound stream(s); the first part has %2"),
     QT_TRANSLATE_NOOP("MoviePlan", "%1 has %2 sound; the first part has %3 sound"),
     QT_TRANSLATE_NOOP("MoviePlan",
                       "the sound of %1 is encoded with other settings than the first part's"),
     QT_TRANSLATE_NOOP("MoviePlan", "sound (%1)")},
    {QT_TRANSLATE_NOOP("MoviePlan", "%1 has no subtitles, unlike the first part"),
     QT_TRANSLATE_NOOP("MoviePlan", "%1 has subtitles, unlike the first part"),
     QT_TRANSLATE_N_NOOP("MoviePlan", "%1 has %n subtitle stream(s); the first part has %2"),
     QT_TRANSLATE_NOOP("MoviePlan", "%1 has %2 subtitles; the first part has %3 subtitles"),
     QT_TRANSLATE_NOOP("MoviePlan",
                       "the subtitles of %1 are encoded with other settings than the first part's"),
     QT_TRANSLATE_NOOP("MoviePlan", "subtitles (%1)")},
    {QT_TRANSLATE_NOOP("MoviePlan", "%1 has no data streams, unlike the first part"),
     QT_TRANSLATE_NOOP("MoviePlan", "%1 has data streams, unlike the first part"),
     QT_TRANSLATE_N_NOOP("MoviePlan", "%1 has %n data stream(s); the first part has %2"),
     QT_TRANSLATE_NOOP("MoviePlan", "%1 has %2 data; the first part has %3 data"),
     QT_TRANSLATE_NOOP("MoviePlan",
                       "the data of %1 is encoded with other settings than the first part's"),
     QT_TRANSLATE_NOOP("MoviePlan", "data (%1)")}};
enum TypeText { NoneHere, NoneFirst, Count, Coding, Settings, LeftOut };

QString typeText(Type type, TypeText which, int n = -1)
{
    return Text::tr(kTypeTexts[int(type)][which], nullptr, n);
}

// How the streams of `name` differ in number or order from the first part's, or "".
QString streamsDifference(const QString& name, const QList<MovieStream>& streams,
                          const QList<MovieStream>& first)
{
    QHash<int, int> count, firstCount;
    for (const MovieStream& s : streams)
        ++count[int(s.type)];
    for (const MovieStream& s : first)
        ++firstCount[int(s.type)];
    for (const Type t : {Type::Video, Type::Audio, Type::Subtitle, Type::Other}) {
        const int n = count.value(int(t)), f = firstCount.value(int(t));
        if (n != f)
            return n == 0   ? typeText(t, NoneHere).arg(name)
                   : f == 0 ? typeText(t, NoneFirst).arg(name)
                            : typeText(t, Count, n).arg(name).arg(f);
    }
    for (int s = 0; s < streams.size(); ++s)
        if (streams[s].type != first[s].type)
            return Text::tr("the streams of %1 are in another order than the first part's")
                .arg(name);
    return QString();
}

// What a decoder needs of a stream's setup. FLAC's block of stream facts also holds each part's
// own frame sizes, sample count and checksum: only its block sizes, rate, channels and bits count.
QByteArray decoderSetup(const MovieStream& s)
{
    const QByteArray facts = s.setup.mid(s.setup.startsWith("fLaC") ? 8 : 0, 34);
    if (s.codec != QLatin1String("flac") || facts.size() < 34)
        return s.setup;
    return facts.left(4) + facts.mid(10, 3) + char(facts[13] & 0xf0);
}

// How the stream `s` of `name` differs from the first part's `f`, or "".
QString streamDifference(const QString& name, const MovieStream& s, const MovieStream& f)
{
    if (s.codec != f.codec)
        return typeText(s.type, Coding).arg(name, codecName(s.codec), codecName(f.codec));
    if (s.type == Type::Video && (s.width != f.width || s.height != f.height))
        return Text::tr("%1 has %2x%3 pictures; the first part has %4x%5")
            .arg(name)
            .arg(s.width)
            .arg(s.height)
            .arg(f.width)
            .arg(f.height);
    // One track shows all its pictures turned one way.
    if (s.type == Type::Video && s.turned != f.turned && f.turned == 0)
        return Text::tr("%1 is turned %2 degrees; the first part is not").arg(name).arg(s.turned);
    if (s.type == Type::Video && s.turned != f.turned && s.turned == 0)
        return Text::tr("%1 is not turned; the first part is turned %2 degrees")
            .arg(name)
            .arg(f.turned);
    if (s.type == Type::Video && s.turned != f.turned)
        return Text::tr("%1 is turned %2 degrees; the first part is turned %3 degrees")
            .arg(name)
            .arg(s.turned)
            .arg(f.turned);
    if (s.type == Type::Audio && s.sampleRate != f.sampleRate)
        return Text::tr("%1 has sound at %2 Hz; the first part has %3 Hz")
            .arg(name)
            .arg(s.sampleRate)
            .arg(f.sampleRate);
    if (s.type == Type::Audio && s.channels != f.channels)
        return Text::tr("%1 has %n sound channel(s); the first part has %2", nullptr, s.channels)
            .arg(name)
            .arg(f.channels);
    return decoderSetup(s) == decoderSetup(f) ? QString() : typeText(s.type, Settings).arg(name);
}

} // namespace

MoviePlan planMovie(const QStringList& names, const QList<FileResult<MovieLayout>>& layouts)
{
    MoviePlan plan;
    QStringList leftOut;
    for (int i = 0; i < layouts.size(); ++i) {
        const FileResult<MovieLayout>& part = layouts[i];
        const QString name = names.value(i);
        const QString difference = [&]() -> QString {
            if (!part)
                return Text::tr("%1 cannot be read as a movie (%2)").arg(name, part.error().text());
            const MovieLayout& first = *layouts[0];
            // Sound alone where the first part has pictures is told by the streams below.
            if (container(part->family) != container(first.family))
                return Text::tr("%1 and the first part are of different kinds: %2 and %3")
                    .arg(name, familyName(part->family), familyName(first.family));
            const QList<MovieStream> kept = part->kept(), firstKept = first.kept();
            if (kept.isEmpty())
                return Text::tr("%1 has no pictures or sound that a new file can carry").arg(name);
            // Its first pictures, decoded only, would be shown over the end of the part before.
            if (i > 0 && part->cutInside)
                return Text::tr("%1 was cut between two key pictures without encoding, which "
                                "only the first part may be")
                    .arg(name);
            if (!part->timed) // written live: what is missing of it would go unnoticed
                return Text::tr("%1 does not say how long it is, so it cannot be proven whole")
                    .arg(name);
            if (const QString d = streamsDifference(name, kept, firstKept); !d.isEmpty())
                return d;
            for (int s = 0; s < kept.size(); ++s)
                if (const QString d = streamDifference(name, kept[s], firstKept[s]); !d.isEmpty())
                    return d;
            return QString();
        }();
        if (!difference.isEmpty()) {
            plan.difference = difference;
            return plan;
        }
        for (const MovieStream& s : part->streams) {
            const bool font = s.codec == QLatin1String("ttf") || s.codec == QLatin1String("otf");
            if (!s.attached.isEmpty()) { // the first part's are the movie's
                if (i == 0 && !s.kept)
                    leftOut << (font ? Text::tr("the attached font %1")
                                     : Text::tr("the attached file %1"))
                                   .arg(s.attached);
                continue;
            }
            const QString what =
                typeText(s.type, LeftOut)
                    .arg(s.codec.isEmpty() && !s.tag.isEmpty() ? s.tag : codecName(s.codec));
            if (!s.kept && !s.remade && !leftOut.contains(what))
                leftOut << what;
        }
    }
    plan.family = layouts.isEmpty() ? MovieFamily::None : layouts[0]->family;
    for (const MovieStream& s : layouts.isEmpty() ? QList<MovieStream>() : layouts[0]->streams)
        plan.smoothed = plan.smoothed || s.smoothed;
    plan.leftOut = leftOut.join(QStringLiteral(", "));
    return plan;
}

QString movieFilter(MovieFamily family)
{
    return family == MovieFamily::None
               ? QString()
               : Text::tr("%1 Files (*.%2)").arg(familyName(family), movieSuffix(family));
}

QString movieSuffix(MovieFamily family)
{
    return QString::fromLatin1(kFamilies[int(family)][1]);
}
