// Songs opened from a Standard MIDI File, saved or exported in every form the program writes in
// chip mode 3 and opened again, through the real Velkgate and Midigate plug-ins: the notes come
// back on their channels and keys, with their velocities, at their milliseconds.
#include "TestPaths.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "app/CnvParam.h"
#include "app/core/ConverterBinder.h"
#include "app/core/KZ1ExportService.h"
#include "platform/host/testing/FakeHost.h"
#include "platform/io/FileIo.h"
#include "song/GrowPtrArray.h"
#include "song/MemStream.h"
#include "song/MidiMsg.h"
#include "song/SongSetup.h"
#include "song/VoiceLibrary.h"
#include "song/document/KZ1Doc.h"
#include "tests/song/SmfTestImages.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

struct Note {
  int channel;
  int key;
  int velocity;  // -1 where the form has none
  int startMs;
  int lengthMs;
};

std::ostream& operator<<(std::ostream& os, const Note& n) {
  return os << "ch " << n.channel << " key " << n.key << " vel " << n.velocity << " at " << n.startMs << " for "
            << n.lengthMs;
}

// Song 1: 480 a quarter at 500000. The first note ends on tick 48, 50 ms: exactly half a
// 4 ms tick past 12. Song 2: 96 a quarter, 600000 then 300000 from tick 192, notes across it.
Bytes TuneSong() {
  smftest::Track t;
  t.Event(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20})
      .Event(0, {0xC0, 0x05})
      .Event(0, {0xC1, 0x10})
      .Event(0, {0x90, 60, 100})
      .Event(10, {0x91, 64, 80})
      .Event(38, {0x80, 60, 0})
      .Event(432, {0x90, 67, 127})
      .Event(0, {0x81, 64, 0})
      .Event(240, {0x80, 67, 0})
      .Event(0, {0x91, 72, 1})
      .Event(960, {0x81, 72, 0})
      .EndOfTrack();
  return smftest::Image({t}, 0, 480);
}

Bytes TempoChangeSong() {
  smftest::Track t;
  t.Event(0, {0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0})
      .Event(0, {0xC2, 0x20})
      .Event(0, {0x92, 48, 90})
      .Event(150, {0x92, 55, 60})
      .Event(42, {0xFF, 0x51, 0x03, 0x04, 0x93, 0xE0})
      .Event(0, {0x82, 48, 0})
      .Event(100, {0x82, 55, 0})
      .Event(5, {0x92, 50, 110})
      .Event(37, {0x82, 50, 0})
      .EndOfTrack();
  return smftest::Image({t}, 0, 96);
}

// Song 3: two overlapping notes of one key, which the import ties into the first one, so the
// track ends 340 ticks after the last note that is kept; a faster tempo from tick 1410.
Bytes TiedNotesSong() {
  smftest::Track t;
  t.Event(0, {0xFF, 0x51, 0x03, 0x07, 0x0A, 0xE2})
      .Event(0, {0xC0, 0x05})
      .Event(772, {0x90, 71, 79})
      .Event(173, {0x90, 70, 23})
      .Event(124, {0x90, 71, 31})
      .Event(163, {0x80, 71, 0})
      .Event(168, {0x80, 70, 0})
      .Event(10, {0xFF, 0x51, 0x03, 0x04, 0x93, 0xE0})
      .Event(162, {0x80, 71, 0})
      .EndOfTrack();
  return smftest::Image({t}, 0, 192);
}

