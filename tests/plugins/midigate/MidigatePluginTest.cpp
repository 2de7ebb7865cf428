// The built plug-in loaded as the program loads it: exports, round trips and hostile sources.
#include "TestPaths.h"
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SmfFixture.h"
#include "app/CnvParam.h"

using namespace midigate::testing;

namespace {

class MidigatePlugin : public ::testing::Test {
 protected:
  void SetUp() override {
    m_library = dlopen(MIDIGATE_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(m_library, nullptr) << dlerror();
    m_version = reinterpret_cast<GetKZxVersionFunc>(dlsym(m_library, "GetKZxVersion"));
    m_from = reinterpret_cast<CnvEntryFunc>(dlsym(m_library, "CnvFrom"));
    m_to = reinterpret_cast<CnvEntryFunc>(dlsym(m_library, "CnvTo"));
    ASSERT_NE(m_version, nullptr);
    ASSERT_NE(m_from, nullptr);
    ASSERT_NE(m_to, nullptr);
  }
  void TearDown() override {
    if (m_library) dlclose(m_library);
  }

  static constexpr uint32_t kCapacity = 1 << 16;

  // Converts a copy of exactly the given bytes, so that any read behind them is caught.
  Converted From(const Bytes& source) const { return CallEntry(m_from, Bytes(source), kCapacity); }
  Converted To(const Bytes& source) const { return CallEntry(m_to, Bytes(source), kCapacity); }

  void* m_library = nullptr;
  GetKZxVersionFunc m_version = nullptr;
  CnvEntryFunc m_from = nullptr;
  CnvEntryFunc m_to = nullptr;
};

// The events a round trip must keep: notes, program changes and tempo.
std::vector<OutEvent> Performance(const OutFile& file) {
  std::vector<OutEvent> kept;
  for (const OutEvent& e : file.events) {
    uint8_t kind = e.bytes[0] & 0xF0;
    bool tempo = e.bytes.size() == 6 && e.bytes[0] == 0xFF && e.bytes[1] == 0x51;
    if (kind == 0x80 || kind == 0x90 || kind == 0xC0 || tempo) kept.push_back(e);
  }
  return kept;
}

// A format-0 file with running status, texts, SysEx, tempo changes and several channels.
Bytes SampleSong() {
  return SmfWriter(0, 480)
      .Meta(0, 0x03, "Sample")
      .Tempo(0, 500000)
      .Meta(0, 0x58, Bytes{3, 2, 24, 8})
      .SysEx(0, {0x7F, 0x7F, 0x04, 0x01, 0x00, 0x60, 0xF7})
      .Raw(0, {0xB0, 0x00, 0x7C}).Raw(0, {0xB0, 32, 0}).Raw(0, {0xC0, 12})
      .Raw(0, {0xB9, 0x00, 0x7D}).Raw(0, {0xC9, 0})
      .Raw(0, {0x90, 60, 100}).Raw(0, {64, 90}).Raw(0, {0x99, 36, 110})
      .Raw(240, {0x99, 36, 0}).Raw(240, {0x90, 60, 0}).Raw(0, {64, 0})
      .Raw(0, {0xC0, 20}).Raw(0, {0x90, 67, 80})
      .Tempo(480, 400000)
      .Raw(0, {0x80, 67, 64})
      .Raw(0, {0xE0, 0, 0x50})
      .End(120)
      .Build();
}

}  // namespace

TEST_F(MidigatePlugin, ReportsVersion2970AndExportsOnlyItsEntryPoints) {
  EXPECT_EQ(m_version(), 0x2970u);
  // Hidden visibility: neither the plug-in's own code nor the shared sources are bound from outside.
  EXPECT_EQ(dlsym(m_library, "_ZN8midigate17RoundTempoPerTickEjj"), nullptr);
  EXPECT_EQ(dlsym(m_library, "_ZN10CMemStreamC1Ei"), nullptr);
  EXPECT_EQ(dlsym(m_library, "_Z8Pack7In8PKhjPh"), nullptr);
}

TEST_F(MidigatePlugin, RoundTripKeepsNotesTempoAndPrograms) {
  Bytes original = SampleSong();
  Converted songData = From(original);
  ASSERT_LT(songData.result, CNVERR_FAILED);
  Converted plain = To(songData.output);
  ASSERT_LT(plain.result, CNVERR_FAILED);

  OutFile out = ReadOutput(plain.output);
  EXPECT_EQ(out.format, 0);
  EXPECT_EQ(out.division, 480);
  // The source with running status spelled out, as the export writes every status byte.
  Bytes spelled = SmfWriter(0, 480)
                      .Tempo(0, 500000)
                      .Raw(0, {0xC0, 12}).Raw(0, {0xC9, 0})
                      .Raw(0, {0x90, 60, 100}).Raw(0, {0x90, 64, 90}).Raw(0, {0x99, 36, 110})
                      .Raw(240, {0x99, 36, 0}).Raw(240, {0x90, 60, 0}).Raw(0, {0x90, 64, 0})
                      .Raw(0, {0xC0, 20}).Raw(0, {0x90, 67, 80})
                      .Tempo(480, 400000)
                      .Raw(0, {0x80, 67, 64})
                      .End()
                      .Build();
  std::vector<OutEvent> expected = Performance(ReadOutput(spelled));
  EXPECT_EQ(Performance(out), expected);
  ASSERT_FALSE(out.events.empty());
  EXPECT_EQ(out.events.back(), (OutEvent{1080, {0xFF, 0x2F, 0x00}}));
}

TEST_F(MidigatePlugin, ExportsTwoSongDataTracksMergedInTickOrder) {
  Bytes source = SmfWriter(1, 480)
                     .Track().SysEx(0, {0x43, 0x79, 0x06, 0x7D, 0x10, 0x1E, 0x42, 0x20, 0xF7})
                     .Raw(0, {0x90, 60, 100}).Raw(100, {0x80, 60, 0}).End()
                     .Track().Raw(0, {0x91, 48, 100}).Raw(100, {0x81, 48, 0}).Raw(0, {0x91, 50, 100})
                     .Raw(50, {0x81, 50, 0}).End()
                     .Build();
  Converted c = To(source);
  ASSERT_LT(c.result, CNVERR_FAILED);
  std::vector<OutEvent> expected = {
      {0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}}, {0, {0x90, 60, 100}},  {0, {0x91, 48, 100}},
      {100, {0x80, 60, 0}},                      {100, {0x81, 48, 0}},  {100, {0x91, 50, 100}},
      {150, {0x81, 50, 0}},                      {150, {0xFF, 0x2F, 0x00}},
  };
  EXPECT_EQ(ReadOutput(c.output).events, expected);
}

