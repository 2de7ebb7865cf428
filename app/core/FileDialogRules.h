// The rules the file dialogs' option panels keep, apart from their windows.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

/// One filter of a dialog: the name shown and the patterns, blank-separated.
struct FileFilter {
  std::string name;
  std::string patterns;
  /// The Qt form: "Name (*.a *.b)".
  std::string QtText() const { return name + " (" + patterns + ")"; }
};

/// The filters of a framework filter text "Name (*.x)|*.x|Other|*.y||": each name cut before
/// its "(" (trailing blanks dropped) and each pattern field with ";" as blanks. A name without
/// a pattern field is dropped.
std::vector<FileFilter> ParseFileFilter(const std::string& text);

/// The channel choice of the SMF import panel: 16 boxes, at most `limit` of them ticked.
class SmfChannelChoice {
 public:
  static constexpr int kChannels = 16;
  static constexpr std::array<int, 6> kTimeBases = {6, 12, 24, 48, 15, 30};

  /// The limit of the chip mode (4 in chip mode 1, else 16), and that many boxes ticked.
  explicit SmfChannelChoice(int chipMode);

  /// A click that leaves box `n` ticked or clear.
  void Click(int n, bool ticked);
  bool IsTicked(int n) const { return m_ticked[Index(n)]; }
  bool IsEnabled(int n) const { return m_enabled[Index(n)]; }
  uint16_t GetChannelMask() const { return m_mask; }
  int GetCount() const { return m_count; }
  int GetLimit() const { return m_limit; }
  /// The dialog's OK button may take a file only with a channel chosen.
  bool CanAccept() const { return m_count > 0; }
  /// The time base of a combo entry (24 for an index outside the table).
  static int TimeBaseOfIndex(int index);

 private:
  static int Index(int n) { return n < 0 ? 0 : (n >= kChannels ? kChannels - 1 : n); }

  std::array<bool, kChannels> m_ticked{};
  std::array<bool, kChannels> m_enabled{};
  uint16_t m_mask = 0;
  int m_count = 0;
  int m_limit = 16;
};

/// The KZ-1 load panel: "x1" gives 1, any other entry 2.
inline int Kz1TempoFactorOfIndex(int index) { return index == 0 ? 1 : 2; }

/// The VELK load panel's tempo: the signed integer of the text, 0 when it is none.
int VelkTempoOfText(const std::string& text);

/// The save-as VELK panel: the time-base code of a combo entry ("4 ms", "5 ms", "10 ms",
/// "20 ms") and the milliseconds of a code.
int SaveVelkCodeOfIndex(int index);
int SaveVelkTimeBaseOfCode(int code);

/// The sound-file panel: 4 when "4bit ADPCM" is on, else 8 when "8bit PCM" is, else 0.
inline int SoundBitsPerSample(bool adpcm4, bool pcm8) { return adpcm4 ? 4 : (pcm8 ? 8 : 0); }

/// The comment panel's line: the alternative when the box is ticked (an empty alternative
/// being the comment), else the comment.
std::string CommentLine(bool ticked, const std::string& comment, const std::string& alternative);

/// The extension a save or open of the song uses under an output profile: "mld" (1, 6, 7),
/// "spf" (4), else "mmf"; and the string-table id of its filter (2085, 2186, 2086).
std::string SongExtensionOfProfile(int profile);
int SongFilterIdOfProfile(int profile);

// ---- Rules the File commands share -------------------------------------------------------

/// True when the path's last four characters are `ending` (".mmf"), case ignored.
bool HasEndingNoCase(const std::string& path, const std::string& ending);
/// The file name without its folder.
std::string FileNameOf(const std::string& path);
/// The dialogs of chip modes 3 and 5 take a file title (the name without folder and extension)
/// of at most 59 characters.
inline constexpr size_t kMaxFileTitle = 59;
bool FitsFileTitleLimit(const std::string& path);
/// Save counts the path from its last '/', the '/' included: at most 64 characters.
inline constexpr size_t kMaxSaveName = 64;
bool FitsSaveNameLimit(const std::string& path);
/// The SMF that Reload from SMF reads for a song path: a ".mid" path itself; a numbered part
/// "name_2.spf" .. "name_4.spf" of a phrase export (`numberedPart`) "name.mid"; else the path
/// with "mid" for its last three characters.
std::string ReloadSmfPath(const std::string& songPath, bool numberedPart);
/// The path with its folder replaced by `folder` ('/' added when it lacks one); the path as it
/// is for an empty folder.
std::string PathInFolder(const std::string& path, const std::string& folder);
/// The converter kind that opens and saves the song files of an output profile and maker id;
/// 0 for a profile outside 1..8.
int SongConverterKind(int profile, int makerId);
/// The filter string id of the Direct Play dialog by output profile (2192..2195).
int DirectPlayFilterIdOfProfile(int profile);
/// Direct Play takes ".k3h", ".mmf", ".spf" and ".mld" whatever the filter shows.
bool IsDirectPlayFile(const std::string& path);
