// Tests of the stand-in emulator library through dlopen, as the devices load it.
#include "TestPaths.h"
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "EmuFixture.h"
#include "device/KzSoundApi.h"
#include "platform/dynlib/DynamicLibrary.h"

namespace {

std::atomic<int> g_endCalls{0};
std::atomic<int> g_lastEvent{0};

void OnEnd(int32_t event) {
  g_lastEvent = event;
  ++g_endCalls;
}

class KzEmuStandIn : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_lib.Open(emutest::VariantDir("recording") + "kz3qelemu.so")) << m_lib.LastError();
    g_endCalls = 0;
    g_lastEvent = 0;
    create = Fn<KzSound_Create_t>("KzSound_Create");
    load = Fn<KzSound_Load_t>("KzSound_Load");
    open = Fn<KzSound_Open_t>("KzSound_Open");
    standby = Fn<KzSound_Standby_t>("KzSound_Standby");
    start = Fn<KzSound_Start_t>("KzSound_Start");
    control = Fn<KzSound_Control_t>("KzSound_Control");
    pause = Fn<KzSound_SequenceOp_t>("KzSound_Pause");
    restart = Fn<KzSound_SequenceOp_t>("KzSound_Restart");
    stop = Fn<KzSound_SequenceOp_t>("KzSound_Stop");
    close = Fn<KzSound_SequenceOp_t>("KzSound_Close");
    unload = Fn<KzSound_SequenceOp_t>("KzSound_Unload");
    del = Fn<KzSound_Delete_t>("KzSound_Delete");
  }

  template <typename F>
  F Fn(const char* name) {
    F f = m_lib.Function<F>(name);
    EXPECT_NE(f, nullptr) << name;
    return f;
  }

  int32_t State(int32_t instance, int32_t seq) { return control(instance, seq, 6, 0, 0); }

  /// Waits up to two seconds for the end-of-play callback.
  bool WaitForEnd(int calls) {
    for (int i = 0; i < 200 && g_endCalls < calls; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return g_endCalls >= calls;
  }

  platform::DynamicLibrary m_lib;
  KzSound_Create_t create = nullptr;
  KzSound_Load_t load = nullptr;
  KzSound_Open_t open = nullptr;
  KzSound_Standby_t standby = nullptr;
  KzSound_Start_t start = nullptr;
  KzSound_Control_t control = nullptr;
  KzSound_SequenceOp_t pause = nullptr, restart = nullptr, stop = nullptr, close = nullptr, unload = nullptr;
  KzSound_Delete_t del = nullptr;
};

TEST_F(KzEmuStandIn, RunsEveryStateInOrder) {
  std::vector<uint8_t> image = emutest::ShortSongImage(100);
  int32_t inst = create(1);
  ASSERT_GE(inst, 1);
  int32_t seq = load(inst, image.data(), static_cast<int32_t>(image.size()), 0, OnEnd, 0);
  ASSERT_GE(seq, 0);
  EXPECT_EQ(State(inst, seq), 1);
  EXPECT_EQ(control(inst, seq, 5, 0, 0), 100);  // the note's end at 1 ms a tick
  EXPECT_EQ(open(inst, seq, 0, 0), 0);
  EXPECT_EQ(State(inst, seq), 2);
  EXPECT_EQ(standby(inst, seq, 0), 0);
  EXPECT_EQ(State(inst, seq), 3);
  EXPECT_EQ(start(inst, seq, 1, 0), 0);
  EXPECT_EQ(State(inst, seq), 4);
  EXPECT_EQ(pause(inst, seq, 0), 0);
  EXPECT_EQ(State(inst, seq), 5);
  EXPECT_EQ(restart(inst, seq, 0), 0);
  EXPECT_EQ(State(inst, seq), 4);
  EXPECT_EQ(stop(inst, seq, 0), 0);
  EXPECT_EQ(State(inst, seq), 3);
  EXPECT_EQ(close(inst, seq, 0), 0);
  EXPECT_EQ(State(inst, seq), 1);
  EXPECT_EQ(unload(inst, seq, 0), 0);
  EXPECT_EQ(State(inst, seq), 0);
  EXPECT_EQ(del(inst), 0);
  EXPECT_EQ(g_endCalls, 0);
}

