// The chip-mode 1 and 2 clean-up of overlapping notes in the song's event list.
#include <algorithm>
#include <array>
#include <new>
#include <vector>

#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"

namespace {

using Event = std::unique_ptr<CMidiMsg>;

bool IsNoteOnEvent(const CMidiMsg& m) { return m.GetLength() >= 2 && (m.GetByte(0) & 0xF0) == 0x90; }

/// True when some note of the group still sounds 20 ticks after the tick.
bool Overlaps(const std::vector<Event>& group, uint32_t tick) {
  for (const Event& n : group) {
    const uint32_t end = n->GetEndTick() < 20 ? 0 : n->GetEndTick() - 20;
    if (end >= tick) return true;
  }
  return false;
}

/// Index of the earliest start in the group other than `skip` (the first found on ties).
size_t Earliest(const std::vector<Event>& group, size_t skip) {
  size_t best = group.size();
  for (size_t i = 0; i < group.size(); ++i) {
    if (i == skip) continue;
    if (best == group.size() || group[i]->GetTick() < group[best]->GetTick()) best = i;
  }
  return best;
}

void Shortened(Event note, std::vector<Event>& out) {
  if (note->GetEndTick() > note->GetTick() && note->GetEndTick() - note->GetTick() > 20) out.push_back(std::move(note));
}

/// Empties the group into the output, each note cut where the next begins. Every note ends at
/// or after its start, so the rest of a held note starts at or after every other note's end and
/// ends last: no other rest is made while it waits, and once it is the earliest it leaves for a
/// later rest or for good. Each note of the group thus leaves within two passes.
void Rework(std::vector<Event>& group, std::vector<Event>& out) {
  while (!group.empty()) {
    const size_t a = Earliest(group, group.size());
    const size_t b = Earliest(group, a);
    if (b == group.size()) {
      out.push_back(std::move(group[a]));
      group.clear();
      return;
    }
    const uint32_t aEnd = group[a]->GetEndTick();
    const uint32_t bStart = group[b]->GetTick();
    const bool holdsOn = aEnd > group[b]->GetEndTick();
    Event rest;
    if (holdsOn) {
      rest.reset(new (std::nothrow) CMidiMsg(*group[a]));
      if (!rest) throw -108;
    }
    Event note = std::move(group[a]);
    group.erase(group.begin() + static_cast<std::ptrdiff_t>(a));
    note->SetEndTick(bStart + 20);
    Shortened(std::move(note), out);
    if (rest) {
      uint32_t latest = 0;
      for (const Event& n : group) latest = std::max(latest, n->GetEndTick());
      rest->SetTick(latest);
      if (aEnd > latest) group.push_back(std::move(rest));
    }
  }
}

}  // namespace

void CKZ1Doc::Refill(std::vector<std::unique_ptr<CMidiMsg>>& events) {
  m_midlist.clear();
  // Each event goes before the first later one: equal ticks keep the given order.
  std::stable_sort(events.begin(), events.end(),
                   [](const Event& x, const Event& y) { return x->GetTick() < y->GetTick(); });
  for (Event& e : events) m_midlist.push_back(std::move(e));
}

void CKZ1Doc::FixNoteOverlaps() {
  const int chip = platform::settings().GetChipMode();
  if (chip != 1 && chip != 2) return;
  // A note cannot end before it starts: such a note ends at its start (and the refresh then
  // drops it); left as it is, its rest would start before the note it waits for, for ever.
  for (Event& e : m_midlist) {
    if (IsNoteOnEvent(*e) && e->GetEndTick() < e->GetTick()) e->SetEndTick(e->GetTick());
  }
  std::array<std::array<CMidiMsg*, 128>, 16> last{};
  for (auto it = m_midlist.begin(); it != m_midlist.end();) {
    CMidiMsg& m = **it;
    if (!IsNoteOnEvent(m)) {
      ++it;
      continue;
    }
    CMidiMsg*& held = last[m.GetByte(0) & 0x0F][m.GetByte(1) & 0x7F];
    if (held && m.GetTick() < held->GetEndTick()) {
      held->SetEndTick(std::max(held->GetEndTick(), m.GetEndTick()));
      it = m_midlist.erase(it);
      continue;
    }
    held = &m;
    ++it;
  }

  std::vector<Event> out;
  std::array<std::vector<Event>, 16> groups;
  try {
    for (Event& e : m_midlist) {
      if (!IsNoteOnEvent(*e)) {
        out.push_back(std::move(e));
        continue;
      }
      std::vector<Event>& group = groups[e->GetByte(0) & 0x0F];
      if (!group.empty() && !Overlaps(group, e->GetTick())) Rework(group, out);
      group.push_back(std::move(e));
    }
    for (auto& group : groups) Rework(group, out);
  } catch (...) {
    // Nothing is lost: every event, reworked or not, goes back into the list.
    for (Event& e : m_midlist) {
      if (e) out.push_back(std::move(e));
    }
    for (auto& group : groups) {
      for (Event& e : group) {
        if (e) out.push_back(std::move(e));
      }
    }
    Refill(out);
    throw;
  }
  Refill(out);
}
