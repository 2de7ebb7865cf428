// Tests of the main window's bar handlers over a recording engine: the combos, spins and edits
// of the control and volume bars, the transport buttons and the presets.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <algorithm>
#include <deque>
#include <memory>

#include "app/core/AppPlayState.h"
#include "app/core/TrillotApp.h"
#include "app/ui/MainFrame.h"
#include "platform/host/testing/FakeHost.h"
#include "song/document/KZ1Doc.h"
#include "tests/app/core/StartupFakes.h"
#include "tests/app/ui/MainFrameFakes.h"
#include "uikit/ActionRegistry.h"
#include "uikit/DialogTemplate.h"
#include "uikit/UpDownControl.h"

namespace {

using mainframetest::RecordingEngine;
using ::testing::Contains;
using ::testing::Each;
using ::testing::IsEmpty;
using ::testing::ElementsAre;
using ::testing::Not;

class MainFrameBars : public ::testing::Test {
 protected:
  void SetUp() override {
    appPlayState().repeat = false;
    app.SetAppDir("/nonexistent/");
    app.SetChipMode(3);
    host.profile.WriteProfileInt("Setting", "OutputType", 1);
  }
  void TearDown() override {
    frame.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  CMainFrame& Make() {
    auto owned = std::make_unique<RecordingEngine>();
    engine = owned.get();
    frame = std::make_unique<CMainFrame>(app, nullptr, [&owned] { return std::move(owned); });
    EXPECT_EQ(frame->OnCreate(), 0);
    engine->calls.clear();
    return *frame;
  }
  CKZ1Doc& OpenSong() {
    app.SetDocument(std::make_unique<CKZ1Doc>());
    return *app.GetDocument();
  }
  template <typename T>
  T* Control(int id) const {
    return ui::item<T>(frame.get(), id);
  }
  /// Selects a combo's entry as the user does.
  void Choose(int comboId, const QString& text) {
    auto* combo = Control<QComboBox>(comboId);
    combo->setCurrentText(text);
    emit combo->activated(combo->currentIndex());
  }
  std::vector<std::string> CallsNamed(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& c : engine->calls)
      if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
  }

