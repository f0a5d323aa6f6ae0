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
        {"h264", "H.264"},    {"hevc", "HEVC"}, {"mpeg4", "MPEG-4"}, {"vp8", "VP8"},
        {"vp9", "VP9"},       {"av1", "AV1"},   {"aac", "AAC"},      {"opus", "Opus"},
        {"vorbis", "Vorbis"}, {"mp3", "MP3"},   {"ac3", "AC-3"},     {"mov_text", "text"}};
    return names.value(codec, codec.isEmpty() ? Text::tr("unknown") : codec.toUpper());
}

// For each type of stream, in the enum's order: its word, and how its setup differs.
constexpr const char* kTypeTexts[][2] = {
    {QT_TRANSLATE_NOOP("MoviePlan", "pictures"),
     QT_TRANSLATE_NOOP("MoviePlan",
                       "its pictures are encoded with other settings than the first part's")},
    {QT_TRANSLATE_NOOP("MoviePlan", "sound"),
     QT_TRANSLATE_NOOP("MoviePlan",
                       "its sound is encoded with other settings than the first part's")},
    {QT_TRANSLATE_NOOP("MoviePlan", "subtitles"),
     QT_TRANSLATE_NOOP("MoviePlan",
                       "its subtitles are encoded with other settings than the first part's")},
    {QT_TRANSLATE_NOOP("MoviePlan", "data"),
     QT_TRANSLATE_NOOP("MoviePlan",
                       "its data is encoded with other settings than the first part's")}};

// "pictures", "sound", "subtitles" or "data".
QString typeWord(Type type)
{
    return Text::tr(kTypeTexts[int(type)][0]);
}

// "pictures and sound", "pictures only", "pictures, 2 sound streams and subtitles".
QString streamsText(const QList<MovieStream>& streams)
{
    QList<Type> order;
    QHash<int, int> count;
    for (const MovieStream& s : streams)
        if (count[int(s.type)]++ == 0)
            order << s.type;
    if (order.isEmpty())
        return Text::tr("no pictures or sound");
    QStringList words;
    for (const Type t : order)
        words << (count[int(t)] > 1 ? Text::tr("%1 %2 streams")
                                          .arg(count[int(t)])
                                          .arg(t == Type::Video ? Text::tr("picture") : typeWord(t))
                                    : typeWord(t));
    if (words.size() == 1)
        return Text::tr("%1 only").arg(words[0]);
    const QString last = words.takeLast();
    return Text::tr("%1 and %2").arg(words.join(QStringLiteral(", ")), last);
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

// How `s` differs from the first part's `f`, or "".
QString streamDifference(const MovieStream& s, const MovieStream& f)
{
    const QString what = typeWord(s.type);
    if (s.codec != f.codec)
        return Text::tr("%1 %2; the first part has %3")
            .arg(codecName(s.codec), what, codecName(f.codec));
    if (s.type == Type::Video && (s.width != f.width || s.height != f.height))
        return Text::tr("%1x%2 pictures; the first part has %3x%4")
            .arg(s.width)
            .arg(s.height)
            .arg(f.width)
            .arg(f.height);
    // One track shows all its pictures turned one way.
    if (s.type == Type::Video && s.turned != f.turned && f.turned == 0)
        return Text::tr("turned %1 degrees; the first part is not").arg(s.turned);
    if (s.type == Type::Video && s.turned != f.turned && s.turned == 0)
        return Text::tr("not turned; the first part is turned %1 degrees").arg(f.turned);
    if (s.type == Type::Video && s.turned != f.turned)
        return Text::tr("turned %1 degrees; the first part is turned %2 degrees")
            .arg(s.turned)
            .arg(f.turned);
    if (s.type == Type::Audio && s.sampleRate != f.sampleRate)
        return Text::tr("sound at %1 Hz; the first part has %2 Hz")
            .arg(s.sampleRate)
            .arg(f.sampleRate);
    if (s.type == Type::Audio && s.channels != f.channels)
        return Text::tr("%1-channel sound; the first part has %2-channel")
            .arg(s.channels)
            .arg(f.channels);
    return decoderSetup(s) == decoderSetup(f) ? QString() : Text::tr(kTypeTexts[int(s.type)][1]);
}

} // namespace

MoviePlan planMovie(const QStringList& names, const QList<FileResult<MovieLayout>>& layouts)
{
    MoviePlan plan;
    QStringList leftOut;
    for (int i = 0; i < layouts.size(); ++i) {
        const FileResult<MovieLayout>& part = layouts[i];
        const QString difference = [&]() -> QString {
            if (!part)
                return Text::tr("it cannot be read as a movie (%1)").arg(part.error().text());
            const MovieLayout& first = *layouts[0];
            // Sound alone where the first part has pictures is told by the streams below.
            if (container(part->family) != container(first.family))
                return Text::tr("a %1 file; the first part is a %2 file")
                    .arg(familyName(part->family), familyName(first.family));
            const QList<MovieStream> kept = part->kept(), firstKept = first.kept();
            if (kept.isEmpty())
                return Text::tr("no pictures or sound that a new file can carry");
            // Its first pictures, decoded only, would be shown over the end of the part before.
            if (i > 0 && part->cutInside)
                return Text::tr(
                    "it was cut between two key pictures without encoding, which only the "
                    "first part may be");
            if (!part->timed) // written live: what is missing of it would go unnoticed
                return Text::tr("it does not say how long it is, so it cannot be proven whole");
            QList<Type> types, firstTypes;
            for (const MovieStream& s : kept)
                types << s.type;
            for (const MovieStream& s : firstKept)
                firstTypes << s.type;
            if (types != firstTypes)
                return Text::tr("%1; the first part has %2")
                    .arg(streamsText(kept), streamsText(firstKept));
            for (int s = 0; s < kept.size(); ++s)
                if (const QString d = streamDifference(kept[s], firstKept[s]); !d.isEmpty())
                    return d;
            return QString();
        }();
        if (!difference.isEmpty()) {
            plan.difference = names.value(i) + QStringLiteral(": ") + difference;
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
            const QString what = QStringLiteral("%1 (%2)").arg(
                typeWord(s.type),
                s.codec.isEmpty() && !s.tag.isEmpty() ? s.tag : codecName(s.codec));
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
