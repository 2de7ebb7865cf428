// A MIDI backend for tests: named devices, a log of what was done to them, scripted answers
// and failures on demand.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/midi/MidiBackend.h"

namespace platform {

/// Every call that reaches a port is logged, one line each:
///   "open out 2", "open in 1", "connect in 1 -> out 2", "disconnect in 1",
///   "send out 2: 90 3C 40", "close out 2", "close in 1", and the failures "open out 2 failed",
///   "open in 1 failed", "connect in 1 -> out 2 failed".
/// Ports stay usable (and logged) after the backend is gone; the fake is safe from any thread.
class FakeMidiBackend final : public IMidiBackend {
 public:
  /// When a sent message starts with `prefix`, input `input` receives `reply`: at once (on the
  /// sender's thread, after the send returned to the port) or from a thread of its own after
  /// `delayMs`. An answer stays in force until ClearAnswers.
  struct Answer {
    std::vector<uint8_t> prefix;
    int input = 0;
    std::vector<uint8_t> reply;
    bool fromThread = false;
    int delayMs = 0;
  };

  FakeMidiBackend(std::vector<std::string> outputs = {}, std::vector<std::string> inputs = {});
  ~FakeMidiBackend() override;
  FakeMidiBackend(const FakeMidiBackend&) = delete;
  FakeMidiBackend& operator=(const FakeMidiBackend&) = delete;

  std::vector<std::string> OutputNames() override;
  std::vector<std::string> InputNames() override;
  std::shared_ptr<IMidiOutput> OpenOutput(int index) override;
  std::unique_ptr<IMidiInput> OpenInput(int index, MidiCallback callback) override;

  void SetDevices(std::vector<std::string> outputs, std::vector<std::string> inputs);
  void FailOpenOutput(int index);
  void FailOpenInput(int index);
  void FailConnect(bool fail);
  void AddAnswer(Answer answer);
  void ClearAnswers();

  /// Delivers a message on input `input` as a keyboard would (callback and forwarding); false
  /// when that input is not open.
  bool Feed(int input, const std::vector<uint8_t>& message);
  /// The same from a thread of its own, after `delayMs`.
  void FeedFromThread(int input, std::vector<uint8_t> message, int delayMs = 0);
  /// Waits until every answer or feed thread has delivered.
  void WaitForThreads();

  std::vector<std::string> Log() const;
  void ClearLog();
  /// The messages sent on output `index`, in order.
  std::vector<std::vector<uint8_t>> Sent(int index) const;
  /// The number of ports of each kind open now.
  int OpenOutputCount() const;
  int OpenInputCount() const;

  /// "90 3C 40" for the bytes 0x90 0x3C 0x40.
  static std::string Hex(const uint8_t* data, size_t size);

  struct State;  // shared with the ports; internal

 private:
  std::shared_ptr<State> m_state;
};

}  // namespace platform
