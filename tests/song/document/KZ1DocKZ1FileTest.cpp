// The generation-1 song file reader and its tie pass.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DocTestSupport.h"
#include "song/VoiceLibrary.h"

namespace {

namespace fs = std::filesystem;
using doctest::AddEvent;

struct NoteView {
  uint8_t status;
  uint8_t note;
  uint32_t tick;
  uint32_t end;
};

/// A KZ-1 file: word 0, eight voices, the slot word, the tempo word, seven spare words, events.
std::vector<uint8_t> Kz1File(const std::vector<uint16_t>& words, uint16_t slots = 0x3210,
                             uint16_t tempo = 30, const std::vector<uint8_t>& voice0 = {}) {
  std::vector<uint8_t> out(2, 0);
  for (int i = 0; i < 8; ++i) {
    for (int b = 0; b < 8; ++b) {
      out.push_back(i == 0 && b < static_cast<int>(voice0.size()) ? voice0[b] : 0);
    }
  }
  auto be16 = [&](uint16_t w) {
    out.push_back(static_cast<uint8_t>(w >> 8));
    out.push_back(static_cast<uint8_t>(w));
  };
  be16(slots);
  be16(tempo);
  for (int i = 0; i < 7; ++i) be16(0);
  for (uint16_t w : words) be16(w);
  return out;
}

class KZ1FileTest : public doctest::DocTest {
 protected:
  void SetUp() override {
    path = (fs::temp_directory_path() /
            ("trillot_kz1_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
             "_" + std::to_string(::getpid()) + ".kz1"))
               .string();
    host.registry.voiceLibrary = &library;
  }
  void TearDown() override { fs::remove(path); }

  void Write(const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  int Read(const std::vector<uint8_t>& bytes, int divisor, int chipMode = 1) {
    Write(bytes);
    CKZ1Doc& d = Make(chipMode);
    d.SetExportOption2(divisor);
    return d.ReadKZ1File(path);
  }

  std::vector<NoteView> Events() const {
    std::vector<NoteView> out;
    for (const auto& m : *doc->GetMidiList()) {
      out.push_back({m->GetByte(0), m->GetLength() > 1 ? m->GetByte(1) : uint8_t{0}, m->GetTick(),
                     m->GetEndTick()});
    }
    return out;
  }

  CVoiceLibrary library;
  std::string path;
};

TEST_F(KZ1FileTest, TiedNoteAndContinuationReadAsOneNote) {
  ASSERT_EQ(Read(Kz1File({0x456F, 0x4123}), 2), 1);
  const auto events = Events();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].status, 0x91);
  EXPECT_EQ(events[0].note, 49);
  EXPECT_EQ(events[0].tick, 0u);
  EXPECT_EQ(events[0].end, 22u);
  EXPECT_EQ(doc->GetMidiList()->front()->GetExtra(), 0u);
}

TEST_F(KZ1FileTest, ANoteEndingAtItsStartIsDropped) {
  // A KZ-1 note cannot end before it starts; with the divisor 2 a gate of one unit ends at
  // its start, which the clean-up drops as it would a note ending before its start.
  // 0x4620: octave 1, code 1, channel 2, length code 4 (6 units), gate 1; 0x4623: gate 5.
  ASSERT_EQ(Read(Kz1File({0x4620, 0x4623}), 2), 1);
  const auto events = Events();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].status, 0x92);
  EXPECT_EQ(events[0].note, 49);
  EXPECT_EQ(events[0].tick, 3u);
  EXPECT_EQ(events[0].end, 5u);
}

TEST_F(KZ1FileTest, VoiceChangeRestAppendsProgramChangeAndAdvances) {
  // A note of 12 units on channel 2, then 0x32A5: voice 5 and a rest of 6 units.
  ASSERT_EQ(Read(Kz1File({0x463B, 0x32A5, 0x4612}), 2), 1);
  const auto events = Events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[1].status, 0xC2);
  EXPECT_EQ(events[1].note, doc->GetVoiceProgram(5));
  EXPECT_EQ(events[1].tick, 6u);
  EXPECT_EQ(events[2].status, 0x92);
  EXPECT_EQ(events[2].tick, 9u);
}

TEST_F(KZ1FileTest, HeaderGivesVoicesSlotsAndTempo) {
  ASSERT_EQ(Read(Kz1File({}, 0x0123, 0, {0x78, 0x56, 0x34, 0x12, 0xEF, 0xCD, 0xAB, 0x89}), 2), 1);
  EXPECT_TRUE(doc->GetMidiList()->empty());
  uint8_t voice[33] = {};
  doc->GetKZ1Voice(0, voice);
  EXPECT_EQ(std::vector<uint8_t>(voice + 20, voice + 28),
            (std::vector<uint8_t>{0x12, 0x34, 0x56, 0x78, 0x89, 0xAB, 0xCD, 0xEF}));
  // 8739 / 1 / 4 = 2184.75
  EXPECT_EQ(doc->GetTempo(), 2185);
  EXPECT_EQ(doc->GetChannelProgram(0), doc->GetVoiceProgram(3));
  EXPECT_EQ(doc->GetChannelProgram(3), doc->GetVoiceProgram(0));
  EXPECT_EQ(doc->GetChannelVolume(2), 127);
}

