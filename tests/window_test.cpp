// The main window as start-up builds it, and its window procedure as the user drives it: the form
// control by control, the accelerator table, the command table, the field commands, drops, the
// option buttons, minimising and the ways the program ends.
#include "support/ProgramFixture.h"

#include "app/MainWindow.h"
#include "shell/Shell.h"
#include "app/Startup.h"
#include "resources/resource.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

// --- Shared set-up --------------------------------------------------------------------------------

class MainWindowTest : public ProgramFixture {
protected:
    // Starts the program and remembers the folder it started in: on a first run the source
    // folder, the output folder and the working directory.
    void Open()
    {
        start = WorkingDirectory();
        ASSERT_NO_FATAL_FAILURE(Start());
        ASSERT_FALSE(start.empty());
    }

    static LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendMessageA(AppState.MainWindow, message, wParam, lParam);
    }

    static bool AutoSplitChecked() { return AutoSplitState() == MF_CHECKED; }
    static void CheckAutoSplit()
    {
        CheckMenuItem(AppState.TrayMenu, CmdAutoSplit, MF_BYCOMMAND | MF_CHECKED);
    }

    std::string MakeFolder(const std::string &name)
    {
        std::string path = start + "\\" + name;
        EXPECT_TRUE(CreateDirectoryA(path.c_str(), NULL)) << path;
        return path;
    }

    std::string start;
};

// Where a window lies in the main window's client area.
struct Placement {
    int x, y, w, h;
    bool operator==(const Placement &other) const
    {
        return x == other.x && y == other.y && w == other.w && h == other.h;
    }
};

static std::ostream &operator<<(std::ostream &out, const Placement &p)
{
    return out << "(" << p.x << ", " << p.y << ", " << p.w << ", " << p.h << ")";
}

static Placement PlacementOf(HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(NULL, AppState.MainWindow, (POINT *)&r, 2);
    return Placement{(int)r.left, (int)r.top, (int)(r.right - r.left), (int)(r.bottom - r.top)};
}

static std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// --- Start-up: the class, the window, the images, the accelerators and the loop ------------------

class StartUp : public MainWindowTest {};

TEST_F(StartUp, TheClassHasNoStylesTheButtonFaceAndTheProgramIcon)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    HINSTANCE instance = GetModuleHandleA(NULL);
    WNDCLASSEXA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    ASSERT_TRUE(GetClassInfoExA(instance, "MainWindow", &windowClass));
    EXPECT_EQ(windowClass.style, 0u) << "no class styles, so no double clicks either";
    EXPECT_EQ(windowClass.lpfnWndProc, (WNDPROC)MainWindowProc);
    EXPECT_EQ(windowClass.cbClsExtra, 0);
    EXPECT_EQ(windowClass.cbWndExtra, 0);
    EXPECT_EQ(windowClass.hbrBackground, (HBRUSH)(COLOR_BTNFACE + 1));
    EXPECT_EQ(windowClass.hCursor, LoadCursorA(NULL, IDC_ARROW));
    EXPECT_EQ(windowClass.lpszMenuName, (LPCSTR)NULL);
    HICON programIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    ASSERT_NE(programIcon, (HICON)NULL);
    EXPECT_EQ(windowClass.hIcon, programIcon);
    EXPECT_EQ(windowClass.hIconSm, programIcon);
    EXPECT_EQ(ClassOf(AppState.MainWindow), "MainWindow");
}

TEST_F(StartUp, TheWindowIsAFixedDialogFrameWith265By235ClientPixelsAndTheProductTitle)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    HWND window = AppState.MainWindow;
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right - client.left, 265);
    EXPECT_EQ(client.bottom - client.top, 235);

    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME) << "the user must not be able to resize it";
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & (WS_CHILD | WS_POPUP));
    EXPECT_TRUE(style & WS_VISIBLE) << "the first-run settings show it";
    LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
    EXPECT_TRUE(exStyle & WS_EX_ACCEPTFILES) << "files can be dropped on it";
    EXPECT_FALSE(exStyle & WS_EX_TOPMOST);
    EXPECT_EQ(GetMenu(window), (HMENU)NULL);
    EXPECT_EQ(GetParent(window), (HWND)NULL);

    // The outer size is exactly the frame of that style around the client area.
    RECT frame = {0, 0, 265, 235};
    AdjustWindowRectEx(&frame, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE, WS_EX_DLGMODALFRAME);
    RECT outer;
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, frame.right - frame.left);
    EXPECT_EQ(outer.bottom - outer.top, frame.bottom - frame.top);

    EXPECT_EQ(Title(), "Morvane 3.2") << "no file is selected yet";
}

TEST_F(StartUp, TheImagesAreLoadedAndTheStartFolderRecorded)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    HINSTANCE instance = GetModuleHandleA(NULL);
    EXPECT_EQ(AppState.OpenIcon, LoadIconA(instance, MAKEINTRESOURCEA(IDI_OPEN)));
    EXPECT_EQ(AppState.PinOffIcon, LoadIconA(instance, MAKEINTRESOURCEA(IDI_PIN_OFF)));
    EXPECT_EQ(AppState.PinOnIcon, LoadIconA(instance, MAKEINTRESOURCEA(IDI_PIN_ON)));
    EXPECT_NE(AppState.OpenIcon, (HICON)NULL);
    EXPECT_NE(AppState.PinOffIcon, AppState.PinOnIcon);
    EXPECT_EQ(AppState.WaitCursor, LoadCursorA(NULL, IDC_WAIT));

    struct {
        HBITMAP bitmap;
        int side;
    } bitmaps[] = {{AppState.LogoBitmap, 100}, {AppState.BadgeMaskBitmap, 50}, {AppState.BadgeBitmap, 50}};
    for (const auto &expected : bitmaps) {
        BITMAP info;
        memset(&info, 0, sizeof info);
        ASSERT_EQ(GetObjectA(expected.bitmap, sizeof info, &info), (int)sizeof info);
        EXPECT_EQ(info.bmWidth, expected.side);
        EXPECT_EQ(info.bmHeight, expected.side);
    }

    EXPECT_STREQ(AppState.StartDirectory, start.c_str());
    EXPECT_STREQ(AppState.CurrentDirectory, start.c_str());
    EXPECT_EQ(WorkingDirectory(), start);
}

TEST_F(StartUp, AccKeysHoldsF1F11AndF12AsPlainVirtualKeys)
{
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(NULL), "AccKeys");
    ASSERT_NE(table, (HACCEL)NULL);
    ACCEL entries[8];
    memset(entries, 0, sizeof entries);
    ASSERT_EQ(CopyAcceleratorTableA(table, NULL, 0), 3);
    ASSERT_EQ(CopyAcceleratorTableA(table, entries, 8), 3);
    struct {
        WORD key, command;
    } expected[] = {{VK_F1, CmdHelp}, {VK_F11, CmdAbout}, {VK_F12, CmdUninstall}};
    for (int i = 0; i < 3; i++) {
        SCOPED_TRACE(i);
        // The top bit marks the last entry of the stored table; it is no modifier.
        EXPECT_EQ(entries[i].fVirt & 0x7F, FVIRTKEY);
        EXPECT_EQ(entries[i].key, expected[i].key);
        EXPECT_EQ(entries[i].cmd, expected[i].command);
    }
    DestroyAcceleratorTable(table);
}

