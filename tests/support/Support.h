// The tests' one support layer: files and folders, a box answerer, the program started in this
// process on a redirected registry, and a driver for the real exe in another process.
#pragma once

#include "app/Startup.h"
#include "core/AppState.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

// File contents, byte for byte.
typedef std::string Bytes;

// Pseudo-random bytes from a seed; every value 0 ... 255 occurs, NUL and Ctrl-Z included.
Bytes RandomBytes(size_t size, uint32_t seed = 7);
bool WriteBytes(const std::string &path, const Bytes &bytes);
Bytes ReadBytes(const std::string &path); // empty when the file cannot be read


// What a folder holds, its sub-folders included: the names relative to it, sorted, one space
// between two, '/' between folders, a folder's own name ending in '/'.
std::string Listing(const std::string &folder);

// A fresh folder under Z:\tmp (or under base), removed with its content afterwards.
class TempFolder {
public:
    explicit TempFolder(const std::string &base = "Z:\\tmp");
    ~TempFolder();
    const std::string &Path() const { return path_; }
    std::string operator/(const std::string &name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

struct BoxSeen {
    std::string text, caption;
    UINT icon;    // MB_ICONERROR, MB_ICONWARNING, MB_ICONQUESTION, MB_ICONINFORMATION or 0
    UINT buttons; // MB_OK or MB_YESNO, with MB_DEFBUTTON2 when No is the default (Enter's)
};

// Answers this thread's message boxes as they open, in the scripted order. A box nobody
// expected, or a scripted answer left over, fails the test.
class BoxAnswerer {
public:
    BoxAnswerer();
    ~BoxAnswerer();
    // The button (IDOK, IDYES, IDNO) for the next box; the action runs while it is on screen.
    void Answer(int button, std::function<void()> action = nullptr);
    // The boxes seen so far, in order; an empty one past the last.
    BoxSeen Seen(size_t index) const { return index < seen_.size() ? seen_[index] : BoxSeen{"(no box)", "", 0, 0}; }
    size_t Count() const { return seen_.size(); }
    void OnBox(HWND box);

private:
    HHOOK hook_;
    std::deque<std::pair<int, std::function<void()>>> script_;
    std::vector<BoxSeen> seen_;
    std::vector<HWND> answered_; // a box activated again keeps its first answer
};

// Whether a box showed this text, caption, icon and buttons; a failure lists the differences.
::testing::AssertionResult IsBox(const BoxSeen &box, const std::string &text, const std::string &caption, UINT icon,
                                 UINT buttons = MB_OK);

// The program's real start-up in this process, in a fresh working folder, with HKEY_CURRENT_USER
// redirected to a scratch key. Script the boxes before acting.
class ProgramTest : public ::testing::Test {
protected:
    ProgramTest();
    ~ProgramTest() override;

    // Once per test; settings may be written to the registry before.
    void Start()
    {
        StartProgram(GetModuleHandleA(NULL));
        ASSERT_TRUE(IsWindow(AppState.MainWindow));
    }
    void Command(int id) { SendMessageA(AppState.MainWindow, WM_COMMAND, id, 0); }
    void Drop(const std::string &path);  // as Explorer drops one file: by its wide name
    void Type(HWND field, const std::string &text) { SetWindowTextA(field, text.c_str()); }
    bool QuitPosted(); // the program asked to end (the request is taken off the queue)
    void RedirectRegistry() { RegOverridePredefKey(HKEY_CURRENT_USER, scratch_); }

    TempFolder folder;
    BoxAnswerer boxes;

private:
    HKEY scratch_;
    std::string scratchName_;
};

void Click(HWND button); // BM_CLICK: a check box flips, then its command runs
// Waits until done() holds, asking every 25 ms, at most ms milliseconds: whether it came to hold.
inline bool Await(const std::function<bool()> &done, int ms = 10000)
{
    for (int waited = 0; !done(); waited += 25, Sleep(25))
        if (waited >= ms)
            return false;
    return true;
}
// A key typed as a person types it: read by whatever has the focus, in whatever program, when it is read.
inline void Key(BYTE key) { keybd_event(key, 0, 0, 0), keybd_event(key, 0, KEYEVENTF_KEYUP, 0); }
// A text (UTF-8) typed as an input method types it, whatever the keyboard: a VK_PACKET per UTF-16 unit.
void TypeKeys(const std::string &text);
inline std::string Repeat(const std::string &text, int times) { return times > 0 ? text + Repeat(text, times - 1) : ""; }
bool Checked(HWND button);
std::string Text(HWND window); // of this process's windows or another's
// The whole text of a tip: that of the tool of window with the identifier id (0: the window's own).
std::string TipText(HWND tooltip, HWND window, UINT_PTR id = 0);
// The program's key under HKEY_CURRENT_USER, and one of its values as raw bytes (empty when absent).
const char ProgramKey[] = "Software\\Drelwick\\Morvane";
Bytes ProgramValue(const char *name, DWORD *type = nullptr);
void Store(const char *name, DWORD type, const Bytes &data);

// Drives the real Morvane.exe from another process, as a person would: it starts the program,
// types into its fields, clicks, reads and answers its boxes, and waits for it to end.
class RunningProgram {
public:
    // Starts build\Morvane.exe (or program) in the folder with the arguments; waits for its visible, active main window.
    explicit RunningProgram(const std::string &folder, const std::string &arguments = "",
                            const std::string &program = MORVANE_BUILD_DIR "/Morvane.exe");
    ~RunningProgram(); // ends the process if it is still running

    HWND Window() const { return window_; }
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    HWND ChildByText(const std::string &text) const;

    void SetText(HWND field, const std::string &text); // runs the field's command
    bool ClickAndWait(HWND button); // false when the click did not return (a box is open)
    HWND Focus() const; // the program's control that has the keyboard focus

    // A box (or another window of the class and caption) of the program; null after 10 s.
    HWND WaitForWindow(const char *className = "#32770", const char *caption = nullptr);
    void Answer(HWND box, int button); // and waits until it is gone and the window has the keys again
    int WaitExit();                    // the exit code, or -1 after 20 s

private:
    PROCESS_INFORMATION process_;
    HWND window_;
};

// The text of a box found by WaitForWindow.
inline std::string BoxText(HWND box) { return Text(GetDlgItem(box, 0xFFFF)); }
