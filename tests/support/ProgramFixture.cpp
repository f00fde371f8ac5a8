#include "support/ProgramFixture.h"

#include "app/Startup.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <shlobj.h>
#include <shlwapi.h>
#include <stdio.h>
#include <string.h>

RegistryRedirect::RegistryRedirect() : scratch_(NULL)
{
    char name[96];
    static unsigned counter = 0;
    snprintf(name, sizeof name, "Software\\MorvaneTests\\r%lu_%u_%u", (unsigned long)GetCurrentProcessId(),
             GetTickCount(), ++counter);
    name_ = name;
    RegCreateKeyA(HKEY_CURRENT_USER, name, &scratch_);
    RegOverridePredefKey(HKEY_CURRENT_USER, scratch_);
}

RegistryRedirect::~RegistryRedirect()
{
    RegOverridePredefKey(HKEY_CURRENT_USER, NULL);
    RegCloseKey(scratch_);
    SHDeleteKeyA(HKEY_CURRENT_USER, name_.c_str());
}

ProgramFixture::ProgramFixture()
{
    ResetAppState(folder.Path());
    registry.reset(new RegistryRedirect());
    boxes.reset(new MessageBoxAnswerer());
}

ProgramFixture::~ProgramFixture()
{
    if (AppState.MainWindow != NULL && IsWindow(AppState.MainWindow)) {
        if (AppState.TrayMenu != NULL)
            DestroyMenu(AppState.TrayMenu);
        Shell_NotifyIconA(NIM_DELETE, &AppState.TrayIconData);
        DestroyWindow(AppState.MainWindow);
    }
    QuitPosted();
    UnregisterClassA("MainWindow", GetModuleHandleA(NULL));
    boxes.reset();
    registry.reset();
    memset(&AppState, 0, sizeof AppState);
}

void ProgramFixture::Start()
{
    StartProgram(GetModuleHandleA(NULL));
    ASSERT_NE(AppState.MainWindow, (HWND)NULL);
}

void ProgramFixture::Command(int id, int notification)
{
    SendMessageA(AppState.MainWindow, WM_COMMAND, MAKEWPARAM(id, notification), 0);
}

void ProgramFixture::Pump()
{
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool ProgramFixture::QuitPosted()
{
    MSG message;
    while (PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE))
        quit = true;
    return quit;
}

void ProgramFixture::Drop(const std::vector<std::string> &paths)
{
    size_t chars = 1;
    for (const std::string &path : paths)
        chars += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars);
    DROPFILES *drop = (DROPFILES *)GlobalLock(memory);
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char *list = (char *)(drop + 1);
    for (const std::string &path : paths) {
        memcpy(list, path.c_str(), path.size() + 1);
        list += path.size() + 1;
    }
    *list = '\0';
    GlobalUnlock(memory);
    // The handler's DragFinish frees the memory.
    SendMessageA(AppState.MainWindow, WM_DROPFILES, (WPARAM)memory, 0);
}

HKEY ProgramFixture::OpenProgramKey()
{
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Drelwick\\Morvane", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return NULL;
    return key;
}

void ExpectTrayClickRestoresAt(int x, int y)
{
    SendMessageA(AppState.MainWindow, TrayNotify, 0, WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(AppState.MainWindow)) << "after a left click on the tray icon";
    EXPECT_FALSE(IsIconic(AppState.MainWindow)) << "after a left click on the tray icon";
    RECT rect;
    GetWindowRect(AppState.MainWindow, &rect);
    EXPECT_EQ(rect.left, x) << "after a left click on the tray icon";
    EXPECT_EQ(rect.top, y) << "after a left click on the tray icon";
}

void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

bool Checked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool Enabled(HWND control) { return IsWindowEnabled(control) != FALSE; }

bool Topmost() { return (GetWindowLongA(AppState.MainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

HICON ButtonIcon(HWND button) { return (HICON)SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0); }

std::string TipText(HWND tooltip, HWND button)
{
    char text[2048] = "";
    TOOLINFOA tool;
    memset(&tool, 0, sizeof tool);
    tool.cbSize = 44; // the size the program registers its tools with
    tool.hwnd = button;
    tool.uId = 0;
    tool.lpszText = text;
    SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, (LPARAM)&tool);
    return text;
}

std::string Title() { return WindowText(AppState.MainWindow); }
std::string NamePane() { return WindowText(AppState.StatusNamePane); }
std::string SizePane() { return WindowText(AppState.StatusSizePane); }
std::string PiecesPane() { return WindowText(AppState.StatusPiecesPane); }

UINT AutoSplitState() { return GetMenuState(AppState.TrayMenu, CmdAutoSplit, MF_BYCOMMAND); }

Bytes MakeFile(const std::string &path, size_t size, uint32_t seed)
{
    Bytes bytes = RandomBytes(size, seed);
    EXPECT_TRUE(WriteBytes(path, bytes)) << path;
    return bytes;
}
