// The check that a PCM voice's loop and envelope settings can be converted, and the
// stream-PCM sampling rates.
#pragma once

#include <string>

class CVoiceItem;

/// The loop-point check's result (nonzero: the voice can be converted). A failure shows the
/// error's message, the voice line and the voice's name in an error box, except in batch
/// conversion.
int CheckPcmVoiceSettings(const CVoiceItem& item);

/// The text CheckPcmVoiceSettings shows for a failed check's error code.
std::string PcmVoiceCheckText(const CVoiceItem& item, unsigned errorCode);

/// True for the 118 stream-PCM rates 4125 + 375 i Hz (i = 0..117).
bool IsValidStreamPcmRate(int rate);
