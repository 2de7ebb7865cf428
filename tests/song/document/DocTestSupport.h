// Shared set-up of the song document tests: a fake host with a chosen chip mode and events.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "platform/host/testing/FakeHost.h"
#include "song/document/KZ1Doc.h"

namespace doctest {

/// Appends an event of the given bytes to a list.
inline CMidiMsg& AddEvent(CKZ1Doc::EventList& list, uint32_t tick, uint32_t endTick,
                          std::initializer_list<uint8_t> bytes, uint32_t extra = 0) {
  std::vector<uint8_t> data(bytes);
  list.push_back(std::make_unique<CMidiMsg>(tick, endTick, static_cast<uint32_t>(data.size()),
                                            data.data(), extra));
  return *list.back();
}

inline std::vector<uint8_t> Bytes(const CMidiMsg& m) {
  return std::vector<uint8_t>(m.GetData(), m.GetData() + m.GetLength());
}

/// A fake host and a document made for a chosen chip mode.
class DocTest : public ::testing::Test {
 protected:
  /// A fresh document for the chip mode, as a song after a load: refresh not suppressed.
  CKZ1Doc& Make(int chipMode) {
    host.settings.chipMode = chipMode;
    doc = std::make_unique<CKZ1Doc>();
    doc->SetRefreshSuppress(0);
    return *doc;
  }

  platform::FakeHost host;
  std::unique_ptr<CKZ1Doc> doc;
};

}  // namespace doctest
