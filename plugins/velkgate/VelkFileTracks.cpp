// The score tracks of a VELK file turned into events.
#include "plugins/velkgate/SequenceDecoder.h"
#include "plugins/velkgate/VelkFileChunk.h"

namespace velkgate {

uint8_t CVelkFileChunk::ScoreTracksToEvents(CEventList& out, uint32_t& flags) const {
  uint8_t timeBase = kNoTimeBase;
  uint32_t songEnd = 0;
  for (CScoreTrackChunk* track : m_scoreTracks.Items()) {
    timeBase = track->GetDurationBase();
    CScoreSequenceChunk* sequence = track->GetSequence();
    uint8_t n = track->GetTrackNumber();
    if (!sequence) continue;
    CSeekRecord seek;
    if (track->GetSeek()) seek = track->GetSeek()->CopyToRecord();
    if (n >= 1 && n <= 4) {
      sequence->SetChannelStatus(m_channelStatus, m_channelCount);
      uint32_t deviceValue = 0;
      int priority = kDeviceValuePriority;
      DecodeSequenceTrack1to4(*sequence, out, &seek, n, deviceValue, priority);
    } else if (n == 5 || n == 6) {
      DecodeSequenceTrack5to6(*sequence, out, &seek, n, flags);
      if (sequence->GetSequenceLength() > songEnd) songEnd = sequence->GetSequenceLength();
    }
  }
  // The song lasts to its end of sequence, which may lie past its last note: the song data
  // ends its track there, so the song saved again keeps that length.
  if (songEnd > 0) {
    const uint8_t end[] = {0xFF, 0x2F, 0x00};
    out.Add(new CSeqEvent(songEnd, sizeof end, end, songEnd, 0));
  }
  return timeBase;
}

}  // namespace velkgate
