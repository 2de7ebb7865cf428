#include "voice/models/VamModel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/host/HostServices.h"
#include "song/GMNames.h"
#include "song/SongPrimitives.h"
#include "song/Voice2.h"
#include "song/VoiceItem.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"
#include "voice/models/VoiceWindowShell.h"

namespace {

using Widths = std::array<int, CVamModel::kColumnCount>;

constexpr Widths kLayoutKZ12 = {20, 45, 45, 40, 0, 0, 120, 0, 40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr Widths kLayoutKZ3 = {20, 45, 45, 40, 40, 0, 205, 0, 40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                               0, 0, 0, 0, 0, 50, 50, 50, 60, 70};
constexpr Widths kLayoutPhrase = {20, 45, 45, 40, 40, 0, 205, 0, 40, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20,
                                  20, 20, 20, 20, 20, 20, 0, 0, 0, 0, 0};

constexpr const char* kTitles[CVamModel::kColumnCount] = {
    "C", "Bank M", "Bank L", "Pch", "Note", "Region", "Name", "Kind", "Type", "1", "2", "3", "4", "5",
    "6", "7", "8", "9", "10", "11", "12", "13", "14", "15", "16", "WS15", "WS23", "WS31", "WaveID", "TS[B]"};

constexpr int kUserWaveShapes[3] = {15, 23, 31};
constexpr int kPictureChanged = 1203;
constexpr int kPictureChannel = 2146;
constexpr int kPictureChannelShared = 2152;

std::string Number(long long v) { return std::to_string(v); }

bool IsMfiProfile(int profile) { return profile == 1 || profile == 7; }

/// At most 16 characters of a name field that may lack its terminating zero.
std::string FixedName(const uint8_t* bytes) {
  const auto* text = reinterpret_cast<const char*>(bytes);
  return std::string(text, strnlen(text, 16));
}

bool UsesShape(const CVoiceItem& item, int shape) {
  for (int n = 1; n <= item.GetOperatorCount(); ++n) {
    if (item.GetOpWS(n) == shape) return true;
  }
  return false;
}

bool HasSongWave(const CKZ1Doc& doc, int shape) {
  const CNamedBlock* block = doc.GetWaveBlock(shape);
  return block && block->GetSize() > 0;
}

bool IsRamPcm(const CVoiceItem& item) { return item.IsPcm() && !item.GetRM(); }

bool UserWaveLimitReached(const CKZ1Doc& doc, int profile) {
  if (!IsMfiProfile(profile)) return false;
  int blocks = 0;
  for (int i = 0; i < CKZ1Doc::kWaveBlockCount; ++i) blocks += doc.GetWaveBlock(i) ? 1 : 0;
  return blocks >= 32;
}

}  // namespace

CVamModel::CVamModel(int chipMode) { SetMode(chipMode, 0, 2); }

void CVamModel::SetMode(int chipMode, int slotCount, int outputProfile) {
  m_chipMode = chipMode;
  if (chipMode == 1 || chipMode == 2) {
    m_slotCount = slotCount;
    m_outputProfile = outputProfile;
    m_firstRow = 0;
    m_lastRow = 15;
    m_widths = kLayoutKZ12;
    m_tabHeight = 0;
    return;
  }
  if (chipMode != 3 && chipMode != 5) return;
  m_slotCount = slotCount;
  m_outputProfile = outputProfile;
  m_firstRow = 0;
  m_lastRow = slotCount - 1;
  if (outputProfile == 4) {
    m_widths = kLayoutPhrase;
    m_tabHeight = 0;
  } else if (outputProfile >= 1 && outputProfile <= 8) {
    m_widths = kLayoutKZ3;
    m_tabHeight = kTabStripHeight;
  }
}

int CVamModel::ColumnWidth(int column) const {
  return column >= 0 && column < kColumnCount ? m_widths[column] : 0;
}

const char* CVamModel::ColumnTitle(int column) {
  return column >= 0 && column < kColumnCount ? kTitles[column] : "";
}

int CVamModel::HitTest(int x, int y, int clientWidth, int clientHeight, int hScroll, int vScroll, int* row) const {
  if (row) *row = -1;
  if (x < kRowHeaderWidth || x >= clientWidth) return -1;
  if (y < m_tabHeight + kRowHeight || y >= clientHeight) return -1;
  // The grid lines lie on multiples of the row height below the tab strip.
  if ((y - m_tabHeight) % kRowHeight == 0) return -1;
  int left = kRowHeaderWidth;
  for (int c = std::max(hScroll, 0); c < kColumnCount; ++c) {
    const int w = m_widths[c];
    if (w == 0) continue;
    if (x >= left && x < left + w) {
      if (row) *row = (y - kRowHeight - m_tabHeight) / kRowHeight + vScroll;
      return c;
    }
    left += w;
  }
  return -1;
}

int CVamModel::HorizontalPage(int clientWidth) const {
  int remainder = clientWidth - m_widths[0];
  int count = 0;
  for (int c = 0; c < kColumnCount; ++c) {
    if (m_widths[c] < remainder) {
      ++count;
      remainder -= m_widths[c];
    }
  }
  return 1 + count;
}

int CVamModel::ColumnLeft(int column, int hScroll) const {
  if (column < hScroll || column >= kColumnCount || m_widths[column] == 0) return -1;
  int left = kRowHeaderWidth;
  for (int c = hScroll; c < column; ++c) left += m_widths[c];
  return left;
}

bool CVamModel::RowsShown(const CKZ1Doc& doc) { return doc.GetChannelValue(16) == 1; }

bool CVamModel::IsAssigned(const CKZ1Doc& doc, int slot) { return doc.GetVoiceProgram(slot) != 255; }

bool CVamModel::IsUsed(const CKZ1Doc& doc, int slot, int channel) {
  return doc.IsSlotFreeForChannel(slot, channel) == 0;
}

uint32_t CVamModel::RowColour(const CKZ1Doc& doc, int slot, int channel) const {
  if (!IsUsed(doc, slot, channel)) return kGrey;
  if (m_chipMode == 3 || m_chipMode == 5) {
    const CVoiceItem* item = const_cast<CKZ1Doc&>(doc).GetVoiceItem(slot);
    if (item && item->IsFixedBank()) return kFixedBank;
  }
  return 0;
}

std::string CVamModel::TypeText(CKZ1Doc& doc, int slot) const {
  if (m_chipMode == 1) return {};
  if (m_chipMode == 2) {
    if (doc.IsVoiceSlotPcm(slot)) return "P";
    CVoice2 voice;
    doc.GetKZ2Voice(slot, voice);
    return "F" + Number(voice.GetOperatorCount());
  }
  const CVoiceItem* item = doc.GetVoiceItem(slot);
  if (!item) return {};
  const int msb = doc.GetVoiceBankMsb(slot);
  const int lsb = doc.GetVoiceBankLsb(slot);
  const int program = doc.GetVoiceProgram(slot);
  const int note = doc.GetVoiceNote(slot);
  std::string type;
  if (msb == 0) {
    const char* drum = note == 0 ? "F2"
                                 : GetDrumKeyVoiceType(static_cast<uint8_t>(msb), static_cast<uint8_t>(lsb),
                                                       static_cast<uint8_t>(program), static_cast<uint8_t>(note));
    type = drum ? drum : "";
  } else if (msb == 125 && program == 10) {
    type = item->IsPcm() ? "P" : "F2";
  } else {
    type = item->IsPcm() ? "P" : "F" + Number(item->GetOperatorCount());
  }
  if (IsMfiProfile(m_outputProfile) && item->IsFixedBank()) {
    const int maker = platform::settings().GetMakerID();
    if (maker == 4 && type == "F4") type = "F2";
    if (maker == 2 && (type == "F2" || type == "F4")) type = GetModeSetting() != 0 ? "F2" : "F4";
  }
  return type;
}

int CVamModel::SlotSize(CKZ1Doc& doc, int slot) const {
  if (!IsAssigned(doc, slot)) return 0;
  const CVoiceItem* item = doc.GetVoiceItem(slot);
  if (!item) return 0;
  const bool mfiMaker2 = IsMfiProfile(m_outputProfile) && platform::settings().GetMakerID() == 2;
  if (item->IsFixedBank()) {
    if (!mfiMaker2) return 0;
    const int msb = doc.GetVoiceBankMsb(slot);
    const bool counts = (!item->IsPcm() && msb != 0) || (msb == 0 && TypeText(doc, slot) == "F2");
    const int mode = GetModeSetting();
    return counts && mode != 1 && mode != 2 ? 30 : 0;
  }
  if (!item->IsPcm()) {
    int size = item->GetOperatorCount() == 4 ? 30 : 16;
    for (int shape : kUserWaveShapes) {
      if (UsesShape(*item, shape) && HasSongWave(doc, shape)) size += 2048;
    }
    return size;
  }
  if (item->GetRM()) return 0;
  const int s = static_cast<int>(item->GetWaveSampleSize());
  if (mfiMaker2) return s % 2 == 0 ? s + 16 : s + 15;
  return (s + 1) / 2 * 2 + 14;
}

CVamModel::Cell CVamModel::CellOf(CKZ1Doc& doc, int slot, int column) const {
  Cell cell;
  if (!IsAssigned(doc, slot)) return cell;
  const int msb = doc.GetVoiceBankMsb(slot);
  const int lsb = doc.GetVoiceBankLsb(slot);
  const int program = doc.GetVoiceProgram(slot);
  const int note = doc.GetVoiceNote(slot);
  const bool gen3 = m_chipMode == 3 || m_chipMode == 5;
  const CVoiceItem* item = doc.GetVoiceItem(slot);
  switch (column) {
    case kColC:
      if (!doc.IsSlotVoiceUnchanged(slot)) {
        cell.picture = kPictureChanged;
        cell.text = "C";
      }
      break;
    case kColBankM: cell.text = Number(msb); break;
    case kColBankL: cell.text = Number(lsb); break;
    case kColPch: cell.text = Number(program + platform::settings().GetOriginPch()); break;
    case kColNote: cell.text = Number(msb == 124 ? 0 : note); break;
    case kColName:
      if (m_chipMode == 1) {
        uint8_t entry[CVoiceAssignTable::kKZ1VoiceSize];
        doc.GetKZ1Voice(slot, entry);
        cell.text = FixedName(entry);
      } else if (m_chipMode == 2) {
        CVoice2 voice;
        doc.GetKZ2Voice(slot, voice);
        cell.text = FixedName(voice.GetName());
      } else if (msb == 0) {
        const char* name = note != 0 ? GetGMDrumName(0, static_cast<uint8_t>(lsb), static_cast<uint8_t>(program),
                                                     static_cast<uint8_t>(note))
                                     : GetGMProgramName(0, static_cast<uint8_t>(lsb), static_cast<uint8_t>(program));
        cell.text = name ? name : "";
      } else if (item) {
        cell.text = FixedName(reinterpret_cast<const uint8_t*>(item->GetName()));
      }
      break;
    case kColType: cell.text = TypeText(doc, slot); break;
    case kColWS15:
    case kColWS23:
    case kColWS31: {
      const int shape = kUserWaveShapes[column - kColWS15];
      const bool used = gen3 && item && !item->IsPcm() && !item->IsFixedBank() && UsesShape(*item, shape) &&
                        HasSongWave(doc, shape);
      cell.text = used ? "used" : "----";
      break;
    }
    case kColWaveId:
      if (!gen3 || !item) break;
      if (item->IsFixedBank()) {
        cell.text = "ROM";
      } else if (item->IsPcm() && item->GetRM()) {
        cell.text = "RM " + Number(item->GetWaveId());
      } else if (item->IsPcm() && item->GetWaveSampleSize() > 0) {
        cell.text = Number(item->GetWaveId());
      } else {
        cell.text = "----";
      }
      break;
    case kColTotalSize: cell.text = Number(SlotSize(doc, slot)); break;
    default:
      if (column >= kColCh1 && column <= kColCh16 && gen3) {
        const int channel = column - kColCh1;
        if (!IsUsed(doc, slot, channel)) break;
        const int v = m_chipMode == 3 ? doc.GetChannelPart(channel) : doc.GetSlotUse(channel, slot);
        cell.picture = (doc.FindSameVoiceSlot(channel, slot) == 0 ? kPictureChannelShared : kPictureChannel) + v;
        cell.text = Number(v);
      }
      break;
  }
  return cell;
}

void CVamModel::SetChannelFilter(int channel) {
  m_channel = channel;
  m_selected = -1;
}

bool CVamModel::IsValidRow(const CKZ1Doc& doc, int row) const {
  return row >= m_firstRow && row <= m_lastRow && IsAssigned(doc, row);
}

bool CVamModel::ClickName(const CKZ1Doc& doc, int row) {
  if (!IsValidRow(doc, row)) {
    m_selected = -1;
  } else if (m_channel == -1 || IsUsed(doc, row, m_channel)) {
    m_selected = row;
  }
  return true;
}

void CVamModel::RightClickName(const CKZ1Doc& doc, int row) { m_selected = IsValidRow(doc, row) ? row : -1; }

bool CVamModel::ToggleChannel(CKZ1Doc& doc, int row, int channel) const {
  if (!IsValidRow(doc, row)) return false;
  const bool changed = doc.ToggleSlotForChannel(row, channel) != 0;
  if (changed) doc.SetModifiedFlags(0);
  int flag = 0;
  for (int k = 0; k < 16 && !flag; ++k) {
    const int part = doc.GetChannelPart(k);
    if (part < 1 || part > 4) continue;
    for (int s = 0; s < m_slotCount && s < CVoiceAssignTable::kAreaSize; ++s) {
      const int v = doc.GetSlotUse(k, s);
      if (v >= 1 && v <= 4) {
        flag = 1;
        break;
      }
    }
  }
  doc.SetViewFlag(flag);
  return changed;
}

int CVamModel::RightClickRow(int y, int vScroll) const {
  return std::min((y - m_tabHeight) / kRowHeight - 1 + vScroll, m_lastRow);
}

CVamModel::SlotPopup CVamModel::SlotPopupStates(const CKZ1Doc& doc) const {
  SlotPopup popup;
  if (m_selected < 0) return popup;
  popup.newEnabled = !IsAssigned(doc, m_selected);
  popup.deleteEnabled = !(m_channel >= 0 && IsUsed(doc, m_selected, m_channel));
  return popup;
}

bool CVamModel::ShowsCopyPastePopup(CKZ1Doc& doc) const {
  if (m_selected < 0) return true;
  const CVoiceItem* item = doc.GetVoiceItem(m_selected);
  return !(item && item->IsFixedBank());
}

bool CVamModel::VoiceListCommandsEnabled(const CKZ1Doc& doc) const {
  if (!RowsShown(doc)) return false;
  for (int s = m_firstRow; s <= m_lastRow; ++s) {
    if (IsAssigned(doc, s)) return true;
  }
  return false;
}

bool CVamModel::CanCopy(CKZ1Doc* doc, const IVoiceWindowShell& shell) const {
  if (!doc || !shell.IsDeviceIdle() || m_selected < 0) return false;
  if (m_chipMode == 1 || m_chipMode == 2) return true;
  const CVoiceItem* item = doc->GetVoiceItem(m_selected);
  return item && !item->IsFixedBank();
}

bool CVamModel::CanPaste(CKZ1Doc* doc, const IVoiceWindowShell& shell) const {
  if (!doc || !shell.IsDeviceIdle() || m_selected < 0) return false;
  if (m_chipMode == 1) return shell.HasClipEntry();
  if (m_chipMode == 2) {
    const CVoice2* clip = shell.GetClipboard();
    return clip && doc->CheckChannelForVoice(m_selected, *clip) != 0;
  }
  if (shell.GetClipVoiceKind() == 0 || !shell.GetClipVoiceItem()) return false;
  const CVoiceItem* item = doc->GetVoiceItem(m_selected);
  return item && item->IsUserEditable();
}

void CVamModel::Copy(CKZ1Doc& doc, IVoiceWindowShell& shell) const {
  if (m_selected < 0) return;
  if (m_chipMode == 1) {
    doc.GetKZ1Voice(m_selected, shell.GetClipEntry());
    shell.SetClipEntryValid(true);
  } else if (m_chipMode == 2) {
    auto voice = std::make_unique<CVoice2>();
    doc.GetKZ2Voice(m_selected, *voice);
    shell.SetClipboard(std::move(voice));
  } else if (const CVoiceItem* item = doc.GetVoiceItem(m_selected)) {
    shell.SetClipVoiceItem(new CVoiceItem(*item), 2);
  }
}

int CVamModel::Paste(CKZ1Doc& doc, CVoiceLibrary* library, IVoiceWindowShell& shell) const {
  if (m_selected < 0) return 0;
  if (m_chipMode == 1) {
    if (!shell.HasClipEntry()) return 0;
    doc.SetKZ1Voice(m_selected, shell.GetClipEntry());
    shell.UpdateVoiceWindows();
    return 1;
  }
  if (m_chipMode == 2) {
    const CVoice2* clip = shell.GetClipboard();
    if (!clip || !doc.CheckChannelForVoice(m_selected, *clip)) return 0;
    doc.SetVoiceSlotBytes(m_selected, clip->GetBank(), doc.GetVoiceBankLsb(m_selected), clip->GetProgram(), 0);
    shell.UpdateVoiceWindows();
    return 1;
  }
  const int stored = PasteGen3(doc, library, shell);
  shell.UpdateVoiceWindows();
  shell.UpdateReportBar();
  return stored;
}

int CVamModel::PasteGen3(CKZ1Doc& doc, CVoiceLibrary* library, IVoiceWindowShell& shell) const {
  const CVoiceItem* clip = shell.GetClipVoiceItem();
  const int kind = shell.GetClipVoiceKind();
  if (!clip || kind == 0) return 0;
  if (kind == 2) {
    doc.SetVoiceItem(m_selected, *clip, 0);
    if (doc.GetKZ3RamUse() > GetKZ3RamLimit()) platform::ShowMessage(7029);
    return 1;
  }
  CVoiceItem copy(*clip);
  const CVoiceItem* current = doc.GetVoiceItem(m_selected);
  // The slot's own RAM wave, freed by the paste, when no other voice shares its id.
  const bool replacesWave = current && IsRamPcm(*current) && current->GetWaveSampleSize() > 0;
  if (IsRamPcm(copy)) {
    int id = doc.FindFreeWaveId();
    // Clearing the slot's own wave frees its id, unless another voice shares it or the
    // user-wave limit of the MFi profiles refuses every id anyway.
    if (replacesWave && doc.CountWaveIdUsers(*current) == 0 && !UserWaveLimitReached(doc, m_outputProfile)) {
      const int own = current->GetWaveHeaderId();
      if (id < 0 || own < id) id = own;
    }
    if (id < 0) {
      platform::ShowMessage(IsMfiProfile(m_outputProfile) ? 7057 : 7068);
      return 0;
    }
    copy.SetWaveId(static_cast<uint8_t>(id));
    copy.SetWaveHeaderId(static_cast<uint8_t>(id));
  }
  const int mode = GetModeSetting();
  if (!copy.IsPcm() && copy.GetAlgorithm() > 1 && (mode == 1 || mode == 2) && m_outputProfile != 4 &&
      m_outputProfile != 6) {
    platform::ShowMessage(7069);
    return 0;
  }
  if (IsRamPcm(copy) && replacesWave) doc.ClearVoiceItemWave(m_selected);
  doc.SetVoiceItem(m_selected, copy, 0);
  doc.ShareIdenticalWaves(copy);
  if (library && !copy.IsPcm()) {
    for (int n = 1; n <= copy.GetOperatorCount(); ++n) {
      const int shape = copy.GetOpWS(n);
      const CNamedBlock* libraryBlock = library->GetWaveBlock(shape);
      if (!libraryBlock) continue;
      const CNamedBlock* songBlock = doc.GetWaveBlock(shape);
      if (songBlock && songBlock->GetData() && libraryBlock->GetData() &&
          std::memcmp(songBlock->GetData(), libraryBlock->GetData(),
                      std::min(songBlock->GetSize(), libraryBlock->GetSize())) == 0) {
        continue;
      }
      doc.SetWaveBlock(shape, libraryBlock);
    }
  }
  if (doc.GetKZ3RamUse() > GetKZ3RamLimit()) platform::ShowMessage(7029);
  return 1;
}
