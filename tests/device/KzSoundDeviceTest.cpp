// Tests of the sound devices bound to the recording stand-in emulator.
#include "device/KzSoundDevice.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EmuFixture.h"
#include "device/KzSoundDrvDevice.h"
#include "device/KzSoundEmuDevice.h"
#include "platform/host/testing/FakeHost.h"

namespace {

using ::testing::ElementsAre;

class SoundDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override { host.settings.appDir = emutest::VariantDir("recording"); }

  emutest::EmuRecord Record(const char* file) { return emutest::EmuRecord(host.settings.appDir + file); }

  platform::FakeHost host;
};

using KzSoundDevice = SoundDeviceTest;
using KzSoundEmuDevice = SoundDeviceTest;

TEST_F(KzSoundDevice, KindsOneAndTwoEachStartTheSharedLibrary) {
  emutest::EmuRecord record = Record("kz3qelemu.so");
  {
    CKzSoundDrvDevice one;
    CKzSoundDrvDevice two;
    EXPECT_EQ(one.LoadDll(1), 1);
    EXPECT_EQ(two.LoadDll(2), 1);
    EXPECT_EQ(CKzSoundDevice::GetGroupUseCount(1), 1);
    EXPECT_EQ(CKzSoundDevice::GetGroupUseCount(2), 1);
    EXPECT_EQ(record.CallsOf("KzSound_Initialize").size(), 2u);
  }
  EXPECT_EQ(record.CallsOf("KzSound_Terminate").size(), 2u);
  EXPECT_EQ(CKzSoundDevice::GetGroupUseCount(1), 0);
  EXPECT_EQ(CKzSoundDevice::GetGroupUseCount(2), 0);
}

TEST_F(KzSoundDevice, OneGroupStartsAndEndsTheLibraryOnce) {
  emutest::EmuRecord record = Record("K5_EmuQel5.so");
  auto first = std::make_unique<CKzSoundEmuDevice>();
  auto second = std::make_unique<CKzSoundEmuDevice>();
  ASSERT_EQ(first->LoadDll(12), 1);
  ASSERT_EQ(second->LoadDll(9), 1);
  EXPECT_EQ(CKzSoundDevice::GetGroupUseCount(8), 2);
  EXPECT_EQ(record.CallsOf("KzSound_EmuInitialize").size(), 1u);
  first.reset();
  EXPECT_TRUE(record.CallsOf("KzSound_EmuTerminate").empty());
  second.reset();
  EXPECT_EQ(record.CallsOf("KzSound_EmuTerminate").size(), 1u);
  EXPECT_EQ(CKzSoundDevice::GetGroupUseCount(8), 0);
}

TEST_F(KzSoundDevice, KindsWithoutALibraryOrFileLoadNothing) {
  CKzSoundDrvDevice device;
  EXPECT_EQ(device.LoadDll(0), 0);
  EXPECT_EQ(device.LoadDll(17), 0);
  EXPECT_EQ(device.GetKind(), 0);
  host.settings.appDir = emutest::VariantDir("empty");
  EXPECT_EQ(device.LoadDll(3), 0);
  EXPECT_EQ(device.GetKind(), 3);
  EXPECT_FALSE(device.HasModule());
  EXPECT_EQ(CKzSoundDevice::GetGroupUseCount(3), 0);
  EXPECT_EQ(device.Create(1), -1);
  EXPECT_EQ(device.Generate(nullptr, 0, 0), 0);
}

TEST_F(KzSoundDevice, FailedOpenKeepsTheLibraryCounted) {
  host.settings.appDir = emutest::VariantDir("failing_init");
  {
    CKzSoundDrvDevice device;
    EXPECT_EQ(device.LoadDll(1), 0);
    EXPECT_TRUE(device.HasModule());
    EXPECT_EQ(CKzSoundDevice::GetGroupUseCount(1), 1);
    EXPECT_EQ(device.BindEntryPoints(), 0);
  }
  EXPECT_EQ(CKzSoundDevice::GetGroupUseCount(1), 0);
}

