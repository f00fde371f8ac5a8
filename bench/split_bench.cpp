// Times the program's split engine in-process, for run_bench.sh:
//   split_bench SOURCE SIZE OUTDIR [--wait]
// SOURCE is cut at SIZE bytes into OUTDIR (existing and empty when the run starts) by SplitFile
// alone: no window, so no progress bar, no batch file, no log, no sub-folder, and neither Wine's
// start-up nor a click in the figure. Prints "seconds S" and exits 0; exits 1 when the split
// failed or showed a message box, 2 on a usage or set-up error.
#include "BenchRun.h"

#include "core/AppState.h"
#include "split/Split.h"

static int BoxesSeen = 0;

// A box means the run failed: it is reported and closed rather than waited on, since nobody
// answers it under Xvfb.
static LRESULT CALLBACK CloseBoxes(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = (HWND)wParam;
    char className[16] = "";
    if (code == HCBT_ACTIVATE && GetClassNameA(window, className, sizeof className) &&
        strcmp(className, "#32770") == 0) {
        char text[512] = "";
        GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
        fprintf(stderr, "split_bench: box: %s\n", text);
        BoxesSeen++;
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

int main(int argc, char **argv)
{
    BenchArgs args;
    if (!ReadBenchArgs(argc, argv, &args, NULL))
        return 2;
    // The split runs in the output folder, so the source is named by its full path.
    if (GetFullPathNameA(args.source, sizeof AppState.FileName, AppState.FileName, NULL) == 0) {
        fprintf(stderr, "split_bench: %s is not a file name\n", args.source);
        return 2;
    }
    ParsePath(AppState.FileName);
    AppState.SplitSize = args.pieceSize;
    SetWindowsHookExA(WH_CBT, CloseBoxes, NULL, GetCurrentThreadId());
    if (!WaitForGo(&args)) {
        fprintf(stderr, "split_bench: no start signal\n");
        return 2;
    }
    // Entered only now: the caller makes the folder anew after "ready". Without a window Use
    // Output reads as unchecked, so the pieces go to the working directory.
    if (!SetCurrentDirectoryA(args.outDir)) {
        fprintf(stderr, "split_bench: cannot enter %s\n", args.outDir);
        return 2;
    }

    double start = Seconds();
    int ok = SplitFile();
    double seconds = Seconds() - start;

    if (!ok || BoxesSeen > 0) {
        fprintf(stderr, "split_bench: the split failed\n");
        return 1;
    }
    PrintSeconds(seconds);
    return 0;
}
