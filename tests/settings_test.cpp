// The settings of the last run under HKCU\Software\Drelwick\Morvane: what a start makes of them,
// what an exit writes back, and F12's removal of the key. The program runs through its real
// start-up with HKEY_CURRENT_USER redirected to a scratch key, so the values can be written
// before Start() and read back after the exit.
#include "support/ProgramFixture.h"

#include "resources/resource.h"

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

const char *const ProgramKeyPath = "Software\\Drelwick\\Morvane";

const DWORD FolderValueSize = 257;
const DWORD PlacementValueSize = 44;

struct StoredValue {
    bool present = false;
    DWORD type = REG_NONE;
    Bytes data;
};

void StoreValue(const char *name, DWORD type, const void *data, DWORD size)
{
    HKEY key = NULL;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, ProgramKeyPath, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, (const BYTE *)data, size), ERROR_SUCCESS);
    RegCloseKey(key);
}

void StoreDword(const char *name, DWORD value) { StoreValue(name, REG_DWORD, &value, sizeof value); }

// A folder string as the program writes it: the text, its terminator, and the rest of the field.
void StoreFolder(const char *name, const std::string &text, char filler = '\0')
{
    std::vector<char> field(FolderValueSize + 1, filler);
    memcpy(field.data(), text.c_str(), text.size() + 1);
    StoreValue(name, REG_SZ, field.data(), FolderValueSize);
}

StoredValue ReadStored(const char *name)
{
    StoredValue value;
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, ProgramKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, NULL, &value.type, NULL, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        value.present = RegQueryValueExA(key, name, NULL, &value.type, size ? value.data.data() : NULL, &size) ==
                        ERROR_SUCCESS;
        value.data.resize(size);
    }
    RegCloseKey(key);
    return value;
}

DWORD AsDword(const StoredValue &value)
{
    DWORD result = 0;
    if (value.data.size() == sizeof result)
        memcpy(&result, value.data.data(), sizeof result);
    return result;
}

// Outer size of the main window for its 265 x 235 client area.
SIZE MainWindowFrame()
{
    RECT frame = {0, 0, 265, 235};
    AdjustWindowRectEx(&frame, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE, WS_EX_DLGMODALFRAME);
    SIZE size = {frame.right - frame.left, frame.bottom - frame.top};
    return size;
}

WINDOWPLACEMENT Placement(UINT showCmd, int x, int y)
{
    WINDOWPLACEMENT placement;
    memset(&placement, 0, sizeof placement);
    placement.length = sizeof placement;
    placement.showCmd = showCmd;
    placement.ptMinPosition.x = placement.ptMinPosition.y = -1;
    placement.ptMaxPosition.x = placement.ptMaxPosition.y = -1;
    SIZE frame = MainWindowFrame();
    placement.rcNormalPosition.left = x;
    placement.rcNormalPosition.top = y;
    placement.rcNormalPosition.right = x + frame.cx;
    placement.rcNormalPosition.bottom = y + frame.cy;
    return placement;
}

} // namespace

class Settings : public ProgramFixture {
protected:
    Settings() : startFolder(WorkingDirectory()) {}

    // A folder inside the start folder, created on disk.
    std::string MakeFolder(const std::string &name)
    {
        std::string path = startFolder + "\\" + name;
        CreateDirectoryA(path.c_str(), NULL);
        return path;
    }

    void ExpectFolderValue(const char *name, const std::string &text)
    {
        StoredValue value = ReadStored(name);
        ASSERT_TRUE(value.present) << name;
        EXPECT_EQ(value.type, (DWORD)REG_SZ) << name;
        ASSERT_EQ(value.data.size(), FolderValueSize) << name;
        // The text and its terminator; the rest of the field carries no meaning.
        EXPECT_EQ(std::string((const char *)value.data.data(), text.size()), text) << name;
        EXPECT_EQ(value.data[text.size()], 0) << name;
    }

