// The join: the pieces of a set copied in order into a file of the name the record gives, each
// piece's size checked before anything is made, each piece's digest as it is read, the whole
// file's at the end; written under a temporary name and renamed only once it is complete and
// checked, so that a failure, a full disk or a cancel leaves nothing of it.
#include "Join.h"

#include "core/UiHelpers.h"
#include "form/Form.h"

#include <stdio.h>
#include <string.h>

static HANDLE Reading = INVALID_HANDLE_VALUE; // the piece being read

// The piece's name as the boxes show it.
static const char *PieceName(int piece)
{
    ComposeSetPiece(AppState.PieceName, sizeof AppState.PieceName, piece);
    return AppState.PieceName;
}

// A name as it lies in its folder: the pieces' and the record's are given with FileName's folder.
static const char *Bare(const char *name)
{
    const char *slash = strrchr(name, '\\') != NULL ? strrchr(name, '\\') : strrchr(name, '/');
    return slash != NULL ? slash + 1 : name;
}

// Ends a failing join: what it holds is closed, what it made is taken away, then the message
// (in MessageText) is shown, with what to do. 0.
static int StopJoin(int show)
{
    if (Reading != INVALID_HANDLE_VALUE)
        CloseHandle(Reading);
    Reading = INVALID_HANDLE_VALUE;
    UndoRun();
    if (show)
        ShowMessage(AppState.MessageText, "Error", MB_ICONERROR);
    return 0;
}

// Each piece has its size before anything is made: the size the log gives it, or else the first
// piece's (all but the last, which holds what is left: 1 byte up to as many). With a .crc record
// they make the size it gives. 1 to go on.
static int CheckSizes(void)
{
    const char *record = Bare(Pieces.recordName);
    int64_t first = SetPieceSize(1), total = 0;
    for (int k = 1; k <= Pieces.pieces; k++) {
        int64_t size = SetPieceSize(k);
        total += size;
        if (Pieces.record == LogRecord && size != Pieces.pieceSizes[k - 1])
            FormatMessageText("%s %s %lld %s %s %s %lld.\n%s", Bare(PieceName(k)), "has", (long long)size, "bytes, but",
                              record, "gives it", (long long)Pieces.pieceSizes[k - 1], "Copy it again, then join again.");
        else if (Pieces.record != LogRecord && k < Pieces.pieces && size != first)
            FormatMessageText("%s %s %lld %s %s %lld.\n%s", Bare(PieceName(k)), "has", (long long)size,
                              "bytes, but the first piece has", size < first ? "more:" : "fewer:", (long long)first,
                              "A piece is cut short or too long: copy it again, then join again.");
        else if (Pieces.record != LogRecord && k == Pieces.pieces && (size > first || size < 1))
            FormatMessageText("%s %s %lld %s %lld.\n%s", Bare(PieceName(k)), "has", (long long)size,
                              "bytes: the last piece holds at least 1 and at most as many as the first,", (long long)first,
                              "Copy it again, then join again.");
        else
            continue;
        return StopJoin(1);
    }
    if (Pieces.record != CrcRecord || total == Pieces.recordSize)
        return 1;
    FormatMessageText("%s %lld %s %s %s %lld.\n%s", "The pieces hold", (long long)total, "bytes, but", record, "gives",
                      (long long)Pieces.recordSize, "A piece is missing or cut short: copy the pieces again, then join again.");
    return StopJoin(1);
}

// The folder the file goes to, whole (the output folder, made on Yes when missing, or the
// pieces'), and the working folder the pieces' again. 1 to go on.
static int ChooseFolder(char *folder, size_t capacity)
{
    if (!IsChecked(AppState.UseOutputCheck)) {
        char *name = NULL;
        DWORD length = GetFullPathNameA(AppState.FileName, (DWORD)capacity, folder, &name);
        if (length > 0 && length < capacity && name != NULL) {
            *name = '\0';
            return 1;
        }
        FormatMessageText("%s\n%s", "Could not open the folder", AppState.CurrentDirectory);
        return StopJoin(1);
    }
    OutputFolder output = EnterOutputFolder();
    DWORD length = output == OutputEntered ? GetCurrentDirectoryA((DWORD)capacity, folder) : 0;
    SetCurrentDirectoryA(AppState.CurrentDirectory);
    if (output == OutputEntered && length > 0 && length < capacity)
        return 1;
    return StopJoin(output == OutputRefused);
}

// Where the rebuilt file goes, and whether what is there may be replaced: never a piece or the
// record, anything else only after the question (No the default). 1 to go on.
static int ChooseTarget(char *target, size_t capacity, int *replace)
{
    char folder[2 * PathCapacity];
    if (!ChooseFolder(folder, sizeof folder))
        return 0;
    size_t length = strlen(folder);
    snprintf(target, capacity, "%s%s%s", folder, length > 0 && folder[length - 1] == '\\' ? "" : "\\", Pieces.name);
    if (WideLength(target) > MAX_PATH - 1) {
        FormatMessageText("%s\n%s", "The rebuilt file's path would be longer than the 259 characters Windows allows:", target);
        return StopJoin(1);
    }
    *replace = 0;
    if (!PathExists(target))
        return 1;
    int own = Pieces.record != NoRecord && IsSameFile(target, Pieces.recordName);
    for (int k = 1; k <= Pieces.pieces && !own; k++)
        own = IsSameFile(target, PieceName(k));
    if (own || (GetFileAttributesA(target) & FILE_ATTRIBUTE_DIRECTORY)) {
        FormatMessageText("%s\n%s", target, own ? "is one of the pieces or their record: Morvane never writes over them."
                                                 : "is a folder: Morvane cannot give the rebuilt file its name.");
        return StopJoin(1);
    }
    FormatMessageText("%s %s\n\n%s", target, "already exist", "Do you want to overwrite it?");
    *replace = AskYesNo(AppState.MessageText, "File Exist", MB_ICONWARNING | MB_DEFBUTTON2);
    return *replace ? 1 : StopJoin(0);
}

