// One event of a converted sequence: tick, message bytes, end tick, extra value and dropped flag.
#pragma once

#include <cstdint>
#include <memory>

class CMidiMsg;

class CSeqEvent {
 public:
  static constexpr uint32_t kInlineBytes = 16;

  /// Copies `length` bytes (inline up to 16, else to the heap; throws -108 when that fails).
  /// valueA is the end tick, valueB the extra value (cue code).
  CSeqEvent(uint32_t tick, uint32_t length, const uint8_t* bytes, uint32_t valueA, uint32_t valueB);
  CSeqEvent(const CSeqEvent& other);
  CSeqEvent& operator=(const CSeqEvent& other);
  virtual ~CSeqEvent() = default;

  const uint8_t* GetData() const { return m_heap ? m_heap.get() : m_inline; }
  /// Byte i of the data, 0 when i is not below the length.
  uint8_t GetDataByte(uint32_t i) const { return i < m_length ? GetData()[i] : 0; }
  uint32_t GetTick() const { return m_tick; }
  uint32_t GetLength() const { return m_length; }
  /// Value A: the end tick.
  uint32_t GetValue() const { return m_valueA; }
  uint32_t GetEndTick() const { return m_valueA; }
  /// Value B: the extra value.
  uint32_t GetExtra() const { return m_valueB; }
  /// End tick minus tick: the gate time of a note.
  uint32_t GetDuration() const { return m_valueA - m_tick; }
  bool IsDropped() const { return m_dropped != 0; }
  bool IsHeap() const { return m_heap != nullptr; }

  void SetTick(uint32_t tick) { m_tick = tick; }
  void SetEndTick(uint32_t endTick) { m_valueA = endTick; }
  void SetExtra(uint32_t extra) { m_valueB = extra; }
  void SetDropped(bool dropped) { m_dropped = dropped ? 1 : 0; }

  /// 1 FF 51 03, 2 device 7F 08, 3 device 7D 10, 4 device 7F 0B, 5 device 7F 00,
  /// 6 a note-on (any 9n status), 0 anything else.
  int GetKind() const;

 private:
  void Assign(const uint8_t* bytes, uint32_t length);

  uint32_t m_tick = 0;
  uint32_t m_length = 0;
  uint8_t m_inline[kInlineBytes] = {};
  std::unique_ptr<uint8_t[]> m_heap;
  uint32_t m_valueA = 0;
  uint32_t m_valueB = 0;
  uint32_t m_dropped = 0;
};

/// True when tick, length and every data byte are equal, the message's end tick equals the
/// event's value A and the message's extra value its value B.
bool IsSameEvent(const CMidiMsg& message, const CSeqEvent& event);
