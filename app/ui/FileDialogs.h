// The file dialogs with option panels: SMF import, comment, KZ-1 import, VELK open, save as
// VELK and sound file, each a non-native file dialog with its panel below.
#pragma once

#include <QString>

#include "app/core/FileChooser.h"
#include "app/core/FileDialogRules.h"
#include "uikit/DialogTemplate.h"
#include "uikit/FileDialogWithPanel.h"

/// The panel templates by id (2024, 2010, 2012, 2023, 2011, 2025).
const ui::DialogTemplate& FilePanelTemplate(int id);

/// A file dialog of the request's kind with the request's folder, name, flags and filter.
class CFileDialogBase : public ui::FileDialogWithPanel {
 public:
  CFileDialogBase(const FileRequest& request, QWidget* parent, int panelTemplate);
  /// The chosen path (empty before an accepted run).
  QString GetPathName() const;
  /// The panel control of an id.
  template <typename T>
  T* Control(int id) const {
    return ui::item<T>(Panel(), id);
  }
};

class CSMFLoadDlg : public CFileDialogBase {
 public:
  static constexpr int kTemplateId = 2024;
  static constexpr int kFirstChannelBox = 1334;
  static constexpr int kTimeBaseCombo = 1903;
  static constexpr int kTimeBaseLabel = 1904;
  CSMFLoadDlg(const FileRequest& request, QWidget* parent = nullptr);
  uint16_t GetChannelMask() const { return m_choice.GetChannelMask(); }
  int GetTimeBase() const { return m_timeBase; }

 private:
  void OnChannelClick(int n, bool ticked);
  void ShowChoice();
  SmfChannelChoice m_choice;
  int m_timeBase = 24;
};

class CFileDialogPlusComment : public CFileDialogBase {
 public:
  static constexpr int kTemplateId = 2010;
  static constexpr int kCommentEdit = 1456;
  static constexpr int kOptionBox = 1457;
  /// The request's option (nonzero offers the Option box), comment and alternative.
  CFileDialogPlusComment(const FileRequest& request, QWidget* parent = nullptr);
  int GetOption() const { return m_option; }

 private:
  QString m_comment;
  QString m_alternative;
  int m_option = 0;
};

class CKZ1LoadDlg : public CFileDialogBase {
 public:
  static constexpr int kTemplateId = 2012;
  static constexpr int kTempoCombo = 1460;
  CKZ1LoadDlg(const FileRequest& request, QWidget* parent = nullptr);
  int GetTempoFactor() const { return m_tempoFactor; }

 private:
  int m_tempoFactor = 2;
};

class CVELKLoadDlg : public CFileDialogBase {
 public:
  static constexpr int kTemplateId = 2023;
  static constexpr int kCompressBox = 1458;
  static constexpr int kTempoEdit = 1901;
  static constexpr int kTempoUpDown = 1902;
  /// The Compress box shows only when the request's chip mode is 3 or 5.
  CVELKLoadDlg(const FileRequest& request, QWidget* parent = nullptr);
  int GetTempo() const { return m_tempo; }
  int GetCompress() const { return m_compress; }

 private:
  int m_compress = 0;
  int m_tempo = 200;
  int m_chipMode = 3;
};

class CKZxSaveKZ3VELKFileDlg : public CFileDialogBase {
 public:
  static constexpr int kTemplateId = 2011;
  static constexpr int kTimeBaseCombo = 1459;
  static constexpr int kCompressBox = 1458;
  static constexpr int kDvxBox = 2437;
  CKZxSaveKZ3VELKFileDlg(const FileRequest& request, QWidget* parent = nullptr);
  /// Show commands (0 hides) and the first DVX state; for use before Show or exec.
  void SetCompressShow(int show);
  void SetDvxShow(int show);
  void SetDvx(int dvx);
  int GetTimebase() const { return SaveVelkTimeBaseOfCode(m_code); }
  int GetCompress() const { return m_compress; }
  int GetDvx() const { return m_dvx; }
  /// The time-base code the combo gave.
  int GetTimebaseCode() const { return m_code; }

 private:
  int m_compressShow = 8;
  int m_compressEnable = 1;
  int m_code = 2;
  int m_compress = 0;
  int m_dvxShow = 0;
  int m_dvx = 0;
};

class CKZxSounfFileDlg : public CFileDialogBase {
 public:
  static constexpr int kTemplateId = 2025;
  static constexpr int kAdpcmRadio = 1905;
  static constexpr int kPcmRadio = 1906;
  CKZxSounfFileDlg(const FileRequest& request, QWidget* parent = nullptr);
  int GetBitsPerSample() const { return m_bits; }

 private:
  int m_bits = 4;
};
