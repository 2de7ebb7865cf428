// Tests of the emulator player on the recording stand-in emulator, loaded by dlopen from a
// program folder of its own.
#include "device/EmuPlayer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "EmuFixture.h"
#include "device/KzSoundEmuDevice.h"
#include "platform/host/testing/FakeHost.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using platform::RecordedPost;

const RecordedPost kStopPost{platform::kWmCommand, platform::kStopCommand, 0};

class EmuPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override { host.settings.appDir = emutest::VariantDir("recording"); }

  emutest::EmuRecord Record(const char* file) { return emutest::EmuRecord(host.settings.appDir + file); }

  /// The player on `kind` as the output engine sets it up: bound, notifying, with an instance.
  void SetUpKind(int kind, const CDeviceParamBlock* block = nullptr) {
    ASSERT_EQ(player.CreateDevice(kind, block), 1);
    player.SetNotify(&host.notify, platform::kWmCommand, platform::kStopCommand, 0);
    ASSERT_GE(player.Create(1), 1);
  }

  /// Load, Open and Standby of an image that plays `ms` milliseconds; state 3 after.
  void MakeReady(uint8_t ms) {
    std::vector<uint8_t> image = emutest::ShortSongImage(ms);
    ASSERT_GE(player.Load(image.data(), static_cast<int32_t>(image.size()), 1), 0);
    ASSERT_EQ(player.Open(0, 0), 0);
    ASSERT_EQ(player.Standby(0), 0);
    ASSERT_EQ(player.Control(6), 3);
  }

  /// The calls after the first one that starts with `from`.
  static std::vector<std::string> After(const std::vector<std::string>& calls, const std::string& from) {
    for (size_t i = 0; i < calls.size(); ++i)
      if (calls[i].rfind(from, 0) == 0) return {calls.begin() + static_cast<long>(i) + 1, calls.end()};
    return {};
  }

  /// The calls that start with one of `names`, in order.
  static std::vector<std::string> Only(const std::vector<std::string>& calls, std::initializer_list<const char*> names) {
    std::vector<std::string> out;
    for (const std::string& call : calls)
      for (const char* name : names)
        if (call.rfind(name, 0) == 0) out.push_back(call);
    return out;
  }

  platform::FakeHost host;
  CEmuPlayer player;
};

using EmuPlayer = EmuPlayerTest;

TEST_F(EmuPlayer, FullRunReportsEachStateThroughControl6) {
  struct Case {
    int kind;
    const char* library;
  };
  for (const Case& c : {Case{1, "kz3qelemu.so"}, Case{4, "Qelemu.so"}, Case{11, "K5_EmuQel5.so"}}) {
    SCOPED_TRACE(c.kind);
    emutest::EmuRecord record = Record(c.library);
    SetUpKind(c.kind);
    std::vector<uint8_t> image = emutest::ShortSongImage(200);
    EXPECT_EQ(player.Control(6), 0);
    ASSERT_GE(player.Load(image.data(), static_cast<int32_t>(image.size()), 1), 0);
    EXPECT_EQ(player.Control(6), 1);
    EXPECT_EQ(player.Open(0, 0), 0);
    EXPECT_EQ(player.Control(6), 2);
    EXPECT_EQ(player.Standby(0), 0);
    EXPECT_EQ(player.Control(6), 3);
    EXPECT_EQ(player.Start(0), 0);
    EXPECT_EQ(player.Control(6), 4);
    EXPECT_EQ(player.Stop(0), 0);
    EXPECT_EQ(player.Control(6), 3);
    EXPECT_EQ(player.Close(0), 0);
    EXPECT_EQ(player.Control(6), 1);
    EXPECT_EQ(player.Unload(0), 0);
    EXPECT_EQ(player.Control(6), 0);
    EXPECT_EQ(player.GetSequenceId(), -1);
    EXPECT_EQ(Only(record.Calls(), {"KzSound_Load", "KzSound_Open", "KzSound_Standby", "KzSound_Start",
                                    "KzSound_Stop", "KzSound_Close", "KzSound_Unload"})
                  .size(),
              7u);
    player.Shutdown(1);
  }
}

