#include "core/Program.h"
#include "platform/Desktop.h"
