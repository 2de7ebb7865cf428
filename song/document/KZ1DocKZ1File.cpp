// The generation-1 song file (".kz1"): header voices, channel slots and tempo, then 16-bit
// event words of notes, rests and voice changes on four channels.
#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "platform/host/HostServices.h"
#include "platform/io/FileIo.h"
#include "song/MemStream.h"
#include "song/VoiceLibrary.h"
#include "song/VoiceTable1.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr int kVoices = 8;
constexpr int kChannels = 4;
constexpr int kSpareWords = 7;
constexpr uint32_t kTieMark = 0xFFFFFFFFu;
constexpr uint8_t kContinuationVelocity = 0xFF;
constexpr uint8_t kNoteVelocity = 100;
constexpr int kFirstLongCode = 11;
constexpr int kCutAfter = 10;
constexpr int kBaseNote = 37;

constexpr int kRestStep[16] = {3, 2, 3, 4, 6, 8, 9, 12, 18, 24, 48, 1, 16, 24, 36, 48};
constexpr int kNoteStep[16] = {0, 2, 3, 4, 6, 8, 9, 12, 18, 24, 48, 0, 16, 24, 36, 48};
constexpr int kShortGate[8] = {1, 2, 3, 5, 7, 8, 11, 17};
constexpr int kLongGate[8] = {15, 23, 29, 32, 35, 41, 47, 48};
constexpr int kNoteOffset[16] = {0, 0, 1, 2, 0, 3, 4, 5, 0, 6, 7, 8, 0, 9, 10, 11};

bool IsRestWord(uint16_t w) { return (w & 0xFC00) == 0x3000; }

uint32_t ReadLE32(CMemStream& in) {
  uint8_t b[4];
  in.Read(b, sizeof b);
  return uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
}

void PutBE32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

// The state the event words carry from one to the next.
struct WordState {
  uint32_t tick = 0;
  int divisor = 1;
  int voice[kChannels] = {0, 1, 2, 3};
  int vibrato[kChannels] = {};
};

void Append(CKZ1Doc::EventList& list, uint32_t tick, uint32_t end,
            std::initializer_list<uint8_t> bytes, uint32_t extra) {
  std::vector<uint8_t> data(bytes);
  list.push_back(std::make_unique<CMidiMsg>(tick, end, static_cast<uint32_t>(data.size()),
                                            data.data(), extra));
}

int ChannelOf(const CMidiMsg& m) { return m.GetByte(0) & 0x0F; }

}  // namespace

int CKZ1Doc::ReadKZ1File(const std::string& path) {
  if (platform::settings().GetChipMode() != 1) return 0;
  try {
    std::optional<std::vector<uint8_t>> bytes = platform::ReadWholeFile(path);
    if (!bytes) return 0;
    CMemStream in(bytes->data(), static_cast<int32_t>(bytes->size()), false);
    ReadKZ1Header(in);
    ReadKZ1Words(in);
    TieKZ1Notes();
    RefreshChannelVoices(0);
    for (int k = 0; k < 16; ++k) SetChannelVolume(k, 127);
    RebuildVoiceSlotsKZ12();
    return 1;
  } catch (...) {
    return 0;
  }
}

void CKZ1Doc::ReadKZ1Header(CMemStream& in) {
  uint16_t word = 0;
  in.ReadBE16(word);
  CVoiceLibrary* library = platform::registry().voiceLibrary;
  for (int i = 0; i < kVoices; ++i) {
    uint8_t record[CVoiceTable1::kEntrySize] = {};
    if (library) std::memcpy(record, library->GetVoiceTableEntry(0, 0), sizeof record);
    // The file keeps each operator word least significant byte first; the table big-endian.
    PutBE32(record + 20, ReadLE32(in));
    PutBE32(record + 24, ReadLE32(in));
    SetVoiceSlotBytes(i, 0, 0, i, 0);
    SetKZ1Voice(i, record);
  }
  uint16_t slots = 0;
  in.ReadBE16(slots);
  for (int k = 0; k < kChannels; ++k) SetChannelVoiceSlot(k, (slots >> (4 * k)) & 7);
  uint16_t t = 0;
  in.ReadBE16(t);
  const int divisor = m_exportOption2 > 0 ? m_exportOption2 : 1;
  const float quotient = 8739.0f / static_cast<float>(t + 1) / static_cast<float>(2 * divisor);
  SetTempo(static_cast<int>(static_cast<int64_t>(quotient + 0.5f)));
  for (int i = 0; i < kSpareWords; ++i) in.ReadBE16(word);
}

