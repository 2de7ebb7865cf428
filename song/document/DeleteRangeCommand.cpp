// The undoable Erase of the events of a region.
#include "song/document/DeleteRangeCommand.h"

#include <memory>

#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"

namespace {

void Shift(CMidiMsg& m, uint32_t by, bool back) {
  m.SetTick(back ? m.GetTick() - by : m.GetTick() + by);
  if (m.GetEndTick() != 0) m.SetEndTick(back ? m.GetEndTick() - by : m.GetEndTick() + by);
}

}  // namespace

CDeleteRangeCommand::CDeleteRangeCommand(CKZ1Doc& doc, int channel, uint32_t from, uint32_t to,
                                         int closeGap)
    : m_doc(doc), m_channel(channel), m_from(from), m_to(to), m_closeGap(closeGap) {}

CDeleteRangeCommand::~CDeleteRangeCommand() { DeleteRemoved(); }

void CDeleteRangeCommand::DeleteRemoved() {
  for (uint32_t i = 0; i < m_removed.GetCount(); ++i) delete EventAt(m_removed, i);
  m_removed.RemoveAll();
}

int CDeleteRangeCommand::DoBody() {
  auto& list = *m_doc.GetMidiList();
  m_order.Record(list);
  for (auto it = list.begin(); it != list.end();) {
    if (!IsRegionEvent(**it, m_channel, m_from, m_to)) {
      ++it;
      continue;
    }
    m_removed.Add(it->get());  // may throw while the list still owns the event
    it->release();
    it = list.erase(it);
  }
  if (m_closeGap) CloseGap();
  FinishRegionEdit(m_doc);
  return 1;
}

void CDeleteRangeCommand::CloseGap() {
  const uint32_t span = m_to - m_from;
  auto& list = *m_doc.GetMidiList();
  CKZ1Doc::EventList moved;
  m_moved.clear();
  for (auto it = list.begin(); it != list.end();) {
    CMidiMsg& m = **it;
    const uint32_t cue = m.GetExtra();
    if (m.GetTick() <= m_to) {
      if (cue != 0 && cue < 10) m_cueFlags[cue] = 1;
      ++it;
      continue;
    }
    Shift(m, span, true);
    if (cue != 0 && (cue >= 10 || m_doc.SetCuePoint(static_cast<int>(cue), m.GetTick(), 0) == 0)) {
      if (cue < 10) m_cueFlags[cue] = 1;
    }
    m_moved.insert(&m);
    auto next = std::next(it);
    moved.splice(moved.end(), list, it);
    it = next;
  }
  // The moved events land among those the region kept: back into tick order.
  MergeEventsByTick(list, moved);
}

void CDeleteRangeCommand::OpenGap() {
  const uint32_t span = m_to - m_from;
  for (auto& m : *m_doc.GetMidiList()) {
    if (m_moved.count(m.get()) == 0) continue;
    Shift(*m, span, false);
    const uint32_t cue = m->GetExtra();
    if (cue != 0 && cue < 10 && m_cueFlags[cue] == 0) {
      m_doc.SetCuePoint(static_cast<int>(cue), m->GetTick(), 0);
    }
  }
  m_moved.clear();
}

int CDeleteRangeCommand::UndoBody() {
  if (m_closeGap) OpenGap();
  auto& list = *m_doc.GetMidiList();
  // Every node first: a failure must not leave an event owned twice.
  CKZ1Doc::EventList back(m_removed.GetCount());
  uint32_t i = 0;
  for (auto& node : back) node.reset(EventAt(m_removed, i++));
  m_removed.RemoveAll();
  list.splice(list.end(), back);
  for (auto& flag : m_cueFlags) flag = 0;
  m_order.Restore(list);
  m_order.Clear();
  m_doc.RefreshChannelVoices(0);
  m_doc.SetModifiedFlags(0);
  platform::ui().UpdateSongWindows();
  return 1;
}
