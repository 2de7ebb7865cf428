// The chip-mode 1 and 2 Standard MIDI File reader, through real files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KZ12TestSupport.h"

namespace {

using doctest::AddEvent;
using doctest::Bytes;
using kz12test::ReadFile;
using kz12test::WriteFile;
using Data = std::vector<uint8_t>;

/// One track's events: delta then bytes, each appended as given.
class Track {
 public:
  Track& At(uint32_t delta, const Data& bytes) {
    Delta(delta);
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
  }
  Track& Meta(uint32_t delta, uint8_t type, const std::string& text) {
    Data bytes = {0xFF, type, static_cast<uint8_t>(text.size())};
    bytes.insert(bytes.end(), text.begin(), text.end());
    return At(delta, bytes);
  }
  Data Chunk() const {
    Data all = {'M', 'T', 'r', 'k'};
    Data body = m_bytes;
    body.insert(body.end(), {0x00, 0xFF, 0x2F, 0x00});
    const uint32_t n = static_cast<uint32_t>(body.size());
    all.insert(all.end(), {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16),
                           static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)});
    all.insert(all.end(), body.begin(), body.end());
    return all;
  }

 private:
  void Delta(uint32_t v) {
    Data groups;
    do {
      groups.insert(groups.begin(), static_cast<uint8_t>((v & 0x7F) | (groups.empty() ? 0 : 0x80)));
      v >>= 7;
    } while (v != 0);
    m_bytes.insert(m_bytes.end(), groups.begin(), groups.end());
  }
  Data m_bytes;
};

Data Smf(uint16_t format, uint16_t division, const std::vector<Track>& tracks) {
  Data out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, static_cast<uint8_t>(format), 0,
              static_cast<uint8_t>(tracks.size()), static_cast<uint8_t>(division >> 8),
              static_cast<uint8_t>(division)};
  for (const Track& t : tracks) {
    Data chunk = t.Chunk();
    out.insert(out.end(), chunk.begin(), chunk.end());
  }
  return out;
}

struct Note {
  int channel;
  int note;
  uint32_t start;
  uint32_t end;
  bool operator==(const Note& o) const {
    return channel == o.channel && note == o.note && start == o.start && end == o.end;
  }
};

std::vector<Note> NotesOf(const CKZ1Doc& d) {
  std::vector<Note> out;
  for (const auto& m : *d.GetMidiList()) {
    if ((m->GetByte(0) & 0xF0) == 0x90) out.push_back({m->GetByte(0) & 0x0F, m->GetByte(1), m->GetTick(), m->GetEndTick()});
  }
  return out;
}

class KZ1DocSmfKZ12 : public kz12test::KZ12FileTest {
 protected:
  std::unique_ptr<CKZ1Doc> Load(const Data& smf, int* result, int mask = -1) {
    WriteFile(PathOf("song.mid"), smf);
    auto d = std::make_unique<CKZ1Doc>();
    const int r = mask < 0 ? d->OpenDocument(PathOf("song.mid"))
                           : d->OpenWithChannelMask(PathOf("song.mid"), mask, 24);
    if (result) *result = r;
    return d;
  }

  static Track TwoNotes() {
    Track t;
    t.At(0, {0x90, 60, 100}).At(480, {0x80, 60, 0}).At(0, {0x90, 62, 90}).At(480, {0x90, 62, 0});
    return t;
  }
};

TEST_F(KZ1DocSmfKZ12, ReadsNotesAsNoteOnsWithTheirEnds) {
  host.settings.chipMode = 2;
  int result = 0;
  auto d = Load(Smf(0, 480, {TwoNotes()}), &result);
  ASSERT_EQ(result, 1);
  EXPECT_EQ(NotesOf(*d), (std::vector<Note>{{0, 60, 0, 480}, {0, 62, 480, 960}}));
  EXPECT_EQ(d->GetTimeBase(), 4);
}

