// The FM page's algorithm and wave-shape pictures, drawn by the program.
#pragma once

namespace voiceedit {

inline constexpr int kAlgPictureWidth = 96;
inline constexpr int kAlgPictureHeight = 44;

/// Registers the pictures once per process: for each algorithm a picture per operator tab
/// (the tab's operator filled, the operators that carry feedback with a loop), and one
/// picture per wave shape.
void RegisterVoiceEditPictures();

}  // namespace voiceedit
