// The measure:beat:tick fields the region bar and the region and transpose dialogs share.
#pragma once

#include <cstdint>

#include "views/ChannelGeometry.h"

class QWidget;

namespace ui {
class DataExchange;
}

/// One position's three fields and the ids of their edits and spins.
struct PositionFields {
  int measureId = 0;
  int beatId = 0;
  int tickId = 0;
  int measureSpinId = 0;
  int beatSpinId = 0;
  int tickSpinId = 0;
  int measure = 1;
  int beat = 1;
  int tick = 0;

  uint32_t Tick() const { return TickOfPosition(measure, beat, tick); }
  void Reset() {
    measure = 1;
    beat = 1;
    tick = 0;
  }
  /// Spins paired with their edits, ranges 1..999, 1..5 and 0..23.
  void Attach(QWidget* root) const;
  /// Only the tick spin's range again.
  void ResetTickRange(QWidget* root) const;
  /// Exchanges and checks the three values (the framework's range message on failure).
  void Exchange(ui::DataExchange& dx);
};
