#include "gui/Desktop.h"

#include <QCoreApplication>

Desktop::~Desktop() = default;

QStringList Desktop::movieFilters(const QString& first)
{
    return {first.isEmpty() ? QCoreApplication::translate("Desktop", "MPG Files (*.mpg)") : first,
            QCoreApplication::translate("Desktop", "All Files (*)")};
}
