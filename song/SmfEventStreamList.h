// The stream-PCM data-rate curve of a song: bytes per second that the stream-PCM waves being
// played need over time, and its maximum.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "song/PtrChain.h"
#include "song/ValuePoint.h"

class CStreamPCMSlot;
struct SmfEvent;

/// Bytes per second that a slot's wave needs: format 0 (4-bit ADPCM) half its rate, formats 2
/// and 3 the rate, anything else (or no slot) 0.
uint32_t GetStreamPcmByteRate(const CStreamPCMSlot* slot);

/// A forward iterator over a list of stream-PCM slot pointers.
class CStreamPcmSlotIter : public CPtrChainIter {
 public:
  explicit CStreamPcmSlotIter(const CPtrChain& list) : CPtrChainIter(list) {}
  /// False at the end; otherwise stores the current slot and moves on.
  bool Next(const CStreamPCMSlot*& out);
};

class CSmfEventStreamList {
 public:
  CSmfEventStreamList() = default;
  virtual ~CSmfEventStreamList() = default;

  /// Analyses an SMF of one track against the song's stream-PCM slots (a list of
  /// CStreamPCMSlot pointers) and returns 1. Throws kSmfMalformed for a malformed image or
  /// more than one track.
  int AnalyseStreamRate(const uint8_t* image, uint32_t size, const CPtrChain& slots);
  /// Appends a point (segment start in ms, rate in bytes per second, tick at the start).
  int AddPoint(uint32_t ms, uint32_t rate, uint32_t tick);
  /// Appends a copy of every point to an empty target and returns 1; 0 when it was not empty.
  int CopyItems(std::vector<CValuePoint>& target) const;

  uint32_t GetMaxRate() const { return m_maxRate; }
  uint32_t GetMaxTime() const { return m_maxTime; }
  const std::vector<CValuePoint>& GetPoints() const { return m_points; }

 private:
  static constexpr uint8_t kNone = 0xFF;
  static constexpr int kSlotIds = 50;  // stream keys address slots 1..49

  struct StreamRecord {
    uint8_t key = kNone;   // kNone: sounds as the partner of the other record
    uint8_t slot = kNone;  // kNone: free
    bool paired = false;
    uint32_t rate = 0;
    uint32_t time = 0;
    bool IsFree() const { return slot == kNone; }
  };
  struct ChannelState {
    uint8_t program = 0xFF;
    uint8_t bank = 0xFF;
    bool stream = false;
  };

  void LoadSlots(const CPtrChain& slots);
  uint32_t TimeOf(uint32_t tick) const;
  void HandleEvent(const SmfEvent& event);
  void HandleSysEx(const SmfEvent& event);
  void HandleChannel(const SmfEvent& event);
  void StreamKeyOn(uint8_t key, uint8_t slot, uint32_t now);
  void StartStream(uint8_t key, uint8_t slot, uint32_t now);
  void StrikeSecond(uint8_t key, uint8_t slot, uint32_t now);
  void StrikeFirst(uint8_t key, uint32_t now);
  void StrikeSecondAgain(uint8_t key, uint8_t slot, uint32_t now);
  void StrikeOther(uint8_t key, uint8_t slot, uint32_t now);
  void StreamKeyOff(uint8_t key, uint8_t slot);
  void Take(StreamRecord& record, uint8_t key, uint8_t slot, bool paired, uint32_t now);
  void TakePartner(StreamRecord& record, uint8_t slot, uint32_t now);
  void Drop(StreamRecord& record);
  void MarkSegment(uint32_t now, bool afterNoteOn);

  uint32_t m_maxRate = 0;
  uint32_t m_maxTime = 0;
  std::vector<CValuePoint> m_points;

  // State of one analysis.
  std::array<uint32_t, kSlotIds> m_rate{};
  std::array<bool, kSlotIds> m_known{};
  std::array<uint8_t, kSlotIds> m_partner{};
  std::array<uint32_t, kSlotIds> m_useCount{};
  std::array<ChannelState, 16> m_channels{};
  StreamRecord m_first, m_second;
  uint8_t m_mode = 2;
  uint64_t m_total = 0;
  uint32_t m_tickLength = 0;
  uint32_t m_accumulatedMs = 0;
  uint32_t m_lastChangeTick = 0;
  uint32_t m_segmentStart = 0;
  uint32_t m_segmentRate = 0;
  uint32_t m_segmentTick = 0;
};
