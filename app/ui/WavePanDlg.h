// The modal StreamPCM Wave Panpot dialog (template 2132): how a stream-PCM wave is panned.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string_view>

#include "views/VoiceDialogs.h"

class CValueEdit;
class QPushButton;

class CWavePanDlg : public QDialog {
 public:
  static constexpr int kTemplateId = 2132;
  enum : int { kPanpot = 2240, kClear = 2241, kPanOff = 2242, kPanEdit = 1399, kPanSpin = 2131 };
  enum : uint8_t { kModePanpot = 0, kModeClear = 1, kModePanOff = 2 };

  explicit CWavePanDlg(QWidget* parent = nullptr);

  /// A mode of 3 or more and a pan of 128 or more are ignored.
  void SetValues(int mode, int pan);
  uint8_t GetMode() const { return m_mode; }
  uint8_t GetPan() const { return m_pan; }

  /// Runs once, when the dialog is first shown: the mode's radio checked and focused, the pan
  /// edit and spin enabled for Panpot only.
  void OnInitDialog();
  void OnRadioClicked(int id);
  /// OK is enabled only while the pan text reads as 0..127.
  void OnChangePan();
  /// The checked radio's mode, then the pan from the edit (checked for 0..127).
  void OnOK();
  void accept() override { OnOK(); }

  /// A pan text OK accepts: not empty, decimal, 0..127.
  static bool PanTextAllowsOk(std::string_view text);

  CValueEdit* PanEdit() const { return m_edit; }
  QPushButton* OkButton() const { return m_ok; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void EnablePan(bool enable);

  HostMessagePresenter m_presenter;
  CValueEdit* m_edit = nullptr;
  QPushButton* m_ok = nullptr;
  uint8_t m_pan = 64;
  uint8_t m_mode = kModePanpot;
  bool m_initDone = false;
};

/// The dialog as the opener of app/core/WavePanOpener.h, owned by the active window.
void InstallWavePanOpener();
