// Tests of the emulator device's parameter block.
#include "device/DeviceParamBlock.h"

#include <gtest/gtest.h>

namespace {

TEST(DeviceParamBlock, StartsInModeTwoWithVolumeHundred) {
  CDeviceParamBlock b;
  EXPECT_EQ(b.GetMode(), 2);
  EXPECT_EQ(b.Get7F13Byte(), 0);
  EXPECT_EQ(b.GetValue7F11(), 0);
  EXPECT_EQ(b.GetValue7F07(), 0);
  EXPECT_EQ(b.GetValue7E09(), 100);
  EXPECT_EQ(b.GetOption(), 0);
}

TEST(DeviceParamBlock, PacksTheFieldsOfMessage7F13) {
  struct Case {
    uint8_t f1, v2, f3, f4, f5, byte;
  };
  for (const Case& c : {Case{1, 5, 1, 0, 1, 0x5D}, Case{0, 7, 0, 0, 0, 0x07}, Case{1, 0, 0, 0, 0, 0x08},
                        Case{0, 0, 1, 0, 0, 0x10}, Case{0, 0, 0, 1, 0, 0x20}, Case{0, 0, 0, 0, 1, 0x40},
                        Case{1, 7, 1, 1, 1, 0x7F}}) {
    CDeviceParamBlock b;
    b.Set7F13Fields(c.f1, c.v2, c.f3, c.f4, c.f5);
    EXPECT_EQ(b.Get7F13Byte(), c.byte);
    CDeviceParamBlock back;
    back.Set7F13Byte(c.byte);
    EXPECT_EQ(back.GetFlag1(), c.f1);
    EXPECT_EQ(back.GetValue2(), c.v2);
    EXPECT_EQ(back.GetFlag3(), c.f3);
    EXPECT_EQ(back.GetFlag4(), c.f4);
    EXPECT_EQ(back.GetFlag5(), c.f5);
  }
}

TEST(DeviceParamBlock, ValueTwoKeepsOnlyItsThreeBits) {
  CDeviceParamBlock b;
  b.Set7F13Fields(0, 0xFF, 0, 0, 0);  // a profile parameter "a" of 0xFF
  EXPECT_EQ(b.Get7F13Byte(), 0x07);
}

}  // namespace
