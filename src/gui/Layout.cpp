#include "gui/Layout.h"

#include <QPushButton>

namespace Layout {

QPushButton* button(QWidget* parent, const char* name, const QString& text, int l, int t, int w,
                    int h)
{
    auto* b = place<QPushButton>(parent, name, l, t, w, h);
    b->setText(text);
    return b;
}

void tabOrder(std::initializer_list<QWidget*> widgets)
{
    QWidget* before = nullptr;
    for (QWidget* w : widgets) {
        if (before)
            QWidget::setTabOrder(before, w);
        before = w;
    }
}

void bringForward(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace Layout
