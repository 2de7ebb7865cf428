// The device tempo message of the song data: F0 len 43 79 06 7D 10, 7-bit groups, F7.
#pragma once

#include <cstdint>
#include <vector>

namespace velkgate {

inline constexpr uint32_t kDefaultTempo = 500000;

/// True for F0 len 43 79 06 7D 10 with at least three tempo bytes after it.
bool IsTempoMessage(const uint8_t* bytes, uint32_t n);
/// The tempo of a whole tempo message: four groups (bytes 7..10) when bytes 7 and 9 both have
/// bit 7 set, or when byte 7 has it clear and the length byte is 10; else three groups. False
/// when the message is too short for its form.
bool ReadTempoMessage(const uint8_t* bytes, uint32_t n, uint32_t& usPerQuarter);
/// The tempo of the bytes after 7D 10 as the song-data reader takes them: a variable-length
/// number when the first byte has bit 7 set, else four groups when the SysEx length is 10,
/// else three. False when the bytes are too few.
bool ReadTempoPayload(const uint8_t* payload, uint32_t n, uint32_t sysexLength,
                      uint32_t& usPerQuarter);
/// F0 09 43 79 06 7D 10 a b c F7, or F0 0A with four groups above 0x1FFFFF.
std::vector<uint8_t> MakeTempoMessage(uint32_t usPerQuarter);

}  // namespace velkgate
