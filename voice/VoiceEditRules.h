// Rules of the voice editor pages that need no window: value texts, slider mappings, ranges and
// which controls an edit state enables.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace voiceedit {

/// Output profiles 4 and 6 have no PCM page, no user waves and no GT pointer.
inline bool IsPhraseProfile(int profile) { return profile == 4 || profile == 6; }
inline bool UserWavesAllowed(int profile) { return !IsPhraseProfile(profile); }
/// The profiles that give the pages all three shared audition values.
inline bool IsFullProfile(int profile) {
  return profile == 1 || profile == 2 || profile == 3 || profile == 5 || profile == 7 || profile == 8;
}

/// The channel level of PANPOT p (0..31) in dB with three decimals; "-(Infinity)" for none.
std::string PanpotLevelText(int panpot, bool left);

/// The stored WS of a slider position and back. Without user waves the positions skip the
/// shapes 15, 23 and 31 (positions 0..28); a stored user-wave shape shows as position 0.
int WsFromSliderPosition(int position, bool userWaves);
int SliderPositionFromWs(int ws, bool userWaves);
inline int WsSliderMax(bool userWaves) { return userWaves ? 31 : 28; }

/// The ALG slider's range, none when it is left unset.
std::optional<std::pair<int, int>> AlgRange(int profile, int editSource, int modeSetting);

/// True when operator `op` (1..4) carries feedback under `alg`.
bool OperatorCarriesFeedback(int alg, int op);

/// The user-wave name of a file title: the title when shorter than 17 characters, else its
/// first 11 characters, "~" and its last 4.
std::string UserWaveName(const std::string& title);
/// The file name of a path without folder and extension.
std::string FileTitle(const std::string& path);

/// GT in tenths of a second as "%d.%d".
std::string GateTimeText(int tenths);

/// Clamps of the application's editor values.
int ClampEditorVolume(int value);
int ClampEditorGate(int value);

/// The bitmap of the ALG picture: base by ALG plus the selected tab index.
int AlgPictureId(int alg, int tabIndex);
/// The bitmap of the wave-shape picture for a shape that is not drawn.
inline int WaveShapePictureId(int ws) { return 1266 + ws; }

/// The wave-format text of the PCM page: "4bit ADPCM", "8bit PCM" or empty.
std::string WaveFormatText(int format, bool hasWave);

}  // namespace voiceedit
