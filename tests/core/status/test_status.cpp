// What the status window is told of a join: the figures it shows and when (ProgressThrottle), the
// line of its pace (JoinPace), and the progress carried to its thread (ProgressRelay).
#include "core/status/JoinPace.h"
#include "core/status/ProgressRelay.h"
#include "core/status/ProgressThrottle.h"
#include "support/CoreSupport.h"

#include <QSemaphore>
#include <thread>

using namespace TestSupport;
using P = ProgressThrottle;

namespace {

constexpr int Line = P::FileLine, FileP = P::FilePercent, BatchP = P::BatchPercent,
              FileBar = P::FileBar, Bars = P::FileBar | P::BatchBar, Ms = P::kFrameMs;
// A step of a join as the window hears it (Batch: n its total; File: n its length; Copied: n the
// file's bytes done, `shown` those its percentage shows; End) or of its frames (time or items in
// n), then the items changed (painted, for a Frame) and what the window shows.
enum Op { Batch, File, Copied, End, StartFrames, Mark, Frame, StopFrames };
struct Step
{
    Op op;
    qint64 n = 0, shown = 0;
    int items = 0;
    const char *filePercent = "0%", *batchPercent = "0%";
    int fileBar = 0, batchBar = 0;
};

// Reports from the join's thread: a source started (FileStarted), the batch's bytes done (Copied);
// or what reached the relay's thread, and a Turn: a call the join's thread posted there after.
struct Report
{
    enum { BatchStarted, FileStarted, Copied, Turn } what;
    int file = 0;
    qint64 bytes = 0; // the batch's total, or its bytes done
    QString text() const { return QString("%1 %2 %3").arg(int(what)).arg(file).arg(bytes); }
};

constexpr qint64 kSeconds[] = {0, 45, 59, 60, 62, 63, 3597, 3599, 7530, 3600000};

} // namespace

class TestStatus : public QObject
{
    Q_OBJECT
private slots:
    // Nothing shows as changed until a visible step (a whole percent, a pixel) is crossed.
    void progress_data()
    {
        QTest::addColumn<int>("barWidth");
        QTest::addColumn<QList<Step>>("steps");
        constexpr qint64 G8 = qint64(8) << 30;
        QTest::newRow("a file, a visible step at a time")
            << 8
            << QList<Step>{{Batch, 1024},
                           {File, 1024},
                           {Copied, 4, 0},
                           {Copied, 7, 4, BatchP, "0%", "1%"},
                           {Copied, 101, 96, FileP | BatchP, "9%", "10%"},
                           {Copied, 128, 101, FileP | BatchP | Bars, "10%", "13%", 125, 125},
                           {Copied, 1018, 1014, FileP | BatchP | Bars, "99%", "99%", 994, 994},
                           {Copied, 1019, 1018, BatchP, "99%", "100%", 994, 994},
                           {Copied, 1024, 1024, FileP | Bars, "100%", "100%", 1000, 1000},
                           {End, 0, 0, Bars, "100%", "100%"}};
        QTest::newRow("past 32 bits, after a file of no bytes")
            << 1
            << QList<Step>{{Batch, G8},
                           {File, 0},
                           {File, G8},
                           {Copied, G8 / 2, 0, BatchP, "0%", "50%"},
                           {Copied, G8, G8, FileP | BatchP | Bars, "100%", "100%", 1000, 1000},
                           {End, 0, 0, Bars, "100%", "100%"}};
        QTest::newRow("nothing to copy: all of it copied")
            << 10
            << QList<Step>{{Batch, 0}, {File, 0}, {End, 0, 0, FileP | BatchP, "100%", "100%"}};
        QTest::newRow("a new file empties its bar; a cancel shows how far it came")
            << 200
            << QList<Step>{{Batch, 4096},
                           {File, 2048},
                           {Copied, 512, 0, BatchP | Bars, "0%", "13%", 250, 125},
                           {Copied, 2048, 2048, FileP | BatchP | Bars, "100%", "50%", 1000, 500},
                           {File, 2048, 0, FileBar, "100%", "50%", 0, 500},
                           {Copied, 512, 0, FileP | BatchP | Bars, "0%", "63%", 250, 625},
                           {End, 0, 0, FileP | Bars, "25%", "63%"}};
        // A Frame's figures are those of the step before it.
        QTest::newRow("frames: none while off, too soon or unchanged; changes add up")
            << 100
            << QList<Step>{{Mark, Line | FileP},
                           {Frame, 0},
                           {StartFrames, 0},
                           {Mark, Line},
                           {Frame, Ms - 1},
                           {Batch, 4096},
                           {File, 4096},
                           {Copied, 1024, 0, BatchP | Bars, "0%", "25%", 250, 250},
                           {Frame, Ms + 1, 0, Line | BatchP | Bars},
                           {Frame, Ms + 2},
                           {Mark, FileBar},
                           {Frame, 2 * Ms + 1},
                           {Frame, 2 * Ms + 2, 0, FileBar},
                           {End, 0, 0, FileP | Bars, "25%", "25%"},
                           {Mark, P::BatchBar},
                           {StopFrames},
                           {Frame, 10 * Ms}};
    }
    void progress()
    {
        QFETCH(int, barWidth);
        QFETCH(QList<Step>, steps);
        P p;
        p.setBarWidth(barWidth);
        JoinFigures f;
        QStringList seen, expected;
        Step last{End};
        const auto shown = [](const QString& file, const QString& batch, int fileBar, int batchBar,
                              int items) {
            return QString("%1 %2 bars %3 %4 items %5")
                .arg(file, batch)
                .arg(fileBar)
                .arg(batchBar)
                .arg(items);
        };
        for (const Step& s : steps) {
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
            seen << shown(p.filePercent(), p.batchPercent(), p.fileBar(), p.batchBar(), items);
            expected << shown(last.filePercent, last.batchPercent, last.fileBar, last.batchBar,
                              s.items);
        }
        QCOMPARE(seen, expected);
    }

