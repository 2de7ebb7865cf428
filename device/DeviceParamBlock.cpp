// The values an emulator device starts with and sends as its device messages.
#include "device/DeviceParamBlock.h"

void CDeviceParamBlock::Set7F13Fields(uint8_t flag1, uint8_t value2, uint8_t flag3, uint8_t flag4,
                                      uint8_t flag5) {
  m_flag1 = flag1;
  m_value2 = value2;
  m_flag3 = flag3;
  m_flag4 = flag4;
  m_flag5 = flag5;
}

uint8_t CDeviceParamBlock::Get7F13Byte() const {
  // Each field keeps only the bits the message has room for.
  return static_cast<uint8_t>(((m_flag5 & 1) << 6) | ((m_flag4 & 1) << 5) | ((m_flag3 & 1) << 4) |
                              ((m_flag1 & 1) << 3) | (m_value2 & 7));
}

void CDeviceParamBlock::Set7F13Byte(uint8_t b) {
  Set7F13Fields(static_cast<uint8_t>((b >> 3) & 1), static_cast<uint8_t>(b & 7), static_cast<uint8_t>((b >> 4) & 1),
                static_cast<uint8_t>((b >> 5) & 1), static_cast<uint8_t>((b >> 6) & 1));
}