TEST_F(EmuPlayer, CallsOutsideTheirStateAnswerMinusOneAndReachNoEntry) {
  emutest::EmuRecord record = Record("kz3qelemu.so");
  SetUpKind(1);
  record.Clear();
  EXPECT_EQ(player.Open(0, 0), -1);
  EXPECT_EQ(player.Standby(0), -1);
  EXPECT_EQ(player.Seek(10), -1);
  EXPECT_EQ(player.Start(0), -1);
  EXPECT_EQ(player.Stop(0), -1);
  EXPECT_EQ(player.Close(0), -1);
  EXPECT_EQ(player.Unload(0), -1);
  EXPECT_EQ(player.Control(4), -1);
  EXPECT_TRUE(record.Calls().empty()) << ::testing::PrintToString(record.Calls());
  std::vector<uint8_t> image = emutest::ShortSongImage(50);
  ASSERT_GE(player.Load(image.data(), static_cast<int32_t>(image.size()), 1), 0);
  const int32_t sequence = player.GetSequenceId();
  record.Clear();
  EXPECT_EQ(player.Load(image.data(), static_cast<int32_t>(image.size()), 1), -1) << "a second Load is refused";
  EXPECT_EQ(player.Standby(0), -1);
  EXPECT_EQ(player.Start(0), -1);
  EXPECT_EQ(player.Close(0), -1);
  EXPECT_EQ(player.GetSequenceId(), sequence);
  EXPECT_TRUE(Only(record.Calls(), {"KzSound_Load", "KzSound_Standby", "KzSound_Start", "KzSound_Close"}).empty());
  EXPECT_EQ(player.Control(6), 1);
  EXPECT_EQ(player.Create(2), -1) << "an instance exists";
}

TEST_F(EmuPlayer, NegativeLibraryResultComesBackUnchanged) {
  SetUpKind(1);
  const uint8_t junk[] = {'M', 'M', 'M', 'D', 0x00, 0x00, 0x10, 0x00, 'C', 'N'};
  EXPECT_EQ(player.Load(junk, sizeof junk, 1), -2);
  EXPECT_EQ(player.GetSequenceId(), -1);
  EXPECT_TRUE(player.GetStreamData(0).empty());
  CEmuPlayer bare;
  ASSERT_EQ(bare.CreateDevice(1), 1);
  std::vector<uint8_t> image = emutest::ShortSongImage(50);
  EXPECT_EQ(bare.Load(image.data(), static_cast<int32_t>(image.size()), 1), -1) << "no instance: the library refuses";
}

TEST_F(EmuPlayer, ShutdownInState4StopsClosesUnloadsAndDeletesInOrder) {
  emutest::EmuRecord record = Record("kz3qelemu.so");
  SetUpKind(1);
  const int32_t instance = player.GetInstanceId();
  player.SetRepeat(4);
  player.SetOptionWord(1);
  player.Control(0, 90);
  MakeReady(200);
  ASSERT_EQ(player.Start(0), 0);
  player.Control(2, 5);
  record.Clear();
  player.Shutdown(0);
  EXPECT_THAT(Only(record.Calls(), {"KzSound_Stop", "KzSound_Close", "KzSound_Unload", "KzSound_Delete"}),
              ElementsAre(HasSubstr("KzSound_Stop"), HasSubstr("KzSound_Close"), HasSubstr("KzSound_Unload"),
                          "KzSound_Delete(" + std::to_string(instance) + ")"));
  EXPECT_EQ(player.GetInstanceId(), -1);
  EXPECT_EQ(player.GetSequenceId(), -1);
  EXPECT_EQ(player.GetRepeat(), 1);
  EXPECT_EQ(player.GetOptionWord(), 0);
  EXPECT_EQ(player.GetSetting(0), 100);
  EXPECT_EQ(player.GetSetting(1), 100);
  EXPECT_EQ(player.GetSetting(2), 0);
  EXPECT_TRUE(player.GetStreamData(0).empty());
  EXPECT_FALSE(player.IsArmed());
  EXPECT_NE(player.GetDevice(), nullptr);
  EXPECT_TRUE(record.CallsOf("KzSound_Terminate").empty());
  player.Shutdown(1);
  EXPECT_EQ(player.GetDevice(), nullptr);
  EXPECT_EQ(record.CallsOf("KzSound_Terminate").size(), 1u) << "the last user of the group went";
}

