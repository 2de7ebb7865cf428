// The one-voice VELK image that the voice editor plays on the emulator to audition a voice.
#pragma once

#include <array>
#include <cstdint>

class CMemStream;
class CNamedBlock;
class CVoiceItem;

/// The FM user waves an audition may carry, by wave-shape number 0..31 (null: none).
using AuditionUserWaves = std::array<const CNamedBlock*, 32>;

/// Packs n bytes 7 into 8 (a top-bit byte, then the bytes with bit 7 cleared; a last group of
/// r bytes gives r + 1). `out` takes 8 * (n / 7) + 8 bytes. The packed length, or 0 (nothing
/// written) when the scratch buffer cannot be had.
uint32_t PackAuditionData(const uint8_t* bytes, uint32_t n, uint8_t* out);

/// Appends the whole image to `stream`: contents information, optional data, a score track
/// with the voice's set-up (reset, the voice, its wave or user waves) and one note of `note`
/// at `velocity` for `gateMs`, then the CRC-16. Returns 1. Throws -108 when memory runs out.
int BuildAuditionVelk(const AuditionUserWaves& userWaves, CMemStream& stream, int unused, int note,
                      int masterVolume, int velocity, uint32_t gateMs, const CVoiceItem& voice);
