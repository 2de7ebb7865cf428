// How long a song image plays, as the stand-in emulator measures it.
#pragma once

#include <cstdint>
#include <optional>

/// The end of the image's last score event in milliseconds; nothing when the image is not a
/// VELK file the reader can decode.
std::optional<uint32_t> MeasurePlayTimeMs(const uint8_t* image, int32_t size);
