// One classified event of an SMF event stream: its kind, tick and bytes.
#pragma once

#include <cstdint>
#include <memory>

/// Event kinds of CHeapBlock::Classify.
enum HeapBlockKind : uint32_t {
  kKindChannel = 0,          // channel message other than note on or off
  kKindNote = 1,             // note on or off (velocity 0 included)
  kKindMasterVolume = 2,     // SysEx with 7F 00 as data bytes 3 and 4
  kKindChannelStatus = 3,    // SysEx with 7D 02
  kKindVoice = 4,            // SysEx with 7F 01
  kKindStreamPcm = 5,        // SysEx with 7F 05
  kKindContentsHeader = 6,   // SysEx with 7D 01
  kKindCueStart = 7,         // meta 07 "START"
  kKindCueStop = 8,          // meta 07 "STOP"
  kKindOther = 9,            // any other SysEx or meta event
};

class CHeapBlock {
 public:
  static constexpr uint32_t kInlineBytes = 16;

  /// Copies size bytes (inline up to 16, else to the heap) and classifies them. Throws -108
  /// when the heap copy cannot be had, -1 for a length field of more than four bytes.
  CHeapBlock(uint32_t tick, uint32_t size, const uint8_t* bytes);
  CHeapBlock(const CHeapBlock&) = delete;
  CHeapBlock& operator=(const CHeapBlock&) = delete;
  virtual ~CHeapBlock() = default;

  /// The kind of an event of size bytes (status byte first). Never reads past size; throws -1
  /// for a SysEx or meta length of more than four bytes.
  static uint32_t Classify(const uint8_t* bytes, uint32_t size);

  uint32_t GetKind() const { return m_kind; }
  uint32_t GetTick() const { return m_tick; }
  uint32_t GetSize() const { return m_size; }
  const uint8_t* GetData() const { return m_heap ? m_heap.get() : m_inline; }

 private:
  uint32_t m_kind = 0;
  uint32_t m_tick = 0;
  uint32_t m_size = 0;
  uint8_t m_inline[kInlineBytes] = {};
  std::unique_ptr<uint8_t[]> m_heap;
};
