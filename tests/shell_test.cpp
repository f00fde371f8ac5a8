// The shell around the main window: the tray icon and its menu, the About box and the help
// command. The program runs through its real start-up; the modal loops of the tray menu and the
// About box are watched from a thread timer, which they dispatch while they run.
#include "support/ProgramFixture.h"

#include "resources/resource.h"

#include <stdio.h>
#include <string.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const char *const AboutTitle = "About Morvane 3.2";
const char *const HelpMissingText = "Could not find Morvane.hlp\nMake sure it is in the same directory as Morvane.exe";

// Watches for a modal window of this thread (found by `find`) from a thread timer. Each tick
// while it is open runs the next step on it; once the steps are used up and it is still open
// after a bounded number of ticks, `giveUp` closes it so that the test can go on and fail.
class ModalWatcher {
public:
    typedef std::function<void(HWND)> Step;

    ModalWatcher(std::function<HWND()> find, std::vector<Step> steps, Step giveUp)
        : find_(find), steps_(steps), giveUp_(giveUp)
    {
        timer_ = SetTimer(NULL, 0, 10, Tick);
        Active()[timer_] = this;
    }
    ~ModalWatcher()
    {
        KillTimer(NULL, timer_);
        Active().erase(timer_);
    }
    ModalWatcher(const ModalWatcher &) = delete;
    ModalWatcher &operator=(const ModalWatcher &) = delete;

    // How many times the window was seen to open.
    int Openings() const { return openings_; }
    bool GaveUp() const { return gaveUp_; }

private:
    static std::map<UINT_PTR, ModalWatcher *> &Active()
    {
        static std::map<UINT_PTR, ModalWatcher *> active;
        return active;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD)
    {
        auto found = Active().find(timer);
        if (found != Active().end())
            found->second->OnTick();
    }
    void OnTick()
    {
        HWND window = find_();
        if (window == NULL) {
            current_ = NULL;
            return;
        }
        if (window != current_) {
            current_ = window;
            openings_++;
            step_ = 0;
            waited_ = 0;
        }
        if (step_ < steps_.size()) {
            steps_[step_++](window);
        } else if (++waited_ > 300 && !gaveUp_) {
            gaveUp_ = true;
            giveUp_(window);
        }
    }

    std::function<HWND()> find_;
    std::vector<Step> steps_;
    Step giveUp_;
    UINT_PTR timer_ = 0;
    HWND current_ = NULL;
    int openings_ = 0;
    size_t step_ = 0;
    int waited_ = 0;
    bool gaveUp_ = false;
};

struct WindowSearch {
    const char *className, *title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data)
{
    WindowSearch *search = (WindowSearch *)data;
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (strcmp(name, search->className) != 0 || !IsWindowVisible(window))
        return TRUE;
    if (search->title != NULL && WindowText(window) != search->title)
        return TRUE;
    search->found = window;
    return FALSE;
}

// A visible top-level window of this thread with the given class (and title, when not null).
HWND FindThreadWindow(const char *className, const char *title)
{
    WindowSearch search = {className, title, NULL};
    EnumThreadWindows(GetCurrentThreadId(), MatchWindow, (LPARAM)&search);
    return search.found;
}

HWND FindAboutBox() { return FindThreadWindow("#32770", AboutTitle); }
HWND FindPopupMenu() { return FindThreadWindow("#32768", NULL); }

void CloseDialog(HWND dialog) { EndDialog(dialog, 0); }
void CloseMenu(HWND) { EndMenu(); }

void PostKey(HWND window, UINT key) { PostMessageA(window, WM_KEYDOWN, key, 1); }

// An accelerator key as the program's message loop would translate it, pressed in a child control.
int PressAccelerator(HWND control, UINT key)
{
    HACCEL keys = LoadAcceleratorsA(GetModuleHandleA(NULL), "AccKeys");
    EXPECT_NE(keys, (HACCEL)NULL);
    MSG message = {};
    message.hwnd = control;
    message.message = WM_KEYDOWN;
    message.wParam = key;
    message.lParam = 1;
    return TranslateAcceleratorA(AppState.MainWindow, keys, &message);
}

