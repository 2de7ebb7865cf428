// The audition image: every size and point is patched once its chunk is complete.
#include "voice/AuditionImage.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "song/MemStream.h"
#include "song/NamedBlock.h"
#include "song/SmfDialect.h"
#include "song/VoiceItem.h"
#include "velk/Crc16.h"
#include "velk/VarLen.h"

namespace {

constexpr uint8_t kMaker = 0x43;

void Id(CMemStream& s, const char* id) { s.Write(id, 4); }

/// Writes a 32-bit placeholder and returns where it is.
int32_t SizePlaceholder(CMemStream& s) {
  const int32_t at = s.GetPosition();
  s.WriteBE32(0);
  return at;
}

/// Writes the bytes from `start` to the end into the placeholder at `at`.
void PatchSize(CMemStream& s, int32_t at, int32_t start) {
  const int32_t end = s.GetPosition();
  s.Seek(0, at);
  s.WriteBE32(static_cast<uint32_t>(end - start));
  s.Seek(0, end);
}

void PatchValue(CMemStream& s, int32_t at, uint32_t value) {
  const int32_t end = s.GetPosition();
  s.Seek(0, at);
  s.WriteBE32(value);
  s.Seek(0, end);
}

/// F0, the length of the rest (with F7), the head bytes, the packed data, F7.
void WriteSysEx(CMemStream& s, const std::vector<uint8_t>& head, const uint8_t* data, uint32_t n) {
  std::vector<uint8_t> packed;
  uint32_t p = 0;
  if (n > 0) {
    packed.resize(8 * (n / 7) + 8);
    p = PackAuditionData(data, n, packed.data());
    if (p == 0) throw -108;
  }
  s.WriteByte(0xF0);
  WriteVarLen(s, static_cast<uint32_t>(head.size()) + p + 1);
  s.Write(head.data(), static_cast<uint32_t>(head.size()));
  if (p > 0) s.Write(packed.data(), p);
  s.WriteByte(0xF7);
}

bool LeavesOutVoiceMessage(const CVoiceItem& v) {
  if (v.IsPcm() && v.GetWaveSampleSize() == 0 && !v.GetRM()) return true;
  if (v.GetBankMsb() == 124 && v.GetBankLsb() == 10) return true;
  return v.GetBankMsb() == 125 && v.GetProgram() == 10;
}

void WriteVoiceSetup(CMemStream& s, const AuditionUserWaves& userWaves, const CVoiceItem& v) {
  const bool pcm = v.IsPcm() != 0;
  const std::vector<uint8_t> head = {kMaker, 0x79, 0x06, 0x7F, 0x01, v.GetBankMsb(), v.GetBankLsb(), v.GetProgram(),
                                     v.GetNote(), static_cast<uint8_t>(pcm ? 1 : 0)};
  if (pcm) {
    WriteSysEx(s, head, v.GetPcmVoice(), CVoiceItem::kPcmSize);
    const uint32_t samples = v.GetWaveSampleSize();
    if (samples != 0) {
      const std::vector<uint8_t> waveHead = {kMaker, 0x79, 0x06, 0x7F, 0x03, v.GetWaveHeaderId(),
                                             static_cast<uint8_t>(v.GetWaveHeaderFlags() & 0x03)};
      WriteSysEx(s, waveHead, v.GetWaveSamples(), samples);
    }
    return;
  }
  WriteSysEx(s, head, v.GetFmVoice(), v.GetFmVoiceLength());
  bool used[32] = {};
  for (int op = 1; op <= v.GetOperatorCount(); ++op) used[v.GetOpWS(op) & 31] = true;
  for (int n = 0; n < 32; ++n) {
    const CNamedBlock* wave = userWaves[static_cast<size_t>(n)];
    if (!used[n] || !wave || wave->GetSize() == 0) continue;
    const std::vector<uint8_t> waveHead = {kMaker, 0x79, 0x06, 0x7F, 0x0C, static_cast<uint8_t>(n)};
    WriteSysEx(s, waveHead, wave->GetData(), wave->GetSize());
  }
}

/// The sequence; the offsets of the note-on event and of the end of the no-operation after it.
void WriteSequence(CMemStream& s, int note, int masterVolume, int velocity, uint32_t gateMs, const CVoiceItem& v,
                   uint32_t& startPoint, uint32_t& stopPoint) {
  const int32_t begin = s.GetPosition();
  const uint8_t volume[] = {0x00, 0xF0, 0x07, kMaker, 0x79, 0x06, 0x7F, 0x00, static_cast<uint8_t>(masterVolume), 0xF7};
  s.Write(volume, sizeof volume);
  const uint8_t bank[] = {0x00, 0xB0, 0x00, v.GetBankMsb(), 0x00, 0xB0, 0x20, v.GetBankLsb(),
                          0x00, 0xC0, v.GetProgram(), 0x01, 0xFF, 0x00};
  s.Write(bank, sizeof bank);
  startPoint = static_cast<uint32_t>(s.GetPosition() - begin);
  const uint8_t noteOn[] = {0x00, 0x90, static_cast<uint8_t>(note & 0x7F), static_cast<uint8_t>(velocity & 0x7F)};
  s.Write(noteOn, sizeof noteOn);
  WriteVarLen(s, gateMs / 4);
  stopPoint = static_cast<uint32_t>(s.GetPosition() - begin) + 4;
  WriteVarLen(s, (gateMs + 10000) / 4);
  const uint8_t tail[] = {0xFF, 0x00, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0x2F, 0x00};
  s.Write(tail, sizeof tail);
}

}  // namespace

