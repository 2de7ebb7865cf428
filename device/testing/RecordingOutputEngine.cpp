// An output engine for tests that records every call.
#include "device/testing/RecordingOutputEngine.h"

std::string RecordingOutputEngine::Call(const char* name, long long a) {
  return std::string(name) + "(" + std::to_string(a) + ")";
}

std::string RecordingOutputEngine::Call(const char* name, long long a, long long b) {
  return std::string(name) + "(" + std::to_string(a) + "," + std::to_string(b) + ")";
}

int RecordingOutputEngine::SetupSoundDevice(int argument) {
  calls.push_back(Call("SetupSoundDevice", argument));
  connectionKind = setupResult ? setupConnectionKind : 0;
  return setupResult;
}

std::string RecordingOutputEngine::GetMidiOutName(int index) {
  calls.push_back(Call("GetMidiOutName", index));
  return (index >= 0 && static_cast<size_t>(index) < outNames.size()) ? outNames[static_cast<size_t>(index)] : "";
}

std::string RecordingOutputEngine::GetMidiInName(int index) {
  calls.push_back(Call("GetMidiInName", index));
  return (index >= 0 && static_cast<size_t>(index) < inNames.size()) ? inNames[static_cast<size_t>(index)] : "";
}

int RecordingOutputEngine::SetMidiOutDevice(int index) {
  calls.push_back(Call("SetMidiOutDevice", index));
  if (index < 0 || static_cast<size_t>(index) >= outNames.size()) return 0;
  outDevice = index;
  return 1;
}

int RecordingOutputEngine::OpenBoard(int search) {
  calls.push_back(Call("OpenBoard", search));
  return boardPortKind;
}

int RecordingOutputEngine::SendSysEx(const uint8_t* data, uint32_t length) {
  calls.push_back(Call("SendSysEx", length));
  sysex.emplace_back(data, data + length);
  return 0;
}

int RecordingOutputEngine::QueryBoard(int code) {
  calls.push_back(Call("QueryBoard", code));
  if (queryAnswers.empty()) return 255;
  const int answer = queryAnswers.front();
  queryAnswers.pop_front();
  return answer;
}

int RecordingOutputEngine::ReadBoardInfo(uint32_t* value, uint8_t* i1, uint8_t* i0, uint8_t* i2) {
  calls.push_back("ReadBoardInfo");
  if (value) *value = boardInfoValue;
  if (i1) *i1 = info1;
  if (i0) *i0 = info0;
  if (i2) *i2 = info2;
  return boardInfoResult;
}

int RecordingOutputEngine::Play() {
  calls.push_back("Play");
  if (playResult) playing = true;
  return playResult;
}

int RecordingOutputEngine::Stop() {
  calls.push_back("Stop");
  playing = false;
  return 1;
}

void RecordingOutputEngine::SetPlayPosition(uint32_t ms) {
  calls.push_back(Call("SetPlayPosition", ms));
  playPosition = ms;
}

int RecordingOutputEngine::SetLoopMode(int section) {
  loopMode = section;
  return Log(Call("SetLoopMode", section));
}

int RecordingOutputEngine::SetStartTime(int flag, uint32_t ms) {
  startFlag = flag;
  startTick = ms;
  return Log(Call("SetStartTime", flag, ms));
}

int RecordingOutputEngine::SendBoardCommand13(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
  return Log("SendBoardCommand13(" + std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) + "," +
             std::to_string(d) + ")");
}

int RecordingOutputEngine::SendBankSelect(int channel, int msb, int lsb) {
  return Log("SendBankSelect(" + std::to_string(channel) + "," + std::to_string(msb) + "," + std::to_string(lsb) +
             ")");
}

int RecordingOutputEngine::SendBoardData0C(int kind, const uint8_t*, uint32_t size) {
  return Log(Call("SendBoardData0C", kind, size));
}

int RecordingOutputEngine::SendBoardValue0A(uint32_t value, int second) {
  return Log(Call("SendBoardValue0A", value, second));
}

int RecordingOutputEngine::SendChannelValue13(int channel, int value) {
  return Log(Call("SendChannelValue13", channel, value));
}

int RecordingOutputEngine::SendChannelValue1A(int last, uint32_t value) {
  return Log(Call("SendChannelValue1A", last, value));
}
