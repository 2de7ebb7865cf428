#include "uikit/TemplateBuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <vector>

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

namespace {

/// A group box that spans more than its title row holds the controls of the cells it covers.
struct GroupArea {
  const ControlSpec* spec;
  QGroupBox* box;
  QGridLayout* grid;
  bool Covers(const ControlSpec& c) const {
    return &c != spec && c.row >= spec->row && c.row < spec->row + spec->rowSpan && c.column >= spec->column &&
           c.column < spec->column + spec->columnSpan;
  }
};

struct Placed {
  const ControlSpec* spec;
  QWidget* widget;
  QGridLayout* grid;  // the layout it went into
  int row, column;    // its cell there
};

/// An up-down control sits on the right edge of the edit before it, as one control: both go
/// into one cell with no gap between them.
void JoinUpDowns(std::vector<Placed>& placed) {
  for (size_t k = 1; k < placed.size(); ++k) {
    Placed& spin = placed[k];
    if (spin.spec->kind != ControlKind::UpDown) continue;
    Placed* buddy = nullptr;
    for (Placed& p : placed) {
      if (p.grid == spin.grid && p.row == spin.row && p.column + p.spec->columnSpan == spin.column &&
          (p.spec->kind == ControlKind::Edit || p.spec->kind == ControlKind::Custom))
        buddy = &p;
    }
    if (!buddy || buddy->spec->rowSpan != 1 || spin.spec->rowSpan != 1) continue;
    auto* pair = new QWidget(buddy->widget->parentWidget());
    auto* row = new QHBoxLayout(pair);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    spin.grid->removeWidget(buddy->widget);
    spin.grid->removeWidget(spin.widget);
    row->addWidget(buddy->widget, 1);
    row->addWidget(spin.widget, 0);
    // As high as its edit.
    spin.widget->setSizePolicy(spin.widget->sizePolicy().horizontalPolicy(), QSizePolicy::Ignored);
    spin.grid->addWidget(pair, buddy->row, buddy->column, 1, buddy->spec->columnSpan + spin.spec->columnSpan);
  }
}

}  // namespace

std::map<int, QWidget*> TemplateBuilder::Build(QWidget* dialog, const DialogTemplate& tmpl, const Factory& factory) {
  auto* grid = new QGridLayout(dialog);
  if (tmpl.captionKey) dialog->setWindowTitle(T(tmpl.captionKey));
  std::map<int, QWidget*> controls;
  std::vector<GroupArea> groups;
  std::vector<Placed> placed;
  for (const ControlSpec& spec : tmpl.controls) {
    const GroupArea* inside = nullptr;
    for (const GroupArea& g : groups)
      if (g.Covers(spec)) inside = &g;
    QWidget* parent = inside ? static_cast<QWidget*>(inside->box) : dialog;
    QWidget* w = factory ? factory(spec, parent) : nullptr;
    if (!w) w = Make(spec, parent);
    if (spec.id > 0) {
      w->setObjectName(ControlName(spec.id));
      controls[spec.id] = w;
    }
    if (inside) {
      // Rows and columns count from the group's own cell; its title row stays free.
      const int row = spec.row - inside->spec->row, column = spec.column - inside->spec->column;
      inside->grid->addWidget(w, row, column, spec.rowSpan, spec.columnSpan);
      placed.push_back({&spec, w, inside->grid, row, column});
    } else {
      grid->addWidget(w, spec.row, spec.column, spec.rowSpan, spec.columnSpan);
      placed.push_back({&spec, w, grid, spec.row, spec.column});
    }
    if (auto* box = qobject_cast<QGroupBox*>(w); box && spec.kind == ControlKind::Group && spec.rowSpan > 1) {
      groups.push_back({&spec, box, new QGridLayout(box)});
    }
    // Hidden controls are still read by their dialog: they exist, they are just not shown.
    if (spec.hidden) w->setVisible(false);
  }
  JoinUpDowns(placed);
  return controls;
}

}  // namespace ui
