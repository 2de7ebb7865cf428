// What the FM and PCM pages of the voice editor share: their place in the sheet, the voice
// selection lists, the slider rows with their repeat buttons, the audition values and the
// keyboard picture.
#pragma once

#include <QString>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "uikit/DialogTemplate.h"
#include "uikit/PropertySheet.h"

class CKZxVoiceEditDlg;
class CPianoImageCtrl;
class CRepeatButton;
class COwnerDrawCombo;
class CVoiceItem;
class QCheckBox;
class QLineEdit;
class QSlider;
class QGridLayout;

class CVoiceEditPageBase : public ui::PropertyPage {
 public:
  // Ids shared by both pages.
  static constexpr int kBankMsbList = 1515, kBankMsbEdit = 1514, kBankLsbList = 1513, kBankLsbEdit = 1512;
  static constexpr int kPchList = 1615, kPchEdit = 1614, kVoiceNoList = 1689, kVoiceNoEdit = 1688;
  static constexpr int kNoteList = 1613, kNoteEdit = 1612, kNameEdit = 1687, kDrumKeyAssign = 2198;

  /// A slider row: slider, value edit, "<" and ">" buttons and the range.
  struct SliderRow {
    int slider;
    int edit;
    int down;
    int up;
    int min;
    int max;
  };

  /// The first three rows of both pages: bank, program, voice, note and name, with the song's
  /// voice number of the page (`songVoiceNo`) at their end.
  static std::vector<ui::ControlSpec> HeadControls(int songVoiceNo);
  /// Appends a slider row's five controls to a template at (row, column).
  static void AppendRow(std::vector<ui::ControlSpec>& controls, const char* label, int labelId, const SliderRow& r,
                        int row, int column);

  explicit CVoiceEditPageBase(CKZxVoiceEditDlg* sheet);
  ~CVoiceEditPageBase() override;

  /// The sheet's voices, the edit source and editable flag, and the shared audition values
  /// (`gt` may be null).
  void Init(CVoiceItem* reference, CVoiceItem* working, int editSource, int editable, uint8_t* mv, uint8_t* velocity,
            uint8_t* gt);

  void OnSetActive() final;
  bool OnKillActive() final;
  bool IsOpened() const { return m_opened; }
  int GetEditable() const { return m_editable; }
  CPianoImageCtrl* Keyboard() const { return m_keyboard; }

  /// A control by id.
  template <typename T>
  T* Item(int id) const {
    return ui::item<T>(this, id);
  }
  QSlider* Slider(int id) const;
  QLineEdit* Edit(int id) const;
  QCheckBox* Check(int id) const;
  COwnerDrawCombo* List(int id) const;
  CRepeatButton* Button(int id) const;
  const std::vector<SliderRow>& Rows() const { return m_rows; }
  const SliderRow* RowOfSlider(int slider) const;

  /// WM_USER+10: the button's slider one step, then the slider's handling.
  void OnRepeatStep(int buttonId);
  /// WM_USER+50: the key pressed on the keyboard picture.
  virtual void OnKeyDown(int note) = 0;

 protected:
  /// The page's dialog initialisation, run on its first activation in a running sheet.
  virtual void Open() = 0;
  virtual void Activate() = 0;
  virtual bool Deactivate() = 0;
  /// A slider moved (WM_HSCROLL).
  virtual void OnHScroll(int sliderId) = 0;
  /// Loads the voice into the controls.
  virtual void Load() = 0;
  virtual void FillLists() = 0;
  /// The page's own state for a voice just picked from the lists (both copies already hold it).
  virtual void ResetForPickedVoice() {}

  /// Builds the template's controls into the page; repeat buttons, lists and the tab bar come
  /// from the factory. The keyboard goes below the grid.
  void BuildTemplate(const ui::DialogTemplate& tmpl, const std::vector<SliderRow>& rows);

  void SetSliderRanges();
  void SetSlider(int id, int value);
  int SliderValue(int id) const;
  void SetText(int id, const QString& text);
  void SetText(int id, const std::string& text) { SetText(id, QString::fromStdString(text)); }
  void SetChecked(int id, bool checked);
  bool IsChecked(int id) const;
  void EnableControl(int id, bool enable);
  void EnableRow(const SliderRow& row, bool enable);
  void ShowRow(const SliderRow& row, int labelId, bool show);

  /// The MV, Velocity and GT rows: values from the shared bytes, handling of their sliders.
  void OpenAuditionValues(const SliderRow& mv, const SliderRow& vel, const SliderRow& gt);
  /// True when the slider is one of the three; handles it.
  bool HandleAuditionSlider(int sliderId, const SliderRow& mv, const SliderRow& vel, const SliderRow& gt);
  void CopyAuditionValues(const SliderRow& mv, const SliderRow& vel, const SliderRow& gt);
  void StoreEditorValues();
  void ShowAuditionTexts(const SliderRow& mv, const SliderRow& vel, const SliderRow& gt);
  int GateMs() const { return (m_gt ? *m_gt : 0) * 100; }

  /// The lists of the voice selection (all but "Wave ID"), the keyboard's fixed note and the
  /// sends at their end (bank, program, then the audition voice).
  void FillVoiceLists(const CVoiceItem& auditionVoice);
  /// The selection lists' enabling by edit source and voice kind.
  void EnableVoiceLists();
  /// Picks the voice the lists now select; false when none was taken.
  bool PickVoice(int listId, CVoiceItem& taken);
  /// The keyboard's fixed note: the drum note for MSB 125 unless "DrumKey Assign" is checked.
  void UpdateMarkedKey();
  /// The name edit: read-only unless the voice is editable.
  void EnableNameEdit();

  CKZxVoiceEditDlg* m_sheet;
  CVoiceItem* m_reference = nullptr;
  CVoiceItem* m_working = nullptr;
  int m_editSource = 2;
  int m_editable = 1;
  uint8_t* m_mv = nullptr;
  uint8_t* m_velocity = nullptr;
  uint8_t* m_gt = nullptr;
  int m_mvValue = 0;
  int m_velocityValue = 0;
  int m_gtValue = 0;
  bool m_opened = false;
  bool m_voiceSwitch = false;
  std::vector<SliderRow> m_rows;
  CPianoImageCtrl* m_keyboard = nullptr;
  QGridLayout* m_grid = nullptr;
};
