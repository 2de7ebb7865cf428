// "Mtsu": the voices, PCM waves, FM user waves and mode byte of a score track.
#include "plugins/velkgate/SetupDataChunk.h"

#include <vector>

#include "plugins/velkgate/ByteHelpers.h"
#include "plugins/velkgate/VelkgateFlags.h"
#include "song/SmfDialect.h"
#include "song/SongSetup.h"

namespace velkgate {

namespace {

constexpr uint8_t kSetupStart = 0x7F;
constexpr uint8_t kDrumBank = 125;
constexpr uint8_t kMelodyBank = 124;
constexpr uint8_t kSkippedProgram = 10;
constexpr uint8_t kSkippedLsb = 10;
/// 43 79 06 7F kind, five voice header bytes, then the data, then F7.
constexpr uint32_t kVoiceHeadSize = 10;

bool HasOwnWave(const CVoiceItem& voice) { return voice.IsPcm() && voice.GetRM() == 0; }

/// Voices the device has built in or cannot carry: not written.
bool IsSkipped(const CVoiceItem& voice) {
  if (voice.IsPcm() && voice.GetWaveSampleSize() == 0 && voice.GetRM() == 0) return true;
  if (voice.GetBankMsb() == kMelodyBank && voice.GetBankLsb() == kSkippedLsb) return true;
  return voice.GetBankMsb() == kDrumBank && voice.GetProgram() == kSkippedProgram;
}

/// F0, the length, 43 79 06 7F kind, head, the data packed, F7.
void AppendMessage(std::vector<uint8_t>& out, uint8_t kind, const std::vector<uint8_t>& head,
                   const uint8_t* data, uint32_t n) {
  std::vector<uint8_t> packed(PackedSize7In8(n));
  if (n > 0) Pack7In8(data, n, packed.data());
  AppendByte(out, 0xF0);
  AppendVlq(out, static_cast<uint32_t>(5 + head.size() + packed.size() + 1));
  const uint8_t fixed[5] = {kDialectMakerId, kDialectModelId, kDialectDeviceId, kGroupDevice, kind};
  AppendBytes(out, fixed, 5);
  AppendBytes(out, head.data(), static_cast<uint32_t>(head.size()));
  AppendBytes(out, packed.data(), static_cast<uint32_t>(packed.size()));
  AppendByte(out, 0xF7);
}

class SetupBuilder {
 public:
  SetupBuilder(const CSongSetup& setup, uint32_t& flags) : m_setup(setup), m_flags(flags) {}

  std::vector<uint8_t> Run() {
    AppendMessage(m_out, kSetupStart, {}, nullptr, 0);
    for (int i = 0; i < CSongSetup::kVoiceItemCount; ++i) {
      const CVoiceItem* voice = m_setup.GetVoiceItem(i);
      if (voice && !IsSkipped(*voice)) Voice(*voice);
    }
    for (int i = 0; i < CSongSetup::kVoiceItemCount; ++i) {
      const CVoiceItem* voice = m_setup.GetVoiceItem(i);
      if (voice && HasOwnWave(*voice) && voice->GetWaveSampleSize() != 0) Wave(*voice);
    }
    for (int i = 0; i < CSongSetup::kUserWaveCount; ++i) {
      const CNamedBlock* wave = m_setup.GetUserWave(i);
      if (m_usedWaves[i] && wave && wave->GetSize() > 0)
        AppendMessage(m_out, kDeviceUserWave, {static_cast<uint8_t>(i)}, wave->GetData(),
                      wave->GetSize());
    }
    if (m_setup.GetStreamMode() <= 2)
      AppendMessage(m_out, kDeviceSetupMode, {m_setup.GetStreamMode()}, nullptr, 0);
    return std::move(m_out);
  }

 private:
  void Voice(const CVoiceItem& voice) {
    bool pcm = voice.IsPcm() != 0;
    const uint8_t* block = pcm ? voice.GetPcmVoice() : voice.GetFmVoice();
    uint32_t n = pcm ? CVoiceItem::GetPcmVoiceSize() : voice.GetFmVoiceLength();
    auto type = static_cast<uint8_t>((pcm ? 1 : 0) | (voice.GetExtFlag() << 1));
    AppendMessage(m_out, kDeviceVoice,
                  {voice.GetBankMsb(), voice.GetBankLsb(), voice.GetProgram(), voice.GetNote(), type},
                  block, n);
    if (pcm && HasOwnWave(voice) && voice.GetBankMsb() == kMelodyBank && voice.GetBankLsb() >= 1 &&
        voice.GetBankLsb() <= 9 && !IsValidStreamPcmRate(voice.GetPcmFs()))
      m_flags |= CNVF_SETUP_WARNING;
    if (!pcm)
      for (int op = 1; op <= voice.GetOperatorCount(); ++op) m_usedWaves[voice.GetOpWS(op)] = true;
  }

  void Wave(const CVoiceItem& voice) {
    AppendMessage(m_out, kDeviceWave, {voice.GetWaveId(), voice.GetPcmWaveFormat()},
                  voice.GetWaveSamples(), voice.GetWaveSampleSize());
  }

