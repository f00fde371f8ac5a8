// The last ways a split could write over the user's file, or report what did not happen, each
// driven as the user meets it on the real main window in this process.
#include "support/ProgramFixture.h"

#include "resources/resource.h"

#include <shlobj.h>

class Safety : public ProgramFixture {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(Start());
        home = AppState.CurrentDirectory;
    }

    static void Type(HWND field, const std::string &text) { SetWindowTextA(field, text.c_str()); }

    std::string home;
};

TEST_F(Safety, ABatSourceGetsNoBatchFileAndItsLogSaysNone)
{
    Bytes source = MakeFile(folder / "Setup.BAT", 3000000);
    Click(AppState.UseOutputCheck); // the pieces go beside the source
    Click(AppState.SubDirectoryCheck);
    Type(AppState.FileNameEdit, "Setup.BAT");
    EXPECT_FALSE(Enabled(AppState.BatchFileCheck));
    EXPECT_TRUE(Checked(AppState.BatchFileCheck)) << "a disabled option keeps its check";

    Click(AppState.SplitButton); // no box: the question to overwrite "Setup.bat" must not come
    EXPECT_EQ(ReadBytes(folder / "Setup.BAT"), source);
    EXPECT_EQ(SizeOf(folder / "Setup.003"), 3000000 - 2 * 1457000);
    EXPECT_NE(ReadText(folder / "Setup.log").find("\r\nBatch file........... None\r\n"), std::string::npos);
}

TEST_F(Safety, UninstallRemovesTheWholeKeyOrSaysItCouldNot)
{
    HKEY extra = NULL;
    RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Drelwick\\Morvane\\Extra", &extra);
    RegCloseKey(extra);

    // A registry out of reach: the user's root is not a key at all.
    HANDLE notAKey = CreateEventA(NULL, TRUE, FALSE, NULL);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, (HKEY)notAKey), ERROR_SUCCESS);
    boxes->Answer(IDYES);
    boxes->Answer(IDOK);
    Command(CmdUninstall);
    registry->Reapply();
    CloseHandle(notAKey);
    ASSERT_EQ(boxes->Boxes().size(), 2u);
    EXPECT_TRUE(IsBox(boxes->Boxes()[1],
                      "Could not remove the registry key\nHKEY_CURRENT_USER\\Software\\Drelwick\\Morvane", "Error",
                      MB_ICONERROR, MB_OK));
    EXPECT_FALSE(QuitPosted());
    EXPECT_TRUE(IsWindow(AppState.MainWindow)) << "the program goes on";

    // Reachable, with a subkey of its own: the whole key goes, the maker key stays.
    boxes->Answer(IDYES);
    boxes->Answer(IDOK);
    Command(CmdUninstall);
    ASSERT_EQ(boxes->Boxes().size(), 4u);
    EXPECT_EQ(boxes->Boxes()[3].caption, "Uninstall Complete");
    EXPECT_EQ(OpenProgramKey(), (HKEY)NULL);
    HKEY maker = NULL;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Drelwick", 0, KEY_READ, &maker), ERROR_SUCCESS);
    RegCloseKey(maker);
    EXPECT_TRUE(QuitPosted());
}

TEST_F(Safety, ADropFromAFolderThatCannotBeEnteredSelectsAndSplitsNothingElsewhere)
{
    MakeFile(folder / "data.bin", 3000000); // a file of the same name in the current folder
    Command(CmdAutoSplit);
    // The ANSI drop gives '?' for a character outside the code page: no folder has that name.
    std::string unreachable = folder / "f?lder\\";
    boxes->Answer(IDOK);
    Drop({unreachable + "data.bin"});
    ASSERT_EQ(boxes->Boxes().size(), 1u);
    EXPECT_TRUE(IsBox(boxes->Boxes()[0], "Could not open the folder\n" + unreachable, "Error", MB_ICONERROR, MB_OK));
    EXPECT_FALSE(Exists(folder / "data")) << "nothing was split";
    EXPECT_EQ(WindowText(AppState.FileNameEdit), "");
    EXPECT_FALSE(Enabled(AppState.SplitButton));
    EXPECT_EQ(WorkingDirectory(), home);
}

TEST_F(Safety, ALogThatCannotListAPieceIsClosedBeforeItSaysSo)
{
    MakeFile(folder / "data.bin", 3000000);
    ASSERT_TRUE(WriteBytes(folder / "data.log", Bytes(3, 'x')));
    Click(AppState.SubDirectoryCheck);
    Type(AppState.FileNameEdit, "data.bin");

    HANDLE held = INVALID_HANDLE_VALUE;
    bool logClosed = false;
    boxes->Answer(IDYES, [&] { // overwrite the log, while another program holds the first piece
        held = CreateFileA((folder / "data.001").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    });
    boxes->Answer(IDOK, [&] {
        HANDLE log = CreateFileA((folder / "data.log").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        logClosed = log != INVALID_HANDLE_VALUE;
        CloseHandle(log);
    });
    Click(AppState.SplitButton);
    CloseHandle(held);
    ASSERT_EQ(boxes->Boxes().size(), 2u);
    EXPECT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(IsBox(boxes->Boxes()[1], "Null file handle", "Error", MB_ICONERROR, MB_OK));
    EXPECT_TRUE(logClosed) << "the log was still open while its box was shown";
}

// The folder picker answered with a folder by its path, as a user would pick it.
static std::string PickedFolder;

static LRESULT CALLBACK PickFolder(int code, WPARAM wParam, LPARAM lParam)
{
    HWND picker = (HWND)wParam;
    if (code == HCBT_ACTIVATE && FindWindowExA(picker, NULL, "SysTreeView32", NULL) != NULL) {
        SendMessageA(picker, BFFM_SETSELECTIONA, TRUE, (LPARAM)PickedFolder.c_str());
        PostMessageA(picker, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

TEST_F(Safety, AFolderPickedWithAPathLongerThanTheOutputFieldIsRefused)
{
    std::string deep = folder.Path();
    while (deep.size() < 258) {
        deep += "\\" + std::string(257 - deep.size() > 60 ? 40 : 257 - deep.size(), 'd');
        ASSERT_TRUE(CreateDirectoryA(deep.c_str(), NULL)) << deep;
    }
    ASSERT_EQ(deep.size(), 258u);
    PickedFolder = deep;
    HHOOK hook = SetWindowsHookExA(WH_CBT, PickFolder, NULL, GetCurrentThreadId());
    boxes->Answer(IDOK);
    Click(AppState.BrowseButton);
    UnhookWindowsHookEx(hook);
    ASSERT_EQ(boxes->Boxes().size(), 1u);
    EXPECT_TRUE(IsBox(boxes->Boxes()[0],
                      deep + "\nis too long for the output path\n"
                             "Choose a folder whose path has at most 256 characters",
                      "Error", MB_ICONERROR, MB_OK));
    EXPECT_EQ(WindowText(AppState.OutputPathEdit), home) << "the old folder stays";
    EXPECT_STREQ(AppState.OutputDirectory, home.c_str());
}