TEST_F(KzSoundDevice, MissingEntryOnlyFailsItsForwarder) {
  host.settings.appDir = emutest::VariantDir("no_setvolume");
  CKzSoundDrvDevice device;
  ASSERT_EQ(device.LoadDll(7), 1);  // kind 7 starts the phrase library
  EXPECT_FALSE(device.HasEntry(KzEntry::PhraseSetVolume));
  EXPECT_EQ(device.Phrase_SetVolume(0, 100), -1);
  EXPECT_EQ(device.Phrase_GetVolume(0), 100);
  EXPECT_EQ(device.DeviceControl(13, 0, 0, 0), 0);
  EXPECT_EQ(device.SendMidiMsg(nullptr, 0), -1);
  EXPECT_EQ(device.GetMidiMsg(0, nullptr, 0), -1);  // the driver has no message entries
}

TEST_F(KzSoundDevice, SelectsTheLibraryAndGroupByKind) {
  struct Case {
    int kind;
    const char* library;
    int group;
  };
  for (const Case& c : {Case{1, "kz3qelemu.dll", 1}, Case{2, "kz3qelemu.dll", 2}, Case{7, "kz3qelemu.dll", 7},
                        Case{3, "Qelemu.dll", 3}, Case{6, "Qelemu.dll", 6}, Case{8, "K5_EmuQel5.dll", 8},
                        Case{16, "K5_EmuQel5.dll", 8}, Case{0, nullptr, 0}, Case{17, nullptr, 0}}) {
    EXPECT_EQ(SoundDeviceGroup(c.kind), c.group) << c.kind;
    if (c.library) {
      EXPECT_STREQ(SoundLibraryName(c.kind), c.library) << c.kind;
    } else {
      EXPECT_EQ(SoundLibraryName(c.kind), nullptr) << c.kind;
    }
  }
}

TEST_F(KzSoundEmuDevice, FreshKindElevenOpensWithExactlyTheseCalls) {
  emutest::EmuRecord record = Record("K5_EmuQel5.so");
  CKzSoundEmuDevice device;
  ASSERT_EQ(device.LoadDll(11), 1);
  EXPECT_THAT(record.Calls(),
              ElementsAre("KzSound_EmuInitialize(32000,3,129)", "KzSound_Initialize()",
                          "KzSound_DeviceControl(13,0,0,0)", "KzSound_DeviceControl(21,0,0,0)",
                          "KzSound_DeviceControl(2,31,0,0)", "KzSound_DeviceControl(3,0,31,31)",
                          "KzSound_DeviceControl(4,31,0,0)", "KzSound_DeviceControl(5,2,0,0)",
                          "KzSound_DeviceControl(6,0,0,0)", "KzSound_DeviceControl(8,2,0,0)",
                          "KzSound_DeviceControl(9,0,0,0)", "KzSound_Terminate()",
                          "SetMidiMsg(F0 43 79 06 7F 13 00 F7)", "SetMidiMsg(F0 43 79 06 7F 11 00 F7)",
                          "SetMidiMsg(F0 43 79 06 7F 07 00 F7)", "SetMidiMsg(F0 43 79 06 7E 09 64 F7)",
                          "KzSound_Initialize()", "KzSound_DeviceControl(21,0,0,0)"));
  EXPECT_TRUE(device.IsSetUp());
  EXPECT_TRUE(device.IsSoundRunning());
  record.Clear();
  device.Unbind();
  EXPECT_EQ(record.Calls().front(), "KzSound_Terminate()");
  EXPECT_EQ(record.Calls().back(), "KzSound_EmuTerminate()");
}

TEST_F(KzSoundEmuDevice, BlockModeOneEmulatesInModeThree) {
  emutest::EmuRecord record = Record("K5_EmuQel5.so");
  CDeviceParamBlock block;
  block.SetMode(1);
  CKzSoundEmuDevice device(&block);
  EXPECT_EQ(device.GetEmulationMode(), 3);
  ASSERT_EQ(device.LoadDll(13), 1);
  std::vector<std::string> calls = record.Calls();
  EXPECT_EQ(calls.front(), "KzSound_EmuInitialize(32000,5,3)");
  // Mode 3 stops the sound after the controls and leaves it stopped.
  EXPECT_EQ(calls.back(), "SetMidiMsg(F0 43 79 06 7E 09 64 F7)");
  EXPECT_FALSE(device.IsSoundRunning());
}

