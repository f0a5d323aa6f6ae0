// A join without windows, from Join pressed to the actions after it: the files' kinds and the
// question they call for, the checks, the copy, how it ends, and what follows.
#include "core/MovieKind.h"
#include "support/CoreSupport.h"

#include <QProcess>
#include <QtTest>
#include <cerrno>

using namespace TestSupport;
using Ending = JoinSession::Ending;
using Id = SettingId;
using MovieKind::Kind;

// What happens after which round (0: just before the copy), the target, what the user is shown,
// what the target holds, the free bytes (-1: unknown, the join goes on), the files' sizes.
struct Join
{
    QString act, target, shown;
    qint64 left;
    QList<qint64> sizes;
};
Q_DECLARE_METATYPE(Join)

class TestJoinSession : public QObject
{
    Q_OBJECT
private slots:
    // "first bytes (bytesOf) => kind". MPEG 1 layer III frames of 417 bytes, then none or one
    // of another rate; a frame of MPEG 2 (261 bytes); a forbidden rate; AAC. Ogg; ftyp, moov,
    // mdat, free, wide at 4, ftyp at 8; RIFF of AVI, WAVE, CDXA, none; ASF, its last byte wrong.
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
                {"64:66747970@4 => MP4/MOV", "64:6D6F6F76@4 => MP4/MOV", "64:6D646174@4 => MP4/MOV",
                 "64:66726565@4 => MP4/MOV", "64:77696465@4 => MP4/MOV", "64:66747970@8 => unknown",
                 "64:1A45DFA3 => Matroska/WebM", "64:5249464610000000415649204C495354 => AVI",
                 "64:524946461000000057415645666D7420 => WAV", "5249464610000000 => unknown",
                 "64:524946461000000043445841666D7420 => unknown", "64:464C560105 => FLV",
                 "64:3026B2758E66CF11A6D900AA0062CE6C => ASF/WMV",
                 "64:3026B2758E66CF11A6D900AA0062CE6D => unknown", " => unknown",
                 "486F6C6964617920323032362C207365636F6E64207265656C0A => unknown"});
    }
    void kindOfAFile()
    {
        QCOMPARE(MovieKind::name(MovieKind::identify(bytesOf(row().section(" => ", 0, 0)))),
                 row().section(" => ", 1));
    }
    // The queue's kinds in order ("-": none known) > the files named, by position, and the
    // reason given (the kinds' "index" or the "kinds" differing); "no": nothing is asked.
    void whenToAsk_data()
    {
        addRows({"ps ps ps > no", "ps - - > no", "mp4 - - - > no", "mp4 > no", "- - > no",
                 "mp3 - mp3 ogg > 0 2 3 kinds", "ps es > 0 1 kinds", "ts m2ts ts > 0 1 2 kinds",
                 "mp4 mp4 > 0 1 index", "- mp4 > 1 index", "ps ps mkv ps > 2 0 1 3 index",
                 "avi - wav > 0 2 index", "flv asf > 0 1 index"});
    }
    void whenToAsk()
    {
        const QStringList codes = {"-",   "ps",  "es",  "ts",  "m2ts", "mp3", "ogg",
                                   "mp4", "mkv", "avi", "wav", "flv",  "asf"}; // Kind's order
        QList<MovieKind::Queued> files;
        for (const QString& code : row().section(" > ", 0, 0).split(' '))
            files.append({QString("/movies/%1").arg(files.size()), Kind(codes.indexOf(code))});
        QString seen, question = MovieKind::joinQuestion(files);
        for (int i = 0; i < files.size(); ++i) // each named as the user reads it
            question.replace(files[i].path + " (" + MovieKind::name(files[i].kind) + ")",
                             "#" + QString::number(i));
        for (const QString& line : question.split('\n'))
            seen += line.startsWith('#') ? line.mid(1) + ' ' : "";
        seen += question.contains("index or a length")         ? "index"
                : question.contains("first kind of file ends") ? "kinds"
                : question.isEmpty()                           ? "no"
                                                               : question;
        QCOMPARE(seen, row().section(" > ", 1));
    }
    void theQuestionAsTheUserReadsIt()
    {
        QList<MovieKind::Queued> files = {{"/movies/holiday.mpg", Kind::ProgramStream},
                                          {"/movies/beach.mp4", Kind::Mp4}};
        QCOMPARE(MovieKind::questionTitle(), "Join Files?");
        QCOMPARE(MovieKind::joinQuestion(files),
                 "These files will not play as one movie when joined byte by byte:\n"
                 "/movies/beach.mp4 (MP4/MOV)\n/movies/holiday.mpg (MPEG program stream)\n\n"
                 "The joined file will most likely play only its first part, because files of "
                 "these kinds keep an index or a length of their own.\n\nJoin them anyway?");
        files = {{"/movies/a.mpg", Kind::ProgramStream}, {"/movies/b.mp3", Kind::Mp3}};
        QVERIFY(MovieKind::joinQuestion(files).endsWith(
            "(MP3 audio)\n\nThe joined file will most likely stop playing where the first kind "
            "of file ends.\n\nJoin them anyway?"));
        QStringList lines, more; // a long queue names 15 files, then how many more
        for (const int count : {15, 16, 40}) {
            for (files.clear(); files.size() < count;)
                files.append({QString("/movies/clip%1.mkv").arg(files.size()), Kind::Matroska});
            more << (lines = MovieKind::joinQuestion(files).split('\n'))[16];
        }
        QCOMPARE(more.join('|'), "|... and 1 more.|... and 25 more.");
        QCOMPARE(lines[1] + '|' + lines[15],
                 "/movies/clip0.mkv (Matroska/WebM)|/movies/clip14.mkv (Matroska/WebM)");
    }
    // Files f0, f1... (makeSources) joined into the target beside them: told | caption |
    // finalText ({t} the target); the target then holds so many of their bytes, or is as it was.
    void howAJoinEnds_data()
    {
        QTest::addColumn<Join>("join");
        const QString full = "The drive you have selected does not have enough free space to "
                             "save the joined movie to.",
                      noSpace = full + "|Joining Files...|" + full,
                      again = " Please choose another target file.|Joining Files...|",
                      cancelled = "|Joining Files...Cancelled!|Operation aborted by user";
        const QList<qint64> two = {-1, 35000, 45000}, three = {1000000, 1000000, 1000000};
        QTest::newRow("dialog cancelled") << Join{"", "", "|Joining Files...|", -1, two};
        QTest::newRow("target is a source")
            << Join{"", "f1", "The target file is one of the files to be joined." + again, -1, two};
        QTest::newRow("target is a pipe")
            << Join{"", "pipe", "The target {t} is not a regular file." + again, -1, two};
        // The need is the files' exact lengths: as much free is too little.
        QTest::newRow("free = need, 3 GiB more") << Join{
            "", "t", noSpace, -1,
            QList<qint64>{3000000 + (qint64(3) << 30)} + three + QList<qint64>{qint64(3) << 30}};
        QTest::newRow("free = need + 1, queue changed") << Join{
            "0 change", "t", "|Joining Files...Done!|File {t} has successfully been joined!",
            3000000, QList<qint64>{3000001} + three};
        // Twenty files of 4,000 bytes each show as 0.00 MB, yet need 80,000 bytes.
        QTest::newRow("small files, free = need")
            << Join{"", "t", noSpace, -1, QList<qint64>{80000} + QList<qint64>(20, 4000)};
        QTest::newRow("Exit during the copy") << Join{"2 exit", "t", cancelled, 20000, two};
        // The target folder is remembered only with RememberTarget ticked, the root as "/".
        QTest::newRow("failed, remember unticked")
            << Join{"0 rm unticked", "t",
                    "|Joining Files...Failed!|Could not read the size of file {d}/f1: " +
                        reason(ENOENT) + ".\nThe target file {t} was not created.",
                    -1, two};
        QTest::newRow("cancelled before the copy, remember the root")
            << Join{"0 cancel", "/reelbind-never-written", cancelled, -1, two};
    }
    void howAJoinEnds()
    {
        QFETCH(Join, join);
        auto& [act, target, shown, left, sizes] = join;
        JoinCore j;
        JoinSession& s = j.join();
        const auto tidy = qScopeGuard([] { QFile::remove("/reelbind-never-written"); });
        const qint64 free = sizes.takeFirst();
        j.files.setFreeSpace(free < 0 ? FileResult<qint64>(FileError::fromCode(EIO)) : free);
        QByteArray all;
        j.queue().add(makeSources(j.movies.path(), sizes, &all));
        target = target.isEmpty() ? "" : QDir(j.movies.path()).filePath(target);
        QVERIFY(!target.endsWith("/pipe") || makePipe(target));
        const auto now = [&] { return QFileInfo(target).isFile() ? readAll(target) : "<no file>"; };
        const QByteArray was = now(), ini = j.iniBytes();
        const QString out = QFileInfo(target).path(), before = *j.settings()[Id::TargetDir];
        j.prefs().setCheckState(Id::SaveTargetDir, act.endsWith("unticked") ? 0 : 1);
        j.progress.afterRound = [&](int n) {
            if (!act.startsWith(QString::number(n) + ' '))
                return;
            QVERIFY(!act.contains("rm") || meddle(j.movies.path(), "rm f1", j.files));
            act.contains("cancel") ? s.cancel()
            : act.contains("exit") ? j.program->exit(Program::ExitKind::Save)
                                   : void();
            if (act.contains("change")) // Join again while one runs: nothing
                QVERIFY(!j.run("elsewhere") && (j.queue().clear(), true));
            QVERIFY(!j.program->isClosing() && j.iniBytes() == ini);
        };
        QVERIFY(j.run(target));
        QCOMPARE(j.told + '|' + s.caption() + '|' + s.finalText(),
                 shown.replace("{t}", target).replace("{d}", j.movies.path()));
        QCOMPARE(now(), left < 0 ? was : all.left(left));
        const bool checked = s.ending() == Ending::NoTarget || s.ending() == Ending::NoSpace;
        QCOMPARE(j.files.freeSpaceQueries, QStringList(out).mid(0, s.ending() != Ending::NoTarget));
        const QString kept = checked || act.endsWith("unticked") ? before : out;
        QCOMPARE(j.dialogFolder + '|' + j.prefs().folderText(Id::TargetDir) + '|' +
                     *j.settings()[Id::TargetDir],
                 before + '|' + kept + '|' + kept);
        QCOMPARE(j.phases, target.isEmpty() ? "125" : checked ? "1235" : "12345");
        QCOMPARE(j.commandsAtEnd + commandBits(j.queue()), "0000011111"); // off until the end
        QCOMPARE(j.program->isClosing() && j.iniBytes() != ini, act.contains("exit"));
        QCOMPARE(j.progress.unpumped(), 0);
    }
    // a (queued twice), b, c joined into t; a fault; Delete Source Files (for good where no trash
    // takes them), Finished. Then: files left | queue | estimate | commands | message.
    void deleteSources_data()
    {
        const QString notSafe = "a b c t | a a b c | 3.50 MB | 11111 | The joined file {d}/t "
                                "could not be made safe on disk: %1. No source file was deleted.";
        addRows({"no trash > t |  | 0.00 MB | 10001 | No trash takes these files:\n{d}/a\n{d}/b\n"
                 "{d}/c\n\nDelete them for good? They cannot be brought back."});
        QTest::newRow("not durable") << "not durable > " + notSafe.arg("disk on fire");
        QTest::newRow("t replaced")
            << "t replaced > " + notSafe.arg("it is no longer the file the join wrote");
        QTest::newRow("b gone, c changed")
            << "b gone, c changed, x queued > c t x | b c x | 3.50 MB | 11111 | These files could "
               "not be deleted:\n{d}/b: " +
                   reason(ENOENT) + "\n{d}/c: it was changed after it was joined, so it was kept";
    }
    void deleteSources()
    {
        QFETCH(QString, row);
        JoinCore j;
        for (const char* name : {"a", "a", "b", "c"})
            j.queueFile(name, *name == 'b' ? 524288 : 1048576);
        AfterJoin& after = j.join().after();
        QVERIFY(j.run(j.at("t")) && j.join().ending() == Ending::Joined &&
                after.asksBeforeDelete());
        QVERIFY(!row.contains("b gone") || QFile::remove(j.at("b")));
        QVERIFY(!row.contains("c changed") || QFile::resize(j.at("c"), 1000));
        QVERIFY(!row.startsWith("t repl") || meddle(j.movies.path(), "old t", j.files));
        if (row.contains("x queued"))
            j.queueFile("x", 2097152, 7);
        j.files.durableFailure = row.startsWith("not durable") ? "disk on fire" : "";
        j.files.noTrash = row.startsWith("no trash");
        const AfterJoin::Deletion done = after.deleteSources();
        const QString forGood = done.noTrash.isEmpty() ? ""
                                                       : after.deleteForGoodQuestion(done.noTrash) +
                                                             after.deleteForGood(done.noTrash);
        QCOMPARE(QStringList({QDir(j.movies.path()).entryList(QDir::Files).join(' '),
                              column(j.queue().rows()), j.queue().estimate().section("  ", 1),
                              commandBits(j.queue()), done.message + forGood})
                     .join(" | "),
                 row.section(" > ", 1).replace("{d}", j.movies.path()));
        // What was deleted lies in the trash, whole; nothing else went there.
        const QString trash = j.home.filePath("Trash/files/");
        QCOMPARE(QDir(trash).entryList(QDir::Files), QStringList("a").mid(0, row.contains("gone")));
        QCOMPARE(readAll(trash + "a"), row.contains("gone") ? pattern(1048576, 1) : "<missing>");
        j.prefs().setCheckState(Id::ClearQue, 1);
        after.finish();
        QCOMPARE(j.queue().count(), 0); // Finished with the clear-queue switch ticked
    }
    // The look at the kinds: each file read once; one gone, empty or a pipe is no reason to
    // ask and never waits; No ends the join. On a slow disk events come in meanwhile, and a
    // cancel stops the look, or the checks after the dialog: nothing more is asked or made.
    void kindsOfTheQueuedFiles()
    {
        JoinCore j;
        const QStringList names = {"a.mp4", "b.mpg", "empty.mpg", "gone.mpg", "pipe.mpg", "a.mp4"};
        const QStringList bytes = {"5012:6674797069736F6D@4", "104:000001BA", "", "", ""};
        for (int i = 0; i < names.size(); ++i) // "ftypisom", a pack header
            QVERIFY((i > 4 || writeFile(j.at(names[i]), bytesOf(bytes[i]))) &&
                    j.queue().add({j.at(names[i])}).isEmpty());
        QVERIFY(QFile::remove(j.at("gone.mpg")) && QFile::remove(j.at("pipe.mpg")));
        QVERIFY(makePipe(j.at("pipe.mpg")) && j.run("never chosen"));
        QCOMPARE(j.asked.split('\n').mid(1, 4),
                 QStringList({j.at("a.mp4") + " (MP4/MOV)", j.at("a.mp4") + " (MP4/MOV)",
                              j.at("b.mpg") + " (MPEG program stream)", ""}));
        for (QString& path : j.files.opened)
            path = QFileInfo(path).fileName();
        QCOMPARE(j.files.opened.join(' ') + '|' + j.phases + '|' + j.dialogFolder,
                 names.mid(0, 5).join(' ') + "|15|");
        for (int i = 0; i < 64; ++i)
            j.queueFile(QString("more%1.mpg").arg(i), 1);
        j.files.lookDelayMs = 1;
        j.anyway = true;
        const auto cancelSoon = [&] { QTimer::singleShot(0, [&] { j.join().cancel(); }); };
        cancelSoon(); // comes in with the first events of the look
        for (const QString want : {"15|63|", "1235|69|These"}) { // the look stops at row 64
            j.files.opened.clear();
            j.asked = j.phases = "";
            QVERIFY(j.run(j.at("t.mpg")) && j.join().cancelled() && j.told.isEmpty());
            QCOMPARE(j.join().ending(), Ending::NoTarget);
            QCOMPARE(j.phases + '|' + QString::number(j.files.opened.size()) + '|' +
                         j.asked.left(5),
                     want);
            j.inDialog = cancelSoon; // then in the checks after the save dialog
        }
        QVERIFY(!QFile::exists(j.at("t.mpg")));
    }
    // Movies as a camera or a download gives them (made by ffmpeg): an MP4 and an MPEG program
    // stream are told apart by their first bytes, and No to the question writes nothing.
    void moviesMadeByFfmpeg()
    {
        JoinCore j;
        for (const QStringList& clip : {QStringList{"holiday.mpg", "mpeg1video", "mpeg"},
                                        QStringList{"beach.mp4", "mpeg4", "mp4"}}) {
            QProcess ffmpeg;
            ffmpeg.start("ffmpeg", {"-nostdin", "-v", "error", "-f", "lavfi", "-i",
                                    "testsrc=duration=1:size=160x120:rate=25", "-c:v", clip[1],
                                    "-f", clip[2], j.at(clip[0])});
            if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0)
                QSKIP("ffmpeg cannot make movies here: the case was not run");
            QVERIFY(j.queue().add({j.at(clip[0])}).isEmpty());
        }
        QVERIFY(j.run(j.at("t.mpg")));
        QCOMPARE(j.asked.split('\n').mid(1, 3),
                 QStringList({j.at("beach.mp4") + " (MP4/MOV)",
                              j.at("holiday.mpg") + " (MPEG program stream)", ""}));
        QCOMPARE(j.join().ending(), Ending::NoTarget);
        QCOMPARE(QDir(j.movies.path()).entryList(QDir::Files).join(' '), "beach.mp4 holiday.mpg");
    }
    // A source reached through a second path (a FUSE view of its folder) chosen as target:
    // no check can see that it is the same file, but nothing of it is lost.
    void sourceThroughASecondPath()
    {
        JoinCore j;
        const SecondPath second(j.movies.path());
        if (!second.mounted)
            QSKIP("bindfs (FUSE) cannot mount here: the second-path case was not run");
        const QDir view(second.view.path());
        QByteArray joined;
        j.queue().add(makeSources(j.movies.path(), {30000, 25000}, &joined));
        QVERIFY(j.run(view.filePath("f1")) && j.join().ending() == Ending::Joined);
        QCOMPARE(j.join().after().deleteSources().message,
                 "These files could not be deleted:\n" + j.at("f1") +
                     ": it was changed after it was joined, so it was kept");
        QCOMPARE(readAll(j.at("f1")), joined);
    }
};

QTEST_GUILESS_MAIN(TestJoinSession)
#include "test_joinsession.moc"
