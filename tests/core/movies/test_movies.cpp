// What kind of movie a file is, told by its first bytes, and the question asked before a join;
// movie parts made by ffmpeg looked at and joined as one movie through the session.
#include "core/movies/MovieKind.h"
#include "core/movies/MoviePlan.h"
#include "support/CoreSupport.h"

#include <QCryptographicHash>
#include <QProcess>

#include <QUrl>
#include <map>

using namespace TestSupport;
using Phase = JoinSession::Phase;
using Choice = JoinSession::Choice;
using Ending = JoinSession::Ending;

namespace {

const auto hex = [](const QByteArray& digits) { return QByteArray::fromHex(digits); };
// 4096 bytes (or `size`) of 0x5a with `bytes` written at each of `offsets`.
QByteArray filled(const QByteArray& bytes, const QList<int>& offsets = {0}, int size = 4096)
{
    QByteArray out(size, '\x5a');
    for (const int at : offsets)
        out.replace(at, bytes.size(), bytes);
    return out;
}
// `count` MPEG audio frames of `length` bytes, each its header then 0x11.
const auto frames = [](const char* header, int length, int count) {
    return (hex(header) + QByteArray(length - 4, '\x11')).repeated(count);
};
// Two lines of subtitles in `dir`, or two chapters ("Intro" and "Main"); their path.
QString subtitles(const QString& dir)
{
    return writeFile(dir + "/s.srt", "1\n00:00:00,100 --> 00:00:00,500\nOne\n\n"
                                     "2\n00:00:00,600 --> 00:00:00,900\nTwo\n");
}
QString ownChapters(const QString& dir)
{
    const QString one = "[CHAPTER]\nTIMEBASE=1/1000\nSTART=%1\nEND=%2\ntitle=%3\n";
    return writeFile(dir + "/c.txt", (";FFMETADATA1\n" + one.arg(0).arg(400).arg("Intro") +
                                      one.arg(400).arg(1000).arg("Main"))
                                         .toUtf8());
}
// Part n (a., b., ...) of this kind: a second of 160x120 pictures at 25 a second and of a sine
// unlike the other parts'. Its path, or "" where ffmpeg cannot make it.
QString makeMovie(const QString& dir, const QString& kind, int n)
{
    const QString avc = " -c:v libx264 -bf 2 -c:a aac",
                  vp9 = " -c:v libvpx-vp9 -deadline realtime -cpu-used 8 -c:a libopus";
    // Each kind's file name ending and ffmpeg's options, but for plain MP4 parts. Cut, Bare,
    // Tail: cut short below (Cut with its index first); Untimed, Described, Jump: damaged below;
    // Phone, Late, Copied, Trimmed: copied again below; Telemetry: given an action camera's
    // telemetry track.
    const QStringList plain = {"Avc", "Phone", "Bare", "Untimed", "Described", "Telemetry"};
    const std::map<QString, std::pair<QString, QString>> how = {
        {"Big", {"mp4", " -s 320x240" + avc}},
        {"Mute", {"mp4", " -an" + avc}},
        {"Cut", {"mp4", avc + " -movflags +faststart"}},
        {"Mov", {"mov", " -an -c:v mpeg4"}},
        {"WebM", {"webm", vp9}},
        {"Mkv", {"mkv", avc}},
        {"Flac", {"mkv", " -c:v libx264 -c:a flac"}},
        {"Profile", {"mp4", " -pix_fmt yuv420p" + avc}}, // another H.264 profile
        {"M4a", {"m4a", " -vn -c:a aac"}},
        {"Mka", {"mka", " -vn -c:a libopus"}},
        {"Subs", {"mp4", " -i " + subtitles(dir) + " -c:s mov_text" + avc}},
        {"Font",
         {"mkv", " -attach /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf -metadata:s:t "
                 "mimetype=application/x-truetype-font" +
                     avc}},
        {"Tail", {"mkv", avc}},
        {"Frag", {"mp4", avc + " -movflags frag_keyframe+empty_moov"}}, // as screen recorders
        {"Jump", {"mkv", avc + " -cluster_time_limit 300"}},
        {"Live", {"mkv", avc + " -live 1"}}, // without its length
        {"Chaptered", {"mkv", " -i " + ownChapters(dir) + " -map 0 -map 1 -map_chapters 2" + avc}},
        {"Late", {"webm", vp9}},
        {"Copied", {"webm", vp9}}, // ffmpeg counts the sound's priming in its end
        {"Hevc", {"mkv", " -c:v libx265 -x265-params log-level=none -c:a aac"}},
        {"Pcm", {"mov", " -c:v libx264 -c:a pcm_s16le"}}, // as cameras write
        {"Trimmed", {"mp4", " -g 5" + avc}},
        {"FlacMp4", {"mp4", " -c:v libx264 -c:a flac -strict -2"}}};
    if (!how.count(kind) && !plain.contains(kind))
        qFatal("makeMovie(): no ffmpeg options for this kind of part");
    const auto [suffix, options] =
        plain.contains(kind) ? std::pair<QString, QString>("mp4", avc) : how.at(kind);
    const QString path = QString("%1/%2.%3").arg(dir, QChar('a' + n), suffix);
    // Parts made in two steps: encoded, then copied by ffmpeg with these options (Phone: turned,
    // with a timecode and a creation time; Late: its 13th picture's time 60 ms early; Trimmed: cut
    // out from half a second on, inside its pictures' group), or given telemetry.
    const std::map<QString, QStringList> copy = {
        {"Phone",
         {"-metadata:s:v", "rotate=90", "-timecode", "01:00:00:00", "-metadata",
          "creation_time=2024-05-01T10:00:00Z"}},
        {"Late", {"-bsf:v", "setts=pts=if(eq(N\\,12)\\,PTS-60\\,PTS)"}},
        {"Copied", {}},
        {"Trimmed", {}}};
    const bool remade = copy.count(kind) || kind == "Telemetry";
    const QString made = path + (!remade ? "" : "." + suffix); // then remade
    const QString args = QString::asprintf("-nostdin -v error -y -f lavfi -i testsrc=d=1:r=25:s="
                                           "160x120:decimals=%d -f lavfi -i sine=d=1:f=%d:r=48000",
                                           n, 300 + 100 * n);
    // ffmpeg turns a movie by its rotate tag only where it copies the streams.
    const int encoded = QProcess::execute("ffmpeg", (args + options).split(' ') << made);
    QFile::remove(dir + "/s.srt"), QFile::remove(dir + "/c.txt");
    const auto finish = [&] {
        if (kind == "Telemetry")
            return QProcess::execute(REELBIND_ADD_TELEMETRY, {made, path});
        return QProcess::execute(
            "ffmpeg", QStringList{"-v", "error"} +
                          (kind == "Trimmed" ? QStringList{"-ss", "0.5"} : QStringList()) +
                          QStringList{"-i", made, "-c", "copy"} + copy.at(kind) +
                          QStringList(path));
    };
    if (encoded != 0 || (remade && (finish() != 0 || !QFile::remove(made))))
        return {};
    const int kept = kind == "Cut" || kind == "Bare" ? 60 : kind == "Tail" ? 95 : 100;
    // Damage: bytes written over the part where a mark is found (its second time for Jump).
    const std::tuple<QString, QByteArray, int, int, QByteArray> damages[] = {
        {"Untimed", "stts", 1, 8, QByteArray(4, '\0')}, // no time to any picture
        {"Described", "stsd", 1, 12, hex("00000010")},  // an impossible size
        {"Jump", hex("1F43B675"), 2, 14, hex("7F")}};   // its ID, size, checksum, time ID: 33 s on
    for (const auto& [part, mark, nth, at, bytes] : damages)
        if (part == kind) {
            QByteArray file = readAll(path);
            qsizetype found = -1;
            for (int i = 0; i < nth; ++i)
                found = file.indexOf(mark, found + 1);
            return found > 0 ? writeFile(path, file.replace(found + at, bytes.size(), bytes))
                             : QString();
        }
    return QFile::resize(path, QFileInfo(path).size() * kept / 100) ? path : QString();
}
// The parts of these kinds in `dir`, a letter each; none where ffmpeg cannot make one.
QStringList makeParts(const QString& dir, const QStringList& kinds)
{
    QStringList paths;
    for (const QString& kind : kinds)
        if (paths << makeMovie(dir, kind, paths.size()); paths.last().isEmpty())
            return {};
    return paths;
}
// What a tool prints (with "-v error": a word only where something is wrong); "<tool>" where
// it fails. GStreamer plays a movie through, every stream decoded as fast as it can, saying its
// errors and its decoders' warnings, a line each.
QString run(const QString& tool, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("GST_DEBUG", "*:1,libav:2");
    env.insert("GST_DEBUG_NO_COLOR", "1");
    p.setProcessEnvironment(env);
    p.start(tool,
            (tool == "gst-launch-1.0" ? QStringList("-q") : QStringList{"-v", "error"}) + args);
    return p.waitForFinished(60000) && p.exitCode() == 0 ? p.readAll() : '<' + tool + '>';
}
QString gstreamer(const QString& movie)
{
    const QString sink = "fakesink sync=false";
    return run("gst-launch-1.0", {"playbin", "uri=" + QUrl::fromLocalFile(movie).toString(),
                                  "video-sink=" + sink, "audio-sink=" + sink, "text-sink=" + sink});
}
// ffprobe's values of these entries of a movie (of its pictures alone: streams "v"), a line each.
QString entries(const QString& movie, const char* which, const char* streams = "")
{
    return run("ffprobe",
               {"-select_streams", streams, "-show_entries", which, "-of", "csv=p=0", movie});
}
// How long a movie's pictures last, from the first one's start to the last one's end (Matroska's
// say nothing of their length: a 25th of a second); a movie of sound alone, its length.
double span(const QString& movie)
{
    double first = 1e9, end = 0;
    for (const QString& line : entries(movie, "packet=pts_time,duration_time", "v").split('\n'))
        if (const QStringList v = line.split(','); v.size() == 2)
            first = std::min(first, v[0].toDouble()),
            end = std::max(end, v[0].toDouble() + (v[1] == "N/A" ? 0.04 : v[1].toDouble()));
    return end > 0 ? end - first : entries(movie, "format=duration").toDouble();
}
// The hash of MP4's empty subtitle sample, which a writer puts in each gap between two lines,
// also where two parts meet.
constexpr char kNoText[] = "c4103f122d27677c9db144cae1394a66";
// Each picture and subtitle packet of the movies (but empty subtitles), with `sound` each sound
// packet, with `data` each of their data stream (the first: a chapter track follows), as "stream,
// size, hash", stream by stream.
QStringList packets(const QStringList& movies, bool sound, bool data)
{
    QStringList out, maps = {"-map", "0:v?", "-map", "0:s?"};
    maps << (sound ? QStringList{"-map", "0:a?"} : QStringList())
         << (data ? QStringList{"-map", "0:d:0"} : QStringList());
    for (const QString& movie : movies)
        for (const QString& line :
             run("ffmpeg",
                 QStringList{"-i", movie} + maps + QStringList{"-c", "copy", "-f", "framemd5", "-"})
                 .split('\n'))
            if (!line.startsWith('#') && line.count(',') >= 5 && // then side data, if any
                !line.section(',', 5, 5).contains(kNoText))
                out << line.section(',', 0, 0) + ',' + line.section(',', 4, 5);
    std::stable_sort(out.begin(), out.end(), [](auto& a, auto& b) { return a[0] < b[0]; });
    return out;
}

} // namespace

