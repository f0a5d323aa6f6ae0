// Queue speed: Add and drop of many files, and the editing commands on a
// long queue, each measured until the list and the estimate are painted.
//
// Every operation runs at the full size and at half of it; the ratio
// full/half is about 2 for linear work and about 4 for quadratic work.
// Run: ./bench_queue   (offscreen unless QT_QPA_PLATFORM is set)

#include "core/text/Format.h"
#include "core/join/CancelToken.h"
#include "core/join/JoinChecks.h"
#include "gui/QueueList.h"
#include "support/GuiSupport.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

constexpr double kBudgetMs = 500.0;

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "bench_queue: wrong result: %s\n", what);
        std::exit(2);
    }
}

QueueList* list(MainWindow& w)
{
    return TestSupport::child<QueueList>(&w, "ListViewAdd");
}

/// Clicks the main window's button `name`.
void click(MainWindow& w, const char* name)
{
    TestSupport::child<QAbstractButton>(&w, name)->click();
}

/// Lets the window lay out and paint what changed, as the user would see it.
void showChanges(MainWindow& w)
{
    QCoreApplication::processEvents();
    list(w)->viewport()->repaint();
    TestSupport::child(&w, "LblEstFilesize")->repaint();
}

std::unique_ptr<TestSupport::App> freshWindow()
{
    auto app = std::make_unique<TestSupport::App>();
    app->window->show();
    check(QTest::qWaitForWindowExposed(app->window.get()), "window shown");
    showChanges(*app->window);
    return app;
}

/// Names in a shuffled order, so that keeping the sort order is real work.
QStringList shuffledNames(int n, const char* pattern)
{
    QStringList names;
    for (int i = 0; i < n; ++i)
        names << QString::fromLatin1(pattern).arg(i);
    std::shuffle(names.begin(), names.end(), *QRandomGenerator::global());
    return names;
}

QStringList makeFiles(const QString& dir, int n)
{
    QStringList paths;
    const QStringList names = shuffledNames(n, "clip%1.mpg");
    for (int i = 0; i < n; ++i)
        paths << TestSupport::makeFile(dir, names[i], 1000 + i % 5000);
    return paths;
}

void fillQueue(TestSupport::App& app, int n)
{
    MainWindow& w = *app.window;
    QList<QueueRow> rows;
    const QStringList names = shuffledNames(n, "movie part %1.mpg");
    for (int i = 0; i < n; ++i)
        rows.append(
            QueueRow{names[i], QStringLiteral("/home/user/Videos/batch%1/").arg(i % 37),
                     Format::megabytes(qint64(QRandomGenerator::global()->bounded(1 << 30)))});
    app.queue().model().append(rows);
    app.queue().refreshEstimate();
    app.queue().setJoinRunning(false); // every command on, as an Add leaves them
    showChanges(w);
}

double timeMs(const std::function<void()>& fn)
{
    QElapsedTimer t;
    t.start();
    fn();
    return double(t.nsecsElapsed()) / 1e6;
}

struct Result
{
    QString name;
    int size;
    double full;
    double half;
};

QList<Result> results;

