// Tests of the board's command set over the fake port layer: connection kind 1, chip mode 3,
// a manual clock so that every wait runs at once.
#include <gmock/gmock.h>
#include <algorithm>
#include <gtest/gtest.h>

#include "EmuFixture.h"
#include "device/AppPlayState.h"
#include "device/MidiOutCtrl.h"
#include "device/MidiThru.h"
#include "platform/host/testing/FakeHost.h"
#include "platform/midi/testing/FakeMidiBackend.h"
#include "platform/sys/Clock.h"
#include "song/SmfDialect.h"
#include "song/StreamPCMSlot.h"
#include "song/VoiceItem.h"
#include "song/document/KZ1Doc.h"

namespace {

using Bytes = std::vector<uint8_t>;
using platform::FakeMidiBackend;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const Bytes kIdentify = {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x07, 0x00, 0xF7};
const Bytes kReadyQuery = {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x07, 0x02, 0xF7};

Bytes Answer(uint8_t r) { return {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x08, r, 0xF7}; }

bool StartsWith(const Bytes& b, const Bytes& prefix) {
  return b.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), b.begin());
}

std::string Hex(const Bytes& b) { return FakeMidiBackend::Hex(b.data(), b.size()); }

class BoardCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.settings.appDir = emutest::VariantDir("recording");
    host.registry.midiThru = &thru;
    clock.Set(5000);
    // Output 0 is the board's serial output, so every message lands in one log.
    backend.SetDevices({"KORVAN TVR A Driver 1"}, {"KORVAN TVR Driver 1"});
    doc.SetModifiedFlags(3);
  }
  void TearDown() override { backend.WaitForThreads(); }

  /// The board is found on the serial ports and answers the ready query with `ready`.
  void FindBoard(uint8_t ready = 0) {
    backend.AddAnswer({kIdentify, 0, Answer(3)});
    ASSERT_EQ(engine.OpenBoard(0), 1);
    backend.AddAnswer({kReadyQuery, 0, Answer(ready)});
    Clear();
  }
  /// The messages sent, without the ready queries and the stop message each query sends first.
  std::vector<Bytes> All() const {
    std::vector<Bytes> all = backend.Sent(0);
    all.erase(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min(mark, all.size())));
    // The all-notes-off that follows every message in chip modes 1 and 2.
    std::erase_if(all, [](const Bytes& m) { return m.size() == 3 && (m[1] == 0x7B || m[1] == 0x78); });
    return all;
  }
  std::vector<Bytes> Sent() const {
    std::vector<Bytes> out;
    for (const Bytes& m : All()) {
      if (m == kReadyQuery || m == kIdentify) continue;
      if (m == Bytes{0xF0, 0x43, 0x79, 0x05, 0x7E, 0x03, 0x00, 0xF7}) continue;
      out.push_back(m);
    }
    return out;
  }
  /// A wait shows as one ready query, or as "W" in SentWithWaits.
  std::vector<std::string> SentWithWaits() const {
    std::vector<std::string> out;
    for (const Bytes& m : All()) {
      if (m == kReadyQuery) {
        out.push_back("W");
      } else if (m != Bytes{0xF0, 0x43, 0x79, 0x05, 0x7E, 0x03, 0x00, 0xF7} && m != kIdentify) {
        out.push_back(std::to_string(m.size()));
      }
    }
    return out;
  }
  /// Later calls see only what is sent from now on.
  void Clear() { mark = backend.Sent(0).size(); }

  static CVoiceItem FmVoice(int algorithm) {
    CVoiceItem item;
    item.SetBankMsb(124);
    item.SetBankLsb(0);
    item.SetProgram(5);
    item.SetAlgorithm(static_cast<uint8_t>(algorithm));
    return item;
  }
  static CVoiceItem PcmVoice(uint32_t samples) {
    CVoiceItem item = FmVoice(2);
    item.SetPcmFlag(1);
    item.SetPcmWaveFormat(2);
    if (samples) {
      Bytes wave(samples, 0x81);
      item.SetWaveSamples(wave.data(), samples);
      item.SetWaveHeaderId(9);
    }
    return item;
  }

  platform::FakeHost host;
  FakeMidiBackend backend;
  platform::ScopedMidiBackend useBackend{backend};
  CMidiThru thru{backend};
  platform::ManualClock clock;
  platform::ScopedClock useClock{clock};
  CKZ1Doc doc;
  TMidiOutCtrl engine;
  size_t mark = 0;
};

