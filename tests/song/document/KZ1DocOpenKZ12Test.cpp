// Chip modes 1 and 2: VELK files saved by the program's own writers and opened by its own
// readers, through real files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KZ12TestSupport.h"
#include "TestPaths.h"
#include "song/Voice2.h"
#include "velk/VelkFileChunk.h"

namespace {

using doctest::AddEvent;
using doctest::Bytes;
using kz12test::FindId;
using kz12test::FixCrc;
using kz12test::ReadFile;
using kz12test::WriteFile;

class KZ1DocOpenKZ12 : public kz12test::KZ12FileTest {
 protected:
  /// A chip-mode 1 song on channels 0 and 1 with a later program change and three cues.
  CKZ1Doc& ChipOneSong() {
    CKZ1Doc& d = Make(1);
    d.SetTimeBase(4);
    d.SetTempo(120);
    auto& list = *d.GetMidiList();
    AddEvent(list, 0, 0, {0xC0, 5});
    AddEvent(list, 0, 0, {0xB0, 7, 98});
    AddEvent(list, 0, 0, {0xC1, 9});
    AddEvent(list, 0, 0, {0xB1, 7, 127});
    AddEvent(list, 0, 480, {0x90, 60, 100});
    AddEvent(list, 0, 960, {0x91, 48, 100});
    AddEvent(list, 480, 960, {0x90, 64, 100});
    AddEvent(list, 1000, 1000, {0xC0, 6});
    AddEvent(list, 1200, 1440, {0x90, 67, 100});
    AddEvent(list, 1200, 1200, {0xB1, 10, 40});
    CleanUp(d);
    EXPECT_EQ(d.SetCuePoint(CKZ1Doc::kStartCue, 0, 1), 1);
    EXPECT_EQ(d.SetCuePoint(3, 480, 1), 1);
    EXPECT_EQ(d.SetCuePoint(CKZ1Doc::kStopCue, 1440, 1), 1);
    // The played operator bytes of every voice in use.
    for (int slot = 0; slot < d.GetVoiceLimit(); ++slot) {
      if (d.GetVoiceProgram(slot) == 255) continue;
      uint8_t voice[33] = {};
      for (int i = 20; i < 33; ++i) voice[i] = static_cast<uint8_t>(slot * 16 + i);
      d.GetVoiceAssignTable().SetKZ1Voice(slot, voice);
    }
    return d;
  }

  /// A chip-mode 2 song over all four tracks, with generation-2 voices in slots 3 and 9 and an
  /// audio track of two waves.
  CKZ1Doc& ChipTwoSong() {
    CKZ1Doc& d = Make(2);
    d.SetTimeBase(4);
    d.SetTempo(120);
    auto& list = *d.GetMidiList();
    AddEvent(list, 0, 0, {0xC5, 20});
    AddEvent(list, 0, 0, {0xC9, 30});
    AddEvent(list, 0, 0, {0xB9, 7, 98});
    AddEvent(list, 0, 480, {0x90, 60, 100});
    AddEvent(list, 0, 480, {0x95, 62, 100});
    AddEvent(list, 240, 720, {0x99, 64, 100});
    AddEvent(list, 480, 960, {0x9E, 40, 100});
    AddEvent(list, 600, 600, {0xC9, 31});
    AddEvent(list, 720, 1200, {0x99, 65, 100});
    CVoice2 voice;
    voice.SetAlgorithm(5);
    voice.SetOpTL(1, 33);
    voice.SetOpAR(2, 9);
    auto& table = d.GetVoiceAssignTable();
    table.Reset(0);
    table.SetAddress(3, 0, 0, 20, 0);
    table.SetVoice2(3, voice);
    voice.SetOpTL(1, 12);
    voice.SetAlgorithm(1);
    table.SetAddress(9, 0, 0, 30, 0);
    table.SetVoice2(9, voice);
    for (int k = 0; k < 16; ++k) d.GetSongSetup().SetStatus(k, static_cast<uint8_t>(k % 16));
    CleanUp(d);
    EXPECT_EQ(d.SetCuePoint(CKZ1Doc::kStartCue, 0, 1), 1);
    EXPECT_EQ(d.SetCuePoint(CKZ1Doc::kStopCue, 1200, 1), 1);

    auto& pcm = *d.GetMidiListPCM();
    AddEvent(pcm, 0, 0, {0xB0, 7, 98});
    AddEvent(pcm, 0, 480, {0x90, 1, 100});
    AddEvent(pcm, 480, 960, {0x90, 2, 100});
    for (int s = 1; s <= 2; ++s) {
      CStreamPCMSlot slot;
      std::vector<uint8_t> wave(40 + s, static_cast<uint8_t>(s * 3));
      slot.SetWaveData(wave.data(), static_cast<uint32_t>(wave.size()));
      d.SetStreamPcmSlot(s, slot);
    }
    d.GetDocValueRecord().SetValue(0, 1);
    d.GetDocValueRecord().SetValue(1, 5);
    d.GetDocValueRecord().SetValue(2, 9);
    d.GetDocValueRecord().SetValue(3, 12);
    return d;
  }

