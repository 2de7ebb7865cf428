// The application object's KZ-1 commands: Import from KZ-1, Export to KZ-1 (also in batch
// conversion) and the transfer of the song's KZ-1 data to a generation-1 serial board.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "app/core/SettingKeys.h"
#include "app/core/TrillotApp.h"
#include "platform/io/FileIo.h"
#include "platform/strings/StringTable.h"
#include "platform/text/Format.h"
#include "song/MemStream.h"
#include "song/SongSetup.h"
#include "song/document/KZ1Doc.h"

namespace {

constexpr int kMsgKZ1TooLarge = 7087;
constexpr int kMsgFileFormatError = 7088;
constexpr int kMsgIllegalFileFormat = 7092;
constexpr int kMsgCannotSaveVelk = 7031;
constexpr int kLogSaveVelk = 7504;
constexpr int kStringExtKZ1 = 2069;
constexpr int kStringFilterKZ1 = 2083;
constexpr int kStringStepSize = 2081;

constexpr int kDirInput = 0;
constexpr int kDirOutput = 1;

// A KZ-1 image: 84 header bytes, then steps of two bytes; the serial board takes less than 28 KB.
constexpr int kHeaderBytes = 84;
constexpr int kBoardLimit = 28672;

std::string Text(int id) { return std::string(platform::strings().Find(id).value_or("")); }

bool EndsWithKZ1(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  std::transform(tail.begin(), tail.end(), tail.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return tail == ".kz1";
}

int FirstWord(const CMemStream& image) {
  if (image.GetSize() < 2) return 0;
  return (image.GetData()[0] << 8) | image.GetData()[1];
}

}  // namespace

bool CTrillotApp::OnUpdateFileImportKZ1() const { return m_chipMode == 1; }

bool CTrillotApp::OnUpdateFileExportKZ1() const { return m_chipMode == 1; }

void CTrillotApp::OnFileImportKZ1() {
  if (!QueryCloseSong()) return;
  FileRequest request;
  request.kind = FileDialogKind::Kz1Load;
  request.defaultExtension = Text(kStringExtKZ1);
  request.filter = Text(kStringFilterKZ1);
  request.folder = GetDefaultDir(kDirInput);
  request.flags = fileflags::kPathMustExist | fileflags::kHideReadOnly | fileflags::kLongNames;
  request.chipMode = m_chipMode;
  FileAnswer choice;
  if (ChooseFile(request, choice)) {
    if (!EndsWithKZ1(choice.path)) {
      platform::ShowMessage(kMsgIllegalFileFormat);
    } else {
      SetDocument(std::make_unique<CKZ1Doc>());
      CKZ1Doc& doc = *GetDocument();
      doc.SetExportOption2(choice.tempoFactor);
      if (doc.OpenDocument(choice.path)) {
        if (IMainFrame* frame = GetMainFrame()) frame->OpenSongWindow();
      } else {
        SetDocument(nullptr);
      }
    }
  }
  if (IMainFrame* frame = GetMainFrame()) {
    frame->UpdateStatusPanes();
    frame->UpdateSongWindows();
    frame->UpdateVoiceWindows();
  }
}

void CTrillotApp::OnFileExportKZ1() { ExportKZ1(); }

int CTrillotApp::ExportKZ1() {
  // Only the menu item is limited to chip mode 1: batch conversion runs the export in any.
  CKZ1Doc* doc = GetDocument();
  if (!doc) return 0;
  auto wait = platform::ui().ShowWaitCursor();
  SongOutputRecord setup;
  doc->BuildOutputSetup(setup, 1);
  CMemStream image;
  if (!platform::kz1Export().ConvertToKZ1(image, 0, setup)) {
    const std::string reason = platform::kz1Export().GetLastReason();
    if (!reason.empty()) {
      platform::ShowMessage(kMsgFileFormatError);
      // A batch run also says which step of the conversion failed.
      if (HasOutputPath() && reason != Text(kMsgFileFormatError)) {
        platform::messages().DoMessageBoxUnlessBatch(1, "- " + reason, 0, 0);
      }
    }
    return 0;
  }
  if (FirstWord(image) <= kHeaderBytes) {
    platform::messages().Beep();
    return 0;
  }
  const std::vector<uint8_t> bytes(image.GetData(), image.GetData() + image.GetSize());
  std::string target = GetOutputPath();
  if (target.empty()) {
    FileRequest request;
    request.open = false;
    request.kind = FileDialogKind::Comment;
    request.defaultExtension = Text(kStringExtKZ1);
    request.filter = Text(kStringFilterKZ1);
    request.folder = GetDefaultDir(kDirOutput);
    request.flags = fileflags::kOverwritePrompt;
    request.comment = platform::Format(Text(kStringStepSize), (image.GetSize() - kHeaderBytes) / 2);
    FileAnswer choice;
    if (!ChooseFile(request, choice)) return 0;
    target = choice.path;
  }
  // Written beside the target and renamed over it: a failed export leaves the old file.
  platform::FileError error;
  if (!platform::WriteFileAtomic(target, bytes, &error)) {
    platform::ShowMessage(kMsgCannotSaveVelk);
    platform::NoteFileFailure(error);
    return 0;
  }
  platform::messages().AddAccessLog(kLogSaveVelk, target, {});
  m_outputWritten = true;
  return 1;
}

int CTrillotApp::SendSongToBoardKZ1() {
  CKZ1Doc* doc = GetDocument();
  if (!m_boardLink || !doc) return 0;
  SongOutputRecord setup;
  doc->BuildOutputSetup(setup, 0);
  CMemStream image;
  if (!platform::kz1Export().ConvertToKZ1(image, 0, setup)) {
    if (!platform::kz1Export().GetLastReason().empty()) platform::ShowMessage(kMsgFileFormatError);
    doc->SetModifiedFlags(0);
    return 0;
  }
  if (image.GetSize() >= kBoardLimit) {
    platform::ShowMessage(kMsgKZ1TooLarge);
    return 0;
  }
  const int answer = m_boardLink->SendSong(image.GetData(), static_cast<uint32_t>(image.GetSize()));
  if (answer) {
    m_boardFlag = 1;
    m_songOnBoard = true;
    m_boardPlaybackState = 0;
  }
  return answer & 0xFF;
}