TEST_F(BoardCommandTest, PacksSevenBytesIntoEight) {
  const uint8_t header[] = {0xF0, 0x43};
  const uint8_t seven[] = {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86};
  const uint8_t one[] = {0xFF};
  EXPECT_EQ(engine.SendPackedData(seven, 7, header, 2, true), 11u);
  EXPECT_EQ(engine.SendPackedData(one, 1, header, 2, true), 5u);
  EXPECT_EQ(engine.SendPackedData(nullptr, 0, header, 2, true), 3u);
  EXPECT_EQ(engine.SendPackedData(seven, 7, header, 2, false), 10u);
  EXPECT_THAT(Sent(), ElementsAre(Bytes{0xF0, 0x43, 0x7F, 0, 1, 2, 3, 4, 5, 6, 0xF7}, Bytes{0xF0, 0x43, 0x40, 0x7F, 0xF7},
                                  Bytes{0xF0, 0x43, 0xF7},
                                  Bytes{0xF0, 0x43, 0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0xF7}));
}

TEST_F(BoardCommandTest, SendVoiceSendsParamsAndThePackedBlock) {
  host.registry.document = &doc;
  EXPECT_EQ(engine.SendVoice(FmVoice(2), 0), 1);
  std::vector<Bytes> sent = Sent();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(Hex(sent[0]), "F0 43 79 06 7F 02 7C 00 05 00 F7");
  EXPECT_EQ(sent[1].size(), 48u);
  EXPECT_TRUE(StartsWith(sent[1], {0xF0, 0x43, 0x79, 0x06, 0x7F, 0x01, 0x7C, 0x00, 0x05, 0x00, 0x00}));
  EXPECT_EQ(doc.TestModifiedFlags(3), 3u) << "a voice transfer marks the song";

  Clear();
  engine.SendVoice(FmVoice(1), 0);
  sent = Sent();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[1].size(), 32u);

  Clear();
  engine.SendVoice(PcmVoice(0), 0);
  sent = Sent();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[1].size(), 31u);
  EXPECT_EQ(sent[1][10], 1) << "k 1 for a PCM voice";
}

TEST_F(BoardCommandTest, VoicesOutsideTheUserBanksAreNeverSent) {
  CVoiceItem zero = FmVoice(2);
  zero.SetBankMsb(0);
  CVoiceItem fixed = FmVoice(2);
  fixed.SetBankLsb(10);
  EXPECT_EQ(engine.SendVoice(zero, 1), 1);
  EXPECT_EQ(engine.SendVoice(fixed, 1), 1);
  EXPECT_EQ(engine.SendBankVoices(zero), 1);
  EXPECT_THAT(Sent(), IsEmpty());
}

TEST_F(BoardCommandTest, WaveOfAVoiceGoesInPiecesWithWaitsBetween) {
  FindBoard();
  host.registry.document = &doc;
  EXPECT_EQ(engine.SendBankVoices(PcmVoice(3500)), 1);
  EXPECT_THAT(SentWithWaits(), ElementsAre("8", "4009")) << "one piece, no wait";
  EXPECT_EQ(Hex(Sent()[0]), "F0 43 79 06 7F 04 09 F7");
  EXPECT_EQ(doc.TestModifiedFlags(3), 3u);

  Clear();
  EXPECT_EQ(engine.SendBankVoices(PcmVoice(3501)), 1);
  EXPECT_THAT(SentWithWaits(), ElementsAre("8", "W", "4009", "11"));
  const std::vector<Bytes> sent = Sent();
  EXPECT_EQ(sent[1][7], 0x22) << "f | 0x20 on every piece but the last";
  EXPECT_EQ(sent[2][7], 0x02);
}

TEST_F(BoardCommandTest, WaveSizeNeverPassesTheSamplesHeld) {
  CVoiceItem item = PcmVoice(100);
  item.SetWaveLength(60000);  // a length field far beyond the 100 samples held
  EXPECT_EQ(engine.SendBankVoices(item), 1);
  const std::vector<Bytes> sent = Sent();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[1].size(), 8u + PackedSize7In8(item.GetWaveSampleSize()) + 1);
  EXPECT_LE(item.GetWaveSampleSize(), 100u);
}

