// The platform's floor for a split, for run_bench.sh:
//   bare_bench SOURCE SIZE OUTDIR [--wait] [--progress]
// A bare Win32 loop doing the file work the program does: each piece NAME.001, NAME.002, ... is
// created in OUTDIR as a new file and filled in 65,535-byte transfers, one ReadFile and one
// WriteFile each. With --progress it also steps a visible progress bar on a visible window once
// per piece and, like the program during a split, handles no messages meanwhile: each step
// repaints the bar there and then. Prints "seconds S"; exits 1 when the loop failed, 2 on a
// usage or set-up error.
#include "BenchRun.h"

#include <commctrl.h>

enum { Transfer = 65535 }; // the program's copy buffer

// A visible window with a visible bar of the program's size, painted before the timing starts.
static HWND MakeProgressBar(void)
{
    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "BareBench";
    InitCommonControls();
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "BareBench", "bare_bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 280,
                                  80, NULL, NULL, NULL, NULL);
    HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, NULL, WS_CHILD | WS_VISIBLE, 5, 10, 255, 10, window, NULL, NULL,
                               NULL);
    UpdateWindow(window);
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    return bar;
}

// Creates and fills one piece; 0 on any failure (reported).
static int WritePiece(HANDLE source, const char *name, int32_t size, char *buffer)
{
    HANDLE piece = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    if (piece == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "bare_bench: cannot create %s\n", name);
        return 0;
    }
    int ok = 1;
    for (int32_t left = size; ok && left > 0;) {
        DWORD count = left < Transfer ? (DWORD)left : (DWORD)Transfer;
        DWORD done = 0;
        ok = ReadFile(source, buffer, count, &done, NULL) && done == count;
        // Wine passes short writes through as success: only every byte counts as written.
        ok = ok && WriteFile(piece, buffer, count, &done, NULL) && done == count;
        left -= (int32_t)count;
    }
    ok = CloseHandle(piece) && ok;
    if (!ok)
        fprintf(stderr, "bare_bench: cannot fill %s\n", name);
    return ok;
}

int main(int argc, char **argv)
{
    BenchArgs args;
    if (!ReadBenchArgs(argc, argv, &args, "--progress"))
        return 2;
    // The pieces are named as the program names them: the source's name without its extension.
    char source[MAX_PATH];
    char *namePart = NULL;
    if (GetFullPathNameA(args.source, sizeof source, source, &namePart) == 0 || namePart == NULL) {
        fprintf(stderr, "bare_bench: %s is not a file name\n", args.source);
        return 2;
    }
    char base[MAX_PATH];
    snprintf(base, sizeof base, "%s", namePart);
    char *dot = strrchr(base, '.');
    if (dot != NULL)
        *dot = '\0';
    char *buffer = (char *)malloc(Transfer);
    HWND bar = args.option ? MakeProgressBar() : NULL;
    if (buffer == NULL || (args.option && bar == NULL)) {
        fprintf(stderr, "bare_bench: no buffer or no window (is there a display?)\n");
        return 2;
    }
    if (!WaitForGo(&args) || !SetCurrentDirectoryA(args.outDir)) {
        fprintf(stderr, "bare_bench: no start signal, or cannot enter %s\n", args.outDir);
        return 2;
    }

    double start = Seconds();
    HANDLE file = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD size = GetFileSize(file, NULL);
    if (file == INVALID_HANDLE_VALUE || size == INVALID_FILE_SIZE || size > 0x7FFFFFFFu) {
        fprintf(stderr, "bare_bench: cannot read %s\n", source);
        return 1;
    }
    int pieces = (int)((size + (DWORD)args.pieceSize - 1) / (DWORD)args.pieceSize);
    if (bar != NULL) {
        SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, pieces));
        SendMessageA(bar, PBM_SETSTEP, 1, 0);
    }
    int32_t left = (int32_t)size;
    for (int k = 1; k <= pieces; k++) {
        char name[MAX_PATH + 8];
        snprintf(name, sizeof name, "%s.%03d", base, k);
        int32_t pieceSize = left < args.pieceSize ? left : args.pieceSize;
        if (!WritePiece(file, name, pieceSize, buffer))
            return 1;
        left -= pieceSize;
        if (bar != NULL)
            SendMessageA(bar, PBM_STEPIT, 0, 0);
    }
    CloseHandle(file);
    double seconds = Seconds() - start;

    free(buffer);
    PrintSeconds(seconds);
    return 0;
}
