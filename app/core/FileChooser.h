// The file dialogs of the File commands as the commands see them: a request goes in, the
// chosen path and the values of the dialog's option panel come out.
#pragma once

#include <cstdint>
#include <string>

struct FileRequest {
  /// The option panel below the standard box.
  enum class Panel {
    None,       // the plain open or save dialog
    SmfLoad,    // channel check boxes (CSMFLoadDlg)
    VelkLoad,   // tempo and compression (CVELKLoadDlg)
    Kz1Load,    // tempo factor (CKZ1LoadDlg)
    Comment     // a one-line comment (CFileDialogPlusComment)
  };

  bool save = false;
  Panel panel = Panel::None;
  /// The default extension without its dot ("mmf").
  std::string defaultExtension;
  /// The filter in the string table's form, "Name (*.x)|*.x||".
  std::string filter;
  /// The starting folder; empty for the current one.
  std::string folder;
  /// Comment panel: the comment line.
  std::string comment;
  /// SmfLoad: how many channels may be ticked (4 in chip mode 1, else 16).
  int channelLimit = 16;
  /// VelkLoad: the chip mode (the Compress box shows in chip modes 3 and 5 only).
  int chipMode = 0;
};

struct FileChoice {
  std::string path;
  /// SmfLoad: bit n set when MIDI channel n + 1 is ticked.
  uint32_t channelMask = 0;
  /// SmfLoad: the time base (always 24 as the dialog is built).
  int timeBase = 24;
  /// VelkLoad.
  int tempo = 200;
  int compress = 0;
  /// Kz1Load: 1 or 2.
  int tempoFactor = 2;
  /// Comment panel: the Option box.
  int option = 0;
};

class IFileChooser {
 public:
  virtual ~IFileChooser() = default;
  /// Runs the dialog; false when the user cancels (the choice is then unchanged).
  virtual bool Choose(const FileRequest& request, FileChoice& choice) = 0;
};
