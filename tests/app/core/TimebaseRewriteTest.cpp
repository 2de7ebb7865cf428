// Tests of the time-base change over a song's event list.
#include "app/core/TimebaseRewrite.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/host/testing/FakeHost.h"
#include "song/MidiMsg.h"
#include "song/SongSetup.h"
#include "song/document/KZ1Doc.h"

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kTempoMeta = {0xFF, 0x51, 0x03, 0x00, 0x00, 0x00};
const Bytes kSmall = {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x00, 0x25, 0x40, 0xF7};
const Bytes kThreeMax = {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x7F, 0x7F, 0x7F, 0xF7};
const Bytes kFourMax = {0xF0, 0x0A, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x7F, 0x7F, 0x7F, 0x7F, 0xF7};

class TimebaseRewrite : public ::testing::Test {
 protected:
  void Add(const Bytes& bytes) {
    doc.GetMidiList()->push_back(
        std::make_unique<CMidiMsg>(0, 0, static_cast<uint32_t>(bytes.size()), bytes.data(), 0));
  }
  Bytes At(size_t index) const {
    auto it = doc.GetMidiList()->begin();
    std::advance(it, static_cast<long>(index));
    return Bytes((*it)->GetData(), (*it)->GetData() + (*it)->GetLength());
  }
  /// A song of one device tempo message between two tempo events.
  void Song(int old, uint16_t setup, const Bytes& device) {
    doc.SetTimeBaseKZ3(old);
    doc.GetSongSetup().SetTimeBase(setup);
    Add(kTempoMeta);
    Add(device);
    Add(kTempoMeta);
  }

  platform::FakeHost host;
  CKZ1Doc doc;
};

struct Row {
  int old;
  uint16_t setup;
  int requested;
  Bytes in;
  Bytes out;
  int timeBase;
};

TEST_F(TimebaseRewrite, TableOfRewrites) {
  const Row rows[] = {
      {4, 480, 10, kSmall, {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x00, 0x25, 0x40, 0xF7}, 10},
      {4, 480, 5000, kSmall, {0xF0, 0x0A, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x01, 0x12, 0x3E, 0x00, 0xF7}, 5000},
      {4, 480, 40000, kFourMax, {0xF0, 0x0A, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x07, 0x7F, 0x7E, 0x00, 0xF7}, 34952},
      {10, 0, 20, kSmall, {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x00, 0x4B, 0x00, 0xF7}, 20},
      {1, 0, 500, kSmall, {0xF0, 0x0A, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x01, 0x12, 0x3E, 0x00, 0xF7}, 500},
      {1, 0, 200, kThreeMax, kFourMax, 128},
      // In 32 bits the product wraps and would give 7F 7F 7F 6F.
      {1, 0, 17, kFourMax, kFourMax, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.old << " " << row.setup << " " << row.requested);
    doc.GetMidiList()->clear();
    Song(row.old, row.setup, row.in);
    doc.ResetModifiedFlags();
    EXPECT_EQ(timebase::ChangeSongTimebase(&doc, row.requested), 1);
    EXPECT_EQ(At(1), row.out);
    EXPECT_EQ(doc.GetTimeBaseKZ3(), row.timeBase);
    const Bytes meta = {0xFF, 0x51, 0x03, static_cast<uint8_t>(row.timeBase >> 16),
                        static_cast<uint8_t>(row.timeBase >> 8), static_cast<uint8_t>(row.timeBase)};
    EXPECT_EQ(At(0), meta);
    EXPECT_EQ(At(2), kTempoMeta);  // only the first tempo event takes it
    EXPECT_EQ(doc.TestModifiedFlags(3), 3u);
  }
}

TEST_F(TimebaseRewrite, SameValueOnlyMarksTheSongModified) {
  Song(4, 480, kSmall);
  doc.ResetModifiedFlags();
  EXPECT_EQ(timebase::ChangeSongTimebase(&doc, 4), 1);
  EXPECT_EQ(At(1), kSmall);
  EXPECT_EQ(At(0), kTempoMeta);
  EXPECT_EQ(doc.TestModifiedFlags(3), 3u);
}

TEST_F(TimebaseRewrite, WithoutASetupTimeBaseMessagesOfAnotherShapeStayByteForByte) {
  const Bytes eight = {0xF0, 0x06, 0x43, 0x79, 0x06, 0x7D, 0x10, 0xF7};
  const Bytes thirteen = {0xF0, 0x0B, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x01, 0x02, 0x03, 0x04, 0x05, 0xF7};
  const Bytes unclosed = {0xF0, 0x09, 0x43, 0x79, 0x06, 0x7D, 0x10, 0x00, 0x25, 0x40, 0x00};
  for (const Bytes& odd : {eight, thirteen, unclosed}) {
    doc.GetMidiList()->clear();
    Song(10, 0, odd);
    EXPECT_EQ(timebase::ChangeSongTimebase(&doc, 20), 1);
    EXPECT_EQ(At(1), odd);
    EXPECT_EQ(doc.GetTimeBaseKZ3(), 20);
  }
}

TEST_F(TimebaseRewrite, OldTimeBaseZeroWithoutASetupOneLeavesTheDeviceMessages) {
  // A new song has time base 0: there is no divisor, so the messages stay; n is still stored.
  ASSERT_EQ(doc.GetTimeBaseKZ3(), 0);
  doc.GetSongSetup().SetTimeBase(0);
  Add(kTempoMeta);
  Add(kSmall);
  EXPECT_EQ(timebase::ChangeSongTimebase(&doc, 30), 1);
  EXPECT_EQ(At(1), kSmall);
  EXPECT_EQ(doc.GetTimeBaseKZ3(), 30);
  EXPECT_EQ(At(0), (Bytes{0xFF, 0x51, 0x03, 0x00, 0x00, 0x1E}));
}

TEST_F(TimebaseRewrite, NoSongGivesZero) { EXPECT_EQ(timebase::ChangeSongTimebase(nullptr, 10), 0); }

TEST(TimebaseClamp, LimitBySetupAndNegativeToOne) {
  EXPECT_EQ(timebase::ClampTimebase(40000, 480), 34952);
  EXPECT_EQ(timebase::ClampTimebase(0x1000000, 0), 0xFFFFFF);
  EXPECT_EQ(timebase::ClampTimebase(-5, 480), 1);
  EXPECT_EQ(timebase::ClampTimebase(7, 480), 7);
}

}  // namespace
