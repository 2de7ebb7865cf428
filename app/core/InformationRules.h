// The contents-information dialogs without a window: their lists by output profile, the code
// type mappings, what they select on opening and what OK stores into the record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CContentsInfo;

/// The three lists of the Information dialog.
struct InformationLists {
  std::vector<std::string> classes;
  std::vector<std::string> types;
  std::vector<std::string> codeTypes;
};
InformationLists InformationListsFor(int profile);

/// Profiles 2, 4 and 8: the list index of a code type value; an unknown value takes the entry
/// of the remembered one. Other profiles: the value is the index (profile 3: always 0).
int CodeTypeIndex(int profile, int value, int remembered);
/// The value of a code-type entry; an index outside the list gives the remembered value.
int CodeTypeValue(int profile, int index, int remembered);

/// What the Information dialog shows on opening.
struct InformationOpening {
  int classIndex = -1;
  int typeIndex = -1;
  int codeIndex = -1;
  int channelIndex = -1;  // -1: the hidden combo has no selection
  bool classEnabled = false;
  bool typeEnabled = false;
  bool codeEnabled = false;
  bool phraseShown = false;
  bool remember = false;  // the remembered code type becomes the record's
};
InformationOpening OpenInformation(const CContentsInfo& info, int profile, int remembered);

/// OK's bytes: class, flag, type, code type and channel condition (255 for -1). Returns the
/// code type to remember, or -1 when the profile remembers none.
int CommitInformation(CContentsInfo& info, int profile, int classIndex, int typeIndex, int codeIndex,
                      int channelIndex, int remembered);

/// The sixteen texts of the Information dialog, in the record's bytes.
struct InformationTexts {
  std::string vendor, carrier, category, title, artist, lyricist, composer, arranger, copyright,
      copyrightManager, management, dateCreated, dateRevised, phrase;
};
InformationTexts TextsOf(const CContentsInfo& info);
/// Stores the texts (each cut to 255 bytes) and converts every field to the record's code type.
void StoreTexts(CContentsInfo& info, const InformationTexts& texts);
/// A text typed in a multi-line edit (its lines ended by LF) with the line breaks the record
/// uses: the field's own form (CR LF or LF) when it held a break, else the form of the first
/// field of the record that holds one, else CR LF, the break a multi-line edit types.
std::string WithRecordLineBreaks(const std::string& typed, const std::string& fieldBefore,
                                 const InformationTexts& recordBefore);

// --- The MFi dialog -----------------------------------------------------------------------------

inline constexpr size_t kMfiTitleLimit = 50;
inline constexpr size_t kMfiDateLimit = 8;

/// "ver 3.1" for profiles 1 and 7 with maker id 4, else "ver 3.0".
std::string MfiVersionText(int profile, int makerId);
/// The code type list is shown only for profiles 1 and 7 with maker id 2.
bool MfiHasCodeType(int profile, int makerId);
/// 0 0, 0x20 1, 0x23 2; another value the entry of the remembered one (0x20 1, 0x23 2, else 0).
int MfiCodeIndex(int value, int remembered);
/// The entries' values 0, 0x20, 0x23; another index gives the remembered value.
int MfiCodeValue(int index, int remembered);

/// What the MFi dialog edits.
struct MfiFields {
  int distribution = 0;  // 0 allow, 1 prohibit
  int codeIndex = -1;
  std::string title, dateCreated, copyright, copyrightManager, management;
  int remember = -1;  // on opening: the code type to remember, or -1
};
/// The fields on opening: the title cut to its first 50 bytes.
MfiFields OpenMfi(const CContentsInfo& info, int profile, int makerId, int remembered);
/// OK: copy-status bit 2, code type, texts. Returns the code type to remember, or -1.
int CommitMfi(CContentsInfo& info, const MfiFields& fields, int profile, int makerId, int remembered);
