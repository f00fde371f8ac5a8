// The real Morvane.exe, started under Wine and used from another process as a person would:
// fields typed, buttons clicked, boxes read and answered; then the files on disk and the registry
// values are checked. These cases share the registry key of the prefix, so they run one at a time.
#include "RunningProgram.h"

#include "resources/resource.h"
#include "support/Files.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

static const char ProgramKey[] = "Software\\Drelwick\\Morvane";

// Clicks Split and expects the run to stop with one box of this caption and text, answered OK.
static void SplitStopsWith(RunningProgram &program, const std::string &caption, const std::string &text)
{
    program.Click(program.Control(CmdSplit));
    RunningProgram::Box box = program.WaitForBox();
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.text, text);
    program.Answer(box, IDOK);
}

class RealProgram : public ::testing::Test {
protected:
    RealProgram() { SHDeleteKeyA(HKEY_CURRENT_USER, ProgramKey); }
    ~RealProgram() override { SHDeleteKeyA(HKEY_CURRENT_USER, ProgramKey); }

    // What `reg query` prints for the program's key (one value, or all with an empty name).
    static std::string Query(const std::string &value = std::string(), int *code = nullptr)
    {
        std::string line = "reg query \"HKCU\\Software\\Drelwick\\Morvane\"";
        if (!value.empty())
            line += " /v " + value;
        return RunAndCapture(line, code);
    }

    TempFolder folder;
};

TEST_F(RealProgram, StartsWithItsWindowAndEndsWithExitCodeZero)
{
    RunningProgram program(folder.Path());
    ASSERT_TRUE(program.Started()) << "no visible MainWindow of the process";
    EXPECT_EQ(program.Text(program.Window()), "Morvane 3.2");
    RECT client;
    GetClientRect(program.Window(), &client);
    EXPECT_EQ(client.right, 265);
    EXPECT_EQ(client.bottom, 235);
    EXPECT_EQ(program.Text(program.Control(CmdSplitSize)), "1457000");
    EXPECT_EQ(program.Text(program.Control(CmdOutputPath)), folder.Path()) << "first run: the start folder";
    EXPECT_FALSE(IsWindowEnabled(program.Control(CmdSplit)));

    PostMessageA(program.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0);

    std::string values = Query();
    for (const char *name : {"CurrentDirectory", "OutputDirectory", "WinPos", "ChkBits", "SplitSize"})
        EXPECT_NE(values.find(name), std::string::npos) << name << " missing from:\n" << values;
    EXPECT_NE(Query("ChkBits").find("0x1e"), std::string::npos) << "four options checked, not on top";
    EXPECT_NE(Query("SplitSize").find("0x163b68"), std::string::npos) << "1457000";
}

TEST_F(RealProgram, TheCommandLineAndTheShowCommandAreIgnored)
{
    ASSERT_TRUE(WriteBytes(folder / "data.bin", RandomBytes(3000000, 6)));
    RunningProgram program(folder.Path(), true, ProgramPath(), "data.bin", SW_SHOWMINIMIZED);
    ASSERT_TRUE(program.Started()) << "shown normally, not minimised";
    EXPECT_FALSE(IsIconic(program.Window()));
    EXPECT_EQ(program.Text(program.Control(CmdFileName)), "") << "a file named on the command line is not selected";
    EXPECT_EQ(program.Text(program.Window()), "Morvane 3.2");
    PostMessageA(program.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0);
}

