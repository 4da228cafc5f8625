// Must not compile: the records know nothing of the main window's subsystem.
#include "app/MainCommandState.h"
