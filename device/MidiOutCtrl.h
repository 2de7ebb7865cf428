// The one playback and board output engine: the connection, the board's MIDI ports, SysEx
// messages and replies, and playback on one worker thread at a time.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "device/EmuPlayer.h"
#include "device/OutputEngine.h"
#include "platform/midi/MidiBackend.h"

class CMidiThru;
namespace platform {
class INotifySink;
}

/// Every public operation runs on the user-interface thread. The playback thread and the MIDI
/// input's callback share only the atomic fields with it; the callback stores replies and
/// posts, and never sends MIDI or waits.
class TMidiOutCtrl : public IOutputEngine {
 public:
  // Board message bytes.
  static constexpr uint8_t kMaker = 0x43;
  static constexpr uint8_t kNoReply = 255;
  /// Below this board version the information reply comes in form 1, from it on in form 2.
  static constexpr uint8_t kFormTwoVersion = 12;
  /// Longer input messages are ignored: the one input buffer holds 4096 bytes.
  static constexpr size_t kInputBufferSize = 4096;

  static constexpr const char* kSerialOutName = "KORVAN TVR A Driver";
  static constexpr const char* kSerialInName = "KORVAN TVR Driver";
  static constexpr const char* kUsbOutName = "KORVAN USB OUT";
  static constexpr const char* kUsbInName = "KORVAN USB IN";

  using OutputHandle = std::shared_ptr<platform::IMidiOutput>;
  using InputHandle = std::unique_ptr<platform::IMidiInput>;

  /// Connection kind 1; the output device index from "Setting"/"MIDIDeviceOut". Asks the port
  /// layer which MIDI system is in use (without one the layer says so once). `tbOption` is the
  /// main frame's "TB" option, read when the profile parameters are built.
  explicit TMidiOutCtrl(std::function<bool()> tbOption = {});
  /// Stop (which ends any playback thread), closes any open port, then the player goes.
  ~TMidiOutCtrl() override;
  TMidiOutCtrl(const TMidiOutCtrl&) = delete;
  TMidiOutCtrl& operator=(const TMidiOutCtrl&) = delete;

  // --- Set-up ---------------------------------------------------------------------------------

  int SetupSoundDevice(int argument) override;
  int GetConnectionKind() const override { return m_connectionKind; }
  int GetConnectionState() const override { return m_boardPortKind; }
  int GetDeviceModeValue() const override;
  CEmuPlayer* GetPlayer() override { return &m_player; }

  // --- MIDI ports -----------------------------------------------------------------------------

  std::string GetMidiOutName(int index) override;
  std::string GetMidiInName(int index) override;
  int GetMidiOutDevice() const override { return m_outDevice; }
  int SetMidiOutDevice(int index) override;
  void ForgetMidiOut() override;
  /// Search 0: serial names, then USB names; 1 serial only; 2 USB only. Connection kind 1 only
  /// (else 0). Stores the port kind found and closes the ports again.
  int OpenBoard(int search) override;
  /// Opens the ports the chip mode plays through; 1 or 0.
  int OpenPorts();
  /// The name searches; with `check` the board must answer the identify query with 3. A
  /// failed search leaves both handles closed.
  int OpenSerialMidiPorts(OutputHandle& out, InputHandle& in, bool check);
  int OpenUsbMidiPorts(OutputHandle& out, InputHandle& in, bool check);
  int OpenSerialMidiPorts2();
  int OpenPortsByName();
  /// Closes the output (unless the thru owns it) and the input; clears both.
  void ClosePorts(OutputHandle& out, InputHandle& in);
  /// All notes off on `out`, in chip modes 1 and 2 only.
  void ResetMidiOut(platform::IMidiOutput* out);
  bool HasOpenOutput() const { return m_out != nullptr; }
  bool HasOpenInput() const { return m_in != nullptr; }

  // --- Messages and replies -------------------------------------------------------------------

