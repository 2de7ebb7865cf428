#include "app/core/PreferenceCommit.h"

#include <cstdint>

#include "app/core/SettingKeys.h"
#include "app/core/TrillotApp.h"
#include "device/SoundDeviceSetup.h"
#include "platform/host/HostServices.h"
#include "song/MemStream.h"
#include "song/VoiceBank.h"
#include "song/document/KZ1Doc.h"
#include "song/midilist/MidiList.h"

namespace {

using namespace profile_keys;

constexpr int kWidths[] = {100, 200, 500, 1000, 1500, 2000};
constexpr int kDefaultWidthIndex = 2;
constexpr int kCannotOpenDevice = 7002;
constexpr int kBadVoiceFile = 7045;
constexpr int kRamOverflow = 7029;
constexpr int kAvailableRam = 8176;
constexpr int kMaxBlinkRate = 5;

int InRange(int value, int low, int high) { return value < low || value > high ? low : value; }

int ReadRange(const ProfileIntKey& key, int low, int high) { return InRange(ReadProfileSetting(key), low, high); }

void RefreshWindows(CTrillotApp& app) {
  if (IMainFrame* frame = app.GetMainFrame()) {
    frame->UpdateSongWindows();
    frame->UpdateVoiceWindows();
  }
}

bool LoadModeVoices(CTrillotApp& app) {
  CVoiceLibrary& library = app.GetVoiceLibrary();
  library.GetVoiceBank().RemoveAll(CVoiceBank::kRemoveEverything);
  return library.LoadDefaultVoices();
}

/// A new mode setting: its default voices, or the old ones back with 7045. A second failure
/// leaves the library without voices, which the caller cannot go on with.
void ApplyModeSetting(CTrillotApp& app, int oldValue, int newValue) {
  const auto wait = platform::ui().ShowWaitCursor();
  WriteProfileSetting(kModeSetting, newValue);
  if (LoadModeVoices(app)) {
    RefreshWindows(app);
  } else {
    platform::ShowMessage(kBadVoiceFile);
    WriteProfileSetting(kModeSetting, oldValue);
    if (!LoadModeVoices(app)) throw kBadVoiceFile;
  }
  const int stored = ReadProfileSetting(kModeSetting);
  if (IOutputEngine* engine = app.GetMainFrame() ? app.GetMainFrame()->GetBoardDevice() : nullptr)
    engine->SendBoardCommand11(ModeValueFromSetting(stored));
  platform::ui().SetVelocityChannelMode(stored);
}

void RecomputeDensity(CKZ1Doc& doc, int width) {
  const auto wait = platform::ui().ShowWaitCursor();
  CMemStream native;
  bool read = false;
  try {
    if (doc.makeKZ3NativeFormat(native, 0, 0)) {
      native.SeekToBegin();
      CMidiList list;
      list.SetDensWidth(static_cast<uint32_t>(width));
      uint32_t flags = 0;
      read = list.ReadSmf(native, &flags) == 1;
      if (read) TakeDensityInfo(doc, list);
    }
  } catch (...) {
    read = false;
  }
  if (!read) doc.ResetDensityInfo(0);
}

void StoreStatuses(CKZ1Doc* doc, int copy, int edit) {
  WriteProfileSetting(kCopyStatus, copy);
  WriteProfileSetting(kEditStatus, edit);
  if (!doc) return;
  CContentsInfo& info = doc->GetContentsInfo();
  bool changed = false;
  if (info.GetOptionByte1() != copy) {
    info.SetOptionByte1(static_cast<uint8_t>(copy));
    changed = true;
  }
  if (info.GetOptionByte3() != edit) {
    info.SetOptionByte3(static_cast<uint8_t>(edit));
    changed = true;
  }
  if (changed) doc->AddModifiedFlags(1);
}

}  // namespace

std::array<bool, 3> StatusTicks(int status) {
  return {(status & 1) == 0, (status & 2) == 0, (status & 4) == 0};
}

int StatusFromTicks(const std::array<bool, 3>& ticks) {
  int status = 0xF8;
  for (int bit = 0; bit < 3; ++bit)
    if (!ticks[static_cast<size_t>(bit)]) status |= 1 << bit;
  return status;
}

int DensWidthIndex(int ms) {
  for (int i = 0; i < 6; ++i)
    if (kWidths[i] == ms) return i;
  return kDefaultWidthIndex;
}

int DensWidthMs(int index) { return index >= 0 && index < 6 ? kWidths[index] : kWidths[kDefaultWidthIndex]; }

