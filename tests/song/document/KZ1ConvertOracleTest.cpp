// Chip-mode 1 songs saved as VELK, converted to KZ-1 data by both engines of the conversion
// job and read back by the KZ-1 reader: every note returns on its part, in time and in pitch.
#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "KZ12TestSupport.h"
#include "song/SongSetup.h"
#include "song/VoiceLibrary.h"
#include "velk/ConvertJob.h"
#include "velk/SequenceNumbers.h"

namespace {

using doctest::AddEvent;
using Note = std::tuple<uint32_t, int, int>;  // time, channel, note

struct VelkSong {
  std::vector<std::tuple<uint32_t, int, int>> notes;  // tick, channel, note
  std::vector<uint32_t> marks;                        // ticks of the FF 00 marks
};

uint32_t Duration(const std::vector<uint8_t>& b, size_t& pos) {
  const uint32_t first = b.at(pos++);
  if (first < 0x80) return first;
  return (first & 0x7F) * 128 + b.at(pos++) + 128;
}

/// The notes and marks of the image's "Mtsq" body as the handset plays them.
VelkSong WalkVelk(const std::vector<uint8_t>& image) {
  const size_t at = kz12test::FindId(image, "Mts", 'q');
  EXPECT_NE(at, std::string::npos);
  const size_t size = (size_t{image[at + 4]} << 24) | (size_t{image[at + 5]} << 16) |
                      (size_t{image[at + 6]} << 8) | image[at + 7];
  const std::vector<uint8_t> b(image.begin() + static_cast<std::ptrdiff_t>(at + 8),
                               image.begin() + static_cast<std::ptrdiff_t>(at + 8 + size));
  VelkSong song;
  int shift[4] = {};
  uint32_t tick = 0;
  for (size_t pos = 0; pos < b.size();) {
    const uint32_t d = Duration(b, pos);
    tick += d;
    const uint8_t e = b.at(pos++);
    if (e == 0) {
      const uint8_t second = b.at(pos++);
      const uint8_t value = b.at(pos++);
      if (second == 0 && d == 0) break;
      if (second != 0 && (second & 0x0F) == 2) shift[second >> 6] = (value & 0x80) ? -(value & 0x7F) : value;
    } else if (e == 0xFF) {
      const uint8_t second = b.at(pos++);
      if (second == 0xF0) pos += 1 + b.at(pos);
      if (second == 0x00) song.marks.push_back(tick);
    } else {
      Duration(b, pos);
      song.notes.emplace_back(tick, e >> 6, NoteFromByte(e, shift[e >> 6]));
    }
  }
  return song;
}

class KZ1ConvertOracle : public kz12test::KZ12FileTest {
 protected:
  void SetUp() override {
    KZ12FileTest::SetUp();
    host.registry.voiceLibrary = &library;
    for (int flag = 0; flag < 2; ++flag) {
      for (int i = 0; i < 128; ++i) {
        uint8_t* entry = library.GetGen1VoiceTable(flag).GetEntry(i);
        for (int b = 20; b < 32; ++b) entry[b] = static_cast<uint8_t>(i + b);
        entry[32] = 0xF0;  // every range allowed
      }
    }
  }

  /// Four channels, each inside the window of its own range s = channel: 37 + 12s .. 72 + 12s.
  CKZ1Doc& FourChannelSong(bool qxCue) {
    host.ui.qxCue = qxCue;
    CKZ1Doc& d = Make(1);
    d.SetTimeBase(4);
    d.SetTempo(120);
    auto& list = *d.GetMidiList();
    const int lows[4] = {37, 60, 70, 90};
    const int highs[4] = {72, 80, 95, 107};
    for (int k = 0; k < 4; ++k) {
      AddEvent(list, 0, 0, {static_cast<uint8_t>(0xC0 + k), static_cast<uint8_t>(k)});
    }
    for (int i = 0; i < 24; ++i) {
      for (int k = 0; k < 4; ++k) {
        const uint32_t tick = static_cast<uint32_t>(i * 240 + k * 30);
        const int note = i % 3 == 0 ? lows[k] : i % 3 == 1 ? highs[k] : (lows[k] + highs[k]) / 2;
        AddEvent(list, tick, tick + 120 + 40 * (i % 4),
                 {static_cast<uint8_t>(0x90 + k), static_cast<uint8_t>(note), 100});
      }
    }
    list.sort([](const auto& a, const auto& b) { return a->GetTick() < b->GetTick(); });
    CleanUp(d);
    EXPECT_EQ(d.SetCuePoint(CKZ1Doc::kStartCue, 0, 1), 1);
    EXPECT_EQ(d.SetCuePoint(3, 2400, 1), 1);
    EXPECT_EQ(d.SetCuePoint(CKZ1Doc::kStopCue, 24 * 240, 1), 1);
    return d;
  }

