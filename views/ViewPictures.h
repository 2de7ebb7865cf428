// The pictures of the song views: the region marker, the piano roll's and text score's buttons.
#pragma once

/// Registers them with the picture store once.
void RegisterViewPictures();
