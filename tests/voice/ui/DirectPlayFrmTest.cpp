#include "voice/ui/DirectPlayFrm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMdiArea>
#include <QPointer>

#include "uikit/PictureStore.h"
#include "voice/ui/VoiceWindowRegistration.h"

namespace {

class RecordingSlots : public ui::IFrameSlots {
 public:
  void SetFrameSlot(const std::string& name, ui::MdiFrame* frame) override {
    if (name == CKZxDirectPlayFrm::kClassName) current = frame;
  }
  ui::MdiFrame* current = nullptr;
};

TEST(CKZxDirectPlayFrm, KeepsPictureSizeAndPath) {
  RegisterVoiceWindows();
  QMdiArea area;
  area.resize(800, 600);
  RecordingSlots frameSlots;
  int resets = 0;
  auto* frame = new CKZxDirectPlayFrm(&frameSlots, [&resets] { ++resets; });
  area.addSubWindow(frame);
  frame->show();
  EXPECT_EQ(frameSlots.current, frame);
  EXPECT_EQ(frame->Pane()->size(), QSize(308, 81));
  EXPECT_EQ(frame->pos(), QPoint(0, 0));
  frame->resize(600, 400);
  QApplication::processEvents();
  EXPECT_EQ(frame->Pane()->size(), QSize(308, 81));
  EXPECT_EQ(frame->SetFilePath("/tmp/board.k3h"), 1);
  EXPECT_EQ(frame->GetFilePath(), "/tmp/board.k3h");
  EXPECT_EQ(frame->windowFilePath(), QStringLiteral("/tmp/board.k3h"));

  // The pane shows the picture's own pixels.
  const QImage expected = ui::PictureStore::Instance().Pixmap(CDirectPlayPane::kPictureId).toImage();
  ASSERT_EQ(expected.size(), QSize(308, 81));
  const QImage shown = frame->Pane()->grab().toImage();
  for (QPoint p : {QPoint(2, 2), QPoint(30, 40), QPoint(200, 40), QPoint(300, 75)}) {
    EXPECT_EQ(shown.pixelColor(p), expected.pixelColor(p)) << p.x() << "," << p.y();
  }

  QPointer<CKZxDirectPlayFrm> alive(frame);
  frame->DestroyWindow();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(alive.isNull());
  EXPECT_EQ(resets, 1);
  EXPECT_EQ(frameSlots.current, nullptr);
}

}  // namespace
