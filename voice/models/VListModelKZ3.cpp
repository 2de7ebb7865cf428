#include "voice/models/VListModelKZ3.h"

#include <algorithm>
#include <cstdio>

#include "platform/host/HostServices.h"
#include "song/NamedBlock.h"
#include "song/VoiceItem.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"
#include "voice/models/VoiceWindowShell.h"

namespace {

constexpr int kWaveFull = 7070;

bool IsDrumNote(int note) { return note >= CVListModelKZ3::kFirstDrumNote && note <= CVListModelKZ3::kLastDrumNote; }

bool IsRamPcm(const CVoiceItem& v) { return v.IsPcm() && v.GetRM() == 0; }

/// The address as a voice of its own, for the bank rules of CVoiceItem.
CVoiceItem Addressed(const CVListModelKZ3::Address& at) {
  CVoiceItem v;
  v.SetBankMsb(static_cast<uint8_t>(at.msb));
  v.SetBankLsb(static_cast<uint8_t>(at.lsb));
  v.SetProgram(static_cast<uint8_t>(at.program));
  if (at.note >= 0) v.SetNote(static_cast<uint8_t>(at.note));
  return v;
}

}  // namespace

const char* CVListModelKZ3::TabLabel(int tab) {
  switch (tab) {
    case kNormal: return "Normal";
    case kDrum: return "Drum";
    default: return "";
  }
}

void CVListModelKZ3::SetTab(int tab) {
  if (tab == kNormal || tab == kDrum) m_tab = tab;
}

CVListModelKZ3::Address CVListModelKZ3::CellAddress(int column, int row) const {
  if (column < 0 || column > kLastColumn || row < 0 || row > kLastRow) return {};
  if (IsDrum()) return {kDrumMsb, 0, column, row};
  return {kNormalMsb, column, row, -1};
}

int CVListModelKZ3::HitTest(int x, int y, int hPos, int vPos, int* row) const {
  if (row) *row = -1;
  if (x < kLabelWidth || y < GetGridTop()) return -1;
  const int r = (y - GetGridTop()) / kRowHeight + vPos;
  const int c = (x - kLabelWidth) / kColumnWidth + hPos;
  if (r > kLastRow || c > kLastColumn) return -1;
  if (row) *row = r;
  return c;
}

int CVListModelKZ3::HeaderColumnAt(int x, int y, int hPos) const {
  if (x < kLabelWidth || y < kTabHeight || y >= kTabHeight + kRowHeight) return -1;
  const int c = (x - kLabelWidth) / kColumnWidth + hPos;
  return c <= kLastColumn ? c : -1;
}

std::string CVListModelKZ3::HeaderText(int headerRow, int column, int originPch) const {
  switch (headerRow) {
    case 0: return std::to_string(IsDrum() ? kDrumMsb : kNormalMsb);
    case 1: return std::to_string(IsDrum() ? column + originPch : column);
    default: return {};
  }
}

const char* CVListModelKZ3::CornerText(int headerRow) const {
  static const char* const kNormalRows[] = {"Bank M", "Bank L", "Pch#"};
  static const char* const kDrumRows[] = {"Bank M", "Pch#", "Note#"};
  if (headerRow < 0 || headerRow > 2) return "";
  return IsDrum() ? kDrumRows[headerRow] : kNormalRows[headerRow];
}

std::string CVListModelKZ3::RowLabel(int row, int originPch) const {
  return std::to_string(IsDrum() ? row : row + originPch);
}

std::string CVListModelKZ3::TypeText(const CVoiceItem& voice) {
  if (voice.IsPcm()) return "P";
  char text[8];
  std::snprintf(text, sizeof text, "F%d", voice.GetOperatorCount());
  return text;
}

CVoiceItem* CVListModelKZ3::Find(CVoiceLibrary& library, const Address& at) {
  CVoiceBank& bank = library.GetVoiceBank();
  return at.note >= 0 ? bank.FindVoice(at.msb, at.lsb, at.program, at.note)
                      : bank.FindByProgram(at.msb, at.lsb, at.program);
}

CVListModelKZ3::Cell CVListModelKZ3::CellOf(CVoiceLibrary& library, int column, int row, int chipMode,
                                            int outputProfile) const {
  Cell cell;
  const Address at = CellAddress(column, row);
  if (at.msb < 0) return cell;
  if (IsDrum() && chipMode == 5 && outputProfile == 4 && ((row >= 13 && row <= 34) || (row >= 82 && row <= 91))) {
    cell.text = kGreyText;
    cell.back = kGreyBack;
  }
  // A missing voice shows an empty cell.
  const CVoiceItem* voice = Find(library, at);
  if (!voice) return cell;
  cell.name = voice->GetName();
  if (!IsDrum() || IsDrumNote(row)) cell.type = TypeText(*voice);
  return cell;
}

void CVListModelKZ3::Click(int x, int y, int hPos, int vPos) {
  int row = -1;
  const int column = HitTest(x, y, hPos, vPos, &row);
  m_selection = CellAddress(column, row);
}

bool CVListModelKZ3::IsSelected(int column, int row) const {
  return m_selection.msb >= 0 && m_selection == CellAddress(column, row);
}

bool CVListModelKZ3::IsSelectionComplete() const {
  const Address& s = m_selection;
  if (s.msb < 0 || s.lsb < 0 || s.program < 0) return false;
  return s.msb != kDrumMsb || IsDrumNote(s.note);
}

