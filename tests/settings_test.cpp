// The settings in the registry, read at start-up and written at the exit, on the real main window
// in this process with HKEY_CURRENT_USER redirected to a scratch key.
#include "support/Support.h"

#include "resources/resource.h"

static Bytes Dword(DWORD value) { return Bytes((const char *)&value, 4); }

static bool AutoSplitChecked()
{
    return (GetMenuState(AppState.TrayMenu, CmdAutoSplit, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

static bool Topmost() { return (GetWindowLongA(AppState.MainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

class Settings : public ProgramTest {};

// Each bit of ChkBits, set and clear, is loaded into its option and saved back from it (the
// place on top after a click on the pin).
class OptionBits : public ProgramTest, public ::testing::WithParamInterface<DWORD> {};

TEST_P(OptionBits, AreLoadedAndSavedBitForBit)
{
    DWORD bits = GetParam();
    Store("ChkBits", REG_DWORD, Dword(bits));
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::pair<bool, DWORD> options[] = {{Topmost(), 0x01}, {Checked(AppState.BatchFileCheck), 0x02},
        {Checked(AppState.LogFileCheck), 0x04}, {Checked(AppState.UseOutputCheck), 0x08},
        {IsWindowEnabled(AppState.OutputPathEdit) != FALSE, 0x08}, {Checked(AppState.SubDirectoryCheck), 0x10}, {AutoSplitChecked(), 0x20}};
    for (const auto &option : options)
        EXPECT_EQ(option.first, (bits & option.second) != 0) << "option " << &option - options;
    Click(AppState.PinButton); // the pin turns the place on top over, with its picture and its tip
    bool onTop = (bits & 0x01) == 0;
    EXPECT_EQ(Topmost(), onTop);
    EXPECT_EQ((HICON)SendMessageA(AppState.PinButton, BM_GETIMAGE, IMAGE_ICON, 0),
              onTop ? AppState.PinOnIcon : AppState.PinOffIcon);
    EXPECT_EQ(TipText(AppState.PinTooltip, AppState.PinButton), onTop ? "always on top" : "click to keep on top");
    Command(CmdExit);
    EXPECT_EQ(ProgramValue("ChkBits"), Dword((bits ^ 0x01) & 0x3F)) << "bits 6 to 31 are saved as 0";
}

INSTANTIATE_TEST_SUITE_P(Settings, OptionBits,
                         ::testing::Values(0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x3F, 0xFFFFFFFF));

// A value as another program or an older run may have left it, and what the start makes of it.
struct StoredValue {
    const char *what, *name;
    DWORD type;
    Bytes data;
    void (*check)();
};

static Bytes Placement(UINT showCmd, size_t size)
{
    WINDOWPLACEMENT placement = {44, 0, showCmd, {0, 0}, {0, 0}, {100, 100, 504, 498}}; // as at 150 %
    Bytes bytes((const char *)&placement, 44);
    bytes.resize(size, '\0');
    return bytes;
}

static Bytes Text0(const std::string &text) { return text + '\0'; }

static void ExpectDefaultSize() { EXPECT_EQ(Text(AppState.SplitSizeEdit), "1457000"); }

static bool Visible() { return IsWindowVisible(AppState.MainWindow) != FALSE; }

const StoredValue Stored[] = {
    {"SplitSizeNegative", "SplitSize", REG_DWORD, Dword((DWORD)-5), ExpectDefaultSize}, // below 1, as 0 is
    {"ChkBitsOfFiveBytes", "ChkBits", REG_DWORD, Bytes(5, '\0'), [] { EXPECT_TRUE(Checked(AppState.BatchFileCheck)); }},
    {"ChkBitsAsBinary", "ChkBits", REG_BINARY, Dword(0x21),
     [] { EXPECT_TRUE(Topmost() && AutoSplitChecked() && !Checked(AppState.BatchFileCheck)); }},
    {"FolderTooLong", "CurrentDirectory", REG_SZ, Text0(std::string(257, 'x')),
     [] { EXPECT_STREQ(AppState.CurrentDirectory, AppState.StartDirectory); }},
    {"FolderInAnyScript", "OutputDirectory", REG_SZ, Text0("C:\\\xD0\xBE\xD1\x82\xE5\xA0\xB1\xF0\x9F\x93\xB7"),
     [] { EXPECT_EQ(Text(AppState.OutputPathEdit), "C:\\\xD0\xBE\xD1\x82\xE5\xA0\xB1\xF0\x9F\x93\xB7"); }},
    {"Placement", "WinPos", REG_BINARY, Placement(SW_SHOWNORMAL, 44),
     [] {
         RECT area, client; // the size of this start's DPI
         GetWindowRect(AppState.MainWindow, &area), GetClientRect(AppState.MainWindow, &client);
         EXPECT_TRUE(Visible() && area.left == 100 && area.top == 100 && client.right == 265 && client.bottom == 235);
     }},
    {"Minimised", "WinPos", REG_BINARY, Placement(SW_SHOWMINIMIZED, 44), [] { EXPECT_FALSE(Visible()); }},
    {"PlacementTooLong", "WinPos", REG_BINARY, Placement(SW_SHOWMINIMIZED, 45), [] { EXPECT_TRUE(Visible()); }},
};

static void PrintTo(const StoredValue &value, std::ostream *out) { *out << value.what; } // in test lists

class StoredValues : public ProgramTest, public ::testing::WithParamInterface<StoredValue> {};

TEST_P(StoredValues, AreTakenOrFallBackToTheirDefaults)
{
    Store(GetParam().name, GetParam().type, GetParam().data);
    ASSERT_NO_FATAL_FAILURE(Start());
    GetParam().check();
}

INSTANTIATE_TEST_SUITE_P(Settings, StoredValues, ::testing::ValuesIn(Stored),
                         [](const ::testing::TestParamInfo<StoredValue> &info) { return info.param.what; });

TEST_F(Settings, UninstallRemovesTheWholeKeyWhenAskedOrSaysItCannot)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    HKEY key = NULL;
    RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Drelwick\\Morvane\\Extra", &key);
    RegCloseKey(key);
    boxes.Answer(IDNO);
    Command(CmdUninstall);
    EXPECT_TRUE(IsBox(boxes.Seen(0), "Do you want to uninstall Morvane 3.2 and remove registry settings?",
                      "Uninstall", MB_ICONWARNING, MB_YESNO));

    // A registry out of reach: the user's root is not a key at all.
    HANDLE notAKey = CreateEventA(NULL, TRUE, FALSE, NULL);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, (HKEY)notAKey), ERROR_SUCCESS);
    boxes.Answer(IDYES);
    boxes.Answer(IDOK);
    Command(CmdUninstall);
    RedirectRegistry();
    CloseHandle(notAKey);
    EXPECT_TRUE(IsBox(boxes.Seen(2), "Could not remove the registry key\nHKEY_CURRENT_USER\\Software\\Drelwick\\Morvane",
                      "Error", MB_ICONERROR));
    EXPECT_FALSE(QuitPosted()) << "after No, and after a failure, the program goes on";
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Drelwick\\Morvane\\Extra", 0, KEY_READ, &key), 0);
    RegCloseKey(key);

    // Reachable, with a subkey of its own: the whole key goes, the maker key stays, nothing is saved.
    boxes.Answer(IDYES);
    boxes.Answer(IDOK);
    Command(CmdUninstall);
    EXPECT_TRUE(IsBox(boxes.Seen(4),
                      "Registry settings for Morvane 3.2 have been removed\n"
                      "Restarting Morvane 3.2 will create new settings in the registry",
                      "Uninstall Complete", MB_ICONINFORMATION));
    EXPECT_TRUE(QuitPosted());
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, ProgramKey, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Drelwick", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
}
