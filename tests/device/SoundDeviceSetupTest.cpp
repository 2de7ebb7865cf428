// Tests of the rules that choose the sound device and fill its parameter block.
#include "device/SoundDeviceSetup.h"

#include <gtest/gtest.h>

#include "EmuFixture.h"
#include "device/KzSoundEmuDevice.h"
#include "platform/host/testing/FakeHost.h"

namespace {

TEST(SoundDeviceSetup, ChoosesConnectionAndKindByArgumentProfileAndMaker) {
  struct Case {
    int argument, profile, maker;
    bool ok;
    int connection, kind, blockMode;
  };
  const Case cases[] = {
      {1, 2, 1, true, 1, 0, 0},    {3, 2, 1, true, 3, 1, 0},    {3, 5, 1, true, 3, 1, 0},
      {3, 8, 1, true, 3, 1, 0},    {3, 3, 1, true, 3, 2, 0},    {3, 4, 1, true, 3, 7, 0},
      {3, 1, 2, true, 3, 3, 0},    {3, 7, 4, true, 3, 4, 0},    {3, 6, 2, true, 3, 5, 0},
      {3, 6, 4, true, 3, 6, 0},    {3, 1, 1, false, 0, 0, 0},   {3, 6, 1, false, 0, 0, 0},
      {3, 9, 1, false, 0, 0, 0},   {4, 2, 1, true, 4, 11, 2},   {2, 3, 1, true, 2, 9, 1},
      {5, 5, 1, true, 2, 11, 3},   {2, 4, 1, true, 2, 16, 1},   {2, 8, 1, true, 2, 10, 1},
      {4, 1, 2, true, 4, 13, 2},   {4, 7, 4, true, 4, 14, 2},   {4, 1, 3, false, 0, 0, 0},
      {2, 6, 2, false, 0, 0, 0},   {2, 0, 1, false, 0, 0, 0},   {0, 2, 1, false, 0, 0, 0},
      {6, 2, 1, false, 0, 0, 0}};
  for (const Case& c : cases) {
    SoundDeviceChoice got = ChooseSoundDevice(c.argument, c.profile, c.maker, GetForcedDeviceKind());
    SCOPED_TRACE(::testing::Message() << c.argument << "," << c.profile << "," << c.maker);
    EXPECT_EQ(got.ok, c.ok);
    EXPECT_EQ(got.connectionKind, c.connection);
    EXPECT_EQ(got.deviceKind, c.kind);
    EXPECT_EQ(got.blockMode, c.blockMode);
  }
  EXPECT_EQ(ChooseSoundDevice(5, 2, 1, 0).argument, 2);
}

TEST(SoundDeviceSetup, ForcedKindReplacesOnlyTheEmulatorKind) {
  EXPECT_EQ(GetForcedDeviceKind(), 0);
  EXPECT_EQ(ChooseSoundDevice(4, 2, 1, 15).deviceKind, 15);
  EXPECT_EQ(ChooseSoundDevice(3, 2, 1, 15).deviceKind, 1);
  EXPECT_FALSE(ChooseSoundDevice(2, 6, 1, 15).ok);
}

TEST(SoundDeviceSetup, MapDeviceModeTable) {
  struct Case {
    int argument, profile, maker, mode;
  };
  const Case cases[] = {{2, 4, 1, 2}, {2, 1, 2, 6}, {2, 7, 4, 6}, {2, 1, 1, 1}, {2, 6, 2, 1}, {2, 2, 1, 1},
                        {3, 6, 2, 7}, {3, 6, 4, 7}, {3, 6, 3, 1}, {3, 4, 2, 2}, {3, 1, 4, 6}, {3, 2, 1, 1},
                        {4, 6, 2, 1}, {4, 4, 1, 2}, {1, 4, 1, 1}, {5, 1, 2, 1}};
  for (const Case& c : cases) {
    EXPECT_EQ(MapDeviceMode(c.argument, c.profile, c.maker), c.mode) << c.argument << "," << c.profile << "," << c.maker;
  }
}

TEST(SoundDeviceSetup, CreateStepByBlockModeAndByte) {
  struct Case {
    int blockMode, byte;
    bool ok, create;
  };
  for (const Case& c : {Case{2, 1, true, true}, Case{2, 6, true, true}, Case{2, 7, true, true},
                        Case{2, 2, true, false}, Case{2, 3, false, false}, Case{1, 1, true, false},
                        Case{3, 1, true, false}}) {
    CreateStep step = ChooseCreateStep(c.blockMode, c.byte);
    EXPECT_EQ(step.ok, c.ok) << c.blockMode << "," << c.byte;
    EXPECT_EQ(step.create, c.create) << c.blockMode << "," << c.byte;
  }
}

TEST(SoundDeviceSetup, ProfileParamsByProfileAndMaker) {
  struct Case {
    int profile, maker;
    bool tb;
    int a, b, c, d;
  };
  const Case cases[] = {
      {1, 1, false, 2, 0, 0, 1},    {1, 2, false, 1, 0, 0, 1},  {1, 3, false, 0xFF, 0, 0, 1},
      {1, 4, true, 3, 0, 0, 0},     {7, 1, true, 2, 0, 0, 0},   {7, 4, false, 3, 0, 0, 1},
      {2, 1, false, 0, 0, 0, 0},    {3, 2, false, 0, 0, 0, 0},  {5, 3, false, 0, 0, 0, 0},
      {8, 4, false, 0, 0, 0, 0},    {4, 1, false, 0, 1, 0, 0},  {6, 1, false, 2, 1, 0, 0},
      {6, 2, true, 1, 1, 0, 0},     {6, 3, false, 0xFF, 1, 0, 0}, {6, 4, false, 3, 1, 0, 0},
      {9, 1, false, 0xFF, 0, 0, 0}};
  for (const Case& c : cases) {
    ProfileParams p = GetProfileParams(c.profile, c.maker, c.tb);
    SCOPED_TRACE(::testing::Message() << c.profile << "," << c.maker);
    EXPECT_EQ(p.a, c.a);
    EXPECT_EQ(p.b, c.b);
    EXPECT_EQ(p.c, c.c);
    EXPECT_EQ(p.d, c.d);
  }
}

TEST(SoundDeviceSetup, FillsTheBlockInMessageLayout) {
  CDeviceParamBlock block;
  block.SetMode(1);
  FillDeviceParamBlock(block, 5, ProfileParams{1, 1, 0, 1}, 2, 4);
  EXPECT_EQ(block.GetMode(), 1);
  EXPECT_EQ(block.GetFlag1(), 1);
  EXPECT_EQ(block.GetValue2(), 1);
  EXPECT_EQ(block.GetFlag3(), 1);
  EXPECT_EQ(block.GetFlag4(), 0);
  EXPECT_EQ(block.GetFlag5(), 1);
  EXPECT_EQ(block.GetValue7F11(), 5);
  EXPECT_EQ(block.GetValue7F07(), 4);
  EXPECT_EQ(block.GetValue7E09(), 100);
  for (auto [setting, value] : {std::pair{0, 0}, {1, 1}, {2, 5}, {3, 0}, {-1, 0}}) {
    EXPECT_EQ(ModeValueFromSetting(setting), value) << setting;
  }
}

TEST(SoundDeviceSetup, CreatesAndBindsLikeThePlayer) {
  platform::FakeHost host;
  host.settings.appDir = emutest::VariantDir("recording");
  emutest::EmuRecord record(host.settings.appDir + "K5_EmuQel5.so");
  std::unique_ptr<CKzSoundDevice> device;
  CDeviceParamBlock block;
  block.SetMode(1);
  ASSERT_EQ(CreateBoundSoundDevice(12, &block, nullptr, device), 1);
  auto* emu = dynamic_cast<CKzSoundEmuDevice*>(device.get());
  ASSERT_NE(emu, nullptr);
  EXPECT_EQ(emu->GetEmulationMode(), 3);
  // Mode 1 forwards device controls once set up: the two set-up controls reach the library.
  std::vector<std::string> calls = record.CallsOf("KzSound_DeviceControl");
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[calls.size() - 2], "KzSound_DeviceControl(5,2,0,0)");
  EXPECT_EQ(calls.back(), "KzSound_DeviceControl(8,2,0,0)");
  device.reset();

  EXPECT_EQ(CreateBoundSoundDevice(20, nullptr, nullptr, device), 0);
  EXPECT_EQ(device, nullptr);
  emutest::EmuRecord drv(host.settings.appDir + "kz3qelemu.so");
  ASSERT_EQ(CreateBoundSoundDevice(7, nullptr, nullptr, device), 1);
  EXPECT_EQ(drv.CallsOf("Phrase_SetEvHandler").size(), 1u);
}

}  // namespace
