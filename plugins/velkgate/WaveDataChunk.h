// "Mwa" + slot: one stream-PCM wave with its format byte and sampling rate.
#pragma once

#include <cstdint>
#include <vector>

#include "song/Chunk.h"

namespace velkgate {

class CWaveDataChunk : public CChunk {
 public:
  static constexpr uint8_t kFirstSlot = 1;
  static constexpr uint8_t kLastSlot = 32;

  /// Reads id, size and body. Throws -48 when truncated or the body is shorter than its
  /// three header bytes, -108 without memory.
  explicit CWaveDataChunk(CMemStream& stream);
  /// A new wave for the slot.
  CWaveDataChunk(uint8_t slot, uint8_t formatByte, uint16_t rate, const uint8_t* bytes,
                 uint32_t n);
  /// A copy of a parsed wave chunk under the slot.
  CWaveDataChunk(uint8_t slot, const CWaveDataChunk& other);

  void WriteBody(CMemStream& stream) override;
  void ReadBody(CMemStream& stream) override;

  static uint32_t IdOfSlot(uint8_t slot);
  /// Wave format code 0, 2 or 3 to the format byte 0x20, 0x11 or 0x01 (any other code 0x01).
  static uint8_t FormatByteOfCode(uint8_t code);
  /// Bits 4-6 of the format byte: 0 gives code 3, 1 code 2, any other value code 0.
  static uint8_t CodeOfFormatByte(uint8_t formatByte);

  uint8_t GetSlot() const { return GetIdNumber(); }
  uint8_t GetFormatByte() const { return m_formatByte; }
  uint16_t GetRate() const { return m_rate; }
  const std::vector<uint8_t>& GetWave() const { return m_wave; }

 private:
  uint8_t m_formatByte = 0;
  uint16_t m_rate = 0;
  std::vector<uint8_t> m_wave;
};

}  // namespace velkgate
