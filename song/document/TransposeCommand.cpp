// The undoable transposition of the notes of a region, and the document's checked entry.
#include "song/document/TransposeCommand.h"

#include <memory>

#include "platform/host/HostServices.h"
#include "song/document/KZ1Doc.h"

namespace {

// A note-on of a transposed channel within the range.
bool IsTransposedNote(const CMidiMsg& m, int channel, int channelCount, uint32_t from, uint32_t to) {
  if (m.GetLength() < 2 || (m.GetByte(0) & 0xF0) != 0x90) return false;
  if (m.GetTick() < from || m.GetTick() > to) return false;
  const int k = m.GetByte(0) & 0x0F;
  return channel == -1 ? k < channelCount : k == channel;
}

}  // namespace

CTransposeCommand::CTransposeCommand(CKZ1Doc& doc, int channel, int delta, uint32_t from,
                                     uint32_t to)
    : m_doc(doc), m_channel(channel), m_delta(delta), m_from(from), m_to(to) {}

int CTransposeCommand::Apply(int delta) {
  const int count = m_doc.GetUsedChannelCount();
  for (auto& m : *m_doc.GetMidiList()) {
    if (!IsTransposedNote(*m, m_channel, count, m_from, m_to)) continue;
    uint8_t* data = m->GetData();
    data[1] = static_cast<uint8_t>(data[1] + delta);
  }
  m_doc.SetModifiedFlags(0);
  platform::ui().UpdateSongWindows();
  return 1;
}

int CKZ1Doc::TransposeChannel(int channel, int delta, uint32_t from, uint32_t to) {
  const int count = GetUsedChannelCount();
  for (const auto& m : m_midlist) {
    if (!IsTransposedNote(*m, channel, count, from, to)) continue;
    const int note = m->GetByte(1);
    if ((delta > 0 && 127 - note < delta) || (delta < 0 && note < -delta)) return 0;
  }
  SetModifiedFlags(0);
  ExecuteEdit(std::make_unique<CTransposeCommand>(*this, channel, delta, from, to));
  return 1;
}
