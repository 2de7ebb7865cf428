// The generation-2 voice list and its ".vkz" file.
#include "song/Voice2List.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/io/FileIo.h"
#include "song/MemStream.h"
#include "song/Voice2.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Chunk(const char* id, const Bytes& body) {
  Bytes out(id, id + 4);
  const uint32_t n = static_cast<uint32_t>(body.size());
  out.push_back(static_cast<uint8_t>(n >> 24));
  out.push_back(static_cast<uint8_t>(n >> 16));
  out.push_back(static_cast<uint8_t>(n >> 8));
  out.push_back(static_cast<uint8_t>(n));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

Bytes Name(const char* text) {
  Bytes n(16, 0);
  std::memcpy(n.data(), text, std::strlen(text));
  return n;
}

// A 26-byte parameter block: voice number 0, the file bank, program byte, ALG and operator 1 TL.
Bytes Params(uint8_t fileBank, uint8_t programByte, uint8_t tl) {
  Bytes p(26, 0);
  p[1] = fileBank;
  p[2] = programByte;
  p[3] = 0x01;                           // ALG 1
  p[5 + 3] = static_cast<uint8_t>(tl << 2);  // operator 1 TL
  return p;
}

Bytes FmBody(const std::vector<std::pair<Bytes, Bytes>>& voices) {
  Bytes body;
  for (const auto& v : voices) body.insert(body.end(), v.first.begin(), v.first.end());
  for (const auto& v : voices) body.insert(body.end(), v.second.begin(), v.second.end());
  return body;
}

bool Load(CVoice2List& list, const Bytes& file) {
  return list.LoadBytes(file.data(), static_cast<uint32_t>(file.size()));
}

CVoice2 Voice(const char* name, int tl, int algorithm = 1) {
  CVoice2 v;
  v.SetNameText(name);
  v.SetAlgorithm(algorithm);
  v.SetOpTL(1, tl);
  v.SetOpAR(1, 15);
  return v;
}

TEST(Voice2List, BodyOfEightyFourBytesHoldsTwoVoices) {
  const Bytes body = FmBody({{Name("Piano"), Params(0, 99, 10)}, {Name("Organ"), Params(0, 99, 20)}});
  ASSERT_EQ(body.size(), 84u);
  CVoice2List list;
  ASSERT_TRUE(Load(list, Chunk("FM  ", body)));
  ASSERT_EQ(list.GetCount(), 2);
  const CVoice2* piano = list.Find(0, 0);
  const CVoice2* organ = list.Find(0, 1);
  ASSERT_TRUE(piano && organ);
  EXPECT_EQ(std::memcmp(piano->GetName(), body.data(), 16), 0);
  EXPECT_EQ(std::memcmp(organ->GetName(), body.data() + 16, 16), 0);
  EXPECT_EQ(piano->GetOpTL(1), 10);
  EXPECT_EQ(organ->GetOpTL(1), 20);
  EXPECT_EQ(std::memcmp(organ->GetParams() + 3, body.data() + 58 + 3, 23), 0);
}

TEST(Voice2List, ProgramsAreNumberedInFileOrderPerBank) {
  const Bytes body = FmBody({
      {Name("a"), Params(0, 50, 1)},
      {Name("b"), Params(0, 50, 2)},
      {Name("kick"), Params(12, 0, 3)},
      {Name("snare"), Params(12, 0, 4)},
      {Name("c"), Params(3, 7, 5)},
      {Name("d"), Params(25, 7, 6)},
  });
  CVoice2List list;
  ASSERT_TRUE(Load(list, Chunk("FM  ", body)));
  struct Expect {
    int bank, program, tl;
  };
  const Expect expected[] = {{0, 0, 1}, {0, 1, 2}, {130, 13, 3}, {130, 14, 4}, {3, 0, 5}, {25, 0, 6}};
  for (const Expect& e : expected) {
    SCOPED_TRACE(std::to_string(e.bank) + "/" + std::to_string(e.program));
    const CVoice2* v = list.Find(e.bank, e.program);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->GetOpTL(1), e.tl);
  }
}