TEST_F(KzSoundEmuDevice, KindFifteenOnlyStartsTheEmulator) {
  emutest::EmuRecord record = Record("K5_EmuQel5.so");
  CKzSoundEmuDevice device;
  ASSERT_EQ(device.LoadDll(15), 1);
  EXPECT_THAT(record.Calls(), ElementsAre("KzSound_EmuInitialize(0,127,129)"));
  EXPECT_EQ(device.GetSamplingRate(), 0);
}

TEST_F(KzSoundEmuDevice, RemembersAcceptedDeviceMessages) {
  CKzSoundEmuDevice device;
  ASSERT_EQ(device.LoadDll(11), 1);
  const uint8_t fields[8] = {0xF0, 0x43, 0x79, 0x06, 0x7F, 0x13, 0x5D, 0xF7};
  const uint8_t reserve[8] = {0xF0, 0x43, 0x79, 0x06, 0x7F, 0x07, 0x03, 0xF7};
  const uint8_t other[8] = {0xF0, 0x43, 0x79, 0x05, 0x7F, 0x11, 0x09, 0xF7};
  EXPECT_EQ(device.SendMidiMsg(fields, 8), 0);
  EXPECT_EQ(device.SendMidiMsg(reserve, 8), 0);
  EXPECT_EQ(device.SendMidiMsg(other, 8), 0);
  const CDeviceParamBlock& b = device.GetParamBlock();
  EXPECT_EQ(b.GetFlag1(), 1);
  EXPECT_EQ(b.GetValue2(), 5);
  EXPECT_EQ(b.GetFlag3(), 1);
  EXPECT_EQ(b.GetFlag4(), 0);
  EXPECT_EQ(b.GetFlag5(), 1);
  EXPECT_EQ(b.GetValue7F07(), 3);
  EXPECT_EQ(b.GetValue7F11(), 0);  // group byte 05 is not a device message
  EXPECT_EQ(device.SendMidiMsg(fields, 0), -1);
}

TEST_F(KzSoundEmuDevice, OutsideDeviceControlFollowsTheBlockMode) {
  emutest::EmuRecord record = Record("K5_EmuQel5.so");
  CKzSoundEmuDevice device;  // mode 2
  ASSERT_EQ(device.LoadDll(11), 1);
  record.Clear();
  EXPECT_EQ(device.DeviceControl(5, 2, 0, 0), 0);
  EXPECT_EQ(device.DeviceControl(13, 1, 0, 0), 0);
  EXPECT_THAT(record.Calls(), ElementsAre("KzSound_DeviceControl(13,1,0,0)"));

  CDeviceParamBlock one;
  one.SetMode(1);
  CKzSoundEmuDevice unbound(&one);
  EXPECT_EQ(unbound.DeviceControl(5, 2, 0, 0), 0);  // not set up: nothing forwarded
  CDeviceParamBlock bad;
  bad.SetMode(7);
  CKzSoundEmuDevice odd(&bad);
  EXPECT_EQ(odd.DeviceControl(13, 0, 0, 0), -1);
}

TEST_F(KzSoundEmuDevice, ControlCreateAndLoadRules) {
  emutest::EmuRecord record = Record("K5_EmuQel5.so");
  CDeviceParamBlock block;
  block.SetMode(1);
  block.Set7F13Fields(0, 0, 0, 1, 1);
  CKzSoundEmuDevice device(&block);
  ASSERT_EQ(device.LoadDll(13), 1);
  record.Clear();
  EXPECT_EQ(device.Control(1, -1, 6, 0, 0), 0);
  EXPECT_TRUE(record.Calls().empty());
  int32_t inst = device.Create(1);
  ASSERT_GE(inst, 1);
  std::vector<uint8_t> image = emutest::ShortSongImage(10);
  ASSERT_GE(device.Load(inst, image.data(), static_cast<int32_t>(image.size()), 0, nullptr, 0), 0);
  EXPECT_EQ(record.CallsOf("KzSound_Load").back(), "KzSound_Load(" + std::to_string(inst) + "," +
                                                        std::to_string(image.size()) + ",0,3)");
  ASSERT_GE(device.Create(9), 1);  // after a Create with 9 the caller's option goes through
  ASSERT_GE(device.Load(inst, image.data(), static_cast<int32_t>(image.size()), 0, nullptr, 0), 0);
  EXPECT_EQ(record.CallsOf("KzSound_Load").back(), "KzSound_Load(" + std::to_string(inst) + "," +
                                                        std::to_string(image.size()) + ",0,0)");
}

}  // namespace
