// Builds the controls of a dialog template into a widget, named and addressable by id.
#pragma once

#include <functional>
#include <map>

#include "uikit/DialogTemplate.h"

class QGridLayout;

namespace ui {

class TemplateBuilder {
 public:
  /// Makes the control of a Custom row (or any row it wants to make itself); null for the default.
  using Factory = std::function<QWidget*(const ControlSpec&, QWidget* parent)>;

  /// Creates every control into a grid layout on `dialog`, names it "c<id>", hides the hidden
  /// ones and sets the caption. Returns the controls by id.
  static std::map<int, QWidget*> Build(QWidget* dialog, const DialogTemplate& tmpl, const Factory& factory = {});
  /// The default control of a row.
  static QWidget* Make(const ControlSpec& spec, QWidget* parent);
};

}  // namespace ui