  const CSongSetup& m_setup;
  uint32_t& m_flags;
  bool m_usedWaves[CSongSetup::kUserWaveCount] = {};
  std::vector<uint8_t> m_out;
};

}  // namespace

/// One message of the body: its bytes after the length, without the closing F7.
struct CSetupDataChunk::Message {
  const uint8_t* bytes = nullptr;
  uint32_t size = 0;
  /// The length field: the bytes after it up to and including F7.
  uint32_t length = 0;
  uint8_t kind = 0;
  /// The data after the kind byte, unpacked on track 5.
  std::vector<uint8_t> Data(uint32_t skip, bool packed) const {
    uint32_t at = 5 + skip;
    if (size <= at) return {};
    const uint8_t* p = bytes + at;
    uint32_t n = size - at;
    if (!packed) return std::vector<uint8_t>(p, p + n);
    std::vector<uint8_t> out(UnpackedSize7In8(n));
    out.resize(Unpack7In8(p, n, out.data()));
    return out;
  }
};

CSetupDataChunk::CSetupDataChunk(const CSongSetup& setup, uint32_t& flags) : CChunk(kId) {
  std::vector<uint8_t> body = SetupBuilder(setup, flags).Run();
  SetBodyCopy(body.data(), static_cast<uint32_t>(body.size()));
}

CSetupDataChunk::CSetupDataChunk(CMemStream& stream, uint8_t track) : CChunk(kId), m_track(track) {
  Read(stream);
}

CSetupDataChunk::~CSetupDataChunk() = default;

void CSetupDataChunk::ReadBody(CMemStream& stream) {
  SetBodyCopy(stream.GetCurrent(), stream.RemainingBytes());
  const uint8_t* p = stream.GetCurrent();
  const uint8_t* end = p + stream.RemainingBytes();
  // A message that does not begin with F0 ends the parse; what was read stays.
  while (p < end && *p == 0xF0) {
    ++p;
    uint32_t length = ReadVlq(p, end);
    if (length > static_cast<uint32_t>(end - p)) throw kErrEndOfData;
    Message message;
    message.bytes = p;
    message.length = length;
    message.size = length > 0 && p[length - 1] == 0xF7 ? length - 1 : length;
    p += length;
    if (message.size >= 5 && message.bytes[0] == kDialectMakerId && message.bytes[3] == kGroupDevice) {
      message.kind = message.bytes[4];
      ParseMessage(message);
    }
  }
}

void CSetupDataChunk::ParseMessage(const Message& message) {
  switch (message.kind) {
    case kDeviceVoice: ReadVoice(message); break;
    case kDeviceWave: ReadWave(message); break;
    case kDeviceSetupMode:
      if (message.size > 5) m_mode = message.bytes[5];
      break;
    case kDeviceUserWave: ReadUserWave(message); break;
    default: break;
  }
}

void CSetupDataChunk::ReadVoice(const Message& message) {
  // The length counts the F7: below 11 there is no whole voice message.
  if (message.length < kVoiceHeadSize + 1 || message.size < kVoiceHeadSize) return;
  if (m_voiceCount >= kVoiceCount) return;
  const uint8_t* head = message.bytes + 5;
  auto voice = std::make_unique<CVoiceItem>();
  voice->SetBankMsb(head[0]);
  voice->SetBankLsb(head[1]);
  voice->SetProgram(head[2]);
  voice->SetNote(head[3]);
  bool pcm = (head[4] & 0x01) != 0;
  voice->SetPcmFlag(pcm ? 1 : 0);
  voice->SetExtFlag((head[4] >> 1) & 0x01);
  std::vector<uint8_t> data = message.Data(5, m_track != 6);
  // A block longer than the voice record holds is cut; a shorter one fills its front.
  uint32_t blockSize = pcm ? CVoiceItem::GetPcmVoiceSize() : CVoiceItem::GetFmVoiceSize();
  std::vector<uint8_t> block(pcm ? voice->GetPcmVoice() : voice->GetFmVoice(),
                             (pcm ? voice->GetPcmVoice() : voice->GetFmVoice()) + blockSize);
  for (size_t i = 0; i < data.size() && i < blockSize; ++i) block[i] = data[i];
  if (pcm) voice->SetPcmVoice(block.data());
  else voice->SetFmVoice(block.data());
  m_voices[m_voiceCount++] = std::move(voice);
}

void CSetupDataChunk::ReadWave(const Message& message) {
  if (message.size < 7) return;
  uint8_t id = message.bytes[5] & 0x7F;
  uint8_t format = message.bytes[6];
  std::vector<uint8_t> samples = message.Data(2, m_track != 6);
  for (auto& voice : m_voices) {
    if (!voice || !voice->IsPcm() || voice->GetWaveId() != id) continue;
    voice->SetWaveSamples(samples.data(), static_cast<uint32_t>(samples.size()));
    voice->SetPcmWaveFormat(format & 0x03);
  }
}

void CSetupDataChunk::ReadUserWave(const Message& message) {
  if (message.size < 6) return;
  uint8_t slot = message.bytes[5];
  // The table has 32 slots; a higher number has nowhere to go.
  if (slot >= kUserWaveCount) return;
  std::vector<uint8_t> data = message.Data(1, m_track != 6);
  auto block = std::make_unique<CNamedBlock>();
  block->SetData(data.data(), static_cast<uint32_t>(data.size()));
  m_userWaves[slot] = std::move(block);
}

}  // namespace velkgate
