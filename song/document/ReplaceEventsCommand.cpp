// The undoable Duplicate and Move of the events of a region.
#include "song/document/ReplaceEventsCommand.h"

#include <cstring>
#include <memory>
#include <unordered_map>

#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"

namespace {

bool SameEvent(const CMidiMsg& a, const CMidiMsg& b) {
  return a.GetExtra() == b.GetExtra() && a.GetTick() == b.GetTick() &&
         a.GetEndTick() == b.GetEndTick() && a.GetLength() == b.GetLength() &&
         std::memcmp(a.GetData(), b.GetData(), a.GetLength()) == 0;
}

}  // namespace

CReplaceEventsCommand::CReplaceEventsCommand(CKZ1Doc& doc, int channel, uint32_t from,
                                             uint32_t to, int destChannel, uint32_t target,
                                             int move)
    : m_doc(doc),
      m_channel(channel),
      m_from(from),
      m_to(to),
      m_destChannel(destChannel),
      m_target(target),
      m_move(move) {}

CReplaceEventsCommand::~CReplaceEventsCommand() {
  DeleteAll(m_before);
  DeleteAll(m_after);
}

void CReplaceEventsCommand::DeleteAll(CGrowPtrArray& array) {
  for (uint32_t i = 0; i < array.GetCount(); ++i) delete EventAt(array, i);
  array.RemoveAll();
}

int CReplaceEventsCommand::DoBody() {
  auto& list = *m_doc.GetMidiList();
  m_order.Record(list);
  // Every copy exists before any source goes: a failure leaves the song whole.
  std::vector<size_t> places;
  size_t place = 0;
  for (const auto& m : list) {
    if (IsRegionEvent(*m, m_channel, m_from, m_to)) {
      auto copy = std::make_unique<CMidiMsg>(*m);
      m_before.Add(copy.get());
      copy.release();
      places.push_back(place);
    }
    ++place;
  }
  if (m_move) {
    for (auto it = list.begin(); it != list.end();) {
      it = IsRegionEvent(**it, m_channel, m_from, m_to) ? list.erase(it) : std::next(it);
    }
    // Each copy stands in for its source, so Undo puts it at the source's place.
    for (uint32_t i = 0; i < m_before.GetCount(); ++i) m_order.Substitute(places[i], EventAt(m_before, i));
  }
  InsertCopies();
  FinishRegionEdit(m_doc);
  return 1;
}

void CReplaceEventsCommand::InsertCopies() {
  const uint32_t offset = m_target - m_from;
  CKZ1Doc::EventList copies;
  for (uint32_t i = 0; i < m_before.GetCount(); ++i) {
    const CMidiMsg& source = *EventAt(m_before, i);
    auto copy = std::make_unique<CMidiMsg>(source);
    copy->SetTick(source.GetTick() + offset);
    if (source.GetEndTick() != 0) copy->SetEndTick(source.GetEndTick() + offset);
    if (m_destChannel != -1 && copy->GetLength() > 0) {
      uint8_t* data = copy->GetData();
      data[0] = static_cast<uint8_t>((data[0] & 0xF0) | (m_destChannel & 0x0F));
    }
    auto record = std::make_unique<CMidiMsg>(*copy);
    m_after.Add(record.get());
    record.release();
    m_inserted.push_back(copy.get());
    copies.push_back(std::move(copy));
  }
  MergeEventsByTick(*m_doc.GetMidiList(), copies);
}

void CReplaceEventsCommand::RemoveInsertedCopies() {
  // Only the copies this command put in, still as it made them; events deleted since are gone
  // from the list and never touched.
  std::unordered_map<const CMidiMsg*, uint32_t> inserted;
  for (uint32_t i = 0; i < m_inserted.size(); ++i) inserted.emplace(m_inserted[i], i);
  auto& list = *m_doc.GetMidiList();
  for (auto it = list.begin(); it != list.end();) {
    auto found = inserted.find(it->get());
    const bool ours = found != inserted.end() && SameEvent(**it, *EventAt(m_after, found->second));
    it = ours ? list.erase(it) : std::next(it);
  }
  m_inserted.clear();
  DeleteAll(m_after);
}

int CReplaceEventsCommand::UndoBody() {
  RemoveInsertedCopies();
  auto& list = *m_doc.GetMidiList();
  if (m_move) {
    // Every node first: a failure must not leave an event owned twice.
    CKZ1Doc::EventList back(m_before.GetCount());
    uint32_t i = 0;
    for (auto& node : back) node.reset(EventAt(m_before, i++));
    m_before.RemoveAll();
    list.splice(list.end(), back);
  } else {
    DeleteAll(m_before);
  }
  m_order.Restore(list);
  m_order.Clear();
  m_doc.RefreshChannelVoices(0);
  m_doc.SetModifiedFlags(0);
  platform::ui().UpdateSongWindows();
  return 1;
}
