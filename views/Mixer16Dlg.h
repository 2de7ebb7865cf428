// The 16-channel mixer of chip modes 2, 3 and 5: mute, solo, volume, the channel's voice, and
// the board's output levels while it plays.
#pragma once

#include "views/MixerBase.h"

class QLabel;

class CMixer16Dlg : public CMixerBase {
 public:
  static constexpr int kTemplateId = 2017;
  static constexpr const char* kClassName = "CMixer16Dlg";
  enum : int { kMeterL = 1787, kMeterR = 1788, kIndicator = 2189 };

  explicit CMixer16Dlg(ISongWindowHost& host, QWidget* parent = nullptr);

  void Refresh() override;
  void Apply() override;
  void EnableChannels(int enable) override;
  /// Any solo switch: the newest solo plays alone; releasing it unmutes every channel.
  void OnSolo();
  /// Shows a level 0..127 in a meter control, lit from the bottom.
  void DrawMeter(QLabel* meter, int value);
  int IndicatorPicture() const { return m_indicator; }
  QLabel* Meter(int id) const;

 private:
  void ShowLevels();
  int m_indicator = 2191;
};
