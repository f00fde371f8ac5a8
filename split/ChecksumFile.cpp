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

// It never takes the source's own name: a source that is itself a .sha256 file (whatever the case),
// or one that the name would open all the same (a hard link, say), gets .sha256.txt.
int ComposeChecksumName(void)
{
    const char *suffix = lstrcmpiA(AppState.Extension, ".sha256") == 0 ? ".sha256.txt" : ".sha256";
    snprintf(AppState.ChecksumName, sizeof AppState.ChecksumName, "%s%s", AppState.BaseName, suffix);
    if (!IsTheSource(AppState.ChecksumName))
        return 1;
    snprintf(AppState.ChecksumName, sizeof AppState.ChecksumName, "%s%s", AppState.BaseName, ".sha256.txt");
    return !IsTheSource(AppState.ChecksumName);
}

static void WriteLine(FILE *file, const unsigned char *digest, const char *name)
{
    char hex[Sha256HexSize];
    Sha256Hex(digest, hex);
    fprintf(file, "%s *%s\n", hex, name);
}

int WriteChecksumFile(void)
{
    if (!ComposeChecksumName()) {
        FormatMessageText("%s\n%s\n%s", "No checksum file was written: its name", AppState.ChecksumName,
                          "opens the source file itself, which Morvane never writes over");
        ShowMessage(AppState.MessageText, "Error", MB_ICONERROR);
        return 0;
    }
    if (KeepsExistingFile(AppState.ChecksumName, "Checksum File Exist"))
        return 1;

    FILE *file = fopen(AppState.ChecksumName, "wt");
    if (file == NULL) {
        FormatMessageText("%s\n%s", "Could not create the checksum file", AppState.ChecksumName);
        ShowMessage(AppState.MessageText, "Error", MB_ICONERROR);
        return 0;
    }
    NoteMadeText(file, AppState.ChecksumName);
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
