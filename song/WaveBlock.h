// The small wave-data holder embedded in each stream-PCM slot.
#pragma once

#include <cstdint>
#include <vector>

class CWaveBlock {
 public:
  static constexpr int kHeaderWords = 6;

  CWaveBlock() = default;
  CWaveBlock(const CWaveBlock& other) = default;
  /// Copies the header, the data and the two trailing words.
  CWaveBlock& operator=(const CWaveBlock& other) = default;
  virtual ~CWaveBlock() = default;

  /// The 24-byte header (six words).
  uint32_t* GetEmbeddedObject() { return m_header; }
  const uint32_t* GetEmbeddedObject() const { return m_header; }

  /// Replaces the data by a copy of n bytes (none when n is 0).
  void SetData(const uint8_t* bytes, uint32_t n);
  /// Frees the data; size 0.
  void FreeData() { m_data.clear(); m_data.shrink_to_fit(); }
  const uint8_t* GetData() const { return m_data.empty() ? nullptr : m_data.data(); }
  uint32_t GetSize() const { return static_cast<uint32_t>(m_data.size()); }

  uint32_t GetWord(int i) const { return m_words[i & 1]; }
  void SetWord(int i, uint32_t v) { m_words[i & 1] = v; }
  /// The 16-bit attribute that travels with the data (the low half of the first trailing word).
  uint16_t GetAttribute() const { return static_cast<uint16_t>(m_words[0]); }
  void SetAttribute(uint16_t v) { m_words[0] = (m_words[0] & 0xFFFF0000u) | v; }

  /// Equal length and bytes and an equal attribute.
  bool HoldsSameData(const CWaveBlock& other) const;

 private:
  uint32_t m_header[kHeaderWords] = {};
  std::vector<uint8_t> m_data;
  uint32_t m_words[2] = {};
};
