#include "gui/ProgramStyle.h"

#include "gui/Icons.h"

#include <QApplication>
#include <QGroupBox>
#include <QPainter>
#include <QStyleOption>

ProgramStyle::ProgramStyle() : QProxyStyle(QApplication::style()->name()) {}

QIcon ProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                 const QWidget* widget) const
{
    if (icon == SP_ToolBarHorizontalExtensionButton)
        return Icons::more();
    return QProxyStyle::standardIcon(icon, option, widget);
}

void ProgramStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const
{
    if (element != PE_FrameGroupBox ||
        baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0)
        return QProxyStyle::drawPrimitive(element, option, painter, widget);
    // Fusion's frame picture as lines: a faint rounded border, a fainter line inside it, the
    // inside shaded, below the title's height.
    const auto* box = qobject_cast<const QGroupBox*>(widget);
    const bool titled = !box || box->isCheckable() || !box->title().isEmpty();
    const int top =
        3 +
        (titled ? qMax(pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height()) : 0);
    const QRectF border =
        QRectF(option->rect.adjusted(0, top, 0, 0)).adjusted(1.5, 1.5, -0.5, -0.5);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QColor(0x75, 0x75, 0x75, 0x32));
    painter->setBrush(QColor(0, 0, 0, 3));
    painter->drawRoundedRect(border, 2, 2);
    painter->setPen(QColor(0, 0, 0, 4));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(border.adjusted(1, 1, -1, -1));
    painter->restore();
}
