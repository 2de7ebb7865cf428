#include "voice/models/BankChoice.h"

namespace {

bool IsPhraseProfile(int profile) { return profile == 4 || profile == 6; }

}  // namespace

void CBankChoice::Open(int outputProfile) {
  m_outputProfile = outputProfile;
  const int drumChecked = IsPhraseProfile(outputProfile) ? 9 : 8;
  for (int i = 0; i < kRowSize; ++i) {
    m_checked[i] = i < 9;
    m_checked[kRowSize + i] = i < drumChecked;
  }
  m_enabled.fill(true);
  Record();
  ApplyLimits();
}

int CBankChoice::RowLimit(int row) const {
  if (row == 0) return 9;
  return IsPhraseProfile(m_outputProfile) ? 9 : 8;
}

void CBankChoice::Click(int box, bool checked) {
  if (!InRange(box) || !m_enabled[box]) return;
  m_checked[box] = checked;
  Record();
  ApplyLimits();
}

void CBankChoice::Record() {
  for (int i = 0; i < kCount; ++i) m_choices[i] = m_checked[i] ? 1 : 0;
}

void CBankChoice::ApplyLimits() {
  for (int row = 0; row < 2; ++row) {
    const int first = row * kRowSize;
    int count = 0;
    for (int i = first; i < first + kRowSize; ++i) count += m_checked[i] ? 1 : 0;
    const bool full = count >= RowLimit(row);
    for (int i = first; i < first + kRowSize; ++i) {
      if (!m_checked[i]) m_enabled[i] = !full;
    }
  }
}
