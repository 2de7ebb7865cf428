// The decoders of score sequences: the stream of tracks 5 and 6 and the compact tracks 1 to 4.
#pragma once

#include <cstdint>

#include "plugins/velkgate/MidiList.h"

namespace velkgate {

class CScoreSequenceChunk;
class CSeekRecord;

/// The priority CnvFrom starts the compact decoder with: its device values are read and skipped.
inline constexpr int kDeviceValuePriority = 3;

/// Appends the events of a track 5 or 6 stream, with markers at the seek record's offsets.
/// Sets CNVF_NOTES_MERGED and CNVF_LENGTH_OVER in flags. Throws -48 when the data end inside an
/// event, -108 without memory.
void DecodeSequenceTrack5to6(CScoreSequenceChunk& sequence, CEventList& out,
                             const CSeekRecord* seek, uint8_t track, uint32_t& flags);
/// Appends the events of a compact track 1..4. A device value whose priority is at least
/// priority is stored in deviceValue and raises priority to its own. Same errors.
void DecodeSequenceTrack1to4(CScoreSequenceChunk& sequence, CEventList& out,
                             const CSeekRecord* seek, uint8_t track, uint32_t& deviceValue,
                             int& priority);

}  // namespace velkgate
