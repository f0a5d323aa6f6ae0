// A platform file that reaches up and into the widgets.
#include <QWidget>
#include "core/Program.h"
