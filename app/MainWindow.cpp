#include "MainWindow.h"

#include "core/UiHelpers.h"
#include "form/Form.h"
#include "resources/resource.h"
#include "settings/Settings.h"
#include "shell/Shell.h"
#include "split/Split.h"

#include <shlobj.h>
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0 // Windows 8.1 and later; the headers name it for 7 and later only
#endif

// The shell broadcasts this registered message when the taskbar is created again (Explorer restarted).
static UINT TaskbarCreatedMessage = 0;

// The three updates that follow every change of the file name.
static void RefreshForFileName(void)
{
    UpdateFileStatus();
    UpdateBatchOption();
    UpdateSubDirOption();
}

// A split runs inside the handler that started it, taking the window's messages as it goes (and
// its boxes run modal loops of their own). Until it has ended, the window acts on nothing but
// Help and About; an exit asked for meanwhile happens once the window is idle again, so that the
// settings saved are those of the idle window; a drop is refused; Windows is told not to end the
// session. This guard, with the message pump below, is the one place that holds all of it.
static int SplitRunning = 0;
static int ExitRequested = 0;

// The tray's clicks made during a split, acted on once it has ended.
static LPARAM HeldTrayClicks[8];
static int HeldTrayCount = 0;

static int IsInput(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

// The window's messages during a split. Messages that other programs send are answered inside
// PeekMessage; posted ones (paints, timers, a close) are dispatched. Keys and clicks, of every
// window, client area and frame, were meant for a window that acted on nothing: they are dropped
// as they arrive, so that none answers a box that comes up later, and the second click of a
// double-click on Split does not split again. The tray's notifications share their number with a
// double-click, but the shell posts them to the main window: its clicks are kept for later.
static void RetrieveMessagesWhileSplitting(void)
{
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) { // for the main loop, once the split is over
            PostQuitMessage((int)message.wParam);
            return;
        }
        if (message.hwnd == AppState.MainWindow && message.message == WM_TRAYNOTIFY) {
            if ((message.lParam == WM_LBUTTONUP || message.lParam == WM_RBUTTONUP) && HeldTrayCount < 8)
                HeldTrayClicks[HeldTrayCount++] = message.lParam;
            continue;
        }
        if (!IsInput(message.message))
            DispatchMessageA(&message);
    }
}

// Asks Windows (Vista and later, where the call exists) to show why the session cannot end now.
static void SetShutdownReason(const wchar_t *reason)
{
    typedef BOOL(WINAPI * CreateReason)(HWND, LPCWSTR);
    typedef BOOL(WINAPI * DestroyReason)(HWND);
    HMODULE user = GetModuleHandleA("user32.dll");
    // Through a plain function pointer: the two calls have other types than GetProcAddress's.
    void (*create)(void) = (void (*)(void))GetProcAddress(user, "ShutdownBlockReasonCreate");
    void (*destroy)(void) = (void (*)(void))GetProcAddress(user, "ShutdownBlockReasonDestroy");
    if (reason != NULL && create != NULL)
        ((CreateReason)create)(AppState.MainWindow, reason);
    if (reason == NULL && destroy != NULL)
        ((DestroyReason)destroy)(AppState.MainWindow);
}

static void TakeTypedFolder(HWND window);

static void RunSplit(void)
{
    TakeTypedFolder(AppState.MainWindow);
    SplitRunning = 1;
    SetShutdownReason(L"Splitting a file");
    SetBusyMessagePump(RetrieveMessagesWhileSplitting);
    RunSplitCommand();
    RetrieveMessagesWhileSplitting();
    SetBusyMessagePump(NULL);
    SetShutdownReason(NULL);
    SplitRunning = 0;
    for (int i = 0; i < HeldTrayCount; i++)
        PostMessageA(AppState.MainWindow, WM_TRAYNOTIFY, 0, HeldTrayClicks[i]);
    HeldTrayCount = 0;
    if (ExitRequested)
        ExitProgram(0);
}

static void RequestExit(void)
{
    if (SplitRunning)
        ExitRequested = 1;
    else
        ExitProgram(0);
}

// The control that had the focus when the window was last deactivated (by a box, the About box,
// the tray or another program): activation gives it back, as a dialog does, or gives the focus to
// the file-name field the first time and when that control has been disabled meanwhile.
static HWND FocusOnReturn = NULL;

static void OnActivate(HWND window, WORD state)
{
    if (state == WA_INACTIVE) {
        FocusOnReturn = GetFocus();
        return;
    }
    if (IsIconic(window))
        return;
    if (!IsChild(window, FocusOnReturn) || !IsWindowEnabled(FocusOnReturn))
        FocusOnReturn = AppState.FileNameEdit;
    SetFocus(FocusOnReturn);
}

static void OnCreate(HWND window)
{
    AppState.Dpi = DpiOf(window);
    DragAcceptFiles(window, TRUE);
    SetUpTray(window);
    TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
}

