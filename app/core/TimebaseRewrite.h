// The time-base change of chip modes 3 and 5: the song's device tempo messages and its first
// tempo event are rewritten for the new time base.
#pragma once

#include <cstdint>

class CKZ1Doc;

namespace timebase {

/// The largest value a device tempo message carries in four 7-bit groups.
inline constexpr uint32_t kValueCap = 0xFFFFFFF;

/// Rewrites the song for time base `n`: clamps `n` to what the setup's time base allows, marks
/// the song modified and, when `n` differs from the song's, stores it, rescales every device
/// tempo message (F0 len 43 79 06 7D 10 value F7) and writes it into the first FF 51 03 event.
/// 0 without a song, else 1.
int ChangeSongTimebase(CKZ1Doc* doc, int n);

/// The clamp of a requested time base by the setup's time base `setup`.
int ClampTimebase(int n, uint16_t setup);

}  // namespace timebase
