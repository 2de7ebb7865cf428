// One event of a song's event list: raw message bytes with their tick and end tick.
#pragma once

#include <cstdint>
#include <memory>

class CMidiMsg {
 public:
  static constexpr uint32_t kInlineBytes = 20;

  /// Copies `length` bytes; more than 20 go to a heap copy of exactly that size.
  CMidiMsg(uint32_t tick, uint32_t endTick, uint32_t length, const uint8_t* data, uint32_t extra);
  CMidiMsg(const CMidiMsg& other);
  CMidiMsg& operator=(const CMidiMsg& other);
  /// A moved-from event is left empty (length 0), never pointing at a heap copy it lost.
  CMidiMsg(CMidiMsg&& other) noexcept;
  CMidiMsg& operator=(CMidiMsg&& other) noexcept;
  virtual ~CMidiMsg() = default;

  /// Byte i of the data; callers pass i below the length.
  uint8_t GetByte(uint32_t i) const { return GetData()[i]; }
  const uint8_t* GetData() const { return m_length > kInlineBytes ? m_heap.get() : m_inline; }
  uint8_t* GetData() { return m_length > kInlineBytes ? m_heap.get() : m_inline; }
  uint32_t GetTick() const { return m_tick; }
  uint32_t GetLength() const { return m_length; }
  uint32_t GetEndTick() const { return m_endTick; }
  uint32_t GetExtra() const { return m_extra; }

  void SetTick(uint32_t tick) { m_tick = tick; }
  void SetEndTick(uint32_t endTick) { m_endTick = endTick; }
  void SetExtra(uint32_t extra) { m_extra = extra; }

  /// Does nothing: events are never archived one by one.
  virtual void Serialize() {}

 private:
  void Assign(const uint8_t* data, uint32_t length);

  uint32_t m_tick = 0;
  uint32_t m_length = 0;
  uint8_t m_inline[kInlineBytes] = {};
  std::unique_ptr<uint8_t[]> m_heap;
  uint32_t m_endTick = 0;
  uint32_t m_extra = 0;
  uint32_t m_spare = 0;
};
