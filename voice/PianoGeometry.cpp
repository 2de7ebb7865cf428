#include "voice/PianoGeometry.h"

#include <initializer_list>

namespace voiceedit {

namespace {

constexpr int kKeyStarts[12] = {0, 10, 17, 30, 34, 51, 61, 68, 80, 85, 98, 102};
constexpr int kWhitePitch[7] = {0, 2, 4, 5, 7, 9, 11};
constexpr int kRemainderSteps[7] = {0, 1, 3, 5, 7, 8, 10};
constexpr int kShortLast[6] = {127, 127, 125, 124, 122, 120};

}  // namespace

bool PianoGeometry::IsBlack(int note) {
  const int pc = ((note % 12) + 12) % 12;
  return pc == 1 || pc == 3 || pc == 6 || pc == 8 || pc == 10;
}

int PianoGeometry::KeyStart(int pitchClass) { return kKeyStarts[((pitchClass % 12) + 12) % 12]; }

int PianoGeometry::PixelOf(int note) { return (note / 12) * kOctaveWidth + KeyStart(note % 12); }

int PianoGeometry::LastPosition(int width) {
  const int w = width / kWhiteWidth;
  if (w <= 5) return kShortLast[w < 0 ? 0 : w];
  const int n = w - 5;
  int last = 120 - 12 * (n / 7) - kRemainderSteps[n % 7];
  if (last < 0) return 0;
  if (width % kWhiteWidth >= 7 && last % 12 != 0 && last % 12 != 5) --last;
  return last < 0 ? 0 : last;
}

int PianoGeometry::NoteAt(int x, int y, int position) {
  if (x < 0 || y < 0) return -1;
  const int pixel = x + PixelOf(position);
  const int octave = pixel / kOctaveWidth;
  const int offset = pixel % kOctaveWidth;
  int pitch = kWhitePitch[offset / kWhiteWidth];
  if (y < kBlackHeight) {
    for (int pc : {1, 3, 6, 8, 10}) {
      if (offset >= kKeyStarts[pc] && offset <= kKeyStarts[pc] + kBlackWidth) pitch = pc;
    }
  }
  const int note = octave * 12 + pitch;
  return note > 127 ? -1 : note;
}

KeyRect PianoGeometry::KeyRectOf(int note, int position) {
  const int x = PixelOf(note) - PixelOf(position);
  if (IsBlack(note)) return {x, kBlackWidth, kBlackHeight};
  return {x, kWhiteWidth, 0};
}

bool PianoGeometry::Contains(int note, int x, int y, int position, int height) {
  const KeyRect r = KeyRectOf(note, position);
  const int h = r.height ? r.height : height;
  return x >= r.x && x < r.x + r.width && y >= 0 && y < h;
}

int RepeatSchedule::NextWait() {
  if (!m_accelerate) return m_interval;
  if (m_interval >= 21) {
    m_interval -= 20;
    return m_interval;
  }
  return 0;
}

}  // namespace voiceedit
