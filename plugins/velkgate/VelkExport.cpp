// CnvTo's work: song-data SMF bytes into a stamped VELK image.
#include "plugins/velkgate/VelkExport.h"

#include <cstring>
#include <memory>

#include "plugins/velkgate/ConvertOutput.h"
#include "plugins/velkgate/MasterSequenceChunk.h"
#include "plugins/velkgate/MasterTrackChunk.h"
#include "plugins/velkgate/RedundantEvents.h"
#include "plugins/velkgate/ScoreTrackChunk.h"
#include "plugins/velkgate/TempoMessage.h"
#include "plugins/velkgate/TickRescaler.h"
#include "plugins/velkgate/TrSig.h"
#include "plugins/velkgate/TrSigView.h"
#include "plugins/velkgate/VelkFileChunk.h"
#include "song/MemStream.h"
#include "song/SmfDialect.h"
#include "song/SongSetup.h"
#include "velk/Crc16.h"

namespace velkgate {

namespace {

constexpr uint8_t kLedMark = 0x10;
constexpr uint8_t kNoMasterTrack = 0x04;  // copy status bit
constexpr uint8_t kChordMeta[] = {kDialectMakerId, 0x7B, 0x01};
constexpr uint32_t kShortestSongMs = 20;
constexpr uint16_t kMinStreamRate = 4000;
constexpr uint16_t kMaxWideStreamRate = 24000;
constexpr uint16_t kMaxStreamRate = 12000;
constexpr int kLastStreamSlot = 32;

bool IsDroppedNote(const CSeqEvent* e) {
  uint8_t kind = e->GetDataByte(0) & 0xF0;
  return (kind == 0x80 || kind == 0x90) && e->GetDataByte(1) > CVelkExport::kHighestNote;
}

/// Tempo, time and key signatures and chords travel in the master track.
bool IsMasterEvent(const CSeqEvent& e) {
  if (e.GetExtra() != 0) return false;
  if (IsTempoMessage(e.GetData(), e.GetLength())) return true;
  if (e.GetDataByte(0) != 0xFF) return false;
  uint8_t type = e.GetDataByte(1);
  if (type == 0x58 || type == 0x59) return true;
  return type == 0x7F && e.GetDataByte(3) == kChordMeta[0] && e.GetDataByte(4) == kChordMeta[1] &&
         e.GetDataByte(5) == kChordMeta[2];
}

uint16_t MaxStreamRate(uint8_t format) { return format == 0 ? kMaxWideStreamRate : kMaxStreamRate; }

}  // namespace

uint32_t CVelkExport::Run() noexcept {
  try {
    return Convert();
  } catch (...) {
    return m_result;
  }
}

void CVelkExport::MergeLists(CMidiList& list, CEventArray& events) {
  std::vector<CSeqEvent*> main;
  for (CSeqEvent* e : list.GetMainList().Items()) {
    if (IsDroppedNote(e))
      m_param.flags |= CNVF_NOTES_DROPPED;
    else
      main.push_back(e);
  }
  CMidiList::MergeEvents(main, list.GetStreamList().Items(), events);
}

bool CVelkExport::SplitOnVelkGrid(const CMidiList& list, const CEventArray& events,
                                  CEventList& master, CEventList& score) const {
  const uint64_t division = list.GetDivision();
  const uint64_t usPerListTick = uint64_t{list.GetTempoMs()} * 1000;
  // Microseconds from SMF ticks: by the tempo per quarter note, or without a division by the
  // list's own tick length.
  CTickRescaler rescaler(
      events,
      [division, usPerListTick](uint32_t tempo) {
        return division != 0 ? CTickRescaler::Rate{tempo, division} : CTickRescaler::Rate{usPerListTick, 1};
      },
      uint64_t{m_timeBase.milliseconds} * 1000);
  bool fits = true;
  uint32_t previous = 0;
  for (CSeqEvent* e : events) {
    if (e->IsDropped()) continue;
    uint32_t start = 0;
    uint32_t end = 0;
    rescaler.Next(*e, start, end);
    if (end - start > kMaxSpan || (start > previous && start - previous > kMaxSpan)) fits = false;
    previous = start;
    auto copy = std::make_unique<CSeqEvent>(*e);
    copy->SetTick(start);
    copy->SetEndTick(end);
    (IsMasterEvent(*e) ? master : score).Add(copy.release());
  }
  return fits;
}

bool CVelkExport::PassesLedCheck(uint8_t contentsClass, const CSongSetup& setup) const {
  if (contentsClass != 1 || (m_in & CNVF_SKIP_LED_CHECK)) return true;
  for (int ch = 0; ch < CSongSetup::kChannelCount; ++ch)
    if (setup.GetStatus(ch) & kLedMark) return true;
  return false;
}

bool CVelkExport::AddStreamWaves(const CSongSetup& setup, CScoreTrackChunk& track) const {
  COwnedList<CWaveDataChunk> waves;
  for (int s = 0; s <= kLastStreamSlot; ++s) {
    const CStreamPCMSlot* slot = setup.GetStreamPcmSlot(s);
    if (!slot || slot->GetDataSize() == 0) continue;
    uint16_t rate = slot->GetRate();
    if (rate < kMinStreamRate || rate > MaxStreamRate(slot->GetFormat())) return false;
    waves.Add(new CWaveDataChunk(static_cast<uint8_t>(slot->GetId()),
                                 CWaveDataChunk::FormatByteOfCode(slot->GetFormat()), rate,
                                 slot->GetData(), slot->GetDataSize()));
  }
  if (!waves.IsEmpty()) track.SetStreamPcm(std::make_unique<CStreamPcmChunk>(waves));
  return true;
}

uint32_t CVelkExport::Convert() {
  m_in = m_param.flags;
  m_param.flags &= 0xFFFF;
  if (!m_param.src) return m_result;
  CMidiList list;
  // A song the reader refuses ends here, through the exception, with CNVERR_FAILED.
  list.ReadSmf(m_param.src, m_param.srcSize, &m_param.flags);
  CContentsInfo record;
  if (list.HasContentsInfo())
    record = list.GetContentsInfo();
  else
    record.Reset(3);
  const CSongSetup& setup = list.GetSetup();
  m_timeBase = TimeBaseOfFlags(m_in);
  bool compress = (m_in & CNVF_COMPRESS) != 0;

  CEventArray events;
  MergeLists(list, events);
  RemoveRedundantEvents(events, kNoForcedMono, m_param.flags);
  CEventList master;
  CEventList score;
  if (!SplitOnVelkGrid(list, events, master, score)) {
    m_param.flags |= CNVF_LENGTH_OVER;
    return CNVERR_FAILED;
  }
  if (!PassesLedCheck(record.GetContentsClass(), setup)) {
    m_param.flags |= CNVF_NO_LED_CHANNEL;
    return CNVERR_FAILED;
  }

  CVelkFileChunk file;
  BuildCrc16Table();
  CSeekRecord seek;
  auto sequence =
      std::make_unique<CScoreSequenceChunk>(score, seek, compress, record.GetContentsClass() == 1);
  if (uint64_t{sequence->GetSequenceLength()} * m_timeBase.milliseconds <= kShortestSongMs)
    return CNVERR_TOOSHORT;

  uint8_t status[CScoreTrackChunk::kChannelCount];
  for (int ch = 0; ch < CScoreTrackChunk::kChannelCount; ++ch) status[ch] = setup.GetStatus(ch);
  auto track = std::make_unique<CScoreTrackChunk>(
      5, compress ? CScoreTrackChunk::kCompressed : CScoreTrackChunk::kPlain, m_timeBase.code,
      m_timeBase.code, status);
  track->SetSetup(std::make_unique<CSetupDataChunk>(setup, m_param.flags));
  if (seek.HasPoints()) track->SetSeek(std::make_unique<CSeekPhraseChunk>(seek));
  track->SetSequence(std::move(sequence));
  if (!AddStreamWaves(setup, *track)) {
    m_param.flags |= CNVF_BAD_RATE;
    return CNVERR_FAILED;
  }
  file.AddScoreTrack(track.release());
  if (!(record.GetOptionByte1() & kNoMasterTrack)) {
    auto masterTrack = std::make_unique<CMasterTrackChunk>(0, 0, m_timeBase.code, 0, nullptr);
    masterTrack->SetSequence(std::make_unique<CMasterSequenceChunk>(master));
    file.AddMasterTrack(masterTrack.release());
  }

  // The tag is stamped over placeholders, whatever tag the song came with.
  record.SetOptionText(0, GetTrSigPlaceholder());
  record.SetOptionText(2, GetTrSigPlaceholder());
  file.WriteContentsInfo(record);
  StampTrSig(file, record);

  CMemStream image;
  file.Serialize(image);
  return CopyToDestination(m_param, image);
}

}  // namespace velkgate
