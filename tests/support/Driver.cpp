#include "support/Driver.h"

#include <set>
#include <vector>

// The build folder as Wine sees it; CMake gives it.
static const char ProgramPath[] = MORVANE_BUILD_DIR "/Morvane.exe";

static HWND FindProcessWindow(DWORD pid, const char *className, const char *caption)
{
    for (HWND window = FindWindowExA(NULL, NULL, className, caption); window != NULL;
         window = FindWindowExA(NULL, window, className, caption)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == pid && IsWindowVisible(window))
            return window;
    }
    return NULL;
}

RunningProgram::RunningProgram(const std::string &folder) : process_(), window_(NULL)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::vector<char> line(ProgramPath, ProgramPath + sizeof ProgramPath);
    if (!CreateProcessA(ProgramPath, line.data(), NULL, NULL, FALSE, 0, NULL, folder.c_str(), &startup, &process_))
        return;
    WaitForInputIdle(process_.hProcess, 10000);
    window_ = WaitForWindow("MainWindow");
}

RunningProgram::~RunningProgram()
{
    if (process_.hProcess == NULL)
        return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND RunningProgram::ChildByText(const std::string &text) const
{
    for (HWND child = GetWindow(window_, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT))
        if (Text(child) == text)
            return child;
    return NULL;
}

std::string RunningProgram::Text(HWND window) const
{
    char text[1024] = "";
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, NULL);
    return text;
}

void RunningProgram::SetText(HWND field, const std::string &text)
{
    SendMessageTimeoutA(field, WM_SETTEXT, 0, (LPARAM)text.c_str(), SMTO_ABORTIFHUNG, 10000, NULL);
}

bool RunningProgram::ClickAndWait(HWND button)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, 60000, &result) != 0;
}

HWND RunningProgram::WaitForWindow(const char *className, const char *caption)
{
    for (int i = 0; i < 400; i++) {
        HWND found = FindProcessWindow(process_.dwProcessId, className, caption);
        if (found != NULL)
            return found;
        Sleep(25);
    }
    return NULL;
}

void RunningProgram::Answer(HWND box, int button)
{
    PostMessageA(box, WM_COMMAND, button, 0);
    for (int i = 0; i < 400 && IsWindow(box); i++)
        Sleep(25);
}

int RunningProgram::WaitExit()
{
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(process_.hProcess, 20000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process_.hProcess, &code);
    return (int)code;
}

std::string BoxText(const RunningProgram &program, HWND box) { return program.Text(GetDlgItem(box, 0xFFFF)); }

std::vector<uint32_t> Pixels(HWND window, int *width)
{
    RECT area;
    GetWindowRect(window, &area);
    *width = area.right - area.left;
    int height = area.bottom - area.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = *width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    uint32_t *bits = NULL;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, (void **)&bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, *width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    std::vector<uint32_t> pixels;
    for (int i = 0; bits != NULL && i < *width * height; i++)
        pixels.push_back(bits[i] & 0xFFFFFF);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return pixels;
}

int ColoursOnceDrawn(HWND window, int fewest)
{
    int width = 0;
    size_t colours = 0;
    for (int i = 0; i < 100 && colours <= (size_t)fewest; i++) {
        std::vector<uint32_t> pixels = Pixels(window, &width);
        colours = std::set<uint32_t>(pixels.begin(), pixels.end()).size();
        if (colours <= (size_t)fewest)
            Sleep(50);
    }
    return (int)colours;
}
