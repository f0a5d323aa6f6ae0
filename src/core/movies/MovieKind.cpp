#include "core/movies/MovieKind.h"

#include "core/text/Format.h"

#include <QCoreApplication>

#include <QSet>
#include <QStringList>

namespace MovieKind {

namespace {

// The context of the texts below.
struct Text
{
    Q_DECLARE_TR_FUNCTIONS(MovieKind)
};

bool startsWith(const QByteArray& head, int at, const char* bytes, int size)
{
    return head.size() >= at + size && std::equal(bytes, bytes + size, head.constData() + at);
}

bool byteAt(const QByteArray& head, int at, quint8 value)
{
    return head.size() > at && quint8(head[at]) == value;
}

/// The length of the MPEG audio frame whose header starts at `at`, or 0
/// when there is no valid header there. `like` (when not 0) is a header
/// whose version, layer and sampling rate the frame must share.
int audioFrameLength(const QByteArray& head, int at, quint32 like, quint32* header = nullptr)
{
    if (head.size() < at + 4)
        return 0;
    const auto* p = reinterpret_cast<const quint8*>(head.constData() + at);
    const quint32 h = quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
    if ((h & 0xFFE00000u) != 0xFFE00000u)
        return 0;
    const int version = (h >> 19) & 3; // 0: MPEG 2.5, 1: reserved, 2: MPEG 2, 3: MPEG 1
    const int layer = (h >> 17) & 3;   // 0: reserved, 1: III, 2: II, 3: I
    const int rateIndex = (h >> 12) & 15;
    const int sampleIndex = (h >> 10) & 3;
    // Free-format bit rates have no length to check: not counted.
    if (version == 1 || layer == 0 || rateIndex == 0 || rateIndex == 15 || sampleIndex == 3)
        return 0;
    const quint32 sameStream = 0xFFFE0C00u; // sync, version, layer, sampling rate
    if (like != 0 && (h & sameStream) != (like & sameStream))
        return 0;
    static const int kRates[5][15] = {
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448}, // MPEG 1, I
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},    // MPEG 1, II
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},     // MPEG 1, III
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},    // MPEG 2, I
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},         // MPEG 2, II, III
    };
    static const int kSampleRates[3] = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    const int table = mpeg1 ? 3 - layer : (layer == 3 ? 3 : 4);
    const int bitRate = kRates[table][rateIndex] * 1000;
    const int sampleRate = kSampleRates[sampleIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    const int padding = (h >> 9) & 1;
    if (header)
        *header = h;
    if (layer == 3)
        return (12 * bitRate / sampleRate + padding) * 4;
    const int perFrame = (layer == 1 && !mpeg1) ? 72 : 144;
    return perFrame * bitRate / sampleRate + padding;
}

/// An MPEG audio frame at the start, and the next one right after it (or
/// the file ends with the first).
bool isMpegAudio(const QByteArray& head)
{
    quint32 first = 0;
    const int length = audioFrameLength(head, 0, 0, &first);
    if (length == 0)
        return false;
    if (head.size() < length + 4)
        return head.size() == length;
    return audioFrameLength(head, length, first) != 0;
}

/// Three packets' sync bytes, `size` bytes apart, the first at `first`.
bool packetsAt(const QByteArray& head, int first, int size)
{
    return byteAt(head, first, 0x47) && byteAt(head, first + size, 0x47) &&
           byteAt(head, first + 2 * size, 0x47);
}

QString line(const Queued& file)
{
    return QStringLiteral("%1 (%2)").arg(file.path, name(file.kind));
}

} // namespace

Kind identify(const QByteArray& head)
{
    static const char kAsfHeader[] =
        "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C";
    if (startsWith(head, 0, "\x00\x00\x01\xBA", 4))
        return Kind::ProgramStream;
    if (startsWith(head, 0, "\x00\x00\x01\xB3", 4))
        return Kind::VideoStream;
    if (packetsAt(head, 0, 188))
        return Kind::TransportStream;
    if (packetsAt(head, 4, 192)) // each packet after a 4-byte time stamp
        return Kind::M2ts;
    if (startsWith(head, 0, "OggS", 4))
        return Kind::Ogg;
    for (const char* box : {"ftyp", "moov", "mdat", "free", "wide"})
        if (startsWith(head, 4, box, 4))
            return Kind::Mp4;
    if (startsWith(head, 0, "\x1A\x45\xDF\xA3", 4))
        return Kind::Matroska;
    if (startsWith(head, 0, "RIFF", 4)) {
        if (startsWith(head, 8, "AVI ", 4))
            return Kind::Avi;
        if (startsWith(head, 8, "WAVE", 4))
            return Kind::Wav;
        return Kind::Unknown;
    }
    if (startsWith(head, 0, "FLV\x01", 4))
        return Kind::Flv;
    if (startsWith(head, 0, kAsfHeader, 16))
        return Kind::Asf;
    if (startsWith(head, 0, "ID3", 3) || isMpegAudio(head))
        return Kind::Mp3;
    return Kind::Unknown;
}

