// The voice editor sheet: when it refuses to open, its device switch, the gate on its sends,
// the user waves it keeps and its audition on the emulator.
#include "TestPaths.h"
#include "voice/ui/KZxVoiceEditDlg.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>

#include "VoiceEditFixture.h"
#include "platform/dynlib/DynamicLibrary.h"
#include "song/MemStream.h"
#include "song/document/KZ1Doc.h"
#include "voice/AuditionImage.h"
#include "voice/ui/KZxVoiceEditPropertyPageFM.h"

namespace {

using voiceedittest::VoiceEditTest;

class KZxVoiceEditDlgTest : public VoiceEditTest {};

TEST_F(KZxVoiceEditDlgTest, RefusesWithoutAWindowAndWithoutSends) {
  struct Row {
    const char* name;
    CVoiceItem voice;
    bool playing;
    int modeSetting;
  };
  CVoiceItem drum12 = Voice(125, 0, 0);
  drum12.SetNote(12);
  CVoiceItem drum92 = Voice(125, 0, 0);
  drum92.SetNote(92);
  CVoiceItem extended = Voice(124, 1, 5);
  extended.SetExtFlag(1);
  const Row rows[] = {{"playing", Voice(124, 1, 5), true, 0},  {"msb 0", Voice(0, 0, 5), false, 0},
                      {"124/10", Voice(124, 10, 5), false, 0}, {"drum 12", drum12, false, 0},
                      {"drum 92", drum92, false, 0},          {"extension", extended, false, 2}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    engine.calls.clear();
    engine.playing = r.playing;
    host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", r.modeSetting);
    CKZxVoiceEditDlg sheet("Voice Edit", nullptr, 0, Shell());
    sheet.Init(r.voice, 1);
    bool shown = false;
    QTimer::singleShot(0, [&] { shown = QApplication::activeModalWidget() != nullptr; });
    EXPECT_EQ(sheet.DoModal(), 2);
    QApplication::processEvents();
    EXPECT_FALSE(shown);
    EXPECT_TRUE(engine.calls.empty());
    EXPECT_TRUE(frameLog->calls.empty());
  }
}

TEST_F(KZxVoiceEditDlgTest, DrumNotes13And91Open) {
  for (int note : {13, 91}) {
    CVoiceItem drum = Voice(125, 0, 3);
    drum.SetNote(static_cast<uint8_t>(note));
    CKZxVoiceEditDlg sheet("Voice Edit", nullptr, 0, Shell());
    sheet.Init(drum, 1);
    bool shown = false;
    EXPECT_EQ(RunSheet(sheet, [&](CKZxVoiceEditDlg& s) { shown = s.isVisible(); }, false), 2);
    EXPECT_TRUE(shown);
  }
}

TEST_F(KZxVoiceEditDlgTest, PhraseProfilesHaveTheFmPageOnly) {
  for (int profile : {4, 6, 2}) {
    host.settings.outputProfile = profile;
    CKZxVoiceEditDlg sheet("Voice Edit", nullptr, 0, Shell());
    EXPECT_EQ(sheet.PageCount(), profile == 2 ? 2 : 1) << profile;
  }
  host.settings.chipMode = 5;
  CKZxVoiceEditDlg none("Voice Edit", nullptr, 0, Shell());
  EXPECT_EQ(none.PageCount(), 0);
}

TEST_F(KZxVoiceEditDlgTest, EmulatorKind4IsSetUpWith5WhileOpenAnd4After) {
  CKZ1Doc doc;
  host.registry.document = &doc;
  doc.SetModifiedFlags(2);
  CEmuPlayer player;
  engine.player = &player;
  engine.connectionKind = 4;
  engine.setupConnectionKind = 4;
  CKZxVoiceEditDlg sheet("Voice Edit", nullptr, 0, Shell());
  sheet.Init(Voice(124, 1, 5), 1);
  std::vector<std::string> whileOpen;
  RunSheet(sheet, [&](CKZxVoiceEditDlg&) { whileOpen = engine.CallsOf("SetupSoundDevice"); }, true);
  EXPECT_EQ(whileOpen, (std::vector<std::string>{"SetupSoundDevice(5)"}));
  EXPECT_EQ(engine.CallsOf("SetupSoundDevice"), (std::vector<std::string>{"SetupSoundDevice(5)", "SetupSoundDevice(4)"}));
  EXPECT_EQ(frameLog->calls, (std::vector<std::string>{"PostCommand(1391)", "LoadVolumeBar(1)"}));
  EXPECT_NE(doc.TestModifiedFlags(2), 0);
  host.registry.document = nullptr;
}

TEST_F(KZxVoiceEditDlgTest, MidiKindLeavesTheDeviceAndProfileOneNeedsMaker2Or4) {
  engine.connectionKind = 1;
  CKZxVoiceEditDlg sheet("Voice Edit", nullptr, 0, Shell());
  sheet.Init(Voice(124, 1, 5), 1);
  EXPECT_EQ(sheet.SwitchSoundDevice(1), 1);
  EXPECT_TRUE(engine.CallsOf("SetupSoundDevice").empty());
  EXPECT_EQ(sheet.SwitchSoundDevice(0), 1);
  EXPECT_TRUE(engine.CallsOf("SetupSoundDevice").empty());
  frameLog->calls.clear();
  host.settings.outputProfile = 1;
  host.settings.makerId = 1;
  EXPECT_EQ(sheet.SwitchSoundDevice(1), 0);
  EXPECT_TRUE(frameLog->calls.empty());
  host.settings.makerId = 2;
  EXPECT_EQ(sheet.SwitchSoundDevice(1), 1);
  EXPECT_EQ(frameLog->calls, (std::vector<std::string>{"PostCommand(1391)"}));
}

TEST_F(KZxVoiceEditDlgTest, ForwardersSendOnlyAtKinds1And2WhileIdle) {
  CKZxVoiceEditDlg sheet("Voice Edit", nullptr, 0, Shell());
  const CVoiceItem v = Voice(124, 1, 5);
  auto sendAll = [&] {
    engine.calls.clear();
    sheet.SendBankSelect(0, 124, 1);
    sheet.SendProgramChange(0, 5);
    sheet.SendMasterVolume(90);
    sheet.SendVoice(v);
    sheet.SendVoiceParams(v);
    sheet.SendBankVoices(v);
    sheet.SendWaveId(7);
    return engine.calls.size();
  };
  for (int kind : {0, 1, 2, 3, 4}) {
    engine.connectionKind = kind;
    EXPECT_EQ(sendAll(), (kind == 1 || kind == 2) ? 7u : 0u) << kind;
  }
  engine.connectionKind = 1;
  engine.playing = true;
  EXPECT_EQ(sendAll(), 0u);
  engine.playing = false;
  sendAll();
  EXPECT_EQ(engine.calls, (std::vector<std::string>{"SendBankSelect(0,124,1)", "SendProgramChange(0,5)",
                                                     "SendBoardCommand09(90)", "SendVoice(0)", "SendVoiceParams",
                                                     "SendBankVoices", "SendBoardCommand04(7)"}));
}

TEST_F(KZxVoiceEditDlgTest, UserWavesAreKeptAtKind3AndSentAtKind1) {
  CKZxVoiceEditDlg sheet("Voice Edit", nullptr, 0, Shell());
  const uint8_t data[4] = {1, 2, 3, 4};
  engine.connectionKind = 3;
  EXPECT_EQ(sheet.SetUserWave(15, data, 4), 1);
  ASSERT_NE(sheet.GetUserWave(15), nullptr);
  EXPECT_EQ(sheet.GetUserWave(15)->GetSize(), 4);
  EXPECT_TRUE(engine.calls.empty());
  EXPECT_EQ(sheet.DeleteUserWave(15), 1);
  EXPECT_EQ(sheet.GetUserWave(15), nullptr);
  engine.connectionKind = 1;
  sheet.SetUserWave(23, data, 4);
  sheet.DeleteUserWave(23);
  EXPECT_EQ(sheet.GetUserWave(23), nullptr);
  EXPECT_EQ(engine.calls, (std::vector<std::string>{"SendBoardData0C(23,4)", "SendBoardCommand0D(23)"}));
  engine.connectionKind = 0;
  engine.calls.clear();
  sheet.SetUserWave(31, data, 4);
  EXPECT_TRUE(engine.calls.empty());
  EXPECT_EQ(sheet.GetUserWave(31), nullptr);
}

/// The recording stand-in emulator's calls and last loaded image.
struct EmuRecord {
  EmuRecord() {
    lib.Open(std::string(VOICE_EMU_DIR) + "kz3qelemu.so");
    read = lib.Function<int32_t (*)(char*, int32_t)>("KzEmuTest_ReadRecord");
    clear = lib.Function<void (*)()>("KzEmuTest_ClearRecord");
    image = lib.Function<int32_t (*)(uint8_t*, int32_t)>("KzEmuTest_ReadLastImage");
  }
  std::vector<std::string> Calls(const std::vector<std::string>& names) const {
    std::string text(static_cast<size_t>(read(nullptr, 0)) + 1, '\0');
    read(text.data(), static_cast<int32_t>(text.size()));
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
      const std::string line = text.substr(start, end - start);
      for (const std::string& n : names)
        if (line.rfind(n + "(", 0) == 0) out.push_back(n);
    }
    return out;
  }
  std::vector<uint8_t> LastImage() const {
    std::vector<uint8_t> out(static_cast<size_t>(image(nullptr, 0)));
    image(out.data(), static_cast<int32_t>(out.size()));
    return out;
  }
  platform::DynamicLibrary lib;
  int32_t (*read)(char*, int32_t) = nullptr;
  void (*clear)() = nullptr;
  int32_t (*image)(uint8_t*, int32_t) = nullptr;
};

