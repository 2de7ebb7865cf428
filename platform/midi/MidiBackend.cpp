// The program's MIDI ports: the parts every backend shares, and the process-wide backend.
#include "platform/midi/MidiBackend.h"

#include <atomic>

#include "platform/midi/RtMidiBackend.h"

namespace platform {

namespace {

constexpr uint8_t kControlChange = 0xB0;
constexpr uint8_t kAllSoundOff = 120;
constexpr uint8_t kAllNotesOff = 123;

std::atomic<IMidiBackend*> g_installed{nullptr};

}  // namespace

bool IMidiOutput::Reset() {
  bool ok = true;
  for (uint8_t channel = 0; channel < 16; ++channel) {
    const uint8_t status = static_cast<uint8_t>(kControlChange | channel);
    const uint8_t notesOff[3] = {status, kAllNotesOff, 0};
    const uint8_t soundOff[3] = {status, kAllSoundOff, 0};
    ok = Send(notesOff, 3) && ok;
    ok = Send(soundOff, 3) && ok;
  }
  return ok;
}

std::string IMidiBackend::OutputName(int index) {
  std::vector<std::string> names = OutputNames();
  return (index >= 0 && static_cast<size_t>(index) < names.size()) ? names[static_cast<size_t>(index)] : std::string();
}

std::string IMidiBackend::InputName(int index) {
  std::vector<std::string> names = InputNames();
  return (index >= 0 && static_cast<size_t>(index) < names.size()) ? names[static_cast<size_t>(index)] : std::string();
}

void MidiInputDispatch::Deliver(const uint8_t* data, size_t size) {
  if (!data || size == 0) return;
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_shut) return;
  if (m_forward) m_forward->Send(data, size);
  if (m_callback) m_callback(data, size);
}

bool MidiInputDispatch::Connect(std::shared_ptr<IMidiOutput> output) {
  if (!output || !output->IsOpen()) return false;
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_shut) return false;
  m_forward = std::move(output);
  return true;
}

bool MidiInputDispatch::Disconnect() {
  std::lock_guard<std::mutex> lock(m_mutex);
  bool had = m_forward != nullptr;
  m_forward.reset();
  return had;
}

void MidiInputDispatch::Shut() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_shut = true;
  m_forward.reset();
}

bool MidiInputDispatch::IsShut() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_shut;
}

IMidiBackend& midi() {
  if (IMidiBackend* installed = g_installed.load()) return *installed;
  static RtMidiBackend system;
  return system;
}

ScopedMidiBackend::ScopedMidiBackend(IMidiBackend& backend) : m_previous(g_installed.exchange(&backend)) {}

ScopedMidiBackend::~ScopedMidiBackend() { g_installed.store(m_previous); }

}  // namespace platform
