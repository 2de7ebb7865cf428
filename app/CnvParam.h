// The record, result codes and entry points shared by the program and its converter plug-ins.
#pragma once

#include <cstdint>

extern "C" {

/// Passed to CnvFrom/CnvTo. The caller zeroes it, owns both buffers and frees them.
/// The pointers are real pointers, so the record is not the 20 bytes of the 32-bit target;
/// plug-ins never check the record size they are given.
struct CnvParam {
  uint32_t flags;            // in: option bits; out: result and warning bits
  const uint8_t* src;        // source bytes
  uint32_t srcSize;          // number of source bytes
  uint8_t* dst;              // caller's output buffer (may be null for the checker)
  uint32_t dstSize;          // in: capacity of dst; out: bytes written by a converter
};

typedef uint32_t (*CnvEntryFunc)(CnvParam* param, uint32_t paramSize);
typedef uint32_t (*GetKZxVersionFunc)(void);
typedef uint32_t (*GetKZxCnvReportFunc)(uint32_t* report, uint32_t reportSize);

}  // extern "C"

// A value below CNVERR_FAILED is success: a byte count, or a tick position for the checker.
inline constexpr uint32_t CNVERR_FAILED = 0x80000000u;    // general failure
inline constexpr uint32_t CNVERR_DSTSIZE = 0x80000001u;   // destination missing or too small
inline constexpr uint32_t CNVERR_FORMAT = 0x80000002u;    // source not in the expected format
inline constexpr uint32_t CNVERR_PARAM = 0x80000004u;     // illegal parameter
inline constexpr uint32_t CNVERR_EVENT = 0x80000008u;     // illegal event in the source
inline constexpr uint32_t CNVERR_TMPBUF = 0x80000010u;    // a temporary buffer overflowed
inline constexpr uint32_t CNVERR_RAM = 0x80000020u;       // does not fit the chip's RAM
inline constexpr uint32_t CNVERR_CHIPRAM = CNVERR_RAM;
inline constexpr uint32_t CNVERR_SMFTYPE = 0x80000040u;   // unsupported SMF format or contents type
inline constexpr uint32_t CNVERR_TOOSHORT = 0x80000080u;  // total length under 20 ms
inline constexpr uint32_t CNVERR_NOCHUNK = 0x80000100u;   // a required chunk is missing

// Result bits that Midigate's CnvFrom ORs into CnvParam::flags: what it changed on its own.
inline constexpr uint32_t CNVF_VOICE_CHANGED = 0x01000000u;   // a bank select or drum program set to 0
inline constexpr uint32_t CNVF_SYSEX_CHANGED = 0x02000000u;   // a device SysEx or control 55 out of range dropped
inline constexpr uint32_t CNVF_DEFAULT_VOLUME = 0x04000000u;  // notes before any Master Volume: 100 used
inline constexpr uint32_t CNVF_NOTES_TIED = 0x08000000u;      // a note-on for a key already sounding
inline constexpr uint32_t CNVF_SYSEX_COPIED = 0x10000000u;    // channel block built from a sequencer-specific event

// Bits of CnvParam::flags for the VELK converter (kind 8). Their values overlap Midigate's:
// the converter kind gives a bit its meaning.
inline constexpr uint32_t CNVF_SUBMODE_TYPE33 = 0x00000002u;      // out CnvFrom: CNTI type 0x33
inline constexpr uint32_t CNVF_SUBMODE_CLEARED = 0x00000008u;     // out CnvFrom: always cleared
inline constexpr uint32_t CNVF_TIMEBASE = 0x00000070u;            // time-base code, both ways
inline constexpr uint32_t CNVF_COMPRESS = 0x00000080u;            // Huffman-coded score track
inline constexpr uint32_t CNVF_SETUP_WARNING = 0x00010000u;       // out CnvTo: a PCM drum rate not in the table
inline constexpr uint32_t CNVF_RATE_CORRECTED = 0x00020000u;      // out CnvFrom: a PCM voice rate clamped
inline constexpr uint32_t CNVF_BAD_RATE = 0x00040000u;            // out CnvTo: a stream-PCM rate out of range
inline constexpr uint32_t CNVF_MONO_NOTES_DROPPED = 0x00080000u;  // out CnvTo: mono note-ons on one tick
inline constexpr uint32_t CNVF_NOTES_MERGED = 0x00100000u;        // out CnvFrom: the decoder's warning
inline constexpr uint32_t CNVF_CHUNK_SKIPPED = 0x01000000u;       // out CnvFrom: an unsupported chunk
inline constexpr uint32_t CNVF_LENGTH_OVER = 0x02000000u;         // a length or gap above 0x1FFFFF ticks
inline constexpr uint32_t CNVF_NOTES_DROPPED = 0x04000000u;       // out CnvTo: notes 115..127 left out
inline constexpr uint32_t CNVF_NO_LED_CHANNEL = 0x08000000u;      // out CnvTo: class 1 without an LED mark
inline constexpr uint32_t CNVF_SKIP_LED_CHECK = 0x08000000u;      // in CnvTo
inline constexpr uint32_t CNVF_RETIME_480 = 0x08000000u;          // in CnvFrom: 480 ticks a quarter
inline constexpr uint32_t CNVF_SIG_STATE = 0x70000000u;           // out CnvFrom: the version-tag state
inline constexpr int CNVF_SIG_STATE_SHIFT = 28;

/// True for a converter result that means bytes were written (0 is the binder's own failure).
inline constexpr bool IsConvertSuccess(uint32_t result) { return result != 0 && result < CNVERR_FAILED; }

// Low bits of CnvParam::flags for generation-3 song data, from "KZ-3_ModeSetting".
inline constexpr uint32_t VoiceModeBits(int modeSetting) {
  switch (modeSetting) {
    case 1: return 0x03;
    case 2: return 0x0B;
    default: return 0x01;
  }
}

inline constexpr uint32_t kCnvParamSize = sizeof(CnvParam);

// Options of the voice-allocation checker (kind 19). Bit 0x8 asks for the peak point going in
// and comes back as the "over" flag, so a plug-in latches the option before clearing it.
inline constexpr uint32_t CNVF_CHECK_FM32 = 0x00000002u;  // bank 0 everywhere, 32 FM voices
inline constexpr uint32_t CNVF_CHECK_PEAK = 0x00000008u;  // report the peak point
inline constexpr uint32_t CNVF_CHECK_LOG = 0x00008000u;   // write "Polyscan_result.txt"
inline constexpr uint32_t CNVF_CHECK_OVER = 0x00000008u;  // out: a voice limit was exceeded
/// The checker's voice counts at the reported point, from the returned flags word.
inline constexpr uint32_t CheckFmCount(uint32_t flags) { return flags >> 24; }
inline constexpr uint32_t CheckPcmCount(uint32_t flags) { return (flags >> 16) & 0xFF; }

// Plug-ins are built with hidden visibility; only their C entry points carry this.
#define TRILLOT_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
