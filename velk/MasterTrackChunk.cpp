// The master track "MSTR".
#include "velk/MasterTrackChunk.h"

CMasterTrackChunk::CMasterTrackChunk(CMemStream& stream) : CChunk(stream) {}