  platform::FakeHost host;
  CTrillotApp app;
  RecordingEngine* engine = nullptr;
  std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrameBars, KeyAndTempoChangeSendTheirValues) {
  Make();
  for (const char* text : {"+12", "0", "-12"}) Choose(2152, text);
  for (const char* text : {"70", "130"}) Choose(2556, text);
  EXPECT_THAT(CallsNamed("SendBoardParam03_11"),
              ElementsAre("SendBoardParam03_11(24)", "SendBoardParam03_11(12)", "SendBoardParam03_11(0)"));
  EXPECT_THAT(CallsNamed("SendBoardParam03_10"), ElementsAre("SendBoardParam03_10(70)", "SendBoardParam03_10(130)"));
}

TEST_F(MainFrameBars, LevelAboveThirtyOneIsCappedStoredAndSent) {
  Make();
  auto* sp = Control<QLineEdit>(1389);
  sp->setText("45");
  EXPECT_EQ(sp->text(), "31");
  EXPECT_EQ(app.GetSpVolume(), 31);
  // The edit's own check of the range may run the handler once more; only 31 is ever sent.
  EXPECT_THAT(CallsNamed("SendBoardParam03a"), Each(std::string("SendBoardParam03a(31)")));
  EXPECT_THAT(CallsNamed("SendBoardParam03a"), Not(IsEmpty()));
  Control<QLineEdit>(1381)->setText("7");
  EXPECT_THAT(CallsNamed("SendBoardParam03b"), ElementsAre("SendBoardParam03b(7,7)"));
  Control<QLineEdit>(1379)->setText("");
  EXPECT_THAT(CallsNamed("SendBoardParam03c"), ElementsAre("SendBoardParam03c(0)"));
}

TEST_F(MainFrameBars, MasterVolumeEditSendsAndWritesTheSong) {
  Make();
  CKZ1Doc& doc = OpenSong();
  // The song's master-volume message before its first note.
  const uint8_t volume[] = {0xF0, 0x07, 0x43, 0x79, 0x06, 0x7F, 0x00, 100, 0xF7};
  const uint8_t note[] = {0x90, 60, 100};
  doc.GetMidiList()->push_back(std::make_unique<CMidiMsg>(0u, 0u, 9u, volume, 0u));
  doc.GetMidiList()->push_back(std::make_unique<CMidiMsg>(0u, 480u, 3u, note, 0u));
  doc.ResetModifiedFlags();
  Control<QLineEdit>(1384)->setText("90");
  EXPECT_EQ(app.GetMasterVolume(), 90);
  EXPECT_THAT(CallsNamed("SendBoardCommand09"), ElementsAre("SendBoardCommand09(90)"));
  EXPECT_NE(doc.TestModifiedFlags(1), 0u);
  EXPECT_EQ(doc.GetMidiList()->front()->GetByte(7), 90);
}

TEST_F(MainFrameBars, TempoStepToZeroIsRefused) {
  Make();
  CKZ1Doc& doc = OpenSong();
  auto* spin = Control<ui::UpDownControl>(1393);
  spin->setValue(1);
  const int before = doc.GetTempo();
  spin->stepBy(-1);
  EXPECT_EQ(spin->value(), 1);
  EXPECT_EQ(doc.GetTempo(), before);
  spin->stepBy(1);
  EXPECT_EQ(spin->value(), 2);
  EXPECT_EQ(doc.GetTempo(), 2);
  EXPECT_EQ(Control<QLineEdit>(1392)->text(), "2");
}

TEST_F(MainFrameBars, TimeBaseStepDownFromOneStaysAtOne) {
  Make();
  CKZ1Doc& doc = OpenSong();
  doc.SetTimeBaseKZ3(1);
  Control<ui::UpDownControl>(1396)->stepBy(-1);
  EXPECT_EQ(doc.GetTimeBaseKZ3(), 1);
  EXPECT_EQ(frame->OnCtrlBarTimebase(480), 1);
  EXPECT_EQ(doc.GetTimeBaseKZ3(), 480);
  app.SetDocument(nullptr);
  EXPECT_EQ(frame->OnCtrlBarTimebase(10), 0);
}

TEST_F(MainFrameBars, SectionCombosWithoutCuePointsAndForProfilesOneAndSeven) {
  CMainFrame& f = Make();
  OpenSong();
  f.FillSectionCombo();
  auto* sections = Control<QComboBox>(1377);
  ASSERT_EQ(sections->count(), 1);
  EXPECT_EQ(sections->currentText(), "Overall");
  for (int profile : {1, 7}) {
    for (int chipMode : {3, 5}) {
      SCOPED_TRACE(testing::Message() << "profile " << profile << ", chip mode " << chipMode);
      app.SetOutputProfile(profile);
      app.SetChipMode(chipMode);
      f.FillSectionCombo();
      auto* tb = Control<QComboBox>(2217);
      ASSERT_EQ(tb->count(), 2);
      EXPECT_EQ(tb->itemText(0), "Overall");
      EXPECT_EQ(tb->itemText(1), "Partial");
      EXPECT_EQ(tb->currentIndex(), chipMode == 5 ? 1 : 0);
    }
  }
}

TEST_F(MainFrameBars, DefaultPresetDisablesSetAndAMissingOneGivesTheDefaults) {
  Make();
  auto* presets = Control<QComboBox>(5001);
  auto* set = Control<QPushButton>(5000);
  EXPECT_FALSE(set->isEnabled());
  app.SetSpVolume(5);
  app.SetMasterVolume(77);
  Choose(5001, "C");
  EXPECT_TRUE(set->isEnabled());
  EXPECT_EQ(app.GetMasterVolume(), 100);
  EXPECT_EQ(Control<QLineEdit>(1384)->text(), "100");
  EXPECT_EQ(app.GetSpVolume(), 31);
  EXPECT_EQ(app.GetHpVolume(), 31);
  EXPECT_EQ(app.GetEqLevel(), 31);
  // "Set" stores the levels under the preset; choosing it again gives them back.
  Control<QLineEdit>(1389)->setText("12");
  set->click();
  EXPECT_EQ(host.profile.GetProfileInt("Setting\\Volume\\C", "SP", -1), 12);
  EXPECT_EQ(host.profile.GetProfileString("Setting\\Volume", "Set", ""), "C");
  Choose(5001, "Default");
  EXPECT_EQ(app.GetSpVolume(), 31);
  EXPECT_FALSE(set->isEnabled());
  Choose(5001, "C");
  EXPECT_EQ(app.GetSpVolume(), 12);
  EXPECT_EQ(presets->currentText(), "C");
}

TEST_F(MainFrameBars, ProfileFourPresetKeepsTheMasterVolume) {
  app.SetOutputProfile(4);
  Make();
  app.SetMasterVolume(77);
  host.profile.WriteProfileInt("Setting\\Volume\\A", "MV", 20);
  Choose(5001, "A");
  EXPECT_EQ(app.GetMasterVolume(), 77);
}

TEST_F(MainFrameBars, PlayDisablesPlayAndRewindAndStopReenablesThem) {
  CMainFrame& f = Make();
  OpenSong();
  f.UpdateStatusPanes();
  f.SendCommand(CMainFrame::kPlayCommand);
  EXPECT_TRUE(engine->playing);
  EXPECT_FALSE(Control<QPushButton>(1387)->isEnabled());
  EXPECT_FALSE(Control<QPushButton>(1388)->isEnabled());
  EXPECT_TRUE(Control<QPushButton>(1391)->isEnabled());
  f.SendCommand(CMainFrame::kStopCommand);
  EXPECT_FALSE(engine->playing);
  EXPECT_TRUE(Control<QPushButton>(1387)->isEnabled());
  EXPECT_FALSE(Control<QPushButton>(1391)->isEnabled());
}

TEST_F(MainFrameBars, SerialPlayOfAnUnchangedSongStartsTheBoardAtOnce) {
  host.profile.WriteProfileInt("Setting", "OutputType", 0);
  auto boardLog = std::make_shared<startuptest::FakeBoardLink::Log>();
  app.SetBoardLinkFactory([boardLog](const std::string&) {
    return std::make_unique<startuptest::FakeBoardLink>(boardLog, std::deque<std::string>{"01"});
  });
  ASSERT_TRUE(app.OpenBoardPort(1));
  app.SetSongOnBoard(true);
  CMainFrame& f = Make();
  int sends = 0;
  f.SetSongSender([&sends] { return ++sends; });
  CKZ1Doc& doc = OpenSong();
  doc.SetModifiedFlags(CKZ1Doc::kFlagUnsent);
  boardLog->calls.clear();
  f.SendCommand(CMainFrame::kPlayCommand);
  EXPECT_EQ(sends, 0);
  EXPECT_THAT(boardLog->calls, Contains(::testing::StartsWith("SetPlayParams")));
  EXPECT_THAT(engine->calls, Not(Contains("Play")));
  // A changed song is sent first, once.
  doc.AddModifiedFlags(CKZ1Doc::kFlagUnsent);
  f.SendCommand(CMainFrame::kPlayCommand);
  f.SendCommand(CMainFrame::kPlayCommand);
  EXPECT_EQ(sends, 1);
  EXPECT_EQ(doc.TestModifiedFlags(CKZ1Doc::kFlagUnsent), 0);
}

TEST_F(MainFrameBars, PlayWithNothingOpenChangesNothing) {
  CMainFrame& f = Make();
  f.SendCommand(CMainFrame::kPlayCommand);
  EXPECT_THAT(engine->calls, Not(Contains("Play")));
  EXPECT_FALSE(engine->playing);
  // Not even a Stop or a level goes to the engine, and the buttons keep their states.
  EXPECT_THAT(engine->calls, IsEmpty());
  EXPECT_EQ(app.GetDocument(), nullptr);
  for (int id : {1387, 1388, 1391}) EXPECT_FALSE(Control<QPushButton>(id)->isEnabled()) << id;
}

TEST_F(MainFrameBars, SerialBoardPlaysAnUnchangedSongAtOnceAndSendsAChangedOneFirst) {
  struct Row {
    const char* name;
    bool changed;
    int sendResult;
    int sends;
    bool starts;
    bool unsentAfter;
  };
  const Row rows[] = {{"unchanged", false, 1, 0, true, false},
                      {"changed", true, 1, 1, true, false},
                      {"changed, the send fails", true, 0, 1, false, true}};
  host.profile.WriteProfileInt("Setting", "OutputType", 0);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    auto boardLog = std::make_shared<startuptest::FakeBoardLink::Log>();
    app.SetBoardLinkFactory([boardLog](const std::string&) {
      return std::make_unique<startuptest::FakeBoardLink>(boardLog, std::deque<std::string>{"OK", "01"});
    });
    frame.reset();
    CMainFrame& f = Make();
    CKZ1Doc& doc = OpenSong();
    ASSERT_EQ(app.OpenBoardPort(1), 1);
    app.SetSongOnBoard(true);
    doc.ResetModifiedFlags();
    if (r.changed) doc.AddModifiedFlags(CKZ1Doc::kFlagUnsent);
    int sends = 0;
    f.SetSongSender([&sends, &r] {
      ++sends;
      return r.sendResult;
    });
    boardLog->calls.clear();
    f.SendCommand(CMainFrame::kPlayCommand);
    EXPECT_EQ(sends, r.sends);
    EXPECT_EQ(doc.TestModifiedFlags(CKZ1Doc::kFlagUnsent) != 0, r.unsentAfter);
    std::vector<std::string> starts;
    for (const std::string& c : boardLog->calls)
      if (c.rfind("SetPlayParams", 0) == 0) starts.push_back(c);
    EXPECT_EQ(starts.size(), r.starts ? 1u : 0u);
    // An unchanged song is neither stopped nor sent: the start is all that reaches the board.
    if (!r.changed) {
      EXPECT_EQ(boardLog->calls, starts);
    }
    EXPECT_THAT(engine->calls, Not(Contains("Play")));
    app.OpenBoardPort(0);
  }
}

