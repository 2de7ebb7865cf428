// The one song document: event lists, channel setup, voice assignment, stream-PCM slots,
// cue points, contents information, undo slot and output images.
#pragma once

#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include <vector>

#include "song/MidiMsg.h"
#include "song/MsgKey.h"
#include "song/NamedBlock.h"
#include "song/ValuePoint.h"
#include "song/SongSetup.h"
#include "song/Stopwatch.h"
#include "song/StreamPCMSlot.h"
#include "song/document/DocValueRecord.h"
#include "song/document/TempoMap.h"
#include "song/document/UndoSlot.h"
#include "song/document/VoiceAssignTable.h"
#include "velk/ContentsInfo.h"

class CDocArchive;
class CGrowPtrArray;
class CMemStream;
class CSeqEvent;
template <class T>
class TChunkList;
/// The play lists: sequence events that their caller deletes.
using CSeqEventList = TChunkList<CSeqEvent>;
class CMidiList;
class CVelkFileChunk;
class CChunkInfo;
class CVoice2;
class CVoiceItem;
class IDocReaders;
class IDocBuilders;

/// The generation-3 chip RAM that voices, waves and reserves may take, in bytes.
int GetKZ3RamLimit();
/// 1 when a voice of that address and note lies in the second voice area (maker-specific drum
/// notes under output profiles 1 and 7), else 0.
int IsKZ3DrumNoteAllowed(int b0, int b1, int b2, int note);
/// 1 for chip modes 1, 2, 3 and 5.
int IsStreamPcmChipMode(int chipMode);
/// The four bytes of v reversed.
uint32_t SwapBytes32(uint32_t v);
/// Whether the imported list's contents information fits the output profile (chip modes 3
/// and 5); a text code type the profile does not take is replaced, with message 7059.
int CheckCodeType(CMidiList& list, int chipMode, int profile);
/// The song order of chip modes 1 and 2: negative when a goes first, positive when b does, 0
/// when the order cannot tell them apart (a stable sort then keeps their list order).
int CompareSongEvents(const CMidiMsg& a, const CMidiMsg& b);

class CKZ1Doc {
 public:
  /// The event lists hold owned events in song order.
  using EventList = std::list<std::unique_ptr<CMidiMsg>>;

  static constexpr uint32_t kNoCue = 0xFFFFFFFFu;
  static constexpr int kCueCount = 10;
  static constexpr int kStartCue = 8;
  static constexpr int kStopCue = 9;
  static constexpr int kImageCount = 4;
  static constexpr int kWaveBlockCount = 32;
  static constexpr int kStreamSlotCount = 50;
  static constexpr int kChannelTableSize = 512;
  static constexpr uint32_t kFlagUnsaved = 1;
  static constexpr uint32_t kFlagUnsent = 2;

  /// A fresh song for the current chip mode.
  CKZ1Doc();
  virtual ~CKZ1Doc();
  CKZ1Doc(const CKZ1Doc&) = delete;
  CKZ1Doc& operator=(const CKZ1Doc&) = delete;

  // Readers and builders (none by default: loading and saving then fail).
  void SetReaders(IDocReaders* readers) { m_readers = readers; }
  void SetBuilders(IDocBuilders* builders) { m_builders = builders; }
  IDocReaders* GetReaders() const { return m_readers; }
  IDocBuilders* GetBuilders() const { return m_builders; }

  // --- Members and reset ---
  /// Back to a new song: every default, empty event lists, slot 0 holding voice (0, 0, 0, 0).
  virtual void ResetSong();
  EventList* GetMidiList() { return &m_midlist; }
  EventList* GetMidiListPCM() { return &m_midlist_PCM; }
  const EventList* GetMidiList() const { return &m_midlist; }
  const EventList* GetMidiListPCM() const { return &m_midlist_PCM; }
  /// Objects the document owns until the next reset.
  EventList& GetOwnedObjects() { return m_ownedObjects; }

  int GetResolution() const { return m_resolution; }
  int GetSecondResolution() const { return m_secondResolution; }
  int GetTempo() const { return m_tempo; }
  /// Stores the tempo and marks the song modified; 1.
  int SetTempo(int tempo);
  int GetTimeBase() const { return m_timeBase; }
  void SetTimeBase(int v) { m_timeBase = v; }
  int GetPendingTimeBase() const { return m_pendingTimeBase; }
  void SetPendingTimeBase(int v) { m_pendingTimeBase = v; }
  int GetBeatsPerMeasure() const { return m_beatsPerMeasure; }
  void SetBeatsPerMeasure(int v) { m_beatsPerMeasure = v; }
  int GetChannelMask() const { return m_channelMask; }
  void SetChannelMask(int v) { m_channelMask = v & 0xFFFF; }
  /// The slots the voice assignment map lists in chip modes 3 and 5: the ordinary and the second
  /// area, so that a voice placed in the second area has its row. (The map shows 16 rows in chip
  /// modes 1 and 2; the reset and the RAM estimate keep to the song's own 16 or 128 slots.)
  int GetVoiceSlotCount() const { return 2 * CVoiceAssignTable::kAreaSize; }
  int GetVoiceLimit() const { return m_voiceLimit; }
  int GetUsedChannelCount() const { return m_channelCount; }

  // Change flags: bit 0 not saved, bit 1 not yet sent to the output device.
  /// Mask 0 sets both bits, another mask clears its bits; the undo slot drops its command.
  void SetModifiedFlags(uint32_t mask);
  /// ORs the mask (0 ORs both bits); the undo slot drops its command.
  void AddModifiedFlags(uint32_t mask);
  uint32_t TestModifiedFlags(uint32_t mask) const { return m_changeFlags & mask; }
  void ResetModifiedFlags() { m_changeFlags = 0; }
  /// Hands an edit command to the undo slot, which applies it.
  void ExecuteEdit(std::unique_ptr<CEditCommand> command);
  CUndoSlot& GetUndoSlot() { return m_undoSlot; }

  int GetChannelMute(int k) const { return InChannel(k) ? m_channelMute[k] : 0; }
  void SetChannelMute(int k, int v) {
    if (InChannel(k)) m_channelMute[k] = v;
  }
  int GetStreamPcmMute() const { return m_streamPcmMute; }
  void SetStreamPcmMute(int v) { m_streamPcmMute = v; }

