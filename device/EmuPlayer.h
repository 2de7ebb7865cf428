// The emulator player: loads, starts, positions and stops song images, and passes single
// messages, through the one sound device of the program.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "device/DeviceParamBlock.h"
#include "device/KzSoundApi.h"
#include "device/KzSoundDevice.h"
#include "platform/host/NotifySink.h"

class CKzSoundEmuDevice;

/// Every operation first reads the state (Control code 6, or Phrase_GetStatus for the phrase
/// kinds 7 and 16) and answers -1, reaching no library entry, when the state or the device
/// kind does not allow it. A negative library result comes back unchanged. Called on the
/// user-interface thread only; the library's end-of-play callbacks only post.
class CEmuPlayer {
 public:
  /// States as the device reports them.
  enum State : int32_t { kNoSequence = 0, kLoaded = 1, kOpened = 2, kReady = 3, kPlaying = 4, kPaused = 5 };
  static constexpr int kStreamSlots = 4;
  /// Channels 0..15 and 16 for all channels.
  static constexpr int kChannelSlots = 17;
  /// The event code with which the library reports the end of play.
  static constexpr int32_t kEndOfPlay = 127;

  /// The record that Control code 22 takes (its first argument points to one).
  struct ChannelData {
    int32_t channel;
    const uint8_t* data;
    int32_t size;
  };

  CEmuPlayer();
  /// Shutdown with the device released.
  virtual ~CEmuPlayer();
  CEmuPlayer(const CEmuPlayer&) = delete;
  CEmuPlayer& operator=(const CEmuPlayer&) = delete;

  // --- Set-up ---------------------------------------------------------------------------------

  /// Releases any device, then creates and binds the device of `kind` (1-7 driver, 8-16
  /// emulator with a copy of `block`). 1 bound; 0 when the kind has no device or binding failed
  /// (a device that failed to bind stays in place).
  int CreateDevice(int kind, const CDeviceParamBlock* block = nullptr);
  /// The end-of-play notification: posted once to `sink` after each successful Start.
  int SetNotify(platform::INotifySink* sink, uint32_t message, intptr_t wParam, intptr_t lParam);
  /// Slot 0..3, or -1 for all: frees the copy and, with data, keeps a new one. 1 done, 0 out of
  /// memory (the slot stays empty), -1 for another slot.
  int SetStreamData(int slot, const uint8_t* data, int32_t size);
  /// Channel 0..16 (255 means 16), or -1 for all; as SetStreamData. In state 0 or 1 the device
  /// is told (control 22) before an existing copy goes.
  int SetChannelData(int channel, const uint8_t* data, int32_t size);

  // --- The song -------------------------------------------------------------------------------

  /// Without an instance: the device's Create; a result of 0 or more becomes the instance id.
  int32_t Create(int32_t arg);
  /// State 0, kinds 1-6 and 8-14 (15 loads on instance 0 and keeps no sequence id): copies the
  /// image, so the caller may free it at once, and loads the copy. `callback` null means the
  /// player's own end-of-play handler; `unused` is ignored. The option passed is the player's
  /// mute or option word.
  int32_t Load(const uint8_t* image, int32_t size, int32_t mode, KzSoundEndCallback callback = nullptr,
               int32_t unused = 0);
  /// State 1; on 0 the waiting play settings reach the library.
  int32_t Open(int32_t a, int32_t b);
  /// State 2.
  int32_t Standby(int32_t a);
  /// State 3 (phrase kinds: state 2 or above, Phrase_Seek).
  int32_t Seek(int32_t position, int32_t a = 0, int32_t b = 0);
  /// State 3: settings changed since the last Open are applied first by closing, opening and
  /// standing by again; then the device's Start with the repeat count. Phrase kinds:
  /// Phrase_Play with the repeat count in state 2, Phrase_Restart in state 5. The end-of-play
  /// notification is armed before the library starts (a short image may end at once) and
  /// disarmed again when it refuses.
  int32_t Start(int32_t arg);
  /// State 4 or 5 (phrase kinds: 3 or above). Disarms the notification first.
  int32_t Stop(int32_t arg);
  /// State 2 or 3; `a` goes to the library as its last argument.
  int32_t Close(int32_t a = 0);
  /// State 1; the sequence id becomes -1.
  int32_t Unload(int32_t a = 0);

  // --- Controls and messages ------------------------------------------------------------------

  /// The player's control codes: 0-2 byte settings, 4 position, 5 length, 6 the state, 7 and 8
  /// forwarded, 12 and 13 the loop start and end, 22 channel data (`a` points to a ChannelData),
  /// 23 a channel byte. -1 for a code the kind does not take.
  int32_t Control(int32_t code, intptr_t a = 0, intptr_t b = 0);
  /// Kinds 1-14 and 16.
  int32_t DeviceControl(int32_t a, int32_t b, int32_t c, int32_t d);
  /// Kinds 8-14 and 16; else -1.
  int32_t SendMidiMessage(const uint8_t* data, int32_t length);
  int32_t GetMidiMessage(int32_t port, uint8_t* buffer, int32_t size);

