// Every key of the settings profile and of "Trillot.ini" with its default, and their readers.
#include "app/core/SettingKeys.h"

#include "app/CnvParam.h"
#include "platform/host/HostServices.h"
#include "platform/settings/IniFile.h"
#include "platform/text/Format.h"

namespace profile_keys {

const std::vector<ProfileIntKey>& AllIntKeys() {
  static const std::vector<ProfileIntKey> keys = {
      kOutputType,      kOutputTypeAtStart, kTrMode,        kCOMPort,       kCOMPortInDialogs,
      kModeSetting,     kStreamPCMReserve,  kOutputFormat,  kOutputFormatKZ12, kMIDIDeviceOut,
      kMIDIDeviceThruIn, kMIDIDeviceThruOut, kOriginPch,    kOriginNote,    kBlinkLED,
      kBlinkMTR,        kCopyStatus,        kEditStatus,    kDensWidth,     kMasterVolume,
      kFMMMode,         kVolumeMV,          kCodeTypeKORVAN, kCodeTypeVELKPhrase, kCodeTypeVELK,
      kCodeTypeDoCoMo,
  };
  return keys;
}

const std::vector<ProfileStringKey>& AllStringKeys() {
  static const std::vector<ProfileStringKey> keys = {
      kDefDirInput, kDefDirOutput, kDefDirSound, kDefDirVoice, kVolumePreset,
  };
  return keys;
}

}  // namespace profile_keys

int ReadProfileSetting(const ProfileIntKey& key) {
  return platform::profile().GetProfileInt(key.section, key.key, key.def);
}

std::string ReadProfileSetting(const ProfileStringKey& key) {
  return platform::profile().GetProfileString(key.section, key.key, key.def);
}

bool WriteProfileSetting(const ProfileIntKey& key, int value) {
  return platform::profile().WriteProfileInt(key.section, key.key, value);
}

bool WriteProfileSetting(const ProfileStringKey& key, const std::string& value) {
  return platform::profile().WriteProfileString(key.section, key.key, value);
}

uint32_t CurrentVoiceModeBits() { return VoiceModeBits(ReadProfileSetting(profile_keys::kModeSetting)); }

std::string GetDefaultDir(int kind) {
  switch (kind) {
    case 0: return ReadProfileSetting(profile_keys::kDefDirInput);
    case 1: return ReadProfileSetting(profile_keys::kDefDirOutput);
    case 2: return ReadProfileSetting(profile_keys::kDefDirSound);
    case 3: return ReadProfileSetting(profile_keys::kDefDirVoice);
    default: return {};
  }
}

namespace {

// The original read these through a 256-character buffer before taking the number.
constexpr size_t kIniValueChars = 255;

int ReadIniNumber(const platform::IniFile& ini, const char* key, const char* def) {
  std::string text = ini.GetString(profile_keys::kSetting, key, def);
  if (text.size() > kIniValueChars) text.resize(kIniValueChars);
  return platform::ParseDecimal(text);
}

}  // namespace

int ReadIniChipMode(const platform::IniFile& ini) { return ReadIniNumber(ini, "KZMode", ""); }

int ReadIniMakerID(const platform::IniFile& ini) { return ReadIniNumber(ini, "MakerID", "1"); }
