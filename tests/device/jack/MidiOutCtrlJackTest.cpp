// The output engine over real MIDI ports on a JACK server of its own (run under scripts/with-jack):
// a chip-mode-1 song played into the test's port, a board made of a virtual port pair, and the
// thru around a board exchange.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <thread>

#include "JackPorts.h"
#include "device/MidiOutCtrl.h"
#include "device/MidiThru.h"
#include "device/PlaybackThreads.h"
#include "platform/host/testing/FakeHost.h"
#include "platform/midi/MidiBackend.h"
#include "song/document/KZ1Doc.h"

namespace {

using jacktest::IndexOf;
using jacktest::Message;
using ::testing::Contains;

const Message kStop = {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x03, 0x00, 0xF7};
const Message kInfoRequest = {0xF0, 0x43, 0x79, 0x06, 0x7E, 0x04, 0xF7};

Message Query(uint8_t q) { return {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x07, q, 0xF7}; }
Message Answer(uint8_t r) { return {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x08, r, 0xF7}; }

/// A board of two ports of one test client: it receives on the port the engine sends to
/// (`outName`) and answers whole messages from a table on the port the engine listens to
/// (`inName`).
class VirtualBoard {
 public:
  VirtualBoard(const std::string& outName, const std::string& inName)
      : m_client("board", outName, inName, [this](const Message& message) { OnMessage(message); }) {}

  void SetAnswer(const Message& request, const Message& reply) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answers[request] = reply;
  }
  std::vector<Message> Received() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
  }

 private:
  void OnMessage(const Message& message) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_received.push_back(message);
    auto it = m_answers.find(message);
    if (it != m_answers.end()) m_client.Queue(it->second);
  }

  std::mutex m_mutex;
  std::map<Message, Message> m_answers;
  std::vector<Message> m_received;
  jacktest::TestClient m_client;  // last: its callback uses the members above
};

class MidiOutCtrlJack : public ::testing::Test {
 protected:
  void SetUp() override { host.registry.midiThru = &thru; }
  /// Makes output `part` the engine's "MIDIDeviceOut".
  void UseOutput(const std::string& part) {
    const int index = IndexOf(platform::midi().OutputNames(), part);
    ASSERT_GE(index, 0) << part;
    host.profile.WriteProfileInt("Setting", "MIDIDeviceOut", index);
  }
  /// A JACK server without real-time scheduling may drop a cycle's messages when the machine is
  /// very busy; a case that fails only that way passes on a later try.
  static constexpr int kTries = 3;
  static bool WaitUntil(const std::function<bool()>& done, int ms = 10000) {
    for (int waited = 0; !done() && waited < ms; waited += 5) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return done();
  }

  platform::FakeHost host;
  CMidiThru thru;
};

