// The voice editor's test bench: a recording output engine with a real emulator player, a main
// frame around it, the application's editor values, a voice library and the fake host.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/core/TrillotApp.h"
#include "device/EmuPlayer.h"
#include "platform/host/testing/FakeHost.h"
#include "song/VoiceItem.h"
#include "song/VoiceLibrary.h"
#include "tests/app/core/StartupFakes.h"
#include "voice/ui/KZxVoiceEditDlg.h"

namespace voiceedittest {

/// The engine the sheet reaches through the main frame: every call recorded with its
/// arguments, the connection kind and playing flag set by the test.
class RecordingEngine : public startuptest::FakeOutputEngine {
 public:
  std::vector<CVoiceItem> sentVoices;

  int SendVoice(const CVoiceItem& item, int option) override {
    sentVoices.push_back(item);
    return startuptest::FakeOutputEngine::SendVoice(item, option);
  }
  /// The calls whose text starts with `prefix`.
  std::vector<std::string> CallsOf(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& c : calls)
      if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
  }
};

class RecordingFrame : public startuptest::FakeMainFrame {
 public:
  RecordingFrame(std::shared_ptr<Log> log, RecordingEngine* engine) : FakeMainFrame(std::move(log), engine) {}
  void PutVoiceClip(const uint8_t* record) override {
    std::copy(record, record + 7, clip);
    hasClip = true;
  }
  int GetVoiceClip(uint8_t* record) const override {
    if (!hasClip) return 0;
    std::copy(clip, clip + 7, record);
    return 1;
  }
  bool HasVoiceClip() const override { return hasClip; }
  uint8_t clip[7] = {};
  bool hasClip = false;
};

class VoiceEditTest : public ::testing::Test {
 protected:
  VoiceEditTest() : frame(frameLog, &engine) {
    host.registry.voiceLibrary = &library;
    app.SetEditorMasterVolume(100);
    app.SetEditorVelocity(64);
    app.SetEditorGateTime(30);
    engine.connectionKind = 1;
  }

  VoiceEditShell Shell() { return {&app, &frame}; }

  static CVoiceItem Voice(int msb, int lsb, int program, int alg = 2) {
    CVoiceItem v;
    v.SetBankMsb(static_cast<uint8_t>(msb));
    v.SetBankLsb(static_cast<uint8_t>(lsb));
    v.SetProgram(static_cast<uint8_t>(program));
    v.SetAlgorithm(static_cast<uint8_t>(alg));
    v.SetName("Test Voice");
    return v;
  }

  /// Runs the sheet; `whileOpen` runs once it is up, then the sheet closes with OK or Cancel
  /// (unless `whileOpen` closed it). The sheet's result.
  int RunSheet(CKZxVoiceEditDlg& sheet, const std::function<void(CKZxVoiceEditDlg&)>& whileOpen, bool ok) {
    QTimer::singleShot(0, &sheet, [&sheet, whileOpen, ok] {
      if (whileOpen) whileOpen(sheet);
      // A refused OK leaves the sheet open: Cancel closes it then.
      if (ok && sheet.isVisible()) sheet.Ok();
      if (sheet.isVisible()) sheet.Cancel();
    });
    return sheet.DoModal();
  }

  platform::FakeHost host;
  CTrillotApp app;
  CVoiceLibrary library;
  RecordingEngine engine;
  std::shared_ptr<startuptest::FakeMainFrame::Log> frameLog = std::make_shared<startuptest::FakeMainFrame::Log>();
  RecordingFrame frame;
};

/// The bytes of a voice's four blocks, in record order.
inline std::vector<uint8_t> BlockBytes(const CVoiceItem& v) {
  std::vector<uint8_t> out(v.GetHeader(), v.GetHeader() + CVoiceItem::kHeaderSize);
  out.insert(out.end(), v.GetFmVoice(), v.GetFmVoice() + CVoiceItem::kFmSize);
  out.insert(out.end(), v.GetPcmVoice(), v.GetPcmVoice() + CVoiceItem::kPcmSize);
  out.insert(out.end(), v.GetExtBlock(), v.GetExtBlock() + CVoiceItem::kExtSize);
  return out;
}

}  // namespace voiceedittest
