// The "MMMG" chunk.
#include "velk/MmmgChunk.h"

CMmmgChunk::CMmmgChunk(CMemStream& stream) : CChunk(stream) {}