  /// Play range: start and end read 0 while it is off.
  int IsPlayRangeOn() const { return m_playRangeOn; }
  uint32_t GetPlayRangeStart() const { return m_playRangeOn ? m_playRangeStart : 0; }
  uint32_t GetPlayRangeEnd() const { return m_playRangeOn ? m_playRangeEnd : 0; }
  /// Stores the range and moves set start and stop cue points into it; equal values do nothing.
  void SetPlayRange(int on, uint32_t start, uint32_t end);

  int GetViewFlag() const { return m_viewFlag; }
  void SetViewFlag(int v) { m_viewFlag = v; }
  /// The save-declined flag, set when the user declines a question while the image is built.
  int GetOpenFlag() const { return m_openFlag; }
  void SetSaveDeclined(int v) { m_openFlag = v; }
  int IsImageReady() const { return m_imageReady; }
  int GetRefreshSuppress() const { return m_refreshSuppress; }
  void SetRefreshSuppress(int v) { m_refreshSuppress = v; }
  /// The report-load-errors flag: 0 makes a failed load throw without a message.
  void SetDropFlag(int v) { m_reportLoadErrors = v; }
  int GetDropFlag() const { return m_reportLoadErrors; }
  int IsLoadedFromVelk() const { return m_loadedFromVelk; }
  int GetExtensionAreaWord() const { return m_extensionArea; }
  void SetExtensionAreaWord(int v) { m_extensionArea = v; }
  int GetImportedFlag() const { return m_importedFlag; }
  void SetImportedFlag(int v) { m_importedFlag = v; }
  int GetImportedFlag2() const { return m_importedFlag2; }
  void SetImportedFlag2(int v) { m_importedFlag2 = v; }
  int GetOpenOption() const { return m_openOptions[0]; }
  int GetConverterOption() const { return m_openOptions[1]; }
  void SetOpenOptions(int option, int converterOption) {
    m_openOptions[0] = option;
    m_openOptions[1] = converterOption;
  }
  int GetSelectionWord() const { return m_selectionWord; }
  void SetSelectionWord(int v) { m_selectionWord = v; }
  int GetBuildWord() const { return m_buildWord; }
  const std::string& GetNameText() const { return m_nameText; }

  CContentsInfo& GetContentsInfo() { return m_contentsInfo; }
  const CContentsInfo& GetContentsInfo() const { return m_contentsInfo; }
  CSongSetup& GetSongSetup() { return m_setup; }
  const CSongSetup& GetSongSetup() const { return m_setup; }
  CVoiceAssignTable& GetVoiceAssignTable() { return m_voiceAssign; }
  const CVoiceAssignTable& GetVoiceAssignTable() const { return m_voiceAssign; }
  CDocValueRecord& GetDocValueRecord() { return m_valueRecord; }
  /// The per-slot table of 256 words and the channel tables of 512 words (all ones = free).
  int32_t GetSlotTableWord(int i) const { return (i >= 0 && i < 256) ? m_slotTable[i] : 0; }
  void SetSlotTableWord(int i, int32_t v) {
    if (i >= 0 && i < 256) m_slotTable[i] = v;
  }
  int32_t GetChannelTableWord(int k, int i) const;
  void SetChannelTableWord(int k, int i, int32_t v);
  int32_t GetMarkerWord(int i) const { return (i >= 0 && i < 3) ? m_markerWords[i] : 0; }
  void SetMarkerWord(int i, int32_t v) {
    if (i >= 0 && i < 3) m_markerWords[i] = v;
  }

  // Song wave blocks (0..31): owned, null for none.
  CNamedBlock* GetWaveBlockAt(int i) const {
    return (i >= 0 && i < kWaveBlockCount) ? m_waveBlocks[i].get() : nullptr;
  }
  void SetWaveBlockAt(int i, std::unique_ptr<CNamedBlock> block) {
    if (i >= 0 && i < kWaveBlockCount) m_waveBlocks[i] = std::move(block);
  }

  // --- File lifecycle ---
  const std::string& GetPathName() const { return m_path; }
  /// Stores the path resolved to a full path; a path that cannot be resolved leaves it. The
  /// name "untitled" of a song never saved is kept as it is.
  virtual void SetPathName(const std::string& path);
  /// Loading picks the reader by the file's ending and throws 0 or -1 on failure; storing
  /// writes the first output image, building it when there is none.
  virtual void Serialize(CDocArchive& archive);
  /// Builds the image, then writes it over the file safely; 1 on success, 0 (with message
  /// 7030 or 7031 in chip modes 3 and 5) when the file cannot be written. Integer codes thrown
  /// by the builders pass to the caller, and the old file stays as it was.
  virtual int SaveDocument(const std::string& path);
  /// Replaces the four output images by new empty streams, refreshes the channel data and the
  /// output setup, then runs the builder of the output profile; its result, or 0.
  int BuildOutputImage(int withHeader, const std::string& name, int timeBaseOption,
                       int compression, int editStatus);
  /// Output image k (0..3), or null.
  CMemStream* GetOutputImage(int k) const;
  void DeleteOutputImages();
  /// Chip modes 1 and 2: the size of a freshly built first image; 0 in other modes.
  int CalcImageSize();
  /// The size of the generation-1 conversion of the song, or 0 when it fails.
  int CalcConvertedSize(int option);

  // Export entries: forward to the builder set, the document's own when none is given.
  int ExportVelk(CMemStream& image, int hasPath, const std::string& path,
                 const SongOutputRecord& setup, int timeBaseOption, int compression,
                 int editStatus);
  int ExportPhrase(CMemStream* images[kImageCount], int hasPath, const std::string& path,
                   const SongOutputRecord& setup, int timeBaseOption, int compression);
  int ExportViaConverter(CMemStream& image, int hasPath, const std::string& path,
                         const SongOutputRecord& setup, int timeBaseOption, int compression);

