// One stream-PCM slot: a wave with its format, rate and the voice address that triggers it.
#pragma once

#include <cstdint>
#include <vector>

#include "song/WaveBlock.h"

class CStreamPCMSlot {
 public:
  static constexpr int kNameSize = 16;
  static constexpr int kFreeId = 255;

  CStreamPCMSlot() = default;
  CStreamPCMSlot(const CStreamPCMSlot& other) { *this = other; }
  /// Copies wave data, id, address, wave block, rate, flag, format, marked state, index, name.
  CStreamPCMSlot& operator=(const CStreamPCMSlot& other);
  virtual ~CStreamPCMSlot() = default;

  uint8_t GetBankMsb() const { return m_bankMsb; }
  bool SetBankMsb(uint8_t v) { m_bankMsb = v; return true; }
  uint8_t GetBankLsb() const { return m_bankLsb; }
  bool SetBankLsb(uint8_t v) { m_bankLsb = v; return true; }
  uint8_t GetProgram() const { return m_program; }
  bool SetProgram(uint8_t v) { m_program = v; return true; }
  uint8_t GetNote() const { return m_note; }
  bool SetNote(uint8_t v) { m_note = v; return true; }
  uint16_t GetRate() const { return m_rate; }
  bool SetRate(uint16_t v) { m_rate = v; return true; }
  /// Sample format code: 0, 2 or 3.
  uint8_t GetFormat() const { return m_format; }
  bool SetFormat(uint8_t v) { m_format = v; return true; }
  bool GetMarked() const { return m_marked; }
  bool SetMarked(bool v) { m_marked = v; return true; }
  /// 1..49 when in use, 255 when free.
  int32_t GetId() const { return m_id; }
  bool SetId(int32_t v) { m_id = v; return true; }
  bool GetFlag() const { return m_flag; }
  /// Stores 1 for any nonzero value.
  bool SetFlag(int v) { m_flag = v != 0; return true; }
  /// Position in the document's array (or the stereo partner's id); -1 for none.
  int GetIndex() const { return m_index; }
  bool SetIndex(int v) { m_index = static_cast<int8_t>(v); return true; }

  /// Replaces the wave by a copy of n bytes (none when n is 0).
  void SetWaveData(const uint8_t* bytes, uint32_t n);
  uint32_t GetDataSize() const { return static_cast<uint32_t>(m_data.size()); }
  /// The wave bytes, or null when there are none.
  const uint8_t* GetData() const { return m_data.empty() ? nullptr : m_data.data(); }

  /// The NUL-terminated name (at most 16 characters).
  const char* GetName() const { return m_name; }
  /// Keeps at most 16 characters; a null text leaves the name empty.
  void SetName(const char* text);

  CWaveBlock* GetWaveBlock() { return &m_waveBlock; }
  const CWaveBlock* GetWaveBlock() const { return &m_waveBlock; }

  /// Same bank MSB, LSB and program, and both the waves and the wave blocks hold equal data.
  bool IsSameAs(const CStreamPCMSlot& other) const;
  /// IsSameAs a freshly constructed slot.
  bool IsDefault() const;

 private:
  std::vector<uint8_t> m_data;
  uint16_t m_rate = 0;
  int32_t m_id = kFreeId;
  bool m_flag = false;
  uint8_t m_format = 0;
  bool m_marked = false;
  uint8_t m_bankMsb = 255;
  uint8_t m_bankLsb = 255;
  uint8_t m_program = 255;
  uint8_t m_note = 255;
  CWaveBlock m_waveBlock;
  int8_t m_index = -1;
  char m_name[kNameSize + 1] = {};
};
