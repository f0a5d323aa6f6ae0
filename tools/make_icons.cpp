// Renders the program's icon, drawn in code, into the files a desktop wants:
//   make_icons OUTDIR ID   writes OUTDIR/scalable/ID.svg and OUTDIR/<n>x<n>/ID.png
// Run by the build; nothing of it is installed but its pictures.
#include "gui/Icons.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_icons OUTDIR ID\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]), id = QString::fromLocal8Bit(argv[2]);
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2").arg(out).arg(size);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        Icons::paintProgram(p, size);
        p.end();
        if (!QDir().mkpath(dir) || !image.save(dir + QLatin1Char('/') + id + ".png"))
            return 1;
    }
    QSvgGenerator svg;
    QDir().mkpath(out + QStringLiteral("/scalable"));
    svg.setFileName(out + QStringLiteral("/scalable/") + id + ".svg");
    svg.setSize(QSize(48, 48));
    svg.setViewBox(QRect(0, 0, 48, 48));
    svg.setTitle(id);
    QPainter p(&svg);
    Icons::paintProgram(p, 48);
    return p.end() ? 0 : 1;
}
