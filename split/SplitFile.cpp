// The split run: validates the source, enters the target folder and writes the pieces.
#include "Split.h"

#include "core/UiHelpers.h"

#include <stdio.h>
#include <string.h>

// What the run holds while it works; released by StopRun on every failure path.
struct SplitRun {
    HANDLE source;
};

// Closes the source, shows the message, releases the buffers: the order a failing run ends in.
static int StopRun(SplitRun *run, const char *text, const char *caption, UINT icon)
{
    if (run->source != INVALID_HANDLE_VALUE)
        CloseHandle(run->source);
    run->source = INVALID_HANDLE_VALUE;
    if (text != NULL)
        ShowMessage(text, caption, icon);
    EndTransfers();
    return 0;
}

// Copies one piece into the open piece; on failure closes and removes the incomplete piece and
// reports. A cancel ends the run at the next transfer, the piece left for the undo with the rest.
static int WritePiece(SplitRun *run, int k, int32_t pieceSize)
{
    MoveResult moved = MoveBytes(run->source, Made.piece, pieceSize, k, 1);
    if (moved == MoveCancelled)
        return StopRun(run, NULL, NULL, 0);
    if (!CloseMadePiece() && moved == Moved)
        moved = WriteFailed;
    if (moved == Moved)
        return 1;

    // An incomplete piece would rebuild a wrong file: it goes, the complete ones stay.
    DeleteFileA(AppState.PieceName);
    if (moved == ReadFailed)
        FormatMessageText("%s\n%s", "Could not read the source file while writing", AppState.PieceName);
    else
        FormatMessageText("%s\n%s\n%s", "Could not write", AppState.PieceName, "The disk may be full");
    return StopRun(run, AppState.MessageText, "Error", MB_ICONERROR);
}

// A file of the piece's name is there already: it is left alone and the run ends.
static int RefuseExistingPiece(SplitRun *run)
{
    FormatMessageText("%s %s", AppState.PieceName, "already exist");
    return StopRun(run, AppState.MessageText, "Warning", MB_ICONWARNING);
}

// Appends a name to a path, with a separator unless the path ends in one (a drive's root).
static void AppendToPath(char *path, size_t capacity, const char *name)
{
    size_t length = strlen(path);
    snprintf(path + length, capacity - length, "%s%s", length > 0 && path[length - 1] == '\\' ? "" : "\\", name);
}

// Windows takes names of at most 255 characters and, through the program's calls, paths of at
// most 259: outputs that would break either are found before anything is made. The batch file and
// the log have names as long as a piece's; the checksum file's may be longer. 1 to go on; 0 when
// the run has ended.
static int CheckOutputNames(SplitRun *run)
{
    ComposePieceName((int)AppState.PieceCount);
    const char *longest = AppState.PieceName;
    int pieces = 1; // the longest name is a piece's
    if (ChecksumFileWanted() && (ComposeChecksumName(), WideLength(AppState.ChecksumName) > WideLength(longest)))
        longest = AppState.ChecksumName, pieces = 0;
    if (WideLength(longest) > 255) {
        FormatMessageText("%s\n%s", pieces ? "The pieces' names would be longer than the 255 characters Windows allows:"
                                            : "The checksum file's name would be longer than the 255 characters Windows allows:",
                          longest);
        return StopRun(run, AppState.MessageText, "Error", MB_ICONERROR);
    }
    char folder[2 * PathCapacity] = "";
    DWORD resolved = GetFullPathNameA(IsChecked(AppState.UseOutputCheck) ? AppState.OutputDirectory : ".",
                                      sizeof folder, folder, NULL);
    if (resolved == 0 || resolved >= sizeof folder)
        return 1; // a folder that cannot be resolved is reported when it is entered
    if (IsInForce(AppState.SubDirectoryCheck))
        AppendToPath(folder, sizeof folder, AppState.BaseName);
    char path[sizeof folder + PathCapacity];
    CopyText(path, sizeof path, folder);
    AppendToPath(path, sizeof path, longest);
    if (WideLength(path) <= MAX_PATH - 1)
        return 1;
    FormatMessageText("%s\n%s\n%s %s",
                      pieces ? "The pieces' paths would be longer than the 259 characters Windows allows in"
                             : "The checksum file's path would be longer than the 259 characters Windows allows in",
                      folder, pieces ? "for example" : "for", longest);
    return StopRun(run, AppState.MessageText, "Error", MB_ICONERROR);
}

