// The table of pictures that a screenshot run renders: one row per window the program has.
#pragma once

#include <QString>
#include <cstdio>
#include <functional>
#include <vector>

class QWidget;

struct ScreenshotRow {
  const char* file;   // file name under the screenshot folder
  const char* opens;  // the command id or function that opens the window
  bool modal;         // modal: grabbed from the active modal widget while open, then closed
  /// Opens the window: a modeless one is returned (the run deletes it); a modal one runs its
  /// loop and returns null.
  std::function<QWidget*()> open;
  /// The window belongs to the program (the main window): the run neither deletes nor hides it.
  bool borrowed = false;
};

/// Every row; each window issue adds the rows of its windows.
const std::vector<ScreenshotRow>& ScreenshotRows();

/// The file of a run that lists, one line each, every text cut off by its widget and every
/// window larger than 1280 x 720; empty when everything fits.
inline constexpr const char* kFitReportFile = "fit.txt";

/// Renders every row into `folder` (made when missing) with an "index.txt" listing the files and
/// the fit report; 0 when every picture was written, else 1 (each failure said on `err`).
int RenderScreenshots(const QString& folder, std::FILE* err = stderr);