bool IconInTray()
{
    NOTIFYICONDATAA record = AppState.TrayIconData;
    return Shell_NotifyIconA(NIM_MODIFY, &record) != FALSE;
}

// What the About box showed while it was open.
struct AboutView {
    std::string title, name, uninstall, credit;
    std::vector<std::string> childClasses;
    HWND owner = NULL;
    bool ownerEnabled = true;
    bool topLevelPopup = false;
    bool hasSystemMenu = false;
};

AboutView Inspect(HWND dialog)
{
    AboutView view;
    view.title = WindowText(dialog);
    view.name = WindowText(GetDlgItem(dialog, IDC_ABOUT_NAME));
    view.uninstall = WindowText(GetDlgItem(dialog, IDC_ABOUT_UNINSTALL));
    view.credit = WindowText(GetDlgItem(dialog, IDC_ABOUT_CREDIT));
    for (HWND child = GetWindow(dialog, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = "";
        GetClassNameA(child, name, sizeof name);
        view.childClasses.push_back(name);
    }
    view.owner = GetWindow(dialog, GW_OWNER);
    view.ownerEnabled = IsWindowEnabled(AppState.MainWindow) != 0;
    LONG style = GetWindowLongA(dialog, GWL_STYLE);
    view.topLevelPopup = (style & WS_POPUP) != 0;
    view.hasSystemMenu = (style & WS_SYSMENU) != 0;
    return view;
}

// Pixels of the About box's client area against the bitmaps the program loaded.
struct AboutPixels {
    COLORREF face = CLR_INVALID;       // a spot of the face no text or image covers
    int logoSamples = 0, logoMismatches = 0;
    std::string firstLogoMismatch;
    int badgeSamples = 0, badgeMismatches = 0;
    std::string firstBadgeMismatch;
    COLORREF badgeCorners[4] = {};
    COLORREF badgeCentre = CLR_INVALID;
    COLORREF logoCentre = CLR_INVALID;
};

std::string Describe(int x, int y, COLORREF seen, COLORREF expected)
{
    char text[96];
    snprintf(text, sizeof text, "(%d,%d) is %06lX, expected %06lX", x, y, (unsigned long)seen,
             (unsigned long)expected);
    return text;
}

AboutPixels ReadPixels(HWND dialog)
{
    AboutPixels pixels;
    HDC screen = GetDC(dialog);
    HDC logo = CreateCompatibleDC(screen);
    HDC mask = CreateCompatibleDC(screen);
    HDC badge = CreateCompatibleDC(screen);
    HGDIOBJ oldLogo = SelectObject(logo, AppState.LogoBitmap);
    HGDIOBJ oldMask = SelectObject(mask, AppState.BadgeMaskBitmap);
    HGDIOBJ oldBadge = SelectObject(badge, AppState.BadgeBitmap);

    pixels.face = GetPixel(screen, 3, 3);
    for (int y = 0; y < 100; y += 3)
        for (int x = 0; x < 100; x += 3) {
            COLORREF expected = GetPixel(logo, x, y);
            COLORREF seen = GetPixel(screen, 10 + x, 10 + y);
            pixels.logoSamples++;
            if (seen != expected && pixels.logoMismatches++ == 0)
                pixels.firstLogoMismatch = Describe(10 + x, 10 + y, seen, expected);
        }
    // AND with the mask, then OR with the badge, channel by channel over the face.
    for (int y = 0; y < 50; y += 2)
        for (int x = 0; x < 50; x += 2) {
            COLORREF expected = (pixels.face & GetPixel(mask, x, y)) | GetPixel(badge, x, y);
            COLORREF seen = GetPixel(screen, 130 + x, 55 + y);
            pixels.badgeSamples++;
            if (seen != expected && pixels.badgeMismatches++ == 0)
                pixels.firstBadgeMismatch = Describe(130 + x, 55 + y, seen, expected);
        }
    pixels.badgeCorners[0] = GetPixel(screen, 130, 55);
    pixels.badgeCorners[1] = GetPixel(screen, 179, 55);
    pixels.badgeCorners[2] = GetPixel(screen, 130, 104);
    pixels.badgeCorners[3] = GetPixel(screen, 179, 104);
    pixels.badgeCentre = GetPixel(screen, 155, 80);
    pixels.logoCentre = GetPixel(screen, 60, 60);

    SelectObject(logo, oldLogo);
    SelectObject(mask, oldMask);
    SelectObject(badge, oldBadge);
    DeleteDC(logo);
    DeleteDC(mask);
    DeleteDC(badge);
    ReleaseDC(dialog, screen);
    return pixels;
}

} // namespace

