// The real Morvane.exe, started under Wine and used from another process as a person would:
// fields typed, buttons clicked, keys pressed, boxes read and answered; then the files on disk and
// the registry. The cases share the prefix's registry key, so they run one at a time.
#include "support/Support.h"

#include "resources/resource.h"

#include <msi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <stdlib.h>

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
    ~RealProgram() override
    {
        SHDeleteKeyA(HKEY_CURRENT_USER, ProgramKey);
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Morvane.exe"); // as the help's test sets them
        SHSetValueA(HKEY_CLASSES_ROOT, ".html", NULL, REG_SZ, "htmlfile", 9); // Wine's browser, as the prefix has it
        SHDeleteKeyA(HKEY_CLASSES_ROOT, "MorvaneTests.Page");
        DWORD dpi = 96; // as the DPI's test sets it, should it stop half-way
        SHSetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, 4);
    }

    TempFolder folder;
};

// Wine reads the screen's DPI as a process starts: the layout test at 120, 144 and 192 DPI, then 96 again.
TEST_F(RealProgram, TheFormIsLaidOutAtEveryDpi)
{
    for (DWORD dpi : {120, 144, 192, 96}) {
        SHSetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, 4);
        SetEnvironmentVariableA("MORVANE_DPI", std::to_string(dpi).c_str());
        EXPECT_EQ(dpi == 96 ? 0 : system(MORVANE_BUILD_DIR "/tests/form_test.exe --gtest_filter=Form.IsLaidOut*"), 0) << dpi;
    }
}

// A name outside ASCII, long enough for the batch file to group two pieces a line.
static const std::string Base = "R\xC3\xA9sum\xC3\xA9_of_the_annual_report_with_all_appendices";

