// The MIDI list's read and write entries, the per-group files, the stream-rate figures and
// the checks of the stream-PCM trigger notes.
#include <algorithm>
#include <new>

#include "platform/host/HostServices.h"
#include "song/PtrChain.h"
#include "song/SmfEventStreamList.h"
#include "song/SmfMultiTrackWalk.h"
#include "song/SmfStreamReaders.h"
#include "song/SmfTrackSet.h"
#include "song/StreamPCMSlot.h"
#include "song/midilist/MidiList.h"
#include "song/midilist/MidiListReader.h"
#include "song/midilist/MidiListWriter.h"

namespace {

/// The slot 1..49 a stream key triggers, 0 for another key (a byte above 127 is no key).
int SlotOfStreamKey(uint8_t key) {
  if (key <= 12) return key + 1;
  if (key >= 92 && key <= 127) return key - 78;
  return 0;
}

bool IsTrigger(const CSeqEvent& e) {
  return e.GetLength() >= 3 && (e.GetDataByte(0) & 0xF0) == 0x90 && e.GetDataByte(2) != 0 &&
         SlotOfStreamKey(e.GetDataByte(1)) != 0;
}

uint8_t MapBankMsb(uint8_t value) {
  if (value == 0x7A) return 0x7C;
  if (value == 0x7B) return 0x7D;
  return (value == 0x7C || value == 0x7D) ? value : 0;
}

void WriteWithDelta(CMemStream& out, uint32_t& lastTick, uint32_t tick, const uint8_t* bytes, uint32_t n) {
  WriteStreamVarLen(out, tick >= lastTick ? tick - lastTick : 0);
  out.Write(bytes, n);
  lastTick = std::max(lastTick, tick);
}

/// The event's bytes with its status byte, for events stored under running status.
std::vector<uint8_t> EventBytes(const SmfEvent& e) {
  if (!e.IsChannel()) return std::vector<uint8_t>(e.stored, e.stored + e.storedSize);
  std::vector<uint8_t> bytes = {e.status};
  bytes.insert(bytes.end(), e.data, e.data + e.dataSize);
  return bytes;
}

void StartTrack(CMemStream& out, uint16_t division, int32_t& lengthPosition) {
  WriteSmfHeader(out, 0, 1, division);
  out.Write(kSmfTrackId, 4);
  lengthPosition = out.GetPosition();
  out.WriteBE32(0);
}

void EndTrack(CMemStream& out, int32_t lengthPosition, uint32_t& lastTick, uint32_t endTick) {
  const uint8_t end[3] = {0xFF, kMetaEndOfTrack, 0x00};
  WriteWithDelta(out, lastTick, std::max(lastTick, endTick), end, 3);
  int32_t endPosition = out.GetPosition();
  out.Seek(0, lengthPosition);
  out.WriteBE32(static_cast<uint32_t>(endPosition - lengthPosition - 4));
  out.Seek(0, endPosition);
}

}  // namespace

int CMidiList::ReadSmf(CMemStream& stream, uint32_t* flags) {
  try {
    CMidiListReader reader(*this, flags);
    reader.Read(stream.GetData(), static_cast<uint32_t>(stream.GetSize()));
  } catch (int code) {
    return code;
  } catch (const std::bad_alloc&) {
    return kErrOutOfMemory;
  }
  return 1;
}

int CMidiList::WriteSmf(CMemStream& out, const CSeqEventList& first, const CSeqEventList& second,
                        uint32_t* flags, const uint8_t* groupCodes, int mode) {
  CMemStream file;
  try {
    CMidiListWriter writer(*this, flags);
    writer.Write(file, first, second);
    if (mode == 1 && groupCodes) {
      SplitGroups(file, out, groupCodes);
      return 1;
    }
    if (mode != 1) AnalyseStreamRate(file);
  } catch (int code) {
    if (code == kErrOutOfMemory) throw;
    return 0;
  }
  out.Write(file.GetData(), static_cast<uint32_t>(file.GetSize()));
  return 1;
}