void CKZ1Doc::ReadKZ1Words(CMemStream& in) {
  WordState s;
  // A divisor of 0 would divide by zero: it reads as 1.
  s.divisor = m_exportOption2 > 0 ? m_exportOption2 : 1;
  while (in.RemainingBytes() >= 2) {
    uint16_t w = 0;
    in.ReadBE16(w);
    if (w == 0) continue;
    const int channel = (w >> 8) & 3;
    const int d = (w >> 3) & 15;
    const int low = w & 7;
    const bool flag = (w & 0x80) != 0;
    if (IsRestWord(w)) {
      if (flag) {
        const auto program = static_cast<uint8_t>(GetVoiceProgram(low) & 0x7F);
        Append(m_midlist, s.tick, 0, {static_cast<uint8_t>(0xC0 + channel), program}, 0);
        s.voice[channel] = low;
      }
      s.tick += static_cast<uint32_t>(kRestStep[d] / s.divisor);
      continue;
    }
    const int gate = d < kFirstLongCode ? kShortGate[low] : kLongGate[low];
    const uint32_t end = s.tick + static_cast<uint32_t>(gate / s.divisor);
    if (static_cast<int>(flag) != s.vibrato[channel]) {
      Append(m_midlist, s.tick, end,
             {static_cast<uint8_t>(0xB0 + channel), 0x01, static_cast<uint8_t>(flag ? 0x7F : 0)}, 0);
      s.vibrato[channel] = flag ? 1 : 0;
    }
    const int c = (w >> 10) & 15;
    const int octave = (w >> 14) & 3;
    if (c != 8 && c != 12) {
      const auto note = static_cast<uint8_t>(kNoteOffset[c] + kBaseNote + 12 * octave);
      const uint8_t velocity = c == 0 ? kContinuationVelocity : kNoteVelocity;
      const uint32_t extra = (d >= kFirstLongCode && low == 7) ? kTieMark : 0;
      Append(m_midlist, s.tick, end, {static_cast<uint8_t>(0x90 + channel), note, velocity}, extra);
    }
    s.tick += static_cast<uint32_t>(kNoteStep[d] / s.divisor);
  }
}

void CKZ1Doc::TieKZ1Notes() {
  bool merged = true;
  while (merged) {
    merged = false;
    std::vector<std::unique_ptr<CMidiMsg>> work;
    work.reserve(m_midlist.size());
    for (auto& m : m_midlist) work.push_back(std::move(m));
    m_midlist.clear();
    std::vector<std::unique_ptr<CMidiMsg>> kept;
    kept.reserve(work.size());
    // Per channel, the kept events that may still sound at a later tick, in kept order. The
    // work array is in tick order, so an event ending before one tick ends before every later one.
    std::vector<CMidiMsg*> sounding[16];
    for (auto& e : work) {
      const uint32_t tick = e->GetTick();
      const bool noteOn = e->GetLength() >= 3 && (e->GetByte(0) & 0xF0) == 0x90;
      std::vector<CMidiMsg*>& active = sounding[ChannelOf(*e)];
      std::erase_if(active, [tick](const CMidiMsg* k) { return k->GetEndTick() < tick; });
      if (!noteOn) {
        active.push_back(e.get());
        kept.push_back(std::move(e));
        continue;
      }
      if (e->GetByte(2) == kContinuationVelocity) {
        for (CMidiMsg* k : active) {
          if (k->GetEndTick() > tick) k->SetEndTick(tick + kCutAfter);
        }
        continue;
      }
      bool absorbed = false;
      for (CMidiMsg* k : active) {
        const bool cut = k->GetExtra() != 0 || k->GetEndTick() != tick;
        if (k->GetLength() < 2 || k->GetByte(1) != e->GetByte(1)) {
          if (cut) k->SetEndTick(tick + kCutAfter);
        } else if (cut) {
          k->SetEndTick(e->GetEndTick());
          k->SetExtra(e->GetExtra());
          absorbed = true;
          break;
        }
      }
      if (absorbed) {
        merged = true;
        continue;
      }
      active.push_back(e.get());
      kept.push_back(std::move(e));
    }
    for (auto& k : kept) m_midlist.push_back(std::move(k));
  }
  for (auto& m : m_midlist) {
    if (m->GetExtra() == kTieMark) m->SetExtra(0);
  }
}