TEST_F(MainFrameBars, RepeatSetsTheFlagAndSwitchesTheBoard) {
  Make();
  OpenSong();
  auto* repeat = Control<QPushButton>(1383);
  repeat->setEnabled(true);
  repeat->click();
  EXPECT_TRUE(appPlayState().repeat.load());
  EXPECT_THAT(CallsNamed("SetBoardSwitch"), ElementsAre("SetBoardSwitch(1)"));
  repeat->click();
  EXPECT_FALSE(appPlayState().repeat.load());
}

TEST_F(MainFrameBars, VoiceClipHoldsOneRecord) {
  CMainFrame& f = Make();
  uint8_t out[7] = {};
  EXPECT_EQ(f.GetVoiceClip(out), 0);
  const uint8_t record[7] = {1, 2, 3, 4, 5, 6, 7};
  f.PutVoiceClip(nullptr);
  EXPECT_FALSE(f.HasVoiceClip());
  f.PutVoiceClip(record);
  EXPECT_TRUE(f.HasVoiceClip());
  EXPECT_EQ(f.GetVoiceClip(out), 1);
  EXPECT_TRUE(std::equal(out, out + 7, record));
  EXPECT_EQ(f.GetVoiceClip(nullptr), 0);
}

TEST_F(MainFrameBars, BarTogglesHideAndShowAndCheckWhileShown) {
  CMainFrame& f = Make();
  f.show();
  for (int id : {59392, 32795, 40978, 40985}) {
    EXPECT_EQ(f.Router().Update(id).checked, std::optional<bool>(true)) << id;
    f.SendCommand(id);
    EXPECT_EQ(f.Router().Update(id).checked, std::optional<bool>(false)) << id;
    f.SendCommand(id);
    EXPECT_EQ(f.Router().Update(id).checked, std::optional<bool>(true)) << id;
  }
}

TEST_F(MainFrameBars, FmmToggleStoresTheModeAndClearsCuePoints) {
  CMainFrame& f = Make();
  CKZ1Doc& doc = OpenSong();
  doc.SetCuePoint(3, 10, 0);
  f.SendCommand(32791);
  EXPECT_EQ(f.GetFMMMode(), 1);
  EXPECT_EQ(host.profile.GetProfileInt("Setting", "FMMMode", -1), 1);
  EXPECT_EQ(doc.GetCuePoint(3), CKZ1Doc::kNoCue);
  EXPECT_EQ(f.Router().Update(32791).checked, std::optional<bool>(true));
  f.SendCommand(32791);
  EXPECT_EQ(f.GetFMMMode(), 0);
}

}  // namespace
