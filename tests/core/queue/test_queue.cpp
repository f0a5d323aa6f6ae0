// The join queue and its commands, the model under it, and sets of parts found by their names.
#include "core/queue/PartSets.h"
#include "support/CoreSupport.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using namespace TestSupport;
using Id = SettingId;

namespace {
/// A started program whose queue's model QAbstractItemModelTester checks all along.
struct Queue : Core
{
    JoinQueue& q = queue();
    QAbstractItemModelTester tester{&q.model()};
    /// Files of these names in the program folder, (n + 1) MiB each unless `sizes` says; paths.
    QStringList make(const QStringList& names, const QList<qint64>& sizes = {})
    {
        QStringList paths;
        for (int i = 0; i < names.size(); ++i)
            QDir(programFolder()).mkpath(QFileInfo(names[i]).path()),
                paths << sized(programFolder(), names[i], sizes.value(i, qint64(i + 1) << 20));
        return paths;
    }
    QString add(const QStringList& names, const QList<qint64>& sizes = {})
    {
        return q.add(make(names, sizes));
    }
    QStringList names() const
    {
        QStringList out;
        for (const QueueRow& r : q.rows())
            out << r.name;
        return out;
    }
    /// Whether Add, Remove, Clear, Join and Exit may be used: "11111".
    QString commands() const
    {
        const JoinQueue::Commands c = q.commands();
        return QString::asprintf("%d%d%d%d%d", c.add, c.remove, c.clear, c.join, c.exit);
    }
    QString estimate() const { return q.estimate().section("  ", 1); }
    /// Persistent indexes (a view's selection) on every row, in varying columns.
    QList<QPersistentModelIndex> marks;
    QList<quint64> marked;
    void mark()
    {
        for (int i = 0; i < q.count(); ++i)
            marks << q.model().index(i, i % 3), marked << q.rows()[i].id;
    }
    /// Whether each mark still points at its row, in its column, or is gone with it.
    bool marksFollow() const
    {
        for (int i = 0; i < marks.size(); ++i) {
            int at = -1;
            for (int r = 0; r < q.count(); ++r)
                at = q.rows()[r].id == marked[i] ? r : at;
            if (marks[i].row() != at || (at >= 0 && marks[i].column() != i % 3))
                return false;
        }
        return true;
    }
};
enum class Edit { Remove, Up, Down, Clear, Joined };
} // namespace

