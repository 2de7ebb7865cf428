#include "views/PositionFields.h"

#include <QLineEdit>

#include "uikit/DataExchange.h"
#include "uikit/DialogTemplate.h"
#include "uikit/UpDownControl.h"

namespace {

void Pair(QWidget* root, int editId, int spinId, int min, int max) {
  auto* edit = ui::item<QLineEdit>(root, editId);
  auto* spin = ui::item<ui::UpDownControl>(root, spinId);
  if (!edit || !spin) return;
  spin->setRange(min, max);
  QObject::connect(spin, &QSpinBox::valueChanged, edit, [edit](int v) { edit->setText(QString::number(v)); });
  QObject::connect(edit, &QLineEdit::textChanged, spin, [spin](const QString& text) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    const QSignalBlocker block(spin);
    if (ok) spin->setValue(v);
  });
}

}  // namespace

void PositionFields::Attach(QWidget* root) const {
  Pair(root, measureId, measureSpinId, 1, 999);
  Pair(root, beatId, beatSpinId, 1, 5);
  Pair(root, tickId, tickSpinId, 0, 23);
}

void PositionFields::ResetTickRange(QWidget* root) const {
  if (auto* spin = ui::item<ui::UpDownControl>(root, tickSpinId)) spin->setRange(0, 23);
}

void PositionFields::Exchange(ui::DataExchange& dx) {
  dx.IntValue(measureId, measure);
  dx.MinMaxInt(measureId, measure, 1, 999);
  dx.IntValue(beatId, beat);
  dx.MinMaxInt(beatId, beat, 1, 5);
  dx.IntValue(tickId, tick);
  dx.MinMaxInt(tickId, tick, 0, 23);
}
