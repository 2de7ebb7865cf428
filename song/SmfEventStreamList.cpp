// The stream-PCM data-rate curve of a song.
#include "song/SmfEventStreamList.h"

#include "song/SmfDialect.h"
#include "song/SmfMultiTrackWalk.h"
#include "song/SmfStreamReaders.h"
#include "song/StreamPCMSlot.h"

namespace {

constexpr uint8_t kDrumChannel = 9;
constexpr uint8_t kLastPairSlot = 32;

uint8_t MapBankMsb(uint8_t value) {
  if (value == 0x7A) return kBankMelody;
  if (value == 0x7B) return kBankDrum;
  return value;
}

// The slot a stream key selects: notes 0..12 slots 1..13, notes 92..127 slots 14..49; any
// other byte selects none.
uint8_t SlotOfKey(uint8_t note) {
  if (note <= 12) return static_cast<uint8_t>(note + 1);
  if (note >= 92 && note <= 127) return static_cast<uint8_t>(note - 78);
  return 0;
}

uint32_t Saturate(uint64_t value) { return value > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(value); }

}  // namespace

uint32_t GetStreamPcmByteRate(const CStreamPCMSlot* slot) {
  if (!slot) return 0;
  switch (slot->GetFormat()) {
    case 0: return slot->GetRate() >> 1;
    case 2:
    case 3: return slot->GetRate();
    default: return 0;
  }
}

bool CStreamPcmSlotIter::Next(const CStreamPCMSlot*& out) {
  CPtrChain::Value value = 0;
  if (!CPtrChainIter::Next(value)) return false;
  out = reinterpret_cast<const CStreamPCMSlot*>(value);
  return true;
}

int CSmfEventStreamList::AddPoint(uint32_t ms, uint32_t rate, uint32_t tick) {
  m_points.emplace_back(ms, rate, tick);
  return 1;
}

int CSmfEventStreamList::CopyItems(std::vector<CValuePoint>& target) const {
  if (!target.empty()) return 0;
  target.reserve(m_points.size());
  for (const CValuePoint& p : m_points) target.emplace_back(p.GetFirst(), p.GetSecond(), p.GetThird());
  return 1;
}

void CSmfEventStreamList::LoadSlots(const CPtrChain& slots) {
  m_rate.fill(0);
  m_known.fill(false);
  CStreamPcmSlotIter it(slots);
  const CStreamPCMSlot* slot = nullptr;
  while (it.Next(slot)) {
    if (!slot) continue;
    int id = slot->GetId();
    if (id < 1 || id >= kSlotIds || m_known[id]) continue;  // the first slot of an id counts
    m_known[id] = true;
    m_rate[id] = GetStreamPcmByteRate(slot);
  }
}

uint32_t CSmfEventStreamList::TimeOf(uint32_t tick) const {
  uint64_t ms = uint64_t{tick - m_lastChangeTick} * m_tickLength / 1000 + m_accumulatedMs;
  return Saturate(ms);
}

// ---- Stream records ------------------------------------------------------------------------

void CSmfEventStreamList::Take(StreamRecord& record, uint8_t key, uint8_t slot, bool paired,
                               uint32_t now) {
  record = {key, slot, paired, m_rate[slot], now};
  m_total += record.rate;
}

void CSmfEventStreamList::TakePartner(StreamRecord& record, uint8_t slot, uint32_t now) {
  // A partner that is not in the slot list sounds at rate 0.
  Take(record, kNone, m_partner[slot], true, now);
}

void CSmfEventStreamList::Drop(StreamRecord& record) {
  m_total = m_total > record.rate ? m_total - record.rate : 0;
  record = StreamRecord{};
}

void CSmfEventStreamList::StartStream(uint8_t key, uint8_t slot, uint32_t now) {
  Take(m_first, key, slot, false, now);
  if (m_partner[slot] != kNone) {
    m_first.paired = true;
    TakePartner(m_second, slot, now);
  }
}

void CSmfEventStreamList::StrikeSecond(uint8_t key, uint8_t slot, uint32_t now) {
  Take(m_second, key, slot, false, now);
  if (m_partner[slot] == kNone) return;
  m_second.paired = true;
  if (m_partner[slot] == m_first.slot) {
    m_first.key = kNone;
    m_first.paired = true;
    m_first.time = now;
    return;
  }
  Drop(m_first);
  m_first = m_second;  // its rate is already in the total
  m_first.time = now;
  m_second = StreamRecord{};
  TakePartner(m_second, slot, now);
}

