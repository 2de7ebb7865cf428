// The Voice Change dialog (template 2027: one voice slot's bank, program and note) and the
// Voice Index dialog (template 2026: which voice slot a channel uses).
#pragma once

#include <QDialog>
#include <optional>

#include "app/core/MessagePresenter.h"

class ISongViewHost;

/// What the Voice Change check sets in chip modes 3 and 5 for a bank: OK's state, and the
/// note fields' when the bank decides them. Nothing set in other chip modes.
struct VoiceChangeState {
  std::optional<bool> ok;
  std::optional<bool> noteEnabled;
};
VoiceChangeState VoiceChangeCheck(int chipMode, int bankMsb, int bankLsb);

/// The range of the Voice Index dialog's index by chip mode (1..8, 1..16 or 1..128).
struct VoiceIndexRange {
  int min = 1;
  int max = 128;
};
VoiceIndexRange VoiceIndexRangeFor(int chipMode);

/// Range texts through the host's messages (a plain box).
class HostMessagePresenter final : public IMessagePresenter {
 public:
  int Present(const std::string& text, unsigned style, int helpId) override;
};

class CVoiceChangeDlg : public QDialog {
 public:
  static constexpr int kTemplateId = 2027;
  enum : int { kBankMsb = 1935, kBankLsb = 1934, kProgram = 1941, kNote = 1939 };
  enum : int { kBankMsbSpin = 1937, kBankLsbSpin = 1938, kProgramSpin = 1942, kNoteSpin = 1940 };

  explicit CVoiceChangeDlg(ISongViewHost& host, QWidget* parent = nullptr);

  void SetVoiceSlot(int slot) { m_slot = slot; }
  int VoiceSlot() const { return m_slot; }
  unsigned BankMsb() const { return m_bankMsb; }
  unsigned BankLsb() const { return m_bankLsb; }
  unsigned Program() const { return m_program; }
  unsigned Note() const { return m_note; }

  /// Runs once, when the dialog is first shown.
  void OnInitDialog();
  /// EN_CHANGE of the four edits: only once OnInitDialog has finished and while shown.
  void OnChangeValue();
  void OnOK();
  void accept() override { OnOK(); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool ReadBack();
  void CheckValues();
  void EnableNote(bool enable);

  ISongViewHost& m_host;
  HostMessagePresenter m_presenter;
  int m_slot = -1;
  unsigned m_bankMsb = 0;
  unsigned m_bankLsb = 0;
  unsigned m_program = 0;
  unsigned m_note = 0;
  bool m_initDone = false;
};

class CVoiceIndexDlg : public QDialog {
 public:
  static constexpr int kTemplateId = 2026;
  enum : int { kIndexEdit = 1932, kIndexSpin = 1933 };

  explicit CVoiceIndexDlg(ISongViewHost& host, QWidget* parent = nullptr);

  void SetChannel(int channel) { m_channel = channel; }
  int Index() const { return m_index; }
  VoiceIndexRange Range() const { return m_range; }

  void OnInitDialog();
  void OnOK();
  void accept() override { OnOK(); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  ISongViewHost& m_host;
  HostMessagePresenter m_presenter;
  VoiceIndexRange m_range;
  int m_channel = 0;
  int m_index = 1;
  bool m_initDone = false;
};
