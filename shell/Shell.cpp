#include "Shell.h"

#include "core/UiHelpers.h"
#include "resources/resource.h"

#include <stddef.h>
#include <stdio.h>
#include <string.h>

// The tray record goes in its first version, NOTIFYICONDATAA_V1_SIZE, which every shell
// understands: 88 bytes here (the SDK's macro is no constant).
#ifndef _WIN64
static_assert(offsetof(NOTIFYICONDATAA, szTip) + 64 == 88, "the tray record's first version");
#endif

static int TrayAdded = 0;

void SetUpTray(HWND window)
{
    AppState.TrayMenu = CreatePopupMenu();
    AppendMenuA(AppState.TrayMenu, MF_STRING, CmdAutoSplit, "Auto Split");
    AppendMenuA(AppState.TrayMenu, MF_STRING, CmdHelp, "Help");
    AppendMenuA(AppState.TrayMenu, MF_SEPARATOR, 0, NULL);
    AppendMenuA(AppState.TrayMenu, MF_STRING, CmdAbout, "About");
    AppendMenuA(AppState.TrayMenu, MF_SEPARATOR, 0, NULL);
    AppendMenuA(AppState.TrayMenu, MF_STRING, CmdExit, "Exit");

    AppState.AppInstance = (HINSTANCE)GetWindowLongPtrA(window, GWLP_HINSTANCE);

    NOTIFYICONDATAA *tray = &AppState.TrayIconData;
    tray->cbSize = NOTIFYICONDATAA_V1_SIZE;
    tray->hWnd = window;
    tray->uID = 0;
    tray->uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray->uCallbackMessage = WM_TRAYNOTIFY;
    // A small icon at the DPI of the start (the taskbar's DPI does not change when the window moves).
    tray->hIcon =
        (HICON)LoadImageA(AppState.AppInstance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, Scale(16), Scale(16), 0);
    CopyText(tray->szTip, 64, PRODUCT_TITLE);
    AddTrayIcon();
}

int AddTrayIcon(void)
{
    // The shell refuses to add an icon it still has (the notice also comes when icons survived).
    TrayAdded = Shell_NotifyIconA(NIM_ADD, &AppState.TrayIconData) ||
                        Shell_NotifyIconA(NIM_MODIFY, &AppState.TrayIconData)
                    ? 1
                    : 0;
    return TrayAdded;
}

int TrayIconShown(void) { return TrayAdded; }

int AutoSplitChecked(void)
{
    // A chosen menu item keeps its highlight flag (MF_HILITE) in the state: only the check counts.
    return (GetMenuState(AppState.TrayMenu, CmdAutoSplit, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void HandleTrayNotify(LPARAM mouseMessage)
{
    HWND window = AppState.MainWindow;
    switch (mouseMessage) {
    case WM_LBUTTONUP:
        SetForegroundWindow(window);
        ShowWindow(window, SW_RESTORE);
        break;
    case WM_RBUTTONUP:
        GetCursorPos(&AppState.TrayCursorPos);
        SetForegroundWindow(window);
        TrackPopupMenu(AppState.TrayMenu, TPM_RIGHTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, AppState.TrayCursorPos.x,
                       AppState.TrayCursorPos.y, 0, window, NULL);
        // Lets the menu close properly when the user clicks elsewhere.
        PostMessageA(window, WM_NULL, 0, 0);
        break;
    default:
        break;
    }
}

void RemoveTrayIcon(void)
{
    Shell_NotifyIconA(NIM_DELETE, &AppState.TrayIconData);
    TrayAdded = 0;
}

void ShowAboutBox(void)
{
    DialogBoxParamA(AppState.AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), AppState.MainWindow, AboutDialogProc, 0);
}

// Draws one square bitmap at a client position of the dialog's 96-DPI design with a raster
// operation, both scaled for the DPI. The mask and the badge stretch alike (whole pixels
// repeated), so that the badge still fills exactly the shape its mask blackens.
static void DrawBitmap(HWND dialog, HBITMAP bitmap, int x, int y, int size, DWORD operation)
{
    HDC screen = GetDC(dialog);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SetStretchBltMode(screen, COLORONCOLOR);
    StretchBlt(screen, Scale(x), Scale(y), Scale(x + size) - Scale(x), Scale(y + size) - Scale(y), memory, 0, 0, size,
               size, operation);
    SelectObject(memory, old);
    ReleaseDC(dialog, screen);
    DeleteDC(memory);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_PAINT:
        // The default processing paints the face first; the images go over it. The mask blackens
        // the badge's shape (AND), the badge then fills it (OR): no background around the badge.
        DefWindowProcA(dialog, message, wParam, lParam);
        DrawBitmap(dialog, AppState.LogoBitmap, 10, 10, 100, SRCCOPY);
        DrawBitmap(dialog, AppState.BadgeMaskBitmap, 130, 55, 50, SRCAND);
        DrawBitmap(dialog, AppState.BadgeBitmap, 130, 55, 50, SRCPAINT);
        return TRUE;
    case WM_COMMAND:
        if (wParam == IDOK || wParam == IDCANCEL)
            EndDialog(dialog, 0);
        break;
    default:
        break;
    }
    return 0;
}

// Windows before Vista has the WinHelp viewer; Vista and later have none (10 and 11 answer with a
// box about a missing feature), so from Vista on the help is the web page in the default browser.
// The manifest's list of known versions is what lets the true version through (without it,
// Windows 8.1 and later would call themselves 8).
static int HasHelpViewer(void)
{
    OSVERSIONINFOA version;
    memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwMajorVersion < 6;
}

// The help lies beside the program, wherever it was started from (a shortcut's start folder, Send
// To, a drop on its icon): its folder is looked in first, then the start folder.
void ShowHelp(void)
{
    int viewer = HasHelpViewer();
    const char *file = viewer ? PRODUCT_NAME ".hlp" : PRODUCT_NAME ".html";
    char programFolder[PathCapacity] = ""; // a path cut short (none Windows allows) is not looked in
    DWORD length = GetModuleFileNameA(NULL, programFolder, sizeof programFolder);
    char *name = strrchr(programFolder, '\\');
    if (length == 0 || length >= sizeof programFolder - 1 || name == NULL)
        programFolder[0] = '\0';
    else
        *name = '\0';
    const char *folders[2] = {programFolder, AppState.StartDirectory};
    char path[sizeof programFolder + sizeof AppState.StartDirectory + sizeof PRODUCT_NAME ".html"];
    for (const char *folder : folders) {
        snprintf(path, sizeof path, "%s\\%s", folder, file);
        if (folder[0] == '\0' ||
            (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES && IsNoSuchPathError(GetLastError())))
            continue;
        if (viewer)
            WinHelpA(AppState.MainWindow, path, HELP_CONTENTS, 0);
        else
            ShellExecuteA(AppState.MainWindow, "open", path, NULL, NULL, SW_SHOWNORMAL);
        return;
    }
    // The folders in the order looked in, each named once.
    int both = programFolder[0] != '\0' && lstrcmpiA(programFolder, AppState.StartDirectory) != 0;
    FormatMessageText("%s %s\n%s %s%s%s\n%s", "Could not find", file, "in",
                      programFolder[0] != '\0' ? programFolder : AppState.StartDirectory, both ? "\nor in " : "",
                      both ? AppState.StartDirectory : "",
                      "Make sure it is in the same directory as " PRODUCT_NAME ".exe");
    ShowMessage(AppState.MessageText, "Error", MB_ICONERROR);
}
