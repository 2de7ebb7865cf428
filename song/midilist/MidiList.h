// A song as it crosses the plug-in interface: its timed events, setup events, contents
// information, song setup and the figures of the conversion, read from and written to the
// song-data SMF dialect.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "song/MemStream.h"
#include "song/MsgKey.h"
#include "song/SeqEvent.h"
#include "song/SongSetup.h"
#include "song/ValuePoint.h"
#include "velk/ChunkList.h"
#include "velk/ContentsInfo.h"
#include "velk/SequenceEmitter.h"
#include "velk/WaveDataChunk.h"

/// The stream-slot list: the "Mwa" wave chunks built from 7F 05 data, owned by the list.
using CStreamSlotList = TChunkList<CWaveDataChunk>;

/// The index 0..19 of a two-letter contents tag, -1 when absent.
inline int LookupInfoTag(char first, char second) { return ContentsTagIndex(first, second); }

/// Marks duplicate pan controllers dropped: for every pan (controller 10) event not dropped,
/// every later event of the same tick with the same three bytes that is not a note. Returns 1.
int checkMidiList(CSeqEventList& list);

class CMidiList {
 public:
  static constexpr int kGroupCount = 4;
  static constexpr int kGroupVoiceCount = 4;
  static constexpr int kWaveCount = 128;
  static constexpr int kStreamCount = 49;
  /// Chip RAM that voice and wave data may take.
  static constexpr uint32_t kRamLimit = 0x1FF0;
  static constexpr uint32_t kDefaultDensWidth = 1000;
  static constexpr uint32_t kQuarterRate = 120;
  static constexpr uint8_t kFree = 0xFF;

  // Result bits the reader and the writer add to the caller's flags word.
  static constexpr uint32_t kFlagVoiceChanged = 0x01;
  static constexpr uint32_t kFlagCueSupplied = 0x02;
  static constexpr uint32_t kFlagCueRepeated = 0x04;
  static constexpr uint32_t kFlagSettingSkipped = 0x08;
  static constexpr uint32_t kFlagTempoClamped = 0x10;
  static constexpr uint32_t kFlagRateClamped = 0x20;
  static constexpr uint32_t kFlagStopOverNote = 0x40;
  static constexpr uint32_t kFlagTriggerOverlap = 0x80;
  static constexpr uint32_t kFlagTriggerPaired = 0x100;
  static constexpr uint32_t kFailVolume = 0x80000000u;
  static constexpr uint32_t kFailStopBeforeStart = 0x80000001u;
  static constexpr uint32_t kFailRam = 0x80000001u;
  static constexpr uint32_t kFailProgramUnderNote = 0x80000002u;
  static constexpr uint32_t kFailTooManyVoices = 0x80000003u;

  /// The document's voice assignment: the slot of a voice address, negative when it has none.
  using VoiceLookup = std::function<int(uint8_t msb, uint8_t lsb, uint8_t program, uint8_t note)>;

  struct WaveEntry {
    std::vector<uint8_t> data;
    bool complete = false;
  };
  struct StreamEntry {
    std::vector<uint8_t> data;
    uint16_t rate = 0;
    bool started = false;
  };

  CMidiList();
  virtual ~CMidiList();
  CMidiList(const CMidiList&) = delete;
  CMidiList& operator=(const CMidiList&) = delete;

  /// Reads a song-data SMF held in the stream. flags (may be null) receives the result bits.
  /// Returns 1; 0 for a malformed or refused file (flags may hold a failure code), -108 when
  /// memory runs out. Events read before a failure stay in the lists.
  int ReadSmf(CMemStream& stream, uint32_t* flags);
  /// Writes the song and the two event lists, merged by tick, as one format-0 track and appends
  /// it to out. With group codes (16 bytes) and mode 1 it also splits the song into the group
  /// streams. Returns 1; 0 when the write fails (flags tells why: 0x80000001 RAM, 0x80000002 a
  /// program change under a sounding note) or the split fails. Throws -108 without memory.
  int WriteSmf(CMemStream& out, const CSeqEventList& first, const CSeqEventList& second,
               uint32_t* flags, const uint8_t* groupCodes, int mode);

