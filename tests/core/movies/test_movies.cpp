// What kind of movie a file is, told by its first bytes; the question asked before a join; movie
// parts made by ffmpeg looked at and joined as one movie through the session.
#include "core/movies/MovieKind.h"
#include "support/CoreSupport.h"

#include <QProcess>
#include <sys/stat.h>

using namespace TestSupport;
using K = MovieKind::Kind;
using Phase = JoinSession::Phase;
using Choice = JoinSession::Choice;
using Ending = JoinSession::Ending;

namespace {

const auto hex = [](const char* digits) { return QByteArray::fromHex(digits); };
// `size` bytes of 0x5a with `bytes` written at each of `offsets`.
QByteArray filled(int size, const QByteArray& bytes, const QList<int>& offsets = {0})
{
    QByteArray out(size, '\x5a');
    for (const int at : offsets)
        out.replace(at, bytes.size(), bytes);
    return out;
}
// `count` MPEG audio frames of `length` bytes, each its header then 0x11.
QByteArray frames(const char* header, int length, int count)
{
    return (hex(header) + QByteArray(length - 4, '\x11')).repeated(count);
}
QString writeFile(const QString& dir, const QString& name, const QByteArray& bytes)
{
    QFile f(dir + '/' + name);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? f.fileName() : "";
}
bool makePipe(const QString& path)
{
    return QFile::remove(path) && ::mkfifo(QFile::encodeName(path), 0600) == 0;
}
// Cancel pressed while the join's thread waits: call it from there.
void cancelFromTheJoinsThread(JoinSession& join)
{
    QMetaObject::invokeMethod(
        &join, [&] { join.cancel(); }, Qt::BlockingQueuedConnection);
}

// Part n (a., b., ...) in `dir`, a second at 25 frames a second, its pictures and sound unlike the
// other parts': Avc H.264 with B-frames and AAC in MP4, Big the same at 320x240 (the others are
// 160x120), Mute without sound, Phone turned by 90 degrees with a timecode track, Cut its index
// first then cut short, Bare cut short, its index gone, Pipe (a pipe in its place once queued),
// Mov MPEG-4 in MOV without sound, WebM VP9 and Opus, Mkv H.264 and AAC in Matroska, Mpeg MPEG-1
// in a program stream. Its path, or "" where ffmpeg cannot make it.
enum class Movie { Avc, Big, Mute, Phone, Cut, Bare, Pipe, Mov, WebM, Mkv, Mpeg };
QString makeMovie(const QString& dir, Movie m, int n)
{
    using M = Movie;
    const char* ext = m == M::Mov    ? "mov"
                      : m == M::WebM ? "webm"
                      : m == M::Mkv  ? "mkv"
                      : m == M::Mpeg ? "mpg"
                                     : "mp4";
    const QString path = QString("%1/%2.%3").arg(dir, QChar('a' + n), ext),
                  made = m == M::Phone ? path + ".mp4" : path; // turned below
    QString args = QString("-nostdin -v error -y -f lavfi -i testsrc=d=1:r=25:s=%1:decimals=%2")
                       .arg(m == M::Big ? "320x240" : "160x120")
                       .arg(n);
    if (m != M::Mute && m != M::Mov && m != M::Mpeg)
        args += QString(" -f lavfi -i sine=d=1:f=%1:r=48000").arg(300 + 100 * n);
    args += m == M::WebM   ? " -c:v libvpx-vp9 -deadline realtime -cpu-used 8 -c:a libopus"
            : m == M::Mov  ? " -c:v mpeg4 -f mov"
            : m == M::Mpeg ? " -c:v mpeg1video -f mpeg"
            : m == M::Cut  ? " -c:v libx264 -bf 2 -c:a aac -movflags +faststart"
                           : " -c:v libx264 -bf 2 -c:a aac";
    if (QProcess::execute("ffmpeg", args.split(' ') << made) != 0)
        return {};
    // ffmpeg turns a movie by its rotate tag only where it copies the streams.
    if (m == M::Phone && (QProcess::execute("ffmpeg", {"-nostdin", "-v", "error", "-i", made, "-c",
                                                       "copy", "-metadata:s:v", "rotate=90",
                                                       "-timecode", "01:00:00:00", path}) != 0 ||
                          !QFile::remove(made)))
        return {};
    const bool cut = m == M::Cut || m == M::Bare;
    return !cut || QFile::resize(path, QFileInfo(path).size() * 3 / 5) ? path : QString();
}
// What ffmpeg or ffprobe says of a movie; "<tool>" where it fails.
QByteArray probe(const QString& tool, const QStringList& args)
{
    QProcess p;
    p.start(tool, QStringList{"-v", "error"} + args);
    return p.waitForFinished(60000) && p.exitCode() == 0 ? p.readAll() : '<' + tool.toUtf8() + '>';
}
// ffprobe's values of these entries of a movie (of its pictures alone: streams "v"), a line each.
QByteArray entries(const QString& movie, const char* which, const char* streams = "")
{
    return probe("ffprobe",
                 {"-select_streams", streams, "-show_entries", which, "-of", "csv=p=0", movie});
}
// Each picture and sound packet of the movies, as "stream, size, hash", stream by stream.
QStringList packets(const QStringList& movies)
{
    QStringList out;
    for (const QString& movie : movies)
        for (const QString& line :
             QString(probe("ffmpeg", {"-i", movie, "-map", "0:v", "-map", "0:a?", "-c", "copy",
                                      "-f", "framemd5", "-"}))
                 .split('\n'))
            if (!line.startsWith('#') && line.count(',') >= 5) // then side data, if any
                out << line.section(',', 0, 0) + ',' + line.section(',', 4, 5);
    std::stable_sort(out.begin(), out.end(), [](auto& a, auto& b) { return a[0] < b[0]; });
    return out;
}

} // namespace

