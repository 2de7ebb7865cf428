// The byte that several chunk classes keep first behind the chunk base: the kind of a wave
// record and the number of a numbered wave chunk, set through one name.
#pragma once

#include <cstdint>

#include "velk/ChunkInfo.h"
#include "velk/WaveDataChunk.h"

inline void SetByteField16(CChunkInfo& chunk, uint8_t value) { chunk.SetKind(value); }
inline void SetByteField16(CWaveDataChunk& chunk, uint8_t value) { chunk.SetNumber(value); }
