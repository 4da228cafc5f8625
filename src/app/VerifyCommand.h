#pragma once

#include <optional>
#include <ostream>

namespace kuji {

// The program's one command-line use: "kujimaru --verify RECORD [ENTRY_FILE]" re-runs a
// recorded draw without opening a window and prints what it found. Returns the exit status
// (0 the draw came out as recorded, 1 something differs, 2 the record or its entries could
// not be read, or the arguments are wrong), or nothing when the arguments do not start with
// --verify, so the program starts its window as usual.
std::optional<int> runVerifyCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

} // namespace kuji
