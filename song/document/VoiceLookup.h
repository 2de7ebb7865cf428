// The voice lookups the program exports for plug-ins (plain C, four 32-bit arguments).
#pragma once

#include <cstdint>

extern "C" {
/// 0 when the song document holds a voice item of that address; 0x80000000 without a
/// document, 0x80000001 when no slot holds the address, 0x80000002 when it has no item.
__attribute__((visibility("default"))) uint32_t Trillot_GetVAMVoiceItem(uint32_t msb, uint32_t lsb,
                                                                      uint32_t program,
                                                                      uint32_t note);
/// 0 when the voice library's bank holds the voice (by program alone for note 255), else
/// 0x80000000.
__attribute__((visibility("default"))) uint32_t Trillot_GetVoiceItem(uint32_t msb, uint32_t lsb,
                                                                   uint32_t program, uint32_t note);
}
