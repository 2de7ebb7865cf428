// The pictures of the song window and the mixers, drawn by the program at their sizes.
#pragma once

/// Registers 1201, 1202, 1209, 1210, 2147-2150, 2190 and 2191 once.
void RegisterSongWindowPictures();
