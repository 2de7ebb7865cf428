// The About box: chip mode, output profile, version line and the converter plug-ins of the
// current output profile with the version each reports.
#pragma once

#include <QDialog>

class QTreeWidget;

class CAboutDlg : public QDialog {
 public:
  static constexpr int kTemplateId = 2000;
  static constexpr int kKzMode = 1303;
  static constexpr int kContentsClass = 1299;
  static constexpr int kVersion = 1306;
  static constexpr int kEmulatorVersion = 1300;
  static constexpr int kPluginList = 1302;

  explicit CAboutDlg(QWidget* parent = nullptr);
  /// Fills the box from the settings and the plug-ins beside the program.
  void OnInitDialog();
  QTreeWidget* PluginList() const { return m_list; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SizeColumns();
  QTreeWidget* m_list = nullptr;
};
