// The voice-bank commands: Voice Open, Voice Save, Convert Voice List and Import Voice List.
#include <filesystem>

#include "app/core/SettingKeys.h"
#include "app/core/TrillotApp.h"
#include "app/core/VoiceBankCommands.h"
#include "platform/io/FileIo.h"
#include "platform/io/Paths.h"
#include "song/MemStream.h"
#include "song/NamedBlock.h"
#include "song/Voice2List.h"
#include "song/VoiceTable1.h"

namespace {

constexpr int kMsgFileNameTooLong = 7026;
constexpr int kMsgCannotOpenVoiceFile = 7045;
constexpr int kMsgVoiceFileFailed = 7094;
constexpr int kMsgOverwriteVoices = 7095;
constexpr int kLogOpenVoiceFile = 7519;
constexpr int kLogSaveVoiceFile = 7520;
constexpr int kLogImportVoiceList = 7523;
constexpr int kYes = 6;
constexpr int kDirVoice = 3;
/// The library's FM user-wave blocks that a loaded bank replaces.
constexpr int kUserWaveSlots[] = {15, 23, 31};

struct VoiceFileKind {
  const char* extension;
  const char* filter;
};

VoiceFileKind FileKindOf(int generation) {
  switch (generation) {
    case 1: return {"kze", "Extended voice file (*.kze)|*.kze||"};
    case 2: return {"vkz", "Extended voice file (*.vkz)|*.vkz||"};
    default: return {"vk3", "Extended voice file (*.vk3)|*.vk3||"};
  }
}

FileRequest VoiceFileRequest(int generation, bool open, bool inVoiceFolder = true) {
  const VoiceFileKind kind = FileKindOf(generation);
  FileRequest r;
  r.open = open;
  r.defaultExtension = kind.extension;
  r.filter = kind.filter;
  r.flags = fileflags::kHideReadOnly | fileflags::kLongNames |
            (open ? fileflags::kFileMustExist : fileflags::kOverwritePrompt);
  if (inVoiceFolder) r.folder = GetDefaultDir(kDirVoice);
  return r;
}

std::vector<uint8_t> BytesOf(CMemStream& stream) {
  const uint8_t* data = stream.GetData();
  return data ? std::vector<uint8_t>(data, data + stream.GetSize()) : std::vector<uint8_t>{};
}

}  // namespace

void CTrillotApp::AskToSaveVoicesFirst() {
  if (!m_voiceLibrary.IsModified()) return;
  if (platform::ShowMessage(kMsgOverwriteVoices) == kYes && m_chipMode == 3) OnVoiceSave();
}

void CTrillotApp::OnVoiceOpen() {
  switch (m_chipMode) {
    case 1: OpenVoiceTableFile(); break;
    case 2: {
      FileAnswer choice;
      if (!ChooseFile(VoiceFileRequest(2, true), choice)) break;
      auto wait = platform::ui().ShowWaitCursor();
      CVoice2List& list = m_voiceLibrary.GetVoice2List();
      list.RemoveAll();
      list.LoadFile(choice.path);
      break;
    }
    case 3:
    case 5: OpenVoiceBankFile(); break;
    default: break;
  }
  RefreshAfterFileCommand(true);
}

void CTrillotApp::OpenVoiceTableFile() {
  FileAnswer choice;
  if (!ChooseFile(VoiceFileRequest(1, true), choice)) return;
  const auto bytes = platform::ReadWholeFile(choice.path);
  if (!bytes) return;
  CVoiceTable1& table = m_voiceLibrary.GetFileVoiceTable();
  const CVoiceTable1 before = table;
  try {
    CMemStream stream(const_cast<uint8_t*>(bytes->data()), static_cast<int32_t>(bytes->size()), false);
    ReadVoiceTable(table, stream);
  } catch (...) {
    // The default voices stay in use.
    table = before;
    platform::ShowMessage(kMsgVoiceFileFailed);
  }
}

