// The emulator device of kinds 8 to 16: a library emulating the chip, fed device messages.
#include "device/KzSoundEmuDevice.h"

namespace {

constexpr int kKindPhraseEmulator = 15;

/// The emulation value OpenDevice passes for a kind under block modes 1 and 2.
int EmulationValueForKind(int kind) {
  switch (kind) {
    case 8: return 0;
    case 9: return 1;
    case 10:
    case 16: return 2;
    case 11: return 3;
    case 12: return 4;
    case 13: return 5;
    case 14: return 6;
    case 15: return 127;
    default: return -1;
  }
}

struct ControlValues {
  int32_t code, a, b, c;
};

// Sent once the sound runs, in this order.
constexpr ControlValues kOpenControls[] = {{2, 31, 0, 0}, {3, 0, 31, 31}, {4, 31, 0, 0}, {5, 2, 0, 0},
                                           {6, 0, 0, 0},  {8, 2, 0, 0},   {9, 0, 0, 0}};

bool IsDeviceMessage(const uint8_t* data, int32_t length) {
  return data && length == 8 && data[0] == 0xF0 && data[1] == 0x43 && data[2] == 0x79 && data[3] == 0x06;
}

}  // namespace

CKzSoundEmuDevice::CKzSoundEmuDevice(const CDeviceParamBlock* block) {
  if (!block) return;
  m_block = *block;
  m_emulationMode = block->GetMode() == 1 ? 3 : 129;
}

CKzSoundEmuDevice::~CKzSoundEmuDevice() { Unbind(); }

int CKzSoundEmuDevice::BindEntryPoints() {
  m_emuInitialize = reinterpret_cast<KzSound_EmuInitialize_t>(LookUp("KzSound_EmuInitialize"));
  m_emuTerminate = reinterpret_cast<KzSound_NoArgs_t>(LookUp("KzSound_EmuTerminate"));
  m_initialize = reinterpret_cast<KzSound_NoArgs_t>(LookUp("KzSound_Initialize"));
  m_terminate = reinterpret_cast<KzSound_NoArgs_t>(LookUp("KzSound_Terminate"));
  m_getEmuInfo = reinterpret_cast<KzSound_GetEmuInfo_t>(LookUp("KzSound_GetEmuInfo"));
  m_setMidiMsg = reinterpret_cast<SetMidiMsg_t>(LookUp("SetMidiMsg"));
  m_getMidiMsg = reinterpret_cast<GetMidiMsg_t>(LookUp("GetMidiMsg"));
  return CKzSoundDevice::BindEntryPoints();
}

void CKzSoundEmuDevice::Unbind() {
  CKzSoundDevice::Unbind();
  m_emuInitialize = nullptr;
  m_emuTerminate = nullptr;
  m_initialize = nullptr;
  m_terminate = nullptr;
  m_getEmuInfo = nullptr;
  m_setMidiMsg = nullptr;
  m_getMidiMsg = nullptr;
  m_emulatorStarted = false;
  m_setUp = false;
  m_soundRunning = false;
  m_startControlSent = false;
}

int CKzSoundEmuDevice::OpenDevice() {
  const int kind = GetKind();
  if (kind < 8 || kind > 16) return -1;
  int value = 0;
  switch (m_block.GetMode()) {
    case 1:
    case 2: value = EmulationValueForKind(kind); break;
    case 3: value = 0; break;
    default: return -1;
  }
  if (kind == kKindPhraseEmulator) {
    m_samplingRate = 0;
    int32_t r = EmuInitialize(0, 127, m_emulationMode);
    m_setUp = r == 0;
    return r;
  }
  int32_t r = EmuInitialize(m_samplingRate, value, m_emulationMode);
  if (r != 0) return r;
  r = StartSound();
  if (r != 0) return r;
  for (const ControlValues& c : kOpenControls) CallDeviceControl(c.code, c.a, c.b, c.c);
  // The controls take effect on the next start of the sound (mode 3 starts it with the first
  // play instead).
  if (m_emulationMode == 1 || m_emulationMode == 129) {
    StopSound();
    r = StartSound();
  } else if (m_emulationMode == 3) {
    StopSound();
  }
  m_setUp = r == 0;
  return r;
}

int CKzSoundEmuDevice::CloseDevice() {
  StopSound();
  int32_t r = EmuTerminate();
  m_setUp = false;
  return r;
}

int32_t CKzSoundEmuDevice::GetEmuInfo(int32_t which) { return m_getEmuInfo ? m_getEmuInfo(which) : -1; }

int32_t CKzSoundEmuDevice::SendMidiMsg(const uint8_t* data, int32_t length) {
  int32_t r = m_setMidiMsg ? m_setMidiMsg(data, length) : -1;
  if (r == 0 && IsDeviceMessage(data, length)) RememberMessage(data);
  return r;
}

