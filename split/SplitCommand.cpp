// The Split command as the user experiences it: split, batch file, log, then idle again.
#include "Split.h"

#include "core/UiHelpers.h"
#include "form/Form.h"

#include <string.h>

MadeBySplit Made = {0, INVALID_HANDLE_VALUE, NULL, 0, {"", ""}, 0, {"", ""}};

void ForgetMade(void)
{
    memset(&Made, 0, sizeof Made);
    Made.piece = INVALID_HANDLE_VALUE;
    AppState.SplitCancelled = NotCancelled;
}

void NoteMadeFolder(const char *name)
{
    if (Made.folders < 2 && GetFullPathNameA(name, PathCapacity, Made.folderPaths[Made.folders], NULL) < PathCapacity)
        Made.folders++;
}

void NoteMadeText(FILE *text, const char *name)
{
    Made.text = text;
    if (Made.texts < 2)
        CopyText(Made.textNames[Made.texts++], PathCapacity, name);
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

void UndoSplit(void)
{
    CloseMadePiece();
    CloseMadeText();
    for (; Made.pieces > 0; Made.pieces--) {
        ComposePieceName(Made.pieces);
        DeleteFileA(AppState.PieceName);
    }
    for (; Made.texts > 0; Made.texts--)
        DeleteFileA(Made.textNames[Made.texts - 1]);
    // A folder in use cannot go: the source's folder is the working one first. A folder that is
    // not empty (something else was put there meanwhile) stays.
    SetCurrentDirectoryA(AppState.CurrentDirectory);
    for (; Made.folders > 0; Made.folders--)
        RemoveDirectoryA(Made.folderPaths[Made.folders - 1]);
}

int RunSplitCommand(void)
{
    // The class cursor (the arrow) comes back by itself the next time the pointer moves.
    SetCursor(AppState.WaitCursor);

    if (AppState.SplitSize < 1) {
        ShowMessage("Split size must be between 1 and 2,147,483,647", "Error", MB_ICONERROR);
        return 0;
    }

    // Each phase starts only while the split goes on: a cancel stops the one running at its next
    // chunk or line, and the next never begins. A cancel asked for while a failure's box was up
    // came after the run had ended, and changes nothing.
    ForgetMade();
    int result = SplitFile();
    if (result && SplitGoesOn() && IsInForce(AppState.BatchFileCheck))
        result = WriteBatchFile();
    if (result && SplitGoesOn() && IsChecked(AppState.LogFileCheck)) {
        SendMessageA(AppState.ProgressBar, PBM_SETPOS, 0, 0);
        result = WriteLogFile();
    }
    if (result)
        SplitGoesOn(); // a cancel that came with the last step is taken too
    if (AppState.SplitCancelled == CancelTaken) {
        UndoSplit();
        result = 0;
    }
    RestoreIdleUi();
    return result;
}

void RestoreIdleUi(void)
{
    SendMessageA(AppState.ProgressBar, PBM_SETPOS, 0, 0);
    SetCurrentDirectoryA(AppState.CurrentDirectory);
    SetWindowTextA(AppState.MainWindow, PRODUCT_TITLE);
    ShowWindow(AppState.ProgressBar, SW_HIDE);
    UpdateFileStatus();
}
