// Tests of the playback threads, round by round under a manual clock over the fake port layer,
// and of Play and Stop around them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <system_error>

#include "device/AppPlayState.h"
#include "device/MidiOutCtrl.h"
#include "device/PlaybackThreads.h"
#include "platform/host/testing/FakeHost.h"
#include "platform/midi/testing/FakeMidiBackend.h"
#include "platform/sys/Clock.h"
#include "song/document/KZ1Doc.h"

namespace {

using Bytes = std::vector<uint8_t>;
using platform::RecordedPost;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

PlaySongCopy::Event Ev(uint32_t timeMs, uint32_t endMs, Bytes bytes, uint32_t section = 0) {
  PlaySongCopy::Event e;
  e.timeMs = timeMs;
  e.endMs = endMs;
  e.section = section;
  e.length = static_cast<uint32_t>(bytes.size());
  for (size_t i = 0; i < 3 && i < bytes.size(); ++i) e.bytes[i] = bytes[i];
  return e;
}

PlaySongCopy::Event Marker(uint32_t timeMs, uint32_t section) { return Ev(timeMs, 0, {0xFF, 0x06, 0x00}, section); }

/// A song whose channels have programs 1..4 and volumes 100, not set, 90, not set.
PlaySongCopy Song(std::vector<PlaySongCopy::Event> events) {
  PlaySongCopy song;
  song.events = std::move(events);
  song.programs = {1, 2, 3, 4};
  song.volumes = {100, PlaySongCopy::kNoVolume, 90, PlaySongCopy::kNoVolume};
  return song;
}

const std::vector<Bytes> kSetUp = {{0xC0, 1}, {0xB0, 7, 100}, {0xC1, 2}, {0xC2, 3}, {0xB2, 7, 90}, {0xC3, 4}};

std::vector<Bytes> Concat(std::vector<std::vector<Bytes>> parts) {
  std::vector<Bytes> out;
  for (auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

std::vector<Bytes> ResetMessages() {
  std::vector<Bytes> out;
  for (uint8_t ch = 0; ch < 16; ++ch) {
    out.push_back({static_cast<uint8_t>(0xB0 | ch), 123, 0});
    out.push_back({static_cast<uint8_t>(0xB0 | ch), 120, 0});
  }
  return out;
}

class PlaybackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.settings.chipMode = 1;
    clock.Set(10000);
    appPlayState().repeat = false;
    appPlayState().suppressPositionPosts = false;
    appPlayState().playPositionMs = 0;
  }
  void TearDown() override {
    appPlayState().repeat = false;
    appPlayState().suppressPositionPosts = false;
    appPlayState().playPositionMs = 0;
  }

  /// Rounds until the clock reaches `untilMs` of play or play ends; the rounds' results.
  std::vector<int> RunTo(PlayThreadRounds& rounds, uint32_t untilMs, uint32_t startMs = 10000) {
    std::vector<int> results;
    while (clock.NowMs() - startMs <= untilMs) {
      const int r = rounds.Round();
      results.push_back(r);
      if (r < 0) break;
      if (r > 0) clock.Advance(static_cast<uint32_t>(r));
    }
    return results;
  }

  platform::FakeHost host;
  platform::FakeMidiBackend backend{{"Synth"}, {}};
  platform::ScopedMidiBackend useBackend{backend};
  platform::ManualClock clock;
  std::optional<platform::ScopedClock> useClock{std::in_place, clock};
};

// --- The copy and the range --------------------------------------------------------------------

TEST_F(PlaybackTest, CopyTakesWholeMillisecondsOfTheTempoAndTheChannelSetUp) {
  CKZ1Doc doc;
  doc.SetTempo(120);
  auto* list = doc.GetMidiList();
  const uint8_t note[3] = {0x91, 0x3C, 0x64};
  list->push_back(std::make_unique<CMidiMsg>(480, 960, 3, note, 0));
  list->push_back(std::make_unique<CMidiMsg>(1, 0, 3, note, 7));
  doc.SetChannelVolume(0, 80);
  doc.SetCuePoint(CKZ1Doc::kStartCue, 960, 0);
  PlaySongCopy song = CopySongForPlay(doc, nullptr);
  ASSERT_EQ(song.events.size(), 2u);
  EXPECT_EQ(song.events[0].timeMs, 500u);
  EXPECT_EQ(song.events[0].endMs, 1000u);
  EXPECT_THAT(song.events[0].bytes, ElementsAre(0x91, 0x3C, 0x64));
  EXPECT_EQ(song.events[1].timeMs, 1u) << "1.04 ms truncates to 1";
  EXPECT_EQ(song.events[1].section, 7u);
  EXPECT_EQ(song.volumes[0], 80);
  EXPECT_EQ(song.cue8Ms, 1000u);
  EXPECT_EQ(song.cue9Ms, PlaySongCopy::kNoTime);
  // Edits after the copy never reach it.
  list->clear();
  EXPECT_EQ(song.events.size(), 2u);
}

TEST_F(PlaybackTest, RangeBySectionCuesPlayRangeOrNone) {
  const uint8_t intro = 1, melody = 3, start = 8;
  struct Case {
    const char* name;
    PlaySongCopy song;
    int code;
    PlayRange range;
  };
  PlaySongCopy cueAndRange = Song({});
  cueAndRange.cue8Ms = 200;
  cueAndRange.cue9Ms = 900;
  cueAndRange.rangeOn = true;
  cueAndRange.rangeStartMs = 100;
  cueAndRange.rangeEndMs = 5000;
  PlaySongCopy rangeOnly = cueAndRange;
  rangeOnly.cue8Ms = PlaySongCopy::kNoTime;
  const Case cases[] = {
      {"the chosen section up to the next marker",
       Song({Marker(0, intro), Ev(10, 400, {0x90, 60, 1}), Marker(500, melody), Ev(600, 1400, {0x90, 62, 1}),
             Marker(1000, start), Marker(1500, intro), Ev(1600, 2000, {0x90, 64, 1})}),
       melody, {true, 500, 1500}},
      {"markers of earlier sections do not end the walk",
       Song({Marker(0, intro), Ev(10, 400, {0x90, 60, 1}), Marker(300, 2), Marker(500, melody),
             Ev(600, 1400, {0x90, 62, 1})}),
       melody, {true, 500, 1400}},
      {"the last marker of the code counts", Song({Marker(100, melody), Marker(700, melody), Ev(800, 900, {0x90, 1, 1})}),
       melody, {true, 700, 900}},
      {"a section with nothing after it", Song({Ev(0, 300, {0x90, 1, 1}), Marker(500, melody)}), melody,
       {false, 500, 300}},
      {"cue 8 and 9 over the play range", cueAndRange, 0, {true, 200, 900}},
      {"the play range alone", rangeOnly, 0, {true, 100, 5000}},
      {"no range", Song({Ev(0, 300, {0x90, 1, 1})}), 0, {false, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PlayRange r = ChoosePlayRange(c.song, c.code);
    EXPECT_EQ(r.on, c.range.on);
    EXPECT_EQ(r.startMs, c.range.startMs);
    EXPECT_EQ(r.endMs, c.range.endMs);
  }
}

// --- PlayThread rounds ------------------------------------------------------------------------

TEST_F(PlaybackTest, SetUpGoesFirstThenDueEventsLeaveInOneBurst) {
  TMidiOutCtrl engine;
  engine.SetPlaying(true);
  PlayThreadRounds rounds(engine, Song({Ev(0, 500, {0x90, 60, 100}), Ev(0, 0, {0xB1, 10, 64}), Ev(0, 0, {0xC2, 5}),
                                        Ev(0, 0, {0xE0, 0, 64}), Ev(3, 0, {0xB0, 1, 2})}),
                          &host.notify);
  ASSERT_TRUE(rounds.Begin());
  EXPECT_EQ(backend.Sent(0), kSetUp) << "volume 255 sends no B0+ch 07";
  EXPECT_THAT(RunTo(rounds, 0), ElementsAre(0, 0, 0, 0, 1));
  EXPECT_EQ(backend.Sent(0), Concat({kSetUp, {{0x90, 60, 100}, {0xB1, 10, 64}, {0xC2, 5}}}))
      << "the pitch bend is dropped, the event at 3 ms waits";
  RunTo(rounds, 3);
  EXPECT_EQ(backend.Sent(0).back(), (Bytes{0xB0, 1, 2}));
}

TEST_F(PlaybackTest, NoteOnsEndAsKeyZeroAndPlayEndsAfterTheLast) {
  TMidiOutCtrl engine;
  engine.SetPlaying(true);
  PlayThreadRounds rounds(engine, Song({Ev(0, 500, {0x93, 60, 100}), Ev(200, 300, {0x90, 62, 100})}), &host.notify);
  ASSERT_TRUE(rounds.Begin());
  std::vector<int> results = RunTo(rounds, 1000);
  EXPECT_EQ(results.back(), -1);
  EXPECT_EQ(clock.NowMs(), 10501u) << "ended the round after the last note-off";
  EXPECT_EQ(backend.Sent(0),
            Concat({kSetUp, {{0x93, 60, 100}, {0x90, 62, 100}, {0x90, 62, 0}, {0x93, 60, 0}}}));
  EXPECT_FALSE(engine.IsPlaying());
  EXPECT_EQ(backend.OpenOutputCount(), 0);
  EXPECT_EQ(engine.GetPlayPosition(), 500u);
}

TEST_F(PlaybackTest, EventsBeforeTheStartAndPastTheEnd) {
  TMidiOutCtrl engine;
  engine.SetPlaying(true);
  PlaySongCopy song = Song({Ev(0, 500, {0x90, 60, 1}), Ev(0, 1500, {0x90, 61, 1}), Ev(200, 0, {0xB0, 7, 50}),
                            Ev(400, 1000, {0x90, 62, 1}), Ev(1200, 2300, {0x90, 63, 1}), Ev(2500, 2600, {0x90, 64, 1})});
  song.cue8Ms = 1000;
  song.cue9Ms = 2000;
  PlayThreadRounds rounds(engine, song, &host.notify);
  ASSERT_TRUE(rounds.Begin());
  EXPECT_EQ(rounds.Range().startMs, 1000u);
  RunTo(rounds, 0);
  EXPECT_EQ(backend.Sent(0), Concat({kSetUp, {{0x90, 61, 1}, {0xB0, 7, 50}}}))
      << "notes over by the start (at 500 and at 1000) are dropped; the rest play at once";
  std::vector<int> results = RunTo(rounds, 3000);
  EXPECT_EQ(results.back(), -1);
  EXPECT_EQ(backend.Sent(0), Concat({kSetUp,
                                      {{0x90, 61, 1}, {0xB0, 7, 50}, {0x90, 63, 1}, {0x90, 61, 0}},
                                      ResetMessages()}))
      << "the note at 2500 lies past the end; reaching the end resets the output once, ending the note "
         "that still sounds";
  EXPECT_FALSE(engine.IsPlaying());
}

TEST_F(PlaybackTest, RepeatSendsTheSetUpAgainAndRestartsFromTheStart) {
  appPlayState().repeat = true;
  TMidiOutCtrl engine;
  engine.SetPlaying(true);
  PlayThreadRounds rounds(engine, Song({Ev(0, 100, {0x90, 60, 1})}), &host.notify);
  ASSERT_TRUE(rounds.Begin());
  RunTo(rounds, 150);
  EXPECT_EQ(backend.Sent(0), Concat({kSetUp, {{0x90, 60, 1}, {0x90, 60, 0}}, kSetUp, {{0x90, 60, 1}}}));
  EXPECT_TRUE(engine.IsPlaying());
  engine.SetPlaying(false);
  EXPECT_EQ(rounds.Round(), -1);
  EXPECT_EQ(backend.Sent(0).back(), (Bytes{0x90, 60, 0})) << "Stop ends the sounding note";
  EXPECT_EQ(backend.OpenOutputCount(), 0);
}

TEST_F(PlaybackTest, RepeatWithNothingToPlayEnds) {
  appPlayState().repeat = true;
  TMidiOutCtrl engine;
  engine.SetPlaying(true);
  PlayThreadRounds rounds(engine, Song({Ev(0, 0, {0xE0, 0, 64})}), &host.notify);
  ASSERT_TRUE(rounds.Begin());
  std::vector<int> results = RunTo(rounds, 50);
  EXPECT_EQ(results.back(), -1);
  EXPECT_EQ(backend.Sent(0), kSetUp) << "the set-up went once";
  EXPECT_FALSE(engine.IsPlaying());
}

TEST_F(PlaybackTest, EveryRoundPostsThePositionUnlessSuppressed) {
  TMidiOutCtrl engine;
  engine.SetPlaying(true);
  PlayThreadRounds rounds(engine, Song({Ev(0, 10, {0x90, 60, 1})}), &host.notify);
  ASSERT_TRUE(rounds.Begin());
  RunTo(rounds, 3);
  const intptr_t self = reinterpret_cast<intptr_t>(static_cast<IOutputEngine*>(&engine));
  const RecordedPost position{platform::kWmPlayPosition, 8, self};
  EXPECT_THAT(host.notify.PostsOf(platform::kWmPlayPosition), ElementsAre(position, position, position, position))
      << "not coalesced: every round's post waits";
  appPlayState().suppressPositionPosts = true;
  RunTo(rounds, 6);
  EXPECT_EQ(host.notify.PostsOf(platform::kWmPlayPosition).size(), 4u);
  EXPECT_EQ(engine.GetPlayPosition(), 6u) << "the position still advances";
}

TEST_F(PlaybackTest, AFailedOpenShowsMessage7002AndEndsPlay) {
  backend.FailOpenOutput(0);
  TMidiOutCtrl engine;
  engine.SetPlaying(true);
  PlayThreadRounds rounds(engine, Song({}), &host.notify);
  EXPECT_FALSE(rounds.Begin());
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7002});
  EXPECT_FALSE(engine.IsPlaying());
}

// --- Play and Stop ----------------------------------------------------------------------------

TEST_F(PlaybackTest, ChipModeOnePlayThatCannotCreateItsThreadLeavesNothingPlaying) {
  CKZ1Doc doc;
  host.registry.document = &doc;
  TMidiOutCtrl engine;
  engine.SetThreadFactory([](std::function<void()>) -> std::thread {
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
  });
  EXPECT_EQ(engine.Play(), 0);
  EXPECT_FALSE(engine.IsPlaying());
  EXPECT_FALSE(engine.HasPlaybackThread());
  host.registry.document = nullptr;
  EXPECT_EQ(engine.Play(), 0) << "no song, nothing to play";
}

TEST_F(PlaybackTest, DestroyingAPlayingEngineEndsItsThread) {
  useClock.reset();
  CKZ1Doc doc;
  doc.SetTempo(120);
  const uint8_t note[3] = {0x90, 0x3C, 0x64};
  doc.GetMidiList()->push_back(std::make_unique<CMidiMsg>(0, 4000000, 3, note, 0));
  host.registry.document = &doc;
  {
    TMidiOutCtrl engine;
    ASSERT_EQ(engine.Play(), 1);
    EXPECT_TRUE(engine.HasPlaybackThread());
    doc.GetMidiList()->clear();  // the thread plays its own copy
  }
  EXPECT_EQ(backend.OpenOutputCount(), 0);
  EXPECT_EQ(backend.Log().back(), "close out 0");
  host.registry.document = nullptr;
}

TEST_F(PlaybackTest, ChipModeThreeWithoutAPreparedSongStopsAndShows7001) {
  host.settings.chipMode = 3;
  CKZ1Doc doc;
  host.registry.document = &doc;
  TMidiOutCtrl engine;
  ASSERT_EQ(engine.SetupSoundDevice(1), 1);
  EXPECT_EQ(engine.Play(), 1);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7001});
  EXPECT_FALSE(engine.IsPlaying());
  EXPECT_FALSE(engine.HasPlaybackThread());
  EXPECT_EQ(backend.Sent(0), (std::vector<Bytes>{{0xF0, 0x43, 0x79, 0x05, 0x7E, 0x03, 0x00, 0xF7}}))
      << "Stop sent the stop message";
  EXPECT_EQ(engine.PlayDirect(), 1) << "nothing prepared, nothing started";
  EXPECT_FALSE(engine.IsPlaying());
  host.settings.chipMode = 2;
  EXPECT_EQ(engine.Play(), 1) << "chip mode 2 sends the song, then its position thread runs";
  EXPECT_TRUE(engine.IsPlaying());
  engine.Stop();
  EXPECT_FALSE(engine.IsPlaying());
  host.registry.document = nullptr;
}