  static std::vector<std::vector<uint8_t>> EventsOf(const CKZ1Doc::EventList& list, bool cues) {
    std::vector<std::vector<uint8_t>> out;
    for (const auto& m : list) {
      if (!cues && m->GetExtra() != 0) continue;
      std::vector<uint8_t> row = Bytes(*m);
      row.push_back(static_cast<uint8_t>(m->GetTick() >> 8));
      row.push_back(static_cast<uint8_t>(m->GetTick()));
      row.push_back(static_cast<uint8_t>(m->GetEndTick() >> 8));
      row.push_back(static_cast<uint8_t>(m->GetEndTick()));
      out.push_back(row);
    }
    return out;
  }

  /// cues: the cue points and the voices by slot, which only a song with QX cues off keeps
  /// (its setup chunk carries the voices).
  static void ExpectSameSong(const CKZ1Doc& a, CKZ1Doc& b, bool cues) {
    EXPECT_EQ(EventsOf(*a.GetMidiList(), cues), EventsOf(*b.GetMidiList(), cues));
    EXPECT_EQ(EventsOf(*a.GetMidiListPCM(), false), EventsOf(*b.GetMidiListPCM(), false));
    for (int k = 0; k < a.GetUsedChannelCount(); ++k) {
      SCOPED_TRACE("channel " + std::to_string(k));
      EXPECT_EQ(a.GetChannelProgram(k), b.GetChannelProgram(k));
      EXPECT_EQ(a.GetChannelVolume(k), b.GetChannelVolume(k));
    }
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(const_cast<CKZ1Doc&>(a).GetDocValueRecord().GetValue(i), b.GetDocValueRecord().GetValue(i));
    }
    if (!cues) return;
    for (int kind = 1; kind < CKZ1Doc::kCueCount; ++kind) EXPECT_EQ(a.GetCuePoint(kind), b.GetCuePoint(kind));
    for (int slot = 0; slot < a.GetVoiceLimit(); ++slot) {
      SCOPED_TRACE("slot " + std::to_string(slot));
      EXPECT_EQ(a.GetVoiceProgram(slot), b.GetVoiceProgram(slot));
      EXPECT_EQ(a.GetVoiceBankMsb(slot), b.GetVoiceBankMsb(slot));
      uint8_t va[33];
      uint8_t vb[33];
      a.GetKZ1Voice(slot, va);
      b.GetKZ1Voice(slot, vb);
      EXPECT_EQ(std::vector<uint8_t>(va + 20, va + 33), std::vector<uint8_t>(vb + 20, vb + 33));
      CVoice2 wa;
      CVoice2 wb;
      a.GetKZ2Voice(slot, wa);
      b.GetKZ2Voice(slot, wb);
      EXPECT_TRUE(wa.IsSameParams(wb));
    }
  }
};

TEST_F(KZ1DocOpenKZ12, ChipOneSongReopensAsSaved) {
  for (bool qxCue : {false, true}) {
    SCOPED_TRACE(qxCue ? "QX cue on" : "QX cue off");
    host.ui.qxCue = qxCue;
    CKZ1Doc& d = ChipOneSong();
    ASSERT_EQ(Save(d, "song.mmf"), 1);
    auto reopened = Open("song.mmf");
    ASSERT_FALSE(reopened->GetPathName().empty());
    if (qxCue) {
      // QX cues drop the song's cue events and program changes on the way.
      d.RefreshChannelVoices(0);
    }
    ExpectSameSong(d, *reopened, !qxCue);
    EXPECT_EQ(reopened->GetTimeBase(), 4);
  }
}

