// The voice dialogs' pictures drawn by the program: the FM page's algorithms and wave shapes,
// the 2-operator dialog's note lengths.
#pragma once

namespace voiceedit {

inline constexpr int kAlgPictureWidth = 96;
inline constexpr int kAlgPictureHeight = 44;

/// Registers the pictures once per process: for each algorithm a picture per operator tab
/// (the tab's operator filled, the operators that carry feedback with a loop), and one
/// picture per wave shape.
void RegisterVoiceEditPictures();

/// The pictures of the 2-operator dialog's Length group: one note per length 0..3, shortest
/// first (bitmaps 1218, 1220, 1221, 1222), and the group's own picture 1219.
inline constexpr int kNoteLengthPictures[4] = {1218, 1220, 1221, 1222};
inline constexpr int kLengthGroupPicture = 1219;
inline constexpr int kNoteLengthPictureWidth = 20;
inline constexpr int kNoteLengthPictureHeight = 24;
void RegisterNoteLengthPictures();

}  // namespace voiceedit
