// Which set of pieces a name belongs to, and what the record beside them says of the file they
// make: Morvane's checksum file, log or batch file, or a file manager's .crc record.
#include "Run.h"

#include "core/UiHelpers.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

PieceSet Pieces;

static unsigned char ExpectedPieces[MaxPieces][Sha256Size];
static unsigned char ExpectedWhole[Sha256Size];

// A record is read whole; none of Morvane's is larger (999 lines of a log or of checksums).
enum { RecordLimit = 1 << 20 };

const unsigned char *ExpectedPieceDigest(int piece) { return ExpectedPieces[piece >= 1 && piece <= MaxPieces ? piece - 1 : 0]; }

const unsigned char *ExpectedWholeDigest(void) { return ExpectedWhole; }

// The set's stem: the piece's name up to its number, with the folder it was given with.
static char Stem[PathCapacity];

void ComposeSetName(char *name, size_t capacity, const char *suffix) { snprintf(name, capacity, "%s%s", Stem, suffix); }

void ComposeSetPiece(char *name, size_t capacity, int piece) { snprintf(name, capacity, "%s.%03d", Stem, piece); }

// The pieces' sizes, -1 for those not there: read from one listing of the folder, which is many
// times as fast as asking for each name in turn (a set may have 999 pieces, and the status is
// recomputed as the user types).
static int64_t Sizes[MaxPieces + 1];

int64_t SetPieceSize(int piece) { return piece >= 1 && piece <= MaxPieces ? Sizes[piece] : -1; }

static int PieceNumber(const char *name);

static void ListPieces(void)
{
    for (int k = 0; k <= MaxPieces; k++)
        Sizes[k] = -1;
    char pattern[PathCapacity];
    WIN32_FIND_DATAA found;
    ComposeSetName(pattern, sizeof pattern, ".*");
    HANDLE search = FindFirstFileA(pattern, &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && PieceNumber(found.cFileName) > 0)
            Sizes[PieceNumber(found.cFileName)] = (int64_t)found.nFileSizeHigh << 32 | found.nFileSizeLow;
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}

// A record's whole text, NUL-terminated, in the program's code page (a batch file's is the
// console's); NULL when there is none, or it is too large to be one.
static char *ReadRecord(const char *suffix, int console)
{
    ComposeSetName(Pieces.recordName, sizeof Pieces.recordName, suffix);
    HANDLE file = CreateFileA(Pieces.recordName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    int64_t size = -1;
    if (file == INVALID_HANDLE_VALUE || !ReadFileSize(file, &size) || size > RecordLimit) {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        return NULL;
    }
    char *text = (char *)malloc(3 * (size_t)size + 1); // room for the console's text in UTF-8
    DWORD done = 0;
    int read = text != NULL && ReadFile(file, text, (DWORD)size, &done, NULL) && done == size;
    CloseHandle(file);
    if (read && console && size > 0) {
        wchar_t *wide = (wchar_t *)malloc(((size_t)size + 1) * sizeof(wchar_t));
        int units = wide != NULL ? MultiByteToWideChar(ConsoleCodePage(), 0, text, (int)size, wide, (int)size + 1) : 0;
        size = units > 0 ? WideCharToMultiByte(CP_ACP, 0, wide, units, text, 3 * (int)size, NULL, NULL) : 0;
        free(wide);
    }
    if (!read || text == NULL) {
        free(text);
        return NULL;
    }
    text[size] = '\0';
    return text;
}

// The next line of a record, its end (CR LF or LF) cut off; NULL past the last.
static char *NextLine(char **rest)
{
    char *line = *rest;
    if (line == NULL || *line == '\0')
        return NULL;
    char *end = strchr(line, '\n');
    *rest = end != NULL ? end + 1 : NULL;
    if (end != NULL)
        *end = '\0';
    size_t n = strlen(line);
    if (n > 0 && line[n - 1] == '\r')
        line[n - 1] = '\0';
    return line;
}

// The number a name gives a piece of this set (its name, a dot, three digits), or 0.
static int PieceNumber(const char *name)
{
    size_t n = strlen(AppState.BaseName);
    if (strlen(name) != n + 4 || name[n] != '.' || strspn(name + n + 1, "0123456789") != 3 ||
        CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name, (int)n, AppState.BaseName, (int)n) != CSTR_EQUAL)
        return 0;
    return atoi(name + n + 1);
}

