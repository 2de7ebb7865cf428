// The program's own Standard MIDI File reader of chip modes 1 and 2: the channel messages of
// the chosen channels, the tempo, the song texts, the time signature and the cue points.
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "platform/host/HostServices.h"
#include "song/MemStream.h"
#include "song/SmfDialect.h"
#include "song/SmfDialectText.h"
#include "song/SmfMultiTrackWalk.h"
#include "song/SmfStreamReaders.h"
#include "song/SongTextInfo.h"
#include "song/document/ImportSupport.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr uint32_t kSongDivision = 480;
constexpr uint32_t kMaxTick = 0xFFFFFFFEu;
constexpr int kSmfDefaultTempo = 120;
constexpr uint8_t kCueCommand[] = {kDialectMakerId, 0x7B, 0x02};

int ChipMode() { return platform::settings().GetChipMode(); }

bool IsText(const SmfEvent& e, const char* text) {
  const size_t n = std::strlen(text);
  return e.dataSize == n && std::memcmp(e.data, text, n) == 0;
}

// The cue kind of the 43 7B 02 c event: c's low nibble 0 and 1 give 1 and 2, 3..7 give 3..7.
int CueKindOfCode(uint8_t code) {
  const int n = code & 0x0F;
  if (n == 0 || n == 1) return n + 1;
  if (n >= 3 && n <= 7) return n;
  return 0;
}

// The walk's state over the song being read.
class SmfSongReader {
 public:
  SmfSongReader(CKZ1Doc& doc, uint32_t division, int mask) : m_doc(doc), m_division(division) {
    int next = 0;
    for (int k = 0; k < 16; ++k) m_channel[k] = (mask == 0 || (mask & (1 << k))) ? next++ : -1;
  }

  void Handle(const SmfEvent& e) {
    const uint32_t tick = Scale(e.tick);
    m_lastTick = tick;
    if (e.IsChannel()) {
      TakeChannelMessage(e, tick);
    } else if (e.IsMeta()) {
      TakeMeta(e, tick);
    }
  }

  /// Notes still sounding end where the song ends.
  void Finish() {
    for (CMidiMsg* note : m_sounding) {
      if (note) note->SetEndTick(m_lastTick);
    }
  }

  bool HasTempo() const { return m_tempoTaken; }

 private:
  uint32_t Scale(uint32_t tick) const {
    const uint64_t scaled = uint64_t{tick} * kSongDivision / m_division;
    return scaled > kMaxTick ? kMaxTick : static_cast<uint32_t>(scaled);
  }

  CMidiMsg* Append(uint32_t tick, uint32_t length, const uint8_t* bytes) {
    auto& list = *m_doc.GetMidiList();
    try {
      list.push_back(std::make_unique<CMidiMsg>(tick, tick, length, bytes, 0));
    } catch (const std::bad_alloc&) {
      throw kErrOutOfMemory;
    }
    return list.back().get();
  }

  void TakeChannelMessage(const SmfEvent& e, uint32_t tick) {
    const int channel = m_channel[e.Channel()];
    if (channel < 0) return;
    const uint8_t status = static_cast<uint8_t>(e.Kind() | channel);
    if (e.IsNoteRelease()) {
      CMidiMsg*& note = m_sounding[channel * 128 + (e.Data1() & 0x7F)];
      if (note) note->SetEndTick(tick);
      note = nullptr;
      return;
    }
    uint8_t bytes[3] = {status, e.Data1(), e.Data2()};
    const uint32_t length = e.ChannelSize() < 3 ? e.ChannelSize() : 3;
    CMidiMsg* added = Append(tick, length, bytes);
    if (e.IsNoteOn()) {
      CMidiMsg*& note = m_sounding[channel * 128 + (e.Data1() & 0x7F)];
      if (note) note->SetEndTick(tick);
      note = added;
    }
  }

