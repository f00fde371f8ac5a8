// The record of what the running split or join has made, and the undo of a cancelled one.
#include "Run.h"

#include "core/UiHelpers.h"

#include <string.h>

MadeByRun Made = {0, INVALID_HANDLE_VALUE, NULL, 0, {"", "", ""}, 0, {"", ""}};

void ForgetMade(void)
{
    memset(&Made, 0, sizeof Made);
    Made.piece = INVALID_HANDLE_VALUE;
    AppState.RunCancelled = NotCancelled;
}

void NoteMadeFolder(const char *name)
{
    if (Made.folders < 2 && GetFullPathNameA(name, PathCapacity, Made.folderPaths[Made.folders], NULL) < PathCapacity)
        Made.folders++;
}

static void NoteMadeName(const char *name)
{
    if (Made.files < 3)
        CopyText(Made.fileNames[Made.files++], PathCapacity, name);
}

void NoteMadeFile(HANDLE file, const char *name)
{
    Made.piece = file;
    NoteMadeName(name);
}

void NoteMadeText(FILE *text, const char *name)
{
    Made.text = text;
    NoteMadeName(name);
}

int CloseMadeText(void)
{
    // A full disk shows up as a stream error or as a failed final flush.
    int failed = Made.text != NULL && ferror(Made.text) != 0;
    if (Made.text != NULL && fclose(Made.text) != 0)
        failed = 1;
    Made.text = NULL;
    return !failed;
}

int CloseMadePiece(void)
{
    int closed = Made.piece == INVALID_HANDLE_VALUE || CloseHandle(Made.piece);
    Made.piece = INVALID_HANDLE_VALUE;
    return closed;
}

void UndoRun(void)
{
    EndTransfers();
    CloseMadePiece();
    CloseMadeText();
    for (; Made.pieces > 0; Made.pieces--) {
        ComposePieceName(Made.pieces);
        DeleteFileA(AppState.PieceName);
    }
    for (; Made.files > 0; Made.files--)
        DeleteFileA(Made.fileNames[Made.files - 1]);
    // A folder in use cannot go: the source's folder is the working one first. A folder that is
    // not empty (something else was put there meanwhile) stays.
    SetCurrentDirectoryA(AppState.CurrentDirectory);
    for (; Made.folders > 0; Made.folders--)
        RemoveDirectoryA(Made.folderPaths[Made.folders - 1]);
}

OutputFolder EnterOutputFolder(void)
{
    if (AppState.OutputDirectory[0] == '\0') {
        FormatMessageText("%s", "No output folder is given\nType one into Output Path, or uncheck Use Output");
        return OutputRefused;
    }
    if (SetCurrentDirectoryA(AppState.OutputDirectory))
        return OutputEntered;
    DWORD attributes = GetFileAttributesA(AppState.OutputDirectory);
    if (attributes != INVALID_FILE_ATTRIBUTES || !IsNoSuchPathError(GetLastError())) {
        const char *what = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? "Could not open the folder" : "The output path is a file";
        FormatMessageText("%s\n%s", what, AppState.OutputDirectory);
        return OutputRefused;
    }
    FormatMessageText("%s\n%s\n%s\n\n%s", "The directory", AppState.OutputDirectory, "does not exist",
                      "Would you like to create it?");
    if (!AskYesNo(AppState.MessageText, "Path Not Found", MB_ICONQUESTION))
        return OutputDeclined;
    if (!CreateDirectoryA(AppState.OutputDirectory, NULL)) {
        FormatMessageText("%s\n%s", "Could not create", AppState.OutputDirectory);
        return OutputRefused;
    }
    NoteMadeFolder(AppState.OutputDirectory);
    SetCurrentDirectoryA(AppState.OutputDirectory);
    return OutputEntered;
}
