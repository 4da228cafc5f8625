#include "common/MemoryRelease.h"

#include <malloc.h>

namespace kuji {

void returnFreedMemory()
{
    malloc_trim(0);
}

} // namespace kuji
