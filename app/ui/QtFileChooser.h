// The file chooser of the windowed program: each request runs its Qt file dialog modally.
#pragma once

#include <memory>

#include "app/core/FileChooser.h"

class QWidget;
class CFileDialogBase;

class QtFileChooser final : public IFileChooser {
 public:
  FileAnswer Choose(const FileRequest& request) override;

  /// The dialog of a request, not yet run (null for the folder browser); `owner` is the
  /// request's owner window when it names one, else `fallback`.
  static std::unique_ptr<CFileDialogBase> MakeDialog(const FileRequest& request, QWidget* fallback = nullptr);
  /// The answer of a dialog after its run: the path and the values of its panel.
  static FileAnswer AnswerOf(const CFileDialogBase& dialog, const FileRequest& request);
  /// The folder browser: a non-native directory dialog starting at the request's folder.
  static FileAnswer ChooseFolder(const FileRequest& request);
  /// Runs the dialog of a kind as a command would set it up, in the temporary folder (for
  /// the screenshots).
  static void RunSample(FileDialogKind kind);
};
