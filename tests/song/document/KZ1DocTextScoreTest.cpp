// The text-score parser and generator.
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "song/GrowPtrArray.h"

namespace {

using doctest::AddEvent;

struct Note {
  uint32_t tick;
  uint32_t end;
  int key;
  bool operator==(const Note& o) const { return tick == o.tick && end == o.end && key == o.key; }
};

std::ostream& operator<<(std::ostream& os, const Note& n) {
  return os << "{" << n.tick << ".." << n.end << " key " << n.key << "}";
}

class TextScore : public doctest::DocTest {
 protected:
  ~TextScore() override { Clear(); }

  void Clear() {
    for (uint32_t i = 0; i < events.GetCount(); ++i) delete static_cast<CMidiMsg*>(events.GetAt(i));
    events.RemoveAll();
  }

  /// Parses with the given quarter; the notes, or nothing with the error text kept.
  std::vector<Note> Parse(CKZ1Doc& d, const std::string& text, int quarter = 24, int channel = 0) {
    Clear();
    error.clear();
    result = d.ParseTextScore(channel, text, events, error, quarter);
    std::vector<Note> out;
    for (uint32_t i = 0; i < events.GetCount(); ++i) {
      const auto* m = static_cast<const CMidiMsg*>(events.GetAt(i));
      out.push_back({m->GetTick(), m->GetEndTick(), m->GetByte(1)});
    }
    return out;
  }

  std::string Make(CKZ1Doc& d, int channel = 0) {
    std::string text;
    error.clear();
    result = d.MakeTextScore(channel, text, error, &warnOnce);
    return text;
  }

