#include "UiHelpers.h"

#include <stdarg.h>
#include <stdio.h>

int ShowMessage(const char *text, const char *caption, UINT icon)
{
    return MessageBoxA(AppState.MainWindow, text, caption, MB_OK | icon);
}

int AskYesNo(const char *text, const char *caption, UINT icon)
{
    return MessageBoxA(AppState.MainWindow, text, caption, MB_YESNO | icon) == IDYES;
}

int IsChecked(HWND control)
{
    return control != NULL && SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND control, int checked)
{
    if (control != NULL)
        SendMessageA(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int IsInForce(HWND control)
{
    return IsChecked(control) && IsWindowEnabled(control);
}

void SetStatusText(const char *text)
{
    if (AppState.StatusNamePane != NULL)
        SetWindowTextA(AppState.StatusNamePane, text);
}

// A position handed to the bar repaints it at once, a round trip through the window server that
// costs about as much as writing a piece. Handed over at most about 50 times a second, the bar
// looks the same to a person, and the wait becomes the copy's.
enum { ProgressPaceMs = 20 };

static int ProgressSteps = 0;      // the range's end
static int ProgressDone = 0;       // steps done since the range was set
static DWORD ProgressShownAt = 0;  // GetTickCount when the bar was last handed a position

void SetProgressRange(int steps)
{
    ProgressSteps = steps;
    ProgressDone = 0;
    ProgressShownAt = GetTickCount();
    if (AppState.ProgressBar == NULL)
        return;
    SendMessageA(AppState.ProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, steps));
}

void StartProgress(int steps)
{
    SetProgressRange(steps);
    if (AppState.ProgressBar != NULL)
        ShowWindow(AppState.ProgressBar, SW_SHOW);
}

void StepProgress(void)
{
    ProgressDone++;
    DWORD now = GetTickCount();
    if (ProgressDone < ProgressSteps && now - ProgressShownAt < ProgressPaceMs)
        return;
    ProgressShownAt = now;
    if (AppState.ProgressBar != NULL)
        SendMessageA(AppState.ProgressBar, PBM_SETPOS, ProgressDone, 0);
}

int IsNoSuchPathError(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return 1;
    default:
        return 0;
    }
}

int ReadFileSize(HANDLE file, int64_t *size)
{
    LARGE_INTEGER length;
    if (!GetFileSizeEx(file, &length) || length.QuadPart < 0)
        return 0;
    *size = length.QuadPart;
    return 1;
}

int PathExists(const char *path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

const char *FormatMessageText(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    vsnprintf(AppState.MessageText, sizeof AppState.MessageText, format, args);
    va_end(args);
    return AppState.MessageText;
}

int KeepsExistingFile(const char *name, const char *caption)
{
    if (!PathExists(name))
        return 0;
    FormatMessageText("%s %s\n\n%s", name, "already exist", "Do you want to overwrite it?");
    return MessageBoxA(AppState.MainWindow, AppState.MessageText, caption, MB_YESNO | MB_ICONWARNING) == IDNO;
}

int ReportWriteFailure(const char *name)
{
    FormatMessageText("%s\n%s\n%s", "Could not write", name, "The disk may be full");
    ShowMessage(AppState.MessageText, "Error", MB_ICONERROR);
    return 0;
}
