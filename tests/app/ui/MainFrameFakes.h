// Recording fakes for the main window's tests: an output engine with scripted answers and tool
// windows that log every call.
#pragma once

#include <QApplication>
#include <QThread>
#include <QWidget>
#include <functional>
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
  int Play() override {
    if (onPlay) onPlay();
    return RecordingOutputEngine::Play();
  }
  int SetBoardSwitch(int repeat) override { return Log(Call("SetBoardSwitch", repeat)); }
  int SendChannelValue12(int channel, int value) override { return Log(Call("SendChannelValue12", channel, value)); }
  int SendBoardParam03a(int v) override { return Log(Call("SendBoardParam03a", v)); }
  int SendBoardParam03b(int a, int b) override { return Log(Call("SendBoardParam03b", a, b)); }
  int SendBoardParam03c(int v) override { return Log(Call("SendBoardParam03c", v)); }
  int SendBoardParam03_10(int v) override { return Log(Call("SendBoardParam03_10", v)); }
  int SendBoardParam03_11(int v) override { return Log(Call("SendBoardParam03_11", v)); }
  int SendBoardValue06(uint32_t v) override { return Log(Call("SendBoardValue06", v)); }
  int SendBoardValue07(uint32_t v) override { return Log(Call("SendBoardValue07", v)); }

  bool boardAnswers = true;
  uint32_t boardAnswer = 0;
  uint32_t ownPosition = 0;
  int boardReads = 0;
  bool readOnGuiThread = false;
  /// Runs as Play starts.
  std::function<void()> onPlay;
  /// (position, flag) of each SetStartTime.
  std::vector<std::pair<uint32_t, int>> startTimes;
};

/// A tool window that writes every call into a shared log as "<class>.<call>". It is owned by
/// the main window it was made for, so it goes with that window and never outlives its test.
class RecordingWindow final : public QWidget, public ui::IToolWindow {
 public:
  RecordingWindow(std::string name, std::vector<std::string>& log, QWidget* owner)
      : QWidget(owner, Qt::Tool), m_name(std::move(name)), m_log(log) {}
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