  // --- Chip-mode builders of the export entries ---
  /// Chip modes 1 and 2: the song through the program's own chunks (VelkWriterKZ12.h).
  int ConvertToVelk_KZ1(CMemStream& image, int hasPath, const std::string& path,
                        const SongOutputRecord& setup, int timeBaseOption, int compression,
                        int editStatus);
  int ConvertToVelk_KZ2(CMemStream& image, int hasPath, const std::string& path,
                        const SongOutputRecord& setup, int timeBaseOption, int compression,
                        int editStatus);
  /// The song-data SMF through the VELK converter plug-in (kind 8, 17 or 18) into the image.
  /// 1 also when the user declined a playback question (the save-declined flag then set).
  int ConvertToVelk_KZ3(CMemStream& image, int hasPath, const std::string& path,
                        const SongOutputRecord& setup, int timeBaseOption, int compression,
                        int editStatus);
  /// Each phrase part 1..4 through the phrase converter (kind 17) into its image.
  int ConvertToVelkPhrase_KZ3(CMemStream* images[kImageCount], int hasPath,
                              const std::string& path, const SongOutputRecord& setup,
                              int timeBaseOption, int compression);
  /// The song-data SMF through the MFi converter of the profile and maker (kinds 10..16).
  int ConvertToMFi_KZ3(CMemStream& image, int hasPath, const std::string& path,
                       const SongOutputRecord& setup, int timeBaseOption, int compression);
  /// The native image (song-data SMF) of the song appended to target; 1, or 0 when the play
  /// list is empty or a voice fails its check. A failed write shows 7047, 7049 or 7050 and
  /// throws -1.
  int makeKZ3NativeFormat(CMemStream& target, int playOption, int showBusy);
  /// The same image split by the channels' phrase parts; parts 1..4 appended to the targets.
  int makeKZ3NativeFormat2(CMemStream* targets[kImageCount], int playOption);
  /// Rebuilds the stream-size figures of a song with stream data, then appends a point per
  /// entry of the wave list to an empty target; 0 when the target was not empty.
  int BuildStreamSizeList(std::vector<CValuePoint>& target);
  /// The MFi converter's report word of the last conversion that fetched one.
  uint32_t GetConverterReport() const { return m_converterReport; }
  void SetConverterReport(uint32_t v) { m_converterReport = v; }

  // --- Voice assignment and RAM ---
  /// Assigns the voice of that address to slot i; an address another slot of its area holds
  /// moves on to the next program (note 0). 0 when every program is taken or in another mode.
  int AssignVoice(int i, int msb, int lsb, int program, int note);
  /// Chip modes 1 and 2: slot i gets the library's generation-1 or -2 voice of that program.
  int AssignKZ12Voice(int i, int bank, int program);
  /// 1 when no other slot of the voice's area holds the address (by the chip mode's rule).
  int IsVoiceAddressUnique(int i, int msb, int lsb, int program, int note) const;
  /// The slot holding the voice, or -1.
  int FindVoiceIndex(int msb, int lsb, int program, int note) const;
  /// The first slot of the voice's area whose program is 255, or -1.
  int FindUnusedVoiceSlot(int msb, int lsb, int program, int note) const;
  // Given voices, each refused (0) when another slot of the area holds the address.
  int AssignGivenKZ1Voice(int i, int bank, int program, const uint8_t* voice33);
  int AssignGivenKZ2Voice(int i, int bank, int program, const CVoice2& voice, int store);
  int AssignGivenVoiceItem(int i, int msb, int lsb, int program, int note,
                           const CVoiceItem& item, int store);

  int GetChannelVoiceSlot(int k) const;
  /// Sets channel k's slot and refreshes the setup's copies of every channel playing slot i.
  int SetChannelVoiceSlot(int k, int i);
  int GetChannelBankMsb(int k) const { return m_voiceAssign.GetBankMsb(GetChannelVoiceSlot(k)); }
  int GetChannelBankLsb(int k) const { return m_voiceAssign.GetBankLsb(GetChannelVoiceSlot(k)); }
  int GetChannelProgram(int k) const { return m_voiceAssign.GetProgram(GetChannelVoiceSlot(k)); }
  int SetChannelBankMsb(int k, int v);
  int SetChannelBankLsb(int k, int v);
  int SetChannelProgram(int k, int v);
  int GetChannelVolume(int k) const { return m_setup.GetVolume(k); }
  /// Stores the initial volume; in chip modes 3 and 5 also into channel k's first volume event.
  int SetChannelVolume(int k, int v);
  /// Two setting bytes of stream-PCM slot s (1..49); in chip modes 3 and 5 also its setting
  /// event, unless a key of the slot sounds first.
  int SetStreamPcmSetting(int s, int a, int b);

  int GetVoiceBankMsb(int i) const { return m_voiceAssign.GetBankMsb(i); }
  int GetVoiceBankLsb(int i) const { return m_voiceAssign.GetBankLsb(i); }
  int GetVoiceProgram(int i) const { return m_voiceAssign.GetProgram(i); }
  int GetVoiceNote(int i) const { return m_voiceAssign.GetNote(i); }
  /// Total use count of ordinary-area slot i over the channels.
  int GetSlotUseCount(int i) const;
  CVoiceItem* GetVoiceItem(int i) { return m_voiceAssign.GetVoiceItem(i); }
  /// Stores the item and marks the song modified; with send 1 sends it to the board device.
  int SetVoiceItem(int i, const CVoiceItem& item, int send);
  /// Chip mode 1 only: stores a 33-byte voice and marks the song modified.
  int SetKZ1Voice(int i, const uint8_t* voice33);
  void GetKZ1Voice(int i, uint8_t out[33]) const { m_voiceAssign.GetKZ1Voice(i, out); }
  void GetKZ2Voice(int i, CVoice2& out) const;
  int SetVoiceSlotBytes(int i, int msb, int lsb, int program, int note);
  /// Stores a generation-2 voice into slot i with its bank and program as the slot's address;
  /// marks the song modified.
  int SetVoiceSlotBytes(int i, const CVoice2& voice);
  /// 1 when slot i's voice equals the library's voice of its address.
  int IsSlotVoiceUnchanged(int i) const;
  bool IsVoiceItemUsed(const CVoiceItem* item) const;
  /// 1 when the note lies in the range of the channel's voice (chip mode 1), else by mode.
  int IsNoteInRange(int channel, int note) const;
  /// The generation-3 RAM the song's voices, waves and reserve take, rounded up to even.
  int GetKZ3RamUse();
  int GetRamUseWord() const { return m_ramUse; }
  /// A copy of the channel setup filled with the voices, stream-PCM slots and user waves in use.
  void BuildAssignMap(CSongSetup& out) const;
  /// The 272-byte output record of the assign map; flag 0 silences the muted channels.
  void BuildOutputSetup(SongOutputRecord& out, int flag) const;

