// "MTR" + n: a score track, kept raw with its number and format byte.
#include "plugins/velkgate/ScoreTrackChunk.h"

namespace velkgate {

CScoreTrackChunk::CScoreTrackChunk(CMemStream& stream, uint32_t& /*flags*/) : CChunk(stream) {}

}  // namespace velkgate