TEST_F(KZ1DocSmfKZ12, ANoteEndingAtItsStartInsideAHeldNoteOpens) {
  // An SMF cannot end a note before it starts; the nearest it comes is a note released at its
  // own tick, which the clean-up ends at its start as well. Under a held note it is dropped
  // and cuts the held note in two, as a short note there does.
  for (int chip : {1, 2}) {
    SCOPED_TRACE(chip);
    host.settings.chipMode = chip;
    Track t;
    t.At(0, {0x90, 60, 100}).At(480, {0x90, 62, 100}).At(0, {0x80, 62, 0}).At(480, {0x80, 60, 0});
    int result = 0;
    auto d = Load(Smf(0, 480, {t}), &result);
    ASSERT_EQ(result, 1);
    EXPECT_EQ(NotesOf(*d), (std::vector<Note>{{0, 60, 0, 500}, {0, 60, 480, 960}}));
  }
}

TEST_F(KZ1DocSmfKZ12, ScalesTicksToTheSongDivision) {
  host.settings.chipMode = 2;
  Track t;
  t.At(96, {0x90, 60, 100}).At(48, {0x80, 60, 0});
  int result = 0;
  auto d = Load(Smf(0, 96, {t}), &result);
  ASSERT_EQ(result, 1);
  EXPECT_EQ(NotesOf(*d), (std::vector<Note>{{0, 60, 480, 720}}));
}

TEST_F(KZ1DocSmfKZ12, FormatOneTracksAreMergedInTimeOrder) {
  host.settings.chipMode = 2;
  Track conductor;
  conductor.At(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}).At(0, {0xFF, 0x58, 0x04, 0x03, 0x02, 0x18, 0x08});
  Track second;
  second.At(240, {0x91, 64, 100}).At(240, {0x81, 64, 0});
  int result = 0;
  auto d = Load(Smf(1, 480, {conductor, TwoNotes(), second}), &result);
  ASSERT_EQ(result, 1);
  EXPECT_EQ(NotesOf(*d), (std::vector<Note>{{0, 60, 0, 480}, {1, 64, 240, 480}, {0, 62, 480, 960}}));
  EXPECT_EQ(d->GetBeatsPerMeasure(), 3);
  EXPECT_EQ(d->GetTempo(), d->QuantizeTempo(120));
}

TEST_F(KZ1DocSmfKZ12, CueEventsSetTheirCuePoints) {
  struct Row {
    uint8_t code;
    int kind;  // 0: none
  };
  const Row rows[] = {{0, 1}, {1, 2}, {2, 0}, {3, 3}, {0x17, 7}};
  for (const Row& r : rows) {
    SCOPED_TRACE(static_cast<int>(r.code));
    host.settings.chipMode = 2;
    Track t = TwoNotes();
    t.At(0, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, r.code});
    int result = 0;
    auto d = Load(Smf(0, 480, {t}), &result);
    ASSERT_EQ(result, 1);
    for (int kind = 1; kind <= 7; ++kind) {
      EXPECT_EQ(d->GetCuePoint(kind), kind == r.kind ? 960u : CKZ1Doc::kNoCue) << kind;
    }
  }
}

TEST_F(KZ1DocSmfKZ12, StartAndStopMarkersSetThePointsAndThePlayRange) {
  host.settings.chipMode = 1;
  Track t;
  t.Meta(0, 0x06, "START").At(0, {0x90, 60, 100}).At(960, {0x80, 60, 0}).Meta(0, 0x06, "STOP");
  int result = 0;
  auto d = Load(Smf(0, 480, {t}), &result);
  ASSERT_EQ(result, 1);
  EXPECT_EQ(d->GetCuePoint(CKZ1Doc::kStartCue), 0u);
  EXPECT_EQ(d->GetCuePoint(CKZ1Doc::kStopCue), 960u);
  EXPECT_EQ(d->IsPlayRangeOn(), 1);
  EXPECT_EQ(d->GetPlayRangeEnd(), 960u);
}

