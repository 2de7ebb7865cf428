// The text of a note number as the song views print it ("C  3").
#include "app/core/NoteName.h"

#include "platform/host/HostServices.h"
#include "platform/text/Format.h"

namespace {

constexpr char kNoteNames[] = "C C#D D#E F F#G G#A A#B ";

}  // namespace

std::string GetNoteName(int note, int originNote) {
  if (note < 0 || note > 127) return {};
  int pos = 2 * (note % 12);
  return platform::Format("%c%c %d", kNoteNames[pos], kNoteNames[pos + 1], note / 12 - (2 - originNote));
}

std::string GetNoteName(int note) { return GetNoteName(note, platform::settings().GetOriginNote()); }