// Creates and fills piece number k. 1 to go on, 0 when the run has ended.
static int SplitPiece(SplitRun *run, int k)
{
    if (!RunGoesOn())
        return StopRun(run, NULL, NULL, 0);
    ComposePieceName(k);

    // A piece is created as a new file, so nothing of the user's is ever written over.
    HANDLE piece = CreateFileA(AppState.PieceName, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    if (piece == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        // Nor is the source, whatever name leads to it (only a name that exists can).
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS || IsTheSource(AppState.PieceName))
            return RefuseExistingPiece(run);
        // Creating failed for another reason: one more open decides, still without truncating.
        piece = CreateFileA(AppState.PieceName, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL);
        if (piece == INVALID_HANDLE_VALUE)
            return StopRun(run, "File handle null", "Error", MB_ICONERROR);
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(piece);
            return RefuseExistingPiece(run);
        }
    }

    // Every piece is SplitSize bytes but the last, which holds what is left: 1 ... SplitSize.
    int32_t pieceSize = AppState.SplitSize;
    if (k == AppState.PieceCount)
        pieceSize = (int32_t)(AppState.FileSize - (AppState.PieceCount - 1) * (int64_t)AppState.SplitSize);
    Made.piece = piece;
    Made.pieces = k; // created new: the split's own
    if (!WritePiece(run, k, pieceSize))
        return 0;
    StepProgress();
    return 1;
}

int SplitFile(void)
{
    SplitRun run = {INVALID_HANDLE_VALUE};
    int32_t splitSize = AppState.SplitSize;

    if (splitSize < 1)
        return StopRun(&run, "Split size must be between 1 and 2,147,483,647", "Error", MB_ICONERROR);

    // The digests for the checksum file, which goes with the batch file and the log, are taken
    // from the bytes as they pass.
    if (!BeginTransfers(ChecksumFileWanted() ? DigestPieces | DigestWhole : 0))
        return StopRun(&run, "Split buffer is null", "Error", MB_ICONERROR);

    // The open itself is the existence test: a source that went away after it was chosen is
    // reported as missing, and nothing of its name is ever created.
    run.source = CreateFileA(AppState.FileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (run.source == INVALID_HANDLE_VALUE) {
        if (!IsNoSuchPathError(GetLastError()))
            return StopRun(&run, "File handle null", "Error", MB_ICONERROR);
        FormatMessageText("%s\n%s", AppState.FileName, "does not exist");
        return StopRun(&run, AppState.MessageText, "File Not Found", MB_ICONERROR);
    }

    RememberSource(run.source);
    int64_t size = 0;
    if (!ReadFileSize(run.source, &size))
        return StopRun(&run, "File handle null", "Error", MB_ICONERROR);
    if (size < 2)
        return StopRun(&run, "File size too small to split", "Notice", MB_ICONWARNING);

    AppState.FileSize = size;
    AppState.PieceCount = CountPieces(size, splitSize);
    if (AppState.PieceCount < MinPieces || AppState.PieceCount > MaxPieces)
        return StopRun(&run, "Number of splits must be\nbetween 2 and 999", "Error", MB_ICONERROR);

    if (!CheckOutputNames(&run))
        return 0;
    OutputFolder output = IsChecked(AppState.UseOutputCheck) ? EnterOutputFolder() : OutputEntered;
    if (output != OutputEntered)
        return StopRun(&run, output == OutputRefused ? AppState.MessageText : NULL, "Error", MB_ICONERROR);

    if (IsInForce(AppState.SubDirectoryCheck)) {
        if (!CreateDirectoryA(AppState.BaseName, NULL))
            return StopRun(&run, "Could not create sub directory", "Error", MB_ICONERROR);
        NoteMadeFolder(AppState.BaseName);
        SetCurrentDirectoryA(AppState.BaseName);
    }

    SetStatusText("splitting...");
    StartProgress((int)AppState.PieceCount);

    for (int k = 1; k <= AppState.PieceCount; k++)
        if (!SplitPiece(&run, k))
            return 0;

    CloseHandle(run.source);
    EndTransfers();
    return 1;
}