// --- The position threads ---------------------------------------------------------------------

TEST_F(PlaybackTest, PositionThreadStartsAtItsStartPositionAndCoalesces) {
  CKZ1Doc doc;
  doc.SetTempo(120);
  appPlayState().playPositionMs = 4321;
  EXPECT_EQ(PositionThreadStart(&doc, 2, 0), 0u);
  doc.SetPlayRange(1, 480, 4800);
  EXPECT_EQ(PositionThreadStart(&doc, 2, 0), 500u);
  doc.SetCuePoint(CKZ1Doc::kStartCue, 960, 0);
  EXPECT_EQ(PositionThreadStart(&doc, 1, 0), 1000u);
  EXPECT_EQ(PositionThreadStart(&doc, 2, 3), 0u);
  EXPECT_EQ(PositionThreadStart(&doc, 3, 0), 4321u);
  EXPECT_EQ(PositionThreadStart(nullptr, 2, 0), 0u);

  TMidiOutCtrl engine;
  engine.SetPlaying(true);
  PositionThreadRounds rounds(engine, &host.notify, 1000);
  rounds.Begin();
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(rounds.Round(), 10);
    clock.Advance(10);
  }
  EXPECT_EQ(engine.GetPlayPosition(), 1040u);
  EXPECT_EQ(host.notify.PostsOf(platform::kWmPlayPosition).size(), 1u) << "one waits at a time";
  engine.SetPlaying(false);
  EXPECT_EQ(rounds.Round(), -1);
}