TEST_F(KZ1DocOpenKZ12, ChipTwoSongReopensAsSaved) {
  CKZ1Doc& d = ChipTwoSong();
  ASSERT_EQ(Save(d, "song.mmf"), 1);
  auto reopened = Open("song.mmf");
  ASSERT_FALSE(reopened->GetPathName().empty());
  ExpectSameSong(d, *reopened, true);
  EXPECT_EQ(reopened->GetVoiceProgram(3), 20);
  EXPECT_EQ(reopened->GetVoiceProgram(9), 30);
  for (int s = 1; s <= 2; ++s) {
    const CStreamPCMSlot* slot = reopened->GetStreamPcmSlot(s);
    ASSERT_NE(slot, nullptr);
    ASSERT_EQ(slot->GetDataSize(), 40u + s);
    EXPECT_EQ(slot->GetData()[0], s * 3);
  }
  // The audio notes come back as full note-ons in the stream-PCM list, not as score notes.
  for (const auto& m : *reopened->GetMidiList()) {
    if ((m->GetByte(0) & 0xF0) == 0x90) {
      EXPECT_GE(m->GetLength(), 3u);
    }
  }
  ASSERT_FALSE(reopened->GetMidiListPCM()->empty());

  // Saved again, the audio track comes back whole.
  ASSERT_EQ(Save(*reopened, "again.mmf"), 1);
  auto third = Open("again.mmf");
  ExpectSameSong(*reopened, *third, true);
}

TEST_F(KZ1DocOpenKZ12, ChipTwoBoardControlsAreNotAddedOnEverySave) {
  // The play list adds four board controls at the first note; the file carries them, and the
  // song read back must not, or each cycle adds four more.
  host.settings.hpVolume = 17;
  CKZ1Doc& d = ChipTwoSong();
  ASSERT_EQ(Save(d, "cycle0.mmf"), 1);
  std::vector<uint8_t> image = ReadFile(PathOf("cycle0.mmf"));
  auto first = Open("cycle0.mmf");
  ASSERT_FALSE(first->GetPathName().empty());
  const auto events = EventsOf(*first->GetMidiList(), true);
  for (int cycle = 1; cycle <= 4; ++cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    auto opened = Open("cycle" + std::to_string(cycle - 1) + ".mmf");
    ASSERT_EQ(Save(*opened, "cycle" + std::to_string(cycle) + ".mmf"), 1);
    EXPECT_EQ(EventsOf(*Open("cycle" + std::to_string(cycle) + ".mmf")->GetMidiList(), true), events);
    EXPECT_EQ(ReadFile(PathOf("cycle" + std::to_string(cycle) + ".mmf")).size(), image.size());
  }
}

TEST_F(KZ1DocOpenKZ12, ChipTwoStatusBytesComeBackFromTheTrackSetup) {
  CKZ1Doc& d = ChipTwoSong();
  ASSERT_EQ(Save(d, "song.mmf"), 1);
  std::vector<uint8_t> image = ReadFile(PathOf("song.mmf"));
  CMemStream in(image.data(), static_cast<int32_t>(image.size()), false);
  CVelkFileChunk file(in);
  SongOutputRecord record;
  std::vector<std::unique_ptr<CVoice2>> voices;
  ASSERT_TRUE(file.GetTrackSetup(record, voices));
  for (int k = 0; k < 16; ++k) EXPECT_EQ(record.bytes[SongOutputRecord::kStatusOffset + k], k % 16) << k;
  EXPECT_EQ(voices.size(), 2u);
}

TEST_F(KZ1DocOpenKZ12, TempoReopensThroughTheTempoBytes) {
  struct Row {
    int tempo;
    bool qxCue;  // QX cues leave the setup chunk out
    int expected;
  };
  const Row rows[] = {{120, false, 121}, {100, false, 99}, {100, true, 99}};
  for (int chip : {1, 2}) {
    for (const Row& r : rows) {
      SCOPED_TRACE(std::to_string(chip) + ": tempo " + std::to_string(r.tempo));
      host.ui.qxCue = r.qxCue;
      CKZ1Doc& d = chip == 1 ? ChipOneSong() : ChipTwoSong();
      d.SetTempo(r.tempo);
      ASSERT_EQ(Save(d, "tempo.mmf"), 1);
      auto reopened = Open("tempo.mmf");
      EXPECT_EQ(reopened->GetTempo(), r.expected);
    }
  }
}

