// The form's rules on the real main window in this process: what the title, the panes and the
// enabled states show for the chosen file and options, and how a file is chosen.
#include "support/Support.h"

#include "resources/resource.h"

#include <shlobj.h>

class Form : public ProgramTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(Start());
        home = AppState.CurrentDirectory;
    }

    std::string home;
};

TEST_F(Form, SplitIsEnabledFor2To999PiecesAndThePresetsFollowTheSize)
{
    ASSERT_TRUE(WriteBytes(folder / "data.zip", RandomBytes(2931000)));
    Type(AppState.FileNameEdit, "data.zip");
    EXPECT_EQ(Text(AppState.MainWindow), home + "\\data.zip");
    EXPECT_EQ(Text(AppState.StatusNamePane), "data.zip");
    EXPECT_EQ(Text(AppState.StatusSizePane), "2931000 bytes");
    HWND none = NULL;
    const struct {
        const char *size, *pieces;
        bool enabled;
        HWND preset;
        const char *shown = nullptr; // what the field then shows, when not the size as written
    } rows[] = {
        {"1457000", "3 splits", true, AppState.Preset144Radio},
        {"730000", "5 splits", true, AppState.Preset720Radio},
        {"2934", "999 splits", true, none},
        {"2931", "0 splits", false, none},                       // 1000 pieces
        {"2931000", "0 splits", false, AppState.Preset288Radio}, // one piece
        {"", "0 splits", false, none},
        {"4295967296", "0 splits", false, none, "2147483647"}, // held at the largest, not wrapped to 1000000
        {"00000029310", "100 splits", true, none, "29310"}, // leading zeros count for nothing
        {"1,000,000", "3 splits", true, none, "1000000"}, // pasted: as if typed, digits only
    };
    for (const auto &row : rows) {
        Type(AppState.SplitSizeEdit, row.size);
        EXPECT_EQ(Text(AppState.StatusPiecesPane), row.pieces) << row.size;
        EXPECT_EQ(IsWindowEnabled(AppState.SplitButton) != FALSE, row.enabled) << row.size;
        if (row.preset != NULL) // a preset writes its size into the field
            Type(AppState.SplitSizeEdit, ""), Click(row.preset);
        EXPECT_EQ(Text(AppState.SplitSizeEdit), row.shown != nullptr ? row.shown : row.size);
        for (HWND radio : {AppState.Preset288Radio, AppState.Preset144Radio, AppState.Preset720Radio})
            EXPECT_EQ(Checked(radio), radio == row.preset) << row.size << ", preset " << Text(radio);
    }

    // Typed key by key, and pasted, a size of any length: ten digits at most, the rest dropped.
    HGLOBAL clip = GlobalAlloc(GMEM_MOVEABLE, 14);
    memcpy(GlobalLock(clip), "2,147,483,647", 14), GlobalUnlock(clip);
    ASSERT_TRUE(OpenClipboard(NULL) && EmptyClipboard() && SetClipboardData(CF_TEXT, clip) && CloseClipboard());
    for (std::string typed : {"734003200", "21474836479", ""}) {
        Type(AppState.SplitSizeEdit, "");
        for (char c : typed)
            SendMessageA(AppState.SplitSizeEdit, WM_CHAR, c, 0);
        if (typed.empty()) // the paste
            SendMessageA(AppState.SplitSizeEdit, WM_PASTE, 0, 0), typed = "2147483647";
        EXPECT_EQ(Text(AppState.SplitSizeEdit) + " " + std::to_string(AppState.SplitSize), typed.substr(0, 10) + " " + typed.substr(0, 10));
    }

    CreateDirectoryA((folder / "album").c_str(), NULL);
    ASSERT_TRUE(WriteBytes(folder / "empty.bin", Bytes()));
    for (auto name : {std::make_pair("album", "is a folder"), {"empty.bin", "0 bytes"}, {"missing.bin", ""}}) {
        Type(AppState.FileNameEdit, name.first);
        EXPECT_EQ(Text(AppState.StatusSizePane), name.second);
        EXPECT_FALSE(IsWindowEnabled(AppState.SplitButton)) << name.first;
    }
    EXPECT_EQ(Text(AppState.MainWindow), "Morvane 3.2") << "a missing file is no selection";
}

