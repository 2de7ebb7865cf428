// Rules of the PCM page about the voice's wave: expanding it, fitting the loop and end points,
// the point limits and steps, the Fs limits, the point labels and the checks before closing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CVoiceItem;

namespace voiceedit {

constexpr int kFsMin = 1500;
constexpr int kFsMax = 48000;

/// The voice's wave as 16-bit samples: the ROM wave of its id with RM set, else its own samples
/// in its wave format. False (samples empty) when there is nothing to expand.
bool ExpandVoiceWave(const CVoiceItem& voice, std::vector<int16_t>& samples);

/// The wave's length in bytes for the point limits: the ROM wave's size with RM set, else the
/// voice's sample bytes.
uint32_t WaveByteLength(const CVoiceItem& voice);

/// Fits LP and EP to the expanded wave (chip modes 3 and 5 only): 0 nothing, 1 EP moved, 2 LP
/// set to EP, 3 both set. The points are written back into the voice.
int AdjustLoopEnd(CVoiceItem& voice, int chipMode);

/// The highest LP or EP for n wave bytes: 2n for format 0, n for formats 2 and 3, held to 65535;
/// -1 for another format (no limit).
int32_t PointLimit(int format, uint32_t n);
/// A typed LP or EP: held to the limit, 0 when there are no bytes; format 1 keeps it.
uint16_t ClampTypedPoint(int64_t value, int format, uint32_t n);
/// One spin step of LP or EP (delta below 1 raises).
uint16_t StepPoint(uint16_t value, int delta, int format, uint32_t n);
/// One spin step of the start offset.
uint16_t StepStartOffset(uint16_t value, int delta);
/// One spin step of Fs, only inside 1500..48000.
uint16_t StepFs(uint16_t value, int delta);
/// A typed 16-bit value: digits only, empty is 0, held to 65535.
uint16_t ParseTypedValue(const std::string& text);
/// Fs on leaving its edit: empty and below 1500 give 1500, above 48000 gives 48000; `corrected`
/// tells whether it changed.
uint16_t FixFsOnLeave(const std::string& text, bool& corrected);

/// The labels and sample texts of the loop and end points.
struct PointLabels {
  std::string loopLabel;
  std::string endLabel;
  std::string loopValue;
  std::string endValue;
};
PointLabels MakePointLabels(int format, bool expanded, uint16_t lp, uint16_t ep, const std::vector<int16_t>& samples);

/// The message that keeps the sheet from closing on Apply, 0 when none (chip modes 3 and 5 for
/// the point checks).
int CheckPcmApply(const CVoiceItem& voice, bool editable, int chipMode);

}  // namespace voiceedit
