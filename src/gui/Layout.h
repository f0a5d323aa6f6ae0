#pragma once

#include <QLatin1String>
#include <QWidget>
#include <initializer_list>

class QPushButton;

/// Window layouts are given in twips (1/1440 inch): 15 twips are one pixel
/// at 96 dots per inch, and Qt's own scaling does the rest.
namespace Layout {

/// Twips to pixels, rounded to the nearest.
constexpr int px(int twips)
{
    return (twips + 7) / 15;
}

/// A new child control of type W named `name` (its objectName), placed at
/// left, top, width, height given in twips.
template <typename W> W* place(QWidget* parent, const char* name, int l, int t, int w, int h)
{
    auto* widget = new W(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(px(l), px(t), px(w), px(h));
    return widget;
}

/// A push button with its caption, placed as `place` does.
QPushButton* button(QWidget* parent, const char* name, const QString& text, int l, int t, int w,
                    int h);

/// Keyboard focus order: each widget follows the one before it.
void tabOrder(std::initializer_list<QWidget*> widgets);

/// Shows `window`, raised above the others and active.
void bringForward(QWidget* window);

} // namespace Layout
