// Recording fakes of the board link, the output engine and the main frame for start-up tests.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/core/MainFrame.h"
#include "app/core/OutputEngine.h"
#include "device/BoardLink.h"
#include "device/testing/RecordingOutputEngine.h"
#include "platform/sys/Clock.h"

namespace startuptest {

/// Answers handshakes from a script (two characters each; a failed one as "!!"), the last
/// answer repeating; each call may move a manual clock on.
class FakeBoardLink : public CBoardLink {
 public:
  struct Log {
    std::vector<std::string> calls;
    int handshakes = 0;
    bool destroyed = false;
  };

  FakeBoardLink(std::shared_ptr<Log> log, std::deque<std::string> answers, platform::ManualClock* clock = nullptr,
                uint32_t msPerCall = 0)
      : m_log(std::move(log)), m_answers(std::move(answers)), m_clock(clock), m_msPerCall(msPerCall) {}
  ~FakeBoardLink() override { m_log->destroyed = true; }

  int Handshake(char answer[2]) override {
    ++m_log->handshakes;
    if (m_clock) m_clock->Advance(m_msPerCall);
    std::string a = m_answers.empty() ? std::string(2, '\0') : m_answers.front();
    if (m_answers.size() > 1) m_answers.pop_front();
    if (a == "!!") return 0;
    answer[0] = a[0];
    answer[1] = a[1];
    return 1;
  }
  int QueryStatus(uint32_t* result, int parameter) override {
    m_log->calls.push_back("QueryStatus(" + std::to_string(parameter) + ")");
    if (result) *result = 5;
    return 1;
  }
  int SetPlayParams(int flag, int a, int b) override {
    m_log->calls.push_back("SetPlayParams(" + std::to_string(flag) + "," + std::to_string(a) + "," + std::to_string(b) + ")");
    return 0x101;
  }
  int Reset() override {
    m_log->calls.push_back("Reset");
    return 1;
  }
  int SendSetup(int a, const uint8_t p[8], int c, int d, int e, int f) override {
    std::string s = "SendSetup(" + std::to_string(a);
    for (int i = 0; i < 8; ++i) s += "," + std::to_string(p[i]);
    m_log->calls.push_back(s + "," + std::to_string(c) + "," + std::to_string(d) + "," + std::to_string(e) + "," +
                           std::to_string(f) + ")");
    return 1;
  }
  int Stop() override {
    m_log->calls.push_back("Stop");
    return 1;
  }

 private:
  std::shared_ptr<Log> m_log;
  std::deque<std::string> m_answers;
  platform::ManualClock* m_clock;
  uint32_t m_msPerCall;
};

/// The recording engine of the device tests: every call as text, answers in public fields.
using FakeOutputEngine = RecordingOutputEngine;

/// Records what the application asks of its main frame; owns a fake engine.
class FakeMainFrame : public IMainFrame {
 public:
  struct Log {
    std::vector<std::string> calls;
    std::vector<MenuEdit> menuEdits;
    bool destroyed = false;
  };

  explicit FakeMainFrame(std::shared_ptr<Log> log, FakeOutputEngine* engine = nullptr)
      : m_log(std::move(log)), m_engine(engine) {}
  ~FakeMainFrame() override { m_log->destroyed = true; }

  bool loadResult = true;
  bool songWindowResult = true;
  bool tbOption = false;

  bool LoadFrame(int id) override {
    Call("LoadFrame(" + std::to_string(id) + ")");
    return loadResult;
  }
  WindowPlacement GetPlacement() const override { return {}; }
  PlacementRect GetWindowRect() const override { return {0, 0, 640, 480}; }
  void SetPlacement(const WindowPlacement& p) override {
    Call("SetPlacement(" + std::to_string(p.rcNormalPosition.right) + "x" + std::to_string(p.rcNormalPosition.bottom) +
         ")");
  }
  void ShowWindow(int cmd) override { Call("ShowWindow(" + std::to_string(cmd) + ")"); }
  void UpdateWindow() override { Call("UpdateWindow"); }
  void DragAcceptFiles(bool) override { Call("DragAcceptFiles"); }
  void DestroyWindow() override { Call("DestroyWindow"); }
  void ApplyMenuEdits(const std::vector<MenuEdit>& edits) override {
    Call("ApplyMenuEdits");
    m_log->menuEdits = edits;
  }
  void PostCommand(int id) override { Call("PostCommand(" + std::to_string(id) + ")"); }
  bool OpenSongWindow() override {
    Call("OpenSongWindow");
    return songWindowResult;
  }
  void EnableBoardMonitor(bool on) override { Call(on ? "EnableBoardMonitor(1)" : "EnableBoardMonitor(0)"); }
  void UpdateStatusPanes() override { Call("UpdateStatusPanes"); }
  void UpdateReportBar() override { Call("UpdateReportBar"); }
  void UpdateSongWindows() override { Call("UpdateSongWindows"); }
  void UpdateVoiceWindows() override { Call("UpdateVoiceWindows"); }
  bool GetTBOption() const override { return tbOption; }
  void OnStop() override { Call("OnStop"); }
  void LoadVolumeBar(int flag) override { Call("LoadVolumeBar(" + std::to_string(flag) + ")"); }
  IOutputEngine* GetBoardDevice() override { return m_engine; }

 private:
  void Call(std::string call) { m_log->calls.push_back(std::move(call)); }

  std::shared_ptr<Log> m_log;
  FakeOutputEngine* m_engine;
};

}  // namespace startuptest
