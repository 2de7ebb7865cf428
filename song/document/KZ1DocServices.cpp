// The song document's smaller services: density checks, numbered exports, the master-volume
// event, phrase parts, wave blocks, the density and stream-size lists and a few accessors.
#include <algorithm>
#include <cctype>

#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"
#include "song/document/MetaMsgClass.h"

namespace {

constexpr uint32_t kAverageDensityLimit = 500;
constexpr uint32_t kMaxDensityLimit = 1000;
constexpr int kPartLimit = 4;
constexpr uint32_t kTimeSignatureExtra = 10;

bool IsGen35(int chip) { return chip == 3 || chip == 5; }

bool EndsWithMmf(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  std::transform(tail.begin(), tail.end(), tail.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return tail == ".mmf";
}

// The tick of the first note-on of a list, if any.
bool FirstNoteTick(const CKZ1Doc::EventList& list, uint32_t& tick) {
  for (const auto& m : list) {
    if (ClassifyMetaMsg(*m) == kMsgNoteOn) {
      tick = m->GetTick();
      return true;
    }
  }
  return false;
}

}  // namespace

int CKZ1Doc::CheckDensity() {
  const int chip = platform::settings().GetChipMode();
  if (!IsGen35(chip)) return 1;
  if (platform::settings().GetModeParameter(chip, 0) == 0) {
    platform::ShowMessage(7063);
    return 0;
  }
  return CheckDensityForBoard();
}

int CKZ1Doc::CheckDensityForBoard() {
  if (!IsGen35(platform::settings().GetChipMode())) return 1;
  const int profile = platform::settings().GetOutputProfile();
  if (profile != 1 && profile != 2 && profile != 3 && profile != 8) return 1;
  int result = 1;
  if (m_density.average > kAverageDensityLimit) {
    platform::ShowMessage(7061);
    result = 0;
  }
  if (m_density.maximum > kMaxDensityLimit) {
    platform::ShowMessage(7062);
    result = 0;
  }
  return result;
}

int CKZ1Doc::IsNumberedExport() const {
  const auto& s = platform::settings();
  if (!IsGen35(s.GetChipMode()) || s.GetOutputProfile() != 4 || !m_numberedExport) return 0;
  return EndsWithMmf(m_path) ? 0 : 1;
}

int CKZ1Doc::SetMasterVolumeEvent(int value) {
  const int profile = platform::settings().GetOutputProfile();
  if (profile == 1 || profile == 6 || profile == 7) return 1;
  uint32_t first = 0;
  uint32_t firstPcm = 0;
  const bool inPlay = FirstNoteTick(m_midlist, first);
  const bool inPcm = FirstNoteTick(m_midlist_PCM, firstPcm);
  if (!inPlay && !inPcm) return 0;
  if (!inPlay || (inPcm && firstPcm < first)) first = firstPcm;
  CMidiMsg* volume = nullptr;
  for (auto& m : m_midlist) {
    if (m->GetTick() > first) continue;
    if (ClassifyMetaMsg(*m) == kMsgDeviceVolume && m->GetLength() > 7) volume = m.get();
  }
  if (!volume) return 0;
  volume->GetData()[7] = static_cast<uint8_t>(value & 0x7F);
  return 1;
}

int CKZ1Doc::SetChannelPart(int channel, int part, int step) {
  if (!StoreChannelPart(channel, part, step)) return 0;
  SetModifiedFlags(0);
  return 1;
}

int CKZ1Doc::StoreChannelPart(int channel, int part, int step) {
  if (!InChannel(channel) || part < 0 || part > kPartLimit) return 0;
  if (IsNumberedExport() || GetChannelValue(channel) == 0) return 0;
  // Part 0 takes any number of channels, so both directions end.
  for (int tries = 0; part != 0 && tries <= kPartLimit; ++tries) {
    int holders = 0;
    for (int k = 0; k < 16; ++k) holders += (k != channel && m_channelPart[k] == part) ? 1 : 0;
    if (holders < kPartLimit) break;
    part = step == -1 ? part - 1 : (part + 1) % (kPartLimit + 1);
  }
  m_channelPart[channel] = part;
  ClearSlotUse(channel);
  // The channel's use of its voices comes again from its voice map and its voice slot.
  for (int i = 0; i < kChannelTableSize; ++i) {
    const int32_t slot = GetChannelTableWord(channel, i);
    if (slot >= 0) SetSlotUse(channel, slot, 1);
  }
  const int voice = GetChannelVoiceSlot(channel);
  if (voice >= 0 && voice < CVoiceAssignTable::kAreaSize) SetSlotUse(channel, voice, 1);
  return 1;
}

int CKZ1Doc::SetWaveBlock(int i, const CNamedBlock* block) {
  if (i < 0 || i >= kWaveBlockCount) return 0;
  if (!block) {
    m_waveBlocks[i].reset();
    return 1;
  }
  if (!m_waveBlocks[i]) m_waveBlocks[i] = std::make_unique<CNamedBlock>();
  if (m_waveBlocks[i].get() != block) *m_waveBlocks[i] = *block;
  return 1;
}

void CKZ1Doc::ClearWaveList(int refresh) {
  m_streamSummary[0] = m_streamSummary[1] = 0xFFFFFFFFu;
  m_waveList.clear();
  if (refresh == 1) platform::ui().RebuildStreamSizeGraph();
}

void CKZ1Doc::ResetDensityInfo(int clearSpan) {
  m_density = DensityBlock{};
  if (clearSpan) m_graphSpan = 0;
  m_densityList.clear();
}

void CKZ1Doc::SetDensityInfo(uint32_t state, uint32_t average, uint32_t maximum,
                             uint32_t maxTime, uint32_t span,
                             const std::vector<CMsgKey>& points) {
  m_density.valid = 1;
  m_density.state = state;
  m_density.average = average;
  m_density.maximum = maximum;
  m_density.maxTime = maxTime;
  m_graphSpan = span;
  m_densityList = points;
}

void CKZ1Doc::SetStreamSizeList(uint32_t range1, uint32_t range2,
                                const std::vector<CValuePoint>& points) {
  m_streamSummary[0] = range1;
  m_streamSummary[1] = range2;
  m_waveList = points;
  platform::ui().RebuildStreamSizeGraph();
}

int CKZ1Doc::MakeMsgKeys(std::vector<CMsgKey>& target) const {
  if (!target.empty()) return 0;
  for (const CMsgKey& point : m_densityList) {
    CMsgKey key;
    key.Set(point);
    target.push_back(key);
  }
  return 1;
}

int CKZ1Doc::CollectMetaEvents(EventList& target) const {
  if (!target.empty()) return 0;
  for (const auto& m : m_midlist) {
    if (ClassifyMetaMsg(*m) != kMsgTimeSignature) continue;
    auto copy = std::make_unique<CMidiMsg>(*m);
    copy->SetExtra(kTimeSignatureExtra);
    target.push_back(std::move(copy));
  }
  return 1;
}

int CKZ1Doc::GetBoardValue() const {
  return platform::board().HasBoardDevice() ? m_boardValue : 0;
}