TEST_F(MidiOutCtrlJack, OpenBoardFindsThePairByNameAndIdentifyAnswer) {
  struct Case {
    const char* name;
    const char* out;
    const char* in;
    uint8_t answer;
    int kind;
  };
  const Case cases[] = {
      {"USB names", "KORVAN USB OUT", "KORVAN USB IN", 3, 2},
      {"serial names", "KORVAN TVR A Driver", "KORVAN TVR Driver", 3, 1},
      {"a board answering 5", "KORVAN USB OUT", "KORVAN USB IN", 5, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VirtualBoard board(c.out, c.in);
    board.SetAnswer(Query(0), Answer(c.answer));
    TMidiOutCtrl engine;
    int kind = 0;
    for (int i = 0; i < kTries && kind == 0; ++i) kind = engine.OpenBoard(0);
    EXPECT_EQ(kind, c.kind);
    EXPECT_THAT(board.Received(), Contains(Query(0)));
    EXPECT_FALSE(engine.HasOpenOutput());
    EXPECT_FALSE(engine.HasOpenInput());
  }
}

TEST_F(MidiOutCtrlJack, QueryBoardStopsOnTheOutputDeviceThenAsksTheBoard) {
  jacktest::VirtualSynth synth("engine-out");
  VirtualBoard board("KORVAN USB OUT", "KORVAN USB IN");
  board.SetAnswer(Query(0), Answer(3));
  board.SetAnswer(Query(3), Answer(12));
  UseOutput("engine-out");
  TMidiOutCtrl engine;
  int kind = 0;
  for (int i = 0; i < kTries && kind == 0; ++i) kind = engine.OpenBoard(0);
  ASSERT_EQ(kind, 2);
  int version = 255;
  for (int i = 0; i < kTries && version == 255; ++i) version = engine.QueryBoard(3);
  EXPECT_EQ(version, 12);
  EXPECT_EQ(engine.GetBoardVersion(), 12);
  EXPECT_THAT(synth.WaitFor(1), Contains(kStop)) << "the stop message, on MIDIDeviceOut's port";
  EXPECT_THAT(board.Received(), Contains(Query(3)));

  board.SetAnswer(kInfoRequest, {0xF0, 0x43, 0x79, 0x06, 0x7E, 0x08, 5, 1, 0, 0, 0x21, 0x22, 0x23, 0xF7});
  uint32_t value = 0;
  uint8_t i1 = 0, i0 = 0, i2 = 0;
  int answered = 0;
  for (int i = 0; i < kTries && !answered; ++i) answered = engine.ReadBoardInfo(&value, &i1, &i0, &i2);
  EXPECT_EQ(answered, 1);
  EXPECT_EQ(value, 5u + 128u);
  EXPECT_EQ(i1, 0x21);
  EXPECT_EQ(i0, 0x22);
  EXPECT_EQ(i2, 0x23);
  board.SetAnswer(kInfoRequest, {0xF0, 0x43, 0x79, 0x06, 0x7E, 0x05, 9, 0, 0, 0, 0x31, 0x32, 0xF7});
  answered = 0;
  for (int i = 0; i < kTries && !answered; ++i) answered = engine.ReadBoardInfo(&value, &i1, &i0, &i2);
  EXPECT_EQ(answered, 1);
  EXPECT_EQ(value, 5u + 128u) << "a form-1 answer is ignored from version 12 on";
  EXPECT_EQ(i1, 0x21);
}

TEST_F(MidiOutCtrlJack, ThruStopsForABoardExchangeAndFlowsAgainAfter) {
  jacktest::VirtualKeyboard keyboard("thru-keyboard");
  jacktest::VirtualSynth synth("thru-synth");
  VirtualBoard board("KORVAN USB OUT", "KORVAN USB IN");
  board.SetAnswer(Query(0), Answer(3));
  thru.SetInDevice(IndexOf(platform::midi().InputNames(), "thru-keyboard") + 1);
  thru.SetOutDevice(IndexOf(platform::midi().OutputNames(), "thru-synth") + 1);
  ASSERT_EQ(thru.Start(), 1);
  TMidiOutCtrl engine;
  int kind = 0;
  for (int i = 0; i < kTries && kind == 0; ++i) kind = engine.OpenBoard(0);
  EXPECT_EQ(kind, 2);
  EXPECT_EQ(thru.IsActive(), 1) << "restarted after the exchange";
  for (int i = 0; i < kTries && synth.Received().empty(); ++i) {
    keyboard.Play({0x90, 0x3C, 0x40});
    synth.WaitFor(1, 2000);
  }
  EXPECT_THAT(synth.Received(), Contains(Message{0x90, 0x3C, 0x40}));
  thru.Stop();
}

/// A chip-mode-1 song of eight notes, one every 100 ms on channels 0..3 in turn, each 50 ms long.
void FillSong(CKZ1Doc& doc, int notes) {
  doc.SetTempo(120);
  for (int i = 0; i < notes; ++i) {
    const uint8_t note[3] = {static_cast<uint8_t>(0x90 | (i % 4)), static_cast<uint8_t>(60 + i), 100};
    const uint32_t tick = static_cast<uint32_t>(i) * 96;
    doc.GetMidiList()->push_back(std::make_unique<CMidiMsg>(tick, tick + 48, 3, note, 0));
  }
}

TEST_F(MidiOutCtrlJack, AChipModeOneSongArrivesWholeAndInOrder) {
  host.settings.chipMode = 1;
  CKZ1Doc doc;
  FillSong(doc, 8);
  host.registry.document = &doc;
  std::vector<Message> expected;
  const PlaySongCopy copy = CopySongForPlay(doc, nullptr);
  for (uint8_t ch = 0; ch < 4; ++ch) {
    expected.push_back({static_cast<uint8_t>(0xC0 | ch), copy.programs[ch]});
    if (copy.volumes[ch] != PlaySongCopy::kNoVolume) expected.push_back({static_cast<uint8_t>(0xB0 | ch), 7, copy.volumes[ch]});
  }
  for (int i = 0; i < 8; ++i) {
    const auto status = static_cast<uint8_t>(0x90 | (i % 4));
    const auto key = static_cast<uint8_t>(60 + i);
    expected.push_back({status, key, 100});
    expected.push_back({status, key, 0});
  }
  std::vector<Message> received;
  for (int i = 0; i < kTries && received != expected; ++i) {
    jacktest::VirtualSynth synth("song-synth");
    UseOutput("song-synth");
    TMidiOutCtrl engine;
    ASSERT_EQ(engine.Play(), 1);
    ASSERT_TRUE(WaitUntil([&] { return !engine.IsPlaying(); }));
    engine.Stop();
    received = synth.WaitFor(expected.size(), 2000);
  }
  EXPECT_EQ(received, expected);
  host.registry.document = nullptr;
}

TEST_F(MidiOutCtrlJack, NothingArrivesAfterStopHasReturned) {
  host.settings.chipMode = 1;
  jacktest::VirtualSynth synth("stop-synth");
  UseOutput("stop-synth");
  CKZ1Doc doc;
  FillSong(doc, 60);
  host.registry.document = &doc;
  TMidiOutCtrl engine;
  ASSERT_EQ(engine.Play(), 1);
  synth.WaitFor(12);
  engine.Stop();
  EXPECT_FALSE(engine.IsPlaying());
  // What was sent before Stop returned may still be on its way through the server.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const size_t atStop = synth.Received().size();
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_EQ(synth.Received().size(), atStop);
  ASSERT_FALSE(synth.Received().empty());
  EXPECT_EQ(synth.Received().back()[2], 0) << "the last note was ended";
  host.registry.document = nullptr;
}

}  // namespace

