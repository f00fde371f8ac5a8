// The rejoin batch file: COPY /B commands that rebuild the source from its pieces.
#include "Split.h"

#include "core/UiHelpers.h"
#include "form/Form.h"

#include <stdio.h>
#include <string.h>

// Characters a batch file cannot carry in a bare file name: separators, redirections,
// COPY's own operators and the quoting and escape characters of command.com and cmd.exe.
static const char RefusedCharacters[] = " `!@#$%^&*()/-=+[]{}|;'\",<>?";

int BatchPiecesPerLine(void)
{
    int32_t fileLength = (int32_t)WideLength(AppState.FileName);
    int32_t baseLength = (int32_t)WideLength(AppState.BaseName);
    return (256 - (2 * fileLength + 11)) / (baseLength + 7);
}

// cmd.exe reads a batch file in the console's code page, while the program's names are in its own
// code page (UTF-8 under its manifest). Names are therefore written in the console's code page:
// 1 when the name went there whole; 0 for a name with a character that code page cannot hold,
// which cannot be written at all.
static int ToBatchText(char *dest, size_t capacity, const char *name)
{
    wchar_t wide[PathCapacity];
    wchar_t back[PathCapacity];
    UINT page = ConsoleCodePage();
    int utf8 = page == CP_UTF8; // a system set to UTF-8 for every language: nothing is lost, nor asked
    BOOL lost = FALSE;
    dest[0] = '\0';
    int units = MultiByteToWideChar(CP_ACP, 0, name, -1, wide, PathCapacity);
    if (units == 0 || WideCharToMultiByte(page, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide, -1, dest, (int)capacity, NULL,
                                          utf8 ? NULL : &lost) == 0 || lost)
        return 0;
    return MultiByteToWideChar(page, 0, dest, -1, back, PathCapacity) == units && wcscmp(back, wide) == 0;
}

static int SurvivesOemCodePage(const char *name)
{
    char oem[PathCapacity];
    return ToBatchText(oem, sizeof oem, name) && strpbrk(oem, RefusedCharacters) == NULL;
}

// Why the batch file cannot carry FileName, in words for the Batch File option's tip; NULL when
// it can. The words name the first obstacle found, in the order the checks are made.
static const char *BatchObstacle(char *text, size_t capacity)
{
    const char *refused = strpbrk(AppState.FileName, RefusedCharacters);
    if (BatchPiecesPerLine() < 2)
        return "This name is too long for the batch file's COPY lines";
    if (refused != NULL && *refused == ' ')
        return "The batch file cannot carry spaces in a name";
    if (refused != NULL) {
        snprintf(text, capacity, "The batch file cannot carry the sign %c in a name", *refused);
        return text;
    }
    if (!SurvivesOemCodePage(AppState.FileName))
        return "The command prompt cannot read every character of this name from a batch file";
    if (lstrcmpiA(AppState.Extension, ".bat") == 0) // it would rebuild itself while running
        return "The batch file would take the name of this .bat file";
    return NULL;
}

void UpdateBatchOption(void)
{
    char sign[64];
    char tip[256] = "";
    const char *obstacle = BatchObstacle(sign, sizeof sign);
    if (obstacle != NULL)
        snprintf(tip, sizeof tip, "%s: %s", obstacle, "rename the file, or rejoin its pieces with COPY /B by hand.");
    // A join writes none: greyed out with the rest of what only a split uses.
    EnableWindow(AppState.BatchFileCheck, obstacle == NULL && !AppState.JoinSelected);
    SetTip(AppState.BatchTooltip, AppState.MainWindow, (UINT_PTR)AppState.BatchFileCheck, AppState.JoinSelected ? "" : tip);
}

int BatchFileInForce(void)
{
    snprintf(AppState.BatchName, sizeof AppState.BatchName, "%s%s", AppState.BaseName, ".bat");
    return IsInForce(AppState.BatchFileCheck) && !IsTheSource(AppState.BatchName);
}

// A line a group of pieces, as in the COPY lines (whose length bounds these): FOR %%P IN (pieces
// first ... last) DO then the test and the action.
static void WriteGroups(FILE *batch, int first, int last, int perLine, const char *test)
{
    char piece[PathCapacity];
    for (int from = first; from <= last; from += perLine) {
        fprintf(batch, "%s", "FOR %%P IN (");
        for (int k = from; k <= last && k < from + perLine; k++) {
            ComposePieceName(k);
            ToBatchText(piece, sizeof piece, AppState.PieceName);
            fprintf(batch, "%s%s", k > from ? " " : "", piece);
        }
        fprintf(batch, ") DO %s\n", test);
    }
}

