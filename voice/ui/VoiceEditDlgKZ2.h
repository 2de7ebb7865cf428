// "Voice Edit" (dialog 2031): a generation-2 FM voice of 2 or 4 operators, on a song slot or
// on a voice of the library, one tab per operator.
#pragma once

#include <QDialog>

#include "uikit/DialogTemplate.h"
#include "views/VoiceDialogs.h"
#include "voice/models/Gen2VoiceEdit.h"

class CKZ1Doc;
class CVoiceLibrary;
class QGridLayout;
class QSlider;
class QTabBar;
namespace ui {
class DataExchange;
}

class CVoiceEditDlgKZ2 : public QDialog {
 public:
  static constexpr int kTemplateId = 2031;
  enum : int {
    kBank = 1462, kProgram = 1465, kVoiceNo = 1509, kVoiceNoSpin = 1510, kName = 1508,
    kLfoText = 1493, kLfo = 1494, kFbText = 1488, kFb = 1489, kFirstBo = 1475,
    kTwoOp = 1467, kFourOp = 1468, kAlg = 1471, kAlgPicture = 1470, kTabs = 1464,
    kMultiText = 1495, kMulti = 1496, kRrText = 1497, kRr = 1498, kDrText = 1483, kDr = 1484,
    kArText = 1473, kAr = 1474, kSlText = 1499, kSl = 1500, kTlText = 1502, kTl = 1503,
    kKslText = 1490, kKsl = 1491, kDvbText = 1485, kDvb = 1486, kDamText = 1481, kDam = 1482,
    kWsText = 1505, kWs = 1507, kWsPicture = 1506,
    kVib = 1504, kEgt = 1487, kSus = 1501, kKsr = 1492, kAm = 1472
  };

  /// `library` null: the registry's library. The song is the registry's document.
  explicit CVoiceEditDlgKZ2(QWidget* parent = nullptr, CVoiceLibrary* library = nullptr);

  /// Source 0: the song's voice of the slot.
  void Init(int slot);
  /// Source 1: the library's voice of the address; `editable` 0 greys every control.
  void InitFromLibrary(int bank, int program, int editable);
  int OnInitDialog();
  /// 0 shows the current operator in the controls; 1 stores the controls into the work
  /// record. 0 when a typed value was refused (nothing stored), else 1.
  int ExchangeOperator(int save);
  /// Runs the dialog modally: 1 OK, 2 Cancel.
  int DoModal();

  /// OK: stores and writes the work record to its source; stays open when storing fails.
  void accept() override;

  template <typename T>
  T* Control(int id) const {
    return ui::item<T>(this, id);
  }
  /// The operator of the current tab, 1..4.
  int CurrentOperator() const;
  const CGen2VoiceEdit& Model() const { return m_model; }

 private:
  void Build();
  QWidget* BuildOperator();
  QSlider* AddSlider(QGridLayout* grid, int row, int column, int id, int textId, const char* label, int hi);
  Gen2VoiceFields FieldsFromControls(ui::DataExchange& dx) const;
  void ShowFields(const Gen2VoiceFields& f);
  void UpdateTexts();
  void OnSliderMoved();
  /// Whether bank, program and voice number would pass the exchange's checks.
  bool NumbersValid() const;
  void OnTabChanged(int index);
  void OnOperatorCount(int count);
  void SetTabCount(int count);
  void GreyAll();
  /// A library voice goes to the typed address: OK is greyed while that is a fixed bank.
  void OnBankTyped();
  CVoiceLibrary* Library() const;
  static CKZ1Doc* Document();

  CGen2VoiceEdit m_model;
  CVoiceLibrary* m_library;
  HostMessagePresenter m_presenter;
  QTabBar* m_tabs = nullptr;
  int m_shownTab = 0;
  bool m_showing = false;
  bool m_built = false;
};

/// The chip-mode-2 voice list's double-click: the dialog on the library's voice at bank and
/// program, greyed for a fixed bank (0, 1, 128, 129). 1 on OK (the voice is then stored).
int OpenGen2LibraryVoiceDialog(QWidget* parent, CVoiceLibrary& library, int bank, int program);
/// The dialog on a song voice slot (the song window's and the map's chip-mode-2 openers).
/// 1 on OK.
int OpenGen2SlotVoiceDialog(QWidget* parent, int slot);
