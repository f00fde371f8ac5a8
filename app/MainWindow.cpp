#include "MainWindow.h"

#include "core/UiHelpers.h"
#include "form/Form.h"
#include "resources/resource.h"
#include "settings/Settings.h"
#include "shell/Shell.h"
#include "join/Join.h"
#include "split/Split.h"

#include <shlobj.h>
#include <stddef.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0 // Windows 8.1 and later; the headers name it for 7 and later only
#endif

// The shell broadcasts this registered message when the taskbar is created again (Explorer restarted).
static UINT TaskbarCreatedMessage = 0;

// The three updates that follow every change of the file name.
static void RefreshForFileName(void)
{
    UpdateFileStatus();
    UpdateBatchOption();
    UpdateSubDirOption();
}

// A split runs inside the handler that started it, taking the window's messages as it goes (and
// its boxes run modal loops of their own). Until it has ended, the window acts on nothing but
// Cancel (the Split button meanwhile), Help, About and the ways to exit, which ask first; a drop
// is refused; Windows is told not to end the session. This guard, with the message pump below,
// is the one place that holds all of it.
enum SplitPhase { Idle, Splitting, Ending }; // Ending: the split is over, its late input still dropped
static SplitPhase SplitRunning = Idle;
static int Joining = 0;       // the run is a join
static int ExitRequested = 0; // exit once the window is idle again
static int ExitAsking = 0;    // the question whether to cancel and exit is on screen

// The tray's clicks made during a split, acted on once it has ended.
static LPARAM HeldTrayClicks[8];
static int HeldTrayCount = 0;

static int IsInput(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

static void RequestExit(void);

static void CancelSplit(void)
{
    if (SplitRunning == Splitting && AppState.RunCancelled == NotCancelled)
        AppState.RunCancelled = CancelAsked;
}

// The buttons that act during a split: Split, which reads Cancel meanwhile, Help, About and Exit.
static int ActsWhileSplitting(HWND control)
{
    return control != NULL && (control == AppState.SplitButton || control == AppState.HelpButton ||
                               control == AppState.AboutButton || control == AppState.ExitButton);
}

// Input that acts during a split; all other input is dropped. A button is pressed by the mouse
// (but not by the second click of a double-click, a message of its own, so that a double-click on
// Split never cancels the split it started) or by Space or Enter while it has the focus; Escape
// cancels from anywhere; Alt+F4 and the close box ask whether to exit.
static void ActOnInput(const MSG *message)
{
    UINT kind = message->message;
    if (kind == WM_KEYDOWN && message->wParam == VK_ESCAPE)
        CancelSplit();
    else if ((kind == WM_SYSKEYDOWN && message->wParam == VK_F4) ||
             (kind == WM_NCLBUTTONDOWN && message->hwnd == AppState.MainWindow && message->wParam == HTCLOSE))
        RequestExit();
    else if (!ActsWhileSplitting(message->hwnd))
        return;
    else if (kind == WM_KEYDOWN && message->wParam == VK_RETURN)
        SendMessageA(message->hwnd, BM_CLICK, 0, 0);
    else if (kind == WM_LBUTTONDOWN || kind == WM_LBUTTONUP || kind == WM_MOUSEMOVE ||
             ((kind == WM_KEYDOWN || kind == WM_KEYUP) && message->wParam == VK_SPACE))
        DispatchMessageA(message);
}

// The window's messages during a split. Messages that other programs send are answered inside
// PeekMessage; posted ones (paints, timers, a close) are dispatched. Keys and clicks, of every
// window, client area and frame, were meant for a window that acts on little: all but those that
// act (above) are dropped as they arrive, so that none answers a box that comes up later. The
// tray's notifications share their number with a double-click, but the shell posts them to the
// main window: its clicks are kept for later.
static void RetrieveMessagesWhileSplitting(void)
{
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) { // for the main loop, once the split is over
            PostQuitMessage((int)message.wParam);
            return;
        }
        if (message.hwnd == AppState.MainWindow && message.message == WM_TRAYNOTIFY) {
            if ((message.lParam == WM_LBUTTONUP || message.lParam == WM_RBUTTONUP) && HeldTrayCount < 8)
                HeldTrayClicks[HeldTrayCount++] = message.lParam;
            continue;
        }
        if (!IsInput(message.message))
            DispatchMessageA(&message);
        else if (SplitRunning == Splitting)
            ActOnInput(&message);
    }
}

