// The split log: a fixed-layout report of the split and of every piece with its creation time.
#include "Split.h"

#include "core/UiHelpers.h"

#include <stdio.h>
#include <string.h>

// The log must never take the source's own name: names are compared without regard to case,
// so a source notes.LOG gets notes.txt just as notes.log does, and so does a source that the name
// .log would open whatever its own name (a short name, say). 1 when a name was found.
static int ComposeLogName(void)
{
    return ComposeTextName(AppState.LogName, sizeof AppState.LogName, ".log", ".txt");
}

// Reads a piece's creation time as local calendar fields. NULL when read, otherwise the text of
// the failure, which the caller shows once the log is closed.
static const char *ReadPieceTime(SYSTEMTIME *when)
{
    HANDLE piece = CreateFileA(AppState.PieceName, GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (piece == INVALID_HANDLE_VALUE)
        return "Null file handle";
    FILETIME created = {0, 0};
    FILETIME local = {0, 0};
    GetFileTime(piece, &created, NULL, NULL);
    CloseHandle(piece);
    FileTimeToLocalFileTime(&created, &local);
    if (!FileTimeToSystemTime(&local, when))
        return "Null FileTimeToSystemTime";
    return NULL;
}

int WriteLogFile(void)
{
    // Sizes and the running total are 64-bit: a source may be far larger than one piece.
    int64_t total = 0;
    int64_t size = AppState.SplitSize;
    int64_t fileSize = AppState.FileSize;

    int result = 0;
    FILE *log = OpenSplitText(ComposeLogName(), AppState.LogName, "log", "Log File Exist", "Log file stream buffer null", &result);
    if (log == NULL)
        return result;

    int64_t count = CountPieces(fileSize, (int32_t)size);

    SetStatusText("writing log file...");
    SetProgressRange((int)count);
    if (!RunGoesOn())
        return 0; // the log goes with the pieces

    fprintf(log, "%s %s%s\n", "Log file for", AppState.BaseName, AppState.Extension);
    fprintf(log, "%s %s\n\n", PRODUCT_NAME, PRODUCT_VERSION);
    fprintf(log, "%s %s%s\n", "Original file name...", AppState.BaseName, AppState.Extension);
    fprintf(log, "%s %s\n", "Original path........", AppState.CurrentDirectory);
    fprintf(log, "%s %lld %s\n", "Original file size...", (long long)fileSize, "bytes");
    fprintf(log, "%s %i %s\n", "Split size...........", (int)AppState.SplitSize, "bytes");
    fprintf(log, "%s ", "Batch file...........");
    if (BatchFileInForce())
        fprintf(log, "%s%s\n", AppState.BaseName, ".bat");
    else
        fprintf(log, "%s\n", "None");
    fprintf(log, "%s %lld\n\n", "Number of splits.....", (long long)count);

    for (int64_t i = 0; i < count; i++) {
        ComposePieceName((int)(i + 1));
        if (i == count - 1)
            size = fileSize - i * size;

        SYSTEMTIME when;
        const char *failure = ReadPieceTime(&when);
        if (failure != NULL) {
            CloseMadeText();
            ShowMessage(failure, "Error", MB_ICONERROR);
            return 0;
        }
        fprintf(log, " %3i. %s  %10lld %s   %02i-%02i-%04i  %02i:%02i:%02i\n", (int)(i + 1), AppState.PieceName,
                (long long)size, "bytes", when.wMonth, when.wDay, when.wYear, when.wHour, when.wMinute, when.wSecond);
        total += size;
        StepProgress();
        if (!RunGoesOn())
            return 0; // the log goes with the pieces
    }
    fprintf(log, "\n  %s %lld %s\n", "Total bytes split =", (long long)total, "bytes");
    // After the lines it has always had: the checksum file and the whole file's SHA-256.
    char hex[Sha256HexSize];
    Sha256Hex(WholeDigest(), hex);
    fprintf(log, "\n%s %s\n", "Checksum file........", AppState.ChecksumName); // named when it was written or kept
    fprintf(log, "%s %s\n", "SHA-256..............", hex);

    if (!CloseMadeText())
        return ReportWriteFailure(AppState.LogName);
    return 1;
}
