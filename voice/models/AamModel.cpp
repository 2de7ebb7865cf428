#include "voice/models/AamModel.h"

#include <algorithm>

#include "song/SongSetup.h"
#include "song/StreamPCMSlot.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr std::array<int, CAamModel::kColumnCount> kLayoutKZ3 = {0, 0, 75, 50, 125, 45, 100, 0};
constexpr std::array<int, CAamModel::kColumnCount> kLayoutKZ5 = {0, 180, 75, 50, 125, 45, 100, 45};
constexpr const char* kTitles[CAamModel::kColumnCount] = {"CM",  "Wave Name", "Fs",   "Note",
                                                          "Wave Type", "Pan", "Size", "S/M"};

}  // namespace

void CAamModel::SetMode(int chipMode, int rowCount) {
  if (chipMode != 1 && chipMode != 2 && chipMode != 3 && chipMode != 5) return;
  m_chipMode = chipMode;
  m_rowCount = rowCount;
  m_widths = chipMode == 5 ? kLayoutKZ5 : kLayoutKZ3;
  m_firstColumn = chipMode == 5 ? 1 : 2;
}

int CAamModel::ColumnWidth(int column) const {
  return column >= 0 && column < kColumnCount ? m_widths[column] : 0;
}

const char* CAamModel::ColumnTitle(int column) {
  return column >= 0 && column < kColumnCount ? kTitles[column] : "";
}

int CAamModel::HitTest(int x, int y, int clientWidth, int clientHeight, int hScroll, int vScroll, int* row) const {
  if (row) *row = -1;
  if (x < kRowHeaderWidth || y < kRowHeight || x >= clientWidth || y >= clientHeight) return -1;
  if (y % kRowHeight == 0) return -1;
  int left = kRowHeaderWidth;
  for (int c = std::max(hScroll, 0); c < kColumnCount; ++c) {
    const int w = m_widths[c];
    if (w == 0) continue;
    if (x >= left && x < left + w) {
      if (row) *row = (y - kRowHeight) / kRowHeight + vScroll + 1;
      return c;
    }
    left += w;
  }
  return -1;
}

int CAamModel::ColumnLeft(int column, int hScroll) const {
  if (column < hScroll || column >= kColumnCount || m_widths[column] == 0) return -1;
  int left = kRowHeaderWidth;
  for (int c = hScroll; c < column; ++c) left += m_widths[c];
  return left;
}

bool CAamModel::HasWave(const CKZ1Doc& doc, int id) {
  const CStreamPCMSlot* slot = doc.GetStreamPcmSlot(id);
  return slot && slot->GetProgram() != 0xFF;
}

std::vector<bool> CAamModel::PlayedWaves(const CKZ1Doc& doc) {
  std::vector<bool> played(CKZ1Doc::kStreamSlotCount, false);
  for (const auto& m : *doc.GetMidiListPCM()) {
    if (m->GetLength() < 3 || (m->GetByte(0) & 0xF0) != 0x90 || m->GetByte(2) == 0) continue;
    const int id = doc.FindStreamPcmSlotByNote(m->GetByte(1));
    if (id >= 0 && id < static_cast<int>(played.size())) played[id] = true;
  }
  return played;
}

std::string CAamModel::CellText(const CKZ1Doc& doc, int id, int column) const {
  const CStreamPCMSlot* slot = doc.GetStreamPcmSlot(id);
  if (!slot || !HasWave(doc, id)) return {};
  switch (column) {
    case kColWaveName: return slot->GetName();
    case kColFs: return std::to_string(slot->GetRate()) + "Hz";
    case kColNote: return std::to_string(doc.GetStreamPcmSlotNote(id));
    case kColWaveType:
      if (slot->GetFormat() == 0) return "4bit ADPCM";
      if (slot->GetFormat() == 2 || slot->GetFormat() == 3) return "8bit PCM";
      return {};
    case kColPan: {
      const CSongSetup& setup = doc.GetSongSetup();
      const int mode = setup.GetSlotSettingFirst(id - 1);
      const int pan = setup.GetSlotSettingSecond(id - 1);
      if (mode == 0) return pan >= 128 ? std::string() : std::to_string(pan);
      return mode == 2 ? "OFF" : std::string();
    }
    case kColSize: return std::to_string(slot->GetDataSize()) + " Byte";
    case kColStereo: return slot->GetFlag() ? "S" : "M";
    default: return {};
  }
}

bool CAamModel::AnyWave(const CKZ1Doc& doc) const {
  for (int id = 1; id <= m_rowCount; ++id)
    if (HasWave(doc, id)) return true;
  return false;
}

bool CAamModel::OlderImportShown(int p) { return !(p == 1 || p == 2 || p == 7 || p == 8); }

CAamModel::Popup CAamModel::RightClick(const CKZ1Doc* doc, int x, int y, int clientWidth, int clientHeight,
                                       int vScroll, bool idle, int outputProfile) {
  Popup popup;
  const bool mapMode = m_chipMode == 1 || m_chipMode == 2 || m_chipMode == 3 || m_chipMode == 5;
  if (!doc || !mapMode || !idle || x < 0 || y < 0 || x >= clientWidth || y >= clientHeight) return popup;
  if (y < kRowHeight) {
    popup.kind = Popup::kHeader;
    popup.exportEnabled = AnyWave(*doc);
    popup.olderImportShown = OlderImportShown(outputProfile);
  } else {
    const int row = (y - kRowHeight) / kRowHeight + vScroll + 1;
    if (row < 1 || row > m_rowCount) return popup;
    m_selected = row;
    popup.kind = Popup::kRow;
  }
  // New and Delete act on the selected row, which the header's popup leaves as it was.
  const bool selected = m_selected >= 1 && m_selected <= m_rowCount;
  popup.newEnabled = selected && !HasWave(*doc, m_selected);
  popup.deleteEnabled = selected && HasWave(*doc, m_selected);
  return popup;
}

namespace stream_pcm {

namespace {

int Range(uint32_t rate, uint32_t high, int above) {
  if (rate > high) return above;
  if (rate < 4000) return 7016;
  return 0;
}

}  // namespace

int RateMessage(int profile, int bits, int channels, uint32_t rate) {
  const bool adpcm = bits == 4;
  switch (profile) {
    case 1: return adpcm ? Range(rate, 16000, 7015) : 0;
    case 2:
    case 3:
    case 8:
      if (!adpcm && channels == 1) return Range(rate, 8000, 7014);
      if (!adpcm) return rate == 4000 ? 0 : 7020;
      return channels == 1 ? Range(rate, 16000, 7015) : Range(rate, 8000, 7014);
    case 5: return adpcm ? Range(rate, 24000, 7013) : Range(rate, 12000, 7012);
    case 7: return Range(rate, 48000, 7021);
    default: return 0;
  }
}

std::string WaveName(const std::string& path) {
  if (path.size() <= 16) return path;
  return path.substr(0, 11) + "~" + path.substr(path.size() - 4);
}

bool ExportNameFits(const std::string& path) {
  const size_t dot = path.rfind('.');
  const size_t stem = dot == std::string::npos ? path.size() : dot;
  return stem < 60;
}

}  // namespace stream_pcm
