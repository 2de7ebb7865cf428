// The program's MIDI ports: outputs, inputs with a callback, forwarding between them, and the
// process-wide backend that opens them.
//
// Threads: an output may be sent to from several threads at once (the user-interface thread and
// a playback thread, or an input's forwarding). An input's callback runs on the MIDI system's own
// thread; it must not close its own input, and it must never wait for the user-interface thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

/// One whole message as it arrived: a short message or a complete SysEx (F0 ... F7).
using MidiCallback = std::function<void(const uint8_t* data, size_t size)>;

/// An open MIDI output. Shared: the owner may lend it (the thru lends its output to the output
/// engine); once closed, every send fails and nothing crashes.
class IMidiOutput {
 public:
  virtual ~IMidiOutput() = default;

  /// The name the output was listed under.
  virtual std::string Name() const = 0;
  /// Sends one whole message, short or SysEx; false when the port is closed, the message is
  /// empty or the MIDI system refused it.
  virtual bool Send(const uint8_t* data, size_t size) = 0;
  /// Closes the port; later sends fail. Closing twice does nothing.
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;

  bool Send(const std::vector<uint8_t>& message) { return Send(message.data(), message.size()); }
  /// Control changes 123 (all notes off) and 120 (all sound off) on all 16 channels; false when
  /// any of them was not sent.
  bool Reset();
};

/// An open MIDI input. Its callback gets every complete message, SysEx included.
class IMidiInput {
 public:
  virtual ~IMidiInput() = default;

  virtual std::string Name() const = 0;
  /// Forwards every later message to `output` as well, unchanged and in order (the callback
  /// still runs). False when the input is closed or the output cannot take it.
  virtual bool Connect(std::shared_ptr<IMidiOutput> output) = 0;
  /// Ends the forwarding; false when nothing was connected.
  virtual bool Disconnect() = 0;
  /// Returns only once neither the callback nor the forwarding can run any more. Closing twice
  /// does nothing; never call it from the callback itself.
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
};

/// Lists and opens the MIDI ports of one MIDI system.
class IMidiBackend {
 public:
  virtual ~IMidiBackend() = default;

  /// The names of the outputs (and inputs) by index; empty without a MIDI system.
  virtual std::vector<std::string> OutputNames() = 0;
  virtual std::vector<std::string> InputNames() = 0;
  /// Null when the index names no output or the port cannot be opened.
  virtual std::shared_ptr<IMidiOutput> OpenOutput(int index) = 0;
  /// Null when the index names no input or the port cannot be opened. The callback may be empty
  /// (an input that only forwards).
  virtual std::unique_ptr<IMidiInput> OpenInput(int index, MidiCallback callback) = 0;

  /// The name of output (input) `index`; empty when there is none.
  std::string OutputName(int index);
  std::string InputName(int index);
};

/// The callback and forwarding of an input, shared by every backend: one lock serialises the
/// deliveries with Connect and Close, so that nothing is delivered once Close has returned.
class MidiInputDispatch {
 public:
  explicit MidiInputDispatch(MidiCallback callback) : m_callback(std::move(callback)) {}

  /// Called by the backend's thread for each complete message.
  void Deliver(const uint8_t* data, size_t size);
  bool Connect(std::shared_ptr<IMidiOutput> output);
  bool Disconnect();
  /// After this returns no delivery is under way and none will run.
  void Shut();
  bool IsShut() const;

 private:
  mutable std::mutex m_mutex;
  MidiCallback m_callback;
  std::shared_ptr<IMidiOutput> m_forward;
  bool m_shut = false;
};

/// The installed backend, else the process's own MIDI system (RtMidiBackend).
IMidiBackend& midi();

/// Installs a backend (a fake in tests) for the lifetime of the object.
class ScopedMidiBackend {
 public:
  explicit ScopedMidiBackend(IMidiBackend& backend);
  ~ScopedMidiBackend();
  ScopedMidiBackend(const ScopedMidiBackend&) = delete;
  ScopedMidiBackend& operator=(const ScopedMidiBackend&) = delete;

 private:
  IMidiBackend* m_previous;
};

}  // namespace platform
