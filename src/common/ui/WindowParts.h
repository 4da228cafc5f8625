#pragma once

class QFrame;
class QWidget;

namespace kuji {

// The etched line every window of the program draws across itself just below its toolbar.
QFrame* makeEtchedLine(QWidget* parent);

} // namespace kuji
