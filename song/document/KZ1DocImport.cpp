// Song files read through the converter plug-ins: VELK files through the VELK converter and
// Standard MIDI Files through the SMF converter, loaded or imported into the document.
#include <memory>
#include <string>

#include "app/CnvParam.h"
#include "platform/host/HostServices.h"
#include "song/SongPrimitives.h"
#include "song/VoiceLibrary.h"
#include "song/document/ImportSupport.h"
#include "song/document/KZ1Doc.h"
#include "song/midilist/MidiList.h"

namespace {

constexpr int kSmfConverter = 7;
constexpr int kVelkConverter = 8;
constexpr int kVelkPhraseConverter = 17;
constexpr int kVelkConverterVariant = 18;
constexpr uint32_t kVelkFactor = 4;
constexpr uint32_t kSmfFactor = 7;
constexpr uint32_t kFlagProfileLed = 0x08000000;
constexpr uint32_t kFlagAlways = 0x20;
constexpr uint32_t kFlagConverterOption = 0x80;
constexpr uint32_t kFlagNotesDropped = 0x04000000;  // bit 26
constexpr uint32_t kFlagSysExCopied = 0x10000000;   // bit 28
const int kSongUserWaves[] = {15, 23, 31};

int ChipMode() { return platform::settings().GetChipMode(); }
int OutputProfile() { return platform::settings().GetOutputProfile(); }
CVoiceLibrary* Library() { return platform::registry().voiceLibrary; }

uint32_t ModeFlags() { return VoiceModeBits(GetModeSetting()); }

int VelkKind(int chip, int profile) {
  if (chip == 3 && profile == 4) return kVelkPhraseConverter;
  if (chip == 3 && profile == 5) return kVelkConverterVariant;
  return kVelkConverter;
}

// The mode setting the returned flags ask for: 2 for bit 3, 1 for bit 1, else 0.
int ModeSettingOfFlags(uint32_t flags) {
  if (flags & 0x08) return 2;
  if (flags & 0x02) return 1;
  return 0;
}

int BoardModeValue(int setting) { return setting == 2 ? 5 : setting; }

bool ReloadDefaultVoices() {
  CVoiceLibrary* library = Library();
  if (!library) return true;
  library->GetVoiceBank().RemoveAll(CVoiceBank::kRemoveEverything);
  return library->LoadDefaultVoices();
}

void WriteModeSetting(int setting) {
  platform::profile().WriteProfileInt("Setting", "KZ-3_ModeSetting", setting);
}

// Takes the mode setting the VELK converter found in the file; false when the voices of the
// new setting cannot be loaded and the old ones not either.
bool ApplyModeSetting(int setting) {
  const int old = GetModeSetting();
  if (setting == old) return true;
  WriteModeSetting(setting);
  if (!ReloadDefaultVoices()) {
    platform::ShowMessage(7045);
    WriteModeSetting(old);
    if (!ReloadDefaultVoices()) return false;
    setting = old;
  }
  if (platform::board().HasBoardDevice()) platform::board().SendBoardCommand11(BoardModeValue(setting));
  platform::ui().SetVelocityChannelMode(setting);
  return true;
}

bool IsKnownContentsGroup(uint32_t flags) {
  switch (flags & 0x70) {
    case 0x20: case 0x30: case 0x40: case 0x50: return true;
    default: return false;
  }
}

// Every event of the song's list equals the list's, in order and in number.
bool SameEvents(const CKZ1Doc::EventList& song, const CSeqEventList& imported) {
  TChunkListIter<CSeqEvent> it(imported);
  CSeqEvent* event = nullptr;
  for (const auto& msg : song) {
    if (!it.Next(event) || !IsSameEvent(*msg, *event)) return false;
  }
  return !it.Next(event);
}

void ShowDensityMessages(const CMidiList& list) {
  const int profile = OutputProfile();
  if (profile != 1 && profile != 2 && profile != 3 && profile != 8) return;
  if (list.GetMaxDensity() > 1000) platform::ShowMessage(7035);
  if (list.GetAveDensity() > 500) platform::ShowMessage(7036);
}

}  // namespace

int CKZ1Doc::ReadVelkFile(const std::string& path) {
  switch (ChipMode()) {
    case 1: return ReadVelkFile1(path);
    case 2: return ReadVelkFile2(path);
    case 3: return ReadVelkFile3(path);
    default: return 0;
  }
}

int CKZ1Doc::ReadSmfFile(const std::string& path) {
  switch (ChipMode()) {
    case 1: case 2: return ReadSmfKZ12(path);
    case 3: return ConvertFromSMF_KZ3(path);
    default: return 0;
  }
}

