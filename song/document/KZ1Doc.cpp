// The song document's members, the new-song reset, the change flags and the play range.
#include "song/document/KZ1Doc.h"

#include <algorithm>

#include "platform/host/HostServices.h"
#include "song/MemStream.h"
#include "song/SongPrimitives.h"

namespace {

int ChipMode() { return platform::settings().GetChipMode(); }
int OutputProfile() { return platform::settings().GetOutputProfile(); }

// The contents type with its group cleared: the generation and index stay.
uint8_t TypeOfGeneration(uint8_t type) {
  return type < 0x30 ? static_cast<uint8_t>(type & 0x0F) : static_cast<uint8_t>(0x30 | (type & 0x0F));
}

}  // namespace

CKZ1Doc::CKZ1Doc() : m_channelTables(new int32_t[16 * kChannelTableSize]) {
  const int chip = ChipMode();
  SetChipModeLimits(chip);
  m_voiceSlotCount = (chip == 1 || chip == 2) ? 16 : 128;
  m_voiceLimit = chip == 1 ? 8 : 16;
  ResetSong();
  std::fill(std::begin(m_cuePoints), std::end(m_cuePoints), kNoCue);
  m_changeFlags = kFlagUnsent;
}

CKZ1Doc::~CKZ1Doc() {
  // The reset refills the main window's section list; a dying document must not.
  m_midlist.clear();
  m_midlist_PCM.clear();
  m_ownedObjects.clear();
  DeleteOutputImages();
}

void CKZ1Doc::ResetSong() {
  m_refreshSuppress = 1;
  m_tempo = 200;
  m_resolution = 480;
  m_beatsPerMeasure = 4;
  m_timeBase = 0;
  m_importedFlag = 0;
  m_importedFlag2 = 0;
  m_playRangeOn = 0;
  m_playRangeStart = 0;
  m_playRangeEnd = 0;
  std::fill(std::begin(m_smallObject), std::end(m_smallObject), 0);
  m_extensionArea = 0;

  ResetContentsInfo();
  m_buildWord = 0;
  ResetVoiceTables();

  for (int k = 0; k < 16; ++k) {
    m_channelMute[k] = 0;
    m_setup.SetStatus(k, 0);
    m_channelValues[k] = 0;
    std::fill_n(m_channelTables.get() + k * kChannelTableSize, kChannelTableSize, -1);
  }
  std::fill(std::begin(m_spareWords), std::end(m_spareWords), 0);

  for (auto& block : m_waveBlocks) block.reset();
  m_streamPcmMute = 0;
  m_selectionWord = -1;
  DeleteOutputImages();
  ResetDensityInfo(1);
  ClearWaveList(0);
  ClearChannelSlotFlags();
  std::fill(std::begin(m_channelPart), std::end(m_channelPart), 0);
  m_loadedFromVelk = 0;
  m_imageReady = 1;
  m_secondResolution = 480;
  m_path.clear();

  std::fill(std::begin(m_cuePoints), std::end(m_cuePoints), kNoCue);
  m_markerWords[0] = -1;
  m_markerWords[1] = -1;
  m_markerWords[2] = 0;
  platform::ui().FillSectionCombo();

  m_changeFlags = kFlagUnsent;
  m_midlist.clear();
  m_midlist_PCM.clear();
  m_ownedObjects.clear();
}

void CKZ1Doc::ResetContentsInfo() {
  const int chip = ChipMode();
  m_contentsInfo.Reset(chip);
  m_contentsInfo.SetContentsType(chip, 0, static_cast<uint8_t>(GetModeSettingLevel()));
  const int profile = OutputProfile();
  const auto typeOfGeneration = [this] {
    m_contentsInfo.SetContentsTypeByte(TypeOfGeneration(m_contentsInfo.GetContentsType()));
  };
  switch (profile) {
    case 3:
      m_contentsInfo.SetContentsClass(1);
      typeOfGeneration();
      m_contentsInfo.SetCodeType(0x80);
      break;
    case 5:
      break;
    case 8:
      if (chip == 3) m_contentsInfo.SetContentsClass(0);
      if (chip == 5) m_contentsInfo.SetContentsClass(2);
      typeOfGeneration();
      m_contentsInfo.SetCodeType(0);
      break;
    default:
      m_contentsInfo.SetContentsClass(0);
      typeOfGeneration();
      m_contentsInfo.SetCodeType(0);
      break;
  }
  if (chip == 1) m_contentsInfo.SetOptionByte5(1);
  if (chip == 2 || chip == 3 || chip == 5) m_contentsInfo.SetOptionByte5(4);
}

