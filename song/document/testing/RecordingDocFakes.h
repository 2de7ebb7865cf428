// Recording stand-ins for the document's reader set and builder set, for tests.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "song/MemStream.h"
#include "song/document/DocBuilders.h"
#include "song/document/DocReaders.h"

/// Records each read as (reader, path) and answers through `read` (1 when not set).
class RecordingDocReaders : public IDocReaders {
 public:
  using Read = std::function<int(CKZ1Doc&, const std::string& reader, const std::string& path)>;

  int ReadVelkFile(CKZ1Doc& doc, const std::string& path) override { return Call(doc, "velk", path); }
  int ReadKZ1File(CKZ1Doc& doc, const std::string& path) override { return Call(doc, "kz1", path); }
  int ReadSmfFile(CKZ1Doc& doc, const std::string& path) override { return Call(doc, "smf", path); }
  int ReadNativeFile(CKZ1Doc& doc, const std::string& path) override {
    return Call(doc, "native", path);
  }

  Read read;
  std::vector<std::pair<std::string, std::string>> calls;

 private:
  int Call(CKZ1Doc& doc, const char* reader, const std::string& path) {
    calls.emplace_back(reader, path);
    return read ? read(doc, reader, path) : 1;
  }
};

/// Records each export by entry name; writes `bytes` into every image it is given (the
/// phrase entry writes `bytes` plus the part number into each part) and answers `result`,
/// or throws `throwCode` when it is set.
class RecordingDocBuilders : public IDocBuilders {
 public:
  int ExportVelk(CKZ1Doc&, CMemStream& image, int, const std::string&, const SongOutputRecord&,
                 int timeBaseOption, int compression, int editStatus) override {
    calls.push_back("velk");
    options.push_back({timeBaseOption, compression, editStatus});
    return Build(image, -1);
  }
  int ExportPhrase(CKZ1Doc&, CMemStream* images[4], int, const std::string&,
                   const SongOutputRecord&, int timeBaseOption, int compression) override {
    calls.push_back("phrase");
    options.push_back({timeBaseOption, compression, 0});
    int result = result_;
    for (int k = 0; k < phraseParts && k < 4; ++k) result = Build(*images[k], k + 1);
    return result;
  }
  int ExportViaConverter(CKZ1Doc&, CMemStream& image, int, const std::string&,
                         const SongOutputRecord&, int timeBaseOption, int compression) override {
    calls.push_back("converter");
    options.push_back({timeBaseOption, compression, 0});
    return Build(image, -1);
  }

  void SetResult(int r) { result_ = r; }

  std::vector<uint8_t> bytes = {'M', 'M', 'M', 'D'};
  int phraseParts = 4;
  bool throws = false;
  int throwCode = -1;
  std::vector<std::string> calls;
  std::vector<std::vector<int>> options;

 private:
  int Build(CMemStream& image, int part) {
    if (throws) throw throwCode;
    image.Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
    if (part > 0) image.WriteByte(static_cast<uint8_t>(part));
    return result_;
  }
  int result_ = 1;
};
