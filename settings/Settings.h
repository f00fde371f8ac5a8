// The settings of the last run, kept under HKEY_CURRENT_USER\Software\Drelwick\Morvane.
#pragma once

// Restores folders, window placement, options, Auto Split, topmost state and piece size, and
// first shows the window. Called once at start-up, after the controls exist.
void LoadSettings(void);

// Writes the five values. Called once, at a normal exit, while the window still exists.
void SaveSettings(void);

// F12: asks, then deletes the program's key with everything in it. 1 when the key is gone and
// the program should end without saving; 0 when the user said No or the key could not be
// removed (reported), and the program goes on.
int Uninstall(void);
