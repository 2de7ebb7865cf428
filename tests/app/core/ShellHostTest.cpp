// Tests that the shell's services are what core code reaches while the shell host lives.
#include "app/core/ShellHost.h"

#include <gtest/gtest.h>

#include "app/core/RecordingPresenter.h"
#include "app/core/TrillotApp.h"
#include "platform/host/testing/FakeHost.h"

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
    EXPECT_TRUE(platform::settings().IsBatchMode());

    EXPECT_GE(platform::ShowMessage(7045), 1);
    EXPECT_EQ(presenter.boxes.size(), 1u);
    platform::messages().AddAccessLog(7515, "a.mmf", {});
    EXPECT_EQ(app.GetAccessLog().GetLineCount(), 2);
  }
  EXPECT_EQ(&platform::settings(), &outer.settings);
  EXPECT_EQ(&platform::messages(), &outer.messages);
}

}  // namespace
