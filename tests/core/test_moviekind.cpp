// Telling a movie file's kind by its first bytes, and when the kinds of the
// queued files call for a question before the join.
#include "core/MovieKind.h"

#include <QtTest>

using MovieKind::Kind;

namespace {

/// `size` bytes of filler with `bytes` written at each offset of `at`.
QByteArray head(int size, const QByteArray& bytes, const QList<int>& at = {0})
{
    QByteArray h(size, '\x5a');
    for (int offset : at)
        h.replace(offset, bytes.size(), bytes);
    return h;
}

/// Two MPEG audio frames (or one, filling the file), each starting with `header`.
QByteArray frames(const QByteArray& header, int length, int count, int tail = 0)
{
    QByteArray h;
    for (int i = 0; i < count; ++i)
        h += header + QByteArray(length - 4, '\x11');
    return h + QByteArray(tail, '\x11');
}

const QByteArray kAsf = QByteArray::fromHex("3026B2758E66CF11A6D900AA0062CE6C");

} // namespace

class TestMovieKind : public QObject
{
    Q_OBJECT
private slots:
    void identify_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("kind");
        const auto row = [](const char* name, const QByteArray& bytes, Kind kind) {
            QTest::newRow(name) << bytes << MovieKind::name(kind);
        };
        row("program stream", head(2048, QByteArray::fromHex("000001BA")), Kind::ProgramStream);
        row("video stream", head(2048, QByteArray::fromHex("000001B3")), Kind::VideoStream);
        row("00 00 01 and another code", head(2048, QByteArray::fromHex("000001B9")),
            Kind::Unknown);
        row("00 00 01 only", QByteArray::fromHex("000001"), Kind::Unknown);
        row("transport stream", head(4096, "\x47", {0, 188, 376}), Kind::TransportStream);
        row("0x47 at 0 but not 188", head(4096, "\x47", {0, 376}), Kind::Unknown);
        row("0x47 at 0 and 188, file ends before 376", head(300, "\x47", {0, 188}), Kind::Unknown);
        row("m2ts", head(4096, "\x47", {4, 196, 388}), Kind::M2ts);
        row("m2ts missing its third packet", head(4096, "\x47", {4, 196}), Kind::Unknown);
        row("mp3 with ID3 tag", head(1000, "ID3\x04"), Kind::Mp3);
        // MPEG 1 layer III, 128 kbit/s, 44.1 kHz: 417-byte frames.
        const QByteArray mpeg1 = QByteArray::fromHex("FFFB9000");
        row("mp3 frames", frames(mpeg1, 417, 9), Kind::Mp3);
        row("mp3 frame, then no second", frames(mpeg1, 417, 1, 400), Kind::Unknown);
        row("mp3 frame, then one of another rate",
            frames(mpeg1, 417, 1) + QByteArray::fromHex("FFFB9400"), Kind::Unknown);
        // MPEG 2 layer III, 80 kbit/s, 22.05 kHz: 261 bytes, the whole file.
        row("mpeg 2 audio, one frame that is the file",
            frames(QByteArray::fromHex("FFF39000"), 261, 1), Kind::Mp3);
        row("sync with a forbidden rate", frames(QByteArray::fromHex("FFFBF000"), 417, 3),
            Kind::Unknown);
        row("aac (adts), not mpeg audio", frames(QByteArray::fromHex("FFF15080"), 417, 3),
            Kind::Unknown);
        row("ogg", head(200, "OggS"), Kind::Ogg);
        for (const char* box : {"ftyp", "moov", "mdat", "free", "wide"})
            row(box, head(64, box, {4}), Kind::Mp4);
        row("ftyp at 8", head(64, "ftyp", {8}), Kind::Unknown);
        row("matroska", head(64, QByteArray::fromHex("1A45DFA3")), Kind::Matroska);
        const QByteArray riff("RIFF\x10\0\0\0", 8);
        row("riff avi", head(64, riff + "AVI LIST"), Kind::Avi);
        row("riff wave", head(64, riff + "WAVEfmt "), Kind::Wav);
        row("riff of another form (a VCD's CDXA)", head(64, riff + "CDXAfmt "), Kind::Unknown);
        row("riff ending before its form", riff, Kind::Unknown);
        row("flv", head(64, "FLV\x01\x05"), Kind::Flv);
        row("asf", head(64, kAsf), Kind::Asf);
        QByteArray almostAsf = kAsf;
        almostAsf[15] = 'm';
        row("asf header guid with a wrong last byte", head(64, almostAsf), Kind::Unknown);
        row("empty", QByteArray(), Kind::Unknown);
        row("text", "Holiday 2026, second reel\n", Kind::Unknown);
    }
    void identify()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, kind);
        QCOMPARE(MovieKind::name(MovieKind::identify(bytes)), kind);
    }

    void whenToAsk_data()
    {
        // The queue's kinds in order ("-": none known) > the listed files by position, and
        // which sentence ("index" or "kinds"); "no" when nothing is asked.
        QTest::addColumn<QString>("row");
        for (const char* row : {
                 "ps ps ps > no",
                 "ps - - > no",    // a split program stream
                 "mp4 - - - > no", // a split MP4: its parts rejoined make it whole
                 "mp4 > no",       // one file: its copy plays
                 "- - > no",
                 "mp3 - mp3 ogg > 0 2 3 kinds",
                 "ps es > 0 1 kinds",
                 "ts m2ts ts > 0 1 2 kinds",
                 "mp4 mp4 > 0 1 index",
                 "- mp4 > 1 index",
                 "ps ps mkv ps > 2 0 1 3 index",
                 "avi - wav > 0 2 index",
                 "flv asf > 0 1 index",
             })
            QTest::newRow(row) << QString(row);
    }
    void whenToAsk()
    {
        QFETCH(QString, row);
        const QHash<QString, Kind> kinds = {
            {"ps", Kind::ProgramStream}, {"es", Kind::VideoStream}, {"ts", Kind::TransportStream},
            {"m2ts", Kind::M2ts},        {"mp3", Kind::Mp3},        {"ogg", Kind::Ogg},
            {"mp4", Kind::Mp4},          {"mkv", Kind::Matroska},   {"avi", Kind::Avi},
            {"wav", Kind::Wav},          {"flv", Kind::Flv},        {"asf", Kind::Asf}};
        QList<MovieKind::Queued> files;
        const QStringList codes = row.section(" > ", 0, 0).split(' ');
        for (int i = 0; i < codes.size(); ++i)
            files.append({QString("/movies/part %1.bin").arg(i), kinds.value(codes[i])});

        const QString question = MovieKind::joinQuestion(files);
        QStringList seen;
        const QStringList lines = question.split('\n');
        for (const QString& line : lines) {
            if (!line.startsWith("/movies/part "))
                continue;
            const int at = line.mid(13, 1).toInt();
            QCOMPARE(line, files[at].path + " (" + MovieKind::name(files[at].kind) + ")");
            seen << QString::number(at);
        }
        if (question.contains("index or a length"))
            seen << "index";
        else if (question.contains("first kind of file ends"))
            seen << "kinds";
        QCOMPARE(seen.isEmpty() ? "no" : seen.join(' '), row.section(" > ", 1));
    }

    void theQuestionAsTheUserReadsIt()
    {
        QList<MovieKind::Queued> files = {{"/movies/holiday.mpg", Kind::ProgramStream},
                                          {"/movies/beach.mp4", Kind::Mp4}};
        QCOMPARE(MovieKind::questionTitle(), "Join Files?");
        QCOMPARE(MovieKind::joinQuestion(files),
                 "These files will not play as one movie when joined byte by byte:\n"
                 "/movies/beach.mp4 (MP4/MOV)\n"
                 "/movies/holiday.mpg (MPEG program stream)\n\n"
                 "The joined file will most likely play only its first part, because files of "
                 "these kinds keep an index or a length of their own.\n\n"
                 "Join them anyway?");
        files = {{"/movies/a.mpg", Kind::ProgramStream}, {"/movies/b.mp3", Kind::Mp3}};
        QVERIFY(MovieKind::joinQuestion(files).endsWith(
            "(MP3 audio)\n\nThe joined file will most likely stop playing where the first kind "
            "of file ends.\n\nJoin them anyway?"));

        // A long queue names 15 files, then how many more.
        files.clear();
        for (int i = 0; i < 40; ++i)
            files.append({QString("/movies/clip%1.mkv").arg(i), Kind::Matroska});
        const QStringList lines = MovieKind::joinQuestion(files).split('\n');
        QCOMPARE(lines.mid(0, 2), QStringList({lines[0], "/movies/clip0.mkv (Matroska/WebM)"}));
        QCOMPARE(lines.mid(15, 3),
                 QStringList({"/movies/clip14.mkv (Matroska/WebM)", "... and 25 more.", ""}));
    }
};

QTEST_APPLESS_MAIN(TestMovieKind)
#include "test_moviekind.moc"