  CGrowPtrArray events{4};
  std::string error;
  int result = -1;
  int warnOnce = 1;
};

TEST_F(TextScore, ParsesQuarterNotesAtVelocity64) {
  CKZ1Doc& d = DocTest::Make(3);
  const auto notes = Parse(d, "C D E", 24, 2);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(notes, (std::vector<Note>{{0, 24, 60}, {24, 48, 62}, {48, 72, 64}}));
  const auto* m = static_cast<const CMidiMsg*>(events.GetAt(0));
  ASSERT_EQ(m->GetLength(), 3u);
  EXPECT_EQ(m->GetByte(0), 0x92);
  EXPECT_EQ(m->GetByte(2), 64);
}

TEST_F(TextScore, OctaveMarksPersistForTheFollowingNotes) {
  CKZ1Doc& d = DocTest::Make(3);
  const auto notes = Parse(d, "C4 C>4 C4 C<4");
  ASSERT_EQ(result, 1);
  std::vector<int> keys;
  for (const Note& n : notes) keys.push_back(n.key);
  EXPECT_EQ(keys, (std::vector<int>{60, 72, 72, 60}));
}

TEST_F(TextScore, LengthsFollowTheTable) {
  CKZ1Doc& d = DocTest::Make(3);
  struct Row {
    const char* text;
    int quarter;
    uint32_t ticks;
  } rows[] = {{"C1", 24, 96},  {"C2.", 24, 72}, {"C2", 24, 48},  {"C4.", 24, 36}, {"C", 24, 24},
              {"C8.", 24, 18}, {"C6", 24, 16},  {"C8", 24, 12},  {"C12", 24, 8},  {"C16", 24, 6},
              {"C24", 24, 4},  {"C32", 24, 3},  {"C48", 24, 2},  {"C96", 24, 1},  {"C192", 24, 1},
              {"C4.", 480, 720}, {"C192", 480, 10}, {"C96", 480, 20}, {"C192", 4, 1}, {"8", 480, 240}};
  for (const Row& row : rows) {
    const auto notes = Parse(d, row.text, row.quarter);
    ASSERT_EQ(notes.size(), 1u) << row.text << " " << error;
    EXPECT_EQ(notes[0].end, row.ticks) << row.text << " Q " << row.quarter;
  }
}

TEST_F(TextScore, QuarterComesFromTheTimeBaseOr24) {
  CKZ1Doc& d = DocTest::Make(3);
  EXPECT_EQ(Parse(d, "C", 0)[0].end, 24u);
  d.SetTimeBase(480);
  EXPECT_EQ(Parse(d, "C", 0)[0].end, 480u);
  EXPECT_EQ(Parse(d, "C", 24)[0].end, 24u) << "a given quarter wins";
}

TEST_F(TextScore, TieOverlapsTheNextNoteByOneTickWithinOneToken) {
  CKZ1Doc& d = DocTest::Make(3);
  auto notes = Parse(d, "C4^D4 X");
  EXPECT_EQ(result, 0);
  EXPECT_EQ(error, "It found illegal description : 1 channel, 2 th caracter.");
  notes = Parse(d, "C4&D4");
  ASSERT_EQ(result, 1);
  EXPECT_EQ(notes, (std::vector<Note>{{0, 25, 60}, {24, 48, 62}}));
}

TEST_F(TextScore, RestsAdvanceWithoutEvents) {
  CKZ1Doc& d = DocTest::Make(3);
  const auto notes = Parse(d, "R4 E-8\r\nR\tG+");
  ASSERT_EQ(result, 1) << error;
  EXPECT_EQ(notes, (std::vector<Note>{{24, 36, 63}, {60, 84, 68}}));
}

TEST_F(TextScore, IllegalTokensGiveTheErrorAndAnEmptyArray) {
  CKZ1Doc& d = DocTest::Make(3);
  const struct {
    const char* text;
    int token;
  } rows[] = {{"C>C", 1},  {"C#+4", 1}, {"R4^", 1},  {"c4", 1},   {"C D3", 2}, {"C9", 1},
              {"C19", 1},  {"C5", 1},   {"R>4", 1},  {"C4.5", 1}, {"C E F ^", 4}, {"C4^", 0},
              {"C<<<<<<", 1}, {"B>>>>>", 1}, {"C-", 0}, {"D>>>>", 0}};
  for (const auto& row : rows) {
    const auto notes = Parse(d, row.text, 24, 4);
    if (row.token == 0) {
      EXPECT_EQ(result, 1) << row.text << " " << error;
      continue;
    }
    EXPECT_EQ(result, 0) << row.text;
    EXPECT_TRUE(notes.empty()) << row.text;
    EXPECT_EQ(events.GetCount(), 0u);
    EXPECT_EQ(error, "It found illegal description : 5 channel, " + std::to_string(row.token) +
                         " th caracter.")
        << row.text;
  }
}

TEST_F(TextScore, MultiByteTextIsRefused) {
  CKZ1Doc& d = DocTest::Make(3);
  Parse(d, "C \x82\xA0");
  EXPECT_EQ(result, 0);
  EXPECT_EQ(error, "It not support multi-byte description");
}

TEST_F(TextScore, EveryPrefixOfALongTextParsesOrFailsCleanly) {
  CKZ1Doc& d = DocTest::Make(3);
  const std::string text = "C4^D#8 E-16 R2. F+>192 G96&A48 B<1 12 R8. C6^C12 D24 E32 \r\nR4 A4.^";
  for (size_t n = 0; n <= text.size(); ++n) {
    Parse(d, text.substr(0, n));
    if (result == 1) continue;
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(error.empty()) << n;
    EXPECT_EQ(events.GetCount(), 0u) << n;
  }
  Parse(d, text);
  EXPECT_EQ(result, 1) << error;
}

TEST_F(TextScore, GeneratorWritesNotesRestsAndOctaves) {
  CKZ1Doc& d = DocTest::Make(3);
  auto& list = *d.GetMidiList();
  AddEvent(list, 0, 24, {0x90, 60, 100});
  AddEvent(list, 0, 24, {0x91, 40, 100});   // another channel
  AddEvent(list, 10, 10, {0xB0, 7, 100});   // not a note
  AddEvent(list, 48, 72, {0x90, 73, 100});  // C+ one octave up after a rest
  AddEvent(list, 91, 151, {0x90, 47, 100}); // 19-tick rest, 60-tick note two octaves down
  EXPECT_EQ(Make(d), "C4 R4 C+>4 R6 R32 B<<<2^ B8 ");
  EXPECT_EQ(result, 1);
}

TEST_F(TextScore, GeneratorMarksTiesAndRoundTripsThroughTheParser) {
  CKZ1Doc& d = DocTest::Make(3);
  auto& list = *d.GetMidiList();
  AddEvent(list, 0, 25, {0x90, 60, 100});
  AddEvent(list, 24, 48, {0x90, 62, 100});
  AddEvent(list, 60, 72, {0x90, 64, 100});
  const std::string text = Make(d);
  EXPECT_EQ(text, "C4^ D4 R8 E8 ");
  const auto notes = Parse(d, text, 24);
  EXPECT_EQ(notes, (std::vector<Note>{{0, 25, 60}, {24, 48, 62}, {60, 72, 64}}));
}

TEST_F(TextScore, GeneratorAppendsToTheText) {
  CKZ1Doc& d = DocTest::Make(3);
  AddEvent(*d.GetMidiList(), 0, 24, {0x90, 60, 100});
  std::string text = "head ";
  EXPECT_EQ(d.MakeTextScore(0, text, error, nullptr), 1);
  EXPECT_EQ(text, "head C4 ");
}

TEST_F(TextScore, OverlappingNotesCannotBeWritten) {
  CKZ1Doc& d = DocTest::Make(3);
  AddEvent(*d.GetMidiList(), 0, 48, {0x90, 60, 100});
  AddEvent(*d.GetMidiList(), 24, 48, {0x90, 62, 100});
  Make(d);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(error, "It can not be converted to text score so that delta time of notes is minus.");
}

TEST_F(TextScore, ZeroLengthNoteWarnsOnceAndTakesTheTickFromTheNextRest) {
  CKZ1Doc& d = DocTest::Make(3);
  auto& list = *d.GetMidiList();
  AddEvent(list, 0, 0, {0x90, 60, 100});
  AddEvent(list, 24, 24, {0x90, 62, 100});
  AddEvent(list, 48, 72, {0x90, 64, 100});
  EXPECT_EQ(Make(d), "C96 R8. R32 R48 D96 R8. R32 R48 E4 ");
  EXPECT_EQ(result, 1);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7055});
  EXPECT_EQ(warnOnce, 0);
}

}  // namespace