class Shell : public ProgramFixture {
protected:
    // Start-up, for the cases that need the icon in the notification area of the desktop.
    void StartWithTrayIcon()
    {
        ASSERT_NO_FATAL_FAILURE(Start());
        ASSERT_TRUE(IconInTray()) << "the tray icon could not be added: the desktop's notification area is missing";
    }

    void ExpectHelpMissingBox()
    {
        ASSERT_EQ(boxes->Boxes().size(), 1u);
        const BoxSeen &box = boxes->Boxes()[0];
        EXPECT_TRUE(IsBox(box, HelpMissingText, "Error", MB_ICONERROR, MB_OK));
    }

    // Right-clicks the tray icon and, once the menu is open, presses the keys in it.
    // The watcher is returned so that the test can see whether the menu opened and closed.
    std::unique_ptr<ModalWatcher> ChooseInTrayMenu(std::vector<UINT> keys)
    {
        std::unique_ptr<ModalWatcher> watcher(new ModalWatcher(FindPopupMenu,
                                                               {[keys](HWND menu) {
                                                                   for (UINT key : keys)
                                                                       PostKey(menu, key);
                                                               }},
                                                               CloseMenu));
        SendMessageA(AppState.MainWindow, TrayNotify, 0, WM_RBUTTONUP);
        return watcher;
    }
};

// ---------------------------------------------------------------------------------------------
// The tray icon and its menu.

TEST_F(Shell, TrayMenuHasItsSixEntriesInOrder)
{
    Start();
    HMENU menu = AppState.TrayMenu;
    ASSERT_TRUE(IsMenu(menu));
    ASSERT_EQ(GetMenuItemCount(menu), 6);
    const struct {
        UINT id;
        const char *text; // null for a separator
    } entries[] = {{516, "Auto Split"}, {508, "Help"}, {0, NULL}, {509, "About"}, {0, NULL}, {510, "Exit"}};
    for (int i = 0; i < 6; i++) {
        SCOPED_TRACE(i);
        UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        if (entries[i].text == NULL) {
            EXPECT_NE(state & MF_SEPARATOR, 0u);
            EXPECT_EQ(GetMenuItemID(menu, i), 0u);
            continue;
        }
        EXPECT_EQ(state & MF_SEPARATOR, 0u);
        EXPECT_EQ(GetMenuItemID(menu, i), entries[i].id);
        char text[64] = "";
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, entries[i].text);
        EXPECT_EQ(state & (MF_CHECKED | MF_GRAYED | MF_DISABLED), 0u) << "enabled and unchecked";
    }
}

TEST_F(Shell, TrayIconRecordDescribesTheProgram)
{
    Start();
    const NOTIFYICONDATAA &tray = AppState.TrayIconData;
    EXPECT_EQ(tray.cbSize, 88u);
    EXPECT_EQ(tray.hWnd, AppState.MainWindow);
    EXPECT_EQ(tray.uID, 0u);
    EXPECT_EQ(tray.uFlags, 7u);
    EXPECT_EQ(tray.uCallbackMessage, 0x203u);
    EXPECT_STREQ(tray.szTip, "Morvane 3.2");
    ASSERT_NE(tray.hIcon, (HICON)NULL);
    EXPECT_EQ(tray.hIcon, LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_APP)));
    EXPECT_EQ(AppState.AppInstance, GetModuleHandleA(NULL));
    EXPECT_TRUE(IconInTray()) << "the icon is in the notification area from the start";
}

TEST_F(Shell, LeftClickBringsBackAHiddenWindow)
{
    Start();
    ShowWindow(AppState.MainWindow, SW_HIDE);
    ASSERT_FALSE(IsWindowVisible(AppState.MainWindow));
    EXPECT_EQ(SendMessageA(AppState.MainWindow, TrayNotify, 0, WM_LBUTTONUP), 0);
    EXPECT_TRUE(IsWindowVisible(AppState.MainWindow));
    EXPECT_FALSE(IsIconic(AppState.MainWindow));
}

