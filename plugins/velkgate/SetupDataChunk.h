// "Mtsu": the voices, PCM waves, FM user waves and mode byte of a score track.
#pragma once

#include <cstdint>
#include <memory>

#include "song/Chunk.h"
#include "song/NamedBlock.h"
#include "song/VoiceItem.h"

class CSongSetup;

namespace velkgate {

class CSetupDataChunk : public CChunk {
 public:
  static constexpr uint32_t kId = MakeChunkId('M', 't', 's', 'u');
  static constexpr int kVoiceCount = 128;
  static constexpr int kUserWaveCount = 32;
  static constexpr uint8_t kNoMode = 0xFF;

  /// Builds the body from the song setup; a PCM drum voice whose rate is not a stream-PCM rate
  /// sets CNVF_SETUP_WARNING in flags. Throws -108 without memory.
  CSetupDataChunk(const CSongSetup& setup, uint32_t& flags);
  /// Reads and parses "Mtsu" of a track: packed data on track 5, plain data on track 6.
  /// -48 when truncated.
  CSetupDataChunk(CMemStream& stream, uint8_t track);
  ~CSetupDataChunk() override;

  void ReadBody(CMemStream& stream) override;

  const CVoiceItem* GetVoice(int slot) const {
    return (slot >= 0 && slot < kVoiceCount) ? m_voices[slot].get() : nullptr;
  }
  const CNamedBlock* GetUserWave(int slot) const {
    return (slot >= 0 && slot < kUserWaveCount) ? m_userWaves[slot].get() : nullptr;
  }
  int GetVoiceCount() const { return m_voiceCount; }
  uint8_t GetMode() const { return m_mode; }

 private:
  struct Message;
  void ParseMessage(const Message& message);
  void ReadVoice(const Message& message);
  void ReadWave(const Message& message);
  void ReadUserWave(const Message& message);

  uint8_t m_track = 5;
  std::unique_ptr<CVoiceItem> m_voices[kVoiceCount];
  std::unique_ptr<CNamedBlock> m_userWaves[kUserWaveCount];
  int m_voiceCount = 0;
  uint8_t m_mode = kNoMode;
};

}  // namespace velkgate