std::vector<std::string> ModeSettingEntries(int chipMode, int profile) {
  std::vector<std::string> entries = {"FM16", "FM32"};
  const bool all64 = profile == 2 || profile == 3 || profile == 5 || profile == 7 || profile == 8;
  if (chipMode == 5 && all64) entries.push_back("ALL64");
  return entries;
}

std::string OutputFormatEntry(int profile) {
  switch (profile) {
    case 1:
    case 6:
    case 7: return "MFi";
    case 4: return "VELK/Phrase";
    default: return "VELK";
  }
}

int OutputFormatValue(int profile, int selection) {
  if (selection > 0) return 3;
  if (profile == 1 || profile == 6 || profile == 7) return 4;
  return profile == 4 ? 5 : 3;
}

void TakeDensityInfo(CKZ1Doc& document, const CMidiList& list) {
  // 64 bits: a long dense song overflows total x 1000 in 32.
  const uint64_t span = list.GetDensityLength();
  const uint64_t average = span ? uint64_t{list.GetDensityTotal()} * 1000 / span : 0;
  document.SetDensityInfo(list.GetDensityFailed() ? 1 : 0, static_cast<uint32_t>(average), list.GetMaxDensity(),
                          list.GetMaxDensityTime(), list.GetDensityLength(), list.GetDensityPoints());
}

PreferenceValues ReadPreferenceValues(const CTrillotApp& app) {
  PreferenceValues v;
  const int mode = ReadRange(kModeSetting, 0, 2);
  v.modeSetting = mode < static_cast<int>(ModeSettingEntries(app.GetChipMode(), app.GetOutputProfile()).size()) ? mode : -1;
  v.reserve = ReadRange(kStreamPCMReserve, 0, 2);
  v.copyTicks = StatusTicks(ReadProfileSetting(kCopyStatus));
  v.editTicks = StatusTicks(ReadProfileSetting(kEditStatus));
  v.densIndex = DensWidthIndex(ReadProfileSetting(kDensWidth));
  v.originPch = app.GetOriginPch() == 1 ? 1 : 0;
  v.originNote = app.GetOriginNote() == 1 ? 1 : 0;
  v.folders = {ReadProfileSetting(kDefDirInput), ReadProfileSetting(kDefDirOutput), ReadProfileSetting(kDefDirSound),
               ReadProfileSetting(kDefDirVoice)};
  v.outputType = ReadRange(kOutputType, 0, 1);
  v.comPort = ReadRange(kCOMPortInDialogs, 0, 3);
  v.blinkLed = ReadRange(kBlinkLED, 0, kMaxBlinkRate);
  v.blinkMtr = ReadRange(kBlinkMTR, 0, kMaxBlinkRate);
  return v;
}