bool CVListModelKZ3::SelectBankAt(int x, int y, int hPos) {
  const int column = HeaderColumnAt(x, y, hPos);
  if (column < 0) return false;
  if (IsDrum()) {
    SetBankSelection(kDrumMsb, 0, column);
  } else {
    SetBankSelection(kNormalMsb, column, 0);
  }
  return true;
}

void CVListModelKZ3::SetBankSelection(int msb, int lsb, int program) {
  m_bank = {msb & 0xFF, lsb & 0xFF, program & 0xFF, -1};
}

bool CVListModelKZ3::IsBankEditable() const {
  Address at = m_bank;
  // A drum bank's voices sit on notes: any note of the range stands for them all.
  if (at.msb == kDrumMsb) at.note = kFirstDrumNote;
  return Addressed(at).IsUserEditable();
}

VListMenu CVListModelKZ3::BankMenu() const {
  return {{"&Import from Bank Voice...", kImport, IsBankEditable()}, {"&Export to Bank Voice...", kExport, true}};
}

VListMenu CVListModelKZ3::CellMenu(CVoiceLibrary& library, const IVoiceWindowShell& shell) const {
  return {{"&Copy\tCtrl+C", kCopyAlt, CanCopy(shell)}, {"&Paste\tCtrl+V", kPasteAlt, CanPaste(library, shell)}};
}

bool CVListModelKZ3::CanCopy(const IVoiceWindowShell& shell) const {
  return shell.IsDeviceIdle() && IsSelectionComplete();
}

bool CVListModelKZ3::CanPaste(CVoiceLibrary& library, const IVoiceWindowShell& shell) const {
  if (!shell.IsDeviceIdle() || !IsSelectionComplete() || !shell.GetClipVoiceItem()) return false;
  (void)library;
  return Addressed(m_selection).IsUserEditable();
}

CVoiceItem CVListModelKZ3::VoiceAt(CVoiceLibrary& library, const Address& at) {
  if (const CVoiceItem* found = Find(library, at)) return *found;
  return Addressed(at);
}

bool CVListModelKZ3::Copy(CVoiceLibrary& library, IVoiceWindowShell& shell) const {
  if (!IsSelectionComplete()) return false;
  shell.SetClipVoiceItem(new CVoiceItem(VoiceAt(library, m_selection)), 1);
  return true;
}

int CVListModelKZ3::Paste(CVoiceLibrary& library, CKZ1Doc* doc, IVoiceWindowShell& shell) const {
  if (!CanPaste(library, shell)) return -1;
  const Address& at = m_selection;
  CVoiceItem voice(*shell.GetClipVoiceItem());
  const bool fromMap = shell.GetClipVoiceKind() == 2;
  if (fromMap && IsRamPcm(voice)) {
    const int id = library.GetVoiceBank().FindFreeWaveId();
    if (id == CVoiceBank::kNoFreeWaveId) {
      platform::ShowMessage(kWaveFull);
      return kWaveFull;
    }
    voice.SetWaveId(static_cast<uint8_t>(id));
    voice.SetWaveHeaderId(static_cast<uint8_t>(id));
  }
  if (at.msb == kDrumMsb) {
    library.SetVoice(at.msb, at.lsb, at.program, at.note, voice);
  } else {
    library.SetVoiceByProgram(at.msb, at.lsb, at.program, voice);
  }
  if (fromMap) {
    if (const CVoiceItem* stored = Find(library, at)) library.ShareIdenticalWaves(*stored);
    // The song's user waves that the voice's operators play go with it.
    if (doc && !voice.IsPcm()) {
      for (int n = 1; n <= voice.GetOperatorCount(); ++n) {
        const int shape = voice.GetOpWS(n);
        if (const CNamedBlock* block = doc->GetWaveBlock(shape)) library.SetWaveBlock(shape, *block);
      }
    }
  }
  library.SetModified(1);
  shell.UpdateVoiceWindows();
  return 0;
}

CVoiceItem* CVListModelKZ3::StoreEditedVoice(CVoiceLibrary& library, const Address& at, const CVoiceItem& edited) {
  if (!edited.IsUserEditable()) return nullptr;
  CVoiceBank& bank = library.GetVoiceBank();
  CVoiceItem* stored = Find(library, at);
  if (!stored) {
    const CVoiceItem fresh = Addressed(at);
    if (at.note >= 0) {
      bank.SetVoice(at.msb, at.lsb, at.program, at.note, fresh);
    } else {
      bank.SetVoiceByProgram(at.msb, at.lsb, at.program, fresh);
    }
    stored = Find(library, at);
    if (!stored) return nullptr;
  }
  if (!library.IsModified() && (!edited.IsSame(*stored) || !edited.IsSameHeader(*stored))) library.SetModified(1);
  *stored = edited;
  library.ShareIdenticalWaves(*stored);
  return stored;
}

int CVListModelKZ3::ScrollRow(int code, int pos, int thumb, int rowsThatFit) {
  return vlist::StepPosition(code, pos, thumb, std::max(1, rowsThatFit - 3), kLastRow);
}

int CVListModelKZ3::ScrollColumn(int code, int pos, int thumb, int columnsPerPage) {
  return vlist::StepPosition(code, pos, thumb, std::max(1, columnsPerPage), kLastColumn);
}
