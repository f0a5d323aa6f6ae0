// The sound of parts joined as one movie through the session: one steady tone across the parts,
// broken in each by a short silence (its mark), plays in sequence without a gap, an overlap or a
// dip, each mark where its part's pictures put it; the pictures are copied unchanged, and so is
// the sound but for a few packets around each join where it is lossy.
#include "support/CoreSupport.h"

#include <QProcess>
#include <cmath>

using namespace TestSupport;

namespace {

constexpr int kParts = 5;
const double kToneRms = 0.5 / std::sqrt(2.0);            // a sine of amplitude 0.5
const auto markIn = [](int n) { return 0.3 + 0.1 * n; }; // part n's mark, seconds into it

// What a tool writes to its standard output; "<tool>" where it fails.
QString output(const QString& tool, const QStringList& args)
{
    QProcess p;
    p.start(tool, args);
    const bool ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
    return ok && p.exitCode() == 0 ? p.readAllStandardOutput() : '<' + tool + '>';
}
// Part n of a whole: a second of 160x120 pictures, 25 a second, and of the whole's tone from n
// seconds on, silent for 10 ms from its mark. Its pitch makes each part begin at another phase,
// so that few packets of two parts are alike. Its path, or "" where ffmpeg cannot make it.
QString makePart(const QString& dir, int n, const QString& suffix, const QString& options)
{
    const QString path = QString("%1/%2.%3").arg(dir).arg(n).arg(suffix);
    const QString args = QString::asprintf(
        "-nostdin -v error -f lavfi -i testsrc=d=1:r=25:s=160x120 -f lavfi -i "
        "aevalsrc=0.5*sin(2*PI*440.2*(t+%d))*(1-between(t\\,%.1f\\,%.2f)):s=48000:d=1 ",
        n, markIn(n), markIn(n) + 0.01);
    return QProcess::execute("ffmpeg", (args + options).split(' ') << path) == 0 ? path : QString();
}
// A movie's pictures' show times in order, then where the last one ends.
QList<double> pictures(const QString& movie)
{
    QList<double> times;
    double end = 0;
    for (const QString& line :
         output("ffprobe", {"-v", "error", "-select_streams", "v", "-show_entries",
                            "packet=pts_time,duration_time", "-of", "csv=p=0", movie})
             .split('\n', Qt::SkipEmptyParts)) {
        times << line.section(',', 0, 0).toDouble();
        end = qMax(end, times.last() + line.section(',', 1, 1).toDouble());
    }
    std::sort(times.begin(), times.end());
    return times << end;
}
// A movie's sound as FFmpeg plays it, in sequence, measured by sound_measure with the marks looked
// for near these times: its lines by their first word.
QMap<QString, QString> measure(const QString& movie, const QList<double>& near, double frameMs)
{
    const QString raw = movie + ".raw";
    QStringList args = {raw, QString::number(kToneRms), QString::number(frameMs)};
    for (const double at : near)
        args << QString::number(at);
    QMap<QString, QString> out;
    if (QProcess::execute("ffmpeg", {"-nostdin", "-v", "error", "-y", "-i", movie, "-map", "0:a",
                                     "-f", "f32le", "-ac", "1", "-ar", "48000", raw}) == 0)
        for (const QString& line : output(REELBIND_SOUND_MEASURE, args).split('\n'))
            out[line.section(' ', 0, 0)] = line.section(' ', 1);
    return out;
}
// The packets of a movie's pictures ("v") or sound ("a") in order, as "size,hash".
QStringList packets(const QString& movie, const QString& stream)
{
    QStringList out;
    for (const QString& line :
         output("ffmpeg", {"-nostdin", "-v", "error", "-i", movie, "-map", "0:" + stream, "-c",
                           "copy", "-f", "framemd5", "-"})
             .split('\n', Qt::SkipEmptyParts))
        if (!line.startsWith('#'))
            out << line.section(',', 4, 5);
    return out;
}
// How a movie's packets differ from its parts' (matched as the longest sequence they share)
// beyond what a join may change: a part's packet left out more than `few` from its ends; a new
// packet but after a part's last kept one, if no more than `few` from its end and not after the
// last part; more than 12 new packets there.
QStringList changes(const QList<QStringList>& parts, const QStringList& movie, int few)
{
    QStringList all;
    QList<std::pair<int, int>> where; // each of the parts' packets: its part and place
    for (int k = 0; k < parts.size(); ++k) {
        all += parts[k];
        for (int i = 0; i < parts[k].size(); ++i)
            where.append({k, i});
    }
    // shared[m][p]: how many packets the movie's from m on and the parts' from p on share.
    QList<QList<int>> shared(movie.size() + 1, QList<int>(all.size() + 1));
    for (auto m = movie.size() - 1; m >= 0; --m)
        for (auto p = all.size() - 1; p >= 0; --p)
            shared[m][p] = movie[m] == all[p] ? shared[m + 1][p + 1] + 1
                                              : qMax(shared[m + 1][p], shared[m][p + 1]);
    QList<bool> kept(all.size());
    QList<int> added(parts.size()); // after each part
    QStringList out;
    for (qsizetype m = 0, p = 0, last = -1; m < movie.size(); ++m) {
        while (p < all.size() && movie[m] != all[p] && shared[m][p + 1] == shared[m][p])
            ++p; // left out
        if (p < all.size() && movie[m] == all[p]) {
            kept[p] = true;
            last = p++;
        } else if (const auto [k, i] = where.value(last, {int(parts.size()), 0});
                   k + 1 < parts.size() && i + few + 1 >= parts[k].size()) {
            ++added[k];
        } else {
            out << QString("a new packet after the parts' packet %1").arg(last);
        }
    }
    for (int j = 0; j < all.size(); ++j)
        if (const auto [k, i] = where[j]; !kept[j] && i >= few && i < parts[k].size() - few)
            out << QString("packet %1 of part %2 left out").arg(i).arg(k);
    for (int k = 0; k < parts.size(); ++k)
        if (added[k] > 12)
            out << QString("%1 new packets after part %2").arg(added[k]).arg(k);
    return out.size() > 4 ? out.mid(0, 4) << QString("%1 more").arg(out.size() - 4) : out;
}

} // namespace

