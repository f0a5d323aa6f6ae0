// The status window's figures and when (ProgressThrottle), its pace line, the relay to its thread.
#include "core/status/JoinPace.h"
#include "core/status/ProgressRelay.h"
#include "core/status/ProgressThrottle.h"
#include "support/CoreSupport.h"
#include <thread>
using namespace TestSupport;
using P = ProgressThrottle;
constexpr int Line = P::FileLine, FileP = P::FilePercent, BatchP = P::BatchPercent,
              FileBar = P::FileBar, Bars = P::FileBar | P::BatchBar, Ms = P::kFrameMs;
// A step (n: total, length, bytes done or frame time/items; shown: bytes the percent shows).
enum Op { Batch, File, Copied, End, StartFrames, Mark, Frame, StopFrames };
struct S
{
    Op op;
    qint64 n = 0, shown = 0;
    int items = 0;
    QString filePercent = "0%", batchPercent = "0%";
    int fileBar = 0, batchBar = 0;
};
class TestStatus : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::system()); }
    // Nothing shows as changed until a visible step (a whole percent, a pixel) is crossed.
    void progress_data()
    {
        const Table<int, QList<S>> row({"barWidth", "steps"});
        constexpr qint64 G8 = qint64(8) << 30;
        row("a file, a visible step at a time", 8,
            {S{Batch, 1024}, S{File, 1024}, S{Copied, 4, 0}, S{Copied, 7, 4, BatchP, "0%", "1%"},
             S{Copied, 101, 96, FileP | BatchP, "9%", "10%"},
             S{Copied, 128, 101, FileP | BatchP | Bars, "10%", "13%", 125, 125},
             S{Copied, 1018, 1014, FileP | BatchP | Bars, "99%", "99%", 994, 994},
             S{Copied, 1019, 1018, BatchP, "99%", "100%", 994, 994},
             S{Copied, 1024, 1024, FileP | Bars, "100%", "100%", 1000, 1000},
             S{End, 0, 0, Bars, "100%", "100%"}});
        row("past 32 bits, after a file of no bytes", 1,
            {S{Batch, G8}, S{File, 0}, S{File, G8}, S{Copied, G8 / 2, 0, BatchP, "0%", "50%"},
             S{Copied, G8, G8, FileP | BatchP | Bars, "100%", "100%", 1000, 1000},
             S{End, 0, 0, Bars, "100%", "100%"}});
        row("nothing to copy: all of it copied", 10,
            {S{Batch, 0}, S{File, 0}, S{End, 0, 0, FileP | BatchP, "100%", "100%"}});
        row("a new file empties its bar; a cancel shows how far it came", 200,
            {S{Batch, 4096}, S{File, 2048}, S{Copied, 512, 0, BatchP | Bars, "0%", "13%", 250, 125},
             S{Copied, 2048, 2048, FileP | BatchP | Bars, "100%", "50%", 1000, 500},
             S{File, 2048, 0, FileBar, "100%", "50%", 0, 500},
             S{Copied, 512, 0, FileP | BatchP | Bars, "0%", "63%", 250, 625},
             S{End, 0, 0, FileP | Bars, "25%", "63%"}});
        // A Frame's figures are those of the step before it.
        row("frames: none while off, too soon or unchanged; changes add up", 100,
            {S{Mark, Line | FileP}, S{Frame, 0}, S{StartFrames, 0}, S{Mark, Line}, S{Frame, Ms - 1},
             S{Batch, 4096}, S{File, 4096},
             S{Copied, 1024, 0, BatchP | Bars, "0%", "25%", 250, 250},
             S{Frame, Ms + 1, 0, Line | BatchP | Bars}, S{Frame, Ms + 2}, S{Mark, FileBar},
             S{Frame, 2 * Ms + 1}, S{Frame, 2 * Ms + 2, 0, FileBar},
             S{End, 0, 0, FileP | Bars, "25%", "25%"}, S{Mark, P::BatchBar}, S{StopFrames},
             S{Frame, 10 * Ms}});
    }
    void progress()
    {
        P p;
        p.setBarWidth(fetch<int>("barWidth"));
        JoinFigures f;
        QStringList seen, expected;
        S last{End};
        for (const S& s : fetch<QList<S>>("steps")) {
            const int items = s.op == Batch    ? p.batchStarted(f.batchTotal = s.n)
                              : s.op == File   ? (f.fileLength = s.n, f.fileDone = f.fileShown = 0,
                                                p.fileStarted(f))
                              : s.op == Copied ? (f.batchDone += s.n - f.fileDone, f.fileDone = s.n,
                                                  f.fileShown = s.shown, p.copied(f))
                              : s.op == End    ? p.ended()
                              : s.op == Frame  ? p.takeFrame(s.n)
                              : s.op == StartFrames ? (p.startFrames(s.n), 0)
                              : s.op == Mark        ? (p.markChanged(int(s.n)), 0)
                                                    : (p.stopFrames(), 0);
            last = s.op < StartFrames ? s : last;
            seen << joined(p.filePercent(), p.batchPercent(), p.fileBar(), p.batchBar(), items);
            expected << joined(last.filePercent, last.batchPercent, last.fileBar, last.batchBar,
                               s.items);
        }
        QCOMPARE(seen, expected);
    }
    // The time left in the user's locale for each of `seconds`, then lines at 85.3 MB/s and at 0.
    void paceWording_data()
    {
        const Table<QString, QList<qint64>, QStringList> row({"locale", "seconds", "texts"});
        row("English", "en_US", {0, 45, 59, 60, 62, 63, 3597, 3599, 7530, 3600000},
            {"0 s", "45 s", "59 s", "1 min 0 s", "1 min 0 s", "1 min 5 s", "59 min 55 s",
             "1 h 0 min", "2 h 6 min", "1,000 h 0 min", "85.3 MB/s, about 1 min 20 s left",
             "0.0 MB/s"});
        row("German", "de_DE", {3600000},
            {"1.000 h 0 min", "85,3 MB/s, about 1 min 20 s left", "0,0 MB/s"});
    }
    void paceWording()
    {
        QLocale::setDefault(QLocale(fetch<QString>("locale")));
        QStringList texts;
        for (const qint64 seconds : fetch<QList<qint64>>("seconds"))
            texts << JoinPace::duration(seconds);
        constexpr double MB = 1 << 20;
        QTEST(texts << JoinPace::line(85.3 * MB, qint64(80 * 85.3 * MB)) << JoinPace::line(0, 5),
              "texts");
    }
    // 1000 MiB: a line from 2 s on, then each half second; a new pace moves the speed a fifth.
    void pace()
    {
        QLocale::setDefault(QLocale("en_US"));
        JoinPace pace;
        pace.start(1000 << 20);
        const QList<qint64> ms = {0, 1999, 2000, 2400, 2499, 2500, 3000, 3500},
                            megabytes = {0, 100, 200, 240, 249, 250, 250, 350};
        QStringList lines;
        for (int i = 0; i < ms.size(); ++i)
            lines << pace.update(megabytes[i] << 20, ms[i]).value_or("");
        const QString at100 = "100.0 MB/s, about 8 s left";
        QCOMPARE(lines, QStringList({"", "", at100, "", "", at100, "80.0 MB/s, about 10 s left",
                                     "104.0 MB/s, about 7 s left"}));
    }
    // From the join's thread: the batch, then a turn's last file start and newest figures, posts.
    void relay()
    {
        ProgressRelay relay;
        QStringList got;
        connect(&relay, &ProgressRelay::batchStartedHere,
                [&](qint64 total) { got << QString("batch %1").arg(total); });
        connect(&relay, &ProgressRelay::fileStartedHere, [&](int i, const JoinFigures& f) {
            got << QString("file %1 at %2").arg(i).arg(f.batchDone);
        });
        connect(&relay, &ProgressRelay::copiedHere, [&](const JoinFigures& f) {
            got << QString("copied %1/%2").arg(f.batchDone).arg(f.fileDone);
        });
        const auto turn = [&](const std::function<void()>& reports) {
            std::thread([&] {
                reports();
                QMetaObject::invokeMethod(
                    &relay, [&] { got << "posted"; }, Qt::QueuedConnection);
            }).join();
            QCoreApplication::processEvents();
        };
        // Sources of 100 bytes; `done` of the batch of 400.
        const auto file = [&](int i) { relay.fileStarted(i, {400, 100 * i, 100, 0, 0}); };
        const auto copied = [&](qint64 done) { relay.copied({400, done, 100, done % 100, 0}); };
        turn([&] { relay.batchStarted(400), file(0), copied(10), copied(20); });
        turn([&] { copied(30); });
        turn([] {});
        turn([&] { copied(50), file(1), copied(110), file(2), copied(210), copied(220); });
        turn([&] { copied(300), file(3); });
        QCOMPARE(got, QStringList({"batch 400", "file 0 at 0", "copied 20/20", "posted",
                                   "copied 30/30", "posted", "posted", "file 2 at 200",
                                   "copied 220/20", "posted", "file 3 at 300", "posted"}));
    }
};
REELBIND_CORE_TEST_MAIN(TestStatus)
#include "test_status.moc"
