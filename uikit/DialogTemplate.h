// A dialog template as a table: the controls of a dialog with their ids, kinds and places.
#pragma once

#include <QString>
#include <QWidget>
#include <vector>

namespace ui {

enum class ControlKind {
  Label,     // static text
  Edit,      // single-line edit
  Button,    // push button
  Check,     // check box
  Radio,     // radio button
  Group,     // group box; spanning more than one row, it holds the controls of the cells it covers
  Combo,     // drop-down list
  ComboEdit, // drop-down with an edit part
  List,      // list box
  Slider,    // track bar
  UpDown,    // up-down control, joined to the right edge of the edit in the cell before it
  Picture,   // picture control
  Custom,    // made by the dialog's own factory
};

struct ControlSpec {
  int id = 0;  // 0 or below: a static nobody addresses
  ControlKind kind = ControlKind::Label;
  const char* labelKey = nullptr;  // string-table key of the label, if any
  int row = 0;
  int column = 0;
  bool hidden = false;
  int rowSpan = 1;
  int columnSpan = 1;
};

struct DialogTemplate {
  int id = 0;
  const char* captionKey = nullptr;
  std::vector<ControlSpec> controls;
};

/// The object name of a control: "c" and its id.
inline QString ControlName(int id) { return QStringLiteral("c%1").arg(id); }

/// A control of a built dialog by id, as the type the caller expects; null when absent.
template <typename T>
T* item(const QWidget* root, int id) {
  return root ? root->findChild<T*>(ControlName(id)) : nullptr;
}

}  // namespace ui
