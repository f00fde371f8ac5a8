#include "support/Support.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <stdio.h>

#include <algorithm>
#include <fstream>

Bytes RandomBytes(size_t size, uint32_t seed)
{
    Bytes bytes(size, '\0');
    for (char &b : bytes)
        seed = seed * 1103515245u + 12345u, b = (char)(seed >> 16);
    return bytes;
}

bool WriteBytes(const std::string &path, const Bytes &bytes)
{
    std::ofstream file(path, std::ios::binary);
    return file.write(bytes.data(), bytes.size()), file.close(), !file.fail();
}

Bytes ReadBytes(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// UTF-8 to UTF-16, whatever the code page of the process.
static std::wstring Wide(const std::string &text)
{
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(std::max(MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], (int)wide.size()), 1) - 1);
    return wide;
}

static void List(const std::string &folder, const std::string &prefix, std::vector<std::string> *names)
{
    WIN32_FIND_DATAW found; // by the names' own UTF-16, written out in UTF-8
    HANDLE search = FindFirstFileW(Wide(folder + "\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        char name[4 * MAX_PATH] = "";
        WideCharToMultiByte(CP_UTF8, 0, found.cFileName, -1, name, sizeof name, NULL, NULL);
        if (!strcmp(name, ".") || !strcmp(name, ".."))
            continue;
        bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        names->push_back(prefix + name + (isFolder ? "/" : ""));
        if (isFolder)
            List(folder + "\\" + name, prefix + name + "/", names);
    }
    FindClose(search);
}

TempFolder::TempFolder(const std::string &base)
{
    static unsigned counter = 0;
    char name[64];
    snprintf(name, sizeof name, "\\morvane-%lu-%lu-%u", GetCurrentProcessId(), GetTickCount(), ++counter);
    path_ = base + name;
    if (!CreateDirectoryA(path_.c_str(), NULL))
        ADD_FAILURE() << "cannot create " << path_;
}

TempFolder::~TempFolder()
{
    // Out of it first: Wine holds a process's current folder open, and an open folder stays. By wide
    // names, deepest first (a piece's path may be longer than MAX_PATH); the folder itself once
    // every process the test started (a help viewer) has left it.
    SetCurrentDirectoryA(path_.substr(0, path_.rfind('\\')).c_str());
    std::vector<std::string> names;
    List(path_, "", &names);
    for (auto name = names.rbegin(); name != names.rend(); ++name)
        name->back() == '/' ? RemoveDirectoryW(Wide(path_ + "\\" + *name).c_str()) : DeleteFileW(Wide(path_ + "\\" + *name).c_str());
    Await([&] { return RemoveDirectoryW(Wide(path_).c_str()) || GetFileAttributesW(Wide(path_).c_str()) == INVALID_FILE_ATTRIBUTES; });
}

void TypeKeys(const std::string &text)
{
    std::wstring wide = Wide(text);
    for (size_t i = 0; i < 2 * wide.size(); i++) {
        INPUT key = {};
        key.type = INPUT_KEYBOARD, key.ki.wScan = wide[i / 2], key.ki.dwFlags = KEYEVENTF_UNICODE | (i % 2 ? KEYEVENTF_KEYUP : 0);
        SendInput(1, &key, sizeof key);
    }
}

std::string Listing(const std::string &folder)
{
    std::vector<std::string> names;
    List(folder, "", &names);
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string &name : names)
        joined += (joined.empty() ? "" : " ") + name;
    return joined;
}

// The answerer of this thread's boxes (each test is a process of its own).
static BoxAnswerer *Answerer = nullptr;
static int FocusedFirst = 0; // a box's default button, which takes the focus before the box is activated

static LRESULT CALLBACK BoxHook(int code, WPARAM wParam, LPARAM lParam)
{
    char className[16] = "";
    FocusedFirst = code == HCBT_SETFOCUS ? GetDlgCtrlID((HWND)wParam) : FocusedFirst;
    if (code == HCBT_ACTIVATE && GetClassNameA((HWND)wParam, className, sizeof className) &&
        strcmp(className, "#32770") == 0 && GetDlgItem((HWND)wParam, 0xFFFF) != NULL)
        Answerer->OnBox((HWND)wParam);
    return CallNextHookEx(NULL, code, wParam, lParam);
}