TEST_F(KZ1FileTest, RestNoteCodesKeepTheirVibratoChange) {
  // Codes 8 and 12 are rests: octave 1, channel 0, vibrato on, length code 4.
  const uint16_t code8 = 0x4000 | (8 << 10) | 0x80 | (4 << 3) | 2;
  const uint16_t code12 = 0x4000 | (12 << 10) | 0x80 | (4 << 3) | 2;
  ASSERT_EQ(Read(Kz1File({code8, code12, 0x44A0}), 1), 1);
  const auto events = Events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].status, 0xB0);
  EXPECT_EQ(events[0].note, 0x01);
  EXPECT_EQ(events[1].status, 0x90);
  EXPECT_EQ(events[1].tick, 12u);
}

TEST_F(KZ1FileTest, DivisorZeroReadsAsOne) {
  ASSERT_EQ(Read(Kz1File({0x4620, 0x4620}), 0), 1);
  const auto events = Events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1].tick, 6u);
  EXPECT_EQ(doc->GetTempo(), 141);  // 8739 / 31 / 2 = 140.95
}

TEST_F(KZ1FileTest, FailsOutsideChipModeOneAndInsideTheHeader) {
  EXPECT_EQ(Read(Kz1File({0x4620}), 1, 2), 0);
  std::vector<uint8_t> header = Kz1File({});
  header.resize(70);
  EXPECT_EQ(Read(header, 1), 0);
  EXPECT_EQ(Read({}, 1), 0);
}

TEST_F(KZ1FileTest, EveryPrefixReadsOrFailsCleanly) {
  std::vector<uint8_t> file = Kz1File({0x456F, 0x4123, 0x32A5, 0x4612, 0xC7FF, 0x3FFF, 0x0000, 0x7B8C});
  for (size_t n = 0; n <= file.size(); ++n) {
    std::vector<uint8_t> prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
    const int result = Read(prefix, 2);
    EXPECT_EQ(result, n >= 84 ? 1 : 0) << n;
  }
}

TEST_F(KZ1FileTest, LoaderOpensKz1Files) {
  Write(Kz1File({0x4620}));
  CKZ1Doc& d = Make(1);
  d.SetExportOption2(1);
  ASSERT_EQ(d.OpenDocument(path), 1);
  EXPECT_EQ(d.GetMidiList()->size(), 1u);
  EXPECT_EQ(d.GetTempo(), 141);  // 8739 / 31 / 2
}

class TieKZ1NotesTest : public doctest::DocTest {};

TEST_F(TieKZ1NotesTest, TableOfCases) {
  struct Case {
    const char* name;
    std::vector<NoteView> in;  // status, note, tick, end; extra all ones when note >= 200 - 100
    std::vector<uint32_t> extras;
    std::vector<NoteView> out;
  };
  const uint32_t tie = 0xFFFFFFFFu;
  const std::vector<Case> cases = {
      {"tied same pitch joins", {{0x90, 60, 0, 48}, {0x90, 60, 48, 60}}, {tie, 0}, {{0x90, 60, 0, 60}}},
      {"overlapping same pitch joins", {{0x90, 60, 0, 20}, {0x90, 60, 10, 30}}, {0, 0}, {{0x90, 60, 0, 30}}},
      {"touching untied notes stay", {{0x90, 60, 0, 10}, {0x90, 60, 10, 30}}, {0, 0},
       {{0x90, 60, 0, 10}, {0x90, 60, 10, 30}}},
      {"other pitch cuts", {{0x90, 60, 0, 40}, {0x90, 62, 10, 30}}, {0, 0},
       {{0x90, 60, 0, 20}, {0x90, 62, 10, 30}}},
      {"other channel untouched", {{0x90, 60, 0, 40}, {0x91, 62, 10, 30}}, {0, 0},
       {{0x90, 60, 0, 40}, {0x91, 62, 10, 30}}},
  };
  for (const Case& c : cases) {
    CKZ1Doc& d = Make(1);
    for (size_t i = 0; i < c.in.size(); ++i) {
      AddEvent(*d.GetMidiList(), c.in[i].tick, c.in[i].end, {c.in[i].status, c.in[i].note, 100}, c.extras[i]);
    }
    d.TieKZ1Notes();
    ASSERT_EQ(d.GetMidiList()->size(), c.out.size()) << c.name;
    size_t i = 0;
    for (const auto& m : *d.GetMidiList()) {
      EXPECT_EQ(m->GetByte(0), c.out[i].status) << c.name;
      EXPECT_EQ(m->GetByte(1), c.out[i].note) << c.name;
      EXPECT_EQ(m->GetTick(), c.out[i].tick) << c.name;
      EXPECT_EQ(m->GetEndTick(), c.out[i].end) << c.name;
      EXPECT_EQ(m->GetExtra(), 0u) << c.name;
      ++i;
    }
  }
}

TEST_F(TieKZ1NotesTest, ContinuationCutsSoundingNotesAndGoes) {
  CKZ1Doc& d = Make(1);
  AddEvent(*d.GetMidiList(), 0, 48, {0x91, 49, 100}, 0xFFFFFFFFu);
  AddEvent(*d.GetMidiList(), 12, 14, {0x91, 49, 0xFF});
  d.TieKZ1Notes();
  ASSERT_EQ(d.GetMidiList()->size(), 1u);
  EXPECT_EQ(d.GetMidiList()->front()->GetEndTick(), 22u);
}

}  // namespace