void CMidiList::SplitGroups(const CMemStream& file, CMemStream& out, const uint8_t* groupCodes) {
  std::copy_n(groupCodes, m_groupCodes.size(), m_groupCodes.begin());
  for (auto& group : m_groupVoices) {
    for (auto& entry : group) entry.fill(kFree);
  }
  CMemStream buffer;
  PrepareGroupVoices(file, buffer);
  out.Write(buffer.GetData(), static_cast<uint32_t>(buffer.GetSize()));
  CSmfTrackSet tracks;
  tracks.Parse(buffer.GetData(), static_cast<uint32_t>(buffer.GetSize()), groupCodes);
  for (int g = 1; g <= kGroupCount; ++g) {
    auto& stream = m_groupStreams[static_cast<size_t>(g - 1)];
    stream = std::make_unique<CMemStream>();
    uint32_t size = tracks.GetTrackSize(g);
    if (size == 0) continue;
    std::vector<uint8_t> bytes(size);
    tracks.CopyTrack(g, bytes.data(), size);
    FinishGroupTrack(*stream, bytes.data(), size, g);
  }
}

void CMidiList::AnalyseStreamRate(const CMemStream& file) {
  CPtrChain slots;
  for (int s = 1; s < CSongSetup::kStreamSlotCount; ++s) {
    if (CStreamPCMSlot* slot = m_setup.GetStreamPcmSlot(s)) slots.AddTail(reinterpret_cast<CPtrChain::Value>(slot));
  }
  CSmfEventStreamList analysis;
  analysis.AnalyseStreamRate(file.GetData(), static_cast<uint32_t>(file.GetSize()), slots);
  m_streamSummary1 = analysis.GetMaxRate();
  m_streamSummary2 = analysis.GetMaxTime();
  m_streamPoints = analysis.GetPoints();
  if (!m_streamPoints.empty() && m_streamPoints.front().GetThird() > 0) {
    m_streamPoints.insert(m_streamPoints.begin(), CValuePoint(0, 0, 0));
  }
}

uint32_t CMidiList::PrepareGroupVoices(const CMemStream& image, CMemStream& buffer) {
  struct Channel {
    uint8_t pendingMsb = 0, pendingLsb = 0, msb = 0, lsb = 0, program = 0;
  };
  std::array<Channel, 16> channels{};
  std::vector<uint16_t> droppedNotes(16 * 128, 0);
  CSmfMultiTrackWalk walk;
  walk.Open(image.GetData(), static_cast<uint32_t>(image.GetSize()));
  int32_t start = buffer.GetPosition();
  int32_t lengthPosition = 0;
  StartTrack(buffer, walk.GetHeader().division, lengthPosition);
  uint32_t lastTick = 0;
  uint32_t endTick = 0;
  walk.Walk([&](const SmfEvent& e, CSmfTrackCursor&) {
    std::vector<uint8_t> bytes = EventBytes(e);
    if (e.IsMeta() && e.metaType == kMetaEndOfTrack) {
      endTick = std::max(endTick, e.tick);
      return;
    }
    if (e.IsChannel()) {
      Channel& c = channels[e.Channel()];
      uint16_t& dropped = droppedNotes[e.Channel() * 128u + e.Data1()];
      switch (e.Kind()) {
        case 0xA0:
        case 0xD0:
          return;
        case 0xB0:
          if (e.Data1() == 0) bytes[2] = c.pendingMsb = MapBankMsb(e.Data2());
          if (e.Data1() == 32) c.pendingLsb = e.Data2();
          break;
        case 0xC0:
          c.msb = c.pendingMsb;
          c.lsb = c.pendingLsb;
          c.program = (c.msb == 0x7D && e.Data1() > 10) ? 0 : e.Data1();
          bytes[1] = c.program;
          break;
        case 0x80:
        case 0x90:
          if (e.IsNoteRelease()) {
            if (dropped > 0) {
              --dropped;
              return;
            }
            break;
          } else {
            bool drum = c.msb == 0x7D;
            uint8_t lsb = (drum || (c.msb == 0x7C && c.lsb > 10)) ? 0 : c.lsb;
            uint8_t note = drum ? e.Data1() : 0xFF;
            int index = m_voiceLookup ? m_voiceLookup(c.msb, lsb, c.program, note) : 0;
            if (index < 0) {
              ++dropped;
              return;
            }
            AddGroupVoice(m_groupCodes[e.Channel()], c.msb, lsb, c.program, note);
          }
          break;
        default:
          break;
      }
    }
    WriteWithDelta(buffer, lastTick, e.tick, bytes.data(), static_cast<uint32_t>(bytes.size()));
  });
  EndTrack(buffer, lengthPosition, lastTick, endTick);
  return static_cast<uint32_t>(buffer.GetPosition() - start);
}

