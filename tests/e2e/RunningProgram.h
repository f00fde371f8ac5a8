// Drives the real Morvane.exe from another process, as a person would: it starts the program,
// finds its window and controls, types into fields, clicks, reads and answers its message boxes,
// and waits for it to end.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

// Path of Morvane.exe beside the build's tests folder.
std::string ProgramPath();

class RunningProgram {
public:
    // Starts Morvane.exe with the given working directory; waits until its main window is visible
    // (or, with expectVisible false, until it exists). Arguments are added to the command line;
    // a show command other than -1 is passed in the start-up information.
    explicit RunningProgram(const std::string &workingDirectory, bool expectVisible = true,
                            const std::string &programPath = ProgramPath(), const std::string &arguments = "",
                            int showCommand = -1);
    ~RunningProgram();

    bool Started() const { return window_ != NULL; }
    HWND Window() const { return window_; }
    DWORD ProcessId() const { return process_.dwProcessId; }

    HWND Control(int id) const;
    // The status panes and other controls without an id, by creation order among "Static" children.
    HWND StaticChild(int index) const;
    std::string Text(HWND control) const;
    // The child control showing this text (the check boxes and radio buttons share their ids).
    HWND ChildByText(const std::string &text) const;

    // Types a whole text into a field (WM_SETTEXT works across processes and notifies the program).
    void SetText(HWND control, const std::string &text);
    // Clicks a button without waiting (a click may open a modal box).
    void Click(HWND button);
    // Clicks and waits until the program has handled the click; false when it did not return in
    // time (a modal box is open, for example).
    bool ClickAndWait(HWND button, unsigned timeoutMs = 60000);
    void PostCommand(int id);
    int Checked(HWND button) const;

    // Waits for a message box of the program; empty caption when none came within the time.
    struct Box {
        HWND window;
        std::string caption, text;
    };
    Box WaitForBox(unsigned timeoutMs = 10000);
    // Waits for a visible top-level window of the program with this class (and caption, unless
    // empty); null when none came.
    HWND WaitForWindow(const char *className, const std::string &caption, unsigned timeoutMs = 10000);
    // Presses a button of the box and waits until the box is gone.
    void Answer(const Box &box, int button);
    // Waits until the program answers a sent message (sent messages overtake posted ones: this
    // does not wait for posted clicks).
    bool WaitIdle(unsigned timeoutMs = 20000);

    // Waits for the process to end; returns its exit code, or -1 on time-out.
    int WaitExit(unsigned timeoutMs = 20000);

private:
    PROCESS_INFORMATION process_;
    HWND window_;
};

// What the screen shows in a rectangle (screen coordinates): the pixels, top row first, as 0xRRGGBB.
struct Shot {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};
Shot TakeShot(const RECT &area);
// Writes a shot as a 24-bit .bmp file.
bool SaveBitmap(const Shot &shot, const std::string &path);

// Saves what the screen shows in a rectangle (screen coordinates) as a 24-bit BMP and returns
// the number of distinct colours in it (0 when nothing could be read or written).
int SaveScreenshot(const std::string &path, const RECT &area);

// A window appears before it is painted and nothing signals a finished paint, so this takes the
// screenshot again until it shows more than `fewestColours` colours or the time is up; returns
// the last count.
int SaveScreenshotOnceDrawn(const std::string &path, const RECT &area, int fewestColours,
                            unsigned timeoutMs = 5000);

// Folder for screenshots: build\screenshots beside the tests folder (created when missing).
std::string ScreenshotFolder();

// Runs a command line (e.g. "reg query ...") and returns what it printed.
std::string RunAndCapture(const std::string &commandLine, int *exitCode = nullptr);
