// The FM page of the voice editor: the voice's common parameters, its 2 or 4 operators on
// tabs, the FM user waves 15, 23 and 31 and the audition values; every change is stored into
// the sheet's working voice and sent at once.
#pragma once

#include <functional>
#include <string>

#include "song/VoiceItem.h"
#include "voice/ui/VoiceEditPage.h"

class QTabBar;
class QLabel;

class CKZxVoiceEdit_PropertyPageFM : public CVoiceEditPageBase {
 public:
  // Control ids of template 2014 beyond the slider rows.
  static constexpr int kTabs = 1591, kAlgPicture = 1525, kWavePicture = 1610, kSongVoiceNo = 2303;
  static constexpr int kPanLeft = 1604, kPanRight = 1605, kBeforeChange = 1608, kPE = 1607;
  static constexpr int kXOF = 1600, kSUS = 1590, kKSR = 1572, kEAM = 1561, kEVB = 1563, kERB = 1562;
  static constexpr int kOpOff1 = 2319;  // ..2322
  static constexpr int kRange1 = 1529;  // ..1532
  static constexpr int kLoad15 = 1517, kClear15 = 1516, kLoad23 = 1519, kClear23 = 1518, kLoad31 = 1521, kClear31 = 1520;
  static constexpr int kMvLabel = 2300, kVelocityLabel = 2305;

  static const SliderRow kLFO, kPANPOT, kDrumKey, kALG, kMULTI, kDT, kAR, kDR, kSR, kRR, kSL, kTL, kKSL, kDAM, kDVB,
      kFB, kWS, kMV, kVelocity, kGT;

  /// Asks for a sound file to load as a user wave; empty when cancelled.
  using FileChooser = std::function<std::string()>;

  explicit CKZxVoiceEdit_PropertyPageFM(CKZxVoiceEditDlg* sheet);

  void SetFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }
  void OnKeyDown(int note) override;
  bool OnApply() override;
  void OnCancel() override;

  // The handlers of the page's buttons and menus.
  void OnBeforeChange();
  void OnOpOff(int op);
  void OnDrumKeyAssign();
  void LoadUserWave(int shape);
  void ClearUserWave(int shape);
  void CopyOperator();
  void PasteOperator();
  bool CanPasteOperator() const;

  QTabBar* Tabs() const;
  int SelectedOperator() const;
  /// The voice that is sent and auditioned: the reference while "before the change" is on.
  const CVoiceItem& AuditionVoice() const;
  const CVoiceItem& AuditionCopy() const { return m_audition; }
  /// Loads the voice, then stores every control into it (a control's change).
  void Store();

 protected:
  void Open() override;
  void Activate() override;
  bool Deactivate() override;
  void OnHScroll(int sliderId) override;
  void Load() override;
  void FillLists() override;
  void ResetForPickedVoice() override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Refresh();
  void Enable();
  void RefreshPictures();
  /// Tabs for the ALG's operator count; true when the selected tab moved to Operator1.
  void FollowAlgorithm();
  void LoadOperator();
  void ResetOperatorOff();
  bool UserWaveExists(int shape) const;
  bool Editable() const { return m_editSource == 1 || m_editSource == 2 ? m_editable != 0 : true; }
  void OnTabChanging(int from);
  void OnTabChanged(int index);
  void ShowTabMenu(const QPoint& at);
  void OnCheck(int id);

  CVoiceItem m_audition;
  bool m_opExists[4] = {true, true, false, false};
  bool m_opOff[4] = {false, false, false, false};
  bool m_inChange = false;
  bool m_tabRebuild = false;
  bool m_algGuard = false;
  bool m_loading = false;
  int m_currentTab = 0;
  FileChooser m_chooser;
};
