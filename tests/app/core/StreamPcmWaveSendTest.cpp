#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/StreamPcmWaveSend.h"
#include "device/testing/RecordingOutputEngine.h"
#include "platform/host/testing/FakeHost.h"
#include "song/StreamPCMSlot.h"
#include "song/document/KZ1Doc.h"

namespace {

/// The recording engine with the stream-PCM assignment commands and the slots it was given.
class StreamEngine : public RecordingOutputEngine {
 public:
  int SendVoiceItem(const CStreamPCMSlot& slot) override {
    return Log("SendVoiceItem(" + std::to_string(slot.GetId()) + "," +
               std::to_string(slot.GetDataSize()) + ")");
  }
  int SendBoardCommand08(int a, int b, int c) override {
    return Log(Three("SendBoardCommand08", a, b, c));
  }
  int SendBoardCommand0B(int a, int b, int c) override {
    return Log(Three("SendBoardCommand0B", a, b, c));
  }

 private:
  static std::string Three(const char* name, int a, int b, int c) {
    return std::string(name) + "(" + std::to_string(a) + "," + std::to_string(b) + "," +
           std::to_string(c) + ")";
  }
};

class StreamPcmWaveSend : public ::testing::Test {
 protected:
  StreamPcmWaveSend() {
    doc.BuildStreamPcmSlots();
    host.registry.document = &doc;
  }

  void PutWave(int id, uint32_t size) {
    CStreamPCMSlot s;
    s.SetId(id);
    s.SetRate(8000);
    const std::vector<uint8_t> bytes(size, 0x11);
    s.SetWaveData(bytes.data(), size);
    doc.SetStreamPcmSlot(id, s);
  }

  platform::FakeHost host;
  CKZ1Doc doc;
  StreamEngine engine;
};

TEST_F(StreamPcmWaveSend, WavesGoWithTheirPanAndPairingCommands) {
  PutWave(2, 3);
  PutWave(5, 4);
  PutWave(6, 4);
  PutWave(49, 1);  // the last slot belongs to the range too
  doc.SetStreamPcmSetting(2, 0, 30);
  doc.GetStreamPcmSlot(5)->SetIndex(6);
  doc.GetStreamPcmSlot(6)->SetIndex(5);
  doc.ResetModifiedFlags();
  host.messages.answers = {1};
  EXPECT_EQ(stream_pcm::RunSendStreamPcmWaveMessage(&doc, &engine), 4);
  const std::vector<std::string> expected = {
      "SendBoardCommand06(2)",  "SendVoiceItem(2,3)",  "SendBoardCommand0B(2,1,64)",
      "SendBoardCommand06(5)",  "SendVoiceItem(5,4)",  "SendBoardCommand08(0,5,6)",
      "SendBoardCommand06(6)",  "SendVoiceItem(6,4)",  "SendBoardCommand08(0,6,5)",
      "SendBoardCommand06(49)", "SendVoiceItem(49,1)",
  };
  EXPECT_EQ(engine.calls, expected);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7140});
  EXPECT_EQ(host.ui.busyPictures, std::vector<int>{6});
  EXPECT_NE(doc.TestModifiedFlags(CKZ1Doc::kFlagUnsent), 0u);
  EXPECT_EQ(doc.TestModifiedFlags(CKZ1Doc::kFlagUnsaved), 0u);
}

TEST_F(StreamPcmWaveSend, AnythingButOkSendsNothing) {
  PutWave(1, 2);
  host.messages.answers = {2};
  EXPECT_EQ(stream_pcm::RunSendStreamPcmWaveMessage(&doc, &engine), 0);
  EXPECT_TRUE(engine.calls.empty());
  EXPECT_TRUE(host.ui.busyPictures.empty());
  EXPECT_EQ(stream_pcm::RunSendStreamPcmWaveMessage(nullptr, &engine), 0);
  EXPECT_EQ(stream_pcm::RunSendStreamPcmWaveMessage(&doc, nullptr), 0);
}

TEST_F(StreamPcmWaveSend, WavesAreFoundOverTheWholeSlotRange) {
  EXPECT_FALSE(stream_pcm::HasStreamPcmWaves(nullptr));
  EXPECT_FALSE(stream_pcm::HasStreamPcmWaves(&doc));
  EXPECT_EQ(stream_pcm::LastSlotIndex(doc), 49);
  PutWave(49, 1);
  EXPECT_TRUE(stream_pcm::HasStreamPcmWaves(&doc));
  CKZ1Doc bare;
  bare.FreeStreamPcmSlots();
  EXPECT_EQ(stream_pcm::LastSlotIndex(bare), -1);
  EXPECT_FALSE(stream_pcm::HasStreamPcmWaves(&bare));
}

}  // namespace
