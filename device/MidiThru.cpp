// The MIDI thru: an external keyboard's input connected straight to a chosen output.
#include "device/MidiThru.h"

CMidiThru::CMidiThru() = default;

CMidiThru::CMidiThru(platform::IMidiBackend& backend) : m_backend(&backend) {}

CMidiThru::~CMidiThru() { Stop(); }

platform::IMidiBackend& CMidiThru::Backend() const { return m_backend ? *m_backend : platform::midi(); }

int CMidiThru::SetInDevice(int device) {
  m_inDevice = device;
  return 0;
}

int CMidiThru::SetOutDevice(int device) {
  m_outDevice = device;
  return 0;
}

int CMidiThru::Start() {
  Stop();
  if (m_outDevice <= 0 || m_inDevice <= 0) return 0;
  m_output = Backend().OpenOutput(m_outDevice - 1);
  if (!m_output) {
    Stop();
    return 0;
  }
  m_input = Backend().OpenInput(m_inDevice - 1, [this](const uint8_t* data, size_t size) { OnMidiIn(data, size); });
  if (!m_input) {
    Stop();
    return 0;
  }
  if (m_input->Connect(m_output)) m_connected = 1;
  if (!m_connected) {
    Stop();
    return 0;
  }
  return 1;
}

int CMidiThru::Stop() {
  if (m_input) {
    if (m_input->Disconnect()) m_connected = 0;
    m_input->Close();
    m_input.reset();
  }
  if (m_output) {
    m_output->Close();
    m_output.reset();
  }
  m_connected = 0;
  return 0;
}

int CMidiThru::IsActive() const { return (m_input && m_output && m_connected == 1) ? 1 : 0; }

void CMidiThru::OnMidiIn(const uint8_t*, size_t) {}

std::string CMidiThru::GetInputName(int index) const { return Backend().InputName(index); }
