// The MIDI list's song-data SMF reader, then what the program does with what it read: the
// density and stream-rate analyses, the stream-trigger checks, and writing it back with the
// song split into the group streams. The first byte picks the chip mode and output profile the
// reader follows; the rest is the file.
#include "fuzz/FuzzInput.h"
#include "platform/host/testing/FakeHost.h"
#include "song/midilist/MidiList.h"

namespace {

void UseList(CMidiList& midi, const uint8_t* data, size_t size) {
  CMemStream image = fuzz::ReadStream(data, size);
  midi.AnalyseDensity(image, 1 + static_cast<uint32_t>(size % 997));
  midi.CheckStreamTriggers(midi.GetSetupList());
  midi.CheckStreamTriggers2(midi.GetSetupList());
  midi.SetVoiceLookup([](uint8_t msb, uint8_t, uint8_t program, uint8_t note) {
    return (msb ^ program ^ note) & 1 ? -1 : (program & 3);
  });
  static const uint8_t kGroups[16] = {1, 2, 3, 4, 1, 2, 3, 4, 0, 1, 2, 3, 4, 0, 0, 0};
  uint32_t flags = 0;
  CMemStream out;
  if (midi.WriteSmf(out, midi.GetSongList(), midi.GetSetupList(), &flags, kGroups, 1) != 1) return;
  // What was written must read again.
  CMemStream again(out.GetData(), out.GetSize(), false);
  CMidiList reread;
  reread.ReadSmf(again, &flags);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || fuzz::TooLong(size)) return 0;
  platform::FakeHost host;
  static const int kChipModes[4] = {3, 5, 2, 1};
  host.settings.chipMode = kChipModes[data[0] & 3];
  host.settings.outputProfile = 1 + ((data[0] >> 2) & 15) % 10;
  host.settings.makerId = (data[0] >> 6) & 1;
  host.settings.batchMode = true;
  ++data;
  --size;
  try {
    CMidiList midi;
    CMemStream stream = fuzz::ReadStream(data, size);
    uint32_t flags = 0;
    if (midi.ReadSmf(stream, &flags) == 1) UseList(midi, data, size);
  } catch (int) {
    // -108 without memory, or a malformed file refused by a later step
  }
  return 0;
}
