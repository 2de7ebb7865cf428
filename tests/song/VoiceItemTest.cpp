// The voice item's byte layout, forced bits, clamps, wave data bounds and comparisons.
#include "song/VoiceItem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/host/testing/FakeHost.h"

namespace {

[[maybe_unused]] const bool kCodePagePinned = (setenv("TRILLOT_ANSI_CODEPAGE", "CP932", 1), true);

using Bytes = std::vector<uint8_t>;

Bytes Block(const uint8_t* p, size_t n) { return Bytes(p, p + n); }

std::string Hex(const Bytes& b) {
  std::string s;
  char buf[4];
  for (uint8_t v : b) {
    snprintf(buf, sizeof buf, "%02X ", v);
    s += buf;
  }
  return s;
}

#define EXPECT_BYTES(actual, expected) EXPECT_EQ(Hex(actual), Hex(expected))

/// A wave block: header id, length 17 + n, format, name, then n samples counting up.
Bytes WaveBlock(uint8_t id, uint32_t n, uint8_t format, const char* name = "wave") {
  Bytes b(20 + n, 0);
  b[0] = id;
  b[1] = static_cast<uint8_t>((n + 17) >> 8);
  b[2] = static_cast<uint8_t>((n + 17) & 0xFF);
  b[3] = format;
  for (size_t i = 0; name[i] && i < 16; ++i) b[4 + i] = static_cast<uint8_t>(name[i]);
  for (uint32_t i = 0; i < n; ++i) b[20 + i] = static_cast<uint8_t>(i + 1);
  return b;
}

TEST(VoiceItem, FreshItemGoldenBlocks) {
  CVoiceItem item;
  const Bytes header = {
      0x00, 0x00,  // id
      0x34,        // kind 52: FM without extension
      0x00, 0x00, 0x00, 0x00,  // bank MSB, bank LSB, program, note
      0x00,        // flags
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // name
  };
  const Bytes fm = {
      0x00,                                      // DrumKey
      0x79,                                      // PANPOT 15, BO 1
      0x00,                                      // LFO, PE, ALG
      0x00, 0xF0, 0xF0, 0x00, 0x00, 0x00, 0x00,  // operator 1: RR 15, AR 15
      0x00, 0xF0, 0xF0, 0x00, 0x00, 0x00, 0x00,  // operator 2
      0x00, 0xF0, 0xF0, 0x00, 0x00, 0x00, 0x00,  // operator 3
      0x00, 0xF0, 0xF0, 0x00, 0x00, 0x00, 0x00,  // operator 4
  };
  const Bytes pcm = {
      0x00, 0x00,  // Fs
      0x78,        // PANPOT 15
      0x00,        // LFO, format
      0x00,        // SR, XOF, ERB, SUS, KSR
      0xF0,        // RR 15
      0xF0,        // AR 15
      0x00,        // TL, KSL
      0x00,        // DAM, EAM, DVB, EVB
      0x00, 0x00,  // start offset
      0x00, 0x00,  // LP
      0x00, 0x00,  // EP
      0x00,        // RM, wave id
  };
  const Bytes ext = {
      0x00, 0x00,              // X, unused
      0x3F, 0x78, 0x3F, 0x78,  // A1, A2 = 8184
      0x3F, 0x78, 0x3F, 0x78,  // A3, A4
      0x3F, 0x78,              // A5
      0x00, 0x00, 0x00, 0x00,  // B1-B4
      0x00,                    // unused
      0x1D, 0x4A,              // C1 3, D1 714
      0x1D, 0x4A, 0x1D, 0x4A, 0x1D, 0x4A,  // C2/D2 .. C4/D4
      0x40,                    // E1
      0x01,                    // E2
  };
  EXPECT_BYTES(Block(item.GetHeader(), 24), header);
  EXPECT_BYTES(Block(item.GetFmVoice(), 31), fm);
  EXPECT_BYTES(Block(item.GetPcmVoice(), 16), pcm);
  EXPECT_BYTES(Block(item.GetExtBlock(), 27), ext);
  EXPECT_EQ(item.GetExtValueA(3), 8184);
  EXPECT_EQ(item.GetExtValueD(4), 714);
  EXPECT_EQ(item.GetExtSelectorC(1), 3);
  EXPECT_EQ(item.GetWaveData(), nullptr);
  EXPECT_EQ(item.GetWaveDataSize(), 0u);
  EXPECT_TRUE(item.IsDefault());
  EXPECT_TRUE(item.IsKindConsistent());
}

TEST(VoiceItem, FieldsLandOnTheirBits) {
  // Each setter at the field's maximum on a cleared item: the byte it changes and its value.
  const struct {
    const char* name;
    std::function<void(CVoiceItem&)> set;
    std::function<int(const CVoiceItem&)> get;
    int max;
    size_t at;       // item byte: header 0, FM 24, PCM 55, extension 71
    uint8_t value;   // that byte afterwards
  } cases[] = {
      {"BankMsb", [](auto& v) { v.SetBankMsb(127); }, [](auto& v) { return v.GetBankMsb(); }, 127, 3, 0x7F},
      {"Note", [](auto& v) { v.SetNote(127); }, [](auto& v) { return v.GetNote(); }, 127, 6, 0x7F},
      {"DrumKey", [](auto& v) { v.SetDrumKey(127); }, [](auto& v) { return v.GetDrumKey(); }, 127, 24, 0x7F},
      {"Panpot", [](auto& v) { v.SetPanpot(31); }, [](auto& v) { return v.GetPanpot(); }, 31, 25, 0xF9},
      {"LFO", [](auto& v) { v.SetLFO(3); }, [](auto& v) { return v.GetLFO(); }, 3, 26, 0xC0},
      {"PE", [](auto& v) { v.SetPE(1); }, [](auto& v) { return v.GetPE(); }, 1, 26, 0x20},
      {"ALG", [](auto& v) { v.SetAlgorithm(7); }, [](auto& v) { return v.GetAlgorithm(); }, 7, 26, 0x07},
      {"Op1 SR", [](auto& v) { v.SetOpSR(1, 15); }, [](auto& v) { return v.GetOpSR(1); }, 15, 27, 0xF0},
      {"Op2 XOF", [](auto& v) { v.SetOpXOF(2, 1); }, [](auto& v) { return v.GetOpXOF(2); }, 1, 34, 0x08},
      {"Op3 ERB", [](auto& v) { v.SetOpERB(3, 1); }, [](auto& v) { return v.GetOpERB(3); }, 1, 41, 0x04},
      {"Op4 SUS", [](auto& v) { v.SetOpSUS(4, 1); }, [](auto& v) { return v.GetOpSUS(4); }, 1, 48, 0x02},
      {"Op1 KSR", [](auto& v) { v.SetOpKSR(1, 1); }, [](auto& v) { return v.GetOpKSR(1); }, 1, 27, 0x01},
      {"Op1 DR", [](auto& v) { v.SetOpDR(1, 15); }, [](auto& v) { return v.GetOpDR(1); }, 15, 28, 0xFF},
      {"Op2 SL", [](auto& v) { v.SetOpSL(2, 15); }, [](auto& v) { return v.GetOpSL(2); }, 15, 36, 0xFF},
      {"Op3 TL", [](auto& v) { v.SetOpTL(3, 63); }, [](auto& v) { return v.GetOpTL(3); }, 63, 44, 0xFC},
      {"Op3 KSL", [](auto& v) { v.SetOpKSL(3, 3); }, [](auto& v) { return v.GetOpKSL(3); }, 3, 44, 0x03},
      {"Op4 DAM", [](auto& v) { v.SetOpDAM(4, 3); }, [](auto& v) { return v.GetOpDAM(4); }, 3, 52, 0x60},
      {"Op4 EAM", [](auto& v) { v.SetOpEAM(4, 1); }, [](auto& v) { return v.GetOpEAM(4); }, 1, 52, 0x10},
      {"Op4 DVB", [](auto& v) { v.SetOpDVB(4, 3); }, [](auto& v) { return v.GetOpDVB(4); }, 3, 52, 0x06},
      {"Op4 EVB", [](auto& v) { v.SetOpEVB(4, 1); }, [](auto& v) { return v.GetOpEVB(4); }, 1, 52, 0x01},
      {"Op1 MULTI", [](auto& v) { v.SetOpMULTI(1, 15); }, [](auto& v) { return v.GetOpMULTI(1); }, 15, 32, 0xF0},
      {"Op1 DT", [](auto& v) { v.SetOpDT(1, 7); }, [](auto& v) { return v.GetOpDT(1); }, 7, 32, 0x07},
      {"Op2 WS", [](auto& v) { v.SetOpWS(2, 31); }, [](auto& v) { return v.GetOpWS(2); }, 31, 40, 0xF8},
      {"Op2 FB", [](auto& v) { v.SetOpFB(2, 7); }, [](auto& v) { return v.GetOpFB(2); }, 7, 40, 0x07},
      {"PcmFs", [](auto& v) { v.SetPcmFs(0x1F40); }, [](auto& v) { return v.GetPcmFs(); }, 0x1F40, 55, 0x1F},
      {"PcmPE", [](auto& v) { v.SetPcmPE(1); }, [](auto& v) { return v.GetPcmPE(); }, 1, 57, 0x79},
      {"PcmLFO", [](auto& v) { v.SetPcmLFO(3); }, [](auto& v) { return v.GetPcmLFO(); }, 3, 58, 0xC0},
      {"PcmFormat", [](auto& v) { v.SetPcmWaveFormat(3); }, [](auto& v) { return v.GetPcmWaveFormat(); }, 3, 58, 0x03},
      {"PcmSR", [](auto& v) { v.SetPcmSR(15); }, [](auto& v) { return v.GetPcmByte4High(); }, 15, 59, 0xF0},
      {"PcmXOF", [](auto& v) { v.SetPcmXOF(1); }, [](auto& v) { return v.GetPcmByte4Bit3(); }, 1, 59, 0x08},
      {"PcmDR", [](auto& v) { v.SetPcmDR(15); }, [](auto& v) { return v.GetPcmByte5Low(); }, 15, 60, 0xFF},
      {"PcmSL", [](auto& v) { v.SetPcmSL(15); }, [](auto& v) { return v.GetPcmByte6Low(); }, 15, 61, 0xFF},
      {"PcmTL", [](auto& v) { v.SetPcmTL(63); }, [](auto& v) { return v.GetPcmTL(); }, 63, 62, 0xFC},
      {"PcmDAM", [](auto& v) { v.SetPcmDAM(3); }, [](auto& v) { return v.GetPcmDAM(); }, 3, 63, 0x60},
      {"PcmStart", [](auto& v) { v.SetPcmStartOffset(0x1234); }, [](auto& v) { return v.GetPcmStartOffset(); }, 0x1234, 64, 0x12},
      {"PcmLP", [](auto& v) { v.SetPcmLoopPoint(0xABCD); }, [](auto& v) { return v.GetPcmLoopPoint(); }, 0xABCD, 67, 0xCD},
      {"PcmEP", [](auto& v) { v.SetPcmEndPoint(0xFFFF); }, [](auto& v) { return v.GetPcmEndPoint(); }, 0xFFFF, 68, 0xFF},
      {"WaveId", [](auto& v) { v.SetWaveId(127); }, [](auto& v) { return v.GetWaveId(); }, 127, 70, 0x7F},
      {"RM", [](auto& v) { v.SetRM(1); }, [](auto& v) { return v.GetRM(); }, 1, 70, 0x80},
      {"ExtA1", [](auto& v) { v.SetExtValueA(1, 8191); }, [](auto& v) { return v.GetExtValueA(1); }, 8191, 73, 0x3F},
      {"ExtB4", [](auto& v) { v.SetExtLevelB(4, 31); }, [](auto& v) { return v.GetExtLevelB(4); }, 31, 86, 0x1F},
      {"ExtC2", [](auto& v) { v.SetExtSelectorC(2, 7); }, [](auto& v) { return v.GetExtSelectorC(2); }, 7, 90, 0x3D},
      {"ExtD3", [](auto& v) { v.SetExtValueD(3, 1023); }, [](auto& v) { return v.GetExtValueD(3); }, 1023, 92, 0x1F},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CVoiceItem fresh;
    CVoiceItem item;
    c.set(item);
    EXPECT_EQ(c.get(item), c.max);
    Bytes before = Block(fresh.GetHeader(), 98);
    Bytes after = Block(item.GetHeader(), 98);
    EXPECT_EQ(after[c.at], c.value);
    int changed = 0;
    for (size_t i = 0; i < before.size(); ++i) changed += before[i] != after[i];
    EXPECT_LE(changed, 2);  // two-byte fields change two bytes, bit fields one
  }
}

TEST(VoiceItem, ForcedBitsAndKindCodes) {
  CVoiceItem item;
  item.SetBO(3);
  EXPECT_EQ(item.GetBO(), 1);
  item.SetPcmKSR(1);
  item.SetPcmKSL(3);
  EXPECT_EQ(item.GetPcmKSR(), 0);
  EXPECT_EQ(item.GetPcmKSL(), 0);
  item.SetExtFlag(1);
  EXPECT_EQ(item.GetKind(), 79);
  EXPECT_FALSE(item.IsKindConsistent());
  item.SetPcmFlag(1);
  EXPECT_EQ(item.GetKind(), 64);
  item.SetExtFlag(0);
  EXPECT_EQ(item.GetKind(), 37);
  EXPECT_TRUE(item.IsKindConsistent());

  uint8_t fm[31] = {};  // BO 0 in the block
  item.SetFmVoice(fm);
  EXPECT_EQ(item.GetBO(), 1);
  uint8_t pcm[16] = {0, 0, 0, 0, 0x01, 0, 0, 0x03};
  item.SetPcmVoice(pcm);
  EXPECT_EQ(item.GetPcmKSR(), 0);
  EXPECT_EQ(item.GetPcmKSL(), 0);
}

TEST(VoiceItem, OperatorCountAndStoredFmLength) {
  CVoiceItem item;
  item.SetAlgorithm(1);
  EXPECT_EQ(item.GetOperatorCount(), 2);
  EXPECT_EQ(item.GetFmVoiceLength(), 17u);
  item.SetAlgorithm(2);
  EXPECT_EQ(item.GetOperatorCount(), 4);
  EXPECT_EQ(item.GetFmVoiceLength(), 31u);
  EXPECT_EQ(CVoiceItem::GetOperatorOffset(4), 21);
  EXPECT_EQ(CVoiceItem::GetOperatorOffset(5), -1);
  EXPECT_EQ(item.GetOperatorBytes(0), nullptr);
  EXPECT_FALSE(item.SetOpSR(5, 1));
  EXPECT_EQ(item.GetOpSR(5), 0);
}

TEST(VoiceItem, OperatorBytesClearFeedbackOfOperators2And4) {
  const uint8_t op[7] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x7D};  // FB 5
  CVoiceItem item;
  item.SetOperatorBytes(3, op);
  item.SetOperatorBytes(4, op);
  EXPECT_EQ(item.GetOpFB(3), 5);
  EXPECT_EQ(item.GetOpFB(4), 0);
  EXPECT_EQ(item.GetOpWS(4), 15);
  EXPECT_BYTES(Block(item.GetOperatorBytes(3), 7), Block(op, 7));
}

