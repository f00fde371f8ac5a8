// The shell around the main window: tray icon and its menu, the About box, the help file.
#pragma once

#include "core/AppState.h"

// The tray sends this message number; the class asks for no double clicks, so nothing else does.
enum { WM_TRAYNOTIFY = 0x203 };

// Builds TrayMenu and adds the tray icon for window (during its creation).
void SetUpTray(HWND window);

// Adds the tray icon again (the taskbar was restarted). 1 when the shell took it.
int AddTrayIcon(void);

// 1 while the tray icon is in the notification area, so that a hidden window can come back.
int TrayIconShown(void);

// 1 while the tray menu's Auto Split item carries its check mark.
int AutoSplitChecked(void);

// A mouse message over the tray icon.
void HandleTrayNotify(LPARAM mouseMessage);

void RemoveTrayIcon(void);

// The modal About box.
void ShowAboutBox(void);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the help from the program's folder, or else the start-up directory: Morvane.hlp in the
// help viewer before Vista, Morvane.html in the default browser from Vista on; or says that the
// file is missing and where it was looked for.
void ShowHelp(void);