TEST_F(BoardCommandTest, StreamPcmPiecesCarryTheValueAndUpTo3498Bytes) {
  FindBoard();
  const Bytes data(3499, 0x10);
  EXPECT_EQ(engine.SendVoiceBlock(3, 2, 0x1234, data.data(), 3499, 1), 1);
  EXPECT_THAT(SentWithWaits(), ElementsAre("W", std::to_string(8 + PackedSize7In8(3500) + 1), "13"));
  std::vector<Bytes> sent = Sent();
  EXPECT_EQ(sent[0][7], 1 * 4 + 0x20 + 2);
  EXPECT_EQ(sent[1][7], 1 * 4 + 2);

  Clear();
  const Bytes almost(3498, 0x10);
  EXPECT_EQ(engine.SendVoiceBlock(3, 0, 0x1234, almost.data(), 3498, 0), 1);
  EXPECT_THAT(SentWithWaits(), ElementsAre(std::to_string(8 + PackedSize7In8(3500) + 1))) << "3498 bytes: one last piece";

  Clear();
  EXPECT_EQ(engine.SendVoiceBlock(3, 0, 0x1234, nullptr, 0, 0), 1);
  sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(Hex(sent[0]), "F0 43 79 06 7F 05 03 00 00 12 34 F7");
}

TEST_F(BoardCommandTest, LongDataWaitsBeforeEveryPiece) {
  FindBoard();
  const Bytes data(7001, 0x33);
  EXPECT_EQ(engine.SendLongData(1, data.data(), 7001, true), 1);
  EXPECT_THAT(SentWithWaits(), ElementsAre("W", "4006", "W", "4006", "W", "8"));
}

TEST_F(BoardCommandTest, ReadyTimeoutEndsTheTransferAndLeavesTheMarksSet) {
  FindBoard(255);
  backend.ClearAnswers();  // the board never answers the ready query
  host.registry.document = &doc;
  const uint32_t start = clock.NowMs();
  EXPECT_EQ(engine.SendBankVoices(PcmVoice(4000)), 0);
  EXPECT_GE(clock.NowMs() - start, 60000u);
  EXPECT_EQ(doc.TestModifiedFlags(3), 3u);
  const Bytes data(3501, 1);
  EXPECT_EQ(engine.SendVoiceBlock(1, 0, 0, data.data(), 3501, 0), 0);
}

TEST_F(BoardCommandTest, ValueMessagesCarry28BitValues) {
  engine.SendBoardValue0A(100000, 1);
  engine.SendChannelValue1A(2, 100000);
  engine.SendBoardValue06(123456);
  host.profile.WriteProfileInt("Setting", "OutputFormat", 6);
  engine.SendBoardValue06(123456);
  engine.SendBoardValue07(1);
  engine.SendBoardCommand13(2, 1, 0, 1);
  std::vector<std::string> hex;
  for (const Bytes& m : Sent()) hex.push_back(Hex(m));
  EXPECT_THAT(hex, ElementsAre("F0 43 79 05 7E 0A 20 0D 06 00 F7", "F0 43 79 05 7E 1A 02 20 0D 06 00 F7",
                               "F0 43 79 06 7E 06 40 44 07 00 F7", "F0 43 79 06 7F 13 52 F7"));
}

TEST_F(BoardCommandTest, PlayPositionIsNotSentWhilePlayingUnlessForced) {
  engine.SetPlaying(true);
  engine.SendBoardValue0A(5, 0);
  EXPECT_THAT(Sent(), IsEmpty());
  engine.SendBoardValue0A(5, 1);
  EXPECT_EQ(Sent().size(), 1u);
  engine.SetPlaying(false);
}

TEST_F(BoardCommandTest, TransportAndChannelMessages) {
  engine.SetBoardSwitch(1);
  engine.SetBoardSwitch(0);
  engine.SendChannelValue12(1, 1);  // not active yet: nothing
  engine.SendChannelOn(1);
  engine.SendChannelValue12(1, 1);
  engine.SendChannelValue18(1, 6);
  engine.SendChannelValue13(1, 3);
  engine.SendChannelOff(1);
  engine.SendChannelValue13(1, 3);
  engine.SendBoardCommand09(100);
  engine.SendBoardCommand04(7);
  engine.SendBoardCommand06(1);
  EXPECT_EQ(engine.SendBoardCommand07(3), 0);
  EXPECT_EQ(engine.SendBoardCommand07(2), 1);
  engine.SendBoardCommand08(1, 2, 3);
  engine.SendBoardCommand0B(4, 5, 6);
  engine.SendBoardCommand0D(9);
  engine.SendBoardCommand11(5);
  engine.SendBoardCommand09b(100);
  engine.ResetBoard();
  const uint8_t data[] = {1, 2};
  engine.SendBoardData0C(3, data, 2);
  engine.SendBankSelect(2, 124, 1);
  engine.SendProgramChange(2, 5);
  std::vector<std::string> hex;
  for (const Bytes& m : Sent()) hex.push_back(Hex(m));
  EXPECT_THAT(hex, ElementsAre("F0 43 79 05 7E 02 00 F7", "F0 43 79 05 7E 02 01 F7", "F0 43 79 05 7E 11 01 F7",
                               "F0 43 79 05 7E 12 01 01 F7", "F0 43 79 05 7E 18 01 06 F7",
                               "F0 43 79 05 7E 13 01 03 F7", "F0 43 79 05 7E 10 01 F7", "F0 43 79 05 7E 09 64 F7",
                               "F0 43 79 06 7F 04 07 F7", "F0 43 79 06 7F 06 01 F7", "F0 43 79 06 7F 07 02 F7",
                               "F0 43 79 06 7F 08 01 02 03 F7", "F0 43 79 06 7F 0B 04 05 06 F7",
                               "F0 43 79 06 7F 0D 09 F7", "F0 43 79 06 7F 11 05 F7", "F0 43 79 06 7E 09 64 F7",
                               "F0 43 79 06 7F 7F F7", "F0 43 79 06 7F 0C 03 00 01 02 F7", "B2 00 7C", "B2 20 01",
                               "C2 05"));
}

