// A platform file that reaches up, into the widgets and into FFmpeg.
#include <QWidget>
#include "core/Program.h"
#include <libavformat/avformat.h>
