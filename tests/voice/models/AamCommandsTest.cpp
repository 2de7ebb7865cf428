#include <gtest/gtest.h>
#include <sys/stat.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/core/FileChooser.h"
#include "device/testing/RecordingOutputEngine.h"
#include "song/SongSetup.h"
#include "song/StreamPCMSlot.h"
#include "song/document/MetaMsgClass.h"
#include "tests/voice/WaveFiles.h"
#include "tests/voice/models/VamFixture.h"
#include "voice/WaveData.h"
#include "voice/models/AamCommands.h"
#include "voice/models/AamModel.h"

namespace {

namespace fs = std::filesystem;
using wavetest::Bytes;

/// The engine with the two stream-PCM assignment commands recorded as well.
class StreamEngine : public RecordingOutputEngine {
 public:
  int SendBoardCommand08(int a, int b, int c) override {
    return Log(Three("SendBoardCommand08", a, b, c));
  }
  int SendBoardCommand0B(int a, int b, int c) override {
    return Log(Three("SendBoardCommand0B", a, b, c));
  }

  static std::string Three(const char* name, int a, int b, int c) {
    return std::string(name) + "(" + std::to_string(a) + "," + std::to_string(b) + "," +
           std::to_string(c) + ")";
  }
};

/// Answers from a script, keeping every request; Cancel once the script is used up.
class ScriptChooser : public IFileChooser {
 public:
  void Answer(const std::string& path, int bits = 4) {
    FileAnswer a;
    a.ok = true;
    a.path = path;
    a.bitsPerSample = bits;
    answers.push_back(a);
  }
  FileAnswer Choose(const FileRequest& request) override {
    requests.push_back(request);
    if (answers.empty()) return {};
    FileAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::deque<FileAnswer> answers;
  std::vector<FileRequest> requests;
};

/// A 16-bit WAV of `frames` frames whose channels differ.
Bytes Wav16(int channels, uint32_t rate, int frames = 64) {
  Bytes data;
  for (int f = 0; f < frames; ++f) {
    for (int c = 0; c < channels; ++c)
      wavetest::PutLE16(data, static_cast<uint16_t>((f * 700 + c * 9000) & 0x7FFF));
  }
  return wavetest::Wav(static_cast<uint16_t>(channels), 16, rate, data);
}

Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

class AamCommandsTest : public vamtest::VamTest {
 protected:
  AamCommandsTest() {
    std::string pattern = (fs::temp_directory_path() / "aamXXXXXX").string();
    dir = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~AamCommandsTest() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  void Start(int chipMode, int profile) {
    Make(chipMode, profile);
    doc->BuildStreamPcmSlots();
    chip = chipMode;
    outputProfile = profile;
  }

  CAamCommands Commands() {
    AamCommandContext c;
    c.doc = doc.get();
    c.engine = &engine;
    c.chooser = &chooser;
    c.shell = &shell;
    c.mapChanged = &mapChanged;
    c.chipMode = chip;
    c.outputProfile = outputProfile;
    return CAamCommands(c);
  }

  std::string Write(const std::string& name, const Bytes& bytes) const {
    const std::string path = dir + "/" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  /// Puts a wave straight into a row, as an import would.
  void PutWave(int id, uint8_t format, uint16_t rate, const Bytes& data, bool stereo = false) {
    CStreamPCMSlot s;
    s.SetId(id);
    s.SetFormat(format);
    s.SetRate(rate);
    s.SetFlag(stereo ? 1 : 0);
    s.SetWaveData(data.data(), static_cast<uint32_t>(data.size()));
    doc->SetStreamPcmSlot(id, s);
  }

  Bytes Samples(int id) const {
    const CStreamPCMSlot* s = doc->GetStreamPcmSlot(id);
    return s && s->GetData() ? Bytes(s->GetData(), s->GetData() + s->GetDataSize()) : Bytes();
  }

  int PairEvents() const {
    int n = 0;
    for (const auto& m : *doc->GetMidiListPCM()) n += ClassifyMetaMsg(*m) == kMsgDeviceStream;
    return n;
  }

  std::string dir;
  StreamEngine engine;
  ScriptChooser chooser;
  bool mapChanged = false;
  int chip = 3;
  int outputProfile = 2;
};

TEST_F(AamCommandsTest, NewChecksTheRateByProfileKindAndChannels) {
  struct Case {
    int chip, profile, channels, fileBits, chosenBits;
    uint32_t rate;
    std::vector<int> messages;
    bool assigned;
  };
  const Case cases[] = {
      {3, 2, 1, 16, 4, 22050, {7015}, false}, {3, 2, 1, 16, 4, 8000, {}, true},
      {3, 2, 1, 16, 4, 3999, {7016}, false},  {3, 2, 1, 8, 8, 8001, {7014}, false},
      {3, 2, 2, 8, 8, 4001, {7020}, false},   {5, 5, 1, 8, 8, 12001, {7012}, false},
      {5, 5, 1, 16, 4, 24001, {7013}, false}, {5, 7, 2, 16, 8, 48001, {7021}, false},
      {3, 2, 1, 8, 8, 8000, {7017}, true},    {3, 5, 1, 8, 8, 8000, {}, true},
      // Profiles 4 and 6 set no limit; a slot holds no rate above 65535, which is said.
      {3, 4, 1, 16, 4, 65535, {}, true},      {3, 4, 1, 16, 4, 65536, {7021}, false},
      {3, 6, 1, 16, 4, 96000, {7021}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << c.chip << "/" << c.profile << "/" << c.channels << "/" << c.rate);
    Start(c.chip, c.profile);
    host.messages.shown.clear();
    Bytes data(static_cast<size_t>(c.channels * (c.fileBits / 8) * 64), 0x40);
    chooser.Answer(Write("s.wav", wavetest::Wav(static_cast<uint16_t>(c.channels),
                                                static_cast<uint16_t>(c.fileBits), c.rate, data)),
                   c.chosenBits);
    EXPECT_EQ(Commands().New(5), c.assigned ? 1 : 0);
    EXPECT_EQ(host.messages.ShownIds(), c.messages);
    EXPECT_EQ(CAamModel::HasWave(*doc, 5), c.assigned);
  }
  ASSERT_FALSE(chooser.requests.empty());
  const FileRequest& r = chooser.requests.front();
  EXPECT_EQ(r.kind, FileDialogKind::SoundFile);
  EXPECT_EQ(r.filter, "Sound File (*.wav *.aif)|*.wav;*.aif||");
  EXPECT_EQ(r.defaultExtension, "wav;aif");
}

TEST_F(AamCommandsTest, NewFillsTheRowAndLogsTheFile) {
  Start(5, 5);
  doc->ResetModifiedFlags();
  const std::string path = Write("abcdefghijklmnop.wav", Wav16(2, 8000));
  chooser.Answer(path, 4);
  ASSERT_EQ(Commands().New(7), 1);
  const CStreamPCMSlot& s = *doc->GetStreamPcmSlot(7);
  CWaveData wave;
  ASSERT_TRUE(wave.Load(path, 4));
  EXPECT_EQ(Samples(7), Bytes(wave.GetSamples(0), wave.GetSamples(0) + wave.GetSampleBytes(0)));
  EXPECT_EQ(s.GetFormat(), 0);
  EXPECT_EQ(s.GetRate(), 8000);
  EXPECT_TRUE(s.GetFlag());  // chip mode 5 keeps a stereo file in one interleaved slot
  EXPECT_EQ(s.GetBankMsb(), 125);
  EXPECT_EQ(s.GetProgram(), 0);
  EXPECT_EQ(std::string(s.GetName()), stream_pcm::WaveName(path));
  EXPECT_EQ(std::string(s.GetName()).size(), 16u);
  EXPECT_NE(doc->TestModifiedFlags(CKZ1Doc::kFlagUnsaved), 0u);
  EXPECT_EQ(shell.voiceUpdates, 1);
  ASSERT_EQ(host.messages.log.size(), 1u);
  EXPECT_EQ(host.messages.log[0].id, 7500);
  EXPECT_EQ(host.messages.log[0].detail, path);
  // A row that has a wave takes no other, and a cancelled dialog changes nothing.
  EXPECT_EQ(Commands().New(7), 0);
  EXPECT_EQ(Commands().New(8), 0);
  EXPECT_FALSE(CAamModel::HasWave(*doc, 8));
}

TEST_F(AamCommandsTest, ProfilesOneAndSixAskForAPlainDialogOfAdpcm) {
  Start(3, 6);
  chooser.Answer(Write("m.wav", Wav16(1, 8000)), 8);  // the answer's size is not asked for
  ASSERT_EQ(Commands().New(1), 1);
  EXPECT_EQ(chooser.requests.front().kind, FileDialogKind::Plain);
  EXPECT_EQ(doc->GetStreamPcmSlot(1)->GetFormat(), CWaveData::kAdpcm);
}

TEST_F(AamCommandsTest, StereoNeedsTheNextRowFreeAndPresent) {
  Start(3, 2);
  const std::string stereo = Write("st.wav", Wav16(2, 8000));
  chooser.Answer(stereo);
  EXPECT_EQ(Commands().New(49), 0);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7019});
  PutWave(6, 0, 8000, {1, 2, 3});
  host.messages.shown.clear();
  chooser.Answer(stereo);
  EXPECT_EQ(Commands().New(5), 0);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7018});
  EXPECT_FALSE(CAamModel::HasWave(*doc, 5));
  EXPECT_FALSE(CAamModel::HasWave(*doc, 49));
  EXPECT_EQ(Samples(6), (Bytes{1, 2, 3}));
}

