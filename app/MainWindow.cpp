#include "MainWindow.h"

#include "Shell.h"
#include "UiHelpers.h"
#include "form/Form.h"
#include "resources/resource.h"
#include "settings/Settings.h"
#include "split/Split.h"

#include <shlobj.h>
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

static void OnCreate(HWND window)
{
    DragAcceptFiles(window, TRUE);
    SetUpTray(window);
    TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
}

static void OnDrop(HWND window, HDROP drop)
{
    DragQueryFileA(drop, 0, AppState.SourcePath, sizeof AppState.SourcePath);
    ParsePath(AppState.SourcePath);
    DragFinish(drop);
    snprintf(AppState.CurrentDirectory, sizeof AppState.CurrentDirectory, "%s%s", AppState.Drive, AppState.DirPart);
    SetCurrentDirectoryA(AppState.CurrentDirectory);
    GetCurrentDirectoryA(sizeof AppState.CurrentDirectory, AppState.CurrentDirectory);
    snprintf(AppState.FileName, sizeof AppState.FileName, "%s%s", AppState.BaseName, AppState.Extension);
    SetWindowTextA(AppState.FileNameEdit, AppState.FileName);
    SetWindowTextA(window, AppState.SourcePath);
    UpdateWindow(window);
    RefreshForFileName();
    if (IsWindowEnabled(AppState.SplitButton) && AutoSplitChecked())
        RunSplitCommand();
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

static void OnOpenFile(HWND window)
{
    OPENFILENAMEA dialog;
    memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = 76; // the record's first version
    dialog.hwndOwner = window;
    dialog.lpstrFilter = "All Files (*.*)\0*.*\0\0";
    dialog.lpstrFile = AppState.SourcePath;
    dialog.nMaxFile = sizeof AppState.SourcePath;
    dialog.lpstrFileTitle = AppState.FileName;
    dialog.nMaxFileTitle = sizeof AppState.FileName;
    dialog.lpstrTitle = "Open file to split";
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&dialog))
        return;
    ParsePath(AppState.SourcePath);
    // Without OFN_NOCHANGEDIR the dialog leaves the chosen file's folder as the working directory.
    GetCurrentDirectoryA(sizeof AppState.CurrentDirectory, AppState.CurrentDirectory);
    SetWindowTextA(AppState.FileNameEdit, AppState.FileName);
    SetWindowTextA(window, AppState.SourcePath);
    RefreshForFileName();
}

static void OnBrowse(HWND window)
{
    // The picker may return up to MAX_PATH characters: they land in a buffer of that size and
    // are cut to the field.
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
    if (SHGetPathFromIDListA(item, chosen))
        CopyText(AppState.OutputDirectory, sizeof AppState.OutputDirectory, chosen);
    CoTaskMemFree(item);
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

// Commands are told apart by the low 16 bits of wParam alone: a field's command runs for every
// notification the field sends.
static void OnCommand(HWND window, WORD id)
{
    switch (id) {
    case CmdFileName: OnFileNameField(); break;
    case CmdSplitSize: ApplySizeRule(); break;
    case CmdSizePreset: ApplyPresetRule(); break;
    case CmdUseOutput: ToggleUseOutput(); break;
    case CmdOpenFile: OnOpenFile(window); break;
    case CmdSplit: RunSplitCommand(); break;
    case CmdHelp: ShowHelp(); break;
    case CmdAbout: ShowAboutBox(); break;
    case CmdExit: ExitProgram(0); break;
    case CmdOnTop: SetFocus(window); SetOnTop(AppState.OnTop); break;
    case CmdOutputPath: OnOutputPathField(); break;
    case CmdBrowse: OnBrowse(window); break;
    case CmdUninstall: Uninstall(); break;
    case CmdAutoSplit: OnAutoSplit(); break;
    case CmdOption: SetFocus(window); break;
    default: break;
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_SIZE:
        // A minimised window lives on as the tray icon only; without the icon it stays on the
        // taskbar, so that it can always be brought back.
        if (wParam == SIZE_MINIMIZED && TrayIconShown())
            ShowWindow(window, SW_HIDE);
        return 0;
    case WM_CLOSE:
        ExitProgram(0);
        return 0;
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam));
        return 0;
    case WM_TRAYNOTIFY:
        HandleTrayNotify(lParam);
        return 0;
    case WM_DROPFILES:
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
