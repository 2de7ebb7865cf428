// Tests of the set-up engine over the recording stand-in emulator.
#include "app/core/HeadlessOutputEngine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "../../device/EmuFixture.h"
#include "device/KzSoundDevice.h"
#include "platform/host/testing/FakeHost.h"

namespace {

using ::testing::ElementsAre;

class HeadlessOutputEngineTest : public ::testing::Test {
 protected:
  void SetUp() override { host.settings.appDir = emutest::VariantDir("recording"); }
  platform::FakeHost host;
};

using HeadlessOutputEngineSetup = HeadlessOutputEngineTest;

TEST_F(HeadlessOutputEngineSetup, ChoosesDeviceAndCreateByArgumentProfileAndMaker) {
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
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.argument << "," << c.profile << "," << c.maker);
    host.settings.outputProfile = c.profile;
    host.settings.makerId = c.maker;
    emutest::EmuRecord record(host.settings.appDir + c.library);
    HeadlessOutputEngine engine;
    EXPECT_EQ(engine.SetupSoundDevice(c.argument), c.result);
    EXPECT_EQ(engine.GetConnectionKind(), c.connection);
    EXPECT_EQ(engine.GetDeviceKind(), c.kind);
    std::vector<std::string> creates = record.CallsOf("KzSound_Create");
    if (*c.create) {
      EXPECT_THAT(creates, ElementsAre(c.create));
      EXPECT_GE(engine.GetInstance(), 1);
      EXPECT_EQ(engine.GetNotifyCommand(), 1391);
    } else {
      EXPECT_TRUE(creates.empty());
    }
    EXPECT_EQ(engine.GetDeviceModeValue(), c.result ? c.connection : 0);
  }
  EXPECT_EQ(CKzSoundDevice::GetGroupUseCount(1), 0);
  EXPECT_EQ(CKzSoundDevice::GetGroupUseCount(8), 0);
}

TEST_F(HeadlessOutputEngineSetup, MidiPortsAndMissingLibrary) {
  HeadlessOutputEngine engine;
  EXPECT_EQ(engine.SetupSoundDevice(1), 1);
  EXPECT_EQ(engine.GetConnectionKind(), 1);
  EXPECT_EQ(engine.GetDeviceModeValue(), 0);
  EXPECT_EQ(engine.OpenBoard(0), 0);
  EXPECT_EQ(engine.QueryBoard(2), 255);
  host.settings.appDir = emutest::VariantDir("empty");
  EXPECT_EQ(engine.SetupSoundDevice(3), 0);
  EXPECT_EQ(engine.GetConnectionKind(), 0);
  EXPECT_EQ(engine.GetDevice(), nullptr);
  host.settings.appDir = emutest::VariantDir("failing_init");
  EXPECT_EQ(engine.SetupSoundDevice(3), 0);
  EXPECT_EQ(engine.GetConnectionKind(), 0);
  EXPECT_EQ(CKzSoundDevice::GetGroupUseCount(1), 0);
}

TEST_F(HeadlessOutputEngineSetup, DestructionDeletesTheInstanceThenEndsTheLibrary) {
  emutest::EmuRecord record(host.settings.appDir + "kz3qelemu.so");
  int32_t instance = 0;
  {
    HeadlessOutputEngine engine;
    ASSERT_EQ(engine.SetupSoundDevice(3), 1);
    instance = engine.GetInstance();
    record.Clear();
    // Board commands of the set-up reach nothing: the driver device takes no controls.
    engine.ResetBoard();
    engine.SendBoardCommand11(5);
    engine.SendBoardCommand07(0);
    engine.SendBoardCommand09b(100);
    engine.SendBoardCommand13(0, 0, 0, 0);
    engine.SendBoardParam03_06(0);
    engine.SendBoardParam03_09(0);
    EXPECT_TRUE(record.Calls().empty());
  }
  EXPECT_THAT(record.Calls(), ElementsAre("KzSound_Delete(" + std::to_string(instance) + ")", "KzSound_Terminate()"));
}

TEST_F(HeadlessOutputEngineSetup, EmulatorBranchesOfTheBoardCommands) {
  HeadlessOutputEngine engine;
  host.settings.outputProfile = 1;
  host.settings.makerId = 2;
  ASSERT_EQ(engine.SetupSoundDevice(3), 1);
  EXPECT_EQ(engine.SendBoardCommand07(3), 0);
  EXPECT_EQ(engine.SendBoardCommand07(2), 1);
  engine.SendBoardCommand13(1, 0, 0, 1);
  EXPECT_EQ(engine.GetGen3Setting(), 0);
  engine.SendBoardCommand13(1, 0, 0, 0);
  EXPECT_EQ(engine.GetGen3Setting(), 1);
  EXPECT_FALSE(engine.IsPlaying());
}

}  // namespace