  // --- Channel map, cues and time bases ---
  uint32_t GetCuePoint(int k) const { return (k >= 0 && k < kCueCount) ? m_cuePoints[k] : kNoCue; }
  /// Sets (or with all ones removes) cue point k; 0 when the tick is refused.
  int SetCuePoint(int kind, uint32_t tick, int refresh);
  int GetTimeBaseKZ3() const { return m_timeBaseKZ3; }
  /// Refuses 0 and values above 0xFFFFFF (0, old value kept).
  int SetTimeBaseKZ3(int v);
  /// Chip modes 1 and 2: the time base in milliseconds, with the tempo quantized to it.
  int SetTimeBaseMs(int ms);
  /// Re-derives the channel data from the event list (nothing while refresh is suppressed).
  void RefreshChannelVoices(int secondPass);
  /// Chip modes 1 and 2: merges a note into an earlier sounding note of its channel and key,
  /// then makes each channel's notes follow one another (a note sounding more than 20 ticks
  /// into the next is cut there, and what it held beyond resumes after). Throws -108 when a
  /// copy cannot be had. Nothing in other chip modes.
  void FixNoteOverlaps();
  /// Fills the setup's untaken initial bank, program and volume and the stream-PCM wave
  /// entries from the events.
  void InitChannelSetupFromEvents();

  // --- Tempo ---
  int GetTempoFromIndex(int n) const;
  int GetTempoIndex(int tempo) const;
  /// The nearest supported tempo not above it (chip modes 1 and 2); else the tempo itself.
  int QuantizeTempo(int tempo) const;
  /// The quantized tempo; when it differs shows 7054 and stores it.
  int CheckSmfTempo(int tempo);

  // --- Channel status and stream-PCM keys ---
  void SetChipModeLimits(int mode);
  int GetChannelCount() const { return m_channelCount; }
  int GetSecondChannelCount() const { return m_secondChannelCount; }
  int GetWaveScanSlotCount() const { return m_waveScanSlots; }
  int GetChannelStatusHigh(int k) const;
  int SetChannelStatusHigh(int k, int v);
  int GetChannelVS(int k) const;
  int SetChannelVS(int k, int v);
  int GetChannelLED(int k) const;
  int SetChannelLED(int k, int v);
  int GetChannelKind(int k) const;
  int SetChannelKind(int k, int v);
  void SetExportOption2(int v) { m_exportOption2 = v; }
  int GetExportOption2() const { return m_exportOption2; }
  void SetChannelSetupFlag(int v) { m_setup.SetStreamMode(static_cast<uint8_t>(v)); }
  int CheckChannelForVoice(int k, const CVoiceItem& item) const;
  /// The same test for a generation-2 voice, by its operator count.
  int CheckChannelForVoice(int k, const CVoice2& voice) const;
  int CountChannelVoices(int k) const;
  int GetChannelWord(int k) const { return InChannel(k) ? m_channelWords[k] : 0; }
  void SetChannelWord(int k, int v) {
    if (InChannel(k)) m_channelWords[k] = v;
  }
  CDocValueRecord GetChannelWordTable() const { return m_valueRecord; }
  CStreamPCMSlot* GetStreamPcmTable() { return m_streamSlots.get(); }
  /// Slot i (0..49) of the document's array, or null.
  CStreamPCMSlot* GetStreamPcmSlot(int i) const;
  int GetStreamPcmSlotProgram(int i) const;
  int GetStreamPcmSlotNote(int i) const;
  /// The first slot 1..49 keyed to the note, or 255.
  int FindStreamPcmSlotByNote(int note) const;
  /// Copies the source into slot i, then gives it bank 125/0, program 0 and slot i's key.
  int SetStreamPcmSlot(int i, const CStreamPCMSlot& source);
  int ClearStreamPcmSlot(int i);
  /// Builds the 50 slots when absent, then clears and keys every one.
  void BuildStreamPcmSlots();
  void FreeStreamPcmSlots();
  int GetStreamPcmSlotCount() const { return 49; }
  /// The fixed trigger key of slot i (1..49): notes 0-12, then 92-127; 255 otherwise.
  static int StreamPcmSlotKey(int i);
  int IsVoiceSlotPcm(int i) const;
  int PrepareDirectPlay() { return 1; }

  // --- Opening and importing ---
  /// Resets the song and loads the file by its ending; 1, or 0 with a reset song (no message
  /// from here: the readers and the loader show theirs).
  int OpenDocument(const std::string& path);
  /// Keeps the low 16 bits of mask as the channel mask and the pending time base, then opens.
  int OpenWithChannelMask(const std::string& path, int mask, int pendingTimeBase);
  /// Keeps the two open options (the second is the converter option), then opens.
  int OpenWithOptions(const std::string& path, int option, int converterOption);
  /// Keeps the channel messages of the mask's channels, numbered compactly from 0, and
  /// rebuilds the channel setup; mask 0 changes nothing. 1.
  int FilterChannels(int mask);
  /// Chip modes 1 and 2 only: the voice slots rebuilt from the channels after a load.
  void RebuildVoiceSlotsKZ12();
  // The generation-1/2 readers (refusing every file until those chip modes are built).
  int ReadVelkFile1(const std::string& path);
  int ReadVelkFile2(const std::string& path);
  int ReadSmfKZ12(const std::string& path);
  /// Chip mode 1 only: a generation-1 song file (".kz1") into the song, its lengths divided
  /// by the KZ-1 divisor (GetExportOption2, 0 read as 1); 1, or 0 when it cannot be read.
  int ReadKZ1File(const std::string& path);
  /// Joins the tied notes the KZ-1 reader appended and cuts the notes a later one interrupts.
  void TieKZ1Notes();
  /// The first export option word (New sets it to 0).
  void SetExportOption1(int v) { m_exportOption1 = v; }
  int GetExportOption1() const { return m_exportOption1; }