BoxAnswerer::BoxAnswerer()
{
    Answerer = this;
    hook_ = SetWindowsHookExA(WH_CBT, BoxHook, NULL, GetCurrentThreadId());
}

BoxAnswerer::~BoxAnswerer()
{
    UnhookWindowsHookEx(hook_);
    Answerer = nullptr;
    EXPECT_TRUE(script_.empty()) << script_.size() << " scripted answer(s) left: an expected box never came";
}

void BoxAnswerer::Answer(int button, std::function<void()> action) { script_.push_back({button, action}); }

// Wine's icon control has another id than Windows': the icon is found by its handle.
static UINT IconOf(HWND box)
{
    static const struct {
        LPCSTR id;
        UINT style;
    } icons[] = {{IDI_HAND, MB_ICONERROR},
                 {IDI_EXCLAMATION, MB_ICONWARNING},
                 {IDI_QUESTION, MB_ICONQUESTION},
                 {IDI_ASTERISK, MB_ICONINFORMATION}};
    for (HWND child = GetWindow(box, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT))
        for (const auto &icon : icons)
            if ((HICON)SendMessageA(child, STM_GETICON, 0, 0) == LoadIconA(NULL, icon.id))
                return icon.style;
    return 0;
}

void BoxAnswerer::OnBox(HWND box)
{
    for (HWND old : answered_)
        if (old == box && IsWindow(box))
            return;
    answered_.push_back(box);
    BoxSeen seen = {Text(GetDlgItem(box, 0xFFFF)), Text(box), IconOf(box),
                    GetDlgItem(box, IDYES) == NULL ? (UINT)MB_OK : FocusedFirst == IDNO ? (UINT)(MB_YESNO | MB_DEFBUTTON2) : (UINT)MB_YESNO};
    seen_.push_back(seen);
    int answer = seen.buttons == MB_OK ? IDOK : IDNO;
    if (script_.empty()) {
        ADD_FAILURE() << "unexpected box \"" << seen.text << "\" (" << seen.caption << ")";
    } else {
        answer = script_.front().first;
        if (script_.front().second)
            script_.front().second();
        script_.pop_front();
    }
    PostMessageA(box, WM_COMMAND, answer, 0);
}

::testing::AssertionResult IsBox(const BoxSeen &box, const std::string &text, const std::string &caption, UINT icon,
                                 UINT buttons)
{
    if (box.text == text && box.caption == caption && box.icon == icon && box.buttons == buttons)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the box was \"" << box.text << "\" (" << box.caption << ", icon "
                                         << box.icon << ", buttons " << box.buttons << ")";
}

ProgramTest::ProgramTest()
{
    memset(&AppState, 0, sizeof AppState);
    SetCurrentDirectoryA(folder.Path().c_str());
    char name[80];
    snprintf(name, sizeof name, "Software\\MorvaneTests\\%lu-%lu", GetCurrentProcessId(), GetTickCount());
    scratchName_ = name;
    RegCreateKeyA(HKEY_CURRENT_USER, name, &scratch_);
    RedirectRegistry();
}

ProgramTest::~ProgramTest()
{
    if (IsWindow(AppState.MainWindow)) {
        Shell_NotifyIconA(NIM_DELETE, &AppState.TrayIconData);
        DestroyWindow(AppState.MainWindow);
    }
    RegOverridePredefKey(HKEY_CURRENT_USER, NULL);
    RegCloseKey(scratch_);
    SHDeleteKeyA(HKEY_CURRENT_USER, scratchName_.c_str());
}

