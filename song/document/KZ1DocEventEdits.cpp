// Song-wide event edits: velocity scaling and the stream-PCM pairing message.
#include <algorithm>
#include <memory>

#include "song/SmfDialect.h"
#include "song/document/KZ1Doc.h"
#include "song/document/MetaMsgClass.h"

namespace {

constexpr int kPcmList = 16;
constexpr int kBothLists = 255;

bool IsNoteOn(const CMidiMsg& m) { return m.GetLength() >= 3 && (m.GetByte(0) & 0xF0) == 0x90; }

// The stream-PCM slot a drum key triggers, 0 for a key that triggers none.
int SlotOfKey(int key) {
  if (key >= 0 && key <= 12) return key + 1;
  if (key >= 92 && key <= 127) return key - 78;
  return 0;
}

void ScaleNoteVelocities(CKZ1Doc::EventList& list, int channel, int percent) {
  for (auto& m : list) {
    if (!IsNoteOn(*m) || (channel >= 0 && (m->GetByte(0) & 0x0F) != channel)) continue;
    // Half up: velocity x percent / 100 + 0.5, in integers.
    const int scaled = (m->GetByte(2) * percent * 2 + 100) / 200;
    m->GetData()[2] = static_cast<uint8_t>(std::clamp(scaled, 0, 127));
  }
}

}  // namespace

int CKZ1Doc::ScaleVelocities(int channel, int percent) {
  if (InChannel(channel)) {
    ScaleNoteVelocities(m_midlist, channel, percent);
  } else if (channel == kPcmList) {
    ScaleNoteVelocities(m_midlist_PCM, -1, percent);
  } else if (channel == kBothLists) {
    ScaleNoteVelocities(m_midlist, -1, percent);
    ScaleNoteVelocities(m_midlist_PCM, -1, percent);
  } else {
    return 0;
  }
  SetModifiedFlags(0);
  return 1;
}

int CKZ1Doc::InsertStreamPairMessage(int a, int b) {
  bool pairInUse = false;
  uint32_t pairStart = 0;
  uint32_t latestEnd = 0;
  auto remembered = m_midlist_PCM.end();
  for (auto it = m_midlist_PCM.begin(); it != m_midlist_PCM.end(); ++it) {
    const CMidiMsg& m = **it;
    if (m.GetExtra() != 0) continue;
    if (IsNoteOn(m)) {
      const int slot = SlotOfKey(m.GetByte(1));
      if (slot == 0 || (slot != a && slot != b)) continue;
      // A note that starts after every earlier note of the pair has ended starts a new run.
      if (!pairInUse || m.GetTick() >= latestEnd) pairStart = m.GetTick();
      pairInUse = true;
      latestEnd = std::max(latestEnd, m.GetEndTick());
      continue;
    }
    if (ClassifyMetaMsg(m) != kMsgDeviceStream) continue;
    const bool namesPair = m.GetLength() >= 10 && (m.GetByte(8) == a || m.GetByte(8) == b ||
                                                   m.GetByte(9) == a || m.GetByte(9) == b);
    const bool insideRun = m.GetTick() >= pairStart && m.GetTick() < latestEnd;
    if (!pairInUse || (namesPair && !insideRun)) remembered = it;
  }
  const uint8_t bytes[] = {0xF0, 0x09, kDialectMakerId, 0x79, 0x06, 0x7F, 0x08, 0x00,
                           static_cast<uint8_t>(a), static_cast<uint8_t>(b), 0xF7};
  const uint32_t tick = remembered == m_midlist_PCM.end() ? 0 : (*remembered)->GetTick();
  auto message = std::make_unique<CMidiMsg>(tick, 0, static_cast<uint32_t>(sizeof bytes), bytes, 0);
  if (remembered == m_midlist_PCM.end()) {
    m_midlist_PCM.push_front(std::move(message));
  } else {
    m_midlist_PCM.insert(std::next(remembered), std::move(message));
  }
  return 1;
}
