// The supported tempos of chip modes 1 and 2, falling from 1092 to 9 and ended by 0.
#pragma once

#include <array>

inline constexpr int kTempoTableSize = 83;

/// The 83 tempos in falling order followed by the closing 0.
const std::array<int, kTempoTableSize + 1>& TempoTable();