/// The notes of the song in list order, with their times by the song's tempo map.
std::vector<Note> NotesOf(const CKZ1Doc& doc, bool velocity = true) {
  std::vector<Note> notes;
  for (const auto& m : *doc.GetMidiList()) {
    if (m->GetLength() < 3 || (m->GetData()[0] & 0xF0) != 0x90 || m->GetData()[2] == 0) continue;
    const int start = static_cast<int>(doc.TickToMsByMap(m->GetTick(), 0));
    const int end = static_cast<int>(doc.TickToMsByMap(m->GetEndTick(), 0));
    notes.push_back({m->GetData()[0] & 0x0F, m->GetData()[1], velocity ? m->GetData()[2] : -1, start, end - start});
  }
  std::stable_sort(notes.begin(), notes.end(),
                   [](const Note& a, const Note& b) { return std::tie(a.startMs, a.channel, a.key) < std::tie(b.startMs, b.channel, b.key); });
  return notes;
}

/// Every note of `back` matches the same note of `want` within `tolerance` ms at each end.
void ExpectSameNotes(const std::vector<Note>& back, const std::vector<Note>& want, int tolerance) {
  ASSERT_EQ(back.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(::testing::Message() << "note " << i << ": " << want[i] << ", back " << back[i]);
    EXPECT_EQ(back[i].channel, want[i].channel);
    EXPECT_EQ(back[i].key, want[i].key);
    if (back[i].velocity >= 0 && want[i].velocity >= 0) {
      EXPECT_EQ(back[i].velocity, want[i].velocity);
    }
    EXPECT_LE(std::abs(back[i].startMs - want[i].startMs), tolerance);
    EXPECT_LE(std::abs(back[i].startMs + back[i].lengthMs - want[i].startMs - want[i].lengthMs), tolerance);
  }
}

Bytes StreamBytes(const CMemStream& s) { return Bytes(s.GetData(), s.GetData() + s.GetSize()); }

