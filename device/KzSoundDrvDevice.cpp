// The driver device of kinds 1 to 7: the generation-3 libraries started with Initialize.
#include "device/KzSoundDrvDevice.h"

CKzSoundDrvDevice::~CKzSoundDrvDevice() { Unbind(); }

int CKzSoundDrvDevice::BindEntryPoints() {
  m_initialize = reinterpret_cast<KzSound_NoArgs_t>(LookUp("KzSound_Initialize"));
  m_terminate = reinterpret_cast<KzSound_NoArgs_t>(LookUp("KzSound_Terminate"));
  return CKzSoundDevice::BindEntryPoints();
}

void CKzSoundDrvDevice::Unbind() {
  CKzSoundDevice::Unbind();
  m_initialize = nullptr;
  m_terminate = nullptr;
}

int CKzSoundDrvDevice::OpenDevice() {
  int kind = GetKind();
  if (kind >= 1 && kind <= 6) return Initialize();
  if (kind == 7) return Phrase_Initialize();
  return -1;
}

int CKzSoundDrvDevice::CloseDevice() {
  int kind = GetKind();
  if (kind >= 1 && kind <= 6) return Terminate();
  if (kind == 7) return Phrase_Terminate();
  return -1;
}

int32_t CKzSoundDrvDevice::DeviceControl(int32_t, int32_t, int32_t, int32_t) { return 0; }

int32_t CKzSoundDrvDevice::Initialize() { return m_initialize ? m_initialize() : -1; }

int32_t CKzSoundDrvDevice::Terminate() { return m_terminate ? m_terminate() : -1; }