TEST(VoiceItem, ExtensionBlockClampsOnlyWithTheFlag) {
  const struct {
    uint8_t flag;
    uint16_t a3;
    uint16_t stored;
  } cases[] = {{1, 3, 8}, {0, 3, 3}, {1, 8190, 8184}, {0, 8190, 8190}, {1, 100, 100}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.flag) << " " << c.a3);
    CVoiceItem source;
    source.SetExtValueA(3, c.a3);
    Bytes block = Block(source.GetExtBlock(), 27);
    CVoiceItem item;
    item.SetExtFlag(c.flag);
    item.SetExtBlock(block.data());
    EXPECT_EQ(item.GetExtValueA(3), c.stored);
    EXPECT_EQ(item.GetExtValueA(1), 8184);
  }
}

TEST(VoiceItem, NamesAreCutTo16BytesNeverOverTheFmBlock) {
  CVoiceItem item;
  Bytes fm = Block(item.GetFmVoice(), 31);
  item.SetName("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  EXPECT_STREQ(item.GetName(), "ABCDEFGHIJKLMNOP");
  EXPECT_BYTES(Block(item.GetFmVoice(), 31), fm);
  // Fifteen bytes and a kanji: the kanji would be split, so it is left out.
  item.SetName("123456789012345\x93\xFA");
  EXPECT_STREQ(item.GetName(), "123456789012345");
  item.SetWaveName("waves-waves-waves-waves");
  EXPECT_STREQ(item.GetWaveHeader(), "waves-waves-wave");
  EXPECT_EQ(item.GetWaveDataSize(), 20u);
}

TEST(VoiceItem, WaveSamplesAreCappedAt65518) {
  Bytes samples(65519, 0x5A);
  CVoiceItem item;
  item.SetWaveSamples(samples.data(), static_cast<uint32_t>(samples.size()));
  EXPECT_EQ(item.GetWaveDataSize(), 65538u);
  EXPECT_EQ(item.GetWaveLength(), 65535);
  EXPECT_EQ(item.GetWaveSampleSize(), 65518u);
  EXPECT_EQ(item.GetWaveSamples()[65517], 0x5A);
}

TEST(VoiceItem, SetWaveDataCopiesAndTakesTheVoiceFormat) {
  CVoiceItem item;
  item.SetPcmFlag(1);
  item.SetPcmWaveFormat(2);
  Bytes block = WaveBlock(0x85, 5, 0xFC);
  ASSERT_TRUE(item.SetWaveData(block.data(), static_cast<uint32_t>(block.size())));
  EXPECT_EQ(item.GetWaveDataSize(), 25u);
  EXPECT_EQ(item.GetWaveHeaderId(), 5);
  EXPECT_EQ(item.GetWaveHeaderFlags(), 0xFE);  // bits 2-7 kept, format from the PCM block
  EXPECT_EQ(item.GetWaveSampleSize(), 5u);
  EXPECT_STREQ(item.GetWaveHeader(), "wave");
  EXPECT_EQ(item.GetWaveSamples()[4], 5);
  // Spare bytes behind the block are not taken.
  Bytes longer = WaveBlock(1, 2, 0);
  longer.resize(40, 0xEE);
  ASSERT_TRUE(item.SetWaveData(longer.data(), static_cast<uint32_t>(longer.size())));
  EXPECT_EQ(item.GetWaveDataSize(), 22u);
}

TEST(VoiceItem, WaveBlockWithoutSamplesLeavesNoWaveData) {
  CVoiceItem item;
  item.SetWaveSamples(reinterpret_cast<const uint8_t*>("abc"), 3);
  Bytes block = WaveBlock(1, 0, 0);
  ASSERT_TRUE(item.SetWaveData(block.data(), 20));
  EXPECT_EQ(item.GetWaveData(), nullptr);
  EXPECT_EQ(item.GetWaveSampleSize(), 0u);
  EXPECT_EQ(item.GetWaveHeader(), nullptr);
  EXPECT_TRUE(item.SetWaveData(nullptr, 0));
}

TEST(VoiceItem, WaveHeaderLongerThanItsDataIsRefusedAtEveryCut) {
  Bytes block = WaveBlock(3, 40, 1);
  for (size_t cut = 1; cut < block.size(); ++cut) {
    SCOPED_TRACE(cut);
    Bytes exact(block.begin(), block.begin() + static_cast<long>(cut));  // exactly sized
    CVoiceItem item;
    item.SetWaveSamples(reinterpret_cast<const uint8_t*>("keep"), 4);
    EXPECT_FALSE(item.SetWaveData(exact.data(), static_cast<uint32_t>(exact.size())));
    EXPECT_EQ(item.GetWaveSampleSize(), 4u);  // the old wave stays
  }
}

TEST(VoiceItem, OldWaveRecordKeepsEverySample) {
  // id 7, length of the whole record (19 + 3), 16 name bytes, samples 1 2 3.
  Bytes record = {7, 0x00, 22, 'o', 'l', 'd', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3};
  CVoiceItem item;
  uint32_t size = 0;
  ASSERT_TRUE(item.SetWaveDataOld(record.data(), static_cast<uint32_t>(record.size()), &size));
  EXPECT_EQ(size, 22u);
  const Bytes expected = {
      0x07,        // wave header id
      0x00, 0x14,  // length 17 + 3
      0x00,        // format
      'o', 'l', 'd', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // name
      0x01, 0x02, 0x03,  // every sample
  };
  EXPECT_BYTES(Block(item.GetWaveData(), item.GetWaveDataSize()), expected);
}

TEST(VoiceItem, OldWaveRecordShorterThanItsHeaderIsRefused) {
  const struct {
    const char* name;
    Bytes record;
    bool ok;
  } cases[] = {
      {"no length", {7, 0}, false},
      {"length below the header", {7, 0, 18, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},
      {"length past the data", {7, 0, 21, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, false},
      {"header only", {7, 0, 19, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CVoiceItem item;
    EXPECT_EQ(item.SetWaveDataOld(c.record.data(), static_cast<uint32_t>(c.record.size())), c.ok);
    EXPECT_EQ(item.GetWaveData(), nullptr);
  }
}

TEST(VoiceItem, ShortBlocksAreRefusedWithTheItemUnchanged) {
  CVoiceItem full;
  full.SetPcmFlag(1);
  full.SetBankMsb(124);
  full.SetAlgorithm(5);
  full.SetPcmTL(9);
  full.SetExtValueA(2, 100);
  const Bytes all = Block(full.GetHeader(), 98);
  const struct {
    const char* name;
    size_t at;
    size_t size;
    std::function<bool(CVoiceItem&, const uint8_t*, uint32_t)> set;
  } blocks[] = {
      {"header", 0, 24, [](CVoiceItem& v, const uint8_t* p, uint32_t n) { return v.SetHeader(p, n); }},
      {"FM", 24, 31, [](CVoiceItem& v, const uint8_t* p, uint32_t n) { return v.SetFmVoice(p, n); }},
      {"PCM", 55, 16, [](CVoiceItem& v, const uint8_t* p, uint32_t n) { return v.SetPcmVoice(p, n); }},
      {"old PCM", 55, 14,
       [](CVoiceItem& v, const uint8_t* p, uint32_t n) { return v.SetPcmVoiceOld(p, n); }},
      {"extension", 71, 27,
       [](CVoiceItem& v, const uint8_t* p, uint32_t n) { return v.SetExtBlock(p, n); }},
  };
  for (const auto& b : blocks) {
    for (size_t n = 1; n <= b.size; ++n) {
      SCOPED_TRACE(testing::Message() << b.name << " " << n);
      Bytes exact(all.begin() + static_cast<long>(b.at), all.begin() + static_cast<long>(b.at + n));
      CVoiceItem item;
      EXPECT_EQ(b.set(item, exact.data(), static_cast<uint32_t>(n)), n == b.size);
      if (n < b.size) {
        EXPECT_TRUE(item.IsDefault());
        EXPECT_EQ(item.GetKind(), 52);
      }
    }
  }
}

TEST(VoiceItem, SampleSizeNeverExceedsTheBytesHeld) {
  CVoiceItem item;
  item.SetWaveSamples(reinterpret_cast<const uint8_t*>("ab"), 2);
  item.SetWaveLength(1000);
  EXPECT_EQ(item.GetWaveSampleSize(), 2u);
}

TEST(VoiceItem, OldPcmBlockHasNoStartOffset) {
  const uint8_t old[14] = {0x1F, 0x40, 0x79, 0x01, 0x21, 0x33, 0x44, 0x57, 0x66,
                           0x12, 0x34,   // LP
                           0x56, 0x78,   // EP
                           0x85};        // RM 1, wave id 5
  CVoiceItem item;
  item.SetPcmVoiceOld(old);
  const Bytes expected = {0x1F, 0x40, 0x79, 0x01, 0x20, 0x33, 0x44, 0x54, 0x66,
                          0x00, 0x00,  // start offset 0
                          0x12, 0x34, 0x56, 0x78, 0x85};
  EXPECT_BYTES(Block(item.GetPcmVoice(), 16), expected);
}

TEST(VoiceItem, CopyTakesWaveDataOnlyForPcmVoices) {
  CVoiceItem source;
  source.SetBankMsb(124);
  source.SetPcmFlag(1);
  source.SetWaveSamples(reinterpret_cast<const uint8_t*>("wxyz"), 4);
  CVoiceItem copy = source;
  EXPECT_TRUE(copy.IsSameHeader(source));
  EXPECT_EQ(copy.GetWaveSampleSize(), 4u);
  EXPECT_NE(copy.GetWaveData(), source.GetWaveData());
  source.SetPcmFlag(0);
  copy = source;
  EXPECT_EQ(copy.GetWaveData(), nullptr);
  const CVoiceItem& self = copy;
  copy = self;
  EXPECT_FALSE(copy.IsPcm());
}

TEST(VoiceItem, CopyHoldsExactlyTheSourceWaveBytes) {
  // The source's length field claims 100 samples while its block holds 4.
  CVoiceItem source;
  source.SetPcmFlag(1);
  source.SetWaveSamples(reinterpret_cast<const uint8_t*>("wxyz"), 4);
  source.SetWaveLength(117);
  CVoiceItem copy;
  copy.SetPcmFlag(1);
  copy.SetWaveSamples(reinterpret_cast<const uint8_t*>("old samples"), 11);
  copy = source;
  ASSERT_EQ(copy.GetWaveDataSize(), source.GetWaveDataSize());
  EXPECT_EQ(std::memcmp(copy.GetWaveData(), source.GetWaveData(), source.GetWaveDataSize()), 0);
  EXPECT_EQ(copy.GetWaveLength(), 117);
  // A source without wave data leaves none behind either.
  CVoiceItem bare;
  bare.SetPcmFlag(1);
  copy = bare;
  EXPECT_EQ(copy.GetWaveData(), nullptr);
  EXPECT_EQ(copy.GetWaveDataSize(), 0u);
}

TEST(VoiceItem, ComparisonsOfPcmVoices) {
  CVoiceItem a;
  a.SetPcmFlag(1);
  a.SetWaveId(1);
  a.SetWaveSamples(reinterpret_cast<const uint8_t*>("abcd"), 4);
  a.SetWaveHeaderId(1);
  CVoiceItem b = a;
  b.SetWaveId(2);
  b.SetWaveHeaderId(2);
  b.SetWaveName("other");
  EXPECT_TRUE(a.IsSame(b));       // wave id, header id and name do not count
  EXPECT_FALSE(a.IsSameData(b));  // the wave name does
  b.SetWaveSamples(reinterpret_cast<const uint8_t*>("abce"), 4);
  EXPECT_FALSE(a.IsSame(b));
  a.SetRM(1);
  b.SetRM(1);
  b.SetWaveId(1);
  EXPECT_TRUE(a.IsSame(b));  // a wave of the chip's own: the samples do not count
  b.SetPcmFlag(0);
  EXPECT_FALSE(a.IsSame(b));
  EXPECT_FALSE(a.IsDefault());
}

TEST(VoiceItem, DefaultFmVoiceIsOnlyBoSet) {
  CVoiceItem item;
  uint8_t fm[31] = {0x00, 0x01};
  item.SetFmVoice(fm);
  EXPECT_TRUE(item.IsDefaultFmVoice());
  item.SetPcmTL(1);
  EXPECT_FALSE(item.IsDefaultFmVoice());
}

TEST(VoiceItem, BankClassification) {
  const struct {
    uint8_t msb, lsb, program, note;
    int profile;
    bool fixed, editable, drum;
  } cases[] = {
      {0, 0, 5, 30, 2, true, false, true},      {0, 0, 5, 85, 2, true, false, false},
      {124, 10, 0, 0, 2, true, false, false},   {124, 0, 3, 0, 2, false, false, false},
      {124, 3, 3, 0, 2, false, true, false},    {125, 0, 10, 40, 2, true, false, true},
      {125, 0, 0, 40, 2, false, false, true},   {125, 0, 1, 40, 2, false, false, true},
      {125, 0, 1, 40, 4, false, true, true},    {125, 0, 1, 40, 6, false, true, true},
      {125, 0, 2, 40, 2, false, true, true},    {125, 1, 0, 40, 2, false, true, true},
      {100, 0, 0, 0, 2, false, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.msb) << "/" << int(c.lsb) << "/" << int(c.program)
                                    << "/" << int(c.note) << " profile " << c.profile);
    platform::FakeHost host;
    host.settings.outputProfile = c.profile;
    CVoiceItem item;
    item.SetBankMsb(c.msb);
    item.SetBankLsb(c.lsb);
    item.SetProgram(c.program);
    item.SetNote(c.note);
    EXPECT_EQ(item.IsFixedBank(), c.fixed);
    EXPECT_EQ(item.IsUserEditable(), c.editable);
    EXPECT_EQ(item.IsDrum(), c.drum);
  }
}

}  // namespace
