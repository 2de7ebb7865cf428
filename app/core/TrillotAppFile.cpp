// The application object's File commands that replace the song: New, Open, the imports,
// Reload from SMF and Close, the close question before a song goes, the update rules of the
// open side and the command table that the window's route reaches.
#include <memory>
#include <string>
#include <vector>

#include "app/core/FileDialogRules.h"
#include "app/core/SettingKeys.h"
#include "app/core/TrillotApp.h"
#include "platform/io/FileIo.h"
#include "platform/strings/StringTable.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr int kMsgCannotOpenSong = 7032;
constexpr int kMsgCannotOpenMFiSmf = 7033;
constexpr int kMsgSaveSong = 7091;
constexpr int kMsgIllegalFileFormat = 7092;
constexpr int kLogOpenVelk = 7515;
constexpr int kLogImportSmf = 7517;
constexpr int kLogReloadSmf = 7522;
constexpr int kStringExtMid = 2073;
constexpr int kStringFilterMid = 2087;
constexpr int kStringExtNative = 2070;
constexpr int kStringFilterNative = 2084;

constexpr int kAnswerCancel = 2;
constexpr int kAnswerYes = 6;

constexpr int kDirInput = 0;

constexpr uint32_t kAllChannels = 0xFFFF;
constexpr int kSmfSelection = 24;
constexpr int kOpenTempo = 200;
constexpr int kSmfConverter = 7;

constexpr uint32_t kOpenFlags = fileflags::kFileMustExist | fileflags::kHideReadOnly | fileflags::kLongNames;

constexpr const char* kUntitled = "untitled";

// Command ids of the File menu.
enum FileCommand {
  kFileNew = 57600,
  kFileOpen = 57601,
  kFileClose = 57602,
  kFileSave = 57603,
  kFileDirectPlay = 32771,
  kFileImportSmf = 32772,
  kFileImportNative = 32774,
  kFileReloadSmf = 32775,
  kFileSaveAs = 32776,
  kFileExportHardware = 32778,
  kFileExportNative = 32779,
  kFileExportSmf = 32780,
  kFileImportKZ1 = 32773,
  kFileExportKZ1 = 32777,
};

std::string Text(int id) { return std::string(platform::strings().Find(id).value_or("")); }

bool IsMFiProfile(int profile) { return profile == 1 || profile == 6 || profile == 7; }

bool IsGen35(int chipMode) { return chipMode == 3 || chipMode == 5; }

bool CanReadFile(const std::string& path) { return platform::RegularFileSize(path).has_value(); }

}  // namespace

void CTrillotApp::RefreshAfterFileCommand(bool all) {
  IMainFrame* frame = GetMainFrame();
  if (!frame) return;
  frame->UpdateStatusPanes();
  frame->UpdateReportBar();
  if (!all) return;
  frame->UpdateSongWindows();
  frame->UpdateVoiceWindows();
}

bool CTrillotApp::ChooseFile(const FileRequest& request, FileAnswer& answer) {
  answer = m_fileChooser ? m_fileChooser->Choose(request) : FileAnswer{};
  return answer.ok;
}

bool CTrillotApp::KeepSongAfterQuestion(CKZ1Doc& doc) {
  bool ask = false;
  switch (m_chipMode) {
    case 1:
      // A song that cannot be converted could not be saved either: it goes without a question.
      ask = doc.CalcConvertedSize(0) != 0 && doc.TestModifiedFlags(CKZ1Doc::kFlagUnsaved);
      break;
    case 2: case 3: case 5:
      ask = doc.TestModifiedFlags(CKZ1Doc::kFlagUnsaved) != 0;
      break;
    default:
      break;
  }
  if (!ask) return false;
  const int answer = platform::ShowMessage(kMsgSaveSong);
  if (answer == kAnswerCancel) return true;
  if (answer != kAnswerYes) return false;
  OnFileSave();
  // A save cancelled in its dialog, or one that failed, keeps the song as Cancel does: the
  // edits are not thrown away without a word.
  return GetDocument() == &doc && doc.TestModifiedFlags(CKZ1Doc::kFlagUnsaved) != 0;
}

