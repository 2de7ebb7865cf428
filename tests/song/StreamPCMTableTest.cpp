// The stream-PCM table and its "SPK3" file.
#include "song/StreamPCMTable.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/io/FileIo.h"
#include "song/MemStream.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Chunk(const char* id, const Bytes& body) {
  Bytes out(id, id + 4);
  const uint32_t n = static_cast<uint32_t>(body.size());
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(n >> shift));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

Bytes Exported(const CStreamPCMTable& table) {
  CMemStream out;
  EXPECT_TRUE(table.Export(out));
  return Bytes(out.GetData(), out.GetData() + out.GetSize());
}

bool Load(CStreamPCMTable& table, const Bytes& file, bool old = false) {
  return table.LoadBytes(file.data(), static_cast<uint32_t>(file.size()), old);
}

void FillSlot(CStreamPCMSlot& slot, int id, int format, uint16_t rate, const Bytes& data) {
  slot.SetId(id);
  slot.SetFormat(static_cast<uint8_t>(format));
  slot.SetRate(rate);
  slot.SetWaveData(data.data(), static_cast<uint32_t>(data.size()));
}

TEST(StreamPCMTable, FreeSlotsExportNothing) {
  CStreamPCMTable table;
  FillSlot(*table.GetSlot(0), 1, 2, 8000, {1});    // slot 0 never goes to a file
  FillSlot(*table.GetSlot(33), 33, 2, 8000, {1});  // nor slots past 32
  EXPECT_TRUE(Exported(table).empty());
  EXPECT_EQ(table.GetSlot(49), nullptr);
  EXPECT_NE(table.GetSlot(48), nullptr);
  EXPECT_FALSE(table.SetSlot(49, CStreamPCMSlot()));
}

TEST(StreamPCMTable, ExportsTheElevenByteEntryAsGoldenBytes) {
  CStreamPCMTable table;
  FillSlot(*table.GetSlot(5), 5, 2, 8000, {0xAA, 0xBB, 0xCC});
  const Bytes expected = {
      'S', 'P', 'K', '3',      // chunk id
      0x00, 0x00, 0x00, 0x0B,  // body size 11
      0x05,                    // slot id
      0x00, 0x00, 0x00, 0x03,  // data length
      0x09,                    // format 2: selector 1, bit 0
      0x1F, 0x40,              // rate 8000
      0xAA, 0xBB, 0xCC,        // data
  };
  EXPECT_EQ(Exported(table), expected);

  CStreamPCMTable back;
  back.GetSlot(5)->SetNote(44);
  back.GetSlot(5)->SetName("kept");
  back.GetSlot(5)->SetFlag(1);
  ASSERT_TRUE(Load(back, expected));
  const CStreamPCMSlot& s = *back.GetSlot(5);
  EXPECT_EQ(s.GetId(), 5);
  EXPECT_EQ(s.GetFormat(), 2);
  EXPECT_EQ(s.GetRate(), 8000);
  EXPECT_EQ(s.GetBankMsb(), 125);
  EXPECT_EQ(s.GetBankLsb(), 0);
  EXPECT_EQ(s.GetProgram(), 0);
  EXPECT_EQ(s.GetNote(), 44);
  EXPECT_STREQ(s.GetName(), "kept");
  EXPECT_TRUE(s.GetFlag());
  ASSERT_EQ(s.GetDataSize(), 3u);
  EXPECT_EQ(s.GetData()[2], 0xCC);
}