TEST_F(PlaybackTest, BoardPositionTakesARestartAtTheNextRound) {
  appPlayState().playPositionMs = 2000;
  TMidiOutCtrl engine;
  engine.SetPlaying(true);
  BoardPositionThreadRounds rounds(engine, &host.notify, true);
  rounds.Begin();
  EXPECT_EQ(rounds.Round(), 40);
  EXPECT_EQ(engine.GetPlayPosition(), 2000u);
  clock.Advance(40);
  engine.SetStartTime(1, 7000);
  EXPECT_EQ(engine.GetStartFlag(), 1);
  EXPECT_EQ(rounds.Round(), 40);
  EXPECT_EQ(engine.GetPlayPosition(), 7000u);
  EXPECT_EQ(engine.GetStartFlag(), 0);
  EXPECT_EQ(engine.GetStartTick(), 0u);
  clock.Advance(40);
  rounds.Round();
  EXPECT_EQ(engine.GetPlayPosition(), 7040u);
}

TEST_F(PlaybackTest, BoardPositionRefreshesOncePerSecondOnlyWithASongAndAnOutputFormat) {
  struct Case {
    bool song;
    int format;
    size_t refreshes;
  };
  for (const Case& c : {Case{true, 3, 3}, Case{true, 0, 0}, Case{false, 3, 0}}) {
    SCOPED_TRACE(::testing::Message() << c.song << "/" << c.format);
    host.profile.WriteProfileInt("Setting", "OutputFormat", c.format);
    host.notify.TakeAll();
    const size_t before = host.notify.PostsOf(platform::kWmPlaySecond).size();
    TMidiOutCtrl engine;
    engine.SetPlaying(true);
    BoardPositionThreadRounds rounds(engine, &host.notify, c.song);
    rounds.Begin();
    const uint32_t start = clock.NowMs();
    while (clock.NowMs() - start <= 3500) {
      rounds.Round();
      host.notify.TakeAll();
      clock.Advance(40);
    }
    EXPECT_EQ(host.notify.PostsOf(platform::kWmPlaySecond).size() - before, c.refreshes);
  }
}

TEST_F(PlaybackTest, BoardPositionLeavesAtMostOneOfEachWaiting) {
  TMidiOutCtrl engine;
  engine.SetPlaying(true);
  BoardPositionThreadRounds rounds(engine, &host.notify, true);
  rounds.Begin();
  for (int i = 0; i < 100; ++i) {
    rounds.Round();
    clock.Advance(40);
  }
  const intptr_t self = reinterpret_cast<intptr_t>(static_cast<IOutputEngine*>(&engine));
  EXPECT_THAT(host.notify.Posts(), ElementsAre(RecordedPost{platform::kWmPlayPosition, 8, self},
                                               RecordedPost{platform::kWmPlaySecond, 10, self}));
  appPlayState().suppressPositionPosts = true;
  host.notify.TakeAll();
  rounds.Round();
  EXPECT_EQ(host.notify.PostsOf(platform::kWmPlayPosition).size(), 1u);
}

}  // namespace
