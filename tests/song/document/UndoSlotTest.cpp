// The one undoable edit of a song.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "song/document/UndoSlot.h"

namespace {

// A command that counts its bodies and can run a hook or throw inside them.
class CountingCommand : public CEditCommand {
 public:
  explicit CountingCommand(int* log) : m_log(log) {}
  ~CountingCommand() override { ++m_log[2]; }
  std::function<void()> inBody;
  bool throwOnDo = false;

 protected:
  int DoBody() override {
    ++m_log[0];
    if (inBody) inBody();
    if (throwOnDo) throw 5;
    return 1;
  }
  int UndoBody() override {
    ++m_log[1];
    if (inBody) inBody();
    return 1;
  }

 private:
  int* m_log;
};

TEST(UndoSlot, ExecuteAppliesAndUndoRedoToggles) {
  int log[3] = {};
  CUndoSlot slot;
  EXPECT_EQ(slot.CanUndo(), 0);
  EXPECT_EQ(slot.CanRedo(), 0);
  slot.Execute(std::make_unique<CountingCommand>(log));
  EXPECT_EQ(log[0], 1);
  EXPECT_EQ(slot.CanUndo(), 1);
  slot.UndoRedo();
  EXPECT_EQ(log[1], 1);
  EXPECT_EQ(slot.CanRedo(), 1);
  EXPECT_EQ(slot.CanUndo(), 0);
  slot.UndoRedo();
  EXPECT_EQ(log[0], 2);
  EXPECT_EQ(slot.CanUndo(), 1);
}

TEST(UndoSlot, ExecuteNoneInsideABodyKeepsTheCommand) {
  int log[3] = {};
  CUndoSlot slot;
  auto command = std::make_unique<CountingCommand>(log);
  command->inBody = [&slot] { slot.Execute(nullptr); };
  slot.Execute(std::move(command));
  ASSERT_NE(slot.GetCommand(), nullptr);
  slot.UndoRedo();
  EXPECT_NE(slot.GetCommand(), nullptr);
  EXPECT_EQ(log[2], 0);
  slot.Execute(nullptr);
  EXPECT_EQ(slot.GetCommand(), nullptr);
  EXPECT_EQ(log[2], 1);
}

TEST(UndoSlot, ANewCommandStartedInsideABodyIsRefused) {
  int log[3] = {};
  int inner[3] = {};
  CUndoSlot slot;
  auto command = std::make_unique<CountingCommand>(log);
  command->inBody = [&slot, &inner] { slot.Execute(std::make_unique<CountingCommand>(inner)); };
  slot.Execute(std::move(command));
  EXPECT_EQ(inner[0], 0);
  EXPECT_EQ(inner[2], 1) << "the refused command is deleted";
  EXPECT_EQ(log[2], 0) << "the running command survives";
}

TEST(UndoSlot, ThrowingCommandIsDroppedAndSwallowed) {
  int log[3] = {};
  CUndoSlot slot;
  auto command = std::make_unique<CountingCommand>(log);
  command->throwOnDo = true;
  EXPECT_NO_THROW(slot.Execute(std::move(command)));
  EXPECT_EQ(slot.GetCommand(), nullptr);
  EXPECT_EQ(log[2], 1);
  EXPECT_FALSE(slot.IsBusy());
}

}  // namespace
