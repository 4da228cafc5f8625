#pragma once

namespace kuji {

// Starts the program: one application, its main window, the event loop.
int runApplication(int argc, char** argv);

} // namespace kuji