void ProgramTest::Drop(const std::string &path)
{
    std::wstring wide = Wide(path);
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (wide.size() + 2) * sizeof(wchar_t));
    DROPFILES *drop = (DROPFILES *)GlobalLock(memory);
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(drop + 1, wide.c_str(), wide.size() * sizeof(wchar_t)); // the list ends in two NULs (GHND)
    GlobalUnlock(memory);
    SendMessageA(AppState.MainWindow, WM_DROPFILES, (WPARAM)memory, 0); // the handler frees it
}

bool ProgramTest::QuitPosted() { MSG quit; return PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE; }

void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

bool Checked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::string Text(HWND window)
{
    char text[1024] = "";
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, NULL);
    return text;
}

std::string TipText(HWND tooltip, HWND window, UINT_PTR id)
{
    wchar_t text[1024] = L""; // the ANSI message hands over no more than 80 bytes
    TTTOOLINFOW tool = {TTTOOLINFOW_V2_SIZE, 0, window, id, {0, 0, 0, 0}, NULL, text, 0, NULL};
    SendMessageW(tooltip, TTM_GETTEXTW, sizeof text / sizeof *text, (LPARAM)&tool);
    char narrow[4 * sizeof text / sizeof *text] = "";
    WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow, sizeof narrow, NULL, NULL);
    return narrow;
}

Bytes ProgramValue(const char *name, DWORD *type)
{
    Bytes value(1024, '\0');
    DWORD size = (DWORD)value.size();
    HKEY key = NULL;
    RegOpenKeyExA(HKEY_CURRENT_USER, ProgramKey, 0, KEY_READ, &key);
    if (RegQueryValueExA(key, name, NULL, type, (BYTE *)&value[0], &size) != ERROR_SUCCESS)
        size = 0;
    RegCloseKey(key);
    value.resize(size);
    return value;
}

void Store(const char *name, DWORD type, const Bytes &data)
{
    HKEY key = NULL;
    RegCreateKeyA(HKEY_CURRENT_USER, ProgramKey, &key);
    RegSetValueExA(key, name, 0, type, (const BYTE *)data.data(), (DWORD)data.size());
    RegCloseKey(key);
}

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

RunningProgram::RunningProgram(const std::string &folder, const std::string &arguments, const std::string &program)
    : process_(), window_(NULL)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string line = "\"" + program + "\" " + arguments; // CreateProcess may write into it
    if (CreateProcessA(program.c_str(), &line[0], NULL, NULL, FALSE, 0, NULL, folder.c_str(), &startup, &process_))
        window_ = WaitForWindow("MainWindow");
    Await([&] { return window_ == NULL || Focus() != NULL; }); // active too: keys reach it
}

RunningProgram::~RunningProgram()
{
    if (process_.hProcess == NULL)
        return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) // and gone, so that its exe can be deleted
        TerminateProcess(process_.hProcess, 99), WaitForSingleObject(process_.hProcess, 10000);
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

void RunningProgram::SetText(HWND field, const std::string &text)
{
    SendMessageTimeoutA(field, WM_SETTEXT, 0, (LPARAM)text.c_str(), SMTO_ABORTIFHUNG, 10000, NULL);
}

bool RunningProgram::ClickAndWait(HWND button)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, 60000, &result) != 0;
}

HWND RunningProgram::Focus() const
{
    GUITHREADINFO info = {sizeof info, 0, NULL, NULL, NULL, NULL, NULL, NULL, {0, 0, 0, 0}};
    GetGUIThreadInfo(process_.dwThreadId, &info);
    return info.hwndFocus;
}

HWND RunningProgram::WaitForWindow(const char *className, const char *caption)
{
    HWND found = NULL;
    Await([&] { return (found = FindProcessWindow(process_.dwProcessId, className, caption)) != NULL; });
    return found;
}

void RunningProgram::Answer(HWND box, int button)
{
    if (box != NULL && PostMessageA(box, WM_COMMAND, button, 0))
        Await([&] { return !IsWindow(box) && IsChild(window_, Focus()); });
}

int RunningProgram::WaitExit()
{
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(process_.hProcess, 20000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process_.hProcess, &code);
    return (int)code;
}

