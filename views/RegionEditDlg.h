// The region edit dialog of Duplicate/Move (mode 1) and Erase (mode 3): source channel,
// From..To, and for duplication a target channel and position.
#pragma once

#include <QDialog>
#include <cstdint>

#include "views/PositionFields.h"
#include "views/VoiceDialogs.h"

class ISongViewHost;

class CRegionEditDlg : public QDialog {
 public:
  static constexpr int kTemplateId = 2008;
  enum : int { kTargetChannel = 1416, kSourceChannel = 1403, kOption = 1402, kToMeasure = 1413 };
  enum Mode { kDuplicate = 1, kErase = 3 };

  explicit CRegionEditDlg(ISongViewHost& host, QWidget* parent = nullptr);

  int SetMode(int mode);
  int Mode() const { return m_mode; }
  /// 0 From, 1 To, 2 the target position.
  uint32_t GetPosition(int k) const;
  int GetSourceChannel() const { return m_sourceChannel; }
  int GetTargetChannel() const { return m_targetChannel; }
  /// The option, except 0 when erasing a single channel.
  int GetOption() const;

  void OnInitDialog();
  void OnSelchangeSourceChannel();
  bool DoDataExchange(bool save);
  void OnOK();
  /// Reads the channels back as the dialog closes.
  void ReadBack();
  void accept() override { OnOK(); }

  PositionFields& From() { return m_from; }
  PositionFields& To() { return m_to; }
  PositionFields& Target() { return m_target; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool SourceIsAll() const;

  ISongViewHost& m_host;
  HostMessagePresenter m_presenter;
  PositionFields m_from{1404, 1405, 1406, 1407, 1408, 1409};
  PositionFields m_to{1413, 1414, 1415, 1410, 1411, 1412};
  PositionFields m_target{1417, 1418, 1419, 1420, 1421, 1422};
  int m_option = 0;
  int m_targetChannel = -1;
  int m_sourceChannel = -1;
  int m_mode = kDuplicate;
  bool m_initDone = false;
};
