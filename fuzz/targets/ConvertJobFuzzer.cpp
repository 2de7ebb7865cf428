// The conversion job over a VELK image. The first byte picks QX cue handling (bit 0), the
// phrase (bits 1-2), whether the input gets a correct checksum so that the fuzzer gets past it
// (bit 3) and the ranges the first voice table allows (bits 4-7).
#include <cstring>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "song/MemStream.h"
#include "song/VoiceTable1.h"
#include "velk/ConvertJob.h"
#include "velk/Crc16.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || fuzz::TooLong(size)) return 0;
  const uint8_t mode = data[0];
  std::vector<uint8_t> image(data + 1, data + size);
  if ((mode & 0x08) && image.size() >= 2) {
    const auto n = static_cast<uint32_t>(image.size() - 2);
    const uint16_t crc = Crc16(n, image.data());
    image[n] = static_cast<uint8_t>(crc >> 8);
    image[n + 1] = static_cast<uint8_t>(crc);
  }
  CVoiceTable1 first;
  CVoiceTable1 second;
  for (int i = 0; i < CVoiceTable1::kEntryCount; ++i) {
    first.GetEntry(i)[32] = static_cast<uint8_t>(mode & 0xF0);
    second.GetEntry(i)[32] = 0xF0;
  }
  static const char* const kPhrases[] = {nullptr, "PA", "Pa", "PB"};
  try {
    CMemStream in(image.data(), static_cast<int32_t>(image.size()), false);
    CMemStream out;
    CConvertJob job(in, first, second, out, (mode & 1) != 0);
    job.Check(kPhrases[(mode >> 1) & 3]);
    if (job.Run() == 0 && out.GetSize() < 84) __builtin_trap();
  } catch (int) {
    // -108 without memory
  }
  return 0;
}