class TestMovies : public QObject
{
    Q_OBJECT
private slots:
    // Files c0, c1... beginning with these bytes: the lines of the question naming them (15 at
    // most, in its order; none: nothing is asked), which ends saying that the joined file plays
    // only its first part (`indexed`) or stops where the first kind of file ends.
    void question_data()
    {
        const Table<QList<QByteArray>, QStringList, bool> row({"heads", "named", "indexed"});
        const QByteArray ps = filled(hex("000001BA")), mp4 = filled("ftyp", {4}), junk = filled(""),
                         mkv = filled(hex("1A45DFA3")), asf = "3026B2758E66CF11A6D900AA0062CE";
        const QString mkvLine = "c%1 (Matroska/WebM)", psLine = "c%1 (MPEG program stream)";
        row("one kind of stream", {ps, ps}, {}, false);
        row("the first alone known", {ps, junk}, {}, false);
        row("an MP4, then its parts", {mp4, junk, junk}, {}, false);
        row("a single movie", {mp4}, {}, false);
        row("no kind known", {junk, junk}, {}, false);
        row("program and video streams", {ps, filled(hex("000001B3"))},
            {psLine.arg(0), "c1 (MPEG video stream)"}, false);
        // Packets of 188 bytes, of 192 with time stamps first; MP3: an ID3 tag, MPEG-1 layer III
        // frames, one MPEG-2 frame that is the whole file.
        row("streams",
            {filled("G", {0, 188, 376}), junk, filled("G", {4, 196, 388}), filled("ID3\x04"),
             frames("FFFB9000", 417, 9), frames("FFF39000", 261, 1), filled("OggS")},
            {"c0 (MPEG transport stream)", "c2 (M2TS transport stream)", "c3 (MP3 audio)",
             "c4 (MP3 audio)", "c5 (MP3 audio)", "c6 (Ogg)"},
            false);
        row("MP4 boxes, Matroska, AVI, WAV, FLV, ASF",
            {mp4, filled("wide", {4}), filled("moov", {4}), filled("mdat", {4}),
             filled("free", {4}), mkv, filled(QByteArray("RIFF\x10\0\0\0AVI LIST", 16)),
             filled(QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16)), filled("FLV\x01\x05"),
             filled(hex(asf + "6C"))},
            {"c0 (MP4/MOV)", "c1 (MP4/MOV)", "c2 (MP4/MOV)", "c3 (MP4/MOV)", "c4 (MP4/MOV)",
             mkvLine.arg(5), "c6 (AVI)", "c7 (WAV)", "c8 (FLV)", "c9 (ASF/WMV)"},
            true);
        // Of no kind: another start code, or one cut short; two packets of 188 or 192 bytes, or
        // too few bytes for three; a frame, then none or one of another rate; a forbidden bit
        // rate; AAC; a box at 8; RIFF of another kind; ASF with a byte wrong; no bytes.
        row("an MP4 after files of no kind",
            {filled(hex("000001B9")), hex("000001"), filled("G", {0, 376}), filled("G", {4, 196}),
             filled("G", {0, 188}, 300), frames("FFFB9000", 417, 1) + QByteArray(400, '\x11'),
             frames("FFFB9000", 417, 1) + hex("FFFB9400"), frames("FFFBF000", 417, 3),
             frames("FFF15080", 417, 3), filled("ftyp", {8}),
             filled(QByteArray("RIFF\x10\0\0\0CDXAfmt ", 16)), filled(hex(asf + "6D")),
             QByteArray(), mp4},
            {"c13 (MP4/MOV)"}, true);
        row("Matroska among program streams", {ps, ps, mkv, ps},
            {mkvLine.arg(2), psLine.arg(0), psLine.arg(1), psLine.arg(3)}, true);
        QStringList fifteen;
        for (int i = 0; i < 15; ++i)
            fifteen << mkvLine.arg(i);
        row("15 Matroska files", QList<QByteArray>(15, mkv), fifteen, true);
        row("40 Matroska files", QList<QByteArray>(40, mkv), fifteen << "... and 25 more.", true);
    }
    void question()
    {
        QList<MovieKind::Queued> files;
        for (const QByteArray& head : fetch<QList<QByteArray>>("heads"))
            files.append({QString("c%1").arg(files.size()), MovieKind::identify(head)});
        const QStringList named = fetch<QStringList>("named");
        const QString asked =
            "These files will not play as one movie when joined byte by byte:\n" +
            named.join('\n') +
            (fetch<bool>("indexed") ? "\n\nThe joined file will most likely play only its first "
                                      "part, because files of these kinds keep an index or a "
                                      "length of their own."
                                    : "\n\nThe joined file will most likely stop playing where "
                                      "the first kind of file ends.");
        QCOMPARE(MovieKind::joinQuestion(files),
                 named.isEmpty() ? "" : asked + "\n\nJoin them anyway?");
    }
    // The look at the kinds reads each file once (b.mpg is queued twice); a file gone (an MP4
    // once) is no reason to ask.
    void kindsOfTheQueuedFiles()
    {
        Core core;
        QTemporaryDir dir;
        const QStringList paths = {writeFile(dir.filePath("b.mpg"), filled(hex("000001BA"))),
                                   writeFile(dir.filePath("gone.mp4"), filled("ftyp", {4}))};
        QVERIFY(core.queue().add(paths + paths.mid(0, 1)).isEmpty() && QFile::remove(paths[1]));
        JoinDriver driver(core.join());
        QVERIFY(driver.run());
        QCOMPARE(driver.phaseDigits() + ' ' + core.files.opened.join(' '),
                 "136 " + paths.join(' '));
    }
    // Files attached to the first part that the movie's container cannot carry are named as
    // left out; the later parts' are not kept, and not named.
    void attachedFilesLeftOut()
    {
        MovieStream pictures{MovieStream::Type::Video, "vp9"};
        pictures.kept = true;
        MovieStream font{MovieStream::Type::Other, "ttf"}, notes{MovieStream::Type::Other, "bin"};
        font.attached = "DejaVuSans.ttf";
        notes.attached = "notes.txt";
        const MovieLayout first{MovieFamily::WebM, {pictures, font, notes}},
            second{MovieFamily::WebM, {pictures, notes}};
        const MoviePlan plan = planMovie({"a.webm", "b.webm"}, {first, second});
        QCOMPARE(joined(int(plan.family), plan.difference, plan.leftOut),
                 joined(int(MovieFamily::WebM), QString(),
                        "the attached font DejaVuSans.ttf, the attached file notes.txt"));
    }
    // Parts joined through the session: the question offers one movie only where the parts make
    // one and names what stands against it or what the movie leaves out; the save dialog offers
    // the parts' container first. A cancel in the look at the files (it reads no more) or in the
    // checks ends the join before it began; one in the join (as it opens b), a failure or b
    // replaced by a movie of another size (`by`) after the question keeps the target as it was.
    // Beside a checksum file (x.md5) a part's sum is checked, the movie's not (it is new).
    void oneMovie_data()
    {
        // asked: in the question ("%1": the folder; "": none asked); filter: the save dialog's
        // first; finalText: how it begins (all of it where that ends in a full stop).
        const Table<QStringList, Choice, Phase, QString, QString, QString, Ending, QString> row(
            {"parts", "choice", "actIn", "by", "asked", "filter", "ending", "finalText"});
        // offer: of lossy sound, smoothed at each join; copied: of lossless sound or none.
        const QString offer = "\n\nJoin as One Movie copies their pictures unchanged into one new "
                              "file that plays all parts, and smooths the sound where one part "
                              "meets the next so that it plays on without a gap. With Join Bytes "
                              "Anyway the joined file will most likely play only its first part.",
                      copied = "\n\nJoin as One Movie copies their pictures and sound unchanged "
                               "into one new file that plays all parts. With Join Bytes Anyway the "
                               "joined file will most likely play only its first part.",
                      soundOffer = "\n\nJoin as One Movie copies their sound into one new file "
                                   "that plays all parts, smoothed where one part meets the next "
                                   "so that it plays on without a gap.",
                      mp4 = "MP4 Files (*.mp4)", mkv = "Matroska Files (*.mkv)",
                      webm = "WebM Files (*.webm)", mov = "MOV Files (*.mov)",
                      done = "File %1/t has successfully been joined!";
        const Choice movie = Choice::OneMovie;
        const Phase go = Phase::Idle;
        const Ending none = Ending::NoTarget;
        // Joined as one movie; refused, saying why; failing, as part b cannot be read.
        const auto joins = [&](const char* tag, const QStringList& parts, const QString& asked,
                               const QString& filter) {
            row(tag, parts, movie, go, "", asked, filter, Ending::Joined, done);
        };
        const auto refused = [&](const char* tag, const QStringList& parts, const QString& why) {
            row(tag, parts, Choice::Cancel, go, "", why, "", none, "");
        };
        const auto fails = [&](const char* tag, const QStringList& parts, const QString& filter,
                               const QString& b) {
            row(tag, parts, movie, go, "", offer, filter, Ending::Failed,
                "Could not read file %1/" + b + " as a movie: ");
        };
        const QStringList avc2 = {"Avc", "Avc"}, avc3 = {"Avc", "Avc", "Avc"};
        joins("three MP4 parts", avc3,
              "by byte:\n%1/a.mp4 (MP4/MOV)\n%1/b.mp4 (MP4/MOV)\n%1/c.mp4 (MP4/MOV)" + offer, mp4);
        joins("MOV parts", {"Mov", "Mov"}, copied, mov);
        joins("WebM parts", {"WebM", "WebM"}, offer, webm);
        joins("HEVC pictures in Matroska parts", {"Hevc", "Hevc", "Hevc"}, offer, mkv);
        joins("MOV parts with plain sound", {"Pcm", "Pcm"}, copied, mov);
        joins("an MP4 part cut out of a longer one", {"Trimmed", "Avc"}, offer, mp4);
        refused("a later part cut out of a longer one", {"Avc", "Trimmed"},
                "b.mp4 was cut between two key pictures without encoding, which only the first "
                "part may be.");
        joins("WebM parts copied anew", {"Copied", "Copied"}, offer, webm);
        joins("Matroska parts", {"Mkv", "Mkv", "Mkv"}, offer, mkv);
        joins("turned, with a timecode track", {"Phone", "Phone"}, offer, mp4);
        joins("M4A parts, sound alone", {"M4a", "M4a"}, soundOffer, "M4A Files (*.m4a)");
        joins("MKA parts, sound alone", {"Mka", "Mka"}, soundOffer, "MKA Files (*.mka)");
        refused("a part of sound alone", {"Avc", "M4a"},
                "b.m4a has no pictures, unlike the first part.");
        joins("subtitled MP4 parts", {"Subs", "Subs"}, offer, mp4);
        joins("Matroska parts with a font attached", {"Font", "Font"}, offer, mkv);
        // FLAC's setup holds each part's own length and checksum.
        joins("FLAC sound in Matroska parts", {"Flac", "Flac", "Flac"}, copied, mkv);
        joins("FLAC sound in MP4 parts", {"FlacMp4", "FlacMp4"}, copied, mp4);
        refused("pictures of another profile", {"Avc", "Profile"},
                "the pictures of b.mp4 are encoded with other settings than the first part's.");
        refused("a part turned", {"Avc", "Phone"},
                "b.mp4 is turned 90 degrees; the first part is not.");
        refused("a part not turned", {"Phone", "Avc"},
                "b.mp4 is not turned; the first part is turned 90 degrees.");
        refused("a part of another size", {"Avc", "Big"},
                "\nThey cannot be joined as one movie: b.mp4 has 320x240 pictures; the first "
                "part has 160x120.\n");
        refused("a part without sound", {"Avc", "Mute"},
                "b.mp4 has no sound, unlike the first part.");
        refused("a part without its index", {"Avc", "Bare"}, "b.mp4 cannot be read as a movie (");
        fails("a part cut short after its index", {"Avc", "Cut"}, mp4, "b.mp4");
        fails("a part whose pictures lost their timing", {"Avc", "Untimed"}, mp4, "b.mp4");
        fails("a Matroska part without its last packets", {"Mkv", "Tail"}, mkv, "b.mkv");
        joins("MP4 parts with telemetry", {"Telemetry", "Telemetry"}, offer, mp4);
        joins("Matroska parts with chapters of their own", {"Chaptered", "Chaptered"}, offer, mkv);
        joins("fragmented MP4 parts", {"Frag", "Frag", "Frag"}, offer, mp4);
        fails("a Matroska part with a damaged time", {"Mkv", "Jump"}, mkv, "b.mkv");
        fails("a WebM part with a picture's time damaged", {"WebM", "Late"}, webm, "b.webm");
        refused("a part with an impossible sample description", {"Avc", "Described"},
                "the pictures of b.mp4 are encoded with other settings");
        refused("a Matroska part that does not tell its length", {"Mkv", "Live"},
                "b.mkv does not say how long it is, so it cannot be proven whole.");
        row("MP4 parts byte by byte", avc2, Choice::Bytes, go, "", offer, "", Ending::Joined, done);
        row("cancelled in the look", avc3, movie, Phase::LookingAtFiles, "", "", "", none, "");
        row("cancelled in the checks", avc2, movie, Phase::Checking, "", offer, mp4, none, "");
        row("cancelled in the join", avc3, movie, Phase::Joining, "", offer, mp4, Ending::Cancelled,
            "Operation aborted by user\n");
        const QString changed = "Could not read file %1/b.mp4: it was changed during the join.\n"
                                "The target file %1/t was left unchanged.";
        row("replaced at the save dialog", avc2, movie, Phase::ChoosingTarget, "Big", offer, mp4,
            Ending::Failed, changed);
        row("replaced in the join, as it opens b", avc2, movie, Phase::Joining, "Big", offer, mp4,
            Ending::Failed, changed);
        row("MP4 parts beside a checksum file", avc2, movie, go, "", offer, mp4, Ending::Joined,
            done + "\nThe parts' checksums in %1/x.md5 match.");
    }
    void oneMovie()
    {
        const auto parts = fetch<QStringList>("parts");
        const auto actIn = fetch<Phase>("actIn");
        const auto ending = fetch<Ending>("ending");
        QTemporaryDir dir;
        const QString t = dir.filePath("t"),
                      asked = fetch<QString>("asked").replace("%1", dir.path()),
                      begins = fetch<QString>("finalText").replace("%1", dir.path());
        const QString by = fetch<QString>("by"), // the replacement for b, or ""
            other = by.isEmpty() ? "" : makeMovie(dir.path(), by, parts.size());
        const QStringList paths = makeParts(dir.path(), parts);
        if (paths.isEmpty() || other.isEmpty() != by.isEmpty())
            QSKIP("ffmpeg cannot make these movies here: the case was not run");
        const bool sums = begins.contains("x.md5"); // b's sum, and a wrong one of the movie
        if (sums)
            writeFile(dir.filePath("x.md5"),
                      QCryptographicHash::hash(readAll(paths[1]), QCryptographicHash::Md5).toHex() +
                          "  b.mp4\n" + QByteArray(32, '0') + "  t\n");
        Core core;
        QVERIFY(core.queue().add(paths).isEmpty());
        const QByteArray old = readAll(makeFile(dir.path(), "t", 100, 3));
        JoinDriver driver(core.join());
        driver.choice = fetch<Choice>("choice"), driver.target = t;
        const auto act = [&] { // b replaced, or the join cancelled
            if (other.isEmpty())
                core.join().cancel();
            else
                QFile::remove(paths[1]) && QFile::rename(other, paths[1]);
        };
        driver.onPhase = [&](Phase p) { // in the join, as it opens b: its thread waits for it
            if (p == actIn && p != Phase::Joining)
                act();
            else if (p == actIn)
                core.files.beforeOpen = [&](const QString& path) {
                    if (path == paths[1])
                        QMetaObject::invokeMethod(&core.join(), act, Qt::BlockingQueuedConnection);
                };
        };
        QVERIFY(driver.run());
        const QString text = core.join().finalText();
        QVERIFY2(driver.question.contains(asked) && asked.isEmpty() == driver.question.isEmpty(),
                 qPrintable(driver.question));
        QVERIFY2(begins.isEmpty() || begins.endsWith('.') ? text == begins
                                                          : text.startsWith(begins),
                 qPrintable(text));
        // Nothing left behind: the target as it was, the parts joined byte by byte, or a movie.
        const bool movie = ending == Ending::Joined && driver.choice == Choice::OneMovie;
        const QByteArray bytes =
            ending == Ending::Joined ? readAll(paths[0]) + readAll(paths[1]) : old;
        QCOMPARE(
            joined(driver.offered, driver.dialogFilter, int(core.join().ending()),
                   core.join().notice(), core.files.opened.size(), movie || readAll(t) == bytes,
                   QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size()),
            joined(asked.contains("Join as One Movie"), fetch<QString>("filter"), int(ending),
                   QString(), actIn == Phase::LookingAtFiles ? 1 : core.files.opened.size(), true,
                   paths.size() + 1 + sums));
        if (!movie)
            return;
        // The movie: its pictures (its sound, where it has none) as long as its parts' within a
        // frame, each packet of theirs in order (lossy sound but near the joins, where it is
        // encoded again), turned as the first part was, a chapter for each named after it (its
        // own inside it), nothing named as left out, decoded by FFmpeg and GStreamer without a
        // word.
        const QString& kind = parts[0];
        double length = 0;
        QString chapters;
        for (const QString& part : paths)
            length += span(part), chapters += QFileInfo(part).completeBaseName() +
                                              (kind == "Chaptered" ? ": Intro\nMain\n" : "\n");
        const double off = qAbs(span(t) - length);
        const bool lossless = QStringList{"Flac", "FlacMp4", "Pcm"}.contains(kind),
                   soundOnly = kind == "M4a" || kind == "Mka";
        if (!soundOnly || lossless)
            QCOMPARE(packets({t}, lossless, kind == "Telemetry"),
                     packets(paths, lossless, kind == "Telemetry"));
        if (kind == "Phone") // the first part's timecode and time
            QCOMPARE(joined(entries(t, "stream_tags=timecode", "d").split('\n', Qt::SkipEmptyParts),
                            entries(t, "format_tags=creation_time")),
                     joined(QStringList("01:00:00:00"), "2024-05-01T10:00:00.000000Z\n"));
        if (kind == "Font") // the first part's font
            QCOMPARE(entries(t, "stream_tags=filename", "t"), "DejaVuSans.ttf\n");
        if (kind == "M4a") // an M4A file, as players of sound books look for
            QCOMPARE(entries(t, "format_tags=major_brand"), "M4A \n");
        // The movie's FLAC setup: the parts' frame sizes, length and checksum unknown.
        if (kind == "Flac" || kind == "FlacMp4")
            QCOMPARE(run("ffprobe", {"-select_streams", "a", "-show_data", "-show_entries",
                                     "stream=extradata", "-of", "default=nw=1", t})
                         .section('\n', 1, 2),
                     "00000000: 1200 1200 0000 0000 0000 0bb8 00f0 0000  ................\n"
                     "00000010: 0000 0000 0000 0000 0000 0000 0000 0000  ................");
        QCOMPARE(joined(off < 0.04 ? "within a frame" : QString::number(off),
                        entries(t, "stream_side_data=rotation", "v"),
                        entries(t, "chapter_tags=title"), driver.question.contains("leaves out"),
                        run("ffmpeg", {"-i", t, "-f", "null", "-"}) + gstreamer(t),
                        core.join().after().record().read.size()),
                 joined(QString("within a frame"),
                        QString(kind == "Phone" ? "90\n\n"
                                : soundOnly     ? ""
                                                : "\n"),
                        chapters, false, QString(), paths.size()));
    }
};

REELBIND_CORE_TEST_MAIN(TestMovies)
#include "test_movies.moc"