TEST_F(EmuPlayer, ShutdownWithReleaseTerminatesOnlyWithTheLastUserOfTheGroup) {
  emutest::EmuRecord record = Record("K5_EmuQel5.so");
  CKzSoundEmuDevice other;
  ASSERT_EQ(other.LoadDll(9), 1);
  SetUpKind(12);
  player.Shutdown(1);
  EXPECT_TRUE(record.CallsOf("KzSound_EmuTerminate").empty());
  other.Unbind();
  EXPECT_EQ(record.CallsOf("KzSound_EmuTerminate").size(), 1u);
}

TEST_F(EmuPlayer, CreateDeviceOfKind20DeletesTheOldDevice) {
  emutest::EmuRecord record = Record("kz3qelemu.so");
  SetUpKind(1);
  EXPECT_EQ(player.CreateDevice(20), 0);
  EXPECT_EQ(player.GetDevice(), nullptr);
  EXPECT_EQ(player.GetKind(), 0);
  EXPECT_EQ(CKzSoundDevice::GetGroupUseCount(1), 0);
  EXPECT_EQ(record.CallsOf("KzSound_Terminate").size(), 1u);
  EXPECT_EQ(player.Control(6), 0);
  EXPECT_EQ(player.Start(0), -1);
}

TEST_F(EmuPlayer, CreateDeviceSendsTheSetUpControls) {
  emutest::EmuRecord record = Record("K5_EmuQel5.so");
  CDeviceParamBlock block;
  block.SetMode(1);
  ASSERT_EQ(player.CreateDevice(11, &block), 1);
  EXPECT_EQ(record.CallsOf("KzSound_DeviceControl(5,2,0,0)").size(), 2u) << "once by the device, once by the player";
  EXPECT_EQ(player.GetSetting(0), 127);
  host.settings.appDir = emutest::VariantDir("empty");
  EXPECT_EQ(player.CreateDevice(1), 0) << "no library";
  EXPECT_NE(player.GetDevice(), nullptr) << "the unbound device stays";
  EXPECT_EQ(player.GetKind(), 1);
}

// --- Play settings ---------------------------------------------------------------------------

TEST_F(EmuPlayer, Control0WaitsForTheNextOpenBelowState2) {
  emutest::EmuRecord record = Record("kz3qelemu.so");
  SetUpKind(1);
  std::vector<uint8_t> image = emutest::ShortSongImage(100);
  ASSERT_GE(player.Load(image.data(), static_cast<int32_t>(image.size()), 1), 0);
  const std::string ids = std::to_string(player.GetInstanceId()) + "," + std::to_string(player.GetSequenceId());
  record.Clear();
  EXPECT_EQ(player.Control(0, 90), 0);
  EXPECT_TRUE(record.CallsOf("KzSound_Control(" + ids + ",0,").empty());
  ASSERT_EQ(player.Open(0, 0), 0);
  EXPECT_THAT(After(record.Calls(), "KzSound_Open"), ::testing::Contains("KzSound_Control(" + ids + ",0,90,0)"));
  record.Clear();
  EXPECT_EQ(player.Control(0, 80), 0);
  EXPECT_THAT(record.Calls(), ::testing::Contains("KzSound_Control(" + ids + ",0,80,0)")) << "state 2: at once";
  record.Clear();
  ASSERT_EQ(player.Close(0), 0);
  ASSERT_EQ(player.Open(0, 0), 0);
  EXPECT_TRUE(record.CallsOf("KzSound_Control(" + ids + ",0,").empty()) << "applied once, not at every Open";
}

