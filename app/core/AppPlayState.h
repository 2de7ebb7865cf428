// The process-wide play values live with the output engine; this name stays for the shell.
#pragma once

#include "device/AppPlayState.h"
