// The native image of a song opened through the real Midigate plug-in: written to a ".K3N"
// and opened again, and handed back to Midigate's CnvTo as a plain Standard MIDI File.
#include "TestPaths.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "../PcmVoiceFixture.h"
#include "app/CnvParam.h"
#include "app/core/ConverterBinder.h"
#include "platform/host/testing/FakeHost.h"
#include "platform/io/FileIo.h"
#include "song/MemStream.h"
#include "song/SmfMultiTrackWalk.h"
#include "song/StreamPCMSlot.h"
#include "song/VoiceItem.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"
#include "tests/song/SmfTestImages.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// Format 0, division 480: tempo 600000, channel 0 bank 0x7C program 5 with notes 60 and 64,
// channel 1 bank 0x7C program 16 with note 67, START at 0, cue A at 480, STOP at 960.
Bytes Fixture() {
  smftest::Track t;
  t.Event(0, {0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0})
      .Meta(0, 0x07, "START")
      .Event(0, {0xB0, 0x00, 0x7C})
      .Event(0, {0xC0, 0x05})
      .Event(0, {0xB1, 0x00, 0x7C})
      .Event(0, {0xC1, 0x10})
      .Event(0, {0x90, 60, 100})
      .Event(0, {0x91, 67, 90})
      .Event(480, {0x80, 60, 0})
      .Meta(0, 0x07, "01LSTPA")
      .Event(0, {0x90, 64, 80})
      .Event(480, {0x80, 64, 0})
      .Event(0, {0x81, 67, 0})
      .Meta(0, 0x07, "STOP")
      .EndOfTrack();
  return smftest::Image({t}, 0, 480);
}

// An event as the comparison sees it: tick, end tick, bytes, cue number.
using Event = std::tuple<uint32_t, uint32_t, Bytes, uint32_t>;

std::vector<Event> Events(const CKZ1Doc::EventList& list) {
  std::vector<Event> out;
  for (const auto& m : list) {
    out.emplace_back(m->GetTick(), m->GetEndTick(), Bytes(m->GetData(), m->GetData() + m->GetLength()),
                     m->GetExtra());
  }
  // Order within one tick may change: compare as sorted lists.
  std::sort(out.begin(), out.end());
  return out;
}