TEST_F(KZxVoiceEditDlgTest, AuditionLoadsTheImageOnTheEmulatorAndRestartsIt) {
  host.settings.appDir = VOICE_EMU_DIR;
  CEmuPlayer player;
  ASSERT_EQ(player.CreateDevice(1), 1);
  ASSERT_GE(player.Create(1), 0);
  engine.player = &player;
  engine.connectionKind = 3;
  EmuRecord record;
  ASSERT_NE(record.read, nullptr);
  record.clear();
  CKZxVoiceEditDlg sheet("Voice Edit", nullptr, 0, Shell());
  const CVoiceItem voice = Voice(124, 1, 5, 0);
  EXPECT_EQ(sheet.Audition(0, 60, 100, 64, 3000, voice), 1);
  const std::vector<std::string> names = {"KzSound_Stop", "KzSound_Close", "KzSound_Unload", "KzSound_Load",
                                          "KzSound_Open", "KzSound_Standby", "KzSound_Start"};
  EXPECT_EQ(record.Calls(names),
            (std::vector<std::string>{"KzSound_Load", "KzSound_Open", "KzSound_Standby", "KzSound_Start"}));
  CMemStream expected;
  BuildAuditionVelk(AuditionUserWaves{}, expected, 0, 60, 100, 64, 3000, voice);
  EXPECT_EQ(record.LastImage(), std::vector<uint8_t>(expected.GetData(), expected.GetData() + expected.GetSize()));
  EXPECT_EQ(player.Control(6), CEmuPlayer::kPlaying);
  record.clear();
  sheet.Audition(0, 62, 100, 64, 3000, voice);
  EXPECT_EQ(record.Calls(names), (std::vector<std::string>{"KzSound_Stop", "KzSound_Close", "KzSound_Unload", "KzSound_Load",
                                                           "KzSound_Open", "KzSound_Standby", "KzSound_Start"}));
  player.Shutdown(1);
  engine.connectionKind = 1;
}

TEST_F(KZxVoiceEditDlgTest, EnterLeavesTheSheetOpen) {
  CKZxVoiceEditDlg sheet("Voice Edit", nullptr, 0, Shell());
  sheet.Init(Voice(124, 1, 5), 1);
  bool stillOpen = false;
  RunSheet(sheet,
           [&](CKZxVoiceEditDlg& s) {
             QTest::keyClick(s.FmPage(), Qt::Key_Return);
             QTest::keyClick(&s, Qt::Key_Enter);
             QApplication::processEvents();
             stillOpen = s.isVisible();
           },
           false);
  EXPECT_TRUE(stillOpen);
}

TEST_F(KZxVoiceEditDlgTest, DestructorSendsTheApplicationsMasterVolume) {
  host.settings.masterVolume = 77;
  {
    CKZxVoiceEditDlg sheet("Voice Edit", nullptr, 0, Shell());
  }
  EXPECT_EQ(engine.calls, (std::vector<std::string>{"SendBoardCommand09(77)"}));
}

}  // namespace
