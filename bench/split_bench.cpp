// Times one split run of the program's own engine, in-process, for run_bench.sh:
//   split_bench SOURCE SIZE OUTDIR
// SOURCE is cut at SIZE bytes into OUTDIR (an existing, empty folder) exactly as the Split button
// does with Use Output checked. Only the SplitFile call is timed, so neither Wine's start-up nor the
// hidden window's creation is in the figure. Prints one line, "morvane_seconds S", and exits 0;
// exits 1 when the run failed or showed a message box, 2 on a usage or set-up error.
#include "app/AppState.h"
#include "app/UiHelpers.h"
#include "split/Split.h"
#include "support/MessageBoxAnswerer.h"
#include "support/TestWindow.h"

#include <stdio.h>
#include <stdlib.h>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: split_bench SOURCE SIZE OUTDIR\n");
        return 2;
    }
    char full[MAX_PATH];
    char *namePart = NULL;
    GetFullPathNameA(argv[1], sizeof full, full, &namePart);
    if (namePart == NULL) {
        fprintf(stderr, "split_bench: %s is not a file name\n", argv[1]);
        return 2;
    }
    std::string name = namePart;
    *namePart = '\0';

    ResetAppState(full);
    TestWindow window;
    if (AppState.UseOutputCheck == NULL) {
        fprintf(stderr, "split_bench: no window could be created (is there a display?)\n");
        return 2;
    }
    MessageBoxAnswerer boxes(false);
    CopyText(AppState.FileName, sizeof AppState.FileName, name.c_str());
    ParsePath(AppState.FileName);
    AppState.SplitSize = atoi(argv[2]);
    GetFullPathNameA(argv[3], sizeof AppState.OutputDirectory, AppState.OutputDirectory, NULL);
    SetCheck(AppState.UseOutputCheck, 1);
    SetCheck(AppState.BatchFileCheck, 0);
    SetCheck(AppState.LogFileCheck, 0);
    SetCheck(AppState.SubDirectoryCheck, 0);

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