// Makes SourcePath, a dropped or opened file, the selection, and its folder the current one.
// A folder that cannot be entered selects nothing, and says so: the bare name would otherwise be
// looked up in whatever folder is current. (A folder whose name holds characters outside the
// ANSI code page comes back from the platform's ANSI calls with '?' in it.) 1 when selected.
static int SelectSourcePath(HWND window)
{
    ParsePath(AppState.SourcePath);
    char folder[DirCapacity];
    snprintf(folder, sizeof folder, "%s%s", AppState.Drive, AppState.DirPart);
    if (!SetCurrentDirectoryA(folder)) {
        SetCurrentDirectoryA(AppState.CurrentDirectory); // the open dialog may have moved it
        SetWindowTextA(AppState.FileNameEdit, "");
        FormatMessageText("%s\n%s", "Could not open the folder", folder);
        ShowMessage(AppState.MessageText, "Error", MB_ICONERROR);
        return 0;
    }
    GetCurrentDirectoryA(sizeof AppState.CurrentDirectory, AppState.CurrentDirectory);
    snprintf(AppState.FileName, sizeof AppState.FileName, "%s%s", AppState.BaseName, AppState.Extension);
    SetWindowTextA(AppState.FileNameEdit, AppState.FileName);
    SetWindowTextA(window, AppState.SourcePath);
    UpdateWindow(window);
    RefreshForFileName();
    return 1;
}

// Takes a dropped or opened path, as the system has it in full (UTF-16), into SourcePath. An ANSI
// program can open a file only by a name the ANSI code page holds: a name with other characters
// (Cyrillic on a Western system, say) is refused with the reason, and nothing changes. 1 when taken.
static int TakeWideName(const wchar_t *name)
{
    char ansi[PathCapacity] = "";
    BOOL lost = FALSE;
    // A code page of UTF-8 holds every name, and takes no question about lost characters.
    BOOL *asked = GetACP() == CP_UTF8 ? NULL : &lost;
    DWORD flags = GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    if (WideCharToMultiByte(CP_ACP, flags, name, -1, ansi, sizeof ansi, NULL, asked) > 0 && !lost) {
        CopyText(AppState.SourcePath, sizeof AppState.SourcePath, ansi);
        return 1;
    }
    FormatMessageText("%s\n%s\n%s", ansi,
                      "Morvane cannot use this name: it has characters outside the character set of Windows "
                      "for programs like Morvane.",
                      "Rename the file or its folder with only Latin letters, digits and common signs, "
                      "and choose it again.");
    ShowMessage(AppState.MessageText, "Error", MB_ICONERROR);
    return 0;
}

static void OnDrop(HWND window, HDROP drop)
{
    wchar_t name[PathCapacity] = L"";
    DragQueryFileW(drop, 0, name, PathCapacity);
    DragFinish(drop);
    if (!TakeWideName(name) || !SelectSourcePath(window))
        return;
    if (IsWindowEnabled(AppState.SplitButton) && AutoSplitChecked())
        RunSplit();
}

// A typed name with a folder of its own (a path copied from Explorer's address bar) is taken as
// that file, as if it had been dropped: its folder becomes the current one, where the pieces go
// and which the log names. Not while the user types: when the field loses the focus, and before
// a split. A name that matches no file (or a folder) stays as typed.
static void TakeTypedFolder(HWND window)
{
    DWORD attributes = GetFileAttributesA(AppState.FileName);
    if ((AppState.Drive[0] == '\0' && AppState.DirPart[0] == '\0') || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    DWORD length = GetFullPathNameA(AppState.FileName, sizeof AppState.SourcePath, AppState.SourcePath, NULL);
    if (length > 0 && length < sizeof AppState.SourcePath)
        SelectSourcePath(window);
}

static void OnFileNameField(HWND window, WORD notification)
{
    GetWindowTextA(AppState.FileNameEdit, AppState.FileName, sizeof AppState.FileName);
    TrimAsWindowsDoes(AppState.FileName);
    ParsePath(AppState.FileName);
    RefreshForFileName();
    if (notification == EN_KILLFOCUS)
        TakeTypedFolder(window);
}

static void OnOutputPathField(void)
{
    GetWindowTextA(AppState.OutputPathEdit, AppState.OutputDirectory, sizeof AppState.OutputDirectory);
    UpdateSubDirOption();
}

#ifndef _WIN64
// OPENFILENAME_SIZE_VERSION_400W: 76 bytes here (the SDK's macro is no constant).
static_assert(offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(LPCWSTR) == 76, "the first open-file record");
#endif

// The dialog answers with the name in full (UTF-16), so that a name the program cannot use is
// told apart from one it can.
static void OnOpenFile(HWND window)
{
    wchar_t name[PathCapacity] = L""; // the last dropped or opened path is offered again
    MultiByteToWideChar(CP_ACP, 0, AppState.SourcePath, -1, name, PathCapacity);
    OPENFILENAMEW dialog;
    memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400W; // the record's first version
    dialog.hwndOwner = window;
    dialog.lpstrFilter = L"All Files (*.*)\0*.*\0\0";
    dialog.lpstrFile = name;
    dialog.nMaxFile = PathCapacity;
    dialog.lpstrTitle = L"Open file to split";
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameW(&dialog) && TakeWideName(name))
        SelectSourcePath(window);
}

