// The save question before a modified song goes, asked by every command that replaces or ends
// the song, on the main window offscreen: Yes followed by a save that does not happen keeps the
// song and stops the command.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/CnvParam.h"
#include "app/core/FileChooser.h"
#include "app/core/TrillotApp.h"
#include "app/ui/AppFileCommandTarget.h"
#include "app/ui/MainFrame.h"
#include "platform/host/testing/FakeHost.h"
#include "song/document/KZ1Doc.h"
#include "tests/app/ui/MainFrameFakes.h"
#include "tests/song/document/DocTestSupport.h"

namespace {

constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;

class TrillotAppCloseQuestion : public ::testing::Test {
 protected:
  TrillotAppCloseQuestion() {
    app.SetAppDir("/nonexistent/");
    app.SetChipMode(3);
    host.settings.outputProfile = 2;
    app.SetOutputProfile(2);
    app.SetFileChooser(&chooser);
    // The VELK converter both ways and Midigate into song data: every command is on.
    const auto writes = [](std::vector<uint8_t> out) {
      return [out](CnvParam& p) -> uint32_t {
        if (!p.dst || p.dstSize < out.size()) return CNVERR_DSTSIZE;
        std::memcpy(p.dst, out.data(), out.size());
        return static_cast<uint32_t>(out.size());
      };
    };
    host.binder.plugins[8].to = writes({'M', 'M', 'M', 'D', 1, 2, 3});
    host.binder.plugins[8].from = writes({});
    host.binder.plugins[7].from = writes({});
    frame = std::make_unique<CMainFrame>(app, nullptr,
                                         [] { return std::make_unique<mainframetest::RecordingEngine>(); });
    EXPECT_EQ(frame->OnCreate(), 0);
    frame->AddCommandTarget(&target);
    // As the start-up lets it, so a file can be dropped on the window.
    frame->setAcceptDrops(true);
    frame->show();
  }
  ~TrillotAppCloseQuestion() override {
    frame.reset();
    app.SetDocument(nullptr);
  }

  /// A modified song of one note with the given path.
  CKZ1Doc& ModifiedSong(const std::string& path) {
    app.SetDocument(std::make_unique<CKZ1Doc>());
    CKZ1Doc& d = *app.GetDocument();
    d.SetRefreshSuppress(0);
    doctest::AddEvent(*d.GetMidiList(), 0, 480, {0x90, 60, 100});
    d.SetPathName(path);
    d.ResetModifiedFlags();
    d.SetModifiedFlags(0);
    return d;
  }

  /// The callers of the question, each as the user starts it on the window.
  std::vector<std::pair<const char*, std::function<bool()>>> Callers() {
    auto command = [this](int id) {
      return [this, id] {
        EXPECT_TRUE(frame->Router().Update(id).enabled) << id;
        return frame->Router().Dispatch(id);
      };
    };
    return {{"Import from SMF", command(32772)},
            {"Close", command(57602)},
            {"Open", command(57601)},
            {"Direct Play", command(32771)},
            {"Exit", [this] { return !frame->close(); }},
            {"Drop", [this] {
               frame->OnDropFiles({"/nonexistent/dropped.mmf"});
               return true;
             }}};
  }

  platform::FakeHost host;
  CTrillotApp app;
  ScriptedFileChooser chooser;
  AppFileCommandTarget target{app};
  std::unique_ptr<CMainFrame> frame;
};

TEST_F(TrillotAppCloseQuestion, YesThenASaveThatDoesNotHappenKeepsTheSongAndStopsTheCommand) {
  struct Save {
    const char* what;
    std::string path;  // where the song was loaded from
  };
  // Never saved: Save As opens and is cancelled. Saved into a folder that is gone: the write
  // fails (7031), Save As opens and is cancelled.
  const Save saves[] = {{"Save As cancelled", "untitled"}, {"write failed", "/nonexistent/gone/song.mmf"}};
  for (const Save& save : saves) {
    for (auto& [caller, run] : Callers()) {
      SCOPED_TRACE(std::string(caller) + ", " + save.what);
      CKZ1Doc& song = ModifiedSong(save.path);
      host.messages.shown.clear();
      host.messages.answers = {kAnswerYes};
      chooser = ScriptedFileChooser();
      ASSERT_TRUE(run());
      ASSERT_EQ(app.GetDocument(), &song);
      EXPECT_NE(song.TestModifiedFlags(CKZ1Doc::kFlagUnsaved), 0u);
      ASSERT_FALSE(host.messages.ShownIds().empty());
      EXPECT_EQ(host.messages.ShownIds().front(), 7091);
      // Only the save asked for a file: the command that asked went no further.
      ASSERT_FALSE(chooser.Requests().empty());
      for (const FileRequest& r : chooser.Requests()) EXPECT_FALSE(r.open);
      EXPECT_TRUE(frame->isVisible());
    }
  }
}

TEST_F(TrillotAppCloseQuestion, NoStillClosesTheSongAndTheCommandGoesOn) {
  for (auto& [caller, run] : Callers()) {
    SCOPED_TRACE(caller);
    if (std::string(caller) == "Exit") continue;  // the window would go
    ModifiedSong("untitled");
    host.messages.shown.clear();
    host.messages.answers = {kAnswerNo};
    chooser = ScriptedFileChooser();
    ASSERT_TRUE(run());
    EXPECT_EQ(host.messages.ShownIds().front(), 7091);
    // The song went without a save dialog.
    for (const FileRequest& r : chooser.Requests()) EXPECT_TRUE(r.open);
    if (std::string(caller) != "Drop") {
      EXPECT_EQ(app.GetDocument(), nullptr);
    }
  }
}

}  // namespace
