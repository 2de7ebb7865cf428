// The one playback and board output engine: the connection, the board's MIDI ports, SysEx
// messages and replies, and playback on one worker thread at a time.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "device/EmuPlayer.h"
#include "device/OutputEngine.h"
#include "platform/midi/MidiBackend.h"

class CMidiThru;
class CKZ1Doc;
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

  // --- Song transfer before play -------------------------------------------------------------

  /// Chip modes 3 and 5: converts the song when it changed, sends it to the board or loads it
  /// into the player, applies position, key and tempo, and starts; 1, or 0 on a failure.
  int play_midi_list_KZ3();
  /// The same for phrase playback (output profile 4): four phrase channels.
  int play_midi_list_KZ3Phrase();
  /// Chip mode 2: the song's VELK image to the board, then the start; 0 when no port opens.
  int PrepareBoardPlay();
  /// Sends a ready image (the direct-play window's file) without playing; 1, or 0 on a failure.
  int SendSongToBoard(const uint8_t* image, uint32_t size);
  /// The same for output profile 4: the image is the phrase data of channel 0.
  int SendSongToBoard2(const uint8_t* image, uint32_t size);
  /// Starts the image that SendSongToBoard sent; 0 while a song is open or none was sent.
  int PrepareDirectPlay();

  // --- Board commands -------------------------------------------------------------------------

  /// Bulk data goes in pieces of this many data bytes, with a ready-wait between pieces.
  static constexpr uint32_t kPieceSize = 3500;
  /// A stream-PCM piece carries its two value bytes and at most this many data bytes.
  static constexpr uint32_t kVoiceBlockPieceData = 3498;

  /// Builds header + data (packed 7 in 8 or plain) + F7 and sends it; the message length, or
  /// 0 when the block could not be had (nothing is sent).
  uint32_t SendPackedData(const uint8_t* data, uint32_t length, const uint8_t* header, uint32_t headerLength,
                          bool packing);
  /// Repeat on or off (F0 43 79 05 7E 02 s F7, s = 1 when off); the player takes the same.
  int SetBoardSwitch(int repeat);
  int SendBoardCommand09(int value) override;
  /// The play start position; with `force` 0 nothing while playing.
  int SendBoardValue0A(uint32_t value, int force) override;
  int SendChannelOff(int channel);
  int SendChannelOn(int channel);
  int SendChannelValue12(int channel, int value);
  int SendChannelValue13(int channel, int value) override;
  int SendChannelValue18(int channel, int value);
  int SendChannelValue1A(int channel, uint32_t value) override;
  /// Phrase or song data under F0 43 79 05 ch in pieces of 3500, each after a ready-wait;
  /// connection kind 1 only. 0 when a ready-wait timed out.
  int SendLongData(int channel, const uint8_t* data, uint32_t length, bool packing);

  int SendBoardParam03a(int value);
  int SendBoardParam03b(int a, int b);
  int SendBoardParam03c(int value);
  int SendBoardParam03_06(int value) override;
  int SendBoardParam03_09(int value) override;
  /// Key change, 12 = none.
  int SendBoardParam03_11(int value);
  /// Tempo percentage; 0 and nothing sent outside 70..130.
  int SendBoardParam03_10(int value);

  int SendVoice(const CVoiceItem& item, int withWave) override;
  int SendVoiceParams(const CVoiceItem& item) override;
  /// The wave of a PCM voice; 0 when a ready-wait timed out.
  int SendBankVoices(const CVoiceItem& item) override;
  int SendBoardCommand04(int waveId) override;
  /// Stream-PCM data: pieces of the value c and up to 3498 data bytes; 0 after a timeout.
  int SendVoiceBlock(int a, int b, uint16_t c, const uint8_t* data, uint32_t length, int flag);
  int SendVoiceItem(const CStreamPCMSlot& slot) override;
  int SendBoardCommand06(int value) override;
  int SendBoardCommand07(int value) override;
  int SendBoardCommand08(int a, int b, int c);
  int SendBoardCommand0B(int a, int b, int c);
  int SendBoardData0C(int a, const uint8_t* data, uint32_t size) override;
  int SendBoardCommand0D(int value) override;
  int SendBoardCommand11(int value) override;
  int SendBoardCommand13(uint8_t a, uint8_t b, uint8_t c, uint8_t d) override;
  int ResetBoard() override;
  int SendBoardValue06(uint32_t value);
  int SendBoardValue07(uint32_t value);
  int SendBoardCommand09b(int value) override;
  int SendBankSelect(int channel, int msb, int lsb) override;
  int SendProgramChange(int channel, int program) override;
  /// The phrase channels that hold a started phrase.
  void SetChannelActive(int channel, bool active);
  bool IsChannelActive(int channel) const;

 private:
  /// Before a direct-play song: closes ports not shared with MIDI thru, then opens them.
  bool ReopenPortsForSong();
  /// The emulator connection starts a direct-play song from a reset emulator.
  void ResetEmulatorForSong();
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
  /// F0 43 79 dd tt cc, the data bytes (each & 0x7F), F7, through SendSysEx.
  void SendShort(uint8_t group, uint8_t type, uint8_t command, std::initializer_list<int> data);
  /// F0 43 79 05 7F 03 p1 p2 p3 F7.
  void SendSetting(int p1, int p2, int p3);
  /// F0 43 79 dd tt cc, then a 28-bit value as four 7-bit groups, least significant first.
  void SendValue28(uint8_t group, uint8_t command, std::initializer_list<int> before, uint32_t value);
  /// Waits for the board between pieces; false when it did not become ready (255).
  bool WaitReady();
  /// Every voice, wave and data transfer marks the song changed and to be sent again.
  void MarkSongChanged();
  bool IsBoardVoice(const CVoiceItem& item) const;
  /// The converted (or native) song to the board in pieces, or into the player; steps 9.1-9.8.
  int SendConvertedSong(const uint8_t* data, uint32_t size, bool& ok);
  int SendSongPieces(const uint8_t* data, uint32_t size, bool waitBeforeEach);
  void SendSectionTimes();
  void StartPhraseChannel();
  /// Steps 6-9 of the transfer for a song whose change mark 2 is set; 1, or 0 on a failure.
  int TransferSong(CKZ1Doc& doc);
  /// The four phrase streams through the phrase converter; 0 after a reported failure.
  int ConvertPhrases(CKZ1Doc& doc, std::vector<uint8_t> converted[4]);
  int SendPhrases(CKZ1Doc& doc, const std::vector<uint8_t> converted[4]);

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
