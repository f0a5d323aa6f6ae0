// Joins files through the real main window and status window (the save
// dialog answered by the scripted desktop), or with --engine through the
// copy loop alone, or with --pump through the copy loop and the event pump
// of a shown main window but no status window; prints the time and the
// peak memory.
//   bench_join [--engine | --pump] CHUNK TARGET SOURCE...
#include "core/CopyLoop.h"
#include "gui/frmReelbind.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPushButton>
#include <QSlider>
#include <cstdio>
#include <memory>

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

struct Quiet : JoinProgress
{
    bool pump = false;
    void batchStarted(qint64) override {}
    void fileStarted(int, const JoinFigures&) override {}
    void copied(const JoinFigures&) override {}
    void pumpEvents() override
    {
        if (pump)
            QCoreApplication::processEvents();
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestSupport::initGuiTest();
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool engineOnly = !args.isEmpty() && args.first() == QLatin1String("--engine");
    const bool pumpOnly = !args.isEmpty() && args.first() == QLatin1String("--pump");
    if (engineOnly || pumpOnly)
        args.removeFirst();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_join [--engine | --pump] CHUNK TARGET SOURCE...\n");
        return 2;
    }
    const int chunk = args.takeFirst().toInt();
    const QString target = args.takeFirst();
    qint64 bytes = 0;
    for (const QString& s : std::as_const(args))
        bytes += QFileInfo(s).size();

    QElapsedTimer timer;
    bool ok = false;
    if (engineOnly || pumpOnly) {
        std::unique_ptr<TestSupport::App> a;
        if (pumpOnly) {
            a = std::make_unique<TestSupport::App>();
            a->window->show();
            QElapsedTimer settle;
            settle.start();
            while (settle.elapsed() < 300)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        Quiet quiet;
        quiet.pump = pumpOnly;
        PosixFileSystem files;
        CopyLoop loop(files, args, target, chunk, quiet);
        timer.start();
        ok = loop.run() == CopyLoop::Outcome::Joined;
    } else {
        TestSupport::App a;
        frmReelbind& w = *a.window;
        w.show();
        // Let the window reach the screen before the clock starts.
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 300)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        w.SldrChunkSize->setValue(chunk);
        a.queue().model().setSortedOff(); // join in the order given
        if (!a.queue().add(args).isEmpty())
            return 1;
        a.desktop.setNextSaveFile(target);
        timer.start();
        w.CmdJoin_Click();
        ok = a.join().ending() == JoinSession::Ending::Joined;
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (!ok || QFileInfo(target).size() != bytes) {
        std::fprintf(stderr, "bench_join: the join did not complete\n");
        return 1;
    }
    std::printf("bytes=%lld seconds=%.4f peak_rss_kib=%ld platform=%s\n", (long long)bytes, seconds,
                peakRssKiB(), qPrintable(QGuiApplication::platformName()));
    return 0;
}
