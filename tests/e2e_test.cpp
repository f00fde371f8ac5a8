// The real Morvane.exe, started under Wine and used from another process as a person would:
// fields typed, buttons clicked, keys pressed, boxes read and answered; then the files on disk and
// the registry. The cases share the prefix's registry key, so they run one at a time.
#include "support/Driver.h"
#include "support/Support.h"

#include "resources/resource.h"

#include <shlwapi.h>

#include <algorithm>

static const char ProgramKey[] = "Software\\Drelwick\\Morvane";

class RealProgram : public ::testing::Test {
protected:
    RealProgram() { SHDeleteKeyA(HKEY_CURRENT_USER, ProgramKey); }
    ~RealProgram() override { SHDeleteKeyA(HKEY_CURRENT_USER, ProgramKey); }

    static bool Checked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

    TempFolder folder;
};

TEST_F(RealProgram, APersonSplitsRejoinsAndFindsTheSettingsKept)
{
    Bytes source = RandomBytes(3000000);
    ASSERT_TRUE(WriteBytes(folder / "data.bin", source));
    {
        RunningProgram program(folder.Path());
        ASSERT_NE(program.Window(), (HWND)NULL) << "no visible main window";
        RECT client;
        GetClientRect(program.Window(), &client);
        EXPECT_EQ(client.right * 1000 + client.bottom, 265 * 1000 + 235);
        program.SetText(program.Control(CmdFileName), "data.bin");
        EXPECT_NE(program.ChildByText("3 splits"), (HWND)NULL) << "the pieces pane";
        ASSERT_TRUE(program.ClickAndWait(program.Control(CmdSplit))) << "the split showed a box";
        std::string pieces = folder / "data"; // the first run's output folder and sub-folder
        EXPECT_EQ(ReadBytes(pieces + "\\data.003").size(), 86000u);
        EXPECT_NE(ReadText(pieces + "\\data.log").find("Number of splits..... 3\r\n"), std::string::npos);
        ASSERT_EQ(RunAndWait("cmd /c data.bat", pieces), 0);
        EXPECT_EQ(ReadBytes(pieces + "\\data.bin"), source) << "the batch file rebuilds the source";
        EXPECT_EQ(program.Text(program.Window()), folder / "data.bin") << "idle again on the source";

        program.Key(VK_F1); // no Morvane.hlp in the folder it started from
        HWND box = program.WaitForWindow();
        EXPECT_EQ(BoxText(program, box), "Could not find Morvane.hlp\nMake sure it is in the same directory as Morvane.exe");
        program.Answer(box, IDOK);

        program.Key(VK_F11);
        HWND about = program.WaitForWindow("#32770", "About Morvane 3.2");
        ASSERT_NE(about, (HWND)NULL);
        EXPECT_EQ(program.Text(GetDlgItem(about, 703)), "F12 - Uninstall");
        EXPECT_GT(ColoursOnceDrawn(about, 50), 50) << "the logo and the badge are drawn";
        program.Answer(about, IDCANCEL);

        PostMessageA(program.Window(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        for (int i = 0; i < 200 && IsWindowVisible(program.Window()); i++)
            Sleep(25);
        EXPECT_FALSE(IsWindowVisible(program.Window())) << "minimised: only the tray icon";
        SendMessageA(program.Window(), 0x203, 0, WM_LBUTTONUP); // a click on the tray icon
        EXPECT_TRUE(IsWindowVisible(program.Window()));

        program.SetText(program.Control(CmdSplitSize), "730000");
        ASSERT_TRUE(program.ClickAndWait(program.ChildByText("Batch File")));
        ASSERT_TRUE(program.ClickAndWait(program.Control(CmdOnTop)));
        for (int downs : {1, 1, 4}) { // Auto Split on and off, then Exit (past the separators)
            PostMessageA(program.Window(), 0x203, 0, WM_RBUTTONUP);
            HWND menu = program.WaitForWindow("#32768");
            ASSERT_NE(menu, (HWND)NULL) << "the tray menu did not open";
            EXPECT_GT(ColoursOnceDrawn(menu, 2), 2) << "the menu is drawn";
            for (int i = 0; i < downs; i++)
                PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
            for (int i = 0; i < 200 && IsWindowVisible(menu); i++)
                Sleep(25);
        }
        EXPECT_EQ(program.WaitExit(), 0);
    }
    // log 0x04, Use Output 0x08, Sub Directory 0x10 and on top 0x01; Auto Split 0x20 off again
    EXPECT_EQ(ProgramValue("ChkBits"), Bytes({0x1D, 0, 0, 0}));
    RunningProgram again(folder.Path());
    ASSERT_NE(again.Window(), (HWND)NULL);
    EXPECT_EQ(again.Text(again.Control(CmdSplitSize)), "730000");
    EXPECT_FALSE(Checked(again.ChildByText("Batch File")));
    EXPECT_TRUE(Checked(again.ChildByText("Log File")));
    EXPECT_TRUE(GetWindowLongA(again.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);

    again.Key(VK_F12);
    HWND question = again.WaitForWindow("#32770", "Uninstall");
    ASSERT_NE(question, (HWND)NULL);
    again.Answer(question, IDYES);
    HWND done = again.WaitForWindow("#32770", "Uninstall Complete");
    again.Answer(done, IDOK);
    EXPECT_EQ(again.WaitExit(), 0);
    HKEY key = NULL;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, ProgramKey, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

// While a split waits on its warning, Exit, the close box, a second Split and F12 arrive: the split
// goes on, and the exit comes once it has ended, with the idle window's settings.
TEST_F(RealProgram, ExitDuringASplitWaitsUntilTheSplitHasEnded)
{
    ASSERT_TRUE(WriteBytes(folder / "data.bin", RandomBytes(3000000)));
    std::string out = folder / "out";
    CreateDirectoryA(out.c_str(), NULL);
    ASSERT_TRUE(WriteBytes(out + "\\data.002", Bytes(5, 'x')));
    RunningProgram program(folder.Path());
    ASSERT_NE(program.Window(), (HWND)NULL);
    program.SetText(program.Control(CmdOutputPath), out);
    ASSERT_TRUE(program.ClickAndWait(program.ChildByText("Sub Directory")));
    program.SetText(program.Control(CmdFileName), "data.bin");
    program.Click(program.Control(CmdSplit));
    HWND box = program.WaitForWindow();
    ASSERT_EQ(BoxText(program, box), "data.002 already exist");

    for (UINT message : {(UINT)WM_COMMAND, (UINT)WM_CLOSE})
        for (int id : {CmdExit, CmdSplit, CmdUninstall})
            SendMessageTimeoutA(program.Window(), message, id, 0, SMTO_NORMAL, 5000, NULL);
    EXPECT_TRUE(IsWindow(program.Window())) << "the window outlives the split";
    EXPECT_EQ(program.WaitForWindow(), box) << "no other box came";
    program.Answer(box, IDOK);
    EXPECT_EQ(program.WaitExit(), 0);
    std::string saved = folder.Path();
    saved.resize(257, '\0');
    EXPECT_EQ(ProgramValue("CurrentDirectory"), Bytes(saved.begin(), saved.end())) << "the source's folder";
}

// Lines of jump text on the viewer's page: bands of rows holding the viewer's jump colour
// (green); a text and its underline, a row or two apart, count as one.
static int JumpLines(HWND viewer)
{
    int width = 0;
    std::vector<uint32_t> pixels = Pixels(viewer, &width);
    int bands = 0;
    int quietRows = 3;
    for (size_t row = 0; width > 0 && row < pixels.size() / width; row++) {
        bool green = std::count(pixels.begin() + row * width, pixels.begin() + (row + 1) * width, 0x008000u) > 0;
        bands += green && quietRows >= 3;
        quietRows = green ? 0 : quietRows + 1;
    }
    return bands;
}

static BOOL CALLBACK FindBackButton(HWND child, LPARAM found)
{
    char text[16] = "";
    GetWindowTextA(child, text, sizeof text);
    if (strcmp(text, "&Back") == 0)
        *(HWND *)found = child;
    return TRUE;
}

// Started beside Morvane.hlp, as the build leaves it, F1 opens the help in the platform's viewer.
TEST_F(RealProgram, HelpOpensTheViewerAtTheContents)
{
    RunningProgram program(MORVANE_BUILD_DIR);
    ASSERT_NE(program.Window(), (HWND)NULL);
    program.Key(VK_F1);
    HWND viewer = NULL;
    for (int i = 0; i < 600 && viewer == NULL; i++, Sleep(50))
        viewer = FindWindowA("MS_WINHELP", "Morvane 3.2 Help");
    ASSERT_NE(viewer, (HWND)NULL) << "no viewer with the help's title";
    int lines = 0;
    for (int i = 0; i < 100 && lines < 14; i++, Sleep(50))
        lines = JumpLines(viewer);
    EXPECT_GE(lines, 14) << "the contents topic shows a jump to every other topic";

    // A click on the first jump leads to its topic: the viewer's Back button comes alive.
    HWND back = NULL;
    EnumChildWindows(viewer, FindBackButton, (LPARAM)&back);
    ASSERT_NE(back, (HWND)NULL);
    EXPECT_FALSE(IsWindowEnabled(back));
    int width = 0;
    std::vector<uint32_t> pixels = Pixels(viewer, &width);
    size_t green = std::find(pixels.begin(), pixels.end(), 0x008000u) - pixels.begin();
    ASSERT_LT(green, pixels.size());
    RECT area;
    GetWindowRect(viewer, &area);
    POINT point = {area.left + (int)(green % width) + 2, area.top + (int)(green / width)};
    HWND page = WindowFromPoint(point);
    ScreenToClient(page, &point);
    PostMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    PostMessageA(page, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    for (int i = 0; i < 100 && !IsWindowEnabled(back); i++, Sleep(50))
        EnumChildWindows(viewer, FindBackButton, (LPARAM)&back); // the buttons are made anew
    EXPECT_TRUE(IsWindowEnabled(back)) << "the jump did not lead to its topic";
    PostMessageA(viewer, WM_CLOSE, 0, 0);
    PostMessageA(program.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0);
}
