// Starts the program's real main window in the test process through its real start-up code,
// with the registry's HKEY_CURRENT_USER redirected to a fresh scratch key and a fresh folder as
// the working directory. Message boxes are answered by `boxes` (script them before acting).
#pragma once

#include "core/AppState.h"
#include "support/Files.h"
#include "support/MessageBoxAnswerer.h"
#include "support/TempFolder.h"
#include "support/TestWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// HKEY_CURRENT_USER redirected to HKCU\Software\MorvaneTests\<unique> while it lives.
class RegistryRedirect {
public:
    RegistryRedirect();
    ~RegistryRedirect();
    RegistryRedirect(const RegistryRedirect &) = delete;
    RegistryRedirect &operator=(const RegistryRedirect &) = delete;

    // Redirects HKEY_CURRENT_USER to the scratch key again, after a test pointed it elsewhere.
    void Reapply() { RegOverridePredefKey(HKEY_CURRENT_USER, scratch_); }

private:
    HKEY scratch_;
    std::string name_;
};

class ProgramFixture : public ::testing::Test {
protected:
    ProgramFixture();
    ~ProgramFixture() override;

    // Runs the program's start-up (class, window, controls, settings). Call once per test; the
    // settings in the redirected registry can be written before it.
    void Start();

    // Sends a command as a control or menu item would (notification code in the high word).
    void Command(int id, int notification = 0);

    // Delivers whatever is waiting in this thread's queue (not WM_QUIT: see QuitPosted).
    void Pump();

    // True when the quit request has been posted (it is taken off the queue).
    bool QuitPosted();

    // Drops the given paths (in this order) on the main window, as Explorer would.
    void Drop(const std::vector<std::string> &paths);

    // HKCU\Software\Drelwick\Morvane in the redirected registry (0 when absent).
    HKEY OpenProgramKey();

    TempFolder folder;
    std::unique_ptr<RegistryRedirect> registry;
    std::unique_ptr<MessageBoxAnswerer> boxes;
    bool quit = false;
};

// The message the shell sends to the main window for the tray icon (the mouse message in lParam).
const UINT TrayNotify = 0x203;

// Lets go of the left button over the tray icon, then expects the window shown again, not
// minimised, with its top-left corner at (x, y) on the screen.
void ExpectTrayClickRestoresAt(int x, int y);

// What the tests read off the real main window, and a real click on one of its buttons.
void Click(HWND button); // BM_CLICK: the box flips first, then its command runs
bool Checked(HWND button);
bool Enabled(HWND control);
bool Topmost(); // the main window is always on top
HICON ButtonIcon(HWND button);
std::string TipText(HWND tooltip, HWND button); // what the tooltip shows for the button's tool
std::string Title();
std::string NamePane();
std::string SizePane();
std::string PiecesPane();
UINT AutoSplitState(); // the Auto Split entry of the tray menu, as GetMenuState reports it

// Writes a file of pseudo-random bytes (a failed write fails the test) and returns them.
Bytes MakeFile(const std::string &path, size_t size, uint32_t seed = 7);
