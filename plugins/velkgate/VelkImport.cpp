// CnvFrom's work: a VELK image into song-data SMF bytes.
#include "plugins/velkgate/VelkImport.h"

#include <algorithm>
#include <cstring>

#include "plugins/velkgate/ConvertOutput.h"
#include "plugins/velkgate/SetupTransfer.h"
#include "plugins/velkgate/TickRescaler.h"
#include "plugins/velkgate/TimeBase.h"
#include "plugins/velkgate/TrSigView.h"
#include "plugins/velkgate/VelkFileChunk.h"
#include "song/MemStream.h"
#include "song/SongSetup.h"
#include "song/VoiceItem.h"

namespace velkgate {

namespace {

constexpr uint32_t kRetimeDivision = 480;
constexpr uint16_t kMinPcmRate = 1500;
constexpr uint16_t kMaxPcmRate = 48000;

bool HasVelkId(const CnvParam& param) {
  return param.src && param.srcSize >= 4 && std::memcmp(param.src, "MMMD", 4) == 0;
}

bool IsReadableScoreTrack(uint8_t format) {
  return format == CScoreTrackChunk::kCompressed || format == CScoreTrackChunk::kPlain;
}

/// Clamps the rate of every voice that carries its wave; true when one changed.
bool ClampVoiceRates(CSongSetup& setup) {
  bool changed = false;
  for (int i = 0; i < CSongSetup::kVoiceItemCount; ++i) {
    CVoiceItem* voice = setup.GetVoiceItem(i);
    if (!voice || voice->GetWaveDataSize() == 0) continue;
    uint16_t rate = voice->GetPcmFs();
    uint16_t clamped = std::clamp(rate, kMinPcmRate, kMaxPcmRate);
    if (clamped != rate) {
      voice->SetPcmFs(clamped);
      changed = true;
    }
  }
  return changed;
}

/// The score events by tick: several tracks decode one after another.
std::vector<CSeqEvent*> SortedByTick(const CEventList& list) {
  std::vector<CSeqEvent*> events = list.Items();
  std::stable_sort(events.begin(), events.end(),
                   [](const CSeqEvent* a, const CSeqEvent* b) { return a->GetTick() < b->GetTick(); });
  return events;
}

}  // namespace

uint32_t CVelkImport::Run() noexcept {
  try {
    return Convert();
  } catch (...) {
    return m_result;
  }
}

uint32_t CVelkImport::RetimeTo480(CEventArray& events, uint32_t msPerTick) {
  const uint64_t usPerTick = uint64_t{msPerTick} * 1000;
  CTickRescaler rescaler(
      events,
      [usPerTick](uint32_t tempo) { return CTickRescaler::Rate{usPerTick * kRetimeDivision, tempo}; },
      1);
  for (CSeqEvent* e : events) {
    if (e->IsDropped()) continue;
    uint32_t start = 0;
    uint32_t end = 0;
    rescaler.Next(*e, start, end);
    e->SetTick(start);
    e->SetEndTick(end);
  }
  return rescaler.GetFirstTempo();
}

uint32_t CVelkImport::Convert() {
  uint32_t& flags = m_param.flags;
  flags &= kEntryMask;
  bool retime = (flags & CNVF_RETIME_480) != 0;
  if (!HasVelkId(m_param)) return CNVERR_FORMAT;

  bool compat = false;
  flags |= uint32_t{CheckTrSig(m_param.src, m_param.srcSize, compat)} << CNVF_SIG_STATE_SHIFT;

  CMemStream source(const_cast<uint8_t*>(m_param.src), static_cast<int32_t>(m_param.srcSize), false);
  CVelkFileChunk file(source, flags);
  if (file.GetContentsInfoChunk().GetId() != CContentsInfoChunk::kId ||
      !IsReadableScoreTrack(file.GetScoreTrackFormat(5)))
    return CNVERR_FORMAT;
  // The stored CRC is not checked: a file whose CRC does not match converts like any other.

  CMidiList list;
  CContentsInfo record;
  file.ReadContentsInfo(record, compat);
  list.GetContentsInfo() = record;

  CEventList score;
  TimeBase timeBase = TimeBaseOfCode(file.ScoreTracksToEvents(score, flags));
  flags |= timeBase.flagValue;

  CSongSetup setup;
  TransferSetup(file, setup);
  if (ClampVoiceRates(setup)) flags |= CNVF_RATE_CORRECTED;

  CEventList master;
  file.MasterTracksToEvents(master);
  CEventArray events;
  CMidiList::MergeEvents(master.Items(), SortedByTick(score), events);

  uint32_t firstTempo = retime ? RetimeTo480(events, timeBase.milliseconds) : 0;
  for (CSeqEvent* e : events)
    if (!e->IsDropped()) list.GetMainList().Add(new CSeqEvent(*e));

  setup.SetTimeBase(retime ? kRetimeDivision : 0);
  list.GetSetup().Assign(setup);
  list.GetSetup().SetOwnsObjects(setup.SetOwnsObjects(0));
  list.SetTempo(retime ? (firstTempo + kRetimeDivision / 2) / kRetimeDivision : timeBase.milliseconds * 1000);
  list.SetTempoMs(timeBase.milliseconds);
  list.SetDivision(kRetimeDivision);
  if (retime) list.SetConversionKind(1);
  list.SetRamCheck(false);

  CMemStream out;
  uint32_t report = 0;
  if (!list.WriteSmf(out, list.GetMainList(), list.GetStreamList(), &report)) return CNVERR_FAILED;
  return CopyToDestination(m_param, out);
}

}  // namespace velkgate
