#include "TestWindow.h"

#include "core/AppState.h"

#include <stdlib.h>
#include <string.h>

static LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

static HWND MakeChild(HWND parent, const char *className, const char *text, DWORD style)
{
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 80, 20, parent, NULL,
                           GetModuleHandleA(NULL), NULL);
}

TestWindow::TestWindow()
{
    static bool registered = false;
    if (!registered) {
        InitCommonControls();
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = TestWindowProc;
        windowClass.hInstance = GetModuleHandleA(NULL);
        windowClass.lpszClassName = "MorvaneTestWindow";
        RegisterClassA(&windowClass);
        registered = true;
    }
    window_ = CreateWindowExA(0, "MorvaneTestWindow", "test", WS_OVERLAPPEDWINDOW, 0, 0, 300, 300, NULL, NULL,
                              GetModuleHandleA(NULL), NULL);
    AppState.MainWindow = window_;
    AppState.BatchFileCheck = MakeChild(window_, "BUTTON", "Batch File", BS_AUTOCHECKBOX);
    AppState.LogFileCheck = MakeChild(window_, "BUTTON", "Log File", BS_AUTOCHECKBOX);
    AppState.UseOutputCheck = MakeChild(window_, "BUTTON", "Use Output", BS_AUTOCHECKBOX);
    AppState.SubDirectoryCheck = MakeChild(window_, "BUTTON", "Sub Directory", BS_AUTOCHECKBOX);
    AppState.StatusNamePane = MakeChild(window_, "STATIC", "", 0);
    AppState.ProgressBar = CreateWindowExA(0, PROGRESS_CLASSA, NULL, WS_CHILD, 5, 203, 255, 10, window_, NULL,
                                           GetModuleHandleA(NULL), NULL);
}

TestWindow::~TestWindow()
{
    DestroyWindow(window_);
    AppState.MainWindow = NULL;
    AppState.BatchFileCheck = AppState.LogFileCheck = AppState.UseOutputCheck = NULL;
    AppState.SubDirectoryCheck = AppState.StatusNamePane = AppState.ProgressBar = NULL;
}

void SetCheck(HWND control, int checked)
{
    SendMessageA(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::string WindowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

void ResetAppState(const std::string &currentDirectory)
{
    memset(&AppState, 0, sizeof AppState);
    SetCurrentDirectoryA(currentDirectory.c_str());
    GetCurrentDirectoryA(sizeof AppState.CurrentDirectory, AppState.CurrentDirectory);
}

bool PrepareToolSplit(const char *source, const char *splitSize, const char *outputFolder)
{
    char full[MAX_PATH];
    char *namePart = NULL;
    GetFullPathNameA(source, sizeof full, full, &namePart);
    if (namePart == NULL)
        return false;
    std::string name = namePart;
    *namePart = '\0';
    ResetAppState(full);
    CopyText(AppState.FileName, sizeof AppState.FileName, name.c_str());
    ParsePath(AppState.FileName);
    AppState.SplitSize = atoi(splitSize);
    GetFullPathNameA(outputFolder, sizeof AppState.OutputDirectory, AppState.OutputDirectory, NULL);
    return true;
}
