// The MIDI list: construction, the merge, the pan check, density and group-voice records.
#include "song/midilist/MidiList.h"

#include <string>

#include "platform/host/HostServices.h"
#include "song/SmfDialectText.h"
#include "song/SmfTimedEventList.h"
#include "song/TextCodec.h"

namespace {

bool IsPan(const CSeqEvent& e) {
  return e.GetLength() == 3 && (e.GetDataByte(0) & 0xF0) == 0xB0 && e.GetDataByte(1) == 10;
}

bool IsNoteStatus(const CSeqEvent& e) {
  uint8_t kind = e.GetDataByte(0) & 0xF0;
  return e.GetLength() > 0 && (kind == 0x90 || kind == 0x80);
}

std::vector<CSeqEvent*> ToArray(const CSeqEventList& list) {
  std::vector<CSeqEvent*> out;
  out.reserve(static_cast<size_t>(list.GetCount()));
  CSeqEventIter it(list);
  CSeqEvent* e = nullptr;
  while (it.Next(e)) out.push_back(e);
  return out;
}

}  // namespace

int checkMidiList(CSeqEventList& list) {
  std::vector<CSeqEvent*> events = ToArray(list);
  for (size_t i = 0; i < events.size(); ++i) {
    const CSeqEvent& pan = *events[i];
    if (pan.IsDropped() || !IsPan(pan)) continue;
    for (size_t j = i + 1; j < events.size() && events[j]->GetTick() == pan.GetTick(); ++j) {
      CSeqEvent& other = *events[j];
      // Notes are told by their status byte, whatever their end tick.
      if (IsNoteStatus(other) || other.GetLength() != 3) continue;
      if (other.GetDataByte(0) == pan.GetDataByte(0) && other.GetDataByte(1) == pan.GetDataByte(1) &&
          other.GetDataByte(2) == pan.GetDataByte(2)) {
        other.SetDropped(true);
      }
    }
  }
  return 1;
}

CMidiList::CMidiList() {
  int kind = GetOutputKind();
  m_info.Reset(kind == 1 || kind == 6 ? 4 : 3);
  // Whatever the list's setup points to, it owns: the reader's objects and SetSongSetup's copies.
  m_setup.SetOwnsObjects(1);
  for (auto& stream : m_groupStreams) stream = std::make_unique<CMemStream>();
  for (auto& group : m_groupVoices) {
    for (auto& entry : group) entry.fill(kFree);
  }
  m_groupCodes.fill(0);
}

CMidiList::~CMidiList() {
  DeleteEvents();
  m_streamSlots.DeleteAll();
}

void CMidiList::DeleteEvents() {
  m_songList.DeleteAll();
  m_setupList.DeleteAll();
}

const CMidiList::StreamEntry& CMidiList::GetStreamEntry(int slot) const {
  static const StreamEntry kNone;
  return (slot >= 0 && slot < kStreamCount) ? m_streams[static_cast<size_t>(slot)] : kNone;
}

int CMidiList::MergeByTick(const CSeqEventList& a, const CSeqEventList& b, CSeqEventList& out) {
  std::vector<CSeqEvent*> first = ToArray(a);
  std::vector<CSeqEvent*> second = ToArray(b);
  size_t i = 0;
  size_t j = 0;
  while (i < first.size() || j < second.size()) {
    bool takeSecond = i == first.size() ||
                      (j < second.size() && second[j]->GetTick() < first[i]->GetTick());
    out.AddItem(takeSecond ? second[j++] : first[i++]);
  }
  return 1;
}

int CMidiList::AnalyseDensity(const CMemStream& image, uint32_t window) {
  CSmfTimedEventList analysis;
  try {
    analysis.AnalyseDensity(image.GetData(), static_cast<uint32_t>(image.GetSize()), window);
  } catch (int) {
    m_densityFailed = true;
    return 0;
  }
  m_densityFailed = false;
  m_maxDensity = analysis.GetMaxDensity();
  m_maxDensityTime = analysis.GetMaxTime();
  m_densityTotal = analysis.GetTotalBytes();
  m_densityLength = analysis.GetLength();
  m_aveDensity = analysis.GetAverageDensity();
  m_eventCount = m_densityTotal;
  m_densityPoints = analysis.GetPoints();
  return 1;
}

int CMidiList::CopyPoints(std::vector<CMsgKey>& out) const {
  if (!out.empty()) return 0;
  out = m_densityPoints;
  return 1;
}

int CMidiList::CopyPoints2(std::vector<CMsgKey>& out) const {
  if (!out.empty()) return 0;
  out.reserve(m_streamPoints.size());
  for (const CValuePoint& p : m_streamPoints) out.emplace_back(p.GetFirst(), p.GetSecond(), p.GetThird());
  return 1;
}

void CMidiList::AddGroupVoice(int group, uint8_t msb, uint8_t lsb, uint8_t program, uint8_t note) {
  if (group < 1 || group > kGroupCount) return;
  auto& entries = m_groupVoices[static_cast<size_t>(group - 1)];
  for (const auto& e : entries) {
    if (e[0] == kFree) continue;
    bool same = false;
    if (msb == 0x7D) {
      same = e[0] == msb && e[1] == lsb && e[2] == program && e[3] == note;
    } else if (msb == 0x7C) {
      same = e[0] == 0x7C && e[1] == lsb;
    } else {
      same = e[0] != 0x7C && e[0] != 0x7D && e[2] == program;
    }
    if (same) return;
  }
  for (auto& e : entries) {
    if (e[0] != kFree) continue;
    e = {msb, lsb, program, note};
    return;
  }
}

std::array<uint8_t, 4> CMidiList::GetGroupVoice(int group, int i) const {
  if (group < 1 || group > kGroupCount || i < 0 || i >= kGroupVoiceCount) return {kFree, kFree, kFree, kFree};
  return m_groupVoices[static_cast<size_t>(group - 1)][static_cast<size_t>(i)];
}

int CMidiList::GetGroupStream(int group, CMemStream& out) const {
  if (group < 1 || group > kGroupCount) return 1;
  // A group with no stream has nothing to give, like an empty one.
  const CMemStream* stream = m_groupStreams[static_cast<size_t>(group - 1)].get();
  if (stream && stream->GetSize() > 0) out.Write(stream->GetData(), static_cast<uint32_t>(stream->GetSize()));
  return 1;
}

int CMidiList::GetOutputKind() {
  int profile = platform::settings().GetOutputProfile();
  switch (profile) {
    case 1:
    case 7: return 1;
    case 3:
    case 4:
    case 5:
    case 6: return profile;
    case 10: return 7;
    default: return 2;
  }
}

int CMidiList::WriteInfoText(CMemStream& stream, const char* text, uint32_t length, uint8_t code,
                             int prefix) {
  std::string_view plain(text ? text : "", text ? length : 0);
  std::string coded;
  if (code == kTextCodeUtf8) {
    if (!CTextCodec::NarrowToUtf8(plain, coded)) return 0;
  } else if (code == kTextCodeUtf16 && prefix) {
    std::u16string units;
    if (!CTextCodec::NarrowToUtf16(plain, units)) return 0;
    for (char16_t u : units) {
      coded.push_back(static_cast<char>(u & 0xFF));
      coded.push_back(static_cast<char>(u >> 8));
    }
  } else {
    coded.assign(plain);
  }
  if (coded.size() > 0xFFFF) return 0;
  stream.WriteBE16(static_cast<uint16_t>(coded.size()));
  stream.Write(coded.data(), static_cast<uint32_t>(coded.size()));
  return 1;
}
