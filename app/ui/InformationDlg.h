// The two contents-information dialogs: the VELK one (template 2037) and the MFi one (2166).
// Both edit the song's contents information and write back only on OK.
#pragma once

#include <QDialog>
#include <QString>
#include <map>
#include <functional>
#include <string>

#include "app/core/InformationRules.h"

class CContentsInfo;

/// What both dialogs need of the program besides the record; the defaults reach the installed
/// application and its main frame.
struct InformationHost {
  /// Stores the remembered code type of the output profile.
  std::function<void(int)> rememberCodeType;
  /// False while the output device plays: OK is disabled then.
  std::function<bool()> deviceIdle;
  /// Marks the song modified.
  std::function<void()> setModified;
  static InformationHost Installed();
};

class CInformationDlg : public QDialog {
 public:
  static constexpr int kTemplateId = 2037;
  static constexpr int kChannelCondition = 1372;
  static constexpr int kContentsClass = 1373;
  static constexpr int kContentsType = 1374;
  static constexpr int kCodeType = 1375;
  static constexpr int kPhrase = 1446;

  /// `info` null: the song document's record.
  explicit CInformationDlg(QWidget* parent = nullptr, CContentsInfo* info = nullptr,
                           InformationHost host = InformationHost::Installed());
  /// Runs the dialog over the record; on OK the texts go back into it. The dialog's result.
  int DoModal();
  void OnInitDialog();
  void OnOK();
  /// A new Contents Class fills the Code Type list again.
  void OnSelchangeContentsClass();

  InformationTexts m_texts;
  /// The texts as the record held them when the dialog opened, and as the edits showed them.
  InformationTexts m_opened;
  std::map<int, QString> m_shown;

 private:
  void ExchangeTexts(bool toControls);
  void FillCodeTypes();
  CContentsInfo* m_info;
  InformationHost m_host;
  int m_profile;
  int m_remembered;
};

class CMFiInfoDlg : public QDialog {
 public:
  static constexpr int kTemplateId = 2166;
  static constexpr int kMfiVersion = 2167;
  static constexpr int kTitle = 2168;
  static constexpr int kManagement = 2171;
  static constexpr int kDateCreated = 2172;
  static constexpr int kDistribution = 2173;
  static constexpr int kCopyright = 2174;
  static constexpr int kCopyrightManager = 2175;
  static constexpr int kCodeType = 2494;
  static constexpr int kCodeTypeLabel = 2495;

  explicit CMFiInfoDlg(QWidget* parent = nullptr, CContentsInfo* info = nullptr,
                       InformationHost host = InformationHost::Installed());
  int DoModal();
  void OnInitDialog();
  void OnOK();

  MfiFields m_fields;

 private:
  CContentsInfo* m_info;
  InformationHost m_host;
  int m_profile;
  int m_makerId;
  int m_remembered;
};