// Asks Windows (Vista and later, where the call exists) to show why the session cannot end now.
static void SetShutdownReason(const wchar_t *reason)
{
    typedef BOOL(WINAPI * CreateReason)(HWND, LPCWSTR);
    typedef BOOL(WINAPI * DestroyReason)(HWND);
    HMODULE user = GetModuleHandleA("user32.dll");
    // Through a plain function pointer: the two calls have other types than GetProcAddress's.
    void (*create)(void) = (void (*)(void))GetProcAddress(user, "ShutdownBlockReasonCreate");
    void (*destroy)(void) = (void (*)(void))GetProcAddress(user, "ShutdownBlockReasonDestroy");
    if (reason != NULL && create != NULL)
        ((CreateReason)create)(AppState.MainWindow, reason);
    if (reason == NULL && destroy != NULL)
        ((DestroyReason)destroy)(AppState.MainWindow);
}

static void TakeTypedFolder(HWND window);
static void TakeFields(HWND window);

// The Split button splits the file, or joins the set of pieces it belongs to (it then reads Join).
static void RunSplit(void)
{
    HWND window = AppState.MainWindow;
    TakeTypedFolder(window);
    Joining = AppState.JoinSelected;
    SplitRunning = Splitting;
    SetShutdownReason(Joining ? L"Joining files" : L"Splitting a file");
    SetWindowTextA(AppState.SplitButton, "Cancel");
    EnableWindow(AppState.SplitButton, TRUE);
    SetBusyMessagePump(RetrieveMessagesWhileSplitting);
    int done = Joining ? RunJoinCommand() : RunSplitCommand();
    SplitRunning = Ending;
    RetrieveMessagesWhileSplitting();
    SetBusyMessagePump(NULL);
    if (!IsWindow(window))
        return; // the session has ended meanwhile, and the program with it
    SetShutdownReason(NULL);
    SplitRunning = Idle;
    TakeFields(window); // the button reads Split or Join again
    if (AppState.RunCancelled == CancelTaken)
        SetStatusText(Joining ? "join cancelled" : "split cancelled");
    else if (Joining && done)
        SetStatusText(JoinedStatus());
    for (int i = 0; i < HeldTrayCount; i++)
        PostMessageA(window, WM_TRAYNOTIFY, 0, HeldTrayClicks[i]);
    HeldTrayCount = 0;
    if (ExitRequested)
        ExitProgram(0);
}

// Exit, the close box, Alt+F4 and the tray's Exit. During a split they may have been meant for
// the window rather than the split: the user is asked, and Yes cancels the split, then exits once
// the window is idle, with its settings. Once the split is over, the exit just waits for that.
static void RequestExit(void)
{
    if (SplitRunning == Idle) {
        ExitProgram(0);
        return;
    }
    if (SplitRunning == Ending) {
        ExitRequested = 1;
        return;
    }
    if (ExitAsking)
        return;
    ExitAsking = 1;
    if (AskYesNo(Joining ? "A join is running. Cancel it and exit?" : "A split is running. Cancel it and exit?",
                 Joining ? "Join Running" : "Split Running", MB_ICONQUESTION | MB_DEFBUTTON2)) {
        CancelSplit();
        ExitRequested = 1;
    }
    ExitAsking = 0;
}

// Windows ends the session (after asking, or not). A running split is cancelled and taken away,
// then the settings of the idle window are saved and the tray icon goes, as at Exit: all before
// this returns, since Windows may end the process as soon as it does.
static void OnEndSession(HWND window)
{
    if (SplitRunning == Splitting) {
        AppState.RunCancelled = CancelTaken;
        UndoRun();
    }
    SetCurrentDirectoryA(AppState.CurrentDirectory);
    TakeFields(window);
    ExitProgram(0);
}

// The control that had the focus when the window was last deactivated (by a box, the About box,
// the tray or another program): activation gives it back, as a dialog does, or gives the focus to
// the file-name field the first time and when that control has been disabled meanwhile.
static HWND FocusOnReturn = NULL;