TEST_F(KzEmuStandIn, RefusedCallsKeepTheState) {
  std::vector<uint8_t> image = emutest::ShortSongImage(100);
  int32_t inst = create(1);
  int32_t seq = load(inst, image.data(), static_cast<int32_t>(image.size()), 0, OnEnd, 0);
  struct Case {
    const char* name;
    int32_t result;
  };
  for (const Case& c : {Case{"start", start(inst, seq, 1, 0)}, Case{"standby", standby(inst, seq, 0)},
                        Case{"stop", stop(inst, seq, 0)}, Case{"close", close(inst, seq, 0)},
                        Case{"restart", restart(inst, seq, 0)}}) {
    EXPECT_LT(c.result, 0) << c.name;
  }
  EXPECT_EQ(State(inst, seq), 1);
  ASSERT_EQ(open(inst, seq, 0, 0), 0);
  EXPECT_LT(unload(inst, seq, 0), 0);
  EXPECT_LT(open(inst, seq, 0, 0), 0);
  EXPECT_EQ(State(inst, seq), 2);
  EXPECT_LT(open(inst + 100, seq, 0, 0), 0);
  EXPECT_EQ(State(inst, seq + 100), 0);
  del(inst);
}

TEST_F(KzEmuStandIn, LoadRefusesWhatItCannotRead) {
  int32_t inst = create(1);
  const uint8_t junk[] = {'M', 'M', 'M', 'D', 0x00, 0x00, 0x10, 0x00, 'C', 'N'};
  EXPECT_LT(load(inst, junk, sizeof junk, 0, OnEnd, 0), 0);
  EXPECT_LT(load(inst, nullptr, 0, 0, OnEnd, 0), 0);
  std::vector<uint8_t> image = emutest::ShortSongImage(10);
  EXPECT_LT(load(inst + 50, image.data(), static_cast<int32_t>(image.size()), 0, OnEnd, 0), 0);
  del(inst);
}

