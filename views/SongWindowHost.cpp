#include "views/SongWindowHost.h"

SongWindowOpeners& SongWindowOpeners::Instance() {
  static SongWindowOpeners openers;
  return openers;
}
