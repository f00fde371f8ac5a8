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

TEST_F(RealProgram, SettingsSurviveARestartAndF12RemovesThem)
{
    std::string out = folder / "out";
    CreateDirectoryA(out.c_str(), NULL);
    {
        RunningProgram program(folder.Path());
        ASSERT_TRUE(program.Started());
        program.SetText(program.Control(CmdOutputPath), out);
        program.SetText(program.Control(CmdSplitSize), "730000");
        HWND batch = NULL, useOutput = program.Control(CmdUseOutput);
        for (HWND child = GetWindow(program.Window(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (program.Text(child) == "Batch File")
                batch = child;
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
