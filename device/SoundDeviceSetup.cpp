// The rules that choose and set up the sound device for a set-up argument, profile and maker.
#include "device/SoundDeviceSetup.h"

#include "device/KzSoundDrvDevice.h"
#include "device/KzSoundEmuDevice.h"

namespace {

bool IsDoCoMo(int profile) { return profile == 1 || profile == 7; }

/// "a" of the DoCoMo profiles by maker id; maker 3 leaves it unset.
uint8_t DoCoMoParamA(int makerId, uint8_t current) {
  switch (makerId) {
    case 1: return 2;
    case 2: return 1;
    case 4: return 3;
    default: return current;
  }
}

int EmulatorKind(int profile, int makerId) {
  if (IsDoCoMo(profile)) return makerId == 2 ? 13 : makerId == 4 ? 14 : 0;
  switch (profile) {
    case 2:
    case 5: return 11;
    case 3: return 9;
    case 4: return 16;
    case 8: return 10;
    default: return 0;
  }
}

int DriverKind(int profile, int makerId) {
  if (IsDoCoMo(profile)) return makerId == 2 ? 3 : makerId == 4 ? 4 : 0;
  switch (profile) {
    case 2:
    case 5:
    case 8: return 1;
    case 3: return 2;
    case 4: return 7;
    case 6: return makerId == 2 ? 5 : makerId == 4 ? 6 : 0;
    default: return 0;
  }
}

}  // namespace

ProfileParams GetProfileParams(int outputProfile, int makerId, bool tbOption) {
  ProfileParams p;
  switch (outputProfile) {
    case 1:
    case 7:
      p.a = DoCoMoParamA(makerId, p.a);
      p.d = tbOption ? 0 : 1;
      break;
    case 2:
    case 3:
    case 5:
    case 8:
      p.a = 0;
      break;
    case 4:
      p.a = 0;
      p.b = 1;
      break;
    case 6:
      p.a = DoCoMoParamA(makerId, p.a);
      p.b = 1;
      break;
    default:
      break;
  }
  return p;
}

int MapDeviceMode(int argument, int outputProfile, int makerId) {
  if (argument != 2 && argument != 3 && argument != 4) return 1;
  const bool maker24 = makerId == 2 || makerId == 4;
  if (outputProfile == 4) return 2;
  if (IsDoCoMo(outputProfile)) return maker24 ? 6 : 1;
  if (argument == 3 && outputProfile == 6) return maker24 ? 7 : 1;
  return 1;
}

int GetForcedDeviceKind() { return 0; }

SoundDeviceChoice ChooseSoundDevice(int argument, int outputProfile, int makerId, int forcedKind) {
  SoundDeviceChoice c;
  c.argument = argument;
  if (argument == 1) {
    c.ok = true;
    c.connectionKind = 1;
    return c;
  }
  if (argument == 2 || argument == 4 || argument == 5) {
    int kind = EmulatorKind(outputProfile, makerId);
    if (kind == 0 || outputProfile < 1 || outputProfile > 8) return c;
    if (forcedKind != 0) kind = forcedKind;
    c.ok = true;
    c.connectionKind = argument == 4 ? 4 : 2;
    c.deviceKind = kind;
    c.blockMode = argument == 2 ? 1 : argument == 4 ? 2 : 3;
    c.argument = argument == 5 ? 2 : argument;
    return c;
  }
  if (argument == 3) {
    int kind = DriverKind(outputProfile, makerId);
    if (kind == 0) return c;
    c.ok = true;
    c.connectionKind = 3;
    c.deviceKind = kind;
    return c;
  }
  return c;
}

uint8_t ModeValueFromSetting(int modeSetting) {
  switch (modeSetting) {
    case 1: return 1;
    case 2: return 5;
    default: return 0;
  }
}

void FillDeviceParamBlock(CDeviceParamBlock& block, int chipMode, const ProfileParams& params, int modeSetting,
                          int streamPcmReserve) {
  block.Set7F13Fields(chipMode == 5 ? 1 : 0, params.a, params.b, params.c, params.d);
  block.SetValue7F11(ModeValueFromSetting(modeSetting));
  block.SetValue7F07(static_cast<uint8_t>(streamPcmReserve));
  block.SetValue7E09(100);
}

CreateStep ChooseCreateStep(int blockMode, int modeByte) {
  CreateStep step;
  if (blockMode != 2) return step;
  if (modeByte == 1 || modeByte == 6 || modeByte == 7) {
    step.create = true;
    step.modeByte = modeByte;
  } else if (modeByte != 2) {
    step.ok = false;
  }
  return step;
}

std::unique_ptr<CKzSoundDevice> NewSoundDevice(int kind, const CDeviceParamBlock* block) {
  if (kind >= 1 && kind <= 7) return std::make_unique<CKzSoundDrvDevice>();
  if (kind >= 8 && kind <= 16) return std::make_unique<CKzSoundEmuDevice>(block);
  return nullptr;
}

int CreateBoundSoundDevice(int kind, const CDeviceParamBlock* block, KzPhraseEvHandler phraseHandler,
                           std::unique_ptr<CKzSoundDevice>& device) {
  device = NewSoundDevice(kind, block);
  if (!device) return 0;
  int bound = device->LoadDll(kind);
  if (kind == 7 && bound) bound = device->Phrase_SetEvHandler(phraseHandler) == 0 ? 1 : 0;
  if (bound && ((kind >= 1 && kind <= 3) || (kind >= 8 && kind <= 14))) {
    device->DeviceControl(5, 2, 0, 0);
    device->DeviceControl(8, 2, 0, 0);
  }
  return bound;
}