// Before anything is copied, every piece is looked for: each missing one is named, and the script
// stops before it creates or overwrites the target, with a failure status where the command
// interpreter has one (cmd.exe; under DOS's COMMAND.COM it just ends). Then, where cmd.exe runs
// it, each piece must have the size it was written with: its size (%%~z) is compared as text,
// since IF compares numbers of 2 GiB and more wrongly.
static void WritePieceChecks(FILE *batch, int perLine)
{
    static const char *const missing[] = {"ECHO %%P is missing", "GOTO MISSING"};
    static const char *const wrong[] = {"ECHO %%P has the wrong size: copy it again", "GOTO DAMAGED"};
    char test[128];
    int count = (int)AppState.PieceCount;
    long long last = AppState.FileSize - (long long)(count - 1) * AppState.SplitSize;
    for (const char *action : missing) {
        snprintf(test, sizeof test, "IF NOT EXIST %%%%P %s", action);
        WriteGroups(batch, 1, count, perLine, test);
    }
    fprintf(batch, "%s\n", "IF NOT \"%OS%\"==\"Windows_NT\" GOTO REJOIN\nSETLOCAL");
    for (const char *action : wrong) {
        snprintf(test, sizeof test, "IF NOT \"%%%%~zP\"==\"%i\" %s", (int)AppState.SplitSize, action);
        WriteGroups(batch, 1, count - 1, perLine, test);
        snprintf(test, sizeof test, "IF NOT \"%%%%~zP\"==\"%lld\" %s", last, action);
        WriteGroups(batch, count, count, perLine, test);
    }
}

// The rebuilt file is checked where cmd.exe runs the script: its size, then its SHA-256 where the
// system's certutil prints one. Named by its whole path, certutil is never one that lies beside
// the pieces (in a downloads folder, say). On a mismatch each piece's SHA-256 names the damaged
// ones, and the rebuilt file goes. Its output differs by version: the 64 digits on a line (Windows
// 10 and later) or byte pairs with spaces between (before), in either case; a line without a colon
// that holds 64 characters once its spaces are gone is the digest.
static void WriteRebuiltChecks(FILE *batch, const char *target)
{
    char hex[Sha256HexSize];
    char piece[PathCapacity];
    Sha256Hex(WholeDigest(), hex);
    fprintf(batch, "%s\n", "IF NOT \"%OS%\"==\"Windows_NT\" GOTO COMPLETED");
    fprintf(batch, "FOR %%%%F IN (%s) DO IF NOT \"%%%%~zF\"==\"%lld\" GOTO UNWRITTEN\n", target,
            (long long)AppState.FileSize);
    fprintf(batch, "CALL :SHA256 %s %s\n", target, hex);
    fprintf(batch, "%s\n", "IF \"%MORVANE_SHA256%\"==\"other\" GOTO CONTENT\n"
                           "IF \"%MORVANE_SHA256%\"==\"\" ECHO The sizes were checked, but not the content: "
                           "this Windows has no certutil that computes SHA-256\n"
                           ":COMPLETED\nECHO Rejoining Completed\nIF \"%OS%\"==\"Windows_NT\" EXIT /B 0\nGOTO END");
    fprintf(batch, ":MISSING\nECHO %s %s\n", target, "was not rebuilt: a piece is missing");
    fprintf(batch, "%s\n", "IF \"%OS%\"==\"Windows_NT\" EXIT /B 1\nGOTO END");
    fprintf(batch, ":CONTENT\nDEL %s\n%s\n", target, "SET MORVANE_DAMAGED=");
    for (int k = 1; k <= AppState.PieceCount; k++) {
        ComposePieceName(k);
        ToBatchText(piece, sizeof piece, AppState.PieceName);
        Sha256Hex(PieceDigest(k), hex);
        fprintf(batch, "CALL :PIECE %s %s\n", piece, hex);
    }
    fprintf(batch, "%s\n", "IF NOT DEFINED MORVANE_DAMAGED GOTO UNWRITTEN");
    fprintf(batch, ":DAMAGED\nECHO %s %s\n%s\n", target, "was not rebuilt: a piece is damaged", "EXIT /B 2");
    fprintf(batch, ":UNWRITTEN\nIF EXIST %s DEL %s\nECHO %s %s\n%s\n", target, target, target,
            "was not rebuilt whole: run this file again, with room enough on the disk", "EXIT /B 3");
    fprintf(batch, "%s\n", ":PIECE\nCALL :SHA256 %1 %2\nIF \"%MORVANE_SHA256%\"==\"other\" SET MORVANE_DAMAGED=1\n"
                           "IF \"%MORVANE_SHA256%\"==\"other\" ECHO %1 is damaged: copy it again\nGOTO :EOF");
    fprintf(batch, "%s\n", ":SHA256\nSET MORVANE_SHA256=\n"
                           "FOR /F \"delims=\" %%L IN ('\"%SystemRoot%\\System32\\certutil.exe\" -hashfile %1 SHA256 "
                           "2^>NUL') DO (SET \"MORVANE_LINE=%%L\" & CALL :LINE %2)\nGOTO :EOF");
    fprintf(batch, "%s\n", ":LINE\nSET \"MORVANE_LINE=%MORVANE_LINE: =%\"\nIF NOT DEFINED MORVANE_LINE GOTO :EOF\n"
                           "IF NOT \"%MORVANE_LINE::=%\"==\"%MORVANE_LINE%\" GOTO :EOF\n"
                           "IF \"%MORVANE_LINE:~63,1%\"==\"\" GOTO :EOF\nIF NOT \"%MORVANE_LINE:~64%\"==\"\" GOTO :EOF\n"
                           "SET MORVANE_SHA256=other\nIF /I \"%MORVANE_LINE%\"==\"%1\" SET MORVANE_SHA256=same\n"
                           "GOTO :EOF\n:END");
}

