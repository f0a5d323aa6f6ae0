#include "support/GuiSupport.h"

#include <QApplication>

namespace TestSupport {

void initGuiTest()
{
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QFont font(QStringLiteral("Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}

} // namespace TestSupport
