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

// 1 when the split writes its checksum file: whenever the batch file or the log is in force.
int ChecksumFileWanted(void);
// Sets ChecksumName; 1 when a name was found that does not open the source itself.
int ComposeChecksumName(void);
// Writes the checksum file beside the pieces: each piece's SHA-256 and the whole file's, as
// sha256sum -c reads them. 1 when written or kept; 0 after a reported failure.
int WriteChecksumFile(void);