TEST_F(KZ1DocSmfKZ12, StartMarkerNotBeforeTheStopFails) {
  host.settings.chipMode = 1;
  Track t;
  t.At(0, {0x90, 60, 100}).Meta(480, 0x06, "STOP").Meta(480, 0x06, "START").At(0, {0x80, 60, 0});
  int result = -1;
  auto d = Load(Smf(0, 480, {t}), &result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(host.messages.ShownIds(), (std::vector<int>{7037}));
  EXPECT_TRUE(d->GetMidiList()->empty());
}

TEST_F(KZ1DocSmfKZ12, ChannelMaskKeepsItsChannelsNumberedFromZero) {
  host.settings.chipMode = 2;
  Track t;
  for (uint8_t ch = 0; ch < 4; ++ch) {
    t.At(0, {static_cast<uint8_t>(0x90 | ch), static_cast<uint8_t>(60 + ch), 100});
  }
  t.At(480, {0x80, 60, 0}).At(0, {0x81, 61, 0}).At(0, {0x82, 62, 0}).At(0, {0x83, 63, 0});
  int result = 0;
  auto d = Load(Smf(0, 480, {t}), &result, 0x0005);
  ASSERT_EQ(result, 1);
  // Notes of one tick stand higher note first.
  EXPECT_EQ(NotesOf(*d), (std::vector<Note>{{1, 62, 0, 480}, {0, 60, 0, 480}}));
}

TEST_F(KZ1DocSmfKZ12, QXTextSetsTheSongTextsAndTheCodeType) {
  host.settings.chipMode = 2;
  Track t = TwoNotes();
  t.Meta(0, 0x01, "QXln:KR:Title:Words::::");
  int result = 0;
  auto d = Load(Smf(0, 480, {t}), &result);
  ASSERT_EQ(result, 1);
  EXPECT_EQ(d->GetContentsInfo().GetCodeType(), 2);
  EXPECT_STREQ(d->GetContentsInfo().GetSongTextInfo().GetText(1), "Title");
}

TEST_F(KZ1DocSmfKZ12, ExportedSmfReadsBack) {
  CKZ1Doc& d = Make(1);
  AddEvent(*d.GetMidiList(), 0, 480, {0x90, 60, 100});
  AddEvent(*d.GetMidiList(), 480, 960, {0x91, 64, 100});
  CleanUp(d);
  ASSERT_EQ(d.SetCuePoint(3, 480, 1), 1);
  CMemStream smf;
  SongOutputRecord setup;
  d.BuildOutputSetup(setup, 1);
  ASSERT_EQ(d.WriteSmf(smf, setup), 1);
  Data bytes(smf.GetData(), smf.GetData() + smf.GetSize());
  int result = 0;
  auto back = Load(bytes, &result);
  ASSERT_EQ(result, 1);
  EXPECT_EQ(NotesOf(*back), NotesOf(d));
  EXPECT_EQ(back->GetCuePoint(3), 480u);
}

TEST_F(KZ1DocSmfKZ12, EveryProperPrefixGivesNothingOrASong) {
  host.settings.chipMode = 2;
  Track conductor;
  conductor.At(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}).Meta(0, 0x01, "QXln:JP:a:b::::");
  Track t = TwoNotes();
  t.At(0, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x03}).Meta(0, 0x06, "START");
  const Data whole = Smf(1, 480, {conductor, t});
  for (size_t n = 0; n < whole.size(); ++n) {
    int result = -1;
    auto d = Load(Data(whole.begin(), whole.begin() + n), &result);
    ASSERT_TRUE(result == 0 || result == 1) << n;
    if (result == 0) {
      EXPECT_TRUE(d->GetMidiList()->empty()) << n;
    }
  }
  int result = 0;
  Load(whole, &result);
  EXPECT_EQ(result, 1);
}

}  // namespace
