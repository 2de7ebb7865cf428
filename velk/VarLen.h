// Variable-length numbers of sequence data: 7-bit groups, most significant first.
#pragma once

#include <cstdint>

#include "song/MemStream.h"

/// Appends one to five bytes; 0 is a single 0x00.
void WriteVarLen(CMemStream& stream, uint32_t value);