// A first start, but for a remembered folder that is gone (a stick taken out): the start folder
// takes its place, and the defaults put the pieces, the batch file and the log into a sub-folder
// of it. With keys typed as a person's: while Split is disabled Enter and Escape do nothing; Tab
// walks the controls in reading order past Split (the presets, none checked, at the first), the
// arrow picks 1.44 MB, Enter in the file-name field splits (the focus stays); the window comes
// back to the file split.
TEST_F(RealProgram, APersonSplitsRejoinsAndExits)
{
    Bytes source = RandomBytes(3000000);
    ASSERT_TRUE(WriteBytes(folder / (Base + ".bin"), source));
    Store("CurrentDirectory", REG_SZ, Bytes("C:\\gone", 8));
    Store("SplitSize", REG_DWORD, Bytes({0x40, 0x42, 0x0F, 0})); // 1000000, no preset's
    {
        RunningProgram program(folder.Path());
        ASSERT_NE(program.Window(), (HWND)NULL) << "no visible main window";
        RECT client;
        GetClientRect(program.Window(), &client);
        EXPECT_EQ(client.right * 1000 + client.bottom, 265 * 1000 + 235);
        HWND field = program.Control(CmdFileName);
        const std::pair<BYTE, HWND> walk[] = {
            {VK_RETURN, field}, {VK_ESCAPE, field}, {VK_TAB, program.Control(CmdOpenFile)},
            {VK_TAB, program.Control(CmdOnTop)}, {VK_TAB, program.Control(CmdOutputPath)},
            {VK_TAB, program.Control(CmdBrowse)}, {VK_TAB, program.Control(CmdSplitSize)},
            {VK_TAB, program.ChildByText("2.88 MB")}, {VK_DOWN, program.ChildByText("1.44 MB")},
            {VK_TAB, program.ChildByText("Batch File")}, {VK_TAB, program.ChildByText("Log File")},
            {VK_TAB, program.Control(CmdUseOutput)}, {VK_TAB, program.ChildByText("Sub Directory")},
            {VK_TAB, program.Control(CmdHelp)}, {VK_TAB, program.Control(CmdAbout)},
            {VK_TAB, program.Control(CmdExit)}, {VK_TAB, field}};
        for (const auto &step : walk) {
            Key(step.first);
            EXPECT_TRUE(Await([&] { return program.Focus() == step.second; })) << "step " << &step - walk;
        }
        // Typed keys reach the field whole, in any script (here Cyrillic, CJK and an emoji). With spaces, the name
        // greys Batch File out: the reason shows over the box, whose mouse Windows hands to the window beneath.
        HWND batch = program.ChildByText("Batch File");
        RECT box;
        for (const std::string &name : {std::string("\xD0\xBE\xD1\x82 \xE5\xA0\xB1 \xF0\x9F\x93\xB7.bin"), Base + ".bin"}) {
            program.SetText(field, "");
            TypeKeys(name);
            EXPECT_TRUE(Await([&] { return Text(field) == name; })) << Text(field);
            if (IsWindowEnabled(batch) || !GetWindowRect(batch, &box) || !SetCursorPos(box.left + 40, box.top + 10))
                continue;
            EXPECT_EQ(Text(program.WaitForWindow(TOOLTIPS_CLASSA)), "The batch file cannot carry spaces in a name: "
                                                                        "rename the file, or rejoin its pieces with COPY /B by hand.");
        }
        SetCursorPos(0, 0);
        EXPECT_EQ(GetWindowLongA(program.Control(CmdSplit), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
        Key(VK_RETURN);
        std::string pieces = folder / Base; // the first run's output folder and sub-folder
        std::string log, name = pieces + "\\" + Base; // the log: the split's last file, once it has its last line
        Await([&] { return (log = ReadBytes(name + ".log")).find("Total bytes") + 1 && !program.ChildByText("writing log file..."); });
        EXPECT_NE(log.find("Number of splits..... 3\r\n"), std::string::npos);
        EXPECT_EQ(ReadBytes(name + ".003").size(), 86000u) << "at 1457000 a piece";
        EXPECT_EQ(program.Focus(), field);
        // The batch file under cmd: with a piece away it says so, fails and makes nothing; then it rebuilds.
        const std::string rejoin = "cd /d \"" + pieces + "\" && \"" + Base + ".bat\" >..\\said.txt";
        ASSERT_TRUE(MoveFileA((name + ".002").c_str(), (name + ".two").c_str()));
        EXPECT_EQ(system(rejoin.c_str()), 1);
        EXPECT_NE(ReadBytes(folder / "said.txt").find(".002 is missing"), std::string::npos);
        EXPECT_EQ(Listing(pieces).find(".bin"), std::string::npos);
        ASSERT_TRUE(MoveFileA((name + ".two").c_str(), (name + ".002").c_str()));
        ASSERT_EQ(system(rejoin.c_str()), 0);
        EXPECT_TRUE(ReadBytes(name + ".bin") == source) << "the batch file rebuilds the source";
        EXPECT_EQ(Text(program.Window()), folder / (Base + ".bin")) << "idle again on the source";

        // Shift+Tab twice: from the field to About, which Enter presses.
        keybd_event(VK_SHIFT, 0, 0, 0), Key(VK_TAB), Key(VK_TAB), keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0), Key(VK_RETURN);
        HWND about = program.WaitForWindow("#32770", "About Morvane 3.2");
        ASSERT_NE(about, (HWND)NULL);
        EXPECT_EQ(Text(GetDlgItem(about, 703)), "F12 - Uninstall");
        COLORREF face = GetSysColor(COLOR_BTNFACE);
        EXPECT_TRUE(Await([&] { return PixelAt(about, 60, 60) != face; })) << "the logo is drawn (a moment after)";
        program.Answer(about, IDCANCEL);
        Key(VK_F11);
        program.Answer(program.WaitForWindow("#32770", "About Morvane 3.2"), IDCANCEL);

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
            Await([&] { return PixelAt(menu, 4, 4) == GetSysColor(COLOR_MENU); }); // takes keys once drawn
            for (int i = 0; i < downs; i++)
                PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
            Await([&] { return !IsWindowVisible(menu); });
        }
        EXPECT_EQ(program.WaitExit(), 0);
    }
    // What the exit saved, on a first start's defaults changed as above: both folders as the whole
    // 257-byte field, the placement as 44 bytes, the size, and the options: log 0x04, Use Output
    // 0x08, Sub Directory 0x10 and on top 0x01; Batch File 0x02 and Auto Split 0x20 clear.
    std::string saved = folder.Path();
    saved.resize(257, '\0');
    DWORD types[5] = {};
    EXPECT_EQ(ProgramValue("CurrentDirectory", &types[0]), saved);
    EXPECT_EQ(ProgramValue("OutputDirectory", &types[1]), saved);
    EXPECT_EQ(ProgramValue("WinPos", &types[2]).size(), 44u);
    EXPECT_EQ(ProgramValue("SplitSize", &types[3]), Bytes({(char)0x90, 0x23, 0x0B, 0})) << "730000";
    EXPECT_EQ(ProgramValue("ChkBits", &types[4]), Bytes({0x1D, 0, 0, 0}));
    EXPECT_EQ(std::vector<DWORD>(types, types + 5), (std::vector<DWORD>{REG_SZ, REG_SZ, REG_BINARY, REG_DWORD, REG_DWORD}));
}

