#include "device/AppPlayState.h"

AppPlayState& appPlayState() {
  static AppPlayState state;
  return state;
}