void CSmfEventStreamList::StrikeFirst(uint8_t key, uint32_t now) {
  if (!m_first.paired) {
    if (m_second.time < now) {
      std::swap(m_first, m_second);
      m_second.time = now;
    }
    return;
  }
  m_second.time = now;
  if (m_first.key != kNone) return;
  if (m_partner[m_first.slot] == m_second.slot) {
    m_first.key = key;
    m_second.key = kNone;
    return;
  }
  Drop(m_second);
  m_first.key = key;
  if (m_partner[m_first.slot] != kNone) {
    TakePartner(m_second, m_first.slot, now);
  } else {
    m_first.paired = false;
  }
}

void CSmfEventStreamList::StrikeSecondAgain(uint8_t key, uint8_t slot, uint32_t now) {
  m_second.time = now;
  if (m_second.paired) m_first.time = now;
  if (!m_second.paired || m_second.key != kNone) return;
  m_second.key = key;
  if (m_partner[slot] == m_first.slot) {
    m_first.key = kNone;
    return;
  }
  Drop(m_first);
  m_first = m_second;
  m_first.time = now;
  m_second = StreamRecord{};
  if (m_partner[slot] != kNone) {
    TakePartner(m_second, slot, now);
  } else {
    m_first.paired = false;
  }
}

void CSmfEventStreamList::StrikeOther(uint8_t key, uint8_t slot, uint32_t now) {
  bool firstWasPaired = m_first.paired;
  Drop(m_first);
  if (!firstWasPaired) {
    m_first = m_second;
    Take(m_second, key, slot, false, now);
    if (m_partner[slot] != kNone) {
      Drop(m_first);
      m_first = m_second;
      m_first.paired = true;
      m_second = StreamRecord{};
      TakePartner(m_second, slot, now);
    }
    return;
  }
  Drop(m_second);
  Take(m_first, key, slot, false, now);
  if (m_partner[slot] != kNone) {
    m_first.paired = true;
    TakePartner(m_second, slot, now);
  }
}

void CSmfEventStreamList::StreamKeyOn(uint8_t key, uint8_t slot, uint32_t now) {
  ++m_useCount[slot];
  switch (m_mode) {
    case 0:
      m_total = 0;
      return;
    case 1:
      if (slot != m_first.slot) {
        m_first = {key, slot, false, m_rate[slot], now};
        m_total = m_first.rate;
      }
      return;
    default:
      break;
  }
  if (m_first.IsFree()) {
    StartStream(key, slot, now);
  } else if (m_second.IsFree()) {
    if (slot != m_first.slot) StrikeSecond(key, slot, now);
  } else if (slot == m_first.slot) {
    StrikeFirst(key, now);
  } else if (slot == m_second.slot) {
    StrikeSecondAgain(key, slot, now);
  } else {
    StrikeOther(key, slot, now);
  }
}

void CSmfEventStreamList::StreamKeyOff(uint8_t key, uint8_t slot) {
  if (m_useCount[slot] > 0) --m_useCount[slot];
  if (m_useCount[slot] != 0) return;
  if (m_first.slot == slot && m_first.key == key) {
    bool wasPaired = m_first.paired;
    Drop(m_first);
    if (!wasPaired) {
      m_first = m_second;
      m_second = StreamRecord{};
    } else {
      Drop(m_second);
    }
  } else if (m_second.slot == slot && m_second.key == key) {
    Drop(m_second);
    if (m_first.paired) Drop(m_first);
  }
}

// ---- Walk ----------------------------------------------------------------------------------

void CSmfEventStreamList::MarkSegment(uint32_t now, bool afterNoteOn) {
  if (m_segmentStart < now) AddPoint(m_segmentStart, m_segmentRate, m_segmentTick);
  m_segmentStart = now;
  m_segmentRate = Saturate(m_total);
  uint64_t sinceUs = uint64_t{now - m_accumulatedMs} * 1000;
  uint64_t ticks = m_tickLength != 0 ? (sinceUs + m_tickLength / 2) / m_tickLength : 0;
  m_segmentTick = Saturate(ticks + m_lastChangeTick);
  if (afterNoteOn && m_total > m_maxRate) {
    m_maxRate = Saturate(m_total);
    m_maxTime = now;
  }
}