// Installed silently (the shortcuts' targets: scripts/test), started as Explorer does (Send To, a drop on the icon, Open
// with) from a folder neither the file's nor its own: the file is taken as a drop would be. Uninstalled: the settings stay.
TEST_F(RealProgram, TheInstalledProgramTakesTheFileExplorerSendsIt)
{
    ASSERT_EQ(system("msiexec /i \"" MORVANE_BUILD_DIR "/" MORVANE_PACKAGE ".msi\" /qn"), 0) << "made by target package";
    char product[39] = "", path[MAX_PATH] = "";
    ASSERT_EQ(MsiEnumRelatedProductsA("{5B4F3C36-6E2A-4C38-9D0B-7F4B6C1A2E58}", 0, 0, product), 0u);
    const std::string home = getenv("ProgramFiles") + std::string("\\Morvane"), exe = home + "\\Morvane.exe";
    const std::string sendTo = getenv("APPDATA") + std::string("\\Microsoft\\Windows\\SendTo\\Morvane.lnk");
    const std::string menu = getenv("APPDATA") + std::string("\\Microsoft\\Windows\\Start Menu\\Programs\\Morvane.lnk");
    auto link = [&](const std::string &lnk) { // a shortcut's target and start folder, as the shell reads them
        IShellLinkA *shortcut = NULL; IPersistFile *file = NULL;
        char target[MAX_PATH] = "", start[MAX_PATH] = "";
        if (SUCCEEDED(CoInitialize(NULL)) &&
            CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void **)&shortcut) == S_OK &&
            shortcut->QueryInterface(IID_IPersistFile, (void **)&file) == S_OK &&
            file->Load(std::wstring(lnk.begin(), lnk.end()).c_str(), 0) == S_OK)
            shortcut->GetPath(target, MAX_PATH, NULL, 0), shortcut->GetWorkingDirectory(start, MAX_PATH);
        file != NULL && file->Release(), shortcut != NULL && shortcut->Release();
        return std::string(target) + " in " + start + "; ";
    };
    auto opens = [&] { // Morvane among what Explorer offers to open .001 files with, and their own default
        char command[2 * MAX_PATH] = "";
        DWORD size = sizeof command, none = ERROR_FILE_NOT_FOUND;
        SHGetValueA(HKEY_CLASSES_ROOT, "Morvane.Piece\\shell\\open\\command", NULL, NULL, command, &size);
        return command + std::string(SHGetValueA(HKEY_CLASSES_ROOT, ".001\\OpenWithProgids", "Morvane.Piece", 0, 0, 0) == none ? "" : " listed") +
               (SHGetValueA(HKEY_CLASSES_ROOT, ".001", NULL, NULL, NULL, NULL) == none ? "" : ", default taken") + "; ";
    };
    auto left = [&] { return Listing(home) + ", " + link(sendTo) + link(menu) + opens(); };
    auto shows = [&, entry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + std::string(product)](const char *name) {
        DWORD size = sizeof path;
        return path[0] = '\0', SHGetValueA(HKEY_LOCAL_MACHINE, entry.c_str(), name, NULL, path, &size), path + std::string(";"); };
    const std::string shortcut = exe + " in " + home + "\\; "; // Send To, then the Start menu
    EXPECT_EQ(left(), "Morvane.exe Morvane.hlp Morvane.html README.txt, " + shortcut + shortcut + "\"" + exe + "\" \"%1\" listed; ");
    EXPECT_EQ(shows("DisplayName") + shows("DisplayVersion") + shows("Publisher") + shows("DisplayIcon"), "Morvane;3.2;Drelwick;" + exe + ",0;");
    const std::string files = folder / "sent files", source = files + "\\a b.bin", other = folder / "-c.bin";
    const std::string cyrillic = files + "\\\xD0\xB4.bin"; // a name in any script arrives whole
    ASSERT_TRUE(CreateDirectoryA(files.c_str(), NULL) && WriteBytes(source, RandomBytes(150)) && WriteBytes(other, "") &&
                WriteBytes(cyrillic, RandomBytes(150)) && SetCurrentDirectoryA(folder.Path().c_str()) &&
                GetShortPathNameA("sent files\\a b.bin", path, MAX_PATH)) << GetLastError(); // below the start folder
    const std::string listed = "a b.bin \xD0\xB4.bin, ", split = "a b.001 a b.002 " + listed + source, idle = listed + "Morvane 3.2";
    const std::string two = "Morvane splits one file at a time. Of the 2 files it was given, it took the first:\n";
    struct Case { std::string arguments, box, after; };
    std::vector<Case> cases = { // the folder's files, the window's title
        {"\"" + source + "\"", "", split}, {source, "", split}, {path, "", split}, // quoted, unquoted, short
        {"\"" + files + "\\gone.bin\"", "Could not find the file\n" + files + "\\gone.bin", idle},
        {"\"" + files + "\"", files + "\nis a folder. Morvane splits a file: drop or send one of the files in it.", idle},
        {"\"" + source + "\" \"" + other + "\"", two + source, split}, {"-c.bin \"" + source + "\"", two + other, listed + other},
        {"\"" + cyrillic + "\"", "", "a b.bin \xD0\xB4.001 \xD0\xB4.002 \xD0\xB4.bin, " + cyrillic},
        {"/s", "/s\nis not a file. Morvane knows no switches: it is started with the file to split, or with none.", idle}};
    for (std::string device : {"CON", "nul", "COM1", "LPT1", "AUX", "PRN"})
        cases.push_back({device, device + "\nis a device, not a file. Morvane splits a file: drop or send one.", idle});
    for (const auto &c : cases) {
        for (const char *piece : {"\\a b.001", "\\a b.002", "\\\xD0\xB4.001", "\\\xD0\xB4.002"})
            DeleteFileA((files + piece).c_str());
        Store("ChkBits", REG_DWORD, Bytes({0x20, 0, 0, 0})), Store("SplitSize", REG_DWORD, Bytes({100, 0, 0, 0}));
        Store("CurrentDirectory", REG_SZ, files + '\0'); // remembered; a relative name is the start folder's
        RunningProgram program(folder.Path(), c.arguments, exe); // Auto Split alone: the pieces beside the file
        HWND box = c.box.empty() ? NULL : program.WaitForWindow();
        EXPECT_EQ(BoxText(box), c.box) << c.arguments;
        program.Answer(box, IDOK);
        Await([&] { return Listing(files) + ", " + Text(program.Window()) == c.after; });
        EXPECT_EQ(Listing(files) + ", " + Text(program.Window()), c.after) << c.arguments;
    }
    { // a first piece, as Open with hands it over, with Auto Split: its set is joined at once, into the file of its name
        ASSERT_TRUE(WriteBytes(files + "\\j.001", "one,") && WriteBytes(files + "\\j.002", "two"));
        RunningProgram program(folder.Path(), "\"" + files + "\\j.001\"", exe);
        EXPECT_TRUE(Await([&] { return program.ChildByText("joined, not checked") != NULL; })) << Listing(files);
        EXPECT_EQ(ReadBytes(files + "\\j"), "one,two");
    }
    ASSERT_EQ(system(("msiexec /x " + std::string(product) + " /qn").c_str()), 0);
    const DWORD shortcutsKey = SHGetValueA(HKEY_CURRENT_USER, "Software\\Drelwick\\Installed", "Morvane", NULL, NULL, NULL);
    EXPECT_EQ(left() + shows("DisplayName") + std::to_string(shortcutsKey) + std::to_string(ProgramValue("SplitSize").size()),
              ",  in ;  in ; ; ;24") << "the shortcuts' key path and Open with go, the settings stay";
}

