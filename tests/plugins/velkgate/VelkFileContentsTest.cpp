// Tests of the contents information between the record and the CNTI and OPDA chunks.
#include <gtest/gtest.h>

#include "VelkgateFixture.h"
#include "plugins/velkgate/ByteHelpers.h"
#include "plugins/velkgate/TrSig.h"
#include "plugins/velkgate/VelkFileChunk.h"
#include "velk/ContentsInfo.h"

namespace velkgate {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::ToHex;
using testing::WriteChunk;

Bytes Written(const CContentsInfo& record, Bytes* opda) {
  CVelkFileChunk file;
  file.WriteContentsInfo(record);
  *opda = WriteChunk(file.GetOptionalDataChunk());
  return WriteChunk(file.GetContentsInfoChunk());
}

/// A file of CNTI (with an option text) and OPDA (with the given sub-chunks).
std::unique_ptr<CVelkFileChunk> FileOf(const Bytes& optionText, const Bytes& opdaBody) {
  Bytes chunks = Hex("434E5449");
  AppendBE32(chunks, static_cast<uint32_t>(5 + optionText.size()));
  AppendBytes(chunks, Hex("00 32 01 FD 00").data(), 5);
  AppendBytes(chunks, optionText.data(), static_cast<uint32_t>(optionText.size()));
  if (!opdaBody.empty()) {
    AppendBytes(chunks, Hex("4F504441").data(), 4);
    AppendBE32(chunks, static_cast<uint32_t>(opdaBody.size()));
    AppendBytes(chunks, opdaBody.data(), static_cast<uint32_t>(opdaBody.size()));
  }
  static Bytes image;
  image = testing::FileImage(chunks);
  CMemStream stream(image.data(), static_cast<int32_t>(image.size()), false);
  uint32_t flags = 0;
  return std::make_unique<CVelkFileChunk>(stream, flags);
}

Bytes DataChunk(uint8_t code, const Bytes& entries) {
  Bytes out = {'D', 'c', 'h', code};
  AppendBE32(out, static_cast<uint32_t>(entries.size()));
  AppendBytes(out, entries.data(), static_cast<uint32_t>(entries.size()));
  return out;
}

TEST(VelkFileContents, TrSigPrefixComesFromTheVersion) {
  EXPECT_EQ(GetTrSigPrefix(), "K929");
  EXPECT_EQ(GetTrSigPrefix(0x3170), "K931");
  EXPECT_EQ(GetTrSigPlaceholder(), "K929  ");
  EXPECT_EQ(FitTrSig("K929AB77"), "K929AB");
  EXPECT_EQ(FitTrSig("K9"), "K9    ");
}

TEST(VelkFileContents, KindThreeRecordWritesGoldenChunks) {
  CContentsInfo record;
  record.Reset(3);
  Bytes opda;
  Bytes cnti = Written(record, &opda);
  EXPECT_EQ(ToHex(cnti), ToHex(Hex("434E5449 00000005 003201FD00")));
  EXPECT_EQ(ToHex(opda), ToHex(Hex("4F504441 00000021 446368FF 00000019"
                                   "4553 0001 F8"
                                   "4130 0006 4B3932392020"
                                   "4132 0006 4B3932392020")));
}

TEST(VelkFileContents, CodedTextsGoFirstInTheirOwnChunk) {
  CContentsInfo record;
  record.Reset(3);
  record.SetTextCodeType(0x23);
  record.GetSongTextInfo().SetText(1, "Song");
  record.SetOptionByte4(1);
  Bytes opda;
  Written(record, &opda);
  Bytes expected = Hex("4F504441 00000036 44636823 00000008 5354 0004 536F6E67"
                       "446368FF 0000001E 4553 0001 F8 4456 0001 01"
                       "4130 0006 4B3932392020 4132 0006 4B3932392020");
  EXPECT_EQ(ToHex(opda), ToHex(expected));
}

TEST(VelkFileContents, DvOfTwoWritesNoEntry) {
  CContentsInfo record;
  record.Reset(3);
  record.SetOptionByte4(2);
  Bytes opda;
  Written(record, &opda);
  EXPECT_EQ(opda.size(), 8u + 8u + 0x19u);
}

TEST(VelkFileContents, TextsAreWrittenInTheirOrder) {
  CContentsInfo record;
  record.Reset(3);
  record.SetText(5, "d");  // CD
  record.SetText(7, "g");  // GR
  record.SetText(1, "v");  // VN
  record.GetSongTextInfo().SetText(5, "n");  // AN
  Bytes opda;
  Written(record, &opda);
  std::string text(opda.begin(), opda.end());
  EXPECT_LT(text.find("AN"), text.find("VN"));
  EXPECT_LT(text.find("VN"), text.find("GR"));
  EXPECT_LT(text.find("GR"), text.find("CD"));
}

TEST(VelkFileContents, StoredTagsAreFittedToSixBytes) {
  CContentsInfo record;
  record.Reset(3);
  record.SetOptionText(0, "K929");
  record.SetOptionText(2, "K929ABCD");
  Bytes opda;
  Written(record, &opda);
  std::string text(opda.begin(), opda.end());
  EXPECT_NE(text.find(std::string("A0\0\6K929  ", 10)), std::string::npos);
  EXPECT_NE(text.find(std::string("A2\0\6K929AB", 10)), std::string::npos);
}

TEST(VelkFileContents, OptionTextUnescapesAndReadsBytes) {
  std::string option = "ST:a\\,b,VN:ver,ES:\x01,A0:K929XY,DV:1,CR:c\\\\d,";
  auto file = FileOf(Bytes(option.begin(), option.end()), {});
  CContentsInfo record;
  file->ReadContentsInfo(record, false);
  EXPECT_STREQ(record.GetSongTextInfo().GetText(1), "a,b");
  EXPECT_EQ(record.GetText(1), "ver");
  EXPECT_EQ(record.GetText(4), "c\\d");
  EXPECT_EQ(record.GetOptionByte3(), 0xF9);
  EXPECT_EQ(record.GetOptionText(0), "K929XY");
  EXPECT_EQ(record.GetContentsType(), 0x32);
  EXPECT_EQ(record.GetOptionByte1(), 0xFD);
  // Texts from the option text alone give data code type 0.
  EXPECT_EQ(record.GetTextCodeType(), 0);
}

TEST(VelkFileContents, OpdaTextsWin) {
  std::string option = "ST:cnti,VN:cnti,";
  Bytes entries = Hex("5354 0004 6F706461 564E 0004 6F706461");
  auto file = FileOf(Bytes(option.begin(), option.end()), DataChunk(0x01, entries));
  CContentsInfo record;
  file->ReadContentsInfo(record, false);
  EXPECT_STREQ(record.GetSongTextInfo().GetText(1), "opda");
  EXPECT_EQ(record.GetText(1), "opda");
  EXPECT_EQ(record.GetTextCodeType(), 0x01);
}

TEST(VelkFileContents, LongEntryKeeps255BytesAndTheNextIsRead) {
  Bytes entries = Hex("5354 0258");
  entries.resize(entries.size() + 600, 'x');
  AppendBytes(entries, Hex("5357 0002 6F6B").data(), 6);
  auto file = FileOf({}, DataChunk(0xFF, entries));
  CContentsInfo record;
  file->ReadContentsInfo(record, false);
  EXPECT_EQ(std::string(record.GetSongTextInfo().GetText(1)), std::string(255, 'x'));
  EXPECT_STREQ(record.GetSongTextInfo().GetText(2), "ok");
}

TEST(VelkFileContents, FixedEntriesAndCompatUnescape) {
  Bytes coded = Hex("5354 0004 615C2C62");  // "a\,b"
  Bytes fixed = Hex("4553 0001 02 4456 0001 01 4132 0006 4B3932394142");
  Bytes body = DataChunk(0x01, coded);
  Bytes second = DataChunk(0xFF, fixed);
  body.insert(body.end(), second.begin(), second.end());
  auto file = FileOf({}, body);
  CContentsInfo record;
  file->ReadContentsInfo(record, true);
  EXPECT_STREQ(record.GetSongTextInfo().GetText(1), "a,b");
  EXPECT_EQ(record.GetOptionByte3(), 0xFA);
  EXPECT_EQ(record.GetOptionByte4(), 1);
  EXPECT_EQ(record.GetOptionText(2), "K929AB");
  CContentsInfo plain;
  file->ReadContentsInfo(plain, false);
  EXPECT_STREQ(plain.GetSongTextInfo().GetText(1), "a\\,b");
}

TEST(VelkFileContents, EntryRunningPastItsChunkThrows) {
  auto file = FileOf({}, DataChunk(0xFF, Hex("5354 0009 4142")));
  CContentsInfo record;
  EXPECT_THROW(file->ReadContentsInfo(record, false), int);
}

TEST(VelkFileContents, WrittenRecordReadsBack) {
  CContentsInfo record;
  record.Reset(3);
  record.SetTextCodeType(0x23);
  record.GetSongTextInfo().SetText(2, "writer");
  record.SetText(8, "mi");
  CVelkFileChunk file;
  file.WriteContentsInfo(record);
  CMemStream image;
  file.Serialize(image);
  image.SeekToBegin();
  uint32_t flags = 0;
  CVelkFileChunk back(image, flags);
  ASSERT_TRUE(back.HasOptionalData());
  CContentsInfo read;
  back.ReadContentsInfo(read, false);
  EXPECT_STREQ(read.GetSongTextInfo().GetText(2), "writer");
  EXPECT_EQ(read.GetText(8), "mi");
  EXPECT_EQ(read.GetTextCodeType(), 0x23);
  EXPECT_EQ(read.GetOptionText(0), "K929  ");
}

}  // namespace
}  // namespace velkgate
