// Must not compile: the draw engine knows nothing of the records kept about it.
#include "records/DrawRecord.h"