  /// Merges two lists by tick into out (ties: the first list's event first). Returns 1.
  static int MergeByTick(const CSeqEventList& a, const CSeqEventList& b, CSeqEventList& out);
  /// The density analysis over an SMF image with the given window. 0 (failure flag set) when
  /// the image cannot be analysed.
  int AnalyseDensity(const CMemStream& image, uint32_t window);
  /// Appends a copy of every density point to an empty out; 0 when out was not empty.
  int CopyPoints(std::vector<CMsgKey>& out) const;
  /// The same for the stream-rate points.
  int CopyPoints2(std::vector<CMsgKey>& out) const;
  /// Records a voice for a group 1..4 unless it is there; a full group drops it.
  void AddGroupVoice(int group, uint8_t msb, uint8_t lsb, uint8_t program, uint8_t note);
  /// Entry i (0..3) of group 1..4's voice table: {MSB, LSB, program, note}, 0xFF when free.
  std::array<uint8_t, 4> GetGroupVoice(int group, int i) const;
  /// Appends group 1..4's file to out; 1 also for another group (nothing appended).
  int GetGroupStream(int group, CMemStream& out) const;
  /// The output kind of the output profile: 1 for 1 and 7, 2 for 2 and 8, 3..6 for 3..6,
  /// 7 for 10, 2 otherwise.
  static int GetOutputKind();
  uint8_t GetTextCode() const { return m_textCode; }
  void SetTextCode(uint8_t code) { m_textCode = code; }

  /// Non-zero when two stream-PCM triggers of the list overlap (the stream mode is not 0).
  int CheckStreamTriggers(const CSeqEventList& list) const;
  /// Non-zero when a trigger of a paired slot stands on a channel whose VS or LED flag is set.
  int CheckStreamTriggers2(const CSeqEventList& list) const;
  /// One contents item body: the 16-bit length and the text coded for code (35 UTF-8, 32
  /// UTF-16 when prefix is set, plain bytes otherwise). 0 when the conversion fails.
  static int WriteInfoText(CMemStream& stream, const char* text, uint32_t length, uint8_t code,
                           int prefix);
  /// Rewrites the file into a one-track copy whose notes use assigned voices only, recording
  /// them per group. Returns the copy's size. Throws kSmfMalformed for a malformed file.
  uint32_t PrepareGroupVoices(const CMemStream& image, CMemStream& buffer);
  /// Copies group's file into out with the group's voice list (7F 20) after the tick-0 events.
  void FinishGroupTrack(CMemStream& out, const uint8_t* image, uint32_t size, int group);
  void SetVoiceLookup(VoiceLookup lookup) { m_voiceLookup = std::move(lookup); }

  // Fields of the list.
  const CContentsInfo& GetContentsInfo() const { return m_info; }
  CContentsInfo& GetContentsInfo() { return m_info; }
  void SetContentsInfo(const CContentsInfo& info) { m_info = info; }
  const CSongSetup& GetSongSetup() const { return m_setup; }
  CSongSetup& GetSongSetup() { return m_setup; }
  /// Keeps an owned deep copy.
  void SetSongSetup(const CSongSetup& setup) { m_setup.Copy(setup); }
  const CSeqEventList& GetSongList() const { return m_songList; }
  CSeqEventList& GetSongList() { return m_songList; }
  const CSeqEventList& GetSetupList() const { return m_setupList; }
  CSeqEventList& GetSetupList() { return m_setupList; }
  /// Appends an event that the list then owns.
  void AddSongEvent(std::unique_ptr<CSeqEvent> event) { m_songList.AddOwned(std::move(event)); }
  void AddSetupEvent(std::unique_ptr<CSeqEvent> event) { m_setupList.AddOwned(std::move(event)); }
  const CStreamSlotList& GetStreamSlotList() const { return m_streamSlots; }
  const WaveEntry& GetWaveEntry(int id) const { return m_waves[static_cast<size_t>(id) & 0x7F]; }
  const StreamEntry& GetStreamEntry(int slot) const;

