// Tests of user messages by id and of the access log behind them.
#include "app/core/UserMessages.h"

#include <gtest/gtest.h>

#include "app/core/RecordingPresenter.h"
#include "app/core/TrillotApp.h"
#include "platform/host/testing/FakeHost.h"
#include "platform/strings/StringTable.h"

namespace {

class UserMessagesFixture {
 public:
  explicit UserMessagesFixture(const platform::StringTable& strings = platform::StringTable::English())
      : messages(app, presenter, strings) {}

  platform::FakeHost host;
  CTrillotApp app;
  RecordingPresenter presenter;
  UserMessages messages;
};

TEST(UserMessages, ShowMessageFormatsTheTextAndTakesTheIdsStyle) {
  UserMessagesFixture f;
  EXPECT_EQ(f.messages.ShowMessage(7080, platform::MakeFormatArgs(3)), 1);
  ASSERT_EQ(f.presenter.boxes.size(), 1u);
  EXPECT_EQ(f.presenter.boxes[0].text, "Automatically operated.\n- System has been changed to use COM3");
  EXPECT_EQ(f.presenter.boxes[0].style, 48u);
  EXPECT_EQ(f.presenter.boxes[0].helpId, 0);
}

TEST(UserMessages, UnknownIdShowsNothingAndReturnsMinusOne) {
  UserMessagesFixture f;
  EXPECT_EQ(f.messages.ShowMessage(7999, {}), -1);
  EXPECT_TRUE(f.presenter.boxes.empty());
  f.messages.AddAccessLog(7999, "detail", {});
  EXPECT_EQ(f.app.GetAccessLog().GetLineCount(), 0);
  EXPECT_EQ(f.host.ui.accessLogChanges, 0);
}

TEST(UserMessages, ShowMessageReturnsTheButtonPressed) {
  UserMessagesFixture f;
  f.presenter.answers = {7, 6};
  EXPECT_EQ(f.messages.ShowMessage(7096, {}), 7);
  EXPECT_EQ(f.messages.ShowMessage(7091, {}), 6);
  EXPECT_EQ(f.presenter.boxes[0].style, 52u);
  EXPECT_EQ(f.presenter.boxes[1].style, 51u);
}

TEST(UserMessages, ShowMessageShowsTheBoxInBatchModeToo) {
  UserMessagesFixture f;
  f.app.SetOutputPath("out.mmf");
  EXPECT_EQ(f.messages.ShowMessage(7092, {}), 1);
  EXPECT_EQ(f.presenter.boxes.size(), 1u);
}

TEST(UserMessages, MessageBoxUnlessBatchAnswersByItselfInBatchMode) {
  UserMessagesFixture f;
  f.presenter.answers = {2};
  EXPECT_EQ(f.messages.DoMessageBoxUnlessBatch(1, "Question?", 33, 0), 2);
  ASSERT_EQ(f.presenter.boxes.size(), 1u);
  EXPECT_EQ(f.presenter.boxes[0].style, 33u);

  f.app.SetOutputPath("out.mmf");
  EXPECT_EQ(f.messages.DoMessageBoxUnlessBatch(7, "Notes", 49, 0), 7);
  EXPECT_EQ(f.presenter.boxes.size(), 1u);
  EXPECT_EQ(f.presenter.notes, std::vector<std::string>{"Notes"});
}

TEST(UserMessages, ChineseTemplatesAreFormattedInFull) {
  UserMessagesFixture f(platform::StringTable::ForLanguage("zh_CN"));
  f.messages.ShowMessage(7071, platform::MakeFormatArgs(124u, 0u));
  ASSERT_EQ(f.presenter.boxes.size(), 1u);
  EXPECT_NE(f.presenter.boxes[0].text.find("124 / 0"), std::string::npos);
  EXPECT_EQ(f.presenter.boxes[0].style, 65u);
}

TEST(UserMessages, AccessLogFormatsTheTitleAndIndentsTheDetail) {
  UserMessagesFixture f;
  f.messages.AddAccessLog(7527, "/voices/ws1.wav", platform::MakeFormatArgs(3));
  ASSERT_EQ(f.app.GetAccessLog().GetLineCount(), 2);
  EXPECT_EQ(f.app.GetAccessLog().GetLine(0), "FM Voice Edit : WS3 Load");
  EXPECT_EQ(f.app.GetAccessLog().GetLine(1), "    /voices/ws1.wav");
  EXPECT_EQ(f.host.ui.accessLogChanges, 1);
}

TEST(UserMessages, AccessLogTakesNothingBeforeTheMainWindowExists) {
  UserMessagesFixture f;
  f.host.ui.mainWindow = false;
  f.messages.AddAccessLog(7515, "song.mmf", {});
  EXPECT_EQ(f.app.GetAccessLog().GetLineCount(), 0);
  EXPECT_EQ(f.host.ui.accessLogChanges, 0);
}

TEST(UserMessages, FullAccessLogDropsEntriesWithoutRefreshing) {
  UserMessagesFixture f;
  for (int i = 0; i < 250; ++i) f.messages.AddAccessLog(7504, "song" + std::to_string(i) + ".mmf", {});
  EXPECT_EQ(f.app.GetAccessLog().GetLineCount(), 500);
  EXPECT_EQ(f.host.ui.accessLogChanges, 250);
  f.messages.AddAccessLog(7515, "late.mmf", {});
  EXPECT_EQ(f.app.GetAccessLog().GetLineCount(), 500);
  EXPECT_EQ(f.host.ui.accessLogChanges, 250);
  EXPECT_EQ(f.app.GetAccessLog().GetLine(499), "    song249.mmf");
}

TEST(UserMessages, BeepGoesToThePresenter) {
  UserMessagesFixture f;
  f.messages.Beep();
  EXPECT_EQ(f.presenter.beeps, 1);
}

}  // namespace
