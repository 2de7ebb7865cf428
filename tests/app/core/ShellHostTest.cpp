// Tests that the shell's services are what core code reaches while the shell host lives.
#include "app/core/ShellHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "app/CnvParam.h"
#include "app/core/ConverterReports.h"
#include "app/core/HeadlessPresenter.h"
#include "app/core/RecordingPresenter.h"
#include "app/core/TrillotApp.h"
#include "platform/host/testing/FakeHost.h"
#include "platform/strings/StringTable.h"

namespace {

TEST(ShellHost, InstallsTheApplicationAsTheHostServices) {
  platform::FakeHost outer;
  {
    CTrillotApp app;
    app.SetChipMode(3);
    app.SetOutputPath("x.mmf");
    platform::FakeProfile profile;
    RecordingPresenter presenter;
    ShellHost shell(app, profile, presenter, &outer.ui);

    EXPECT_EQ(&platform::settings(), &app);
    EXPECT_EQ(&platform::profile(), &profile);
    EXPECT_EQ(&platform::messages(), &shell.Messages());
    EXPECT_EQ(&platform::binder(), &shell.Binder());
    EXPECT_EQ(platform::reports().ReportConvertResult(8, CNVERR_FORMAT, 0), 1);
    EXPECT_EQ(presenter.boxes.size(), 1u);
    presenter.boxes.clear();
    EXPECT_TRUE(platform::settings().IsBatchMode());

    EXPECT_GE(platform::ShowMessage(7045), 1);
    EXPECT_EQ(presenter.boxes.size(), 1u);
    platform::messages().AddAccessLog(7515, "a.mmf", {});
    EXPECT_EQ(app.GetAccessLog().GetLineCount(), 2);
  }
  EXPECT_EQ(&platform::settings(), &outer.settings);
  EXPECT_EQ(&platform::messages(), &outer.messages);
}

TEST(ShellHost, InstallsTheMainWindowSinkForWorkerThreads) {
  platform::FakeHost outer;
  platform::FakeNotifySink sink;
  {
    CTrillotApp app;
    platform::FakeProfile profile;
    RecordingPresenter presenter;
    ShellHost shell(app, profile, presenter, &outer.ui, &sink);
    EXPECT_EQ(&platform::notify(), &sink);
    std::thread worker([] {
      platform::notify().Post(platform::kWmPlayPosition, 8, 0, true);
      platform::notify().PostCommand(platform::kStopCommand);
    });
    worker.join();
  }
  EXPECT_EQ(&platform::notify(), &outer.notify);
  const std::vector<platform::RecordedPost> posts = sink.Posts();
  ASSERT_EQ(posts.size(), 2u);
  EXPECT_EQ(posts[0].message, platform::kWmPlayPosition);
  EXPECT_EQ(posts[1].message, platform::kWmCommand);
  EXPECT_EQ(posts[1].wParam, platform::kStopCommand);
}

TEST(ShellHost, WithoutASinkPostsAreDroppedAsWithoutAMainWindow) {
  platform::FakeHost outer;
  CTrillotApp app;
  platform::FakeProfile profile;
  RecordingPresenter presenter;
  ShellHost shell(app, profile, presenter, &outer.ui);
  EXPECT_NE(&platform::notify(), &outer.notify);
  EXPECT_FALSE(platform::notify().PostCommand(platform::kStopCommand));
  EXPECT_TRUE(outer.notify.Posts().empty());
}

TEST(ShellHost, HeadlessBatchRunStillPrintsTheConverterNotes) {
  platform::FakeHost outer;
  std::FILE* err = std::tmpfile();
  ASSERT_NE(err, nullptr);
  {
    CTrillotApp app;
    app.SetOutputPath("out.mmf");
    platform::FakeProfile profile;
    HeadlessPresenter presenter(err);
    ShellHost shell(app, profile, presenter, &outer.ui);
    // The note is printed and the box's default, OK, keeps the conversion going.
    EXPECT_EQ(ReportConverterNotes(8, 0x01000000), 1);
    EXPECT_EQ(ReportConvertResult(8, CNVERR_FORMAT, 0), 1);
  }
  std::rewind(err);
  char buf[512] = {};
  size_t n = std::fread(buf, 1, sizeof buf - 1, err);
  std::fclose(err);
  std::string text(buf, n);
  // Every line of a message carries the prefix.
  std::string note = "Trillot: Nonsupport chunk detect.\nTrillot: - DLL: Skip nonsupport chunk.\n";
  std::string failure = "Trillot: Can not convert file.\nTrillot: - DLL: Illegal format type.\n";
  EXPECT_EQ(platform::strings().Find(7113).value_or("?"), "Nonsupport chunk detect.\n- DLL: Skip nonsupport chunk.\n");
  EXPECT_EQ(text, note + failure);
}

}  // namespace
