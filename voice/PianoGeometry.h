// The keyboard picture's geometry: where each key of the MIDI notes 0..127 lies for a scroll
// position, which key a point presses, and the last position for a width.
#pragma once

#include <cstdint>

namespace voiceedit {

struct KeyRect {
  int x;
  int width;
  int height;  // 0: the whole height (a white key)
};

class PianoGeometry {
 public:
  static constexpr int kOctaveWidth = 119;
  static constexpr int kWhiteWidth = 17;
  static constexpr int kBlackWidth = 12;
  static constexpr int kBlackHeight = 36;

  static bool IsBlack(int note);
  /// The key's start within its octave.
  static int KeyStart(int pitchClass);
  /// The keyboard pixel of a note's left edge.
  static int PixelOf(int note);
  /// The highest position at which the keyboard still ends at note 127.
  static int LastPosition(int width);
  /// The note under (x, y) at `position`, -1 when none (above 127 or outside).
  static int NoteAt(int x, int y, int position);
  /// The key's rectangle in control coordinates at `position`.
  static KeyRect KeyRectOf(int note, int position);
  /// True when (x, y) lies inside the key's shape at `position` (a white key's whole rectangle).
  static bool Contains(int note, int x, int y, int position, int height);
};

/// The waits of a held repeat button: the interval without acceleration; with it 180, 160, ...,
/// 20 ms from an interval of 200, then 0.
class RepeatSchedule {
 public:
  RepeatSchedule(bool accelerate, int intervalMs) : m_accelerate(accelerate), m_interval(intervalMs) {}
  int NextWait();

 private:
  bool m_accelerate;
  int m_interval;
};

}  // namespace voiceedit
