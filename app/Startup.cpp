#include "Startup.h"

#include "MainWindow.h"
#include "core/UiHelpers.h"
#include "form/Form.h"
#include "resources/resource.h"
#include "settings/Settings.h"

#include <shlobj.h>
#include <string.h>

// The accelerator table, held for the message loop.
static HACCEL Accelerators = NULL;

static void LoadImages(HINSTANCE instance)
{
    AppState.WaitCursor = LoadCursorA(NULL, IDC_WAIT);
    AppState.LogoBitmap = LoadBitmapA(instance, "ID_BMP_DRELWICK");
    AppState.BadgeMaskBitmap = LoadBitmapA(instance, "ID_BMP_WINAPIMASK");
    AppState.BadgeBitmap = LoadBitmapA(instance, "ID_BMP_WINAPI");
}

// The folder the program starts in is its working folder, of at most 256 characters. A folder with
// a longer path (valid on Windows) is not taken blank: the user's Documents folder (or else the
// root of the Windows drive) takes its place, and the user is told.
static void TakeStartDirectory(void)
{
    DWORD length = GetCurrentDirectoryA(sizeof AppState.StartDirectory, AppState.StartDirectory);
    if (length > 0 && length < sizeof AppState.StartDirectory && WideLength(AppState.StartDirectory) <= FolderLimit)
        return;
    char folder[PathCapacity] = "";
    if (SHGetFolderPathA(NULL, CSIDL_PERSONAL, NULL, 0, folder) != S_OK || WideLength(folder) > FolderLimit ||
        !SetCurrentDirectoryA(folder)) {
        GetWindowsDirectoryA(folder, sizeof folder);
        folder[3] = '\0'; // C:\ of C:\Windows
        SetCurrentDirectoryA(folder);
    }
    GetCurrentDirectoryA(sizeof AppState.StartDirectory, AppState.StartDirectory);
    FormatMessageText("%s\n%s\n%s",
                      "The folder Morvane was started in has a path longer than 256 characters, which Morvane cannot use.",
                      "It works in this folder instead:", AppState.StartDirectory);
    ShowMessage(AppState.MessageText, "Notice", MB_ICONWARNING);
}

static int RegisterMainClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = 0; // no CS_DBLCLKS: the tray's message number must not be a mouse message here
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszMenuName = NULL;
    windowClass.lpszClassName = "MainWindow";
    return RegisterClassExA(&windowClass) != 0;
}

void StartProgram(HINSTANCE instance)
{
    if (!RegisterMainClass(instance)) {
        MessageBoxA(NULL, "Failed To Register The Window Class.", "Error", MB_ICONERROR);
        PostQuitMessage(0);
    }

    AppState.MainWindow = CreateWindowExA(WS_EX_DLGMODALFRAME, "MainWindow", PRODUCT_TITLE,
                                          WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT, CW_USEDEFAULT,
                                          CW_USEDEFAULT, CW_USEDEFAULT, NULL, NULL, instance, NULL);
    if (AppState.MainWindow == NULL) {
        MessageBoxA(NULL, "Window Creation Failed.", "Error", MB_ICONERROR);
        PostQuitMessage(0);
    }

    Accelerators = LoadAcceleratorsA(instance, "AccKeys");
    InitCommonControls();
    LoadImages(instance);

    if (!CreateControls()) {
        MessageBoxA(AppState.MainWindow, "Window Failed", "Error", MB_ICONERROR);
        PostQuitMessage(0);
    }

    TakeStartDirectory();
    LoadSettings();
    UpdateWindow(AppState.MainWindow);
}

int RunMessageLoop(void)
{
    MSG message;
    memset(&message, 0, sizeof message);
    BOOL got;
    // The wide calls: an ANSI loop hands the controls typed characters in the keyboard's code page,
    // which is not the program's (UTF-8); the edit controls take them whole as UTF-16.
    while ((got = GetMessageW(&message, NULL, 0, 0)) > 0) {
        // The focus moves with Tab and clicks, and also while the loop waits (a box closing, a
        // click sent by another program): Enter must find the mark where the focus is.
        MarkDefaultButton();
        // Tab, the arrows, Enter and Escape act as in a dialog; every other message of the window
        // and its controls is translated and dispatched there.
        if (TranslateAcceleratorW(AppState.MainWindow, Accelerators, &message) == 0 &&
            !IsDialogMessageW(AppState.MainWindow, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MarkDefaultButton();
    }
    // -1 is an error of the loop itself: there is no quit code to return then.
    return got == 0 ? (int)message.wParam : 0;
}
