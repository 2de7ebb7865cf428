// The built program converting a song back and forth as a batch process: every Standard MIDI
// File it writes is read by independent readers (python3 mido, midicsv) with its division and
// tempo, and the notes keep their channels, keys, velocities and milliseconds.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramFolder.h"

namespace batchroundtrip {

namespace fs = std::filesystem;
using startuptest::ProgramFolder;
using startuptest::RunProgram;
using startuptest::RunResult;
using Bytes = std::vector<uint8_t>;

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

void PutVarLen(Bytes& out, uint32_t v) {
  Bytes groups = {static_cast<uint8_t>(v & 0x7F)};
  while ((v >>= 7) != 0) groups.insert(groups.begin(), static_cast<uint8_t>(0x80 | (v & 0x7F)));
  out.insert(out.end(), groups.begin(), groups.end());
}

struct Timed {
  uint32_t delta;
  Bytes bytes;
};

Bytes Smf(uint16_t division, const std::vector<Timed>& events) {
  Bytes track;
  for (const Timed& e : events) {
    PutVarLen(track, e.delta);
    track.insert(track.end(), e.bytes.begin(), e.bytes.end());
  }
  Bytes smf = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, static_cast<uint8_t>(division >> 8),
               static_cast<uint8_t>(division), 'M', 'T', 'r', 'k'};
  const auto n = static_cast<uint32_t>(track.size());
  for (int shift : {24, 16, 8, 0}) smf.push_back(static_cast<uint8_t>(n >> shift));
  smf.insert(smf.end(), track.begin(), track.end());
  return smf;
}

// 480 a quarter at 120 beats a minute, then 240 from tick 1200: two channels, velocities
// from 1 to 127, a note across the tempo change and one ending on half a 4 ms tick (50 ms).
Bytes TempoSong() {
  return Smf(480, {{0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}},
                   {0, {0xC0, 0x05}},
                   {0, {0xC1, 0x10}},
                   {0, {0x90, 60, 100}},
                   {10, {0x91, 64, 80}},
                   {38, {0x80, 60, 0}},
                   {432, {0x90, 67, 127}},
                   {0, {0x81, 64, 0}},
                   {240, {0x80, 67, 0}},
                   {0, {0x91, 72, 1}},
                   {480, {0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90}},
                   {480, {0x81, 72, 0}},
                   {0, {0x90, 62, 90}},
                   {100, {0x80, 62, 0}},
                   {0, {0xFF, 0x2F, 0x00}}});
}

/// Runs a command and gives its standard output; the status in `status`.
std::string Capture(const std::string& command, int& status) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) {
    status = -1;
    return out;
  }
  char buffer[4096];
  size_t n = 0;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  status = ::pclose(pipe);
  return out;
}

/// A python3 that has mido, or empty.
std::string PythonWithMido() {
  for (const char* python : {"python3", "/usr/bin/python3"}) {
    int status = 0;
    Capture(std::string(python) + " -c 'import mido' 2>/dev/null", status);
    if (status == 0) return python;
  }
  return {};
}

// mido's reading: the division, every tempo, and the notes in milliseconds by its tempo map.
const char kMidoScript[] = R"(
import sys, mido
f = mido.MidiFile(sys.argv[1])
print('division', f.ticks_per_beat)
print('tempo', ' '.join(str(m.tempo) for t in f.tracks for m in t if m.type == 'set_tempo'))
now, sounding, notes = 0.0, {}, []
for m in f:
    now += m.time
    if m.type == 'note_on' and m.velocity > 0:
        sounding[(m.channel, m.note)] = (now, m.velocity)
    elif m.type in ('note_on', 'note_off') and (m.channel, m.note) in sounding:
        start, velocity = sounding.pop((m.channel, m.note))
        notes.append((round(start * 1000), m.channel, m.note, velocity, round((now - start) * 1000)))
for n in sorted(notes):
    print('note', *n)
)";

struct MidoNote {
  int startMs, channel, key, velocity, lengthMs;
};

struct MidoReading {
  int division = -1;
  std::string tempos;
  std::vector<MidoNote> notes;
};

class TrillotBatchRoundTrip : public ::testing::Test {
 protected:
  TrillotBatchRoundTrip() {
    folder.SetEnv("QT_QPA_PLATFORM", "");
    folder.SetEnv("TRILLOT_UI_REPORT", "");
    fs::create_directories(Out(""));
    std::ofstream(Out("read.py")) << kMidoScript;
  }

  std::string Out(const std::string& name) const { return folder.AppDir() + "out/" + name; }
  RunResult Convert(const std::string& song, const std::string& output) {
    return RunProgram(folder, {song, "-OUTPUT:" + output});
  }

