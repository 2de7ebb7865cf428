// Play values shared by the whole process: the main frame, its controls and the playback threads.
#pragma once

#include <atomic>
#include <cstdint>

/// Each value is atomic: the playback threads read them while the user-interface thread writes.
struct AppPlayState {
  /// The main frame's repeat button.
  std::atomic<bool> repeat{false};
  /// The main frame's position-refresh flag: set while it refreshes the windows for a position
  /// report. While set, the playback threads post no position messages and the board monitor
  /// no normal status messages.
  std::atomic<bool> suppressPositionPosts{false};
  /// Set by Play after a successful direct-play transfer; any direct message to the emulator clears it.
  std::atomic<bool> directPlayImageSent{false};
  /// The play start position in milliseconds that the time edit writes and shows.
  std::atomic<uint32_t> playPositionMs{0};
};

/// The one instance of the process.
AppPlayState& appPlayState();
