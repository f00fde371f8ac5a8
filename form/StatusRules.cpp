// The rules that keep the title, the status panes, the presets, the pin and the enabled state of
// the controls in step with the chosen file and the options. Nothing is cached: each rule
// recomputes from the file and the controls.
#include "Form.h"

#include "core/UiHelpers.h"
#include "run/Run.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// What measuring the source found.
enum SourceKind { SourceMissing, SourceFile, SourceFolder, SourceUnreadable };

// Measures FileName relative to the working directory; fills *size for a readable file.
static SourceKind MeasureSource(int64_t *size)
{
    DWORD attributes = GetFileAttributesA(AppState.FileName);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return SourceMissing;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return SourceFolder;
    HANDLE file = CreateFileA(AppState.FileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return SourceUnreadable;
    int measured = ReadFileSize(file, size);
    CloseHandle(file);
    return measured ? SourceFile : SourceUnreadable;
}

static void SetPanes(const char *name, const char *size, const char *pieces)
{
    SetWindowTextA(AppState.StatusNamePane, name);
    SetWindowTextA(AppState.StatusSizePane, size);
    SetWindowTextA(AppState.StatusPiecesPane, pieces);
}

// A piece of a set selects a join: the Split button reads Join, and what only a split uses (the
// piece size and its presets, Batch File, Log File, Sub Directory) is greyed out.
static void ApplyJoinRule(void)
{
    const HWND splitOnly[] = {AppState.SplitSizeEdit, AppState.Preset288Radio, AppState.Preset144Radio,
                              AppState.Preset720Radio, AppState.LogFileCheck};
    for (HWND control : splitOnly)
        EnableWindow(control, !AppState.JoinSelected);
    if (AppState.JoinSelected) {
        EnableWindow(AppState.BatchFileCheck, FALSE);
        EnableWindow(AppState.SubDirectoryCheck, FALSE);
    }
    const char *label = AppState.JoinSelected ? "Join" : "Split";
    char shown[16] = "";
    GetWindowTextA(AppState.SplitButton, shown, sizeof shown);
    if (strcmp(shown, label) != 0)
        SetWindowTextA(AppState.SplitButton, label);
}

void UpdateFileStatus(void)
{
    int64_t size = 0;
    SourceKind kind = MeasureSource(&size);
    AppState.JoinSelected = kind == SourceFile && FindPieceSet();
    ApplyJoinRule();
    if (kind == SourceMissing) {
        SetWindowTextA(AppState.MainWindow, PRODUCT_TITLE);
        SetPanes("", "", "");
        EnableWindow(AppState.SplitButton, FALSE);
        return;
    }

    // The file's whole path: the current folder and the name, or the name alone when it is a
    // whole path itself (C:\Work\D:\x\data.zip would name nothing). A path longer than the
    // system's calls take is put together by hand.
    char path[2 * PathCapacity] = "";
    DWORD length = GetFullPathNameA(AppState.FileName, sizeof path, path, NULL);
    if (length == 0 || length >= sizeof path) {
        char folder[PathCapacity] = "";
        GetCurrentDirectoryA(sizeof folder, folder);
        snprintf(path, sizeof path, "%s\\%s", folder, AppState.FileName);
    }
    SetWindowTextA(AppState.MainWindow, path);

    if (kind != SourceFile) {
        // Something of that name is there, but it is nothing the program can split.
        const char *why = kind == SourceFolder ? "is a folder" : "cannot be read";
        AppState.FileSize = -1;
        AppState.PieceCount = 0;
        SetPanes(AppState.FileName, why, "0 splits");
        EnableWindow(AppState.SplitButton, FALSE);
        return;
    }

    char sizeText[32];
    char piecesText[32];
    if (AppState.JoinSelected) { // the file the pieces make
        snprintf(sizeText, sizeof sizeText, "%lld bytes", (long long)Pieces.size);
        snprintf(piecesText, sizeof piecesText, "%d pieces", Pieces.pieces);
        SetPanes(Pieces.name, sizeText, piecesText);
        EnableWindow(AppState.SplitButton, TRUE);
        return;
    }
    AppState.FileSize = size;
    snprintf(sizeText, sizeof sizeText, "%lld bytes", (long long)size);
    SetWindowTextA(AppState.StatusNamePane, AppState.FileName);
    SetWindowTextA(AppState.StatusSizePane, sizeText);

    AppState.PieceCount = CountPieces(size, AppState.SplitSize);

    if (AppState.PieceCount < MinPieces || AppState.PieceCount > MaxPieces) {
        SetWindowTextA(AppState.StatusPiecesPane, "0 splits");
        EnableWindow(AppState.SplitButton, FALSE);
    } else {
        snprintf(piecesText, sizeof piecesText, "%lld splits", (long long)AppState.PieceCount);
        SetWindowTextA(AppState.StatusPiecesPane, piecesText);
        EnableWindow(AppState.SplitButton, TRUE);
    }
}

void RestoreIdleUi(void)
{
    SendMessageA(AppState.ProgressBar, PBM_SETPOS, 0, 0);
    SetCurrentDirectoryA(AppState.CurrentDirectory);
    SetWindowTextA(AppState.MainWindow, PRODUCT_TITLE);
    ShowWindow(AppState.ProgressBar, SW_HIDE);
    UpdateFileStatus();
}

void UpdateSubDirOption(void)
{
    if (AppState.JoinSelected)
        return; // greyed out for a join
    size_t n = WideLength(AppState.BaseName);
    size_t d = WideLength(IsChecked(AppState.UseOutputCheck) ? AppState.OutputDirectory : AppState.CurrentDirectory);
    // The sub-folder's pieces are folder\BaseName\BaseName.nnn: they must stay within 256 characters.
    EnableWindow(AppState.SubDirectoryCheck, d + 2 * n + 3 <= FolderLimit);
}

void SyncSizePresets(void)
{
    // BM_SETCHECK does not clear the group's other radio buttons, so each is set explicitly.
    SetChecked(AppState.Preset720Radio, AppState.SplitSize == Preset720Size);
    SetChecked(AppState.Preset144Radio, AppState.SplitSize == Preset144Size);
    SetChecked(AppState.Preset288Radio, AppState.SplitSize == Preset288Size);
    // The checked preset holds the group's tab stop (checking moves it); with none checked, the first.
    HWND first = AppState.Preset288Radio;
    if (!IsChecked(AppState.Preset720Radio) && !IsChecked(AppState.Preset144Radio) && !IsChecked(first))
        SetWindowLongPtrA(first, GWL_STYLE, GetWindowLongPtrA(first, GWL_STYLE) | WS_TABSTOP);
}

void SetOnTop(int16_t state)
{
    if (state != 0 && state != 1)
        return;
    HWND order = state == 0 ? HWND_TOPMOST : HWND_NOTOPMOST;
    HICON icon = state == 0 ? AppState.PinOnIcon : AppState.PinOffIcon;
    const char *tip = state == 0 ? "always on top" : "click to keep on top";

    SetWindowPos(AppState.MainWindow, order, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SendMessageA(AppState.PinButton, BM_SETIMAGE, IMAGE_ICON, (LPARAM)icon);
    SetTip(AppState.PinTooltip, AppState.PinButton, 0, tip);
    AppState.OnTop = state == 0 ? 1 : 0;
}

// The output-path field and the browse button are usable exactly while OutputToggle is 1.
static void EnableOutputControls(void)
{
    EnableWindow(AppState.OutputPathEdit, AppState.OutputToggle);
    EnableWindow(AppState.BrowseButton, AppState.OutputToggle);
}

void ApplyUseOutputRule(void)
{
    AppState.OutputToggle = IsChecked(AppState.UseOutputCheck) ? 1 : 0;
    EnableOutputControls();
}

void ToggleUseOutput(void)
{
    AppState.OutputToggle = AppState.OutputToggle == 0 ? 1 : 0;
    EnableOutputControls();
    UpdateSubDirOption();
}

void ApplySizeRule(void)
{
    // The field takes only digits from the keys; a paste brings any text ("1,457,000"). The field
    // shows the size in use: what is not a digit is dropped from it, as typing would, and so are
    // leading zeros (00000000012 is 12) and every digit after the first ten of the number; a
    // number above the largest size becomes the largest. Writing it runs this rule again on that
    // number alone.
    char text[64] = "";
    char digits[sizeof text];
    size_t n = 0;
    int zero = 0;
    GetWindowTextA(AppState.SplitSizeEdit, text, sizeof text);
    for (const char *c = text; *c != '\0' && n < MaxSizeDigits; c++) {
        zero = zero || *c == '0';
        if (*c >= '0' && *c <= '9' && (n > 0 || *c != '0'))
            digits[n++] = *c;
    }
    if (n == 0 && zero)
        digits[n++] = '0';
    digits[n] = '\0';
    // Ten digits can exceed the signed 32-bit range.
    long long value = strtoll(digits, NULL, 10);
    if (value > INT32_MAX)
        n = (size_t)snprintf(digits, sizeof digits, "%d", INT32_MAX);
    if (strcmp(digits, text) != 0) {
        SetWindowTextA(AppState.SplitSizeEdit, digits);
        SendMessageA(AppState.SplitSizeEdit, EM_SETSEL, n, n);
        return;
    }
    AppState.SplitSize = (int32_t)value;
    UpdateFileStatus();
    SyncSizePresets();
}

void ApplyPresetRule(void)
{
    if (IsChecked(AppState.Preset288Radio))
        AppState.SplitSize = Preset288Size;
    if (IsChecked(AppState.Preset144Radio))
        AppState.SplitSize = Preset144Size;
    if (IsChecked(AppState.Preset720Radio))
        AppState.SplitSize = Preset720Size;
    FormatMessageText("%i", (int)AppState.SplitSize);
    SetWindowTextA(AppState.SplitSizeEdit, AppState.MessageText);
    UpdateFileStatus();
}