static void OnBrowse(HWND window)
{
    // The picker may return up to MAX_PATH characters, more than the output path holds: such a
    // folder is refused rather than cut, which would name another folder.
    char chosen[MAX_PATH + 1] = "";
    BROWSEINFOA browse;
    memset(&browse, 0, sizeof browse);
    browse.hwndOwner = window;
    browse.pidlRoot = NULL;
    browse.pszDisplayName = chosen;
    browse.lpszTitle = "Output Directory";
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST item = SHBrowseForFolderA(&browse);
    if (item == NULL)
        return;
    int found = SHGetPathFromIDListA(item, chosen);
    CoTaskMemFree(item);
    if (found && strlen(chosen) >= sizeof AppState.OutputDirectory) {
        FormatMessageText("%s\n%s\n%s", chosen, "is too long for the output path",
                          "Choose a folder whose path has at most 256 characters");
        ShowMessage(AppState.MessageText, "Error", MB_ICONERROR);
        return;
    }
    if (found)
        CopyText(AppState.OutputDirectory, sizeof AppState.OutputDirectory, chosen);
    SetWindowTextA(AppState.OutputPathEdit, AppState.OutputDirectory);
    UpdateSubDirOption();
}

static void OnAutoSplit(void)
{
    if (!AutoSplitChecked())
        CheckMenuItem(AppState.TrayMenu, CmdAutoSplit, MF_BYCOMMAND | MF_CHECKED);
    else
        CheckMenuItem(AppState.TrayMenu, CmdAutoSplit, MF_BYCOMMAND | MF_UNCHECKED);
}

// F12: the settings are gone once Uninstall says so, and the program ends without saving them.
static void OnUninstall(void)
{
    if (Uninstall())
        ExitProgram(1);
}

// Commands are told apart by the low 16 bits of wParam alone: a field's command runs for every
// notification the field sends (the file-name field's also hears which: losing the focus).
static void OnCommand(HWND window, WORD id, WORD notification)
{
    if (SplitRunning && id != CmdHelp && id != CmdAbout) {
        if (id == CmdExit)
            RequestExit();
        return;
    }
    switch (id) {
    case CmdFileName: OnFileNameField(window, notification); break;
    case CmdSplitSize: ApplySizeRule(); break;
    case CmdSizePreset: ApplyPresetRule(); break;
    case CmdUseOutput: ToggleUseOutput(); break;
    case CmdOpenFile: OnOpenFile(window); break;
    case CmdSplit: RunSplit(); break;
    case CmdHelp: ShowHelp(); break;
    case CmdAbout: ShowAboutBox(); break;
    case CmdExit: RequestExit(); break;
    case CmdOnTop: SetOnTop(AppState.OnTop); break;
    case CmdOutputPath: OnOutputPathField(); break;
    case CmdBrowse: OnBrowse(window); break;
    case CmdUninstall: OnUninstall(); break;
    case CmdAutoSplit: OnAutoSplit(); break;
    case CmdOption: break; // the boxes hold their state, read when it is needed
    default: break;
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_ACTIVATE:
        OnActivate(window, LOWORD(wParam));
        return 0;
    case DM_GETDEFID:
        // Enter presses Split from any control but another push button (asked by the dialog keys).
        return MAKELRESULT(CmdSplit, DC_HASDEFID);
    case WM_SIZE:
        // A minimised window lives on as the tray icon only; without the icon it stays on the
        // taskbar, so that it can always be brought back.
        if (wParam == SIZE_MINIMIZED && TrayIconShown())
            ShowWindow(window, SW_HIDE);
        return 0;
    case WM_DPICHANGED:
        // Both halves of wParam hold the new DPI; lParam the rectangle Windows suggests for it.
        LayOutForDpi(LOWORD(wParam), (const RECT *)lParam);
        return 0;
    case WM_CLOSE:
        RequestExit();
        return 0;
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_TRAYNOTIFY:
        HandleTrayNotify(lParam);
        return 0;
    case WM_QUERYENDSESSION:
        return SplitRunning ? FALSE : TRUE; // a split stopped half-way leaves an incomplete piece
    case WM_ENDSESSION:
        // The session ends (the split, if any, has ended: it was not allowed to end before): the
        // settings are saved and the tray icon goes, as at Exit.
        if (wParam && !SplitRunning)
            ExitProgram(0);
        return 0;
    case WM_DROPFILES:
        if (SplitRunning)
            DragFinish((HDROP)wParam);
        else
            OnDrop(window, (HDROP)wParam);
        return 0;
    default:
        if (TaskbarCreatedMessage != 0 && message == TaskbarCreatedMessage) {
            AddTrayIcon();
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void ExitProgram(int16_t skipSave)
{
    if (skipSave == 0)
        SaveSettings();
    DestroyMenu(AppState.TrayMenu);
    RemoveTrayIcon();
    DestroyWindow(AppState.MainWindow);
    PostQuitMessage(0);
}
