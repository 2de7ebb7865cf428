// Recording fakes for the main window's tests: an output engine with scripted answers and tool
// windows that log every call.
#pragma once

#include <QApplication>
#include <QThread>
#include <QWidget>
#include <string>
#include <utility>
#include <vector>

#include "app/core/AppPlayState.h"
#include "app/core/OutputEngine.h"
#include "uikit/ToolWindow.h"

namespace mainframetest {

/// The engine calls the notifications make, with scripted answers.
class RecordingEngine final : public IOutputEngine {
 public:
  int SetupSoundDevice(int) override { return 1; }
  int GetConnectionKind() const override { return 1; }
  int GetDeviceModeValue() const override { return 0; }
  int OpenBoard(int) override { return 0; }
  int QueryBoard(int) override { return 255; }
  int ResetBoard() override { return 1; }
  int SendBoardCommand07(int) override { return 1; }
  int SendBoardCommand09b(int) override { return 1; }
  int SendBoardCommand11(int) override { return 1; }
  int SendBoardCommand13(uint8_t, uint8_t, uint8_t, uint8_t) override { return 1; }
  int SendBoardParam03_06(int) override { return 1; }
  int SendBoardParam03_09(int) override { return 1; }
  int SendVoice(const CVoiceItem&, int) override { return 1; }
  int SendBankVoices(const CVoiceItem&) override { return 1; }
  int SendVoiceItem(const CStreamPCMSlot&) override { return 1; }
  int SendBoardCommand06(int) override { return 1; }
  int SendBoardData0C(int, const uint8_t*, uint32_t) override { return 1; }
  int SendBoardCommand0D(int) override { return 1; }
  bool IsPlaying() const override { return playing; }
  int SendBoardValue0A(uint32_t, int) override { return 1; }
  int SendChannelValue1A(int, uint32_t) override { return 1; }
  int GetLastValue() const override { return 0; }
  void SetPlayPosition(uint32_t) override {}
  void ClearSentState() override {}
  uint32_t GetPlayPosition() const override { return ownPosition; }
  bool ReadBoardInfo(uint32_t& position) override {
    ++boardReads;
    readOnGuiThread = QThread::currentThread() == qApp->thread();
    if (!boardAnswers) return false;
    position = boardAnswer;
    return true;
  }
  void SetStartTime(uint32_t position, int restart) override { startTimes.emplace_back(position, restart); }

  bool playing = false;
  bool boardAnswers = true;
  uint32_t boardAnswer = 0;
  uint32_t ownPosition = 0;
  int boardReads = 0;
  bool readOnGuiThread = false;
  std::vector<std::pair<uint32_t, int>> startTimes;
};

/// A tool window that writes every call into a shared log as "<class>.<call>".
class RecordingWindow final : public QWidget, public ui::IToolWindow {
 public:
  RecordingWindow(std::string name, std::vector<std::string>& log) : m_name(std::move(name)), m_log(log) {}
  ~RecordingWindow() override { m_log.push_back(m_name + ".destroyed"); }
  QWidget* Widget() override { return this; }
  std::string ClassName() const override { return m_name; }
  void Refresh() override { m_log.push_back(m_name + ".Refresh" + (PlayPositionRefresh() ? "*" : "")); }
  void Reset() override { m_log.push_back(m_name + ".Reset"); }
  void EnableControls(bool on) override { m_log.push_back(m_name + (on ? ".Enable" : ".Disable")); }
  void SetChannelMode(int mode) override { m_log.push_back(m_name + ".SetChannelMode" + std::to_string(mode)); }
  void SetOpenSetting(int setting) override { m_log.push_back(m_name + ".Setting" + std::to_string(setting)); }
  void CloseWindow() override {
    m_log.push_back(m_name + ".Close");
    deleteLater();
  }
  void ShowWindow(bool show) override { m_visible = show; }
  bool IsWindowVisible() const override { return m_visible; }

 private:
  std::string m_name;
  std::vector<std::string>& m_log;
  bool m_visible = false;
};

}  // namespace mainframetest