class TestMovies : public QObject
{
    Q_OBJECT
private slots:
    void kindOfAFile_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QString>("kind");
        const auto row = [](const char* name, const QByteArray& head, const char* kind) {
            QTest::newRow(name) << head << QString(kind);
        };
        row("pack header", filled(2048, hex("000001BA")), "MPEG program stream");
        row("sequence header", filled(2048, hex("000001B3")), "MPEG video stream");
        row("another start code", filled(2048, hex("000001B9")), "unknown");
        row("a start code cut short", hex("000001"), "unknown");
        row("two packets of 188", filled(4096, "G", {0, 376}), "unknown");
        row("three packets of 188", filled(4096, "G", {0, 188, 376}), "MPEG transport stream");
        row("too short for three", filled(300, "G", {0, 188}), "unknown");
        row("3 of 192, time stamps first", filled(4096, "G", {4, 196, 388}),
            "M2TS transport stream");
        row("two packets of 192", filled(4096, "G", {4, 196}), "unknown");
        row("ID3 tag", filled(1000, "ID3\x04"), "MP3 audio");
        row("MPEG-1 layer III frames", frames("FFFB9000", 417, 9), "MP3 audio");
        row("a frame, then none", frames("FFFB9000", 417, 1) + QByteArray(400, '\x11'), "unknown");
        row("then another rate", frames("FFFB9000", 417, 1) + hex("FFFB9400"), "unknown");
        row("one MPEG-2 frame, the whole file", frames("FFF39000", 261, 1), "MP3 audio");
        row("a forbidden bit rate", frames("FFFBF000", 417, 3), "unknown");
        row("AAC", frames("FFF15080", 417, 3), "unknown");
        row("Ogg", filled(200, "OggS"), "Ogg");
        for (const char* box : {"ftyp", "wide", "moov", "mdat", "free"})
            QTest::addRow("%s box", box) << filled(64, box, {4}) << QString("MP4/MOV");
        row("ftyp box at 8", filled(64, "ftyp", {8}), "unknown");
        row("EBML", filled(64, hex("1A45DFA3")), "Matroska/WebM");
        row("RIFF AVI", filled(64, QByteArray("RIFF\x10\0\0\0AVI LIST", 16)), "AVI");
        row("RIFF WAVE", filled(64, QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16)), "WAV");
        row("RIFF CDXA", filled(64, QByteArray("RIFF\x10\0\0\0CDXAfmt ", 16)), "unknown");
        row("FLV", filled(64, "FLV\x01\x05"), "FLV");
        row("ASF", filled(64, hex("3026B2758E66CF11A6D900AA0062CE6C")), "ASF/WMV");
        row("ASF, a byte wrong", filled(64, hex("3026B2758E66CF11A6D900AA0062CE6D")), "unknown");
        row("no bytes", QByteArray(), "unknown");
    }
    void kindOfAFile()
    {
        QFETCH(QByteArray, head);
        QTEST(MovieKind::name(MovieKind::identify(head)), "kind");
    }

    // Files /movies/clip0.mkv, clip1.mkv... of these kinds; the question names 15 at most.
    void joinQuestion_data()
    {
        QTest::addColumn<QList<K>>("kinds");
        QTest::addColumn<QList<int>>("named"); // in the question's order; none: nothing is asked
        QTest::addColumn<bool>("indexed");     // then it plays only its first part
        const auto row = [](const char* name, QList<K> kinds, QList<int> named, bool indexed) {
            QTest::newRow(name) << kinds << named << indexed;
        };
        QList<int> forty(40);
        std::iota(forty.begin(), forty.end(), 0);
        row("one kind of stream", {K::ProgramStream, K::ProgramStream}, {}, false);
        row("the first alone known", {K::ProgramStream, K::Unknown}, {}, false);
        row("an MP4, then its parts", {K::Mp4, K::Unknown, K::Unknown}, {}, false);
        row("a single movie", {K::Mp4}, {}, false);
        row("no kind known", {K::Unknown, K::Unknown}, {}, false);
        row("MP3 and Ogg", {K::Mp3, K::Unknown, K::Mp3, K::Ogg}, {0, 2, 3}, false);
        row("program and video streams", {K::ProgramStream, K::VideoStream}, {0, 1}, false);
        row("transport streams of two kinds", {K::TransportStream, K::M2ts, K::TransportStream},
            {0, 1, 2}, false);
        row("MP4 parts", {K::Mp4, K::Mp4}, {0, 1}, true);
        row("an MP4 after the first", {K::Unknown, K::Mp4}, {1}, true);
        row("Matroska among program streams",
            {K::ProgramStream, K::ProgramStream, K::Matroska, K::ProgramStream}, {2, 0, 1, 3},
            true);
        row("AVI and WAV", {K::Avi, K::Unknown, K::Wav}, {0, 2}, true);
        row("FLV and ASF", {K::Flv, K::Asf}, {0, 1}, true);
        row("15 Matroska files", QList<K>(15, K::Matroska), forty.mid(0, 15), true);
        row("40 Matroska files", QList<K>(40, K::Matroska), forty, true);
    }
    void joinQuestion()
    {
        QFETCH(QList<K>, kinds);
        QFETCH(QList<int>, named);
        QFETCH(bool, indexed);
        QList<MovieKind::Queued> files;
        for (const K kind : kinds)
            files.append({QString("/movies/clip%1.mkv").arg(files.size()), kind});
        QString asked = "These files will not play as one movie when joined byte by byte:";
        for (const int i : named.mid(0, 15))
            asked += '\n' + files[i].path + " (" + MovieKind::name(files[i].kind) + ')';
        if (named.size() > 15)
            asked += QString("\n... and %1 more.").arg(named.size() - 15);
        asked += indexed ? "\n\nThe joined file will most likely play only its first part, because "
                           "files of these kinds keep an index or a length of their own."
                         : "\n\nThe joined file will most likely stop playing where the first kind "
                           "of file ends.";
        QCOMPARE(MovieKind::joinQuestion(files),
                 named.isEmpty() ? "" : asked + "\n\nJoin them anyway?");
        QCOMPARE(MovieKind::questionTitle(), "Join Files?");
    }

    // The look at the kinds reads each file once (a.mp4 is queued twice); gone, empty or a pipe
    // it is no reason to ask, and a pipe is not waited for; Cancel ends the join. A cancel in the
    // look, or in the checks after the save dialog, ends the join with nothing written.
    void kindsOfTheQueuedFiles()
    {
        Core core;
        QTemporaryDir dir;
        const QString d = dir.path(), t = d + "/t.mpg";
        const QStringList paths = {writeFile(d, "a.mp4", filled(5012, "ftypisom", {4})),
                                   writeFile(d, "b.mpg", filled(104, hex("000001BA"))),
                                   writeFile(d, "empty.mpg", ""), writeFile(d, "gone.mpg", ""),
                                   writeFile(d, "pipe.mpg", "")};
        QVERIFY(core.queue().add(paths + paths.mid(0, 1)).isEmpty());
        QVERIFY(QFile::remove(paths[3]) && makePipe(paths[4]));
        JoinDriver driver(core.join());
        driver.target = t;
        QVERIFY(driver.run());
        QCOMPARE(driver.question.section('\n', 1, 3),
                 QString("%1 (MP4/MOV)\n%1 (MP4/MOV)\n%2 (MPEG program stream)")
                     .arg(paths[0], paths[1]));
        QCOMPARE(core.files.opened, paths);
        QCOMPARE(driver.phases, QList({Phase::LookingAtFiles, Phase::Asking, Phase::Ended}));
        // In the queue's order of names: a, b, empty, gone, more0, more1, more2...
        for (int i = 0; i < 64; ++i)
            core.queue().add({makeFile(d, QString("more%1.mpg").arg(i), 1)});
        driver.choice = Choice::Bytes;
        core.files.beforeOpen = [&](const QString& path) { // on the join's thread
            path == d + "/more2.mpg" ? cancelFromTheJoinsThread(core.join()) : void();
        };
        using Phases = QList<Phase>;
        for (const auto& [looked, phases] :
             {std::pair{7, Phases{Phase::LookingAtFiles, Phase::Ended}},
              {69, Phases{Phase::LookingAtFiles, Phase::Asking, Phase::ChoosingTarget,
                          Phase::Checking, Phase::Ended}}}) {
            core.files.opened.clear();
            QVERIFY(driver.run());
            QCOMPARE(core.files.opened.size(), looked);
            QCOMPARE(driver.phases, phases);
            QVERIFY(core.join().ending() == Ending::NoTarget && core.join().notice().isEmpty());
            QVERIFY(!QFile::exists(t));
            core.files.beforeOpen = nullptr; // then a cancel in the checks
            driver.onPhase = [&](Phase p) { p == Phase::Checking ? core.join().cancel() : void(); };
        }
    }

    // Parts joined through the session: the question offers one movie only where the parts make
    // one and names what stands against it or what the movie leaves out; the save dialog offers
    // the parts' container first. A failed or cancelled join keeps the target as it was.
    void oneMovie_data()
    {
        QTest::addColumn<QList<Movie>>("parts");
        QTest::addColumn<Choice>("choice");
        QTest::addColumn<bool>("cancelled"); // as the join opens the second part
        QTest::addColumn<QString>("asked");  // in the question ("%1": the folder); "": none asked
        QTest::addColumn<QString>("filter"); // the save dialog's first
        QTest::addColumn<Ending>("ending");
        QTest::addColumn<QString>("finalText"); // how it begins ("%1": the folder)
        const auto row = [](const char* name, QList<Movie> parts, Choice choice, bool cancelled,
                            QString asked, QString filter, Ending ending, QString text) {
            QTest::newRow(name) << parts << choice << cancelled << asked << filter << ending
                                << text;
        };
        using M = Movie;
        const QString offer = "\n\nJoin as One Movie copies their pictures and sound unchanged "
                              "into one new file that plays all parts. With Join Bytes Anyway the "
                              "joined file will most likely play only its first part.",
                      mp4 = "MP4 Files (*.mp4)", done = "File %1/t has successfully been joined!";
        const Choice movie = Choice::OneMovie, no = Choice::Cancel;
        const Ending joined = Ending::Joined, none = Ending::NoTarget;
        row("three MP4 parts", {M::Avc, M::Avc, M::Avc}, movie, false,
            "These files will not play as one movie when joined byte by byte:\n%1/a.mp4 "
            "(MP4/MOV)\n%1/b.mp4 (MP4/MOV)\n%1/c.mp4 (MP4/MOV)" +
                offer,
            mp4, joined, done);
        row("MOV parts", {M::Mov, M::Mov}, movie, false, offer, "MOV Files (*.mov)", joined, done);
        row("WebM parts", {M::WebM, M::WebM}, movie, false, offer, "WebM Files (*.webm)", joined,
            done);
        row("Matroska parts", {M::Mkv, M::Mkv, M::Mkv}, movie, false, offer,
            "Matroska Files (*.mkv)", joined, done);
        row("turned, with a timecode track", {M::Phone, M::Phone}, movie, false,
            offer + "\n\nThe new file leaves out what it cannot carry: data (tmcd).", mp4, joined,
            done);
        row("a part of another size", {M::Avc, M::Big}, no, false,
            "\nThey cannot be joined as one movie: b.mp4: 320x240 pictures; the first part has "
            "160x120.\n",
            "", none, "");
        row("a part without sound", {M::Avc, M::Mute}, no, false,
            "b.mp4: pictures only; the first part has pictures and sound.", "", none, "");
        row("a part without its index", {M::Avc, M::Bare}, no, false,
            "b.mp4: it cannot be read as a movie (", "", none, "");
        row("a part cut short after its index", {M::Avc, M::Cut}, movie, false, offer, mp4,
            Ending::Failed, "Could not read file %1/b.mp4 as a movie: ");
        row("cancelled", {M::Avc, M::Avc, M::Avc}, movie, true, offer, mp4, Ending::Cancelled,
            "Operation aborted by user\n");
        row("MP4 parts byte by byte", {M::Avc, M::Avc}, Choice::Bytes, false, offer, "", joined,
            done);
        row("a pipe in a part's place", {M::Avc, M::Pipe}, no, false, "", "", Ending::Failed,
            "Could not open file %1/b.mp4: ");
        row("MPEG-1 and MP4 told apart", {M::Mpeg, M::Avc}, no, false,
            ":\n%1/b.mp4 (MP4/MOV)\n%1/a.mpg (MPEG program stream)\n\n", "", none, "");
    }
    void oneMovie()
    {
        QFETCH(QList<Movie>, parts);
        QFETCH(Choice, choice);
        QFETCH(bool, cancelled);
        QFETCH(QString, asked);
        QFETCH(Ending, ending);
        QFETCH(QString, finalText);
        QTemporaryDir dir;
        const QString t = dir.filePath("t");
        asked.replace("%1", dir.path()), finalText.replace("%1", dir.path());
        QStringList paths;
        for (int n = 0; n < parts.size(); ++n)
            if (paths << makeMovie(dir.path(), parts[n], n); paths.last().isEmpty())
                QSKIP("ffmpeg cannot make these movies here: the case was not run");
        Core core;
        QVERIFY(core.queue().add(paths).isEmpty());
        QVERIFY(!parts.contains(Movie::Pipe) || makePipe(paths[parts.indexOf(Movie::Pipe)]));
        const QByteArray old = readAll(makeFile(dir.path(), "t", 100, 3));
        JoinDriver driver(core.join());
        driver.choice = choice, driver.target = t;
        driver.onPhase = [&](Phase phase) {
            if (cancelled && phase == Phase::Joining)
                core.files.beforeOpen = [&](const QString& path) { // on the join's thread
                    path == paths[1] ? cancelFromTheJoinsThread(core.join()) : void();
                };
        };
        QVERIFY(driver.run());
        QCOMPARE(driver.offered, asked.contains("Join as One Movie"));
        QVERIFY2(driver.question.contains(asked) && asked.isEmpty() == driver.question.isEmpty(),
                 qPrintable(driver.question));
        QTEST(driver.dialogFilter, "filter");
        QCOMPARE(core.join().ending(), ending);
        const QString text = core.join().finalText();
        QVERIFY2(finalText.isEmpty() ? text.isEmpty() : text.startsWith(finalText),
                 qPrintable(text));
        if (ending != Ending::Joined || choice == Choice::Bytes) { // nothing left behind
            QCOMPARE(readAll(t),
                     ending == Ending::Joined ? readAll(paths[0]) + readAll(paths[1]) : old);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(),
                     paths.size() + 1);
            return;
        }
        // The movie: as long as its parts within a frame, each packet of theirs in order, turned
        // as the first part was, a chapter for each named after it, decodable throughout.
        double length = 0;
        QByteArray chapters;
        for (const QString& part : paths)
            length += entries(part, "format=duration").toDouble(),
                chapters += QFileInfo(part).completeBaseName().toUtf8() + '\n';
        QVERIFY2(qAbs(entries(t, "format=duration").toDouble() - length) < 0.04,
                 entries(t, "format=duration"));
        QCOMPARE(packets({t}), packets(paths));
        QCOMPARE(entries(t, "stream_side_data=rotation", "v"),
                 parts[0] == Movie::Phone ? "90\n\n" : "\n");
        QCOMPARE(entries(t, "chapter_tags=title"), chapters);
        QCOMPARE(probe("ffmpeg", {"-i", t, "-f", "null", "-"}), QByteArray()); // not a word
        QCOMPARE(core.join().after().record().read.size(), paths.size());
    }
};

REELBIND_CORE_TEST_MAIN(TestMovies)
#include "test_movies.moc"
