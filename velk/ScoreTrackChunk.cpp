// A score track "MTR" + n.
#include "velk/ScoreTrackChunk.h"

CScoreTrackChunk::CScoreTrackChunk(CMemStream& stream, uint8_t n, uint32_t* /*report*/)
    : CChunk(stream), m_trackNumber(n) {}
