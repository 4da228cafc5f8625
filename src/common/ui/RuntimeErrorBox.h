#pragma once

class QWidget;

namespace kuji {

class Platform;
class RuntimeError;

// Reports the pending runtime error in the program's error box (critical icon, OK, title
// "エラー", text "実行時エラー 'n':" and the description below it), then clears it. With
// nothing pending it shows nothing.
void myShowRuntimeError(Platform& platform, QWidget* parent, RuntimeError& pending);

} // namespace kuji
