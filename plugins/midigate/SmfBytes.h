// Byte helpers shared by the import and the export: VLQ, tempo rounding, QX fields, SysEx envelope.
#pragma once

#include <cstddef>
#include <cstdint>

class CMemStream;

namespace midigate {

/// The longest variable-length quantity a Standard MIDI File may hold.
inline constexpr uint32_t kMaxVarLenBytes = 4;
inline constexpr uint32_t kMaxVarLenValue = 0x0FFFFFFF;

/// Reads a variable-length quantity at p, never at or past end, and moves p behind it.
/// Fails (CNVERR_FAILED) when it runs into end or is longer than four bytes.
uint32_t ReadVarLen(const uint8_t*& p, const uint8_t* end);

/// Number of bytes WriteVarLen writes for value.
uint32_t VarLenSize(uint32_t value);
/// Appends value as 7-bit groups, most significant first, bit 7 set on all but the last.
void WriteVarLen(CMemStream& out, uint32_t value);

inline uint16_t ReadBE16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint32_t ReadBE32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

/// Microseconds per quarter note over the division, in single precision, rounded half up.
uint32_t RoundTempoPerTick(uint32_t tempo, uint32_t division);

/// Size of one QX song-information field.
inline constexpr size_t kInfoFieldSize = 256;

/// Copies the text up to the next ':' (at most 255 characters, zero-terminated) into field and
/// returns how many bytes to advance: the field and its ':' (none after the last field).
size_t SplitInfoField(const uint8_t* text, size_t n, char (&field)[kInfoFieldSize]);

/// Group bytes of the dialect's device messages.
inline constexpr uint8_t kGroupSong = 0x7D;
inline constexpr uint8_t kGroupDevice = 0x7F;

/// Writes F0, the length (payloadLength + the five header bytes + F7), 43 79 06, group, command.
/// The caller appends the payload and the closing F7.
void WriteSysExEnvelope(CMemStream& out, uint32_t payloadLength, uint8_t group, uint8_t command);

/// Appends n plain bytes packed 7 in 8, straight into out; a buffer that cannot grow throws -108.
void WritePacked(CMemStream& out, const uint8_t* plain, uint32_t n);

}  // namespace midigate
