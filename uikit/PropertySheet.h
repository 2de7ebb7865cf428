// A tabbed property sheet: pages that may refuse to be left, applied together on OK.
#pragma once

#include <QDialog>
#include <vector>

class QTabBar;
class QStackedWidget;
class QPushButton;

namespace ui {

class PropertyPage : public QWidget {
 public:
  explicit PropertyPage(QWidget* parent = nullptr) : QWidget(parent) {}
  virtual void OnSetActive() {}
  /// False keeps the page (its tab stays current).
  virtual bool OnKillActive() { return true; }
  /// False keeps the sheet open on this page.
  virtual bool OnApply() { return true; }
  virtual void OnOk() {}
  virtual void OnCancel() {}
};

class PropertySheet : public QDialog {
 public:
  explicit PropertySheet(const QString& caption, QWidget* parent = nullptr);
  ~PropertySheet() override;

  /// The sheet does not own pages until added; then they are its children.
  void AddPage(PropertyPage* page, const QString& title);
  int PageCount() const { return static_cast<int>(m_pages.size()); }
  PropertyPage* Page(int index) const { return m_pages.at(static_cast<size_t>(index)); }
  int ActiveIndex() const;
  /// Leaves the current page (it may refuse) and activates another; false when refused.
  bool SetActivePage(int index);

  /// The buttons: OK, Cancel and Apply (which applies and keeps the sheet open).
  void Ok();
  void Cancel();
  bool Apply();

  QTabBar* Tabs() const { return m_tabs; }
  QPushButton* OkButton() const { return m_ok; }
  QPushButton* CancelButton() const { return m_cancel; }
  QPushButton* ApplyButton() const { return m_apply; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void reject() override { Cancel(); }

 private:
  void OnTabChanged(int index);
  void Activate(int index);
  /// Applies every page shown so far; on a refusal shows that page and returns false.
  bool ApplyShown();

  QTabBar* m_tabs;
  QStackedWidget* m_stack;
  QPushButton* m_ok;
  QPushButton* m_cancel;
  QPushButton* m_apply;
  std::vector<PropertyPage*> m_pages;
  std::vector<bool> m_shown;
  int m_current = -1;
  bool m_reverting = false;
};

}  // namespace ui