// The client area, the fonts and every child at this process's DPI (the real program's test sets it), then
// after a move to a screen of 25 % more: today's 96-DPI window scaled, halves rounded away from zero.
static const char Design[] = "265 235 14 14 10 10 84 30 10 25 233 46 233 25 254 46 122 2 143 23 10 47 100 67 10 62 233 "
    "83 233 62 254 83 10 93 94 198 12 110 92 131 15 135 85 155 15 155 85 175 15 175 85 195 100 93 195 198 105 110 190 "
    "130 105 130 190 150 105 150 190 170 105 170 190 190 205 99 255 119 205 124 255 144 205 149 255 169 205 174 255 "
    "194 5 203 260 213 0 219 116 235 118 219 213 235 215 219 265 235";
TEST_F(Form, IsLaidOutForTheScreensDpi)
{
    const UINT screen = getenv("MORVANE_DPI") != NULL ? atoi(getenv("MORVANE_DPI")) : 96;
    for (UINT dpi : {screen, screen * 5 / 4}) {
        RECT edges = {0, 0, 100, 100}; // the rectangle Windows suggests, then the client area and each child's
        if (dpi != screen)
            SendMessageA(AppState.MainWindow, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi), (LPARAM)&edges);
        std::istringstream design(Design);
        std::ostringstream expected, actual;
        LOGFONTA normal = {}, bold = {};
        GetObjectA(AppState.NormalFont, sizeof normal, &normal), GetObjectA(AppState.BoldFont, sizeof bold, &bold);
        GetClientRect(AppState.MainWindow, &edges);
        actual << edges.right << ' ' << edges.bottom << ' ' << normal.lfHeight << ' ' << bold.lfHeight << ' ';
        for (HWND child = GetWindow(AppState.MainWindow, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT)) {
            GetWindowRect(child, &edges);
            MapWindowPoints(NULL, AppState.MainWindow, (POINT *)&edges, 2);
            actual << edges.left << ' ' << edges.top << ' ' << edges.right << ' ' << edges.bottom << ' ';
        }
        for (int length; design >> length;)
            expected << MulDiv(length, dpi, 96) << ' ';
        EXPECT_EQ(actual.str(), expected.str()) << "at " << dpi << " DPI";
        Type(AppState.SplitSizeEdit, "2147483647"); // the largest size shows whole, with the caret after it
        SendMessageA(AppState.SplitSizeEdit, EM_SETSEL, 10, 10), SendMessageA(AppState.SplitSizeEdit, EM_SCROLLCARET, 0, 0);
        EXPECT_EQ(SendMessageA(AppState.SplitSizeEdit, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "digits scrolled away at " << dpi;
    }
}

TEST_F(Form, SubDirectoryKeepsEveryPiecePathWithin259Characters)
{
    Type(AppState.FileNameEdit, "data.zip");
    // folder \ data \ data.001: the folder may have 256 - 2 x 4 - 3 characters
    const std::string fits = "C:\\" + std::string(242, 'f');
    for (const std::string &output : {fits, fits + "f"}) {
        Type(AppState.OutputPathEdit, output);
        EXPECT_EQ(IsWindowEnabled(AppState.SubDirectoryCheck) != FALSE, output == fits) << output.size();
    }
    for (bool useOutput : {false, true}) { // without it, the short current folder counts
        Click(AppState.UseOutputCheck);
        EXPECT_EQ(IsWindowEnabled(AppState.SubDirectoryCheck) != FALSE, !useOutput);
        EXPECT_EQ(IsWindowEnabled(AppState.OutputPathEdit) != FALSE, useOutput);
        EXPECT_EQ(IsWindowEnabled(AppState.BrowseButton) != FALSE, useOutput);
    }
}

// In a folder of 200 Cyrillic characters (400 bytes), names in Cyrillic, CJK and with an emoji (a
// UTF-16 pair) split whole, without a batch file under the console's code page 850.
TEST_F(Form, WithAutoSplitADropSplitsAtOnceWhateverTheScriptOfTheName)
{
    std::string source = folder.Path() + Repeat("\\" + Repeat("\xD0\xB6", 100), 2); // Linux: 255 bytes a name
    SHCreateDirectoryExA(NULL, source.c_str(), NULL);
    ASSERT_TRUE(WriteBytes(source + "\\one.bin", RandomBytes(1000)));
    ASSERT_TRUE(WriteBytes(folder / "data.bin", RandomBytes(3000000))); // the same name, here
    Command(CmdAutoSplit);
    Click(AppState.UseOutputCheck); // the pieces in a sub-folder beside their source
    Drop(source + "\\one.bin"); // one piece: nothing to split
    for (std::string name : {"\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82", "\xE5\xA0\xB1\xE5\x91\x8A", "a\xF0\x9F\x93\xB7", "data"}) {
        ASSERT_TRUE(WriteBytes(source + "\\" + name + ".bin", RandomBytes(3000000)));
        Drop(source + "\\" + name + ".bin");
        EXPECT_EQ(Text(AppState.MainWindow) + "|" + Text(AppState.StatusNamePane), source + "\\" + name + ".bin|" + name + ".bin");
        EXPECT_EQ(Listing(source + "\\" + name), name + ".001 " + name + ".002 " + name + ".003 " +
                                                     (name == "data" ? "data.bat data.log" : name + ".log") + " " + name + ".sha256");
        EXPECT_NE(ReadBytes(source + "\\" + name + "\\" + name + ".log").find("Log file for " + name + ".bin\r\n"), std::string::npos);
    }
    EXPECT_STREQ(AppState.CurrentDirectory, source.c_str());
    char cut[5]; // a name cut to a field's capacity ends between two characters: "ab" and a euro sign in 4 bytes is "ab"
    CopyText(cut, sizeof cut, "ab\xE2\x82\xAC");
    EXPECT_STREQ(cut, "ab");
    Command(CmdExit); // a folder longer than the 257 bytes of an ASCII one is saved with its own length
    EXPECT_EQ(ProgramValue("CurrentDirectory"), source + '\0');
}

// The folder picker, answered with a folder given by its path as a user would pick it: the path
// is selected again until the picker's tree shows it selected (it fills itself bit by bit), then OK.
static std::string PickedFolder;
static HWND Picker = NULL;

static void CALLBACK PickOnceSelected(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND tree = FindWindowExA(Picker, NULL, "SysTreeView32", NULL);
    char text[MAX_PATH] = "";
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&item);
    if (PickedFolder.substr(PickedFolder.rfind('\\') + 1) != text) {
        SendMessageA(Picker, BFFM_SETSELECTIONA, TRUE, (LPARAM)PickedFolder.c_str());
        return;
    }
    KillTimer(NULL, timer);
    PostMessageA(Picker, WM_COMMAND, IDOK, 0);
}

