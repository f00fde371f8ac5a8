// The main window procedure, its command table and the one way the program ends.
#pragma once

#include "AppState.h"

// The tray sends this message number; the class asks for no double clicks, so nothing else does.
enum { WM_TRAYNOTIFY = 0x203 };

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Saves the settings unless skipSave, removes the tray icon, destroys the window, posts the quit.
void ExitProgram(int16_t skipSave);
