// Seek and phrase points of a score sequence, as byte offsets into its plain stream.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace velkgate {

struct SeekPhrase {
  uint8_t letter = 0;
  uint32_t start = 0;
  uint32_t end = 0;
};

class CSeekRecord {
 public:
  static constexpr uint32_t kNoEnd = 0xFFFFFFFFu;

  uint8_t GetKind() const { return m_kind; }
  void SetKind(uint8_t kind) { m_kind = kind; }

  bool HasStart() const { return m_start.has_value(); }
  uint32_t GetStart() const { return m_start.value_or(0); }
  void SetStart(uint32_t offset) { m_start = offset; }
  bool HasStop() const { return m_stop.has_value(); }
  uint32_t GetStop() const { return m_stop.value_or(0); }
  void SetStop(uint32_t offset) { m_stop = offset; }
  /// Where the closing events of the sequence begin; kNoEnd (-1) until the encoder sets it.
  uint32_t GetEnd() const { return m_end; }
  void SetEnd(uint32_t offset) { m_end = offset; }

  const std::vector<SeekPhrase>& GetPhrases() const { return m_phrases; }
  void AddPhrase(uint8_t letter, uint32_t start, uint32_t end) {
    m_phrases.push_back(SeekPhrase{letter, start, end});
  }
  /// True when there is anything for a seek chunk to carry.
  bool HasPoints() const { return HasStart() || HasStop() || !m_phrases.empty(); }

 private:
  uint8_t m_kind = 0;
  std::optional<uint32_t> m_start;
  std::optional<uint32_t> m_stop;
  uint32_t m_end = kNoEnd;
  std::vector<SeekPhrase> m_phrases;
};

}  // namespace velkgate
