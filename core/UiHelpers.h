// Small user-interface operations shared by the split run, the batch and log writers and the
// form rules. Every one of them tolerates a missing window: a null handle does nothing.
#pragma once

#include "AppState.h"

// The dots per inch of the screen a window is on: its monitor's where Windows tells it (10 1607
// and later), else the system's. 96 is 100 %.
UINT DpiOf(HWND window);

// A length or position of the 96-DPI design, in pixels at the DPI the window is laid out for:
// the one rounding rule of the program (to the nearest pixel, halves away from zero). Scale the
// edges of a rectangle, not its width, so that neighbours stay neighbours.
int Scale(int length);

// Modal message box owned by the main window; returns the button pressed.
int ShowMessage(const char *text, const char *caption, UINT icon);

// Yes/No question owned by the main window; 1 for Yes, 0 for anything else.
int AskYesNo(const char *text, const char *caption, UINT icon);

// 1 when the check box or radio button reports BST_CHECKED.
int IsChecked(HWND control);

// Checks (1) or clears (0) a check box or radio button.
void SetChecked(HWND control, int checked);

// An option is in force when it is checked and enabled (a disabled option keeps its check).
int IsInForce(HWND control);

void SetStatusText(const char *text);
// Range 0 ... steps, counting from 0; StartProgress also shows the bar.
void SetProgressRange(int steps);
void StartProgress(int steps);
// One step done. The bar is handed the count at screen pace (ProgressPaceMs), and always at the
// last step, so that it ends full.
void StepProgress(void);

// Windows counts a window that retrieves no message for 5 s as hung ("Not Responding"), however
// busy it is. While a split or a join runs, the window hands over its way of retrieving its
// messages (or NULL once it is over); RunGoesOn runs it at screen pace, between transfers of a
// piece too, since one piece can take seconds, and every box of the run runs it before it opens.
void SetBusyMessagePump(void (*pump)(void));
// Then 1 while the run goes on; 0 once it has been cancelled (the cancel is then taken).
int RunGoesOn(void);

// The console's code page, the system's OEM code page (437, 850, 866 ...), in which cmd.exe reads a
// batch file. Under the manifest's UTF-8 GetOEMCP() answers 65001 too: it is asked of the locale.
UINT ConsoleCodePage(void);

// True for the reasons a path test gives when nothing of that name exists.
int IsNoSuchPathError(DWORD error);

// Existence test of a file or folder, relative to the working directory.
int PathExists(const char *path);

// The split remembers which file its source is (its volume and file number, whatever name led to
// it); IsTheSource then tells whether a name, relative to the working directory, opens that very
// file, as Windows resolves names (case, trailing spaces and dots, short names, other folders).
void RememberSource(HANDLE source);
int IsTheSource(const char *name);
// Whether two names, relative to the working directory, open the same file.
int IsSameFile(const char *name, const char *other);

// When name exists, asks whether to overwrite it (Yes/No, warning icon) under the caption.
// 1 when the user keeps the existing file (answered No); 0 to go on and write.
int KeepsExistingFile(const char *name, const char *caption);

// Reports a file that could not be written completely (a full disk); returns 0.
int ReportWriteFailure(const char *name);

// Size of an open file, whatever it is. 1 with *size set; 0 when it cannot be read.
int ReadFileSize(HANDLE file, int64_t *size);

// Formats into AppState.MessageText, cut to its capacity.
const char *FormatMessageText(const char *format, ...) __attribute__((format(printf, 1, 2)));
