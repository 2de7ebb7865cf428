// The MIDI thru: an external keyboard's input connected straight to a chosen output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/midi/MidiBackend.h"

/// Device numbers are 1-based; 0 or less means none (-1 after construction). The program has
/// one, which the application object embeds; the output engine borrows its open output and
/// stops and restarts it around every board exchange. Used on the user-interface thread.
class CMidiThru {
 public:
  /// Opens ports through the process-wide backend (platform::midi()) at each Start.
  CMidiThru();
  /// Opens ports through `backend`, which must outlive the thru.
  explicit CMidiThru(platform::IMidiBackend& backend);
  /// Stop.
  virtual ~CMidiThru();
  CMidiThru(const CMidiThru&) = delete;
  CMidiThru& operator=(const CMidiThru&) = delete;

  /// Store the device number; 0.
  int SetInDevice(int device);
  int SetOutDevice(int device);
  int GetInDevice() const { return m_inDevice; }
  int GetOutDevice() const { return m_outDevice; }

  /// Closes whatever was open, then opens the output, then the input, and connects them.
  /// 1 connected; 0 with either device none or on any failure, which leaves both closed.
  int Start();
  /// Disconnects, closes the input, closes the output; 0.
  int Stop();
  /// 1 when both ports are open and connected.
  int IsActive() const;
  /// The input callback: does nothing, the connection forwards the data.
  void OnMidiIn(const uint8_t* data, size_t size);

  /// The open output, lent to the output engine (null while the thru is not started). The
  /// engine only drops its copy; Stop closes the port under it, and its sends then fail.
  std::shared_ptr<platform::IMidiOutput> GetOutput() const { return m_output; }
  /// The name of MIDI input `index` (0-based) of the thru's backend; empty when there is none.
  std::string GetInputName(int index) const;

 private:
  platform::IMidiBackend& Backend() const;

  platform::IMidiBackend* m_backend = nullptr;
  int m_connected = 0;
  int m_inDevice = -1;
  int m_outDevice = -1;
  std::shared_ptr<platform::IMidiOutput> m_output;
  std::unique_ptr<platform::IMidiInput> m_input;
};