TEST_F(StartUp, TheLoopTurnsF12IntoUninstallWhileAFieldHasTheFocusAndOtherKeysReachTheField)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    SetFocus(AppState.FileNameEdit);
    ASSERT_EQ(GetFocus(), AppState.FileNameEdit);
    // Typed characters go through the loop to the field; F12 asks to uninstall and No keeps
    // everything; closing the window ends the loop with exit code 0.
    for (char c : std::string("x.bin"))
        PostMessageA(AppState.FileNameEdit, WM_CHAR, (WPARAM)(unsigned char)c, 1);
    PostMessageA(AppState.FileNameEdit, WM_KEYDOWN, VK_F12, 1);
    PostMessageA(AppState.MainWindow, WM_CLOSE, 0, 0);
    boxes->Answer(IDNO);
    EXPECT_EQ(RunMessageLoop(), 0);

    ASSERT_EQ(boxes->Boxes().size(), 1u);
    EXPECT_EQ(boxes->Boxes()[0].caption, "Uninstall");
    EXPECT_EQ(boxes->Boxes()[0].text, "Do you want to uninstall Morvane 3.2 and remove registry settings?");
    EXPECT_STREQ(AppState.FileName, "x.bin");
    EXPECT_FALSE(IsWindow(AppState.MainWindow));
    HKEY key = OpenProgramKey();
    ASSERT_NE(key, (HKEY)NULL) << "No to the question must keep the settings";
    EXPECT_EQ(RegQueryValueExA(key, "ChkBits", NULL, NULL, NULL, NULL), ERROR_SUCCESS);
    RegCloseKey(key);
}

// Refuses the creation of one window, chosen by its control id (or the top-level window for 0),
// as the platform refuses a window it cannot create.
class CreationRefusal {
public:
    explicit CreationRefusal(int id) : hook_(NULL)
    {
        refusedId = id;
        refusals = 0;
        hook_ = SetWindowsHookExA(WH_CBT, Hook, NULL, GetCurrentThreadId());
    }
    ~CreationRefusal() { UnhookWindowsHookEx(hook_); }
    CreationRefusal(const CreationRefusal &) = delete;
    CreationRefusal &operator=(const CreationRefusal &) = delete;

    static int refusals;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_CREATEWND) {
            const CREATESTRUCTA *create = ((CBT_CREATEWNDA *)lParam)->lpcs;
            bool child = (create->style & WS_CHILD) != 0;
            bool match = refusedId == 0 ? !child && create->lpszClass != NULL && !IS_INTRESOURCE(create->lpszClass) &&
                                              strcmp(create->lpszClass, "MainWindow") == 0
                                        : child && (INT_PTR)create->hMenu == refusedId;
            if (match) {
                refusals++;
                return 1;
            }
        }
        return CallNextHookEx(NULL, code, wParam, lParam);
    }

    static int refusedId;
    HHOOK hook_;
};
int CreationRefusal::refusals = 0;
int CreationRefusal::refusedId = 0;

TEST_F(StartUp, AControlThatCannotBeCreatedIsReportedAndStartUpGoesOn)
{
    start = WorkingDirectory();
    boxes->Answer(IDOK);
    {
        CreationRefusal refusal(CmdSplitSize);
        ASSERT_NO_FATAL_FAILURE(Start());
        EXPECT_EQ(CreationRefusal::refusals, 1);
    }
    ASSERT_EQ(boxes->Boxes().size(), 1u);
    EXPECT_TRUE(IsBox(boxes->Boxes()[0], "Window Failed", "Error", MB_ICONERROR, MB_OK));
    EXPECT_TRUE(QuitPosted());

    // The eleven windows made before the size field stay; it and everything after it are missing.
    HWND before[] = {AppState.FileNameLabel, AppState.PinButton,      AppState.PinTooltip,    AppState.FileNameEdit,
                     AppState.OpenButton,    AppState.OpenTooltip,    AppState.OutputPathLabel, AppState.OutputPathEdit,
                     AppState.BrowseButton,  AppState.BrowseTooltip,  AppState.SplitSizeGroup};
    for (HWND window : before)
        EXPECT_TRUE(IsWindow(window));
    HWND after[] = {AppState.SplitSizeEdit,    AppState.Preset288Radio,  AppState.Preset144Radio, AppState.Preset720Radio,
                    AppState.OptionsGroup,     AppState.BatchFileCheck,  AppState.LogFileCheck,   AppState.UseOutputCheck,
                    AppState.SubDirectoryCheck, AppState.SplitButton,    AppState.HelpButton,     AppState.AboutButton,
                    AppState.ExitButton,       AppState.ProgressBar,     AppState.StatusNamePane, AppState.StatusSizePane,
                    AppState.StatusPiecesPane};
    for (HWND window : after)
        EXPECT_EQ(window, (HWND)NULL);
    int children = 0;
    for (HWND child = GetWindow(AppState.MainWindow, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT))
        children++;
    EXPECT_EQ(children, 8);

    // The rest of start-up still ran: the folder is recorded, the settings are loaded and the
    // window is shown.
    EXPECT_STREQ(AppState.StartDirectory, start.c_str());
    EXPECT_EQ(AppState.SplitSize, 1457000);
    EXPECT_EQ(WindowText(AppState.OutputPathEdit), start);
    EXPECT_TRUE(IsWindowVisible(AppState.MainWindow));
}

TEST_F(StartUp, AMainWindowThatCannotBeCreatedIsReportedWithoutAnOwner)
{
    boxes->Answer(IDOK);
    boxes->Answer(IDOK);
    {
        CreationRefusal refusal(0);
        StartProgram(GetModuleHandleA(NULL));
        EXPECT_EQ(CreationRefusal::refusals, 1);
    }
    EXPECT_EQ(AppState.MainWindow, (HWND)NULL);
    ASSERT_EQ(boxes->Boxes().size(), 2u);
    EXPECT_TRUE(IsBox(boxes->Boxes()[0], "Window Creation Failed.", "Error", MB_ICONERROR, MB_OK));
    // Without a window no control can be made either.
    EXPECT_EQ(boxes->Boxes()[1].text, "Window Failed");
    EXPECT_EQ(boxes->Boxes()[1].caption, "Error");
    EXPECT_EQ(AppState.FileNameLabel, (HWND)NULL);
    EXPECT_TRUE(QuitPosted());
}

// --- The control table: the 25 child controls and the 3 tooltips -------------------------------------

// One row of the control table: the window as created and then as the first-run settings leave it.
enum FontKind { NoFont, Normal, Bold };
struct ControlRow {
    HWND AppStateRecord::*handle;
    const char *name;
    const char *className;
    const char *text; // null: the text the settings put in (see the test)
    DWORD exStyle;
    DWORD style;
    Placement place;
    int id;
    FontKind font;
};