void CKzSoundEmuDevice::RememberMessage(const uint8_t* data) {
  const uint8_t type = data[4];
  const uint8_t command = data[5];
  const uint8_t value = data[6];
  if (type == 0x7F && command == 0x13) m_block.Set7F13Byte(value);
  if (type == 0x7F && command == 0x11) m_block.SetValue7F11(value);
  if (type == 0x7F && command == 0x07) m_block.SetValue7F07(value);
  if (type == 0x7E && command == 0x09) m_block.SetValue7E09(value);
}

int32_t CKzSoundEmuDevice::GetMidiMsg(int32_t port, uint8_t* buffer, int32_t size) {
  return m_getMidiMsg ? m_getMidiMsg(port, buffer, size) : -1;
}

int32_t CKzSoundEmuDevice::DeviceControl(int32_t code, int32_t a, int32_t b, int32_t c) {
  switch (m_block.GetMode()) {
    case 1: return m_setUp ? CallDeviceControl(code, a, b, c) : 0;
    case 2:
    case 3: return code == 13 ? CallDeviceControl(code, a, b, c) : 0;
    default: return -1;
  }
}

int32_t CKzSoundEmuDevice::CallDeviceControl(int32_t code, int32_t a, int32_t b, int32_t c) {
  return CKzSoundDevice::DeviceControl(code, a, b, c);
}

int32_t CKzSoundEmuDevice::Create(int32_t mode) {
  int32_t r = CKzSoundDevice::Create(mode);
  if (r >= 0) m_lastCreated = mode;
  return r;
}

int32_t CKzSoundEmuDevice::Load(int32_t instance, const uint8_t* image, int32_t size, int32_t mode,
                                KzSoundEndCallback callback, int32_t option) {
  const int kind = GetKind();
  if ((kind == 13 || kind == 14) && m_lastCreated != 9) {
    if (m_block.GetMode() == 1) {
      option = m_block.GetFlag4() * 2 + m_block.GetFlag5();
    } else if (m_block.GetMode() != 2) {
      return -1;
    }
  }
  return CKzSoundDevice::Load(instance, image, size, mode, callback, option);
}

int32_t CKzSoundEmuDevice::Control(int32_t instance, int32_t sequence, int32_t code, int32_t value, int32_t extra) {
  if (sequence == -1 && code == 6) return 0;
  return CKzSoundDevice::Control(instance, sequence, code, value, extra);
}

int32_t CKzSoundEmuDevice::SendDeviceMessage(uint8_t type, uint8_t command, uint8_t value) {
  const uint8_t message[8] = {0xF0, 0x43, 0x79, 0x06, type, command, value, 0xF7};
  return SendMidiMsg(message, 8);
}

int32_t CKzSoundEmuDevice::ApplyParams() {
  const int mode = m_block.GetMode();
  if (mode != 1 && mode != 2 && mode != 3) return -1;
  // Read before sending: each accepted message is stored back into the block.
  const uint8_t b7F13 = m_block.Get7F13Byte();
  const uint8_t v7F11 = m_block.GetValue7F11();
  const uint8_t v7F07 = m_block.GetValue7F07();
  const uint8_t v7E09 = m_block.GetValue7E09();
  SendDeviceMessage(0x7F, 0x13, b7F13);
  SendDeviceMessage(0x7F, 0x11, v7F11);
  if (mode == 3) return 0;
  SendDeviceMessage(0x7F, 0x07, v7F07);
  SendDeviceMessage(0x7E, 0x09, v7E09);
  return 0;
}

int32_t CKzSoundEmuDevice::EmuInitialize(int32_t rate, int32_t value, int32_t emulationMode) {
  if (!m_emuInitialize) return -1;
  int32_t r = m_emuInitialize(rate, value, emulationMode);
  if (r == 0) m_emulatorStarted = true;
  return r;
}

int32_t CKzSoundEmuDevice::EmuTerminate() {
  if (!m_emuTerminate) return -1;
  int32_t r = m_emuTerminate();
  m_emulatorStarted = false;
  return r;
}

int32_t CKzSoundEmuDevice::CallInitialize() { return m_initialize ? m_initialize() : -1; }
int32_t CKzSoundEmuDevice::CallTerminate() { return m_terminate ? m_terminate() : -1; }

int32_t CKzSoundEmuDevice::StartSound() {
  const int mode = m_block.GetMode();
  if (mode == 3) {
    m_soundRunning = true;
    return 0;
  }
  if (mode != 1 && mode != 2) return -1;
  if (!m_soundRunning) {
    int32_t r = CallInitialize();
    if (r != 0) return r;
    m_soundRunning = true;
  }
  if (!m_startControlSent) {
    m_startControlSent = true;
    CallDeviceControl(13, 0, 0, 0);
  }
  CallDeviceControl(21, m_block.GetOption(), 0, 0);
  return 0;
}

int32_t CKzSoundEmuDevice::StopSound() {
  const int mode = m_block.GetMode();
  if (mode == 3) {
    m_soundRunning = false;
    ApplyParams();
    return 0;
  }
  if (mode != 1 && mode != 2) return -1;
  if (!m_soundRunning) return 0;
  int32_t r = CallTerminate();
  if (r != 0) return r;
  m_soundRunning = false;
  ApplyParams();
  return 0;
}
