#include "RunningProgram.h"

#include <stdio.h>
#include <string.h>

#include <set>

std::string ProgramPath()
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof self);
    std::string path = self;
    path = path.substr(0, path.find_last_of('\\')); // build\tests
    path = path.substr(0, path.find_last_of('\\')); // build
    return path + "\\Morvane.exe";
}

// The first top-level window of a process with the class, and with the caption when one is given
// (NULL: any), and visible when asked.
struct WindowQuery {
    DWORD pid;
    const char *className;
    const char *caption;
    bool visibleOnly;
    HWND found;
};

static BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam)
{
    WindowQuery *query = (WindowQuery *)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (pid != query->pid || strcmp(className, query->className) != 0)
        return TRUE;
    if (query->visibleOnly && !IsWindowVisible(window))
        return TRUE;
    if (query->caption != NULL) {
        char caption[256] = "";
        GetWindowTextA(window, caption, sizeof caption);
        if (strcmp(query->caption, caption) != 0)
            return TRUE;
    }
    query->found = window;
    return FALSE;
}

static HWND FindProcessWindow(DWORD pid, const char *className, const char *caption = NULL, bool visibleOnly = false)
{
    WindowQuery query = {pid, className, caption, visibleOnly, NULL};
    EnumWindows(MatchWindow, (LPARAM)&query);
    return query.found;
}

RunningProgram::RunningProgram(const std::string &workingDirectory, bool expectVisible, const std::string &programPath,
                               const std::string &arguments, int showCommand)
    : window_(NULL)
{
    memset(&process_, 0, sizeof process_);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    if (showCommand != -1) {
        startup.dwFlags |= STARTF_USESHOWWINDOW;
        startup.wShowWindow = (WORD)showCommand;
    }
    std::string line = "\"" + programPath + "\"";
    if (!arguments.empty())
        line += " " + arguments;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    if (!CreateProcessA(programPath.c_str(), buffer.data(), NULL, NULL, FALSE, 0, NULL, workingDirectory.c_str(),
                        &startup, &process_))
        return;
    WaitForInputIdle(process_.hProcess, 10000);
    for (int i = 0; i < 400; i++) {
        HWND window = FindProcessWindow(process_.dwProcessId, "MainWindow");
        if (window != NULL && (!expectVisible || IsWindowVisible(window))) {
            window_ = window;
            break;
        }
        Sleep(25);
    }
}

RunningProgram::~RunningProgram()
{
    if (process_.hProcess != NULL) {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
}

HWND RunningProgram::Control(int id) const { return GetDlgItem(window_, id); }

HWND RunningProgram::StaticChild(int index) const
{
    int seen = 0;
    for (HWND child = GetWindow(window_, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = "";
        GetClassNameA(child, className, sizeof className);
        if (_stricmp(className, "Static") == 0 && seen++ == index)
            return child;
    }
    return NULL;
}

std::string RunningProgram::Text(HWND control) const
{
    char text[1024] = "";
    SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, NULL);
    return text;
}

HWND RunningProgram::ChildByText(const std::string &text) const
{
    for (HWND child = GetWindow(window_, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT))
        if (Text(child) == text)
            return child;
    return NULL;
}

void RunningProgram::SetText(HWND control, const std::string &text)
{
    SendMessageTimeoutA(control, WM_SETTEXT, 0, (LPARAM)text.c_str(), SMTO_ABORTIFHUNG, 10000, NULL);
}

void RunningProgram::Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

bool RunningProgram::ClickAndWait(HWND button, unsigned timeoutMs)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

void RunningProgram::PostCommand(int id) { PostMessageA(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

int RunningProgram::Checked(HWND button) const
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    return (int)result;
}

RunningProgram::Box RunningProgram::WaitForBox(unsigned timeoutMs)
{
    Box box = {NULL, "", ""};
    for (unsigned waited = 0; waited < timeoutMs; waited += 25) {
        HWND found = FindProcessWindow(process_.dwProcessId, "#32770");
        if (found != NULL && IsWindowVisible(found) && GetDlgItem(found, 0xFFFF) != NULL) {
            box.window = found;
            char text[2048] = "";
            char caption[256] = "";
            GetWindowTextA(found, caption, sizeof caption);
            GetDlgItemTextA(found, 0xFFFF, text, sizeof text);
            box.caption = caption;
            box.text = text;
            return box;
        }
        Sleep(25);
    }
    return box;
}

HWND RunningProgram::WaitForWindow(const char *className, const std::string &caption, unsigned timeoutMs)
{
    const char *wanted = caption.empty() ? NULL : caption.c_str(); // an empty caption: any
    for (unsigned waited = 0; waited < timeoutMs; waited += 25) {
        HWND found = FindProcessWindow(process_.dwProcessId, className, wanted, true);
        if (found != NULL)
            return found;
        Sleep(25);
    }
    return NULL;
}

void RunningProgram::Answer(const Box &box, int button)
{
    PostMessageA(box.window, WM_COMMAND, button, 0);
    for (int i = 0; i < 400 && IsWindow(box.window); i++)
        Sleep(25);
}

bool RunningProgram::WaitIdle(unsigned timeoutMs)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

int RunningProgram::WaitExit(unsigned timeoutMs)
{
    if (process_.hProcess == NULL || WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return (int)code;
}

std::string RunAndCapture(const std::string &commandLine, int *exitCode)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE readEnd = NULL;
    HANDLE writeEnd = NULL;
    CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    std::string output;
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, TRUE, CREATE_NO_WINDOW, NULL, NULL, &startup, &process)) {
        CloseHandle(readEnd);
        CloseHandle(writeEnd);
        return output;
    }
    CloseHandle(writeEnd);
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, chunk, sizeof chunk, &got, NULL) && got > 0)
        output.append(chunk, got);
    CloseHandle(readEnd);
    WaitForSingleObject(process.hProcess, 20000);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    if (exitCode != nullptr)
        *exitCode = (int)code;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return output;
}

