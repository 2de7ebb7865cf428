#include "app/core/InformationRules.h"

#include "platform/text/CodePage.h"
#include "platform/text/Format.h"
#include "velk/ContentsInfo.h"

namespace {

constexpr uint8_t kUtf8 = 0x23;
constexpr uint8_t kUcs2 = 0x20;
constexpr uint8_t kProfile3Code = 0x80;
constexpr uint8_t kPhraseType = 0xF0;
constexpr uint32_t kInformationFitMask = 0x307FF;
constexpr uint32_t kMfiFitMask = 0x30301;
constexpr int kChannelConditions = 5;

bool ShortCodeList(int profile) { return profile == 2 || profile == 4 || profile == 8; }
bool RemembersCode(int profile) { return profile != 3; }

std::vector<std::string> HexEntries() {
  std::vector<std::string> out;
  for (int v = 0; v < 256; ++v) out.push_back(platform::Format("0x%02X", v));
  return out;
}

int RememberedShortIndex(int remembered) {
  if (remembered == kUtf8) return 3;
  return remembered >= 0 && remembered < 3 ? remembered : 0;
}

int TypeIndexOf(uint8_t type) {
  const int nibble = type >> 4;
  return type >= 0x30 ? nibble - 3 : nibble;
}

void StoreTypeGroup(CContentsInfo& info, int typeIndex) {
  const uint8_t group = static_cast<uint8_t>((typeIndex < 0 ? 0 : typeIndex) * 16);
  info.SetContentsType(info.GetGeneration(), group, info.GetTypeIndex());
}

/// The first `limit` bytes, never splitting a double-byte character.
std::string CutText(const std::string& text, size_t limit) {
  if (text.size() <= limit) return text;
  const auto page = platform::CodePage::Ansi();
  return text.substr(0, page->IsValid() ? page->CharBoundary(text, limit) : limit);
}

}  // namespace

InformationLists InformationListsFor(int profile) {
  InformationLists lists;
  switch (profile) {
    case 3:
      lists = {{"0", "1"}, {"Melody"}, {"0x80"}};
      break;
    case 4:
      lists = {{"0x00"}, {"0xF0"}, {}};
      break;
    case 5:
      lists = {HexEntries(), HexEntries(), HexEntries()};
      break;
    case 8:
      lists = {{"0", "1", "2"}, {"Melody"}, {}};
      break;
    default:
      lists = {{"0", "1"}, {"Melody"}, {}};
      break;
  }
  if (ShortCodeList(profile)) {
    lists.codeTypes = {"Shift-JIS", "Latin-1", "EUC-KR", "UTF-8"};
  } else if (profile == 1 || profile == 6 || profile == 7) {
    lists.codeTypes = {"Shift-JIS", "Latin-1", "ISO-2022-KR", "HZ-GB-2312", "Big5", "KOI8-R", "TCVN-5773:1993", "UTF-8"};
  }
  return lists;
}

int CodeTypeIndex(int profile, int value, int remembered) {
  if (profile == 3) return 0;
  if (!ShortCodeList(profile)) return value;
  if (value == kUtf8) return 3;
  if (value >= 0 && value < 3) return value;
  return RememberedShortIndex(remembered);
}

int CodeTypeValue(int profile, int index, int remembered) {
  if (profile == 3) return kProfile3Code;
  if (!ShortCodeList(profile)) return index < 0 ? remembered : index;
  if (index >= 0 && index < 3) return index;
  return index == 3 ? kUtf8 : remembered;
}

InformationOpening OpenInformation(const CContentsInfo& info, int profile, int remembered) {
  InformationOpening open;
  open.classIndex = info.GetContentsClass();
  const uint8_t code = info.GetTextCodeType();
  if (profile == 5) {
    open.typeIndex = info.GetContentsType();
    open.codeIndex = code;
  } else {
    open.typeIndex = TypeIndexOf(info.GetContentsType());
    open.codeIndex = CodeTypeIndex(profile, code, remembered);
  }
  open.remember = RemembersCode(profile);
  open.phraseShown = profile == 4;
  open.channelIndex = info.GetByteD() < kChannelConditions ? info.GetByteD() : -1;
  open.classEnabled = profile == 5;
  open.typeEnabled = profile == 5;
  open.codeEnabled = profile != 3;
  return open;
}

int CommitInformation(CContentsInfo& info, int profile, int classIndex, int typeIndex, int codeIndex,
                      int channelIndex, int remembered) {
  info.SetContentsClass(static_cast<uint8_t>(classIndex < 0 ? 0 : classIndex));
  int remember = -1;
  switch (profile) {
    case 3:
      info.SetCodeType(0x80);
      StoreTypeGroup(info, typeIndex);
      info.SetTextCodeType(kProfile3Code);
      break;
    case 4:
      info.SetCodeType(0);
      info.SetContentsTypeByte(kPhraseType);
      remember = CodeTypeValue(profile, codeIndex, remembered);
      break;
    case 5:
      info.SetCodeType(0);
      info.SetContentsTypeByte(static_cast<uint8_t>(typeIndex < 0 ? 0 : typeIndex));
      remember = CodeTypeValue(profile, codeIndex, remembered);
      break;
    default:
      info.SetCodeType(0);
      StoreTypeGroup(info, typeIndex);
      remember = CodeTypeValue(profile, codeIndex, remembered);
      break;
  }
  if (remember >= 0) info.SetTextCodeType(static_cast<uint8_t>(remember));
  info.SetByteD(static_cast<uint8_t>(channelIndex < 0 ? 255 : channelIndex));
  return remember;
}