  uint16_t GetTimeBase() const { return m_timeBase; }
  void SetTimeBase(uint16_t v) { m_timeBase = v; }
  /// Microseconds per tick (the first FF 51 read).
  uint32_t GetTempo() const { return m_firstTempo; }
  void SetTempo(uint32_t usPerTick) { m_firstTempo = usPerTick; m_tempoMs = usPerTick / 1000; }
  uint32_t GetTempoMs() const { return m_tempoMs; }
  uint32_t GetQuarterRate() const { return m_quarterRate; }
  uint16_t GetDivision() const { return m_division; }
  void SetDivision(uint16_t division) { m_division = division; }
  uint8_t GetTimeSignature() const { return m_timeSignature; }
  void SetTimeSignature(uint8_t numerator) { m_timeSignature = numerator; }
  int GetOutputTimeBase() const { return m_outputTimeBase; }
  void SetOutputTimeBase(int option) { m_outputTimeBase = option; }
  uint32_t GetWriteTotal() const { return m_ramCount; }
  void SetRamCheck(bool on) { m_ramCheck = on; }
  uint32_t GetDensWidth() const { return m_densWidth; }
  void SetDensWidth(uint32_t width) { m_densWidth = width; }
  bool HasContentsHeader() const { return m_contentsHeader; }
  uint32_t GetEventCount() const { return m_eventCount; }

  // Density figures.
  bool GetDensityFailed() const { return m_densityFailed; }
  uint32_t GetMaxDensity() const { return m_maxDensity; }
  uint32_t GetMaxDensityTime() const { return m_maxDensityTime; }
  uint32_t GetDensityTotal() const { return m_densityTotal; }
  uint32_t GetDensityLength() const { return m_densityLength; }
  uint32_t GetAveDensity() const { return m_aveDensity; }
  const std::vector<CMsgKey>& GetDensityPoints() const { return m_densityPoints; }
  uint32_t GetStreamSummary1() const { return m_streamSummary1; }
  uint32_t GetStreamSummary2() const { return m_streamSummary2; }
  const std::vector<CValuePoint>& GetStreamPoints() const { return m_streamPoints; }

 private:
  friend class CMidiListReader;
  friend class CMidiListWriter;

  void DeleteEvents();
  void SplitGroups(const CMemStream& file, CMemStream& out, const uint8_t* groupCodes);
  void AnalyseStreamRate(const CMemStream& file);

  CContentsInfo m_info;
  CSongSetup m_setup;
  CSeqEventList m_songList;
  CSeqEventList m_setupList;
  CStreamSlotList m_streamSlots;
  uint32_t m_firstTempo = 1042;
  uint32_t m_quarterRate = kQuarterRate;
  uint16_t m_division = 480;
  std::array<WaveEntry, kWaveCount> m_waves;
  std::array<StreamEntry, kStreamCount> m_streams;
  uint32_t m_tempoMs = 1;
  uint32_t m_ramCount = 0;
  bool m_ramCheck = true;
  bool m_contentsHeader = false;
  std::array<std::unique_ptr<CMemStream>, kGroupCount> m_groupStreams;
  std::array<std::array<std::array<uint8_t, 4>, kGroupVoiceCount>, kGroupCount> m_groupVoices;
  uint32_t m_eventCount = 0;
  uint32_t m_maxDensity = 0;
  uint32_t m_maxDensityTime = 0;
  uint32_t m_densityTotal = 0;
  uint32_t m_densityLength = 0;
  uint32_t m_aveDensity = 0;
  std::vector<CMsgKey> m_densityPoints;
  std::vector<CValuePoint> m_streamPoints;
  uint32_t m_streamSummary1 = 0xFFFFFFFFu;
  uint32_t m_streamSummary2 = 0xFFFFFFFFu;
  uint32_t m_densWidth = kDefaultDensWidth;
  bool m_densityFailed = false;
  uint8_t m_textCode = kFree;
  uint16_t m_timeBase = 0;
  uint8_t m_timeSignature = 4;
  int m_outputTimeBase = 0;
  VoiceLookup m_voiceLookup;
  std::array<uint8_t, 16> m_groupCodes{};
};