// A name a record may give the rebuilt file: a name alone, without a folder or anything Windows
// would take for something else (a stream, wildcards, a device), and not one of the pieces.
static int TakeRebuiltName(const char *name)
{
    // Windows makes \\.\CON of CON, NUL, COM1, LPT1 ... in every folder, whatever follows the dot.
    char full[2 * PathCapacity] = "";
    GetFullPathNameA(name, sizeof full, full, NULL);
    if (strncmp(full, "\\\\.\\", 4) == 0)
        return 0;
    size_t n = strlen(name);
    if (n == 0 || name[n - 1] == ' ' || name[n - 1] == '.' || strpbrk(name, "\\/:*?\"<>|") != NULL ||
        WideLength(name) > 255 || PieceNumber(name) != 0)
        return 0;
    CopyText(Pieces.name, sizeof Pieces.name, name);
    return 1;
}

// Morvane's checksum file: a line per piece, in order, then the whole file's.
static int ReadChecksumFile(const char *suffix)
{
    char *text = ReadRecord(suffix, 0), *rest = text;
    int pieces = 0, whole = 0, sound = text != NULL;
    for (char *line; sound && (line = NextLine(&rest)) != NULL;) {
        unsigned char digest[Sha256Size];
        int k = strlen(line) > 66 ? PieceNumber(line + 66) : 0;
        if (line[0] == '\0')
            continue;
        sound = !whole && strlen(line) > 66 && Sha256FromHex(line, digest) && line[64] == ' ' &&
                (line[65] == '*' || line[65] == ' ') && (k == pieces + 1 || (k == 0 && pieces > 0 && TakeRebuiltName(line + 66)));
        if (sound && k > 0)
            memcpy(ExpectedPieces[pieces++], digest, Sha256Size);
        else if (sound)
            memcpy(ExpectedWhole, digest, Sha256Size), whole = 1;
    }
    free(text);
    Pieces.pieces = pieces;
    return sound && whole;
}

// A file manager's record: filename=, size= and crc32= lines. The pieces are as many as the size
// takes in pieces of the first one's size.
static int ReadCrcRecord(const char *suffix)
{
    char *text = ReadRecord(suffix, 0), *rest = text;
    int found = 0;
    for (char *line, *end; text != NULL && (line = NextLine(&rest)) != NULL;) {
        if (strncmp(line, "\xEF\xBB\xBF", 3) == 0) // a UTF-8 mark before the first line
            line += 3;
        if (_strnicmp(line, "filename=", 9) == 0 && TakeRebuiltName(line + 9))
            found |= 1;
        else if (_strnicmp(line, "size=", 5) == 0 && (Pieces.recordSize = _strtoi64(line + 5, &end, 10)) > 0 && *end == '\0')
            found |= 2;
        else if (_strnicmp(line, "crc32=", 6) == 0 && line[6] != '\0' && strlen(line) <= 14 &&
                 (Pieces.crc32 = (uint32_t)strtoul(line + 6, &end, 16), *end == '\0'))
            found |= 4;
    }
    free(text);
    int64_t first = SetPieceSize(1);
    if (found != 7 || first <= 0 || (Pieces.recordSize + first - 1) / first > MaxPieces)
        return 0;
    Pieces.pieces = (int)((Pieces.recordSize + first - 1) / first);
    return 1;
}

// Morvane's log: the file's name and size, and each piece's size.
static int ReadLog(const char *suffix)
{
    char *text = ReadRecord(suffix, 0), *rest = text;
    int pieces = 0, named = 0;
    for (char *line; text != NULL && (line = NextLine(&rest)) != NULL;) {
        char head[16], piece[PathCapacity];
        snprintf(head, sizeof head, " %3i. ", pieces + 1);
        snprintf(piece, sizeof piece, "%s.%03d  ", AppState.BaseName, pieces + 1);
        size_t h = strlen(head), p = strlen(piece);
        if (strncmp(line, "Original file name... ", 22) == 0)
            named = TakeRebuiltName(line + 22);
        else if (strncmp(line, "Original file size... ", 22) == 0)
            Pieces.recordSize = _strtoi64(line + 22, NULL, 10);
        else if (pieces < MaxPieces && strncmp(line, head, h) == 0 && _strnicmp(line + h, piece, p) == 0)
            Pieces.pieceSizes[pieces++] = _strtoi64(line + h + p, NULL, 10);
    }
    free(text);
    Pieces.pieces = pieces;
    return named && pieces > 0;
}