class NativeRoundTrip : public testing::Test {
 protected:
  void SetUp() override {
    host.settings.chipMode = 3;
    host.settings.outputProfile = 2;
    host.settings.appDir = std::string(TRILLOT_BIN_DIR) + "/";
    host.registry.voiceLibrary = &library;
    ASSERT_TRUE(library.LoadDefaultVoices());
    services = platform::host();
    services.binder = &binder;
    scope = std::make_unique<platform::ScopedHost>(services);
    dir = fs::temp_directory_path() /
          ("trillot_native_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const Bytes bytes = Fixture();
    ASSERT_TRUE(platform::WriteFileAtomic((dir / "fixture.mid").string(), bytes));
  }
  void TearDown() override {
    scope.reset();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  /// The fixture opened through Midigate, with a PCM voice played on channel 3.
  void OpenSong(CKZ1Doc& doc) {
    ASSERT_EQ(doc.OpenWithChannelMask((dir / "fixture.mid").string(), 0xFFFF, 24), 1);
    int slot = 0;
    while (doc.GetVoiceProgram(slot) != 255) ++slot;
    CVoiceItem pcm = doctest::PcmVoice(10, 40);
    pcm.SetPcmFs(8000);
    ASSERT_EQ(doc.AssignGivenVoiceItem(slot, 124, 1, 5, 0, pcm, 1), 1);
    // Each event goes behind the last one of its tick, keeping the list in tick order.
    auto add = [&doc](uint32_t tick, uint32_t end, Bytes bytes) {
      auto& list = *doc.GetMidiList();
      auto at = std::find_if(list.begin(), list.end(), [tick](const auto& m) { return m->GetTick() > tick; });
      list.insert(at, std::make_unique<CMidiMsg>(tick, end, static_cast<uint32_t>(bytes.size()), bytes.data(), 0));
    };
    add(0, 0, {0xB4, 0x00, 0x7D});
    add(0, 0, {0xC4, 0x00});
    add(0, 0, {0xB3, 0x00, 0x7C});
    add(0, 0, {0xB3, 0x20, 0x01});
    add(0, 0, {0xC3, 0x05});
    add(240, 720, {0x93, 72, 70});
    // A stream-PCM wave in slot 1, triggered by key 0 of the stream channel 4.
    CStreamPCMSlot stream;
    const Bytes wave(300, 0x33);
    stream.SetWaveData(wave.data(), static_cast<uint32_t>(wave.size()));
    stream.SetRate(8000);
    stream.SetFormat(0);
    ASSERT_EQ(doc.SetStreamPcmSlot(1, stream), 1);
    const Bytes trigger = {0x94, 0, 100};
    doc.GetMidiListPCM()->push_back(std::make_unique<CMidiMsg>(240, 480, 3, trigger.data(), 0));
  }

  platform::FakeHost host;
  CVoiceLibrary library;
  ConverterBinder binder;
  platform::HostServices services;
  std::unique_ptr<platform::ScopedHost> scope;
  fs::path dir;
};

TEST_F(NativeRoundTrip, EventsVoicesAndCuesComeBackFromTheK3N) {
  CKZ1Doc doc;
  ASSERT_NO_FATAL_FAILURE(OpenSong(doc));
  CMemStream image;
  ASSERT_EQ(doc.makeKZ3NativeFormat(image, 0, 1), 1);
  const std::string path = (dir / "song.K3N").string();
  ASSERT_TRUE(platform::WriteFileAtomic(path, image.GetData(), static_cast<size_t>(image.GetSize())));

  CKZ1Doc back;
  ASSERT_EQ(back.OpenDocument(path), 1);
  EXPECT_EQ(Events(*back.GetMidiList()), Events(*doc.GetMidiList()));
  EXPECT_EQ(Events(*back.GetMidiListPCM()), Events(*doc.GetMidiListPCM()));
  for (int k = 0; k < CKZ1Doc::kCueCount; ++k) EXPECT_EQ(back.GetCuePoint(k), doc.GetCuePoint(k)) << k;

  int voices = 0;
  for (int i = 0; i < CVoiceAssignTable::kSlotCount; ++i) {
    if (doc.GetVoiceProgram(i) == 255) continue;
    ++voices;
    SCOPED_TRACE(testing::Message() << "slot " << i);
    const int j = back.FindVoiceIndex(doc.GetVoiceBankMsb(i), doc.GetVoiceBankLsb(i), doc.GetVoiceProgram(i),
                                      doc.GetVoiceNote(i));
    ASSERT_GE(j, 0);
    const CVoiceItem& a = *doc.GetVoiceItem(i);
    const CVoiceItem& b = *back.GetVoiceItem(j);
    EXPECT_TRUE(b.IsSameData(a)) << int(a.GetBankMsb()) << "/" << int(a.GetBankLsb()) << "/" << int(a.GetProgram())
                                 ;
  }
  EXPECT_GE(voices, 3);
  ASSERT_EQ(Events(*back.GetMidiListPCM()).size(), 1u);
  const CStreamPCMSlot* slot = back.GetStreamPcmSlot(1);
  ASSERT_NE(slot, nullptr);
  EXPECT_TRUE(slot->IsSameAs(*doc.GetStreamPcmSlot(1)));
  EXPECT_EQ(back.TickToMsByMap(480, 0), 600u);
}

struct Note {
  uint8_t key, velocity;
  uint32_t start, end;
  bool operator==(const Note&) const = default;
  bool operator<(const Note& o) const { return std::tie(start, key) < std::tie(o.start, o.key); }
};

TEST_F(NativeRoundTrip, MidigateTurnsTheImageIntoAPlainMidiFile) {
  CKZ1Doc doc;
  ASSERT_NO_FATAL_FAILURE(OpenSong(doc));
  CMemStream image;
  ASSERT_EQ(doc.makeKZ3NativeFormat(image, 0, 0), 1);

  const uint32_t size = static_cast<uint32_t>(image.GetSize());
  std::vector<uint8_t> out(size_t{size} * 7);
  CnvParam param{};
  param.src = image.GetData();
  param.srcSize = size;
  param.dst = out.data();
  param.dstSize = size * 7;
  const uint32_t result = binder.Convert(param, 7, 1);
  ASSERT_TRUE(IsConvertSuccess(result)) << std::hex << result;
  ASSERT_LE(result, size * 7);

  CSmfMultiTrackWalk walk;
  walk.Open(out.data(), result);
  EXPECT_EQ(walk.GetHeader().format, 0);
  std::vector<Note> notes;
  std::vector<std::pair<uint8_t, uint8_t>> programs;
  std::vector<Bytes> tempos;
  struct Open {
    uint8_t channel, key, velocity;
    uint32_t start;
  };
  std::vector<Open> sounding;
  walk.Walk([&](const SmfEvent& e, CSmfTrackCursor&) {
    if (e.IsMeta() && e.metaType == 0x51) tempos.emplace_back(e.stored, e.stored + e.storedSize);
    if (!e.IsChannel()) return;
    if (e.Kind() == 0xC0) programs.emplace_back(e.status, e.Data1());
    if (e.IsNoteOn()) sounding.push_back({e.Channel(), e.Data1(), e.Data2(), e.tick});
    if (e.IsNoteRelease()) {
      auto it = std::find_if(sounding.begin(), sounding.end(),
                             [&](const Open& o) { return o.channel == e.Channel() && o.key == e.Data1(); });
      if (it == sounding.end()) return;
      notes.push_back({it->key, it->velocity, it->start, e.tick});
      sounding.erase(it);
    }
  });
  std::sort(notes.begin(), notes.end());
  // Key 0 of channel 4 is the stream-PCM trigger.
  EXPECT_EQ(notes, (std::vector<Note>{{60, 100, 0, 480}, {67, 90, 0, 960}, {0, 100, 240, 480}, {72, 70, 240, 720},
                                      {64, 80, 480, 960}}));
  for (auto program : {std::pair<uint8_t, uint8_t>{0xC0, 5}, {0xC1, 16}, {0xC3, 5}}) {
    EXPECT_NE(std::find(programs.begin(), programs.end(), program), programs.end())
        << std::hex << int(program.first) << " " << int(program.second);
  }
  EXPECT_NE(std::find(tempos.begin(), tempos.end(), (Bytes{0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0})), tempos.end());
}

}  // namespace
