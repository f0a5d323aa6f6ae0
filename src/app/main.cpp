#include "Product.h"
#include "core/Program.h"
#include "core/join/CommandLineJoin.h"
#include "core/text/Translations.h"
#include "gui/Icons.h"
#include "gui/MainWindow.h"
#include "gui/ProgramStyle.h"
#include "gui/QtDesktop.h"
#include "platform/PosixFileSystem.h"
#include "platform/SignalWatcher.h"
#include "platform/SingleInstance.h"
#include "platform/XdgFolders.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QLocale>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <unistd.h>

namespace {

void print(FILE* to, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
}

// Where the program's translations lie: installed, or beside a portable program.
QStringList translationFolders()
{
    const QString bin = QCoreApplication::applicationDirPath();
    return {QDir::cleanPath(bin + QLatin1Char('/') + Product::kTranslationsFromBin),
            bin + QStringLiteral("/translations")};
}

/// --join: the join runs without a window or a display, its progress and
/// its failure on standard error; the exit status says how it ended.
int joinWithoutWindow(QCoreApplication& app, const CommandLineJoin::Request& request)
{
    PosixFileSystem files;
    CommandLineJoin join(files, ::isatty(STDERR_FILENO) == 1,
                         [](const QString& text) { print(stderr, text); });
    // Ctrl+C, kill or a logout: the join stops and what it wrote is removed.
    SignalWatcher stop({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&stop, &SignalWatcher::received, &join,
                     [&join](int signalNumber) { join.stop(128 + signalNumber); });
    QObject::connect(&join, &CommandLineJoin::finished, &app,
                     [](int status) { QCoreApplication::exit(status); });
    QTimer::singleShot(0, &join, [&join, &request] { join.start(request); });
    return app.exec();
}

/// What needs no window, in the user's language: --help, --version, a
/// misused option, --join, the hint when there is no display. Returns the
/// exit status, or nothing when the window is to open; `named` then holds
/// the files to queue.
std::optional<int> withoutWindow(int argc, char* argv[], QStringList& named)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const QString name = QFileInfo(args.value(0, QStringLiteral("reelbind"))).fileName();
    QCoreApplication app(argc, argv);
    const Translations texts(translationFolders(), QLocale());
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "main", "Joins movie files into one: byte for byte (MPEG program and transport streams),\n"
                "or MP4/MOV parts or Matroska/WebM parts as one movie whose pictures are copied\n"
                "unchanged and whose sound plays on without a gap where parts meet. On btrfs and\n"
                "XFS the parts' blocks are shared. The window shows the speed and the time left,\n"
                "puts the progress on the launcher icon, tells the desktop when a long join ends\n"
                "and offers to add a set's other parts; --join joins without a window. The texts\n"
                "follow the desktop's language (LANGUAGE, LANG).\n\n"
                "Examples:\n"
                "  reelbind --join movie.mp4 part1.mp4 part2.mp4\n"
                "  reelbind --with-sets --join movie.vob VTS_01_1.VOB"));
    const QCommandLineOption help(
        {QStringLiteral("h"), QStringLiteral("help")},
        QCoreApplication::translate("main", "Shows this help and exits."));
    const QCommandLineOption version(
        {QStringLiteral("v"), QStringLiteral("version")},
        QCoreApplication::translate("main", "Shows the version and exits."));
    const QCommandLineOption join(
        QStringLiteral("join"),
        QCoreApplication::translate("main", "Joins the FILEs into TARGET without a window and "
                                            "exits; an existing TARGET is replaced."),
        QStringLiteral("TARGET"));
    const QCommandLineOption bytes(
        QStringLiteral("bytes"),
        QCoreApplication::translate("main", "With --join: joins byte for byte, even movie parts."));
    const QCommandLineOption oneMovie(
        QStringLiteral("one-movie"),
        QCoreApplication::translate(
            "main", "With --join: joins the parts as one movie, or fails where they cannot be "
                    "(by default they are where they can be)."));
    const QCommandLineOption withSets(
        QStringLiteral("with-sets"),
        QCoreApplication::translate(
            "main", "With --join: adds the other parts of a set given by its first part."));
    const QCommandLineOption trashSources(
        QStringLiteral("trash-sources"),
        QCoreApplication::translate("main",
                                    "With --join: moves the FILEs to the trash once joined."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(join);
    parser.addOption(bytes);
    parser.addOption(oneMovie);
    parser.addOption(withSets);
    parser.addOption(trashSources);
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QCoreApplication::translate(
            "main", "A file to queue, as if dropped on the list; with --join, a file to join."),
        QStringLiteral("[FILE...]"));
    // The usage line names the program as it was typed, without its folder.
    QString usage = parser.helpText();
    if (const qsizetype at = usage.indexOf(app.arguments().constFirst()); at >= 0)
        usage.replace(at, app.arguments().constFirst().size(), name);
    if (!parser.parse(args)) {
        print(stderr,
              name + QStringLiteral(": ") + parser.errorText() + QStringLiteral("\n\n") + usage);
        return 2;
    }
    if (parser.isSet(help)) {
        print(stdout, usage);
        return 0;
    }
    if (parser.isSet(version)) {
        print(stdout, Product::kName + QLatin1Char(' ') + Product::kVersion + QLatin1Char('\n'));
        return 0;
    }
    QString misuse;
    if (!parser.isSet(join)) {
        for (const QCommandLineOption* option : {&bytes, &oneMovie, &withSets, &trashSources})
            if (parser.isSet(*option))
                misuse = QCoreApplication::translate("main", "--%1 needs --join.")
                             .arg(option->names().constFirst());
    } else if (parser.positionalArguments().isEmpty()) {
        misuse = QCoreApplication::translate("main", "--join needs the files to join.");
    } else if (parser.isSet(bytes) && parser.isSet(oneMovie)) {
        misuse = QCoreApplication::translate("main", "--bytes and --one-movie exclude each other.");
    }
    if (!misuse.isEmpty()) {
        print(stderr, name + QStringLiteral(": ") + misuse + QStringLiteral("\n\n") + usage);
        return 2;
    }
    if (parser.isSet(join)) {
        using Method = CommandLineJoin::Method;
        return joinWithoutWindow(app, {parser.value(join), parser.positionalArguments(),
                                       parser.isSet(bytes)      ? Method::Bytes
                                       : parser.isSet(oneMovie) ? Method::OneMovie
                                                                : Method::AsOffered,
                                       parser.isSet(withSets), parser.isSet(trashSources)});
    }

    // A Wayland display whose socket is gone (a stale variable) would make Qt abort: X, or the
    // hint below, instead.
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (!wayland.isEmpty() && !QFileInfo::exists(wayland.startsWith(QLatin1Char('/'))
                                                     ? wayland
                                                     : qEnvironmentVariable("XDG_RUNTIME_DIR") +
                                                           QLatin1Char('/') + wayland))
        qunsetenv("WAYLAND_DISPLAY");
    // Without a display Qt would only print its platform-plugin error.
    const char* platformEnv = std::getenv("QT_QPA_PLATFORM");
    const bool explicitPlatform = platformEnv && *platformEnv;
    if (!explicitPlatform && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        print(stderr, QCoreApplication::translate(
                          "main", "reelbind: no display found; start it from a desktop session, or "
                                  "without one run: xvfb-run -a %1\n")
                          .arg(QString::fromLocal8Bit(argc > 0 ? argv[0] : "reelbind")));
        return 1;
    }
    for (const QString& file : parser.positionalArguments())
        named << QFileInfo(file).absoluteFilePath();
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[])
{
    ignoreRelativeXdgFolders();
    // The command line first: --help and --version need no display.
    QStringList named;
    if (const std::optional<int> status = withoutWindow(argc, argv, named))
        return *status;

    QApplication app(argc, argv);
    const Translations texts(translationFolders(), QLocale());
    // Files for a program that already runs in this session go to its queue.
    // The display the program really uses, not what the variables say.
    const QString platform = QGuiApplication::platformName();
    QString refusal;
    const QString session = SingleInstance::socketName(
        platform,
        platform == QLatin1String("wayland")
            ? qEnvironmentVariable("WAYLAND_DISPLAY", QStringLiteral("wayland-0"))
            : qEnvironmentVariable("DISPLAY"),
        &refusal);
    if (!refusal.isEmpty())
        print(stderr, refusal + QLatin1Char('\n'));
    if (!named.isEmpty() && SingleInstance::handOver(session, named))
        return 0;

    QApplication::setApplicationName(Product::kName);
    QApplication::setApplicationVersion(Product::kVersion);
    QApplication::setDesktopFileName(Product::kDesktopId);
    QApplication::setWindowIcon(Icons::program());
    QApplication::setStyle(new ProgramStyle);
    QFont font(QStringLiteral("Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);

    PosixFileSystem files;
    QtDesktop desktop(Product::kName);
    Program program(files, Locations::of(QCoreApplication::applicationDirPath(), files));
    program.startUp();
    MainWindow window(program, desktop);
    // Logout, Ctrl+C or kill: as the close box, after a running join has stopped and removed
    // what it wrote; the terminal is told which join.
    SignalWatcher stop({SIGTERM, SIGINT, SIGHUP});
    QString stoppedJoin;
    QObject::connect(&stop, &SignalWatcher::received, &program, [&program, &stoppedJoin] {
        if (program.join().phase() == JoinSession::Phase::Joining)
            stoppedJoin = program.join().target();
        program.exit(Program::ExitKind::Stopped);
    });
    SingleInstance link;
    link.listen(session); // when another program listens already, this one runs on its own
    QObject::connect(&link, &SingleInstance::filesHanded, &window,
                     [&window](const QStringList& handed) {
                         window.showNormal();
                         window.raise();
                         window.activateWindow();
                         window.openFiles(handed);
                     });
    window.show();
    if (!named.isEmpty())
        window.openFiles(named);
    const int status = app.exec();
    if (!stoppedJoin.isEmpty())
        std::fprintf(
            stderr, "%s\n",
            qPrintable(QCoreApplication::translate(
                           "main", "reelbind: the join to %1 was stopped; nothing was written.")
                           .arg(stoppedJoin)));
    return status;
}