TEST(Voice2List, SetReplacesEveryVoiceOfTheAddress) {
  CVoice2List list;
  CVoice2* a = new CVoice2(Voice("a", 1));
  a->SetBank(2);
  a->SetProgram(5);
  CVoice2* b = new CVoice2(*a);
  list.AddVoice(a);
  list.AddVoice(b);
  EXPECT_TRUE(list.Set(2, 5, Voice("new", 9)));
  ASSERT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.Find(2, 5)->GetOpTL(1), 9);
  EXPECT_EQ(list.Find(2, 5)->GetBank(), 2);
  EXPECT_FALSE(list.RemoveMatching(2, 6));
  EXPECT_TRUE(list.RemoveMatching(2, 5));
  EXPECT_EQ(list.Find(2, 5), nullptr);
}

// A melody voice of bank 1 and a drum voice of bank 131; cleared voices are left out.
TEST(Voice2List, WritesSortedNonDefaultVoicesAsGoldenBytes) {
  CVoice2List list;
  list.Set(131, 20, Voice("Drum", 7));
  list.Set(1, 4, Voice("Mel", 3));
  CVoice2 cleared;
  cleared.SetNameText("Cleared");
  list.Set(0, 0, cleared);
  CMemStream out;
  ASSERT_TRUE(list.WriteChunks(out));
  Bytes expected = {'F', 'M', ' ', ' ', 0x00, 0x00, 0x00, 84};
  const Bytes mel = Name("Mel");
  const Bytes drum = Name("Drum");
  expected.insert(expected.end(), mel.begin(), mel.end());
  expected.insert(expected.end(), drum.begin(), drum.end());
  const Bytes melParams = {
      0x00, 0x01, 0x04,  // voice number, bank 1, program 4
      0x01, 0x00,        // ALG 1, BO 0
      0x00, 0x00, 0xF0, 0x0C, 0x00,  // operator 1: AR 15, TL 3
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // operators 2-4
      0x00,              // drum key
  };
  Bytes drumParams = melParams;
  drumParams[1] = 13;  // file bank of 131
  drumParams[2] = 3;   // the file bank - 10
  drumParams[8] = 7 << 2;
  expected.insert(expected.end(), melParams.begin(), melParams.end());
  expected.insert(expected.end(), drumParams.begin(), drumParams.end());
  EXPECT_EQ(Bytes(out.GetData(), out.GetData() + out.GetSize()), expected);

  // The list itself is left as it was.
  EXPECT_NE(list.Find(131, 20), nullptr);
}

TEST(Voice2List, EmptyListWritesAnEmptyChunkAndANonEmptyStreamIsRefused) {
  CVoice2List list;
  CMemStream out;
  ASSERT_TRUE(list.WriteChunks(out));
  EXPECT_EQ(Bytes(out.GetData(), out.GetData() + out.GetSize()),
            (Bytes{'F', 'M', ' ', ' ', 0, 0, 0, 0}));
  EXPECT_FALSE(list.WriteChunks(out));
  CVoice2List back;
  EXPECT_TRUE(back.LoadBytes(out.GetData(), static_cast<uint32_t>(out.GetSize())));
  EXPECT_EQ(back.GetCount(), 0);
}

TEST(Voice2List, SaveThenLoadKeepsEveryVoice) {
  CVoice2List list;
  for (int p = 0; p < 5; ++p) {
    CVoice2 v = Voice(("m" + std::to_string(p)).c_str(), 10 + p, p % 2 ? 5 : 1);
    v.SetVoiceNo(p);
    v.SetLFO(p & 3);
    v.SetOpWS(4, 7);
    v.SetOpDVB(2, 3);
    list.Set(0, p, v);
  }
  for (int p = 13; p < 16; ++p) {
    CVoice2 v = Voice("d", 30 + p);
    v.SetDrumKey(p + 20);
    list.Set(128, p, v);
  }
  CMemStream out;
  ASSERT_TRUE(list.WriteChunks(out));
  CVoice2List back;
  ASSERT_TRUE(back.LoadBytes(out.GetData(), static_cast<uint32_t>(out.GetSize())));
  ASSERT_EQ(back.GetCount(), list.GetCount());
  CVoice2ListIter it(list);
  while (const CVoice2* v = it.NextVoice()) {
    const CVoice2* w = back.Find(v->GetBank(), v->GetProgram());
    ASSERT_NE(w, nullptr) << v->GetBank() << "/" << v->GetProgram();
    EXPECT_EQ(std::memcmp(w->GetBytes(), v->GetBytes(), CVoice2::kSize), 0);
  }
}

