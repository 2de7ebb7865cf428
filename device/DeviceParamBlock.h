// The values an emulator device starts with and sends as its device messages.
#pragma once

#include <cstdint>

/// Mode 1, 2 or 3 selects how the emulator device starts; the five fields are those of device
/// message 7F 13, the three values those of 7F 11, 7F 07 and 7E 09.
class CDeviceParamBlock {
 public:
  CDeviceParamBlock() = default;
  virtual ~CDeviceParamBlock() = default;
  CDeviceParamBlock(const CDeviceParamBlock&) = default;
  CDeviceParamBlock& operator=(const CDeviceParamBlock&) = default;

  int32_t GetMode() const { return m_mode; }
  void SetMode(int32_t mode) { m_mode = mode; }

  uint8_t GetFlag1() const { return m_flag1; }
  uint8_t GetValue2() const { return m_value2; }
  uint8_t GetFlag3() const { return m_flag3; }
  uint8_t GetFlag4() const { return m_flag4; }
  uint8_t GetFlag5() const { return m_flag5; }
  void SetFlag1(uint8_t v) { m_flag1 = v; }
  void SetValue2(uint8_t v) { m_value2 = v; }
  void SetFlag3(uint8_t v) { m_flag3 = v; }
  void SetFlag4(uint8_t v) { m_flag4 = v; }
  void SetFlag5(uint8_t v) { m_flag5 = v; }
  void Set7F13Fields(uint8_t flag1, uint8_t value2, uint8_t flag3, uint8_t flag4, uint8_t flag5);
  /// The data byte of message 7F 13: bit 6 flag5, bit 5 flag4, bit 4 flag3, bit 3 flag1, bits 2-0 value2.
  uint8_t Get7F13Byte() const;
  /// The inverse of Get7F13Byte.
  void Set7F13Byte(uint8_t b);

  uint8_t GetValue7F11() const { return m_value7F11; }
  void SetValue7F11(uint8_t v) { m_value7F11 = v; }
  uint8_t GetValue7F07() const { return m_value7F07; }
  void SetValue7F07(uint8_t v) { m_value7F07 = v; }
  uint8_t GetValue7E09() const { return m_value7E09; }
  void SetValue7E09(uint8_t v) { m_value7E09 = v; }

  int32_t GetOption() const { return m_option; }
  void SetOption(int32_t v) { m_option = v; }

 private:
  int32_t m_mode = 2;
  uint8_t m_flag1 = 0;
  uint8_t m_value2 = 0;
  uint8_t m_flag3 = 0;
  uint8_t m_flag4 = 0;
  uint8_t m_flag5 = 0;
  uint8_t m_value7F11 = 0;
  uint8_t m_value7F07 = 0;
  uint8_t m_value7E09 = 100;
  int32_t m_option = 0;
};
