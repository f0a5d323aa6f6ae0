// A core file that reaches up, into the widgets and into the movie module: every include is
// a fault.
#include <QLabel>
#include <QString>
#include <QtGui/QColor>
#include "gui/MainWindow.h"
#include "platform/movies/FfmpegMovieEngine.h"
