// A non-native file dialog with an option panel below its own controls, an accept gate and
// the framework's "file must exist" and "path must exist" checks.
#pragma once

#include <QFileDialog>
#include <functional>

class QPushButton;

namespace ui {

class FileDialogWithPanel : public QFileDialog {
 public:
  /// `filterText` is the framework's form ("Name (*.x)|*.x||"); `flags` its option flags.
  FileDialogWithPanel(QWidget* parent, bool open, const QString& defaultExtension,
                      const QString& fileName, unsigned flags, const QString& filterText);

  /// Places the panel below the dialog's own controls, across its whole width.
  void SetPanel(QWidget* panel);
  QWidget* Panel() const { return m_panel; }
  /// The Open or Save button.
  QPushButton* AcceptButton() const;
  /// While the gate says no, the accept button stays disabled and accepting is refused.
  void SetAcceptGate(std::function<bool()> gate);
  /// Applies the gate to the accept button now (the dialog's own updates run first).
  void UpdateAcceptButton();
  /// The Qt filters of a framework filter text.
  static QStringList QtFilters(const QString& filterText);

  void accept() override;

 private:
  QWidget* m_panel = nullptr;
  std::function<bool()> m_gate;
  unsigned m_flags = 0;
};

}  // namespace ui