TEST_F(AamCommandsTest, StereoPairLinksAndItsDeleteUnpairsBothHalves) {
  Start(3, 2);
  const std::string path = Write("pair.wav", Wav16(2, 8000));
  chooser.Answer(path);
  ASSERT_EQ(Commands().New(3), 1);
  CWaveData wave;
  ASSERT_TRUE(wave.Load(path, 4));
  EXPECT_EQ(Samples(3), Bytes(wave.GetSamples(0), wave.GetSamples(0) + wave.GetSampleBytes(0)));
  EXPECT_EQ(Samples(4), Bytes(wave.GetSamples(1), wave.GetSamples(1) + wave.GetSampleBytes(1)));
  EXPECT_NE(Samples(3), Samples(4));
  EXPECT_EQ(doc->GetStreamPcmSlot(3)->GetIndex(), 4);
  EXPECT_EQ(doc->GetStreamPcmSlot(4)->GetIndex(), 3);
  EXPECT_FALSE(doc->GetStreamPcmSlot(3)->GetFlag());
  const CSongSetup& setup = doc->GetSongSetup();
  EXPECT_EQ(setup.GetSlotSettingFirst(2), 0);
  EXPECT_EQ(setup.GetSlotSettingSecond(2), 0);
  EXPECT_EQ(setup.GetSlotSettingFirst(3), 0);
  EXPECT_EQ(setup.GetSlotSettingSecond(3), 127);
  ASSERT_EQ(PairEvents(), 1);
  const CMidiMsg& pairing = *doc->GetMidiListPCM()->front();
  EXPECT_EQ(pairing.GetByte(8), 3);
  EXPECT_EQ(pairing.GetByte(9), 4);

  engine.calls.clear();
  mapChanged = false;
  ASSERT_EQ(Commands().Delete(3), 1);
  const std::vector<std::string> expected = {"SendBoardCommand06(3)", "SendBoardCommand0B(3,1,0)",
                                             "SendBoardCommand06(4)", "SendBoardCommand0B(4,1,127)",
                                             "SendBoardCommand08(1,3,4)"};
  EXPECT_EQ(engine.calls, expected);
  EXPECT_FALSE(CAamModel::HasWave(*doc, 3));
  EXPECT_FALSE(CAamModel::HasWave(*doc, 4));
  EXPECT_EQ(PairEvents(), 0);
  EXPECT_EQ(setup.GetSlotSettingFirst(2), 1);
  EXPECT_EQ(setup.GetSlotSettingFirst(3), 1);
  EXPECT_EQ(doc->GetStreamPcmSlot(3)->GetIndex(), -1);
  EXPECT_EQ(doc->GetStreamPcmSlot(4)->GetIndex(), -1);
  EXPECT_TRUE(mapChanged);
}