int CTrillotApp::QueryCloseSong() {
  IMainFrame* frame = GetMainFrame();
  if (frame) frame->OnStop();
  if (CKZ1Doc* doc = GetDocument()) {
    if (KeepSongAfterQuestion(*doc)) return 0;
    CloseSongState();
    SetDocument(nullptr);
    m_boardPlaybackState = 0;
    if (m_boardLink) m_boardLink->Stop();
    m_songOnBoard = false;
    m_boardFlag = 0;
  } else if (frame && frame->IsDirectPlayOpen()) {
    CloseSongState();
    m_boardPlaybackState = 0;
    m_songOnBoard = false;
    m_boardFlag = 0;
  }
  if (IOutputEngine* engine = Engine()) engine->ClearEmuPending();
  return 1;
}

void CTrillotApp::CloseSongState() {
  IMainFrame* frame = GetMainFrame();
  if (!frame) return;
  frame->CloseToolWindows();
  frame->ResetEditorDialogs();
}

void CTrillotApp::OnFileNew() {
  if (m_chipMode != 1 && m_chipMode != 2) return;
  if (!QueryCloseSong()) return;
  SetDocument(std::make_unique<CKZ1Doc>());
  CKZ1Doc& doc = *GetDocument();
  doc.SetPathName(kUntitled);
  doc.SetTimeBaseMs(4000);
  doc.SetExportOption1(0);
  doc.InitChannelSetupFromEvents();
  doc.ResetModifiedFlags();
  if (IMainFrame* frame = GetMainFrame()) {
    frame->OpenSongWindow();
    frame->UpdateStatusPanes();
  }
}

int CTrillotApp::OpenSongInto(const std::string& path, const std::function<int(CKZ1Doc&)>& load,
                              int logId, int failMessage) {
  SetDocument(std::make_unique<CKZ1Doc>());
  if (!load(*GetDocument())) {
    if (failMessage) platform::ShowMessage(failMessage);
    SetDocument(nullptr);
    return 0;
  }
  if (IMainFrame* frame = GetMainFrame()) frame->OpenSongWindow();
  if (logId) platform::messages().AddAccessLog(logId, FileNameOf(path), {});
  return 1;
}

void CTrillotApp::OnFileOpen() {
  if (IsGen35(m_chipMode)) {
    OpenSongKZ35();
    return;
  }
  if (m_chipMode != 1 && m_chipMode != 2) return;
  if (!QueryCloseSong()) return;
  const std::string extension = SongExtensionOfProfile(m_outputProfile);
  FileRequest request;
  request.kind = m_chipMode == 2 ? FileDialogKind::VelkLoad : FileDialogKind::Plain;
  request.defaultExtension = extension;
  request.filter = Text(SongFilterIdOfProfile(m_outputProfile));
  request.folder = GetDefaultDir(kDirInput);
  request.chipMode = m_chipMode;
  FileAnswer choice;
  if (ChooseFile(request, choice)) {
    if (!HasEndingNoCase(choice.path, "." + extension)) {
      platform::ShowMessage(kMsgIllegalFileFormat);
    } else if (m_chipMode == 1) {
      OpenSongInto(choice.path, [&](CKZ1Doc& doc) { return doc.OpenDocument(choice.path); },
                   kLogOpenVelk, 0);
    } else {
      OpenSongInto(choice.path,
                   [&](CKZ1Doc& doc) { return doc.OpenWithOptions(choice.path, choice.tempo, choice.compress); },
                   kLogOpenVelk, 0);
    }
  }
  RefreshAfterFileCommand(true);
}