  /// mido's reading of the file; fails the test when mido cannot read it.
  MidoReading ReadWithMido(const std::string& python, const std::string& path) {
    int status = 0;
    std::string text = Capture(python + " " + Out("read.py") + " '" + path + "' 2>&1", status);
    EXPECT_EQ(status, 0) << text;
    MidoReading r;
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
      if (word == "division") {
        in >> r.division;
      } else if (word == "tempo") {
        std::getline(in, r.tempos);
      } else if (word == "note") {
        MidoNote n{};
        in >> n.startMs >> n.channel >> n.key >> n.velocity >> n.lengthMs;
        r.notes.push_back(n);
      }
    }
    return r;
  }

  ProgramFolder folder;
};

void ExpectSameNotes(const std::vector<MidoNote>& back, const std::vector<MidoNote>& want) {
  ASSERT_EQ(back.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(back[i].channel, want[i].channel);
    EXPECT_EQ(back[i].key, want[i].key);
    EXPECT_EQ(back[i].velocity, want[i].velocity);
    // Half a 4 ms tick at each end, and the readers' own rounding to milliseconds.
    EXPECT_LE(std::abs(back[i].startMs - want[i].startMs), 3) << back[i].startMs << " " << want[i].startMs;
    EXPECT_LE(std::abs(back[i].startMs + back[i].lengthMs - want[i].startMs - want[i].lengthMs), 3);
  }
}

TEST_F(TrillotBatchRoundTrip, VelkToSmfToVelkKeepsEveryNote) {
  const std::string python = PythonWithMido();
  if (python.empty()) GTEST_SKIP() << "python3 with mido is not installed";
  WriteBytes(Out("song.mid"), TempoSong());
  const MidoReading want = ReadWithMido(python, Out("song.mid"));
  ASSERT_EQ(want.notes.size(), 5u);

  RunResult toVelk = Convert(Out("song.mid"), Out("song.mmf"));
  ASSERT_EQ(toVelk.status, 0) << toVelk.err;
  RunResult toSmf = Convert(Out("song.mmf"), Out("back.mid"));
  ASSERT_EQ(toSmf.status, 0) << toSmf.err;
  const MidoReading back = ReadWithMido(python, Out("back.mid"));
  // A VELK file keeps times, not tempos: its notes come at 120 beats a minute.
  EXPECT_EQ(back.division, 480);
  EXPECT_EQ(back.tempos, " 500000");
  ExpectSameNotes(back.notes, want.notes);

  // And into VELK again: read back through one more SMF export.
  RunResult again = Convert(Out("back.mid"), Out("again.mmf"));
  ASSERT_EQ(again.status, 0) << again.err;
  RunResult last = Convert(Out("again.mmf"), Out("last.mid"));
  ASSERT_EQ(last.status, 0) << last.err;
  const MidoReading end = ReadWithMido(python, Out("last.mid"));
  EXPECT_EQ(end.division, 480);
  ExpectSameNotes(end.notes, want.notes);
}

TEST_F(TrillotBatchRoundTrip, MidicsvReadsTheDivisionAndTempoOfEverySmfWritten) {
  int status = 0;
  Capture("midicsv /dev/null >/dev/null 2>&1", status);
  if (status == -1 || WEXITSTATUS(status) == 127) GTEST_SKIP() << "midicsv is not installed";
  WriteBytes(Out("song.mid"), TempoSong());
  ASSERT_EQ(Convert(Out("song.mid"), Out("song.mmf")).status, 0);
  struct Case {
    std::string from;
    std::string to;
    std::vector<std::string> tempos;
  };
  // From the SMF its two tempos; from the VELK file, which keeps times only, 120 beats a minute.
  const Case cases[] = {{Out("song.mid"), Out("same.mid"), {"1, 0, Tempo, 500000\n", "1, 1200, Tempo, 250000\n"}},
                        {Out("song.mmf"), Out("back.mid"), {"1, 0, Tempo, 500000\n"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to);
    RunResult run = Convert(c.from, c.to);
    ASSERT_EQ(run.status, 0) << run.err;
    std::string csv = Capture("midicsv '" + c.to + "' 2>&1", status);
    ASSERT_EQ(status, 0) << csv;
    EXPECT_NE(csv.find("0, 0, Header, 0, 1, 480\n"), std::string::npos) << csv;
    size_t tempos = 0;
    for (size_t at = csv.find(", Tempo, "); at != std::string::npos; at = csv.find(", Tempo, ", at + 1)) ++tempos;
    EXPECT_EQ(tempos, c.tempos.size()) << csv;
    for (const std::string& tempo : c.tempos) EXPECT_NE(csv.find(tempo), std::string::npos) << csv;
  }
}

TEST_F(TrillotBatchRoundTrip, AFailedSmfExportExitsOneAndLeavesTheOldFile) {
  WriteBytes(Out("song.mid"), TempoSong());
  ASSERT_EQ(Convert(Out("song.mid"), Out("song.mmf")).status, 0);
  WriteBytes(Out("old.mid"), {'o', 'l', 'd'});
  // Without the SMF converter the export cannot be made.
  folder.Remove("Midigate.so");
  RunResult run = Convert(Out("song.mmf"), Out("old.mid"));
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(ReadBytes(Out("old.mid")), (Bytes{'o', 'l', 'd'}));
}

}  // namespace batchroundtrip
