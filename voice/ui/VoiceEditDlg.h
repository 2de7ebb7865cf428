// "Voice Edit" (dialog 2029): the 2-operator voice of chip generation 1, on a song slot or on
// an entry of the voice library's tables, with a test keyboard for the serial board.
#pragma once

#include <QDialog>

#include "song/VoiceTable1.h"
#include "uikit/DialogTemplate.h"
#include "voice/models/Gen1VoiceEdit.h"

class COwnerDrawCombo;
class CTrillotApp;
class CVoiceLibrary;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;
class QSpinBox;

class CVoiceEditDlg : public QDialog {
 public:
  static constexpr int kTemplateId = 2029;
  enum : int {
    kVoiceNo = 2058, kVoiceSpin = 2121, kBank = 1943, kProgramList = 1945, kSlotNo = 1944, kName = 2057, kKeyboard = 1350,
    kFirstRangeBox = 1835, kFirstBasicRadio = 1892, kFirstLengthRadio = 1896, kLengthGroupPictureControl = 1917,
    kFirstKey = 1954
  };
  /// Slider ids of the modulator (AR, DR, RR, SL, TL, FL) and carrier (AR, DR, RR, SL, TL).
  static constexpr int kModSliders[6] = {2111, 2112, 2118, 2119, 2120, 2113};
  static constexpr int kCarSliders[5] = {2102, 2103, 2108, 2109, 2110};
  /// Check boxes VIB, EGT, SUS, WAVE of the modulator and the carrier.
  static constexpr int kModChecks[4] = {1952, 1950, 1951, 1953};
  static constexpr int kCarChecks[4] = {1948, 1946, 1947, 1949};
  static constexpr int kFirstMSlider = 2114;
  static constexpr int kFirstCSlider = 2104;

  /// `app` gives the serial board link and the library; null: no link, the registry's library.
  explicit CVoiceEditDlg(CTrillotApp* app, QWidget* parent = nullptr);

  void SetSlot(int slot) { m_slot = slot; }
  void SetVoice(int program, int bank) {
    m_program = program;
    m_bank = bank;
  }
  int OnInitDialog();
  /// Loads an entry into the controls; a nested call returns at once.
  void ShowVoice(int program, int bank);
  void StoreVoice();
  CVoiceTable1& GetVoiceTable(int bank);
  /// Runs the dialog modally: 1 OK, 2 Cancel.
  int DoModal();

  template <typename T>
  T* Control(int id) const {
    return ui::item<T>(this, id);
  }
  int GetOctave() const { return m_octave; }
  /// A test key 0..35: stores, then sends its sound to the board.
  void PlayKey(int key);

  /// OK: a voice number outside 0..127 shows the range text and keeps the dialog open; else
  /// stores, closes and refreshes the voice windows.
  void accept() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Build();
  QSlider* AddSlider(class QGridLayout* grid, int row, int column, int id, int textId, const QString& label, int lo,
                     int hi);
  Gen1VoiceFields FieldsFromControls() const;
  void ShowFields(const Gen1VoiceFields& f);
  void UpdateTexts();
  void UpdateKeys();
  /// The program list: 128 rows of number and name from the bank's table (the slot's voice
  /// in slot editing).
  void FillProgramList();
  /// Library editing: stores the voice shown, then shows the program of the bank.
  void SwitchVoice(int program, int bank);
  void EnableEditing(bool enable);
  int Entry() const;
  CVoiceLibrary* Library() const;

  CTrillotApp* m_app;
  int m_octave = 1;
  int m_program = 0;
  int m_bank = 0;
  int m_slot = -1;
  CVoiceTable1 m_work;
  bool m_built = false;
};