int CKZ1Doc::ReadVelkFile3(const std::string& path) {
  const int chip = ChipMode();
  const int profile = OutputProfile();
  uint32_t flags = ModeFlags() | kFlagAlways;
  if (profile == 1 || profile == 7) flags |= kFlagProfileLed;
  if (GetConverterOption()) flags |= kFlagConverterOption;
  auto converted = songimport::ConvertSongFile(path, VelkKind(chip, profile), flags, kVelkFactor);
  if (!converted) return 0;
  const songimport::Conversion& out = *converted;
  if ((chip == 3 || chip == 5) && !IsKnownContentsGroup(out.flags)) return 0;
  if (profile != 4) {
    const int setting = ModeSettingOfFlags(out.flags);
    if (setting == 2 && !platform::settings().IsKZ5OutputProfile(-1)) return 0;
    if (!ApplyModeSetting(setting)) return 0;
  }

  CMidiList list;
  if (!songimport::ReadSongData(out.bytes.get(), out.result, list)) return 0;
  if (!CheckCodeType(list, chip, profile)) return 0;
  const CContentsInfo& info = list.GetContentsInfo();
  platform::profile().WriteProfileInt("Setting", "CopyStatus", info.GetOptionByte1());
  platform::profile().WriteProfileInt("Setting", "EditStatus", info.GetOptionByte3());
  const int result = init(list, 1, 0);
  m_fileSize = static_cast<int>(out.sourceSize);
  for (int b : kSongUserWaves) {
    if (const CNamedBlock* wave = list.GetSongSetup().GetUserWave(b)) {
      SetWaveBlockAt(b, std::make_unique<CNamedBlock>(*wave));
    } else if (GetWaveBlockAt(b)) {
      SetWaveBlockAt(b, nullptr);
      if (platform::board().HasBoardDevice()) platform::board().SendBoardCommand0D(b);
    }
  }
  RebuildVoiceSlotsKZ12();
  SetOpenOptions(GetOpenOption(), (out.flags & kFlagConverterOption) ? 1 : 0);
  return result;
}

int CKZ1Doc::ConvertFromSMF_KZ3(const std::string& path) {
  auto converted = songimport::ConvertSongFile(path, kSmfConverter, ModeFlags(), kSmfFactor);
  if (!converted) return 0;
  const songimport::Conversion& out = *converted;
  m_importedFlag = (out.flags & kFlagNotesDropped) ? 1 : 0;

  CMidiList list;
  if (!songimport::ReadSongData(out.bytes.get(), out.result, list)) return 0;
  if (!CheckCodeType(list, ChipMode(), OutputProfile())) return 0;
  const int result = init(list, 1, 1);
  if (result != 1) return result;
  ShowDensityMessages(list);
  for (int b = 0; b < kWaveBlockCount; ++b) {
    if (const CNamedBlock* wave = list.GetSongSetup().GetUserWave(b)) {
      SetWaveBlockAt(b, std::make_unique<CNamedBlock>(*wave));
    }
  }
  if (GetKZ3RamUse() > GetKZ3RamLimit()) platform::ShowMessage(7029);
  if (OutputProfile() == 3) RefreshChannelIndicators();
  FilterChannels(m_channelMask);
  RebuildVoiceSlotsKZ12();
  return result;
}

void CKZ1Doc::RefreshChannelIndicators() {
  // Contents of this profile need a channel with LED control, which a plain Standard MIDI
  // File cannot carry: every channel that plays notes gets it.
  for (int k = 0; k < 16; ++k) {
    SetChannelLED(k, (GetChannelValue(k) != 0 || GetChannelUsed(k) != 0) ? 1 : 0);
  }
}

int CKZ1Doc::ImportViaConverter(const std::string& path) {
  try {
    return ImportSmfIntoSong(path);
  } catch (...) {
    // The merge may have begun: no half-imported song is left behind.
    ResetSong();
    return 0;
  }
}

int CKZ1Doc::ImportSmfIntoSong(const std::string& path) {
  const int chip = ChipMode();
  // Chip modes 1 and 2 hand the plug-in no destination.
  const uint32_t factor = chip == 3 ? kSmfFactor : 0;
  auto converted = songimport::ConvertSongFile(path, kSmfConverter, ModeFlags(), factor);
  if (!converted) return 0;
  const songimport::Conversion& out = *converted;
  m_importedFlag = (out.flags & kFlagNotesDropped) ? 1 : 0;
  m_importedFlag2 = (out.flags & kFlagSysExCopied) ? 1 : 0;

  CMidiList list;
  if (!songimport::ReadSongData(out.bytes.get(), out.result, list)) return 0;
  CContentsInfo& info = list.GetContentsInfo();
  info.SetContentsType(info.GetGeneration(), info.GetTypeGroup(),
                       static_cast<uint8_t>(GetModeSettingLevel()));
  if (OutputProfile() == 4) {
    info.SetContentsClass(0);
    info.SetContentsTypeByte(0xF0);
  }
  ClearWaveList(0);
  if (!SameEvents(m_midlist, list.GetSongList()) || !SameEvents(m_midlist_PCM, list.GetSetupList())) {
    SetModifiedFlags(0);
  }
  if (!CheckCodeType(list, chip, OutputProfile())) return 0;
  const int result = init(list, 0, 0);
  // A merge that failed half-way leaves no half-imported song behind.
  if (result != 1) {
    ResetSong();
    return result;
  }
  ShowDensityMessages(list);
  if (GetKZ3RamUse() > GetKZ3RamLimit()) platform::ShowMessage(7029);
  RebuildVoiceSlotsKZ12();
  return result;
}
