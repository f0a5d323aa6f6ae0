#include "support/TestSupport.h"

#include "app/frmReelbind.h"
#include "platform/FakePlatform.h"

#include <QApplication>
#include <QFile>
#include <QWidget>

namespace TestSupport {

void initGuiTest()
{
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QFont font(QStringLiteral("Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}

QStringList visibleTopLevels()
{
    QStringList names;
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget* w : widgets)
        if (w->isVisible())
            names << (w->objectName().isEmpty() ? w->windowTitle() : w->objectName());
    return names;
}

QStringList closeAllTopLevels()
{
    const QStringList left = visibleTopLevels();
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget* w : widgets)
        if (w->isVisible())
            w->close();
    return left;
}

QByteArray pattern(qint64 size, int seed)
{
    QByteArray data(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        data[i] = char((i * 131 + seed) % 251);
    return data;
}

QString makeFile(const QString& dir, const QString& name, qint64 size, int seed)
{
    const QString path = dir + QLatin1Char('/') + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot create %s", qPrintable(path));
    const qint64 block = 1 << 20;
    for (qint64 done = 0; done < size; done += block) {
        const qint64 n = qMin(block, size - done);
        QByteArray data(n, Qt::Uninitialized);
        for (qint64 i = 0; i < n; ++i)
            data[i] = char(((done + i) * 131 + seed) % 251);
        f.write(data);
    }
    return path;
}

App::App(const char* ini) : platform(std::make_unique<FakePlatform>())
{
    if (ini) {
        QFile f(iniPath());
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write ini");
        f.write(ini);
    }
    window = std::make_unique<frmReelbind>(*platform, folder.path());
}

App::~App()
{
    window.reset();
}

QString App::iniPath() const
{
    return folder.path() + QStringLiteral("/tarvik.ini");
}

QByteArray App::iniBytes() const
{
    QFile f(iniPath());
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

} // namespace TestSupport
