#include "uikit/TemplateBuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include "uikit/UiText.h"
#include "uikit/UpDownControl.h"

namespace ui {

QWidget* TemplateBuilder::Make(const ControlSpec& spec, QWidget* parent) {
  const QString label = spec.labelKey ? T(spec.labelKey) : QString();
  switch (spec.kind) {
    case ControlKind::Label: return new QLabel(label, parent);
    case ControlKind::Edit: return new QLineEdit(parent);
    case ControlKind::Button: return new QPushButton(label, parent);
    case ControlKind::Check: return new QCheckBox(label, parent);
    case ControlKind::Radio: return new QRadioButton(label, parent);
    case ControlKind::Group: return new QGroupBox(label, parent);
    case ControlKind::Combo: return new QComboBox(parent);
    case ControlKind::ComboEdit: {
      auto* combo = new QComboBox(parent);
      combo->setEditable(true);
      return combo;
    }
    case ControlKind::List: return new QListWidget(parent);
    case ControlKind::Slider: return new QSlider(Qt::Horizontal, parent);
    case ControlKind::UpDown: return new UpDownControl(parent);
    case ControlKind::Picture: {
      auto* picture = new QLabel(parent);
      picture->setAlignment(Qt::AlignCenter);
      return picture;
    }
    case ControlKind::Custom: return new QWidget(parent);
  }
  return new QWidget(parent);
}

std::map<int, QWidget*> TemplateBuilder::Build(QWidget* dialog, const DialogTemplate& tmpl, const Factory& factory) {
  auto* grid = new QGridLayout(dialog);
  if (tmpl.captionKey) dialog->setWindowTitle(T(tmpl.captionKey));
  std::map<int, QWidget*> controls;
  for (const ControlSpec& spec : tmpl.controls) {
    QWidget* w = factory ? factory(spec, dialog) : nullptr;
    if (!w) w = Make(spec, dialog);
    if (spec.id > 0) {
      w->setObjectName(ControlName(spec.id));
      controls[spec.id] = w;
    }
    grid->addWidget(w, spec.row, spec.column, spec.rowSpan, spec.columnSpan);
    // Hidden controls are still read by their dialog: they exist, they are just not shown.
    if (spec.hidden) w->setVisible(false);
  }
  return controls;
}

}  // namespace ui
