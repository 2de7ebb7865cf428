// The song document's file lifecycle: path, loading by file ending, safe saving and the
// output images.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <new>
#include <system_error>

#include "platform/host/HostServices.h"
#include "platform/io/FileIo.h"
#include "song/MemStream.h"
#include "song/document/DocArchive.h"
#include "song/document/DocBuilders.h"
#include "song/document/DocReaders.h"
#include "song/document/KZ1Doc.h"
#include "song/document/SongFileBuilders.h"

namespace {

int ChipMode() { return platform::settings().GetChipMode(); }
int OutputProfile() { return platform::settings().GetOutputProfile(); }

// The last four characters in lower case (the loader and the numbered save compare them).
std::string Ending(const std::string& path) {
  std::string tail = path.size() >= 4 ? path.substr(path.size() - 4) : path;
  std::transform(tail.begin(), tail.end(), tail.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return tail;
}

// The bytes of an image from its start to its position.
const uint8_t* ImageBytes(const CMemStream& image) { return image.GetData(); }
size_t ImageLength(const CMemStream& image) {
  return image.GetPosition() > 0 ? static_cast<size_t>(image.GetPosition()) : 0;
}

int SaveFailedMessage(int chip, int profile) {
  if (chip != 3 && chip != 5) return 0;
  return (profile == 1 || profile == 6 || profile == 7) ? 7030 : 7031;
}

}  // namespace

void CKZ1Doc::SetPathName(const std::string& path) {
  if (path.empty()) return;
  // A song never saved has a name and no folder.
  if (path == "untitled") {
    m_path = path;
    return;
  }
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(path, ec);
  if (ec) return;
  m_path = full.lexically_normal().string();
}

void CKZ1Doc::Serialize(CDocArchive& archive) {
  if (archive.IsLoading()) {
    LoadFrom(archive);
    return;
  }
  if (!m_images[0]) BuildOutputImage(1, std::string(), 1, 0, 0);
  if (m_images[0]) archive.Write(ImageBytes(*m_images[0]), ImageLength(*m_images[0]));
  m_images[0].reset();
  m_changeFlags = kFlagUnsent;
}

void CKZ1Doc::LoadFrom(CDocArchive& archive) {
  for (int k = 0; k < 16; ++k) {
    m_setup.SetBankMsb(k, 255);
    m_setup.SetBankLsb(k, 255);
    m_setup.SetProgram(k, 255);
    m_setup.SetVolume(k, 255);
  }
  m_voiceAssign.Reset(0);
  BuildStreamPcmSlots();

  ReadByEnding(archive.GetFileName());

  m_resolution = 480;
  const int chip = ChipMode();
  if (chip == 1 || chip == 2) m_timeBase = m_pendingTimeBase;
  m_refreshSuppress = 0;
  // Set again so that each cue point is validated against the loaded song and re-inserted.
  for (int kind = 1; kind <= 8; ++kind) {
    const uint32_t tick = m_cuePoints[kind];
    if (tick == kNoCue) continue;
    SetCuePoint(kind, kNoCue, 1);
    SetCuePoint(kind, tick, 1);
  }
  RefreshChannelVoices(0);
  m_changeFlags = kFlagUnsent;
}

int CKZ1Doc::ReadByEnding(const std::string& path) {
  const std::string ending = Ending(path);
  const bool report = m_reportLoadErrors != 0;
  // A missing reader fails as one that returned 0.
  IDocReaders* readers = m_readers;
  if (ending == ".mmf" || ending == ".spf") {
    if (!readers || !readers->ReadVelkFile(*this, path)) {
      if (report) platform::ShowMessage(7032);
      throw -1;
    }
    RefreshChannelVoices(0);
    m_loadedFromVelk = 1;
    m_pendingTimeBase = m_timeBase;
    return 1;
  }
  if (ending == ".kz1") {
    if (!readers || !readers->ReadKZ1File(*this, path)) {
      if (report) platform::ShowMessage(7034);
      throw -1;
    }
    m_pendingTimeBase = 4;
    m_timeBase = 480;
    return 1;
  }
  if (ending == ".mid") {
    if (!readers || !readers->ReadSmfFile(*this, path)) throw 0;
    m_pendingTimeBase = 24;
    CheckSmfTempo(m_tempo);
    m_pendingTimeBase = 4;
    return 1;
  }
  if (ending == ".k3n" || ending == ".k5n") {
    if (!readers || !readers->ReadNativeFile(*this, path)) {
      if (report) platform::ShowMessage(7092);
      throw 0;
    }
    return 1;
  }
  // ".mld" and every other ending.
  throw 0;
}

int CKZ1Doc::SaveDocument(const std::string& path) {
  auto wait = platform::ui().ShowWaitCursor();
  const int chip = ChipMode();
  const int profile = OutputProfile();
  const bool numbered = (chip == 3 || chip == 5) && profile == 4 &&
                        !(m_loadedFromVelk && Ending(m_path) == ".mmf");
  if (numbered) return SaveNumberedImages(path);

  // The image is built before the file is touched, so a failed build leaves the old file.
  if (!m_images[0] && !BuildOutputImage(1, std::string(), 1, 0, 0)) return 0;
  if (m_openFlag) {
    DeleteOutputImages();
    return 0;
  }
  CDocArchive archive = CDocArchive::ForStoring(path);
  // Storing marks the song saved; a write that then fails leaves it as unsaved as it was.
  const uint32_t changeFlags = m_changeFlags;
  Serialize(archive);
  platform::FileError error;
  if (!platform::WriteFileAtomic(path, archive.GetBytes(), &error)) {
    m_changeFlags = changeFlags;
    if (int id = SaveFailedMessage(chip, profile)) platform::ShowMessage(id);
    platform::NoteFileFailure(error);
    return 0;
  }
  if ((chip == 3 || chip == 5) && profile == 4) platform::messages().AddAccessLog(7504, path, {});
  SetPathName(path);
  return 1;
}

int CKZ1Doc::SaveNumberedImages(const std::string& path) {
  // A name too short to split into stem and ending cannot be numbered: nothing is written.
  if (path.size() < 5) return 0;
  bool anyData = false;
  for (const auto& image : m_images) anyData = anyData || (image && ImageLength(*image) > 0);
  if (!anyData && !BuildOutputImage(1, std::string(), 1, 0, 0)) return 0;
  if (m_openFlag) {
    DeleteOutputImages();
    return 0;
  }
  const std::string stem = path.substr(0, path.size() - 4);
  const std::string tail = path.substr(path.size() - 4);
  for (int n = 0; n < kImageCount; ++n) {
    if (!m_images[n] || ImageLength(*m_images[n]) == 0) continue;
    const std::string name = n == 0 ? path : stem + "_" + std::to_string(n + 1) + tail;
    platform::messages().AddAccessLog(7504, name, {});
    platform::FileError error;
    if (!platform::WriteFileAtomic(name, ImageBytes(*m_images[n]), ImageLength(*m_images[n]), &error)) {
      if (int id = SaveFailedMessage(ChipMode(), OutputProfile())) platform::ShowMessage(id);
      platform::NoteFileFailure(error);
      return 0;
    }
    m_images[n].reset();
    m_changeFlags = kFlagUnsent;
  }
  SetPathName(path);
  return 1;
}

int CKZ1Doc::BuildOutputImage(int withHeader, const std::string& name, int timeBaseOption,
                              int compression, int editStatus) {
  // A failed build leaves no image, so no later save can write a half-built one.
  int result = 0;
  try {
    result = BuildOutputImages(withHeader, name, timeBaseOption, compression, editStatus);
  } catch (...) {
    DeleteOutputImages();
    throw;
  }
  if (!result) DeleteOutputImages();
  return result;
}

int CKZ1Doc::BuildOutputImages(int withHeader, const std::string& name, int timeBaseOption,
                               int compression, int editStatus) {
  DeleteOutputImages();
  for (auto& image : m_images) image.reset(new (std::nothrow) CMemStream());
  RefreshChannelVoices(0);
  SongOutputRecord setup;
  BuildOutputSetup(setup, 1);
  switch (OutputProfile()) {
    case 1: case 6: case 7:
      if (!m_images[0]) throw -108;
      return ExportViaConverter(*m_images[0], withHeader, name, setup, timeBaseOption, compression);
    case 2: case 3: case 5: case 8:
      if (!m_images[0]) throw -108;
      return ExportVelk(*m_images[0], withHeader, name, setup, timeBaseOption, compression,
                        editStatus);
    case 4: {
      CMemStream* images[kImageCount];
      for (int k = 0; k < kImageCount; ++k) {
        if (!m_images[k]) throw -108;
        images[k] = m_images[k].get();
      }
      return ExportPhrase(images, withHeader, name, setup, timeBaseOption, compression);
    }
    default:
      return 0;
  }
}

CMemStream* CKZ1Doc::GetOutputImage(int k) const {
  return (k >= 0 && k < kImageCount) ? m_images[k].get() : nullptr;
}

void CKZ1Doc::DeleteOutputImages() {
  for (auto& image : m_images) image.reset();
}

int CKZ1Doc::CalcImageSize() {
  const int chip = ChipMode();
  if (chip != 1 && chip != 2) return 0;
  auto wait = platform::ui().ShowWaitCursor();
  m_imageReady = 0;
  try {
    BuildOutputImage(1, std::string(), 1, 0, 0);
  } catch (...) {
    m_imageReady = 1;
    DeleteOutputImages();
    throw;
  }
  m_imageReady = 1;
  const int size = m_images[0] ? m_images[0]->GetSize() : 0;
  DeleteOutputImages();
  return size;
}

int CKZ1Doc::CalcConvertedSize(int option) {
  auto wait = platform::ui().ShowWaitCursor();
  m_imageReady = 0;
  SongOutputRecord setup;
  BuildOutputSetup(setup, 1);
  CMemStream stream;
  int size = 0;
  try {
    if (platform::kz1Export().ConvertToKZ1(stream, option, setup) == 1) size = stream.GetSize();
  } catch (...) {
    m_imageReady = 1;
    throw;
  }
  m_imageReady = 1;
  return size;
}

int CKZ1Doc::ExportVelk(CMemStream& image, int hasPath, const std::string& path,
                        const SongOutputRecord& setup, int timeBaseOption, int compression,
                        int editStatus) {
  IDocBuilders* builders = m_builders ? m_builders : &SongFileBuilders();
  return builders->ExportVelk(*this, image, hasPath, path, setup, timeBaseOption, compression,
                                editStatus);
}

int CKZ1Doc::ExportPhrase(CMemStream* images[kImageCount], int hasPath, const std::string& path,
                          const SongOutputRecord& setup, int timeBaseOption, int compression) {
  IDocBuilders* builders = m_builders ? m_builders : &SongFileBuilders();
  return builders->ExportPhrase(*this, images, hasPath, path, setup, timeBaseOption,
                                  compression);
}

int CKZ1Doc::ExportViaConverter(CMemStream& image, int hasPath, const std::string& path,
                                const SongOutputRecord& setup, int timeBaseOption,
                                int compression) {
  IDocBuilders* builders = m_builders ? m_builders : &SongFileBuilders();
  return builders->ExportViaConverter(*this, image, hasPath, path, setup, timeBaseOption,
                                        compression);
}