    void ExpectDwordValue(const char *name, DWORD expected)
    {
        StoredValue value = ReadStored(name);
        ASSERT_TRUE(value.present) << name;
        EXPECT_EQ(value.type, (DWORD)REG_DWORD) << name;
        ASSERT_EQ(value.data.size(), 4u) << name;
        EXPECT_EQ(AsDword(value), expected) << name << std::hex << " 0x" << AsDword(value);
    }

    void ExpectFirstRunOptions()
    {
        EXPECT_TRUE(Checked(AppState.BatchFileCheck));
        EXPECT_TRUE(Checked(AppState.LogFileCheck));
        EXPECT_TRUE(Checked(AppState.UseOutputCheck));
        EXPECT_TRUE(Checked(AppState.SubDirectoryCheck));
        EXPECT_EQ(AutoSplitState(), 0u);
        EXPECT_EQ(AppState.OnTop, 0);
        EXPECT_FALSE(Topmost());
        EXPECT_EQ(AppState.OutputToggle, 1);
        EXPECT_TRUE(IsWindowEnabled(AppState.OutputPathEdit));
        EXPECT_TRUE(IsWindowEnabled(AppState.BrowseButton));
    }

    std::string startFolder;
};

// ---------------------------------------------------------------------------------------------
// First start: no key at all.

TEST_F(Settings, FirstStartCreatesTheEmptyKeyBeforeAnythingIsSaved)
{
    ASSERT_EQ(OpenProgramKey(), (HKEY)NULL);
    Start();
    HKEY key = OpenProgramKey();
    ASSERT_NE(key, (HKEY)NULL) << "the key path is created at every start";
    DWORD values = 99;
    EXPECT_EQ(RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, &values, NULL, NULL, NULL, NULL),
              ERROR_SUCCESS);
    EXPECT_EQ(values, 0u) << "nothing is written before the exit";
    RegCloseKey(key);
}

TEST_F(Settings, FirstStartRunsOnTheDefaults)
{
    Start();
    ExpectFirstRunOptions();

    EXPECT_EQ(AppState.SplitSize, 1457000);
    EXPECT_EQ(WindowText(AppState.SplitSizeEdit), "1457000");
    EXPECT_TRUE(Checked(AppState.Preset144Radio));
    EXPECT_FALSE(Checked(AppState.Preset288Radio));
    EXPECT_FALSE(Checked(AppState.Preset720Radio));

    EXPECT_EQ(std::string(AppState.CurrentDirectory), startFolder);
    EXPECT_EQ(std::string(AppState.OutputDirectory), startFolder);
    EXPECT_EQ(WindowText(AppState.OutputPathEdit), startFolder);
    EXPECT_EQ(WorkingDirectory(), startFolder);

    EXPECT_TRUE(IsWindowVisible(AppState.MainWindow));
    EXPECT_FALSE(IsIconic(AppState.MainWindow));
}

// ---------------------------------------------------------------------------------------------
// Saving at the exit.

TEST_F(Settings, ExitWritesTheWorkingDirectoryAndTheOutputFolderAsFullFieldStrings)
{
    std::string inner = MakeFolder("inner");
    Start();
    ASSERT_TRUE(SetWindowTextA(AppState.OutputPathEdit, "Q:\\Pieces\\Out"));
    ASSERT_STREQ(AppState.OutputDirectory, "Q:\\Pieces\\Out") << "the field's command reads it back";
    // The source folder saved is the working directory at the exit.
    ASSERT_TRUE(SetCurrentDirectoryA(inner.c_str()));
    Command(CmdExit);
    ASSERT_TRUE(QuitPosted());

    ExpectFolderValue("CurrentDirectory", inner);
    ExpectFolderValue("OutputDirectory", "Q:\\Pieces\\Out");
}

