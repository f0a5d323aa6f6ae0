// The core and platform layers without windows, on the real file system.
#include "core/JoinPace.h"
#include "core/MovieKind.h"
#include "core/PartSets.h"
#include "core/Profile.h"
#include "core/ProgressThrottle.h"
#include "core/StrFunc.h"
#include "support/CoreSupport.h"

#include <QtTest>
#include <cerrno>
#include <csignal>
#include <stdexcept>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace SettingRules;
using namespace TestSupport;
using Ending = JoinSession::Ending;
using Choice = JoinSession::Choice;
using Id = SettingId;

namespace {

// A QString column "row" of these rows, tagged with their texts; row(): the current one.
using Rows = std::initializer_list<const char*>;
void addRows(Rows rows, Rows more = {}, Rows evenMore = {}, Rows last = {})
{
    QTest::addColumn<QString>("row");
    for (const Rows& list : {rows, more, evenMore, last})
        for (const char* row : list)
            QTest::newRow(row) << QString::fromUtf8(row);
}
const auto row = [] { return QString::fromUtf8(QTest::currentDataTag()); };
const auto filesIn = [](const QString& dir) { return QDir(dir).entryList(QDir::Files).join(' '); };
const auto makePipe = [](const QString& p) { return ::mkfifo(QFile::encodeName(p), 0600) == 0; };
const auto writeFile = [](const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
};
const auto column = [](const QList<QueueRow>& rows, int col = 0) {
    QStringList out;
    for (const QueueRow& r : rows)
        out << (col == 0 ? r.name : col == 1 ? r.folder : r.size);
    return out.join(' ');
};
const auto commandBits = [](const JoinQueue& queue) { // may Add, Remove, Clear, Join, Exit: 0/1
    const JoinQueue::Commands c = queue.commands();
    return QString::asprintf("%d%d%d%d%d", c.add, c.remove, c.clear, c.join, c.exit);
};
// Where a sparse file holds "!!!!!!!!!": at its start, across 2 GiB, at its end. Then files f0,
// f1... in `dir`: pattern(size, i + 1), from 1 GiB on sparse with marks; their paths.
const auto marksOf = [](qint64 size) { return QList<qint64>{0, (qint64(1) << 31) - 3, size - 9}; };
const auto makeSources = [](const QString& dir, const QList<qint64>& sizes, QByteArray& bytes) {
    QStringList paths;
    for (int i = 0; i < sizes.size(); ++i) {
        const bool big = sizes[i] >= qint64(1) << 30;
        const QString name = QString("f%1").arg(i);
        QFile f(paths.emplaceBack(big ? sized(dir, name, sizes[i])
                                      : makeFile(dir, name, sizes[i], i + 1)));
        bytes += big ? QByteArray(27, '!') : pattern(sizes[i], i + 1);
        if (big && f.open(QIODevice::ReadWrite))
            for (const qint64 at : marksOf(sizes[i]))
                f.seek(at), f.write("!!!!!!!!!");
    }
    return paths;
};
// Bytes: "N:HEX@A,B" N bytes of 0x5a with HEX at A and B (or 0), "HEX*L*C" C frames of L bytes
// starting with HEX, filled with 0x11 (MPEG audio), "+N" N bytes of 0x11, "HEX" just those.
const auto bytesOf = [](const QString& pieces) {
    QByteArray out;
    for (const QString& piece : pieces.split(' ', Qt::SkipEmptyParts)) {
        const QStringList p = piece.split(QRegularExpression("[:@*]"));
        const QByteArray hex = QByteArray::fromHex(p[piece.contains(':')].toLatin1());
        QByteArray filler(p[0].toInt(), '\x5a');
        for (const QString& at : piece.section('@', 1).split(',')) // none: at 0
            filler.replace(at.toInt(), hex.size(), hex);
        out += piece.startsWith('+') ? QByteArray(piece.mid(1).toInt(), '\x11')
               : piece.contains('*')
                   ? (hex + QByteArray(p[1].toInt() - 4, '\x11')).repeated(p[2].toInt())
               : piece.contains(':') ? filler
                                     : hex;
    }
    return out;
};
// A second view of `folder` through FUSE (bindfs), unmounted at the end; the case is skipped
// where FUSE is refused.
struct BindView : QTemporaryDir
{
    const bool mounted;
    explicit BindView(const QString& folder)
        : mounted(QProcess::execute("bindfs", {folder, QTemporaryDir::path()}) == 0)
    {
    }
    ~BindView()
    {
        if (mounted && QProcess::execute("fusermount", {"-u", "-z", path()}) != 0)
            QProcess::execute("umount", {"-l", path()});
    }
};
#define MOUNT_OR_SKIP(view)                                                                        \
    if (!(view).mounted)                                                                           \
    QSKIP("bindfs (FUSE) cannot mount here: the case on a second file system was not run")
// Movies made by ffmpeg, a second each, 160x120 at 25 frames a second: "RECIPE NAME" with
// RECIPE avc (H.264 with B-frames and AAC in MP4), big (320x240), mute (no sound), phone
// (rotated, with a timecode track), cut (its index first, then cut short), bare (cut short, its
// index gone), mov (MPEG-4 in MOV), webm (VP9 and Opus), mkv (H.264 in Matroska), fifo (avc,
// then a pipe in its place once queued). Each part's
// pictures and sound differ from the others'. False when ffmpeg cannot make it.
bool makeMovie(const QString& dir, const QString& recipe, int n)
{
    const QString kind = recipe.section(' ', 0, 0), path = dir + '/' + recipe.section(' ', 1);
    QString args = QString("-nostdin -v error -y -f lavfi -i testsrc=d=1:r=25:s=%1:decimals=%2 ")
                       .arg(kind == "big" ? "320x240" : "160x120")
                       .arg(n);
    if (kind != "mute" && kind != "mov")
        args += QString("-f lavfi -i sine=d=1:f=%1:r=48000 ").arg(300 + 100 * n);
    args += kind == "webm"  ? "-c:v libvpx-vp9 -deadline realtime -cpu-used 8 -c:a libopus"
            : kind == "mov" ? "-c:v mpeg4 -f mov"
                            : "-c:v libx264 -bf 2 -c:a aac";
    args += kind == "phone" ? " -metadata:s:v rotate=90 -timecode 01:00:00:00"
            : kind == "cut" ? " -movflags +faststart"
                            : "";
    return QProcess::execute("ffmpeg", args.split(' ') << path) == 0 &&
           ((kind != "cut" && kind != "bare") ||
            QFile::resize(path, QFileInfo(path).size() * 3 / 5));
}
// ffprobe's or ffmpeg's words on a movie; null when it could not run.
QByteArray probe(const QString& tool, const QStringList& args)
{
    QProcess p;
    p.start(tool, QStringList{"-v", "error"} + args);
    return p.waitForFinished(60000) ? p.readAll() : QByteArray();
}
// Each stream's packets, stream by stream, as "stream, size, hash" (timestamps left out).
QStringList payloads(const QStringList& movies)
{
    QStringList out;
    for (const QString& movie : movies)
        for (const QByteArray& line : probe("ffmpeg", {"-i", movie, "-map", "0:v", "-map", "0:a?",
                                                       "-c", "copy", "-f", "framemd5", "-"})
                                          .split('\n'))
            if (!line.startsWith('#') && line.count(',') >= 5) // then side data, if any
                out << QString(line).section(',', 0, 0) + ',' + QString(line).section(',', 4, 5);
    std::stable_sort(out.begin(), out.end(), [](const QString& a, const QString& b) {
        return a.section(',', 0, 0).toInt() < b.section(',', 0, 0).toInt();
    });
    return out;
}
// A program with movies, chunk 10,000 a round, an empty trash, answers from a script; records
// prompts, phases, commands at the end, progress; afterRound(n) runs in the pump after round n.
struct J : Core, JoinSession::Prompts, JoinProgress
{
    QTemporaryDir movies;
    Choice answer = Choice::Cancel;
    bool offered = false, waiting = false;
    QString target, asked, told, dialogFolder, filter, phases, commandsAtEnd;
    std::function<void()> inDialog = [] {};
    std::function<void(int)> afterRound = [](int) {}; // 0: before the copy
    qint64 total = -1, started = 0, rounds = 0, missed = 0, stoppedAt = -1;
    JoinFigures last;
    J()
    {
        prefs().setChunkSize(10000), join().byteCopy().setOptions({true, 1});
        QObject::connect(&join(), &JoinSession::phaseChanged, [this](JoinSession::Phase phase) {
            phases += QString::number(int(phase)), commandsAtEnd = commandBits(queue());
            phase == JoinSession::Phase::Joining ? afterRound(0) : void();
        });
        pump.onPump = [this](int) { std::exchange(waiting, false) ? afterRound(rounds) : void(); };
    }
    QString at(const QString& name) const { return movies.filePath(name); }
    bool run(const QString& to) { return target = to, join().run(*this, *this); }
    Choice howToJoin(const QString& question, bool oneMovie) override
    {
        return asked = question, offered = oneMovie, answer;
    }
    QString chooseTarget(const QString& f, const QString& filter) override
    {
        return dialogFolder = f, this->filter = filter, inDialog(), target;
    }
    void tell(const QString& message) override { told = message; }
    void batchStarted(qint64 batchTotal) override { total = batchTotal; }
    void fileStarted(int, const JoinFigures&) override { ++started, awaitPump(false); }
    void copied(const JoinFigures& f) override { last = f, ++rounds, awaitPump(true); }
    void awaitPump(bool now) { missed += std::exchange(waiting, now); } // still waiting: missed
    qint64 unpumped() const { return missed + waiting; } // the last round too, until a pump
    // Another program or the user: "rm PATTERN" (one file), "mkdir", "cut", "grow", "old" or
    // "queue" NAME; "full" (a full disk), "notrash", "unsafe" (no durable target), "cancel",
    // "stop", "exit", "change" (Join again, then Clear), "throw" (no memory).
    bool meddle(const QString& step)
    {
        const QString op = step.section(' ', 0, 0), name = step.section(' ', 1), file = at(name);
        const QStringList found = QDir(movies.path()).entryList({name}, QDir::Files | QDir::Hidden);
        stoppedAt = op == "cancel" || op == "exit" || op == "stop" ? rounds : stoppedAt;
        return op == "throw"                    ? throw std::bad_alloc()
               : op == "rm"                     ? found.size() == 1 && QFile::remove(at(found[0]))
               : op == "full"                   ? (files.diskLeft = 50000) > 0
               : op == "notrash"                ? (files.noTrash = true)
               : op == "unsafe"                 ? !(files.durableFailure = "disk on fire").isEmpty()
               : op == "cancel" || op == "stop" ? (join().cancel(op == "stop"), true)
               : op == "exit"                   ? (program->exit(Program::ExitKind::Save), true)
               : op == "change"                 ? !run("elsewhere") && (queue().clear(), true)
               : op == "mkdir"                  ? QDir().mkdir(file)
               : op == "cut" || op == "grow"    ? QFile::resize(file, op == "cut" ? 20010 : 60000)
               : op == "queue" ? queue().add({makeFile(movies.path(), name, 2097152, 7)}).isEmpty()
                               : op == "old" && makeFile(movies.path(), name, 3000000, 9) == file;
    }
};
// The bytes of a text written on one line: "|" stands for "\n", "^" for "\r", "~" for NUL.
const auto lines = [](const QString& text) {
    return text.toUtf8().replace('|', '\n').replace('^', '\r').replace('~', '\0');
};
// The settings file of these fields, joined by "|" (no line for "<none>" or one left out).
const auto iniFile = [](const QString& fields) {
    QByteArray out = "[Preferences]\n";
    const QStringList f = fields.split('|');
    for (int i = 0; i < kSettingCount && i < f.size(); ++i)
        out += f[i] == "<none>" ? "" : kSettingTable[i].key + ('=' + f[i].toUtf8()) + '\n';
    return out;
};
// Runs steps ("; ") in the program folder; returns "names | estimate | commandBits | shown...".
// Queue: "add FILE..." (n-th: n MiB unless "FILE=BYTES"; "-FILE": missing; "@FILE": as is),
// "remove|up|down|joined POS...", "clear", "sort COL", "run"/"end" a join, "names|folders|sizes",
// "folder" (Add's|stored), "mark ROW COL", "marks". Preferences: "tick KEY N", "text KEY [T]",
// "chunk N", "ok", "discard", "live", "record KEY", "set KEY T". Settings file: "file" (fields if
// the program's own; long: its size), "bad", "mkdir|pipe|big", "files"; "exit", "closebox".
QString programSteps(Core& c, const QString& steps)
{
    JoinQueue& q = c.queue();
    Preferences& p = c.prefs();
    const QString dir = c.programFolder(), cwd = QDir::currentPath(), ini = c.iniPath();
    const QLocale locale;
    QDir::setCurrent(dir);
    QAbstractItemModelTester tester(&q.model()); // its failures are the test's
    QString seen, said;
    QStringList w, paths;
    QList<int> rows;
    QSet<quint64> ids;
    QList<QPersistentModelIndex> marks;
    QHash<QString, Id> key;
    for (const SettingInfo& s : kSettingTable)
        key[s.key] = s.id;
    const auto show = [&](const QByteArray& b) {
        said = b.size() > 999 ? QString("%1 bytes").arg(b.size()) : QString(b).replace('\n', '|');
    };
    const auto file = [&] {
        const QByteArray b = !QFileInfo::exists(dir)    ? "<no folder>"
                             : !QFileInfo(ini).isFile() ? "<no file>"
                                                        : readAll(ini);
        QStringList f;
        for (const SettingInfo& s : kSettingTable)
            f << Profile::getString(b, "Preferences", s.key, "<none>");
        iniFile(f.join('|')) == b ? void(said = f.join('|')) : show(b);
    };
    const auto live = [&] {
        for (const SettingInfo& s : kSettingTable)
            said += s.kind == SettingInfo::Kind::Switch ? QString::number(p.checkState(s.id)) : "";
        said += '|' + p.folderText(Id::SourceDir) + '|' + p.folderText(Id::TargetDir) + '|' +
                QString::number(p.chunkSize());
    };
    const auto showMarks = [&] {
        for (const QPersistentModelIndex& m : marks)
            said += QString(" %1.%2").arg(m.row()).arg(m.column());
    };
    QObject::connect(c.program.get(), &Program::settingsNotSaved,
                     [&](const QString& m) { seen += " | " + m; });
    QObject::connect(c.program.get(), &Program::closing, [&] { seen += " | closing"; });
    const QHash<QString, std::function<void()>> ops = {
        {"add", [&] { said = q.add(paths); }},
        {"folder", [&] { said = q.addFolder() + '|' + *c.settings()[Id::SourceDir]; }},
        {"names", [&] { said = column(q.rows(), 0); }},
        {"folders", [&] { said = column(q.rows(), 1); }},
        {"sizes", [&] { said = column(q.rows(), 2); }},
        {"remove", [&] { q.remove(rows); }},
        {"joined", [&] { q.removeJoined(ids); }},
        {"clear", [&] { q.clear(); }},
        {"up", [&] { said = q.moveUp(rows); }},
        {"down", [&] { said = q.moveDown(rows); }},
        {"sort", [&] { q.sortByColumn(rows.value(0)); }},
        {"run", [&] { q.setJoinRunning(true); }},
        {"end", [&] { q.setJoinRunning(false); }},
        {"mark", [&] { marks << QPersistentModelIndex(q.model().index(rows[0], rows[1])); }},
        {"marks", showMarks},
        {"tick", [&] { p.setCheckState(key[w[0]], w.value(1).toInt()); }},
        {"text", [&] { p.setFolderText(key[w[0]], w.value(1)); }},
        {"chunk", [&] { p.setChunkSize(rows.value(0)), said = QString::number(p.chunkSize()); }},
        {"ok", [&] { c.program->store().storePreferences(&said); }},
        {"discard", [&] { p.discardWindowValues(); }},
        {"live", live},
        {"record", [&] { said = c.settings()[key[w[0]]].value_or("<none>"); }},
        {"set", [&] { c.settings()[key[w[0]]] = w.value(1); }},
        {"file", file},
        {"bad", [&] { show(readAll(ini + ".bad")); }},
        {"mkdir", [&] { QFile::remove(ini), QDir().mkdir(ini); }},
        {"pipe", [&] { QFile::remove(ini), makePipe(ini); }},
        {"big", [&] { writeFile(ini, QByteArray(Profile::kMaxFileSize + 1, ';')); }},
        {"files", [&] { said = filesIn(dir); }},
        {"exit", [&] { c.program->exit(Program::ExitKind::Save); }},
        {"closebox", [&] { c.program->exit(Program::ExitKind::WithoutSaving); }},
        {"locale", [&] { QLocale::setDefault(QLocale(w.value(0))); }}};
    for (const QString& step : steps.split("; ")) {
        w = step.split(' ');
        const QString op = w.takeFirst();
        rows.clear(), ids.clear(), paths.clear(), said.clear();
        for (int i = 0; i < w.size(); ++i) {
            ids << q.rows().value(rows.emplaceBack(w[i].toInt())).id;
            const QString name = w[i].section('=', 0, 0), size = w[i].section('=', 1);
            const bool asIs = name.startsWith('@'), missing = name.startsWith('-');
            if (op == "add" && !asIs && !missing && QDir(dir).mkpath(QFileInfo(name).path()))
                sized(dir, name, size.isEmpty() ? (i + 1) << 20 : size.toLongLong());
            paths << (asIs ? name.mid(1) : dir + '/' + name.mid(missing));
        }
        ops.value(op)(); // throws for an unknown one
        seen += said.isEmpty() ? "" : " | " + said.trimmed();
    }
    QDir::setCurrent(cwd), QLocale::setDefault(locale);
    return column(q.rows()) + " | " + q.estimate().section("  ", 1) + " | " + commandBits(q) + seen;
}

} // namespace