static LRESULT CALLBACK PickFolder(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && FindWindowExA((HWND)wParam, NULL, "SysTreeView32", NULL) != NULL) {
        Picker = (HWND)wParam;
        SetTimer(NULL, 0, 50, PickOnceSelected);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

TEST_F(Form, AFolderPickedWithAPathLongerThanTheOutputFieldIsRefused)
{
    // On C:, which the picker's tree shows quickly (Z: is the whole Linux file system).
    HHOOK hook = SetWindowsHookExA(WH_CBT, PickFolder, NULL, GetCurrentThreadId());
    std::string taken;
    for (size_t length : {256, 257}) { // the most the field holds, and one more
        PickedFolder = "C:\\morvane-" + std::to_string(GetCurrentProcessId());
        PickedFolder.resize(length, 'd');
        ASSERT_TRUE(CreateDirectoryA(PickedFolder.c_str(), NULL));
        if (length == 257)
            boxes.Answer(IDOK);
        Click(AppState.BrowseButton);
        RemoveDirectoryA(PickedFolder.c_str());
        taken = length == 256 ? PickedFolder : taken;
        EXPECT_EQ(Text(AppState.OutputPathEdit), taken) << "the old folder stays";
    }
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(IsBox(boxes.Seen(0),
                      PickedFolder + "\nis too long for the output path\n"
                                     "Choose a folder whose path has at most 256 characters",
                      "Error", MB_ICONERROR));
}
