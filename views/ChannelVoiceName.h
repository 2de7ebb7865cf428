// The text of the song window's "Name" column in chip modes 3 and 5: General MIDI names, the
// drum-kit table and the voice item's own name. Qt-free.
#pragma once

#include <string>

struct ChannelVoiceNameInput {
  int channel = 0;  // 0-based; index 9 is the channel labelled 10
  int bankMsb = 0;
  int bankLsb = 0;
  int program = 0;
  int chipMode = 3;
  int outputProfile = 2;
  int makerId = 1;
  int modeSetting = 0;  // "KZ-3_ModeSetting"
  /// The name of the channel's voice item, used for banks other than 0 and 125.
  std::string itemName;
};

/// The drum-kit name of bank MSB 125 by program 0..10; empty above 10 or for a mode setting
/// outside 0..2.
std::string DrumKitName(int program, int chipMode, int outputProfile, int makerId, int modeSetting);
/// The "Name" text in chip modes 3 and 5.
std::string ChannelVoiceName(const ChannelVoiceNameInput& in);
