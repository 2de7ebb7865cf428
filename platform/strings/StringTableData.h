// Layout of the string tables that the build compiles from res/strings/*.tsv.
#pragma once

#include <cstddef>

namespace platform::strings_data {

struct IdEntry {
  int id;
  const char* text;
};

struct KeyEntry {
  const char* key;
  const char* text;
};

/// One language; ids ascending, keys in byte order.
struct LanguageData {
  const char* code;
  const IdEntry* ids;
  size_t idCount;
  const KeyEntry* keys;
  size_t keyCount;
};

extern const LanguageData kLanguages[];
extern const size_t kLanguageCount;

}  // namespace platform::strings_data