bool CommitPreference(CTrillotApp& app, const PreferenceValues& v, const std::function<void(int, int)>& storeBlinkRates) {
  IMainFrame* frame = app.GetMainFrame();
  IOutputEngine* engine = frame ? frame->GetBoardDevice() : nullptr;
  const int chipMode = app.GetChipMode();
  const int profile = app.GetOutputProfile();
  CMidiThru& thru = app.GetMidiThru();
  if (engine && thru.IsActive()) engine->ForgetMidiOut();

  // The board port from the hidden Form and Port combos.
  const int previousPort = app.GetBoardComPort();
  const int port = v.outputType == 0 ? v.comPort + 1 : 0;
  if (!app.OpenBoardPort(port)) {
    platform::ShowMessage(kCannotOpenDevice);
    if (previousPort) app.OpenBoardPort(previousPort);
    return false;
  }
  // The template offers no thru choice: thru goes on with the devices the start-up applied.
  if ((chipMode == 3 || chipMode == 5) && v.outputType == 1) {
    thru.SetInDevice(ReadProfileSetting(kMIDIDeviceThruIn));
    thru.SetOutDevice(ReadProfileSetting(kMIDIDeviceThruOut));
    thru.Start();
  }

  WriteProfileSetting(kOutputFormat, OutputFormatValue(profile, v.outputFormat));
  WriteProfileSetting(kOutputType, v.outputType);
  WriteProfileSetting(kCOMPort, v.comPort);
  WriteProfileSetting(kDefDirInput, v.folders[0]);
  WriteProfileSetting(kDefDirOutput, v.folders[1]);
  WriteProfileSetting(kDefDirSound, v.folders[2]);
  WriteProfileSetting(kDefDirVoice, v.folders[3]);

  const int storedMode = ReadProfileSetting(kModeSetting);
  if ((chipMode == 3 || chipMode == 5) && v.modeSetting >= 0 && v.modeSetting != storedMode)
    ApplyModeSetting(app, storedMode, v.modeSetting);

  CKZ1Doc* doc = app.GetDocument();
  const int oldReserve = ReadProfileSetting(kStreamPCMReserve);
  if (engine) engine->SendBoardCommand07(v.reserve);
  WriteProfileSetting(kStreamPCMReserve, v.reserve);
  if (doc) {
    doc->SetChannelSetupFlag(v.reserve);
    if (v.reserve != oldReserve) doc->ClearWaveList(1);
  }

  StoreStatuses(doc, StatusFromTicks(v.copyTicks), StatusFromTicks(v.editTicks));

  WriteProfileSetting(kBlinkLED, v.blinkLed);
  WriteProfileSetting(kBlinkMTR, v.blinkMtr);
  if (v.blinkLed <= kMaxBlinkRate && v.blinkMtr <= kMaxBlinkRate && storeBlinkRates) storeBlinkRates(v.blinkLed, v.blinkMtr);
  if (engine) {
    engine->SendBoardParam03_06(v.blinkLed);
    engine->SendBoardParam03_09(v.blinkMtr);
  }

  // A stored width none of the entries shows stays as it is unless another entry is chosen.
  if (v.densIndex != DensWidthIndex(ReadProfileSetting(kDensWidth))) {
    const int width = DensWidthMs(v.densIndex);
    WriteProfileSetting(kDensWidth, width);
    if (doc) RecomputeDensity(*doc, width);
    RefreshWindows(app);
  }

  if (v.originPch != (app.GetOriginPch() == 1 ? 1 : 0)) {
    WriteProfileSetting(kOriginPch, v.originPch);
    app.SetOriginPch(static_cast<uint8_t>(v.originPch));
    RefreshWindows(app);
  }
  if (v.originNote != (app.GetOriginNote() == 1 ? 1 : 0)) {
    WriteProfileSetting(kOriginNote, v.originNote);
    app.SetOriginNote(static_cast<uint8_t>(v.originNote));
    RefreshWindows(app);
  }

  if (doc) {
    if (doc->GetKZ3RamUse() > kAvailableRam) platform::ShowMessage(kRamOverflow);
    doc->AddModifiedFlags(2);
  } else if (engine) {
    engine->ClearSentState();
  }
  return true;
}

std::vector<std::string> MidiOutNames(IOutputEngine& engine) {
  std::vector<std::string> names;
  for (int i = 0;; ++i) {
    std::string name = engine.GetMidiOutName(i);
    if (name.empty()) return names;
    names.push_back(std::move(name));
  }
}

std::vector<std::string> MidiInNames(IOutputEngine& engine) {
  std::vector<std::string> names;
  for (int i = 0;; ++i) {
    std::string name = engine.GetMidiInName(i);
    if (name.empty()) return names;
    names.push_back(std::move(name));
  }
}

bool CommitPreferenceKZ12(CTrillotApp& app, const PreferenceValuesKZ12& v, const PreferenceFrameKZ12& frame) {
  if (app.GetChipMode() == 1 && frame.setFmmMode) frame.setFmmMode(v.modeSetting == 1 ? 1 : 0);
  if (frame.setMidiOutDevice) frame.setMidiOutDevice(v.midiOut);
  CMidiThru& thru = app.GetMidiThru();
  thru.SetInDevice(v.thruIn);
  thru.SetOutDevice(v.thruOut);
  thru.Start();
  const int previousPort = app.GetBoardComPort();
  if (!app.OpenBoardPort(v.outputType == 0 ? v.comPort + 1 : 0)) {
    platform::ShowMessage(kCannotOpenDevice);
    if (previousPort) app.OpenBoardPort(previousPort);
    return false;
  }
  WriteProfileSetting(kOutputFormat, v.outputFormat);
  app.SetChipMode(v.chipModeIndex + 1);
  WriteProfileSetting(kOutputType, v.outputType);
  WriteProfileSetting(kCOMPort, v.comPort);
  WriteProfileSetting(kMIDIDeviceOut, v.midiOut);
  WriteProfileSetting(kMIDIDeviceThruIn, v.thruIn);
  WriteProfileSetting(kMIDIDeviceThruOut, v.thruOut);
  if (CKZ1Doc* doc = app.GetDocument()) doc->AddModifiedFlags(2);
  return true;
}
