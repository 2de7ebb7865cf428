#include "app/core/BarLayout.h"

#include <charconv>
#include <sstream>

namespace {

bool ReadInt(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

bool ParsePlace(const std::string& item, BarPlace& place) {
  std::vector<std::string> fields;
  std::istringstream in(item);
  for (std::string field; std::getline(in, field, ':');) fields.push_back(field);
  if (fields.size() != 4 || fields[1].size() != 1) return false;
  const char side = fields[1][0];
  if (side != BarPlace::kTop && side != BarPlace::kBottom && side != BarPlace::kLeft && side != BarPlace::kRight)
    return false;
  int visible = 0;
  if (!ReadInt(fields[0], place.id) || !ReadInt(fields[2], place.line) || !ReadInt(fields[3], visible)) return false;
  if (place.line < 0 || place.line > 64 || (visible != 0 && visible != 1)) return false;
  place.side = side;
  place.visible = visible == 1;
  return true;
}

}  // namespace

std::string FormatBarLayout(const std::vector<BarPlace>& places) {
  std::string out;
  for (const BarPlace& p : places) {
    if (!out.empty()) out += ';';
    out += std::to_string(p.id) + ':' + p.side + ':' + std::to_string(p.line) + ':' + (p.visible ? '1' : '0');
  }
  return out;
}

std::optional<std::vector<BarPlace>> ParseBarLayout(const std::string& text) {
  if (text.empty() || text.size() > 4096) return std::nullopt;
  std::vector<BarPlace> places;
  std::istringstream in(text);
  for (std::string item; std::getline(in, item, ';');) {
    BarPlace place;
    if (!ParsePlace(item, place)) return std::nullopt;
    places.push_back(place);
  }
  return places;
}