TEST_F(AamCommandsTest, DeleteInChipModeFiveDropsOneWave) {
  Start(5, 5);
  PutWave(2, 3, 8000, {9});
  doc->SetStreamPcmSetting(2, 0, 40);
  doc->ResetModifiedFlags();
  EXPECT_EQ(Commands().Delete(3), 0);  // no wave there
  ASSERT_EQ(Commands().Delete(2), 1);
  EXPECT_EQ(engine.calls,
            (std::vector<std::string>{"SendBoardCommand06(2)", "SendBoardCommand0B(2,1,40)"}));
  EXPECT_FALSE(CAamModel::HasWave(*doc, 2));
  EXPECT_NE(doc->TestModifiedFlags(CKZ1Doc::kFlagUnsaved), 0u);
  EXPECT_TRUE(mapChanged);
}

TEST_F(AamCommandsTest, ExportThenImportKeepsEveryWave) {
  Start(5, 5);
  PutWave(1, 0, 8000, {1, 2, 3, 4}, true);
  PutWave(2, 3, 12000, {5, 6});
  PutWave(32, 2, 4000, {7});
  mapChanged = true;
  const std::string path = dir + "/map.sk3";
  chooser.Answer(path);
  ASSERT_EQ(Commands().Export(), 1);
  EXPECT_FALSE(mapChanged);
  EXPECT_FALSE(chooser.requests.back().open);
  EXPECT_EQ(chooser.requests.back().filter, "Extended voice file (*.sk3)|*.sk3||");
  EXPECT_EQ(chooser.requests.back().defaultExtension, "sk3");
  ASSERT_EQ(host.messages.log.size(), 1u);
  EXPECT_EQ(host.messages.log[0].id, 7503);

  Start(5, 5);
  PutWave(7, 0, 8000, {8});
  chooser.Answer(path);
  ASSERT_EQ(Commands().Import(false), 1);
  EXPECT_TRUE(host.messages.shown.empty());  // the map was not changed: no question
  EXPECT_FALSE(CAamModel::HasWave(*doc, 7));
  EXPECT_EQ(engine.calls.front(), "SendBoardCommand06(7)");
  struct Expect {
    int id, format, rate;
    Bytes data;
    bool stereo;
  };
  for (const Expect& e : {Expect{1, 0, 8000, {1, 2, 3, 4}, true},
                          Expect{2, 3, 12000, {5, 6}, false}, Expect{32, 2, 4000, {7}, false}}) {
    SCOPED_TRACE(e.id);
    const CStreamPCMSlot& s = *doc->GetStreamPcmSlot(e.id);
    EXPECT_TRUE(CAamModel::HasWave(*doc, e.id));
    EXPECT_EQ(s.GetFormat(), e.format);
    EXPECT_EQ(s.GetRate(), e.rate);
    EXPECT_EQ(Samples(e.id), e.data);
    EXPECT_EQ(s.GetFlag(), e.stereo);
  }
  ASSERT_EQ(host.messages.log.size(), 2u);
  EXPECT_EQ(host.messages.log[1].id, 7501);
  EXPECT_EQ(host.messages.log[1].detail, path);
}

