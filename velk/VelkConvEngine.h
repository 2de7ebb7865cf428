// The shared steps of the stream conversion engines: a VELK image's score tracks read through
// the job's reader and written as generation-1 song data through its writer.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "velk/ConvertJobStreamIO.h"

class CVelkConvEngine {
 public:
  // Results.
  static constexpr int kOk = 0;
  static constexpr int kOutOfRange = 1;
  static constexpr int kErrFormat = -1;
  static constexpr int kErrRead = -2;
  static constexpr int kErrTrackFormat = -3;
  static constexpr int kErrTrackHeader = -4;
  static constexpr int kErrTimeBase = -5;
  static constexpr int kErrChunkHeader = -6;
  static constexpr int kErrChunkEnd = -7;
  static constexpr int kErrNoteRange = -8;
  static constexpr int kErrSetupRead = -9;
  static constexpr int kErrChecksum = -10;
  static constexpr int kErrWriteRefused = -11;

  static constexpr int kTracks = 8;
  static constexpr int kParts = 4;
  static constexpr int kPhrases = 58;
  static constexpr int kHeaderBytes = 84;
  static constexpr uint8_t kDefaultTempoCode = 30;

  CVelkConvEngine() = default;
  virtual ~CVelkConvEngine() = default;
  CVelkConvEngine(const CVelkConvEngine&) = delete;
  CVelkConvEngine& operator=(const CVelkConvEngine&) = delete;

  /// Converts the reader's image into the writer; a result above.
  virtual int Run(CStreamIO& io) = 0;

  /// The 3-byte duration form of this engine adds 16512 (the sequence decoder's adds 16511).
  /// -1 when the third byte has its top bit set, -2 when the bytes run out; else the value.
  static int64_t ReadDuration(const uint8_t* data, uint32_t size, uint32_t& pos);
  /// The part record's volume code of a MIDI volume: floor(40 log10(127 / v) / 0.75), at most 63.
  static uint8_t VolumeCode(int volume);

 protected:
  struct Phrase {
    bool present = false;
    uint32_t start = 0;
    uint32_t stop = 0;
  };
  struct Track {
    bool present = false;
    bool hasSequence = false;
    uint32_t sequencePos = 0;
    uint32_t sequenceSize = 0;
    uint32_t timeBase[2] = {};
    uint8_t channel[2] = {};
    // Engine B: seek-phrase offsets into the sequence and the set-up value.
    bool hasStart = false;
    bool hasStop = false;
    uint32_t start = 0;
    uint32_t stop = 0;
    std::array<Phrase, kPhrases> phrases{};
  };
  struct Event {
    uint32_t tick = 0;
    int note = 0;
    uint32_t gate = 0;
    uint8_t channel = 0;
    bool vibrato = false;
  };
  struct Part {
    int track = 0;
    int channel = 0;
    int program = -1;
    int bank = -1;
    int volume = -1;
    int shift = 0;
    std::vector<Event> notes;
  };
  struct Voice {
    int program = 0;
    uint8_t bytes[CStreamIO::kVoiceBytes] = {};
  };
  /// A body offset of a sequence and the tick of the event that ends there.
  struct OffsetTick {
    uint32_t offset;
    uint32_t tick;
  };
  struct Options {
    bool checkHeader = true;
    bool readTrackExtras = false;
    /// Notes outside every allowed range are dropped (flagged) instead of failing with -8.
    bool tolerateRange = false;
    /// The selected phrase letter, 0 for the whole song.
    uint8_t phrase = 0;
  };

  /// The shared run: the steps in order, stopping at the first negative result.
  int Convert(CStreamIO& io, const Options& options);

  bool m_outOfRange = false;
  bool m_hasSetupValue = false;
  uint8_t m_setupValue = 0;

 private:
  void Reset();
  int CheckHeader(CStreamIO& io, uint32_t& fileEnd);
  int ScanTracks(CStreamIO& io, uint32_t fileEnd, const Options& options);
  int ReadTrack(CStreamIO& io, int n, uint32_t bodyPos, uint32_t bodySize, const Options& options);
  int ReadSeekPhrase(CStreamIO& io, Track& track, uint32_t pos, uint32_t size);
  int ReadSetup(CStreamIO& io, uint32_t pos, uint32_t size);
  int ScanSequence(CStreamIO& io, int n, std::vector<OffsetTick>& offsets);
  int ReadVoiceEntries(const uint8_t* entry, uint32_t size);
  void CutPhrase(const Options& options, const std::vector<std::vector<OffsetTick>>& offsets);
  int ChooseRanges(CStreamIO& io, const Options& options);
  int WriteOutput(CStreamIO& io);
  const uint8_t* VoiceOf(CStreamIO& io, const Part& part);

  Track m_tracks[kTracks];
  std::vector<Part> m_parts;
  std::vector<Voice> m_voices;
  // Per track and channel, the part index, -1 for none.
  int m_partOf[kTracks][4] = {};
  bool m_hasTempo = false;
  uint8_t m_tempoCode = kDefaultTempoCode;
  uint8_t m_partVoice[kParts][CStreamIO::kVoiceBytes] = {};
};