int WriteBatchFile(void)
{
    int perLine = BatchPiecesPerLine();
    if (perLine < 2)
        perLine = 2; // only reachable when the option's rule was bypassed; keeps the groups sound

    if (!BatchFileInForce())
        return 1; // its name would open the source itself: no batch file, and the log says so

    if (KeepsExistingFile(AppState.BatchName, "Batch File Exist"))
        return 1;

    FILE *batch = fopen(AppState.BatchName, "wt");
    if (batch == NULL) {
        ShowMessage("Batch file stream buffer null", "Error", MB_ICONERROR);
        return 0;
    }
    NoteMadeText(batch, AppState.BatchName);

    char base[PathCapacity];
    char extension[PathCapacity];
    char target[2 * PathCapacity];
    char piece[PathCapacity];
    ToBatchText(base, sizeof base, AppState.BaseName);
    ToBatchText(extension, sizeof extension, AppState.Extension);
    snprintf(target, sizeof target, "%s%s", base, extension);

    fprintf(batch, "%s %s %s\n", "ECHO OFF\nCLS\nREM", PRODUCT_NAME, PRODUCT_VERSION);
    WritePieceChecks(batch, perLine);
    fprintf(batch, "%s\n", ":REJOIN");
    for (int i = 0; i < AppState.PieceCount; i++) {
        if (!RunGoesOn())
            return 0; // cancelled: the script goes with the pieces
        ComposePieceName(i + 1);
        ToBatchText(piece, sizeof piece, AppState.PieceName);

        if (i == 0)
            fprintf(batch, "%s %s\n%s ", "ECHO Rejoining", target, "COPY /B /Y");
        if (i > 0 && i % perLine == 0)
            fprintf(batch, "%s %s + ", "ECHO Still Rejoining...\nCOPY /B /Y", target);

        if (i > 0 && (i + 1) % perLine == 0)
            fprintf(batch, "%s %s\n", piece, target);
        else if (i < AppState.PieceCount - 1)
            fprintf(batch, "%s + ", piece);
        else
            fprintf(batch, "%s %s\n", piece, target);
    }
    WriteRebuiltChecks(batch, target);

    if (!CloseMadeText()) {
        // The incomplete script goes: run later, it could rebuild a file from only some pieces.
        DeleteFileA(AppState.BatchName);
        return ReportWriteFailure(AppState.BatchName);
    }
    return 1;
}