static const ControlRow Controls[] = {
    {&AppStateRecord::FileNameLabel, "FileNameLabel", "Static", "File Name", 0, 0x50000000, {10, 10, 74, 20}, 0, Normal},
    {&AppStateRecord::PinButton, "PinButton", "Button", "", 0x20000, 0x50000040, {122, 2, 21, 21}, 511, NoFont},
    {&AppStateRecord::FileNameEdit, "FileNameEdit", "Edit", "", 0x200, 0x50000080, {10, 25, 223, 21}, 501, Normal},
    {&AppStateRecord::OpenButton, "OpenButton", "Button", "", 0x20000, 0x50000040, {233, 25, 21, 21}, 506, NoFont},
    {&AppStateRecord::OutputPathLabel, "OutputPathLabel", "Static", "Output Path", 0, 0x50000000, {10, 47, 90, 20}, 0,
     Normal},
    {&AppStateRecord::OutputPathEdit, "OutputPathEdit", "Edit", nullptr, 0x200, 0x50000080, {10, 62, 223, 21}, 512,
     Normal},
    {&AppStateRecord::BrowseButton, "BrowseButton", "Button", "", 0x20000, 0x50000040, {233, 62, 21, 21}, 513, NoFont},
    {&AppStateRecord::SplitSizeGroup, "SplitSizeGroup", "Button", "Split Size", 0, 0x50000007, {10, 93, 80, 105}, 0,
     Normal},
    {&AppStateRecord::SplitSizeEdit, "SplitSizeEdit", "Edit", "1457000", 0x200, 0x50002000, {15, 110, 70, 21}, 502,
     Normal},
    {&AppStateRecord::Preset288Radio, "Preset288Radio", "Button", "2.88 MB", 0, 0x50000009, {15, 135, 70, 20}, 503,
     Normal},
    {&AppStateRecord::Preset144Radio, "Preset144Radio", "Button", "1.44 MB", 0, 0x50000009, {15, 155, 70, 20}, 503,
     Normal},
    {&AppStateRecord::Preset720Radio, "Preset720Radio", "Button", "720 KB", 0, 0x50000009, {15, 175, 70, 20}, 503,
     Normal},
    {&AppStateRecord::OptionsGroup, "OptionsGroup", "Button", "Options", 0, 0x50000007, {100, 93, 95, 105}, 0, Normal},
    {&AppStateRecord::BatchFileCheck, "BatchFileCheck", "Button", "Batch File", 0, 0x50000003, {105, 110, 85, 20}, 517,
     Normal},
    {&AppStateRecord::LogFileCheck, "LogFileCheck", "Button", "Log File", 0, 0x50000003, {105, 130, 85, 20}, 517,
     Normal},
    {&AppStateRecord::UseOutputCheck, "UseOutputCheck", "Button", "Use Output", 0, 0x50000003, {105, 150, 85, 20}, 504,
     Normal},
    {&AppStateRecord::SubDirectoryCheck, "SubDirectoryCheck", "Button", "Sub Directory", 0, 0x50000003,
     {105, 170, 85, 20}, 517, Normal},
    {&AppStateRecord::SplitButton, "SplitButton", "Button", "Split", 0x20000, 0x58000F00, {205, 99, 50, 20}, 507, Bold},
    {&AppStateRecord::HelpButton, "HelpButton", "Button", "Help", 0x20000, 0x50000F00, {205, 124, 50, 20}, 508, Bold},
    {&AppStateRecord::AboutButton, "AboutButton", "Button", "About", 0x20000, 0x50000F00, {205, 149, 50, 20}, 509, Bold},
    {&AppStateRecord::ExitButton, "ExitButton", "Button", "Exit", 0x20000, 0x50000F00, {205, 174, 50, 20}, 510, Bold},
    {&AppStateRecord::ProgressBar, "ProgressBar", "msctls_progress32", "", 0, 0x40000000, {5, 203, 255, 10}, 0, NoFont},
    {&AppStateRecord::StatusNamePane, "StatusNamePane", "Static", "", 0x20000, 0x50000000, {0, 219, 116, 16}, 0,
     Normal},
    {&AppStateRecord::StatusSizePane, "StatusSizePane", "Static", "", 0x20000, 0x50000000, {118, 219, 95, 16}, 0,
     Normal},
    {&AppStateRecord::StatusPiecesPane, "StatusPiecesPane", "Static", "", 0x20000, 0x50000000, {215, 219, 50, 16}, 0,
     Normal},
};

class ControlTable : public MainWindowTest {};

TEST_F(ControlTable, EveryChildControlHasItsClassTextIdPlaceStylesAndFont)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NE(AppState.NormalFont, (HFONT)NULL);
    ASSERT_NE(AppState.BoldFont, (HFONT)NULL);
    for (const ControlRow &row : Controls) {
        SCOPED_TRACE(row.name);
        HWND control = AppState.*row.handle;
        ASSERT_NE(control, (HWND)NULL);
        EXPECT_EQ(GetParent(control), AppState.MainWindow);
        EXPECT_EQ(_stricmp(ClassOf(control).c_str(), row.className), 0) << ClassOf(control);
        // The output folder is the start folder on a first run; the other fields are as created
        // (the size field as the settings fill it).
        std::string text = row.text != nullptr ? row.text : start;
        EXPECT_EQ(WindowText(control), text);
        EXPECT_EQ(GetWindowLongA(control, GWL_ID), row.id);
        EXPECT_EQ(PlacementOf(control), row.place);
        // The platform makes the checked radio button of a group its tab stop; the program sets
        // no tab stops of its own.
        DWORD style = (DWORD)GetWindowLongA(control, GWL_STYLE);
        if (control == AppState.Preset144Radio)
            style &= ~(DWORD)WS_TABSTOP;
        EXPECT_EQ(style, row.style) << std::hex << style;
        DWORD exStyle = (DWORD)GetWindowLongA(control, GWL_EXSTYLE);
        EXPECT_EQ(exStyle, row.exStyle) << std::hex << exStyle;
        HFONT expected = row.font == Normal ? AppState.NormalFont : row.font == Bold ? AppState.BoldFont : NULL;
        EXPECT_EQ((HFONT)SendMessageA(control, WM_GETFONT, 0, 0), expected);
    }
}

TEST_F(ControlTable, TheChildrenComeInTheOrderOfTheTableAndThereAreNoOthers)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    std::vector<HWND> children;
    for (HWND child = GetWindow(AppState.MainWindow, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    ASSERT_EQ(children.size(), sizeof Controls / sizeof Controls[0]);
    for (size_t i = 0; i < children.size(); i++)
        EXPECT_EQ(children[i], AppState.*Controls[i].handle) << "place " << i + 1 << ": " << Controls[i].name;
}

TEST_F(ControlTable, TheStatusPanesFillTheBottomEdgeWithTwoPixelGaps)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(PlacementOf(AppState.StatusNamePane), (Placement{0, 219, 116, 16}));
    EXPECT_EQ(PlacementOf(AppState.StatusSizePane), (Placement{118, 219, 95, 16}));
    EXPECT_EQ(PlacementOf(AppState.StatusPiecesPane), (Placement{215, 219, 50, 16}));
    EXPECT_EQ(NamePane(), "");
    EXPECT_EQ(SizePane(), "");
    EXPECT_EQ(PiecesPane(), "");
}

TEST_F(ControlTable, TheTwoFontsAreMsShellDlgOfHeight14NormalAndBold)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    struct {
        HFONT font;
        LONG weight;
    } fonts[] = {{AppState.NormalFont, FW_NORMAL}, {AppState.BoldFont, FW_BOLD}};
    for (const auto &expected : fonts) {
        LOGFONTA font;
        memset(&font, 0, sizeof font);
        ASSERT_EQ(GetObjectA(expected.font, sizeof font, &font), (int)sizeof font);
        EXPECT_EQ(font.lfHeight, 14);
        EXPECT_EQ(font.lfWidth, 0);
        EXPECT_EQ(font.lfWeight, expected.weight);
        EXPECT_EQ(font.lfItalic, 0);
        EXPECT_EQ(font.lfUnderline, 0);
        EXPECT_EQ(font.lfStrikeOut, 0);
        EXPECT_EQ(font.lfCharSet, ANSI_CHARSET);
        EXPECT_EQ(font.lfPitchAndFamily, FF_ROMAN | DEFAULT_PITCH);
        EXPECT_STREQ(font.lfFaceName, "MS Shell Dlg");
    }
}

