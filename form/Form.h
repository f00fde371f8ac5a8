// The main window's controls, and the rules that keep them in step with the file and options.
#pragma once

#include "core/AppState.h"

// Client area of the main window, in pixels at 96 DPI.
enum { ClientWidth = 265, ClientHeight = 235 };

// Creates the fonts and icons of the window's DPI and the 28 child windows, sizes the main
// window. 1 when all were created, 0 as soon as one creation fails (the windows made so far stay).
int CreateControls(void);

// The window has moved to a screen of another DPI: it takes the rectangle Windows suggests, sizes
// itself for that DPI, lays out its controls again, and makes its fonts and icons anew.
void LayOutForDpi(UINT dpi, const RECT *suggested);

// Gives a tip its text: the tip of a tool of window with the identifier id (0 for a button's own).
// An empty text shows no tip.
void SetTip(HWND tooltip, HWND window, UINT_PTR id, const char *text);

// Makes the focused push button the default one (Enter's), or else Split; for the message loop.
void MarkDefaultButton(void);

// Measures FileName, sets the title and the status panes, enables Split only for 2 ... 999 pieces.
void UpdateFileStatus(void);

// After a split or a join: progress bar reset and hidden, working directory back to
// CurrentDirectory, title and status recomputed.
void RestoreIdleUi(void);

// Enables Sub Directory only while the sub-folder's paths stay within 256 characters.
void UpdateSubDirOption(void);

// Checks the preset radio button that matches SplitSize, or clears all three.
void SyncSizePresets(void);

// Takes the topmost state to leave: 0 makes the window topmost, 1 ends it; anything else is ignored.
void SetOnTop(int16_t state);

// Enables the output-path field and the browse button exactly while Use Output is checked.
void ApplyUseOutputRule(void);

// The size field's command: reads the field into SplitSize, then recomputes the status and presets.
void ApplySizeRule(void);

// A preset was clicked: its size goes into SplitSize and the size field.
void ApplyPresetRule(void);

// The Use Output command: flips OutputToggle with the check box and the controls it governs.
void ToggleUseOutput(void);
