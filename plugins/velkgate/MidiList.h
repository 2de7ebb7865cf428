// The converter's song between the two file forms: contents, setup, events, waves and density.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CMemStream;

#include "plugins/velkgate/OwnedList.h"
#include "plugins/velkgate/PtrArray.h"
#include "plugins/velkgate/SmfDensityScan.h"
#include "plugins/velkgate/WaveDataChunk.h"
#include "song/SeqEvent.h"
#include "song/SongSetup.h"
#include "velk/ContentsInfo.h"

namespace velkgate {

using CEventList = COwnedList<CSeqEvent>;
using CEventArray = CPtrArray<CSeqEvent>;

class CMidiList {
 public:
  static constexpr int kPcmWaveCount = 128;
  static constexpr int kStreamWaveCount = 49;
  static constexpr uint32_t kDefaultTickTempo = 1042;
  static constexpr uint32_t kDefaultDivision = 480;
  static constexpr uint32_t kDefaultWindowMs = 1000;
  /// The conversion kind: always 2 in this converter.
  static constexpr int kConversionKind = 2;
  static constexpr uint32_t kMaxTextValue = 255;

  struct StreamWave {
    std::vector<uint8_t> data;
    uint16_t rate = 0;
  };

  CMidiList();
  CMidiList(const CMidiList&) = delete;
  CMidiList& operator=(const CMidiList&) = delete;
  ~CMidiList();

  CContentsInfo& GetContentsInfo() { return m_contents; }
  const CContentsInfo& GetContentsInfo() const { return m_contents; }
  CSongSetup& GetSetup() { return m_setup; }
  const CSongSetup& GetSetup() const { return m_setup; }
  CEventList& GetMainList() { return m_mainList; }
  CEventList& GetStreamList() { return m_streamList; }
  COwnedList<CWaveDataChunk>& GetWaveChunks() { return m_waveChunks; }

  uint32_t GetTempo() const { return m_tempo; }
  void SetTempo(uint32_t v) { m_tempo = v; }
  uint32_t GetValue120() const { return m_value120; }
  void SetValue120(uint32_t v) { m_value120 = v; }
  uint32_t GetDivision() const { return m_division; }
  void SetDivision(uint32_t v) { m_division = v; }
  uint32_t GetTempoMs() const { return m_tempoMs; }
  void SetTempoMs(uint32_t v) { m_tempoMs = v; }
  uint32_t GetRamUse() const { return m_ramUse; }
  void SetRamUse(uint32_t v) { m_ramUse = v; }
  bool GetRamCheck() const { return m_ramCheck; }
  void SetRamCheck(bool v) { m_ramCheck = v; }
  bool HasContentsInfo() const { return m_hasContents; }
  void SetHasContentsInfo(bool v) { m_hasContents = v; }
  uint8_t GetTextCodeType() const { return m_textCodeType; }
  void SetTextCodeType(uint8_t v) { m_textCodeType = v; }
  int GetConversionKind() const { return m_conversionKind; }
  void SetConversionKind(int v) { m_conversionKind = v; }

  std::vector<uint8_t>& GetPcmWave(int i) { return m_pcmWaves[i]; }
  StreamWave& GetStreamWave(int i) { return m_streamWaves[i]; }
  /// One of the four growing byte buffers (0..3).
  std::vector<uint8_t>& GetBuffer(int i) { return m_buffers[i]; }
  uint8_t& ChannelTable(int channel, int i) { return m_channelTable[channel][i]; }

  const DensityResult& GetDensity() const { return m_density; }
  const std::vector<DensityPoint>& GetDensityPoints() const { return m_densityPoints; }
  uint32_t GetDensityWindowMs() const { return m_windowMs; }
  void SetDensityWindowMs(uint32_t v) { m_windowMs = v; }
  bool DensityScanFailed() const { return m_scanFailed; }

