// The real Morvane.exe, started under Wine and used from another process as a person would:
// fields typed, buttons clicked, keys pressed, boxes read and answered; then the files on disk and
// the registry. The cases share the prefix's registry key, so they run one at a time.
#include "support/Support.h"

#include "resources/resource.h"

#include <shlwapi.h>

// A pixel the screen shows in a window's client area.
static COLORREF PixelAt(HWND window, int x, int y)
{
    POINT point = {x, y};
    ClientToScreen(window, &point);
    HDC screen = GetDC(NULL);
    COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(NULL, screen);
    return colour;
}

class RealProgram : public ::testing::Test {
protected:
    RealProgram() { SHDeleteKeyA(HKEY_CURRENT_USER, ProgramKey); }
    ~RealProgram() override { SHDeleteKeyA(HKEY_CURRENT_USER, ProgramKey); }

    TempFolder folder;
};

// A name outside ASCII, long enough for the batch file to group two pieces a line.
static const std::string Base = "R\xE9sum\xE9_of_the_annual_report_with_all_appendices";

TEST_F(RealProgram, APersonSplitsRejoinsRestartsAndExits)
{
    Bytes source = RandomBytes(3000000);
    ASSERT_TRUE(WriteBytes(folder / (Base + ".bin"), source));
    {
        RunningProgram program(folder.Path());
        ASSERT_NE(program.Window(), (HWND)NULL) << "no visible main window";
        RECT client;
        GetClientRect(program.Window(), &client);
        EXPECT_EQ(client.right * 1000 + client.bottom, 265 * 1000 + 235);
        program.SetText(program.Control(CmdFileName), Base + ".bin");
        EXPECT_NE(program.ChildByText("3 splits"), (HWND)NULL) << "the pieces pane";
        ASSERT_TRUE(program.ClickAndWait(program.Control(CmdSplit))) << "the split showed a box";
        std::string pieces = folder / Base; // the first run's output folder and sub-folder
        EXPECT_EQ(ReadBytes(pieces + "\\" + Base + ".003").size(), 86000u);
        EXPECT_NE(ReadBytes(pieces + "\\" + Base + ".log").find("Number of splits..... 3\r\n"), std::string::npos);
        ASSERT_EQ(RunAndWait("cmd /c \"" + Base + ".bat\"", pieces), 0);
        EXPECT_TRUE(ReadBytes(pieces + "\\" + Base + ".bin") == source) << "the batch file rebuilds the source";
        EXPECT_EQ(Text(program.Window()), folder / (Base + ".bin")) << "idle again on the source";

        program.Key(VK_F1); // no Morvane.hlp in the folder it started from
        HWND box = program.WaitForWindow();
        EXPECT_EQ(BoxText(box), "Could not find Morvane.hlp\nMake sure it is in the same directory as Morvane.exe");
        program.Answer(box, IDOK);

        program.Key(VK_F11);
        HWND about = program.WaitForWindow("#32770", "About Morvane 3.2");
        ASSERT_NE(about, (HWND)NULL);
        EXPECT_EQ(Text(GetDlgItem(about, 703)), "F12 - Uninstall");
        COLORREF face = GetSysColor(COLOR_BTNFACE);
        for (int i = 0; i < 100 && PixelAt(about, 60, 60) == face; i++) // painted a moment after it opens
            Sleep(50);
        EXPECT_NE(PixelAt(about, 60, 60), face) << "the logo is drawn";
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
            HWND menu = NULL; // a right click while the last menu is still closing opens none
            for (int tries = 0; tries < 3 && menu == NULL; tries++) {
                PostMessageA(program.Window(), 0x203, 0, WM_RBUTTONUP);
                menu = program.WaitForWindow("#32768");
            }
            ASSERT_NE(menu, (HWND)NULL) << "the tray menu did not open";
            for (int i = 0; i < 100 && PixelAt(menu, 4, 4) != GetSysColor(COLOR_MENU); i++) // takes keys once drawn
                Sleep(50);
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
    EXPECT_EQ(Text(again.Control(CmdSplitSize)), "730000");
    EXPECT_FALSE(Checked(again.ChildByText("Batch File")));
    EXPECT_TRUE(Checked(again.ChildByText("Log File")));
    EXPECT_TRUE(GetWindowLongA(again.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    again.Key(VK_F12);
    HWND question = again.WaitForWindow("#32770", "Uninstall");
    ASSERT_NE(question, (HWND)NULL);
    again.Answer(question, IDNO);

    // While a split waits on its warning about an existing piece, Exit, the close box, a second
    // Split and Uninstall arrive: the split goes on, and the program ends once it has ended, with
    // the idle window's settings. The existing piece is left as it was.
    std::string out = folder / "out";
    CreateDirectoryA(out.c_str(), NULL);
    ASSERT_TRUE(WriteBytes(out + "\\" + Base + ".002", Bytes(5, 'x')));
    again.SetText(again.Control(CmdOutputPath), out);
    ASSERT_TRUE(again.ClickAndWait(again.ChildByText("Sub Directory")));
    again.SetText(again.Control(CmdFileName), Base + ".bin");
    again.Click(again.Control(CmdSplit));
    HWND box = again.WaitForWindow();
    ASSERT_EQ(BoxText(box), Base + ".002 already exist");
    for (UINT message : {(UINT)WM_COMMAND, (UINT)WM_CLOSE})
        for (int id : {CmdExit, CmdSplit, CmdUninstall})
            SendMessageTimeoutA(again.Window(), message, id, 0, SMTO_NORMAL, 5000, NULL);
    EXPECT_TRUE(IsWindow(again.Window())) << "the window outlives the split";
    EXPECT_EQ(again.WaitForWindow(), box) << "no other box came";
    again.Answer(box, IDOK);
    EXPECT_EQ(again.WaitExit(), 0);
    std::string saved = folder.Path();
    saved.resize(257, '\0');
    EXPECT_EQ(ProgramValue("CurrentDirectory"), saved) << "the source's folder";
    EXPECT_EQ(ReadBytes(out + "\\" + Base + ".002"), Bytes(5, 'x')) << "an existing piece is never written over";
    EXPECT_TRUE(ReadBytes(out + "\\" + Base + ".001") == source.substr(0, 730000));
}

// The page the viewer shows a topic on, once it reads `heading` first (at most 5 s).
static std::string PageOnceShown(HWND page, const std::string &heading)
{
    std::string text = Text(page);
    for (int i = 0; i < 100 && text.compare(0, heading.size(), heading) != 0; i++, Sleep(50))
        text = Text(page);
    return text;
}

// Started beside Morvane.hlp, as the build leaves it, F1 opens the help in the platform's viewer at
// the contents; a click on a jump leads to its topic.
TEST_F(RealProgram, HelpOpensTheViewerAtTheContents)
{
    RunningProgram program(MORVANE_BUILD_DIR);
    ASSERT_NE(program.Window(), (HWND)NULL);
    program.Key(VK_F1);
    HWND viewer = NULL;
    for (int i = 0; i < 600 && viewer == NULL; i++, Sleep(50))
        viewer = FindWindowA("MS_WINHELP", "Morvane 3.2 Help");
    ASSERT_NE(viewer, (HWND)NULL) << "no viewer with the help's title";
    HWND page = FindWindowExA(viewer, NULL, "RichEdit20A", NULL);
    std::string contents = PageOnceShown(page, "Morvane 3.2");
    for (const char *jump : {"Choosing the file to split", "The batch file and rejoining", "Messages"})
        EXPECT_NE(contents.find(jump), std::string::npos) << contents;

    // The page counts a line break as one character even where its text has two.
    size_t at = contents.find("Choosing the file to split");
    size_t index = at;
    for (size_t i = 1; i < at; i++)
        index -= contents[i - 1] == '\r' && contents[i] == '\n';
    LRESULT position = SendMessageA(page, EM_POSFROMCHAR, index, 0);
    LPARAM point = MAKELPARAM(LOWORD(position) + 4, HIWORD(position) + 4);
    PostMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(page, WM_LBUTTONUP, 0, point);
    EXPECT_NE(PageOnceShown(page, "Choosing the file to split").find("There are three ways"), std::string::npos);
    PostMessageA(viewer, WM_CLOSE, 0, 0);
    PostMessageA(program.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0);
}