// Morvane's batch file: the name it rebuilds, and the pieces it looks for.
static int ReadBatchFile(const char *suffix)
{
    char *text = ReadRecord(suffix, 1), *rest = text;
    int named = 0;
    for (char *line; text != NULL && (line = NextLine(&rest)) != NULL;) {
        if (strncmp(line, "ECHO Rejoining ", 15) == 0 && !named)
            named = TakeRebuiltName(line + 15);
        if (strncmp(line, "FOR %%P IN (", 12) != 0 || strstr(line, "IF NOT EXIST %%P GOTO MISSING") == NULL)
            continue;
        for (char *piece = strtok(line + 12, " )"); piece != NULL; piece = strtok(NULL, " )"))
            if (PieceNumber(piece) > Pieces.pieces)
                Pieces.pieces = PieceNumber(piece);
    }
    free(text);
    return named && Pieces.pieces > 0;
}

int FindPieceSet(void)
{
    memset(&Pieces, 0, sizeof Pieces);
    const char *number = AppState.Extension;
    if (strlen(number) != 4 || number[0] != '.' || strspn(number + 1, "0123456789") != 3 || strcmp(number, ".000") == 0)
        return 0;
    snprintf(Stem, sizeof Stem, "%s%s%s", AppState.Drive, AppState.DirPart, AppState.BaseName);
    ListPieces();

    // The record beside the pieces, the most telling first: it names the file and what to check.
    int last = 0; // the highest piece there
    for (int k = 1; k <= MaxPieces; k++)
        if (SetPieceSize(k) >= 0)
            last = k;
    static const struct {
        int (*read)(const char *suffix);
        const char *suffix;
        JoinRecord kind;
    } records[] = {{ReadChecksumFile, ".sha256", ChecksumRecord}, {ReadChecksumFile, ".sha256.txt", ChecksumRecord},
                   {ReadCrcRecord, ".crc", CrcRecord},           {ReadLog, ".log", LogRecord},
                   {ReadLog, ".txt", LogRecord},                 {ReadBatchFile, ".bat", BatchRecord}};
    for (const auto &record : records) {
        memset(&Pieces, 0, sizeof Pieces); // what a record that is not one has left
        if (record.read(record.suffix)) {
            Pieces.record = record.kind;
            break;
        }
    }

    // Without one, the pieces from the first to the last there make the set, and its file takes
    // the pieces' name: name.ext for a name.ext.nnn set, NAME alone (as the batch file names a
    // file without an extension) for NAME.nnn.
    if (Pieces.record == NoRecord) {
        memset(&Pieces, 0, sizeof Pieces);
        if (SetPieceSize(1) < 0 || last < 2)
            return 0;
        Pieces.pieces = last;
        CopyText(Pieces.name, sizeof Pieces.name, AppState.BaseName);
    }
    for (int k = Pieces.pieces; k >= 1; k--)
        if (SetPieceSize(k) < 0)
            Pieces.missing = k; // the first that should be there and is not
    for (int k = Pieces.pieces + 1; k <= last && Pieces.leftOut == 0; k++)
        if (SetPieceSize(k) >= 0)
            Pieces.leftOut = k; // past those the record lists: left alone

    Pieces.size = Pieces.recordSize;
    for (int k = 1; k <= Pieces.pieces && Pieces.record != CrcRecord && Pieces.recordSize <= 0; k++)
        Pieces.size += Pieces.record == LogRecord ? Pieces.pieceSizes[k - 1] : (SetPieceSize(k) > 0 ? SetPieceSize(k) : 0);
    return 1;
}
