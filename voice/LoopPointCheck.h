// The check that a PCM voice's loop and end points fit its wave and that a loop at a loud
// sample has an envelope that hides its click.
#pragma once

#include <cstdint>

class CVoiceItem;

class CLoopPointCheck {
 public:
  static constexpr uint32_t kBadLoopPoint = 1;
  static constexpr uint32_t kBadEndPoint = 2;
  static constexpr uint32_t kClickXofLowSr = 4;
  static constexpr uint32_t kClickXofSustainedDecay = 8;
  static constexpr uint32_t kClickLowRr = 16;

  CLoopPointCheck() = default;
  virtual ~CLoopPointCheck() = default;

  void Reset() { m_result = 0; }
  /// 1 when the voice passes, 0 when it fails (GetResult then says why). Outside chip modes 3
  /// and 5, and for FM voices, every voice passes.
  int Check(const CVoiceItem& voice);
  uint32_t GetResult() const { return m_result; }

 private:
  int Fail(uint32_t code) {
    m_result = code;
    return 0;
  }
  int CheckEnvelope(const CVoiceItem& voice);

  uint32_t m_result = 0;
};