TEST(Voice2List, MalformedFilesFail) {
  const Bytes good = FmBody({{Name("a"), Params(0, 0, 1)}});
  Bytes adpBad = Chunk("FMT ", Bytes(25, 0));
  Bytes adpGood = Chunk("FMT ", Bytes(48, 0));
  const Bytes wave = Chunk("WAVE", Bytes(5, 1));
  adpGood.insert(adpGood.end(), wave.begin(), wave.end());
  struct Case {
    const char* name;
    Bytes file;
    bool ok;
    int voices;
  };
  Bytes twoChunks = Chunk("FM  ", good);
  const Bytes bad = Chunk("XYZW", Bytes(2, 0));
  twoChunks.insert(twoChunks.end(), bad.begin(), bad.end());
  Bytes adpCut = Chunk("ADP ", Bytes{'F', 'M', 'T', ' ', 0, 0, 0, 24, 1});
  const Case cases[] = {
      {"empty file", {}, false, 0},
      {"body not a multiple of 42", Chunk("FM  ", Bytes(43, 0)), false, 0},
      {"unknown id", Chunk("FM2 ", good), false, 0},
      {"voices then an unknown chunk", twoChunks, false, 1},
      {"ADP with a FMT of 25 bytes", Chunk("ADP ", adpBad), false, 0},
      {"ADP read and dropped", Chunk("ADP ", adpGood), true, 0},
      {"ADP sub-chunk past its body", adpCut, false, 0},
      {"size past the end of the file", Bytes{'F', 'M', ' ', ' ', 0, 0, 1, 0, 1, 2}, false, 0},
      {"no voices", Chunk("FM  ", {}), true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CVoice2List list;
    EXPECT_EQ(Load(list, c.file), c.ok);
    EXPECT_EQ(list.GetCount(), c.voices);
  }
}

TEST(Voice2List, EveryTruncationFails) {
  const Bytes file =
      Chunk("FM  ", FmBody({{Name("a"), Params(0, 0, 1)}, {Name("b"), Params(10, 0, 2)}}));
  for (size_t n = 0; n < file.size(); ++n) {
    SCOPED_TRACE(n);
    CVoice2List list;
    Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_FALSE(list.LoadBytes(cut.data(), static_cast<uint32_t>(n)));
    EXPECT_EQ(list.GetCount(), 0);
  }
}

TEST(Voice2List, LoadsFromAFile) {
  const auto path = std::filesystem::temp_directory_path() / "Voice2ListTest.vkz";
  const Bytes file = Chunk("FM  ", FmBody({{Name("a"), Params(0, 0, 1)}}));
  ASSERT_TRUE(platform::WriteFileAtomic(path.string(), file));
  CVoice2List list;
  EXPECT_TRUE(list.LoadFile(path.string()));
  EXPECT_EQ(list.GetCount(), 1);
  std::filesystem::remove(path);
  EXPECT_FALSE(list.LoadFile(path.string()));
  // A FIFO is refused without waiting for a writer, a link to /dev/zero without reading it.
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  EXPECT_FALSE(list.LoadFile(path.string()));
  std::filesystem::remove(path);
  std::filesystem::create_symlink("/dev/zero", path);
  EXPECT_FALSE(list.LoadFile(path.string()));
  std::filesystem::remove(path);
}

TEST(Voice2List, BankMapping) {
  EXPECT_EQ(ListBankFromFile(10), 128);
  EXPECT_EQ(ListBankFromFile(19), 137);
  EXPECT_EQ(ListBankFromFile(9), 9);
  EXPECT_EQ(ListBankFromFile(20), 20);
  EXPECT_EQ(FileBankFromList(131), 13);
  EXPECT_EQ(FileBankFromList(138), 138);
  EXPECT_EQ(FileBankFromList(5), 5);
}

}  // namespace
