#include "app/Icons.h"
#include "app/frmReelbind.h"
#include "platform/QtPlatform.h"

#include <QApplication>
#include <QFont>
#include <QGuiApplication>
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
    QApplication::setApplicationName(QStringLiteral("Orvel's Reelbind"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.7"));
    QApplication::setWindowIcon(Icons::program());
    QFont font(QStringLiteral("Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);

    QtPlatform platform;
    frmReelbind window(platform, QCoreApplication::applicationDirPath());
    window.show();
    return app.exec();
}