uint32_t PackAuditionData(const uint8_t* bytes, uint32_t n, uint8_t* out) {
  std::unique_ptr<uint8_t[]> scratch(new (std::nothrow) uint8_t[PackedSize7In8(n) + 1]);
  if (!scratch) return 0;
  const uint32_t packed = Pack7In8(bytes, n, scratch.get());
  std::copy(scratch.get(), scratch.get() + packed, out);
  return packed;
}

int BuildAuditionVelk(const AuditionUserWaves& userWaves, CMemStream& s, int, int note, int masterVolume,
                      int velocity, uint32_t gateMs, const CVoiceItem& voice) {
  const int32_t image = s.GetPosition();
  Id(s, "MMMD");
  const int32_t fileSize = SizePlaceholder(s);

  Id(s, "CNTI");
  s.WriteBE32(5);
  const uint8_t contents[] = {0x00, 0x32, 0x01, 0xFD, 0x00};
  s.Write(contents, sizeof contents);

  Id(s, "OPDA");
  s.WriteBE32(33);
  const uint8_t dch[] = {'D', 'c', 'h', 0xFF, 0, 0, 0, 25, 'E', 'S', 0, 1, 0xF8,
                         'A', '0', 0, 6, 'K', '9', '2', '1', 0, 0, 'A', '2', 0, 6, 'K', '9', '2', '1', 0, 0};
  s.Write(dch, sizeof dch);

  const char mtr[4] = {'M', 'T', 'R', 0x05};
  s.Write(mtr, 4);
  const int32_t trackSize = SizePlaceholder(s);
  const int32_t trackStart = s.GetPosition();
  const uint8_t trackHead[20] = {0x02, 0x00, 0x02, 0x02};
  s.Write(trackHead, sizeof trackHead);

  Id(s, "Mtsu");
  const int32_t setupSize = SizePlaceholder(s);
  const int32_t setupStart = s.GetPosition();
  const uint8_t reset[] = {0xF0, 0x06, kMaker, 0x79, 0x06, 0x7F, 0x7F, 0xF7};
  s.Write(reset, sizeof reset);
  if (!LeavesOutVoiceMessage(voice)) WriteVoiceSetup(s, userWaves, voice);
  const uint8_t close[] = {0xF0, 0x07, kMaker, 0x79, 0x06, 0x7F, 0x07, 0x00, 0xF7};
  s.Write(close, sizeof close);
  PatchSize(s, setupSize, setupStart);

  Id(s, "MspI");
  s.WriteBE32(16);
  s.Write("st:", 3);
  const int32_t startAt = SizePlaceholder(s);
  s.Write(",sp:", 4);
  const int32_t stopAt = SizePlaceholder(s);
  s.Write(",", 1);

  Id(s, "Mtsq");
  const int32_t seqSize = SizePlaceholder(s);
  const int32_t seqStart = s.GetPosition();
  uint32_t startPoint = 0;
  uint32_t stopPoint = 0;
  WriteSequence(s, note, masterVolume, velocity, gateMs, voice, startPoint, stopPoint);
  PatchSize(s, seqSize, seqStart);
  PatchValue(s, startAt, startPoint);
  PatchValue(s, stopAt, stopPoint);
  PatchSize(s, trackSize, trackStart);

  // The size counts the CRC that follows.
  PatchValue(s, fileSize, static_cast<uint32_t>(s.GetPosition() - image - 8 + 2));
  BuildCrc16Table();
  const uint16_t crc = Crc16(static_cast<uint32_t>(s.GetPosition() - image), s.GetData() + image);
  s.WriteBE16(crc);
  return 1;
}
