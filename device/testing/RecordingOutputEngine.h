// An output engine for tests of the shell and the windows: it records every call with its
// arguments and answers from public fields.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "device/OutputEngine.h"

/// Each call is recorded as text, "Name(arg,arg)" or "Name" without arguments, in order.
/// Play sets the playing flag and Stop clears it; a test sets the connection kind, the playing
/// flag and the answers directly.
class RecordingOutputEngine : public IOutputEngine {
 public:
  int setupResult = 1;
  int connectionKind = 3;
  /// The connection kind a successful set-up leaves.
  int setupConnectionKind = 3;
  int boardPortKind = 0;
  /// QueryBoard's answers in turn; 255 once they are used up.
  std::deque<int> queryAnswers;
  bool playing = false;
  int playResult = 1;
  uint32_t playPosition = 0;
  int loopMode = 0;
  int startFlag = 0;
  uint32_t startTick = 0;
  int lastValue = 0;
  int outDevice = 0;
  std::vector<std::string> outNames;
  std::vector<std::string> inNames;
  /// ReadBoardInfo's answer: whether the board answered, and what it gave.
  int boardInfoResult = 0;
  uint32_t boardInfoValue = 0;
  uint8_t info0 = 0;
  uint8_t info1 = 0;
  uint8_t info2 = 0;
  CEmuPlayer* player = nullptr;
  std::vector<std::string> calls;
  /// The bytes of each SendSysEx, in order.
  std::vector<std::vector<uint8_t>> sysex;

  int SetupSoundDevice(int argument) override;
  int GetConnectionKind() const override { return connectionKind; }
  int GetConnectionState() const override { return boardPortKind; }
  int GetDeviceModeValue() const override { return connectionKind >= 2 ? connectionKind : 0; }
  CEmuPlayer* GetPlayer() override { return player; }

  std::string GetMidiOutName(int index) override;
  std::string GetMidiInName(int index) override;
  int GetMidiOutDevice() const override { return outDevice; }
  int SetMidiOutDevice(int index) override;
  void ForgetMidiOut() override { calls.push_back("ForgetMidiOut"); }
  int OpenBoard(int search) override;

  int SendSysEx(const uint8_t* data, uint32_t length) override;
  int QueryBoard(int code) override;
  int ReadBoardInfo(uint32_t* value, uint8_t* i1, uint8_t* i0, uint8_t* i2) override;
  int GetReplyByte0() const override { return info0; }
  int GetReplyByte1() const override { return info1; }
  int GetReplyByte2() const override { return info2; }

  int Play() override;
  int PlayDirect() override { return Log("PlayDirect"); }
  int Stop() override;
  bool IsPlaying() const override { return playing; }
  uint32_t GetPlayPosition() const override { return playPosition; }
  void SetPlayPosition(uint32_t ms) override;
  int SetLoopMode(int section) override;
  int GetLoopMode() const override { return loopMode; }
  int SetStartTime(int flag, uint32_t ms) override;
  int GetStartFlag() const override { return startFlag; }
  uint32_t GetStartTick() const override { return startTick; }
  int SetRewind(int flag) override { return Log(Call("SetRewind", flag)); }
  void ClearBoardOk() override { calls.push_back("ClearBoardOk"); }
  void ClearEmuPending() override { calls.push_back("ClearEmuPending"); }
  int GetLastValue() const override { return lastValue; }
  void ClearSentState() override { calls.push_back("ClearSentState"); }

  int ResetBoard() override { return Log("ResetBoard"); }
  int SendBoardCommand07(int v) override { return Log(Call("SendBoardCommand07", v)); }
  int SendBoardCommand09b(int v) override { return Log(Call("SendBoardCommand09b", v)); }
  int SendBoardCommand11(int v) override { return Log(Call("SendBoardCommand11", v)); }
  int SendBoardCommand13(uint8_t a, uint8_t b, uint8_t c, uint8_t d) override;
  int SendBoardParam03_06(int v) override { return Log(Call("SendBoardParam03_06", v)); }
  int SendBoardParam03_09(int v) override { return Log(Call("SendBoardParam03_09", v)); }
  int SendVoice(const CVoiceItem&, int option) override { return Log(Call("SendVoice", option)); }
  int SendBankVoices(const CVoiceItem&) override { return Log("SendBankVoices"); }
  int SendVoiceItem(const CStreamPCMSlot&) override { return Log("SendVoiceItem"); }
  int SendBoardCommand06(int v) override { return Log(Call("SendBoardCommand06", v)); }
  int SendBoardData0C(int kind, const uint8_t*, uint32_t size) override;
  int SendBoardCommand0D(int v) override { return Log(Call("SendBoardCommand0D", v)); }
  int SendBankSelect(int channel, int msb, int lsb) override;
  int SendProgramChange(int channel, int program) override {
    return Log(Call("SendProgramChange", channel, program));
  }
  int SendBoardCommand09(int v) override { return Log(Call("SendBoardCommand09", v)); }
  int SendVoiceParams(const CVoiceItem&) override { return Log("SendVoiceParams"); }
  int SendBoardCommand04(int id) override { return Log(Call("SendBoardCommand04", id)); }
  int SendBoardValue0A(uint32_t value, int second) override;
  int SendChannelValue13(int channel, int value) override;
  int SendChannelValue1A(int last, uint32_t value) override;

  /// "Name(a,b,...)" for integer arguments.
  static std::string Call(const char* name, long long a);
  static std::string Call(const char* name, long long a, long long b);

 protected:
  int Log(std::string call) {
    calls.push_back(std::move(call));
    return 1;
  }
};
