// How long a song image plays, as the stand-in emulator measures it.
#include "EmuPlayTime.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "song/MemStream.h"
#include "song/SeqEvent.h"
#include "velk/SequenceNumbers.h"
#include "velk/VelkFileChunk.h"

std::optional<uint32_t> MeasurePlayTimeMs(const uint8_t* image, int32_t size) {
  if (!image || size < 8 || std::memcmp(image, "MMMD", 4) != 0) return std::nullopt;
  // The reader works on a stream it may own; give it a copy so the caller's bytes stay const.
  std::vector<uint8_t> bytes(image, image + size);
  try {
    CMemStream stream(bytes.data(), size, false);
    CVelkFileChunk file(stream);
    TOwnedChunkList<CSeqEvent> events;
    uint8_t exclusiveValue = 0;
    uint8_t timeBase = 0;
    int priority = 0;
    file.ReadScoreTracks(exclusiveValue, timeBase, events, priority, nullptr);
    uint32_t lastTick = 0;
    TChunkListIter<CSeqEvent> it(events);
    CSeqEvent* event = nullptr;
    while (it.Next(event)) lastTick = std::max({lastTick, event->GetTick(), event->GetEndTick()});
    return lastTick * TimeBaseCodeToMs(timeBase);
  } catch (...) {
    return std::nullopt;
  }
}
