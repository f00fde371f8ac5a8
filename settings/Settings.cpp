#include "Settings.h"

#include "core/UiHelpers.h"
#include "form/Form.h"
#include "resources/resource.h"
#include "shell/Shell.h"

#include <stdio.h>
#include <string.h>

// Bits of the ChkBits value.
enum {
    BitOnTop = 0x01,
    BitBatchFile = 0x02,
    BitLogFile = 0x04,
    BitUseOutput = 0x08,
    BitSubDirectory = 0x10,
    BitAutoSplit = 0x20,
};

enum { PlacementSize = 44 };

// A folder is stored as a field of 257 bytes, NULs after the path; a longer path (in UTF-8, the
// program's code page from Windows 10 1903 on) is stored with its own length. The registry keeps
// strings in UTF-16 whatever the code page, so values of either form read back whole.
enum { StoredFolderSize = 257 };

static const char ProgramKeyPath[] = "Software\\Drelwick\\Morvane";

struct SettingsKeys {
    HKEY software, maker, program;
};

static SettingsKeys OpenKeys(void)
{
    SettingsKeys keys = {NULL, NULL, NULL};
    RegCreateKeyA(HKEY_CURRENT_USER, "Software", &keys.software);
    RegCreateKeyA(keys.software, "Drelwick", &keys.maker);
    RegCreateKeyA(keys.maker, "Morvane", &keys.program);
    return keys;
}

static void CloseKeys(SettingsKeys keys)
{
    RegCloseKey(keys.program);
    RegCloseKey(keys.maker);
    RegCloseKey(keys.software);
}

// Reads a folder string into a field of PathCapacity bytes. A value that does not fit, or a path
// longer than a folder the program works in, counts as absent; one without a terminator is ended,
// never overrun.
static int ReadFolder(HKEY key, const char *name, char *field)
{
    char value[PathCapacity + 1];
    DWORD size = PathCapacity;
    memset(value, 0, sizeof value);
    if (RegQueryValueExA(key, name, NULL, NULL, (BYTE *)value, &size) != ERROR_SUCCESS)
        return 0;
    value[PathCapacity - 1] = '\0';
    if (WideLength(value) > FolderLimit)
        return 0;
    CopyText(field, PathCapacity, value);
    return 1;
}

static void WriteFolder(HKEY key, const char *name, const char *folder)
{
    char value[PathCapacity];
    memset(value, 0, sizeof value);
    CopyText(value, sizeof value, folder);
    DWORD size = (DWORD)strlen(value) + 1;
    if (size < StoredFolderSize)
        size = StoredFolderSize;
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)value, size);
}

static int ReadDword(HKEY key, const char *name, DWORD *result)
{
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key, name, NULL, NULL, (BYTE *)&value, &size) != ERROR_SUCCESS)
        return 0;
    // A shorter value fills only the low bytes, the rest staying 0.
    *result = value;
    return 1;
}

static void RestorePlacement(HKEY key)
{
    WINDOWPLACEMENT placement;
    memset(&placement, 0, sizeof placement);
    placement.length = PlacementSize;
    DWORD size = PlacementSize;
    if (RegQueryValueExA(key, "WinPos", NULL, NULL, (BYTE *)&placement, &size) != ERROR_SUCCESS) {
        ShowWindow(AppState.MainWindow, SW_SHOW);
        return;
    }
    if (placement.showCmd == SW_SHOWMINIMIZED)
        ShowWindow(AppState.MainWindow, SW_HIDE);
    placement.length = PlacementSize; // the stored record's own length field is not trusted
    // The window has one size, that of the DPI it started at: a record saved at another DPI gives
    // its position and show state, not its size.
    RECT now, *normal = &placement.rcNormalPosition;
    GetWindowRect(AppState.MainWindow, &now);
    normal->right = normal->left + (now.right - now.left);
    normal->bottom = normal->top + (now.bottom - now.top);
    SetWindowPlacement(AppState.MainWindow, &placement);
}

static void RestoreOptions(HKEY key)
{
    DWORD bits = 0;
    if (!ReadDword(key, "ChkBits", &bits)) {
        SetChecked(AppState.BatchFileCheck, 1);
        SetChecked(AppState.LogFileCheck, 1);
        SetChecked(AppState.UseOutputCheck, 1);
        SetChecked(AppState.SubDirectoryCheck, 1);
        CheckMenuItem(AppState.TrayMenu, CmdAutoSplit, MF_BYCOMMAND | MF_UNCHECKED);
        SetOnTop(1);
    } else {
        SetOnTop((bits & BitOnTop) ? 0 : 1);
        // A clear bit leaves the box as it was created: unchecked.
        SetChecked(AppState.BatchFileCheck, (bits & BitBatchFile) != 0);
        SetChecked(AppState.LogFileCheck, (bits & BitLogFile) != 0);
        SetChecked(AppState.UseOutputCheck, (bits & BitUseOutput) != 0);
        SetChecked(AppState.SubDirectoryCheck, (bits & BitSubDirectory) != 0);
        if (bits & BitAutoSplit)
            CheckMenuItem(AppState.TrayMenu, CmdAutoSplit, MF_BYCOMMAND | MF_CHECKED);
    }
    ApplyUseOutputRule();
}

