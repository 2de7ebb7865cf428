// The fields of an audio track's channel status word.
#include <gtest/gtest.h>

#include "song/document/AudioStatusBits.h"

namespace {

TEST(AudioStatusBits, FieldsOfTheWord) {
  EXPECT_EQ(GetAudioStatusBits15(0xD5A3), 1);
  EXPECT_EQ(GetAudioStatusBits12(0xD5A3), 5);
  EXPECT_EQ(GetAudioStatusBits8(0xD5A3), 5);
  EXPECT_EQ(GetAudioStatusBits4(0xD5A3), 0xA);
  EXPECT_EQ(GetAudioStatusBits15(0x7FFF), 0);
  EXPECT_EQ(GetAudioStatusBits12(0x8FFF), 0);
  EXPECT_EQ(GetAudioStatusBits8(0xF0FF), 0);
  EXPECT_EQ(GetAudioStatusBits4(0xFF0F), 0);
}

}  // namespace
