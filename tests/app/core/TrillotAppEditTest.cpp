// The region edit commands over a scripted dialog and a real document.
#include <gtest/gtest.h>

#include "app/core/TrillotApp.h"
#include "platform/host/testing/FakeHost.h"
#include "song/document/KZ1Doc.h"

namespace {

class TrillotAppEdit : public ::testing::Test {
 protected:
  TrillotAppEdit() {
    host.settings.chipMode = 2;
    app.SetChipMode(2);
    app.SetDocument(std::make_unique<CKZ1Doc>());
    CKZ1Doc& d = *app.GetDocument();
    for (uint32_t tick : {0u, 120u, 240u}) {
      const uint8_t bytes[3] = {0x91, 60, 100};
      d.GetMidiList()->push_back(std::make_unique<CMidiMsg>(tick, tick + 60, 3, bytes, 0));
    }
  }
  size_t Notes() const { return app.GetDocument()->GetMidiList()->size(); }

  platform::FakeHost host;
  CTrillotApp app;
};

TEST_F(TrillotAppEdit, EraseHandsTheAnswerToTheUndoSlot) {
  int mode = 0;
  app.SetRegionEditDialog([&](int m, CTrillotApp::RegionEditAnswer& a) {
    mode = m;
    a.sourceChannel = -1;
    a.from = 100;
    a.to = 200;
    a.option = 0;
    return true;
  });
  app.OnEditErase();
  EXPECT_EQ(mode, 3);
  EXPECT_EQ(Notes(), 2u);
  EXPECT_EQ(app.GetDocument()->CanUndo(), 1);
  EXPECT_EQ(app.GetDocument()->TestModifiedFlags(3), 3u);
  app.GetDocument()->UndoRedo();
  EXPECT_EQ(Notes(), 3u);
}

TEST_F(TrillotAppEdit, DuplicateRunsModeOneAndAddsTheCopies) {
  int mode = 0;
  app.SetRegionEditDialog([&](int m, CTrillotApp::RegionEditAnswer& a) {
    mode = m;
    a.sourceChannel = 1;
    a.from = 0;
    a.to = 240;
    a.targetChannel = 1;
    a.target = 1200;
    a.option = 0;
    return true;
  });
  app.OnEditDuplicateMove();
  EXPECT_EQ(mode, 1);
  EXPECT_GT(Notes(), 3u);
  EXPECT_EQ(app.GetDocument()->CanUndo(), 1);
}

TEST_F(TrillotAppEdit, CancelOrNoDialogChangesNothing) {
  app.OnEditErase();
  app.OnEditDuplicateMove();
  app.OnEditTranspose();
  app.SetRegionEditDialog([](int, CTrillotApp::RegionEditAnswer&) { return false; });
  app.OnEditErase();
  EXPECT_EQ(Notes(), 3u);
  EXPECT_EQ(app.GetDocument()->CanUndo(), 0);
  int transposes = 0;
  app.SetTransposeDialog([&] { ++transposes; });
  app.OnEditTranspose();
  EXPECT_EQ(transposes, 1);
}

}  // namespace
