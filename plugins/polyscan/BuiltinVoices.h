// The chip driver's own voices: one FM voice per program and a drum kit by key.
#pragma once

#include <cstdint>
#include <optional>

#include "plugins/polyscan/SongTables.h"

namespace polyscan {

/// The built-in melody voice of a program: always an FM voice.
VoiceKind BuiltinMelodyVoice(uint8_t program);

/// The built-in drum voice of a key, or nothing for keys 0-23 and 85-127.
std::optional<VoiceKind> BuiltinDrumVoice(uint8_t key);

}  // namespace polyscan
