// The main window procedure, its command table and the one way the program ends.
#pragma once

#include "core/AppState.h"

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Takes the file named on the command line as a drop (once the window is shown); says what else
// the command line held. Nothing happens without an argument.
void OpenCommandLineFile(void);

// Saves the settings unless skipSave, removes the tray icon, destroys the window, posts the quit.
void ExitProgram(int16_t skipSave);
