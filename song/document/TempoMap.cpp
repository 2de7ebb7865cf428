// The song's tick and millisecond conversion.
#include "song/document/TempoMap.h"

#include <algorithm>
#include <cmath>

namespace {

// Products of tick spans and rates pass 32 bits for songs over about 71 minutes, so they are
// taken in 64 bits; only the stored result is 32 bits wide.
uint32_t Low32(uint64_t v) { return static_cast<uint32_t>(v); }

uint32_t FloatToU32(float v) {
  if (!(v > 0.0f)) return 0;
  if (v >= 4294967296.0f) return 0xFFFFFFFFu;
  return static_cast<uint32_t>(v);
}

uint32_t RoundFloat(float v, int rounding) {
  switch (rounding) {
    case CTempoMap::kUp: {
      const uint32_t down = FloatToU32(v);
      return std::trunc(v) != v ? FloatToU32(v + 1.0f) : down;
    }
    case CTempoMap::kDown:
      return FloatToU32(v);
    default:
      return FloatToU32(v + 0.5f);
  }
}

// Single precision throughout, as the board computes it.
float MsPerTick(uint32_t rate, uint32_t resolution) {
  return static_cast<float>(rate) / static_cast<float>(resolution) / 1000.0f;
}

}  // namespace

void CTempoMap::Reset(uint32_t initialRate, uint32_t resolution) {
  m_listA.clear();
  m_listB.clear();
  m_orderedA = m_orderedB = m_timesOrderedA = true;
  m_resolution = 0;
  if (initialRate != 0) m_listA.emplace_back(0, initialRate, 0);
  if (resolution != 0) m_resolution = resolution;
}

int CTempoMap::IsEmpty(int list) const { return GetPoints(list).empty() ? 1 : 0; }

int CTempoMap::AddTempo(uint32_t tick, uint32_t rate) {
  uint32_t time = 0;
  if (!m_listA.empty()) {
    const CTempoPoint& last = m_listA.back();
    if (tick < last.GetTick()) m_orderedA = false;
    const uint32_t span = tick >= last.GetTick() ? tick - last.GetTick() : 0;
    time = Low32(last.GetTime() + uint64_t{span} * last.GetRate() / 1000);
    if (time < last.GetTime()) m_timesOrderedA = false;
  }
  m_listA.emplace_back(tick, rate, time);
  return 1;
}

int CTempoMap::AddSmfTempo(uint32_t tick, uint32_t rate) {
  if (m_resolution == 0) return 0;
  uint32_t time = 0;
  if (!m_listB.empty()) {
    const CTempoPoint& last = m_listB.back();
    if (tick < last.GetTick()) m_orderedB = false;
    const uint32_t span = tick >= last.GetTick() ? tick - last.GetTick() : 0;
    time = last.GetTime() +
           FloatToU32(MsPerTick(last.GetRate(), m_resolution) * static_cast<float>(span));
  }
  m_listB.emplace_back(tick, rate, time);
  return 1;
}

const CTempoPoint* CTempoMap::PointAtTick(const std::vector<CTempoPoint>& list, bool ordered,
                                          uint32_t tick) {
  if (ordered) {
    auto it = std::upper_bound(list.begin(), list.end(), tick,
                               [](uint32_t t, const CTempoPoint& p) { return t < p.GetTick(); });
    return it == list.begin() ? nullptr : &*std::prev(it);
  }
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    if (it->GetTick() <= tick) return &*it;
  }
  return nullptr;
}

uint32_t CTempoMap::ListBValue(uint32_t tick, int rounding) const {
  const CTempoPoint* p = PointAtTick(m_listB, m_orderedB, tick);
  const uint32_t rate = p ? p->GetRate() : 0;
  const uint32_t from = p ? p->GetTick() : 0;
  const uint32_t time = p ? p->GetTime() : 0;
  const float value = MsPerTick(rate, m_resolution) * static_cast<float>(tick - from) +
                      static_cast<float>(time);
  return RoundFloat(value, rounding);
}

uint32_t CTempoMap::ListAValue(uint32_t tick, int rounding) const {
  const CTempoPoint* p = PointAtTick(m_listA, m_orderedA, tick);
  if (!p) return 0;
  const uint64_t c = rounding == kUp ? 999 : rounding == kDown ? 0 : 500;
  return Low32((uint64_t{tick - p->GetTick()} * p->GetRate() + c) / 1000 + p->GetTime());
}

uint32_t CTempoMap::TickToMs(uint32_t tick, int rounding, int quantum, uint32_t limit) const {
  const uint32_t value = (m_resolution != 0 && !m_listB.empty()) ? ListBValue(tick, rounding)
                                                                 : ListAValue(tick, rounding);
  const uint32_t q = quantum < 1 ? 1u : static_cast<uint32_t>(quantum);
  const uint32_t r = value % q;
  if (r == 0) return value;
  const bool down = rounding == kDown || (rounding != kUp && r < q / 2);
  if (down) return value - r;
  const uint32_t up = Low32(uint64_t{value} - r + q);
  if (limit == 0) return up;
  // A section length must stay a multiple of the quantum without running past its end.
  if (up <= TickToMs(limit, rounding, 1, 0)) return up;
  return TickToMs(tick, kDown, quantum, 0);
}

uint32_t CTempoMap::MsToTick(uint32_t ms, int rounding) const {
  if (m_listA.empty()) return 0;
  const CTempoPoint* p = nullptr;
  if (m_timesOrderedA) {
    auto it = std::upper_bound(m_listA.begin(), m_listA.end(), ms,
                               [](uint32_t t, const CTempoPoint& q) { return t < q.GetTime(); });
    if (it != m_listA.begin()) p = &*std::prev(it);
  } else {
    for (auto it = m_listA.rbegin(); it != m_listA.rend(); ++it) {
      if (it->GetTime() <= ms) {
        p = &*it;
        break;
      }
    }
  }
  const uint32_t rate = p ? p->GetRate() : 1;
  const uint32_t from = p ? p->GetTick() : 0;
  const uint32_t time = p ? p->GetTime() : 0;
  // A point of rate 0 stands still: every time from it on lies at its tick.
  if (rate == 0) return from;
  const uint64_t c = rounding == kUp ? rate - 1 : rounding == kDown ? 0 : rate / 2;
  return Low32((uint64_t{ms - time} * 1000 + c) / rate + from);
}
