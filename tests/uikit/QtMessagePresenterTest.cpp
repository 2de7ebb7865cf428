// Tests of the window presenter of user messages.
#include "uikit/QtMessagePresenter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <future>

#include "app/core/MessageStyle.h"
#include "uikit/StartupPicture.h"

namespace {

std::vector<int> Answers(const QMessageBox& box) {
  std::vector<int> out;
  for (QAbstractButton* b : box.buttons()) out.push_back(ui::QtMessagePresenter::AnswerOf(box.standardButton(b)));
  std::sort(out.begin(), out.end());
  return out;
}

TEST(QtMessagePresenter, ButtonsAndIconFromTheStyleFirstButtonDefault) {
  auto save = ui::QtMessagePresenter::BuildBox("Exist editing document.", GetMessageStyle(7091), nullptr);
  EXPECT_EQ(Answers(*save), (std::vector<int>{2, 6, 7}));
  EXPECT_EQ(save->defaultButton(), save->button(QMessageBox::Yes));
  auto voice = ui::QtMessagePresenter::BuildBox("Exist editing voice parameter.", GetMessageStyle(7096), nullptr);
  EXPECT_EQ(Answers(*voice), (std::vector<int>{6, 7}));
  EXPECT_EQ(voice->defaultButton(), voice->button(QMessageBox::Yes));
  auto stop = ui::QtMessagePresenter::BuildBox("x", message_box::kOkCancel | message_box::kIconStop, nullptr);
  EXPECT_EQ(stop->icon(), QMessageBox::Critical);
  EXPECT_EQ(stop->defaultButton(), stop->button(QMessageBox::Ok));
}

TEST(QtMessagePresenter, ShowsModallyAfterClosingTheStartupPictureAndReturnsTheButton) {
  int closed = 0;
  ui::StartupPicture::Instance().SetHook({{}, {}, [&] { ++closed; }});
  ui::QtMessagePresenter presenter;
  QTimer::singleShot(0, [] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(presenter.Present("Exist editing document.", GetMessageStyle(7091), 0), message_box::kIdNo);
  EXPECT_EQ(closed, 1);
  ui::StartupPicture::Instance().SetHook({});
}

TEST(QtMessagePresenter, FromAWorkerThreadPostsTheBoxAndReturnsTheDefaultAtOnce) {
  ui::QtMessagePresenter presenter;
  auto answer = std::async(std::launch::async, [&] { return presenter.Present("late", GetMessageStyle(7091), 0); });
  ASSERT_EQ(answer.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_EQ(answer.get(), message_box::kIdYes);
  QApplication::processEvents();
  QMessageBox* shown = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* box = qobject_cast<QMessageBox*>(w); box && box->text() == "late") shown = box;
  }
  ASSERT_NE(shown, nullptr);
  EXPECT_TRUE(shown->isVisible());
  shown->close();
  QApplication::processEvents();
}

TEST(QtMessagePresenter, HeadlessPlatformsKeepTheHeadlessPresenter) {
  EXPECT_TRUE(ui::IsHeadlessPlatform());
  auto presenter = ui::MakeMessagePresenter(stderr);
  EXPECT_EQ(dynamic_cast<ui::QtMessagePresenter*>(presenter.get()), nullptr);
}

}  // namespace
