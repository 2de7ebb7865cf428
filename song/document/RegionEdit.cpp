// What the undoable edits share.
#include "song/document/RegionEdit.h"

#include <unordered_map>

#include "platform/host/HostServices.h"

namespace {

constexpr int kCueIllegal = 7067;
constexpr int kAnswerCancel = 2;

bool TickLess(const std::unique_ptr<CMidiMsg>& a, const std::unique_ptr<CMidiMsg>& b) {
  return a->GetTick() < b->GetTick();
}

}  // namespace

bool IsRegionEvent(const CMidiMsg& m, int channel, uint32_t from, uint32_t to) {
  if (m.GetLength() < 1 || m.GetExtra() != 0) return false;
  if (m.GetTick() < from || m.GetTick() > to) return false;
  const uint8_t status = m.GetByte(0);
  const int kind = status & 0xF0;
  if (kind != 0x90 && kind != 0xB0 && kind != 0xC0) return false;
  return channel == -1 || (status & 0x0F) == channel;
}

void CheckCuePointsAfterEdit(CKZ1Doc& doc) {
  bool refused[CKZ1Doc::kCueCount] = {};
  bool any = false;
  for (int k = 1; k < CKZ1Doc::kCueCount; ++k) {
    refused[k] = doc.SetCuePoint(k, doc.GetCuePoint(k), 0) == 0;
    any = any || refused[k];
  }
  if (!any) return;
  if (platform::ShowMessage(kCueIllegal) == kAnswerCancel) {
    // The window undoes the whole edit once this command has returned.
    platform::ui().UpdateSongWindows();
    platform::ui().RequestUndo();
    return;
  }
  for (int k = 1; k < CKZ1Doc::kCueCount; ++k) {
    if (refused[k]) doc.SetCuePoint(k, CKZ1Doc::kNoCue, 1);
  }
}

void FinishRegionEdit(CKZ1Doc& doc) {
  doc.RefreshChannelVoices(0);
  CheckCuePointsAfterEdit(doc);
  doc.SetModifiedFlags(0);
  platform::ui().UpdateSongWindows();
}

void InsertByTick(CKZ1Doc::EventList& list, std::unique_ptr<CMidiMsg> event) {
  const uint32_t tick = event->GetTick();
  // Edits mostly add near the end: search from there.
  auto at = list.end();
  while (at != list.begin() && (*std::prev(at))->GetTick() > tick) --at;
  list.insert(at, std::move(event));
}

void MergeEventsByTick(CKZ1Doc::EventList& list, CKZ1Doc::EventList& events) {
  events.sort(TickLess);
  list.merge(events, TickLess);
}

void CEventOrder::Record(const CKZ1Doc::EventList& list) {
  m_order.clear();
  m_order.reserve(list.size());
  for (const auto& m : list) m_order.push_back(m.get());
}

void CEventOrder::Restore(CKZ1Doc::EventList& list) const {
  std::unordered_map<const CMidiMsg*, size_t> rank;
  rank.reserve(m_order.size());
  for (size_t i = 0; i < m_order.size(); ++i) rank.emplace(m_order[i], i);
  std::vector<CKZ1Doc::EventList::iterator> byRank(m_order.size(), list.end());
  for (auto it = list.begin(); it != list.end(); ++it) {
    auto found = rank.find(it->get());
    if (found != rank.end()) byRank[found->second] = it;
  }
  CKZ1Doc::EventList sorted;
  for (auto it : byRank) {
    if (it != list.end()) sorted.splice(sorted.end(), list, it);
  }
  // What the record does not know (none in practice) keeps its tick.
  while (!list.empty()) {
    std::unique_ptr<CMidiMsg> event = std::move(list.front());
    list.pop_front();
    InsertByTick(sorted, std::move(event));
  }
  list.swap(sorted);
}