    // The line's wording in the user's locale: the time left (to 5 s from a minute on, to
    // minutes from an hour on) for each of kSeconds, then lines at 85.3 MB/s with 80 s left and
    // at no speed.
    void paceWording_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("timesLeft");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("English") << "en_US" << QStringList{"0 s",          "45 s",      "59 s",
                                                           "1 min 0 s",    "1 min 0 s", "1 min 5 s",
                                                           "59 min 55 s",  "1 h 0 min", "2 h 6 min",
                                                           "1,000 h 0 min"}
                                 << QStringList{"85.3 MB/s, about 1 min 20 s left", "0.0 MB/s"};
        QTest::newRow("German") << "de_DE" << QStringList{"0 s",          "45 s",      "59 s",
                                                          "1 min 0 s",    "1 min 0 s", "1 min 5 s",
                                                          "59 min 55 s",  "1 h 0 min", "2 h 6 min",
                                                          "1.000 h 0 min"}
                                << QStringList{"85,3 MB/s, about 1 min 20 s left", "0,0 MB/s"};
    }
    void paceWording()
    {
        QFETCH(QString, locale);
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
        QLocale::setDefault(QLocale(locale));
        QStringList times;
        for (const qint64 seconds : kSeconds)
            times << JoinPace::duration(seconds);
        QTEST(times, "timesLeft");
        constexpr double MB = 1 << 20;
        QTEST(
            QStringList({JoinPace::line(85.3 * MB, qint64(80 * 85.3 * MB)), JoinPace::line(0, 5)}),
            "lines");
    }
    // A join of 1000 MB (of 1,048,576 bytes): its line is due from 2 s on, then at most every
    // half second; a change of pace moves the speed a fifth of the way.
    void pace_data()
    {
        QTest::addColumn<QList<qint64>>("ms");
        QTest::addColumn<QList<qint64>>("megabytesDone");
        QTest::addColumn<QStringList>("lines"); // "": not due
        const QString at100 = "100.0 MB/s, about 8 s left";
        QTest::newRow("not before 2 s")
            << QList<qint64>{0, 1999} << QList<qint64>{0, 100} << QStringList{"", ""};
        QTest::newRow("at 2 s, the average so far")
            << QList<qint64>{1999, 2000} << QList<qint64>{100, 200} << QStringList{"", at100};
        QTest::newRow("then every half second")
            << QList<qint64>{2000, 2400, 2499, 2500} << QList<qint64>{200, 240, 249, 250}
            << QStringList{at100, "", "", at100};
        QTest::newRow("a hiccup, then a spurt")
            << QList<qint64>{2000, 2500, 3000} << QList<qint64>{200, 200, 300}
            << QStringList{at100, "80.0 MB/s, about 10 s left", "104.0 MB/s, about 7 s left"};
    }
    void pace()
    {
        QFETCH(QList<qint64>, ms);
        QFETCH(QList<qint64>, megabytesDone);
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
        QLocale::setDefault(QLocale("en_US"));
        JoinPace pace;
        pace.start(1000 << 20);
        QStringList lines;
        for (int i = 0; i < ms.size(); ++i)
            lines << pace.update(megabytesDone[i] << 20, ms[i]).value_or("");
        QTEST(lines, "lines");
    }

    // Three sources of 20,000 rounds each reported from another thread (waiting for a delivery
    // every 1,000 rounds where the event loop runs), then a call of its own posted there: on this
    // thread batchStarted first, each delivery's fileStarted before its copied, in order, fewer
    // deliveries than reports, the newest figures last and nothing after that call. Where this
    // thread's event loop turns only once the reports are all in, the sources started before the
    // last are skipped.
    void relay_data()
    {
        QTest::addColumn<bool>("loopRuns");
        QTest::newRow("while the event loop runs") << true;
        QTest::newRow("all between two turns of the event loop") << false;
    }
    void relay()
    {
        QFETCH(bool, loopRuns);
        ProgressRelay relay;
        QList<Report> got;
        QSemaphore delivered; // where the loop runs, the join's thread waits for it at times
        connect(&relay, &ProgressRelay::batchStartedHere, [&](qint64 total) {
            got << Report{Report::BatchStarted, 0, total};
        });
        connect(&relay, &ProgressRelay::fileStartedHere, [&](int i, const JoinFigures& f) {
            got << Report{Report::FileStarted, i, f.batchDone};
        });
        connect(&relay, &ProgressRelay::copiedHere, [&](const JoinFigures& f) {
            got << Report{Report::Copied, int(f.fileLength), f.batchDone}, delivered.release();
        });
        constexpr qint64 kFile = 200000, kRound = 10;
        QEventLoop loop;
        std::thread join([&] {
            relay.batchStarted(3 * kFile);
            for (int file = 0; file < 3; ++file) {
                relay.fileStarted(file, {3 * kFile, kFile * file, file, 0, 0});
                for (qint64 done = kRound; done <= kFile; done += kRound) {
                    relay.copied({3 * kFile, kFile * file + done, file, done, done - kRound});
                    if (loopRuns && done % 10000 == 0)
                        delivered.tryAcquire(1, 60000);
                }
            }
            QMetaObject::invokeMethod(
                &relay, [&] { got << Report{Report::Turn}, loop.quit(); }, Qt::QueuedConnection);
        });
        QTimer::singleShot(60000, &loop, &QEventLoop::quit); // only where the test fails
        if (!loopRuns)
            join.join();
        loop.exec();
        if (loopRuns)
            join.join();
        QCoreApplication::processEvents(); // anything still posted comes now
        QStringList seen;
        for (const Report& r : std::as_const(got))
            seen << r.text();
        const QString batch = Report{Report::BatchStarted, 0, 3 * kFile}.text(),
                      newest = Report{Report::Copied, 2, 3 * kFile}.text(),
                      turn = Report{Report::Turn}.text();
        if (!loopRuns)
            QCOMPARE(seen, QStringList({batch, Report{Report::FileStarted, 2, 2 * kFile}.text(),
                                        newest, turn}));
        QCOMPARE(seen.first(), batch);
        QCOMPARE(seen.mid(seen.size() - 2), QStringList({newest, turn}));
        QVERIFY2(got.size() < 3 * kFile / kRound, qPrintable(QString::number(got.size())));
        int file = -1;
        qint64 done = 0;
        for (const Report& r : got.mid(1, got.size() - 2)) {
            QVERIFY2(r.what == Report::FileStarted ? r.file > file : r.file == file,
                     qPrintable(seen.join(", ")));
            QVERIFY(r.bytes >= done && r.what != Report::BatchStarted);
            file = r.file, done = r.bytes;
        }
    }
};

REELBIND_CORE_TEST_MAIN(TestStatus)
#include "test_status.moc"
