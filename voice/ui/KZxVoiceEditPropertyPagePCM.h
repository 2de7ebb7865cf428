// The PCM page of the voice editor: the voice's envelope and its wave (a RAM wave from a sound
// file, another voice's wave by id, or a ROM wave) with Fs, start offset, loop and end points
// and a picture of the wave.
#pragma once

#include <QImage>
#include <functional>
#include <string>

#include "voice/ui/VoiceEditPage.h"

class CKZxVoiceEdit_PropertyPagePCM : public CVoiceEditPageBase {
 public:
  static constexpr int kWaveList = 1690, kFormatEdit = 1684, kFsEdit = 1638, kFsSpin = 1639, kWaveName = 1683;
  static constexpr int kStartEdit = 1672, kStartSpin = 1673, kLpEdit = 1649, kLpSpin = 1650, kEpEdit = 1633,
                       kEpSpin = 1634;
  static constexpr int kLoopLabel = 2625, kEndLabel = 2626, kLoopValue = 2616, kEndValue = 2617;
  static constexpr int kPicture = 1682, kWaveButton = 1611, kSongVoiceNo = 2304, kPanLeft = 1655, kPanRight = 1656;
  static constexpr int kXOF = 1686, kERB = 1636, kSUS = 1676, kKSR = 1644, kEAM = 1632, kEVB = 1637, kPE = 1658,
                       kRM = 1659;
  static constexpr int kDvbLabel = 2568, kMvLabel = 2301, kVelocityLabel = 2306;

  static const SliderRow kLFO, kPANPOT, kAR, kDR, kSR, kRR, kSL, kTL, kKSL, kDAM, kDVB, kMV, kVelocity, kGT;

  /// The chosen sound file and its "Load Option" bits (4 or 8); an empty path when cancelled.
  struct SoundFileChoice {
    std::string path;
    int bits = 4;
  };
  using FileChooser = std::function<SoundFileChoice()>;

  explicit CKZxVoiceEdit_PropertyPagePCM(CKZxVoiceEditDlg* sheet);

  void SetFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }
  void OnKeyDown(int note) override;
  bool OnApply() override;
  void OnOk() override;
  void OnCancel() override;

  // Handlers.
  void OnWaveButton();
  void LoadWaveFile();
  void Detach();
  void OnRmChange();
  void OnWaveChoice();
  /// EN_CHANGE of Fs, LP, EP or the start offset with the typed text.
  void OnPointText(int editId, const std::string& text);
  /// One spin step: up raises.
  void OnSpin(int spinId, bool up);
  void OnFsLeave();
  void FillWaveList();
  void Store();

  /// The wave picture at `size`: background, centre line, columns, the LP and EP columns.
  QImage RenderWavePicture(QSize size) const;

 protected:
  void Open() override;
  void Activate() override;
  bool Deactivate() override;
  void OnHScroll(int sliderId) override;
  void Load() override;
  void FillLists() override;

 private:
  void Refresh();
  void Enable();
  /// Sends the voice: always while cancelling, else only with RM or wave data.
  void Send(const CVoiceItem& voice);
  void ReleaseWave(CVoiceItem& voice);
  int CountOtherUsers(const CVoiceItem& voice) const;
  bool HasWave() const;
  void FsCheckForChip();
  void ClearPoints();
  bool Editable() const { return m_editSource == 1 || m_editSource == 2 ? m_editable != 0 : true; }

  bool m_waveListFilled = false;
  bool m_inCancel = false;
  bool m_inDeactivation = false;
  FileChooser m_chooser;
};
