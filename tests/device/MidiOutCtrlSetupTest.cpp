// Tests of the output engine's set-up through the player, over the recording stand-in emulator.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EmuFixture.h"
#include "device/KzSoundDevice.h"
#include "device/MidiOutCtrl.h"
#include "platform/host/testing/FakeHost.h"
#include "platform/midi/testing/FakeMidiBackend.h"

namespace {

using ::testing::ElementsAre;

class MidiOutCtrlSetup : public ::testing::Test {
 protected:
  void SetUp() override { host.settings.appDir = emutest::VariantDir("recording"); }
  platform::FakeHost host;
  platform::FakeMidiBackend backend;
  platform::ScopedMidiBackend useBackend{backend};
};

TEST_F(MidiOutCtrlSetup, ChoosesDeviceAndCreateByArgumentProfileAndMaker) {
  struct Case {
    int argument, profile, maker;
    int result, connection, kind;
    const char* library;
    const char* create;  // the Create call, or "" for none
  };
  const Case cases[] = {
      {3, 2, 1, 1, 3, 1, "kz3qelemu.so", "KzSound_Create(1)"},
      {3, 4, 1, 1, 3, 7, "kz3qelemu.so", ""},
      {3, 6, 2, 1, 3, 5, "Qelemu.so", "KzSound_Create(7)"},
      {3, 1, 1, 0, 0, 0, "kz3qelemu.so", ""},
      {4, 2, 1, 1, 4, 11, "K5_EmuQel5.so", "KzSound_Create(1)"},
      {2, 3, 1, 1, 2, 9, "K5_EmuQel5.so", ""},
      {5, 2, 1, 1, 2, 11, "K5_EmuQel5.so", ""},
      {6, 2, 1, 0, 0, 0, "kz3qelemu.so", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.argument << "," << c.profile << "," << c.maker);
    host.settings.outputProfile = c.profile;
    host.settings.makerId = c.maker;
    emutest::EmuRecord record(host.settings.appDir + c.library);
    TMidiOutCtrl engine;
    EXPECT_EQ(engine.SetupSoundDevice(c.argument), c.result);
    EXPECT_EQ(engine.GetConnectionKind(), c.connection);
    EXPECT_EQ(engine.GetPlayer()->GetKind(), c.kind);
    std::vector<std::string> creates = record.CallsOf("KzSound_Create");
    if (*c.create) {
      EXPECT_THAT(creates, ElementsAre(c.create));
      EXPECT_GE(engine.GetPlayer()->GetInstanceId(), 1);
    } else {
      EXPECT_TRUE(creates.empty());
    }
    EXPECT_EQ(engine.GetDeviceModeValue(), c.result ? c.connection : 0);
  }
  EXPECT_EQ(CKzSoundDevice::GetGroupUseCount(1), 0);
  EXPECT_EQ(CKzSoundDevice::GetGroupUseCount(8), 0);
  EXPECT_TRUE(host.messages.shown.empty());
}

TEST_F(MidiOutCtrlSetup, EndOfPlayOnTheEmulatorPostsTheStopCommand) {
  TMidiOutCtrl engine;
  ASSERT_EQ(engine.SetupSoundDevice(3), 1);
  CEmuPlayer& player = *engine.GetPlayer();
  std::vector<uint8_t> image = emutest::ShortSongImage(20);
  ASSERT_GE(player.Load(image.data(), static_cast<int32_t>(image.size()), 1), 0);
  ASSERT_EQ(player.Open(0, 0), 0);
  ASSERT_EQ(player.Standby(0), 0);
  ASSERT_EQ(player.Start(0), 0);
  ASSERT_TRUE(host.notify.WaitForPosts(1, 10000));
  EXPECT_EQ(host.notify.Posts().front(), (platform::RecordedPost{platform::kWmCommand, platform::kStopCommand, 0}));
}

TEST_F(MidiOutCtrlSetup, MidiPortsAndFailingLibrariesGiveKindZeroWithoutAMessage) {
  TMidiOutCtrl engine;
  EXPECT_EQ(engine.GetConnectionKind(), 1);
  EXPECT_EQ(engine.SetupSoundDevice(1), 1);
  EXPECT_EQ(engine.GetConnectionKind(), 1);
  EXPECT_EQ(engine.GetDeviceModeValue(), 0);
  EXPECT_EQ(engine.OpenBoard(0), 0);
  for (const char* variant : {"empty", "failing_init"}) {
    SCOPED_TRACE(variant);
    host.settings.appDir = emutest::VariantDir(variant);
    EXPECT_EQ(engine.SetupSoundDevice(3), 0);
    EXPECT_EQ(engine.GetConnectionKind(), 0);
    EXPECT_EQ(engine.GetPlayer()->GetDevice(), nullptr);
  }
  EXPECT_EQ(CKzSoundDevice::GetGroupUseCount(1), 0);
  EXPECT_TRUE(host.messages.shown.empty());
}

TEST_F(MidiOutCtrlSetup, DestructionDeletesTheInstanceThenEndsTheLibrary) {
  emutest::EmuRecord record(host.settings.appDir + "kz3qelemu.so");
  int32_t instance = 0;
  {
    TMidiOutCtrl engine;
    ASSERT_EQ(engine.SetupSoundDevice(3), 1);
    instance = engine.GetPlayer()->GetInstanceId();
    record.Clear();
    // Board commands of the set-up reach nothing: the driver device takes no controls.
    engine.ResetBoard();
    engine.SendBoardCommand11(5);
    engine.SendBoardCommand07(0);
    engine.SendBoardCommand09b(100);
    engine.SendBoardCommand13(0, 0, 0, 0);
    engine.SendBoardParam03_06(0);
    engine.SendBoardParam03_09(0);
    EXPECT_TRUE(record.Calls().empty()) << ::testing::PrintToString(record.Calls());
  }
  EXPECT_THAT(record.CallsOf("KzSound_"),
              ElementsAre("KzSound_Delete(" + std::to_string(instance) + ")", "KzSound_Terminate()"));
}

TEST_F(MidiOutCtrlSetup, EmulatorBranchesOfTheBoardCommands) {
  TMidiOutCtrl engine;
  host.settings.outputProfile = 1;
  host.settings.makerId = 2;
  ASSERT_EQ(engine.SetupSoundDevice(3), 1);
  EXPECT_EQ(engine.SendBoardCommand07(3), 0);
  EXPECT_EQ(engine.SendBoardCommand07(2), 1);
  engine.SendBoardCommand13(1, 0, 0, 1);
  EXPECT_EQ(engine.GetPlayer()->GetOptionWord(), 0);
  engine.SendBoardCommand13(1, 0, 0, 0);
  EXPECT_EQ(engine.GetPlayer()->GetOptionWord(), 1);
  EXPECT_FALSE(engine.IsPlaying());
}

TEST_F(MidiOutCtrlSetup, OutputDeviceIndexComesFromTheProfileAndStaysWithinTheDevices) {
  host.profile.WriteProfileInt("Setting", "MIDIDeviceOut", 1);
  backend.SetDevices({"Synth A", "Synth B"}, {});
  TMidiOutCtrl engine;
  EXPECT_EQ(engine.GetMidiOutDevice(), 1);
  EXPECT_EQ(engine.SetMidiOutDevice(2), 0) << "the number of devices is no index";
  EXPECT_EQ(engine.GetMidiOutDevice(), 1);
  EXPECT_EQ(engine.SetMidiOutDevice(0), 1);
  EXPECT_EQ(engine.GetMidiOutDevice(), 0);
  EXPECT_EQ(engine.GetMidiOutName(1), "Synth B");
  EXPECT_EQ(engine.GetMidiOutName(2), "");
  EXPECT_EQ(engine.GetMidiInName(0), "");
}

}  // namespace
