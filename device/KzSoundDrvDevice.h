// The driver device of kinds 1 to 7: the generation-3 libraries started with Initialize.
#pragma once

#include "device/KzSoundDevice.h"

class CKzSoundDrvDevice : public CKzSoundDevice {
 public:
  CKzSoundDrvDevice() = default;
  ~CKzSoundDrvDevice() override;

  int BindEntryPoints() override;
  void Unbind() override;
  /// Kinds 1-6 Initialize, kind 7 Phrase_Initialize; -1 for any other kind.
  int OpenDevice() override;
  /// Kinds 1-6 Terminate, kind 7 Phrase_Terminate; -1 for any other kind.
  int CloseDevice() override;
  /// The driver takes no device controls: 0.
  int32_t DeviceControl(int32_t code, int32_t a, int32_t b, int32_t c) override;

  virtual int32_t Initialize();
  virtual int32_t Terminate();

 private:
  KzSound_NoArgs_t m_initialize = nullptr;
  KzSound_NoArgs_t m_terminate = nullptr;
};
