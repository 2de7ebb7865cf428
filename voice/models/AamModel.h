// The stream-PCM assignment map's table without a window: layouts by chip mode, the hit test,
// the cell texts, and the import rules (rate limits by output profile, the wave name).
#pragma once

#include <array>
#include <cstdint>
#include <string>

class CKZ1Doc;

class CAamModel {
 public:
  static constexpr int kColumnCount = 8;
  static constexpr int kRowHeaderWidth = 55;
  static constexpr int kRowHeight = 20;
  static constexpr int kLastColumn = 7;
  enum Column { kColCM, kColWaveName, kColFs, kColNote, kColWaveType, kColPan, kColSize, kColStereo };

  explicit CAamModel(int chipMode = 3) { SetMode(chipMode, 49); }

  /// Chip modes 1-3 and 5 set the layout and rows; other modes keep the old layout.
  void SetMode(int chipMode, int rowCount);
  int GetFirstColumn() const { return m_firstColumn; }
  int GetRowCount() const { return m_rowCount; }
  int ColumnWidth(int column) const;
  static const char* ColumnTitle(int column);
  /// The column under the point and the wave id of its row, or -1.
  int HitTest(int x, int y, int clientWidth, int clientHeight, int hScroll, int vScroll, int* row) const;
  int ColumnLeft(int column, int hScroll) const;

  static bool HasWave(const CKZ1Doc& doc, int id);
  std::string CellText(const CKZ1Doc& doc, int id, int column) const;

 private:
  int m_chipMode = 3;
  int m_rowCount = 49;
  int m_firstColumn = 2;
  std::array<int, kColumnCount> m_widths{};
};

namespace stream_pcm {
/// The message that refuses a sound of that kind (4 ADPCM, 8 8-bit PCM), channel count and
/// rate under the output profile; 0 when it passes.
int RateMessage(int outputProfile, int bits, int channels, uint32_t rate);
/// The wave's name from the chosen path: the path itself up to 16 characters, else its first
/// 11 characters, "~" and its last 4.
std::string WaveName(const std::string& path);
/// The path without its extension (everything before the last ".") is at most 59 characters.
bool ExportNameFits(const std::string& path);
}  // namespace stream_pcm
