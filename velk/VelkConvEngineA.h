// The conversion engine of QX cue handling: the whole song, voices from the score's own
// voice entries or the voice tables.
#pragma once

#include "velk/VelkConvEngine.h"

class CVelkConvEngineA final : public CVelkConvEngine {
 public:
  int Run(CStreamIO& io) override;
};