void CMidiList::FinishGroupTrack(CMemStream& out, const uint8_t* image, uint32_t size, int group) {
  std::vector<uint8_t> entries;
  for (int i = 0; i < kGroupVoiceCount; ++i) {
    std::array<uint8_t, 4> v = GetGroupVoice(group, i);
    if (v[0] != kFree) entries.insert(entries.end(), v.begin(), v.end());
  }
  std::vector<uint8_t> voices =
      MakeDialectMessage(kGroupDevice, kDeviceGroupVoices, entries.data(), static_cast<uint32_t>(entries.size()));
  CSmfMultiTrackWalk walk;
  walk.Open(image, size);
  int32_t lengthPosition = 0;
  StartTrack(out, walk.GetHeader().division, lengthPosition);
  uint32_t lastTick = 0;
  uint32_t endTick = 0;
  bool inserted = false;
  auto insert = [&]() {
    if (inserted) return;
    inserted = true;
    WriteWithDelta(out, lastTick, 0, voices.data(), static_cast<uint32_t>(voices.size()));
  };
  walk.Walk([&](const SmfEvent& e, CSmfTrackCursor&) {
    bool endOfTrack = e.IsMeta() && e.metaType == kMetaEndOfTrack;
    if (e.tick > 0 || endOfTrack) insert();
    if (endOfTrack) {
      endTick = std::max(endTick, e.tick);
      return;
    }
    std::vector<uint8_t> bytes = EventBytes(e);
    WriteWithDelta(out, lastTick, e.tick, bytes.data(), static_cast<uint32_t>(bytes.size()));
  });
  insert();
  EndTrack(out, lengthPosition, lastTick, endTick);
}

int CMidiList::CheckStreamTriggers(const CSeqEventList& list) const {
  uint8_t mode = m_setup.GetStreamMode();
  if (mode == CSongSetup::kUnset) mode = 2;
  if (mode == 0) return 0;
  CSeqEventIter it(list);
  CSeqEvent* e = nullptr;
  bool any = false;
  uint32_t previousEnd = 0;
  while (it.Next(e)) {
    if (!IsTrigger(*e)) continue;
    if (any && e->GetTick() < previousEnd) return 1;
    any = true;
    previousEnd = e->GetEndTick();
  }
  return 0;
}

int CMidiList::CheckStreamTriggers2(const CSeqEventList& list) const {
  std::array<bool, 50> paired{};
  for (int s = 1; s < CSongSetup::kStreamSlotCount; ++s) {
    const CStreamPCMSlot* slot = m_setup.GetStreamPcmSlot(s);
    int partner = slot ? slot->GetIndex() : -1;
    if (partner >= 1 && partner < 50) paired[static_cast<size_t>(s)] = paired[static_cast<size_t>(partner)] = true;
  }
  int chipMode = platform::settings().GetChipMode();
  uint8_t flagMask = (chipMode == 3 || chipMode == 5) ? 0x30 : 0x04;  // VS and LED bits
  CSeqEventIter it(list);
  CSeqEvent* e = nullptr;
  while (it.Next(e)) {
    const uint8_t* d = e->GetData();
    if (e->GetLength() >= 10 && d[0] == 0xF0 && e->GetKind() == 2 && d[7] == 0) {
      // F0 len 43 79 06 7F 08 0 a b: a pair of two slots.
      uint8_t a = e->GetDataByte(8), b = e->GetDataByte(9);
      if (a < 50 && b < 50) paired[a] = paired[b] = true;
    }
    if (!IsTrigger(*e)) continue;
    int slot = SlotOfStreamKey(e->GetDataByte(1));
    uint8_t status = m_setup.GetStatus(e->GetDataByte(0) & 0x0F);
    if (paired[static_cast<size_t>(slot)] && (status & flagMask)) return 1;
  }
  return 0;
}