TEST_F(KZ1DocOpenKZ12, EveryTempoOfTheTableSurvivesASaveAndReopen) {
  for (int chip : {1, 2}) {
    for (int timeBase : {1, 2, 4, 5, 10, 20, 40, 50}) {
      for (bool qxCue : {false, true}) {  // the setup chunk's tempo byte, or the header's
        host.ui.qxCue = qxCue;
        CKZ1Doc& d = chip == 1 ? ChipOneSong() : ChipTwoSong();
        d.SetTimeBase(timeBase);
        int offered = 0;
        for (int i = 0; d.GetTempoFromIndex(i) != 0; ++i, ++offered) {
          const int tempo = d.GetTempoFromIndex(i);
          SCOPED_TRACE("chip mode " + std::to_string(chip) + ", " + std::to_string(timeBase) +
                       " ms, QX cue " + std::to_string(qxCue) + ", tempo " + std::to_string(tempo));
          d.SetTempo(tempo);
          ASSERT_EQ(Save(d, "tempo.mmf"), 1);
          auto reopened = Open("tempo.mmf");
          ASSERT_FALSE(reopened->GetPathName().empty());
          EXPECT_EQ(reopened->GetTempo(), tempo);
          EXPECT_EQ(reopened->GetTempoIndex(reopened->GetTempo()), i);
        }
        // 2500 / tempo must reach the time base: 1092 and 728 need 1 or 2 ms, 546 4 ms; the
        // time bases from 6 ms on offer what 4 ms does.
        EXPECT_EQ(offered, timeBase <= 2 ? 83 : (timeBase == 5 ? 80 : 81));
      }
    }
  }
}

TEST_F(KZ1DocOpenKZ12, ReaderChecksAndWarnings) {
  CKZ1Doc& d = ChipOneSong();
  ASSERT_EQ(Save(d, "base.mmf"), 1);
  const std::vector<uint8_t> base = ReadFile(PathOf("base.mmf"));
  const size_t track = FindId(base, "MTR", 0);
  ASSERT_NE(track, std::string::npos);
  constexpr size_t kClass = 16;
  constexpr size_t kType = 17;

  struct Row {
    const char* name;
    size_t at;
    uint8_t value;
    bool fixCrc;
    int result;
    std::vector<int> messages;
    int timeBase;
  };
  const Row rows[] = {
      {"wrong CRC loads with a warning", base.size() - 1, static_cast<uint8_t>(base.back() ^ 0x5A),
       false, 1, {7038}, 4},
      {"not MMMD", 0, 'X', true, 0, {7032}, 0},
      {"contents class 2", kClass, 2, true, 0, {7041}, 0},
      {"contents type group 0x30", kType, 0x60, true, 0, {7040}, 0},
      {"contents type group 0x10 is taken", kType, 0x10, true, 1, {}, 4},
      {"time-base code 0x07 counts as 4 ms", track + 10, 0x07, true, 1, {}, 4},
      {"time-base code 0x10 is 10 ms", track + 10, 0x10, true, 1, {}, 10},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    std::vector<uint8_t> image = base;
    image[r.at] = r.value;
    if (r.fixCrc) FixCrc(image);
    WriteFile(PathOf("case.mmf"), image);
    host.messages.shown.clear();
    int result = -1;
    auto opened = Open("case.mmf", &result);
    EXPECT_EQ(result, r.result);
    EXPECT_EQ(host.messages.ShownIds(), r.messages);
    if (r.result == 1) {
      EXPECT_EQ(opened->GetTimeBase(), r.timeBase);
    }
  }
}

TEST_F(KZ1DocOpenKZ12, StartPointsOfTheChunksMustAgree) {
  CKZ1Doc& d = ChipTwoSong();
  // The audio track's own start point lies elsewhere than the score tracks'.
  AddEvent(*d.GetMidiListPCM(), 240, 240, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x08}, 8);
  AddEvent(*d.GetMidiListPCM(), 1000, 1000, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x09}, 9);
  ASSERT_EQ(Save(d, "song.mmf"), 1);
  host.messages.shown.clear();
  int result = 0;
  Open("song.mmf", &result);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7042, 7043}));
}

TEST_F(KZ1DocOpenKZ12, GenerationOneStartAfterStopFails) {
  CKZ1Doc& d = ChipOneSong();
  // Set without the checks a user edit passes.
  d.SetRefreshSuppress(1);
  d.SetCuePoint(CKZ1Doc::kStopCue, 300, 1);
  d.SetCuePoint(CKZ1Doc::kStartCue, 900, 1);
  ASSERT_EQ(Save(d, "song.mmf"), 1);
  int result = -1;
  auto opened = Open("song.mmf", &result);
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(opened->GetMidiList()->empty());
}

