// The Channel Status dialog: the LED and VS flags of the 16 channels.
#pragma once

#include <QDialog>

class ISongWindowHost;

class CChannelStatusDlg : public QDialog {
 public:
  static constexpr int kTemplateId = 2243;
  static constexpr int kFirstLed = 2244;
  static constexpr int kFirstVs = 2260;

  explicit CChannelStatusDlg(ISongWindowHost& host, QWidget* parent = nullptr);

  void OnInitDialog();
  /// Writes each enabled box that differs from the song; refreshes only after a write.
  void OnOK();
  void accept() override { OnOK(); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  ISongWindowHost& m_host;
  bool m_initDone = false;
};
