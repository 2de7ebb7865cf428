// The text-score parser: a typed score read into note events of a channel. The first byte gives
// the channel and the quarter-note length (0 takes the song's time base); the rest is the text.
// A failure must give an error text and no events.
#include <cstdlib>
#include <string>

#include "fuzz/FuzzInput.h"
#include "platform/host/testing/FakeHost.h"
#include "song/GrowPtrArray.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr int kQuarters[8] = {0, 24, 480, 1, 4, 96, 960, 65535};

void FreeEvents(CGrowPtrArray& events) {
  for (uint32_t i = 0; i < events.GetCount(); ++i) delete static_cast<CMidiMsg*>(events.GetAt(i));
  events.RemoveAll();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || fuzz::TooLong(size)) return 0;
  platform::FakeHost host;
  host.settings.chipMode = 3;
  host.settings.batchMode = true;
  const int channel = data[0] & 0x0F;
  const int quarter = kQuarters[(data[0] >> 4) & 7];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  CKZ1Doc doc;
  if (data[0] & 0x80) doc.SetTimeBase(480);
  CGrowPtrArray events;
  std::string error;
  try {
    const int result = doc.ParseTextScore(channel, text, events, error, quarter);
    if (result != 1 && (error.empty() || events.GetCount() != 0)) std::abort();
  } catch (int) {
    // -108 without memory
  }
  FreeEvents(events);
  return 0;
}