TEST_F(KZ1DocOpenKZ12, EveryProperPrefixOfASavedImageFails) {
  for (int chip : {1, 2}) {
    SCOPED_TRACE(chip);
    CKZ1Doc& d = chip == 1 ? ChipOneSong() : ChipTwoSong();
    ASSERT_EQ(Save(d, "whole.mmf"), 1);
    const std::vector<uint8_t> image = ReadFile(PathOf("whole.mmf"));
    for (size_t n = 0; n < image.size(); ++n) {
      WriteFile(PathOf("part.mmf"), std::vector<uint8_t>(image.begin(), image.begin() + n));
      int result = -1;
      auto opened = Open("part.mmf", &result);
      ASSERT_EQ(result, 0) << n;
      EXPECT_TRUE(opened->GetMidiList()->empty()) << n;
    }
  }
}

TEST_F(KZ1DocOpenKZ12, ANoteEndingBeforeItsStartOpensInBoundedSteps) {
  // A fuzzed image whose score decodes to a note ending before it starts; its clean-up once
  // looped for ever. The saved input begins with the fuzz target's selector byte.
  std::vector<uint8_t> image =
      ReadFile(std::string(TRILLOT_SOURCE_DIR) + "/fuzz/regressions/open_kz12/kz12-open-loop");
  ASSERT_GT(image.size(), 1u);
  image.erase(image.begin());
  WriteFile(PathOf("loop.mmf"), image);
  for (int chip : {1, 2}) {
    for (int profile : {1, 2}) {
      SCOPED_TRACE("chip mode " + std::to_string(chip) + ", profile " + std::to_string(profile));
      host.settings.chipMode = chip;
      host.settings.outputProfile = profile;
      host.settings.batchMode = true;
      auto d = std::make_unique<CKZ1Doc>();
      ASSERT_EQ(d->OpenWithChannelMask(PathOf("loop.mmf"), 0xFFFF, 24), 1);
      size_t notes = 0;
      for (const auto& m : *d->GetMidiList()) {
        if ((m->GetByte(0) & 0xF0) != 0x90) continue;
        ++notes;
        EXPECT_GT(m->GetEndTick(), m->GetTick());
      }
      EXPECT_GT(notes, 0u);
      EXPECT_LT(notes, image.size());
    }
  }
}

// --- The savers' chunks ---

class VelkWriterKZ12 : public kz12test::KZ12FileTest {
 protected:
  std::vector<uint8_t> Written(CKZ1Doc& d) {
    EXPECT_EQ(Save(d, "out.mmf"), 1);
    return ReadFile(PathOf("out.mmf"));
  }
};

TEST_F(VelkWriterKZ12, ChipOneWritesOneScoreTrack) {
  struct Row {
    int timeBase;
    bool qxCue;
    bool marks;
  };
  // QX cues drop the song's cue events before the build, so those songs carry no marks.
  const Row rows[] = {{4, false, true}, {3, false, false}, {4, true, false}, {20, true, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.timeBase) + (r.qxCue ? " QX" : "") + (r.marks ? " marks" : ""));
    host.ui.qxCue = r.qxCue;
    CKZ1Doc& d = Make(1);
    d.SetTimeBase(r.timeBase);
    AddEvent(*d.GetMidiList(), 0, 480, {0x90, 60, 100});
    if (r.marks) {
      ASSERT_EQ(d.SetCuePoint(3, 0, 1), 1);
    }
    const std::vector<uint8_t> image = Written(d);
    const size_t at = FindId(image, "MTR", 0);
    ASSERT_NE(at, std::string::npos);
    const uint8_t code = r.timeBase == 20 ? 0x11 : 0x02;
    EXPECT_EQ(std::vector<uint8_t>(image.begin() + at + 8, image.begin() + at + 14),
              (std::vector<uint8_t>{0x00, 0x00, code, code, 0x00, 0x00}));
    std::vector<uint8_t> copy = image;
    CMemStream in(copy.data(), static_cast<int32_t>(copy.size()), false);
    CVelkFileChunk file(in);
    ASSERT_EQ(file.GetScoreTracks().GetCount(), 1);
    EXPECT_EQ(file.GetAudioTracks().GetCount(), 0);
    const CScoreTrackChunk* track = file.GetScoreTracks().GetItem(1);
    EXPECT_EQ(track->GetTrackNumber(), 0);
    EXPECT_EQ(track->GetSetupChunk() != nullptr, !r.qxCue);
    EXPECT_EQ(track->GetSeekPhraseChunk() != nullptr, r.marks);
    EXPECT_NE(track->GetSequenceChunk(), nullptr);
    const size_t n = image.size();
    EXPECT_EQ(VelkCrc16(static_cast<uint32_t>(n - 2), image.data()), (image[n - 2] << 8) | image[n - 1]);
  }
}

