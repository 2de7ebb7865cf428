// The program started with "-COM:1" against a scripted board on a pseudo-terminal.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "ProgramFolder.h"
#include "tests/device/PtyBoard.h"

namespace {

using startuptest::ProgramFolder;
using startuptest::RunProgram;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST(TrillotSerialBoard, AnsweringBoardIsGreetedCheckedAndResetAtExit) {
  ptytest::PtyBoard board;
  ASSERT_TRUE(board.Ok());
  board.Answer({{"FC", "12"}});
  ProgramFolder folder;
  folder.SetEnv("TRILLOT_COM1", board.SlaveName());
  auto run = RunProgram(folder, {"-COM:1"});
  board.StopAnswering();
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string seen = board.Take();
  EXPECT_THAT(seen, StartsWith("XFCFC"));
  EXPECT_THAT(seen, EndsWith("FF02" "003000" "003100" "003200" "003300" "320000" "FF00"));
}

TEST(TrillotSerialBoard, DeadBoardEndsTheStartAfterTheReadLimit) {
  ptytest::PtyBoard board;
  ASSERT_TRUE(board.Ok());
  ProgramFolder folder;
  folder.SetEnv("TRILLOT_COM1", board.SlaveName());
  const auto start = std::chrono::steady_clock::now();
  auto run = RunProgram(folder, {"-COM:1"});
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(run.status, 2);
  EXPECT_THAT(run.err, HasSubstr("Unexpected problem is occurred."));
  EXPECT_GE(took, std::chrono::seconds(15));
  EXPECT_LT(took, std::chrono::seconds(40));
  EXPECT_THAT(board.Take(), StartsWith("XFC"));
}

}  // namespace
