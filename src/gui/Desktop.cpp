#include "gui/Desktop.h"

#include <QCoreApplication>

Desktop::~Desktop() = default;

QStringList Desktop::movieFilters()
{
    return {QCoreApplication::translate("Desktop", "MPG Files (*.mpg)"),
            QCoreApplication::translate("Desktop", "All Files (*)")};
}
