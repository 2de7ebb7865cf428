// The Transpose dialog: shifts the notes of one channel or all in a From..To range.
#pragma once

#include <QDialog>

#include "views/PositionFields.h"
#include "views/VoiceDialogs.h"

class ISongWindowHost;

class CTransposeDlg : public QDialog {
 public:
  static constexpr int kTemplateId = 2007;
  enum : int { kShift = 1931, kChannel = 1930, kFromMeasure = 1404, kToMeasure = 1413 };

  explicit CTransposeDlg(ISongWindowHost& host, QWidget* parent = nullptr);

  void OnInitDialog();
  bool DoDataExchange(bool save);
  void OnOK();
  /// The channel (-1 for "ALL") transposed by `semitones` over From..To; the document's result.
  int ReadFields(int semitones);
  /// A shift entry's semitones: the octave entries, else the text's leading integer.
  static int ShiftOf(const QString& text);
  void accept() override { OnOK(); }

  PositionFields& From() { return m_from; }
  PositionFields& To() { return m_to; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  ISongWindowHost& m_host;
  HostMessagePresenter m_presenter;
  PositionFields m_from{1404, 1405, 1406, 1407, 1408, 1409};
  PositionFields m_to{1413, 1414, 1415, 1410, 1411, 1412};
  bool m_initDone = false;
};
