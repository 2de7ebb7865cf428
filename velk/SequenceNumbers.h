// Number forms and small tables of generation-1/2 sequence data.
#pragma once

#include <cstdint>

#include "song/MemStream.h"

/// The largest value one time number holds.
inline constexpr uint32_t kMaxTimeNumber = 16511;

/// Milliseconds of a time-base code (0x00 1, 0x01 2, 0x02 4, 0x03 5, 0x10 10, 0x11 20,
/// 0x12 40, 0x13 50); every other code gives 1.
uint32_t TimeBaseCodeToMs(uint8_t code);

/// A duration or gate of one to three bytes; the three-byte form adds 16511. Throws -48 when
/// the stream ends inside it.
uint32_t ReadSeqNumber(CMemStream& stream);

/// Writes a value of 0 to 16511 as one byte (up to 127) or two.
void WriteTimeNumber(CMemStream& stream, uint32_t value);
/// Writes a delta of any size: above 16511 as repetitions of [16511, FF 00] and the rest.
void WriteTimeDelta(CMemStream& stream, uint32_t delta);

/// The note of a score-track note byte with the channel's octave shift.
int NoteFromByte(uint8_t noteByte, int octaveShift);

/// The quantized value of a key 0..127 (volume steps); 0 for any other key.
uint8_t LookupByteTable(int key);
