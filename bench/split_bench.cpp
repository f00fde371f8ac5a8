// Times one split run of the program's own engine, in-process, for run_bench.sh:
//   split_bench SOURCE SIZE OUTDIR [--wait]
// SOURCE is cut at SIZE bytes into OUTDIR (an existing, empty folder when the run starts) exactly
// as the Split button does with Use Output checked. Only the SplitFile call is timed, so neither
// Wine's start-up nor the hidden window's creation is in the figure. Prints "morvane_seconds S" and
// exits 0; exits 1 when the run failed or showed a message box, 2 on a usage or set-up error.
// With --wait it prints "ready" once set up and starts only when a line arrives on standard input:
// the caller then empties OUTDIR right before the run, as it does for the tools it compares with,
// so that Wine's start-up time does not change the state of the page cache the run meets.
#include "core/AppState.h"
#include "core/UiHelpers.h"
#include "split/Split.h"
#include "support/MessageBoxAnswerer.h"
#include "support/TestWindow.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

int main(int argc, char **argv)
{
    bool wait = argc == 5 && strcmp(argv[4], "--wait") == 0;
    if (argc != 4 && !wait) {
        fprintf(stderr, "usage: split_bench SOURCE SIZE OUTDIR [--wait]\n");
        return 2;
    }
    if (!PrepareToolSplit(argv[1], argv[2], argv[3])) {
        fprintf(stderr, "split_bench: %s is not a file name\n", argv[1]);
        return 2;
    }
    TestWindow window;
    if (AppState.UseOutputCheck == NULL) {
        fprintf(stderr, "split_bench: no window could be created (is there a display?)\n");
        return 2;
    }
    MessageBoxAnswerer boxes(false);
    SetCheck(AppState.UseOutputCheck, 1);
    SetCheck(AppState.BatchFileCheck, 0);
    SetCheck(AppState.LogFileCheck, 0);
    SetCheck(AppState.SubDirectoryCheck, 0);

    if (wait) {
        printf("ready\n");
        fflush(stdout);
        char line[16];
        if (fgets(line, sizeof line, stdin) == NULL) {
            fprintf(stderr, "split_bench: no start signal\n");
            return 2;
        }
    }

    LARGE_INTEGER frequency, start, stop;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    int ok = SplitFile();
    QueryPerformanceCounter(&stop);

    for (const BoxSeen &box : boxes.Boxes())
        fprintf(stderr, "box: %s: %s\n", box.caption.c_str(), box.text.c_str());
    if (!ok || !boxes.Boxes().empty()) {
        fprintf(stderr, "split_bench: the split run failed\n");
        return 1;
    }
    double seconds = (double)(stop.QuadPart - start.QuadPart) / (double)frequency.QuadPart;
    printf("morvane_seconds %.6f\n", seconds);
    return 0;
}
