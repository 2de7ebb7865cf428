// The emulator device of kinds 8 to 16: a library emulating the chip, fed device messages.
#pragma once

#include "device/DeviceParamBlock.h"
#include "device/KzSoundDevice.h"

class CKzSoundEmuDevice : public CKzSoundDevice {
 public:
  /// Copies the block when given; mode 1 emulates in mode 3, every other mode in mode 129.
  explicit CKzSoundEmuDevice(const CDeviceParamBlock* block = nullptr);
  ~CKzSoundEmuDevice() override;

  int BindEntryPoints() override;
  void Unbind() override;
  /// Starts the emulator, the sound and its device controls; 0 on success, else the failing
  /// result (-1 for a kind outside 8..16 or a block mode other than 1..3).
  int OpenDevice() override;
  /// StopSound, then EmuTerminate.
  int CloseDevice() override;

  int32_t GetEmuInfo(int32_t which) override;
  /// Hands the message to the library; an accepted 8-byte F0 43 79 06 message is remembered in
  /// the block.
  int32_t SendMidiMsg(const uint8_t* data, int32_t length) override;
  int32_t GetMidiMsg(int32_t port, uint8_t* buffer, int32_t size) override;
  /// For outside callers: block mode 1 forwards once the device is set up, modes 2 and 3 only
  /// code 13 (others 0), other modes -1.
  int32_t DeviceControl(int32_t code, int32_t a, int32_t b, int32_t c) override;
  /// Remembers the argument when the library accepts it.
  int32_t Create(int32_t mode) override;
  /// Kinds 13 and 14 pass the block's flags (mode 1) or the caller's option (mode 2).
  int32_t Load(int32_t instance, const uint8_t* image, int32_t size, int32_t mode, KzSoundEndCallback callback,
               int32_t option) override;
  /// Sequence -1 asking for the state (code 6) answers 0 without the library.
  int32_t Control(int32_t instance, int32_t sequence, int32_t code, int32_t value, int32_t extra) override;

  /// Sends the block's device messages through SendMidiMsg (mode 3: the first two only).
  virtual int32_t ApplyParams();
  virtual int32_t EmuInitialize(int32_t rate, int32_t value, int32_t emulationMode);
  virtual int32_t EmuTerminate();
  virtual int32_t StartSound();
  virtual int32_t StopSound();

  const CDeviceParamBlock& GetParamBlock() const { return m_block; }
  CDeviceParamBlock& GetParamBlock() { return m_block; }
  int32_t GetSamplingRate() const { return m_samplingRate; }
  uint8_t GetEmulationMode() const { return m_emulationMode; }
  bool IsEmulatorStarted() const { return m_emulatorStarted; }
  bool IsSetUp() const { return m_setUp; }
  bool IsSoundRunning() const { return m_soundRunning; }

 private:
  int32_t CallDeviceControl(int32_t code, int32_t a, int32_t b, int32_t c);
  int32_t CallInitialize();
  int32_t CallTerminate();
  int32_t SendDeviceMessage(uint8_t type, uint8_t command, uint8_t value);
  void RememberMessage(const uint8_t* data);

  KzSound_EmuInitialize_t m_emuInitialize = nullptr;
  KzSound_NoArgs_t m_emuTerminate = nullptr;
  KzSound_NoArgs_t m_initialize = nullptr;
  KzSound_NoArgs_t m_terminate = nullptr;
  KzSound_GetEmuInfo_t m_getEmuInfo = nullptr;
  SetMidiMsg_t m_setMidiMsg = nullptr;
  GetMidiMsg_t m_getMidiMsg = nullptr;

  int32_t m_samplingRate = 32000;
  uint8_t m_emulationMode = 129;
  CDeviceParamBlock m_block;
  bool m_emulatorStarted = false;
  bool m_setUp = false;
  bool m_soundRunning = false;
  bool m_startControlSent = false;
  int32_t m_lastCreated = -1;
};