TEST_F(ControlTable, OnAFirstRunOnlySplitIsDisabledAndOnlyTheProgressBarIsHidden)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    for (const ControlRow &row : Controls) {
        SCOPED_TRACE(row.name);
        HWND control = AppState.*row.handle;
        bool split = control == AppState.SplitButton;
        bool bar = control == AppState.ProgressBar;
        EXPECT_EQ(Enabled(control), !split);
        EXPECT_EQ(IsWindowVisible(control) != FALSE, !bar);
    }
    EXPECT_TRUE(Checked(AppState.BatchFileCheck));
    EXPECT_TRUE(Checked(AppState.LogFileCheck));
    EXPECT_TRUE(Checked(AppState.UseOutputCheck));
    EXPECT_TRUE(Checked(AppState.SubDirectoryCheck));
    EXPECT_FALSE(Checked(AppState.Preset288Radio));
    EXPECT_TRUE(Checked(AppState.Preset144Radio));
    EXPECT_FALSE(Checked(AppState.Preset720Radio));
    EXPECT_FALSE(AutoSplitChecked());
}

TEST_F(ControlTable, IconButtonsShowTheirIconsAndThePinStartsOff)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(ButtonIcon(AppState.PinButton), AppState.PinOffIcon);
    EXPECT_EQ(ButtonIcon(AppState.OpenButton), AppState.OpenIcon);
    EXPECT_EQ(ButtonIcon(AppState.BrowseButton), AppState.OpenIcon);
    EXPECT_EQ(AppState.OnTop, 0);
    EXPECT_FALSE(Topmost());
}

TEST_F(ControlTable, EachIconButtonHasATooltipWithOneToolOverItsClientArea)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    struct {
        HWND tip, button;
        const char *text;
    } tips[] = {{AppState.PinTooltip, AppState.PinButton, "click to keep on top"},
                {AppState.OpenTooltip, AppState.OpenButton, "open file"},
                {AppState.BrowseTooltip, AppState.BrowseButton, "select output directory"}};
    for (const auto &expected : tips) {
        SCOPED_TRACE(expected.text);
        HWND tip = expected.tip;
        ASSERT_NE(tip, (HWND)NULL);
        EXPECT_EQ(_stricmp(ClassOf(tip).c_str(), "tooltips_class32"), 0) << ClassOf(tip);
        EXPECT_EQ(GetWindow(tip, GW_OWNER), AppState.MainWindow);
        EXPECT_EQ(WindowText(tip), "");
        // The platform adds a border and sibling clipping to every tooltip.
        DWORD style = (DWORD)GetWindowLongA(tip, GWL_STYLE) & ~(DWORD)(WS_BORDER | WS_CLIPSIBLINGS);
        EXPECT_EQ(style, (DWORD)(WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX)) << std::hex << style;
        DWORD exStyle = (DWORD)GetWindowLongA(tip, GWL_EXSTYLE);
        EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
        EXPECT_EQ(exStyle & ~(DWORD)(WS_EX_TOPMOST | WS_EX_TOOLWINDOW), 0u) << std::hex << exStyle;
        EXPECT_FALSE(IsWindowVisible(tip));

        EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
        char text[2048] = "";
        TOOLINFOA tool;
        memset(&tool, 0, sizeof tool);
        tool.cbSize = 44;
        tool.lpszText = text;
        ASSERT_TRUE(SendMessageA(tip, TTM_ENUMTOOLSA, 0, (LPARAM)&tool));
        EXPECT_EQ(tool.hwnd, expected.button);
        EXPECT_EQ(tool.uId, 0u);
        EXPECT_EQ(tool.uFlags & TTF_SUBCLASS, (UINT)TTF_SUBCLASS);
        EXPECT_FALSE(tool.uFlags & TTF_IDISHWND);
        RECT client;
        GetClientRect(expected.button, &client);
        EXPECT_TRUE(EqualRect(&tool.rect, &client));
        EXPECT_STREQ(text, expected.text);
        EXPECT_EQ(TipText(tip, expected.button), expected.text);
    }
}

TEST_F(ControlTable, ThePathFieldsAreLimitedTo260And256CharactersAndTheSizeFieldIsNot)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(SendMessageA(AppState.FileNameEdit, EM_GETLIMITTEXT, 0, 0), 260);
    EXPECT_EQ(SendMessageA(AppState.OutputPathEdit, EM_GETLIMITTEXT, 0, 0), 256);
    EXPECT_GT(SendMessageA(AppState.SplitSizeEdit, EM_GETLIMITTEXT, 0, 0), 10);

    // Input as the user gives it stops at the limit.
    std::string many(300, 'a');
    SetWindowTextA(AppState.FileNameEdit, "");
    SendMessageA(AppState.FileNameEdit, EM_REPLACESEL, FALSE, (LPARAM)many.c_str());
    EXPECT_EQ(WindowText(AppState.FileNameEdit).size(), 260u);
    SetWindowTextA(AppState.OutputPathEdit, "");
    SendMessageA(AppState.OutputPathEdit, EM_REPLACESEL, FALSE, (LPARAM)many.c_str());
    EXPECT_EQ(WindowText(AppState.OutputPathEdit).size(), 256u);
}

// --- The command table and the other messages ----------------------------------------------------

class MainWindowCommands : public MainWindowTest {
protected:
    // Everything a command could change, as text, so that a difference is readable.
    static std::string Snapshot()
    {
        std::string s = "title=" + Title() + "\ncwd=" + WorkingDirectory() + "\n";
        for (const ControlRow &row : Controls) {
            HWND control = AppState.*row.handle;
            char line[512];
            snprintf(line, sizeof line, "%s text=%s enabled=%d visible=%d check=%d\n", row.name,
                     WindowText(control).c_str(), (int)Enabled(control), (int)(IsWindowVisible(control) != FALSE),
                     (int)SendMessageA(control, BM_GETCHECK, 0, 0));
            s += line;
        }
        s += "topmost=" + std::to_string((int)Topmost()) + " autosplit=" + std::to_string((int)AutoSplitChecked()) +
             " pin=" + std::to_string((uintptr_t)ButtonIcon(AppState.PinButton)) + "\n";
        return s;
    }
};

TEST_F(MainWindowCommands, IdsWithoutACommandDoNothingAndReturnZero)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    MakeFile(start + "\\data.bin", 3000000);
    SetWindowTextA(AppState.FileNameEdit, "data.bin");
    std::string before = Snapshot();
    AppStateRecord state;
    memcpy(&state, &AppState, sizeof state);

    for (int id : {505, 515, 0, 500, 518, 600, 65535}) {
        for (int notification : {0, 1, BN_CLICKED, EN_CHANGE}) {
            SCOPED_TRACE(id);
            EXPECT_EQ(Send(WM_COMMAND, MAKEWPARAM(id, notification), (LPARAM)AppState.FileNameEdit), 0);
            EXPECT_TRUE(IsWindow(AppState.MainWindow));
            EXPECT_FALSE(QuitPosted());
            EXPECT_EQ(Snapshot(), before);
            EXPECT_EQ(memcmp(&state, &AppState, sizeof state), 0) << "the state record changed";
        }
    }
    EXPECT_TRUE(boxes->Boxes().empty());
}

TEST_F(MainWindowCommands, ACommandIsChosenByItsLowWordWhateverTheNotificationAndLParam)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    // The pin's command with a notification and a sender no button would send still flips it.
    EXPECT_EQ(Send(WM_COMMAND, MAKEWPARAM(CmdOnTop, 0x1234), (LPARAM)AppState.ExitButton), 0);
    EXPECT_TRUE(Topmost());
    EXPECT_EQ(AppState.OnTop, 1);
    // As an accelerator would send it (high word 1).
    EXPECT_EQ(Send(WM_COMMAND, MAKEWPARAM(CmdOnTop, 1), 0), 0);
    EXPECT_FALSE(Topmost());
    EXPECT_EQ(AppState.OnTop, 0);
    // The Auto Split menu item's command flips its own check mark.
    EXPECT_EQ(Send(WM_COMMAND, MAKEWPARAM(CmdAutoSplit, 0), 0), 0);
    EXPECT_TRUE(AutoSplitChecked());
    EXPECT_EQ(Send(WM_COMMAND, MAKEWPARAM(CmdAutoSplit, 0), 0), 0);
    EXPECT_FALSE(AutoSplitChecked());
}

