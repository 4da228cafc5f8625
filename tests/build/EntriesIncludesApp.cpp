// Must not compile: entry sources may not reach into the main window's subsystem.
#include "app/MainCommandState.h"
