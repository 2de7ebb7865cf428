// The region bar at the top of the song window: From and To positions that set the song's
// play region, and the buttons that open the piano roll, event list and text score.
#pragma once

#include <QWidget>

#include "views/PositionFields.h"
#include "views/VoiceDialogs.h"

class CChannelView;

class CRegionBarDlg : public QWidget {
 public:
  static constexpr int kTemplateId = 2005;
  enum : int {
    kPianoRoll = 1364, kEventList = 1359, kTextScore = 1366, kSet = 1365, kOk = 1, kNg = 2,
    kFromMeasure = 1360, kToMeasure = 1361, kFromBeat = 1355, kToBeat = 1356, kFromTick = 1367, kToTick = 1368
  };

  CRegionBarDlg(CChannelView& owner, QWidget* parent);

  void OnInitDialog();
  /// false when a value is out of its range (the range message was shown).
  bool DoDataExchange(bool save);
  void OnSet();
  void OnOK() { OnSet(); }
  void OnCancel();
  void OnPianoRoll();
  void OnEventList();
  void OnTextScore();
  /// "Set" follows whether the device is idle.
  void UpdateSetButton();
  /// The tick spins' range 0..23 again (the pane's refresh).
  void ResetTickRanges();

  PositionFields& From() { return m_from; }
  PositionFields& To() { return m_to; }

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OpenView(const char* className, int resourceId, bool applyRegion);

  CChannelView& m_owner;
  HostMessagePresenter m_presenter;
  PositionFields m_from{kFromMeasure, kFromBeat, kFromTick, 1362, 1357, 1369};
  PositionFields m_to{kToMeasure, kToBeat, kToTick, 1363, 1358, 1370};
};