QString name(Kind kind)
{
    switch (kind) {
    case Kind::Unknown:
        break;
    case Kind::ProgramStream:
        return QCoreApplication::translate("MovieKind", "MPEG program stream");
    case Kind::VideoStream:
        return QCoreApplication::translate("MovieKind", "MPEG video stream");
    case Kind::TransportStream:
        return QCoreApplication::translate("MovieKind", "MPEG transport stream");
    case Kind::M2ts:
        return QCoreApplication::translate("MovieKind", "M2TS transport stream");
    case Kind::Mp3:
        return QCoreApplication::translate("MovieKind", "MP3 audio");
    case Kind::Ogg:
        return QCoreApplication::translate("MovieKind", "Ogg");
    case Kind::Mp4:
        return QCoreApplication::translate("MovieKind", "MP4/MOV");
    case Kind::Matroska:
        return QCoreApplication::translate("MovieKind", "Matroska/WebM");
    case Kind::Avi:
        return QCoreApplication::translate("MovieKind", "AVI");
    case Kind::Wav:
        return QCoreApplication::translate("MovieKind", "WAV");
    case Kind::Flv:
        return QCoreApplication::translate("MovieKind", "FLV");
    case Kind::Asf:
        return QCoreApplication::translate("MovieKind", "ASF/WMV");
    }
    return QCoreApplication::translate("MovieKind", "unknown");
}

bool hasIndex(Kind kind)
{
    switch (kind) {
    case Kind::Mp4:
    case Kind::Matroska:
    case Kind::Avi:
    case Kind::Wav:
    case Kind::Flv:
    case Kind::Asf:
        return true;
    default:
        return false;
    }
}

QString joinQuestion(const QList<Queued>& files, const MoviePlan& plan)
{
    QSet<Kind> kinds;
    bool indexed = false;
    int known = 0;
    bool onlyFirst = true;
    for (int i = 0; i < files.size(); ++i) {
        const Kind kind = files[i].kind;
        if (kind == Kind::Unknown)
            continue;
        kinds.insert(kind);
        indexed = indexed || hasIndex(kind);
        ++known;
        onlyFirst = onlyFirst && i == 0;
    }
    if (known == 0 || onlyFirst || (!indexed && kinds.size() == 1))
        return QString();

    QStringList lines;
    for (const Queued& file : files)
        if (hasIndex(file.kind))
            lines << line(file);
    if (kinds.size() > 1)
        for (const Queued& file : files)
            if (file.kind != Kind::Unknown && !hasIndex(file.kind))
                lines << line(file);
    const QString list = Format::listMessage(
        Text::tr("These files will not play as one movie when joined byte by byte:"), lines);
    if (plan.family != MovieFamily::None) {
        const bool sound = soundOnly(plan.family);
        QString text =
            list + QStringLiteral("\n\n") +
            (sound && plan.smoothed
                 ? Text::tr(
                       "Join as One Movie copies their sound into one new file that plays all "
                       "parts, smoothed where one part meets the next so that it plays on without "
                       "a gap. With Join Bytes Anyway the joined file will most likely play only "
                       "its first part.")
             : sound ? Text::tr("Join as One Movie copies their sound unchanged into one new file "
                                "that plays all parts. With Join Bytes Anyway the joined file will "
                                "most likely play only its first part.")
             : plan.smoothed
                 ? Text::tr(
                       "Join as One Movie copies their pictures unchanged into one new file "
                       "that plays all parts, and smooths the sound where one part meets the "
                       "next so that it plays on without a gap. With Join Bytes Anyway the joined "
                       "file will most likely play only its first part.")
                 : Text::tr("Join as One Movie copies their pictures and sound unchanged into one "
                            "new file that plays all parts. With Join Bytes Anyway the joined file "
                            "will most likely play only its first part."));
        if (!plan.leftOut.isEmpty())
            text += QStringLiteral("\n\n") +
                    Text::tr("The new file leaves out what it cannot carry: %1.").arg(plan.leftOut);
        return text;
    }
    const QString outcome =
        indexed
            ? Text::tr("The joined file will most likely play only its first part, because files "
                       "of these kinds keep an index or a length of their own.")
            : Text::tr("The joined file will most likely stop playing where the first kind of file "
                       "ends.");
    const QString why =
        plan.difference.isEmpty()
            ? QString()
            : QLatin1Char('\n') +
                  Text::tr("They cannot be joined as one movie: %1.").arg(plan.difference);
    return list + why + QStringLiteral("\n\n") + outcome + QStringLiteral("\n\n") +
           Text::tr("Join them anyway?");
}

QStringList oneMovieButtons()
{
    return {Text::tr("Join as One Movie"), Text::tr("Join Bytes Anyway"), Text::tr("Cancel")};
}

QString questionTitle()
{
    return QCoreApplication::translate("MovieKind", "Join Files?");
}

} // namespace MovieKind
