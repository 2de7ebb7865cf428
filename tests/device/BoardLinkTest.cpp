// Tests of the serial port and the board link over a pseudo-terminal, with a scripted board on
// the master side.
#include <gtest/gtest.h>
#include <termios.h>

#include <numeric>
#include <thread>
#include <vector>

#include "PtyBoard.h"
#include "device/BoardLink.h"
#include "platform/serial/SerialPort.h"
#include "platform/sys/Clock.h"

namespace {

using ptytest::PtyBoard;

class BoardLinkTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(board.Ok()); }

  /// A link on the board's line; the greeting is taken off the line.
  std::unique_ptr<CBoardLink> Link() {
    auto link = std::make_unique<CBoardLink>(board.SlaveName());
    EXPECT_EQ(board.Take(), "X");
    return link;
  }

  PtyBoard board;
};

TEST(SerialPort, AppliesTheBoardsSettings) {
  PtyBoard board;
  ASSERT_TRUE(board.Ok());
  CSerialPort port(board.SlaveName());
  termios tio{};
  ASSERT_EQ(::tcgetattr(board.Slave(), &tio), 0);
  EXPECT_EQ(::cfgetospeed(&tio), B38400);
  EXPECT_EQ(::cfgetispeed(&tio), B38400);
  EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_TRUE(tio.c_cflag & CSTOPB);
  EXPECT_FALSE(tio.c_cflag & PARENB);
  EXPECT_FALSE(tio.c_cflag & CRTSCTS);
  EXPECT_TRUE(tio.c_iflag & IXON);
  EXPECT_TRUE(tio.c_iflag & IXOFF);
  EXPECT_EQ(tio.c_cc[VSTART], 17);
  EXPECT_EQ(tio.c_cc[VSTOP], 19);
  EXPECT_EQ(tio.c_cc[VMIN], 0);
  EXPECT_EQ(tio.c_cc[VTIME], 0);
}

TEST(SerialPort, MissingPathThrowsMinusOne) {
  // A long path is kept whole: no cut at 63 characters turns it into another device.
  const std::string path = "/nonexistent/" + std::string(80, 'p') + "/ttyS0";
  try {
    CSerialPort port(path);
    FAIL() << "opened a missing device";
  } catch (int code) {
    EXPECT_EQ(code, -1);
  }
}

TEST(SerialPort, ReadReturnsAtOnceWithWhatArrived) {
  PtyBoard board;
  ASSERT_TRUE(board.Ok());
  CSerialPort port(board.SlaveName());
  uint8_t buffer[8] = {};
  EXPECT_EQ(port.Read(buffer, sizeof buffer), 0);
  board.Send("ab");
  int got = 0;
  for (int i = 0; i < 100 && got == 0; ++i) {
    got = port.Read(buffer, sizeof buffer);
    if (got == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), static_cast<size_t>(got)), "ab");
}

TEST_F(BoardLinkTest, SendSongWritesTheRegisterTextOfTheBlock) {
  auto link = Link();
  std::vector<uint8_t> block(84);
  std::iota(block.begin(), block.end(), 0);
  const std::string text = CBoardLink::SongText(block.data(), 84);
  ASSERT_EQ(text.size(), 246u);
  EXPECT_EQ(text.substr(0, 18), "100203110405120607");
  EXPECT_EQ(text.substr(240), "385253");
  EXPECT_EQ(text.substr(text.size() - 12), "375051385253");

  EXPECT_EQ(link->SendSong(block.data(), 84), 1);
  EXPECT_EQ(board.Take(), "X" + text + "340000" "35001C" "36001C" "37001C");

  block.push_back(0x54);
  block.push_back(0x55);
  EXPECT_EQ(link->SendSong(block.data(), 86), 1);
  EXPECT_EQ(board.Take(), "X" + text + "005455" "340000" "35001C" "36001C" "37001C");
}

