#include "gui/Icons.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

namespace Icons {

void paintProgram(QPainter& p, qreal size)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);

    // Two film strips meeting in the middle.
    const QColor film(40, 40, 48);
    const QColor frame(120, 170, 230);
    for (int half = 0; half < 2; ++half) {
        const qreal x = half == 0 ? 2 : 25;
        p.setPen(Qt::NoPen);
        p.setBrush(film);
        p.drawRoundedRect(QRectF(x, 8, 21, 32), 2, 2);
        p.setBrush(Qt::white);
        for (int i = 0; i < 4; ++i) {
            p.drawRect(QRectF(x + 2 + i * 5, 10, 3, 3));
            p.drawRect(QRectF(x + 2 + i * 5, 35, 3, 3));
        }
        p.setBrush(half == 0 ? frame : frame.darker(120));
        p.drawRect(QRectF(x + 2, 15, 17, 18));
    }
    // The join: a gold band with a plus across the seam.
    p.setBrush(QColor(240, 190, 40));
    p.setPen(QPen(QColor(120, 80, 0), 1));
    p.drawEllipse(QPointF(24, 24), 9, 9);
    p.setPen(QPen(QColor(90, 50, 0), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(24, 19), QPointF(24, 29));
    p.drawLine(QPointF(19, 24), QPointF(29, 24));
    p.restore();
}

namespace {

QPixmap drawProgram(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    paintProgram(p, size);
    return pm;
}

QPixmap drawArrow(int size, bool up)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    QPainterPath path;
    if (up) {
        path.moveTo(12, 3);
        path.lineTo(21, 13);
        path.lineTo(15, 13);
        path.lineTo(15, 21);
        path.lineTo(9, 21);
        path.lineTo(9, 13);
        path.lineTo(3, 13);
    } else {
        path.moveTo(12, 21);
        path.lineTo(21, 11);
        path.lineTo(15, 11);
        path.lineTo(15, 3);
        path.lineTo(9, 3);
        path.lineTo(9, 11);
        path.lineTo(3, 11);
    }
    path.closeSubpath();
    p.setPen(QPen(QColor(0, 60, 0), 1));
    p.setBrush(QColor(30, 140, 40));
    p.drawPath(path);
    return pm;
}

/// An icon drawn at the size it is asked for, when it is first asked for: nothing is drawn
/// while the program starts, and every size is sharp.
class DrawnIcon : public QIconEngine
{
public:
    explicit DrawnIcon(QPixmap (*draw)(int)) : m_draw(draw) {}
    QIconEngine* clone() const override { return new DrawnIcon(m_draw); }
    void paint(QPainter* p, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const int side = qMin(rect.width(), rect.height());
        p->drawPixmap(QRect(rect.topLeft(), QSize(side, side)),
                      pixmap(QSize(side, side), mode, state));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        const int side = qMax(1, qMin(size.width(), size.height()));
        QPixmap& drawn = m_drawn[side];
        if (drawn.isNull())
            drawn = m_draw(side);
        if (mode != QIcon::Disabled)
            return drawn;
        QStyleOption option;
        return QApplication::style()->generatedIconPixmap(mode, drawn, &option);
    }

private:
    QPixmap (*m_draw)(int);
    QHash<int, QPixmap> m_drawn;
};

// The menu bar's "more" button: two chevrons pointing right.
QPixmap drawMore(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    p.setPen(QPen(QApplication::palette().color(QPalette::ButtonText), 1.5));
    for (const qreal x : {4.0, 9.0})
        p.drawPolyline(QPolygonF({{x, 4}, {x + 3.5, 8}, {x, 12}}));
    return pm;
}

QPixmap drawUp(int s)
{
    return drawArrow(s, true);
}
QPixmap drawDown(int s)
{
    return drawArrow(s, false);
}

// Each icon is one engine for the program's life, so that a size is drawn once; never
// destroyed, as a pixmap may not outlive the application.
template <QPixmap (*Draw)(int)> QIcon drawnOnce()
{
    static const QIcon* icon = new QIcon(new DrawnIcon(Draw));
    return *icon;
}

} // namespace

QIcon program()
{
    return drawnOnce<drawProgram>();
}

QIcon arrowUp()
{
    return drawnOnce<drawUp>();
}

QIcon arrowDown()
{
    return drawnOnce<drawDown>();
}

QIcon more()
{
    return drawnOnce<drawMore>();
}

} // namespace Icons