class TestQueue : public QObject
{
    Q_OBJECT
private slots:
    // A file whose size cannot be read is left out, the others added; the message names at
    // most 15 of those left out.
    void addLeavesOut_data()
    {
        const Table<QStringList, int, QString, QString> row({"added", "missing", "head", "more"});
        const QString these = "These files were not added to the queue:";
        row("one, nothing added", {}, 1, "This file was not added to the queue:", "");
        row("fifteen", {"c"}, 15, these, "");
        row("seventeen", {"c"}, 17, these, "\n... and 2 more.");
    }
    void addLeavesOut()
    {
        const QStringList added = fetch<QStringList>("added");
        Queue c;
        QStringList missing, named;
        for (int i = 0; i < fetch<int>("missing"); ++i)
            missing << c.programFolder() + "/g" + QString::number(i),
                named << missing.last() + ": " + reason(ENOENT);
        QCOMPARE(c.q.add(c.make(added) + missing), fetch<QString>("head") + "\n\n" +
                                                       named.mid(0, 15).join('\n') +
                                                       fetch<QString>("more"));
        QCOMPARE(c.names(), added);
        QCOMPARE(c.estimate() + ' ' + c.commands(),
                 added.isEmpty() ? "0.00 MB 10001" : "1.00 MB 11111");
    }
    // Add opens in the source folder, or at home; with its switch ticked (not greyed) the last
    // added file's folder becomes the source folder, live and stored. "{d}": the program's
    // folder, where relative paths count from; "{h}": home.
    void sourceFolder_data()
    {
        const Table<int, QString, QString, QString, QString> row(
            {"state", "source", "file", "addFolder", "stored"});
        const QString root = QDir("/")
                                 .entryInfoList(QDir::Files | QDir::Hidden | QDir::Readable)
                                 .value(0)
                                 .absoluteFilePath();
        row("unticked", 0, "/usr", "x.y/z/a.b", "/usr", "{d}");
        row("greyed", 2, "/usr", "x.y/z/a.b", "/usr", "{d}");
        row("ticked", 1, "/usr", "x.y/z/a.b", "{d}/x.y/z", "{d}/x.y/z");
        row("ticked, full path", 1, "/usr", "{d}/x.y/z/a.b", "{d}/x.y/z", "{d}/x.y/z");
        row("nothing added", 1, "/usr", "{d}/gone", "/usr", "{d}");
        row("no source folder", 1, "", "{d}/gone", "{h}", "{d}");
        row("the root keeps its slash", 1, "/usr", root, "/", "/");
    }
    void sourceFolder()
    {
        Queue c;
        const auto in = [&](QString s) {
            return s.replace("{d}", c.programFolder()).replace("{h}", QDir::homePath());
        };
        const QString file = in(fetch<QString>("file")), cwd = QDir::currentPath();
        if (file.isEmpty())
            QSKIP("no readable file in the root folder");
        const auto back = qScopeGuard([&] { QDir::setCurrent(cwd); });
        QVERIFY(QDir::setCurrent(c.programFolder()) && !c.make({"x.y/z/a.b"}).value(0).isEmpty());
        c.prefs().setFolderText(Id::SourceDir, fetch<QString>("source"));
        c.prefs().setCheckState(Id::SaveSourceDir, fetch<int>("state"));
        c.q.add({file, file}); // twice: two rows
        QCOMPARE(c.q.addFolder(), in(fetch<QString>("addFolder")));
        QCOMPARE(c.settings()[Id::SourceDir].value_or(""), in(fetch<QString>("stored")));
        if (c.q.count() > 0) {
            QCOMPARE(c.q.rows()[1].fullPath(), QFileInfo(file).absoluteFilePath());
            c.q.removeJoined({c.q.rows()[0].id});
            QCOMPARE(c.q.count(), 1);
        }
    }
    // Sorting (twice: still ascending) is numeric-aware, case-blind and follows the locale; a
    // new file (20 MiB, in the program's folder) takes its place, after equal ones there, and
    // files added together keep their order when equal. Persistent indexes follow their rows.
    // The estimate sums the sizes as shown, in single precision: 131074.84, not .86 nor .85.
    void sorting_data()
    {
        const Table<QString, QStringList, QList<qint64>, int, QStringList, QString> row(
            {"locale", "files", "sizes", "column", "order", "estimate"});
        const QStringList four = {"dir10/x", "dir9/Y", "Dir9/y2", "a/x1"}, az = {"ä", "z"};
        const QList<qint64> sizes = {10485760, 9961472, 1234567890, 1000000};
        row("by name", "C", four, sizes, 0, {"new", "x", "x1", "Y", "y2"}, "1197.83 MB");
        row("by folder", "C", four, sizes, 1, {"new", "x1", "Y", "y2", "x"}, "1197.83 MB");
        row("by size", "C", four, sizes, 2, {"x1", "Y", "x", "new", "y2"}, "1197.83 MB");
        row("by size, German", "de_DE", four, sizes, 2, {"x1", "Y", "x", "new", "y2"},
            "1197,83 MB");
        row("single precision", "C", {"a", "b", "c", "d"}, {1000000, 1000000, 1000000, 1ll << 37},
            2, {"a", "b", "c", "new", "d"}, "131074.84 MB");
        row("numbers in C", "C", {"clip10", "Clip2"}, {}, 0, {"Clip2", "clip10", "new"}, "3.00 MB");
        row("German ä", "de_DE", az, {}, 0, {"ä", "new", "z"}, "3,00 MB");
        row("Swedish ä", "sv_SE", az, {}, 0, {"new", "z", "ä"}, "3,00 MB");
        row("equal names", "C", {"x/New", "b", "B", "z"}, {}, 0, {"b", "B", "New", "new", "z"},
            "10.00 MB");
    }
    void sorting()
    {
        const QLocale before;
        const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
        QLocale::setDefault(QLocale(fetch<QString>("locale")));
        Queue c;
        c.add(fetch<QStringList>("files"), fetch<QList<qint64>>("sizes"));
        c.mark();
        c.q.sortByColumn(fetch<int>("column"));
        c.q.sortByColumn(fetch<int>("column"));
        QTEST(c.estimate(), "estimate");
        c.add({"new"}, {20 << 20});
        QTEST(c.names(), "order");
        QVERIFY(c.marksFollow());
    }
    // Remove, Clear and Delete Source Files' removal keep sorting on; a move, even a refused or
    // an empty one, ends it (a new row then goes last). Persistent indexes follow their rows. The
    // queue commands go off with the last row; a join turns all five off, and its end brings them
    // back, however the queue stands.
    void edits_data()
    {
        const Table<Edit, QList<int>, QStringList, QString, bool> row(
            {"edit", "positions", "names", "message", "sorted"});
        const QStringList five = {"A", "B", "C", "D", "E"};
        row("remove", Edit::Remove, {1, 2}, {"A", "D", "E"}, "", true);
        row("remove, junk ignored", Edit::Remove, {3, 1, 3, 99, -1}, {"A", "C", "E"}, "", true);
        row("remove all, scattered", Edit::Remove, {4, 0, 1, 2, 3}, {}, "", true);
        row("clear", Edit::Clear, {}, {}, "", true);
        row("up, in runs", Edit::Up, {1, 2, 4}, {"B", "C", "A", "E", "D"}, "", false);
        row("down, in runs", Edit::Down, {0, 2, 3}, {"B", "A", "E", "C", "D"}, "", false);
        row("up from the top", Edit::Up, {0, 2}, five,
            "Can't move the selected item above the beginning of the list.", false);
        row("down from the end", Edit::Down, {2, 4}, five,
            "Can't move the selected item below the end of the list.", false);
        row("down, nothing selected", Edit::Down, {}, five, "", false);
        row("joined", Edit::Joined, {1, 3}, {"A", "C", "E"}, "", true);
        row("all joined", Edit::Joined, {0, 1, 2, 3, 4}, {}, "", true);
    }
    void edits()
    {
        const Edit edit = fetch<Edit>("edit");
        const QList<int> at = fetch<QList<int>>("positions");
        const QStringList names = fetch<QStringList>("names");
        Queue c;
        c.add({"A", "B", "C", "D", "E"}); // 1 to 5 MiB
        c.mark();
        QSet<quint64> ids;
        for (const int p : at)
            ids << c.q.rows()[p].id;
        QTEST(edit == Edit::Up     ? c.q.moveUp(at)
              : edit == Edit::Down ? c.q.moveDown(at)
                                   : QString(),
              "message");
        edit == Edit::Remove   ? c.q.remove(at)
        : edit == Edit::Clear  ? c.q.clear()
        : edit == Edit::Joined ? c.q.removeJoined(ids)
                               : void();
        QCOMPARE(c.names(), names);
        QVERIFY(c.marksFollow());
        int mb = 0;
        for (const QString& name : names)
            mb += name[0].unicode() - 'A' + 1;
        QCOMPARE(c.estimate(), QString("%1.00 MB").arg(mb));
        QCOMPARE(c.commands(), names.isEmpty() ? "10001" : "11111");
        c.q.setJoinRunning(true);
        QCOMPARE(c.commands(), "00000");
        c.q.setJoinRunning(false);
        QCOMPARE(c.commands(), "11111");
        c.add({"0"});
        QCOMPARE(c.names().indexOf("0"), fetch<bool>("sorted") ? 0 : names.size());
        QVERIFY(c.marksFollow());
    }
    // Sets found from their first part; "found": each set's first part, its other parts, and
    // the gap where it stops. Files are empty unless `sizes` says.
    void partSets_data()
    {
        const Table<QStringList, QList<qint64>, QStringList, QStringList, bool, QStringList> row(
            {"files", "sizes", "added", "queued", "unreadable", "found"});
        const QStringList v = {"VTS_01_1.VOB", "VTS_01_2.VOB"}, v1 = {v[0]};
        row("title set", {"VTS_01_0.VOB", v[0], v[1], "VTS_01_3.VOB"}, {}, v1, {}, false,
            {"VTS_01_1.VOB: VTS_01_2.VOB, VTS_01_3.VOB"});
        row("not from its menu", {"VTS_01_0.VOB", v[0]}, {}, {"VTS_01_0.VOB"}, {}, false, {});
        row("a gap", {v[0], v[1], "VTS_01_4.VOB"}, {}, v1, {}, false,
            {"VTS_01_1.VOB: VTS_01_2.VOB (VTS_01_3.VOB)"});
        row("case", {"VTS_02_1.VOB", "vts_02_2.vob"}, {}, {"VTS_02_1.VOB"}, {}, false,
            {"VTS_02_1.VOB: vts_02_2.vob"});
        row("queued parts", v + QStringList{"VTS_01_3.VOB"}, {}, v1, {v[1]}, false,
            {"VTS_01_1.VOB: VTS_01_3.VOB"});
        row("added parts", v, {}, v, {}, false, {});
        row("unreadable folder", v, {}, v1, {}, true, {});
        row("split file", {"m.mpg.001", "m.mpg.002", "m.mpg.003"}, {9, 9, 4}, {"m.mpg.001"}, {},
            false, {"m.mpg.001: m.mpg.002, m.mpg.003"});
        row("split, sizes differ", {"m.001", "m.002", "m.003"}, {9, 8, 4}, {"m.001"}, {}, false,
            {});
        row("split from 000", {"m.000", "m.001"}, {9, 9}, {"m.000"}, {}, false, {"m.000: m.001"});
        row("part01", {"f.part01.mkv", "f.part02.mkv", "f.part3.mkv"}, {}, {"f.part01.mkv"}, {},
            false, {"f.part01.mkv: f.part02.mkv"});
        row("CD1", {"a CD1.avi", "a CD2.avi", "b-cd1.avi", "b-cd2.avi", "c_CD1.avi"}, {},
            {"a CD1.avi", "b-cd1.avi", "c_CD1.avi"}, {}, false,
            {"a CD1.avi: a CD2.avi", "b-cd1.avi: b-cd2.avi"});
        row("1 of 2", {"a (1 of 2).mpg", "a (2 of 2).mpg", "a (3 of 2).mpg"}, {},
            {"a (1 of 2).mpg"}, {}, false, {"a (1 of 2).mpg: a (2 of 2).mpg"});
        row("GoPro", {"GOPR0123.MP4", "GP010123.MP4", "GP020123.MP4", "GP010999.MP4"}, {},
            {"GOPR0123.MP4"}, {}, false, {"GOPR0123.MP4: GP010123.MP4, GP020123.MP4"});
        row("GoPro GH", {"GH010123.MP4", "gh020123.mp4", "GX010123.MP4"}, {}, {"GH010123.MP4"}, {},
            false, {"GH010123.MP4: gh020123.mp4"});
        row("a number alone", {"clip1.mpg", "clip2.mpg"}, {}, {"clip1.mpg"}, {}, false, {});
    }
    void partSets()
    {
        QTemporaryDir dir;
        TestFileSystem files;
        const QList<qint64> sizes = fetch<QList<qint64>>("sizes");
        for (const QString& name : fetch<QStringList>("files"))
            sized(dir.path(), name, sizes.value(fetch<QStringList>("files").indexOf(name)));
        files.unreadableFolder = fetch<bool>("unreadable") ? dir.path() : QString();
        const auto paths = [&](const char* column) {
            return fetch<QStringList>(column).replaceInStrings(QRegularExpression("^"),
                                                               dir.path() + '/');
        };
        QStringList found;
        for (const PartSets::Set& set : PartSets::find(paths("added"), paths("queued"), files))
            found << QFileInfo(set.first).fileName() + ": " +
                         QStringList(set.others).replaceInStrings(dir.path() + '/', "").join(", ") +
                         (set.missing.isEmpty() ? "" : " (" + set.missing + ")");
        QTEST(found, "found");
    }
    // The question names each set's parts, cut after 15 lines, and the gaps; Yes puts each
    // set's parts right after their first part.
    void partSetsQuestion()
    {
        QStringList splits, vobs = {"/v/VTS_01_2.VOB"};
        for (int i = 2; i <= 20; ++i)
            splits << QString("/m/a.%1").arg(i, 3, 10, QChar('0'));
        const QList<PartSets::Set> sets = {{"/m/a.001", splits, ""},
                                           {"/v/VTS_01_1.VOB", vobs, "VTS_01_3.VOB"}};
        const QString end = "VTS_01_3.VOB is missing.\n\nAdd the other parts to the queue after "
                            "their first part?";
        QCOMPARE(PartSets::question(sets.mid(1)),
                 "VTS_01_1.VOB is the first part of a set. Its other parts lie in the same "
                 "folder:\nVTS_01_2.VOB\n" +
                     end);
        QCOMPARE(PartSets::question(sets).section('\n', 14), // a.001: and 14 of its 19 parts
                 "a.014\na.015\n... and 7 more.\n" + end);
        QCOMPARE(PartSets::withOthers({"/x.mpg", "/v/VTS_01_1.VOB", "/m/a.001"}, sets).mid(0, 4),
                 QStringList({"/x.mpg", "/v/VTS_01_1.VOB", "/v/VTS_01_2.VOB", "/m/a.001"}));
    }
};

REELBIND_CORE_TEST_MAIN(TestQueue)
#include "test_queue.moc"