TEST_F(VelkWriterKZ12, ChipTwoWritesFourScoreTracksAndTheAudioTrack) {
  for (int variant = 0; variant < 3; ++variant) {
    SCOPED_TRACE(variant);
    CKZ1Doc& d = Make(2);
    d.SetTimeBase(4);
    AddEvent(*d.GetMidiList(), 0, 480, {0x90, 60, 100});
    auto& pcm = *d.GetMidiListPCM();
    if (variant >= 1) {
      if (variant == 1) AddEvent(pcm, 0, 0, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x08}, 8);
      AddEvent(pcm, 0, 480, {0x90, 1, 100});
      AddEvent(pcm, 480, 960, {0x90, 2, 100});
      for (int s = 1; s <= 2; ++s) {
        CStreamPCMSlot slot;
        const uint8_t wave[] = {1, 2, 3, static_cast<uint8_t>(s)};
        slot.SetWaveData(wave, 4);
        d.SetStreamPcmSlot(s, slot);
      }
    }
    // A play range past the stream-PCM notes leaves the stream-PCM play list empty.
    if (variant == 2) d.SetPlayRange(1, 0, 400);
    const std::vector<uint8_t> image = Written(d);
    std::vector<uint8_t> copy = image;
    CMemStream in(copy.data(), static_cast<int32_t>(copy.size()), false);
    CVelkFileChunk file(in);
    ASSERT_EQ(file.GetScoreTracks().GetCount(), 4);
    for (int n = 1; n <= 4; ++n) {
      const CScoreTrackChunk* track = file.GetScoreTracks().GetItem(n);
      EXPECT_EQ(track->GetTrackNumber(), n);
      EXPECT_EQ(track->GetSetupChunk() != nullptr, n == 1);
    }
    const bool audio = variant == 1;
    ASSERT_EQ(file.GetAudioTracks().GetCount(), audio ? 1 : 0);
    if (audio) {
      const CAudioTrackChunk* track = file.GetAudioTracks().GetItem(1);
      EXPECT_EQ(track->GetTrackNumber(), 0);
      EXPECT_NE(track->GetSeekPhraseChunk(), nullptr);
      EXPECT_NE(track->GetSequenceChunk(), nullptr);
      EXPECT_EQ(track->GetWaves().GetCount(), 2);
      EXPECT_NE(FindId(image, "Awa", 1), std::string::npos);
      EXPECT_NE(FindId(image, "Awa", 2), std::string::npos);
    }
    const size_t n = image.size();
    EXPECT_EQ(VelkCrc16(static_cast<uint32_t>(n - 2), image.data()), (image[n - 2] << 8) | image[n - 1]);
  }
}

TEST_F(VelkWriterKZ12, ChannelWordHoldsOneStatusPerNibble) {
  CKZ1Doc& d = Make(2);
  d.SetTimeBase(4);
  AddEvent(*d.GetMidiList(), 0, 480, {0x90, 60, 100});
  const uint8_t status[4] = {0x1, 0x2, 0x4, 0x8};
  for (int i = 0; i < 4; ++i) d.GetSongSetup().SetStatus(4 + i, status[i]);
  const std::vector<uint8_t> image = Written(d);
  const size_t at = FindId(image, "MTR", 2);
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(image[at + 12], 0x12);
  EXPECT_EQ(image[at + 13], 0x48);
}

TEST_F(VelkWriterKZ12, EmptySongWritesNothing) {
  CKZ1Doc& d = Make(1);
  CMemStream image;
  SongOutputRecord setup;
  d.BuildOutputSetup(setup, 1);
  EXPECT_EQ(WriteVelkKZ1(d, image, setup), 0);
  EXPECT_EQ(image.GetSize(), 0);
  EXPECT_EQ(VelkTimeBaseCode(3), 0x02);
  EXPECT_EQ(VelkTimeBaseCode(50), 0x13);
}

}  // namespace