TEST_F(MainWindowCommands, TheOptionCommandOnlyTakesTheFocusToTheMainWindow)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    std::string before = Snapshot();
    for (HWND box : {AppState.BatchFileCheck, AppState.LogFileCheck, AppState.SubDirectoryCheck}) {
        SetFocus(box);
        ASSERT_EQ(GetFocus(), box);
        EXPECT_EQ(Send(WM_COMMAND, MAKEWPARAM(CmdOption, BN_CLICKED), (LPARAM)box), 0);
        EXPECT_EQ(GetFocus(), AppState.MainWindow);
        EXPECT_EQ(Snapshot(), before) << "the command changed a check, an enabled state or a text";
    }

    // A real click: the box flips itself, the program leaves it so and takes the focus back.
    Click(AppState.LogFileCheck);
    EXPECT_FALSE(Checked(AppState.LogFileCheck));
    EXPECT_TRUE(Checked(AppState.BatchFileCheck));
    EXPECT_TRUE(Checked(AppState.SubDirectoryCheck));
    EXPECT_TRUE(Checked(AppState.UseOutputCheck));
    EXPECT_EQ(GetFocus(), AppState.MainWindow);
    EXPECT_TRUE(boxes->Boxes().empty());
}

TEST_F(MainWindowCommands, OtherMessagesGetTheDefaultProcessing)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    char text[64] = "";
    EXPECT_EQ(Send(WM_GETTEXT, sizeof text, (LPARAM)text), 11);
    EXPECT_STREQ(text, "Morvane 3.2");
    EXPECT_EQ(Send(WM_GETTEXTLENGTH), 11);
    EXPECT_TRUE(Send(WM_SETTEXT, 0, (LPARAM) "changed"));
    EXPECT_EQ(Title(), "changed");

    // A point inside the client area and one on the caption, in screen coordinates.
    POINT inside = {100, 100};
    ClientToScreen(AppState.MainWindow, &inside);
    EXPECT_EQ(Send(WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTCLIENT);
    RECT outer;
    GetWindowRect(AppState.MainWindow, &outer);
    POINT client = {0, 0};
    ClientToScreen(AppState.MainWindow, &client);
    int captionY = (outer.top + client.y) / 2;
    EXPECT_EQ(Send(WM_NCHITTEST, 0, MAKELPARAM(outer.left + 60, captionY)), HTCAPTION);
}

TEST_F(MainWindowCommands, ThePinFlipsTopmostIconTipAndStateAndTwoPressesRestoreAll)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NE(AppState.PinOnIcon, AppState.PinOffIcon);
    ASSERT_FALSE(Topmost());
    ASSERT_EQ(TipText(AppState.PinTooltip, AppState.PinButton), "click to keep on top");

    SetFocus(AppState.PinButton);
    EXPECT_EQ(Send(WM_COMMAND, MAKEWPARAM(CmdOnTop, BN_CLICKED), (LPARAM)AppState.PinButton), 0);
    EXPECT_EQ(GetFocus(), AppState.MainWindow);
    EXPECT_TRUE(Topmost());
    EXPECT_EQ(ButtonIcon(AppState.PinButton), AppState.PinOnIcon);
    EXPECT_EQ(TipText(AppState.PinTooltip, AppState.PinButton), "always on top");
    EXPECT_EQ(AppState.OnTop, 1);
    EXPECT_EQ(SendMessageA(AppState.PinTooltip, TTM_GETTOOLCOUNT, 0, 0), 1) << "the tip is updated, not added";

    Command(CmdOnTop);
    EXPECT_FALSE(Topmost());
    EXPECT_EQ(ButtonIcon(AppState.PinButton), AppState.PinOffIcon);
    EXPECT_EQ(TipText(AppState.PinTooltip, AppState.PinButton), "click to keep on top");
    EXPECT_EQ(AppState.OnTop, 0);
    EXPECT_EQ(SendMessageA(AppState.PinTooltip, TTM_GETTOOLCOUNT, 0, 0), 1);

    // The other two tips stay as they were.
    EXPECT_EQ(TipText(AppState.OpenTooltip, AppState.OpenButton), "open file");
    EXPECT_EQ(TipText(AppState.BrowseTooltip, AppState.BrowseButton), "select output directory");

    // A real click on the button does the same.
    Click(AppState.PinButton);
    EXPECT_TRUE(Topmost());
    EXPECT_EQ(ButtonIcon(AppState.PinButton), AppState.PinOnIcon);
    EXPECT_EQ(AppState.OnTop, 1);
    EXPECT_EQ(GetFocus(), AppState.MainWindow);
    Click(AppState.PinButton);
    EXPECT_FALSE(Topmost());
    EXPECT_EQ(ButtonIcon(AppState.PinButton), AppState.PinOffIcon);
    EXPECT_EQ(AppState.OnTop, 0);
}

TEST_F(MainWindowCommands, UseOutputFlipsTheToggleAndTheOutputControlsAndAClickKeepsTheBoxInStep)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_TRUE(Checked(AppState.UseOutputCheck));
    EXPECT_EQ(AppState.OutputToggle, 1);
    EXPECT_TRUE(Enabled(AppState.OutputPathEdit));
    EXPECT_TRUE(Enabled(AppState.BrowseButton));
    EXPECT_EQ(WindowText(AppState.OutputPathEdit), start) << "on a first run, the start folder";

    SetFocus(AppState.UseOutputCheck);
    EXPECT_EQ(Send(WM_COMMAND, MAKEWPARAM(CmdUseOutput, BN_CLICKED), 0), 0);
    EXPECT_EQ(GetFocus(), AppState.MainWindow);
    EXPECT_EQ(AppState.OutputToggle, 0);
    EXPECT_FALSE(Enabled(AppState.OutputPathEdit));
    EXPECT_FALSE(Enabled(AppState.BrowseButton));
    EXPECT_TRUE(Checked(AppState.UseOutputCheck)) << "the command itself does not touch the box";
    EXPECT_EQ(WindowText(AppState.OutputPathEdit), start) << "a disabled field keeps its text";
    EXPECT_STREQ(AppState.OutputDirectory, start.c_str());

    Command(CmdUseOutput);
    EXPECT_EQ(AppState.OutputToggle, 1);
    EXPECT_TRUE(Enabled(AppState.OutputPathEdit));
    EXPECT_TRUE(Enabled(AppState.BrowseButton));

    // A real click flips the box first, so box and toggle stay in step.
    Click(AppState.UseOutputCheck);
    EXPECT_FALSE(Checked(AppState.UseOutputCheck));
    EXPECT_EQ(AppState.OutputToggle, 0);
    EXPECT_FALSE(Enabled(AppState.OutputPathEdit));
    EXPECT_FALSE(Enabled(AppState.BrowseButton));
    EXPECT_EQ(GetFocus(), AppState.MainWindow);
    EXPECT_EQ(WindowText(AppState.OutputPathEdit), start);
    EXPECT_STREQ(AppState.OutputDirectory, start.c_str());
    Click(AppState.UseOutputCheck);
    EXPECT_TRUE(Checked(AppState.UseOutputCheck));
    EXPECT_EQ(AppState.OutputToggle, 1);
    EXPECT_TRUE(Enabled(AppState.OutputPathEdit));
    EXPECT_TRUE(Enabled(AppState.BrowseButton));
}

