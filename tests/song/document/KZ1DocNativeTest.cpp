// Reading native song files, and what hostile input does to the document.
#include "ImportTestSupport.h"

namespace {

using importtest::Bytes;
using importtest::SongData;

class KZ1DocNative : public importtest::ImportTest {};

TEST_F(KZ1DocNative, NativeFileIsReadAndInitialised) {
  CKZ1Doc& d = Make(3);
  EXPECT_EQ(d.OpenDocument(File("song.K3N", SongData())), 1);
  ASSERT_EQ(importtest::NoteCount(d), 2);
  EXPECT_EQ(d.GetChannelBankMsb(0), 124);
  EXPECT_EQ(d.GetChannelProgram(0), 5);
  EXPECT_EQ(d.TickToMsByMap(480, 0), 600u);
  EXPECT_EQ(host.reports.Names(), std::vector<std::string>{"ReportConverterNotesShort"});
  EXPECT_EQ(host.ui.busyPictures, std::vector<int>{1});
  EXPECT_TRUE(host.binder.calls.empty());
}

TEST_F(KZ1DocNative, ANoteEndingAtItsStartInsideAHeldNoteOpensInChipModesOneAndTwo) {
  // Song data cannot end a note before it starts; a note released at its own tick is the
  // nearest, and the chip-mode 1/2 clean-up ends and drops it the same way.
  smftest::Track t;
  t.TickTempo(0, 1250)
      .Event(0, {0x90, 60, 100})
      .Event(480, {0x90, 62, 100})
      .Event(0, {0x80, 62, 0})
      .Event(480, {0x80, 60, 0})
      .EndOfTrack();
  const Bytes image = smftest::Image({t});
  for (int chip : {1, 2}) {
    SCOPED_TRACE(chip);
    CKZ1Doc& d = Make(chip);
    ASSERT_EQ(d.OpenDocument(File("held.K3N", image)), 1);
    std::vector<std::vector<uint32_t>> notes;
    for (const auto& m : *d.GetMidiList()) {
      if ((m->GetByte(0) & 0xF0) == 0x90) notes.push_back({m->GetByte(1), m->GetTick(), m->GetEndTick()});
    }
    EXPECT_EQ(notes, (std::vector<std::vector<uint32_t>>{{60, 0, 500}, {60, 480, 960}}));
  }
}

TEST_F(KZ1DocNative, ReaderNotesThatAreRefusedFailTheRead) {
  host.reports.answer = [](const platform::RecordedReport&) { return 0; };
  CKZ1Doc& d = Make(3);
  EXPECT_EQ(d.OpenDocument(File("song.k5n", SongData())), 0);
  EXPECT_TRUE(IsReset(d));
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7092});
}

TEST_F(KZ1DocNative, EveryProperPrefixOfAnImageFailsWithAResetDocument) {
  const Bytes image = SongData();
  for (size_t n = 0; n < image.size(); ++n) {
    SCOPED_TRACE(n);
    CKZ1Doc& d = Make(3);
    EXPECT_EQ(d.OpenDocument(File("cut.K3N", Bytes(image.begin(), image.begin() + n))), 0);
    EXPECT_TRUE(IsReset(d));
  }
}

TEST_F(KZ1DocNative, GarbageFailsWithAResetDocument) {
  Bytes garbage(300);
  for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 131 + 7);
  CKZ1Doc& d = Make(3);
  EXPECT_EQ(d.OpenDocument(File("junk.K3N", garbage)), 0);
  EXPECT_TRUE(IsReset(d));
}

}  // namespace
