// General MIDI program and drum-key names and the short voice-type labels.
#pragma once

#include <cstdint>

/// The short name of a General MIDI program (0..127); null for any other program.
const char* GetGMProgramName(uint8_t bankMsb, uint8_t bankLsb, uint8_t program);
/// Keys 24..84 give the drum-key name, 13..23 and 85..91 "Drum", other keys null.
const char* GetGMDrumName(uint8_t bankMsb, uint8_t bankLsb, uint8_t program, uint8_t key);
/// Always "F2".
const char* GetProgramVoiceType(uint8_t bankMsb, uint8_t bankLsb, uint8_t program);
/// "F2", "F4" or "P" for a drum key; null where no label applies. Keys outside 24..84 depend on
/// the output profile, the maker id and the mode setting.
const char* GetDrumKeyVoiceType(uint8_t bankMsb, uint8_t bankLsb, uint8_t program, uint8_t key);