class KZ1DocRoundTrip : public testing::Test {
 public:
  void SetUp() override {
    host.settings.chipMode = 3;
    host.settings.outputProfile = 2;
    host.settings.appDir = std::string(TRILLOT_BIN_DIR) + "/";
    host.registry.voiceLibrary = &library;
    ASSERT_TRUE(library.LoadDefaultVoices());
    services = platform::host();
    services.binder = &binder;
    services.kz1Export = &kz1;
    scope = std::make_unique<platform::ScopedHost>(services);
    dir = fs::temp_directory_path() /
          ("trillot_roundtrip_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    scope.reset();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  std::string Path(const std::string& name) const { return (dir / name).string(); }

  /// The song written as a ".mid" and opened through Midigate.
  void OpenSmf(CKZ1Doc& doc, const Bytes& smf) {
    ASSERT_TRUE(platform::WriteFileAtomic(Path("song.mid"), smf));
    ASSERT_EQ(doc.OpenWithChannelMask(Path("song.mid"), 0xFFFF, 24), 1);
  }

  /// The song's native data through Midigate's CnvTo: the bytes of the SMF export.
  Bytes ExportSmf(CKZ1Doc& doc) {
    CMemStream native;
    if (doc.makeKZ3NativeFormat(native, 0, 0) != 1) return {};
    const auto size = static_cast<uint32_t>(native.GetSize());
    Bytes out(size_t{size} * 7);
    CnvParam param{};
    param.src = native.GetData();
    param.srcSize = size;
    param.dst = out.data();
    param.dstSize = size * 7;
    const uint32_t result = binder.Convert(param, 7, 1);
    if (!IsConvertSuccess(result)) return {};
    out.resize(result);
    return out;
  }

  /// The ".mmf" the save writes, plain or Huffman-coded.
  Bytes SaveVelk(CKZ1Doc& doc, int compression) {
    if (doc.BuildOutputImage(1, std::string(), 1, compression, 0) != 1) return {};
    if (doc.SaveDocument(Path("saved.mmf")) != 1) return {};
    return platform::ReadWholeFile(Path("saved.mmf")).value_or(Bytes{});
  }

  Bytes ExportKZ1(CKZ1Doc& doc) {
    host.registry.document = &doc;
    SongOutputRecord setup;
    doc.BuildOutputSetup(setup, 1);
    CMemStream image;
    const int ok = kz1.ConvertToKZ1(image, 1, setup);
    kz1Reason = kz1.GetLastReason();
    host.registry.document = nullptr;
    return ok ? StreamBytes(image) : Bytes{};
  }

  platform::FakeHost host;
  CVoiceLibrary library;
  ConverterBinder binder;
  CKZ1ExportService kz1;
  std::string kz1Reason;
  platform::HostServices services;
  std::unique_ptr<platform::ScopedHost> scope;
  fs::path dir;
};

struct Form {
  const char* name;
  const char* ending;
  int tolerance;  // ms: half the form's time step at each end
  bool velocity;
  std::function<Bytes(KZ1DocRoundTrip&, CKZ1Doc&)> write;
};

TEST_F(KZ1DocRoundTrip, NotesComeBackFromEveryForm) {
  const std::vector<Form> forms = {
      {"SMF", ".mid", 1, true, [](KZ1DocRoundTrip& t, CKZ1Doc& d) { return t.ExportSmf(d); }},
      {"native", ".K3N", 1, true,
       [](KZ1DocRoundTrip&, CKZ1Doc& d) {
         CMemStream s;
         return d.makeKZ3NativeFormat(s, 0, 0) == 1 ? StreamBytes(s) : Bytes{};
       }},
      {"VELK", ".mmf", 2, true, [](KZ1DocRoundTrip& t, CKZ1Doc& d) { return t.SaveVelk(d, 0); }},
      {"VELK Huffman", ".mmf", 2, true, [](KZ1DocRoundTrip& t, CKZ1Doc& d) { return t.SaveVelk(d, 1); }},
  };
  const std::vector<std::pair<const char*, Bytes>> songs = {
      {"tune", TuneSong()}, {"tempo change", TempoChangeSong()}, {"tied notes", TiedNotesSong()}};
  for (const auto& [songName, smf] : songs) {
    for (const Form& form : forms) {
      SCOPED_TRACE(std::string(songName) + " as " + form.name);
      CKZ1Doc doc;
      ASSERT_NO_FATAL_FAILURE(OpenSmf(doc, smf));
      const std::vector<Note> want = NotesOf(doc, form.velocity);
      ASSERT_GE(want.size(), 2u);
      const Bytes written = form.write(*this, doc);
      ASSERT_FALSE(written.empty());
      const std::string path = Path(std::string("written") + form.ending);
      ASSERT_TRUE(platform::WriteFileAtomic(path, written));
      CKZ1Doc back;
      ASSERT_EQ(back.OpenWithChannelMask(path, 0xFFFF, 24), 1);
      ExpectSameNotes(NotesOf(back, form.velocity), want, form.tolerance);
    }
  }
}

/// Notes as the text score holds them: a tied chain (each piece ending one tick after the next
/// one starts, on the same key) is one note from its first start to its last end.
std::vector<std::tuple<int, uint32_t, uint32_t>> TiedChainsJoined(std::vector<std::tuple<int, uint32_t, uint32_t>> notes) {
  std::vector<std::tuple<int, uint32_t, uint32_t>> out;
  for (const auto& n : notes) {
    if (!out.empty() && std::get<0>(out.back()) == std::get<0>(n) && std::get<2>(out.back()) == std::get<1>(n) + 1) {
      std::get<2>(out.back()) = std::get<2>(n);
    } else {
      out.push_back(n);
    }
  }
  return out;
}

TEST_F(KZ1DocRoundTrip, TextScoreOfAChannelReadsBackItsNotes) {
  // The notation holds one note at a time: the channels without chords.
  const std::vector<std::pair<Bytes, std::vector<int>>> songs = {{TuneSong(), {0, 1}}, {TempoChangeSong(), {}},
                                                                 {TiedNotesSong(), {}}};
  for (const auto& [smf, channels] : songs) {
    CKZ1Doc doc;
    ASSERT_NO_FATAL_FAILURE(OpenSmf(doc, smf));
    for (int channel : channels) {
      SCOPED_TRACE(channel);
      std::string text;
      std::string error;
      ASSERT_EQ(doc.MakeTextScore(channel, text, error, nullptr), 1) << error;
      CGrowPtrArray events;
      ASSERT_EQ(doc.ParseTextScore(channel, text, events, error), 1) << error << "\n" << text;
      std::vector<std::tuple<int, uint32_t, uint32_t>> back;
      std::vector<std::tuple<int, uint32_t, uint32_t>> want;
      for (uint32_t i = 0; i < events.GetCount(); ++i) {
        auto* m = static_cast<CMidiMsg*>(events.GetAt(i));
        back.emplace_back(m->GetData()[1], m->GetTick(), m->GetEndTick());
        delete m;
      }
      for (const auto& m : *doc.GetMidiList()) {
        if (m->GetLength() < 3 || m->GetData()[0] != (0x90 | channel) || m->GetData()[2] == 0) continue;
        want.emplace_back(m->GetData()[1], m->GetTick(), m->GetEndTick());
      }
      ASSERT_FALSE(want.empty());
      EXPECT_EQ(TiedChainsJoined(back), want) << text;
    }
  }
}

TEST_F(KZ1DocRoundTrip, SavingAReopenedVelkFileGivesTheSameBytes) {
  for (const Bytes& smf : {TuneSong(), TempoChangeSong(), TiedNotesSong()}) {
    for (int compression : {0, 1}) {
      SCOPED_TRACE(compression);
      CKZ1Doc doc;
      ASSERT_NO_FATAL_FAILURE(OpenSmf(doc, smf));
      const Bytes first = SaveVelk(doc, compression);
      ASSERT_FALSE(first.empty());
      CKZ1Doc again;
      ASSERT_EQ(again.OpenWithChannelMask(Path("saved.mmf"), 0xFFFF, 24), 1);
      const Bytes second = SaveVelk(again, compression);
      EXPECT_EQ(second, first);
    }
  }
}

TEST_F(KZ1DocRoundTrip, SmfExportOfAReopenedVelkFileIsTimed) {
  CKZ1Doc doc;
  ASSERT_NO_FATAL_FAILURE(OpenSmf(doc, TempoChangeSong()));
  const std::vector<Note> want = NotesOf(doc);
  ASSERT_FALSE(SaveVelk(doc, 0).empty());
  CKZ1Doc velk;
  ASSERT_EQ(velk.OpenWithChannelMask(Path("saved.mmf"), 0xFFFF, 24), 1);
  const Bytes smf = ExportSmf(velk);
  ASSERT_GE(smf.size(), 14u);
  EXPECT_EQ((smf[12] << 8) | smf[13], 480);
  ASSERT_TRUE(platform::WriteFileAtomic(Path("back.mid"), smf));
  CKZ1Doc back;
  ASSERT_EQ(back.OpenWithChannelMask(Path("back.mid"), 0xFFFF, 24), 1);
  ExpectSameNotes(NotesOf(back), want, 3);
}

// Waits for the KZ-1 export of chip mode 3: the generation-1 conversion still refuses the
// song's VELK image ("File Format Error").
TEST_F(KZ1DocRoundTrip, DISABLED_KZ1ExportOfAChipMode3Song) {
  CKZ1Doc doc;
  ASSERT_NO_FATAL_FAILURE(OpenSmf(doc, TuneSong()));
  const std::vector<Note> want = NotesOf(doc, false);
  const Bytes image = ExportKZ1(doc);
  ASSERT_FALSE(image.empty()) << "the generation-1 conversion gave: " << kz1Reason;
  ASSERT_TRUE(platform::WriteFileAtomic(Path("song.kz1"), image));
  CKZ1Doc back;
  ASSERT_EQ(back.OpenWithChannelMask(Path("song.kz1"), 0xFFFF, 24), 1);
  ExpectSameNotes(NotesOf(back, false), want, 2);
}

}  // namespace
