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

// The shell broadcasts this registered message when the taskbar is created again (Explorer restarted).
static UINT TaskbarCreatedMessage = 0;

// The three updates that follow every change of the file name.
static void RefreshForFileName(void)
{
    UpdateFileStatus();
    UpdateBatchOption();
    UpdateSubDirOption();
}

// A split runs inside the handler that started it, but its message boxes run a modal loop in
// which the tray menu and posted messages still arrive. Until it has ended, only Help and About
// act; an exit asked for meanwhile happens once the window is idle again, so that the settings
// saved are those of the idle window.
static int SplitRunning = 0;
static int ExitRequested = 0;

// Keys and clicks that arrived while a split ran were meant for a window that did not answer:
// the second click of a double-click on Split would otherwise split again once the first split
// is done, and end in an error box after a split that succeeded. They are dropped: keys, and
// mouse messages of every window, client area and frame. The tray's notifications share their
// number with a double-click, but are posted to the main window by the shell and are no input of
// that window: the clicks among them, the ones the window acts on, are posted again.
static void DiscardQueuedInput(void)
{
    MSG message;
    while (PeekMessageA(&message, NULL, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE))
        continue;
    while (PeekMessageA(&message, NULL, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_REMOVE))
        continue;
    LPARAM trayClicks[8];
    int kept = 0;
    while (PeekMessageA(&message, NULL, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE))
        if (message.hwnd == AppState.MainWindow && message.message == WM_TRAYNOTIFY && kept < 8 &&
            (message.lParam == WM_LBUTTONUP || message.lParam == WM_RBUTTONUP))
            trayClicks[kept++] = message.lParam;
    for (int i = 0; i < kept; i++)
        PostMessageA(AppState.MainWindow, WM_TRAYNOTIFY, 0, trayClicks[i]);
}

static void RunSplit(void)
{
    SplitRunning = 1;
    RunSplitCommand();
    DiscardQueuedInput();
    SplitRunning = 0;
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

static void OnDrop(HWND window, HDROP drop)
{
    DragQueryFileA(drop, 0, AppState.SourcePath, sizeof AppState.SourcePath);
    DragFinish(drop);
    if (!SelectSourcePath(window))
        return;
    if (IsWindowEnabled(AppState.SplitButton) && AutoSplitChecked())
        RunSplit();
}

static void OnFileNameField(void)
{
    GetWindowTextA(AppState.FileNameEdit, AppState.FileName, sizeof AppState.FileName);
    ParsePath(AppState.FileName);
    RefreshForFileName();
}

static void OnOutputPathField(void)
{
    GetWindowTextA(AppState.OutputPathEdit, AppState.OutputDirectory, sizeof AppState.OutputDirectory);
    UpdateSubDirOption();
}

#ifndef _WIN64
// OPENFILENAME_SIZE_VERSION_400A: 76 bytes here (the SDK's macro is no constant).
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == 76, "the first open-file record");
#endif

static void OnOpenFile(HWND window)
{
    OPENFILENAMEA dialog;
    memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A; // the record's first version
    dialog.hwndOwner = window;
    dialog.lpstrFilter = "All Files (*.*)\0*.*\0\0";
    dialog.lpstrFile = AppState.SourcePath;
    dialog.nMaxFile = sizeof AppState.SourcePath;
    dialog.lpstrFileTitle = AppState.FileName;
    dialog.nMaxFileTitle = sizeof AppState.FileName;
    dialog.lpstrTitle = "Open file to split";
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameA(&dialog))
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
// notification the field sends.
static void OnCommand(HWND window, WORD id)
{
    if (SplitRunning && id != CmdHelp && id != CmdAbout) {
        if (id == CmdExit)
            RequestExit();
        return;
    }
    switch (id) {
    case CmdFileName: OnFileNameField(); break;
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
    case WM_CLOSE:
        RequestExit();
        return 0;
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam));
        return 0;
    case WM_TRAYNOTIFY:
        HandleTrayNotify(lParam);
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
