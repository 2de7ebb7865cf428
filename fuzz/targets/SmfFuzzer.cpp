// The SMF readers of the song data: the event stream of the voice scan and the walkers (density
// curve, channel split, stream-PCM rate, track set), each on the input as a whole image.
#include <memory>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "song/PtrChain.h"
#include "song/SmfChannelStreams.h"
#include "song/SmfEventStream.h"
#include "song/SmfEventStreamList.h"
#include "song/SmfTimedEventList.h"
#include "song/SmfTrackSet.h"
#include "song/SmfVoiceScan.h"
#include "song/StreamPCMSlot.h"

namespace {

// Every stream-PCM slot id in use, at the three rate formats.
struct Slots {
  Slots() {
    for (int id = 1; id <= 49; ++id) {
      auto slot = std::make_unique<CStreamPCMSlot>();
      slot->SetId(id);
      slot->SetFormat(static_cast<uint8_t>(id % 3 == 0 ? 0 : id % 3 + 1));
      slot->SetRate(static_cast<uint16_t>(8000 + id));
      list.AddTail(reinterpret_cast<CPtrChain::Value>(slot.get()));
      owned.push_back(std::move(slot));
    }
  }
  ~Slots() { list.RemoveAll(); }
  CPtrChain list;
  std::vector<std::unique_ptr<CStreamPCMSlot>> owned;
};

template <typename F>
void Try(F&& read) {
  try {
    read();
  } catch (int) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzz::TooLong(size)) return 0;
  static Slots slots;
  const auto n = static_cast<uint32_t>(size);
  Try([&] {
    CSmfEventStream stream;
    stream.Parse(data, n);
  });
  Try([&] {
    CSmfVoiceScan scan;
    int status = 0;
    scan.Scan(data, n, static_cast<int>(n & 1), &status);
  });
  Try([&] {
    CSmfTimedEventList density;
    density.AnalyseDensity(data, n, 1 + n % 1000);
  });
  Try([&] {
    CSmfChannelStreams split;
    split.SplitChannels(data, n);
  });
  Try([&] {
    CSmfEventStreamList rate;
    rate.AnalyseStreamRate(data, n, slots.list);
  });
  Try([&] {
    static const uint8_t kGroups[16] = {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 0};
    CSmfTrackSet tracks;
    tracks.Parse(data, n, kGroups);
  });
  return 0;
}
