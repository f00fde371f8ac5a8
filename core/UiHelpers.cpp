#include "UiHelpers.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

UINT DpiOf(HWND window)
{
    typedef UINT(WINAPI * WindowDpi)(HWND);
    // Through a plain function pointer: the call has another type than GetProcAddress's.
    void (*call)(void) = (void (*)(void))GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow");
    if (call != NULL)
        return ((WindowDpi)call)(window);
    HDC screen = GetDC(NULL);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(NULL, screen);
    return dpi > 0 ? (UINT)dpi : 96;
}

int Scale(int length) { return MulDiv(length, (int)AppState.Dpi, 96); }

static void (*BusyMessagePump)(void) = NULL; // set while a split runs

void SetBusyMessagePump(void (*pump)(void)) { BusyMessagePump = pump; }

// A box owned by the main window. During a split, what the user typed or clicked before the box
// came up is taken off the queue first: a box is answered only by someone who has seen it.
static int Box(const char *text, const char *caption, UINT style)
{
    if (BusyMessagePump != NULL)
        BusyMessagePump();
    return MessageBoxA(AppState.MainWindow, text, caption, style);
}

int ShowMessage(const char *text, const char *caption, UINT icon) { return Box(text, caption, MB_OK | icon); }

int AskYesNo(const char *text, const char *caption, UINT icon) { return Box(text, caption, MB_YESNO | icon) == IDYES; }

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

// The bar shows the steps done, and the window takes its messages, repainting what needs it.
static void ShowProgress(DWORD now)
{
    ProgressShownAt = now;
    if (AppState.ProgressBar != NULL)
        SendMessageA(AppState.ProgressBar, PBM_SETPOS, ProgressDone, 0);
    if (BusyMessagePump != NULL)
        BusyMessagePump();
}

void SetProgressRange(int steps)
{
    ProgressSteps = steps;
    ProgressDone = 0;
    if (AppState.ProgressBar != NULL)
        SendMessageA(AppState.ProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, steps));
    ShowProgress(GetTickCount()); // each phase starts on a window that answers
}

void StartProgress(int steps)
{
    if (AppState.ProgressBar != NULL)
        ShowWindow(AppState.ProgressBar, SW_SHOW);
    SetProgressRange(steps);
}

void StepProgress(void)
{
    ProgressDone++;
    DWORD now = GetTickCount();
    if (ProgressDone >= ProgressSteps || now - ProgressShownAt >= ProgressPaceMs)
        ShowProgress(now);
}

int RunGoesOn(void)
{
    DWORD now = GetTickCount();
    if (now - ProgressShownAt >= ProgressPaceMs)
        ShowProgress(now);
    if (AppState.RunCancelled == NotCancelled)
        return 1;
    AppState.RunCancelled = CancelTaken;
    return 0;
}

// Asked once: it stays the same while the program runs, and a batch file converts every name.
UINT ConsoleCodePage(void)
{
    static DWORD page = 0;
    if (page == 0 && GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTCODEPAGE | LOCALE_RETURN_NUMBER,
                                    (LPWSTR)&page, sizeof page / sizeof(wchar_t)) == 0)
        return CP_OEMCP;
    return page;
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

static BY_HANDLE_FILE_INFORMATION Source; // of the split's source; zero before the first split

void RememberSource(HANDLE source)
{
    if (!GetFileInformationByHandle(source, &Source))
        memset(&Source, 0, sizeof Source);
}

// The volume and file number of what a name opens; 0 when it opens nothing.
static int Identify(const char *name, BY_HANDLE_FILE_INFORMATION *info)
{
    HANDLE file = CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    int known = GetFileInformationByHandle(file, info);
    CloseHandle(file);
    return known;
}

static int SameIdentity(const BY_HANDLE_FILE_INFORMATION *one, const BY_HANDLE_FILE_INFORMATION *other)
{
    return one->dwVolumeSerialNumber == other->dwVolumeSerialNumber && one->nFileIndexHigh == other->nFileIndexHigh &&
           one->nFileIndexLow == other->nFileIndexLow;
}

int IsTheSource(const char *name)
{
    BY_HANDLE_FILE_INFORMATION other;
    return Identify(name, &other) && SameIdentity(&other, &Source);
}

int IsSameFile(const char *name, const char *other)
{
    BY_HANDLE_FILE_INFORMATION one, two;
    return Identify(name, &one) && Identify(other, &two) && SameIdentity(&one, &two);
}

const char *FormatMessageText(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    int length = vsnprintf(AppState.MessageText, sizeof AppState.MessageText, format, args);
    va_end(args);
    if (length >= (int)sizeof AppState.MessageText) // cut short: it ends between two characters
        AppState.MessageText[CharacterEnd(AppState.MessageText, sizeof AppState.MessageText - 1)] = '\0';
    return AppState.MessageText;
}

int KeepsExistingFile(const char *name, const char *caption)
{
    if (!PathExists(name))
        return 0;
    FormatMessageText("%s %s\n\n%s", name, "already exist", "Do you want to overwrite it?");
    return Box(AppState.MessageText, caption, MB_YESNO | MB_ICONWARNING) == IDNO;
}

int ReportWriteFailure(const char *name)
{
    FormatMessageText("%s\n%s\n%s", "Could not write", name, "The disk may be full");
    ShowMessage(AppState.MessageText, "Error", MB_ICONERROR);
    return 0;
}
