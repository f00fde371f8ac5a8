// Times a Split click on the real Morvane.exe, driven from this process, for run_bench.sh:
//   click_bench SOURCE SIZE OUTDIR [--wait] [--first-start | --cancel | --checksums | --join]
// Starts the Morvane.exe of its own build in SOURCE's folder with no saved settings (a first
// start: Use Output, Batch File, Log File and Sub Directory checked, output folder = that folder),
// types SOURCE's name, SIZE and OUTDIR into their fields and clicks Batch File, Log File and Sub
// Directory off, or, with --first-start, leaves all four on as a first start has them (the pieces,
// the batch file and the log then go to OUTDIR\<name without extension>). Then it clicks Split
// and times from the click until the window is idle again: the split runs inside the click's
// handler, visible progress bar, batch file and log included. Meanwhile it sends the window a
// message every few milliseconds and times each answer. Then clicks Exit and removes the settings
// the program saved. Prints "seconds S" and "slowest_answer_ms M" (the longest the window took to
// answer one of those messages); exits 1 when the program showed a box or did not finish, 2 on a
// usage or set-up error. With --checksums it leaves Batch File checked: the split then writes the
// checksum file too, each piece's SHA-256 and the whole file's taken from the bytes as they pass,
// and the batch file. With --join SOURCE is the first piece of a set that Morvane split (its
// checksum file beside it): the window offers Join, and the click joins the set into OUTDIR (Use
// Output checked, as on a first start), every piece's SHA-256 and the whole file's checked. With --cancel it clicks Cancel during the split instead (half-way, once the
// middle piece is there; for a split of fewer than four pieces, half a second into the first) and
// times from that click until the window is idle again; it exits 1 when a piece is left.
#include "BenchRun.h"

#include <commctrl.h>

#include "resources/resource.h"

static const char SettingsKey[] = "Software\\Drelwick\\Morvane";

struct WindowQuery {
    DWORD pid;
    const char *className;
    HWND found;
};

static BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam)
{
    WindowQuery *query = (WindowQuery *)lParam;
    DWORD pid = 0;
    char className[64] = "";
    GetWindowThreadProcessId(window, &pid);
    GetClassNameA(window, className, sizeof className);
    if (pid != query->pid || strcmp(className, query->className) != 0 || !IsWindowVisible(window))
        return TRUE;
    query->found = window;
    return FALSE;
}

// The process's visible top-level window of that class: "MainWindow", or "#32770" for a box.
static HWND FindProcessWindow(DWORD pid, const char *className)
{
    WindowQuery query = {pid, className, NULL};
    EnumWindows(MatchWindow, (LPARAM)&query);
    return query.found;
}

// The check boxes share one id; they are told apart by their texts.
static HWND ChildByText(HWND window, const char *text)
{
    for (HWND child = GetWindow(window, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT)) {
        char seen[64] = "";
        GetWindowTextA(child, seen, sizeof seen);
        if (strcmp(seen, text) == 0)
            return child;
    }
    return NULL;
}

// WM_SETTEXT works across processes and notifies the program as typing does.
static void SetText(HWND control, const char *text)
{
    SendMessageTimeoutA(control, WM_SETTEXT, 0, (LPARAM)text, SMTO_ABORTIFHUNG, 10000, NULL);
}

static int Checked(HWND button)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 10000, &result);
    return result == BST_CHECKED;
}

// Clicks a check box off; such a click opens no box, so waiting for it is safe.
static void ClickOff(HWND button)
{
    if (Checked(button))
        SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 10000, NULL);
}