TEST_F(RealProgram, SettingsSurviveARestartAndF12RemovesThem)
{
    std::string out = folder / "out";
    CreateDirectoryA(out.c_str(), NULL);
    {
        RunningProgram program(folder.Path());
        ASSERT_TRUE(program.Started());
        program.SetText(program.Control(CmdOutputPath), out);
        program.SetText(program.Control(CmdSplitSize), "730000");
        HWND batch = program.ChildByText("Batch File");
        HWND useOutput = program.Control(CmdUseOutput);
        ASSERT_NE(batch, (HWND)NULL);
        ASSERT_TRUE(program.ClickAndWait(batch));
        ASSERT_TRUE(program.ClickAndWait(useOutput));
        SendMessageA(program.Window(), WM_COMMAND, CmdAutoSplit, 0);
        ASSERT_TRUE(program.ClickAndWait(program.Control(CmdOnTop)));
        EXPECT_EQ(program.Checked(batch), BST_UNCHECKED);
        EXPECT_FALSE(IsWindowEnabled(program.Control(CmdOutputPath)));
        program.Click(program.Control(CmdExit));
        EXPECT_EQ(program.WaitExit(), 0);
    }
    // on top 0x01 + log 0x04 + sub directory 0x10 + auto split 0x20
    EXPECT_NE(Query("ChkBits").find("0x35"), std::string::npos) << Query("ChkBits");
    EXPECT_NE(Query("SplitSize").find("0xb2390"), std::string::npos) << Query("SplitSize");
    EXPECT_NE(Query("OutputDirectory").find(out), std::string::npos) << Query("OutputDirectory");

    RunningProgram again(folder.Path());
    ASSERT_TRUE(again.Started());
    EXPECT_EQ(again.Text(again.Control(CmdSplitSize)), "730000");
    EXPECT_EQ(again.Text(again.Control(CmdOutputPath)), out);
    EXPECT_FALSE(IsWindowEnabled(again.Control(CmdOutputPath))) << "Use Output came back unchecked";
    EXPECT_EQ(again.Checked(again.Control(CmdUseOutput)), BST_UNCHECKED);
    EXPECT_TRUE(GetWindowLongA(again.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);

    PostMessageA(again.Window(), WM_KEYDOWN, VK_F12, 0);
    RunningProgram::Box question = again.WaitForBox();
    EXPECT_EQ(question.caption, "Uninstall");
    EXPECT_EQ(question.text, "Do you want to uninstall Morvane 3.2 and remove registry settings?");
    again.Answer(question, IDYES);
    RunningProgram::Box done = again.WaitForBox();
    EXPECT_EQ(done.caption, "Uninstall Complete");
    EXPECT_EQ(done.text, "Registry settings for Morvane 3.2 have been removed\n"
                         "Restarting Morvane 3.2 will create new settings in the registry");
    again.Answer(done, IDOK);
    EXPECT_EQ(again.WaitExit(), 0);
    int code = 0;
    Query(std::string(), &code);
    EXPECT_NE(code, 0) << "the key is gone";
    HKEY maker = NULL;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Drelwick", 0, KEY_READ, &maker), ERROR_SUCCESS);
    RegCloseKey(maker);
}

TEST_F(RealProgram, ATypedFileSplitsWithTheDefaults)
{
    Bytes source = RandomBytes(3000000, 5);
    ASSERT_TRUE(WriteBytes(folder / "data.bin", source));
    RunningProgram program(folder.Path());
    ASSERT_TRUE(program.Started());
    program.SetText(program.Control(CmdFileName), "data.bin");
    EXPECT_EQ(program.Text(program.StaticChild(2)), "data.bin");
    EXPECT_EQ(program.Text(program.StaticChild(3)), "3000000 bytes");
    EXPECT_EQ(program.Text(program.StaticChild(4)), "3 splits");
    ASSERT_TRUE(IsWindowEnabled(program.Control(CmdSplit)));

    ASSERT_TRUE(program.ClickAndWait(program.Control(CmdSplit))) << "the split shows no box";
    std::string target = folder / "data";
    EXPECT_EQ(SizeOf(target + "\\data.001"), 1457000);
    EXPECT_EQ(SizeOf(target + "\\data.002"), 1457000);
    EXPECT_EQ(SizeOf(target + "\\data.003"), 86000);
    EXPECT_EQ(ReadText(target + "\\data.bat"), "ECHO OFF\r\nCLS\r\nREM Morvane 3.2\r\nECHO Rejoining data.bin\r\n"
                                               "COPY /B /Y data.001 + data.002 + data.003 data.bin\r\n"
                                               "ECHO Rejoining Completed\r\n");
    EXPECT_NE(ReadText(target + "\\data.log").find("Number of splits..... 3\r\n"), std::string::npos);
    ASSERT_EQ(RunAndWait("cmd /c data.bat", target), 0);
    EXPECT_TRUE(ReadBytes(target + "\\data.bin") == source) << "the batch file rebuilds the source";
    EXPECT_EQ(program.Text(program.Window()), folder / "data.bin") << "idle again: the title names the source";

    program.Click(program.Control(CmdExit));
    EXPECT_EQ(program.WaitExit(), 0);
}

// The same split twice: the sub-folder is there already; without it, the first piece is.
TEST_F(RealProgram, SplittingTheSameFileAgainIsRefusedWithoutTouchingAnything)
{
    Bytes source = RandomBytes(2000000, 8);
    ASSERT_TRUE(WriteBytes(folder / "data.bin", source));
    RunningProgram program(folder.Path());
    ASSERT_TRUE(program.Started());
    program.SetText(program.Control(CmdFileName), "data.bin");
    ASSERT_TRUE(program.ClickAndWait(program.Control(CmdSplit)));
    Bytes first = ReadBytes(folder / "data\\data.001");
    ASSERT_EQ(first.size(), 1457000u);

    SplitStopsWith(program, "Error", "Could not create sub directory");

    // Sub Directory off: the pieces would go beside the source, where the first one is put now.
    HWND subDirectory = program.ChildByText("Sub Directory");
    ASSERT_NE(subDirectory, (HWND)NULL);
    ASSERT_TRUE(program.ClickAndWait(subDirectory));
    ASSERT_TRUE(CopyFileA((folder / "data\\data.001").c_str(), (folder / "data.001").c_str(), TRUE));
    SplitStopsWith(program, "Warning", "data.001 already exist");
    EXPECT_EQ(ReadBytes(folder / "data.001"), first);
    EXPECT_FALSE(Exists(folder / "data.002"));
    EXPECT_EQ(ReadBytes(folder / "data.bin"), source);

    program.Click(program.Control(CmdExit));
    EXPECT_EQ(program.WaitExit(), 0);
}

TEST_F(RealProgram, AMissingOutputFolderIsCreatedOnlyWhenTheUserAgrees)
{
    ASSERT_TRUE(WriteBytes(folder / "data.bin", RandomBytes(1500000, 9)));
    std::string out = folder / "pieces";
    RunningProgram program(folder.Path());
    ASSERT_TRUE(program.Started());
    program.SetText(program.Control(CmdOutputPath), out);
    program.SetText(program.Control(CmdFileName), "data.bin");

    program.Click(program.Control(CmdSplit));
    RunningProgram::Box box = program.WaitForBox();
    EXPECT_EQ(box.caption, "Path Not Found");
    EXPECT_EQ(box.text, "The directory\n" + out + "\ndoes not exist\n\nWould you like to create it?");
    program.Answer(box, IDNO);
    ASSERT_TRUE(program.WaitIdle());
    EXPECT_FALSE(Exists(out));
    EXPECT_EQ(program.WaitForBox(500).caption, "") << "no further box after No";

    program.Click(program.Control(CmdSplit));
    box = program.WaitForBox();
    EXPECT_EQ(box.caption, "Path Not Found");
    program.Answer(box, IDYES);
    for (int i = 0; i < 400 && !Exists(out + "\\data\\data.log"); i++)
        Sleep(25);
    EXPECT_EQ(SizeOf(out + "\\data\\data.002"), 1500000 - 1457000);
    EXPECT_TRUE(Exists(out + "\\data\\data.bat"));

    program.Click(program.Control(CmdExit));
    EXPECT_EQ(program.WaitExit(), 0);
}

TEST_F(RealProgram, PresetsAndTypedSizesMoveThePieceCount)
{
    ASSERT_TRUE(WriteBytes(folder / "disk.img", RandomBytes(2931000, 4)));
    RunningProgram program(folder.Path());
    ASSERT_TRUE(program.Started());
    program.SetText(program.Control(CmdFileName), "disk.img");
    HWND pieces = program.StaticChild(4);
    EXPECT_EQ(program.Text(pieces), "3 splits");

    HWND preset720 = program.ChildByText("720 KB");
    HWND preset288 = program.ChildByText("2.88 MB");
    ASSERT_TRUE(program.ClickAndWait(preset720));
    EXPECT_EQ(program.Text(program.Control(CmdSplitSize)), "730000");
    EXPECT_EQ(program.Text(pieces), "5 splits");
    ASSERT_TRUE(program.ClickAndWait(preset288));
    EXPECT_EQ(program.Text(pieces), "0 splits") << "one piece";
    EXPECT_FALSE(IsWindowEnabled(program.Control(CmdSplit)));

    program.SetText(program.Control(CmdSplitSize), "2934");
    EXPECT_EQ(program.Text(pieces), "999 splits") << "2934 x 998 < 2931000 <= 2934 x 999";
    EXPECT_TRUE(IsWindowEnabled(program.Control(CmdSplit)));
    program.SetText(program.Control(CmdSplitSize), "2931");
    EXPECT_EQ(program.Text(pieces), "0 splits") << "exactly 1000 pieces";
    EXPECT_FALSE(IsWindowEnabled(program.Control(CmdSplit)));

    // Pasted nonsense and a number beyond the 32-bit range leave Split disabled.
    program.SetText(program.Control(CmdSplitSize), "abc");
    EXPECT_EQ(program.Text(pieces), "0 splits");
    EXPECT_FALSE(IsWindowEnabled(program.Control(CmdSplit)));
    program.SetText(program.Control(CmdSplitSize), "9999999999");
    EXPECT_EQ(program.Text(pieces), "0 splits");
    EXPECT_FALSE(IsWindowEnabled(program.Control(CmdSplit)));

    program.Click(program.Control(CmdExit));
    EXPECT_EQ(program.WaitExit(), 0);
}

TEST_F(RealProgram, NamesThatCannotBeSplitSayWhy)
{
    CreateDirectoryA((folder / "album").c_str(), NULL);
    ASSERT_TRUE(MakeSparse(folder / "huge.iso", 0x80000000ull)); // 2 GiB
    ASSERT_TRUE(WriteBytes(folder / "my file.zip", RandomBytes(3000000, 2)));

    RunningProgram program(folder.Path());
    ASSERT_TRUE(program.Started());
    program.SetText(program.Control(CmdFileName), "album");
    EXPECT_EQ(program.Text(program.StaticChild(3)), "is a folder");
    EXPECT_FALSE(IsWindowEnabled(program.Control(CmdSplit)));
    program.SetText(program.Control(CmdFileName), "huge.iso");
    EXPECT_EQ(program.Text(program.StaticChild(3)), "2 GB or more");
    EXPECT_FALSE(IsWindowEnabled(program.Control(CmdSplit)));

    // A name the batch file cannot carry: the option is disabled but keeps its check.
    HWND batch = program.ChildByText("Batch File");
    program.SetText(program.Control(CmdFileName), "my file.zip");
    EXPECT_FALSE(IsWindowEnabled(batch));
    EXPECT_EQ(program.Checked(batch), BST_CHECKED);
    ASSERT_TRUE(program.ClickAndWait(program.Control(CmdSplit)));
    EXPECT_TRUE(Exists(folder / "my file\\my file.003"));
    EXPECT_FALSE(Exists(folder / "my file\\my file.bat"));
    EXPECT_NE(ReadText(folder / "my file\\my file.log").find("Batch file........... None\r\n"), std::string::npos);
    EXPECT_EQ(SizeOf(folder / "huge.iso"), 0x80000000ll);

    program.Click(program.Control(CmdExit));
    EXPECT_EQ(program.WaitExit(), 0);
}

// While a split waits on its warning, the tray menu's Exit, the close box, a second Split and F12
// arrive: the split goes on, and the exit comes once it has ended, with the idle window's settings.
TEST_F(RealProgram, ExitDuringASplitWaitsUntilTheSplitHasEnded)
{
    ASSERT_TRUE(WriteBytes(folder / "data.bin", RandomBytes(3000000, 3)));
    std::string out = folder / "out";
    CreateDirectoryA(out.c_str(), NULL);
    ASSERT_TRUE(WriteBytes(out + "\\data.002", Bytes(5, 'x')));
    RunningProgram program(folder.Path());
    ASSERT_TRUE(program.Started());
    program.SetText(program.Control(CmdOutputPath), out);
    ASSERT_TRUE(program.ClickAndWait(program.ChildByText("Sub Directory")));
    program.SetText(program.Control(CmdFileName), "data.bin");
    program.Click(program.Control(CmdSplit));
    RunningProgram::Box box = program.WaitForBox();
    ASSERT_EQ(box.text, "data.002 already exist");

    for (UINT message : {(UINT)WM_COMMAND, (UINT)WM_CLOSE}) {
        for (int id : {CmdExit, CmdSplit, CmdUninstall}) {
            DWORD_PTR result = 0;
            SendMessageTimeoutA(program.Window(), message, id, 0, SMTO_NORMAL, 5000, &result);
        }
    }
    EXPECT_TRUE(IsWindow(program.Window())) << "the window outlives the split";
    EXPECT_EQ(program.WaitForBox(300).window, box.window) << "no other box came";
    program.Answer(box, IDOK);
    EXPECT_EQ(program.WaitExit(), 0);
    EXPECT_NE(Query("CurrentDirectory").find(folder.Path() + "\r\n"), std::string::npos) << Query("CurrentDirectory");
    EXPECT_TRUE(Exists(out + "\\data.001"));
}

// --- The shell around the window -------------------------------------------------------------------

TEST_F(RealProgram, MinimisingHidesTheWindowAndTheTrayIconBringsItBack)
{
    RunningProgram program(folder.Path());
    ASSERT_TRUE(program.Started());
    PostMessageA(program.Window(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(program.WaitIdle());
    for (int i = 0; i < 200 && IsWindowVisible(program.Window()); i++)
        Sleep(25);
    EXPECT_FALSE(IsWindowVisible(program.Window())) << "minimised means hidden: only the tray icon is left";

    // A press and a move over the icon do nothing; releasing the left button brings the window back.
    SendMessageA(program.Window(), 0x203, 0, WM_LBUTTONDOWN);
    SendMessageA(program.Window(), 0x203, 0, WM_MOUSEMOVE);
    EXPECT_FALSE(IsWindowVisible(program.Window()));
    SendMessageA(program.Window(), 0x203, 0, WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(program.Window()));
    EXPECT_FALSE(IsIconic(program.Window()));

    program.Click(program.Control(CmdExit));
    EXPECT_EQ(program.WaitExit(), 0);
}

TEST_F(RealProgram, TheTrayMenuOpensAtTheIconAndItsExitEndsTheProgram)
{
    RunningProgram program(folder.Path());
    ASSERT_TRUE(program.Started());
    PostMessageA(program.Window(), 0x203, 0, WM_RBUTTONUP);
    HWND menu = program.WaitForWindow("#32768", "");
    ASSERT_NE(menu, (HWND)NULL) << "the tray menu did not open";
    RECT area;
    GetWindowRect(menu, &area);
    EXPECT_GT(area.bottom - area.top, 40) << "six entries";
    EXPECT_GT(SaveScreenshotOnceDrawn(ScreenshotFolder() + "\\tray-menu.bmp", area, 2), 2) << "the menu is drawn";

    // Down to "Exit" (the separators are skipped) and Enter.
    for (int i = 0; i < 4; i++) {
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_KEYUP, VK_DOWN, 0);
    }
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(program.WaitExit(), 0) << "Exit in the tray menu ends the program";
    EXPECT_NE(Query("ChkBits").find("0x1e"), std::string::npos) << "and saved its settings first";
}

TEST_F(RealProgram, TheAboutBoxShowsItsTextsAndImagesAndClosesWithEscape)
{
    RunningProgram program(folder.Path());
    ASSERT_TRUE(program.Started());
    PostMessageA(program.Window(), WM_KEYDOWN, VK_F11, 0);
    HWND about = program.WaitForWindow("#32770", "About Morvane 3.2");
    ASSERT_NE(about, (HWND)NULL) << "F11 opens the About box";
    std::string name = program.Text(GetDlgItem(about, 702));
    EXPECT_TRUE(name == "Morvane 3.2\nBinary File Splitter" || name == "Morvane 3.2\r\nBinary File Splitter") << name;
    EXPECT_EQ(program.Text(GetDlgItem(about, 703)), "F12 - Uninstall");
    program.WaitIdle();
    RECT area;
    GetWindowRect(about, &area);
    EXPECT_GT(SaveScreenshotOnceDrawn(ScreenshotFolder() + "\\about-box.bmp", area, 50), 50) << "logo and badge are drawn";

    PostMessageA(about, WM_KEYDOWN, VK_ESCAPE, 0);
    for (int i = 0; i < 200 && IsWindow(about); i++)
        Sleep(25);
    EXPECT_FALSE(IsWindow(about)) << "Escape closes the About box";

    GetWindowRect(program.Window(), &area);
    EXPECT_GT(SaveScreenshotOnceDrawn(ScreenshotFolder() + "\\main-window.bmp", area, 10), 10);
    program.Click(program.Control(CmdExit));
    EXPECT_EQ(program.WaitExit(), 0);
}

TEST_F(RealProgram, ThePlacementAndTopmostStateAreRestored)
{
    {
        RunningProgram program(folder.Path());
        ASSERT_TRUE(program.Started());
        SetWindowPos(program.Window(), NULL, 123, 87, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ASSERT_TRUE(program.ClickAndWait(program.Control(CmdOnTop)));
        program.Click(program.Control(CmdExit));
        EXPECT_EQ(program.WaitExit(), 0);
    }
    RunningProgram again(folder.Path());
    ASSERT_TRUE(again.Started());
    RECT area;
    GetWindowRect(again.Window(), &area);
    EXPECT_EQ(area.left, 123);
    EXPECT_EQ(area.top, 87);
    EXPECT_TRUE(GetWindowLongA(again.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    PostMessageA(again.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(again.WaitExit(), 0);
}

// --- Disks that refuse ------------------------------------------------------------------------------

// The test script mounts a 1 MiB tmpfs (MORVANE_FULL_DISK) and a read-only one (MORVANE_READONLY_DIR).
static std::string DiskFromEnvironment(const char *name)
{
    const char *value = getenv(name);
    return value != nullptr ? value : "";
}

TEST_F(RealProgram, AFullDiskStopsTheSplitWithABoxAndLeavesOnlyCompletePieces)
{
    std::string disk = DiskFromEnvironment("MORVANE_FULL_DISK");
    if (disk.empty())
        GTEST_SKIP() << "MORVANE_FULL_DISK is not set";
    TempFolder out(disk);
    Bytes source = RandomBytes(2000000, 12);
    ASSERT_TRUE(WriteBytes(folder / "data.bin", source));
    RunningProgram program(folder.Path());
    ASSERT_TRUE(program.Started());
    program.SetText(program.Control(CmdOutputPath), out.Path());
    program.SetText(program.Control(CmdSplitSize), "400000");
    program.SetText(program.Control(CmdFileName), "data.bin");
    SplitStopsWith(program, "Error", "Could not write\ndata.003\nThe disk may be full");
    ASSERT_TRUE(program.WaitIdle());
    EXPECT_EQ(program.WaitForBox(500).caption, "") << "nothing is reported as done";
    EXPECT_EQ(ReadBytes(out / "data\\data.002"), Bytes(source.begin() + 400000, source.begin() + 800000));
    EXPECT_FALSE(Exists(out / "data\\data.003"));
    EXPECT_FALSE(Exists(out / "data\\data.bat"));
    EXPECT_FALSE(Exists(out / "data\\data.log"));
    EXPECT_EQ(ReadBytes(folder / "data.bin"), source);
    program.Click(program.Control(CmdExit));
    EXPECT_EQ(program.WaitExit(), 0);
}

TEST_F(RealProgram, AReadOnlyOutputFolderIsReportedAndNothingIsWritten)
{
    std::string readOnly = DiskFromEnvironment("MORVANE_READONLY_DIR");
    if (readOnly.empty())
        GTEST_SKIP() << "MORVANE_READONLY_DIR is not set";
    Bytes source = RandomBytes(1500000, 13);
    ASSERT_TRUE(WriteBytes(folder / "data.bin", source));
    RunningProgram program(folder.Path());
    ASSERT_TRUE(program.Started());
    program.SetText(program.Control(CmdOutputPath), readOnly);
    program.SetText(program.Control(CmdFileName), "data.bin");
    SplitStopsWith(program, "Error", "Could not create sub directory");

    HWND subDirectory = program.ChildByText("Sub Directory");
    ASSERT_TRUE(program.ClickAndWait(subDirectory));
    SplitStopsWith(program, "Error", "File handle null");
    EXPECT_FALSE(Exists(readOnly + "\\data.001"));
    EXPECT_EQ(ReadBytes(folder / "data.bin"), source);
    program.Click(program.Control(CmdExit));
    EXPECT_EQ(program.WaitExit(), 0);
}
