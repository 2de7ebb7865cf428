// The seek-and-phrase chunk "MspI" of a format-0 score track and the body parser it shares.
#include "velk/SeekPhraseChunk.h"

#include <gtest/gtest.h>

#include <memory>

#include "VelkBytes.h"

namespace {

using velktest::Builder;
using velktest::Bytes;

// "st:" 0 "," then marks A 100-200 and B 200-500.
Bytes ExampleBody() {
  return Builder()
      .Text("st:").BE32(0).Text(",")
      .Text("PA:").BE32(100).BE32(200).Text(",")
      .Text("PB:").BE32(200).BE32(500).Text(",");
}

std::unique_ptr<CSeekPhraseChunk> ReadSeek(const Bytes& body) {
  Bytes file = Builder().Chunk("MspI", body);
  CMemStream stream = velktest::ReadStream(file);
  return std::make_unique<CSeekPhraseChunk>(stream);
}

TEST(SeekPhraseChunk, ReadsStartAndPhraseMarks) {
  auto chunk = ReadSeek(ExampleBody());
  const CSeekPhraseData& d = chunk->GetSeekPhrase();
  ASSERT_NE(d.GetStartPoint(), nullptr);
  EXPECT_EQ(*d.GetStartPoint(), 0u);
  EXPECT_EQ(d.GetStopPoint(), nullptr);
  EXPECT_EQ(d.GetFirstField(), 0);
  ASSERT_EQ(d.GetMarkCount(), 2u);
  EXPECT_EQ(d.GetMark(0)->kind, 'A');
  EXPECT_EQ(d.GetMark(0)->start, 100u);
  EXPECT_EQ(d.GetMark(0)->end, 200u);
  EXPECT_EQ(d.GetMark(1)->kind, 'B');
  EXPECT_EQ(d.GetMark(1)->start, 200u);
  EXPECT_EQ(d.GetMark(1)->end, 500u);
  EXPECT_EQ(d.GetMark(2), nullptr);
}

TEST(SeekPhraseChunk, ExportCopiesAndKeepsItsOwnMarks) {
  auto chunk = ReadSeek(Builder().Raw(ExampleBody()).Text("sp:").BE32(700).Text(","));
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    std::unique_ptr<CTrackBuild> record = chunk->ExportSeekPhrase();
    ASSERT_NE(record, nullptr);
    ASSERT_NE(record->GetStartPoint(), nullptr);
    EXPECT_EQ(*record->GetStartPoint(), 0u);
    ASSERT_NE(record->GetStopPoint(), nullptr);
    EXPECT_EQ(*record->GetStopPoint(), 700u);
    EXPECT_EQ(record->GetEndValue(), 0xFFFFFFFFu);
    ASSERT_EQ(record->GetMarkCount(), 2u);
    EXPECT_EQ(record->GetMark(1)->end, 500u);
    EXPECT_NE(record->GetMark(0), chunk->GetSeekPhrase().GetMark(0));
  }
  EXPECT_EQ(chunk->GetSeekPhrase().GetMarkCount(), 2u);
}

TEST(SeekPhraseChunk, LaterPointReplacesTheEarlier) {
  auto chunk = ReadSeek(Builder().Text("sp:").BE32(10).Text(",").Text("sp:").BE32(20).Text(","));
  ASSERT_NE(chunk->GetSeekPhrase().GetStopPoint(), nullptr);
  EXPECT_EQ(*chunk->GetSeekPhrase().GetStopPoint(), 20u);
  EXPECT_EQ(chunk->GetSeekPhrase().GetStartPoint(), nullptr);
}

TEST(SeekPhraseChunk, UnknownTagsAreSkippedToTheNextComma) {
  Bytes body = Builder()
                   .Text("xy:whatever,")
                   .Text("st:").BE32(42).Text(",")
                   .Text("s?:").BE32(1).Text(",")
                   .Text("PI:").BE32(1).BE32(2).Text(",");
  auto chunk = ReadSeek(body);
  const CSeekPhraseData& d = chunk->GetSeekPhrase();
  ASSERT_NE(d.GetStartPoint(), nullptr);
  EXPECT_EQ(*d.GetStartPoint(), 42u);
  ASSERT_EQ(d.GetMarkCount(), 1u);
  EXPECT_EQ(d.GetMark(0)->kind, 'I');
}

TEST(SeekPhraseChunk, EveryCutOfTheBodyKeepsOnlyWholeEntries) {
  Bytes body = ExampleBody();
  for (size_t n = 0; n <= body.size(); ++n) {
    SCOPED_TRACE(n);
    auto chunk = ReadSeek(Bytes(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(n)));
    const CSeekPhraseData& d = chunk->GetSeekPhrase();
    // "st:" and its value take 7 bytes, each mark 11 more (the comma is not needed).
    EXPECT_EQ(d.GetStartPoint() != nullptr, n >= 7);
    size_t marks = n >= 31 ? 2 : n >= 19 ? 1 : 0;
    EXPECT_EQ(d.GetMarkCount(), marks);
  }
}

TEST(SeekPhraseChunk, WritesItsBodyBackUnchanged) {
  Bytes file = Builder().Chunk("MspI", ExampleBody());
  auto chunk = ReadSeek(ExampleBody());
  CMemStream out;
  chunk->Write(out);
  EXPECT_EQ(velktest::ToBytes(out), file);
}

TEST(SeekPhraseChunk, BaseExportsNothing) {
  Bytes file = Builder().Chunk("MspI", ExampleBody());
  CMemStream stream = velktest::ReadStream(file);
  CSeekPhraseChunkBase base(stream);
  EXPECT_EQ(base.ExportSeekPhrase(), nullptr);
}

}  // namespace
