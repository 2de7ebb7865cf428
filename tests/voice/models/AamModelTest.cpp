#include "voice/models/AamModel.h"

#include <gtest/gtest.h>

#include "song/StreamPCMSlot.h"
#include "tests/voice/models/VamFixture.h"

namespace {

struct RateCase {
  int profile;
  int bits;
  int channels;
  uint32_t rate;
  int message;
};

TEST(StreamPcmRate, LimitsByProfileKindAndChannels) {
  const RateCase cases[] = {
      {2, 4, 1, 22050, 7015}, {2, 4, 1, 8000, 0},   {2, 4, 1, 3999, 7016}, {2, 8, 1, 8001, 7014},
      {2, 8, 2, 4001, 7020},  {2, 8, 2, 4000, 0},   {5, 8, 1, 12001, 7012}, {5, 4, 2, 24001, 7013},
      {7, 8, 2, 48001, 7021}, {7, 4, 1, 48000, 0},  {4, 8, 2, 96000, 0},   {1, 8, 1, 96000, 0},
      {1, 4, 2, 16001, 7015}, {8, 4, 2, 8001, 7014},
  };
  for (const RateCase& c : cases) {
    EXPECT_EQ(stream_pcm::RateMessage(c.profile, c.bits, c.channels, c.rate), c.message)
        << c.profile << "/" << c.bits << "/" << c.channels << "/" << c.rate;
  }
}

TEST(StreamPcmName, KeepsShortPathsAndShortensLongOnes) {
  EXPECT_EQ(stream_pcm::WaveName("abcdefghijklmnop"), "abcdefghijklmnop");
  EXPECT_EQ(stream_pcm::WaveName("waves/abcdefg.wav"), "waves/abcde~.wav");
  EXPECT_TRUE(stream_pcm::ExportNameFits(std::string(59, 'a') + ".sk3"));
  EXPECT_FALSE(stream_pcm::ExportNameFits(std::string(60, 'a') + ".sk3"));
}

TEST(CAamModel, HitTestsByChipMode) {
  CAamModel m(3);
  int row = 0;
  EXPECT_EQ(m.HitTest(60, 25, 1000, 1000, m.GetFirstColumn(), 0, &row), CAamModel::kColFs);
  EXPECT_EQ(row, 1);
  EXPECT_EQ(m.HitTest(200, 65, 1000, 1000, m.GetFirstColumn(), 0, &row), CAamModel::kColWaveType);
  EXPECT_EQ(row, 3);
  EXPECT_EQ(m.HitTest(60, 40, 1000, 1000, m.GetFirstColumn(), 0, &row), -1);
  EXPECT_EQ(m.HitTest(460, 25, 1000, 1000, m.GetFirstColumn(), 0, &row), -1);
  m.SetMode(5, 49);
  EXPECT_EQ(m.HitTest(100, 25, 1000, 1000, m.GetFirstColumn(), 0, &row), CAamModel::kColWaveName);
  m.SetMode(4, 10);
  EXPECT_EQ(m.GetFirstColumn(), 1);
}

class AamCellTest : public vamtest::VamTest {};

TEST_F(AamCellTest, CellTextsOfAnAssignedWave) {
  Make(5);
  doc->BuildStreamPcmSlots();
  CStreamPCMSlot source;
  source.SetRate(8000);
  source.SetFormat(0);
  source.SetFlag(1);
  source.SetName("drum.wav");
  const uint8_t bytes[10] = {};
  source.SetWaveData(bytes, sizeof bytes);
  doc->SetStreamPcmSlot(3, source);
  doc->SetStreamPcmSetting(3, 0, 64);
  CAamModel m(5);
  EXPECT_TRUE(CAamModel::HasWave(*doc, 3));
  EXPECT_FALSE(CAamModel::HasWave(*doc, 4));
  EXPECT_EQ(m.CellText(*doc, 3, CAamModel::kColFs), "8000Hz");
  EXPECT_EQ(m.CellText(*doc, 3, CAamModel::kColWaveType), "4bit ADPCM");
  EXPECT_EQ(m.CellText(*doc, 3, CAamModel::kColSize), "10 Byte");
  EXPECT_EQ(m.CellText(*doc, 3, CAamModel::kColStereo), "S");
  EXPECT_EQ(m.CellText(*doc, 3, CAamModel::kColPan), "64");
  EXPECT_EQ(m.CellText(*doc, 3, CAamModel::kColWaveName), "drum.wav");
  doc->SetStreamPcmSetting(3, 2, 0);
  EXPECT_EQ(m.CellText(*doc, 3, CAamModel::kColPan), "OFF");
  EXPECT_EQ(m.CellText(*doc, 4, CAamModel::kColFs), "");
}

}  // namespace