static void OnActivate(HWND window, WORD state)
{
    if (state == WA_INACTIVE) {
        FocusOnReturn = GetFocus();
        return;
    }
    if (IsIconic(window))
        return;
    if (!IsChild(window, FocusOnReturn) || !IsWindowEnabled(FocusOnReturn))
        FocusOnReturn = AppState.FileNameEdit;
    SetFocus(FocusOnReturn);
}

static void OnCreate(HWND window)
{
    AppState.Dpi = DpiOf(window);
    DragAcceptFiles(window, TRUE);
    SetUpTray(window);
    TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
}

// Makes SourcePath, a dropped or opened file, the selection, and its folder the current one.
// A folder that cannot be entered selects nothing, and says so: the bare name would otherwise be
// looked up in whatever folder is current. (A folder whose name holds characters outside the
// ANSI code page comes back from the platform's ANSI calls with '?' in it.) 1 when selected.
static int SelectSourcePath(HWND window)
{
    ParsePath(AppState.SourcePath);
    char folder[PathCapacity];
    snprintf(folder, sizeof folder, "%s%s", AppState.Drive, AppState.DirPart);
    if (!SetCurrentDirectoryA(folder)) {
        SetCurrentDirectoryA(AppState.CurrentDirectory); // the open dialog may have moved it
        SetWindowTextA(AppState.FileNameEdit, "");
        FormatMessageText("%s\n%s", "Could not open the folder", folder);
        ShowMessage(AppState.MessageText, "Error", MB_ICONERROR);
        return 0;
    }
    GetCurrentDirectoryA(sizeof AppState.CurrentDirectory, AppState.CurrentDirectory);
    snprintf(AppState.FileName, sizeof AppState.FileName, "%s%s", AppState.BaseName, AppState.Extension);
    SetWindowTextA(AppState.FileNameEdit, AppState.FileName);
    SetWindowTextA(window, AppState.SourcePath);
    UpdateWindow(window);
    RefreshForFileName();
    return 1;
}

// Takes a dropped or opened path, as the system has it in full (UTF-16), into SourcePath. Under the
// manifest's UTF-8 (Windows 10 1903 and later) every name converts whole. Where Windows ignores it,
// an ANSI program can open a file only by a name the ANSI code page holds: a name with other
// characters (Cyrillic on a Western system, say) is refused with the reason, and nothing changes.
// 1 when taken.
static int TakeWideName(const wchar_t *name)
{
    char ansi[PathCapacity] = "";
    BOOL lost = FALSE;
    // A code page of UTF-8 holds every name, and takes no question about lost characters.
    BOOL *asked = GetACP() == CP_UTF8 ? NULL : &lost;
    DWORD flags = GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    if (WideCharToMultiByte(CP_ACP, flags, name, -1, ansi, sizeof ansi, NULL, asked) > 0 && !lost) {
        CopyText(AppState.SourcePath, sizeof AppState.SourcePath, ansi);
        return 1;
    }
    FormatMessageText("%s\n%s\n%s", ansi,
                      "Morvane cannot use this name: it has characters outside the character set of Windows "
                      "for programs like Morvane.",
                      "Rename the file or its folder with only Latin letters, digits and common signs, "
                      "and choose it again.");
    ShowMessage(AppState.MessageText, "Error", MB_ICONERROR);
    return 0;
}

static void OnDrop(HWND window, HDROP drop)
{
    wchar_t name[PathCapacity] = L"";
    DragQueryFileW(drop, 0, name, PathCapacity);
    DragFinish(drop);
    if (!TakeWideName(name) || !SelectSourcePath(window))
        return;
    if (IsWindowEnabled(AppState.SplitButton) && AutoSplitChecked())
        RunSplit();
}

// Explorer starts the program with a file's path on its command line: a file dropped on its icon
// or a shortcut, sent to it (Send To), opened with it. The command line is read as the system
// has it (UTF-16), so that the name arrives whole, and the file is taken as a drop is. What a drop
// cannot bring is told in a box: nothing of that name, a folder, a switch, several files.

