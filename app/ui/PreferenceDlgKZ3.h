// The Preference dialog of chip modes 3 and 5 (template 2022).
#pragma once

#include <QDialog>
#include <array>
#include <exception>
#include <string>

#include "app/core/PreferenceCommit.h"

class CTrillotApp;
class IFileChooser;

class CPreferenceDlgKZ3 : public QDialog {
 public:
  static constexpr int kTemplateId = 2022;
  static constexpr int kModeSetting = 1884;
  static constexpr int kOutputFormat = 1886;
  static constexpr int kReserve = 2139;
  static constexpr int kReserveLabel = 2545;
  static constexpr int kWidth = 2196;
  static constexpr int kCompress = 1879;
  static constexpr int kForm = 1888;
  static constexpr int kPort = 1885;
  static constexpr int kBlinkLed = 2135;
  static constexpr int kBlinkMtr = 2136;
  static constexpr int kChipMode = 1881;
  static constexpr int kContentsGroup = 2211;
  /// Copy row: edit, save, copy; then the Edit row.
  static constexpr int kCopyEdit = 2205, kCopySave = 2206, kCopyCopy = 2207;
  static constexpr int kEditEdit = 2208, kEditSave = 2209, kEditCopy = 2210;
  static constexpr int kPch0 = 2140, kPch1 = 2141, kNoteA3 = 2313, kNoteA4 = 2314;
  static constexpr int kFolderEdits[4] = {2158, 2159, 2160, 2161};
  static constexpr int kFolderButtons[4] = {2162, 2163, 2164, 2165};

  /// `chooser` answers the folder browser (null: the buttons do nothing).
  CPreferenceDlgKZ3(CTrillotApp& app, IFileChooser* chooser, QWidget* parent = nullptr);
  /// Runs the dialog: 1 on OK, 0 on Cancel. What OnOK threw is thrown again here, once the
  /// dialog's loop has ended (nothing may be thrown through the event loop).
  int DoModal();
  void OnInitDialog();
  /// Writes and applies the settings; stays open when the board port cannot be opened. A second
  /// failure to load default voices throws out of it.
  void OnOK();
  void OnSelchangeForm();
  void OnSelchangeOutputFormat();
  void OnSelchangeModeSetting();
  /// The folder browser of folder i (0 input .. 3 voice files).
  void OnBrowse(int i);
  /// Leaving folder edit i copies its text into the member.
  void OnKillFocusFolder(int i);

  std::array<std::string, 4> m_folders;
  std::array<uint32_t, 6> m_checks{};

 private:
  PreferenceValues ReadControls();
  CTrillotApp& m_app;
  IFileChooser* m_chooser;
  std::exception_ptr m_failure;
};
