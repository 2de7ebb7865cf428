// The undoable deletion of one event of the song.
#include "song/document/DeleteEventCommand.h"

#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"
#include "song/document/RegionEdit.h"

CDeleteEventCommand::CDeleteEventCommand(CKZ1Doc& doc, CMidiMsg* event)
    : m_doc(doc), m_event(event) {
  m_doc.SetModifiedFlags(0);
}

CDeleteEventCommand::~CDeleteEventCommand() = default;

int CDeleteEventCommand::DoBody() {
  auto& list = *m_doc.GetMidiList();
  auto it = list.begin();
  const CMidiMsg* before = nullptr;
  for (; it != list.end() && it->get() != m_event; ++it) before = it->get();
  if (it == list.end()) return 0;
  if (m_event->GetExtra() != 0) {
    m_doc.SetCuePoint(static_cast<int>(m_event->GetExtra()), CKZ1Doc::kNoCue, 0);
  }
  m_before = before;
  m_held = std::move(*it);
  list.erase(it);
  m_doc.RefreshChannelVoices(0);
  platform::ui().UpdateSongWindows();
  return 1;
}

int CDeleteEventCommand::UndoBody() {
  if (!m_held) return 0;
  if (m_held->GetExtra() != 0) {
    m_doc.SetCuePoint(static_cast<int>(m_held->GetExtra()), m_held->GetTick(), 0);
  }
  auto& list = *m_doc.GetMidiList();
  auto at = list.begin();
  bool placed = m_before == nullptr;
  if (!placed) {
    for (auto it = list.begin(); it != list.end(); ++it) {
      if (it->get() == m_before) {
        at = std::next(it);
        placed = true;
        break;
      }
    }
  }
  if (placed) {
    list.insert(at, std::move(m_held));
  } else {
    InsertByTick(list, std::move(m_held));
  }
  m_doc.RefreshChannelVoices(0);
  platform::ui().UpdateSongWindows();
  return 1;
}