namespace {

const Message kBegin = {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x00, 0xF7};
const Message kEnd = {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x01, 0xF7};
const Message kStart = {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x03, 0x01, 0xF7};

TEST_F(MidiOutCtrlJack, PlaySendsTheNativeSongToTheBoardAndStopEndsIt) {
  host.settings.chipMode = 3;
  host.profile.WriteProfileInt("Setting", "OutputFormat", 1);
  VirtualBoard board("KORVAN USB OUT", "KORVAN USB IN");
  board.SetAnswer(Query(0), Answer(3));
  board.SetAnswer(Query(2), Answer(0));
  UseOutput("KORVAN USB OUT");
  CKZ1Doc doc;
  doc.SetRefreshSuppress(0);
  for (uint32_t i = 0; i < 4; ++i) {
    uint8_t note[3] = {0x90, static_cast<uint8_t>(60 + i), 100};
    doc.GetMidiList()->push_back(std::make_unique<CMidiMsg>(i * 240, i * 240 + 120, 3u, note, 0u));
  }
  host.registry.document = &doc;
  TMidiOutCtrl engine;
  int kind = 0;
  for (int i = 0; i < kTries && kind == 0; ++i) kind = engine.OpenBoard(0);
  ASSERT_EQ(kind, 2);
  ASSERT_EQ(engine.Play(), 1);
  EXPECT_TRUE(WaitUntil([&] {
    const std::vector<Message> got = board.Received();
    return std::find(got.begin(), got.end(), kStart) != got.end();
  }));
  engine.Stop();
  EXPECT_TRUE(WaitUntil([&] {
    const std::vector<Message> got = board.Received();
    return !got.empty() && got.back() == kStop;
  }));
  const std::vector<Message> got = board.Received();
  auto at = [&](auto match) { return std::find_if(got.begin(), got.end(), match) - got.begin(); };
  const auto begin = at([](const Message& m) { return m == kBegin; });
  const auto piece = at([](const Message& m) { return m.size() > 5 && m[3] == 0x05 && m[4] == 0x00; });
  const auto end = at([](const Message& m) { return m == kEnd; });
  const auto value = at([](const Message& m) { return m.size() == 11 && m[3] == 0x06 && m[5] == 0x06; });
  const auto position = at([](const Message& m) { return m.size() == 11 && m[3] == 0x05 && m[5] == 0x0A; });
  const auto start = at([](const Message& m) { return m == kStart; });
  const auto size = static_cast<std::ptrdiff_t>(got.size());
  EXPECT_LT(begin, piece);
  EXPECT_LT(piece, end);
  EXPECT_LT(end, value);
  EXPECT_LT(value, position);
  EXPECT_LT(position, start);
  EXPECT_LT(start, size);
  EXPECT_EQ(got.back(), kStop);
  host.registry.document = nullptr;
}

}  // namespace
