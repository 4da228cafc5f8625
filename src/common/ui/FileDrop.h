#pragma once

class QDropEvent;

namespace kuji {

// A file dropped on the program is only read, so the drop is taken as a copy whatever the
// file manager proposed: taking the move it often proposes would have it delete the file.
// A drag that offers no copy is refused. True when the drop was taken.
bool acceptFileDropAsCopy(QDropEvent& drop);

} // namespace kuji