void CSmfEventStreamList::HandleSysEx(const SmfEvent& event) {
  if (event.dataSize < 5 || event.data[3] != kGroupDevice) return;
  const uint8_t* d = event.data;
  if (d[4] == kDeviceSetupMode && event.dataSize >= 6) {
    if (d[5] < 3) m_mode = d[5];
    return;
  }
  if (d[4] != kDeviceStreamPair || event.dataSize < 8) return;
  uint8_t kind = d[5], a = d[6], b = d[7];
  if (a < 1 || a > kLastPairSlot || b < 1 || b > kLastPairSlot || a == b) return;
  // Streams that sound now keep their pairing.
  for (uint8_t busy : {m_first.slot, m_second.slot}) {
    if (a == busy || b == busy) return;
  }
  m_partner[a] = kind == 0 ? b : kNone;
  m_partner[b] = kind == 0 ? a : kNone;
}

void CSmfEventStreamList::HandleChannel(const SmfEvent& event) {
  uint8_t channel = event.Channel();
  ChannelState& state = m_channels[channel];
  switch (event.Kind()) {
    case 0xB0:
      if (event.Data1() == 0) state.bank = MapBankMsb(event.Data2());
      return;
    case 0xC0:
      state.program = event.Data1();
      state.stream = false;
      if (state.bank == kBankDrum) {
        state.stream = true;
      } else if ((state.bank == 0 || state.bank == 0xFF) && channel == kDrumChannel) {
        state.stream = true;
        state.bank = kBankDrum;
      }
      return;
    case 0x80:
    case 0x90:
      break;
    default:
      return;
  }
  if (state.program == 0xFF) {
    state.bank = channel == kDrumChannel ? kBankDrum : 0;
    state.stream = channel == kDrumChannel;
    state.program = 0;
  }
  if (!state.stream) return;
  uint8_t slot = SlotOfKey(event.Data1());
  if (slot == 0 || !m_known[slot]) return;
  uint32_t now = TimeOf(event.tick);
  if (event.IsNoteOn()) {
    StreamKeyOn(event.Data1(), slot, now);
    MarkSegment(now, true);
  } else {
    uint64_t before = m_total;
    StreamKeyOff(event.Data1(), slot);
    if (m_total != before) MarkSegment(now, false);
  }
}

void CSmfEventStreamList::HandleEvent(const SmfEvent& event) {
  if (event.IsMeta()) {
    if (event.metaType != kMetaTempo || event.dataSize < 3) return;
    uint32_t value = (uint32_t{event.data[0]} << 16) | (uint32_t{event.data[1]} << 8) | event.data[2];
    if (value == m_tickLength) return;
    m_accumulatedMs = TimeOf(event.tick);
    m_lastChangeTick = event.tick;
    m_tickLength = value;
  } else if (event.IsSysEx()) {
    HandleSysEx(event);
  } else if (event.IsChannel()) {
    HandleChannel(event);
  }
}

int CSmfEventStreamList::AnalyseStreamRate(const uint8_t* image, uint32_t size,
                                           const CPtrChain& slots) {
  m_points.clear();
  m_maxRate = m_maxTime = 0;
  CSmfMultiTrackWalk walk;
  walk.Open(image, size, 1);

  m_tickLength = kDefaultTickTempo;
  bool found = false;
  walk.Walk([&](const SmfEvent& event, CSmfTrackCursor&) {
    if (found || !event.IsMeta() || event.metaType != kMetaTempo || event.dataSize < 3) return;
    m_tickLength = (uint32_t{event.data[0]} << 16) | (uint32_t{event.data[1]} << 8) | event.data[2];
    found = true;
  });

  LoadSlots(slots);
  m_partner.fill(kNone);
  m_useCount.fill(0);
  m_channels.fill(ChannelState{});
  m_first = m_second = StreamRecord{};
  m_mode = 2;
  m_total = 0;
  m_accumulatedMs = 0;
  m_lastChangeTick = 0;
  m_segmentStart = m_segmentRate = m_segmentTick = 0;
  walk.Rewind();
  walk.Walk([this](const SmfEvent& event, CSmfTrackCursor&) { HandleEvent(event); });
  AddPoint(m_segmentStart, m_segmentRate, m_segmentTick);
  return 1;
}
