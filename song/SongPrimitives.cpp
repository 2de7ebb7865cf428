// The mode setting read through the host profile, and the four-value comparison.
#include "song/SongPrimitives.h"

#include "platform/host/HostServices.h"
#include "song/VoiceAddr.h"

int GetModeSetting() { return platform::profile().GetProfileInt("Setting", "KZ-3_ModeSetting", 0); }

int GetModeSettingLevel() {
  switch (GetModeSetting()) {
    case 1: return 3;
    case 2: return 4;
    default: return 2;
  }
}

bool CompareEventValues(const std::array<uint32_t, 4>& a, const std::array<uint32_t, 4>& b) {
  return a[0] == b[0] && a[1] == b[1] && a[2] == b[2] && a[3] == b[3];
}

bool CompareEventValues(const CVoiceAddr& a, const CVoiceAddr& b) {
  return a.GetBankMsb() == b.GetBankMsb() && a.GetBankLsb() == b.GetBankLsb() &&
         a.GetProgram() == b.GetProgram() && a.GetNote() == b.GetNote();
}
