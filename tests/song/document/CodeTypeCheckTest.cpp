// Whether an imported song's contents information fits the output profile.
#include <gtest/gtest.h>

#include "platform/host/testing/FakeHost.h"
#include "song/document/KZ1Doc.h"
#include "song/midilist/MidiList.h"

namespace {

struct Row {
  const char* name;
  int chip;
  int profile;
  int maker;
  uint8_t cls, type, code, text;
  int want;
  uint8_t wantText;
  bool message;
};

TEST(CheckCodeType, TableByProfile) {
  const Row rows[] = {
      {"p2 fits, '#' stays", 3, 2, 1, 0, 50, 1, '#', 1, '#', false},
      {"p2 keeps 2", 3, 2, 1, 0, 51, 1, 2, 1, 2, false},
      {"p2 replaces 5", 3, 2, 1, 0, 50, 1, 5, 1, 9, true},
      {"p2 class 1", 3, 2, 1, 1, 50, 1, 0, 0, 0, false},
      {"p2 type 52", 3, 2, 1, 0, 52, 1, 0, 0, 0, false},
      {"p2 code type 0", 3, 2, 1, 0, 50, 0, 0, 0, 0, false},
      {"p3 turns 3 into 128", 3, 3, 1, 1, 50, 1, 3, 1, 128, false},
      {"p3 keeps 128", 3, 3, 1, 0, 51, 1, 128, 1, 128, false},
      {"p3 clears 9", 3, 3, 1, 0, 51, 1, 9, 1, 0, true},
      {"p3 class 2", 3, 3, 1, 2, 51, 1, 0, 0, 0, false},
      {"p4 type 50", 3, 4, 1, 0, 50, 1, 0, 0, 0, false},
      {"p4 type 240", 3, 4, 1, 0, 240, 0, 1, 1, 1, false},
      {"p8 class 2", 5, 8, 1, 2, 50, 1, 0, 1, 0, false},
      {"p8 class 1", 5, 8, 1, 1, 50, 1, 0, 0, 0, false},
      {"p5 anything", 3, 5, 1, 7, 9, 9, 77, 1, 77, false},
      {"p6 anything", 3, 6, 1, 7, 9, 9, 77, 1, 77, false},
      {"p1 maker 2 replaces", 3, 1, 2, 7, 9, 9, 77, 1, 4, true},
      {"p7 maker 2 keeps ' '", 5, 7, 2, 7, 9, 9, ' ', 1, ' ', false},
      {"p1 maker 1 untouched", 3, 1, 1, 7, 9, 9, 77, 1, 77, false},
      {"chip mode 1", 1, 2, 1, 7, 9, 9, 77, 1, 77, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    platform::FakeHost host;
    host.settings.makerId = r.maker;
    host.settings.infoCodeType = 9;
    host.settings.infoCodeTypeDoCoMo = 4;
    CMidiList list;
    CContentsInfo& info = list.GetContentsInfo();
    info.SetContentsClass(r.cls);
    info.SetContentsTypeByte(r.type);
    info.SetCodeType(r.code);
    info.SetTextCodeType(r.text);
    EXPECT_EQ(CheckCodeType(list, r.chip, r.profile), r.want);
    if (r.want) {
      EXPECT_EQ(info.GetTextCodeType(), r.wantText);
    }
    EXPECT_EQ(host.messages.ShownIds(), r.message ? std::vector<int>{7059} : std::vector<int>{});
  }
}

}  // namespace