// The command line after the program's name (quoted or not) and the blanks that follow it.
static const wchar_t *AfterProgramName(const wchar_t *line)
{
    if (*line == L'"') {
        line = wcschr(line + 1, L'"');
        line = line != NULL ? line + 1 : L"";
    }
    while (*line != L'\0' && *line != L' ' && *line != L'\t')
        line++;
    while (*line == L' ' || *line == L'\t')
        line++;
    return line;
}

// A name for a box, in the ANSI code page (a character it lacks shows as '?').
static const char *NameForBox(const wchar_t *name, char *text, int size)
{
    if (WideCharToMultiByte(CP_ACP, 0, name, -1, text, size, NULL, NULL) == 0)
        text[size - 1] = '\0';
    return text;
}

// Whether a name on the command line, relative to the working folder, is that of a file there.
static int NamesFile(const wchar_t *name)
{
    DWORD attributes = GetFileAttributesW(name);
    return name[0] != L'\0' && attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

static void TakeCommandLineFile(HWND window, const wchar_t *name, int files)
{
    // A name relative to the start folder is made whole; a short (8.3) name becomes the long one,
    // which the title and the pieces are to show.
    wchar_t path[PathCapacity] = L"";
    DWORD length = GetFullPathNameW(name, PathCapacity, path, NULL);
    if (length == 0 || length >= PathCapacity)
        lstrcpynW(path, name, PathCapacity);
    wchar_t longPath[PathCapacity] = L"";
    length = GetLongPathNameW(path, longPath, PathCapacity);
    if (length > 0 && length < PathCapacity)
        lstrcpynW(path, longPath, PathCapacity);
    char shown[PathCapacity] = "";
    // Windows reserves CON, NUL, COM1, LPT1, AUX, PRN ... in every folder, and makes \\.\CON of them.
    if (wcsncmp(path, L"\\\\.\\", 4) == 0) {
        FormatMessageText("%s\n%s", NameForBox(name, shown, sizeof shown),
                          "is a device, not a file. Morvane splits a file: drop or send one.");
        ShowMessage(AppState.MessageText, "Error", MB_ICONERROR);
        return;
    }
    DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        FormatMessageText("%s\n%s", "Could not find the file", NameForBox(path, shown, sizeof shown));
        ShowMessage(AppState.MessageText, "Error", MB_ICONERROR);
        return;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        FormatMessageText("%s\n%s", NameForBox(path, shown, sizeof shown),
                          "is a folder. Morvane splits a file: drop or send one of the files in it.");
        ShowMessage(AppState.MessageText, "Error", MB_ICONERROR);
        return;
    }
    if (!TakeWideName(path) || !SelectSourcePath(window))
        return;
    if (files > 1) {
        FormatMessageText("%s %i %s\n%s", "Morvane splits one file at a time. Of the", files,
                          "files it was given, it took the first:", AppState.SourcePath);
        ShowMessage(AppState.MessageText, "Notice", MB_ICONWARNING);
    }
    if (IsWindowEnabled(AppState.SplitButton) && AutoSplitChecked())
        RunSplit();
}

void OpenCommandLineFile(void)
{
    int count = 0;
    wchar_t **arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == NULL || count < 2 || AppState.MainWindow == NULL) { // no argument: nothing changes
        LocalFree(arguments);
        return;
    }
    SetCurrentDirectoryA(AppState.StartDirectory); // where a relative name was meant
    // A path with spaces and without quotes (an Open with command without them) arrives as several
    // arguments: the whole rest of the line is taken when it names a file.
    wchar_t whole[PathCapacity] = L"";
    const wchar_t *rest = AfterProgramName(GetCommandLineW());
    size_t length = wcslen(rest);
    while (length > 0 && (rest[length - 1] == L' ' || rest[length - 1] == L'\t'))
        length--;
    if (length < PathCapacity)
        lstrcpynW(whole, rest, (int)length + 1);
    const wchar_t *file = NULL, *option = NULL;
    int files = 0;
    if (wcschr(whole, L'"') == NULL && NamesFile(whole)) {
        file = whole;
        files = 1;
    }
    for (int i = 1; i < count && file != whole; i++) {
        if ((arguments[i][0] == L'/' || arguments[i][0] == L'-') && !NamesFile(arguments[i]))
            option = option != NULL ? option : arguments[i];
        else if (arguments[i][0] != L'\0' && files++ == 0)
            file = arguments[i];
    }
    if (option != NULL) {
        char shown[PathCapacity] = "";
        FormatMessageText("%s\n%s", NameForBox(option, shown, sizeof shown),
                          "is not a file. Morvane knows no switches: it is started with the file to split, "
                          "or with none.");
        ShowMessage(AppState.MessageText, "Notice", MB_ICONWARNING);
    }
    if (file != NULL)
        TakeCommandLineFile(AppState.MainWindow, file, files);
    SetCurrentDirectoryA(AppState.CurrentDirectory);
    LocalFree(arguments);
}

