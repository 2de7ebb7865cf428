// The Velkgate plug-in's song-data SMF reader, then the list written back as song data and
// read again. The first byte picks the report word's starting bits; the rest is the file.
#include "fuzz/FuzzInput.h"
#include "plugins/velkgate/MidiList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || fuzz::TooLong(size)) return 0;
  uint32_t report = static_cast<uint32_t>(data[0]) << 24;
  ++data;
  --size;
  velkgate::CMidiList list;
  try {
    list.ReadSmf(data, static_cast<uint32_t>(size), &report);
  } catch (int) {
    return 0;
  }
  list.SetRamCheck((report & 0x01000000u) != 0);
  CMemStream out;
  try {
    if (list.WriteSmf(out, list.GetMainList(), list.GetStreamList(), &report) != 1) return 0;
  } catch (int) {
    return 0;
  }
  velkgate::CMidiList again;
  try {
    again.ReadSmf(out.GetData(), static_cast<uint32_t>(out.GetSize()), &report);
  } catch (int) {
  }
  return 0;
}
