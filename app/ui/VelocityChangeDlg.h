// The modeless Velocity Change dialog (template 2493): scales the velocities of a channel, of
// the stream-PCM events or of the whole song by a percentage.
#pragma once

#include <QDialog>
#include <cstdint>

#include "uikit/ToolWindow.h"
#include "views/VoiceDialogs.h"

class CRateEdit;
class ISongViewHost;
class QComboBox;
class QPushButton;

class CVelocityChangeDlg : public QDialog, public ui::IToolWindow {
 public:
  static constexpr const char* kClassName = "CVelocityChangeDlg";
  static constexpr int kTemplateId = 2493;
  enum : int { kRateEdit = 2499, kRateSpin = 2438, kChannelCombo = 2506 };
  /// Channel codes: 0..15 a channel, then these.
  static constexpr uint8_t kStreamPcm = 16;
  static constexpr uint8_t kAll = 255;
  static constexpr int kRateMin = 50;
  static constexpr int kRateMax = 200;

  explicit CVelocityChangeDlg(ISongViewHost& host, QWidget* parent = nullptr);

  /// Rate 100, channel and applied channel 255, applied rate 100, list mode 0; controls refreshed.
  void ResetValues();
  void OnOK();
  void OnCancel();
  void OnChangeRate();
  void OnSelchangeChannel();
  /// One spin step: up raises the rate while it is 50..199, down lowers it while 51..200.
  void OnDeltaposSpin(int delta);

  int Rate() const { return m_rate; }
  uint8_t Channel() const { return m_channel; }
  uint8_t AppliedChannel() const { return m_appliedChannel; }
  int AppliedRate() const { return m_appliedRate; }
  uint8_t ListMode() const { return m_listMode; }
  int StmIndex() const { return m_stmIndex; }
  int AllIndex() const { return m_allIndex; }
  CRateEdit* RateEdit() const { return m_rateEdit; }
  QComboBox* ChannelList() const { return m_channelList; }
  QPushButton* OkButton() const { return m_ok; }

  // --- IToolWindow ---
  QWidget* Widget() override { return this; }
  std::string ClassName() const override { return kClassName; }
  void Reset() override { ResetValues(); }
  /// Stores the list mode and refills the channel list: "  1".."16", "STM" unless the mode is
  /// 2, "ALL".
  void SetChannelMode(int mode) override;
  void CloseWindow() override { hide(); }

  void accept() override { OnOK(); }
  void reject() override { OnCancel(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  /// The rate into the edit and the channel's entry selected.
  void ShowValues();
  /// The list index of a channel code; -1 when the list has no such entry.
  int IndexOfChannel(uint8_t channel) const;
  /// Enter by where the focus is: OK runs OK, the rate edit clamps and moves on, the channel
  /// list moves on, anything else cancels.
  void OnEnter();

  ISongViewHost& m_host;
  HostMessagePresenter m_presenter;
  CRateEdit* m_rateEdit = nullptr;
  QComboBox* m_channelList = nullptr;
  QPushButton* m_ok = nullptr;
  int m_rate = 100;
  uint8_t m_channel = kAll;
  uint8_t m_appliedChannel = kAll;
  int m_appliedRate = 100;
  uint8_t m_listMode = 0;
  int m_stmIndex = -1;
  int m_allIndex = -1;
};