  void TakeMeta(const SmfEvent& e, uint32_t tick) {
    switch (e.metaType) {
      case kMetaText:
        TakeText(e);
        break;
      case kMetaMarker:
      case kMetaCuePoint:
        TakeMarker(e, tick);
        break;
      case kMetaTempo:
        TakeTempo(e);
        break;
      case kMetaTimeSignature:
        // dd = 2: a quarter-note beat.
        if (e.dataSize >= 2 && e.data[1] == 2 && (e.data[0] == 3 || e.data[0] == 4)) {
          m_doc.SetBeatsPerMeasure(e.data[0]);
        }
        break;
      case kMetaSequencerSpecific:
        if (e.dataSize >= 4 && std::memcmp(e.data, kCueCommand, 3) == 0) {
          if (int kind = CueKindOfCode(e.data[3])) m_doc.SetCuePoint(kind, tick, 1);
        }
        break;
      default:
        break;
    }
  }

  void TakeText(const SmfEvent& e) {
    if (!IsQXlnText(e.data, e.dataSize)) return;
    CSongTextInfo texts(e.data, e.dataSize);
    CContentsInfo& info = m_doc.GetContentsInfo();
    info.SetSongTextInfo(texts);
    const int code = QxLanguageIndex(static_cast<char>(texts.GetLangByte(0)),
                                     static_cast<char>(texts.GetLangByte(1)));
    if (code >= 0) info.SetCodeType(static_cast<uint8_t>(code));
  }

  void TakeMarker(const SmfEvent& e, uint32_t tick) {
    const uint32_t start = m_doc.GetCuePoint(CKZ1Doc::kStartCue);
    const uint32_t stop = m_doc.GetCuePoint(CKZ1Doc::kStopCue);
    if (IsText(e, "START")) {
      if (stop != CKZ1Doc::kNoCue && tick >= stop) Refuse();
      m_doc.SetCuePoint(CKZ1Doc::kStartCue, tick, 1);
    } else if (IsText(e, "STOP")) {
      if (start != CKZ1Doc::kNoCue && tick <= start) Refuse();
      m_doc.SetCuePoint(CKZ1Doc::kStopCue, tick, 1);
    }
  }

  [[noreturn]] static void Refuse() {
    platform::ShowMessage(7037);
    throw -1;
  }

  void TakeTempo(const SmfEvent& e) {
    if (m_tempoTaken || e.dataSize < 3) return;
    const uint32_t micros = (uint32_t{e.data[0]} << 16) | (uint32_t{e.data[1]} << 8) | e.data[2];
    if (micros == 0) return;
    m_doc.SetTempo(static_cast<int>(std::lround(60000000.0 / micros)));
    m_tempoTaken = true;
  }

  CKZ1Doc& m_doc;
  uint32_t m_division;
  int m_channel[16];
  std::vector<CMidiMsg*> m_sounding = std::vector<CMidiMsg*>(16 * 128, nullptr);
  uint32_t m_lastTick = 0;
  bool m_tempoTaken = false;
};

}  // namespace

int CKZ1Doc::ReadSmfKZ12(const std::string& path) {
  const int chip = ChipMode();
  if (chip != 1 && chip != 2) return 0;
  auto bytes = songimport::ReadSongFile(path, 1);
  if (!bytes) return 0;
  try {
    CSmfMultiTrackWalk walk;
    walk.Open(bytes->data(), static_cast<uint32_t>(bytes->size()));
    const uint16_t division = walk.GetHeader().division;
    // A time-code division has no ticks per quarter note to scale from.
    if (division == 0 || (division & 0x8000) != 0) return 0;
    SmfSongReader reader(*this, division, m_channelMask);
    walk.Walk([&reader](const SmfEvent& e, CSmfTrackCursor&) { reader.Handle(e); });
    reader.Finish();
    if (!reader.HasTempo()) m_tempo = kSmfDefaultTempo;
  } catch (int code) {
    // A malformed file is refused like any other file the reader cannot take.
    if (code == kSmfMalformed) return 0;
    throw;
  }

  const uint32_t start = m_cuePoints[kStartCue];
  const uint32_t stop = m_cuePoints[kStopCue];
  if (!platform::ui().IsQXCueEnabled() && start != kNoCue && stop != kNoCue) {
    SetPlayRange(1, start, stop);
  }
  InitChannelSetupFromEvents();
  RebuildVoiceSlotsKZ12();
  return 1;
}