  // --- Settings and state ---------------------------------------------------------------------

  /// Stores the repeat count; a change marks the play settings changed (the phrase kinds keep
  /// it for the next Phrase_Play). 0.
  int SetRepeat(int count);
  /// Phrase kinds, state below 3, slot 0..3: keeps a copy and hands it to Phrase_SetData; the
  /// slot becomes the phrase id. Without data the library lets the slot go (Phrase_RemoveData).
  int32_t SetPhraseData(int slot, const uint8_t* data, int32_t size, int32_t arg);
  /// Kinds 8-14 and 16: back to state 0 keeping the device, with the sound stopped. Mode 1: 1.
  /// Mode 2: the sound restarts, Control 0 is 127, and a new instance (kinds 8-14, Create with
  /// `instance`) or the phrase handler (kind 16) is set up: 1, or 0 on a failure. Other modes 0.
  int ResetEmulator(int mode, int32_t instance);
  /// 0 without an emulator device of kinds 8-14 or 16; 1 for block mode 1, 2 for modes 2 and 3.
  int GetEmuMode() const;
  /// Clears the waiting requests: byte settings, loop start, loop end and "settings changed".
  void ClearPending();
  /// Stops, closes and unloads as the state requires, deletes the instance and brings every
  /// play setting back to its creation value; `release` also deletes the device.
  void Shutdown(int release);

  /// The mute or option word that Load passes to the library.
  void SetOptionWord(int32_t word) { m_option = word; }
  int32_t GetOptionWord() const { return m_option; }

  int GetKind() const { return m_kind; }
  CKzSoundDevice* GetDevice() const { return m_device.get(); }
  int32_t GetInstanceId() const { return m_instance; }
  int32_t GetSequenceId() const { return m_sequence; }
  int32_t GetPhraseId() const { return m_phrase; }
  int GetRepeat() const { return m_repeat; }
  /// The byte setting of control code 0, 1 or 2; -1 for another code.
  int32_t GetSetting(int code) const { return (code >= 0 && code < 3) ? m_bytes[static_cast<size_t>(code)] : -1; }
  bool IsArmed() const { return m_armed.load() != nullptr; }
  /// The copy kept in a stream slot (empty when none).
  const std::vector<uint8_t>& GetStreamData(int slot) const;
  const std::vector<uint8_t>& GetChannelData(int channel) const;

 private:
  struct Notification {
    platform::INotifySink* sink;
    uint32_t message;
    intptr_t wParam;
    intptr_t lParam;
  };

  static void OnEndOfPlay(int32_t event);
  static void OnPhraseEvent(const KzPhraseEvent* event);
  /// Posts the armed notification, once.
  void PostArmed();
  void Arm();
  void Disarm() { m_armed.store(nullptr); }

  int32_t ReadState() const;
  bool IsPhraseKind() const { return m_kind == 7 || m_kind == 16; }
  bool IsSequenceKind() const { return (m_kind >= 1 && m_kind <= 6) || (m_kind >= 8 && m_kind <= 14); }
  bool IsEmuKind() const { return (m_kind >= 8 && m_kind <= 14) || m_kind == 16; }
  int32_t DeviceCall(int32_t code, int32_t value, int32_t extra = 0);

  int32_t SetByteSetting(int32_t code, int32_t value);
  int32_t SetLoopPoint(int32_t code, int32_t value);
  int32_t SetChannelControl(const ChannelData* record);
  int32_t SendChannelByte(int32_t value);
  int32_t ReadPosition();
  int32_t ReadLength();
  /// Sends the loop points when the start is not after the (limited) end; -1 when not sent.
  int32_t ApplyLoopPoints();
  void ApplyWaitingSettings();
  void ResetSettings();
  int32_t ReopenForStart();
  static int StoreCopy(std::vector<uint8_t>& slot, const uint8_t* data, int32_t size);

  std::unique_ptr<CKzSoundDevice> m_device;
  CKzSoundEmuDevice* m_emu = nullptr;  // the same device when it is an emulator device
  int m_kind = 0;
  int32_t m_instance = -1;
  int32_t m_sequence = -1;
  int32_t m_phrase = 0;
  std::array<std::vector<uint8_t>, kStreamSlots> m_streams;
  std::array<std::vector<uint8_t>, kChannelSlots> m_channels;

  // Play settings waiting for the next Open or Start.
  uint16_t m_repeat = 1;
  int32_t m_option = 0;
  std::array<int32_t, 3> m_bytes{100, 100, 0};
  int32_t m_loopStart = 0;
  int32_t m_loopEnd = -1;  // none: the song's length
  uint32_t m_waitingBytes = 0;
  bool m_startChanged = false;
  bool m_endChanged = false;
  bool m_settingsChanged = false;
  int32_t m_openA = 0;
  int32_t m_openB = 0;
  int32_t m_standbyA = 0;

  Notification m_notify{nullptr, 0, 0, 0};
  // Read by the library's thread: the notification to post, null when not armed.
  std::atomic<std::shared_ptr<const Notification>> m_armed;
};