// The page the viewer shows a topic on, once it reads `heading` first (at most 5 s).
static std::string PageOnceShown(HWND page, const std::string &heading)
{
    std::string text;
    Await([&] { return (text = Text(page)).compare(0, heading.size(), heading) == 0; }, 5000);
    return text;
}

// The exe's manifest: it runs as the user who started it (no UAC virtualization of files and
// registry), names Vista to 11 so that Windows tells it its true version, and declares UTF-8.
TEST(TheExe, CarriesItsManifest)
{
    HMODULE exe = LoadLibraryExA(MORVANE_BUILD_DIR "/Morvane.exe", NULL, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = FindResourceA(exe, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    ASSERT_NE(found, (HRSRC)NULL);
    std::string manifest((const char *)LockResource(LoadResource(exe, found)), SizeofResource(exe, found));
    for (const char *part : {"level=\"asInvoker\" uiAccess=\"false\"", "{e2011457-1546-43c5-a5fe-008deee3d3f0}",
                             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
                             "<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8<",
                             ">true</dpiAware>", ">PerMonitorV2, PerMonitor</dpiAwareness>"})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
}

// F1 opens Morvane.html in the default browser from Vista on (here a command of the test's own that notes the
// file it is given), Morvane.hlp in the viewer at the contents before, where a jump leads to its topic: from the
// program's folder wherever it was started, before the start folder (the page's case, in both), else the start
// folder (the viewer's); either missing gives a message naming both. Wine reports to the exe alone the Windows
// version its prefix's AppDefaults name.
TEST_F(RealProgram, HelpOpensTheWebPageFromVistaOnAndTheViewerBefore)
{
    std::string noted = folder / "opened.txt", browser = "cmd.exe /c echo \"%1\">\"" + noted + "\"";
    SHSetValueA(HKEY_CLASSES_ROOT, ".html", NULL, REG_SZ, "MorvaneTests.Page", 18);
    SHSetValueA(HKEY_CLASSES_ROOT, "MorvaneTests.Page\\shell\\open\\command", NULL, REG_SZ, browser.c_str(), browser.size() + 1);
    const std::string bin = folder / "bin"; // the program alone, started from the folder above it
    ASSERT_TRUE(CreateDirectoryA(bin.c_str(), NULL) && CopyFileA(MORVANE_BUILD_DIR "/Morvane.exe", (bin + "\\Morvane.exe").c_str(), 0));
    for (std::string file : {"Morvane.html", "Morvane.hlp"}) {
        SHSetValueA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Morvane.exe", "Version", REG_SZ,
                    file == "Morvane.html" ? "win10" : "winxp", 6);
        RunningProgram program(folder.Path(), "", bin + "\\Morvane.exe");
        Key(VK_F1);
        HWND box = program.WaitForWindow();
        EXPECT_EQ(BoxText(box), "Could not find " + file + "\nin " + bin + "\nor in " + folder.Path() +
                                    "\nMake sure it is in the same directory as Morvane.exe");
        program.Answer(box, IDOK);
        CopyFileA((MORVANE_BUILD_DIR "/" + file).c_str(), (folder / file).c_str(), 0); // the page in both folders:
        file == "Morvane.html" && CopyFileA((MORVANE_BUILD_DIR "/" + file).c_str(), (bin + "\\" + file).c_str(), 0); // the program's is opened
        PostMessageA(program.Window(), WM_KEYDOWN, VK_F1, 0); // into its queue, whichever window is in front now
        if (file == "Morvane.html") {
            Await([&] { return !ReadBytes(noted).empty(); });
            EXPECT_EQ(ReadBytes(noted), "\"" + bin + "\\" + file + "\"\r\n");
            continue;
        }
        HWND viewer = NULL;
        Await([&] { return (viewer = FindWindowA("MS_WINHELP", "Morvane 3.2 Help")) != NULL; }, 30000);
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
    }
}
