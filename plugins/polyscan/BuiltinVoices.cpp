// The chip driver's own voices: one FM voice per program and a drum kit by key.
#include "plugins/polyscan/BuiltinVoices.h"

#include <array>

namespace polyscan {

namespace {

constexpr uint8_t kFirstDrumKey = 24;
constexpr uint8_t kLastDrumKey = 84;

// Drum keys played by PCM voices in ROM; the other keys 24-84 are FM voices.
constexpr std::array<uint8_t, 21> kPcmDrumKeys = {31, 33, 35, 36, 38, 40, 41, 42, 43, 44, 45,
                                                  46, 47, 48, 49, 50, 51, 52, 55, 57, 59};

}  // namespace

VoiceKind BuiltinMelodyVoice(uint8_t) { return VoiceKind::Fm; }

std::optional<VoiceKind> BuiltinDrumVoice(uint8_t key) {
  if (key < kFirstDrumKey || key > kLastDrumKey) return std::nullopt;
  for (uint8_t pcm : kPcmDrumKeys) {
    if (pcm == key) return VoiceKind::Pcm;
  }
  return VoiceKind::Fm;
}

}  // namespace polyscan
