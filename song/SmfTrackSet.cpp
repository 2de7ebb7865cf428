// Splits a song-data SMF into one single-track SMF per channel group.
#include "song/SmfTrackSet.h"

#include <cstring>

#include "song/SmfDialect.h"
#include "song/SmfMultiTrackWalk.h"
#include "song/SmfStreamReaders.h"

CSmfTrackSet::CSmfTrackSet() {
  for (auto& stream : m_streams) stream = std::make_unique<CMemStream>(0);
  std::memset(m_groupOfChannel, -1, sizeof(m_groupOfChannel));
  std::memset(m_slotOfChannel, 0, sizeof(m_slotOfChannel));
}

CSmfTrackSet::~CSmfTrackSet() = default;

void CSmfTrackSet::AssignGroups(const uint8_t* groupCodes) {
  m_groups = {};
  std::memset(m_groupOfChannel, -1, sizeof(m_groupOfChannel));
  if (!groupCodes) return;
  for (int channel = 0; channel < 16; ++channel) {
    int code = groupCodes[channel];
    if (code < 1 || code > kGroupCount) continue;
    Group& group = m_groups[code - 1];
    if (group.channelCount == kChannelsPerGroup) continue;  // a full group takes no more
    m_slotOfChannel[channel] = static_cast<uint8_t>(group.channelCount);
    group.channels[group.channelCount++] = static_cast<uint8_t>(channel);
    m_groupOfChannel[channel] = static_cast<int8_t>(code - 1);
  }
}

void CSmfTrackSet::StartGroupFiles(uint16_t division) {
  for (int g = 0; g < kGroupCount; ++g) {
    m_streams[g] = std::make_unique<CMemStream>(0);
    if (!m_groups[g].IsUsed()) continue;
    CMemStream& out = *m_streams[g];
    WriteSmfHeader(out, 0, 1, division);
    out.Write(kSmfTrackId, 4);
    m_groups[g].lengthPosition = out.GetPosition();
    out.WriteBE32(0);
  }
}

void CSmfTrackSet::WriteToGroup(int group, uint32_t tick, const uint8_t* bytes, uint32_t n) {
  Group& g = m_groups[group];
  CMemStream& out = *m_streams[group];
  WriteStreamVarLen(out, tick - g.lastTick);
  g.lastTick = tick;
  out.Write(bytes, n);
}

void CSmfTrackSet::WriteEvent(const SmfEvent& event) {
  if (!event.IsChannel()) {
    for (int g = 0; g < kGroupCount; ++g) {
      if (m_groups[g].IsUsed()) WriteToGroup(g, event.tick, event.stored, event.storedSize);
    }
    return;
  }
  uint8_t kind = event.Kind();
  if (kind == 0xA0 || kind == 0xD0) return;  // key and channel pressure are not carried
  int group = m_groupOfChannel[event.Channel()];
  if (group < 0) return;
  uint8_t bytes[3] = {static_cast<uint8_t>(kind | m_slotOfChannel[event.Channel()]), event.Data1(),
                      event.Data2()};
  WriteToGroup(group, event.tick, bytes, event.ChannelSize());
}

void CSmfTrackSet::FinishGroupFiles() {
  for (int g = 0; g < kGroupCount; ++g) {
    if (!m_groups[g].IsUsed()) continue;
    CMemStream& out = *m_streams[g];
    int32_t end = out.GetSize();
    out.Seek(0, m_groups[g].lengthPosition);
    out.WriteBE32(static_cast<uint32_t>(end - m_groups[g].lengthPosition - 4));
    out.Seek(0, end);
  }
}

int CSmfTrackSet::Parse(const uint8_t* image, uint32_t size, const uint8_t* groupCodes) {
  AssignGroups(groupCodes);
  CSmfMultiTrackWalk walk;
  walk.Open(image, size);
  StartGroupFiles(walk.GetHeader().division);
  walk.Walk([this](const SmfEvent& event, CSmfTrackCursor&) { WriteEvent(event); });
  FinishGroupFiles();
  return 1;
}

uint32_t CSmfTrackSet::GetTrackSize(int group) const {
  if (group < 1 || group > kGroupCount) return 0;
  return static_cast<uint32_t>(m_streams[group - 1]->GetSize());
}

int CSmfTrackSet::CopyTrack(int group, uint8_t* buffer, uint32_t n) const {
  if (!buffer || group < 1 || group > kGroupCount) return 0;
  const CMemStream& stream = *m_streams[group - 1];
  uint32_t size = static_cast<uint32_t>(stream.GetSize());
  if (n > size) n = size;
  if (n > 0) std::memcpy(buffer, stream.GetData(), n);
  return 1;
}
