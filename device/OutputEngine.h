// The operations of the output engine that the shell, the windows and the song data call: one
// interface, served by the engine (TMidiOutCtrl) and, in tests, by a recording engine.
#pragma once

#include <cstdint>
#include <string>

class CVoiceItem;
class CStreamPCMSlot;
class CEmuPlayer;

/// Connection kinds: 0 none, 1 MIDI ports, 2 to 4 emulator sound devices.
class IOutputEngine {
 public:
  virtual ~IOutputEngine() = default;

  // --- Set-up ---------------------------------------------------------------------------------

  /// Chooses the connection for a set-up argument 1..5 and creates its device; 1 or 0.
  virtual int SetupSoundDevice(int argument) = 0;
  virtual int GetConnectionKind() const = 0;
  /// The board port kind: 0 none, 1 the serial MIDI interface names, 2 the USB names.
  virtual int GetConnectionState() const = 0;
  /// The connection kind while a set-up emulator device is bound, else 0.
  virtual int GetDeviceModeValue() const = 0;
  /// The emulator player the engine holds (the voice editor auditions through it).
  virtual CEmuPlayer* GetPlayer() = 0;

  // --- MIDI ports -----------------------------------------------------------------------------

  /// The name of output (input) device `index`; empty when there is none.
  virtual std::string GetMidiOutName(int index) = 0;
  virtual std::string GetMidiInName(int index) = 0;
  virtual int GetMidiOutDevice() const = 0;
  /// 0 (keeping the old index) when `index` names no output device, else 1.
  virtual int SetMidiOutDevice(int index) = 0;
  /// While the MIDI thru runs, drops the engine's output without closing it (the thru owns it).
  virtual void ForgetMidiOut() = 0;
  /// Looks for the board's MIDI ports; the port kind found (0 none).
  virtual int OpenBoard(int search) = 0;

  // --- Messages and replies -------------------------------------------------------------------

  /// Sends one whole message by connection kind; 0 when sent or nothing was to be sent.
  virtual int SendSysEx(const uint8_t* data, uint32_t length) = 0;
  /// The board's reply to query `code`, or 255 without one.
  virtual int QueryBoard(int code) = 0;
  /// Asks the board (or the emulator) for its information; 1 when it answered. Each given
  /// pointer receives the value, info 1, info 0 and info 2.
  virtual int ReadBoardInfo(uint32_t* value, uint8_t* info1, uint8_t* info0, uint8_t* info2) = 0;
  virtual int GetReplyByte0() const = 0;
  virtual int GetReplyByte1() const = 0;
  virtual int GetReplyByte2() const = 0;

  // --- Playback -------------------------------------------------------------------------------

  /// Starts playback for the chip mode; 1, or 0 when it could not start.
  virtual int Play() = 0;
  /// Plays the direct-play image; 0 only when its thread could not be created.
  virtual int PlayDirect() = 0;
  /// Stops playback and waits for its thread; 1.
  virtual int Stop() = 0;
  virtual bool IsPlaying() const = 0;
  virtual uint32_t GetPlayPosition() const = 0;
  /// The engine's play position in milliseconds.
  virtual void SetPlayPosition(uint32_t ms) = 0;
  /// The song section to play (0 the whole song, 1..7 a section); 1.
  virtual int SetLoopMode(int section) = 0;
  virtual int GetLoopMode() const = 0;
  /// A new start position for the running board play, taken at its next round; 1.
  virtual int SetStartTime(int flag, uint32_t ms) = 0;
  virtual int GetStartFlag() const = 0;
  virtual uint32_t GetStartTick() const = 0;
  /// Stores the rewind flag; a set flag on an emulator also seeks it to 0. 1.
  virtual int SetRewind(int flag) = 0;
  virtual void ClearBoardOk() = 0;
  virtual void ClearEmuPending() = 0;
  /// The last value the engine keeps for channel commands (the phrase channel).
  virtual int GetLastValue() const = 0;
  /// Forgets that the song was converted and sent.
  virtual void ClearSentState() = 0;

  // --- Board commands -------------------------------------------------------------------------

  virtual int ResetBoard() = 0;
  virtual int SendBoardCommand07(int value) = 0;
  virtual int SendBoardCommand09b(int value) = 0;
  virtual int SendBoardCommand11(int value) = 0;
  virtual int SendBoardCommand13(uint8_t a, uint8_t b, uint8_t c, uint8_t d) = 0;
  virtual int SendBoardParam03_06(int value) = 0;
  virtual int SendBoardParam03_09(int value) = 0;
  // The board commands core code sends through the host's board service.
  virtual int SendVoice(const CVoiceItem& item, int option) = 0;
  virtual int SendBankVoices(const CVoiceItem& item) = 0;
  virtual int SendVoiceItem(const CStreamPCMSlot& slot) = 0;
  virtual int SendBoardCommand06(int value) = 0;
  virtual int SendBoardData0C(int kind, const uint8_t* data, uint32_t size) = 0;
  virtual int SendBoardCommand0D(int value) = 0;
  virtual int SendBankSelect(int channel, int msb, int lsb) = 0;
  virtual int SendProgramChange(int channel, int program) = 0;
  /// The master volume.
  virtual int SendBoardCommand09(int value) = 0;
  /// A voice's parameters without its wave.
  virtual int SendVoiceParams(const CVoiceItem& item) = 0;
  /// Releases a wave id on the board.
  virtual int SendBoardCommand04(int waveId) = 0;
  /// Board command 0A: the play start position, and a force flag.
  virtual int SendBoardValue0A(uint32_t value, int second) = 0;
  /// Phrase play control of a channel: 1 play from the position, 3 play, 2 stop.
  virtual int SendChannelValue13(int channel, int value) = 0;
  /// Channel command 1A: the engine's last value and a position.
  virtual int SendChannelValue1A(int lastValue, uint32_t value) = 0;

  // The main window's bars and transfers. An engine that does not carry one sends nothing.
  /// The repeat switch (the board takes the inverted value).
  virtual int SetBoardSwitch(int /*repeat*/) { return 1; }
  /// Phrase repeat of a channel.
  virtual int SendChannelValue12(int /*channel*/, int /*value*/) { return 1; }
  /// Volume bar "SP", "HP" (two values) and "EQ".
  virtual int SendBoardParam03a(int /*value*/) { return 1; }
  virtual int SendBoardParam03b(int /*a*/, int /*b*/) { return 1; }
  virtual int SendBoardParam03c(int /*value*/) { return 1; }
  /// Tempo percentage (70..130) and key change (12 = none).
  virtual int SendBoardParam03_10(int /*value*/) { return 1; }
  virtual int SendBoardParam03_11(int /*value*/) { return 1; }
  /// A section's start and end in milliseconds.
  virtual int SendBoardValue06(uint32_t /*value*/) { return 1; }
  virtual int SendBoardValue07(uint32_t /*value*/) { return 1; }
  /// Stream-PCM assignment.
  virtual int SendBoardCommand08(int /*a*/, int /*b*/, int /*c*/) { return 1; }
  virtual int SendBoardCommand0B(int /*a*/, int /*b*/, int /*c*/) { return 1; }
  /// A direct-play image (SendSongToBoard2: the phrase image of output profile 4); nonzero
  /// when it was sent.
  virtual int SendSongToBoard(const uint8_t* /*image*/, uint32_t /*size*/) { return 0; }
  virtual int SendSongToBoard2(const uint8_t* /*image*/, uint32_t /*size*/) { return 0; }
};