  /// 0 when sent or nothing was to be sent; -1 when a send to the ports failed or found no port.
  int SendSysEx(const uint8_t* data, uint32_t length) override;
  /// Sends on `out` and waits up to 1000 ms for a reply; the reply or 255.
  int SendSysExWait(const uint8_t* data, uint32_t length, platform::IMidiOutput* out);
  /// Chip modes 1 and 2: SendSysEx, then up to 4000 ms for a reply; 3 and 5: OpenBoardPorts.
  int SendQuery(const uint8_t* data, uint32_t length);
  /// One whole exchange with the board or the emulator; the reply or 255.
  int OpenBoardPorts(const uint8_t* data, uint32_t length);
  int QueryBoard(int code) override;
  /// Repeats query 2 until an answer or 60000 ms; the playing flag is kept.
  int WaitBoardStatus();
  void SetReplyByte(uint8_t value) { m_reply.store(value); }
  uint8_t GetReplyByte() const { return m_reply.load(); }
  int ReadBoardInfo(uint32_t* value, uint8_t* info1, uint8_t* info0, uint8_t* info2) override;
  /// Stores an information reply of form 1 (below version 12) or 2 (from 12); 1 when stored.
  int SetBoardInfo(uint32_t value, uint8_t b10, uint8_t b11, uint8_t b12, int form);
  int GetReplyByte0() const override { return m_info0.load(); }
  int GetReplyByte1() const override { return m_info1.load(); }
  int GetReplyByte2() const override { return m_info2.load(); }
  uint32_t GetBoardInfoValue() const { return m_infoValue.load(); }
  uint8_t GetBoardVersion() const { return m_boardVersion.load(); }
  void SetBoardVersion(uint8_t version) { m_boardVersion.store(version); }
  bool IsBoardOk() const { return m_boardOk.load(); }
  /// The input callback: one whole message as it arrived.
  void OnMidiIn(const uint8_t* data, size_t size);

  // --- Playback -------------------------------------------------------------------------------

  int Play() override;
  int PlayDirect() override;
  int Stop() override;
  bool IsPlaying() const override { return m_playing.load(); }
  void SetPlaying(bool playing) { m_playing.store(playing); }
  uint32_t GetPlayPosition() const override { return m_playPosition.load(); }
  void SetPlayPosition(uint32_t ms) override { m_playPosition.store(ms); }
  int SetLoopMode(int section) override;
  int GetLoopMode() const override { return m_section.load(); }
  int SetStartTime(int flag, uint32_t ms) override;
  int GetStartFlag() const override { return m_restartFlag.load(std::memory_order_acquire); }
  uint32_t GetStartTick() const override { return m_restartTime.load(); }
  /// Takes a restart that SetStartTime published: its time, after the flag was seen; both
  /// are cleared. False when none waits.
  bool TakeRestart(uint32_t& ms);
  int SetRewind(int flag) override;
  int GetRewind() const { return m_rewind; }
  void ClearBoardOk() override { m_boardOk.store(false); }
  void ClearEmuPending() override { m_player.ClearPending(); }
  int GetLastValue() const override { return m_phraseChannel; }
  void ClearSentState() override;
  /// True while a playback thread exists that has not been joined.
  bool HasPlaybackThread() const { return m_thread.joinable(); }
  /// How playback threads are made; tests put in one that fails. Null restores std::thread.
  using ThreadFactory = std::function<std::thread(std::function<void()>)>;
  void SetThreadFactory(ThreadFactory factory);

  // Song transfer before play; built with the board's command set, until then each answers 0.
  int play_midi_list_KZ3() { return 0; }
  int play_midi_list_KZ3Phrase() { return 0; }
  int PrepareBoardPlay() { return 0; }
  int PrepareDirectPlay() { return 0; }

  // --- Board commands -------------------------------------------------------------------------

