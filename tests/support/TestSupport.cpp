#include "support/TestSupport.h"

#include "Product.h"
#include "gui/frmReelbind.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>
#include <algorithm>

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

int topLevelCount(const char* className)
{
    const auto widgets = QApplication::topLevelWidgets();
    return int(std::count_if(widgets.begin(), widgets.end(),
                             [className](const QWidget* w) { return w->inherits(className); }));
}

QStringList layoutFaults(const QWidget* window)
{
    QStringList faults;
    const auto controls = window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const QWidget* w = controls[i];
        const QString name = w->objectName();
        if (!window->rect().contains(w->geometry()))
            faults << name + QStringLiteral(" leaves the window");
        for (qsizetype j = i + 1; j < controls.size(); ++j)
            if (w->geometry().intersects(controls[j]->geometry()))
                faults << name + QStringLiteral(" overlaps ") + controls[j]->objectName();
        const QFontMetrics fm = w->fontMetrics();
        QSize need;
        if (auto* b = qobject_cast<const QPushButton*>(w))
            need = QSize(fm.horizontalAdvance(b->text()) + 8, fm.height());
        else if (auto* c = qobject_cast<const QCheckBox*>(w))
            need = QSize(c->sizeHint().width(), fm.height());
        else if (auto* l = qobject_cast<const QLabel*>(w); l && !l->text().isEmpty())
            need = l->wordWrap() ? QSize(0, l->heightForWidth(l->width()))
                                 : QSize(fm.horizontalAdvance(l->text()), fm.height());
        if (need.width() > w->width() || need.height() > w->height())
            faults << name + QStringLiteral(" cuts its text");
    }
    return faults;
}

QStringList unnamedControls(const QWidget* window)
{
    QStringList unnamed;
    const auto controls = window->findChildren<QWidget*>();
    for (QWidget* w : controls) {
        if (!(w->focusPolicy() & Qt::TabFocus) && !qobject_cast<QProgressBar*>(w))
            continue;
        if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue; // the inner parts of Qt's own controls; every control of ours has a name
        const QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << w->objectName();
    }
    return unnamed;
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

QString sized(const QString& dir, const QString& name, qint64 size)
{
    QFile f(dir + QLatin1Char('/') + name);
    return f.open(QIODevice::WriteOnly) && f.resize(size) ? f.fileName() : QString();
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QString reason(int error)
{
    return PosixFileSystem::systemReason(error);
}

namespace {
// Deleted sources go to a trash of the tests' own, never the user's.
void ownTrash()
{
    static QTemporaryDir home;
    if (qEnvironmentVariableIsEmpty("XDG_DATA_HOME"))
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
}
} // namespace

Core::Core(const QByteArray& ini) : m_programFolder(folder.path())
{
    ownTrash();
    if (!ini.isNull()) {
        QFile f(iniPath());
        if (!f.open(QIODevice::WriteOnly) || f.write(ini) != ini.size())
            qFatal("cannot write ini");
    }
    program = std::make_unique<Program>(files, Locations::portable(m_programFolder));
    program->startUp();
}

Core::Core(InFolder where) : m_programFolder(where.path)
{
    ownTrash();
    program = std::make_unique<Program>(files, Locations::portable(m_programFolder));
    program->startUp();
}

Core::Core(const Locations& where) : m_programFolder(where.settingsFolder)
{
    ownTrash();
    program = std::make_unique<Program>(files, where);
    program->startUp();
}

Core::~Core() = default;

QString Core::iniPath() const
{
    return program ? program->iniPath()
                   : m_programFolder + QLatin1Char('/') + Product::kSettingsFileName;
}

QByteArray Core::iniBytes() const
{
    return readAll(iniPath());
}

QByteArray Core::firstStartIni() const
{
    const QByteArray dir = m_programFolder.toUtf8();
    return "[Preferences]\nSaveSourceDir=1\nSaveTargetDir=1\nSourceDir=" + dir +
           "\nTargetDir=" + dir + "\nConfirmDel=1\nClearQue=0\nChunkSizeSave=1\nChunkSize=40000\n";
}

App::App(const QByteArray& ini) : Core(ini)
{
    window = std::make_unique<frmReelbind>(*program, desktop);
}

App::App(InFolder where) : Core(where)
{
    window = std::make_unique<frmReelbind>(*program, desktop);
}

App::~App()
{
    window.reset();
}

} // namespace TestSupport