// The pieces' digests as the thread finishes them, against the checksum file's. 1 while they match.
static int CheckDigests(int *checked)
{
    for (; *checked < PiecesDigested() && Pieces.record == ChecksumRecord; ++*checked)
        if (memcmp(PieceDigest(*checked + 1), ExpectedPieceDigest(*checked + 1), Sha256Size) != 0) {
            FormatMessageText("%s %s %s %s\n%s", Bare(PieceName(*checked + 1)), "is damaged: its SHA-256 is not the one",
                              Bare(Pieces.recordName), "gives.", "Copy it again, then join again.");
            return StopJoin(1);
        }
    return 1;
}

// Copies every piece into the file. 1 when all are in and their digests match so far.
static int CopyPieces(const char *target)
{
    SetStatusText("joining...");
    StartProgress(Pieces.pieces);
    int checked = 0;
    for (int k = 1; k <= Pieces.pieces; k++) {
        Reading = CreateFileA(PieceName(k), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        MoveResult moved = Reading == INVALID_HANDLE_VALUE ? ReadFailed : MoveBytes(Reading, Made.piece, SetPieceSize(k), k, 1);
        if (moved == MoveCancelled)
            return StopJoin(0);
        if (moved == ReadFailed)
            FormatMessageText("%s\n%s", "Could not read", Bare(PieceName(k)));
        if (moved == WriteFailed)
            FormatMessageText("%s\n%s\n%s", "Could not write", target, "The disk may be full");
        if (moved != Moved)
            return StopJoin(1);
        CloseHandle(Reading);
        Reading = INVALID_HANDLE_VALUE;
        if (!CheckDigests(&checked))
            return 0;
        StepProgress();
    }
    EndTransfers();
    return CheckDigests(&checked);
}

// The whole file against the record, once every piece is in.
static int CheckWhole(const char *target)
{
    const char *record = Bare(Pieces.recordName);
    if (Pieces.record == ChecksumRecord && memcmp(WholeDigest(), ExpectedWholeDigest(), Sha256Size) != 0)
        FormatMessageText("%s %s %s %s\n%s", Pieces.name, "came out other than", record,
                          "gives, though every piece matches it.", "Join again.");
    else if (Pieces.record == CrcRecord && WholeCrc() != Pieces.crc32)
        FormatMessageText("%s %s %s %s\n%s", "The pieces do not make", Pieces.name, "as", record,
                          "gives its CRC-32: a piece is damaged. Copy the pieces again, then join again.");
    else if (!CloseMadePiece())
        FormatMessageText("%s\n%s\n%s", "Could not write", target, "The disk may be full");
    else
        return 1;
    return StopJoin(1);
}

static char Outcome[32] = "";

int JoinFiles(void)
{
    char target[3 * PathCapacity];
    char temporary[2 * PathCapacity];
    int replace = 0;
    Outcome[0] = '\0';
    if (!FindPieceSet()) {
        FormatMessageText("%s\n%s", AppState.FileName, "is no longer a piece of a set that Morvane can join.");
        return StopJoin(1);
    }
    if (Pieces.missing > 0) {
        FormatMessageText("%s %s\n%s", Bare(PieceName(Pieces.missing)), "is missing.",
                          "Copy it beside the other pieces, then join again.");
        return StopJoin(1);
    }
    if (!CheckSizes() || !ChooseTarget(target, sizeof target, &replace))
        return 0;

    // Written beside where it goes, under a name of its own, so that the rename is instant.
    char folder[3 * PathCapacity];
    CopyText(folder, sizeof folder, target);
    *(char *)Bare(folder) = '\0';
    if (GetTempFileNameA(folder, "mvj", 0, temporary) == 0) {
        FormatMessageText("%s\n%s", "Could not create a file in", folder);
        return StopJoin(1);
    }
    NoteMadeFile(CreateFileA(temporary, GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL), temporary);
    int digests = Pieces.record == ChecksumRecord ? DigestPieces | DigestWhole : Pieces.record == CrcRecord ? DigestCrc : 0;
    if (Made.piece == INVALID_HANDLE_VALUE || !BeginTransfers(digests)) {
        FormatMessageText("%s\n%s", "Could not create", temporary);
        return StopJoin(1);
    }
    if (!CopyPieces(target) || !CheckWhole(target))
        return 0;
    if (AppState.RunCancelled == CancelTaken) // while it waited for the last digests
        return StopJoin(0);
    if (!MoveFileExA(temporary, target, replace ? MOVEFILE_REPLACE_EXISTING : 0)) {
        FormatMessageText("%s\n%s", "Could not give the rebuilt file its name:", target);
        return StopJoin(1);
    }
    Made.files = 0; // the file is the user's now
    snprintf(Outcome, sizeof Outcome, "%s", digests != 0 ? "joined and checked" : "joined, not checked");
    if (Pieces.leftOut > 0) {
        FormatMessageText("%s %s %s %s %d %s", Bare(PieceName(Pieces.leftOut)), "was left alone:", Bare(Pieces.recordName),
                          "lists", Pieces.pieces, "pieces.");
        ShowMessage(AppState.MessageText, "Notice", MB_ICONWARNING);
    }
    return 1;
}

int RunJoinCommand(void)
{
    SetCursor(AppState.WaitCursor);
    ForgetMade();
    int result = JoinFiles();
    if (AppState.RunCancelled == CancelTaken) {
        UndoRun();
        result = 0;
    }
    RestoreIdleUi();
    return result;
}

const char *JoinedStatus(void) { return Outcome; }
