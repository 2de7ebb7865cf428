// Texts of the user interface from the string table, as Qt strings.
#pragma once

#include <QString>
#include <string_view>

#include "platform/strings/StringTable.h"

namespace ui {

/// The text of a named entry ("fw.rangeInt"); the key itself when the table has none, so a
/// missing text shows up rather than leaving an empty label.
inline QString T(std::string_view key) {
  const auto text = platform::strings().Find(key);
  return text ? QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size()))
              : QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

/// The text of a numbered entry, empty when there is none.
inline QString T(int id) {
  const auto text = platform::strings().Find(id);
  return text ? QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size())) : QString();
}

inline QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string S(const QString& s) { return s.toStdString(); }

}  // namespace ui
