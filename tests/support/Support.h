// The tests' one support layer: files and folders, a box answerer, and the program started in
// this process on a redirected registry.
#pragma once

#include "core/AppState.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

typedef std::vector<uint8_t> Bytes;

// Pseudo-random bytes from a seed; every value 0 ... 255 occurs, NUL and Ctrl-Z included.
Bytes RandomBytes(size_t size, uint32_t seed = 7);
bool WriteBytes(const std::string &path, const Bytes &bytes);
Bytes ReadBytes(const std::string &path); // empty when the file cannot be read
std::string ReadText(const std::string &path);
bool Exists(const std::string &path);

// Runs a command line in a folder and waits; its exit code, or -1.
int RunAndWait(const std::string &commandLine, const std::string &folder = std::string());

// A fresh folder under Z:\tmp (or under base), removed with its content afterwards.
class TempFolder {
public:
    explicit TempFolder(const std::string &base = "Z:\\tmp");
    ~TempFolder();
    const std::string &Path() const { return path_; }
    std::string operator/(const std::string &name) const { return path_ + "\\" + name; }
    // The same folder as Linux sees it (Wine maps Z: to the root).
    std::string Unix() const;
    // Runs a Linux shell command and waits until it is done (at most a minute). Wine starts a
    // Linux program without a process handle to wait on: the shell leaves a mark here instead.
    void RunLinux(const std::string &command) const;

private:
    std::string path_;
};

struct BoxSeen {
    std::string text, caption;
    UINT icon;    // MB_ICONERROR, MB_ICONWARNING, MB_ICONQUESTION, MB_ICONINFORMATION or 0
    UINT buttons; // MB_OK or MB_YESNO
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

    void Start(); // once per test; settings may be written to the registry before
    void Command(int id) { SendMessageA(AppState.MainWindow, WM_COMMAND, id, 0); }
    void Drop(const std::string &path); // as Explorer drops one file
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
bool Checked(HWND button);
std::string Text(HWND window);
// A registry value of the program's key as raw bytes (empty when absent), and its type.
Bytes ProgramValue(const char *name, DWORD *type = nullptr);
