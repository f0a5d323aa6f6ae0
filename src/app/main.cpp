#include "Product.h"
#include "core/Program.h"
#include "gui/Icons.h"
#include "gui/frmReelbind.h"
#include "platform/PosixFileSystem.h"
#include "platform/QtDesktop.h"
#include "platform/SignalWatcher.h"

#include <QApplication>
#include <QFont>
#include <csignal>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    // Without a display Qt would only print its platform-plugin error.
    const char* platformEnv = std::getenv("QT_QPA_PLATFORM");
    const bool explicitPlatform = platformEnv && *platformEnv;
    if (!explicitPlatform && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        std::fprintf(stderr,
                     "reelbind: no display found; start it from a desktop session, "
                     "or without one run: xvfb-run -a %s\n",
                     argc > 0 ? argv[0] : "reelbind");
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(Product::kName);
    QApplication::setApplicationVersion(Product::kVersion);
    QApplication::setWindowIcon(Icons::program());
    QFont font(QStringLiteral("Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);

    PosixFileSystem files;
    QtDesktop desktop(Product::kName);
    Program program(files, Locations::of(QCoreApplication::applicationDirPath()));
    program.startUp();
    frmReelbind window(program, desktop);
    // Logout, Ctrl+C or kill: as the close box, after a running join has stopped.
    SignalWatcher stop({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&stop, &SignalWatcher::received, &window, &QWidget::close);
    window.show();
    return app.exec();
}