TEST_F(EmuPlayer, LoopEndIsLimitedToTheLengthAndAStartAfterTheEndIsNotApplied) {
  emutest::EmuRecord record = Record("kz3qelemu.so");
  SetUpKind(1);
  std::vector<uint8_t> image = emutest::ShortSongImage(100);
  ASSERT_GE(player.Load(image.data(), static_cast<int32_t>(image.size()), 1), 0);
  const std::string ids = std::to_string(player.GetInstanceId()) + "," + std::to_string(player.GetSequenceId());
  EXPECT_EQ(player.Control(5), 100);
  player.Control(12, 50);
  player.Control(13, 10);
  ASSERT_EQ(player.Open(0, 0), 0);
  EXPECT_TRUE(record.CallsOf("KzSound_Control(" + ids + ",12,").empty());
  EXPECT_TRUE(record.CallsOf("KzSound_Control(" + ids + ",13,").empty());
  record.Clear();
  player.Control(12, 20);
  player.Control(13, 100000);
  EXPECT_THAT(record.Calls(), ::testing::Contains("KzSound_Control(" + ids + ",12,20,0)"));
  EXPECT_THAT(record.Calls(), ::testing::Contains("KzSound_Control(" + ids + ",13,100,0)"));
  EXPECT_TRUE(record.CallsOf("KzSound_Control(" + ids + ",13,100000").empty());
}

TEST_F(EmuPlayer, SetRepeatInState3MakesStartReopenThenStartWithTheCount) {
  emutest::EmuRecord record = Record("kz3qelemu.so");
  SetUpKind(1);
  MakeReady(200);
  const std::string ids = std::to_string(player.GetInstanceId()) + "," + std::to_string(player.GetSequenceId());
  record.Clear();
  EXPECT_EQ(player.SetRepeat(3), 0);
  ASSERT_EQ(player.Start(0), 0);
  EXPECT_THAT(Only(record.Calls(), {"KzSound_Close", "KzSound_Open", "KzSound_Standby", "KzSound_Start"}),
              ElementsAre("KzSound_Close(" + ids + ",0)", "KzSound_Open(" + ids + ",0,0)",
                          "KzSound_Standby(" + ids + ",0)", "KzSound_Start(" + ids + ",3,0)"));
  ASSERT_EQ(player.Stop(0), 0);
  record.Clear();
  player.SetRepeat(3);
  ASSERT_EQ(player.Start(0), 0);
  EXPECT_THAT(Only(record.Calls(), {"KzSound_Close", "KzSound_Open", "KzSound_Standby", "KzSound_Start"}),
              ElementsAre("KzSound_Start(" + ids + ",3,0)"))
      << "an unchanged count starts at once";
}

TEST_F(EmuPlayer, ClearPendingDropsTheWaitingSettings) {
  emutest::EmuRecord record = Record("kz3qelemu.so");
  SetUpKind(1);
  std::vector<uint8_t> image = emutest::ShortSongImage(100);
  ASSERT_GE(player.Load(image.data(), static_cast<int32_t>(image.size()), 1), 0);
  player.Control(1, 120);
  player.Control(12, 10);
  player.ClearPending();
  record.Clear();
  ASSERT_EQ(player.Open(0, 0), 0);
  const std::string ids = std::to_string(player.GetInstanceId()) + "," + std::to_string(player.GetSequenceId());
  EXPECT_TRUE(record.CallsOf("KzSound_Control(" + ids + ",1,").empty());
  EXPECT_TRUE(record.CallsOf("KzSound_Control(" + ids + ",12,").empty());
  EXPECT_EQ(player.GetSetting(1), 120) << "the value stays stored";
}

