// The voice windows as the screenshot run opens them.
#pragma once

class QWidget;

/// The assignment map under an output profile's layout, over the open song.
QWidget* OpenVoiceAssignMapForScreenshot(int outputProfile);
QWidget* OpenDirectPlayForScreenshot();
QWidget* OpenStreamPcmMapForScreenshot();
/// The 2-operator dialog on the "Extended" bank's first voice, run modally.
QWidget* RunVoiceEdit2OpForScreenshot();
/// The voice list of a chip mode (1, 2 or 3) over the voice library.
QWidget* OpenVoiceListForScreenshot(int chipMode);
/// Runs the generation-2 voice dialog modally on a 4-operator library voice.
QWidget* RunGen2VoiceEditForScreenshot();
