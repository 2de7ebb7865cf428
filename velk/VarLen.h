// Variable-length numbers of sequence data: 7-bit groups, most significant first.
#pragma once

#include <cstdint>

#include "song/MemStream.h"

/// Appends one to five bytes; 0 is a single 0x00.
void WriteVarLen(CMemStream& stream, uint32_t value);
/// Reads bytes while bit 7 is set, value = value * 128 + low 7 bits, up to the first byte
/// without bit 7. No limit on the count (the value keeps its low 32 bits); throws -48 when
/// the stream ends first.
CMemStream& ReadVarLen(CMemStream& stream, uint32_t& value);