  // The set-up commands act on the emulator connections (kinds 3 and 4); the messages of the
  // MIDI and generation-5 connections come with the board's command set.
  int ResetBoard() override { return 1; }
  int SendBoardCommand07(int value) override;
  int SendBoardCommand09b(int) override { return 1; }
  int SendBoardCommand11(int) override { return 1; }
  int SendBoardCommand13(uint8_t a, uint8_t b, uint8_t c, uint8_t d) override;
  int SendBoardParam03_06(int value) override;
  int SendBoardParam03_09(int value) override;
  int SendVoice(const CVoiceItem&, int) override { return 1; }
  int SendBankVoices(const CVoiceItem&) override { return 1; }
  int SendVoiceItem(const CStreamPCMSlot&) override { return 1; }
  int SendBoardCommand06(int) override { return 1; }
  int SendBoardData0C(int, const uint8_t*, uint32_t) override { return 1; }
  int SendBoardCommand0D(int) override { return 1; }
  int SendBankSelect(int, int, int) override { return 1; }
  int SendProgramChange(int, int) override { return 1; }
  int SendBoardCommand09(int) override { return 1; }
  int SendVoiceParams(const CVoiceItem&) override { return 1; }
  int SendBoardCommand04(int) override { return 1; }
  int SendBoardValue0A(uint32_t, int) override { return 1; }
  int SendChannelValue13(int channel, int value) override;
  int SendChannelValue1A(int, uint32_t) override { return 1; }
  /// The phrase channels that hold a started phrase (board command set).
  void SetChannelActive(int channel, bool active);
  bool IsChannelActive(int channel) const;

 private:
  /// The long-message send: one whole copy of the message on `out`; false when nothing went.
  static bool SendLong(platform::IMidiOutput* out, const uint8_t* data, uint32_t length);
  /// The name search of one name pair.
  int OpenPortsByNames(const char* outName, const char* inName, OutputHandle& out, InputHandle& in, bool check);
  /// Opens the first input whose name holds `inName` with the engine's callback.
  InputHandle OpenBoardInput(const char* inName);
  /// Stops the thru when it runs; true when it must be restarted.
  bool PauseThru();
  void ResumeThru(bool paused);
  CMidiThru* Thru() const;
  bool IsThruActive() const;
  /// Waits (through the installed clock) while the reply byte is 255, at most `limitMs`.
  uint8_t WaitForReply(uint32_t limitMs);
  int ExchangeWithEmulator(const uint8_t* data, uint32_t length);
  int FailSetup();
  bool IsEmulatorConnection() const { return m_connectionKind >= 2 && m_connectionKind <= 4; }
  void DeviceControl(int32_t code, int32_t a, int32_t b, int32_t c);
  /// Starts `body` on the playback thread; false when the thread could not be created.
  bool StartThread(std::function<void()> body);
  bool StartBoardPositionThread();
  /// Waits for the playback thread without a time limit and forgets it.
  void JoinThread();
  void SendStopMessage();

  CEmuPlayer m_player;
  std::function<bool()> m_tbOption;
  int m_connectionKind = 1;
  std::atomic<bool> m_boardOk{false};
  std::atomic<uint8_t> m_boardVersion{0};
  uint8_t m_phraseChannel = 0;
  std::atomic<bool> m_channelActive[4] = {};
  int m_rewind = 0;
  std::atomic<uint32_t> m_restartTime{0};
  std::atomic<int> m_restartFlag{0};
  std::atomic<uint8_t> m_info0{0};
  std::atomic<uint8_t> m_info1{0};
  std::atomic<uint8_t> m_info2{0};
  std::atomic<uint32_t> m_infoValue{0};
  std::atomic<uint8_t> m_reply{kNoReply};
  std::atomic<int> m_section{0};
  int m_outDevice = 0;
  ThreadFactory m_threadFactory = [](std::function<void()> body) { return std::thread(std::move(body)); };
  std::thread m_thread;
  std::atomic<bool> m_threadEnded{false};
  std::atomic<bool> m_playing{false};
  std::atomic<uint32_t> m_playPosition{0};
  int m_boardPortKind = 0;
  OutputHandle m_out;
  InputHandle m_in;
  // Where the input's callback posts: the sink of the user-interface thread that opened it.
  std::atomic<platform::INotifySink*> m_inputSink{nullptr};
  bool m_deviceBound = false;
};
