// Voices between the song and the voice library: Import from Voice List copies the library's
// voices over the song's user voices, Export to Voice List stores the song's user voices in the
// library. No windows: the question before and the refresh after belong to the main frame.
#pragma once

class CKZ1Doc;
class CVoiceItem;
class CVoiceLibrary;

class VoiceListTransfer {
 public:
  static constexpr int kMsgFourOperatorsInGmMode = 7069;
  static constexpr int kMsgMfiWavesExceeded = 7057;
  static constexpr int kMsgVelkWavesExceeded = 7068;
  static constexpr int kMsgLibraryWavesExceeded = 7070;
  static constexpr int kMsgRamOverflow = 7029;

  /// `modeSetting` is "Setting"/"KZ-3_ModeSetting".
  VoiceListTransfer(CKZ1Doc& doc, CVoiceLibrary& library, int outputProfile, int modeSetting)
      : m_doc(doc), m_library(library), m_outputProfile(outputProfile), m_modeSetting(modeSetting) {}

  /// The song's user voices from the library, with the user waves their operators play. A
  /// 4-operator voice in GM mode is skipped (7069 once); a wave-id shortage stops the run
  /// (7057, 7068); too much RAM afterwards shows 7029 and keeps the voices. The voices stored.
  int ImportFromLibrary();
  /// The song's user voices of banks 124 and 125 into the library, with their user waves. A
  /// wave-id shortage in the library's bank stops the run (7070). The voices stored.
  int ExportToLibrary();

 private:
  /// False (the voice is skipped) for a 4-operator FM voice that GM mode cannot take.
  bool AcceptsOperators(const CVoiceItem& voice, bool& warned) const;
  /// The song's user-wave blocks that the voice's operators play, from the library.
  void TakeLibraryWaves(const CVoiceItem& voice);
  /// The library's user-wave blocks that the voice's operators play, from the song.
  void GiveSongWaves(const CVoiceItem& voice);
  bool IsMfiProfile() const { return m_outputProfile == 1 || m_outputProfile == 7; }

  CKZ1Doc& m_doc;
  CVoiceLibrary& m_library;
  int m_outputProfile;
  int m_modeSetting;
};
