// The main window procedure, its command table and the one way the program ends.
#pragma once

#include "core/AppState.h"

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Saves the settings unless skipSave, removes the tray icon, destroys the window, posts the quit.
void ExitProgram(int16_t skipSave);
