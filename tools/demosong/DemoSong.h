// The demo song the screenshots open: a small format-0 Standard MIDI File of our own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace demosong {

/// Four channels with their program changes, a tempo and notes of several lengths and
/// velocities, well within the chip's event-density limits.
std::vector<uint8_t> Build();

/// Writes the song; false when the file could not be written.
bool Write(const std::string& path);

}  // namespace demosong
