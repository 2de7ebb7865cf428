// The rules that choose and set up the sound device for a set-up argument, profile and maker.
#pragma once

#include <cstdint>
#include <memory>

#include "device/DeviceParamBlock.h"
#include "device/KzSoundDevice.h"

/// The four profile parameters the board and the emulator get; a of 0xFF means "send none".
struct ProfileParams {
  uint8_t a = 0xFF;
  uint8_t b = 0;
  uint8_t c = 0;
  uint8_t d = 0;
};

/// The parameters of an output profile and maker id; `tbOption` is the main frame's "TB" option.
ProfileParams GetProfileParams(int outputProfile, int makerId, bool tbOption);

/// The mode byte for the device's Create: argument 2 and 4: profile 4 gives 2, profiles 1 and 7
/// give 6 with maker id 2 or 4, every other case 1; argument 3 adds profile 6, which gives 7
/// with maker id 2 or 4. Any other argument: 1.
int MapDeviceMode(int argument, int outputProfile, int makerId);

/// The application's forced emulator device kind: it keeps none, so 0.
int GetForcedDeviceKind();

/// What a set-up argument selects before any device exists.
struct SoundDeviceChoice {
  bool ok = false;
  int connectionKind = 0;  // 0 when the choice failed
  int deviceKind = 0;      // 0 for argument 1 (MIDI ports)
  int blockMode = 0;       // the parameter block's mode; 0 keeps its initial one
  int argument = 0;        // argument 5 counts as 2 after the choice
};

/// Argument 1: MIDI ports; 2, 4, 5: the generation-5 emulator by profile (a forced kind
/// replaces it); 3: the generation-3 driver by profile. Anything else fails.
SoundDeviceChoice ChooseSoundDevice(int argument, int outputProfile, int makerId, int forcedKind);

/// "KZ-3_ModeSetting" as the value sent to the device: 0 gives 0, 1 gives 1, 2 gives 5, any
/// other value 0.
uint8_t ModeValueFromSetting(int modeSetting);

/// Fills the block in message 7F 13's layout: the chip flag (1 in chip mode 5) and the profile
/// parameters; the mode value to 7F 11, the stream-PCM reserve to 7F 07 and 100 to 7E 09.
void FillDeviceParamBlock(CDeviceParamBlock& block, int chipMode, const ProfileParams& params, int modeSetting,
                          int streamPcmReserve);

/// What the set-up does with the block's mode and the mode byte: no Create needed, a Create with
/// the byte that must answer 1 or more, or a failure.
struct CreateStep {
  bool ok = true;
  bool create = false;
  int modeByte = 0;
};
CreateStep ChooseCreateStep(int blockMode, int modeByte);

/// A new device for the kind: the driver device for 1-7, the emulator device (with a copy of
/// the block) for 8-16, null for any other kind.
std::unique_ptr<CKzSoundDevice> NewSoundDevice(int kind, const CDeviceParamBlock* block);

/// Creates and binds the device of a kind as the emulator player does: kind 7 gets the phrase
/// handler (bound only when that answers 0); a bound device of kinds 1-3 or 8-14 gets the device
/// controls (5, 2, 0, 0) and (8, 2, 0, 0). 1 bound, else 0; `device` holds the new device even
/// when unbound (null for a kind outside 1..16).
int CreateBoundSoundDevice(int kind, const CDeviceParamBlock* block, KzPhraseEvHandler phraseHandler,
                           std::unique_ptr<CKzSoundDevice>& device);
