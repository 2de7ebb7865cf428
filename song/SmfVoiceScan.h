// The voice-usage scan of a song-data SMF: mono channels, whether they use FM or PCM voices,
// the voice-allocation check, 8-bit PCM stream audio and where the STOP cue lies.
#pragma once

#include <cstdint>
#include <vector>

class CHeapBlock;

/// Bank, program and two spare bytes of a channel; as a voice record the spares hold the key
/// and the type (0 FM, 1 PCM).
struct CScanChannel {
  uint8_t bankMsb = 0;
  uint8_t bankLsb = 0;
  uint8_t program = 0;
  uint8_t key = 0;
  uint8_t type = 0;
};

class CSmfVoiceScan {
 public:
  // Stream flags.
  static constexpr uint32_t kStreamFormat2 = 0x01;
  static constexpr uint32_t kStreamFormat3 = 0x02;
  // Check flags.
  static constexpr uint32_t kCheckRan = 0x01;
  static constexpr uint32_t kCheckOverWithoutError = 0x02;
  static constexpr uint32_t kCheckError = 0x04;
  static constexpr uint32_t kCheckMonoMode = 0x08;
  static constexpr uint32_t kCheckOverLimit = 0x10;
  // Stop positions.
  static constexpr uint32_t kNoStop = 0;
  static constexpr uint32_t kStopAfterNotes = 1;
  static constexpr uint32_t kStopBeforeNotes = 2;
  // Out statuses.
  static constexpr int kStatusUnreadable = 2;
  static constexpr int kStatusNoChecker = 3;

  CSmfVoiceScan() = default;
  virtual ~CSmfVoiceScan() = default;

  /// Scans the first track of a song-data SMF. polyphonyMode 0 allows 16 FM voices, 1 allows
  /// 32. status (when given) becomes 0, 2 for an unreadable image, 3 when the checker plug-in
  /// is missing, or the checker's error code. Returns 1.
  int Scan(const uint8_t* image, uint32_t size, int polyphonyMode, int* status);
  void Reset();

  uint32_t GetStreamFlags() const { return m_streamFlags; }
  uint32_t GetCheckFlags() const { return m_checkFlags; }
  uint32_t GetStopPosition() const { return m_stopPosition; }

 private:
  struct ChannelFlags {
    bool mono = false;
    bool programPending = true;
    bool fmUsed = false;
    bool pcmUsed = false;
  };

  void ScanChannelMessage(const CHeapBlock& event);
  void ScanNote(const CHeapBlock& event);
  void ClassifyNote(int channel, uint8_t note);
  void SearchVoiceList(int channel, uint8_t note);
  void AddVoiceRecord(const CHeapBlock& event);
  void ScanStreamData(const CHeapBlock& event);
  void RunChecker(const uint8_t* image, uint32_t size, int polyphonyMode, int* status);

  uint32_t m_streamFlags = 0;
  uint32_t m_checkFlags = 0;
  uint32_t m_stopPosition = 0;

  // Working tables of one scan.
  CScanChannel m_channels[16];
  ChannelFlags m_flags[16];
  std::vector<CScanChannel> m_voices;
};
