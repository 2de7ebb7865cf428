// The output engine's interface lives with the engine; this name stays for the shell.
#pragma once

#include "device/OutputEngine.h"