TEST_F(MidigatePlugin, HeaderLengthFieldIsNotLookedAtInEitherDirection) {
  // The first track follows byte 14 whatever the length field says.
  Bytes song = SampleSong();
  Converted songData = From(song);
  ASSERT_LT(songData.result, CNVERR_FAILED);
  Converted plain = To(songData.output);
  ASSERT_LT(plain.result, CNVERR_FAILED);
  for (uint32_t length : {0u, 4u, 6u, 100u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(length);
    Bytes source = song, data = songData.output;
    for (int i = 0; i < 4; ++i) {
      source[4 + i] = data[4 + i] = static_cast<uint8_t>(length >> (24 - 8 * i));
    }
    EXPECT_EQ(From(source).output, songData.output);
    EXPECT_EQ(To(data).output, plain.output);
  }
}

TEST_F(MidigatePlugin, EveryPrefixOfAValidFileFails) {
  Bytes song = SampleSong();
  Converted songData = From(song);
  ASSERT_LT(songData.result, CNVERR_FAILED);
  ASSERT_LT(To(songData.output).result, CNVERR_FAILED);
  for (size_t n = 0; n < song.size(); ++n) {
    SCOPED_TRACE("import prefix " + std::to_string(n));
    EXPECT_GE(From(Bytes(song.begin(), song.begin() + n)).result, CNVERR_FAILED);
  }
  for (size_t n = 0; n < songData.output.size(); ++n) {
    SCOPED_TRACE("export prefix " + std::to_string(n));
    EXPECT_GE(To(Bytes(songData.output.begin(), songData.output.begin() + n)).result, CNVERR_FAILED);
  }
}

TEST_F(MidigatePlugin, HostileFilesFailInBothDirections) {
  auto oneTrack = [](const Bytes& body, uint32_t declaredLength) {
    Bytes f = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
    AppendBE(f, declaredLength, 4);
    f.insert(f.end(), body.begin(), body.end());
    return f;
  };
  auto exact = [&](const Bytes& body) { return oneTrack(body, static_cast<uint32_t>(body.size())); };
  Bytes note = {0x00, 0x90, 60, 100};
  Bytes format2 = exact(note);
  format2[9] = 2;
  Bytes manyTracks = exact(note);
  manyTracks[10] = 0xFF, manyTracks[11] = 0xFF;

  struct Case {
    const char* name;
    Bytes source;
  } cases[] = {
      {"track length past the end", oneTrack(note, 0xFFFFFFFF)},
      {"track length one past the end", oneTrack(note, 5)},
      {"65535 tracks declared", manyTracks},
      {"format 2", format2},
      {"five-byte delta", exact({0x80, 0x80, 0x80, 0x80, 0x00, 0x90, 60, 100})},
      {"five-byte meta length", exact({0x00, 0xFF, 0x01, 0x8F, 0xFF, 0xFF, 0xFF, 0x7F})},
      {"meta length past the end", exact({0x00, 0xFF, 0x01, 0x8F, 0xFF, 0xFF, 0x7F, 'a'})},
      {"SysEx length past the end", exact({0x00, 0xF0, 0x8F, 0xFF, 0xFF, 0x7F, 0x43, 0xF7})},
      {"escape length past the end", exact({0x00, 0xF7, 0x10, 0xF7})},
      {"running status first", exact({0x00, 60, 100})},
      {"system common message", exact({0x00, 0xF3, 0x01})},
      {"real-time message", exact({0x00, 0xFE})},
      {"note cut by the track end", exact({0x00, 0x90, 60})},
      {"meta cut after its status", exact({0x00, 0xFF})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_GE(From(c.source).result, CNVERR_FAILED);
    EXPECT_GE(To(c.source).result, CNVERR_FAILED);
  }
}

TEST_F(MidigatePlugin, MutatedFilesGiveAFailureOrAWellFormedFile) {
  Bytes song = SampleSong();
  Bytes songData = From(song).output;
  ASSERT_FALSE(songData.empty());
  auto checkOutput = [](const Converted& c) {
    if (c.result >= CNVERR_FAILED) return;
    OutFile out = ReadOutput(c.output);
    EXPECT_TRUE(out.lengthMatches);
    ASSERT_FALSE(out.events.empty());
    EXPECT_EQ(out.events.back().bytes, (Bytes{0xFF, 0x2F, 0x00}));
    for (const OutEvent& e : out.events) {
      // Channel messages come out whole: no status byte where a data byte belongs.
      if (e.bytes[0] < 0xF0) {
        for (size_t i = 1; i < e.bytes.size(); ++i) EXPECT_LT(e.bytes[i], 0x80);
      }
    }
  };
  for (const Bytes* source : {&song, &songData}) {
    for (size_t at = 0; at < source->size(); ++at) {
      for (uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xF7, 0xFF}) {
        SCOPED_TRACE(std::to_string(at) + " = " + std::to_string(value));
        Bytes mutated = *source;
        mutated[at] = value;
        checkOutput(From(mutated));
        checkOutput(To(mutated));
      }
    }
  }
}

TEST_F(MidigatePlugin, RefusesMissingRecordAndBuffers) {
  EXPECT_EQ(m_from(nullptr, kCnvParamSize), CNVERR_FAILED);
  EXPECT_EQ(m_to(nullptr, kCnvParamSize), CNVERR_FAILED);
  Bytes song = SampleSong();
  CnvParam noSource{};
  noSource.srcSize = static_cast<uint32_t>(song.size());
  EXPECT_EQ(m_from(&noSource, kCnvParamSize), CNVERR_FAILED);
  CnvParam noDestination{};
  noDestination.src = song.data();
  noDestination.srcSize = static_cast<uint32_t>(song.size());
  noDestination.dstSize = 1 << 20;
  EXPECT_EQ(m_from(&noDestination, kCnvParamSize), CNVERR_DSTSIZE);
  EXPECT_EQ(m_to(&noDestination, kCnvParamSize), CNVERR_DSTSIZE);
}
