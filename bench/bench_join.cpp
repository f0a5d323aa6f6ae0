// Joins files through the real main window and status window (the save
// dialog answered by the scripted desktop), or with --engine through the
// byte join alone; prints the time, the path the copy took, the longest
// round, the longest gap (with the windows: between two turns of the window's
// event loop while the join runs on its thread; --engine: between two reports
// of progress), and the peak memory.
//   bench_join [--engine] [--fallback] [--sync] [--movie] CHUNK TARGET SOURCE... | @LIST
// --movie: movie parts, joined as one movie (the question answered by Enter).
// --noshare: never share blocks, copy always. sources=: each source shared (s) or copied (c).
// --fallback: read and write, never the kernel's copy. --sync: the time
// includes syncing the target's file system. @LIST: a file of source paths.
#include "core/join/ByteCopy.h"
#include "core/join/CancelToken.h"
#include "support/GuiSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

long peakRssKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

/// The longest time between two calls of tick().
struct Gaps
{
    QElapsedTimer since;
    qint64 longestNs = 0;
    void tick()
    {
        if (since.isValid())
            longestNs = qMax(longestNs, since.nsecsElapsed());
        since.start();
    }
};

/// Progress when no window runs: it only times the gaps between its reports.
struct TimedProgress : JoinProgress
{
    Gaps* gaps = nullptr;
    void batchStarted(qint64) override {}
    void fileStarted(int, const JoinFigures&) override {}
    void copied(const JoinFigures&) override { gaps->tick(); }
};

bool syncTarget(const QString& target)
{
    const int fd = ::open(QFile::encodeName(target).constData(), O_RDONLY | O_CLOEXEC);
    const bool ok = fd >= 0 && ::syncfs(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestSupport::initGuiTest();
    TestSupport::useBuiltModules();
    QStringList args = QCoreApplication::arguments().mid(1);
    bool engineOnly = false, fallback = false, sync = false, movie = false, noShare = false;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString flag = args.takeFirst();
        engineOnly |= flag == QLatin1String("--engine");
        fallback |= flag == QLatin1String("--fallback");
        sync |= flag == QLatin1String("--sync");
        movie |= flag == QLatin1String("--movie");
        noShare |= flag == QLatin1String("--noshare");
    }
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_join [--engine] [--fallback] [--sync] CHUNK TARGET "
                             "SOURCE... | @LIST\n");
        return 2;
    }
    const int chunk = args.takeFirst().toInt();
    const QString target = args.takeFirst();
    if (args.size() == 1 && args.first().startsWith(QLatin1Char('@'))) {
        QFile list(args.takeFirst().mid(1));
        if (!list.open(QIODevice::ReadOnly))
            return 2;
        for (const QByteArray& line : list.readAll().split('\n'))
            if (!line.isEmpty())
                args << QFile::decodeName(line);
    }
    qint64 bytes = 0;
    for (const QString& s : std::as_const(args))
        bytes += QFileInfo(s).size();

    const ByteCopy::Options options{!fallback, 0, !noShare};
    QList<bool> shared;
    QElapsedTimer timer;
    Gaps gaps;
    bool ok = false, kernel = false;
    qint64 longestRoundNs = 0;
    if (engineOnly) {
        TimedProgress progress;
        progress.gaps = &gaps;
        PosixFileSystem files;
        ByteCopy copy(files);
        copy.setOptions(options);
        const CancelToken go;
        files.removeLeftovers(QFileInfo(target).absolutePath());
        timer.start();
        ok = copy.run({args, target, chunk}, progress, go).ending == JoinEnding::Joined &&
             (!sync || syncTarget(target));
        kernel = copy.kernelCopied();
        longestRoundNs = copy.longestRoundNs();
        shared = copy.sharedSources();
    } else {
        TestSupport::App a;
        MainWindow& w = *a.window;
        w.show();
        // Let the window reach the screen before the clock starts.
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 300)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        TestSupport::child<QSlider>(&w, "SldrChunkSize")->setValue(chunk);
        a.join().byteCopy().setOptions(options);
        a.queue().model().setSortedOff(); // join in the order given
        if (!a.queue().add(args).isEmpty())
            return 1;
        a.desktop.setNextSaveFile(target);
        a.desktop.setNextChoice(0);
        QTimer turns; // a tick each turn of the event loop
        QObject::connect(&turns, &QTimer::timeout, [&] { gaps.tick(); });
        timer.start();
        TestSupport::child<QPushButton>(&w, "CmdJoin")->click();
        turns.start(0);
        TestSupport::waitUntil([&] { return !a.join().isRunning(); }, 3600000);
        turns.stop();
        ok = a.join().ending() == JoinSession::Ending::Joined && (!sync || syncTarget(target));
        if (!ok) // what the user would have read
            std::fprintf(stderr, "%s\n%s\n", qPrintable(a.join().question()),
                         qPrintable(a.join().finalText()));
        kernel = a.join().byteCopy().kernelCopied();
        longestRoundNs = a.join().byteCopy().longestRoundNs();
        shared = a.join().byteCopy().sharedSources();
        ok = ok && a.join().joinsAsOneMovie() == movie;
        if (movie) // no rounds: the longest time between two reports instead
            longestRoundNs = a.join().oneMovie().longestGapNs();
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (!ok || (!movie && QFileInfo(target).size() != bytes)) {
        std::fprintf(stderr, "bench_join: the join did not complete\n");
        return 1;
    }
    QString sources;
    for (const bool s : shared)
        sources += s ? QLatin1Char('s') : QLatin1Char('c');
    std::printf("bytes=%lld seconds=%.4f path=%s sources=%s longest_round_ms=%.2f "
                "longest_gap_ms=%.2f peak_rss_kib=%ld platform=%s\n",
                (long long)bytes, seconds,
                movie    ? "one-movie"
                : kernel ? "kernel"
                         : "read-write",
                qPrintable(sources), double(longestRoundNs) / 1e6, double(gaps.longestNs) / 1e6,
                peakRssKiB(), qPrintable(QGuiApplication::platformName()));
    return 0;
}