/// Runs `op` at n and n/2 (best of `reps` each) and records it.
void measure(const QString& name, int n, int reps, const std::function<double(int)>& op)
{
    auto best = [&](int size) {
        double b = 1e18;
        for (int r = 0; r < reps; ++r)
            b = std::min(b, op(size));
        return b;
    };
    const double half = best(n / 2);
    const double full = best(n);
    results.append({name, n, full, half});
    std::printf("%-44s n=%6d  %8.1f ms   (n/2: %7.1f ms, ratio %.2f)  %s\n", qPrintable(name), n,
                full, half, full / half, full < kBudgetMs ? "ok" : "OVER BUDGET");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    TestSupport::initGuiTest();

    QTemporaryDir files;
    const int nFiles = 10000;
    std::printf("creating %d files...\n", nFiles);
    const QStringList allPaths = makeFiles(files.path(), nFiles);
    std::printf("budget per operation: %.0f ms\n\n", kBudgetMs);

    // Split sets of three parts, all added: each first part's folder is looked at for its set.
    QTemporaryDir setFiles;
    QStringList setPaths;
    for (int i = 0; setPaths.size() < nFiles; ++i)
        for (int part = 1; part <= 3; ++part)
            setPaths << TestSupport::makeFile(
                setFiles.path(),
                QStringLiteral("set%1.mpg.%2").arg(i).arg(part, 3, 10, QLatin1Char('0')), 1000);
    using Files = std::pair<const char*, const QStringList*>;
    for (const auto& [title, paths] : {Files{"Add (dialog) into an empty queue", &allPaths},
                                       Files{"Add (dialog) parts of split sets", &setPaths}})
        measure(QString::fromLatin1(title), nFiles, 3, [&, paths = paths](int n) {
            auto app = freshWindow();
            MainWindow& w = *app->window;
            app->desktop.setNextOpenFiles(paths->mid(0, n));
            const double ms = timeMs([&] {
                click(w, "CmdAdd"); // the dialog answers from the event loop
                TestSupport::waitUntil([&] { return app->queue().count() == n; });
                showChanges(w);
            });
            check(app->queue().count() == n, "rows after Add");
            return ms;
        });

    measure(QStringLiteral("Add (dialog) into a queue of as many rows"), nFiles, 3, [&](int n) {
        auto app = freshWindow();
        MainWindow& w = *app->window;
        fillQueue(*app, n);
        app->desktop.setNextOpenFiles(allPaths.mid(0, n));
        const double ms = timeMs([&] {
            click(w, "CmdAdd");
            TestSupport::waitUntil([&] { return app->queue().count() == 2 * n; });
            showChanges(w);
        });
        check(app->queue().count() == 2 * n, "rows after second Add");
        return ms;
    });

    measure(QStringLiteral("Drop onto the list"), nFiles, 3, [&](int n) {
        auto app = freshWindow();
        MainWindow& w = *app->window;
        QList<QUrl> urls;
        for (const QString& p : allPaths.mid(0, n))
            urls << QUrl::fromLocalFile(p);
        QMimeData mime;
        mime.setUrls(urls);
        return timeMs([&] {
            QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton,
                                  Qt::NoModifier);
            QCoreApplication::sendEvent(list(w)->viewport(), &enter);
            QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(list(w)->viewport(), &drop);
            check(drop.isAccepted(), "drop accepted");
            while (app->queue().count() < n)
                QCoreApplication::processEvents();
            showChanges(w);
        });
    });

    // Join pressed: every queued file's first bytes are read before the save dialog.
    measure(QStringLiteral("Kinds read before the save dialog"), nFiles, 3, [&](int n) {
        auto app = freshWindow();
        app->desktop.setNextOpenFiles(allPaths.mid(0, n));
        click(*app->window, "CmdAdd");
        check(TestSupport::waitUntil([&] { return app->queue().count() == n; }), "files added");
        const CancelToken go;
        JoinChecks checks(app->files, go);
        QStringList paths;
        for (const QueueRow& row : app->queue().rows())
            paths << row.fullPath();
        JoinVerdict verdict;
        const double ms = timeMs([&] { verdict = checks.lookAtKinds(paths); });
        check(verdict.kind == JoinVerdict::Kind::Go && app->files.opened.size() == n,
              "every file read, none asks");
        return ms;
    });

    const int nRows = 100000;
    std::printf("\n");

    measure(QStringLiteral("Select every second row (setup)"), nRows, 1, [&](int n) {
        auto app = freshWindow();
        MainWindow& w = *app->window;
        fillQueue(*app, n);
        QItemSelection sel;
        for (int r = 0; r < n; r += 2)
            sel.append(QItemSelectionRange(app->queue().model().index(r, 0),
                                           app->queue().model().index(r, 2)));
        return timeMs([&] {
            list(w)->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
            showChanges(w);
        });
    });

    measure(QStringLiteral("Remove every second row"), nRows, 1, [&](int n) {
        auto app = freshWindow();
        MainWindow& w = *app->window;
        fillQueue(*app, n);
        QItemSelection sel;
        for (int r = 0; r < n; r += 2)
            sel.append(QItemSelectionRange(app->queue().model().index(r, 0),
                                           app->queue().model().index(r, 2)));
        list(w)->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
        showChanges(w);
        const double ms = timeMs([&] {
            click(w, "CmdRemove");
            showChanges(w);
        });
        check(app->queue().count() == n / 2, "rows after Remove");
        return ms;
    });

    measure(QStringLiteral("Move Up of a selected block of 1,000 rows"), nRows, 1, [&](int n) {
        auto app = freshWindow();
        MainWindow& w = *app->window;
        fillQueue(*app, n);
        list(w)->selectionModel()->select(
            QItemSelection(app->queue().model().index(n / 2, 0),
                           app->queue().model().index(n / 2 + 999, 2)),
            QItemSelectionModel::ClearAndSelect);
        list(w)->scrollTo(app->queue().model().index(n / 2, 0));
        showChanges(w);
        return timeMs([&] {
            click(w, "CmdMoveUp");
            showChanges(w);
        });
    });

    measure(QStringLiteral("Sort by a column click (size)"), nRows, 1, [&](int n) {
        auto app = freshWindow();
        MainWindow& w = *app->window;
        fillQueue(*app, n);
        QHeaderView* header = list(w)->header();
        const QPoint pos(header->sectionViewportPosition(2) + 5, header->height() / 2);
        return timeMs([&] {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, pos);
            showChanges(w);
        });
    });

    measure(QStringLiteral("Clear"), nRows, 1, [&](int n) {
        auto app = freshWindow();
        MainWindow& w = *app->window;
        fillQueue(*app, n);
        return timeMs([&] {
            click(w, "CmdClear");
            showChanges(w);
        });
    });

    int over = 0;
    for (const Result& r : results)
        if (r.full >= kBudgetMs)
            ++over;
    std::printf("\n%d of %d operations over the %.0f ms budget\n", over, int(results.size()),
                kBudgetMs);
    return over == 0 ? 0 : 1;
}
