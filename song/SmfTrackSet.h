// Splits a song-data SMF into one single-track SMF per channel group (groups 1..4).
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "song/MemStream.h"

struct SmfEvent;

class CSmfTrackSet {
 public:
  static constexpr int kGroupCount = 4;
  static constexpr int kChannelsPerGroup = 4;

  CSmfTrackSet();
  virtual ~CSmfTrackSet();
  CSmfTrackSet(const CSmfTrackSet&) = delete;
  CSmfTrackSet& operator=(const CSmfTrackSet&) = delete;

  /// Splits an SMF of format 0 or 1. groupCodes holds 16 bytes, one per channel: 1..4 the
  /// channel's group, anything else none; null means no groups. Returns 1. Throws
  /// kSmfMalformed for a malformed image and -108 when a stream cannot grow.
  int Parse(const uint8_t* image, uint32_t size, const uint8_t* groupCodes);
  /// Byte count of group 1..4's file; 0 for another group.
  uint32_t GetTrackSize(int group) const;
  /// Copies n bytes (at most the file's size) of group 1..4's file into buffer and returns 1;
  /// 0 when buffer is null or the group is outside 1..4.
  int CopyTrack(int group, uint8_t* buffer, uint32_t n) const;

 private:
  struct Group {
    uint8_t channels[kChannelsPerGroup];
    int channelCount = 0;
    int32_t lengthPosition = 0;
    uint32_t lastTick = 0;
    bool IsUsed() const { return channelCount > 0; }
  };

  void AssignGroups(const uint8_t* groupCodes);
  void StartGroupFiles(uint16_t division);
  void WriteEvent(const SmfEvent& event);
  void WriteToGroup(int group, uint32_t tick, const uint8_t* bytes, uint32_t n);
  void FinishGroupFiles();

  std::array<std::unique_ptr<CMemStream>, kGroupCount> m_streams;
  std::array<Group, kGroupCount> m_groups;
  int8_t m_groupOfChannel[16];
  uint8_t m_slotOfChannel[16];
};
