// When the main frame's tool-window and voice-transfer commands are enabled and checked.
#include "app/core/FrameCommandRules.h"

namespace framecmd {
namespace {

bool Gen3(const State& s) { return s.chipMode == 3 || s.chipMode == 5; }
bool ModeSettingAllowsPcm(const State& s) { return s.modeSetting == 0 || s.modeSetting == 1; }

Rule StreamPcmAssignMap(const State& s) {
  Rule r{std::nullopt, s.windowOpen};
  if (!Gen3(s)) {
    r.enabled = false;
  } else if (s.outputProfile == 4 || s.outputProfile == 6) {
    r.enabled = false;
  } else if (!s.song) {
    r.enabled = false;
  } else {
    const int p = s.outputProfile;
    const bool listed = p == 1 || p == 2 || p == 3 || p == 5 || p == 7 || p == 8;
    r.enabled = listed ? ModeSettingAllowsPcm(s) : true;
  }
  return r;
}

Rule Mixer(const State& s) {
  Rule r;
  if (Gen3(s) && (s.outputProfile == 4 || s.outputProfile == 6)) {
    r.enabled = false;
  } else if (s.chipMode >= 1 && s.chipMode <= 5) {
    r.enabled = s.song;
  }
  r.checked = s.windowOpen;
  return r;
}

Rule StmSize(const State& s) {
  Rule r{std::nullopt, s.windowOpen};
  if (s.chipMode == 1 || s.chipMode == 2) r.enabled = false;
  if (s.chipMode == 5) r.enabled = s.song && ModeSettingAllowsPcm(s);
  return r;
}

Rule VelocityChange(const State& s) {
  Rule r;
  if (s.chipMode == 3) r.enabled = s.song && s.outputProfile != 4;
  if (s.chipMode == 5) r.enabled = s.song;
  if (Gen3(s)) r.checked = s.windowOpen;
  return r;
}

}  // namespace

bool HasRule(int id) {
  switch (id) {
    case 32800: case 32799: case 32798: case 32796: case 40974: case 40975: case 32825: case 40983: case 40984:
    case 32804: case 32797: case 32805: case 32831: case 40976:
      return true;
    default:
      return false;
  }
}

Rule RuleFor(int id, const State& s) {
  switch (id) {
    case 32800: return {std::nullopt, s.windowOpen};  // Voice List
    case 32799:                                        // Voice Edit
      if (s.chipMode == 2 || Gen3(s)) return {false, std::nullopt};
      return {};
    case 32798: return {s.song, s.windowOpen};  // Voice Assign Map
    case 32796: return StreamPcmAssignMap(s);
    case 40974:  // Send Assigned Voice Message
    case 40983:  // Import from Voice List
    case 40984:  // Export to Voice List
      return {Gen3(s) && !s.playing && s.song && s.sendableVoices, std::nullopt};
    case 40975:  // Send Stream PCM Wave Message (32825 on the stream-PCM map's menu)
    case 32825:
      return {Gen3(s) && !s.playing && s.song && s.outputProfile != 4 && s.outputProfile != 6 &&
                  ModeSettingAllowsPcm(s) && s.streamPcmWaves,
              std::nullopt};
    case 32804: return {s.song, std::nullopt};  // Edit Information
    case 32797: return Mixer(s);
    case 32805: return {std::nullopt, s.windowOpen};  // Event Density
    case 32831: return StmSize(s);
    case 40976: return VelocityChange(s);
    default: return {};
  }
}

}  // namespace framecmd