TEST_F(AamCommandsTest, ImportOfAChangedMapOffersTheExportFirst) {
  Start(3, 2);
  PutWave(1, 0, 8000, {1});
  const std::string source = dir + "/source.sk3";
  chooser.Answer(source);
  ASSERT_EQ(Commands().Export(), 1);
  PutWave(2, 0, 8000, {2});
  mapChanged = true;
  host.messages.answers = {6};
  chooser.requests.clear();
  const std::string saved = dir + "/saved.sk3";
  chooser.Answer(saved);
  chooser.Answer(source);
  ASSERT_EQ(Commands().Import(false), 1);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7024});
  ASSERT_EQ(chooser.requests.size(), 2u);
  EXPECT_FALSE(chooser.requests[0].open);
  EXPECT_TRUE(chooser.requests[1].open);
  EXPECT_FALSE(ReadAll(saved).empty());
  EXPECT_TRUE(CAamModel::HasWave(*doc, 1));
  EXPECT_FALSE(CAamModel::HasWave(*doc, 2));
  EXPECT_FALSE(mapChanged);
}

TEST_F(AamCommandsTest, UnreadableFilesChangeNothing) {
  Start(3, 2);
  PutWave(4, 0, 8000, {4});
  chooser.Answer(Write("garbage.sk3", {'n', 'o', 't', ' ', 'a', ' ', 'f', 'i', 'l', 'e'}));
  EXPECT_EQ(Commands().Import(false), 0);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7025});
  EXPECT_EQ(Samples(4), Bytes{4});
  EXPECT_TRUE(engine.calls.empty());
  EXPECT_TRUE(host.messages.log.empty());
}

