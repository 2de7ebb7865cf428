// The voice item's readers of file bytes: its blocks and both wave layouts, then what the
// program does with such an item (copies, comparisons, names).
#include "fuzz/FuzzInput.h"
#include "song/VoiceItem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzz::TooLong(size)) return 0;
  const auto n = static_cast<uint32_t>(size);
  try {
    CVoiceItem item;
    uint32_t at = 0;
    auto rest = [&] { return n - at; };
    if (item.SetHeader(data + at, rest())) at += CVoiceItem::GetHeaderSize();
    if (item.IsPcm() ? item.SetPcmVoice(data + at, rest()) : item.SetFmVoice(data + at, rest())) {
      at += item.IsPcm() ? CVoiceItem::GetPcmVoiceSize() : CVoiceItem::GetFmVoiceSize();
    }
    if (item.GetExtFlag() && item.SetExtBlock(data + at, rest())) at += CVoiceItem::GetExtBlockSize();
    CVoiceItem old;
    uint32_t recordSize = 0;
    old.SetWaveDataOld(data + at, rest(), &recordSize);
    item.SetWaveData(data + at, rest());
    item.GetName();
    item.GetWaveHeader();
    item.GetWaveSampleSize();
    CVoiceItem copy = item;
    copy.IsSame(item);
    copy.IsSameData(old);
    old = copy;
    item.SetWaveSamples(copy.GetWaveSamples(), copy.GetWaveSampleSize());
  } catch (int) {
  }
  return 0;
}
