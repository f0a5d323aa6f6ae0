#include "support/GuiSupport.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <algorithm>

namespace TestSupport {

void initGuiTest()
{
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QFont font(QStringLiteral("Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}

QStringList visibleTopLevels(bool close)
{
    QStringList names;
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget* w : widgets) {
        if (!w->isVisible())
            continue;
        names << (w->objectName().isEmpty() ? w->windowTitle() : w->objectName());
        if (close)
            w->close();
    }
    return names;
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

void tableRows(const char* column, std::initializer_list<const char*> rows)
{
    QTest::addColumn<QString>(column);
    for (const char* row : rows) {
        const QString text = QString::fromUtf8(row);
        QTest::newRow(qPrintable(text.section(QLatin1Char('='), 0, 0)))
            << (text.contains(QLatin1Char('=')) ? text.section(QLatin1Char('='), 1) : text);
    }
}

QString shown(const QObject* parent, const char* name)
{
    const QObject* c = child<QObject>(parent, name);
    return c->property(c->inherits("QProgressBar") ? "value" : "text").toString();
}

void press(const QObject* parent, const char* name)
{
    if (auto* action = parent->findChild<QAction*>(QLatin1String(name)))
        action->trigger();
    else
        QTest::mouseClick(child(parent, name), Qt::LeftButton);
}

QString shownEach(const QObject* parent, std::initializer_list<const char*> names)
{
    QStringList out;
    for (const char* name : names)
        out << shown(parent, name);
    return out.join(QLatin1Char(' '));
}

} // namespace TestSupport
