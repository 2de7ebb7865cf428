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
#include "device/testing/RecordingOutputEngine.h"
#include "uikit/ToolWindow.h"

namespace mainframetest {

/// The recording engine with the answers the notifications read, and where they were read.
class RecordingEngine final : public RecordingOutputEngine {
 public:
  RecordingEngine() { connectionKind = 1; }
  uint32_t GetPlayPosition() const override { return ownPosition; }
  int ReadBoardInfo(uint32_t* value, uint8_t* i1, uint8_t* i0, uint8_t* i2) override {
    ++boardReads;
    readOnGuiThread = QThread::currentThread() == qApp->thread();
    boardInfoResult = boardAnswers ? 1 : 0;
    boardInfoValue = boardAnswer;
    return RecordingOutputEngine::ReadBoardInfo(value, i1, i0, i2);
  }
  int SetStartTime(int flag, uint32_t ms) override {
    startTimes.emplace_back(ms, flag);
    return RecordingOutputEngine::SetStartTime(flag, ms);
  }

  bool boardAnswers = true;
  uint32_t boardAnswer = 0;
  uint32_t ownPosition = 0;
  int boardReads = 0;
  bool readOnGuiThread = false;
  /// (position, flag) of each SetStartTime.
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
