// Constants of the song data, the "KZ-3_ModeSetting" profile value and the record comparison.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

class CVoiceAddr;

/// Channels of a song.
inline constexpr int kChannelCount = 16;
/// Size of the per-song tables of the song initialisation.
inline constexpr int kSongTableSize = 33;
/// FM user-wave slots of a song and of the voice library.
inline constexpr int kUserWaveCount = 32;

inline int GetChannelCount() { return kChannelCount; }
inline int GetSongTableSize() { return kSongTableSize; }
inline int GetUserWaveCount() { return kUserWaveCount; }

/// The profile integer "Setting"/"KZ-3_ModeSetting", 0 when absent; read at every call.
int GetModeSetting();
/// 2, 3 or 4 for the mode settings 0, 1 or 2; 2 for any other value.
int GetModeSettingLevel();

/// True when the four values of both records are equal, compared one by one.
bool CompareEventValues(const std::array<uint32_t, 4>& a, const std::array<uint32_t, 4>& b);
/// True when bank MSB, bank LSB, program and note of both addresses are equal.
bool CompareEventValues(const CVoiceAddr& a, const CVoiceAddr& b);

/// Sets an owned part of a working record: the part held goes (through its virtual destructor)
/// and the new one is kept. Setting the part already held keeps it.
template <typename T>
void ReplaceOwnedPart(std::unique_ptr<T>& held, std::unique_ptr<T> part) {
  if (held.get() == part.get()) {
    (void)part.release();  // the same object: owned once, by held
    return;
  }
  held = std::move(part);
}