TEST_F(BoardCommandTest, SettingsRowsByChipMode) {
  struct Case {
    int chip;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {3,
       {"F0 43 79 05 7F 03 04 10 00 F7", "F0 43 79 05 7F 03 03 11 00 F7", "F0 43 79 05 7F 03 02 12 00 F7",
        "F0 43 79 05 7F 03 06 01 00 F7", "F0 43 79 05 7F 03 09 02 00 F7", "F0 43 79 05 7F 03 11 0E 00 F7",
        "F0 43 79 05 7F 03 10 64 00 F7"}},
      {2,
       {"F0 43 79 05 7F 03 00 0F 01 F7", "F0 43 79 05 7F 03 00 25 10 F7", "F0 43 79 05 7F 03 00 0F 01 F7",
        "F0 43 79 05 7F 03 00 23 11 F7", "F0 43 79 05 7F 03 00 24 05 F7", "F0 43 79 05 7F 03 00 0F 01 F7",
        "F0 43 79 05 7F 03 00 22 12 F7", "F0 43 79 05 7F 03 06 01 00 F7", "F0 43 79 05 7F 03 09 02 00 F7",
        "F0 43 79 05 7F 03 11 0E 00 F7", "F0 43 79 05 7F 03 10 64 00 F7"}},
      // Chip mode 1 opens no port for a message: its play thread has its own.
      {1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chip);
    host.settings.chipMode = c.chip;
    Clear();
    engine.SendBoardParam03a(0x10);
    engine.SendBoardParam03b(0x11, 5);
    engine.SendBoardParam03c(0x12);
    engine.SendBoardParam03_06(1);
    engine.SendBoardParam03_09(2);
    engine.SendBoardParam03_11(14);
    EXPECT_EQ(engine.SendBoardParam03_10(100), 1);
    EXPECT_EQ(engine.SendBoardParam03_10(69), 0);
    EXPECT_EQ(engine.SendBoardParam03_10(131), 0);
    std::vector<std::string> hex;
    for (const Bytes& m : All()) hex.push_back(Hex(m));
    EXPECT_EQ(hex, c.expected);
  }
}

TEST_F(BoardCommandTest, StreamPcmSlotGoesAsItsVoiceBlock) {
  CStreamPCMSlot slot;
  slot.SetId(4);
  slot.SetFlag(true);
  slot.SetFormat(2);
  slot.SetRate(0x1F40);
  const uint8_t wave[] = {1, 2, 3};
  slot.SetWaveData(wave, 3);
  engine.SendVoiceItem(slot);
  const std::vector<Bytes> sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(Hex(sent[0]), "F0 43 79 06 7F 05 04 06 00 1F 40 01 02 03 F7");
}

TEST_F(BoardCommandTest, ApplyingTheStreamPcmReserveOnTheBoard) {
  // What the start-up sends with kind 1, profile 2 and zero settings.
  engine.ResetBoard();
  engine.SendBoardCommand11(0);
  engine.SendBoardCommand07(0);
  engine.SendBoardCommand09b(100);
  engine.SendBoardCommand13(0, 0, 0, 0);
  engine.SendBoardParam03_06(0);
  engine.SendBoardParam03_09(0);
  std::vector<std::string> hex;
  for (const Bytes& m : Sent()) hex.push_back(Hex(m));
  EXPECT_THAT(hex, ElementsAre("F0 43 79 06 7F 7F F7", "F0 43 79 06 7F 11 00 F7", "F0 43 79 06 7F 07 00 F7",
                               "F0 43 79 06 7E 09 64 F7", "F0 43 79 06 7F 13 00 F7", "F0 43 79 05 7F 03 06 00 00 F7",
                               "F0 43 79 05 7F 03 09 00 00 F7"));
}

}  // namespace
