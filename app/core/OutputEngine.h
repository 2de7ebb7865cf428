// The output engine's operations that start-up, the board check and the Reset command call.
#pragma once

#include <cstdint>

class CVoiceItem;
class CStreamPCMSlot;
class CEmuPlayer;

/// Connection kinds: 0 none, 1 MIDI ports, 2 to 4 emulator sound devices.
class IOutputEngine {
 public:
  virtual ~IOutputEngine() = default;

  /// Chooses the connection for a set-up argument 1..5 and creates its device; 1 or 0.
  virtual int SetupSoundDevice(int argument) = 0;
  virtual int GetConnectionKind() const = 0;
  /// The connection kind while a set-up emulator device is bound, else 0.
  virtual int GetDeviceModeValue() const = 0;
  /// Looks for the board's MIDI ports; the port kind found (0 none).
  virtual int OpenBoard(int search) = 0;
  /// The board's reply to query `code`, or 255 without one.
  virtual int QueryBoard(int code) = 0;
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
  virtual bool IsPlaying() const = 0;
  // The play start position that the control bar's time edit commits.
  /// Board command 0A: a value sent least significant 7-bit group first, and a second value.
  virtual int SendBoardValue0A(uint32_t value, int second) = 0;
  /// Channel command 1A: the engine's last value and a position.
  virtual int SendChannelValue1A(int lastValue, uint32_t value) = 0;
  /// The last value the engine keeps for channel commands.
  virtual int GetLastValue() const = 0;
  /// Where the next play starts, in milliseconds.
  virtual void SetPlayPosition(uint32_t ms) = 0;
  /// Forgets that the song was converted and sent.
  virtual void ClearSentState() = 0;

  // What the voice editor sends while a voice is edited; an engine without a board sends none.
  virtual int SendBankSelect(int /*channel*/, int /*msb*/, int /*lsb*/) { return 1; }
  virtual int SendProgramChange(int /*channel*/, int /*program*/) { return 1; }
  /// The master volume.
  virtual int SendBoardCommand09(int /*value*/) { return 1; }
  /// The voice's parameters without its wave.
  virtual int SendVoiceParams(const CVoiceItem& /*item*/) { return 1; }
  /// Releases a wave id on the board.
  virtual int SendBoardCommand04(int /*waveId*/) { return 1; }
  /// The emulator player that auditions voices; null when the engine has none.
  virtual CEmuPlayer* GetEmuPlayer() { return nullptr; }
};