class TestCore : public QObject
{
    Q_OBJECT
    PosixFileSystem fs;
private slots:
    // Files f0, f1... (makeSources) joined into a target beside them, by the kernel and by the
    // loop. "N what": J::meddle after round N (f0: rounds 1-4, f1: 5-9), "d what" after the join;
    // "shm": files elsewhere; "unticked": RememberTarget; "twice": f0 queued twice. Shown:
    // told|caption|finalText ({t} target, {d} folder, {e} ENOENT's text), " => " what Delete
    // Source Files leaves: files | trash | queue | estimate | commands | message | rows after.
    void join_data()
    {
        QTest::addColumn<QString>("act");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QList<qint64>>("sizes"); // the chunk, then the files' sizes
        QTest::addColumn<qint64>("free");         // -1: unknown, the join goes on
        const auto row = [](const char* name, QString act, QString shown, QString target = "t",
                            QList<qint64> sizes = {10000, 35000, 45000, 15000}, qint64 free = -1) {
            for (const char* how : {"kernel", "read and write"})
                QTest::addRow("%s, %s", name, how) << act << shown << target << sizes << free;
        };
        const auto failed = [](const QString& what, int error = 0, const char* t = "not created") {
            return "|Joining Files...Failed!|Could not " + what +
                   (error ? ": " + reason(error) : "") + ".\nThe target file {t} was " + t + ".";
        };
        const QString done = "|Joining Files...Done!|File {t} has successfully been joined!",
                      cancelled = "|Joining Files...Cancelled!|Operation aborted by user",
                      full = "The drive you have selected does not have enough free space to "
                             "save the joined movie to.",
                      noSpace = full + "|Joining Files...|" + full,
                      again = " Please choose another target file.|Joining Files...|",
                      notSafe = " => f0 f1 f2 t |  | f0 f0 f1 f2 | 3.50 MB | 11111 | The joined "
                                "file {d}/t could not be made safe on disk: %1. No source file "
                                "was deleted. | 0";
        const qint64 gib3 = qint64(3) << 30, mb = 1000000, mib = 1048576;
        const QList<qint64> three = {10000, mib, mib / 2, mib};
        row("joined", "0 old t", done, "t", {40000, 39999, 40000, 40001, 0, 1, 120000, 2621447});
        row("3 GiB", "", done, "t", {70000, 1000, gib3}); // figures past 32 bits
        row("target removed, then replaced meanwhile", "0 old t|2 rm t|4 old t", done);
        row("cancelled, old target replaced", "0 old t|6 cancel", cancelled);
        row("stopped, keeping nothing: the old target kept", "0 old t|6 stop", cancelled);
        row("a name of 255 bytes", "", done, QString(85, QChar(0x3042))); // 85 of 3 bytes
        row("2,000 small files, cancelled", "100 cancel", cancelled, "t",
            QList<qint64>{10000} + QList<qint64>(2000, 1000)); // a round each: Cancel in between
        row("files on another file system", "shm", done); // no kernel copy there: read and write
        row("folder queued, old target kept", "0 old t|0 rm f1|0 mkdir f1",
            failed("open file {d}/f1", EISDIR, "left unchanged"));
        row("vanishes during the run", "1 rm f2", failed("open file {d}/f2", ENOENT));
        row("cut short during the run", "6 cut f1",
            failed("read file {d}/f1: it ended early, it was changed during the join"));
        row("grew during its own copy", "6 grow f1",
            failed("read file {d}/f1: it grew while it was read, it was changed during the join"));
        row("disk full, old target kept", "0 old t|0 full",
            failed("write to the target file {t}", ENOSPC, "left unchanged"));
        row("a folder put at the target's name", "2 mkdir t",
            failed("give the joined file the name {t}", EISDIR));
        row("target folder gone", "", failed("create the target file {t}", ENOENT), "gone/t");
        row("no memory in a pump", "2 throw", failed("get the memory to join into {t}", ENOMEM));
        row("dialog cancelled", "", "|Joining Files...|", "");
        row("a source", "", "The target file is one of the files to be joined." + again, "f1");
        row("target is a pipe", "", "The target {t} is not a regular file." + again, "pipe");
        row("free = need", "", noSpace, "t", QList<qint64>{10000} + QList<qint64>(20, 4000) << gib3,
            80000 + gib3); // exact lengths past 32 bits (20 of 4,000 bytes show as 0.00 MB)
        row("need + 1, queue changed", "0 change", done, "t", {10000, mb, mb, mb}, 3 * mb + 1);
        row("Exit during the copy", "2 exit", cancelled);
        // The target folder is remembered only with RememberTarget ticked, the root as "/".
        row("unticked", "0 rm f1|unticked", failed("read the size of file {d}/f1", ENOENT));
        row("cancelled at once, the root", "0 cancel", cancelled, "/reelbind-never-written");
        row("no trash", "twice|d notrash",
            done + " => t |  |  | 0.00 MB | 10001 | No trash takes these files:\n{d}/f0\n{d}/f1\n"
                   "{d}/f2\n\nDelete them for good? They cannot be brought back. | 0",
            "t", three);
        row("not durable", "twice|d unsafe", done + notSafe.arg("disk on fire"), "t", three);
        row("target replaced after", "twice|d old t",
            done + notSafe.arg("it is no longer the file the join wrote"), "t", three);
        row("f1 gone, f2 changed, x queued", "twice|d rm f1|d cut f2|d queue x",
            done + " => f2 t x | f0 | f1 f2 x | 3.50 MB | 11111 | These files could not be deleted:"
                   "\n{d}/f1: {e}\n{d}/f2: it was changed after it was joined, so it was kept | 0",
            "t", three);
    }
    void join()
    {
        QFETCH(QString, act);
        QFETCH(QString, shown);
        QFETCH(QString, target);
        QFETCH(QList<qint64>, sizes);
        QFETCH(qint64, free);
        const bool kernel = QByteArray(QTest::currentDataTag()).endsWith("kernel");
        const auto tidy = qScopeGuard([] { QFile::remove("/reelbind-never-written"); });
        J j;
        JoinSession& s = j.join();
        QTemporaryDir shm("/dev/shm/reelbind-test-XXXXXX");
        const QString dir = j.movies.path(), trash = emptyTrash() + "files/";
        s.byteCopy().setOptions({kernel, 1}), j.prefs().setChunkSize(sizes.takeFirst());
        j.prefs().setCheckState(Id::SaveTargetDir, !act.contains("unticked"));
        j.files.sparseOutputs = sizes.last() >= qint64(1) << 30; // gibibytes fill no disk
        j.files.setFreeSpace(free < 0 ? FileResult<qint64>(FileError::fromCode(EIO)) : free);
        QByteArray all;
        QStringList paths = makeSources(act == "shm" ? shm.path() : dir, sizes, all);
        if (act.startsWith("twice"))
            paths << paths[0], all.prepend(pattern(sizes[0], 1)), sizes.prepend(sizes[0]);
        j.queue().add(paths);
        target = target.isEmpty() || target.startsWith('/') ? target : j.at(target);
        QVERIFY(!target.endsWith("/pipe") || makePipe(target));
        const auto now = [&]() -> QByteArray { // past 1 GiB: up to the big file, then its marks
            QFile t(target);
            if (!QFileInfo(t).isFile() || !t.open(QIODevice::ReadOnly))
                return "<no file>";
            const qint64 big = t.size() < qint64(1) << 30 ? 0 : sizes.last();
            QByteArray got = t.read(t.size() - big);
            for (const qint64 at : big ? marksOf(big) : QList<qint64>())
                got += t.seek(t.size() - big + at) ? t.read(9) : "";
            return got;
        };
        QByteArray was = now(), ini = j.iniBytes();
        const QString out = QFileInfo(target).path(), before = *j.settings()[Id::TargetDir];
        const QString fds = filesIn("/proc/self/fd");
        const auto steps = [&](const QString& when) {
            for (const QString& step : act.split('|'))
                QVERIFY(step.section(' ', 0, 0) != when || j.meddle(step.section(' ', 1)));
        };
        j.afterRound = [&](int round) {
            steps(QString::number(round));
            QVERIFY(!j.program->isClosing() && j.iniBytes() == ini); // Exit waits for the end
            was = round == 0 ? now() : was;                          // an old target put there
        };
        QVERIFY(j.run(target));
        const Ending e = s.ending();
        const bool cancel = e == Ending::Cancelled,
                   checked = e == Ending::NoTarget || e == Ending::NoSpace;
        shown.replace("{t}", target).replace("{d}", dir).replace("{e}", reason(ENOENT));
        QCOMPARE(j.told + '|' + s.caption() + '|' + s.finalText(), shown.section(" => ", 0, 0));
        QCOMPARE(now(), e == Ending::Joined ? all
                        : cancel && j.rounds > 0 && !act.contains("stop")
                            ? all.left(j.last.batchDone)
                            : was);
        if (cancel) // it stops right after the round of the cancel
            QCOMPARE(j.rounds, j.stoppedAt);
        // Nothing left open or behind, events let in after each round; the target's folder kept
        // only when the checks let the join go on; commands back at the end; Exit saves.
        const QString kept = checked || act.contains("unticked") ? before : out;
        const QString phases = target.isEmpty() ? "125" : checked ? "1235" : "12345";
        QCOMPARE(joined(filesIn("/proc/self/fd"),
                        QDir(dir).entryList({".t.*"}, QDir::Files | QDir::Hidden).join(' '),
                        j.unpumped(), j.files.freeSpaceQueries.join(','), j.dialogFolder,
                        j.prefs().folderText(Id::TargetDir), *j.settings()[Id::TargetDir], j.phases,
                        j.commandsAtEnd + commandBits(j.queue()),
                        j.program->isClosing() && j.iniBytes() != ini),
                 joined(fds, "", 0, e == Ending::NoTarget ? "" : out, before, kept, kept, phases,
                        "0000011111", act.contains("exit")));
        qint64 n = 0, rounds = 0; // when joined: a round for each chunk, each tail
        for (const qint64 size : sizes)
            n += size, rounds += (size + j.prefs().chunkSize() - 1) / j.prefs().chunkSize();
        const JoinRecord& r = s.after().record();
        if (e == Ending::Joined)
            QCOMPARE(joined(j.total, j.rounds, j.started, j.last.batchDone, j.last.fileShown,
                            j.last.fileLength, r.read.size(), r.written.size,
                            j.files.identity(target).sameFile(r.written),
                            s.byteCopy().kernelCopied()),
                     joined(n, rounds, sizes.size(), n, sizes.last(), sizes.last(), sizes.size(), n,
                            true, kernel && act != "shm"));
        if (!shown.contains(" => "))
            return;
        steps("d");
        const AfterJoin::Deletion d = s.after().deleteSources();
        QString told = d.message; // and for good where no trash takes them
        if (!d.noTrash.isEmpty())
            told += s.after().deleteForGoodQuestion(d.noTrash) + s.after().deleteForGood(d.noTrash);
        const QString trashed = filesIn(trash);
        const QString left =
            joined(filesIn(dir), trashed, column(j.queue().rows()),
                   j.queue().estimate().section("  ", 1), commandBits(j.queue()), told);
        j.prefs().setCheckState(Id::ClearQue, 1), s.after().finish(); // ends with ClearQue ticked
        QCOMPARE(left + " | " + QString::number(j.queue().count()), shown.section(" => ", 1));
        QCOMPARE(readAll(trash + "f0"), trashed.isEmpty() ? "<missing>" : pattern(sizes[0], 1));
        QVERIFY(s.after().asksBeforeDelete());
    }
    // Sets found from their first part: "FILES (name or name=size) | ADDED | QUEUED => each set
    // found, its other parts (a gap)". Sparse files; "!" makes the folder unreadable.
    void partSets_data()
    {
        addRows({"VTS_01_0.VOB, VTS_01_1.VOB, VTS_01_2.VOB, VTS_01_3.VOB | VTS_01_1.VOB |  => "
                 "VTS_01_1.VOB: VTS_01_2.VOB, VTS_01_3.VOB",
                 "VTS_01_0.VOB, VTS_01_1.VOB | VTS_01_0.VOB |  => ",
                 "VTS_01_1.VOB, VTS_01_2.VOB, VTS_01_4.VOB | VTS_01_1.VOB |  => VTS_01_1.VOB: "
                 "VTS_01_2.VOB (VTS_01_3.VOB)",
                 "VTS_02_1.VOB, vts_02_2.vob | VTS_02_1.VOB |  => VTS_02_1.VOB: vts_02_2.vob",
                 "VTS_01_1.VOB, VTS_01_2.VOB, VTS_01_3.VOB | VTS_01_1.VOB | VTS_01_2.VOB => "
                 "VTS_01_1.VOB: VTS_01_3.VOB",
                 "VTS_01_1.VOB, VTS_01_2.VOB | VTS_01_1.VOB, VTS_01_2.VOB |  => ",
                 "! VTS_01_1.VOB, VTS_01_2.VOB | VTS_01_1.VOB |  => "},
                {"m.mpg.001=9, m.mpg.002=9, m.mpg.003=4 | m.mpg.001 |  => m.mpg.001: m.mpg.002, "
                 "m.mpg.003",
                 "m.001=9, m.002=8, m.003=4 | m.001 |  => ",
                 "m.000=9, m.001=9 | m.000 |  => m.000: m.001",
                 "f.part01.mkv, f.part02.mkv, f.part3.mkv | f.part01.mkv |  => f.part01.mkv: "
                 "f.part02.mkv",
                 "a CD1.avi, a CD2.avi, b-cd1.avi, b-cd2.avi, c_CD1.avi | a CD1.avi, b-cd1.avi, "
                 "c_CD1.avi |  => a CD1.avi: a CD2.avi; b-cd1.avi: b-cd2.avi",
                 "a (1 of 2).mpg, a (2 of 2).mpg, a (3 of 2).mpg | a (1 of 2).mpg |  => a (1 of "
                 "2).mpg: a (2 of 2).mpg",
                 "GOPR0123.MP4, GP010123.MP4, GP020123.MP4, GP010999.MP4 | GOPR0123.MP4 |  => "
                 "GOPR0123.MP4: GP010123.MP4, GP020123.MP4",
                 "GH010123.MP4, gh020123.mp4, GX010123.MP4 | GH010123.MP4 |  => GH010123.MP4: "
                 "gh020123.mp4",
                 "clip1.mpg, clip2.mpg | clip1.mpg |  => "});
    }
    void partSets()
    {
        const QStringList r = row().split(" => "), in = r[0].split(" | ");
        QTemporaryDir dir;
        TestFileSystem files;
        const auto paths = [&](const QString& names) { // "name=size, ...": their paths
            return names.split(", ", Qt::SkipEmptyParts)
                .replaceInStrings(QRegularExpression("^([^=]*).*"), dir.path() + "/\\1");
        };
        for (const QString& file : QString(in[0]).remove("! ").split(", "))
            sized(dir.path(), file.section('=', 0, 0), file.section('=', 1).toLongLong());
        files.unreadableFolder = in[0].startsWith('!') ? dir.path() : QString();
        QStringList found;
        for (const PartSets::Set& set : PartSets::find(paths(in[1]), paths(in[2]), files))
            found << QFileInfo(set.first).fileName() + ": " +
                         QStringList(set.others).replaceInStrings(dir.path() + '/', "").join(", ") +
                         (set.missing.isEmpty() ? "" : " (" + set.missing + ")");
        QCOMPARE(found.join("; "), r[1]);
    }
    // The question: each set's parts, cut after 15 lines, the gaps; Yes puts each set's parts
    // right after their first part.
    void partSetsQuestion()
    {
        QStringList splits, vobs = {"/v/VTS_01_2.VOB"};
        for (int i = 2; i <= 20; ++i)
            splits << QString("/m/a.%1").arg(i, 3, 10, QChar('0'));
        const QList<PartSets::Set> sets = {{"/m/a.001", splits, ""},
                                           {"/v/VTS_01_1.VOB", vobs, "VTS_01_3.VOB"}};
        QCOMPARE(PartSets::question(sets.mid(1)),
                 "VTS_01_1.VOB is the first part of a set. Its other parts lie in the same "
                 "folder:\nVTS_01_2.VOB\nVTS_01_3.VOB is missing.\n\nAdd the other parts to the "
                 "queue after their first part?");
        QCOMPARE(
            PartSets::question(sets).section('\n', 14), // a.001: and 14 of its 19 parts
            "a.014\na.015\n... and 7 more.\nVTS_01_3.VOB is missing.\n\nAdd the other parts to the "
            "queue after their first part?");
        QCOMPARE(PartSets::withOthers({"/x.mpg", "/v/VTS_01_1.VOB", "/m/a.001"}, sets).mid(0, 4),
                 QStringList({"/x.mpg", "/v/VTS_01_1.VOB", "/v/VTS_01_2.VOB", "/m/a.001"}));
    }
    // The speed line: its wording in two locales; due from 2 s, then at most twice a second;
    // a hiccup moves the speed a fifth of the way.
    void joinPace()
    {
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
        QStringList seen;
        for (const char* name : {"en_US", "de_DE"}) {
            QLocale::setDefault(QLocale(name));
            for (const qint64 s : {0, 45, 59, 60, 62, 63, 3597, 3599, 7530, 3600000})
                seen << JoinPace::duration(s);
            seen << JoinPace::line(85.3 * 1048576, qint64(80 * 85.3 * 1048576))
                 << JoinPace::line(0, 5);
        }
        QCOMPARE(seen.join('|'),
                 "0 s|45 s|59 s|1 min 0 s|1 min 0 s|1 min 5 s|59 min 55 s|1 h 0 min|"
                 "2 h 6 min|1,000 h 0 min|85.3 MB/s, about 1 min 20 s left|0.0 MB/s|"
                 "0 s|45 s|59 s|1 min 0 s|1 min 0 s|1 min 5 s|59 min 55 s|1 h 0 min|"
                 "2 h 6 min|1.000 h 0 min|85,3 MB/s, about 1 min 20 s left|0,0 MB/s");
        QLocale::setDefault(QLocale("en_US"));
        constexpr qint64 M = 1 << 20;
        JoinPace pace;
        pace.start(1000 * M);
        QStringList lines;
        for (const auto& [ms, done] :
             std::initializer_list<std::pair<qint64, qint64>>{{1999, 100 * M},
                                                              {2000, 200 * M},
                                                              {2400, 240 * M},
                                                              {2500, 250 * M},
                                                              {3000, 250 * M},
                                                              {3500, 350 * M}})
            lines << pace.update(done, ms).value_or("-");
        QCOMPARE(lines.join('|'), "-|100.0 MB/s, about 8 s left|-|100.0 MB/s, about 8 s left|"
                                  "80.0 MB/s, about 10 s left|104.0 MB/s, about 7 s left");
    }
    // Sharing, through the seam: tried at block boundaries until a source ends off one; a refusal
    // copies, another error fails; not across file systems; Cancel before the next source.
    // "SIZES | ANSWERS (0: shared) | ACT => the target's end at each try => the ending".
    void sharingBlocks_data()
    {
        addRows({"8192 4096 5000 | 0 0 0 |  => 0 8192 12288 => done",
                 "5000 3192 4096 | 0 0 |  => 0 => done",
                 "4096 4096 4096 4096 4096 4096 | 22 95 18 25 9 1 |  => 0 4096 8192 12288 16384 "
                 "20480 => done",
                 "4096 4096 | 0 28 |  => 0 4096 => write to the target file {t}: No space left on "
                 "device",
                 "4096 4096 | 0 0 | cancel => 0 => cancelled",
                 "4096 4096 | 0 0 | shm =>  => done"});
    }
    void sharingBlocks()
    {
        const QStringList r = row().split(" => "), in = r[0].split(" | ");
        const auto numbers = [](const QString& text) {
            QList<qint64> n;
            for (const QString& x : text.split(' ', Qt::SkipEmptyParts))
                n << x.toLongLong();
            return n;
        };
        J j;
        QTemporaryDir shm("/dev/shm/reelbind-test-XXXXXX");
        const QList<qint64> sizes = numbers(in[0]), at = numbers(r[1]);
        for (const qint64 answer : numbers(in[1]))
            j.files.shareAnswers << int(answer);
        QByteArray all;
        const QStringList paths =
            makeSources(in[2] == "shm" ? shm.path() : j.movies.path(), sizes, all);
        j.queue().add(paths);
        // The free-space check counts the sources it will share as needing nothing.
        bool stop = false;
        JoinChecks checks(j.files, j.pump, stop);
        qint64 need = 0, end = 0;
        for (const qint64 size : sizes)
            need += at.contains(end) ? 0 : size, end += size;
        j.files.folderBlockSize = 4096;
        for (const qint64 free : {need, need + 1})
            QVERIFY(in[2] == "cancel" ||
                    (j.files.setFreeSpace(free),
                     checks.enoughSpace(j.movies.path(), paths) == (free > need)));
        j.afterRound = [&](int n) { in[2] == "cancel" && n == 1 ? j.join().cancel() : void(); };
        const QString t = j.at("t"), done = "File " + t + " has successfully been joined!";
        QVERIFY(j.run(t));
        QCOMPARE(joined(j.files.sharedAt == at,
                        r[2] == "done" ? j.join().finalText() == done
                        : r[2] == "cancelled"
                            ? j.join().ending() == Ending::Cancelled
                            : j.join().finalText().contains(QString(r[2]).replace("{t}", t)),
                        readAll(t) == (r[2] == "done"        ? all
                                       : r[2] == "cancelled" ? all.left(4096)
                                                             : "<missing>")),
                 joined(true, true, true));
    }
    // The look at the kinds reads each file once; gone, empty, a pipe: no reason to ask, no wait;
    // No ends the join. A slow disk lets events in; a cancel in the look or later checks ends all.
    void kindsOfTheQueuedFiles()
    {
        J j;
        const QStringList names = {"a.mp4", "b.mpg", "empty.mpg", "gone.mpg", "pipe.mpg", "a.mp4"};
        const QStringList bytes = {"5012:6674797069736F6D@4", "104:000001BA", "", "", ""};
        for (int i = 0; i < names.size(); ++i) // "ftypisom", a pack header
            QVERIFY((i > 4 || writeFile(j.at(names[i]), bytesOf(bytes[i]))) &&
                    j.queue().add({j.at(names[i])}).isEmpty());
        QVERIFY(QFile::remove(j.at("gone.mpg")) && QFile::remove(j.at("pipe.mpg")) &&
                makePipe(j.at("pipe.mpg")) && j.run("never chosen"));
        QCOMPARE(
            joined(j.asked.section('\n', 1, 4), j.files.opened.join(' '), j.phases + j.dialogFolder)
                .replace(j.movies.path(), "{d}"),
            "{d}/a.mp4 (MP4/MOV)\n{d}/a.mp4 (MP4/MOV)\n{d}/b.mpg (MPEG program stream)\n | "
            "{d}/a.mp4 {d}/b.mpg {d}/empty.mpg {d}/gone.mpg {d}/pipe.mpg | 15");
        for (int i = 0; i < 64; ++i)
            j.queue().add({makeFile(j.movies.path(), QString("more%1.mpg").arg(i), 1)});
        j.files.lookDelayMs = 1, j.answer = Choice::Bytes;
        const auto cancelSoon = [&] { QTimer::singleShot(0, [&] { j.join().cancel(); }); };
        cancelSoon(); // comes in with the first events of the look
        for (const QString want : {"15 | 63 | ", "1235 | 69 | These"}) { // the look stops at row 64
            j.files.opened.clear(), j.asked = j.phases = "";
            QVERIFY(j.run(j.at("t.mpg")) && j.join().cancelled() && j.told.isEmpty() &&
                    j.join().ending() == Ending::NoTarget && !QFile::exists(j.at("t.mpg")));
            QCOMPARE(joined(j.phases, j.files.opened.size(), j.asked.left(5)), want);
            j.inDialog = cancelSoon; // then in the checks after the save dialog
        }
    }
    // MP4/MOV and Matroska/WebM parts: "RECIPE NAME, ... => answer (movie, bytes, no) => what
    // the question names (the difference or what is left out) => the ending's text".
    void oneMovie_data()
    {
        addRows({"avc a.mp4, avc b.mp4, avc c.mp4 => movie =>  => done",
                 "mov a.mov, mov b.mov => movie =>  => done",
                 "webm a.webm, webm b.webm => movie =>  => done",
                 "mkv a.mkv, mkv b.mkv, mkv c.mkv => movie =>  => done",
                 "phone a.mp4, phone b.mp4 => movie => cannot carry: data (tmcd). => done",
                 "avc a.mp4, big b.mp4 => no => b.mp4: 320x240 pictures; the first part has "
                 "160x120. => ",
                 "avc a.mp4, mute b.mp4 => no => b.mp4: pictures only; the first part has pictures "
                 "and sound. => ",
                 "avc a.mp4, bare b.mp4 => no => b.mp4: it cannot be read as a movie ( => ",
                 "avc a.mp4, cut b.mp4 => movie =>  => Could not read file {d}/b.mp4 as a movie: ",
                 "avc a.mp4, avc b.mp4, avc c.mp4 => cancel =>  => Operation aborted by user",
                 "avc a.mp4, avc b.mp4 => bytes =>  => done",
                 "avc a.mp4, fifo b.mp4 => no =>  => Could not open file {d}/b.mp4: "});
    }
    void oneMovie()
    {
        const QStringList r = row().split(" => "), recipes = r[0].split(", ");
        J j;
        const QString dir = j.movies.path(), t = j.at("t");
        for (int n = 0; n < recipes.size(); ++n)
            if (!makeMovie(dir, recipes[n], n))
                QSKIP("ffmpeg cannot make these movies here: the case was not run");
        QStringList parts;
        for (const QString& recipe : recipes)
            parts << j.at(recipe.section(' ', 1));
        j.queue().add(parts);
        for (const QString& part : parts) // a pipe put in a queued part's place
            QVERIFY(!r[0].contains("fifo " + QFileInfo(part).fileName()) ||
                    (QFile::remove(part) && makePipe(part)));
        const QByteArray old = readAll(makeFile(dir, "t", 100, 3));
        j.answer = r[1] == "movie" || r[1] == "cancel" ? Choice::OneMovie
                   : r[1] == "bytes"                   ? Choice::Bytes
                                                       : Choice::Cancel;
        j.afterRound = [&](int round) {
            r[1] == "cancel" && round == 1 ? j.join().cancel() : void();
        };
        QVERIFY(j.run(t));
        // The question offers a movie only where one can be made, and says why not or what it
        // leaves out; the save dialog then offers the parts' container first.
        const QString ext = recipes[0].section('.', -1);
        QCOMPARE(joined(j.offered, j.asked.contains(r[2]),
                        j.filter.section(' ', 0, 0).replace("Matroska", "MKV").toLower()),
                 joined(r[1] != "no", true, r[1] == "bytes" || r[1] == "no" ? "" : ext));
        QString ending = r[3] == "done" ? "File {t} has successfully been joined!" : r[3];
        QVERIFY2(('|' + j.join().finalText())
                     .startsWith('|' + ending.replace("{t}", t).replace("{d}", dir)),
                 qPrintable(j.join().finalText()));
        if (r[3] != "done" || r[1] == "bytes") { // the old target kept, nothing left behind
            QCOMPARE(readAll(t), r[1] == "bytes" ? readAll(parts[0]) + readAll(parts[1]) : old);
            QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System).size(),
                     parts.size() + 1);
            return;
        }
        if (r[0].count("avc") == 3)
            QCOMPARE(j.asked.replace(dir, "{d}"),
                     "These files will not play as one movie when joined byte by byte:\n{d}/a.mp4 "
                     "(MP4/MOV)\n{d}/b.mp4 (MP4/MOV)\n{d}/c.mp4 (MP4/MOV)\n\nJoin as One Movie "
                     "copies their pictures and sound unchanged into one new file that plays all "
                     "parts. With Join Bytes Anyway the joined file will most likely play only its "
                     "first part.");
        // The movie: as long as its parts within a frame, each packet of theirs in order, turned
        // as the first part was, a chapter for each named after it, decodable throughout.
        const auto figures = [](const QString& movie) { // length, packets, "type rotation"
            const QJsonObject o =
                QJsonDocument::fromJson(probe("ffprobe", {"-count_packets", "-show_chapters", "-of",
                                                          "json", "-show_entries",
                                                          "format=duration:stream=codec_type,nb_"
                                                          "read_packets:stream_side_data=rotation",
                                                          movie}))
                    .object();
            QList<qint64> n;
            QStringList s;
            for (const QJsonValue v : o["streams"].toArray())
                if (v["codec_type"] == "video" || v["codec_type"] == "audio")
                    n << v["nb_read_packets"].toString().toLongLong(),
                        s << v["codec_type"].toString() + ' ' +
                                 QString::number(v["side_data_list"][0]["rotation"].toInt());
            return std::make_tuple(o["format"]["duration"].toString().toDouble(), n, s,
                                   o["chapters"].toArray());
        };
        auto [sum, packets, streams, none] = figures(parts[0]);
        for (const QString& part : parts.mid(1)) {
            const auto [length, n, s, c] = figures(part);
            sum += length;
            for (int i = 0; i < n.size() && i < packets.size(); ++i)
                packets[i] += n[i];
        }
        const auto [length, n, s, chapters] = figures(t);
        QCOMPARE(joined(qAbs(length - sum) < 0.04, n == packets, s.join(','), chapters.size(),
                        chapters.last()["tags"]["title"].toString(),
                        probe("ffmpeg", {"-i", t, "-f", "null", "-"}),
                        payloads({t}) == payloads(parts), j.join().after().record().read.size()),
                 joined(true, true, streams.join(','), parts.size(),
                        QFileInfo(parts.last()).completeBaseName(), "", true, parts.size()));
    }
    // Joins on btrfs and XFS images (as root; else skipped): whole blocks shared (every extent,
    // under 1 MiB of new space), an odd first part (the rest copied), an odd last one, a file
    // system only sharing fits, Cancel between two sources. Run by the "cow" test alone.
    void sharedBlocksOnBtrfsAndXfs_data() { addRows({"btrfs", "xfs"}); }
    void sharedBlocksOnBtrfsAndXfs()
    {
        const QString fs = row();
        if (qEnvironmentVariableIsEmpty("REELBIND_COW"))
            QSKIP("run by the cow test");
        QTemporaryDir dir;
        const QString image = dir.filePath("fs.img"), mnt = dir.filePath("mnt");
        constexpr qint64 M = 1 << 20;
        QFile img(image);
        if (!img.open(QIODevice::WriteOnly) || !img.resize(512 * M) || !QDir().mkdir(mnt) ||
            QProcess::execute("mkfs." + fs, {"-q", "-f", image}) != 0 ||
            QProcess::execute("mount", {"-o", "loop", image, mnt}) != 0)
            QSKIP(qPrintable("cannot make and mount a " + fs + " image here: not run"));
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {mnt}); });
        const auto freeBytes = [&] {
            struct statvfs st;
            return ::sync(), ::statvfs(QFile::encodeName(mnt), &st) == 0
                                 ? qint64(st.f_bavail) * qint64(st.f_frsize)
                                 : -1;
        };
        const auto allShared = [](const QString& file) { // every extent, as filefrag lists them
            const QStringList lines = QString(probe("filefrag", {"-v", file}))
                                          .split('\n')
                                          .filter(QRegularExpression("^\\s*\\d+:"));
            return !lines.isEmpty() && lines.filter("shared").size() == lines.size();
        };
        using Case = std::tuple<QList<qint64>, QString, QString>; // sizes, act, each shared
        for (const auto& [sizes, act, expected] :
             {Case{{4 * M, 8 * M, 2 * M}, "", "true true true"},
              {{4 * M + 100, 8 * M}, "", "true false"},
              {{4 * M, M + 123}, "", "true true"},
              {{96 * M, 96 * M}, "full", "true true"},
              {{4 * M, 4 * M}, "cancel", "true"}}) {
            J j;
            QTemporaryDir sub(mnt + "/case-XXXXXX");
            QByteArray all;
            j.queue().add(makeSources(sub.path(), sizes, all));
            QFile filler(sub.filePath("filler")); // leaves 48 MiB: too little for a copy
            QVERIFY(act != "full" ||
                    (filler.open(QIODevice::WriteOnly) &&
                     ::posix_fallocate(filler.handle(), 0, freeBytes() - 48 * M) == 0));
            j.files.setFreeSpace(freeBytes());
            const qint64 before = freeBytes();
            j.afterRound = [&](int round) {
                act == "cancel" && round == 1 ? j.join().cancel() : void();
            };
            QVERIFY(j.run(sub.filePath("t")));
            QStringList shared;
            for (const bool s : j.join().byteCopy().sharedSources())
                shared << joined(s);
            const bool whole = !expected.contains("false"), cancel = act == "cancel";
            QCOMPARE(joined(fs + " " + shared.join(' '), int(j.join().ending()),
                            readAll(sub.filePath("t")) == (cancel ? all.left(4 * M) : all),
                            !whole || allShared(sub.filePath("t")),
                            !whole || before - freeBytes() < M),
                     joined(fs + " " + expected, int(cancel ? Ending::Cancelled : Ending::Joined),
                            true, true, true));
        }
    }
    // Real movies (made by ffmpeg) are told apart by their first bytes; No writes nothing.
    void moviesMadeByFfmpeg()
    {
        J j;
        for (const QString clip : {"holiday.mpg mpeg1video mpeg", "beach.mp4 mpeg4 mp4"}) {
            const QStringList c = clip.split(' ');
            if (QProcess::execute("ffmpeg", {"-nostdin", "-v", "error", "-f", "lavfi", "-i",
                                             "testsrc=duration=1:size=160x120:rate=25", "-c:v",
                                             c[1], "-f", c[2], j.at(c[0])}) != 0)
                QSKIP("ffmpeg cannot make movies here: the case was not run");
            QVERIFY(j.queue().add({j.at(c[0])}).isEmpty());
        }
        QVERIFY(j.run(j.at("t.mpg")) && j.join().ending() == Ending::NoTarget);
        QCOMPARE(j.asked.section('\n', 1, 3).replace(j.movies.path(), "{d}"),
                 "{d}/beach.mp4 (MP4/MOV)\n{d}/holiday.mpg (MPEG program stream)\n");
        QCOMPARE(filesIn(j.movies.path()), "beach.mp4 holiday.mpg");
    }
    // A source as target through a second path (FUSE): no check sees it, yet nothing is lost.
    void sourceThroughASecondPath()
    {
        J j;
        BindView view(j.movies.path());
        MOUNT_OR_SKIP(view);
        QByteArray joined;
        j.queue().add(makeSources(j.movies.path(), {30000, 25000}, joined));
        QVERIFY(j.run(view.filePath("f1")) && j.join().ending() == Ending::Joined);
        QCOMPARE(j.join().after().deleteSources().message,
                 "These files could not be deleted:\n" + j.at("f1") +
                     ": it was changed after it was joined, so it was kept");
        QCOMPARE(readAll(j.at("f1")), joined);
    }
    // A join killed in its middle leaves nothing where a file can be unnamed (ext4); elsewhere
    // (FUSE) its temporary file stays until the next join there, which keeps a file still locked
    // by its writer and names not its own.
    void killedJoinLeavesNothing()
    {
        for (const bool fuse : {false, true}) {
            J j;
            BindView view(fuse ? j.movies.path() : "/nowhere");
            if (fuse)
                MOUNT_OR_SKIP(view);
            const QString dir = fuse ? view.path() : j.movies.path(), t = dir + "/t";
            const auto all = [&] { // the random part of a temporary name as "?"
                const QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden);
                return names.join(' ').replace(QRegularExpression("reelbind-\\w{6}"), "reelbind-?");
            };
            QByteArray joined;
            j.queue().add(makeSources(dir, {30000, 25000}, joined));
            const QByteArray old = readAll(makeFile(dir, "t", 5000, 9));
            const pid_t child = ::fork();
            if (child == 0) {
                j.afterRound = [](int round) { round == 2 ? ::raise(SIGKILL) : 0; };
                ::_exit(j.run(t) ? 3 : 4);
            }
            int status = 0;
            QVERIFY(::waitpid(child, &status, 0) == child && WIFSIGNALED(status));
            QCOMPARE(all(), fuse ? ".t.reelbind-? f0 f1 t" : "f0 f1 t");
            QCOMPARE(readAll(t), old);
            QFile locked(makeFile(dir, ".x.reelbind-abcdef", 10));
            QVERIFY(locked.open(QIODevice::ReadOnly) && ::flock(locked.handle(), LOCK_EX) == 0);
            makeFile(dir, ".x.abcdef", 10);
            QVERIFY(j.run(t) && j.join().ending() == Ending::Joined && readAll(t) == joined);
            QCOMPARE(all(), ".x.abcdef .x.reelbind-? f0 f1 t");
        }
    }
    // "first bytes (bytesOf) => kind". MP3 frames then none, a frame of another rate, MPEG 2, a
    // forbidden rate, AAC; MP4 boxes at 4, not at 8; RIFF of AVI, WAVE, CDXA; ASF, a byte wrong.
    void kindOfAFile_data()
    {
        addRows({"2048:000001BA => MPEG program stream", "2048:000001B3 => MPEG video stream",
                 "2048:000001B9 => unknown", "000001 => unknown", "4096:47@0,376 => unknown",
                 "4096:47@0,188,376 => MPEG transport stream", "300:47@0,188 => unknown",
                 "4096:47@4,196,388 => M2TS transport stream", "4096:47@4,196 => unknown",
                 "1000:49443304 => MP3 audio", "FFFB9000*417*9 => MP3 audio",
                 "FFFB9000*417*1 +400 => unknown", "FFFB9000*417*1 FFFB9400 => unknown",
                 "FFF39000*261*1 => MP3 audio", "FFFBF000*417*3 => unknown",
                 "FFF15080*417*3 => unknown", "200:4F676753 => Ogg"},
                {"64:66747970@4 => MP4/MOV", "64:77696465@4 => MP4/MOV", "64:66747970@8 => unknown",
                 "64:1A45DFA3 => Matroska/WebM", "64:5249464610000000415649204C495354 => AVI",
                 "64:524946461000000057415645666D7420 => WAV",
                 "64:524946461000000043445841666D7420 => unknown", "64:464C560105 => FLV",
                 "64:3026B2758E66CF11A6D900AA0062CE6C => ASF/WMV",
                 "64:3026B2758E66CF11A6D900AA0062CE6D => unknown", " => unknown"});
    }
    void kindOfAFile()
    {
        QCOMPARE(MovieKind::name(MovieKind::identify(bytesOf(row().section(" => ", 0, 0)))),
                 row().section(" => ", 1));
    }
    // The queue's kinds (codes in Kind's order; "-": none known, "KIND*N": N files of a kind) > the
    // question, each file named by its position, the outcome shortened: "index" (the kinds keep an
    // index or a length), "kinds" (they differ); "": nothing is asked. A long queue names 15 files.
    void joinQuestion_data()
    {
        addRows({"ps ps ps > ", "ps - - > ", "mp4 - - - > ", "mp4 > ", "- - > ",
                 "mp3 - mp3 ogg > 0 2 3 kinds", "ps es > 0 1 kinds", "ts m2ts ts > 0 1 2 kinds",
                 "mp4 mp4 > 0 1 index", "- mp4 > 1 index", "ps ps mkv ps > 2 0 1 3 index",
                 "avi - wav > 0 2 index", "flv asf > 0 1 index"},
                {"mkv*15 > 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 index",
                 "mkv*40 > 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 ... and 25 more. index"});
    }
    void joinQuestion()
    {
        const auto codes = QString("- ps es ts m2ts mp3 ogg mp4 mkv avi wav flv asf").split(' ');
        QList<MovieKind::Queued> files;
        for (const QString& code : row().section(" > ", 0, 0).split(' ', Qt::SkipEmptyParts))
            for (int n = qMax(1, code.section('*', 1).toInt()); n > 0; --n)
                files.append({QString("/movies/clip%1.mkv").arg(files.size()),
                              MovieKind::Kind(codes.indexOf(code.section('*', 0, 0)))});
        QString question = MovieKind::joinQuestion(files);
        for (int i = 0; i < files.size(); ++i) // each named as the user reads it
            question.replace(files[i].path + " (" + MovieKind::name(files[i].kind) + ")",
                             QString::number(i));
        QCOMPARE(MovieKind::questionTitle(), "Join Files?");
        const QString
            head = "These files will not play as one movie when joined byte by byte:\n",
            index = "\n\nThe joined file will most likely play only its first part, because files "
                    "of these kinds keep an index or a length of their own.\n\nJoin them anyway?",
            kinds = "\n\nThe joined file will most likely stop playing where the first kind of "
                    "file ends.\n\nJoin them anyway?";
        question.replace(head, "").replace(index, " index").replace(kinds, " kinds");
        QCOMPARE(question.replace('\n', ' '), row().section(" > ", 1));
    }
    // The status window: "bar width | steps > shown". "bT" a batch of T bytes, "fL" a file of L,
    // "cD/S" a round (file bytes done/shown), "e" the end show "file% batch% fileBar batchBar
    // changed"; "s0" starts frames, "mITEMS" marks, "tK/MS" takes a frame K kFrameMs + MS ms
    // after 0 (shows items painted), "x" stops. Items: l file line, p P percentages, b B bars.
    // Nothing shows as changed until a visible step (a whole percent, a pixel) is crossed.
    void progress_data()
    {
        addRows(
            {"8 | b1024 f1024 c4/0 c7/4 c101/96 c128/101 c1018/1014 c1019/1018 c1024/1024 e > "
             "0% 0% 0 0 -, 0% 0% 0 0 -, 0% 0% 0 0 -, 0% 1% 0 0 P, 9% 10% 0 0 pP, "
             "10% 13% 125 125 pPbB, 99% 99% 994 994 pPbB, 99% 100% 994 994 P, "
             "100% 100% 1000 1000 pbB, 100% 100% 0 0 bB",
             // Past 32 bits; a file of no bytes; nothing to copy at all.
             "1 | b8589934592 f0 f8589934592 c4294967296/0 c8589934592/8589934592 e > 0% 0% 0 0 -, "
             "0% 0% 0 0 -, 0% 0% 0 0 -, 0% 50% 0 0 P, 100% 100% 1000 1000 pPbB, 100% 100% 0 0 bB",
             "10 | b0 f0 e > 0% 0% 0 0 -, 0% 0% 0 0 -, 100% 100% 0 0 pP",
             // A new file empties its bar; cancelled, the file shows how far it was copied.
             "200 | b4096 f2048 c512/0 c2048/2048 f2048 c512/0 e > 0% 0% 0 0 -, 0% 0% 0 0 -, "
             "0% 13% 250 125 PbB, 100% 50% 1000 500 pPbB, 100% 50% 0 500 b, 0% 63% 250 625 pPbB, "
             "25% 63% 0 0 pbB",
             // Frames: none while off, unchanged or before kFrameMs passed; changes add up.
             "100 | mpl t0 s0 ml t1/-1 b4096 f4096 c1024/0 t1/1 t1/2 mb t2 t2/2 e mB x t10 > -, -, "
             "0% 0% 0 0 -, 0% 0% 0 0 -, 0% 25% 250 250 PbB, lPbB, -, -, b, 25% 25% 0 0 pbB, -"});
    }
    void progress()
    {
        using P = ProgressThrottle;
        const int items[] = {P::FileLine, P::FilePercent, P::BatchPercent, P::FileBar, P::BatchBar};
        const auto lettersOf = [&](int bits) {
            QString s;
            for (int i = 0; i < 5; ++i)
                s += bits & items[i] ? QString("lpPbB")[i] : QChar();
            return s.remove(QChar()).isEmpty() ? "-" : s;
        };
        P p;
        p.setBarWidth(row().section(" | ", 0, 0).toInt());
        JoinFigures f;
        QStringList seen;
        for (const QString& step : row().section(" | ", 1).section(" > ", 0, 0).split(' ')) {
            const qint64 n = step.mid(1).section('/', 0, 0).toLongLong(),
                         m = step.section('/', 1).toLongLong(), ms = n * P::kFrameMs + m;
            int marked = 0;
            for (int i = 0; i < 5; ++i)
                marked |= step.indexOf(QString("lpPbB")[i], 1) > 0 ? items[i] : 0;
            const char what = step[0].toLatin1();
            const int changed =
                what == 'b'   ? p.batchStarted(f.batchTotal = n)
                : what == 'f' ? (f.fileLength = n, f.fileDone = f.fileShown = 0, p.fileStarted(f))
                : what == 'c'
                    ? (f.batchDone += n - f.fileDone, f.fileDone = n, f.fileShown = m, p.copied(f))
                : what == 'e' ? p.ended()
                : what == 's' ? (p.startFrames(ms), -1)
                : what == 'm' ? (p.markChanged(marked), -1)
                : what == 'x' ? (p.stopFrames(), -1)
                              : (seen << lettersOf(p.takeFrame(ms)), -1);
            if (changed >= 0)
                seen << QString("%1 %2 %3 %4 %5")
                            .arg(p.filePercent(), p.batchPercent(), QString::number(p.fileBar()),
                                 QString::number(p.batchBar()), lettersOf(changed));
        }
        QCOMPARE(seen.join(", "), row().section(" > ", 1));
    }
    // "text|delimiter|lastInStr|leftOfLast|rightOfLast"; "~": NUL, as in a dialog's answer.
    void paths_data()
    {
        addRows({"/movies/clip1.mpg|/|8|/movies|clip1.mpg", "C:\\Movies\\|\\|10|C:\\Movies|",
                 "/|/|1||", "//tarvik.ini|/|2|/|tarvik.ini", "clip1.mpg|~|0|<throws>|clip1.mpg",
                 "a///|/|4|a//|", "C:/Movies/clip.mpg|\\|0|<throws>|C:/Movies/clip.mpg",
                 "aXbxc|x|4|aXb|c", "/Filme/Käse/übung.mpg|/|12|/Filme/Käse|übung.mpg",
                 "/movies~a.mpg~b.mpg|~|14|/movies~a.mpg|b.mpg", "|/|0|<throws>|", "|~|0|<throws>|",
                 "ab|ab|1||", "abab|ab|3|ab|", "ab||0|<throws>|ab"});
    }
    void paths()
    {
        const QString row = ::row().replace(u'~', QChar(0));
        const QString text = row.section(u'|', 0, 0), delim = row.section(u'|', 1, 1);
        QString left = "<throws>";
        try {
            left = StrFunc::leftOfLast(text, delim);
        } catch (const std::invalid_argument&) {
        }
        QCOMPARE(text + '|' + delim + '|' + QString::number(StrFunc::lastInStr(text, delim)) + '|' +
                     left + '|' + StrFunc::rightOfLast(text, delim),
                 row);
    }
    // "content (lines()) => k in A" (" @S": in S, " #N": into N characters) or "content :=
    // value of k in A (<none>: none) => content after". The last write keeps every other byte.
    void profile_data()
    {
        addRows({"^||[A]^^||^j=1^k=6 => 6", "[a]|K=6| => 6", " \t[ A ] \t|\t k \t=  6 \t| => 6",
                 "[Ärger]|k=1| => <default> @ärger", "[A]b]|k=1| => 1 @A]b", "[A]|[B|k=1| => 1",
                 "[A]|k = b = c| => b = c", "[A]|k=1 ;x| => 1 ;x", "[A]|;k=1|k=2| => 2",
                 "k=0|[A]|x=1| => <default>", "[B]|k=1| => <default>",
                 "[A]|a=1|[B]|k=2| => <default>"},
                {"[A]|k=| => ", "[A]|k=1|[a]|k=2| => 1", "[A]|j=1|[a]|k=3| => <default>",
                 "[A]|K=1|k=2| => 1", "[A]|k = \" a \"| =>  a ", "[A]|k='b'| => b",
                 "[A]|k=\"\"| => ", "[A]|k=\"abc| => \"abc", "[A]|k=\"abc'| => \"abc'",
                 "[A]|k=/a~b| => /a", "\xef\xbb\xbf[A]|k=1| => 1", "[A]|k=abcdef| => abc #4"},
                {" := v => [A]|k=v|", "[B]|k=1| := v => [B]|k=1|[A]|k=v|",
                 "[B]|k=1 := v => [B]|k=1|[A]|k=v|", "[A]|  K =  v \t| := v => [A]|  K =  v \t|",
                 "[A]|;n|||[B]| := v => [A]|;n|k=v|||[B]|", "[A]||[B]| := v => [A]|k=v||[B]|",
                 "[A]|a=1 := v => [A]|a=1|k=v|", "[A]|k=1| :=  => [A]|k=|",
                 "[A]| := /Käse=y ;z => [A]|k=/Käse=y ;z|", "[A]| :=   \t v w  => [A]|k=v w |",
                 "[A]|k=1|j=2| := a^|b|c => [A]|k=a  b c|j=2|",
                 "[A]|k=1|k=2|[a]|k=3| := v => [A]|k=v|k=2|[a]|k=3|"},
                {"[A]|a=1|K=2|b=3| := <none> => [A]|a=1|b=3|", "[A]|k=2|[B]| := <none> => [A]|[B]|",
                 "[A]|a=1| := <none> => [A]|a=1|", "[B]|k=1| := <none> => [B]|k=1|",
                 "[A]^|a=1 := v => [A]^|a=1^|k=v^|", "[A]|a=1^| := v => [A]|a=1^|k=v|",
                 "[A]^a=1^ := v => [A]^a=1^k=v|",
                 "; c \t^|^|x^|[O]  x^|k = \"q\"^|^|[a]^|  U=keep  ^|  K = 1 \t^|\t^|[T] := v => "
                 "; c \t^|^|x^|[O]  x^|k = \"q\"^|^|[a]^|  U=keep  ^|  K = v^|\t^|[T]"});
        // Cut after the quotes go, in whole characters.
        QTest::newRow("254 d") << "[A]|k=\"" + QString(254, 'd') + "\"| => " + QString(254, 'd');
        QTest::newRow("254 ä") << "[A]|k=" + QString(300, u'ä') + " => " + QString(254, u'ä');
    }
    void profile()
    {
        QFETCH(QString, row);
        const QByteArray in = lines(row.section(" => ", 0, 0).section(" := ", 0, 0));
        const QString want = row.section(" => ", 1),
                      value = row.section(" := ", 1).section(" =>", 0, 0);
        const Profile::Value v = value == "<none>" ? Profile::Value() : QString(lines(value));
        if (row.contains(" := "))
            QCOMPARE(Profile::applyWrite(in, "A", "k", v), lines(want));
        else
            QCOMPARE(Profile::getString(in, want.contains(" @") ? want.section(" @", 1) : "A", "k",
                                        "<default>",
                                        want.contains(" #") ? want.section(" #", 1).toInt() : 255),
                     want.section(QRegularExpression(" [@#]"), 0, 0));
    }
    // Random files and writes: a write reads back, again changes nothing, other keys stay.
    void profileAtRandom()
    {
        QRandomGenerator rng(20261207);
        const QList<QByteArray> pieces =
            QByteArray("[ ] = ; \t \r \n \r\n \" ' A a B k K x v [A] [a]\n [B] k= x=1 \xff \xc3")
                .split(' ') +
            QList<QByteArray>{" ", "K = ", {"", 1}};
        const QStringList names = {"A", "a", "B", "k", "K", "x", "[", ""};
        const auto get = [](const auto&... args) { return Profile::getString(args..., "<none>"); };
        const auto pick = [&](const auto& list) { return list.at(rng.bounded(int(list.size()))); };
        for (int round = 0; round < 3000; ++round) {
            QByteArray before;
            QString value; // what a value can hold whole: no edge blanks, quotes or breaks
            for (int n = rng.bounded(40); n > 0; --n)
                before += pick(pieces);
            for (int n = rng.bounded(1, 20); n > 0; --n)
                value += QChar(u"ab9 .=;[]ä"[rng.bounded(10)]);
            value = value.trimmed().isEmpty() ? "v" : value.trimmed();
            const QString section = pick(names), key = pick(names).isEmpty() ? "k" : pick(names);
            const QByteArray after = Profile::applyWrite(before, section, key, value);
            const QByteArray why = "round " + QByteArray::number(round) + ": " + before.toHex();
            if (key.contains('[') || key.contains('=') || section.contains(']'))
                continue; // names the format cannot hold
            QVERIFY2(get(after, section, key) == value, why);
            QVERIFY2(Profile::applyWrite(after, section, key, value) == after, why);
            for (const QString& s : names)
                for (const QString& k : names)
                    if (s.toLower() != section.toLower() || k.toLower() != key.toLower())
                        QVERIFY2(get(before, s, k) == get(after, s, k), why);
        }
    }
    // "rule:input=result|..."; "１" is a fullwidth 1. The copy loop's rounds double while quick
    // and halve when slow, within one chunk and the most ("chunks microseconds most").
    void rules()
    {
        for (const QString cases :
             {"leadingNumber:abc=0|12abc=12| \t 7=7|.5=0.5|3.=3|-3=-3|+2=2|4e4=4e4|1e=1|- 1=0|"
              ".=0|1,5=1|1.2.3=1.2|１=0|1e999=inf|99999999999=99999999999",
              "checkStateOf:0=0|1=1|2=2|7=0|-1=0|2.5=2|3.5=0|1abc=1|1e999=0|<none>=0",
              "chunkSizeOf:5=10000|1e999=70000|-1e999=10000|60000.5=60000|60001.5=60002|"
              "60000.51=60001|70000.6=70000|<none>=10000",
              "wholeTextIsOne:1.0=1| 1 =1|+1=1|1e0=1|=0| =0|1x=0|01x=0|0.999=0|1 1=0|11=0|<none>=0",
              "nextRoundChunks:1 1000 100=2|64 2000 100=100|8 5000 100=8|8 11000 100=4|1 500000 "
              "100=1|6 1000 4=4"})
            for (const QString& c : cases.section(':', 1).split('|')) {
                const QString rule = cases.section(':', 0, 0), text = c.section('=', 0, 0);
                const Settings::Field f = text == "<none>" ? std::nullopt : Settings::Field(text);
                const auto n = [&](int i) { return text.section(' ', i, i).toLongLong(); };
                const double got = rule == "leadingNumber"  ? leadingNumber(text)
                                   : rule == "checkStateOf" ? checkStateOf(f)
                                   : rule == "chunkSizeOf"  ? chunkSizeOf(f)
                                   : rule == "wholeTextIsOne"
                                       ? wholeTextIsOne(f)
                                       : CopyLoop::nextRoundChunks(n(0), n(1) * 1000, n(2));
                QVERIFY2(got == QLocale::c().toDouble(c.section('=', 1)), qPrintable(rule + c));
            }
    }
    // A program started on the ini's file or as a first step prepares: "link" (dangling),
    // "folder" in its place, "missing" folder, "full" (no file past 32 bytes); then steps
    // (programSteps) > shown. {d} its folder, {h} home, {e} ENOENT's text, {r} a file in "/".
    void program_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("want");
        const auto row = [](QString steps, QString want, QByteArray ini = {}, QString tag = {}) {
            QTest::newRow(qPrintable(tag.isEmpty() ? steps.left(60) : tag)) << ini << steps << want;
        };
        QStringList many = {"add c"}, named;
        for (int i = 0; i < 17; ++i)
            many << "-g" + QString::number(i), named << "{d}/g" + QString::number(i) + ": {e}";
        const QString five = "add A B C D E; ", same = "A B C D E | 15.00 MB | 11111",
                      above = " | Can't move the selected item above the beginning of the list.",
                      four = "add dir10/x=10485760 dir9/Y=9961472 Dir9/y2=1234567890 a/x1=1000000",
                      a = "x.y/z/a.b @x.y/z/a.b; folder; tick SaveSourceDir ",
                      q0 = " | 0.00 MB | 10001";
        // Nothing addable: nothing changes but the message.
        row("text SourceDir /usr; add -gone; folder",
            q0 + " | This file was not added to the queue:\n\n{d}/gone: {e} | /usr|{d}");
        // With RememberSource ticked the last file's folder is remembered; a file twice.
        row("text SourceDir /usr; tick SaveSourceDir 0; add " + a + "2; add " + a + "1; add " + a +
                "1; joined 1; folders",
            "a.b a.b a.b a.b a.b | 5.00 MB | 11111 | /usr|{d} | /usr|{d} | {d}/x.y/z|{d}/x.y/z | " +
                QString("{d}/x.y/z/ ").repeated(5).chopped(1));
        // So many left out that only the first 15 are named; the others are added.
        row(many.join(' '), "c | 1.00 MB | 11111 | These files were not added to the queue:\n\n" +
                                named.mid(0, 15).join('\n') + "\n... and 2 more.");
        row("text SourceDir; folder", q0 + " | {h}|{d}"); // Add opens at home
        row("add @{r}; folder; folders", "/|/ | /");      // the root keeps its slash
        // The estimate sums the sizes as shown in single precision: not .86, not .85.
        row("add a=1000000 b=1000000 c=1000000 d=137438953472; sizes",
            "a b c d | 131074.84 MB | 11111 | 0.95 0.95 0.95 131072.00");
        row(five + "remove 1 2", "A D E | 10.00 MB | 11111");
        row(five + "remove 4 0 1 2 3", q0);
        row(five + "clear", q0);
        row(five + "up 1 2 4", "B C A E D | 15.00 MB | 11111");
        row(five + "down 0 2 3", "B A E C D | 15.00 MB | 11111");
        row(five + "up 0 2", same + above);
        row(five + "down 2 4", same + " | Can't move the selected item below the end of the list.");
        row(five + "clear; run; end", " | 0.00 MB | 11111"); // all five back after a join
        // Any move, even a refused or an empty one, ends sorting: new rows go last.
        row("add B A; up 0; add 0", "A B 0 | 4.00 MB | 11111" + above);
        row("add B A; down; add 0", "A B 0 | 4.00 MB | 11111");
        // Sorting is ascending, numeric-aware and case-blind; new rows take their place.
        row("locale de_DE; " + four + "; sort 2; sizes",
            "x1 Y x y2 | 1197,83 MB | 11111 | 0,95 9,50 10,00 1177,38");
        row(four + "; sort 2; sort 2; names; sort 1; names; sort 0; names; sort 2; add e=20971520; "
                   "names; down 0; add clip10 Clip1",
            "Y x1 x e y2 clip10 Clip1 | 1220.83 MB | 11111 | x1 Y x y2 | x1 Y y2 x | x x1 Y y2 | "
            "x1 Y x e y2");
        // The model merges rows in (equal ones after those there), removes scattered rows (junk
        // ignored) or runs, moves and sorts them; persistent indexes follow.
        row("add a c e g; mark 0 1; mark 1 2; mark 3 0; add f C b 0 d c; names; marks; remove 0 1 "
            "4 5 6 8 4 99 -1; names; marks; remove 1 2; add h c; names; up 2; marks; sort 0; "
            "marks; joined 2; marks",
            "b c h | 6.00 MB | 11111 | 0 a b c C c d e f g | 1.1 3.2 9.0 | b c e g | -1.-1 1.2 3.0 "
            "| b c g h | -1.-1 -1.-1 1.0 | -1.-1 -1.-1 2.0 | -1.-1 -1.-1 -1.-1");
        // A file as read, written anew (a ticked box reads its folder, a whole 1 the chunk size;
        // missing: empty), or damaged: the first start's file, the old one beside.
        const QString longer = "/" + QString(299, 'm'), first = "1|1|{d}|{d}|1|0|1|40000 | ";
        const auto read = [&](const char* name, const QByteArray& ini, const QString& shown) {
            row("file; bad", q0 + " | " + shown, ini, name); // as read | what .bad holds
        };
        read("long folder, huge chunk", iniFile("1|1|" + longer + "|/t|1|1|1.0|99999999999"),
             "1|1|" + longer.left(254) + "|/t|1|1|1.0|70000 | <missing>");
        read("greyed", iniFile("2|1|/s|/t|2|2|2|60000"), "2|1|<none>|/t|2|2|2|40000 | <missing>");
        read("1x", iniFile("1|1|/s|/t|1|1|1x|60000"), "1|1|/s|/t|1|1|1x|40000 | <missing>");
        read("other lines go",
             ";\n[O]\nx=1\n" + iniFile("1|1|/in|\"/out dir\"|0|1|1|20000") + "U=1\n[T]",
             "1|1|/in|/out dir|0|1|1|20000 | <missing>");
        read("missing", iniFile("1"), "1|||<none>||||40000 | <missing>");
        read("binary", pattern(65536, 7), first + "65536 bytes");
        read("too big", iniFile("0") + QByteArray(5 << 20, ';'), first + "5242910 bytes");
        read("not UTF-8", "[Preferences]\nSourceDir=/v\xe9\n",
             first + "[Preferences]|SourceDir=/v\uFFFD|");
        read("no section", "[Prefs]\nClearQue=1\n", first + "[Prefs]|ClearQue=1|");
        // The slider is clamped and writes nothing; the record keeps its size while ChunkSizeSave
        // is ticked. OK stores a ticked box's folder, a kept slider size; the window's values are
        // built again from the record. OK that cannot read the file says why.
        const QString edits = "text SourceDir; text TargetDir /out; tick SaveSourceDir %1; tick "
                              "ConfirmDel %1; tick ChunkSizeSave %1; chunk 5; chunk 99999; record "
                              "ChunkSize; file; tick ChunkSizeSave 0; chunk 60000; tick "
                              "ChunkSizeSave %1; ok; file; discard; live",
                      edited = q0 + " | 10000 | 70000 | %1 | 1|1|/in|/tgt|1|0|1|50000 | 60000 | ",
                      unread = "the existing file could not be read";
        const QByteArray stored = iniFile("1|1|/in|/tgt|1|0|1|50000");
        row(edits.arg(0), edited.arg(50000) + "0|1|/in|/out|0|0|0|40000 | 01000||/out|40000",
            stored, "0");
        row(edits.arg(2), edited.arg(50000) + "2|1|/in|/out|2|0|2|40000 | 21202||/out|40000",
            stored, "2");
        row(edits.arg(1) + "; mkdir; tick ClearQue 1; ok; live",
            edited.arg(70000) + "1|1||/out|1|0|1|60000 | 11101||/out|60000 | " + unread +
                " | 11111||/out|60000",
            stored, "1");
        // Start-up without a usable file takes the defaults; Exit saves (once), the close box
        // does not; where Exit cannot, it says why and still ends.
        const QString exit = "set ClearQue 1; chunk 33000; exit; exit; file",
                      closed = q0 + " | 33000 | closing | ",
                      notSaved = q0 +
                                 " | 33000 | The settings could not be saved to {d}/tarvik.ini: "
                                 "%1. | closing | ";
        row(exit + "; files", closed + "1|1|{d}|{d}|1|1|1|33000 | tarvik.ini", {}, "Exit");
        row("set ClearQue 1; chunk 33000; closebox; exit; file", closed + "1|1|{d}|{d}|1|0|1|40000",
            {}, "close box");
        row("link; " + exit, closed + "1|1|{d}|{d}|1|1|1|33000", {}, "dangling link");
        row("missing; " + exit, notSaved.arg("{e}") + "<no folder>", {}, "missing folder");
        row("folder; " + exit, notSaved.arg(unread) + "<no file>", {}, "folder in its place");
        row("big; " + exit, notSaved.arg(unread) + "4194305 bytes", {}, "too big at Exit");
        row("pipe; " + exit, notSaved.arg(unread) + "<no file>", {}, "pipe at Exit");
        // On a full disk start-up keeps the old file; with room again Exit writes what was read.
        row("full; file; files; exit; file",
            q0 + " | 1|0|/old/src|/old/tgt|0|1|1|60000 | tarvik.ini | closing | "
                 "1|0|/old/src|<none>|0|1|1|60000",
            iniFile("1|0|/old/src|/old/tgt|0|1|1|60000"), "disk full");
    }
    void program()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, steps);
        QFETCH(QString, want);
        const auto root = QDir("/").entryInfoList(QDir::Files | QDir::Hidden | QDir::Readable);
        if (steps.contains("{r}") && root.isEmpty())
            QSKIP("no readable regular file in the root folder");
        const QString prep = steps.section("; ", 0, 0);
        QTemporaryDir dir;
        const QString folder = prep == "missing" ? dir.filePath("gone") : dir.path(),
                      file = folder + "/tarvik.ini";
        QVERIFY((ini.isNull() || writeFile(file, ini)) &&
                (prep != "link" || QFile::link(dir.filePath("nowhere"), file)) &&
                (prep != "folder" || QDir().mkpath(file)));
        rlimit old;
        QVERIFY(getrlimit(RLIMIT_FSIZE, &old) == 0);
        const rlimit full = {32, old.rlim_max};             // no file grows beyond 32 bytes
        const auto handler = std::signal(SIGXFSZ, SIG_IGN); // writes past that fail instead
        QVERIFY(prep != "full" || setrlimit(RLIMIT_FSIZE, &full) == 0);
        Core c(Core::InFolder{folder});
        QVERIFY(setrlimit(RLIMIT_FSIZE, &old) == 0);
        std::signal(SIGXFSZ, handler);
        QVERIFY(!ini.isNull() || c.settings() == Settings::defaults(folder));
        steps.remove(QRegularExpression("^(link|folder|missing|full); "));
        const QString shown =
            programSteps(c, steps.replace("{r}", root.value(0).absoluteFilePath()));
        want.replace("{d}", folder).replace("{h}", QDir::homePath()).replace("{e}", reason(ENOENT));
        QCOMPARE(steps.contains("@/") ? shown.section(" | ", 3) : shown, want);
    }
    // Where the settings, the guide and the first Add live: a program beside its guide (or with
    // a settings file) is portable; installed, they follow the user's config folder and home.
    void whereFilesLive_data()
    {
        addRows({"build folder > {p}/bin|{p}/bin|{p}/bin", "doc ini > {p}/bin|{p}/bin|{p}/bin",
                 "doc > {h}/.config/reelbind|{p}/share/doc/reelbind|{h}",
                 "doc videos > {h}/.config/reelbind|{p}/share/doc/reelbind|{h}/Videos",
                 "doc config=cfg > {h}/cfg/reelbind|{p}/share/doc/reelbind|{h}",
                 "doc config=file > {h}/file/reelbind|{p}/share/doc/reelbind|{h}"});
    }
    void whereFilesLive()
    {
        const QString tree = row().section(" > ", 0, 0), config = tree.section("config=", 1);
        QTemporaryDir prefix, home;
        const QString p = prefix.path(), h = home.path(), doc = p + "/share/doc/reelbind";
        QVERIFY(QDir().mkpath(p + "/bin") && QDir().mkpath(doc) && writeFile(h + "/file", ""));
        QVERIFY(!tree.contains("doc") || writeFile(doc + "/Readme.html", "<html>"));
        QVERIFY(!tree.contains("ini") || writeFile(p + "/bin/tarvik.ini", "[Preferences]\n"));
        QVERIFY(!tree.contains("videos") || QDir().mkpath(h + "/Videos"));
        const QByteArray env[] = {qgetenv("HOME"), qgetenv("XDG_CONFIG_HOME")};
        const auto restore =
            qScopeGuard([&] { qputenv("HOME", env[0]), qputenv("XDG_CONFIG_HOME", env[1]); });
        qputenv("HOME", QFile::encodeName(h));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.isEmpty() ? "" : h + '/' + config));
        const Locations l = Locations::of(p + "/bin", fs);
        const auto w = row().section(" > ", 1).replace("{p}", p).replace("{h}", h).split('|');
        QCOMPARE(joined(l.settingsFile(), l.readme, l.firstStartFolder),
                 joined(w[0] + "/tarvik.ini", w[1] + "/Readme.html", w[2]));
        QCOMPARE(l.installed, tree.contains("doc") && !tree.contains("ini"));
        Core core(l); // start-up writes there, not beside the program, or runs on the defaults
        QVERIFY(tree.contains("ini") || core.settings() == Settings::defaults(l.firstStartFolder));
        QCOMPARE(QFileInfo(l.settingsFile()).isFile(), config != "file");
        QCOMPARE(filesIn(p + "/bin"), tree.contains("ini") || !l.installed ? "tarvik.ini" : "");
    }
};

REELBIND_CORE_TEST_MAIN(TestCore)
#include "test_core.moc"