TEST_F(EmuPlayer, ControlCodesFollowTheKind) {
  SetUpKind(5);
  EXPECT_EQ(player.Control(1, 100), -1);
  EXPECT_EQ(player.Control(2, 0), -1);
  EXPECT_EQ(player.Control(12, 0), -1);
  EXPECT_EQ(player.Control(0, 100), 0);
  EXPECT_EQ(player.Control(99), -1);
  EXPECT_EQ(player.Control(7, 1), -1) << "no sequence yet";
  EXPECT_EQ(player.DeviceControl(2, 0, 0, 0), 0);
  EXPECT_EQ(player.SendMidiMessage(nullptr, 0), -1);
}

TEST_F(EmuPlayer, ChannelDataIsCopiedAndAChannelByteWithoutDataIsCleared) {
  emutest::EmuRecord record = Record("kz3qelemu.so");
  SetUpKind(1);
  std::vector<uint8_t> image = emutest::ShortSongImage(100);
  ASSERT_GE(player.Load(image.data(), static_cast<int32_t>(image.size()), 1), 0);
  const std::string ids = std::to_string(player.GetInstanceId()) + "," + std::to_string(player.GetSequenceId());
  std::vector<uint8_t> data = {1, 2, 3};
  CEmuPlayer::ChannelData record22{3, data.data(), 3};
  EXPECT_EQ(player.Control(22, reinterpret_cast<intptr_t>(&record22)), 0);
  data.assign(3, 0);
  EXPECT_EQ(player.GetChannelData(3), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_THAT(record.Calls(), ::testing::Contains("KzSound_Control(" + ids + ",22,3,3)"));
  player.Control(23, 0x83);
  player.Control(23, 0x84);
  EXPECT_THAT(record.Calls(), ::testing::Contains("KzSound_Control(" + ids + ",23,131,0)"));
  EXPECT_THAT(record.Calls(), ::testing::Contains("KzSound_Control(" + ids + ",23,0,0)"));
  record.Clear();
  EXPECT_EQ(player.SetChannelData(255, data.data(), 3), 1);
  EXPECT_EQ(player.GetChannelData(16).size(), 3u);
  EXPECT_EQ(player.SetChannelData(3, nullptr, 0), 1);
  EXPECT_THAT(Only(record.Calls(), {"KzSound_Control"}), ElementsAre("KzSound_Control(" + ids + ",6,0,0)",
                                                                     "KzSound_Control(" + ids + ",22,3,0)"))
      << "told in state 1, before the copy goes";
  EXPECT_TRUE(player.GetChannelData(3).empty());
  EXPECT_EQ(player.SetChannelData(17, data.data(), 3), -1);
  EXPECT_EQ(player.SetStreamData(4, data.data(), 3), -1);
  EXPECT_EQ(player.SetStreamData(-1, data.data(), 3), 1);
  EXPECT_EQ(player.GetStreamData(3).size(), 3u);
}

// --- End of play -----------------------------------------------------------------------------

TEST_F(EmuPlayer, EndOfPlayPostsTheStopCommandOncePerStart) {
  SetUpKind(1);
  MakeReady(5);
  ASSERT_EQ(player.Start(0), 0);
  ASSERT_TRUE(host.notify.WaitForPosts(1, 2000));
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_THAT(host.notify.Posts(), ElementsAre(kStopPost));
  EXPECT_FALSE(player.IsArmed());
  EXPECT_EQ(player.Control(6), 3);
  ASSERT_EQ(player.Start(0), 0);
  ASSERT_TRUE(host.notify.WaitForPosts(2, 2000));
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(host.notify.Posts().size(), 2u);
}

TEST_F(EmuPlayer, NothingIsPostedAfterStop) {
  SetUpKind(1);
  MakeReady(40);
  for (int round = 0; round < 3; ++round) {
    ASSERT_EQ(player.Start(0), 0);
    ASSERT_EQ(player.Stop(0), 0);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(90));
  EXPECT_TRUE(host.notify.Posts().empty());
}

TEST_F(EmuPlayer, CallersBufferMayBeFreedRightAfterLoad) {
  SetUpKind(1);
  auto image = std::make_unique<std::vector<uint8_t>>(emutest::ShortSongImage(20));
  const std::vector<uint8_t> original = *image;
  ASSERT_GE(player.Load(image->data(), static_cast<int32_t>(image->size()), 1), 0);
  image.reset();
  EXPECT_EQ(player.GetStreamData(0), original);
  EXPECT_EQ(player.Control(5), 20);
  ASSERT_EQ(player.Open(0, 0), 0);
  ASSERT_EQ(player.Standby(0), 0);
  EXPECT_EQ(player.Seek(5), 0);
  EXPECT_EQ(player.Control(4), 5);
  ASSERT_EQ(player.Start(0), 0);
  EXPECT_TRUE(host.notify.WaitForPosts(1, 2000));
}

// --- Phrases ---------------------------------------------------------------------------------

TEST_F(EmuPlayer, PhraseKindsPlayAndPostOnThePhraseEnd) {
  for (const int kind : {7, 16}) {
    SCOPED_TRACE(kind);
    emutest::EmuRecord record = Record(kind == 7 ? "kz3qelemu.so" : "K5_EmuQel5.so");
    ASSERT_EQ(player.CreateDevice(kind), 1);
    player.SetNotify(&host.notify, platform::kWmCommand, platform::kStopCommand, 0);
    std::vector<uint8_t> image = emutest::ShortSongImage(5);
    EXPECT_EQ(player.SetPhraseData(1, image.data(), static_cast<int32_t>(image.size()), 1), 0);
    EXPECT_EQ(player.GetPhraseId(), 1);
    EXPECT_EQ(player.Control(6), 2);
    EXPECT_EQ(player.Control(5), 5);
    player.SetRepeat(2);
    const size_t before = host.notify.Posts().size();
    ASSERT_EQ(player.Start(0), 0);
    EXPECT_THAT(record.Calls(), ::testing::Contains("Phrase_Play(1,2)"));
    ASSERT_TRUE(host.notify.WaitForPosts(before + 1, 2000));
    EXPECT_EQ(player.Control(6), 3);
    EXPECT_EQ(player.Start(0), -1) << "a phrase starts from state 2 only";
    EXPECT_EQ(player.Load(image.data(), static_cast<int32_t>(image.size()), 1), -1);
    player.Shutdown(1);
  }
}

TEST_F(EmuPlayer, PhraseDataIsSetBelowState3Only) {
  ASSERT_EQ(player.CreateDevice(7), 1);
  std::vector<uint8_t> image = emutest::ShortSongImage(200);
  const int32_t size = static_cast<int32_t>(image.size());
  EXPECT_EQ(player.SetPhraseData(0, image.data(), size, 1), 0);
  EXPECT_EQ(player.SetPhraseData(0, image.data(), size, 1), 0) << "state 2: replaced";
  EXPECT_EQ(player.SetPhraseData(4, image.data(), size, 1), -1);
  ASSERT_EQ(player.Start(0), 0);
  EXPECT_EQ(player.SetPhraseData(0, image.data(), size, 1), -1);
  EXPECT_EQ(player.Stop(0), 0);
  EXPECT_EQ(player.SetPhraseData(0, image.data(), size, 1), -1) << "state 3";
}

TEST_F(EmuPlayer, PhraseVolumeGoesToSetVolumeAndStaysStoredWithoutIt) {
  {
    emutest::EmuRecord record = Record("kz3qelemu.so");
    ASSERT_EQ(player.CreateDevice(7), 1);
    EXPECT_EQ(player.Control(0, 64), 0);
    EXPECT_THAT(record.Calls(), ::testing::Contains("Phrase_SetVolume(0,64)"));
  }
  host.settings.appDir = emutest::VariantDir("no_setvolume");
  ASSERT_EQ(player.CreateDevice(7), 1);
  EXPECT_EQ(player.Control(0, 64), -1);
  EXPECT_EQ(player.GetSetting(0), 64);
}

// --- Emulator kinds --------------------------------------------------------------------------

TEST_F(EmuPlayer, ResetEmulatorReturnsToState0WithTheSameDevice) {
  emutest::EmuRecord record = Record("K5_EmuQel5.so");
  SetUpKind(11);
  MakeReady(200);
  CKzSoundDevice* device = player.GetDevice();
  const int32_t oldInstance = player.GetInstanceId();
  player.Control(0, 50);
  record.Clear();
  EXPECT_EQ(player.ResetEmulator(2, 1), 1);
  EXPECT_EQ(player.Control(6), 0);
  EXPECT_EQ(player.GetDevice(), device);
  EXPECT_EQ(player.GetSetting(0), 127);
  EXPECT_THAT(record.Calls(), ::testing::Contains("KzSound_Delete(" + std::to_string(oldInstance) + ")"));
  EXPECT_THAT(record.Calls(), ::testing::Contains("KzSound_Create(1)"));
  EXPECT_GT(player.GetInstanceId(), oldInstance);
  EXPECT_EQ(player.ResetEmulator(1, -1), 1);
  EXPECT_EQ(player.GetInstanceId(), -1);
  EXPECT_EQ(player.ResetEmulator(3, 1), 0);
  for (int kind = 1; kind <= 7; ++kind) {
    SCOPED_TRACE(kind);
    player.CreateDevice(kind);
    EXPECT_EQ(player.ResetEmulator(2, 1), -1);
  }
}

TEST_F(EmuPlayer, GetEmuModeAndMessagesFollowTheKindAndBlockMode) {
  emutest::EmuRecord record = Record("K5_EmuQel5.so");
  ASSERT_EQ(player.CreateDevice(1), 1);
  EXPECT_EQ(player.GetEmuMode(), 0);
  const uint8_t message[8] = {0xF0, 0x43, 0x79, 0x06, 0x7F, 0x11, 0x05, 0xF7};
  uint8_t buffer[8] = {};
  EXPECT_EQ(player.SendMidiMessage(message, 8), -1);
  EXPECT_EQ(player.GetMidiMessage(0, buffer, 8), -1);
  struct Case {
    int mode;
    int expected;
  };
  for (const Case& c : {Case{1, 1}, Case{2, 2}, Case{3, 2}}) {
    SCOPED_TRACE(c.mode);
    CDeviceParamBlock block;
    block.SetMode(c.mode);
    ASSERT_EQ(player.CreateDevice(11, &block), 1);
    EXPECT_EQ(player.GetEmuMode(), c.expected);
  }
  record.Clear();
  EXPECT_EQ(player.SendMidiMessage(message, 8), 0);
  player.GetMidiMessage(0, buffer, 8);
  EXPECT_THAT(record.Calls(), ElementsAre("SetMidiMsg(F0 43 79 06 7F 11 05 F7)", "GetMidiMsg(0,8)"));
}

TEST(EmuPlayerAppDir, FindsTheLibraryInTheProgramFolderOfTrillotAppDir) {
  setenv("TRILLOT_APP_DIR", emutest::VariantDir("recording").c_str(), 1);
  platform::FakeNotifySink sink;
  platform::HostServices services;
  services.notify = &sink;
  platform::ScopedHost scope(services);
  CEmuPlayer player;
  ASSERT_EQ(player.CreateDevice(2), 1);
  player.SetNotify(&platform::notify(), platform::kWmCommand, platform::kStopCommand, 0);
  ASSERT_GE(player.Create(1), 1);
  std::vector<uint8_t> image = emutest::ShortSongImage(5);
  ASSERT_GE(player.Load(image.data(), static_cast<int32_t>(image.size()), 1), 0);
  ASSERT_EQ(player.Open(0, 0), 0);
  ASSERT_EQ(player.Standby(0), 0);
  ASSERT_EQ(player.Start(0), 0);
  EXPECT_TRUE(sink.WaitForPosts(1, 2000));
  unsetenv("TRILLOT_APP_DIR");
}

}  // namespace
