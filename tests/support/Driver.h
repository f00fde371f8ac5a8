// Drives the real Morvane.exe from another process, as a person would: it starts the program,
// types into its fields, clicks, reads and answers its boxes, and waits for it to end.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

class RunningProgram {
public:
    // Starts build\Morvane.exe in the folder and waits for its visible main window.
    explicit RunningProgram(const std::string &folder);
    ~RunningProgram(); // ends the process if it is still running

    HWND Window() const { return window_; }
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    HWND ChildByText(const std::string &text) const;
    std::string Text(HWND window) const;

    void SetText(HWND field, const std::string &text); // runs the field's command
    void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); } // returns at once
    bool ClickAndWait(HWND button); // false when the click did not return (a box is open)
    void Key(UINT key) { PostMessageA(window_, WM_KEYDOWN, key, 0); }

    // A box (or another window of the class and caption) of the program; null after 10 s.
    HWND WaitForWindow(const char *className = "#32770", const char *caption = nullptr);
    void Answer(HWND box, int button); // and waits until it is gone
    int WaitExit();                    // the exit code, or -1 after 20 s

private:
    PROCESS_INFORMATION process_;
    HWND window_;
};

// The text of a box found by WaitForWindow.
std::string BoxText(const RunningProgram &program, HWND box);

// What the screen shows of a window: its pixels as 0xRRGGBB, top row first.
std::vector<uint32_t> Pixels(HWND window, int *width);

// The number of colours the screen shows in the window once it is drawn (a window is painted a
// little after it appears): taken again until there are more than `fewest`, for at most 5 s.
int ColoursOnceDrawn(HWND window, int fewest);
