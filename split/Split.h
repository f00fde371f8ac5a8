// Splitting: the split run, the Split command, the rejoin batch file and the split log.
#pragma once

#include "core/AppState.h"

#include <stdio.h>

// Cuts FileName into BaseName.001 ... in the target folder. 1 when every piece was written;
// 0 after a failure it has reported itself (or after the user declined to create the output
// folder). Leaves the working directory in the target folder, whatever the outcome.
int SplitFile(void);

// The Split button: checks the piece size, splits, writes the batch file and the log when their
// options are in force, and returns the window to idle. 1 when everything asked for was written.
int RunSplitCommand(void);

// Progress bar reset and hidden, working directory back to CurrentDirectory, status recomputed.
void RestoreIdleUi(void);

// Writes BaseName.bat, which rebuilds the source from its pieces when run in their folder.
// 1 when written or when the user chose to keep an existing file; 0 after a reported failure.
int WriteBatchFile(void);

// Sets BatchName; 1 when the option is in force and that name does not open the source itself.
int BatchFileInForce(void);

// Enables the Batch File option only for names the batch file can carry.
void UpdateBatchOption(void);

// The per-line piece limit of the batch file's COPY commands for the current names.
int BatchPiecesPerLine(void);

// Writes the split log beside the pieces. 1 when written or kept; 0 after a reported failure.
int WriteLogFile(void);

// What the running split has made, so that a cancelled split can take it all away again: only
// what this split created is noted (pieces are only ever created new), so nothing that was there
// before, the source above all, is ever touched.
struct MadeBySplit {
    int pieces;             // BaseName.001 ... created so far, in the working folder
    HANDLE piece;           // the piece being written, or INVALID_HANDLE_VALUE
    FILE *text;             // the batch file or the log being written, or NULL
    int texts;              // how many of textNames are begun
    char textNames[2][PathCapacity]; // the batch file and the log, in the working folder
    int folders;            // how many of folderPaths this split created
    char folderPaths[2][PathCapacity]; // the output folder and the sub-folder, whole paths, outer first
};
extern MadeBySplit Made;

// A new split: nothing made yet, and not cancelled.
void ForgetMade(void);
// A folder the split has just created, by its name relative to the working folder.
void NoteMadeFolder(const char *name);
// The batch file or the log, just opened for writing under name; CloseMadeText closes it (1 when
// every byte reached the disk).
void NoteMadeText(FILE *text, const char *name);
int CloseMadeText(void);
// Closes the piece being written; 0 when the system could not close it (a full disk).
int CloseMadePiece(void);

// The split has been cancelled: closes what it has open, deletes the pieces, the batch file and
// the log it made, removes the folders it created when they are empty, and makes the source's
// folder the working folder again. Safe to call again: it forgets what it has taken away.
void UndoSplit(void);
