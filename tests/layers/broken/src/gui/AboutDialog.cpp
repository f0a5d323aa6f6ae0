// A window that opens another window itself: only the main window creates the others.
#include "gui/AboutDialog.h"
#include "gui/PreferencesDialog.h"
