// The plain SMF export: golden bytes, texts, note-off order and the fixed tables.
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "song/MemStream.h"

namespace {

using doctest::AddEvent;

std::string Hex(const std::vector<uint8_t>& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (uint8_t b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
    out += ' ';
  }
  return out;
}

class SmfExport : public doctest::DocTest {
 protected:
  CKZ1Doc& Song() {
    CKZ1Doc& d = Make(3);
    d.SetTempo(120);
    d.GetContentsInfo().GetSongTextInfo().SetLanguage(0, 0);
    for (int k = 1; k <= 6; ++k) d.GetContentsInfo().GetSongTextInfo().SetText(k, "");
    for (int i = 0; i < 48; ++i) setup.bytes[i] = 255;
    return d;
  }

  std::vector<uint8_t> Write(CKZ1Doc& d, int* result = nullptr) {
    CMemStream out;
    const int r = d.WriteSmf(out, setup);
    if (result) *result = r;
    return std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetSize());
  }

  /// The track body after the fixed meta events, up to the end-of-track delta.
  static std::vector<uint8_t> Events(const std::vector<uint8_t>& file, size_t head) {
    return std::vector<uint8_t>(file.begin() + static_cast<long>(head), file.end() - 3);
  }

  SongOutputRecord setup;
};

TEST_F(SmfExport, WritesTheGoldenFile) {
  CKZ1Doc& d = Song();
  setup.bytes[SongOutputRecord::kBankCodeOffset] = 0;
  setup.bytes[SongOutputRecord::kProgramCodeOffset] = 5;
  setup.bytes[SongOutputRecord::kVolumeOffset] = 100;
  for (int k = 1; k < 16; ++k) {
    setup.bytes[SongOutputRecord::kBankCodeOffset + k] = 0;
    setup.bytes[SongOutputRecord::kProgramCodeOffset + k] = 0;
  }
  auto& list = *d.GetMidiList();
  AddEvent(list, 0, 480, {0x90, 60, 100});
  AddEvent(list, 240, 480, {0x90, 64, 80});
  AddEvent(list, 480, 480, {0xB0, 0x0A, 0x40});
  AddEvent(list, 600, 600, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x03}, 3);
  int result = 0;
  const std::vector<uint8_t> expected = {
      0x4D, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x01, 0x01, 0xE0,  // MThd
      0x4D, 0x54, 0x72, 0x6B, 0x00, 0x00, 0x00, 0x51,                                      // MTrk 81
      0x00, 0xFF, 0x01, 0x0B, 'Q', 'X', 'l', 'n', ':', ':', ':', ':', ':', ':', ':',        // QX line
      0x00, 0xFF, 0x54, 0x05, 0x60, 0x00, 0x00, 0x00, 0x00,                                // SMPTE
      0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08,                                      // 4/4
      0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,                                            // 120
      0x00, 0xC0, 0x05, 0x00, 0xB0, 0x07, 0x64,                                            // channel 0
      0x00, 0x90, 0x3C, 0x64, 0x81, 0x70, 0x90, 0x40, 0x50,                                // notes
      0x81, 0x70, 0x90, 0x3C, 0x00, 0x00, 0x90, 0x40, 0x00,                                // note-offs
      0x00, 0xB0, 0x0A, 0x40,                                                              // pan
      0x78, 0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x03,                                      // cue 3
      0x83, 0x60, 0xFF, 0x2F, 0x00};                                                       // end
  ASSERT_EQ(expected.size(), 103u);
  const std::vector<uint8_t> file = Write(d, &result);
  EXPECT_EQ(Hex(file), Hex(expected));
  EXPECT_EQ(result, 1);
}

TEST_F(SmfExport, WritesTheSongTextsAndTheLanguageInTheQXLine) {
  CKZ1Doc& d = Song();
  auto& texts = d.GetContentsInfo().GetSongTextInfo();
  texts.SetLanguage('J', 'P');
  texts.SetText(1, "Song");
  texts.SetText(2, "a\\\\b\\,c");
  d.GetContentsInfo().SetOptionText(0, "(c)");
  const std::vector<uint8_t> file = Write(d);
  const std::string body(file.begin() + 22, file.end());
  EXPECT_EQ(body.substr(0, 8), std::string("\x00\xFF\x03\x04Song", 8));
  EXPECT_EQ(body.substr(8, 7), std::string("\x00\xFF\x02\x03(c)", 7));
  const std::string qx = "QXln:JP:Song:a\\b,c::::";
  EXPECT_EQ(body.substr(15, 4 + qx.size()),
            std::string("\x00\xFF\x01", 3) + static_cast<char>(qx.size()) + qx);
}

TEST_F(SmfExport, TempoZeroWritesTheDefaultTempo) {
  CKZ1Doc& d = Song();
  d.SetTempo(0);
  const std::vector<uint8_t> file = Write(d);
  const std::vector<uint8_t> tempo = {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};
  EXPECT_NE(std::search(file.begin(), file.end(), tempo.begin(), tempo.end()), file.end());
}