void LoadSettings(void)
{
    SettingsKeys keys = OpenKeys();

    // A remembered folder that is gone (a stick taken out, a share away) is let go: the folder the
    // program started in becomes the current one, so that the title, the log, the return after a
    // split and the next save all name a folder that exists.
    if (!ReadFolder(keys.program, "CurrentDirectory", AppState.CurrentDirectory) ||
        !SetCurrentDirectoryA(AppState.CurrentDirectory))
        GetCurrentDirectoryA(sizeof AppState.CurrentDirectory, AppState.CurrentDirectory);

    if (!ReadFolder(keys.program, "OutputDirectory", AppState.OutputDirectory))
        GetCurrentDirectoryA(sizeof AppState.OutputDirectory, AppState.OutputDirectory);
    SetWindowTextA(AppState.OutputPathEdit, AppState.OutputDirectory);

    RestorePlacement(keys.program);
    RestoreOptions(keys.program);

    DWORD size = 0;
    if (!ReadDword(keys.program, "SplitSize", &size) || (int32_t)size < 1)
        size = Preset144Size;
    AppState.SplitSize = (int32_t)size;
    FormatMessageText("%i", (int)AppState.SplitSize);
    SetWindowTextA(AppState.SplitSizeEdit, AppState.MessageText);
    SyncSizePresets();

    CloseKeys(keys);
}

void SaveSettings(void)
{
    SettingsKeys keys = OpenKeys();

    GetCurrentDirectoryA(sizeof AppState.CurrentDirectory, AppState.CurrentDirectory);
    WriteFolder(keys.program, "CurrentDirectory", AppState.CurrentDirectory);
    WriteFolder(keys.program, "OutputDirectory", AppState.OutputDirectory);

    WINDOWPLACEMENT placement;
    memset(&placement, 0, sizeof placement);
    placement.length = PlacementSize;
    GetWindowPlacement(AppState.MainWindow, &placement);
    RegSetValueExA(keys.program, "WinPos", 0, REG_BINARY, (const BYTE *)&placement, PlacementSize);

    DWORD size = (DWORD)AppState.SplitSize;
    RegSetValueExA(keys.program, "SplitSize", 0, REG_DWORD, (const BYTE *)&size, sizeof size);

    DWORD bits = 0;
    if (AppState.OnTop == 1)
        bits |= BitOnTop;
    if (IsChecked(AppState.BatchFileCheck))
        bits |= BitBatchFile;
    if (IsChecked(AppState.LogFileCheck))
        bits |= BitLogFile;
    if (IsChecked(AppState.UseOutputCheck))
        bits |= BitUseOutput;
    if (IsChecked(AppState.SubDirectoryCheck))
        bits |= BitSubDirectory;
    if (AutoSplitChecked())
        bits |= BitAutoSplit;
    RegSetValueExA(keys.program, "ChkBits", 0, REG_DWORD, (const BYTE *)&bits, sizeof bits);

    CloseKeys(keys);
}

// Deletes a key with everything below it (the platform deletes only keys without subkeys).
// 1 when the key was deleted.
static int DeleteKeyTree(HKEY parent, const char *name)
{
    HKEY key = NULL;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return 0;
    char child[256]; // a key name has at most 255 characters
    DWORD length = sizeof child;
    // Always the first subkey: each one goes before the next is asked for; one that stays ends
    // the loop, and then the key itself stays too.
    while (RegEnumKeyExA(key, 0, child, &length, NULL, NULL, NULL, NULL) == ERROR_SUCCESS && DeleteKeyTree(key, child))
        length = sizeof child;
    RegCloseKey(key);
    return RegDeleteKeyA(parent, name) == ERROR_SUCCESS;
}

// 1 when the program's key is not in the registry any more.
static int ProgramKeyIsGone(void)
{
    HKEY key = NULL;
    LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, ProgramKeyPath, 0, KEY_READ, &key);
    if (result == ERROR_SUCCESS)
        RegCloseKey(key);
    return result == ERROR_FILE_NOT_FOUND;
}

int Uninstall(void)
{
    FormatMessageText("%s %s %s %s", "Do you want to uninstall", PRODUCT_NAME, PRODUCT_VERSION,
                      "and remove registry settings?");
    if (MessageBoxA(AppState.MainWindow, AppState.MessageText, "Uninstall", MB_YESNO | MB_ICONWARNING) != IDYES)
        return 0;

    // The whole key goes, subkeys included: it is the program's own. The maker key stays.
    HKEY software = NULL;
    HKEY maker = NULL;
    RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_ALL_ACCESS, &software);
    RegOpenKeyExA(software, "Drelwick", 0, KEY_ALL_ACCESS, &maker);
    DeleteKeyTree(maker, "Morvane");
    RegCloseKey(maker);
    RegCloseKey(software);

    if (!ProgramKeyIsGone()) {
        FormatMessageText("%s\n%s%s", "Could not remove the registry key", "HKEY_CURRENT_USER\\", ProgramKeyPath);
        ShowMessage(AppState.MessageText, "Error", MB_ICONERROR);
        return 0;
    }

    FormatMessageText("%s %s %s %s %s %s %s", "Registry settings for", PRODUCT_NAME, PRODUCT_VERSION,
                      "have been removed\nRestarting", PRODUCT_NAME, PRODUCT_VERSION,
                      "will create new settings in the registry");
    MessageBoxA(AppState.MainWindow, AppState.MessageText, "Uninstall Complete", MB_OK | MB_ICONINFORMATION);
    return 1;
}