void CTrillotApp::OpenVoiceBankFile() {
  AskToSaveVoicesFirst();
  FileAnswer choice;
  if (!ChooseFile(VoiceFileRequest(3, true), choice)) return;
  auto wait = platform::ui().ShowWaitCursor();
  CVoiceBank& bank = m_voiceLibrary.GetVoiceBank();
  bank.RemoveAll(CVoiceBank::kRemoveUserEditable);
  const bool phrase = m_outputProfile == output_profile::kVELKPhrase || m_outputProfile == output_profile::kMFiPhrase;
  const std::string defaults = platform::JoinPath(m_appDir, voicebank::DefaultBankFile(m_outputProfile));
  bool loaded = false;
  if (m_chipMode == 3 && std::filesystem::exists(defaults)) {
    loaded = bank.LoadFile(defaults, CVoiceBank::kLoadAll) &&
             bank.LoadFile(choice.path, phrase ? CVoiceBank::kLoadFmOnly : CVoiceBank::kLoadAll);
  }
  if (!loaded) {
    platform::ShowMessage(kMsgCannotOpenVoiceFile);
    return;
  }
  for (int slot : kUserWaveSlots) {
    if (const CNamedBlock* wave = bank.GetWaveSlot(slot)) {
      m_voiceLibrary.SetWaveBlock(slot, *wave);
    } else if (m_voiceLibrary.GetWaveBlock(slot)) {
      if (IOutputEngine* engine = Engine()) engine->SendBoardCommand0D(slot);
      m_voiceLibrary.DeleteWaveBlock(slot);
    }
  }
  platform::messages().AddAccessLog(kLogOpenVoiceFile, choice.path, {});
}

void CTrillotApp::OnVoiceSave() {
  if (m_chipMode == 1 || m_chipMode == 2 || m_chipMode == 3) {
    FileAnswer choice;
    if (ChooseFile(VoiceFileRequest(m_chipMode, false), choice)) SaveVoiceFile(choice.path);
  }
  if (m_mainFrame) m_mainFrame->UpdateStatusPanes();
}

bool CTrillotApp::SaveVoiceFile(const std::string& path) {
  if (m_chipMode == 3 && voicebank::BankFileNameTooLong(path)) {
    platform::ShowMessage(kMsgFileNameTooLong);
    return false;
  }
  std::vector<uint8_t> bytes;
  try {
    // The whole file is built first, so a failed write leaves the old one as it was.
    CMemStream stream;
    if (m_chipMode == 1) {
      const CVoiceTable1& table = m_voiceLibrary.GetFileVoiceTable();
      WriteVoiceTable(table, table.GetBank(), stream);
    } else if (m_chipMode == 2) {
      m_voiceLibrary.WriteVoice2File(stream);
    } else {
      m_voiceLibrary.SaveVoiceBank(stream);
    }
    bytes = BytesOf(stream);
  } catch (...) {
    return false;
  }
  if (!platform::WriteFileAtomic(path, bytes)) return false;
  if (m_chipMode == 3) {
    m_voiceLibrary.SetModified(0);
    platform::messages().AddAccessLog(kLogSaveVoiceFile, path, {});
  }
  return true;
}

void CTrillotApp::OnVoiceConvertList() {
  FileAnswer source;
  if (!ChooseFile(VoiceFileRequest(2, true, false), source)) return;
  CVoice2List list;
  if (!list.LoadFile(source.path)) return;
  CVoiceBank bank;
  bank.RemoveAll(CVoiceBank::kRemoveEverything);
  {
    auto wait = platform::ui().ShowWaitCursor();
    voicebank::ConvertVoice2List(list, bank);
  }
  FileRequest save = VoiceFileRequest(3, false, false);
  save.flags &= ~fileflags::kOverwritePrompt;
  FileAnswer target;
  if (!ChooseFile(save, target)) return;
  try {
    CMemStream stream;
    bank.SaveChunks(stream, true);
    platform::WriteFileAtomic(target.path, BytesOf(stream));
  } catch (...) {
    // As a failed write: nothing more is said, and the library was never touched.
  }
}

void CTrillotApp::OnVoiceImportList() {
  AskToSaveVoicesFirst();
  FileRequest request = VoiceFileRequest(2, true);
  request.kind = FileDialogKind::BankImport;
  FileAnswer answer;
  if (!ChooseFile(request, answer)) return;
  std::array<bool, 20> chosen{};
  for (size_t i = 0; i < chosen.size(); ++i) chosen[i] = answer.bankChoices[i] != 0;
  ImportVoiceList(answer.path, chosen);
}

void CTrillotApp::ImportVoiceList(const std::string& path, const std::array<bool, 20>& chosen) {
  CVoice2List list;
  {
    auto wait = platform::ui().ShowWaitCursor();
    if (!list.LoadFile(path)) {
      platform::ShowMessage(kMsgCannotOpenVoiceFile);
      return;
    }
    voicebank::ImportVoice2Banks(list, chosen, m_outputProfile, m_voiceLibrary.GetVoiceBank(),
                                 [this] { m_voiceLibrary.SetModified(1); });
  }
  if (m_mainFrame) m_mainFrame->UpdateVoiceWindows();
  platform::messages().AddAccessLog(kLogImportVoiceList, path, {});
}
