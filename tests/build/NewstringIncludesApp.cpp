// Must not compile: a tool window may not reach into the main window's subsystem.
#include "app/ui/FrmMain.h"
