// The tabs of the event list and the piano roll: one per channel, then "StreamPCM" and "All".
#pragma once

#include <string>

enum class SongTabKind { Channel, StreamPcm, All };

/// The tab strip as it was built for a channel count; a later count does not rebuild it.
class SongViewTabs {
 public:
  explicit SongViewTabs(int channelCount) : m_channels(channelCount) {}

  int ChannelCount() const { return m_channels; }
  int TabCount() const { return m_channels + 2; }
  SongTabKind KindOf(int tab) const {
    if (tab < m_channels) return SongTabKind::Channel;
    return tab == m_channels ? SongTabKind::StreamPcm : SongTabKind::All;
  }
  /// "Ch1".."ChN", "StreamPCM", "All".
  std::string Label(int tab) const {
    if (tab < m_channels) return "Ch" + std::to_string(tab + 1);
    return tab == m_channels ? "StreamPCM" : "All";
  }

 private:
  int m_channels;
};

/// The channel count of a chip mode: 4 in mode 1, 16 in modes 2, 3 and 5, else `current`.
inline int ChannelCountForChipMode(int chipMode, int current) {
  if (chipMode == 1) return 4;
  if (chipMode == 2 || chipMode == 3 || chipMode == 5) return 16;
  return current;
}
