// Splits one file with the program's own engine, for the shell tests that compare the pieces with
// GNU split's and rejoin them with the batch file:
//   split_tool SOURCE SIZE OUTDIR [batch]
// SOURCE is split at SIZE bytes into OUTDIR (an existing folder); with "batch" the rejoin batch
// file is written there too. Exit code 0 when everything was written and no box was shown.
#include "core/AppState.h"
#include "core/UiHelpers.h"
#include "split/Split.h"
#include "support/MessageBoxAnswerer.h"
#include "support/TestWindow.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char **argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: split_tool SOURCE SIZE OUTDIR [batch]\n");
        return 2;
    }
    if (!PrepareToolSplit(argv[1], argv[2], argv[3])) {
        fprintf(stderr, "split_tool: %s is not a file name\n", argv[1]);
        return 2;
    }
    TestWindow window;
    if (AppState.UseOutputCheck == NULL) {
        fprintf(stderr, "split_tool: no window could be created (is there a display?)\n");
        return 2;
    }
    MessageBoxAnswerer boxes(false);
    SetCheck(AppState.UseOutputCheck, 1);
    SetCheck(AppState.BatchFileCheck, argc > 4 && strcmp(argv[4], "batch") == 0);

    int ok = SplitFile();
    if (ok && IsChecked(AppState.BatchFileCheck))
        ok = WriteBatchFile();
    for (const BoxSeen &box : boxes.Boxes())
        fprintf(stderr, "box: %s: %s\n", box.caption.c_str(), box.text.c_str());
    printf("%d pieces\n", (int)AppState.PieceCount);
    return ok && boxes.Boxes().empty() ? 0 : 1;
}