TEST_F(Shell, MinimisingHidesAndLeftClickRestoresInThePlace)
{
    ASSERT_NO_FATAL_FAILURE(StartWithTrayIcon());
    SetWindowPos(AppState.MainWindow, NULL, 61, 47, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(AppState.MainWindow, SW_MINIMIZE);
    EXPECT_FALSE(IsWindowVisible(AppState.MainWindow)) << "a minimised window lives on as the tray icon";
    EXPECT_TRUE(IsIconic(AppState.MainWindow));
    ExpectTrayClickRestoresAt(61, 47);
}

TEST_F(Shell, LeftClickBringsAVisibleWindowToTheFront)
{
    Start();
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
    ASSERT_NE(other, (HWND)NULL);
    SetForegroundWindow(other);
    ASSERT_EQ(GetForegroundWindow(), other);
    SendMessageA(AppState.MainWindow, TrayNotify, 0, WM_LBUTTONUP);
    EXPECT_EQ(GetForegroundWindow(), AppState.MainWindow);
    EXPECT_TRUE(IsWindowVisible(AppState.MainWindow));
    DestroyWindow(other);
}

class IgnoredTrayMessage : public Shell, public ::testing::WithParamInterface<UINT> {};

TEST_P(IgnoredTrayMessage, LeavesTheHiddenWindowHidden)
{
    ASSERT_NO_FATAL_FAILURE(StartWithTrayIcon());
    ShowWindow(AppState.MainWindow, SW_MINIMIZE);
    ASSERT_FALSE(IsWindowVisible(AppState.MainWindow));
    EXPECT_EQ(SendMessageA(AppState.MainWindow, TrayNotify, 0, GetParam()), 0);
    Pump();
    EXPECT_FALSE(IsWindowVisible(AppState.MainWindow));
    EXPECT_TRUE(IsIconic(AppState.MainWindow));
    EXPECT_EQ(FindPopupMenu(), (HWND)NULL);
}

INSTANTIATE_TEST_SUITE_P(Shell, IgnoredTrayMessage,
                         ::testing::Values((UINT)WM_MOUSEMOVE, (UINT)WM_LBUTTONDOWN, (UINT)WM_RBUTTONDOWN,
                                           (UINT)WM_LBUTTONDBLCLK, (UINT)WM_MBUTTONUP),
                         [](const ::testing::TestParamInfo<UINT> &info) {
                             switch (info.param) {
                             case WM_MOUSEMOVE: return std::string("MouseMove");
                             case WM_LBUTTONDOWN: return std::string("LeftButtonDown");
                             case WM_RBUTTONDOWN: return std::string("RightButtonDown");
                             case WM_LBUTTONDBLCLK: return std::string("LeftDoubleClick");
                             default: return std::string("MiddleButtonUp");
                             }
                         });

TEST_F(Shell, RightClickOpensTheTrayMenuLeftOfTheCursorAndEscapeClosesIt)
{
    Start();
    ASSERT_TRUE(SetCursorPos(500, 300));
    POINT cursor;
    GetCursorPos(&cursor);
    ASSERT_EQ(cursor.x, 500);
    ASSERT_EQ(cursor.y, 300);

    HMENU shown = NULL;
    RECT where = {};
    ModalWatcher watcher(FindPopupMenu,
                         {[&](HWND menu) {
                              shown = (HMENU)SendMessageA(menu, MN_GETHMENU, 0, 0);
                              GetWindowRect(menu, &where);
                          },
                          [](HWND menu) { PostKey(menu, VK_ESCAPE); }},
                         CloseMenu);
    EXPECT_EQ(SendMessageA(AppState.MainWindow, TrayNotify, 0, WM_RBUTTONUP), 0);
    EXPECT_EQ(watcher.Openings(), 1);
    EXPECT_FALSE(watcher.GaveUp()) << "Escape did not close the menu";
    EXPECT_EQ(shown, AppState.TrayMenu);
    EXPECT_EQ(where.right, 500) << "right edge at the cursor";
    EXPECT_EQ(where.top, 300) << "top at the cursor";
    EXPECT_EQ(AppState.TrayCursorPos.x, 500);
    EXPECT_EQ(AppState.TrayCursorPos.y, 300);

    // Closing the menu chose nothing.
    Pump();
    EXPECT_EQ(AutoSplitState(), 0u);
    EXPECT_TRUE(IsWindow(AppState.MainWindow));
    EXPECT_FALSE(QuitPosted());
}

TEST_F(Shell, AutoSplitCommandFlipsTheCheckMark)
{
    Start();
    ASSERT_EQ(AutoSplitState(), 0u);
    Command(CmdAutoSplit);
    EXPECT_EQ(AutoSplitState(), (UINT)MF_CHECKED);
    Command(CmdAutoSplit);
    EXPECT_EQ(AutoSplitState(), 0u);
}

// The item was highlighted while it was chosen: only its check mark tells the setting.
TEST_F(Shell, AutoSplitChosenInTheTrayMenuFlipsTheCheckMark)
{
    Start();
    {
        std::unique_ptr<ModalWatcher> menu = ChooseInTrayMenu({VK_DOWN, VK_RETURN});
        EXPECT_EQ(menu->Openings(), 1);
        EXPECT_FALSE(menu->GaveUp());
        Pump();
    }
    EXPECT_EQ(AutoSplitState() & MF_CHECKED, (UINT)MF_CHECKED) << std::hex << "state 0x" << AutoSplitState();
    {
        std::unique_ptr<ModalWatcher> menu = ChooseInTrayMenu({VK_DOWN, VK_RETURN});
        EXPECT_EQ(menu->Openings(), 1);
        Pump();
    }
    EXPECT_EQ(AutoSplitState() & MF_CHECKED, 0u) << std::hex << "state 0x" << AutoSplitState();
}

TEST_F(Shell, AutoSplitChosenInTheTrayMenuIsSavedAtTheExit)
{
    Start();
    {
        std::unique_ptr<ModalWatcher> menu = ChooseInTrayMenu({VK_DOWN, VK_RETURN});
        EXPECT_EQ(menu->Openings(), 1);
        Pump();
    }
    Command(CmdExit);
    HKEY key = OpenProgramKey();
    ASSERT_NE(key, (HKEY)NULL);
    DWORD bits = 0, size = sizeof bits;
    EXPECT_EQ(RegQueryValueExA(key, "ChkBits", NULL, NULL, (BYTE *)&bits, &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(bits, 0x3Eu) << "the four defaults and Auto Split";
}

TEST_F(Shell, ExitChosenInTheTrayMenuSavesAndEnds)
{
    Start();
    std::unique_ptr<ModalWatcher> watcher = ChooseInTrayMenu({VK_UP, VK_RETURN});
    EXPECT_EQ(watcher->Openings(), 1);
    EXPECT_FALSE(watcher->GaveUp());
    Pump();
    EXPECT_FALSE(IsWindow(AppState.MainWindow));
    EXPECT_TRUE(QuitPosted());
    HKEY key = OpenProgramKey();
    ASSERT_NE(key, (HKEY)NULL);
    DWORD bits = 0, size = sizeof bits;
    EXPECT_EQ(RegQueryValueExA(key, "ChkBits", NULL, NULL, (BYTE *)&bits, &size), ERROR_SUCCESS) << "saved";
    RegCloseKey(key);
}

TEST_F(Shell, ExitRemovesTheTrayIconAndDestroysTheMenu)
{
    ASSERT_NO_FATAL_FAILURE(StartWithTrayIcon());
    HMENU menu = AppState.TrayMenu;
    SendMessageA(AppState.ExitButton, BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(AppState.MainWindow));
    EXPECT_TRUE(QuitPosted());
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_FALSE(IconInTray());
}

// ---------------------------------------------------------------------------------------------
// Help without its file: the fixture's folder is the start-up directory and has no Morvane.hlp.

TEST_F(Shell, HelpButtonWithoutTheHelpFileSaysWhereItShouldBe)
{
    Start();
    ASSERT_FALSE(Exists(std::string(AppState.StartDirectory) + "\\Morvane.hlp"));
    boxes->Answer(IDOK);
    SendMessageA(AppState.HelpButton, BM_CLICK, 0, 0);
    ExpectHelpMissingBox();
    EXPECT_TRUE(IsWindow(AppState.MainWindow));
}

TEST_F(Shell, F1KeyInAFieldGivesTheSameMessage)
{
    Start();
    boxes->Answer(IDOK);
    EXPECT_NE(PressAccelerator(AppState.FileNameEdit, VK_F1), 0);
    ExpectHelpMissingBox();
}

TEST_F(Shell, HelpChosenInTheTrayMenuGivesTheSameMessage)
{
    Start();
    boxes->Answer(IDOK);
    std::unique_ptr<ModalWatcher> watcher = ChooseInTrayMenu({VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(watcher->Openings(), 1);
    EXPECT_FALSE(watcher->GaveUp());
    Pump();
    ExpectHelpMissingBox();
}

// ---------------------------------------------------------------------------------------------
// The About box.

struct CloseWay {
    const char *name;
    void (*close)(HWND dialog);
};

void PrintTo(const CloseWay &way, std::ostream *out) { *out << way.name; }

class AboutBoxCloses : public Shell, public ::testing::WithParamInterface<CloseWay> {};

TEST_P(AboutBoxCloses, AndTheCommandReturns)
{
    Start();
    std::string title;
    ModalWatcher watcher(FindAboutBox, {[&](HWND dialog) { title = WindowText(dialog); }, GetParam().close},
                         CloseDialog);
    SendMessageA(AppState.AboutButton, BM_CLICK, 0, 0);
    EXPECT_EQ(watcher.Openings(), 1);
    EXPECT_EQ(title, AboutTitle);
    EXPECT_FALSE(watcher.GaveUp()) << GetParam().name << " did not close the About box";
    EXPECT_EQ(FindAboutBox(), (HWND)NULL);
    EXPECT_TRUE(IsWindowEnabled(AppState.MainWindow));
    EXPECT_TRUE(IsWindow(AppState.MainWindow));
    EXPECT_FALSE(QuitPosted());
}

INSTANTIATE_TEST_SUITE_P(
    Shell, AboutBoxCloses,
    ::testing::Values(CloseWay{"Enter", [](HWND dialog) { PostKey(dialog, VK_RETURN); }},
                      CloseWay{"Escape", [](HWND dialog) { PostKey(dialog, VK_ESCAPE); }},
                      CloseWay{"CloseBox", [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
                      CloseWay{"AltF4",
                               [](HWND dialog) { PostMessageA(dialog, WM_SYSKEYDOWN, VK_F4, 0x20000001); }},
                      CloseWay{"CancelCommand", [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }}),
    [](const ::testing::TestParamInfo<CloseWay> &info) { return std::string(info.param.name); });

TEST_F(Shell, AboutBoxShowsItsTextsWithoutButtonsAndIgnoresTheFunctionKeys)
{
    Start();
    AboutView view;
    bool openAfterKeys = false;
    ModalWatcher watcher(FindAboutBox,
                         {[&](HWND dialog) { view = Inspect(dialog); },
                          [&](HWND dialog) {
                              PostKey(dialog, VK_F1);
                              PostKey(dialog, VK_F11);
                              PostKey(dialog, VK_F12);
                          },
                          [&](HWND dialog) {
                              openAfterKeys = IsWindowVisible(dialog) != 0;
                              PostKey(dialog, VK_ESCAPE);
                          }},
                         CloseDialog);
    Command(CmdAbout);
    ASSERT_EQ(watcher.Openings(), 1);
    EXPECT_FALSE(watcher.GaveUp());

    EXPECT_EQ(view.title, "About Morvane 3.2");
    EXPECT_EQ(view.name, "Morvane 3.2\nBinary File Splitter");
    EXPECT_EQ(view.uninstall, "F12 - Uninstall");
    size_t lineBreak = view.credit.find('\n');
    ASSERT_NE(lineBreak, std::string::npos) << "two lines: \"" << view.credit << "\"";
    EXPECT_GT(lineBreak, 0u);
    EXPECT_LT(lineBreak + 1, view.credit.size());
    EXPECT_EQ(view.credit.find('\n', lineBreak + 1), std::string::npos);

    EXPECT_EQ(view.childClasses, std::vector<std::string>({"Static", "Static", "Static"})) << "no buttons";
    EXPECT_EQ(view.owner, AppState.MainWindow);
    EXPECT_FALSE(view.ownerEnabled) << "modal: the main window waits";
    EXPECT_TRUE(view.topLevelPopup);
    EXPECT_TRUE(view.hasSystemMenu) << "a close box";

    EXPECT_TRUE(openAfterKeys) << "F1, F11 and F12 do nothing in the About box";
    EXPECT_TRUE(boxes->Boxes().empty());
}

TEST_F(Shell, AboutBoxDrawsTheLogoAndTheBadgeOverItsFace)
{
    Start();
    AboutPixels pixels;
    ModalWatcher watcher(FindAboutBox, {[&](HWND dialog) { pixels = ReadPixels(dialog); }, CloseDialog},
                         CloseDialog);
    Command(CmdAbout);
    ASSERT_EQ(watcher.Openings(), 1);

    EXPECT_EQ(pixels.face, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pixels.logoMismatches, 0) << "of " << pixels.logoSamples << "; first " << pixels.firstLogoMismatch;
    EXPECT_NE(pixels.logoCentre, pixels.face);
    EXPECT_EQ(pixels.badgeMismatches, 0) << "of " << pixels.badgeSamples << "; first " << pixels.firstBadgeMismatch;
    for (COLORREF corner : pixels.badgeCorners)
        EXPECT_EQ(corner, pixels.face) << "the badge's corners are see-through";
    EXPECT_NE(pixels.badgeCentre, pixels.face);
}

TEST_F(Shell, F11KeyOpensTheAboutBox)
{
    Start();
    std::string title;
    ModalWatcher watcher(FindAboutBox, {[&](HWND dialog) { title = WindowText(dialog); }, CloseDialog},
                         CloseDialog);
    EXPECT_NE(PressAccelerator(AppState.SplitSizeEdit, VK_F11), 0);
    EXPECT_EQ(watcher.Openings(), 1);
    EXPECT_EQ(title, AboutTitle);
}

TEST_F(Shell, AboutChosenInTheTrayMenuOpensTheAboutBox)
{
    Start();
    ModalWatcher about(FindAboutBox, {[](HWND dialog) { PostKey(dialog, VK_ESCAPE); }}, CloseDialog);
    std::unique_ptr<ModalWatcher> menu = ChooseInTrayMenu({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(menu->Openings(), 1);
    EXPECT_FALSE(menu->GaveUp());
    Pump();
    EXPECT_EQ(about.Openings(), 1);
    EXPECT_FALSE(about.GaveUp());
    EXPECT_TRUE(boxes->Boxes().empty());
}

// ---------------------------------------------------------------------------------------------
// The shell's taskbar was created again (Explorer restarted).

TEST_F(Shell, TaskbarRestartPutsALostIconBack)
{
    ASSERT_NO_FATAL_FAILURE(StartWithTrayIcon());
    NOTIFYICONDATAA record = AppState.TrayIconData;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &record)) << "the shell forgets the icon";
    ASSERT_FALSE(IconInTray());
    EXPECT_EQ(SendMessageA(AppState.MainWindow, RegisterWindowMessageA("TaskbarCreated"), 0, 0), 0);
    EXPECT_TRUE(IconInTray());
}

// The notice can come while the icon is still there (the shell then refuses a second one): the
// icon stays, and a minimised window still goes to it.
TEST_F(Shell, TaskbarRestartNoticeWithTheIconPresentKeepsItInUse)
{
    ASSERT_NO_FATAL_FAILURE(StartWithTrayIcon());
    EXPECT_EQ(SendMessageA(AppState.MainWindow, RegisterWindowMessageA("TaskbarCreated"), 0, 0), 0);
    EXPECT_TRUE(IsWindow(AppState.MainWindow));
    EXPECT_TRUE(IconInTray());
    ShowWindow(AppState.MainWindow, SW_MINIMIZE);
    EXPECT_FALSE(IsWindowVisible(AppState.MainWindow)) << "minimised to the tray icon";
}
