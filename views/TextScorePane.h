// The text score window: one text of notation per channel tab in an edit box, with "R" to
// read the song into the texts and "F" to write the texts into the song.
#pragma once

#include <QWidget>
#include <array>

#include "uikit/CommandRouter.h"
#include "uikit/MdiFrame.h"

class QPlainTextEdit;
class QPushButton;
class QTabBar;
class ISongViewHost;

class CTextScorePane : public QWidget, public ui::ICommandTarget {
 public:
  static constexpr int kEditId = 1923;
  static constexpr int kFillId = 2100;  // "F"
  static constexpr int kReadId = 2101;  // "R"
  static constexpr int kTabStripId = 2124;
  static constexpr int kCopyId = 57634;
  static constexpr int kPasteId = 57637;

  explicit CTextScorePane(ISongViewHost& host, QWidget* parent = nullptr);

  /// "R", "F", Copy and Paste; other commands pass on.
  bool OnCommand(int id) override;
  bool HandlesCommand(int id) const override;
  /// The main frame's device-idle state: both buttons follow it.
  void EnableControls(int enable);
  void OnEditCopy();
  void OnEditPaste();

  /// The stored text of a tab (the current tab's is stored on leaving it and by "F").
  QString Text(int tab) const { return m_texts[static_cast<size_t>(tab)]; }
  int CurrentTab() const { return m_currentTab; }
  QTabBar* TabStrip() const { return m_tabs; }
  QPlainTextEdit* Edit() const { return m_edit; }
  QPushButton* Button(int id) const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void OnRead();
  void OnFill();
  void OnSelchangeTab(int tab);

  ISongViewHost& m_host;
  QPlainTextEdit* m_edit = nullptr;
  QPushButton* m_fill = nullptr;
  QPushButton* m_read = nullptr;
  QTabBar* m_tabs = nullptr;
  std::array<QString, 4> m_texts;
  int m_currentTab = 0;
};

/// The text score's MDI child frame on resource 1004 (no menu of its own).
class CKZ1TextScoreFrm : public ui::MdiFrame, public ui::ICommandTarget {
 public:
  static constexpr const char* kClassName = "CKZ1TextScoreFrm";

  explicit CKZ1TextScoreFrm(ISongViewHost& host, QWidget* parent = nullptr);
  ~CKZ1TextScoreFrm() override;

  CTextScorePane* Pane() const { return m_pane; }
  /// Commands go to the pane first.
  bool OnCommand(int id) override { return m_pane && m_pane->OnCommand(id); }
  bool HandlesCommand(int id) const override { return m_pane && m_pane->HandlesCommand(id); }

 private:
  CTextScorePane* m_pane = nullptr;
};