TEST_F(MainWindowCommands, UseOutputReEvaluatesSubDirectoryAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    // An output folder of 250 characters leaves no room for folder\data\data.nnn; the start
    // folder does.
    SetWindowTextA(AppState.OutputPathEdit, std::string(250, 'o').c_str());
    SetWindowTextA(AppState.FileNameEdit, "data.bin");
    ASSERT_EQ(strlen(AppState.OutputDirectory), 250u);
    ASSERT_STREQ(AppState.BaseName, "data");
    EXPECT_FALSE(Enabled(AppState.SubDirectoryCheck));

    Click(AppState.UseOutputCheck);
    EXPECT_TRUE(Enabled(AppState.SubDirectoryCheck));
    EXPECT_TRUE(Checked(AppState.SubDirectoryCheck)) << "only the enabled state changes";
    Click(AppState.UseOutputCheck);
    EXPECT_FALSE(Enabled(AppState.SubDirectoryCheck));
    EXPECT_TRUE(Checked(AppState.SubDirectoryCheck));
}

TEST_F(MainWindowCommands, EachPresetWritesItsSizeIntoTheFieldAndChecksOnlyItself)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    MakeFile(start + "\\data.bin", 3000000);
    SetWindowTextA(AppState.FileNameEdit, "data.bin");
    struct {
        HWND radio;
        const char *text;
        int32_t size;
        const char *pieces;
    } presets[] = {{AppState.Preset720Radio, "730000", 730000, "5 splits"},
                   {AppState.Preset288Radio, "2931000", 2931000, "2 splits"},
                   {AppState.Preset144Radio, "1457000", 1457000, "3 splits"}};
    for (const auto &preset : presets) {
        SCOPED_TRACE(preset.text);
        Click(preset.radio);
        EXPECT_EQ(WindowText(AppState.SplitSizeEdit), preset.text);
        EXPECT_EQ(AppState.SplitSize, preset.size);
        EXPECT_EQ(Checked(AppState.Preset288Radio), preset.radio == AppState.Preset288Radio);
        EXPECT_EQ(Checked(AppState.Preset144Radio), preset.radio == AppState.Preset144Radio);
        EXPECT_EQ(Checked(AppState.Preset720Radio), preset.radio == AppState.Preset720Radio);
        EXPECT_EQ(PiecesPane(), preset.pieces);
        EXPECT_EQ(GetFocus(), AppState.MainWindow);
    }
}

TEST_F(MainWindowCommands, ThePresetCommandWithNoneCheckedKeepsTheSizeAndRewritesTheField)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    SetWindowTextA(AppState.SplitSizeEdit, "1234");
    ASSERT_EQ(AppState.SplitSize, 1234);
    ASSERT_FALSE(Checked(AppState.Preset144Radio));
    SetWindowTextA(AppState.SplitSizeEdit, "  0042");
    ASSERT_EQ(AppState.SplitSize, 42);
    Command(CmdSizePreset);
    EXPECT_EQ(AppState.SplitSize, 42);
    EXPECT_EQ(WindowText(AppState.SplitSizeEdit), "42");
}

TEST_F(MainWindowCommands, TheSizeFieldSetsTheSizeAndThePresetsFromAtMostTenCharacters)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    MakeFile(start + "\\data.bin", 3000000);
    SetWindowTextA(AppState.FileNameEdit, "data.bin");

    SetWindowTextA(AppState.SplitSizeEdit, "");
    EXPECT_EQ(AppState.SplitSize, 0);
    EXPECT_FALSE(Checked(AppState.Preset288Radio));
    EXPECT_FALSE(Checked(AppState.Preset144Radio));
    EXPECT_FALSE(Checked(AppState.Preset720Radio));
    EXPECT_EQ(PiecesPane(), "0 splits");
    EXPECT_FALSE(Enabled(AppState.SplitButton));

    SetWindowTextA(AppState.SplitSizeEdit, "1457000");
    EXPECT_EQ(AppState.SplitSize, 1457000);
    EXPECT_FALSE(Checked(AppState.Preset288Radio));
    EXPECT_TRUE(Checked(AppState.Preset144Radio));
    EXPECT_FALSE(Checked(AppState.Preset720Radio));
    EXPECT_EQ(PiecesPane(), "3 splits");
    EXPECT_TRUE(Enabled(AppState.SplitButton));

    // Nothing limits the field, so an eleventh digit is there; only ten are read.
    SetWindowTextA(AppState.SplitSizeEdit, "12345678901");
    EXPECT_EQ(WindowText(AppState.SplitSizeEdit), "12345678901");
    EXPECT_EQ(AppState.SplitSize, 1234567890);
    EXPECT_FALSE(Checked(AppState.Preset144Radio));

    SetWindowTextA(AppState.SplitSizeEdit, "07300001");
    EXPECT_EQ(AppState.SplitSize, 7300001);
    EXPECT_FALSE(Checked(AppState.Preset720Radio));
}

TEST_F(MainWindowCommands, MinimisingHidesTheWindowWhileTheTrayIconIsShown)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_TRUE(TrayIconShown()) << "the tray icon could not be added here";
    ASSERT_TRUE(IsWindowVisible(AppState.MainWindow));
    for (WPARAM code : {SIZE_RESTORED, SIZE_MAXIMIZED, SIZE_MAXSHOW, SIZE_MAXHIDE}) {
        EXPECT_EQ(Send(WM_SIZE, code, MAKELPARAM(265, 235)), 0);
        EXPECT_TRUE(IsWindowVisible(AppState.MainWindow)) << "size code " << code;
    }
    EXPECT_EQ(Send(WM_SIZE, SIZE_MINIMIZED, 0), 0);
    EXPECT_FALSE(IsWindowVisible(AppState.MainWindow));
    EXPECT_TRUE(IsWindow(AppState.MainWindow));
    EXPECT_FALSE(QuitPosted());

    // The minimise box, as the user presses it.
    ShowWindow(AppState.MainWindow, SW_SHOWNORMAL);
    ASSERT_TRUE(IsWindowVisible(AppState.MainWindow));
    Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(AppState.MainWindow));
    EXPECT_TRUE(IsWindow(AppState.MainWindow));
}

// --- The file name: typed, focused, dropped ---------------------------------------------------------

class FileSelection : public MainWindowTest {};

TEST_F(FileSelection, ATypedNameIsParsedMeasuredAndShown)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    MakeFile(start + "\\data.bin", 3000000);
    SetWindowTextA(AppState.FileNameEdit, "data.bin");
    EXPECT_STREQ(AppState.FileName, "data.bin");
    EXPECT_STREQ(AppState.Drive, "");
    EXPECT_STREQ(AppState.DirPart, "");
    EXPECT_STREQ(AppState.BaseName, "data");
    EXPECT_STREQ(AppState.Extension, ".bin");
    EXPECT_EQ(Title(), start + "\\data.bin");
    EXPECT_EQ(NamePane(), "data.bin");
    EXPECT_EQ(SizePane(), "3000000 bytes");
    EXPECT_EQ(PiecesPane(), "3 splits");
    EXPECT_TRUE(Enabled(AppState.SplitButton));
    EXPECT_STREQ(AppState.CurrentDirectory, start.c_str());
}