  std::vector<uint8_t> SaveVelk(CKZ1Doc& d) {
    SongOutputRecord setup;
    d.BuildOutputSetup(setup, 1);
    CMemStream image;
    EXPECT_NE(d.ConvertToVelk_KZ1(image, 0, std::string(), setup, 0, 0, 0), 0);
    return std::vector<uint8_t>(image.GetData(), image.GetData() + image.GetSize());
  }

  int Convert(std::vector<uint8_t> velk, bool qxCue, const char* phrase, std::vector<uint8_t>& kz1) {
    CMemStream in(velk.data(), static_cast<int32_t>(velk.size()), false);
    CMemStream out;
    CConvertJob job(in, library.GetGen1VoiceTable(0), library.GetGen1VoiceTable(1), out, qxCue);
    if (phrase) job.Check(phrase);
    const int result = job.Run();
    kz1.assign(out.GetData(), out.GetData() + out.GetSize());
    return result;
  }

  std::vector<Note> ReadBack(const std::vector<uint8_t>& kz1) {
    kz12test::WriteFile(dir / "song.kz1", kz1);
    CKZ1Doc reader;
    reader.SetRefreshSuppress(0);
    reader.SetExportOption2(1);
    EXPECT_EQ(reader.ReadKZ1File(PathOf("song.kz1")), 1);
    std::vector<Note> notes;
    for (const auto& m : *reader.GetMidiList()) {
      if ((m->GetByte(0) & 0xF0) == 0x90) notes.emplace_back(m->GetTick(), m->GetByte(0) & 0x0F, m->GetByte(1));
    }
    for (int p = 0; p < 4; ++p) {
      uint8_t voice[33] = {};
      reader.GetKZ1Voice(p, voice);
      for (int b = 0; b < 8; ++b) EXPECT_EQ(voice[20 + b], kz1[2 + 8 * p + (b / 4) * 4 + 3 - b % 4]) << p;
    }
    return notes;
  }

  static std::vector<Note> Expected(const VelkSong& song, uint8_t t, uint32_t from, uint32_t to) {
    std::vector<Note> out;
    for (const auto& [tick, channel, note] : song.notes) {
      if (tick < from || tick >= to) continue;
      const auto time = static_cast<uint32_t>(std::llround((tick - from) * 1.7478 / (t + 1)));
      // Channel k's notes lie in the window of range k: they move by 12 (1 - k).
      out.emplace_back(time, channel, note + 12 * (1 - channel));
    }
    return out;
  }

  CVoiceLibrary library;
};

TEST_F(KZ1ConvertOracle, BothEnginesKeepEveryNote) {
  for (bool qxCue : {true, false}) {
    SCOPED_TRACE(qxCue ? "engine A" : "engine B");
    const std::vector<uint8_t> velk = SaveVelk(FourChannelSong(qxCue));
    const VelkSong song = WalkVelk(velk);
    ASSERT_EQ(song.notes.size(), 96u);
    std::vector<uint8_t> kz1;
    ASSERT_EQ(Convert(velk, qxCue, nullptr, kz1), 0);
    ASSERT_GT(kz1.size(), 84u);
    EXPECT_EQ((kz1[0] << 8) | kz1[1], static_cast<int>(kz1.size()));
    const uint8_t t = kz1[69];
    std::vector<Note> got = ReadBack(kz1);
    std::vector<Note> want = Expected(song, t, 0, UINT32_MAX);
    std::sort(got.begin(), got.end());
    std::sort(want.begin(), want.end());
    EXPECT_EQ(got, want);
  }
}

TEST_F(KZ1ConvertOracle, PhraseAGivesOnlyPhraseA) {
  const std::vector<uint8_t> velk = SaveVelk(FourChannelSong(false));
  const VelkSong song = WalkVelk(velk);
  // START, A, STOP, then the closing event.
  ASSERT_GE(song.marks.size(), 3u);
  std::vector<uint8_t> kz1;
  ASSERT_EQ(Convert(velk, false, "PA", kz1), 0);
  std::vector<Note> got = ReadBack(kz1);
  std::vector<Note> want = Expected(song, kz1[69], song.marks[1], song.marks[2]);
  std::sort(got.begin(), got.end());
  std::sort(want.begin(), want.end());
  EXPECT_FALSE(want.empty());
  EXPECT_EQ(got, want);
}

}  // namespace