void CTrillotApp::OpenSongKZ35() {
  if (!QueryCloseSong()) return;
  const std::string extension = SongExtensionOfProfile(m_outputProfile);
  FileRequest request;
  request.defaultExtension = extension;
  request.filter = Text(SongFilterIdOfProfile(m_outputProfile));
  request.folder = GetDefaultDir(kDirInput);
  request.flags = kOpenFlags;
  FileAnswer choice;
  if (ChooseFile(request, choice)) {
    if (!HasEndingNoCase(choice.path, "." + extension)) {
      platform::ShowMessage(kMsgIllegalFileFormat);
    } else {
      OpenSongInto(choice.path, [&](CKZ1Doc& doc) { return doc.OpenWithOptions(choice.path, kOpenTempo, 0); },
                   kLogOpenVelk, 0);
    }
  }
  RefreshAfterFileCommand(true);
}

void CTrillotApp::OnFileImportSMF() {
  if (IsGen35(m_chipMode)) {
    ImportSmfKZ35();
    return;
  }
  if (m_chipMode != 1 && m_chipMode != 2) return;
  if (!QueryCloseSong()) return;
  FileRequest request;
  request.kind = FileDialogKind::SmfLoad;
  request.defaultExtension = Text(kStringExtMid);
  request.filter = Text(kStringFilterMid);
  request.folder = GetDefaultDir(kDirInput);
  request.chipMode = m_chipMode;  // 4 channels in chip mode 1, else 16
  FileAnswer choice;
  if (ChooseFile(request, choice)) {
    if (!HasEndingNoCase(choice.path, ".mid")) {
      platform::ShowMessage(kMsgIllegalFileFormat);
    } else {
      OpenSongInto(choice.path,
                   [&](CKZ1Doc& doc) {
                     return m_songOpener(doc, choice.path, choice.channelMask, choice.timeBase);
                   },
                   kLogImportSmf, kMsgCannotOpenSong);
    }
  }
  RefreshAfterFileCommand(true);
}

void CTrillotApp::ImportSmfKZ35() {
  if (!QueryCloseSong()) return;
  FileRequest request;
  request.defaultExtension = Text(kStringExtMid);
  request.filter = Text(kStringFilterMid);
  request.folder = GetDefaultDir(kDirInput);
  request.flags = kOpenFlags;
  FileAnswer choice;
  if (ChooseFile(request, choice)) {
    if (!HasEndingNoCase(choice.path, ".mid")) {
      platform::ShowMessage(kMsgIllegalFileFormat);
    } else {
      const int failMessage = IsMFiProfile(m_outputProfile) ? kMsgCannotOpenMFiSmf : kMsgIllegalFileFormat;
      OpenSongInto(choice.path,
                   [&](CKZ1Doc& doc) { return m_songOpener(doc, choice.path, kAllChannels, kSmfSelection); },
                   kLogImportSmf, failMessage);
    }
  }
  RefreshAfterFileCommand(true);
}

void CTrillotApp::OnFileImportNative() {
  if (!IsGen35(m_chipMode)) return;
  if (!QueryCloseSong()) return;
  // Chip mode 5 has no texts of its own for the native file: it shows the generation-3 ones.
  const std::string extension = Text(kStringExtNative);
  FileRequest request;
  request.defaultExtension = extension;
  request.filter = Text(kStringFilterNative);
  request.folder = GetDefaultDir(kDirInput);
  request.flags = kOpenFlags;
  FileAnswer choice;
  if (ChooseFile(request, choice)) {
    if (!HasEndingNoCase(choice.path, "." + extension)) {
      platform::ShowMessage(kMsgIllegalFileFormat);
    } else {
      OpenSongInto(choice.path, [&](CKZ1Doc& doc) { return doc.OpenDocument(choice.path); }, 0, 0);
    }
  }
  RefreshAfterFileCommand(true);
}

void CTrillotApp::OnFileReloadSMF() {
  IMainFrame* frame = GetMainFrame();
  if (frame) frame->OnStop();
  CKZ1Doc* doc = GetDocument();
  if (!doc) return;
  const bool numbered = IsGen35(m_chipMode) && m_outputProfile == output_profile::kVELKPhrase &&
                        doc->IsNumberedExport();
  const std::string path = ReloadSmfPath(doc->GetPathName(), numbered);
  if (doc->ImportViaConverter(path)) {
    RefreshAfterFileCommand(true);
    platform::messages().AddAccessLog(kLogReloadSmf, path, {});
    return;
  }
  if (IsGen35(m_chipMode)) {
    platform::ShowMessage(IsMFiProfile(m_outputProfile) ? kMsgCannotOpenMFiSmf : kMsgCannotOpenSong);
  }
  // What is left of the song is not worth a save question.
  if (CKZ1Doc* left = GetDocument()) left->ResetModifiedFlags();
  QueryCloseSong();
}