  // --- Event edits ---
  /// Scales the note-on velocities of channel 0..15, of the PCM list (16) or of both lists
  /// (255) by a percent, half up, at most 127; marks the song modified. 0 for another channel.
  int ScaleVelocities(int channel, int percent);
  /// Inserts the stream-PCM pairing message of slots a and b into the PCM list. 1.
  int InsertStreamPairMessage(int a, int b);
  /// The generation-3 RAM size of the song in bytes, as the last estimate found it.
  int GetStreamOption() const { return m_ramUse; }
  /// The second RAM size figure (for Java handsets), set with the RAM estimate.
  int GetOpenWord() const { return m_openWord; }

  // --- Opening and importing songs ---
  /// The VELK reader of the chip mode; 0 in other modes.
  int ReadVelkFile(const std::string& path);
  /// The Standard MIDI File reader of the chip mode; 0 in other modes.
  int ReadSmfFile(const std::string& path);
  /// Chip mode 3: a VELK file through the VELK converter plug-in into the song; 1 or 0.
  int ReadVelkFile3(const std::string& path);
  /// Chip mode 3: a Standard MIDI File through the SMF converter plug-in into the song.
  int ConvertFromSMF_KZ3(const std::string& path);
  /// Reload from SMF: a plain Standard MIDI File imported into the song that is open. The
  /// initialisation's result; 0 (with a reset song when the merge had begun) on failure.
  int ImportViaConverter(const std::string& path);
  /// A native song file (".K3N", ".K5N") read and initialised; 1 or 0.
  int ReadNativeFile(const std::string& path);
  /// Size in bytes of the VELK file last read.
  int GetFileSize() const { return m_fileSize; }

  // --- Song initialisation ---
  /// Stream-PCM entries and wave ids the initialisation handles.
  static constexpr int kInitStreamEntries = 33;
  /// Turns an imported list into the document's events, tempo map, cues, setup, voices, master
  /// volume, contents information and times. keep 0 merges into the song that is open (its
  /// slots compacted afterwards), keep 1 fills a reset song; fresh 1 takes the library's voice
  /// for a placeholder FM voice. 1, or 0 (the document then half filled) on failure. Throws
  /// -108 when an event cannot be had.
  int init(CMidiList& list, int keep, int fresh);
  /// The phases of the last initialisation, each timed by a stopwatch named after it.
  const std::vector<CStopwatch>& GetInitStopwatches() const { return m_initStopwatches; }
  /// "length(span)" in milliseconds of the selected section, or "Error" for a song too long.
  const std::string& GetPlayTimeText() const { return m_playTimeText; }
  /// Ticks of the "Q00" and "Q0F" markers (all ones: none) and the time between them.
  uint32_t GetMarkerTickA() const { return static_cast<uint32_t>(m_markerWords[0]); }
  uint32_t GetMarkerTickB() const { return static_cast<uint32_t>(m_markerWords[1]); }
  uint32_t GetSectionTime() const { return static_cast<uint32_t>(m_markerWords[2]); }
  int GetStatusKept() const { return m_statusKept; }
  void SetStatusKept(int v) { m_statusKept = v; }
  int GetVolumePresetPending() const { return m_volumePresetPending; }
  void SetVolumePresetPending(int v) { m_volumePresetPending = v; }
  /// 1 while a merge assigns the imported voices: the voice lookups may then use the
  /// extension areas, which the merge empties again afterwards.
  int IsImporting() const { return m_extensionArea; }
  /// The debug flag: when set, the initialisation forms a trace text per event it appends.
  int GetDebugFlag() const { return m_debugFlag; }
  void SetDebugFlag(int v) { m_debugFlag = v; }
  /// The last trace text the initialisation formed (empty when none).
  const std::string& GetDebugText() const { return m_debugText; }
  uint32_t GetFirstTempo() const { return m_firstTempo; }
  uint32_t GetQuarterRate() const { return m_quarterRate; }
  int GetListDivision() const { return m_listDivision; }
  /// The tick unit of the "Measure" axis; 0 for songs measured in time.
  int GetTickUnit() const { return m_boardValue; }
  // --- Play lists, SMF export and text score ---
  /// The score play list of the song for saving (mode 0) or playing (mode 1): ticks from the
  /// play range start, cut at its end, with the output setup's bank, program and volume brought
  /// up to the range. 1 when a note-on was met. Throws -108 when memory runs out; events
  /// already appended belong to the caller.
  int makeMidiList(CSeqEventList& list, SongOutputRecord& setup, int mode);
  /// Chip mode 2: each bank select stays only before a program change of its channel, and one
  /// on a channel of a pair (2k, 2k + 1) is joined by the other channel's bank and program.
  /// Throws -108 when memory runs out; every event stays the list owner's.
  void FormatBoardVoiceChanges(CSeqEventList& list);
  /// The score list and the stream-PCM list together; 1 when either met a note-on.
  int makeMidiListPCM(CSeqEventList& list, CSeqEventList& pcmList, SongOutputRecord& setup,
                      int mode);
  /// The song as a format-0 Standard MIDI File appended to the stream, with the channel set-up
  /// of the output setup. The play list builder's result: 0 still writes a valid empty file.
  int WriteSmf(CMemStream& stream, SongOutputRecord setup);
  /// Reads a text score into new note events of the channel appended to events (the caller
  /// owns them). quarter replaces the quarter-note length when not 0 (else the time base, or
  /// 24). 1, or 0 with the error text set and events emptied.
  int ParseTextScore(int channel, std::string text, CGrowPtrArray& events, std::string& error,
                     int quarter = 0);
  /// Appends the text score of the channel's notes to text; warnOnce (may be null) allows
  /// message 7055 once. 1, or 0 with the error text set.
  int MakeTextScore(int channel, std::string& text, std::string& error, int* warnOnce);

