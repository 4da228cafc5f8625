#pragma once

namespace kuji {

// Hands memory the program has freed back to the system. After a load of millions of records
// is stopped or replaced, the freed blocks would otherwise stay with the process: the lists
// are empty, yet the system sees a gigabyte still taken.
void returnFreedMemory();

} // namespace kuji
