// The voice windows as the screenshot run opens them.
#pragma once

class QWidget;

/// The assignment map under an output profile's layout, over the open song.
QWidget* OpenVoiceAssignMapForScreenshot(int outputProfile);
QWidget* OpenDirectPlayForScreenshot();
QWidget* OpenStreamPcmMapForScreenshot();
/// Runs the generation-2 voice dialog modally on a 4-operator library voice.
QWidget* RunGen2VoiceEditForScreenshot();