  // --- Document words ---
  /// Note flag of channel k; k = 16 gives the first nonzero of the 16.
  int GetChannelValue(int k) const;
  void SetChannelValue(int k, int v) {
    if (InChannel(k)) m_channelValues[k] = v;
  }
  /// The 1.116 per-channel word of channel k; k = 16 gives the first nonzero of the 16.
  int GetChannelUsed(int k) const;

  // --- Tempo map and time ---
  CTempoMap& GetTempoMap() { return m_tempoMap; }
  const CTempoMap& GetTempoMap() const { return m_tempoMap; }
  /// The map's milliseconds at the tick (quantum 1, no limit).
  uint32_t TickToMsByMap(uint32_t tick, int rounding) const;
  /// The map's tick at the milliseconds, rounded to nearest.
  uint32_t MsToTickByMap(uint32_t ms) const;
  /// Chip modes 1 and 2: milliseconds at the tick from the tempo and resolution; 0 when
  /// either is 0.
  double TickToMs(uint32_t tick) const;
  /// The tick of a play position in milliseconds (the name reads backwards): the tempo map's
  /// in chip modes 3 and 5, in modes 1 and 2 the inverse of TickToMs, truncated.
  uint32_t TickToTime(uint32_t ms) const;
  /// Milliseconds at the end of the section that begins at cue k (1..7), within the start
  /// and stop points; with fromStart, counted from the start point.
  uint32_t GetCueSectionTime(int k, int fromStart) const;
  /// The length of that section (from the start point) in whole milliseconds, without the
  /// output's time-base steps: what the song's length limit is checked against.
  uint32_t GetCueSectionLength(int k) const;
  /// Milliseconds at the start of the section that begins at cue k (0: the start point),
  /// clamped and rounded as GetCueSectionTime; with relative, counted from the start point.
  uint32_t GetCueSectionStart(int k, int relative) const;
  /// Where play of section `code` (0 the whole song) begins, in milliseconds.
  uint32_t GetSectionStartTime(int code, int relative) const { return GetCueSectionStart(code, relative); }
  /// The song-length text of the "TL[ms]:" pane.
  const std::string& GetStreamRateBlock() const { return m_playTimeText; }
  /// The data size of the "SZ[B]:" pane; 0 until something sets it.
  int GetNumberedExportFlag() const { return m_dataSizeWord; }
  void SetNumberedExportFlag(int v) { m_dataSizeWord = v; }

  // --- Undo ---
  void UndoRedo() { m_undoSlot.UndoRedo(); }
  int CanUndo() const { return m_undoSlot.CanUndo(); }
  int CanRedo() const { return m_undoSlot.CanRedo(); }
  /// Refused (0) when a note of the range would leave 0..127; else executes a transpose
  /// command through the undo slot. channel -1 means every channel of the song.
  int TransposeChannel(int channel, int delta, uint32_t from, uint32_t to);

  // --- Voice scan and voice-item services ---
  /// Chip modes 3 and 5: assigns a voice slot to every voice the events play; false (with
  /// message 7056 for a 4-operator preset voice in GM mode) when one cannot be assigned.
  bool SetVAMFromMidiList();
  /// True when an accepted note on the channel (255: any) plays that address (note 255: any).
  bool FindVoiceUse(int channel, int msb, int lsb, int program, int note);
  int GetVoiceItemCount() const { return 128; }
  /// Some voice item with samples carries that wave header id.
  bool HasVoiceItemId(int id) const;
  /// The wave name of the first item with samples and that id, or null.
  const char* GetWaveNameById(int id) const;
  /// The first wave id 0..127 no voice item uses; -1 when none, and under output profiles 1
  /// and 7 also when the song holds 32 user-wave blocks.
  int FindFreeWaveId() const;
  /// The other voice items (another address) holding a RAM wave with the voice's wave id.
  int CountWaveIdUsers(const CVoiceItem& voice) const;
  /// The first PCM voice item with samples whose wave id is `id`; null when none.
  CVoiceItem* FindVoiceByWaveId(int id);
  /// Gives identical RAM waves of the song's 128 items one id, then spreads the item's wave
  /// over the items of its id whose samples differ. An item without a wave spreads nothing.
  bool ShareIdenticalWaves(const CVoiceItem& item);
  void ClearVoiceItemWaves();
  void ClearVoiceItemWave(int i);

  // --- Slot use and channel voice maps ---
  int GetSlotUse(int table, int slot) const { return m_voiceAssign.GetUseCount(table, slot); }
  int SetSlotUse(int table, int slot, int value) { return m_voiceAssign.SetUseCount(table, slot, value); }
  /// Zeroes the use words of a table; -1 zeroes all 16.
  void ClearSlotUse(int table);
  /// The use word of the slot holding that address; 0 when none holds it.
  int GetVoiceUse(int table, int msb, int lsb, int program, int note) const;
  /// 0 when a used slot of the table holds slot's bank and program with another note; else 1.
  int FindSameVoiceSlot(int table, int slot) const;
  int GetChannelSlot(int channel, int index) const { return GetChannelTableWord(channel, index); }
  /// Stores value in the first free entry at or after index (an entry holding it already
  /// counts); 0 when none is free below entry 126.
  int SetChannelSlot(int channel, int value, int index);
  /// ORs 1 << bit into the channel mask of voice slot index (0..511).
  void SetChannelSlotFlag(int bit, int index);
  int GetChannelSlotFlags(int index) const;
  void SetChannelSlotFlags(int index, int mask);
  /// Zeroes the channel masks of all 512 voice slots.
  void ClearChannelSlotFlags();
  /// Voice items 0..127 whose slot holds a voice.
  int CountUsedVoiceItems() const;

  // --- Slot use by channel, for the voice assignment map ---
  /// 0 when the channel (-1: any of the 16) uses the slot, else 1.
  int IsSlotFreeForChannel(int slot, int channel) const;
  /// Frees a slot the channel uses, else lets the channel use it with its part (1 without
  /// one); 1 when the slot was in range and changed.
  int ToggleSlotForChannel(int slot, int channel);
  /// Bank MSB, LSB and program 255, note 0, the slot's voices of every generation cleared.
  void ClearVoiceSlot(int slot) { m_voiceAssign.ClearSlot(slot); }

