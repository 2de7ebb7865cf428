// Board replies: the first byte picks the reader. Even: a MIDI message from the board's input
// through the engine's callback (replies, information of both forms, board events), at board
// versions below and from 12. Odd: the answer characters of a serial status query.
#include <cstdint>
#include <memory>

#include "device/BoardLink.h"
#include "device/MidiOutCtrl.h"
#include "fuzz/FuzzInput.h"
#include "platform/host/testing/FakeHost.h"
#include "platform/midi/testing/FakeMidiBackend.h"

namespace {

struct Harness {
  platform::FakeHost host;
  platform::FakeMidiBackend backend;
  platform::ScopedMidiBackend useBackend{backend};
  TMidiOutCtrl engine;
};

Harness& harness() {
  static Harness* h = new Harness();
  return *h;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzz::TooLong(size) || size == 0) return 0;
  const uint8_t pick = data[0];
  const uint8_t* rest = data + 1;
  const size_t n = size - 1;
  if ((pick & 1) == 0) {
    Harness& h = harness();
    h.engine.SetBoardVersion((pick & 2) ? 12 : 11);
    h.engine.SetReplyByte(TMidiOutCtrl::kNoReply);
    h.engine.OnMidiIn(rest, n);
    // A stored information reply must come from a whole row of the table.
    if (h.engine.GetReplyByte() == 0 && n < 7) __builtin_trap();
    h.host.notify.TakeAll();
  } else {
    const int parameter = (pick >> 1) & 31;
    const uint32_t value = CBoardLink::StatusValue(rest, static_cast<int>(n > 4 ? 4 : n), parameter);
    // Four hexadecimal digits at most: never above 0xFFFF times 5 times 1.0185.
    if (value > 0xFFFFu * 5 * 2) __builtin_trap();
  }
  return 0;
}