InformationTexts TextsOf(const CContentsInfo& info) {
  const CSongTextInfo& song = info.GetSongTextInfo();
  InformationTexts t;
  t.title = song.GetText(1);
  t.composer = song.GetText(2);
  t.lyricist = song.GetText(3);
  t.arranger = song.GetText(4);
  t.artist = song.GetText(5);
  t.vendor = info.GetText(1);
  t.carrier = info.GetText(2);
  t.category = info.GetText(3);
  t.copyright = info.GetText(4);
  t.dateCreated = info.GetText(5);
  t.dateRevised = info.GetText(6);
  t.copyrightManager = info.GetText(7);
  t.management = info.GetText(8);
  t.phrase = info.GetText(9);
  return t;
}

void StoreTexts(CContentsInfo& info, const InformationTexts& t) {
  CSongTextInfo song(info.GetSongTextInfo());
  song.SetText(1, t.title);
  song.SetText(2, t.composer);
  song.SetText(3, t.lyricist);
  song.SetText(4, t.arranger);
  song.SetText(5, t.artist);
  info.SetSongTextInfo(song);
  const std::string* texts[] = {&t.vendor,      &t.carrier,     &t.category,         &t.copyright, &t.dateCreated,
                                &t.dateRevised, &t.copyrightManager, &t.management, &t.phrase};
  for (int k = 1; k <= CContentsInfo::kTextCount; ++k) info.SetText(k, *texts[k - 1]);
  info.FitTexts(kInformationFitMask);
}

namespace {

enum class Breaks { None, CrLf, Lf };

Breaks BreaksOf(const std::string& text) {
  const size_t lf = text.find('\n');
  if (lf == std::string::npos) return Breaks::None;
  return lf > 0 && text[lf - 1] == '\r' ? Breaks::CrLf : Breaks::Lf;
}

}  // namespace

std::string WithRecordLineBreaks(const std::string& typed, const std::string& fieldBefore,
                                 const InformationTexts& recordBefore) {
  Breaks form = BreaksOf(fieldBefore);
  const std::string* fields[] = {&recordBefore.vendor,     &recordBefore.carrier,   &recordBefore.category,
                                 &recordBefore.title,      &recordBefore.artist,    &recordBefore.lyricist,
                                 &recordBefore.composer,   &recordBefore.arranger,  &recordBefore.copyright,
                                 &recordBefore.copyrightManager, &recordBefore.management,
                                 &recordBefore.dateCreated, &recordBefore.dateRevised, &recordBefore.phrase};
  for (const std::string* field : fields) {
    if (form != Breaks::None) break;
    form = BreaksOf(*field);
  }
  std::string out;
  out.reserve(typed.size() + typed.size() / 8);
  for (size_t i = 0; i < typed.size(); ++i) {
    const char c = typed[i];
    if (c == '\r' && i + 1 < typed.size() && typed[i + 1] == '\n') continue;  // a CR LF becomes one break
    if (c == '\n' && form != Breaks::Lf) out += '\r';
    out += c;
  }
  return out;
}

std::string MfiVersionText(int profile, int makerId) {
  return (profile == 1 || profile == 7) && makerId == 4 ? "ver 3.1" : "ver 3.0";
}

bool MfiHasCodeType(int profile, int makerId) { return (profile == 1 || profile == 7) && makerId == 2; }

int MfiCodeIndex(int value, int remembered) {
  if (value == 0) return 0;
  if (value == kUcs2) return 1;
  if (value == kUtf8) return 2;
  if (remembered == kUcs2) return 1;
  return remembered == kUtf8 ? 2 : 0;
}

int MfiCodeValue(int index, int remembered) {
  static constexpr int kValues[] = {0, kUcs2, kUtf8};
  return index >= 0 && index < 3 ? kValues[index] : remembered;
}

MfiFields OpenMfi(const CContentsInfo& info, int profile, int makerId, int remembered) {
  MfiFields f;
  f.distribution = info.GetOptionByte1() >> 2 & 1;
  if (MfiHasCodeType(profile, makerId)) {
    f.codeIndex = MfiCodeIndex(info.GetTextCodeType(), remembered);
    f.remember = info.GetTextCodeType();
  }
  f.title = CutText(info.GetSongTextInfo().GetText(1), kMfiTitleLimit);
  f.dateCreated = info.GetText(5);
  f.copyright = info.GetText(4);
  f.copyrightManager = info.GetText(7);
  f.management = info.GetText(8);
  return f;
}

int CommitMfi(CContentsInfo& info, const MfiFields& f, int profile, int makerId, int remembered) {
  const uint8_t status = info.GetOptionByte1();
  info.SetOptionByte1(static_cast<uint8_t>(f.distribution ? status | 0x04 : status & ~0x04));
  int remember = -1;
  if (MfiHasCodeType(profile, makerId)) {
    remember = MfiCodeValue(f.codeIndex, remembered);
    info.SetTextCodeType(static_cast<uint8_t>(remember));
  } else {
    info.SetTextCodeType(0);
  }
  std::string title = f.title;
  if (title.size() > kMfiTitleLimit) CContentsInfo::ConvertText(kTextCodeShiftJis, title, kMfiTitleLimit);
  CSongTextInfo song(info.GetSongTextInfo());
  song.SetText(1, title);
  info.SetSongTextInfo(song);
  info.SetText(5, f.dateCreated);
  info.SetText(4, f.copyright);
  info.SetText(7, f.copyrightManager);
  info.SetText(8, f.management);
  info.FitTexts(kMfiFitMask);
  return remember;
}