  // --- Song services ---
  /// Sets the last master-volume message at or before the first note to the value; 1 when
  /// changed (and under output profiles 1, 6 and 7, which keep no such message).
  int SetMasterVolumeEvent(int value);
  /// Density checks before a save (chip modes 3 and 5): 0 with messages 7063, 7061, 7062.
  int CheckDensity();
  int CheckDensityForBoard();
  int IsNumberedExport() const;
  void SetNumberedExport(int v) { m_numberedExport = v; }
  int GetNumberedExport() const { return m_numberedExport; }
  int GetChannelPart(int k) const { return InChannel(k) ? m_channelPart[k] : 0; }
  /// Stores the channel's phrase part; a part four other channels hold moves on by step.
  int SetChannelPart(int channel, int part, int step);

  // --- Wave blocks, density and stream-size lists ---
  int SetWaveBlock(int i, const CNamedBlock* block);
  CNamedBlock* GetWaveBlock(int i) const { return GetWaveBlockAt(i); }
  /// Empties the stream-size list; with refresh 1 an open stream-size window rebuilds.
  void ClearWaveList(int refresh);
  void ResetDensityInfo(int clearSpan);
  /// Copies the density results of an analysis into the document.
  void SetDensityInfo(uint32_t state, uint32_t average, uint32_t maximum, uint32_t maxTime,
                      uint32_t span, const std::vector<CMsgKey>& points);
  /// Takes over the range words and the points of a stream-size result; rebuilds the graph.
  void SetStreamSizeList(uint32_t range1, uint32_t range2, const std::vector<CValuePoint>& points);
  const std::vector<CValuePoint>& GetWaveList() const { return m_waveList; }
  const std::vector<CMsgKey>& GetDensityList() const { return m_densityList; }
  /// Appends a key per density point to an empty target; 0 when it was not empty.
  int MakeMsgKeys(std::vector<CMsgKey>& target) const;
  /// Appends a copy (extra 10) of every time signature to an empty target; 0 when not empty.
  int CollectMetaEvents(EventList& target) const;

  // --- Accessors ---
  int GetConvertedSize() const { return m_convertedSize; }
  void SetConvertedSize(int v) { m_convertedSize = v; }
  int HasDensityInfo() const { return static_cast<int>(m_density.valid); }
  int GetDensityFlag() const { return static_cast<int>(m_density.state); }
  uint32_t GetAveDensity() const { return m_density.average; }
  uint32_t GetMaxDensity() const { return m_density.maximum; }
  uint32_t GetMaxDensityTime() const { return m_density.maxTime; }
  uint32_t GetGraphLength() const { return m_graphSpan; }
  uint32_t GetStreamRate() const { return m_streamRate; }
  void SetStreamRate(uint32_t v) { m_streamRate = v; }
  uint32_t GetStreamSummary1() const { return m_streamSummary[0]; }
  uint32_t GetStreamSummary2() const { return m_streamSummary[1]; }
  int GetChannelMuteFlag(int k) const { return GetChannelMute(k) & 15; }
  int HasTickUnit() const { return m_boardValue != 0 ? 1 : 0; }
  /// The board value word while the main window has a board device, else 0.
  int GetBoardValue() const;
  void SetBoardValue(int v) { m_boardValue = v; }
  int GetVoiceCheckCount() const { return m_voiceCheckCount; }
  void SetVoiceCheckCount(int v) { m_voiceCheckCount = v; }
  int SetCnvOptionFlag(int v) { m_cnvOptionFlag = v; return 1; }
  int GetCnvOptionFlag() const { return m_cnvOptionFlag; }
  void SetExportOption3(int v) { m_exportOption3 = v; }
  int GetExportOption3() const { return m_exportOption3; }
  void SetExportOption4(int v) { m_exportOption4 = v; }
  int GetExportOption4() const { return m_exportOption4; }

 private:
  // Song initialisation.
  struct InitSnapshot {
    bool used[CVoiceAssignTable::kAreaSize] = {};
    bool streamUsed[kInitStreamEntries] = {};
    uint8_t status[16] = {};
    uint8_t slotFirst[kInitStreamEntries] = {};
    uint8_t slotSecond[kInitStreamEntries] = {};
    uint8_t slotFlag[kInitStreamEntries] = {};
  };
  InitSnapshot TakeInitSnapshot(const CMidiList& list) const;
  void ClearForMerge();
  void AppendInitEvents(const CMidiList& list, bool pcm);
  void TakeInitSetup(const CMidiList& list);
  int SetupInitVoices(const CMidiList& list, int fresh);
  void EnterVoiceItem(int slot, const CVoiceItem& item);
  void MarkUserWaves(int slot, bool used[kWaveBlockCount]) const;
  void SendUsedUserWaves();
  bool IsSlotInUse(int slot) const;
  void ReplaceSlotInChannelMaps(int from, int to);
  void MoveVoiceSlot(int from, int to);
  int CompactVoiceSlots(const CMidiList& list, const InitSnapshot& snapshot);
  void LookUpPhraseChannelVoices();
  void TakeInitMasterVolume(const CMidiList& list, int keep);
  int CheckInitWaveCount() const;
  void TakeInitContentsInfo(CMidiList& list);
  int CheckInitPlayTime(const CMidiList& list);
  uint32_t CueSectionTime(int k, int fromStart, bool exact) const;
  void TakeInitSectionTime();
  void TakeInitFigures(const CMidiList& list);

