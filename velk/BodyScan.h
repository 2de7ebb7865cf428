// Small helpers of the body parsers that walk setup, seek and sequence bodies byte by byte.
#pragma once

#include <cstdint>
#include <new>

#include "song/MemStream.h"

/// Steps past the next `stop` byte, or to the end when there is none.
inline void SkipPastByte(CMemStream& body, uint8_t stop) {
  while (!body.AtEnd()) {
    uint8_t b = 0;
    body.ReadByte(b);
    if (b == stop) return;
  }
}

/// Runs a parser over a body; a body that ends inside an entry (-48 from the stream) ends the
/// parsing with what was read before. Every other failure is passed on.
template <class Parse>
void ParseToEndOfBody(Parse parse) {
  try {
    parse();
  } catch (int code) {
    if (code != kErrEndOfData) throw;
  }
}

/// Takes the next byte of an exclusive message; false (nothing taken) at its closing F7, so a
/// short message never swallows the one after it. Throws -48 at the end of the body.
inline bool ReadExclusiveByte(CMemStream& body, uint8_t& out) {
  if (body.PeekByte() == 0xF7) return false;
  body.ReadByte(out);
  return true;
}
