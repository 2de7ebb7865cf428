// The voice lookups the program exports for plug-ins.
#include "song/document/VoiceLookup.h"

#include "platform/host/HostServices.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"

extern "C" uint32_t Trillot_GetVAMVoiceItem(uint32_t msb, uint32_t lsb, uint32_t program,
                                            uint32_t note) {
  try {
    CKZ1Doc* doc = platform::registry().document;
    if (!doc) return 0x80000000u;
    const int slot = doc->FindVoiceIndex(static_cast<int>(msb), static_cast<int>(lsb),
                                         static_cast<int>(program), static_cast<int>(note));
    if (slot < 0) return 0x80000001u;
    return doc->GetVoiceItem(slot) ? 0 : 0x80000002u;
  } catch (...) {
    return 0x80000000u;
  }
}

extern "C" uint32_t Trillot_GetVoiceItem(uint32_t msb, uint32_t lsb, uint32_t program,
                                         uint32_t note) {
  try {
    CVoiceLibrary* library = platform::registry().voiceLibrary;
    if (!library) return 0x80000000u;
    const CVoiceBank& bank = library->GetVoiceBank();
    const int m = static_cast<int>(msb), l = static_cast<int>(lsb), p = static_cast<int>(program);
    const CVoiceItem* found = (note & 0xFF) == 0xFF ? bank.FindByProgram(m, l, p)
                                                     : bank.FindVoice(m, l, p, static_cast<int>(note));
    return found ? 0 : 0x80000000u;
  } catch (...) {
    return 0x80000000u;
  }
}