// A typed name with a folder of its own (a path copied from Explorer's address bar) is taken as
// that file, as if it had been dropped: its folder becomes the current one, where the pieces go
// and which the log names. Not while the user types: when the field loses the focus, and before
// a split. A name that matches no file (or a folder) stays as typed.
static void TakeTypedFolder(HWND window)
{
    DWORD attributes = GetFileAttributesA(AppState.FileName);
    if ((AppState.Drive[0] == '\0' && AppState.DirPart[0] == '\0') || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    DWORD length = GetFullPathNameA(AppState.FileName, sizeof AppState.SourcePath, AppState.SourcePath, NULL);
    if (length > 0 && length < sizeof AppState.SourcePath)
        SelectSourcePath(window);
}

static void OnFileNameField(HWND window, WORD notification)
{
    GetWindowTextA(AppState.FileNameEdit, AppState.FileName, sizeof AppState.FileName);
    TrimAsWindowsDoes(AppState.FileName);
    ParsePath(AppState.FileName);
    RefreshForFileName();
    if (notification == EN_KILLFOCUS)
        TakeTypedFolder(window);
}

static void OnOutputPathField(void)
{
    GetWindowTextA(AppState.OutputPathEdit, AppState.OutputDirectory, sizeof AppState.OutputDirectory);
    UpdateSubDirOption();
}

// What the fields and boxes show, taken as the window's selection, size and options. Another
// program may change them during a split, whose commands are not acted on then: the split works
// with what they said when it started. Once it is over, this makes the window follow them again.
static void TakeFields(HWND window)
{
    OnFileNameField(window, 0);
    ApplySizeRule();
    ApplyUseOutputRule();
    OnOutputPathField();
}

#ifndef _WIN64
// OPENFILENAME_SIZE_VERSION_400W: 76 bytes here (the SDK's macro is no constant).
static_assert(offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(LPCWSTR) == 76, "the first open-file record");
#endif

// The dialog answers with the name in full (UTF-16), so that a name the program cannot use is
// told apart from one it can.
static void OnOpenFile(HWND window)
{
    wchar_t name[PathCapacity] = L""; // the last dropped or opened path is offered again
    MultiByteToWideChar(CP_ACP, 0, AppState.SourcePath, -1, name, PathCapacity);
    OPENFILENAMEW dialog;
    memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400W; // the record's first version
    dialog.hwndOwner = window;
    dialog.lpstrFilter = L"All Files (*.*)\0*.*\0\0";
    dialog.lpstrFile = name;
    dialog.nMaxFile = PathCapacity;
    dialog.lpstrTitle = L"Open file to split";
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameW(&dialog) && TakeWideName(name))
        SelectSourcePath(window);
}

static void OnBrowse(HWND window)
{
    // The picker may return up to MAX_PATH characters, more than the output path holds: such a
    // folder is refused rather than cut, which would name another folder. Its path is asked for
    // in full (UTF-16): the ANSI call hands back no more than MAX_PATH bytes, fewer characters in
    // UTF-8.
    char chosen[PathCapacity] = "";
    wchar_t path[MAX_PATH] = L"";
    BROWSEINFOA browse;
    memset(&browse, 0, sizeof browse);
    browse.hwndOwner = window;
    browse.pidlRoot = NULL;
    browse.pszDisplayName = chosen;
    browse.lpszTitle = "Output Directory";
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST item = SHBrowseForFolderA(&browse);
    if (item == NULL)
        return;
    int found = SHGetPathFromIDListW(item, path) &&
                WideCharToMultiByte(CP_ACP, 0, path, -1, chosen, sizeof chosen, NULL, NULL) > 0;
    CoTaskMemFree(item);
    if (found && WideLength(chosen) > FolderLimit) {
        FormatMessageText("%s\n%s\n%s", chosen, "is too long for the output path",
                          "Choose a folder whose path has at most 256 characters");
        ShowMessage(AppState.MessageText, "Error", MB_ICONERROR);
        return;
    }
    if (found)
        CopyText(AppState.OutputDirectory, sizeof AppState.OutputDirectory, chosen);
    SetWindowTextA(AppState.OutputPathEdit, AppState.OutputDirectory);
    UpdateSubDirOption();
}