TEST_F(FileSelection, ATypedPathIsResolvedInTheWorkingDirectoryWhichStaysAsItWas)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    MakeFolder("sub");
    MakeFile(start + "\\sub\\x.dat", 2914001);
    SetWindowTextA(AppState.FileNameEdit, "sub\\x.dat");
    EXPECT_STREQ(AppState.DirPart, "sub\\");
    EXPECT_STREQ(AppState.BaseName, "x");
    EXPECT_STREQ(AppState.Extension, ".dat");
    EXPECT_EQ(Title(), start + "\\sub\\x.dat");
    EXPECT_EQ(SizePane(), "2914001 bytes");
    EXPECT_EQ(PiecesPane(), "3 splits");
    EXPECT_STREQ(AppState.CurrentDirectory, start.c_str());
    EXPECT_EQ(WorkingDirectory(), start);

    // A name that is not there: default title, empty panes, Split disabled.
    SetWindowTextA(AppState.FileNameEdit, "missing.bin");
    EXPECT_EQ(Title(), "Morvane 3.2");
    EXPECT_EQ(NamePane(), "");
    EXPECT_EQ(SizePane(), "");
    EXPECT_EQ(PiecesPane(), "");
    EXPECT_FALSE(Enabled(AppState.SplitButton));
    EXPECT_STREQ(AppState.BaseName, "missing");
}

TEST_F(FileSelection, EveryNotificationOfTheFieldReReadsAndRefreshes)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    std::string path = start + "\\data.bin";
    MakeFile(path, 3000000);
    SetWindowTextA(AppState.FileNameEdit, "data.bin");
    ASSERT_EQ(SizePane(), "3000000 bytes");

    // The file changes on disk while the field's text stays: any notification shows it.
    size_t sizes[] = {1000000, 2914000, 5000000, 1457001};
    const char *pieces[] = {"0 splits", "2 splits", "4 splits", "2 splits"};
    int codes[] = {EN_SETFOCUS, EN_KILLFOCUS, EN_UPDATE, EN_CHANGE};
    for (int i = 0; i < 4; i++) {
        SCOPED_TRACE(codes[i]);
        MakeFile(path, sizes[i]);
        EXPECT_EQ(Send(WM_COMMAND, MAKEWPARAM(CmdFileName, codes[i]), (LPARAM)AppState.FileNameEdit), 0);
        EXPECT_EQ(SizePane(), std::to_string(sizes[i]) + " bytes");
        EXPECT_EQ(PiecesPane(), pieces[i]);
        EXPECT_EQ(AppState.FileSize, (int32_t)sizes[i]);
        EXPECT_EQ(Enabled(AppState.SplitButton), std::string(pieces[i]) != "0 splits");
    }

    // A title changed behind the program's back is put right by the next focus change.
    SetWindowTextA(AppState.MainWindow, "something else");
    Command(CmdFileName, EN_KILLFOCUS);
    EXPECT_EQ(Title(), path);
}

TEST_F(FileSelection, AFieldReadsAtMost260Characters)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    std::string name = std::string(296, 'n') + ".bin";
    SetWindowTextA(AppState.FileNameEdit, name.c_str());
    EXPECT_EQ(strlen(AppState.FileName), 260u);
    EXPECT_EQ(std::string(AppState.FileName), name.substr(0, 260));
    EXPECT_EQ(Title(), "Morvane 3.2");
}

TEST_F(FileSelection, TheSizeAndOutputFieldsAlsoReReadOnEveryNotification)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    std::string path = start + "\\data.bin";
    MakeFile(path, 3000000);
    SetWindowTextA(AppState.FileNameEdit, "data.bin");

    MakeFile(path, 2914000);
    Command(CmdSplitSize, EN_SETFOCUS);
    EXPECT_EQ(SizePane(), "2914000 bytes");
    EXPECT_EQ(PiecesPane(), "2 splits");

    AppState.SplitSize = 5;
    Command(CmdSplitSize, EN_KILLFOCUS);
    EXPECT_EQ(AppState.SplitSize, 1457000);
    EXPECT_TRUE(Checked(AppState.Preset144Radio));

    strcpy(AppState.OutputDirectory, "elsewhere");
    Command(CmdOutputPath, EN_SETFOCUS);
    EXPECT_STREQ(AppState.OutputDirectory, start.c_str());

    // The output command reads at most 256 characters.
    SetWindowTextA(AppState.OutputPathEdit, std::string(300, 'p').c_str());
    EXPECT_EQ(strlen(AppState.OutputDirectory), 256u);
}

TEST_F(FileSelection, ADroppedFileBecomesTheSelectionAndItsFolderTheCurrentOne)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    std::string folder = MakeFolder("in");
    std::string path = folder + "\\data.bin";
    MakeFile(path, 3000000);
    Drop({path});

    EXPECT_STREQ(AppState.SourcePath, path.c_str());
    EXPECT_STREQ(AppState.CurrentDirectory, folder.c_str()) << "no trailing backslash";
    EXPECT_EQ(WorkingDirectory(), folder);
    EXPECT_STREQ(AppState.FileName, "data.bin");
    EXPECT_STREQ(AppState.BaseName, "data");
    EXPECT_STREQ(AppState.Extension, ".bin");
    EXPECT_EQ(WindowText(AppState.FileNameEdit), "data.bin");
    EXPECT_EQ(Title(), path);
    EXPECT_EQ(NamePane(), "data.bin");
    EXPECT_EQ(SizePane(), "3000000 bytes");
    EXPECT_EQ(PiecesPane(), "3 splits");
    EXPECT_TRUE(Enabled(AppState.SplitButton));
    EXPECT_TRUE(Enabled(AppState.BatchFileCheck));
    EXPECT_TRUE(Enabled(AppState.SubDirectoryCheck));
    EXPECT_STREQ(AppState.OutputDirectory, start.c_str()) << "a drop leaves the output folder alone";
    EXPECT_FALSE(Exists(start + "\\data")) << "no split without Auto Split";
    EXPECT_FALSE(Exists(folder + "\\data.001"));
}

TEST_F(FileSelection, TheSameNameFromAnotherFolderIsMeasuredThere)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    std::string first = MakeFolder("a");
    std::string second = MakeFolder("b");
    MakeFile(first + "\\data.bin", 1000);
    MakeFile(second + "\\data.bin", 2914001);
    Drop({first + "\\data.bin"});
    ASSERT_EQ(SizePane(), "1000 bytes");
    Drop({second + "\\data.bin"});
    EXPECT_STREQ(AppState.CurrentDirectory, second.c_str());
    EXPECT_EQ(Title(), second + "\\data.bin");
    EXPECT_EQ(SizePane(), "2914001 bytes");
    EXPECT_EQ(PiecesPane(), "3 splits");
}

TEST_F(FileSelection, OfSeveralDroppedFilesOnlyTheFirstIsTaken)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    std::string a = MakeFolder("a");
    std::string b = MakeFolder("b");
    MakeFile(a + "\\first.bin", 2914000);
    MakeFile(b + "\\second.bin", 3000000);
    MakeFile(start + "\\third.bin", 4000000);
    Drop({a + "\\first.bin", b + "\\second.bin", start + "\\third.bin"});
    EXPECT_STREQ(AppState.SourcePath, (a + "\\first.bin").c_str());
    EXPECT_STREQ(AppState.CurrentDirectory, a.c_str());
    EXPECT_EQ(WorkingDirectory(), a);
    EXPECT_STREQ(AppState.FileName, "first.bin");
    EXPECT_EQ(WindowText(AppState.FileNameEdit), "first.bin");
    EXPECT_EQ(Title(), a + "\\first.bin");
    EXPECT_EQ(SizePane(), "2914000 bytes");
    EXPECT_EQ(PiecesPane(), "2 splits");
}

