// The VOIC child of MMMG: device and extra voice entries.
#include "velk/MmmgVoiceChunk.h"

#include <gtest/gtest.h>

#include "VelkBytes.h"

namespace {

using velktest::Builder;
using velktest::Bytes;
using velktest::ThrownCode;

// EXVO body: FF F0, L = data + 4, 43 04 01, data, F7.
Bytes Exvo(const Bytes& data) {
  return Builder()
      .Raw({0xFF, 0xF0, static_cast<uint8_t>(data.size() + 4), 0x43, 0x04, 0x01})
      .Raw(data)
      .Raw({0xF7});
}

std::unique_ptr<CMmmgVoiceChunk> Read(const Bytes& body) {
  Bytes bytes = Builder().Chunk("VOIC", body);
  CMemStream s = velktest::ReadStream(bytes);
  auto chunk = std::make_unique<CMmmgVoiceChunk>(s);
  EXPECT_TRUE(s.AtEnd());
  return chunk;
}

using velktest::Written;

TEST(MmmgVoiceChunk, ExtraVoiceWithoutDataIsNotKept) {
  auto chunk = Read(Builder().Chunk("EXVO", Exvo({})).Chunk("EXVO", Exvo({1, 2, 3, 4, 5})));
  ASSERT_EQ(chunk->GetEntries().GetCount(), 1);
  EXPECT_EQ(chunk->GetExtraCount(), 1);
  auto* entry = static_cast<CMmmgExtraVoiceChunk*>(chunk->GetEntries().GetItem(1));
  EXPECT_EQ(entry->GetEntryKind(), 2);
  EXPECT_EQ(entry->GetDataLength(), 5);
  EXPECT_EQ(entry->GetIndex(), 0);
}

TEST(MmmgVoiceChunk, FramesThatDoNotMatchHoldNoData) {
  struct Case {
    const char* name;
    Bytes body;
  };
  const Case cases[] = {
      {"empty", {}},
      {"shorter than its header", {0xFF, 0xF0, 0x05}},
      {"wrong frame", {0xF0, 0xFF, 0x05, 0x43, 0x04, 0x01, 0x00, 0xF7}},
      {"wrong header", {0xFF, 0xF0, 0x05, 0x43, 0x04, 0x02, 0x00, 0xF7}},
      {"length below 4", {0xFF, 0xF0, 0x02, 0x43, 0x04, 0x01, 0xF7}},
      {"data past the body", {0xFF, 0xF0, 0x20, 0x43, 0x04, 0x01, 0x00, 0xF7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto chunk = Read(Builder().Chunk("EXVO", c.body).Chunk("DEVO", {0x09}));
    ASSERT_EQ(chunk->GetEntries().GetCount(), 1);
    EXPECT_EQ(chunk->GetEntries().GetItem(1)->GetEntryKind(), 1);
    EXPECT_EQ(chunk->GetExtraCount(), 0);
  }
}

TEST(MmmgVoiceChunk, EntriesKeepFileOrderAndIndexes) {
  auto chunk = Read(Builder()
                        .Chunk("EXVO", Exvo({0xA}))
                        .Chunk("DEVO", {0x07})
                        .Chunk("Xtra", {})
                        .Chunk("EXVO", Exvo({0xB, 0xC})));
  ASSERT_EQ(chunk->GetEntries().GetCount(), 3);
  auto* device = static_cast<CMmmgDeviceVoiceChunk*>(chunk->GetEntries().GetItem(2));
  EXPECT_EQ(device->GetValue(), 0x07);
  auto* second = static_cast<CMmmgExtraVoiceChunk*>(chunk->GetEntries().GetItem(3));
  EXPECT_EQ(second->GetIndex(), 1);
  EXPECT_EQ(Written(*chunk), Builder()
                                 .Chunk("VOIC", Builder()
                                                    .Chunk("EXVO", Exvo({0xA}))
                                                    .Chunk("DEVO", {0x07})
                                                    .Chunk("EXVO", Exvo({0xB, 0xC})))
                                 .Get());
}

TEST(MmmgVoiceChunk, EmptyDeviceVoiceThrowsEndOfData) {
  Bytes bytes = Builder().Chunk("VOIC", Builder().Chunk("DEVO", {}));
  CMemStream s = velktest::ReadStream(bytes);
  EXPECT_EQ(ThrownCode([&] { CMmmgVoiceChunk chunk(s); }), kErrEndOfData);
}

}  // namespace