class TestSound : public QObject
{
    Q_OBJECT
private slots:
    // Each kind of part: its file name's ending, ffmpeg's options, its sound's frame (how far the
    // sound may stray) and whether its sound is lossless (every packet copied).
    void joinedSound_data()
    {
        const Table<QString, QString, double, bool> row(
            {"suffix", "ffmpegOptions", "soundFrameMs", "lossless"});
        const QString avc = "-c:v libx264 -c:a ",
                      vp9 = "-c:v libvpx-vp9 -deadline realtime -cpu-used 8 -c:a ";
        const double aac = 1024 / 48.0; // 1024 samples, as Vorbis's long blocks step too
        row("AAC in MP4", "mp4", avc + "aac", aac, false);
        row("AAC in Matroska", "mkv", avc + "aac", aac, false);
        row("Opus in WebM", "webm", vp9 + "libopus", 20, false);
        row("Vorbis in WebM", "webm", vp9 + "libvorbis", aac, false);
        row("AC-3 in MP4", "mp4", avc + "ac3", 32, false);
        row("FLAC in Matroska", "mkv", avc + "flac", 96, true);
    }
    void joinedSound()
    {
        const double frameMs = fetch<double>("soundFrameMs");
        QTemporaryDir dir;
        QStringList parts;
        QList<QStringList> shown, heard; // each part's picture and sound packets
        QList<QList<double>> partPictures;
        QList<double> marks; // where each part plays its mark, after its first picture
        for (int n = 0; n < kParts; ++n) {
            parts << makePart(dir.path(), n, fetch<QString>("suffix"),
                              fetch<QString>("ffmpegOptions"));
            if (parts[n].isEmpty())
                QSKIP("ffmpeg cannot make these parts here: the case was not run");
            shown << packets(parts[n], "v");
            heard << packets(parts[n], "a");
            partPictures << pictures(parts[n]);
            marks << measure(parts[n], {markIn(n)}, frameMs).value("marks").toDouble() -
                         partPictures[n].value(0);
        }
        Core core;
        JoinDriver driver(core.join());
        driver.choice = JoinSession::Choice::OneMovie, driver.target = dir.filePath("t");
        QVERIFY(core.queue().add(parts).isEmpty() && driver.run());
        QVERIFY2(core.join().ending() == JoinSession::Ending::Joined,
                 qPrintable(core.join().finalText()));
        // Each mark looked for from where its part's first picture shows in the movie on.
        const QList<double> movie = pictures(driver.target);
        QList<double> near;
        for (int n = 0, first = 0; n < kParts; first += partPictures[n++].size() - 1)
            near << movie.value(first) + marks[n];
        const auto sound = measure(driver.target, near, frameMs);
        const auto off = [&](const QString& found, double wanted) {
            bool ok = false;
            const double by = (found.toDouble(&ok) - wanted) * 1000;
            return !ok                   ? found
                   : qAbs(by) <= frameMs ? "in step"
                                         : QString::asprintf("%+.1f ms", by);
        };
        QStringList found;
        for (int n = 0; n < kParts; ++n)
            found << off(sound.value("marks").section(' ', n, n), near[n]);
        QCOMPARE(
            joined(off(sound.value("length"), movie.last()), sound.value("dip"), found,
                   changes(shown, packets(driver.target, "v"), 0),
                   changes(heard, packets(driver.target, "a"), fetch<bool>("lossless") ? 0 : 8)),
            joined(QString("in step"), QString("none"), QStringList(kParts, "in step"),
                   QStringList(), QStringList()));
    }
};

REELBIND_CORE_TEST_MAIN(TestSound)
#include "test_sound.moc"
