// A song-view host for tests: a document of the test's, recorded refresh requests, and the
// play-position refresh and device state set by hand.
#pragma once

#include <QApplication>
#include <map>

#include "song/document/KZ1Doc.h"
#include "uikit/MdiFrame.h"
#include "views/SongViewHost.h"

class SongViewHostFake : public ISongViewHost, public ui::IFrameSlots {
 public:
  CKZ1Doc* Document() const override { return doc; }
  void UpdateSongWindows() override { ++songWindowUpdates; }
  int PlayPositionRefresh() const override { return positionRefresh; }
  uint32_t CurrentPlayPosition() const override { return positionMs; }
  int IsDeviceIdle() const override { return deviceIdle; }
  QFont InterfaceFont() const override { return QApplication::font(); }
  ui::IFrameSlots* FrameSlots() const override { return const_cast<SongViewHostFake*>(this); }
  void SetFrameSlot(const std::string& name, ui::MdiFrame* frame) override { frameSlots[name] = frame; }

  CKZ1Doc* doc = nullptr;
  int songWindowUpdates = 0;
  int positionRefresh = 0;
  uint32_t positionMs = 0;
  int deviceIdle = 1;
  std::map<std::string, ui::MdiFrame*> frameSlots;
};

namespace viewtest {

/// Appends an event of the given bytes to a list.
inline CMidiMsg& AddEvent(CKZ1Doc::EventList& list, uint32_t tick, uint32_t endTick,
                          std::initializer_list<uint8_t> bytes, uint32_t extra = 0) {
  std::vector<uint8_t> data(bytes);
  list.push_back(std::make_unique<CMidiMsg>(tick, endTick, static_cast<uint32_t>(data.size()), data.data(), extra));
  return *list.back();
}

}  // namespace viewtest
