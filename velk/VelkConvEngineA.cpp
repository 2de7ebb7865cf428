// The conversion engine of QX cue handling.
#include "velk/VelkConvEngineA.h"

int CVelkConvEngineA::Run(CStreamIO& io) {
  Options options;
  options.checkHeader = true;
  return Convert(io, options);
}
