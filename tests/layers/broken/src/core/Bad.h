// A core file that reaches up and into the widgets: every include is a fault.
#include <QLabel>
#include <QString>
#include <QtGui/QColor>
#include "gui/MainWindow.h"
