// The output engine before the real one exists: it sets up the sound device and sends nothing.
#pragma once

#include <functional>
#include <memory>

#include "app/core/OutputEngine.h"
#include "device/DeviceParamBlock.h"
#include "device/KzSoundDevice.h"

/// Sets up the emulator device as the real engine does, minus the player: the device is bound,
/// given its kind's controls and its instance. Board messages go nowhere (there are no MIDI
/// ports), emulator branches go to the device; it never reports a board, a reply or play.
class HeadlessOutputEngine final : public IOutputEngine {
 public:
  /// `tbOption` is the main frame's "TB" option, read when the profile parameters are built.
  explicit HeadlessOutputEngine(std::function<bool()> tbOption = {});
  ~HeadlessOutputEngine() override;
  HeadlessOutputEngine(const HeadlessOutputEngine&) = delete;
  HeadlessOutputEngine& operator=(const HeadlessOutputEngine&) = delete;

  int SetupSoundDevice(int argument) override;
  int GetConnectionKind() const override { return m_connectionKind; }
  int GetDeviceModeValue() const override;
  int OpenBoard(int search) override;
  int QueryBoard(int code) override;
  int ResetBoard() override;
  int SendBoardCommand07(int value) override;
  int SendBoardCommand09b(int value) override;
  int SendBoardCommand11(int value) override;
  int SendBoardCommand13(uint8_t a, uint8_t b, uint8_t c, uint8_t d) override;
  int SendBoardParam03_06(int value) override;
  int SendBoardParam03_09(int value) override;
  // Voices, waves and data go to a board over MIDI ports or to a generation-5 emulator only:
  // with no ports and a generation-3 device nothing is sent.
  int SendVoice(const CVoiceItem&, int) override { return 1; }
  int SendBankVoices(const CVoiceItem&) override { return 1; }
  int SendVoiceItem(const CStreamPCMSlot&) override { return 1; }
  int SendBoardCommand06(int) override { return 1; }
  int SendBoardData0C(int, const uint8_t*, uint32_t) override { return 1; }
  int SendBoardCommand0D(int) override { return 1; }
  bool IsPlaying() const override { return false; }
  // Without ports the position commands go nowhere; the position is kept for the next play.
  int SendBoardValue0A(uint32_t, int) override { return 1; }
  int SendChannelValue1A(int, uint32_t) override { return 1; }
  int GetLastValue() const override { return 0; }
  void SetPlayPosition(uint32_t ms) override { m_playPosition = ms; }
  uint32_t GetPlayPosition() const override { return m_playPosition; }
  void ClearSentState() override { m_sentState = 0; }

  CKzSoundDevice* GetDevice() const { return m_device.get(); }
  int32_t GetInstance() const { return m_instance; }
  int GetDeviceKind() const { return m_device ? m_device->GetKind() : 0; }
  /// The generation-3 device setting that command 13 gives the emulator (1 - d).
  int GetGen3Setting() const { return m_gen3Setting; }
  /// The end-of-play notice step 7 arms: WM_COMMAND with the Stop command.
  int GetNotifyCommand() const { return m_notifyCommand; }

 private:
  /// Deletes the instance and releases the device.
  void ReleaseDevice();
  int FailSetup();
  /// The player's device control: every kind but 15.
  void DeviceControl(int32_t code, int32_t a, int32_t b, int32_t c);
  bool IsEmulatorConnection() const { return m_connectionKind >= 2 && m_connectionKind <= 4; }

  std::function<bool()> m_tbOption;
  int m_connectionKind = 1;
  std::unique_ptr<CKzSoundDevice> m_device;
  bool m_bound = false;
  int32_t m_instance = -1;
  int m_notifyCommand = 0;
  int m_gen3Setting = 0;
  int m_sentState = 0;
  uint32_t m_playPosition = 0;
};