TEST_F(SmfExport, ReleasesNotesInEndOrderThenEntryOrder) {
  CKZ1Doc& d = Song();
  auto& list = *d.GetMidiList();
  AddEvent(list, 0, 300, {0x90, 60, 100});
  AddEvent(list, 0, 100, {0x91, 61, 100});
  AddEvent(list, 10, 300, {0x92, 62, 100});
  AddEvent(list, 200, 300, {0x93, 63, 100});  // enters the place the first release left
  const std::vector<uint8_t> file = Write(d);
  const size_t head = 22 + 15 + 9 + 8 + 7;
  const std::vector<uint8_t> expected = {
      0x00, 0x90, 60, 100, 0x00, 0x91, 61, 100, 0x0A, 0x92, 62, 100,
      0x5A, 0x91, 61, 0,                                   // 100
      0x64, 0x93, 63, 100,                                 // 200
      0x64, 0x90, 60, 0, 0x00, 0x92, 62, 0, 0x00, 0x93, 63, 0,  // 300, in entry order
      0x83, 0x60};
  EXPECT_EQ(Hex(Events(file, head)), Hex(expected));
}

TEST_F(SmfExport, NoteEndingAtTheNextEventIsReleasedBeforeIt) {
  CKZ1Doc& d = Song();
  AddEvent(*d.GetMidiList(), 0, 480, {0x90, 60, 100});
  AddEvent(*d.GetMidiList(), 480, 480, {0xC0, 7});
  const std::vector<uint8_t> file = Write(d);
  const size_t head = 22 + 15 + 9 + 8 + 7;
  const std::vector<uint8_t> expected = {0x00, 0x90, 60, 100, 0x83, 0x60, 0x90, 60, 0,
                                         0x00, 0xC0, 7,       0x83, 0x60};
  EXPECT_EQ(Hex(Events(file, head)), Hex(expected));
}

TEST_F(SmfExport, ThirtyThirdOverlappingNoteIsLeftOut) {
  CKZ1Doc& d = Song();
  for (int i = 0; i < 33; ++i) {
    AddEvent(*d.GetMidiList(), static_cast<uint32_t>(i), 1000, {0x90, static_cast<uint8_t>(i), 100});
  }
  AddEvent(*d.GetMidiList(), 40, 40, {0xB0, 1, 2});
  const std::vector<uint8_t> file = Write(d);
  const size_t head = 22 + 15 + 9 + 8 + 7;
  const std::vector<uint8_t> body = Events(file, head);
  size_t noteOns = 0;
  for (size_t i = 0; i + 2 < body.size(); ++i) {
    if (body[i] == 0x90 && body[i + 2] == 100) ++noteOns;
  }
  EXPECT_EQ(noteOns, 32u);
  // The controller keeps its time: delta 40 - 31 = 9 after the 32nd note.
  const std::vector<uint8_t> controller = {0x09, 0xB0, 1, 2};
  EXPECT_NE(std::search(body.begin(), body.end(), controller.begin(), controller.end()), body.end());
}

TEST_F(SmfExport, CueKindsBecomeTheirMetaEvents) {
  struct Row {
    uint32_t kind;
    std::vector<uint8_t> bytes;
  };
  const Row rows[] = {
      {1, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x00}},
      {2, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x01}},
      {7, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x07}},
      {8, {0xFF, 0x07, 0x05, 'S', 'T', 'A', 'R', 'T'}},
      {9, {0xFF, 0x07, 0x04, 'S', 'T', 'O', 'P'}},
      {10, {}},
  };
  for (const Row& row : rows) {
    CKZ1Doc& d = Song();
    AddEvent(*d.GetMidiList(), 5, 5, {0xFF, 0x01, 0x00}, row.kind);
    const std::vector<uint8_t> file = Write(d);
    std::vector<uint8_t> expected;
    if (!row.bytes.empty()) {
      expected.push_back(5);
      expected.insert(expected.end(), row.bytes.begin(), row.bytes.end());
    }
    expected.insert(expected.end(), {0x83, 0x60});
    EXPECT_EQ(Hex(Events(file, 22 + 15 + 9 + 8 + 7)), Hex(expected)) << row.kind;
  }
}

TEST_F(SmfExport, OtherStatusesAreNotWrittenAndLeaveTheRunningTime) {
  CKZ1Doc& d = Song();
  AddEvent(*d.GetMidiList(), 100, 100, {0xE0, 0, 64});
  AddEvent(*d.GetMidiList(), 100, 100, {0xFF, 0x51, 0x03, 1, 2, 3});
  AddEvent(*d.GetMidiList(), 150, 150, {0xC0, 3, 9});
  const std::vector<uint8_t> file = Write(d);
  const std::vector<uint8_t> expected = {0x81, 0x16, 0xC0, 3, 0x83, 0x60};
  EXPECT_EQ(Hex(Events(file, 22 + 15 + 9 + 8 + 7)), Hex(expected));
}

TEST_F(SmfExport, SongWithoutNotesStillGivesAValidFile) {
  CKZ1Doc& d = Song();
  int result = 1;
  const std::vector<uint8_t> file = Write(d, &result);
  EXPECT_EQ(result, 0);
  ASSERT_EQ(file.size(), 22u + 15 + 9 + 8 + 7 + 5);
  EXPECT_EQ(file[21], 15 + 9 + 8 + 7 + 5) << "the length is patched";
}

}  // namespace
