#include "voice/VoiceEditRules.h"

#include <cmath>
#include <cstdio>
#include <numbers>

namespace voiceedit {

namespace {

std::string LeftLevel(int p) {
  if (p >= 31) return "-(Infinity)";
  const double degrees = 3.0 * (p <= 15 ? p : p - 1);
  const double level = 20.0 * std::log10(std::cos(degrees * std::numbers::pi / 180.0));
  if (level == 0.0) return "0.000";
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", level);
  return text;
}

}  // namespace

std::string PanpotLevelText(int panpot, bool left) {
  if (panpot < 0 || panpot > 31) return {};
  // The right side is the left side mirrored, so both ends are exact.
  return left ? LeftLevel(panpot) : LeftLevel(31 - panpot);
}

int WsFromSliderPosition(int position, bool userWaves) {
  if (userWaves || position <= 14) return position;
  if (position <= 21) return position + 1;
  return position + 2;
}

int SliderPositionFromWs(int ws, bool userWaves) {
  if (userWaves) return ws;
  if (ws == 15 || ws == 23 || ws == 31) return 0;
  if (ws >= 16 && ws <= 22) return ws - 1;
  if (ws >= 24 && ws <= 30) return ws - 2;
  return ws;
}

std::optional<std::pair<int, int>> AlgRange(int profile, int editSource, int modeSetting) {
  if (IsPhraseProfile(profile)) {
    if (editSource == 1 || editSource == 2) return std::make_pair(0, 7);
    return std::nullopt;
  }
  if (editSource == 2 && (modeSetting == 1 || modeSetting == 2)) return std::make_pair(0, 1);
  return std::make_pair(0, 7);
}

bool OperatorCarriesFeedback(int alg, int op) {
  if (op == 1) return true;
  return op == 3 && (alg == 2 || alg == 5);
}

std::string UserWaveName(const std::string& title) {
  if (title.size() < 17) return title;
  return title.substr(0, 11) + "~" + title.substr(title.size() - 4);
}

std::string FileTitle(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

std::string GateTimeText(int tenths) {
  char text[24];
  std::snprintf(text, sizeof text, "%d.%d", tenths / 10, tenths % 10);
  return text;
}

int ClampEditorVolume(int value) { return value < 0 ? 0 : (value > 127 ? 127 : value); }
int ClampEditorGate(int value) { return value < 0 ? 0 : (value > 100 ? 100 : value); }

int AlgPictureId(int alg, int tabIndex) {
  static constexpr int kBase[8] = {1232, 1234, 1236, 1240, 1244, 1248, 1252, 1256};
  return kBase[alg & 7] + tabIndex;
}

std::string WaveFormatText(int format, bool hasWave) {
  if (!hasWave) return {};
  if (format == 0) return "4bit ADPCM";
  if (format == 2 || format == 3) return "8bit PCM";
  return {};
}

}  // namespace voiceedit