TEST_F(BoardLinkTest, SendSongRefusesBadLengthsAndWritesNothing) {
  auto link = Link();
  std::vector<uint8_t> block(90, 0x11);
  for (uint32_t size : {0u, 2u, 82u, 83u, 85u, 87u}) {
    SCOPED_TRACE(size);
    EXPECT_EQ(link->SendSong(block.data(), size), 0);
    EXPECT_EQ(board.Take(), "");
  }
  EXPECT_EQ(link->SendSong(nullptr, 84), 0);
}

TEST_F(BoardLinkTest, PlayParamsAddressResetAndStopTexts) {
  platform::ManualClock clock;
  platform::ScopedClock useClock(clock);
  auto link = Link();
  EXPECT_EQ(link->SetPlayParams(1, 100, 127), 1);
  EXPECT_EQ(board.Take(), "FF04" "350064" "36007f" "320001");
  EXPECT_EQ(clock.NowMs(), 25u) << "the pause after the start";
  EXPECT_EQ(link->SetPlayParams(0, 1, 2), 1);
  EXPECT_EQ(board.Take(), "FF00" "350001" "360002" "320001");
  EXPECT_EQ(link->SendAddress(100, 64), 1);
  EXPECT_EQ(board.Take(), "FF02" "30000031007835006436004037001C" "FF00");
  EXPECT_EQ(link->Reset(), 1);
  EXPECT_EQ(board.Take(), "FF02" "003000" "003100" "003200" "003300" "320000" "FF00");
  EXPECT_EQ(link->Stop(), 1);
  EXPECT_EQ(board.Take(), "320002" "320000");
  EXPECT_EQ(link->WriteString("AB12"), 1);
  EXPECT_EQ(board.Take(), "AB12");
}

TEST_F(BoardLinkTest, SetupWordsByModeAndTheWholeSetup) {
  struct Case {
    int a, c, mode;
    const char* text;
  };
  const Case cases[] = {
      {0, 0, 1, "00  69003000"}, {1, 2, 2, "00483E003000"}, {2, 5, 255, "00945F003000"}, {4, 0, 0, "00  7E003000"},
      {0, 0, 3, "00  23003000"}, {0, 0, 4, "00  11003000"}, {0, 0, 9, "00  7E003000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CBoardLink::SetupWordText(c.a, c.c, c.mode), c.text);
  }
  auto link = Link();
  const uint8_t p[8] = {1, 2, 0x1A, 0x2B, 5, 6, 7, 8};
  EXPECT_EQ(link->SendSetup(1, p, 2, 2, 100, 64), 1);
  EXPECT_EQ(board.Take(), "FF02" "330007380000340000320000" "100102" "111A2B" "120506" "130708"
                          "30000031007835006436004037001C" "00483E003000" "320001" "FF00");
}

TEST_F(BoardLinkTest, QueryStatusReadsTheHexAnswer) {
  platform::ManualClock clock;
  platform::ScopedClock useClock(clock);
  struct Case {
    const char* answer;
    int parameter;
    int result;
    uint32_t value;
  };
  const Case cases[] = {
      {"0010", 16, 1, 80}, {"0010", 15, 1, 81}, {"00ff", 16, 1, 1275}, {"00ff", 0, 1, 1298},
      {"01", 16, 1, 5},    {"zzzz", 16, 1, 0},  {"00FF", 16, 1, 1275},
  };
  auto link = Link();
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.answer << "/" << c.parameter);
    board.Send(c.answer);
    uint32_t value = 12345;
    EXPECT_EQ(link->QueryStatus(&value, c.parameter), c.result);
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(board.Take(), "F7");
  }
}

TEST_F(BoardLinkTest, SilenceEndsTheReadsAtTheLimitAtOnceOnAManualClock) {
  platform::ManualClock clock;
  platform::ScopedClock useClock(clock);
  auto link = Link();
  uint32_t value = 7;
  EXPECT_EQ(link->QueryStatus(&value, 16), 0);
  EXPECT_EQ(value, 0u);
  EXPECT_GE(clock.NowMs(), CBoardLink::kReadLimitMs);
  char answer[2] = {'?', '?'};
  EXPECT_EQ(link->Handshake(answer), 0);
  board.Send("1");
  EXPECT_EQ(link->Handshake(answer), 0) << "one character is no answer";
  board.Send("12");
  EXPECT_EQ(link->Handshake(answer), 1);
  EXPECT_EQ(std::string(answer, 2), "12");
  EXPECT_EQ(board.Take(), "F7FCFCFC");
}