  int ImportSmfIntoSong(const std::string& path);
  // Chip modes 1 and 2: opening and the event clean-up.
  void RefreshEventsKZ12(int secondPass);
  void SortSongEvents();
  int FindSlotKZ12(int program) const;
  int FindUnusedSlotKZ12() const;
  int ReadVelkFileKZ12(const std::string& path, int generation);
  void TakeSetupVoicesKZ1(const CVelkFileChunk& file);
  void TakeSetupVoicesKZ2(const CVelkFileChunk& file);
  void TakeAudioWaves(const TChunkList<CChunkInfo>& waves);
  void TakeAudioChannelRecord(uint16_t word);
  void ReadKZ1Header(CMemStream& in);
  void ReadKZ1Words(CMemStream& in);
  /// Sets the LED flag of every channel that plays notes and clears it elsewhere.
  void RefreshChannelIndicators();
  /// SetChannelPart without marking the song modified.
  int StoreChannelPart(int channel, int part, int step);
  static bool InChannel(int k) { return k >= 0 && k < 16; }
  /// Empties the event list and refills it with the events in tick order.
  void Refill(std::vector<std::unique_ptr<CMidiMsg>>& events);
  void ResetContentsInfo();
  void ResetVoiceTables();
  void RefreshChannelCopies(int slot);
  int AssignVoiceItemKZ35(int i, int msb, int lsb, int program, int note);
  bool IsSecondAreaVoice(int msb, int lsb, int program, int note) const;
  int SearchVoiceArea(int first, int msb, int lsb, int program, int note) const;
  bool IsCueTickAllowed(int kind, uint32_t tick) const;
  void StoreCueEvent(int kind, uint32_t tick);
  void LoadFrom(CDocArchive& archive);
  int ReadByEnding(const std::string& path);
  int SaveNumberedImages(const std::string& path);
  int BuildOutputImages(int withHeader, const std::string& name, int timeBaseOption,
                        int compression, int editStatus);
  int TempoTableStart() const;
  /// Total level of a generation-1 slot voice's carrier (0..63).
  int CarrierLevelKZ1(int slot) const;
  int StatusField(int k, int field) const;
  /// The four board control events of the headphone volume (chip mode 2) at a tick.
  void AppendBoardVolume(CSeqEventList& list, uint32_t tick) const;
  int SetStatusField(int k, int field, int v);

  IDocReaders* m_readers = nullptr;
  IDocBuilders* m_builders = nullptr;

  int m_voiceSlotCount = 128;
  std::string m_path;
  EventList m_midlist;
  EventList m_midlist_PCM;
  EventList m_ownedObjects;
  int m_resolution = 480;
  int m_tempo = 200;
  int m_timeBase = 0;
  int m_playRangeOn = 0;
  uint32_t m_playRangeStart = 0;
  uint32_t m_playRangeEnd = 0;
  int m_timeBaseKZ3 = 0;
  CContentsInfo m_contentsInfo;
  CUndoSlot m_undoSlot;
  std::unique_ptr<CMemStream> m_images[kImageCount];
  int m_channelValues[16] = {};
  int m_channelMute[16] = {};
  int m_streamPcmMute = 0;
  int m_pendingTimeBase = 0;
  int m_channelMask = 0xFFFF;
  int m_spareWords[4] = {};
  uint32_t m_cuePoints[kCueCount];
  CSongSetup m_setup;
  CVoiceAssignTable m_voiceAssign;
  std::unique_ptr<CStreamPCMSlot[]> m_streamSlots;
  int m_beatsPerMeasure = 4;
  int m_imageReady = 1;
  int m_buildWord = 0;
  int m_selectionWord = -1;
  std::string m_nameText;
  int m_importedFlag = 0;
  int m_extensionArea = 0;
  std::unique_ptr<CNamedBlock> m_waveBlocks[kWaveBlockCount];
  int m_reportLoadErrors = 1;
  int32_t m_markerWords[3] = {-1, -1, 0};
  int m_secondResolution = 480;
  int32_t m_slotTable[256] = {};
  std::unique_ptr<int32_t[]> m_channelTables;
  int m_loadedFromVelk = 0;
  int m_openOptions[2] = {};
  int m_smallObject[4] = {};
  int m_voiceLimit = 16;
  int m_word2 = 2;
  int m_refreshSuppress = 1;
  uint32_t m_changeFlags = kFlagUnsent;
  int m_openFlag = 0;
  int m_viewFlag = 1;
  int m_importedFlag2 = 0;
  int m_ramUse = 0;
  int m_openWord = 0;
  // The KZ-1 length divisor: 2 for a new song; OpenDocument keeps what the import set.
  int m_exportOption2 = 2;
  CDocValueRecord m_valueRecord;
  // Chip-mode limits.
  int m_channelCount = 16;
  int m_secondChannelCount = 16;
  int m_channelTableCount = 16;
  int m_waveScanSlots = 128;
  int m_waveCount = 32;
  int m_channelWords[16] = {};

  // Density results and the stream-size list.
  struct DensityBlock {
    uint32_t valid = 0;
    uint32_t state = 0;
    uint32_t average = 0;
    uint32_t maximum = 0;
    uint32_t maxTime = 0;
  };
  DensityBlock m_density;
  uint32_t m_graphSpan = 0;
  uint32_t m_streamRate = 0xFFFFFFFFu;
  uint32_t m_streamSummary[2] = {0xFFFFFFFFu, 0xFFFFFFFFu};
  std::vector<CMsgKey> m_densityList;
  std::vector<CValuePoint> m_waveList;
  CTempoMap m_tempoMap;
  // Bit k of a voice slot's mask: channel k plays the slot.
  uint16_t m_voiceChannelMask[CVoiceAssignTable::kSlotCount] = {};
  int m_channelPart[16] = {};
  int m_numberedExport = 0;
  int m_dataSizeWord = 0;
  int m_convertedSize = 0;
  uint32_t m_converterReport = 0;
  int m_boardValue = 0;
  int m_voiceCheckCount = 0;
  int m_cnvOptionFlag = 0;
  int m_exportOption3 = 0;
  int m_exportOption4 = 0;
  // Opening and the song initialisation.
  int m_fileSize = 0;
  std::vector<CStopwatch> m_initStopwatches;
  std::string m_playTimeText;
  int m_statusKept = 0;
  int m_volumePresetPending = 0;
  int m_debugFlag = 0;
  std::string m_debugText;
  uint32_t m_firstTempo = 1042;
  // Latest note end per channel, from the first refresh pass until the next.
  uint32_t m_refreshLastEnd[16] = {};
  int m_exportOption1 = 0;
  uint32_t m_quarterRate = 120;
  int m_listDivision = 480;
};
