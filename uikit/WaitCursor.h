// The wait cursor for as long as the object lives.
#pragma once

#include <QApplication>

#include "platform/host/HostServices.h"

namespace ui {

class WaitCursor final : public platform::IUiToken {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() override { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace ui
