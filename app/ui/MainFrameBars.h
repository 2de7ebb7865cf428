// The main window's bars and panes as widgets: the dialog-bar templates, the owner-drawn status
// pane and the report bar.
#pragma once

#include <QColor>
#include <QLineEdit>
#include <QWidget>

#include "uikit/DialogTemplate.h"

namespace mainframe {

/// Templates 2006 (control bar), 2529 (report bar) and 2554 (volume bar), one row each.
const ui::DialogTemplate& ControlBarTemplate();
const ui::DialogTemplate& ReportBarTemplate();
const ui::DialogTemplate& VolumeBarTemplate();

/// Registers the toolbar strips and the transport icons with the picture store.
void RegisterMainFramePictures();

/// The colour of the toolbar strips that shows the toolbar through (the buttons are not square).
inline const QColor kToolbarMaskColour{255, 0, 255};

}  // namespace mainframe

/// A status pane of fixed width: its rectangle shrunk by 1 is filled with its background and the
/// text drawn at 1 pixel inside, in black.
class StatusPane final : public QWidget {
 public:
  StatusPane(int id, int width, QWidget* parent);
  void SetText(const QString& text);
  const QString& Text() const { return m_text; }
  /// Red (192, 0, 0) or the button face.
  void SetRed(bool red);
  bool IsRed() const { return m_red; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString m_text;
  bool m_red = false;
  int m_width;
};

/// The report bar (template 2529): the RAM-size line turns red while warned.
class CReportBar final : public QWidget {
 public:
  explicit CReportBar(QWidget* parent = nullptr);
  /// Nonzero: the warning colour 192 for line 2528; zero: the button face.
  void SetWarning(int flag);
  /// The colour value the RAM-size line is drawn on (0x00BBGGRR; 192 while warned).
  uint32_t CurrentColor() const { return m_color; }
  /// The background brush of a control: the warning colour for 2528 while warned, else the
  /// framework's (button face).
  QColor OnCtlColor(int controlId) const;
  QLineEdit* Line(int id) const;

 private:
  void ApplyColors();
  uint32_t m_color;
};
