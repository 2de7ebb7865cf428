// The stream-PCM assignment map's table without a window: layouts by chip mode, the hit test,
// the cell texts, and the import rules (rate limits by output profile, the wave name).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

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
  int GetChipMode() const { return m_chipMode; }
  int GetFirstColumn() const { return m_firstColumn; }
  int GetRowCount() const { return m_rowCount; }
  int ColumnWidth(int column) const;
  static const char* ColumnTitle(int column);
  /// The column under the point and the wave id of its row, or -1.
  int HitTest(int x, int y, int clientWidth, int clientHeight, int hScroll, int vScroll, int* row) const;
  int ColumnLeft(int column, int hScroll) const;

  static bool HasWave(const CKZ1Doc& doc, int id);
  /// Per wave id 0..49: some note-on of the song's stream-PCM list plays it.
  static std::vector<bool> PlayedWaves(const CKZ1Doc& doc);
  std::string CellText(const CKZ1Doc& doc, int id, int column) const;

  /// The wave id of the last right-click on a row, -1 when none; New and Delete act on it.
  int GetSelected() const { return m_selected; }
  void SetSelected(int row) { m_selected = row; }

  /// What a right-click opens: the header's "SPAM" popup or a row's "VAM" popup, with the
  /// states of their items.
  struct Popup {
    enum Kind { kNone, kHeader, kRow } kind = kNone;
    bool exportEnabled = false;  // header: some row has a wave
    bool olderImportShown = false;
    bool newEnabled = false;  // the selected row: New without a wave, Delete with one
    bool deleteEnabled = false;
  };
  /// The popup of a right-click at (x, y): none outside chip modes 1-3 and 5 or while the output
  /// plays. A row within the row count becomes the selected row.
  Popup RightClick(const CKZ1Doc* doc, int x, int y, int clientWidth, int clientHeight, int vScroll, bool idle,
                   int outputProfile);
  /// Whether some row of the song has a wave (Export needs one).
  bool AnyWave(const CKZ1Doc& doc) const;
  /// Whether the import of the older StreamPCM version is offered under an output profile.
  static bool OlderImportShown(int outputProfile);

 private:
  int m_chipMode = 3;
  int m_rowCount = 49;
  int m_firstColumn = 2;
  int m_selected = -1;
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
