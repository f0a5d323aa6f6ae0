#include "gui/frmAbout.h"
#include "gui/frmPrefs.h"