std::string ScreenshotFolder()
{
    std::string folder = ProgramPath();
    folder = folder.substr(0, folder.find_last_of('\\')) + "\\screenshots";
    CreateDirectoryA(folder.c_str(), NULL);
    return folder;
}

Shot TakeShot(const RECT &area)
{
    Shot shot;
    shot.width = area.right - area.left;
    shot.height = area.bottom - area.top;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = -shot.height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = NULL;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, shot.width, shot.height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const uint32_t *p = (const uint32_t *)bits;
    if (p != NULL)
        shot.pixels.assign(p, p + (size_t)shot.width * shot.height);
    else
        shot.width = shot.height = 0;
    for (uint32_t &pixel : shot.pixels)
        pixel &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return shot;
}

// Writes a 24-bit .bmp (rows bottom first, padded to four bytes).
bool SaveBitmap(const Shot &shot, const std::string &path)
{
    size_t row = ((size_t)shot.width * 3 + 3) / 4 * 4;
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER header;
    memset(&file, 0, sizeof file);
    memset(&header, 0, sizeof header);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = (DWORD)(file.bfOffBits + row * shot.height);
    header.biSize = sizeof header;
    header.biWidth = shot.width;
    header.biHeight = shot.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    std::vector<uint8_t> bytes(sizeof file + sizeof header);
    memcpy(bytes.data(), &file, sizeof file);
    memcpy(bytes.data() + sizeof file, &header, sizeof header);
    for (int y = shot.height - 1; y >= 0; y--) {
        for (int x = 0; x < shot.width; x++) {
            uint32_t pixel = shot.pixels[(size_t)y * shot.width + x];
            bytes.push_back((uint8_t)(pixel & 0xFF));
            bytes.push_back((uint8_t)((pixel >> 8) & 0xFF));
            bytes.push_back((uint8_t)((pixel >> 16) & 0xFF));
        }
        bytes.resize(bytes.size() + row - (size_t)shot.width * 3, 0);
    }
    FILE *out = fopen(path.c_str(), "wb");
    if (out == NULL)
        return false;
    bool written = fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return fclose(out) == 0 && written;
}

int SaveScreenshot(const std::string &path, const RECT &area)
{
    Shot shot = TakeShot(area);
    if (shot.pixels.empty() || !SaveBitmap(shot, path))
        return 0;
    std::set<uint32_t> colours(shot.pixels.begin(), shot.pixels.end());
    return (int)colours.size();
}

int SaveScreenshotOnceDrawn(const std::string &path, const RECT &area, int fewestColours, unsigned timeoutMs)
{
    DWORD start = GetTickCount();
    int colours = SaveScreenshot(path, area);
    while (colours <= fewestColours && GetTickCount() - start < timeoutMs) {
        Sleep(50);
        colours = SaveScreenshot(path, area);
    }
    return colours;
}
