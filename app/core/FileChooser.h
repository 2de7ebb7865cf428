// The file chooser: what a command asks of a file dialog, and the path and option-panel
// values it gets back. The Qt dialogs answer it in the program; tests script it.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

/// The dialogs the commands ask for: the common ones and those with an option panel.
enum class FileDialogKind {
  Plain,      // the common open or save dialog
  SmfLoad,    // CSMFLoadDlg, panel 2024: channels (and a hidden time base)
  Comment,    // CFileDialogPlusComment, panel 2010: a comment line and an Option box
  Kz1Load,    // CKZ1LoadDlg, panel 2012: tempo factor
  VelkLoad,   // CVELKLoadDlg, panel 2023: tempo and compression
  SaveVelk,   // CKZxSaveKZ3VELKFileDlg, panel 2011: time base, Compress, DVX
  SoundFile,  // CKZxSounfFileDlg, panel 2025: sample format
  Folder,     // the folder browser
  BankImport, // CKZ3ImportVKZFileDlg, panel 2276: the banks of a ".vkz" file to import
};

/// Option flags of the common dialog that the chooser honours (the framework's values).
namespace fileflags {
inline constexpr uint32_t kOverwritePrompt = 0x00000002;
inline constexpr uint32_t kHideReadOnly = 0x00000004;
inline constexpr uint32_t kPathMustExist = 0x00000800;
inline constexpr uint32_t kFileMustExist = 0x00001000;
inline constexpr uint32_t kLongNames = 0x00200000;
}  // namespace fileflags

struct FileRequest {
  FileDialogKind kind = FileDialogKind::Plain;
  bool open = true;
  std::string defaultExtension;  // without the dot; "wav;aif" names two
  std::string fileName;          // the name the dialog starts with
  uint32_t flags = 0;
  std::string filter;  // "Name (*.x)|*.x||"
  std::string folder;  // the folder it starts in (empty: the current one)
  std::string title;   // empty: the dialog's own
  const void* owner = nullptr;  // the owner window, opaque to core code; null: none
  // Panel set-up.
  int chipMode = 3;  // SmfLoad (channel limit), VelkLoad (Compress shown)
  int option = 0;    // Comment: nonzero offers the Option box
  std::string comment;
  std::string alternativeComment;  // empty: the comment
  int compressShow = 8;            // SaveVelk: show command of Compress (0 hides)
  int dvxShow = 0;                 // SaveVelk: show command of DVX (0 hides)
  int dvx = 0;                     // SaveVelk: DVX ticked at the start
};

struct FileAnswer {
  bool ok = false;  // false: cancelled
  std::string path;
  // The panel values of the dialog asked for.
  uint16_t channelMask = 0;  // SmfLoad
  int timeBase = 24;         // SmfLoad: always 24
  int option = 0;            // Comment
  int tempoFactor = 2;       // Kz1Load
  int tempo = 200;           // VelkLoad
  int compress = 0;          // VelkLoad, SaveVelk
  int timeBaseMs = 0;        // SaveVelk
  int dvx = 0;               // SaveVelk
  int bitsPerSample = 0;     // SoundFile
  /// BankImport: the 20 choices, normal banks 0..9 then drum programs 1..10 (1 = take it).
  std::array<int, 20> bankChoices{};
};

class IFileChooser {
 public:
  virtual ~IFileChooser() = default;
  /// Runs the dialog of the request modally; its answer (ok false on Cancel).
  virtual FileAnswer Choose(const FileRequest& request) = 0;
};

/// The chooser of a run without a display: every request is cancelled at once.
class HeadlessFileChooser final : public IFileChooser {
 public:
  FileAnswer Choose(const FileRequest&) override { return {}; }
};

/// A chooser that answers from a script and keeps every request; Cancel once the script is
/// used up.
class ScriptedFileChooser final : public IFileChooser {
 public:
  void Answer(FileAnswer answer) { m_answers.push_back(std::move(answer)); }
  FileAnswer Choose(const FileRequest& request) override;
  const std::vector<FileRequest>& Requests() const { return m_requests; }

 private:
  std::deque<FileAnswer> m_answers;
  std::vector<FileRequest> m_requests;
};
