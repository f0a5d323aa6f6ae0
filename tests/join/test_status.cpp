// The join through the main window and the status window: what the user
// sees during and after a run, and every way a run can end.
#include "join/JoinFixture.h"

#include <QProcess>
#include <QtTest>

#include <cmath>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

using namespace JoinTest;

namespace {

const QString kNoSpace = QStringLiteral(
    "The drive you have selected does not have enough free space to save the joined movie to.");
constexpr qint64 kQueryFails = std::numeric_limits<qint64>::min();

// Runs in the join's event pumps; pump 0 is just before Join is pressed.
using Hook = std::function<void(Fixture&, int pump)>;

// Presses the status window's Cancel/Finished button: "click", "Esc" or "Enter".
void press(frmJoinStatus* s, const QString& key)
{
    if (key == "click")
        QTest::mouseClick(s->CmdCancel, Qt::LeftButton);
    else
        QTest::keyClick(s, key == "Esc" ? Qt::Key_Escape : Qt::Key_Return);
}

QStringList openDescriptors()
{
    return QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
}

} // namespace

Q_DECLARE_METATYPE(Hook)

class TestJoinStatus : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    void joinShowsEveryStep()
    {
        // The empty b adds nothing and no pump. The queue changed during the
        // run changes nothing in it.
        Fixture f;
        const QList<qint64> sizes{35000, 0, 20000, 5000};
        for (int i = 0; i < sizes.size(); ++i)
            f.queueFile(QStringLiteral("%1.mpg").arg(QChar('a' + i)), sizes[i], i + 1);
        QVERIFY(QDir(f.files.path()).mkdir("out"));
        const QString out = f.path("out");
        const QString target = out + "/joined.mpg";
        const QByteArray expected = f.queuedBytes();
        const QString folderBefore = f.w.live().folderText(LiveSettings::TargetFolder);

        QStringList lines, figures;
        bool steady = true;
        {
            EachPump hook([&](int n) {
                const frmJoinStatus* s = f.status();
                if (n == 1) {
                    f.w.queue()->removePositions({0});
                    f.w.queue()->append({QueueRow{"x.mpg", f.files.path() + "/", "0.01"}});
                }
                if (lines.isEmpty() || lines.last() != s->LblFileNow->text())
                    lines << s->LblFileNow->text();
                figures << QStringLiteral("%1 %2 %3 %4")
                               .arg(s->LblFilePercent->text(), s->LblBatchPercent->text())
                               .arg(s->ProgressBarFile->value())
                               .arg(s->ProgressBarBatch->value());
                steady = steady && s->isVisible() && s->TextFinal->isHidden() &&
                         s->windowTitle() == "Joining Files..." &&
                         s->CmdCancel->text() == "Cancel" && s->CmdViewClip->isHidden() &&
                         s->CmdDelSource->isHidden() && f.fiveButtons() == "00000";
            });
            f.join(target);
        }
        const QString line =
            "Now joining file: %1 to " + target + " using a chunk size of 10,000 bytes";
        QCOMPARE(lines, (QStringList{line.arg("a.mpg"), line.arg("c.mpg")}));
        // One pump per whole chunk; the file figure shows the file as it
        // stood before the chunk, the bars as it stands after.
        QCOMPARE(figures, (QStringList{"0% 17% 285 166", "29% 33% 571 333", "57% 50% 857 500",
                                       "0% 75% 500 750", "50% 92% 1000 916"}));
        QVERIFY(steady);
        QCOMPARE(readAll(target), expected);
        QCOMPARE(f.status()->joinedRows().size(), 4);

        const frmJoinStatus* s = f.status();
        QVERIFY(s->LblFileNow->text().isEmpty());
        QCOMPARE(s->LblFilePercent->text() + s->LblBatchPercent->text(), "100%100%");
        QCOMPARE(s->ProgressBarFile->value() + s->ProgressBarBatch->value(), 0);
        QCOMPARE(s->CmdViewClip->text(), "View Joined MPG");
        QCOMPARE(s->CmdDelSource->text(), "Delete Source Files");
        QCOMPARE(f.fake.dialogs.size(), 1);
        QCOMPARE(f.fake.dialogs[0].dir, folderBefore);
        QCOMPARE(f.fake.dialogs[0].filters, (QStringList{"MPG Files (*.mpg)", "All Files (*)"}));
        QCOMPARE(f.fake.freeSpaceQueries, QStringList{out});
        QCOMPARE(f.w.live().folderText(LiveSettings::TargetFolder), out);
        QCOMPARE(f.w.settings().TargetDir.value_or(QString()), out);
    }

    void noRunWithoutAUsableTarget_data()
    {
        QTest::addColumn<QString>("target"); // empty: the save dialog is cancelled
        QTest::addColumn<QStringList>("messages");
        const QStringList refused{QStringLiteral("The target file is one of the files to be "
                                                 "joined. Please choose another target file.")};
        QTest::newRow("dialog cancelled") << "" << QStringList();
        QTest::newRow("a source") << "b.mpg" << refused;
        QTest::newRow("a source, roundabout") << "sub/../b.mpg" << refused;
        QTest::newRow("a source's hard link") << "hard.mpg" << refused;
        QTest::newRow("a source's symbolic link") << "soft.mpg" << refused;
    }
    void noRunWithoutAUsableTarget()
    {
        QFETCH(QString, target);
        QFETCH(QStringList, messages);
        Fixture f;
        f.queueFile("a.mpg", 30000, 1);
        const QByteArray b = QFile::encodeName(f.queueFile("b.mpg", 25000, 2));
        QCOMPARE(::link(b.constData(), QFile::encodeName(f.path("hard.mpg")).constData()), 0);
        QCOMPARE(::symlink(b.constData(), QFile::encodeName(f.path("soft.mpg")).constData()), 0);
        QVERIFY(QDir(f.files.path()).mkdir("sub"));
        const QByteArray sources = f.queuedBytes();
        const QString folderBefore = f.w.live().folderText(LiveSettings::TargetFolder);
        f.join(target.isEmpty() ? target : f.path(target));

        QCOMPARE(f.fake.messages, messages);
        QCOMPARE(f.queuedBytes(), sources);
        QVERIFY(!f.status());
        QCOMPARE(TestSupport::visibleTopLevels(), QStringList{"frmReelbind"});
        QVERIFY(f.fake.freeSpaceQueries.isEmpty());
        QCOMPARE(f.fake.beeps, 0);
        QCOMPARE(f.w.live().folderText(LiveSettings::TargetFolder), folderBefore);
        QCOMPARE(f.fiveButtons(), "11111");
    }

    // Files f0, f1... with pattern seeds 1, 2...; a size of 1 GiB or more is
    // queued but never written. Chunk 10,000; the clear-queue box is ticked.
    void howARunEnds_data()
    {
        QTest::addColumn<QList<qint64>>("sizes");
        QTest::addColumn<qint64>("freeAboveNeed");
        QTest::addColumn<QString>("target"); // in the folder, or absolute
        QTest::addColumn<Hook>("hook");
        QTest::addColumn<QString>("key");     // presses Cancel/Finished: "click", "Esc", "Enter"
        QTest::addColumn<QString>("title");   // the window afterwards
        QTest::addColumn<QString>("text");    // its final text; {t}: the target, see expand()
        QTest::addColumn<QString>("figures"); // file and batch percentages, if given
        QTest::addColumn<QByteArray>("left"); // the target afterwards; null: not checked

        const auto at = [](int pump, std::function<void(Fixture&)> act) {
            return Hook([=](Fixture& f, int n) {
                if (n == pump)
                    act(f);
            });
        };
        const auto rm = [](const char* name) {
            return [=](Fixture& f) { QVERIFY(QFile::remove(f.path(name))); };
        };
        const Hook none = at(-1, nullptr);
        const QList<qint64> mb{1048576, 524288}; // shown as 1.00 and 0.50 MB
        const QList<qint64> big{qint64(3) << 30};
        const QList<qint64> three{35000, 45000, 15000}; // f0 fills pumps 1-3, f1 pumps 4-7
        const QByteArray mbBytes = pattern(1048576, 1) + pattern(524288, 2);
        const qint64 plenty = qint64(1) << 40;
        const QByteArray missing("<missing>");
        const QString t = "t.mpg";
        const QString noRoom = "Joining Files...";
        const QString done = "Joining Files...Done!";
        const QString failed = "Joining Files...Failed!";
        const QString joined = "File {t} has successfully been joined!";
        const QString notCreated = "\nThe target file {t} was not created.";
        const QString incomplete = "\nThe target file {t} was left incomplete.";

        // The need is the sizes as shown: free space equal to it is too little.
        QTest::newRow("free = need")
            << mb << 0ll << t << none << "click" << noRoom << kNoSpace << "0% 0%" << missing;
        QTest::newRow("free = need - 1")
            << mb << -1ll << t << none << "click" << noRoom << kNoSpace << "0% 0%" << missing;
        QTest::newRow("free = need + 1")
            << mb << 1ll << t << none << "click" << done << joined << "100% 100%" << mbBytes;
        QTest::newRow("free-space query fails")
            << mb << kQueryFails << t << none << "Esc" << done << joined << "100% 100%" << mbBytes;
        QTest::newRow("3 GiB, free = need")
            << big << 0ll << t << none << "click" << noRoom << kNoSpace << "0% 0%" << missing;
        // Room enough: the run goes on and stops at the file that is not there.
        QTest::newRow("3 GiB, free = need + 1")
            << big << 1ll << t << none << "Enter" << failed
            << "Could not read the size of file {dir}/f0.mpg: {ENOENT}." + notCreated << "0% 0%"
            << missing;
        QTest::newRow("only empty files") << QList<qint64>{0, 0} << plenty << t << none << "click"
                                          << done << joined << "100% 100%" << QByteArray("");
        QTest::newRow("deleted before")
            << three << plenty << t << at(0, rm("f1.mpg")) << "click" << failed
            << "Could not read the size of file {dir}/f1.mpg: {ENOENT}." + notCreated << "0% 0%"
            << missing;
        QTest::newRow("deleted before, old target kept")
            << three << plenty << t
            << at(0,
                  [](Fixture& f) {
                      TestSupport::makeFile(f.files.path(), "t.mpg", 777, 9);
                      QVERIFY(QFile::remove(f.path("f1.mpg")));
                  })
            << "click" << failed
            << "Could not read the size of file {dir}/f1.mpg: {ENOENT}.\n"
               "The target file {t} was left unchanged."
            << "" << pattern(777, 9);
        QTest::newRow("folder queued")
            << three << plenty << t
            << at(0,
                  [](Fixture& f) {
                      QVERIFY(QFile::remove(f.path("f1.mpg")) &&
                              QDir(f.files.path()).mkdir("f1.mpg"));
                  })
            << "click" << failed << "Could not open file {dir}/f1.mpg: {EISDIR}." + notCreated << ""
            << missing;
        QTest::newRow("vanishes during the run")
            << three << plenty << t << at(1, rm("f2.mpg")) << "click" << failed
            << "Could not open file {dir}/f2.mpg: {ENOENT}." + incomplete << ""
            << pattern(35000, 1) + pattern(45000, 2);
        // Cut to two chunks and a bit after its second chunk: the target
        // keeps every whole chunk read before.
        QTest::newRow("cut short during the run")
            << three << plenty << t
            << at(5,
                  [](Fixture& f) {
                      QCOMPARE(::truncate(QFile::encodeName(f.path("f1.mpg")).constData(), 20010),
                               0);
                  })
            << "click" << failed
            << "Could not read file {dir}/f1.mpg: it ended early, it was changed during the join." +
                   incomplete
            << "" << pattern(35000, 1) + pattern(20000, 2);
        QTest::newRow("full device")
            << mb << plenty << "/dev/full" << none << "click" << failed
            << "Could not write to the target file {t}: {ENOSPC}." + incomplete << ""
            << QByteArray();
        QTest::newRow("target folder gone")
            << mb << plenty << "gone/t.mpg" << none << "click" << failed
            << "Could not create the target file {t}: {ENOENT}." + notCreated << "" << missing;
        // During the third chunk of the second of four files: 5 pumps, then 3.
        for (const char* key : {"click", "Esc", "Enter"})
            QTest::newRow(qPrintable(QStringLiteral("cancel by %1").arg(key)))
                << QList<qint64>(4, 51234) << plenty << t
                << at(8, [=](Fixture& f) { press(f.status(), key); }) << key
                << "Joining Files...Cancelled!"
                << "Operation aborted by user"
                << "59% 40%" << pattern(51234, 1) + pattern(30000, 2);
    }
    void howARunEnds()
    {
        QFETCH(QList<qint64>, sizes);
        QFETCH(qint64, freeAboveNeed);
        QFETCH(QString, target);
        QFETCH(Hook, hook);
        QFETCH(QString, key);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(QString, figures);
        QFETCH(QByteArray, left);
        Fixture f;
        f.tick(LiveSettings::ClearQue, true);
        qint64 need = 0;
        for (int i = 0; i < sizes.size(); ++i) {
            const QString name = QStringLiteral("f%1.mpg").arg(i);
            if (sizes[i] < qint64(1) << 30)
                f.queueFile(name, sizes[i], i + 1);
            else
                f.queueExisting(name, sizes[i]);
            need += sizes[i];
        }
        f.fake.setFreeSpace(freeAboveNeed == kQueryFails ? std::nullopt
                                                         : std::optional(need + freeAboveNeed));
        if (!target.startsWith(QLatin1Char('/')))
            target = f.path(target);
        const QString folder = QFileInfo(target).absolutePath();
        const QString folderBefore = f.w.live().folderText(LiveSettings::TargetFolder);
        const QStringList fds = openDescriptors();
        hook(f, 0);
        {
            EachPump pumps([&](int n) { hook(f, n); });
            f.join(target);
        }

        QPointer<frmJoinStatus> s = f.status();
        QVERIFY(s && s->isVisible());
        const bool noSpace = text == kNoSpace, failed = title.endsWith("Failed!");
        const bool done = title.endsWith("Done!");
        const bool actions = done || title.endsWith("Cancelled!");
        const QString finalText = s->TextFinal->toPlainText();
        QCOMPARE(s->windowTitle(), title);
        QVERIFY(s->TextFinal->isVisible());
        QCOMPARE(finalText, expand(text, f.files.path()).replace("{t}", target));
        QCOMPARE(s->CmdCancel->text(), "Finished");
        if (!figures.isEmpty())
            QCOMPARE(s->LblFilePercent->text() + QLatin1Char(' ') + s->LblBatchPercent->text(),
                     figures);
        for (const QPushButton* b : {s->CmdViewClip, s->CmdDelSource}) {
            QCOMPARE(b->isVisible(), actions);
            QCOMPARE(b->isEnabled() && b->isVisible(), done);
        }
        QCOMPARE(f.fake.messages, failed    ? QStringList{finalText}
                                  : noSpace ? QStringList{kNoSpace}
                                            : QStringList());
        QCOMPARE(f.fake.beeps, actions ? 1 : 0);
        QCOMPARE(f.fake.freeSpaceQueries, QStringList{folder});
        QCOMPARE(f.w.live().folderText(LiveSettings::TargetFolder),
                 noSpace ? folderBefore : folder);
        if (!left.isNull())
            QCOMPARE(readAll(target), left);
        QCOMPARE(openDescriptors(), fds); // every file the run opened is closed
        QCOMPARE(f.fiveButtons(), "11111");

        // The same input again is Finished: the queue is cleared, the window goes.
        press(s, key);
        QVERIFY(!f.status());
        QCOMPARE(f.w.queue()->count(), 0);
        QCOMPARE(f.w.LblEstFilesize->text(), "Estimated Joined Filesize:  0.00 MB");
        QCOMPARE(f.fiveButtons(), "01001");
        QTRY_VERIFY(s.isNull());
    }

    void sparseFileOfThreeGibibytes()
    {
        // Figures past 2 GiB and 32 bits, data marks around 2 GiB and at the
        // end. The target is a pipe that cmp reads while the join writes, so
        // no 3 GiB land on disk.
        Fixture f;
        f.w.SldrChunkSize->setValue(70000);
        const qint64 big = qint64(3) << 30;
        {
            QFile sparse(f.path("big.mpg"));
            QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(big));
            for (const qint64 at : {qint64(0), (qint64(1) << 31) - 3, big - 9})
                QVERIFY(sparse.seek(at) && sparse.write("REELBIND!", 9) == 9);
        }
        const QString a = f.queueExisting("big.mpg", big);
        const QString b = f.queueFile("small.mpg", 1000, 1);
        const QString target = f.path("joined.mpg");
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
        QProcess cmp;
        // fd 3 holds the pipe open until it is drained, whatever cmp finds.
        cmp.start("sh", {"-c",
                         "exec 3<\"$3\"; cat \"$1\" \"$2\" | cmp -s - /dev/fd/3; r=$?; "
                         "cat <&3 >/dev/null; exit $r",
                         "sh", a, b, target});
        QVERIFY(cmp.waitForStarted());

        int lastFile = 0, lastBatch = 0, fileMoves = 0, batchMoves = 0;
        bool inRange = true, labelsExact = true;
        {
            EachPump hook([&](int n) {
                const frmJoinStatus* s = f.status();
                const int fileBar = s->ProgressBarFile->value();
                const int batchBar = s->ProgressBarBatch->value();
                inRange = inRange && fileBar <= frmJoinStatus::kBarRange && batchBar >= lastBatch &&
                          batchBar <= frmJoinStatus::kBarRange;
                fileMoves += fileBar != lastFile;
                batchMoves += batchBar != lastBatch;
                lastFile = fileBar;
                lastBatch = batchBar;
                // Every pump sees the figures of its own round.
                const double done = double(n) * 70000;
                labelsExact =
                    labelsExact &&
                    s->LblBatchPercent->text() ==
                        QStringLiteral("%1%").arg(std::llround(done * 100 / (big + 1000))) &&
                    s->LblFilePercent->text() ==
                        QStringLiteral("%1%").arg(std::llround((done - 70000) * 100 / big));
            });
            f.join(target);
            QCOMPARE(hook.count(), int(big / 70000));
        }
        QVERIFY(cmp.waitForFinished(60000));
        QCOMPARE(cmp.exitCode(), 0); // the same bytes, no more, no fewer
        QVERIFY(inRange);
        QVERIFY(labelsExact);
        QVERIFY(lastBatch > frmJoinStatus::kBarRange * 99 / 100);
        // 46,016 pumps, but a bar only moves by whole pixels.
        QVERIFY(fileMoves <= f.status()->ProgressBarFile->width());
        QVERIFY(batchMoves <= f.status()->ProgressBarBatch->width());
        QCOMPARE(f.status()->ending(), frmJoinStatus::Ending::Joined);
        QCOMPARE(f.status()->LblFilePercent->text() + f.status()->LblBatchPercent->text(),
                 "100%100%");
    }
};

QTEST_MAIN(TestJoinStatus)
#include "test_status.moc"