  /// Both lists into one array in tick order; at equal ticks the main list's events first.
  /// Throws 999 when the array cannot grow.
  static void MergeEventLists(const CEventList& main, const CEventList& stream, CEventArray& out);
  /// The same merge over two sequences of events: the first one's events first at equal ticks,
  /// the rest of the second one after the first ends.
  static void MergeEvents(const std::vector<CSeqEvent*>& first,
                          const std::vector<CSeqEvent*>& second, CEventArray& out);
  /// Marks every pan (control 10) that a later event of the same tick, status, controller and
  /// value repeats (both outside sections), so only the last is written.
  static void checkMidiList(CEventArray& events);
  /// Runs the density scan over song-data SMF bytes; on failure sets the failed flag and keeps
  /// the earlier results. Returns whether it succeeded.
  bool ComputeDensity(const uint8_t* smf, uint32_t size);
  /// Index 0..19 of a two-letter contents tag, or -1.
  static int FindTag(const char* tag);
  /// The contents-information text (1..8) a tag VN..MI fills, 0 for another tag.
  static int TextFieldOfTag(int tag);

  /// A value of option text up to an unescaped ',' (a '\' before ',' or '\' keeps the second
  /// character, before another it is dropped; a double-byte character is taken whole), never
  /// past end. Converted by the text code type and cut to maximum bytes (255 when 0). The cursor
  /// ends past the ','. Returns 1 when the value is not empty, else 0.
  int ReadTagValue(const uint8_t*& cursor, const uint8_t* end, std::string& out,
                   uint32_t maximum = 0) const;
  /// A value of a 16-bit big-endian length and its bytes, converted and cut like
  /// ReadTagValue. Throws -48 for a length that runs past end. Returns 1 when not empty.
  int ReadEntryValue(const uint8_t*& cursor, const uint8_t* end, std::string& out,
                     uint32_t maximum = 0) const;
  /// Appends a 16-bit big-endian length and the text, converted first when convert is set and
  /// the code type is 0x23 or 0x20 (at most 512 bytes). Returns 1, or 0 when the conversion
  /// gave nothing.
  static int WriteEntryValue(std::vector<uint8_t>& buffer, const char* text, uint32_t length,
                             uint8_t codeType, bool convert);

  /// Fills the list from song-data SMF bytes. Warning bits go into *report (when given); the
  /// failures throw an integer, three of them after setting *report to their result code.
  void ReadSmf(const uint8_t* smf, uint32_t size, uint32_t* report);
  /// Appends the lists and the setup as song-data SMF bytes to out. Returns 1, or 0 with
  /// nothing appended (RAM over the limit sets *report to 0x80000001).
  int WriteSmf(CMemStream& out, const CEventList& main, const CEventList& stream,
               uint32_t* report);

  /// The "QXln" language index 0..6, -1 when none was given.
  int GetLanguageIndex() const { return m_languageIndex; }
  void SetLanguageIndex(int v) { m_languageIndex = v; }
  /// Bit n set: channel n had a control 56 with a value other than 0.
  uint16_t GetControl56Channels() const { return m_control56Channels; }
  void SetControl56Channels(uint16_t v) { m_control56Channels = v; }

 private:
  std::string ConvertValue(const uint8_t* bytes, uint32_t n, uint32_t maximum) const;

  CContentsInfo m_contents;
  CSongSetup m_setup;
  CEventList m_mainList;
  CEventList m_streamList;
  COwnedList<CWaveDataChunk> m_waveChunks;
  uint32_t m_tempo = 0;
  uint32_t m_value120 = 120;
  uint32_t m_division = kDefaultDivision;
  std::vector<uint8_t> m_pcmWaves[kPcmWaveCount];
  StreamWave m_streamWaves[kStreamWaveCount];
  uint32_t m_tempoMs = 0;
  uint32_t m_ramUse = 0;
  bool m_ramCheck = true;
  bool m_hasContents = false;
  std::vector<uint8_t> m_buffers[4];
  uint8_t m_channelTable[16][4];
  DensityResult m_density;
  std::vector<DensityPoint> m_densityPoints;
  uint32_t m_windowMs = kDefaultWindowMs;
  bool m_scanFailed = false;
  int m_conversionKind = kConversionKind;
  uint32_t m_extraWords[2] = {0, 0};
  uint8_t m_textCodeType = 0;
  int m_languageIndex = -1;
  uint16_t m_control56Channels = 0;
};

}  // namespace velkgate