// Clicks Split and returns the seconds until the split is over, or -1 when a box came up before
// the first piece or the split did not end within ten minutes. The window answers messages while
// it splits, so an answer alone does not end the wait: the split has begun once its first piece
// is on disk (a join, once its bar has shown: firstPiece NULL), and is over once the progress bar
// is hidden again. Every few milliseconds a message is sent to the window, and the longest wait
// for its answer goes to *slowestMs.
static double TimeSplitClick(HWND window, DWORD pid, const char *firstPiece, double *slowestMs)
{
    HWND bar = FindWindowExA(window, NULL, PROGRESS_CLASSA, NULL);
    double start = Seconds();
    *slowestMs = 0;
    int begun = 0;
    PostMessageA(GetDlgItem(window, CmdSplit), BM_CLICK, 0, 0);
    for (;;) {
        begun = begun || (firstPiece != NULL ? GetFileAttributesA(firstPiece) != INVALID_FILE_ATTRIBUTES : IsWindowVisible(bar));
        double asked = Seconds();
        DWORD_PTR result = 0;
        int answered = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result) != 0;
        double now = Seconds();
        if ((now - asked) * 1000 > *slowestMs)
            *slowestMs = (now - asked) * 1000;
        if (begun && answered && !IsWindowVisible(bar))
            return now - start;
        if (FindProcessWindow(pid, "#32770") != NULL || now - start > 600)
            return -1;
        Sleep(5);
    }
}

// Clicks Split, then Cancel once cancelAt is there (and, for a split of few large pieces, half a
// second later, inside the piece); returns the seconds from the Cancel click until the window is
// idle again, or -1 when a box came up or the split did not begin, or end, within ten minutes.
static double TimeCancelClick(HWND window, DWORD pid, const char *cancelAt, int insidePiece)
{
    HWND bar = FindWindowExA(window, NULL, PROGRESS_CLASSA, NULL);
    HWND split = GetDlgItem(window, CmdSplit);
    double start = Seconds();
    PostMessageA(split, BM_CLICK, 0, 0);
    while (GetFileAttributesA(cancelAt) == INVALID_FILE_ATTRIBUTES) {
        if (FindProcessWindow(pid, "#32770") != NULL || Seconds() - start > 600)
            return -1;
        Sleep(1);
    }
    if (insidePiece)
        Sleep(500);
    double clicked = Seconds();
    PostMessageA(split, BM_CLICK, 0, 0); // the Split button reads Cancel meanwhile
    for (;;) {
        DWORD_PTR result = 0;
        int answered = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result) != 0;
        if (answered && !IsWindowVisible(bar))
            return Seconds() - clicked;
        if (FindProcessWindow(pid, "#32770") != NULL || Seconds() - clicked > 600)
            return -1;
        Sleep(1);
    }
}

