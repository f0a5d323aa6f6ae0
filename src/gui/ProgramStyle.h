#pragma once

#include <QProxyStyle>

/// The desktop's style for every window, with the program's own drawing of
/// what Fusion reads from image files for the main window (the menu bar's
/// button for menus that do not fit, the group box's frame): reading the
/// first image loads every image format plugin, and their libraries, at
/// start-up.
class ProgramStyle : public QProxyStyle
{
public:
    /// Wraps the style the application would use (its -style option,
    /// QT_STYLE_OVERRIDE or the desktop's).
    ProgramStyle();
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};