void CTrillotApp::OnFileClose() {
  if (QueryCloseSong()) RefreshAfterFileCommand(false);
}

bool CTrillotApp::OnUpdateFileOpen() const {
  if (m_chipMode == 1 || m_chipMode == 2) return true;
  if (m_chipMode != 3) return false;
  const int kind = SongConverterKind(m_outputProfile, m_makerId);
  return kind != 0 && platform::binder().IsAvailable(kind, 0) != 0;
}

bool CTrillotApp::OnUpdateFileImportSMF() const {
  if (m_chipMode == 1 || m_chipMode == 2) return true;
  return m_chipMode == 3 && platform::binder().IsAvailable(kSmfConverter, 0) != 0;
}

bool CTrillotApp::OnUpdateFileReloadSMF() const {
  const CKZ1Doc* doc = GetDocument();
  if (!doc) return false;
  const bool numbered = IsGen35(m_chipMode) && m_outputProfile == output_profile::kVELKPhrase &&
                        doc->IsNumberedExport();
  const std::string path = PathInFolder(ReloadSmfPath(doc->GetPathName(), numbered), GetDefaultDir(kDirInput));
  if (!CanReadFile(path)) return false;
  return m_chipMode != 3 || platform::binder().IsAvailable(kSmfConverter, 0) != 0;
}

bool CTrillotApp::IsFileCommand(int id) const {
  switch (id) {
    case kFileNew: case kFileOpen: case kFileClose: case kFileSave: case kFileDirectPlay:
    case kFileImportSmf: case kFileImportNative: case kFileReloadSmf: case kFileSaveAs:
    case kFileExportHardware: case kFileExportNative: case kFileExportSmf:
    case kFileImportKZ1: case kFileExportKZ1:
      return true;
    default:
      return false;
  }
}

bool CTrillotApp::RunFileCommand(int id) {
  switch (id) {
    case kFileNew: OnFileNew(); return true;
    case kFileOpen: OnFileOpen(); return true;
    case kFileClose: OnFileClose(); return true;
    case kFileSave: OnFileSave(); return true;
    case kFileDirectPlay: OnFileDirectPlay(); return true;
    case kFileImportSmf: OnFileImportSMF(); return true;
    case kFileImportNative: OnFileImportNative(); return true;
    case kFileReloadSmf: OnFileReloadSMF(); return true;
    case kFileSaveAs: OnFileSaveAs(); return true;
    case kFileExportHardware: OnFileExportHardware(); return true;
    case kFileExportNative: OnFileExportNative(); return true;
    case kFileExportSmf: OnFileExportSMF(); return true;
    case kFileImportKZ1: OnFileImportKZ1(); return true;
    case kFileExportKZ1: OnFileExportKZ1(); return true;
    default: return false;
  }
}

bool CTrillotApp::IsFileCommandEnabled(int id) const {
  switch (id) {
    case kFileNew: case kFileClose: return true;
    case kFileOpen: return OnUpdateFileOpen();
    case kFileSave: return OnUpdateFileSave();
    case kFileDirectPlay: return OnUpdateFileDirectPlay();
    case kFileImportSmf: return OnUpdateFileImportSMF();
    case kFileReloadSmf: return OnUpdateFileReloadSMF();
    case kFileSaveAs: return OnUpdateFileSaveAs();
    case kFileExportHardware: return OnUpdateFileExportHardware();
    case kFileExportSmf: return OnUpdateFileExportSMF();
    case kFileImportKZ1: return OnUpdateFileImportKZ1();
    case kFileExportKZ1: return OnUpdateFileExportKZ1();
    default: return false;  // the native import and export stay disabled
  }
}
