// Byte readers and the variable-length number of Standard MIDI File images in memory.
#pragma once

#include <cstdint>
#include <vector>

class CMemStream;

/// Thrown (as a plain int) by every SMF walker when an image is malformed.
inline constexpr int kSmfMalformed = 0;

/// The longest variable-length number a Standard MIDI File may hold.
inline constexpr uint32_t kMaxVarLenBytes = 4;

/// The byte at p; the caller has checked that it is there.
inline uint8_t GetU8(const uint8_t* p) { return p[0]; }
/// p[0] * 256 + p[1]; the caller has checked both bytes.
inline uint16_t GetBE16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
/// p[0..3] big-endian; the caller has checked all four bytes.
inline uint32_t GetBE32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

/// Bounded forms: throw kSmfMalformed when the bytes are not all before end.
uint8_t GetU8(const uint8_t* p, const uint8_t* end);
uint16_t GetBE16(const uint8_t* p, const uint8_t* end);
uint32_t GetBE32(const uint8_t* p, const uint8_t* end);

/// Reads a variable-length number at *pp and leaves *pp behind it. Throws kSmfMalformed when
/// the number runs past end or over kMaxVarLenBytes bytes.
uint32_t ReadVarLen(const uint8_t** pp, const uint8_t* end);

/// Bytes that WriteStreamVarLen writes for value (1 to 5).
uint32_t VarLenSize(uint32_t value);
/// Writes value as 7-bit groups, most significant first, bit 7 set on all but the last.
/// Throws -108 when the stream cannot grow.
void WriteStreamVarLen(CMemStream& stream, uint32_t value);
/// The same bytes appended to a vector.
void AppendVarLen(std::vector<uint8_t>& out, uint32_t value);
