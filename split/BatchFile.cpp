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

// cmd.exe reads a batch file in the console's code page, the system's OEM code page (437, 850,
// 866 ...), while the program's names are in its own code page. Under the manifest that is UTF-8,
// and GetOEMCP() answers 65001 as well: the system's OEM code page is asked of its locale.
// It is asked once: it stays the same while the program runs, and every name of a batch file is
// converted, twice for each piece.
static UINT ConsoleCodePage(void)
{
    static DWORD page = 0;
    if (page == 0 && GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTCODEPAGE | LOCALE_RETURN_NUMBER,
                                    (LPWSTR)&page, sizeof page / sizeof(wchar_t)) == 0)
        return CP_OEMCP;
    return page;
}

// Names are therefore written in the console's code page: 1 when the name went there whole; 0 for
// a name with a character that code page cannot hold, which cannot be written at all.
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
    EnableWindow(AppState.BatchFileCheck, obstacle == NULL);
    SetTip(AppState.BatchTooltip, AppState.MainWindow, (UINT_PTR)AppState.BatchFileCheck, tip);
}

int BatchFileInForce(void)
{
    snprintf(AppState.BatchName, sizeof AppState.BatchName, "%s%s", AppState.BaseName, ".bat");
    return IsInForce(AppState.BatchFileCheck) && !IsTheSource(AppState.BatchName);
}

// Before anything is copied, every piece is looked for, a group of them a line as in the COPY
// lines (whose length bounds these): each missing one is named, and the script stops before it
// creates or overwrites the target, with a failure status where the command interpreter has one
// (cmd.exe; under DOS's COMMAND.COM it just ends). Nothing here is known to cmd.exe alone.
static void WritePieceChecks(FILE *batch, int perLine)
{
    static const char *const actions[] = {"ECHO %%P is missing", "GOTO MISSING"};
    char piece[PathCapacity];
    for (const char *action : actions)
        for (int first = 0; first < AppState.PieceCount; first += perLine) {
            fprintf(batch, "%s", "FOR %%P IN (");
            for (int i = first; i < AppState.PieceCount && i < first + perLine; i++) {
                ComposePieceName(i + 1);
                ToBatchText(piece, sizeof piece, AppState.PieceName);
                fprintf(batch, "%s%s", i > first ? " " : "", piece);
            }
            fprintf(batch, "%s %s\n", ") DO IF NOT EXIST %%P", action);
        }
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
    char piece[PathCapacity];
    ToBatchText(base, sizeof base, AppState.BaseName);
    ToBatchText(extension, sizeof extension, AppState.Extension);

    fprintf(batch, "%s %s %s\n", "ECHO OFF\nCLS\nREM", PRODUCT_NAME, PRODUCT_VERSION);
    WritePieceChecks(batch, perLine);
    for (int i = 0; i < AppState.PieceCount; i++) {
        if (!SplitGoesOn())
            return 0; // cancelled: the script goes with the pieces
        ComposePieceName(i + 1);
        ToBatchText(piece, sizeof piece, AppState.PieceName);

        if (i == 0)
            fprintf(batch, "%s %s%s\n%s ", "ECHO Rejoining", base, extension, "COPY /B /Y");
        if (i > 0 && i % perLine == 0)
            fprintf(batch, "%s %s%s + ", "ECHO Still Rejoining...\nCOPY /B /Y", base, extension);

        if (i > 0 && (i + 1) % perLine == 0)
            fprintf(batch, "%s %s%s\n", piece, base, extension);
        else if (i < AppState.PieceCount - 1)
            fprintf(batch, "%s + ", piece);
        else
            fprintf(batch, "%s %s%s\n", piece, base, extension);
    }
    fprintf(batch, "%s", "ECHO Rejoining Completed\n");
    fprintf(batch, "%s\n%s %s%s %s\n%s\n", "GOTO END\n:MISSING", "ECHO", base, extension,
            "was not rebuilt: a piece is missing", "IF \"%OS%\"==\"Windows_NT\" EXIT /B 1\n:END");

    if (!CloseMadeText()) {
        // The incomplete script goes: run later, it could rebuild a file from only some pieces.
        DeleteFileA(AppState.BatchName);
        return ReportWriteFailure(AppState.BatchName);
    }
    return 1;
}