TEST(StreamPCMTable, FormatCodesMapBothWays) {
  struct Case {
    int format;
    uint8_t written;
    int readBack;
  };
  const Case cases[] = {{0, 0x10, 0}, {2, 0x09, 2}, {3, 0x01, 3}, {1, 0x00, 3}, {7, 0x00, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    CStreamPCMTable table;
    FillSlot(*table.GetSlot(1), 1, c.format, 100, {1});
    const Bytes file = Exported(table);
    ASSERT_EQ(file.size(), 17u);
    EXPECT_EQ(file[13], c.written);
    CStreamPCMTable back;
    ASSERT_TRUE(Load(back, file));
    EXPECT_EQ(back.GetSlot(1)->GetFormat(), c.readBack);
  }
  // Bit 0 and the top bit are ignored by the reader; selectors 3..15 have no format.
  EXPECT_EQ(CStreamPCMTable::SlotFormatFromFormatByte(0x88), 2);
  EXPECT_EQ(CStreamPCMTable::SlotFormatFromFormatByte(0x18), -1);
  EXPECT_EQ(CStreamPCMTable::SlotFormatFromFormatByte(0x78), -1);
}

TEST(StreamPCMTable, StereoSlotsCarryBitTwoOfTheFormatByte) {
  CStreamPCMTable table;
  FillSlot(*table.GetSlot(2), 2, 0, 8000, {1, 2});
  table.GetSlot(2)->SetFlag(1);
  FillSlot(*table.GetSlot(3), 3, 3, 8000, {3});
  const Bytes file = Exported(table);
  ASSERT_EQ(file.size(), 8u + 10u + 9u);
  EXPECT_EQ(file[8 + 5], 0x14);       // format 0 (0x10) and the stereo bit
  EXPECT_EQ(file[18 + 5], 0x01);      // a mono slot keeps the plain byte
  CStreamPCMTable back;
  ASSERT_TRUE(Load(back, file));
  EXPECT_TRUE(back.GetSlot(2)->GetFlag());
  EXPECT_EQ(back.GetSlot(2)->GetFormat(), 0);
  EXPECT_FALSE(back.GetSlot(3)->GetFlag());
}

TEST(StreamPCMTable, SaveThenLoadKeepsEveryField) {
  CStreamPCMTable table;
  FillSlot(*table.GetSlot(1), 1, 0, 4125, Bytes(300, 0x11));
  FillSlot(*table.GetSlot(17), 17, 3, 48000, {});
  FillSlot(*table.GetSlot(32), 32, 2, 22050, Bytes(70000, 0x5A));
  const Bytes file = Exported(table);
  CStreamPCMTable back;
  ASSERT_TRUE(Load(back, file));
  for (int i : {1, 17, 32}) {
    SCOPED_TRACE(i);
    const CStreamPCMSlot& a = *table.GetSlot(i);
    const CStreamPCMSlot& b = *back.GetSlot(i);
    EXPECT_EQ(b.GetId(), a.GetId());
    EXPECT_EQ(b.GetFormat(), a.GetFormat());
    EXPECT_EQ(b.GetRate(), a.GetRate());
    ASSERT_EQ(b.GetDataSize(), a.GetDataSize());
    if (a.GetDataSize()) {
      EXPECT_EQ(Bytes(b.GetData(), b.GetData() + b.GetDataSize()),
                Bytes(a.GetData(), a.GetData() + a.GetDataSize()));
    }
  }
  EXPECT_EQ(back.GetSlot(2)->GetId(), 255);
}

TEST(StreamPCMTable, ImportsTheEarlierEntryLayout) {
  const Bytes file = Chunk("SPK3", {
                                       0x07,        // slot id
                                       0x00, 0x02,  // data length (16-bit)
                                       0x10,        // format 0
                                       0x3E, 0x80,  // rate 16000
                                       0x01, 0x02,  // data
                                       0x08, 0x00, 0x00, 0x01, 0x00, 0x09,
                                   });
  CStreamPCMTable table;
  ASSERT_TRUE(Load(table, file, true));
  EXPECT_EQ(table.GetSlot(7)->GetFormat(), 0);
  EXPECT_EQ(table.GetSlot(7)->GetRate(), 16000);
  EXPECT_EQ(table.GetSlot(7)->GetDataSize(), 2u);
  EXPECT_EQ(table.GetSlot(8)->GetFormat(), 3);
  EXPECT_EQ(table.GetSlot(8)->GetDataSize(), 0u);
  EXPECT_EQ(table.GetSlot(8)->GetRate(), 9);
  // The same bytes in the current layout run past the body.
  CStreamPCMTable other;
  EXPECT_FALSE(Load(other, file, false));
}

TEST(StreamPCMTable, MalformedFilesFail) {
  const Bytes entry = {0x02, 0, 0, 0, 1, 0x09, 0x1F, 0x40, 0x77};
  Bytes twoEntries = entry;
  Bytes second = {0x21, 0, 0, 0, 0, 0x09, 0, 1};  // id 33
  twoEntries.insert(twoEntries.end(), second.begin(), second.end());
  Bytes goodThenOther = Chunk("SPK3", entry);
  const Bytes other = Chunk("XXXX", {1, 2});
  goodThenOther.insert(goodThenOther.end(), other.begin(), other.end());
  Bytes goodThenCut = Chunk("SPK3", entry);
  goodThenCut.insert(goodThenCut.end(), {'S', 'P', 'K', '3', 0, 0, 0, 9, 3});
  struct Case {
    const char* name;
    Bytes file;
    bool ok;
    bool slotTwoFilled;
  };
  const Case cases[] = {
      {"empty file", {}, false, false},
      {"id 0", Chunk("SPK3", {0x00, 0, 0, 0, 0, 0x09, 0, 1}), false, false},
      {"id 33 after a good entry", Chunk("SPK3", twoEntries), false, true},
      {"selector 3", Chunk("SPK3", {0x02, 0, 0, 0, 0, 0x18, 0, 1}), false, false},
      {"data past the body", Chunk("SPK3", {0x02, 0, 0, 0, 9, 0x09, 0, 1, 5}), false, false},
      {"length near 4 GiB", Chunk("SPK3", {0x02, 0xFF, 0xFF, 0xFF, 0xF0, 0x09, 0, 1}), false,
       false},
      {"partial entry header", Chunk("SPK3", {0x02, 0, 0}), false, false},
      {"first chunk not SPK3", Chunk("SPK4", entry), false, false},
      {"unknown chunk after a good one", goodThenOther, true, true},
      {"chunk cut short after a good one", goodThenCut, false, true},
      {"empty SPK3", Chunk("SPK3", {}), true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CStreamPCMTable table;
    EXPECT_EQ(Load(table, c.file), c.ok);
    EXPECT_EQ(table.GetSlot(2)->GetId() == 2, c.slotTwoFilled);
  }
}

TEST(StreamPCMTable, EveryTruncationFails) {
  CStreamPCMTable table;
  FillSlot(*table.GetSlot(3), 3, 2, 8000, {1, 2, 3, 4});
  FillSlot(*table.GetSlot(9), 9, 0, 11025, {5, 6});
  const Bytes file = Exported(table);
  for (size_t n = 0; n < file.size(); ++n) {
    SCOPED_TRACE(n);
    Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
    CStreamPCMTable back;
    EXPECT_FALSE(back.LoadBytes(cut.data(), static_cast<uint32_t>(n), false));
  }
}

TEST(StreamPCMTable, LoadsAndImportsFromFiles) {
  const auto path = std::filesystem::temp_directory_path() / "StreamPCMTableTest.spk";
  CStreamPCMTable table;
  FillSlot(*table.GetSlot(4), 4, 3, 8000, {9});
  ASSERT_TRUE(platform::WriteFileAtomic(path.string(), Exported(table)));
  CStreamPCMTable back;
  EXPECT_TRUE(back.LoadFile(path.string()));
  EXPECT_EQ(back.GetSlot(4)->GetId(), 4);
  CStreamPCMTable old;
  EXPECT_FALSE(old.ImportFile(path.string()));  // the current layout is not the old one
  std::filesystem::remove(path);
  EXPECT_FALSE(back.LoadFile(path.string()));
  // A FIFO is refused without waiting for a writer, a link to /dev/zero without reading it.
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  EXPECT_FALSE(back.LoadFile(path.string()));
  std::filesystem::remove(path);
  std::filesystem::create_symlink("/dev/zero", path);
  EXPECT_FALSE(back.LoadFile(path.string()));
  std::filesystem::remove(path);
}

}  // namespace
