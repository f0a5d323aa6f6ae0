#pragma once

#include <QIcon>

/// The program's own pictures, drawn in code so they scale to any size.
namespace Icons {

/// The program icon: a strip of film whose two halves are joined. Every
/// window carries it.
QIcon program();

/// Arrows for the move buttons.
QIcon arrowUp();
QIcon arrowDown();

} // namespace Icons
