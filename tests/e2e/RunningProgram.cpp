#include "RunningProgram.h"

#include <string.h>

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

RunningProgram::RunningProgram(const std::string &workingDirectory, bool expectVisible, const std::string &programPath)
    : window_(NULL)
{
    memset(&process_, 0, sizeof process_);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    std::string line = "\"" + programPath + "\"";
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
