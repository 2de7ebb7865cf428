// A voice address: bank MSB, bank LSB, program and note (255 = unset) with a pending word.
#pragma once

#include <cstdint>

class CVoiceAddr {
 public:
  static constexpr uint8_t kUnset = 255;

  CVoiceAddr() = default;
  CVoiceAddr(uint8_t msb, uint8_t lsb, uint8_t program, uint8_t note)
      : m_msb(msb), m_lsb(lsb), m_program(program), m_note(note) {}
  virtual ~CVoiceAddr() = default;

  uint8_t GetBankMsb() const { return m_msb; }
  uint8_t GetBankLsb() const { return m_lsb; }
  uint8_t GetProgram() const { return m_program; }
  uint8_t GetNote() const { return m_note; }
  uint32_t GetPending() const { return m_pending; }

  void SetBankMsb(uint8_t v) { m_msb = v; }
  void SetBankLsb(uint8_t v) { m_lsb = v; }
  void SetProgram(uint8_t v) { m_program = v; }
  void SetNote(uint8_t v) { m_note = v; }
  void SetPending(uint32_t v) { m_pending = v; }

  /// 1 when the byte is below 255.
  int IsBankMsbSet() const { return m_msb < kUnset ? 1 : 0; }
  int IsBankLsbSet() const { return m_lsb < kUnset ? 1 : 0; }
  int IsProgramSet() const { return m_program < kUnset ? 1 : 0; }
  int IsNoteSet() const { return m_note < kUnset ? 1 : 0; }

  /// All four bytes back to 255 and the pending word to 0.
  void Reset() { *this = CVoiceAddr(); }

 private:
  uint8_t m_msb = kUnset;
  uint8_t m_lsb = kUnset;
  uint8_t m_program = kUnset;
  uint8_t m_note = kUnset;
  uint32_t m_pending = 0;
};
