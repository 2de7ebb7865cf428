// The bank choices of the voice-bank import panel: ten normal banks and ten drum programs,
// with their row limits. The panel's check boxes only mirror this state.
#pragma once

#include <array>

class CBankChoice {
 public:
  static constexpr int kCount = 20;
  static constexpr int kRowSize = 10;

  /// The states the panel opens with, recorded as the choices, then the limits.
  void Open(int outputProfile);
  /// A click on box i (0..19) that leaves it checked or not: records every state and applies
  /// the limits. Out-of-range boxes and disabled ones are ignored.
  void Click(int box, bool checked);
  bool IsChecked(int box) const { return InRange(box) && m_checked[box]; }
  bool IsEnabled(int box) const { return InRange(box) && m_enabled[box]; }
  /// 1 for a checked choice; 0 for an unchecked one and for an index outside 0..19.
  int GetBankChoice(int index) const { return InRange(index) ? m_choices[index] : 0; }
  /// How many boxes of the row (0 "Normal", 1 "Drum") may be checked.
  int RowLimit(int row) const;

 private:
  static bool InRange(int box) { return box >= 0 && box < kCount; }
  void Record();
  void ApplyLimits();

  int m_outputProfile = 2;
  std::array<bool, kCount> m_checked{};
  std::array<bool, kCount> m_enabled{};
  std::array<int, kCount> m_choices{};
};
