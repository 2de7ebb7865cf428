// The song document's reset values, change flags and play range.
#include <functional>
#include <string>

#include "DocTestSupport.h"
#include "song/document/UndoSlot.h"

namespace {

using doctest::AddEvent;

class KZ1Doc : public doctest::DocTest {};

struct ResetCase {
  const char* what;
  std::function<long long(const CKZ1Doc&)> get;
  long long expected;
};

TEST_F(KZ1Doc, NewSongHasTheResetValues) {
  CKZ1Doc& d = Make(3);
  const ResetCase cases[] = {
      {"tempo", [](const CKZ1Doc& x) { return x.GetTempo(); }, 200},
      {"resolution", [](const CKZ1Doc& x) { return x.GetResolution(); }, 480},
      {"second resolution", [](const CKZ1Doc& x) { return x.GetSecondResolution(); }, 480},
      {"beats", [](const CKZ1Doc& x) { return x.GetBeatsPerMeasure(); }, 4},
      {"time base", [](const CKZ1Doc& x) { return x.GetTimeBase(); }, 0},
      {"change flags", [](const CKZ1Doc& x) { return x.TestModifiedFlags(0xFFFFFFFF); }, 2},
      {"play range", [](const CKZ1Doc& x) { return x.IsPlayRangeOn(); }, 0},
      {"view flag", [](const CKZ1Doc& x) { return x.GetViewFlag(); }, 1},
      {"image ready", [](const CKZ1Doc& x) { return x.IsImageReady(); }, 1},
      {"selection word", [](const CKZ1Doc& x) { return x.GetSelectionWord(); }, -1},
      {"drop flag", [](const CKZ1Doc& x) { return x.GetDropFlag(); }, 1},
      {"slot 0 bank MSB", [](const CKZ1Doc& x) { return x.GetVoiceBankMsb(0); }, 0},
      {"slot 0 bank LSB", [](const CKZ1Doc& x) { return x.GetVoiceBankLsb(0); }, 0},
      {"slot 0 program", [](const CKZ1Doc& x) { return x.GetVoiceProgram(0); }, 0},
      {"slot 0 note", [](const CKZ1Doc& x) { return x.GetVoiceNote(0); }, 0},
      {"slot 1 program", [](const CKZ1Doc& x) { return x.GetVoiceProgram(1); }, 255},
      {"channel 5 slot", [](const CKZ1Doc& x) { return x.GetChannelVoiceSlot(5); }, 0},
      {"contents type", [](const CKZ1Doc& x) { return x.GetContentsInfo().GetContentsType(); }, 0x32},
      {"contents class", [](const CKZ1Doc& x) { return x.GetContentsInfo().GetContentsClass(); }, 0},
      {"option byte 5", [](const CKZ1Doc& x) { return x.GetContentsInfo().GetOptionByte5(); }, 4},
      {"marker word 0", [](const CKZ1Doc& x) { return x.GetMarkerWord(0); }, -1},
      {"marker word 2", [](const CKZ1Doc& x) { return x.GetMarkerWord(2); }, 0},
      {"channel table", [](const CKZ1Doc& x) { return x.GetChannelTableWord(3, 100); }, -1},
      {"voice slots", [](const CKZ1Doc& x) { return x.GetVoiceSlotCount(); }, 256},
  };
  for (const auto& c : cases) EXPECT_EQ(c.get(d), c.expected) << c.what;
  for (int k = 0; k < CKZ1Doc::kCueCount; ++k) EXPECT_EQ(d.GetCuePoint(k), CKZ1Doc::kNoCue) << k;
  EXPECT_TRUE(d.GetMidiList()->empty());
  EXPECT_TRUE(d.GetPathName().empty());
}

TEST_F(KZ1Doc, ContentsTypeFollowsTheModeSettingAndProfile) {
  host.profile.WriteProfileInt("Setting", "KZ-3_ModeSetting", 1);
  EXPECT_EQ(Make(3).GetContentsInfo().GetContentsType(), 0x33);

  host.settings.outputProfile = 3;
  CKZ1Doc& d = Make(3);
  EXPECT_EQ(d.GetContentsInfo().GetContentsClass(), 1);
  EXPECT_EQ(d.GetContentsInfo().GetCodeType(), 0x80);
  EXPECT_EQ(d.GetContentsInfo().GetContentsType(), 0x33);
}

TEST_F(KZ1Doc, ChipModeOneHasItsCountsAndOptionByte) {
  CKZ1Doc& d = Make(1);
  EXPECT_EQ(d.GetVoiceSlotCount(), 256);
  EXPECT_EQ(d.GetVoiceLimit(), 8);
  EXPECT_EQ(d.GetChannelMask(), 0x000F);
  EXPECT_EQ(d.GetContentsInfo().GetOptionByte5(), 1);
}

TEST_F(KZ1Doc, ResetEmptiesTheSongAndRefillsTheSectionList) {
  CKZ1Doc& d = Make(3);
  AddEvent(*d.GetMidiList(), 0, 10, {0x90, 60, 100});
  AddEvent(*d.GetMidiListPCM(), 0, 10, {0x90, 1, 100});
  d.SetTempo(120);
  d.SetCuePoint(3, 40, 0);
  const int fills = host.ui.sectionComboFills;
  d.ResetSong();
  EXPECT_TRUE(d.GetMidiList()->empty());
  EXPECT_TRUE(d.GetMidiListPCM()->empty());
  EXPECT_EQ(d.GetTempo(), 200);
  EXPECT_EQ(d.GetCuePoint(3), CKZ1Doc::kNoCue);
  EXPECT_EQ(d.TestModifiedFlags(3), 2u);
  EXPECT_EQ(host.ui.sectionComboFills, fills + 1);
}

// A command that marks the song modified from inside its own body.
class MarkingCommand : public CEditCommand {
 public:
  explicit MarkingCommand(CKZ1Doc& doc) : m_doc(doc) {}