static void OnAutoSplit(void)
{
    if (!AutoSplitChecked())
        CheckMenuItem(AppState.TrayMenu, CmdAutoSplit, MF_BYCOMMAND | MF_CHECKED);
    else
        CheckMenuItem(AppState.TrayMenu, CmdAutoSplit, MF_BYCOMMAND | MF_UNCHECKED);
}

// F12: the settings are gone once Uninstall says so, and the program ends without saving them.
static void OnUninstall(void)
{
    if (Uninstall())
        ExitProgram(1);
}

// Commands are told apart by the low 16 bits of wParam alone: a field's command runs for every
// notification the field sends (the file-name field's also hears which: losing the focus).
static void OnCommand(HWND window, WORD id, WORD notification)
{
    if (SplitRunning != Idle && id != CmdHelp && id != CmdAbout) {
        if (id == CmdExit)
            RequestExit();
        if (id == CmdSplit)
            CancelSplit();
        return;
    }
    switch (id) {
    case CmdFileName: OnFileNameField(window, notification); break;
    case CmdSplitSize: ApplySizeRule(); break;
    case CmdSizePreset: ApplyPresetRule(); break;
    case CmdUseOutput: ToggleUseOutput(); break;
    case CmdOpenFile: OnOpenFile(window); break;
    case CmdSplit: RunSplit(); break;
    case CmdHelp: ShowHelp(); break;
    case CmdAbout: ShowAboutBox(); break;
    case CmdExit: RequestExit(); break;
    case CmdOnTop: SetOnTop(AppState.OnTop); break;
    case CmdOutputPath: OnOutputPathField(); break;
    case CmdBrowse: OnBrowse(window); break;
    case CmdUninstall: OnUninstall(); break;
    case CmdAutoSplit: OnAutoSplit(); break;
    case CmdOption: break; // the boxes hold their state, read when it is needed
    default: break;
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_ACTIVATE:
        OnActivate(window, LOWORD(wParam));
        return 0;
    case DM_GETDEFID:
        // Enter presses Split from any control but another push button (asked by the dialog keys).
        return MAKELRESULT(CmdSplit, DC_HASDEFID);
    case WM_SIZE:
        // A minimised window lives on as the tray icon only; without the icon it stays on the
        // taskbar, so that it can always be brought back.
        if (wParam == SIZE_MINIMIZED && TrayIconShown())
            ShowWindow(window, SW_HIDE);
        return 0;
    case WM_DPICHANGED:
        // Both halves of wParam hold the new DPI; lParam the rectangle Windows suggests for it.
        LayOutForDpi(LOWORD(wParam), (const RECT *)lParam);
        return 0;
    case WM_CLOSE:
        RequestExit();
        return 0;
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_TRAYNOTIFY:
        HandleTrayNotify(lParam);
        return 0;
    case WM_QUERYENDSESSION:
        return SplitRunning != Idle ? FALSE : TRUE; // a split stopped half-way leaves an incomplete piece
    case WM_ENDSESSION:
        if (wParam)
            OnEndSession(window);
        return 0;
    case WM_DROPFILES:
        if (SplitRunning != Idle)
            DragFinish((HDROP)wParam);
        else
            OnDrop(window, (HDROP)wParam);
        return 0;
    default:
        if (TaskbarCreatedMessage != 0 && message == TaskbarCreatedMessage) {
            AddTrayIcon();
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void ExitProgram(int16_t skipSave)
{
    if (skipSave == 0)
        SaveSettings();
    DestroyMenu(AppState.TrayMenu);
    RemoveTrayIcon();
    DestroyWindow(AppState.MainWindow);
    PostQuitMessage(0);
}
