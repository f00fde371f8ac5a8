// As a user meets the help: the real Morvane.exe, started from a folder that holds Morvane.hlp,
// is asked for Help; the platform's viewer (another process) must come up with the help's
// caption and the contents topic on its page. Without the file, the program's own message
// appears and no viewer starts. The viewer's window is saved as a bitmap beside this test program
// (viewer-contents.bmp) for a person to look at.
#include "HelpTestPaths.h"
#include "HlpReader.h"
#include "RunningProgram.h"

#include "resources/resource.h"
#include "support/Files.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <set>

static const char ProgramKey[] = "Software\\Drelwick\\Morvane";
static const char HelpCaption[] = "Morvane 3.2 Help";
static const char ViewerClass[] = "MS_WINHELP"; // the help viewer's main window, on Windows and Wine

struct TopWindows {
    std::set<HWND> windows;
};

static BOOL CALLBACK CollectWindow(HWND window, LPARAM lParam)
{
    ((TopWindows *)lParam)->windows.insert(window);
    return TRUE;
}

static std::set<HWND> TopLevelWindows()
{
    TopWindows all;
    EnumWindows(CollectWindow, (LPARAM)&all);
    return all.windows;
}

static std::string Caption(HWND window)
{
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Lines of jump text on the page: bands of rows holding the viewer's jump colour (green),
// separated by a few rows without it (text and its underline form one band).
static int JumpLines(const Shot &shot)
{
    const uint32_t jumpGreen = 0x008000;
    int bands = 0;
    int quietRows = 1000;
    for (int y = 0; y < shot.height; y++) {
        bool green = false;
        for (int x = 0; x < shot.width && !green; x++)
            green = shot.pixels[(size_t)y * shot.width + x] == jumpGreen;
        if (green && quietRows >= 3)
            bands++;
        quietRows = green ? 0 : quietRows + 1;
    }
    return bands;
}

class HelpFromTheProgram : public ::testing::Test {
protected:
    HelpFromTheProgram() { SHDeleteKeyA(HKEY_CURRENT_USER, ProgramKey); }
    ~HelpFromTheProgram() override
    {
        for (DWORD pid : viewers)
            EndProcess(pid);
        SHDeleteKeyA(HKEY_CURRENT_USER, ProgramKey);
    }

    // Waits (bounded) for a new visible top-level window of another process than the program
    // whose caption names the help; remembers its process so that it is always ended.
    HWND WaitForViewer(const std::set<HWND> &before, DWORD programPid, unsigned timeoutMs = 30000)
    {
        for (unsigned waited = 0; waited < timeoutMs; waited += 50) {
            for (HWND window : TopLevelWindows()) {
                DWORD pid = 0;
                GetWindowThreadProcessId(window, &pid);
                if (before.count(window) || pid == programPid || !IsWindowVisible(window))
                    continue;
                std::string caption = Caption(window);
                if (caption.find(HelpCaption) != std::string::npos || caption.find("Morvane.hlp") != std::string::npos) {
                    viewers.push_back(pid);
                    return window;
                }
            }
            Sleep(50);
        }
        return NULL;
    }

    // New visible top-level windows of other processes than the program, if any.
    static std::vector<HWND> NewWindows(const std::set<HWND> &before, DWORD programPid)
    {
        std::vector<HWND> found;
        for (HWND window : TopLevelWindows()) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (!before.count(window) && pid != programPid && IsWindowVisible(window))
                found.push_back(window);
        }
        return found;
    }

    static void EndProcess(DWORD pid)
    {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (process == NULL)
            return;
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }

    TempFolder folder;
    std::vector<DWORD> viewers;
};

TEST_F(HelpFromTheProgram, OpensTheViewerAtTheContentsWhenTheFileIsInTheStartFolder)
{
    ASSERT_TRUE(CopyFileA(BuiltHelpFile().c_str(), (folder / "Morvane.hlp").c_str(), FALSE)) << BuiltHelpFile();
    RunningProgram program(folder.Path(), true, BuiltProgram());
    ASSERT_TRUE(program.Started()) << "no visible MainWindow";
    std::set<HWND> before = TopLevelWindows();

    program.PostCommand(CmdHelp);
    HWND viewer = WaitForViewer(before, program.ProcessId());
    ASSERT_NE(viewer, (HWND)NULL) << "no help viewer window appeared";
    EXPECT_EQ(Caption(viewer), HelpCaption);
    EXPECT_TRUE(program.WaitIdle()) << "the program is still busy after opening the help";

    // The page shows the contents topic: one line of jump text for each jump that the file's
    // contents topic holds (every other topic; no other topic has half as many).
    HlpFile help;
    std::string problem;
    ASSERT_TRUE(help.Load(ReadWholeFile(BuiltHelpFile()), &problem)) << problem;
    const HlpTopic *contents = help.TopicAt(help.ContentsOffset());
    ASSERT_NE(contents, nullptr);
    int contentsJumps = 0;
    for (const HlpParagraph &paragraph : contents->paragraphs)
        for (const HlpRun &run : paragraph.runs)
            contentsJumps += run.jump ? 1 : 0;
    ASSERT_GE(contentsJumps, 10);

    SetWindowPos(viewer, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RECT area;
    ASSERT_TRUE(GetWindowRect(viewer, &area));
    Shot shot;
    for (int attempt = 0; attempt < 100; attempt++) { // until the page is painted, at most 10 s
        RedrawWindow(viewer, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        shot = TakeShot(area);
        if (JumpLines(shot) == contentsJumps)
            break;
        Sleep(100);
    }
    std::string saved = BuildFolder() + "\\help\\tests\\viewer-contents.bmp";
    EXPECT_TRUE(SaveBitmap(shot, saved)) << saved;
    EXPECT_EQ(JumpLines(shot), contentsJumps) << "the page does not show the contents topic; see " << saved;
}

TEST_F(HelpFromTheProgram, SaysWhereTheFileShouldBeWhenItIsMissing)
{
    ASSERT_FALSE(Exists(folder / "Morvane.hlp"));
    RunningProgram program(folder.Path(), true, BuiltProgram());
    ASSERT_TRUE(program.Started());
    std::set<HWND> before = TopLevelWindows();

    program.PostCommand(CmdHelp);
    RunningProgram::Box box = program.WaitForBox();
    ASSERT_NE(box.window, (HWND)NULL) << "no message box";
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.text, "Could not find Morvane.hlp\nMake sure it is in the same directory as Morvane.exe");
    program.Answer(box, IDOK);
    EXPECT_FALSE(IsWindow(box.window));
    ASSERT_TRUE(program.WaitIdle());

    // WinHelp starts the viewer and waits for its window, so had the program asked for the help,
    // the viewer's window would be up by now.
    for (HWND window : NewWindows(before, program.ProcessId())) {
        char className[64] = "";
        GetClassNameA(window, className, sizeof className);
        if (strcmp(className, ViewerClass) != 0 && Caption(window).find(HelpCaption) == std::string::npos)
            continue;
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        viewers.push_back(pid);
        ADD_FAILURE() << "the help viewer came up: \"" << Caption(window) << "\"";
    }
}
