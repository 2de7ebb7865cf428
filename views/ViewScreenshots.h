// The song views as the screenshot run opens them, on the song the program holds.
#pragma once

class QWidget;

/// The event list on its "All" tab.
QWidget* OpenEventListForScreenshot();
QWidget* OpenPianoRollForScreenshot();
/// The text score after "R".
QWidget* OpenTextScoreForScreenshot();
/// Modal: run until the screenshot run closes them; null.
QWidget* RunVoiceChangeForScreenshot();
QWidget* RunVoiceIndexForScreenshot();
