// The checksum file: each piece's SHA-256 and the whole file's, one line each, in the form that
// sha256sum -c, 7-Zip and most hash tools of Windows read: 64 lowercase hexadecimal digits, a
// space, a star (the file is read as bytes) and the file's name.
#include "Split.h"

#include "core/UiHelpers.h"

#include <stdio.h>
#include <string.h>

int ChecksumFileWanted(void)
{
    return IsInForce(AppState.BatchFileCheck) || IsChecked(AppState.LogFileCheck);
}

int ComposeTextName(char *name, size_t capacity, const char *suffix, const char *other)
{
    snprintf(name, capacity, "%s%s", AppState.BaseName, lstrcmpiA(AppState.Extension, suffix) == 0 ? other : suffix);
    if (!IsTheSource(name))
        return 1;
    snprintf(name, capacity, "%s%s", AppState.BaseName, other);
    return !IsTheSource(name);
}

FILE *OpenSplitText(int named, const char *name, const char *what, const char *caption, const char *failure, int *result)
{
    *result = 0;
    if (!named) {
        FormatMessageText("%s %s %s\n%s\n%s", "No", what, "file was written: its name", name,
                          "opens the source file itself, which Morvane never writes over");
        ShowMessage(AppState.MessageText, "Error", MB_ICONERROR);
        return NULL;
    }
    if (KeepsExistingFile(name, caption)) {
        *result = 1;
        return NULL;
    }
    FILE *file = fopen(name, "wt");
    if (file == NULL) {
        ShowMessage(failure, "Error", MB_ICONERROR);
        return NULL;
    }
    NoteMadeText(file, name);
    return file;
}

// A source that is itself a .sha256 file (whatever the case), or one that the name would open all
// the same (a hard link, say), gets .sha256.txt.
int ComposeChecksumName(void)
{
    return ComposeTextName(AppState.ChecksumName, sizeof AppState.ChecksumName, ".sha256", ".sha256.txt");
}

static void WriteLine(FILE *file, const unsigned char *digest, const char *name)
{
    char hex[Sha256HexSize];
    Sha256Hex(digest, hex);
    fprintf(file, "%s *%s\n", hex, name);
}

int WriteChecksumFile(void)
{
    int result = 0, named = ComposeChecksumName();
    char failure[sizeof AppState.MessageText];
    CopyText(failure, sizeof failure, FormatMessageText("%s\n%s", "Could not create the checksum file", AppState.ChecksumName));
    FILE *file = OpenSplitText(named, AppState.ChecksumName, "checksum", "Checksum File Exist", failure, &result);
    if (file == NULL)
        return result;
    for (int k = 1; k <= AppState.PieceCount; k++) {
        ComposePieceName(k);
        WriteLine(file, PieceDigest(k), AppState.PieceName);
    }
    char whole[2 * PathCapacity];
    snprintf(whole, sizeof whole, "%s%s", AppState.BaseName, AppState.Extension);
    WriteLine(file, WholeDigest(), whole);

    if (!CloseMadeText()) {
        // An incomplete list would call the pieces past its end unknown.
        DeleteFileA(AppState.ChecksumName);
        return ReportWriteFailure(AppState.ChecksumName);
    }
    return 1;
}