TEST_F(FileSelection, ADroppedFolderIsTakenAsAFileNamedAfterItAndCannotBeSplit)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    std::string in = MakeFolder("in");
    std::string thing = in + "\\thing";
    ASSERT_TRUE(CreateDirectoryA(thing.c_str(), NULL));
    CheckAutoSplit(); // and Auto Split does not try it
    Drop({thing});
    EXPECT_STREQ(AppState.CurrentDirectory, in.c_str());
    EXPECT_EQ(WorkingDirectory(), in);
    EXPECT_STREQ(AppState.FileName, "thing");
    EXPECT_STREQ(AppState.BaseName, "thing");
    EXPECT_STREQ(AppState.Extension, "");
    EXPECT_EQ(WindowText(AppState.FileNameEdit), "thing");
    EXPECT_EQ(NamePane(), "thing");
    EXPECT_EQ(PiecesPane(), "0 splits");
    EXPECT_NE(SizePane(), "") << "the status says why it cannot be split";
    EXPECT_FALSE(Enabled(AppState.SplitButton));
    EXPECT_TRUE(boxes->Boxes().empty());
}

TEST_F(FileSelection, WithAutoSplitADropSplitsAtOnceIntoTheOutputSubFolder)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    std::string in = MakeFolder("in");
    std::string path = in + "\\data.bin";
    Bytes source = MakeFile(path, 3000000, 11);
    CheckAutoSplit();
    Drop({path});

    // First-run options: output folder = the start folder, Sub Directory, Batch File, Log File.
    std::string target = start + "\\data";
    ASSERT_TRUE(IsFolder(target));
    size_t sizes[] = {1457000, 1457000, 86000};
    size_t offset = 0;
    for (int i = 0; i < 3; i++) {
        char name[32];
        snprintf(name, sizeof name, "\\data.%03d", i + 1);
        SCOPED_TRACE(name);
        bool ok = false;
        Bytes piece = ReadBytes(target + name, &ok);
        ASSERT_TRUE(ok);
        ASSERT_EQ(piece.size(), sizes[i]);
        EXPECT_TRUE(std::equal(piece.begin(), piece.end(), source.begin() + offset)) << "content differs";
        offset += sizes[i];
    }
    EXPECT_FALSE(Exists(target + "\\data.004"));
    std::string batch = ReadText(target + "\\data.bat");
    EXPECT_NE(batch.find("data.001"), std::string::npos) << batch;
    EXPECT_NE(batch.find("data.003"), std::string::npos) << batch;
    EXPECT_NE(ReadText(target + "\\data.log").find("data.003"), std::string::npos);
    EXPECT_FALSE(Exists(in + "\\data.001")) << "nothing beside the source";
    EXPECT_TRUE(boxes->Boxes().empty());

    // And the window is idle again, with the dropped file selected.
    EXPECT_EQ(WorkingDirectory(), in);
    EXPECT_STREQ(AppState.CurrentDirectory, in.c_str());
    EXPECT_FALSE(IsWindowVisible(AppState.ProgressBar));
    EXPECT_EQ(Title(), path);
    EXPECT_EQ(NamePane(), "data.bin");
    EXPECT_EQ(SizePane(), "3000000 bytes");
    EXPECT_EQ(PiecesPane(), "3 splits");
}

TEST_F(FileSelection, WithoutAutoSplitOrWithOnePieceADropOnlySelects)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    std::string in = MakeFolder("in");
    MakeFile(in + "\\big.bin", 3000000);
    MakeFile(in + "\\small.bin", 1457000);
    ASSERT_FALSE(AutoSplitChecked());
    Drop({in + "\\big.bin"});
    EXPECT_EQ(PiecesPane(), "3 splits");
    EXPECT_FALSE(Exists(start + "\\big"));

    CheckAutoSplit();
    Drop({in + "\\small.bin"});
    EXPECT_EQ(PiecesPane(), "0 splits");
    EXPECT_FALSE(Enabled(AppState.SplitButton));
    EXPECT_FALSE(Exists(start + "\\small"));
    EXPECT_FALSE(Exists(in + "\\small.001"));
    EXPECT_TRUE(boxes->Boxes().empty()) << "no split was tried";
}

// --- Ending the program ------------------------------------------------------------------------------

class ProgramExit : public MainWindowTest {
protected:
    static bool HasValue(HKEY key, const char *name)
    {
        return RegQueryValueExA(key, name, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
    }
    static DWORD DwordValue(HKEY key, const char *name)
    {
        DWORD value = 0xDEADBEEF;
        DWORD size = sizeof value;
        RegQueryValueExA(key, name, NULL, NULL, (BYTE *)&value, &size);
        return value;
    }

    // What every way of ending with a save must leave: the settings as the window had them, no
    // window, no tray menu, and the quit request.
    void ExpectSavedAndEnded(HMENU menu)
    {
        EXPECT_FALSE(IsWindow(AppState.MainWindow));
        EXPECT_FALSE(IsMenu(menu));
        EXPECT_FALSE(TrayIconShown());
        EXPECT_TRUE(QuitPosted());
        HKEY key = OpenProgramKey();
        ASSERT_NE(key, (HKEY)NULL);
        for (const char *name : {"CurrentDirectory", "OutputDirectory", "WinPos", "SplitSize", "ChkBits"})
            EXPECT_TRUE(HasValue(key, name)) << name;
        EXPECT_EQ(DwordValue(key, "SplitSize"), 730000u);
        EXPECT_EQ(DwordValue(key, "ChkBits"), 0x1Fu) << "on top, batch, log, output, sub-folder";
        char folder[512] = "";
        DWORD size = sizeof folder;
        RegQueryValueExA(key, "CurrentDirectory", NULL, NULL, (BYTE *)folder, &size);
        EXPECT_STREQ(folder, start.c_str());
        RegCloseKey(key);
    }

    // Changes that the saved settings must show.
    void ChangeSomething()
    {
        HKEY key = OpenProgramKey();
        ASSERT_NE(key, (HKEY)NULL);
        EXPECT_FALSE(HasValue(key, "SplitSize")) << "nothing is saved before the end";
        EXPECT_FALSE(HasValue(key, "ChkBits"));
        RegCloseKey(key);
        Click(AppState.Preset720Radio);
        Command(CmdOnTop);
    }
};

TEST_F(ProgramExit, TheExitCommandSavesDestroysAndPostsTheQuit)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(ChangeSomething());
    HMENU menu = AppState.TrayMenu;
    EXPECT_EQ(Send(WM_COMMAND, MAKEWPARAM(CmdExit, BN_CLICKED), (LPARAM)AppState.ExitButton), 0);
    ExpectSavedAndEnded(menu);
}

TEST_F(ProgramExit, ClosingTheWindowDoesTheSame)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(ChangeSomething());
    HMENU menu = AppState.TrayMenu;
    EXPECT_EQ(Send(WM_CLOSE), 0);
    ExpectSavedAndEnded(menu);
}

TEST_F(ProgramExit, TheSystemMenusCloseArrivesAsCloseAndDoesTheSame)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(ChangeSomething());
    HMENU menu = AppState.TrayMenu;
    Send(WM_SYSCOMMAND, SC_CLOSE, 0);
    ExpectSavedAndEnded(menu);
}

TEST_F(ProgramExit, DestroyingTheWindowAloneDoesNotEndTheProgram)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    HMENU menu = AppState.TrayMenu;
    DestroyWindow(AppState.MainWindow);
    EXPECT_FALSE(QuitPosted()) << "only the exit sequence posts the quit request";
    HKEY key = OpenProgramKey();
    ASSERT_NE(key, (HKEY)NULL);
    EXPECT_FALSE(HasValue(key, "ChkBits")) << "and only it saves";
    RegCloseKey(key);
    // What the exit sequence would have released.
    DestroyMenu(menu);
    RemoveTrayIcon();
}
