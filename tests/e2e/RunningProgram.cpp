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

struct FindData {
    DWORD pid;
    const char *className;
    HWND found;
};

static BOOL CALLBACK FindTopLevel(HWND window, LPARAM lParam)
{
    FindData *data = (FindData *)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (pid == data->pid && strcmp(className, data->className) == 0) {
        data->found = window;
        return FALSE;
    }
    return TRUE;
}

static HWND FindProcessWindow(DWORD pid, const char *className)
{
    FindData data = {pid, className, NULL};
    EnumWindows(FindTopLevel, (LPARAM)&data);
    return data.found;
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

struct FindVisibleData {
    DWORD pid;
    const char *className;
    const std::string *caption;
    HWND found;
};

static BOOL CALLBACK FindVisible(HWND window, LPARAM lParam)
{
    FindVisibleData *data = (FindVisibleData *)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char className[64] = "";
    char caption[256] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    if (pid == data->pid && strcmp(className, data->className) == 0 && IsWindowVisible(window) &&
        (data->caption->empty() || *data->caption == caption)) {
        data->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND RunningProgram::WaitForWindow(const char *className, const std::string &caption, unsigned timeoutMs)
{
    for (unsigned waited = 0; waited < timeoutMs; waited += 25) {
        FindVisibleData data = {process_.dwProcessId, className, &caption, NULL};
        EnumWindows(FindVisible, (LPARAM)&data);
        if (data.found != NULL)
            return data.found;
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

int SaveScreenshot(const std::string &path, const RECT &area)
{
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return 0;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as a BMP file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = NULL;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();

    int stride = (width * 3 + 3) & ~3;
    std::set<unsigned> colours;
    const unsigned char *row = (const unsigned char *)bits;
    for (int y = 0; y < height; y++, row += stride)
        for (int x = 0; x < width; x++)
            colours.insert(row[x * 3] | (row[x * 3 + 1] << 8) | (row[x * 3 + 2] << 16));

    BITMAPFILEHEADER file;
    memset(&file, 0, sizeof file);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + stride * height;
    FILE *out = fopen(path.c_str(), "wb");
    bool written = out != NULL && fwrite(&file, sizeof file, 1, out) == 1 &&
                   fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                   fwrite(bits, stride * height, 1, out) == 1;
    if (out != NULL)
        written = fclose(out) == 0 && written;

    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return written ? (int)colours.size() : 0;
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