void CKZ1Doc::ResetVoiceTables() {
  m_voiceAssign.Reset(0);
  BuildStreamPcmSlots();
  m_setup.Reset();
  for (int k = 0; k < m_voiceSlotCount; ++k) m_setup.SetVoiceSlotByte(k, 0);
  std::fill(std::begin(m_slotTable), std::end(m_slotTable), 0);
  const int chip = ChipMode();
  if (chip == 1 || chip == 2 || chip == 3 || chip == 5) AssignVoice(0, 0, 0, 0, 0);
}

int CKZ1Doc::SetTempo(int tempo) {
  m_tempo = tempo;
  SetModifiedFlags(0);
  return 1;
}

void CKZ1Doc::SetModifiedFlags(uint32_t mask) {
  if (mask == 0) {
    m_changeFlags |= kFlagUnsaved | kFlagUnsent;
  } else {
    m_changeFlags &= ~mask;
  }
  m_undoSlot.Execute(nullptr);
}

void CKZ1Doc::AddModifiedFlags(uint32_t mask) {
  m_changeFlags |= mask == 0 ? (kFlagUnsaved | kFlagUnsent) : mask;
  m_undoSlot.Execute(nullptr);
}

void CKZ1Doc::ExecuteEdit(std::unique_ptr<CEditCommand> command) {
  m_undoSlot.Execute(std::move(command));
}

void CKZ1Doc::SetPlayRange(int on, uint32_t start, uint32_t end) {
  if (on == m_playRangeOn && start == m_playRangeStart && end == m_playRangeEnd) return;
  if (on == 0) {
    m_playRangeOn = 0;
    m_playRangeStart = 0;
    m_playRangeEnd = 0;
    SetModifiedFlags(0);
    return;
  }
  m_playRangeOn = on;
  m_playRangeStart = start;
  m_playRangeEnd = end;
  if (m_cuePoints[kStartCue] != kNoCue && m_cuePoints[kStartCue] == end) {
    SetCuePoint(kStartCue, start, 1);
  }
  if (m_cuePoints[kStopCue] != kNoCue && m_cuePoints[kStopCue] == start) {
    SetCuePoint(kStopCue, end, 1);
  }
  for (int pass = 0; pass < 2; ++pass) {
    const uint32_t s = m_cuePoints[kStartCue];
    if (s != kNoCue && (s < start || s > end)) SetCuePoint(kStartCue, start, 1);
    const uint32_t e = m_cuePoints[kStopCue];
    if (e != kNoCue && (e > end || e < start)) SetCuePoint(kStopCue, end, 1);
  }
  SetModifiedFlags(0);
}

int32_t CKZ1Doc::GetChannelTableWord(int k, int i) const {
  if (!InChannel(k) || i < 0 || i >= kChannelTableSize) return -1;
  return m_channelTables[k * kChannelTableSize + i];
}

void CKZ1Doc::SetChannelTableWord(int k, int i, int32_t v) {
  if (InChannel(k) && i >= 0 && i < kChannelTableSize) m_channelTables[k * kChannelTableSize + i] = v;
}

int CKZ1Doc::GetChannelValue(int k) const {
  if (InChannel(k)) return m_channelValues[k];
  if (k != 16) return 0;
  for (int v : m_channelValues) {
    if (v != 0) return v;
  }
  return 0;
}

int CKZ1Doc::GetChannelUsed(int k) const {
  if (InChannel(k)) return m_channelWords[k];
  if (k != 16) return 0;
  for (int v : m_channelWords) {
    if (v != 0) return v;
  }
  return 0;
}

int GetKZ3RamLimit() { return 8176; }

int IsStreamPcmChipMode(int chipMode) {
  return (chipMode == 1 || chipMode == 2 || chipMode == 3 || chipMode == 5) ? 1 : 0;
}

uint32_t SwapBytes32(uint32_t v) {
  return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}
