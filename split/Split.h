// Splitting: the split run, the Split command, the rejoin batch file and the split log.
#pragma once

#include "core/AppState.h"
#include "run/Run.h"

#include <stdio.h>

// Cuts FileName into BaseName.001 ... in the target folder. 1 when every piece was written;
// 0 after a failure it has reported itself (or after the user declined to create the output
// folder). Leaves the working directory in the target folder, whatever the outcome.
int SplitFile(void);

// The Split button: checks the piece size, splits, writes the batch file and the log when their
// options are in force, and returns the window to idle. 1 when everything asked for was written.
int RunSplitCommand(void);

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

// Sets name to BaseName + suffix, or + other for a source that is itself a `suffix` file (in any
// case) or that the name would open all the same (a hard link, say): a text file of the split never
// takes the source's own name. 1 unless both names would open the source.
int ComposeTextName(char *name, size_t capacity, const char *suffix, const char *other);
// Opens a text file of the split (the checksum file, the log) for writing under name, after the
// question when one is there (under caption), or says why not (what: "log" ...; failure: the box of
// a file that cannot be made). NULL when not opened, with *result 1 when the user kept the file
// that was there and 0 after a reported failure.
FILE *OpenSplitText(int named, const char *name, const char *what, const char *caption, const char *failure, int *result);

// 1 when the split writes its checksum file: whenever the batch file or the log is in force.
int ChecksumFileWanted(void);
// Sets ChecksumName; 1 when a name was found that does not open the source itself.
int ComposeChecksumName(void);
// Writes the checksum file beside the pieces: each piece's SHA-256 and the whole file's, as
// sha256sum -c reads them. 1 when written or kept; 0 after a reported failure.
int WriteChecksumFile(void);
