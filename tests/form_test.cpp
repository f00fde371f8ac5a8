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
    } rows[] = {
        {"1457000", "3 splits", true, AppState.Preset144Radio},
        {"730000", "5 splits", true, AppState.Preset720Radio},
        {"2934", "999 splits", true, none},
        {"2931", "0 splits", false, none},                       // 1000 pieces
        {"2931000", "0 splits", false, AppState.Preset288Radio}, // one piece
        {"", "0 splits", false, none},
        {"4295967296", "0 splits", false, none}, // held at 2147483647, not wrapped to 1000000
        {"00000029310", "0 splits", false, none}, // only ten characters count: 2931
        {"1,000,000", "3 splits", true, none}, // pasted: as if typed, digits only
    };
    for (const auto &row : rows) {
        Type(AppState.SplitSizeEdit, row.size);
        EXPECT_EQ(Text(AppState.StatusPiecesPane), row.pieces) << row.size;
        EXPECT_EQ(IsWindowEnabled(AppState.SplitButton) != FALSE, row.enabled) << row.size;
        EXPECT_EQ(Text(AppState.SplitSizeEdit).find_first_not_of("0123456789"), std::string::npos) << row.size;
        for (HWND radio : {AppState.Preset288Radio, AppState.Preset144Radio, AppState.Preset720Radio})
            EXPECT_EQ(Checked(radio), radio == row.preset) << row.size << ", preset " << Text(radio);
    }

    for (const auto &row : rows) { // a preset writes its size into the field
        if (row.preset != NULL) {
            Type(AppState.SplitSizeEdit, "");
            Click(row.preset);
            EXPECT_EQ(Text(AppState.SplitSizeEdit), row.size);
        }
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
    "83 233 62 254 83 10 93 90 198 15 110 85 131 15 135 85 155 15 155 85 175 15 175 85 195 100 93 195 198 105 110 190 "
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

TEST_F(Form, WithAutoSplitADropSplitsAtOnceButNotANameTheProgramCannotUse)
{
    std::string source = folder / "src";
    CreateDirectoryA(source.c_str(), NULL);
    ASSERT_TRUE(WriteBytes(source + "\\data.bin", RandomBytes(3000000)));
    ASSERT_TRUE(WriteBytes(source + "\\one.bin", RandomBytes(1000)));
    ASSERT_TRUE(WriteBytes(folder / "data.bin", RandomBytes(3000000))); // the same name, here
    Command(CmdAutoSplit);
    Drop(source + "\\one.bin"); // one piece: nothing to split
    // Cyrillic, outside the ANSI code page: refused with the reason, the selection stays.
    std::wstring name(folder.Path().begin(), folder.Path().end());
    name += L"\\\x043E\x0442\x0447\x0451\x0442.bin";
    boxes.Answer(IDOK);
    Drop(name);
    EXPECT_TRUE(IsBox(boxes.Seen(0),
                      folder / "?????.bin\nMorvane cannot use this name: it has characters outside the character set "
                               "of Windows for programs like Morvane.\nRename the file or its folder with only Latin "
                               "letters, digits and common signs, and choose it again.",
                      "Error", MB_ICONERROR));
    EXPECT_EQ(Text(AppState.FileNameEdit), "one.bin");
    Drop(source + "\\data.bin"); // into the first run's output folder and sub-folder
    EXPECT_STREQ(AppState.CurrentDirectory, source.c_str());
    EXPECT_EQ(Listing(folder.Path()), "data.bin data/ data/data.001 data/data.002 data/data.003 data/data.bat "
                                      "data/data.log src/ src/data.bin src/one.bin");
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
