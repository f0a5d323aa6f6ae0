// The join queue, its commands and model, and sets of parts found by name and by content.
#include "core/queue/PartSets.h"
#include "support/CoreSupport.h"
#include <QAbstractItemModelTester>
#include <QProcess>
using namespace TestSupport;
enum class Act { None, Sort, Remove, Up, Down, Joined };
// Each set as "first: other, other (missing)", named without their folder `dir`.
QStringList listed(const QList<PartSets::Set>& sets, const QString& dir)
{
    QStringList out;
    for (const PartSets::Set& set : sets)
        out << QFileInfo(set.first).fileName() + ": " +
                   QStringList(set.others).replaceInStrings(dir + '/', "").join(", ") +
                   (set.missing.isEmpty() ? "" : " (" + set.missing + ")");
    return out;
}
class TestQueue : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::system()); }
    // Add names 15 left out at most; a sort (by locale) holds until a move; marks follow rows.
    void edits_data()
    {
        const Table<QString, QStringList, QList<qint64>, Act, QList<int>, QString, QString> row(
            {"locale", "files", "sizes", "act", "at", "message", "shown"});
        const QStringList four = {"dir10/x", "dir9/Y", "Dir9/y2", "a/x1"}, az = {"ä", "z"},
                          five = {"A", "B", "C", "D", "E"}, a = {"A"};
        const QList<qint64> sizes = {10485760, 9961472, 1234567890, 1000000};
        const QString gone = "{d}/gone: " + reason(ENOENT),
                      these = "These files were not added to the queue:\n\n" +
                              QStringList(15, gone).join('\n');
        row("one left out", "C", {"gone"}, {}, Act::None, {},
            "This file was not added to the queue:\n\n" + gone, "c | 20.00 MB");
        row("15 left out", "C", a + QStringList(15, "gone"), {}, Act::None, {}, these,
            "A c | 21.00 MB");
        row("17 left out", "C", a + QStringList(17, "gone"), {}, Act::None, {},
            these + "\n... and 2 more.", "A c | 21.00 MB");
        row("by folder", "C", four, sizes, Act::Sort, {1}, "", "c x1 Y y2 x | 1217.83 MB");
        row("by size", "C", four, sizes, Act::Sort, {2}, "", "x1 Y x c y2 | 1217.83 MB");
        row("single precision", "C", {"p", "q", "r", "s"}, {1000000, 1000000, 1000000, 1ll << 37},
            Act::Sort, {2}, "", "p q r c s | 131094.84 MB");
        row("German ä", "de_DE", az, {}, Act::Sort, {0}, "", "ä c z | 23,00 MB");
        row("Swedish ä", "sv_SE", az, {}, Act::Sort, {0}, "", "c z ä | 23,00 MB");
        row("equal names", "C", {"x/C", "b", "B", "z"}, {}, Act::Sort, {0}, "",
            "b B C c z | 30.00 MB");
        row("remove, junk ignored", "C", five, {}, Act::Remove, {3, 1, 3, 1 << 30, -1}, "",
            "A C c E | 29.00 MB");
        row("remove all, scattered", "C", five, {}, Act::Remove, {4, 0, 1, 2, 3}, "",
            "c | 20.00 MB");
        row("up, in runs", "C", five, {}, Act::Up, {1, 2, 4}, "", "B C A E D c | 35.00 MB");
        row("down, in runs", "C", five, {}, Act::Down, {0, 2, 3}, "", "B A E C D c | 35.00 MB");
        row("up from the top", "C", five, {}, Act::Up, {0, 2},
            "Can't move the selected item above the beginning of the list.",
            "A B C D E c | 35.00 MB");
        row("down from the end", "C", five, {}, Act::Down, {2, 4},
            "Can't move the selected item below the end of the list.", "A B C D E c | 35.00 MB");
        row("up, none", "C", five, {}, Act::Up, {-1, 5}, "", "A B C D E c | 35.00 MB");
        row("down, none", "C", five, {}, Act::Down, {}, "", "A B C D E c | 35.00 MB");
        row("joined", "C", five, {}, Act::Joined, {1, 3}, "", "A C c E | 29.00 MB");
        row("all joined", "C", five, {}, Act::Joined, {0, 1, 2, 3, 4}, "", "c | 20.00 MB");
    }
    void edits()
    {
        QLocale::setDefault(QLocale(fetch<QString>("locale")));
        const Act act = fetch<Act>("act");
        const QList<int> at = fetch<QList<int>>("at");
        Core c;
        JoinQueue& q = c.queue();
        QAbstractItemModelTester tester(&q.model());
        QList<QPersistentModelIndex> marks; // a view's selection: on every row, in varying columns
        // Adds files made in the program folder, (n + 1) MiB unless told, or "gone"; the message.
        const auto add = [&](const QStringList& names, const QList<qint64>& sizes) {
            QStringList paths;
            for (int i = 0; i < names.size(); ++i)
                QDir(c.programFolder()).mkpath(QFileInfo(names[i]).path()),
                    paths << (names[i] == "gone" ? c.programFolder() + "/gone"
                                                 : sized(c.programFolder(), names[i],
                                                         sizes.value(i, qint64(i + 1) << 20)));
            return q.add(paths).replace(c.programFolder(), "{d}");
        };
        // The names, the estimate, whether Add, Remove, Clear, Join, Exit work, where marks are.
        const auto shown = [&] {
            QStringList names, marked;
            for (const QueueRow& r : q.rows())
                names << r.name;
            for (const QPersistentModelIndex& m : marks)
                marked << (m.isValid() ? names[m.row()] + ':' + QString::number(m.column()) : "-");
            const JoinQueue::Commands o = q.commands();
            return joined(names.join(' '), q.estimate().section("  ", 1),
                          QString::asprintf("%d%d%d%d%d", o.add, o.remove, o.clear, o.join, o.exit),
                          marked.join(' '));
        };
        QString message = add(fetch<QStringList>("files"), fetch<QList<qint64>>("sizes"));
        if (act == Act::Up || act == Act::Down)
            q.sortByColumn(0); // the move, even a refused or an empty one, ends this sorting
        QSet<quint64> ids;
        for (int i = 0; i < q.count(); ++i)
            marks << q.model().index(i, i % 3), ids << (at.contains(i) ? q.rows()[i].id : 0);
        QStringList marked = shown().section(" | ", 3).split(' ', Qt::SkipEmptyParts);
        message += act == Act::Up ? q.moveUp(at) : act == Act::Down ? q.moveDown(at) : "";
        act == Act::Sort ? q.sortByColumn(at[0]), q.sortByColumn(at[0])
    : act == Act::Remove ? q.remove(at)
    : act == Act::Joined ? q.removeJoined(ids)
                         : void();
        QStringList commands = {shown().section(" | ", 2, 2)};
        q.setJoinRunning(true);
        commands << shown().section(" | ", 2, 2);
        q.setJoinRunning(false);
        commands << shown().section(" | ", 2, 2);
        add({"c"}, {20 << 20});
        const QString expected = fetch<QString>("shown");
        for (QString& m : marked) // each still on its row, or gone with it
            m = expected.section(" | ", 0, 0).split(' ').contains(m.section(':', 0, 0)) ? m : "-";
        QCOMPARE(
            joined(message, shown(), commands.join(' ')),
            joined(fetch<QString>("message"), joined(expected, "11111", marked.join(' ')),
                   (expected.startsWith("c |") ? "10001" : "11111") + QString(" 00000 11111")));
    }
    // Every kind of set up to a gap, parts added or queued left out; the question; Yes's order.
    void partSets_data()
    {
        const Table<QStringList, QList<qint64>, QStringList, QStringList, QStringList, QString,
                    QStringList>
            row({"files", "sizes", "added", "queued", "found", "question", "yes"});
        const QString end = "\n\nAdd the other parts to the queue after their first part?";
        row("every kind",
            {"n.002", "m.mpg.003", "m.mpg.002", "n.003", "o.001", "vts_01_2.vob", "VTS_01_4.VOB",
             "f.part02.mkv", "f.part3.mkv", "a CD2.avi", "b-cd2.avi", "d (2 of 2).mpg",
             "d (3 of 2).mpg", "GP010123.MP4", "GP020123.MP4", "GP010999.MP4", "gh020123.mp4",
             "clip2.mpg"},
            {8, 4},
            {"m.mpg.001", "n.001", "o.000", "VTS_01_0.VOB", "VTS_01_1.VOB", "f.part01.mkv",
             "a CD1.avi", "b-cd1.avi", "d (1 of 2).mpg", "GOPR0123.MP4", "GH010123.MP4",
             "clip1.mpg", "e.part1.avi", "e.part2.avi"},
            {},
            {"m.mpg.001: m.mpg.002, m.mpg.003", "o.000: o.001",
             "VTS_01_1.VOB: vts_01_2.vob (VTS_01_3.VOB)", "f.part01.mkv: f.part02.mkv",
             "a CD1.avi: a CD2.avi", "b-cd1.avi: b-cd2.avi", "d (1 of 2).mpg: d (2 of 2).mpg",
             "GOPR0123.MP4: GP010123.MP4, GP020123.MP4", "GH010123.MP4: gh020123.mp4"},
            "d (1 of 2).mpg:\nd (2 of 2).mpg\n... and 5 more.\nVTS_01_3.VOB is missing." + end,
            {"m.mpg.001", "m.mpg.002", "m.mpg.003", "n.001"});
        const QStringList v = {"VTS_01_1.VOB", "VTS_01_2.VOB", "VTS_01_3.VOB", "VTS_01_4.VOB"};
        // No first part ends in a line break; links dangling ("@") or to themselves ("~") no part.
        row("a first part's name and a line break", {"VTS_01_2.VOB"}, {}, {"VTS_01_1.VOB\n"}, {},
            {}, "", {"VTS_01_1.VOB\n"});
        row("links to nowhere and to themselves", {"VTS_01_2.VOB@", "x.part2.avi~"}, {},
            {"VTS_01_1.VOB", "x.part1.avi"}, {}, {}, "", {"VTS_01_1.VOB", "x.part1.avi"});
        QStringList split;
        for (int k = 2; k <= 1001; ++k)
            split << QStringLiteral("s.%1").arg(k, 3, 10, QLatin1Char('0'));
        row("split files past .999", split, {}, {"s.001"}, {}, {"s.001: " + split.join(", ")},
            "s.014\ns.015\ns.016\n... and 985 more." + end, QStringList{"s.001"} + split.mid(0, 3));
        row("parts added or queued", {v[1], v[3]}, {}, {v[0], v[2]}, {v[1]},
            {"VTS_01_1.VOB: VTS_01_4.VOB"},
            "VTS_01_1.VOB is the first part of a set. Its other parts lie in the same folder:\n"
            "VTS_01_4.VOB" +
                end,
            {v[0], v[3], v[2]});
    }
    void partSets()
    {
        QTemporaryDir dir;
        TestFileSystem files;
        const QStringList names = fetch<QStringList>("files") + fetch<QStringList>("added");
        for (int i = 0; i < names.size(); ++i)
            if (QString name = names[i]; name.endsWith('@') || name.endsWith('~'))
                QFile::link(name.endsWith('@') ? "nowhere" : name.chopped(1),
                            dir.filePath(name.chopped(1)));
            else
                sized(dir.path(), name, fetch<QList<qint64>>("sizes").value(i, 9));
        const auto in = [&](const char* column) {
            return fetch<QStringList>(column).replaceInStrings(QRegularExpression("^"),
                                                               dir.path() + '/');
        };
        const PartSets::Timing timing = PartSets::movieTiming(files);
        const QList<PartSets::Set> sets = PartSets::find(in("added"), in("queued"), files, timing);
        files.unreadableFolder = dir.path();
        QCOMPARE(joined(listed(sets, dir.path()),
                        sets.isEmpty() ? "" : PartSets::question(sets).section('\n', -6),
                        PartSets::withOthers(in("added"), sets).mid(0, 4),
                        PartSets::find(in("added"), in("queued"), files, timing).size()),
                 joined(fetch<QStringList>("found"), fetch<QString>("question"), in("yes"), 0));
    }
    // Sets by content in 2 s movies ("n 2": TS at 2 s, "n 10:15:02": MP4 made then, "n junk").
    void contentSets_data()
    {
        const Table<QStringList, QStringList, QStringList, int, QString> row(
            {"files", "added", "found", "read", "why"});
        const QString cut = " and its other parts are one recording split by the camera: ",
                      began = "each part was begun when the part before it ended, as their "
                              "creation times and lengths show.";
        row("AVCHD", {"00000.MTS 0", "00001.MTS 2", "00002.mts 4", "00003.MTS 9", "0001.MTS 2"},
            {"00000.MTS"}, {"00000.MTS: 00001.MTS, 00002.mts"}, 4,
            "00000.MTS" + cut +
                "the timestamps of each part go on where those of the part before it end.");
        row("separate clips, not a movie",
            {"00000.m2ts 0", "00001.m2ts 0", "00005.m2ts 0", "00006.m2ts junk"},
            {"00000.m2ts", "00005.m2ts"}, {}, 4, "");
        row("cameras",
            {"DJI_0001.MP4 10:15:00", "DJI_0002.MP4 10:15:02", "dji_0003.mp4 10:15:07",
             "MVI_0007.MOV 09:00:00", "MVI_0008.MOV 09:00:03", "C0001.MP4 11:00:00",
             "C0002.MP4 11:00:05"},
            {"DJI_0001.MP4", "MVI_0007.MOV", "C0001.MP4"},
            {"DJI_0001.MP4: DJI_0002.MP4", "MVI_0007.MOV: MVI_0008.MOV"}, 7,
            "DJI_0001.MP4" + cut + began + "\nMVI_0007.MOV" + cut + began);
        row("dashcam",
            {"20260701_101500_F.MP4", "20260701_101502_F.MP4", "20260701_101502_R.MP4",
             "20260701_101505_f.mp4", "20260701_101510_F.MP4"},
            {"20260701_101500_F.MP4", "20260701_101502_R.MP4"},
            {"20260701_101500_F.MP4: 20260701_101502_F.MP4, 20260701_101505_f.mp4"}, 4,
            "20260701_101500_F.MP4" + cut +
                "the time in each part's name is when the part before it ended.");
    }
    void contentSets()
    {
        QTemporaryDir dir;
        TestFileSystem files;
        for (const QString& file : fetch<QStringList>("files")) {
            const QString name = file.section(' ', 0, 0), arg = file.section(' ', 1);
            QStringList options = {
                "-nostdin", "-v", "error", "-f", "lavfi", "-i", "testsrc=d=2:s=64x48:r=10"};
            if (name.endsWith("ts", Qt::CaseInsensitive))
                options += {"-output_ts_offset", arg, "-f", "mpegts"};
            else if (!arg.isEmpty())
                options += {"-metadata", "creation_time=2026-07-01T" + arg + "Z"};
            if (arg == "junk")
                writeFile(dir.filePath(name), "junk");
            else if (QProcess::execute("ffmpeg", options << dir.filePath(name)))
                QSKIP("ffmpeg cannot make movies here");
        }
        const QList<PartSets::Set> sets = PartSets::find(
            fetch<QStringList>("added").replaceInStrings(QRegularExpression("^"), dir.path() + '/'),
            {}, files, PartSets::movieTiming(files));
        const QString why = fetch<QString>("why");
        QCOMPARE(joined(listed(sets, dir.path()), files.opened.size(),
                        sets.isEmpty()
                            ? ""
                            : PartSets::question(sets).section('\n', -3 - why.count('\n'), -3)),
                 joined(fetch<QStringList>("found"), fetch<int>("read"), why));
    }
};
REELBIND_CORE_TEST_MAIN(TestQueue)
#include "test_queue.moc"
