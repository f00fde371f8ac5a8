// Start-up and the message loop.
#pragma once

#include "core/AppState.h"

// Registers the class, creates the window and its controls, loads the settings and shows it.
// Failures are reported and post the quit request; start-up always runs to its end.
void StartProgram(HINSTANCE instance);

// Runs until the quit request and returns its code, the process exit code.
int RunMessageLoop(void);
