// A score track "MTR" + n: header, channel word or status bytes, and its child chunks.
#pragma once

#include <cstdint>
#include <memory>

#include "song/MemStream.h"
#include "song/Chunk.h"
#include "velk/ScoreSequenceChunk.h"
#include "velk/SeekPhraseChunk.h"
#include "velk/SetupDataChunk.h"
#include "velk/StreamPcmChunk.h"

/// Report-word value (low four bits) that keeps compressed sequences as they are.
inline constexpr uint32_t kSequenceModeKeepCompressed = 2;

class CScoreTrackChunk : public CChunk {
 public:
  static constexpr int kStatusBytes = 16;
  /// Format types: compact sequence, Huffman-compressed, uncompressed, and the mark of a value
  /// that tracks 5 and 6 do not allow.
  static constexpr uint8_t kFormatCompact = 0;
  static constexpr uint8_t kFormatCompressed = 1;
  static constexpr uint8_t kFormatPlain = 2;
  static constexpr uint8_t kFormatNotAllowed = 0xFF;

  /// A new track to fill; its sequence is the empty "-tsq" placeholder.
  CScoreTrackChunk(uint8_t n, uint8_t formatType, uint8_t byte1, uint8_t byte2, uint8_t byte3,
                   uint16_t channelWord);
  /// Reads a track. Throws -48 for a body or child that runs past its end (also a corrupt
  /// compressed sequence), -1 for tracks 5 and 6 whose header byte 1 is not 0, -108 when memory
  /// runs out. The report word (may be null) collects the stream-PCM report bits, and its low
  /// four bits at 2 keep a compressed sequence as it is.
  CScoreTrackChunk(CMemStream& stream, uint8_t n, uint32_t* report);

  /// Header, channel word or status bytes, then setup, seek-and-phrase, sequence and (tracks 5
  /// and above) stream-PCM chunks, each when present.
  void WriteBody(CMemStream& stream) override;

  uint8_t GetTrackNumber() const { return m_trackNumber; }
  uint8_t GetFormatType() const { return m_formatType; }
  uint8_t GetHeaderByte1() const { return m_byte1; }
  uint8_t GetHeaderByte2() const { return m_byte2; }
  uint8_t GetHeaderByte3() const { return m_byte3; }
  /// Tracks 0 to 4.
  uint16_t GetChannelWord() const { return m_channelWord; }
  /// Nibble i (0..3) of the channel word, most significant first.
  uint8_t GetChannelStatus(int i) const { return m_channelNibbles[i]; }
  /// Tracks 5 and above: status byte of channel i (0..15).
  uint8_t GetChannelStatusByte(int i) const { return m_channelStatus[i]; }
  void SetChannelStatusByte(int i, uint8_t value) { m_channelStatus[i] = value; }
  bool HasStatusBytes() const { return m_trackNumber >= 5; }

  CSeekPhraseChunkBase* GetSeekPhraseChunk() const { return m_seekPhrase.get(); }
  CSetupDataChunkBase* GetSetupChunk() const { return m_setup.get(); }
  CScoreSequenceChunk* GetSequenceChunk() const { return m_sequence.get(); }
  CStreamPcmChunk* GetStreamPcmChunk() const { return m_streamPcm.get(); }
  void SetSeekPhraseChunk(std::unique_ptr<CSeekPhraseChunkBase> chunk) {
    m_seekPhrase = std::move(chunk);
  }
  void SetSetupChunk(std::unique_ptr<CSetupDataChunkBase> chunk) { m_setup = std::move(chunk); }
  void SetSequenceChunk(std::unique_ptr<CScoreSequenceChunk> chunk) { m_sequence = std::move(chunk); }

 private:
  void ReadTrackHeader(CMemStream& body);
  void SplitChannelWord();
  void ReadChildren(CMemStream& body, uint32_t* report);
  bool ReadCompactChild(CMemStream& body, uint32_t id);
  bool ReadVoiceChild(CMemStream& body, uint32_t id, uint32_t* report);
  void ReadSequence(CMemStream& body, uint32_t* report);
  void ExpandSequence(CMemStream& body);

  uint8_t m_formatType = 0;
  uint8_t m_byte1 = 0;
  uint8_t m_byte2 = 0;
  uint8_t m_byte3 = 0;
  uint16_t m_channelWord = 0;
  uint8_t m_channelStatus[kStatusBytes] = {};
  std::unique_ptr<CSeekPhraseChunkBase> m_seekPhrase;
  std::unique_ptr<CSetupDataChunkBase> m_setup;
  std::unique_ptr<CScoreSequenceChunk> m_sequence;
  std::unique_ptr<CStreamPcmChunk> m_streamPcm;
  uint8_t m_trackNumber;
  uint8_t m_channelNibbles[4] = {};
};
