// The control bar's play-position edit: minutes, seconds and milliseconds, applied on Enter.
#pragma once

#include "app/ui/CommitOnEnterEdit.h"
#include <cstdint>
#include <functional>

class IOutputEngine;

class CTimeEdit : public CommitOnEnterEdit {
 public:
  /// The main frame's output engine (CMainFrame::GetBoardDevice); null when there is none.
  using BoardDevice = std::function<IOutputEngine*()>;

  explicit CTimeEdit(QWidget* parent = nullptr) : CommitOnEnterEdit(parent) {}

  void SetBoardDevice(BoardDevice device) { m_device = std::move(device); }

  /// Shows the shared play position (the argument is that same value) as "01 . 02 . 300".
  int ShowPlayPosition(uint32_t position);
  /// 0 and nothing changed when lower is above upper; else stores both and clears the range.
  int SetRange(uint32_t lower, uint32_t upper);
  bool IsRangeSet() const { return m_committedFlag; }
  /// The committed position minus the lower bound; 0 without a committed range.
  uint32_t GetSpan() const;
  int Clear();
  /// Applies the typed position: 1 when applied, 0 when refused.
  int Commit();

  uint32_t Lower() const { return m_lower; }
  uint32_t Upper() const { return m_upper; }
  uint32_t CommittedPosition() const { return m_committedPos; }

 protected:
  bool AcceptsText(const std::string& text) const override;
  /// Commits; the Enter key then goes its normal way whatever the result.
  void OnEnter(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  uint32_t m_upper = 0;
  uint32_t m_lower = 0;
  bool m_committedFlag = false;
  uint32_t m_committedPos = 0;
  BoardDevice m_device;
};
