#include "app/core/AppPlayState.h"

AppPlayState& appPlayState() {
  static AppPlayState state;
  return state;
}
