#include "support/ProgramFixture.h"

#include "app/Startup.h"

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
