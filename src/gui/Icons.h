#pragma once

#include <QIcon>

class QPainter;

/// The program's own pictures, drawn in code so they scale to any size.
namespace Icons {

/// The program icon: a strip of film whose two halves are joined. Every
/// window carries it.
QIcon program();

/// Paints the program icon into the square (0, 0, size, size) of any
/// device: the one drawing behind every size and the desktop's icon files.
void paintProgram(QPainter& painter, qreal size);

/// Arrows for the move buttons.
QIcon arrowUp();
QIcon arrowDown();

/// The menu bar's button for the menus that do not fit.
QIcon more();

} // namespace Icons