TEST_F(BoardLinkTest, HeldLineFailsTheCommandAtTheWriteLimitAndFreesTheSemaphore) {
  platform::ManualClock clock;
  platform::ScopedClock useClock(clock);
  auto link = Link();
  board.Send(std::string(1, '\x13'));  // XOFF, and no XON after it
  // The line discipline takes the XOFF on a thread of its own.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  std::vector<uint8_t> block(5000, 0x22);
  EXPECT_EQ(link->SendSong(block.data(), 5000), 0);
  EXPECT_GE(clock.NowMs(), CSerialPort::kWriteLimitMs);
  ASSERT_TRUE(BoardCommandSemaphore().try_acquire()) << "the failed command let the semaphore go";
  BoardCommandSemaphore().release();
  board.Send(std::string(1, '\x11'));  // XON: the line moves again
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  board.Take();
  EXPECT_EQ(link->Stop(), 1);
}

TEST_F(BoardLinkTest, MonitorPollsAndSetupCommandsNeverInterleave) {
  auto link = Link();
  board.Answer({{"F7", "0010"}});
  const uint8_t p[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  constexpr int kRounds = 40;
  std::thread poller([&] {
    for (int i = 0; i < kRounds; ++i) {
      uint32_t value = 0;
      EXPECT_EQ(link->QueryStatus(&value, 16), 1);
      EXPECT_EQ(value, 80u);
    }
  });
  for (int i = 0; i < kRounds; ++i) EXPECT_EQ(link->SendSetup(0, p, 0, 1, 10, 20), 1);
  poller.join();
  board.StopAnswering();
  const std::string setup = "FF02" "330007380000340000320000" "100102" "110304" "120506" "130708"
                            "30000031007835000A36001437001C" "00  69003000" "320001" "FF00";
  const std::string seen = board.Take();
  size_t at = 0;
  int setups = 0;
  int polls = 0;
  while (at < seen.size()) {
    if (seen.compare(at, setup.size(), setup) == 0) {
      at += setup.size();
      ++setups;
    } else if (seen.compare(at, 2, "F7") == 0) {
      at += 2;
      ++polls;
    } else {
      FAIL() << "interleaved at " << at << ": " << seen.substr(at, 40);
      break;
    }
  }
  EXPECT_EQ(setups, kRounds);
  EXPECT_EQ(polls, kRounds);
}

TEST(BoardLinkFactory, SerialFactoryOpensTheDeviceAndUnavailableThrows) {
  PtyBoard board;
  ASSERT_TRUE(board.Ok());
  {
    std::unique_ptr<CBoardLink> link = SerialBoardLinkFactory()(board.SlaveName());
    ASSERT_TRUE(link);
    EXPECT_EQ(board.Take(), "X");
  }
  EXPECT_EQ(board.Take(), "FF02" "003000" "003100" "003200" "003300" "320000" "FF00")
      << "deleting the link resets the board";
  try {
    SerialBoardLinkFactory()("/nonexistent/tty");
    FAIL();
  } catch (int code) {
    EXPECT_EQ(code, -1);
  }
  try {
    UnavailableBoardLinkFactory()(board.SlaveName());
    FAIL();
  } catch (int code) {
    EXPECT_EQ(code, -1);
  }
  ::setenv("TRILLOT_COM7", "/dev/my-board", 1);
  EXPECT_EQ(SerialDeviceName(7), "/dev/my-board");
  ::unsetenv("TRILLOT_COM7");
  EXPECT_EQ(SerialDeviceName(7), "/dev/ttyS6");
}

}  // namespace
