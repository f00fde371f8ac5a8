// A hidden stand-in for the main window with the controls that the split, batch and log code
// consult: the four option check boxes, the status name pane and the progress bar. It fills the
// handles of AppState and clears them again when it goes.
#pragma once

#include <windows.h>

class TestWindow {
public:
    TestWindow();
    ~TestWindow();
    TestWindow(const TestWindow &) = delete;
    TestWindow &operator=(const TestWindow &) = delete;

    HWND Window() const { return window_; }

private:
    HWND window_;
};

// Sets a check box to checked (1) or unchecked (0).
void SetCheck(HWND control, int checked);

// Text of a window, as GetWindowTextA reads it.
#include <string>
std::string WindowText(HWND window);

// Resets AppState to zero and the given working directory as CurrentDirectory.
void ResetAppState(const std::string &currentDirectory);

// For the command-line tools that run the engine: makes the source's folder the working directory
// and CurrentDirectory (AppState reset), selects the source, and sets the piece size and the output
// folder. Create the TestWindow afterwards. False when source names no file.
bool PrepareToolSplit(const char *source, const char *splitSize, const char *outputFolder);
