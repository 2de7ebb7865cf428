// When the main frame's tool-window and voice-transfer commands are enabled and checked: one
// table over the chip mode, output profile, mode setting and the song, play and window states.
#pragma once

#include <optional>

namespace framecmd {

/// What the rules read.
struct State {
  int chipMode = 3;
  int outputProfile = 2;
  /// "Setting"/"KZ-3_ModeSetting".
  int modeSetting = 0;
  bool song = false;
  bool playing = false;
  /// The command's window exists (or, for the mixers and velocity change, is visible).
  bool windowOpen = false;
  bool sendableVoices = false;
  bool streamPcmWaves = false;
};

/// Enabled and checked as the rule sets them; an unset value leaves the item as it is.
struct Rule {
  std::optional<bool> enabled;
  std::optional<bool> checked;
};

/// The rule of a command of the table; nothing set for any other id.
Rule RuleFor(int commandId, const State& s);

/// The commands the table covers.
bool HasRule(int commandId);

}  // namespace framecmd