 protected:
  int DoBody() override {
    m_doc.SetModifiedFlags(0);
    return 1;
  }
  int UndoBody() override {
    m_doc.SetModifiedFlags(0);
    return 1;
  }

 private:
  CKZ1Doc& m_doc;
};

TEST_F(KZ1Doc, ModifiedFlagsSetClearAndDropTheHeldCommand) {
  CKZ1Doc& d = Make(3);
  d.ExecuteEdit(std::make_unique<MarkingCommand>(d));
  ASSERT_NE(d.GetUndoSlot().GetCommand(), nullptr) << "the body's own mark keeps the command";
  EXPECT_EQ(d.TestModifiedFlags(3), 3u);

  d.SetModifiedFlags(1);
  EXPECT_EQ(d.TestModifiedFlags(3), 2u) << "mask 1 clears only bit 0";
  EXPECT_EQ(d.GetUndoSlot().GetCommand(), nullptr);

  d.ExecuteEdit(std::make_unique<MarkingCommand>(d));
  d.AddModifiedFlags(0);
  EXPECT_EQ(d.GetUndoSlot().GetCommand(), nullptr);
  d.ResetModifiedFlags();
  EXPECT_EQ(d.TestModifiedFlags(3), 0u);
  d.AddModifiedFlags(1);
  EXPECT_EQ(d.TestModifiedFlags(3), 1u);
  EXPECT_EQ(d.SetTempo(150), 1);
  EXPECT_EQ(d.TestModifiedFlags(3), 3u);
}

TEST_F(KZ1Doc, PlayRangeWithTheSameValuesMarksNothing) {
  CKZ1Doc& d = Make(3);
  d.SetPlayRange(1, 100, 900);
  d.ResetModifiedFlags();
  d.SetPlayRange(1, 100, 900);
  EXPECT_EQ(d.TestModifiedFlags(3), 0u);
  d.SetPlayRange(0, 5, 6);
  EXPECT_EQ(d.IsPlayRangeOn(), 0);
  EXPECT_EQ(d.GetPlayRangeStart(), 0u);
  EXPECT_EQ(d.GetPlayRangeEnd(), 0u);
  EXPECT_EQ(d.TestModifiedFlags(3), 3u);
}

TEST_F(KZ1Doc, PlayRangeMovesStartAndStopIntoIt) {
  CKZ1Doc& d = Make(3);
  AddEvent(*d.GetMidiList(), 0, 2000, {0x90, 60, 100});
  ASSERT_EQ(d.SetCuePoint(CKZ1Doc::kStartCue, 50, 0), 1);
  ASSERT_EQ(d.SetCuePoint(CKZ1Doc::kStopCue, 1500, 0), 1);
  d.SetPlayRange(1, 100, 1000);
  EXPECT_EQ(d.GetCuePoint(CKZ1Doc::kStartCue), 100u);
  EXPECT_EQ(d.GetCuePoint(CKZ1Doc::kStopCue), 1000u);
  EXPECT_EQ(d.GetPlayRangeStart(), 100u);
  EXPECT_EQ(d.GetPlayRangeEnd(), 1000u);
}

TEST_F(KZ1Doc, GetChannelValueAndUsedGiveTheFirstNonzeroForSixteen) {
  CKZ1Doc& d = Make(3);
  EXPECT_EQ(d.GetChannelValue(16), 0);
  AddEvent(*d.GetMidiList(), 0, 10, {0x93, 60, 100});
  d.RefreshChannelVoices(0);
  EXPECT_EQ(d.GetChannelValue(3), 1);
  EXPECT_EQ(d.GetChannelValue(2), 0);
  EXPECT_EQ(d.GetChannelValue(16), 1);
  EXPECT_EQ(d.GetChannelValue(17), 0);
  d.SetChannelWord(5, 7);
  EXPECT_EQ(d.GetChannelUsed(5), 7);
  EXPECT_EQ(d.GetChannelUsed(16), 7);

  CKZ1Doc& one = Make(1);
  one.RefreshChannelVoices(0);
  EXPECT_EQ(one.GetChannelValue(9), 1) << "chip mode 1 counts every channel present";
}

}  // namespace