TEST_F(AamCommandsTest, OlderVersionImportOnlyDropsTheOldWaves) {
  Start(3, 5);
  PutWave(4, 0, 8000, {4});
  // One entry of the 1.1.1 layout: id 2, 16-bit length 2, format 3, rate 8000.
  const Bytes body = {2, 0, 2, 0x01, 0x1F, 0x40, 0xAB, 0xCD};
  Bytes file = {'S', 'P', 'K', '3', 0, 0, 0, static_cast<uint8_t>(body.size())};
  file.insert(file.end(), body.begin(), body.end());
  const std::string path = Write("old.sk3", file);
  chooser.Answer(path);
  ASSERT_EQ(Commands().Import(true), 1);
  EXPECT_EQ(engine.calls, std::vector<std::string>{"SendBoardCommand06(4)"});
  EXPECT_FALSE(CAamModel::HasWave(*doc, 4));
  EXPECT_EQ(Samples(2), (Bytes{0xAB, 0xCD}));
  EXPECT_EQ(doc->GetStreamPcmSlot(2)->GetFormat(), 3);
  EXPECT_EQ(host.messages.log.back().id, 7502);
}

TEST_F(AamCommandsTest, ExportNamesUpToFiftyNineCharactersBeforeTheDot) {
  Start(3, 2);
  PutWave(1, 0, 8000, {1});
  const size_t room = 59 - dir.size() - 1;
  ASSERT_GT(room, 0u);
  const std::string fits = dir + "/" + std::string(room, 'a') + ".sk3";
  const std::string over = dir + "/" + std::string(room + 1, 'b') + ".sk3";
  chooser.Answer(fits);
  EXPECT_EQ(Commands().Export(), 1);
  EXPECT_TRUE(fs::exists(fits));
  mapChanged = true;
  chooser.Answer(over);
  EXPECT_EQ(Commands().Export(), 0);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7026});
  EXPECT_FALSE(fs::exists(over));
  EXPECT_TRUE(mapChanged);
}

TEST_F(AamCommandsTest, AFailedWriteKeepsTheOldFileAndTheFlag) {
  Start(3, 2);
  PutWave(1, 0, 8000, {1});
  // A FIFO where the file should be: it is not replaced, and nothing waits on it.
  const std::string path = dir + "/a.sk3";
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  mapChanged = true;
  chooser.Answer(path);
  EXPECT_EQ(Commands().Export(), 0);
  EXPECT_EQ(host.messages.ShownIds(), std::vector<int>{7027});
  EXPECT_TRUE(fs::is_fifo(path));
  EXPECT_TRUE(host.messages.log.empty());
  EXPECT_TRUE(mapChanged);
}

TEST(CAamModel, RightClickPopupsAndSelection) {
  platform::FakeHost host;
  host.settings.chipMode = 3;
  CKZ1Doc doc;
  doc.BuildStreamPcmSlots();
  CStreamPCMSlot s;
  const uint8_t byte = 1;
  s.SetWaveData(&byte, 1);
  doc.SetStreamPcmSlot(2, s);
  CAamModel m(3);
  // Rows 1.. start at y 20; row 2 is y 40..59.
  CAamModel::Popup p = m.RightClick(&doc, 100, 45, 600, 400, 0, true, 2);
  EXPECT_EQ(p.kind, CAamModel::Popup::kRow);
  EXPECT_EQ(m.GetSelected(), 2);
  EXPECT_FALSE(p.newEnabled);
  EXPECT_TRUE(p.deleteEnabled);
  p = m.RightClick(&doc, 100, 25, 600, 400, 2, true, 2);  // scrolled by two rows: row 3
  EXPECT_EQ(m.GetSelected(), 3);
  EXPECT_TRUE(p.newEnabled);
  p = m.RightClick(&doc, 100, 5, 600, 400, 0, true, 2);
  EXPECT_EQ(p.kind, CAamModel::Popup::kHeader);
  EXPECT_TRUE(p.exportEnabled);
  EXPECT_FALSE(p.olderImportShown);
  EXPECT_EQ(m.GetSelected(), 3);
  EXPECT_TRUE(m.RightClick(&doc, 100, 5, 600, 400, 0, true, 5).olderImportShown);
  // While the song plays a right-click does nothing.
  EXPECT_EQ(m.RightClick(&doc, 100, 45, 600, 400, 0, false, 2).kind, CAamModel::Popup::kNone);
  EXPECT_EQ(m.GetSelected(), 3);
  EXPECT_EQ(m.RightClick(&doc, 100, 20 + 49 * 20, 600, 2000, 0, true, 2).kind,
            CAamModel::Popup::kNone);
}

}  // namespace