TEST_F(Settings, ExitWritesTheWindowPlacementAs44Bytes)
{
    Start();
    SetWindowPos(AppState.MainWindow, NULL, 37, 41, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    WINDOWPLACEMENT before;
    memset(&before, 0, sizeof before);
    before.length = sizeof before;
    ASSERT_TRUE(GetWindowPlacement(AppState.MainWindow, &before));
    Command(CmdExit);

    StoredValue value = ReadStored("WinPos");
    ASSERT_TRUE(value.present);
    EXPECT_EQ(value.type, (DWORD)REG_BINARY);
    ASSERT_EQ(value.data.size(), PlacementValueSize);
    WINDOWPLACEMENT stored;
    memcpy(&stored, value.data.data(), sizeof stored);
    EXPECT_EQ(stored.length, 44u);
    EXPECT_EQ(stored.showCmd, (UINT)SW_SHOWNORMAL);
    EXPECT_EQ(stored.rcNormalPosition.left, 37);
    EXPECT_EQ(stored.rcNormalPosition.top, 41);
    EXPECT_EQ(memcmp(&stored, &before, sizeof stored), 0) << "the record is GetWindowPlacement's";
}

TEST_F(Settings, MinimisedWindowIsSavedAsMinimised)
{
    Start();
    ShowWindow(AppState.MainWindow, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(AppState.MainWindow));
    Command(CmdExit);
    StoredValue value = ReadStored("WinPos");
    ASSERT_EQ(value.data.size(), PlacementValueSize);
    WINDOWPLACEMENT stored;
    memcpy(&stored, value.data.data(), sizeof stored);
    EXPECT_EQ(stored.showCmd, (UINT)SW_SHOWMINIMIZED);
}

TEST_F(Settings, ExitWritesTheSplitSizeAsDword)
{
    Start();
    ASSERT_TRUE(SetWindowTextA(AppState.SplitSizeEdit, "123456"));
    ASSERT_EQ(AppState.SplitSize, 123456);
    Command(CmdExit);
    ExpectDwordValue("SplitSize", 123456);
}

TEST_F(Settings, CloseMessageSavesAndEnds)
{
    Start();
    ASSERT_TRUE(SetWindowTextA(AppState.SplitSizeEdit, "730000"));
    SendMessageA(AppState.MainWindow, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(AppState.MainWindow));
    EXPECT_TRUE(QuitPosted());
    ExpectDwordValue("SplitSize", 730000);
    ExpectDwordValue("ChkBits", 0x1E);
    ExpectFolderValue("CurrentDirectory", startFolder);
    ExpectFolderValue("OutputDirectory", startFolder);
    EXPECT_EQ(ReadStored("WinPos").data.size(), PlacementValueSize);
}

// Windows ending the logon lets the process end on its own: the settings stay as they were.
TEST_F(Settings, EndOfTheLogonSavesNothing)
{
    StoreDword("SplitSize", 730000);
    Start();
    ASSERT_TRUE(SetWindowTextA(AppState.SplitSizeEdit, "123456"));
    EXPECT_NE(SendMessageA(AppState.MainWindow, WM_QUERYENDSESSION, 0, 0), 0) << "the logoff may go on";
    SendMessageA(AppState.MainWindow, WM_ENDSESSION, TRUE, 0);
    Pump();
    ExpectDwordValue("SplitSize", 730000);
    EXPECT_FALSE(ReadStored("ChkBits").present);
    EXPECT_FALSE(ReadStored("WinPos").present);
}

TEST_F(Settings, LoadedSettingsAreWrittenBackUnchanged)
{
    std::string source = MakeFolder("source");
    StoreFolder("CurrentDirectory", source, 'x');
    StoreFolder("OutputDirectory", "Q:\\Out", 'y');
    WINDOWPLACEMENT placement = Placement(SW_SHOWNORMAL, 70, 80);
    StoreValue("WinPos", REG_BINARY, &placement, PlacementValueSize);
    StoreDword("ChkBits", 0x2B);
    StoreDword("SplitSize", 730000);
    Start();
    Command(CmdExit);

    ExpectFolderValue("CurrentDirectory", source);
    ExpectFolderValue("OutputDirectory", "Q:\\Out");
    ExpectDwordValue("ChkBits", 0x2B);
    ExpectDwordValue("SplitSize", 730000);
    StoredValue stored = ReadStored("WinPos");
    ASSERT_EQ(stored.data.size(), PlacementValueSize);
    WINDOWPLACEMENT saved;
    memcpy(&saved, stored.data.data(), sizeof saved);
    EXPECT_EQ(saved.showCmd, (UINT)SW_SHOWNORMAL);
    EXPECT_EQ(saved.rcNormalPosition.left, placement.rcNormalPosition.left);
    EXPECT_EQ(saved.rcNormalPosition.top, placement.rcNormalPosition.top);
    EXPECT_EQ(saved.rcNormalPosition.right, placement.rcNormalPosition.right);
    EXPECT_EQ(saved.rcNormalPosition.bottom, placement.rcNormalPosition.bottom);
}

// ChkBits written at the exit for a state set up through the controls, the pin and the menu.
class SavedOptionBits : public Settings, public ::testing::WithParamInterface<DWORD> {};

TEST_P(SavedOptionBits, MatchTheStateAtTheExit)
{
    const DWORD bits = GetParam();
    Start();
    SetCheck(AppState.BatchFileCheck, (bits & 0x02) != 0);
    SetCheck(AppState.LogFileCheck, (bits & 0x04) != 0);
    SetCheck(AppState.UseOutputCheck, (bits & 0x08) != 0);
    SetCheck(AppState.SubDirectoryCheck, (bits & 0x10) != 0);
    if (bits & 0x01)
        Command(CmdOnTop);
    if (bits & 0x20)
        Command(CmdAutoSplit);
    ASSERT_EQ(AppState.OnTop, (bits & 0x01) ? 1 : 0);
    ASSERT_EQ(Topmost(), (bits & 0x01) != 0);
    ASSERT_EQ(AutoSplitState(), (bits & 0x20) ? (UINT)MF_CHECKED : 0u);
    Command(CmdExit);
    ExpectDwordValue("ChkBits", bits);
}

INSTANTIATE_TEST_SUITE_P(Settings, SavedOptionBits,
                         ::testing::Values(0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x3F),
                         [](const ::testing::TestParamInfo<DWORD> &info) {
                             char name[16];
                             snprintf(name, sizeof name, "Bits%02lX", (unsigned long)info.param);
                             return std::string(name);
                         });

// ---------------------------------------------------------------------------------------------
// Loading the piece size.

struct SizeRow {
    DWORD stored;
    int32_t size;
    const char *field;
    int preset; // 288, 144, 720 or 0 for none
    const char *name;
};

void PrintTo(const SizeRow &row, std::ostream *out)
{
    *out << row.name << " (stored 0x" << std::hex << row.stored << ")";
}

class LoadedSplitSize : public Settings, public ::testing::WithParamInterface<SizeRow> {};

TEST_P(LoadedSplitSize, FillsTheFieldAndItsPreset)
{
    const SizeRow &row = GetParam();
    StoreDword("SplitSize", row.stored);
    Start();
    EXPECT_EQ(AppState.SplitSize, row.size);
    EXPECT_EQ(WindowText(AppState.SplitSizeEdit), row.field);
    EXPECT_EQ(Checked(AppState.Preset288Radio), row.preset == 288);
    EXPECT_EQ(Checked(AppState.Preset144Radio), row.preset == 144);
    EXPECT_EQ(Checked(AppState.Preset720Radio), row.preset == 720);
}

INSTANTIATE_TEST_SUITE_P(Settings, LoadedSplitSize,
                         ::testing::Values(SizeRow{0, 1457000, "1457000", 144, "ZeroGivesDefault"},
                                           SizeRow{0xFFFFFFFFu, 1457000, "1457000", 144, "MinusOneGivesDefault"},
                                           SizeRow{730000, 730000, "730000", 720, "Preset720"},
                                           SizeRow{2931000, 2931000, "2931000", 288, "Preset288"},
                                           SizeRow{0x7FFFFFFF, 2147483647, "2147483647", 0, "Largest"}),
                         [](const ::testing::TestParamInfo<SizeRow> &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Loading the option bits.

class LoadedOptionBits : public Settings, public ::testing::WithParamInterface<DWORD> {};

TEST_P(LoadedOptionBits, SetTheChecksTheMenuAndTheTopmostState)
{
    const DWORD bits = GetParam();
    StoreDword("ChkBits", bits);
    Start();
    const bool onTop = (bits & 0x01) != 0;
    const bool useOutput = (bits & 0x08) != 0;
    EXPECT_EQ(AppState.OnTop, onTop ? 1 : 0);
    EXPECT_EQ(Topmost(), onTop);
    EXPECT_EQ(Checked(AppState.BatchFileCheck), (bits & 0x02) != 0);
    EXPECT_EQ(Checked(AppState.LogFileCheck), (bits & 0x04) != 0);
    EXPECT_EQ(Checked(AppState.UseOutputCheck), useOutput);
    EXPECT_EQ(Checked(AppState.SubDirectoryCheck), (bits & 0x10) != 0);
    EXPECT_EQ(AutoSplitState(), (bits & 0x20) ? (UINT)MF_CHECKED : 0u);
    // The output-path controls follow the restored Use Output check.
    EXPECT_EQ(AppState.OutputToggle, useOutput ? 1 : 0);
    EXPECT_EQ(IsWindowEnabled(AppState.OutputPathEdit) != 0, useOutput);
    EXPECT_EQ(IsWindowEnabled(AppState.BrowseButton) != 0, useOutput);
}

INSTANTIATE_TEST_SUITE_P(Settings, LoadedOptionBits,
                         ::testing::Values(0x00, 0x21, 0x02, 0x04, 0x08, 0x10, 0x3F, 0xFFFFFFC0u),
                         [](const ::testing::TestParamInfo<DWORD> &info) {
                             char name[24];
                             snprintf(name, sizeof name, "Bits%02lX", (unsigned long)info.param);
                             return std::string(name);
                         });

TEST_F(Settings, OptionBitsStoredAsFourBinaryBytesAreAccepted)
{
    const BYTE bits[4] = {0x21, 0, 0, 0};
    StoreValue("ChkBits", REG_BINARY, bits, sizeof bits);
    Start();
    EXPECT_EQ(AppState.OnTop, 1);
    EXPECT_TRUE(Topmost());
    EXPECT_FALSE(Checked(AppState.BatchFileCheck));
    EXPECT_FALSE(Checked(AppState.LogFileCheck));
    EXPECT_FALSE(Checked(AppState.UseOutputCheck));
    EXPECT_FALSE(Checked(AppState.SubDirectoryCheck));
    EXPECT_EQ(AutoSplitState(), (UINT)MF_CHECKED);
    EXPECT_EQ(AppState.OutputToggle, 0);
}

TEST_F(Settings, OptionBitsOfFiveBytesCountAsAbsent)
{
    const BYTE bits[5] = {0x21, 0, 0, 0, 0};
    StoreValue("ChkBits", REG_BINARY, bits, sizeof bits);
    Start();
    ExpectFirstRunOptions();
}

// ---------------------------------------------------------------------------------------------
// Loading the folders.

TEST_F(Settings, StoredFolderThatExistsBecomesTheWorkingDirectory)
{
    std::string source = MakeFolder("source");
    StoreFolder("CurrentDirectory", source);
    Start();
    EXPECT_EQ(WorkingDirectory(), source);
    EXPECT_EQ(std::string(AppState.CurrentDirectory), source);
    // Without a stored output folder, the output folder is the working directory just entered.
    EXPECT_EQ(std::string(AppState.OutputDirectory), source);
    EXPECT_EQ(WindowText(AppState.OutputPathEdit), source);
    // StartDirectory was taken before the settings.
    EXPECT_EQ(std::string(AppState.StartDirectory), startFolder);
}

TEST_F(Settings, StoredFolderThatIsGoneStaysInTheFieldOnly)
{
    std::string gone = startFolder + "\\gone";
    StoreFolder("CurrentDirectory", gone);
    Start();
    EXPECT_EQ(std::string(AppState.CurrentDirectory), gone);
    EXPECT_EQ(WorkingDirectory(), startFolder);
    EXPECT_EQ(WindowText(AppState.OutputPathEdit), startFolder);
}

TEST_F(Settings, StoredFoldersAreRestoredWhateverFollowsTheirTerminator)
{
    std::string source = MakeFolder("source");
    StoreFolder("CurrentDirectory", source, 'Z');
    StoreFolder("OutputDirectory", "Q:\\Out", 'Z');
    Start();
    EXPECT_EQ(WorkingDirectory(), source);
    EXPECT_EQ(std::string(AppState.CurrentDirectory), source);
    EXPECT_EQ(WindowText(AppState.OutputPathEdit), "Q:\\Out");
    EXPECT_STREQ(AppState.OutputDirectory, "Q:\\Out");
}

TEST_F(Settings, FolderValueLongerThanTheFieldCountsAsAbsent)
{
    // A real folder, but in a value of 300 bytes: read whole or not at all.
    std::string source = MakeFolder("source");
    std::vector<char> data(301, 'x');
    memcpy(data.data(), source.c_str(), source.size() + 1);
    StoreValue("CurrentDirectory", REG_SZ, data.data(), 300);
    StoreValue("OutputDirectory", REG_SZ, data.data(), 300);
    ASSERT_EQ(ReadStored("CurrentDirectory").data.size(), 300u);
    Start();
    EXPECT_EQ(WorkingDirectory(), startFolder);
    EXPECT_EQ(std::string(AppState.CurrentDirectory), startFolder);
    EXPECT_EQ(WindowText(AppState.OutputPathEdit), startFolder);
}

TEST_F(Settings, FolderValueFillingTheFieldWithoutTerminatorIsCutToTheField)
{
    // 257 characters and no terminator: 256 of them fit beside the field's terminator.
    std::vector<char> data(FolderValueSize + 1, 'b');
    memset(data.data(), 'a', 256);
    StoreValue("CurrentDirectory", REG_SZ, data.data(), FolderValueSize);
    StoreValue("OutputDirectory", REG_SZ, data.data(), FolderValueSize);
    ASSERT_EQ(ReadStored("CurrentDirectory").data.size(), FolderValueSize);
    Start();
    EXPECT_EQ(std::string(AppState.CurrentDirectory), std::string(256, 'a'));
    EXPECT_EQ(std::string(AppState.OutputDirectory), std::string(256, 'a'));
    EXPECT_EQ(WindowText(AppState.OutputPathEdit), std::string(256, 'a'));
    EXPECT_EQ(WorkingDirectory(), startFolder);
}

// ---------------------------------------------------------------------------------------------
// Loading the window placement.

TEST_F(Settings, NormalPlacementPutsTheWindowBackWhereItWas)
{
    WINDOWPLACEMENT placement = Placement(SW_SHOWNORMAL, 120, 90);
    StoreValue("WinPos", REG_BINARY, &placement, PlacementValueSize);
    Start();
    EXPECT_TRUE(IsWindowVisible(AppState.MainWindow));
    EXPECT_FALSE(IsIconic(AppState.MainWindow));
    RECT rect;
    GetWindowRect(AppState.MainWindow, &rect);
    EXPECT_EQ(rect.left, 120);
    EXPECT_EQ(rect.top, 90);
    EXPECT_EQ(rect.right, placement.rcNormalPosition.right);
    EXPECT_EQ(rect.bottom, placement.rcNormalPosition.bottom);
}

TEST_F(Settings, MinimisedPlacementStartsWithOnlyTheTrayIcon)
{
    WINDOWPLACEMENT placement = Placement(SW_SHOWMINIMIZED, 140, 100);
    StoreValue("WinPos", REG_BINARY, &placement, PlacementValueSize);
    Start();
    NOTIFYICONDATAA record = AppState.TrayIconData;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &record))
        << "no tray icon: the desktop's notification area is missing, so a minimised window stays on the taskbar";
    EXPECT_FALSE(IsWindowVisible(AppState.MainWindow));
    EXPECT_TRUE(IsIconic(AppState.MainWindow));

    // A left click on the tray icon brings it back where it was.
    ExpectTrayClickRestoresAt(140, 100);
}

TEST_F(Settings, PlacementLongerThan44BytesCountsAsAbsent)
{
    BYTE data[48];
    memset(data, 0, sizeof data);
    WINDOWPLACEMENT placement = Placement(SW_SHOWMINIMIZED, 140, 100);
    memcpy(data, &placement, sizeof placement);
    StoreValue("WinPos", REG_BINARY, data, sizeof data);
    Start();
    EXPECT_TRUE(IsWindowVisible(AppState.MainWindow));
    EXPECT_FALSE(IsIconic(AppState.MainWindow));
}

// ---------------------------------------------------------------------------------------------
// Uninstall (F12).

TEST_F(Settings, UninstallAnsweredNoChangesNothing)
{
    StoreDword("SplitSize", 730000);
    StoreDword("ChkBits", 0x06);
    Start();
    boxes->Answer(IDNO);
    Command(CmdUninstall);

    ASSERT_EQ(boxes->Boxes().size(), 1u);
    const BoxSeen &question = boxes->Boxes()[0];
    EXPECT_TRUE(IsBox(question, "Do you want to uninstall Morvane 3.2 and remove registry settings?",
                      "Uninstall", MB_ICONWARNING, MB_YESNO));

    EXPECT_TRUE(IsWindow(AppState.MainWindow));
    EXPECT_TRUE(IsWindowVisible(AppState.MainWindow));
    EXPECT_FALSE(QuitPosted());
    ExpectDwordValue("SplitSize", 730000);
    ExpectDwordValue("ChkBits", 0x06);
    EXPECT_FALSE(ReadStored("WinPos").present) << "nothing is written by the question";
}

TEST_F(Settings, UninstallAnsweredYesRemovesTheKeyAndEndsWithoutSaving)
{
    StoreDword("SplitSize", 730000);
    Start();
    boxes->Answer(IDYES);
    boxes->Answer(IDOK);
    Command(CmdUninstall);

    ASSERT_EQ(boxes->Boxes().size(), 2u);
    const BoxSeen &done = boxes->Boxes()[1];
    EXPECT_TRUE(IsBox(done, "Registry settings for Morvane 3.2 have been removed\n"
                            "Restarting Morvane 3.2 will create new settings in the registry",
                      "Uninstall Complete", MB_ICONINFORMATION, MB_OK));

    EXPECT_FALSE(IsWindow(AppState.MainWindow));
    EXPECT_TRUE(QuitPosted());
    Pump();
    EXPECT_EQ(OpenProgramKey(), (HKEY)NULL) << "the key is gone and nothing was written back";
    HKEY maker = NULL;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Drelwick", 0, KEY_READ, &maker), ERROR_SUCCESS);
    RegCloseKey(maker);
}

TEST_F(Settings, F12KeyAsksToUninstall)
{
    Start();
    HACCEL keys = LoadAcceleratorsA(GetModuleHandleA(NULL), "AccKeys");
    ASSERT_NE(keys, (HACCEL)NULL);
    boxes->Answer(IDNO);
    MSG message = {};
    message.hwnd = AppState.FileNameEdit;
    message.message = WM_KEYDOWN;
    message.wParam = VK_F12;
    message.lParam = 0x00580001;
    EXPECT_NE(TranslateAcceleratorA(AppState.MainWindow, keys, &message), 0);
    ASSERT_EQ(boxes->Boxes().size(), 1u);
    EXPECT_EQ(boxes->Boxes()[0].caption, "Uninstall");
    EXPECT_TRUE(IsWindow(AppState.MainWindow));
    HKEY key = OpenProgramKey();
    EXPECT_NE(key, (HKEY)NULL);
    RegCloseKey(key);
}
