// The version tag: stamped by CnvTo, checked by CnvFrom, and the view it is computed on.
#include "plugins/velkgate/TrSigView.h"

#include <gtest/gtest.h>

#include "PluginFixture.h"
#include "VelkgateFixture.h"
#include "plugins/velkgate/MidiList.h"
#include "plugins/velkgate/TempoMessage.h"
#include "song/MemStream.h"
#include "velk/Crc16.h"

namespace velkgate {
namespace {

using testing::Call;
using testing::CallEntry;
using testing::FileImage;
using testing::Find;
using testing::Hex;
using testing::Image;
using testing::operator+;

/// Song data with a title and one note, written by Velkgate's own MIDI list.
Image TitledSong(const std::string& title) {
  CMidiList list;
  list.GetSetup().SetTimeBase(480);
  list.GetContentsInfo().SetOptionByte1(0);
  list.GetContentsInfo().GetSongTextInfo().SetText(1, title);
  list.GetMainList().Add(testing::Event(0, MakeTempoMessage(500000)));
  list.GetMainList().Add(testing::Event(0, Hex("90 3C 64"), 480));
  CMemStream out;
  uint32_t report = 0;
  EXPECT_EQ(list.WriteSmf(out, list.GetMainList(), list.GetStreamList(), &report), 1);
  return testing::StreamBytes(out);
}

/// A "Dch" + 0xFF sub-chunk of the entries, inside an OPDA chunk.
Image Opda(const Image& entries) {
  Image dch = {'D', 'c', 'h', 0xFF};
  AppendBE32(dch, static_cast<uint32_t>(entries.size()));
  Image opda = {'O', 'P', 'D', 'A'};
  AppendBE32(opda, static_cast<uint32_t>(dch.size() + entries.size()));
  return opda + dch + entries;
}

Image Entry(const std::string& tag, const Image& value) {
  Image out(tag.begin(), tag.end());
  AppendBE16(out, static_cast<uint16_t>(value.size()));
  return out + value;
}

Image Text(const std::string& text) { return Image(text.begin(), text.end()); }

const Image kCnti = Hex("434E5449 00000005 00 32 01 F8 00");
const Image kTrack5 = Hex("4D545205 00000025 02 00 02 02") + Image(16, 0x00) +
                      Hex("4D747371 00000009 00 90 3C 64 19 19 FF 2F 00");

class TrSig : public testing::VelkgateModule {
 protected:
  Image Stamped(const Image& song) const {
    Call c = CallEntry(m_to, song, 0x20);
    EXPECT_TRUE(c.Converted()) << std::hex << c.result;
    return c.output;
  }
  uint32_t StateOf(const Image& image) const {
    return (CallEntry(m_from, image, 0).flags & CNVF_SIG_STATE) >> CNVF_SIG_STATE_SHIFT;
  }
  /// The title the song data of an image carries.
  std::string TitleOf(const Image& image) const {
    Call c = CallEntry(m_from, image, 0);
    EXPECT_TRUE(c.Converted());
    CMidiList list;
    uint32_t report = 0;
    list.ReadSmf(c.output.data(), static_cast<uint32_t>(c.output.size()), &report);
    return list.GetContentsInfo().GetSongTextInfo().GetText(1);
  }
};

/// Both tags with other version digits.
Image WithDigits(Image image, const char* digits) {
  for (const char* tag : {"A0", "A2"}) {
    size_t at = Find(image, std::string(tag) + std::string("\0\x06K9", 4));
    EXPECT_NE(at, std::string::npos);
    image[at + 6] = static_cast<uint8_t>(digits[0]);
    image[at + 7] = static_cast<uint8_t>(digits[1]);
  }
  return image;
}

TEST_F(TrSig, CheckCharactersOf0x1234AreF5) { EXPECT_EQ(TrSigCheckChars(0x1234), "F5"); }

TEST_F(TrSig, AWrittenFileReadsBackValid) {
  EXPECT_EQ(StateOf(Stamped(TitledSong("Song"))), kTrSigValid);
}

TEST_F(TrSig, ChecksRecomputeWithCrc16OverTracksAndContents) {
  Image image = Stamped(TitledSong("Song"));
  // Chunks after the 8-byte file header: CNTI, OPDA, MTR 5, MSTR, then the CRC.
  std::vector<Image> chunks;
  for (size_t at = 8; at + 2 < image.size();) {
    size_t end = at + 8 + testing::BE32(image, at + 4);
    ASSERT_LE(end, image.size() - 2);
    chunks.emplace_back(image.begin() + static_cast<long>(at), image.begin() + static_cast<long>(end));
    at = end;
  }
  ASSERT_EQ(chunks.size(), 4u);
  BuildCrc16Table();
  Image tracks = chunks[2] + chunks[3];
  std::string a0 = "K929" + TrSigCheckChars(Crc16(static_cast<uint32_t>(tracks.size()), tracks.data()));
  Image info = chunks[0] + chunks[1];
  size_t a2 = Find(info, std::string("A2\0\x06K929", 8));
  ASSERT_NE(a2, std::string::npos);
  std::string stored(info.begin() + static_cast<long>(a2) + 4, info.begin() + static_cast<long>(a2) + 10);
  info[a2 + 8] = info[a2 + 9] = ' ';
  std::string expectedA2 = "K929" + TrSigCheckChars(Crc16(static_cast<uint32_t>(info.size()), info.data()));
  EXPECT_EQ(stored, expectedA2);
  EXPECT_NE(Find(image, std::string("A0\0\x06", 4) + a0), std::string::npos) << a0;
}

TEST_F(TrSig, AChangedTrackByteOrTitleShows5) {
  Image image = Stamped(TitledSong("Song"));
  size_t sequence = Find(image, "Mtsq");
  ASSERT_NE(sequence, std::string::npos);
  size_t note = Find(image, "\x90\x3C\x64", sequence);
  ASSERT_NE(note, std::string::npos) << testing::ToHex(image);
  Image track = image;
  track[note + 2] = 0x65;
  EXPECT_EQ(StateOf(track), kTrSigBadCheck);

  size_t title = Find(image, "Song");
  ASSERT_NE(title, std::string::npos);
  Image retitled = image;
  retitled[title] = 'T';
  EXPECT_EQ(StateOf(retitled), kTrSigBadCheck);
}

TEST_F(TrSig, VersionDigitsGiveUpperOrLowerVersion) {
  Image image = Stamped(TitledSong("a\\,b"));
  EXPECT_EQ(StateOf(WithDigits(image, "30")), kTrSigUpperVersion);
  // Files older than 18 stored the texts with their escapes.
  Image old = WithDigits(image, "17");
  EXPECT_EQ(StateOf(old), kTrSigLowerVersion);
  EXPECT_EQ(TitleOf(old), "a,b");
  Image recent = WithDigits(image, "28");
  EXPECT_EQ(StateOf(recent), kTrSigLowerVersion);
  EXPECT_EQ(TitleOf(recent), "a\\,b");
  EXPECT_EQ(TitleOf(image), "a\\,b");
}

TEST_F(TrSig, NoTagOrAnotherToolsTag) {
  EXPECT_EQ(StateOf(FileImage(kCnti + kTrack5)), kTrSigNone);
  EXPECT_EQ(StateOf(FileImage(kCnti + Opda(Entry("A1", Text("K929AB"))) + kTrack5)), kTrSigOtherTool);
  Image otherPrefix = Entry("A0", Text("X929AB")) + Entry("A2", Text("X929AB"));
  EXPECT_EQ(StateOf(FileImage(kCnti + Opda(otherPrefix) + kTrack5)), kTrSigOtherTool);
  Image mismatched = Entry("A0", Text("K929AB")) + Entry("A2", Text("K928AB"));
  EXPECT_EQ(StateOf(FileImage(kCnti + Opda(mismatched) + kTrack5)), kTrSigOtherTool);
  Image shortTag = Entry("A0", Text("K929A")) + Entry("A2", Text("K929AB"));
  EXPECT_EQ(StateOf(FileImage(kCnti + Opda(shortTag) + kTrack5)), kTrSigOtherTool);
}

TEST_F(TrSig, ALongEntryBeforeTheTagHidesNothing) {
  Image entries = Entry("ZZ", Image(300, 'z')) + Entry("A0", Text("K930AB")) + Entry("A2", Text("K930CD"));
  Image image = FileImage(kCnti + Opda(entries) + kTrack5);
  CTrSigView view(image.data(), static_cast<uint32_t>(image.size()));
  EXPECT_EQ(view.GetEntry(0), "K930AB");
  EXPECT_EQ(view.GetEntry(2), "K930CD");
  EXPECT_EQ(StateOf(image), kTrSigUpperVersion);
}

TEST(CTrSigView, EntriesCutByTheirChunkAreAbsentAndNeverWrittenPast) {
  // The sub-chunk claims 12 bytes of entries; "A2" runs past them into the next sub-chunk.
  Image entries = Entry("A0", Text("K929AB")) + Hex("4132 0006 4B39");
  Image dch = {'D', 'c', 'h', 0xFF};
  AppendBE32(dch, static_cast<uint32_t>(entries.size()));
  Image other = Hex("44636823 00000004 3233 3435");
  Image opda = {'O', 'P', 'D', 'A'};
  AppendBE32(opda, static_cast<uint32_t>(dch.size() + entries.size() + other.size()));
  Image image = FileImage(kCnti + opda + dch + entries + other + kTrack5);
  CTrSigView view(image.data(), static_cast<uint32_t>(image.size()));
  EXPECT_EQ(view.GetEntry(0), "K929AB");
  EXPECT_EQ(view.GetEntry(2), "");
  uint16_t before = view.SigValueInfo();
  view.SetCheckChars(2, "XY");
  EXPECT_EQ(view.SigValueInfo(), before);
  view.SetCheckChars(0, "XYZW");  // only two characters fit behind the prefix
  EXPECT_EQ(view.GetEntry(0), "K929XY");
}

TEST(CTrSigView, AnOpdaNotRightAfterCntiIsNotSeen) {
  Image tags = Opda(Entry("A0", Text("K929AB")) + Entry("A2", Text("K929AB")));
  Image image = FileImage(kCnti + kTrack5 + tags);
  CTrSigView view(image.data(), static_cast<uint32_t>(image.size()));
  EXPECT_EQ(view.GetEntry(0), "");
  bool compat = true;
  EXPECT_EQ(CheckTrSig(image.data(), static_cast<uint32_t>(image.size()), compat), kTrSigNone);
  EXPECT_FALSE(compat);
}

TEST(CTrSigView, ALaterTrackWithTheSameIdReplacesTheEarlier) {
  Image other = kTrack5;
  other[other.size() - 5] = 0x20;  // another gate
  Image twice = FileImage(kCnti + kTrack5 + other);
  Image once = FileImage(kCnti + other);
  CTrSigView a(twice.data(), static_cast<uint32_t>(twice.size()));
  CTrSigView b(once.data(), static_cast<uint32_t>(once.size()));
  EXPECT_EQ(a.SigValueTracks(), b.SigValueTracks());
}

}  // namespace
}  // namespace velkgate
