// The 4-channel mixer of chip mode 1: mute, solo and initial volume per channel.
#pragma once

#include "views/MixerBase.h"

class CMixerDlg : public CMixerBase {
 public:
  static constexpr int kTemplateId = 2016;
  static constexpr const char* kClassName = "CMixerDlg";

  explicit CMixerDlg(ISongWindowHost& host, QWidget* parent = nullptr);

  void Refresh() override;
  void Apply() override;
  void EnableChannels(int enable) override;
  /// Solo of channel c (0..3): exclusive; releasing it unmutes the others.
  void OnSolo(int c);
  /// Enter: every volume number at once; the dialog stays open.
  void OnOK();
  void accept() override { OnOK(); }
};