// Ends the program with its Exit button (it saves its settings) and removes those settings.
static void EndProgram(PROCESS_INFORMATION *process, HWND window)
{
    if (window != NULL)
        PostMessageA(GetDlgItem(window, CmdExit), BM_CLICK, 0, 0);
    if (WaitForSingleObject(process->hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(process->hProcess, 1);
    CloseHandle(process->hThread);
    CloseHandle(process->hProcess);
    RegDeleteKeyA(HKEY_CURRENT_USER, SettingsKey);
}

int main(int argc, char **argv)
{
    BenchArgs args;
    if (!ReadBenchArgs(argc, argv, &args, "--first-start|--cancel|--checksums|--join"))
        return 2;
    char folder[MAX_PATH], name[MAX_PATH], outDir[MAX_PATH], firstPiece[3 * MAX_PATH], sizeText[16];
    char program[MAX_PATH];
    char *namePart = NULL;
    if (GetFullPathNameA(args.source, sizeof folder, folder, &namePart) == 0 || namePart == NULL) {
        fprintf(stderr, "click_bench: %s is not a file name\n", args.source);
        return 2;
    }
    snprintf(name, sizeof name, "%s", namePart);
    *namePart = '\0';
    GetFullPathNameA(args.outDir, sizeof outDir, outDir, NULL);
    // The pieces are named after the source's name without its extension.
    int stem = strrchr(name, '.') != NULL ? (int)(strrchr(name, '.') - name) : (int)strlen(name);
    if (args.option == 1)
        snprintf(firstPiece, sizeof firstPiece, "%s\\%.*s\\%.*s.001", outDir, stem, name, stem, name);
    else
        snprintf(firstPiece, sizeof firstPiece, "%s\\%.*s.001", outDir, stem, name);
    snprintf(sizeText, sizeof sizeText, "%d", (int)args.pieceSize);

    // This program lives in build\bench; Morvane.exe in build.
    GetModuleFileNameA(NULL, program, sizeof program);
    for (int i = 0; i < 2 && strrchr(program, '\\') != NULL; i++)
        *strrchr(program, '\\') = '\0';
    snprintf(program + strlen(program), sizeof program - strlen(program), "\\Morvane.exe");

    RegDeleteKeyA(HKEY_CURRENT_USER, SettingsKey);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(program, NULL, NULL, NULL, FALSE, 0, NULL, folder, &startup, &process)) {
        fprintf(stderr, "click_bench: cannot start %s\n", program);
        return 2;
    }
    HWND window = NULL;
    for (int i = 0; i < 2400 && window == NULL; i++) { // at most a minute: the disk may be busy writing back
        Sleep(25);
        window = FindProcessWindow(process.dwProcessId, "MainWindow");
    }
    if (window == NULL) {
        fprintf(stderr, "click_bench: the program's window did not appear (is there a display?)\n");
        EndProgram(&process, NULL);
        return 2;
    }
    HWND batch = ChildByText(window, "Batch File"), log = ChildByText(window, "Log File");
    HWND subDirectory = ChildByText(window, "Sub Directory"), useOutput = ChildByText(window, "Use Output");
    SetText(GetDlgItem(window, CmdSplitSize), sizeText);
    SetText(GetDlgItem(window, CmdOutputPath), outDir);
    SetText(GetDlgItem(window, CmdFileName), name);
    if (args.option != 1 && args.option != 4) {
        if (args.option != 3)
            ClickOff(batch);
        ClickOff(log);
        ClickOff(subDirectory);
    }
    int on = args.option == 1 || args.option == 4 ? 1 : 0;
    char label[16] = "";
    GetWindowTextA(GetDlgItem(window, CmdSplit), label, sizeof label);
    if (Checked(batch) != (on || args.option == 3) || Checked(log) != on || Checked(subDirectory) != on || !Checked(useOutput) ||
        !IsWindowEnabled(GetDlgItem(window, CmdSplit)) || strcmp(label, args.option == 4 ? "Join" : "Split") != 0) {
        fprintf(stderr, "click_bench: the window did not come up as a first start, or Split stayed disabled\n");
        EndProgram(&process, window);
        return 2;
    }

    if (!WaitForGo(&args)) {
        fprintf(stderr, "click_bench: no start signal\n");
        EndProgram(&process, window);
        return 2;
    }
    double slowestMs = 0;
    double seconds = 0;
    if (args.option == 2) {
        // Half-way: the middle piece of many; inside the first of few.
        WIN32_FILE_ATTRIBUTE_DATA data;
        GetFileAttributesExA(args.source, GetFileExInfoStandard, &data);
        long long size = ((long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
        long long pieces = (size + args.pieceSize - 1) / args.pieceSize;
        char cancelAt[3 * MAX_PATH];
        snprintf(cancelAt, sizeof cancelAt, "%s\\%.*s.%03d", outDir, stem, name, pieces < 4 ? 1 : (int)(pieces / 2 + 1));
        seconds = TimeCancelClick(window, process.dwProcessId, cancelAt, pieces < 4);
        if (seconds >= 0 && GetFileAttributesA(firstPiece) != INVALID_FILE_ATTRIBUTES) {
            fprintf(stderr, "click_bench: the cancelled split left %s\n", firstPiece);
            seconds = -1;
        }
    } else {
        seconds = TimeSplitClick(window, process.dwProcessId, args.option == 4 ? NULL : firstPiece, &slowestMs);
    }
    HWND box = FindProcessWindow(process.dwProcessId, "#32770");
    if (seconds < 0 || box != NULL) {
        char text[512] = "";
        if (box != NULL)
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        fprintf(stderr, "click_bench: the split did not end, or showed a box: %s\n", text);
        TerminateProcess(process.hProcess, 1);
        EndProgram(&process, NULL);
        return 1;
    }
    EndProgram(&process, window);
    PrintSeconds(seconds);
    printf("slowest_answer_ms %.1f\n", slowestMs);
    return 0;
}