TEST_F(KzEmuStandIn, ShortImageCallsBackOnceFromItsThread) {
  std::vector<uint8_t> image = emutest::ShortSongImage(5);
  int32_t inst = create(1);
  int32_t seq = load(inst, image.data(), static_cast<int32_t>(image.size()), 0, OnEnd, 0);
  open(inst, seq, 0, 0);
  standby(inst, seq, 0);
  ASSERT_EQ(start(inst, seq, 1, 0), 0);
  ASSERT_TRUE(WaitForEnd(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(g_endCalls, 1);
  EXPECT_EQ(g_lastEvent, 127);
  EXPECT_EQ(State(inst, seq), 3);
  del(inst);
}

TEST_F(KzEmuStandIn, NoCallbackAfterStopOrPause) {
  std::vector<uint8_t> image = emutest::ShortSongImage(60);
  int32_t inst = create(1);
  int32_t seq = load(inst, image.data(), static_cast<int32_t>(image.size()), 0, OnEnd, 0);
  open(inst, seq, 0, 0);
  standby(inst, seq, 0);
  for (int round = 0; round < 3; ++round) {
    ASSERT_EQ(start(inst, seq, 1, 0), 0);
    ASSERT_EQ(pause(inst, seq, 0), 0);
    ASSERT_EQ(stop(inst, seq, 0), 0);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(120));
  EXPECT_EQ(g_endCalls, 0);
  // Deleting the instance while it plays ends its timer as well.
  ASSERT_EQ(start(inst, seq, 1, 0), 0);
  EXPECT_EQ(del(inst), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(120));
  EXPECT_EQ(g_endCalls, 0);
}

TEST_F(KzEmuStandIn, AnswersInitializeCreateAndAnEmptyQueue) {
  auto init = m_lib.Function<KzSound_NoArgs_t>("KzSound_Initialize");
  auto getMsg = m_lib.Function<GetMidiMsg_t>("GetMidiMsg");
  ASSERT_NE(init, nullptr);
  ASSERT_NE(getMsg, nullptr);
  EXPECT_EQ(init(), 0);
  int32_t a = create(1);
  int32_t b = create(7);
  EXPECT_GE(a, 1);
  EXPECT_GT(b, a);
  uint8_t buffer[8] = {};
  EXPECT_EQ(getMsg(0, buffer, 8), -1);
  del(a);
  del(b);
}

TEST(KzEmuStandInVariants, FailingInitializeAndMissingSetVolume) {
  platform::DynamicLibrary failing;
  ASSERT_TRUE(failing.Open(emutest::VariantDir("failing_init") + "kz3qelemu.so"));
  EXPECT_LT(failing.Function<KzSound_NoArgs_t>("KzSound_Initialize")(), 0);
  platform::DynamicLibrary bare;
  ASSERT_TRUE(bare.Open(emutest::VariantDir("no_setvolume") + "kz3qelemu.so"));
  EXPECT_EQ(bare.Symbol("Phrase_SetVolume"), nullptr);
  EXPECT_NE(bare.Symbol("Phrase_GetVolume"), nullptr);
  platform::DynamicLibrary program;
  ASSERT_TRUE(program.Open(std::string(TRILLOT_BIN_DIR) + "/kz3qelemu.so"));
  EXPECT_EQ(program.Symbol("KzEmuTest_ReadRecord"), nullptr);
  EXPECT_NE(program.Symbol("Phrase_SetVolume"), nullptr);
}

}  // namespace

namespace {

std::atomic<int> g_phraseEnds{0};
std::atomic<int> g_phraseChannel{-5};

void OnPhraseEvent(const KzPhraseEvent* event) {
  if (event->event == -1) {
    g_phraseChannel = event->channel;
    ++g_phraseEnds;
  }
}

TEST(KzEmuStandInPhrase, KeepsTheStatesPerChannelAndReportsTheEnd) {
  platform::DynamicLibrary lib;
  ASSERT_TRUE(lib.Open(emutest::VariantDir("recording") + "kz3qelemu.so"));
  auto setHandler = lib.Function<Phrase_SetEvHandler_t>("Phrase_SetEvHandler");
  auto setData = lib.Function<Phrase_SetData_t>("Phrase_SetData");
  auto play = lib.Function<Phrase_ChannelValue_t>("Phrase_Play");
  auto pause = lib.Function<Phrase_Channel_t>("Phrase_Pause");
  auto restart = lib.Function<Phrase_Channel_t>("Phrase_Restart");
  auto status = lib.Function<Phrase_Channel_t>("Phrase_GetStatus");
  auto length = lib.Function<Phrase_Channel_t>("Phrase_GetLength");
  auto kill = lib.Function<KzSound_NoArgs_t>("Phrase_Kill");
  ASSERT_TRUE(setHandler && setData && play && pause && restart && status && length && kill);
  g_phraseEnds = 0;
  ASSERT_EQ(setHandler(OnPhraseEvent), 0);
  std::vector<uint8_t> image = emutest::ShortSongImage(5);
  EXPECT_EQ(status(2), 0);
  EXPECT_LT(setData(4, image.data(), static_cast<int32_t>(image.size()), 0), 0);
  ASSERT_EQ(setData(2, image.data(), static_cast<int32_t>(image.size()), 0), 0);
  EXPECT_EQ(status(2), 2);
  EXPECT_EQ(length(2), 5);
  EXPECT_LT(restart(2), 0);
  EXPECT_EQ(status(2), 2);
  ASSERT_EQ(play(2, 0), 0);
  for (int i = 0; i < 200 && g_phraseEnds == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(g_phraseEnds, 1);
  EXPECT_EQ(g_phraseChannel, 2);
  EXPECT_EQ(status(2), 3);
  EXPECT_EQ(kill(), 0);
  EXPECT_EQ(status(2), 0);
}

}  // namespace

namespace {

TEST(KzEmuStandInPhrase, NoEndEventOnceStopKillOrTerminateHasReturned) {
  platform::DynamicLibrary lib;
  ASSERT_TRUE(lib.Open(emutest::VariantDir("recording") + "kz3qelemu.so"));
  auto setHandler = lib.Function<Phrase_SetEvHandler_t>("Phrase_SetEvHandler");
  auto setData = lib.Function<Phrase_SetData_t>("Phrase_SetData");
  auto play = lib.Function<Phrase_ChannelValue_t>("Phrase_Play");
  auto stop = lib.Function<Phrase_Channel_t>("Phrase_Stop");
  auto status = lib.Function<Phrase_Channel_t>("Phrase_GetStatus");
  auto kill = lib.Function<KzSound_NoArgs_t>("Phrase_Kill");
  auto terminate = lib.Function<KzSound_NoArgs_t>("Phrase_Terminate");
  ASSERT_TRUE(setHandler && setData && play && stop && status && kill && terminate);
  std::vector<uint8_t> image = emutest::ShortSongImage(40);
  const int32_t size = static_cast<int32_t>(image.size());
  g_phraseEnds = 0;
  ASSERT_EQ(setHandler(OnPhraseEvent), 0);
  ASSERT_EQ(setData(1, image.data(), size, 0), 0);
  ASSERT_EQ(play(1, 1), 0);
  EXPECT_EQ(status(1), 4);
  EXPECT_EQ(stop(1), 0);
  EXPECT_EQ(status(1), 3);
  EXPECT_EQ(play(1, 1), 0) << "a stopped phrase plays again from standby";
  EXPECT_EQ(kill(), 0);
  ASSERT_EQ(setData(1, image.data(), size, 0), 0);
  ASSERT_EQ(play(1, 1), 0);
  EXPECT_EQ(terminate(), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(g_phraseEnds, 0);
}

}  // namespace
