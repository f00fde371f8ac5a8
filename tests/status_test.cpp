// The status display and the option rules on the real main window, and the Split command as the
// user drives it: what the title, the panes, the presets and the enabled states show after each
// change, and what a split leaves on disk and on the window.
#include "support/ProgramFixture.h"

#include "form/Form.h"
#include "resources/resource.h"
#include "split/Split.h"

#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

// --- Shared set-up ------------------------------------------------------------------------------

class MainWindowStatus : public ProgramFixture {
protected:
    // Starts the program and remembers the folder it started in (the first-run source and
    // output folder).
    void Open()
    {
        ASSERT_NO_FATAL_FAILURE(Start());
        home = AppState.CurrentDirectory;
        ASSERT_FALSE(home.empty());
    }

    // The three edit fields, written as a drop, a dialog or a preset writes them: the field's
    // command runs before the call returns.
    void TypeName(const std::string &name) { SetWindowTextA(AppState.FileNameEdit, name.c_str()); }
    void TypeSize(const std::string &size) { SetWindowTextA(AppState.SplitSizeEdit, size.c_str()); }
    void TypeOutput(const std::string &path) { SetWindowTextA(AppState.OutputPathEdit, path.c_str()); }

    // Keystrokes into the size field, one character at a time.
    void KeyIntoSize(char key) { SendMessageA(AppState.SplitSizeEdit, WM_CHAR, (WPARAM)(unsigned char)key, 0); }

    static bool SplitEnabled() { return Enabled(AppState.SplitButton); }

    // The title while a file is selected: the folder, a backslash and the name.
    std::string PathTitle(const std::string &name) const { return home + "\\" + name; }

    void ExpectPanes(const std::string &name, const std::string &size, const std::string &pieces)
    {
        EXPECT_EQ(NamePane(), name);
        EXPECT_EQ(SizePane(), size);
        EXPECT_EQ(PiecesPane(), pieces);
    }

    // The window between splits: bar hidden and empty, the source folder as working directory,
    // and title and panes describing the selected source.
    void ExpectIdle(const std::string &name, const std::string &size, const std::string &pieces)
    {
        EXPECT_FALSE(IsWindowVisible(AppState.ProgressBar)) << "progress bar still shown";
        EXPECT_EQ(SendMessageA(AppState.ProgressBar, PBM_GETPOS, 0, 0), 0) << "progress bar not reset";
        EXPECT_EQ(WorkingDirectory(), home);
        EXPECT_STREQ(AppState.CurrentDirectory, home.c_str());
        EXPECT_EQ(Title(), PathTitle(name));
        ExpectPanes(name, size, pieces);
    }

    // Names in a folder, "." and ".." left out, sorted.
    static std::vector<std::string> Listing(const std::string &path)
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..")
                names.push_back(name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string home;
};

static std::string Repeat(char c, size_t count) { return std::string(count, c); }

// --- The file name and the status panes -----------------------------------------------------------

class FileStatus : public MainWindowStatus {};

TEST_F(FileStatus, AnEmptyOrMissingNameClearsThePanesAndKeepsTheLastMeasurement)
{
    MakeFile(folder / "two.bin", 2914000);
    ASSERT_NO_FATAL_FAILURE(Open());
    TypeName("two.bin");
    ASSERT_TRUE(SplitEnabled());
    ASSERT_EQ(AppState.FileSize, 2914000);
    ASSERT_EQ(AppState.PieceCount, 2);

    for (const char *name : {"missing.zip", "", "two.bin.missing"}) {
        SCOPED_TRACE(std::string("name \"") + name + "\"");
        TypeName("two.bin");
        TypeName(name);
        EXPECT_EQ(Title(), "Morvane 3.2");
        ExpectPanes("", "", "");
        EXPECT_FALSE(SplitEnabled());
        EXPECT_EQ(AppState.FileSize, 2914000) << "a missing file measures nothing";
        EXPECT_EQ(AppState.PieceCount, 2);
    }
    EXPECT_TRUE(boxes->Boxes().empty()) << "a missing file is no error";
}

TEST_F(FileStatus, TheTitleIsTheFolderABackslashAndTheName)
{
    MakeFile(folder / "report.pdf", 5000);
    ASSERT_NO_FATAL_FAILURE(Open());
    TypeName("report.pdf");
    EXPECT_EQ(Title(), PathTitle("report.pdf"));
    EXPECT_EQ(NamePane(), "report.pdf");
    EXPECT_EQ(SizePane(), "5000 bytes");
}

TEST_F(FileStatus, AnEmptyFileShowsZeroBytesAndZeroSplits)
{
    MakeFile(folder / "two.bin", 2914000);
    MakeFile(folder / "empty.txt", 0);
    ASSERT_NO_FATAL_FAILURE(Open());
    TypeName("two.bin");
    ASSERT_TRUE(SplitEnabled());
    TypeName("empty.txt");
    EXPECT_EQ(Title(), PathTitle("empty.txt"));
    ExpectPanes("empty.txt", "0 bytes", "0 splits");
    EXPECT_FALSE(SplitEnabled());
    EXPECT_EQ(AppState.FileSize, 0);
}

TEST_F(FileStatus, TwoAndThreePiecesAtTheDefaultSize)
{
    MakeFile(folder / "even.bin", 2914000);
    MakeFile(folder / "over.bin", 2914001);
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_EQ(AppState.SplitSize, 1457000);

    TypeName("even.bin");
    ExpectPanes("even.bin", "2914000 bytes", "2 splits");
    EXPECT_TRUE(SplitEnabled());
    EXPECT_EQ(AppState.PieceCount, 2);

    TypeName("over.bin");
    ExpectPanes("over.bin", "2914001 bytes", "3 splits");
    EXPECT_TRUE(SplitEnabled());
    EXPECT_EQ(AppState.FileSize, 2914001);
    EXPECT_EQ(AppState.PieceCount, 3);
}

TEST_F(FileStatus, NineHundredNinetyNinePiecesAreTheMostTheButtonAllows)
{
    MakeFile(folder / "most.bin", 9990);
    MakeFile(folder / "toomany.bin", 9991);
    ASSERT_NO_FATAL_FAILURE(Open());
    TypeSize("10");
    ASSERT_EQ(AppState.SplitSize, 10);

    TypeName("most.bin");
    ExpectPanes("most.bin", "9990 bytes", "999 splits");
    EXPECT_TRUE(SplitEnabled());
    EXPECT_EQ(AppState.PieceCount, 999);

    TypeName("toomany.bin");
    ExpectPanes("toomany.bin", "9991 bytes", "0 splits");
    EXPECT_FALSE(SplitEnabled());
    EXPECT_EQ(AppState.PieceCount, 1000);
}

TEST_F(FileStatus, AFileNoLargerThanTheSizeIsOnePieceShownAsZeroSplits)
{
    MakeFile(folder / "two.bin", 2914000);
    MakeFile(folder / "exact.bin", 1457000);
    MakeFile(folder / "small.bin", 2);
    ASSERT_NO_FATAL_FAILURE(Open());
    for (const char *name : {"exact.bin", "small.bin"}) {
        SCOPED_TRACE(name);
        TypeName("two.bin");
        ASSERT_TRUE(SplitEnabled());
        TypeName(name);
        EXPECT_EQ(NamePane(), name);
        EXPECT_EQ(PiecesPane(), "0 splits");
        EXPECT_FALSE(SplitEnabled());
        EXPECT_EQ(AppState.PieceCount, 1);
    }
    EXPECT_EQ(SizePane(), "2 bytes");
}

TEST_F(FileStatus, AFolderNameIsShownAsAFolderAndCannotBeSplit)
{
    MakeFile(folder / "two.bin", 2914000);
    ASSERT_TRUE(CreateDirectoryA((folder / "album").c_str(), NULL));
    ASSERT_NO_FATAL_FAILURE(Open());
    TypeName("two.bin");
    ASSERT_TRUE(SplitEnabled());
    TypeName("album");
    EXPECT_EQ(Title(), PathTitle("album"));
    ExpectPanes("album", "is a folder", "0 splits");
    EXPECT_FALSE(SplitEnabled());
    EXPECT_TRUE(boxes->Boxes().empty());
}

TEST_F(FileStatus, AFileHeldWithoutReadSharingCannotBeRead)
{
    MakeFile(folder / "two.bin", 2914000);
    MakeFile(folder / "locked.bin", 2914000);
    ASSERT_NO_FATAL_FAILURE(Open());
    HANDLE holder = CreateFileA((folder / "locked.bin").c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    TypeName("two.bin");
    ASSERT_TRUE(SplitEnabled());
    TypeName("locked.bin");
    EXPECT_EQ(Title(), PathTitle("locked.bin"));
    ExpectPanes("locked.bin", "cannot be read", "0 splits");
    EXPECT_FALSE(SplitEnabled());
    CloseHandle(holder);

    // Once the other holder lets go, the same name measures normally.
    TypeName("locked.bin");
    ExpectPanes("locked.bin", "2914000 bytes", "2 splits");
    EXPECT_TRUE(SplitEnabled());
}

TEST_F(FileStatus, FilesOfTwoGiBOrMoreAreShownAsTooLarge)
{
    MakeFile(folder / "two.bin", 2914000);
    ASSERT_NO_FATAL_FAILURE(Open());
    // 2 GiB exactly, and 4 GiB + 2914000 bytes, whose low 32 bits alone would look splittable.
    for (unsigned long long size : {2147483648ull, 4294967296ull + 2914000ull}) {
        SCOPED_TRACE(size);
        ASSERT_TRUE(MakeSparse(folder / "huge.iso", size));
        TypeName("two.bin");
        ASSERT_TRUE(SplitEnabled());
        TypeName("huge.iso");
        EXPECT_EQ(Title(), PathTitle("huge.iso"));
        ExpectPanes("huge.iso", "2 GB or more", "0 splits");
        EXPECT_FALSE(SplitEnabled());
    }
}

// --- The size field and the presets ---------------------------------------------------------------

class SizeRule : public MainWindowStatus {
protected:
    void ExpectPresets(bool p288, bool p144, bool p720)
    {
        EXPECT_EQ(Checked(AppState.Preset288Radio), p288) << "2.88 MB";
        EXPECT_EQ(Checked(AppState.Preset144Radio), p144) << "1.44 MB";
        EXPECT_EQ(Checked(AppState.Preset720Radio), p720) << "720 KB";
    }
};

TEST_F(SizeRule, AnEmptyOrZeroSizeGivesZeroSplitsAndClearsThePresets)
{
    MakeFile(folder / "data.zip", 3000);
    ASSERT_NO_FATAL_FAILURE(Open());
    for (const char *text : {"", "0"}) {
        SCOPED_TRACE(std::string("size \"") + text + "\"");
        TypeSize("1000");
        TypeName("data.zip");
        TypeSize("1457000");
        ASSERT_TRUE(Checked(AppState.Preset144Radio));
        TypeSize(text);
        EXPECT_EQ(AppState.SplitSize, 0);
        ExpectPanes("data.zip", "3000 bytes", "0 splits");
        EXPECT_FALSE(SplitEnabled());
        EXPECT_EQ(AppState.PieceCount, 0);
        ExpectPresets(false, false, false);
    }
}

TEST_F(SizeRule, EveryKeystrokeRecomputesAndTheLastOneOf1457000ChecksThePreset)
{
    MakeFile(folder / "data.zip", 2914001);
    ASSERT_NO_FATAL_FAILURE(Open());
    TypeName("data.zip");
    TypeSize("");
    ExpectPresets(false, false, false);

    const std::string typed = "1457000";
    for (size_t i = 0; i < typed.size(); i++) {
        KeyIntoSize(typed[i]);
        std::string prefix = typed.substr(0, i + 1);
        SCOPED_TRACE("after typing " + prefix);
        ASSERT_EQ(WindowText(AppState.SplitSizeEdit), prefix);
        EXPECT_EQ(AppState.SplitSize, atoi(prefix.c_str()));
        bool last = i + 1 == typed.size();
        ExpectPresets(false, last, false);
    }
    EXPECT_EQ(PiecesPane(), "3 splits");
    EXPECT_TRUE(SplitEnabled());

    KeyIntoSize('1');
    EXPECT_EQ(WindowText(AppState.SplitSizeEdit), "14570001");
    EXPECT_EQ(AppState.SplitSize, 14570001);
    ExpectPresets(false, false, false);
    EXPECT_EQ(PiecesPane(), "0 splits");
    EXPECT_FALSE(SplitEnabled());
}

TEST_F(SizeRule, ATenDigitSizeBeyondTheSignedRangeIsHeldAtItsLimit)
{
    MakeFile(folder / "data.zip", 3000);
    ASSERT_NO_FATAL_FAILURE(Open());
    TypeSize("1000");
    TypeName("data.zip");
    ASSERT_TRUE(SplitEnabled());

    TypeSize("9999999999");
    EXPECT_EQ(AppState.SplitSize, 2147483647);
    ExpectPanes("data.zip", "3000 bytes", "0 splits");
    EXPECT_FALSE(SplitEnabled());
    ExpectPresets(false, false, false);

    TypeSize("1000");
    TypeSize("2147483648");
    EXPECT_EQ(AppState.SplitSize, 2147483647);
    EXPECT_FALSE(SplitEnabled());

    // Only the first ten characters are read.
    TypeSize("14570000000");
    EXPECT_EQ(AppState.SplitSize, 1457000000);
}

TEST_F(SizeRule, ANegativeSizeSetFromCodeGivesZeroSplits)
{
    MakeFile(folder / "data.zip", 3000);
    ASSERT_NO_FATAL_FAILURE(Open());
    TypeSize("1000");
    TypeName("data.zip");
    ASSERT_TRUE(SplitEnabled());
    TypeSize("-5");
    EXPECT_EQ(AppState.SplitSize, -5);
    EXPECT_EQ(AppState.PieceCount, 0);
    ExpectPanes("data.zip", "3000 bytes", "0 splits");
    EXPECT_FALSE(SplitEnabled());
    ExpectPresets(false, false, false);
}

TEST_F(SizeRule, EachPresetWritesItsSizeAndRecomputesThePanes)
{
    // 2931001 bytes: 2 pieces of 2931000, 3 of 1457000, 5 of 730000.
    MakeFile(folder / "data.zip", 2931001);
    ASSERT_NO_FATAL_FAILURE(Open());
    TypeName("data.zip");
    TypeSize("1000");
    ASSERT_EQ(PiecesPane(), "0 splits");
    ExpectPresets(false, false, false);

    struct Case {
        HWND radio;
        const char *text;
        int size;
        const char *pieces;
        bool p288, p144, p720;
    } cases[] = {
        {AppState.Preset720Radio, "730000", 730000, "5 splits", false, false, true},
        {AppState.Preset288Radio, "2931000", 2931000, "2 splits", true, false, false},
        {AppState.Preset144Radio, "1457000", 1457000, "3 splits", false, true, false},
        {AppState.Preset720Radio, "730000", 730000, "5 splits", false, false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        Click(c.radio);
        EXPECT_EQ(WindowText(AppState.SplitSizeEdit), c.text);
        EXPECT_EQ(AppState.SplitSize, c.size);
        ExpectPanes("data.zip", "2931001 bytes", c.pieces);
        EXPECT_TRUE(SplitEnabled());
        ExpectPresets(c.p288, c.p144, c.p720);
    }
    EXPECT_TRUE(boxes->Boxes().empty());
}

TEST_F(SizeRule, TypingAPresetSizeChecksOnlyThatPreset)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ExpectPresets(false, true, false);
    TypeSize("2931000");
    ExpectPresets(true, false, false);
    TypeSize("730000");
    ExpectPresets(false, false, true);
    TypeSize("730001");
    ExpectPresets(false, false, false);
}

// --- The Sub Directory option ---------------------------------------------------------------------

class SubDirOption : public MainWindowStatus {
protected:
    // A name with a BaseName of the given length.
    static std::string NameOfBase(size_t length) { return Repeat('b', length) + ".zip"; }
};

TEST_F(SubDirOption, TheOutputFolderAndTwiceTheBaseNameMustStayWithin256)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_TRUE(Checked(AppState.UseOutputCheck));
    ASSERT_TRUE(Checked(AppState.SubDirectoryCheck));
    // The folder need not exist: only the length of its name counts.
    TypeOutput("C:\\" + Repeat('o', 197));
    ASSERT_EQ(strlen(AppState.OutputDirectory), 200u);

    TypeName(NameOfBase(26)); // 200 + 2 x 26 + 3 = 255
    EXPECT_TRUE(Enabled(AppState.SubDirectoryCheck));
    TypeName(NameOfBase(27)); // 257
    EXPECT_FALSE(Enabled(AppState.SubDirectoryCheck));
    EXPECT_TRUE(Checked(AppState.SubDirectoryCheck)) << "disabling keeps the user's choice";
    TypeName(NameOfBase(26));
    EXPECT_TRUE(Enabled(AppState.SubDirectoryCheck));

    // The output field re-evaluates the option too: 256 is still within, 257 is not.
    TypeOutput("C:\\" + Repeat('o', 198));
    EXPECT_TRUE(Enabled(AppState.SubDirectoryCheck));
    TypeOutput("C:\\" + Repeat('o', 199));
    EXPECT_FALSE(Enabled(AppState.SubDirectoryCheck));
    TypeOutput("C:\\" + Repeat('o', 197));
    EXPECT_TRUE(Enabled(AppState.SubDirectoryCheck));
}

TEST_F(SubDirOption, WithoutUseOutputTheSourceFolderCountsAndTheToggleReEvaluatesAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    const size_t d = strlen(AppState.CurrentDirectory);
    ASSERT_LT(d, 200u);
    const size_t fits = (253 - d) / 2; // d + 2 x fits + 3 <= 256 < d + 2 x (fits + 1) + 3
    TypeOutput("C:\\" + Repeat('o', 240));

    Click(AppState.UseOutputCheck);
    ASSERT_FALSE(Checked(AppState.UseOutputCheck));
    TypeName(NameOfBase(fits));
    EXPECT_TRUE(Enabled(AppState.SubDirectoryCheck)) << "the long output folder is not in use";
    TypeName(NameOfBase(fits + 1));
    EXPECT_FALSE(Enabled(AppState.SubDirectoryCheck));

    // With a short output folder in use the same name fits again, and back.
    TypeOutput("C:\\o");
    EXPECT_FALSE(Enabled(AppState.SubDirectoryCheck)) << "the output folder is not in use";
    Click(AppState.UseOutputCheck);
    ASSERT_TRUE(Checked(AppState.UseOutputCheck));
    EXPECT_TRUE(Enabled(AppState.SubDirectoryCheck));
    Click(AppState.UseOutputCheck);
    EXPECT_FALSE(Enabled(AppState.SubDirectoryCheck));

    // A long output folder in use disables a name that fits the source folder.
    TypeName(NameOfBase(fits));
    EXPECT_TRUE(Enabled(AppState.SubDirectoryCheck));
    TypeOutput("C:\\" + Repeat('o', 240));
    Click(AppState.UseOutputCheck);
    EXPECT_FALSE(Enabled(AppState.SubDirectoryCheck));
    Click(AppState.UseOutputCheck);
    EXPECT_TRUE(Enabled(AppState.SubDirectoryCheck));
    EXPECT_TRUE(Checked(AppState.SubDirectoryCheck));
}

// --- The pin --------------------------------------------------------------------------------------

class PinRule : public MainWindowStatus {
protected:
    void ExpectPin(bool onTop)
    {
        EXPECT_EQ(AppState.OnTop, onTop ? 1 : 0);
        EXPECT_EQ(Topmost(), onTop);
        EXPECT_EQ(ButtonIcon(AppState.PinButton), onTop ? AppState.PinOnIcon : AppState.PinOffIcon);
        EXPECT_EQ(TipText(AppState.PinTooltip, AppState.PinButton), onTop ? "always on top" : "click to keep on top");
    }
};

TEST_F(PinRule, AStateOtherThanZeroOrOneChangesNothing)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    for (int16_t state : {5, -1, 2}) {
        SCOPED_TRACE(state);
        SetOnTop(state);
        ExpectPin(false);
    }
    Command(CmdOnTop);
    for (int16_t state : {5, -1, 2}) {
        SCOPED_TRACE(state);
        SetOnTop(state);
        ExpectPin(true);
    }
}

// --- The Split command ----------------------------------------------------------------------------

class SplitCommand : public MainWindowStatus {
protected:
    // Writes a source into the start folder, starts the program, types the size and the name.
    void Prepare(const std::string &name, size_t size, const std::string &splitSize)
    {
        source = MakeFile(folder / name, size, (uint32_t)size);
        ASSERT_NO_FATAL_FAILURE(Open());
        TypeSize(splitSize);
        TypeName(name);
    }

    // The log names the batch file (or "None"), the piece count, and lists every piece.
    void ExpectLog(const std::string &path, const std::string &base, const std::string &batchLine,
                   size_t splitSize)
    {
        std::string log = ReadText(path);
        ASSERT_FALSE(log.empty()) << path << " missing";
        size_t count = (source.size() + splitSize - 1) / splitSize;
        EXPECT_NE(log.find("Original path........ " + home + "\r\n"), std::string::npos) << log;
        EXPECT_NE(log.find("Batch file........... " + batchLine + "\r\n"), std::string::npos) << log;
        EXPECT_NE(log.find("Number of splits..... " + std::to_string(count) + "\r\n\r\n"), std::string::npos) << log;
        size_t lines = 0;
        for (size_t k = 1; k <= count; k++) {
            size_t size = k < count ? splitSize : source.size() - (count - 1) * splitSize;
            char line[128];
            snprintf(line, sizeof line, " %3u. %s.%03u  %10u bytes   ", (unsigned)k, base.c_str(), (unsigned)k,
                     (unsigned)size);
            if (log.find(line) != std::string::npos)
                lines++;
            else
                ADD_FAILURE() << "no line for piece " << k << ": \"" << line << "\"";
        }
        EXPECT_EQ(lines, count);
        EXPECT_NE(log.find("  Total bytes split = " + std::to_string(source.size()) + " bytes\r\n"),
                  std::string::npos);
    }

    Bytes source;
};

TEST_F(SplitCommand, WithTheFirstRunOptionsPiecesBatchAndLogGoToASubFolderAndRejoin)
{
    // 3,500,000 bytes at the default 1,457,000: two full pieces and one of 586,000.
    source = MakeFile(folder / "data.zip", 3500000, 35);
    ASSERT_NO_FATAL_FAILURE(Open());
    TypeName("data.zip");
    ASSERT_TRUE(SplitEnabled());
    Click(AppState.SplitButton);

    EXPECT_TRUE(boxes->Boxes().empty());
    const std::string target = folder / "data";
    ASSERT_TRUE(IsFolder(target));
    ExpectPieces(target, "data", source, 1457000);
    EXPECT_EQ(SizeOf(target + "\\data.003"), 586000);
    ASSERT_TRUE(Exists(target + "\\data.bat"));
    ExpectLog(target + "\\data.log", "data", "data.bat", 1457000);
    EXPECT_EQ(Listing(target), (std::vector<std::string>{"data.001", "data.002", "data.003", "data.bat", "data.log"}));
    EXPECT_EQ(Listing(folder.Path()), (std::vector<std::string>{"data", "data.zip"}));
    ExpectIdle("data.zip", "3500000 bytes", "3 splits");
    EXPECT_TRUE(SplitEnabled());

    // The batch file rebuilds the source in the pieces' folder, away from the original.
    ASSERT_EQ(RunAndWait("cmd /c data.bat", target), 0);
    bool ok = false;
    Bytes rebuilt = ReadBytes(target + "\\data.zip", &ok);
    ASSERT_TRUE(ok) << "cmd did not rebuild data.zip";
    EXPECT_EQ(rebuilt.size(), source.size());
    EXPECT_TRUE(rebuilt == source) << "the rebuilt file differs from the source";
}

TEST_F(SplitCommand, TheSplitCommandSplitsAtATypedSize)
{
    Prepare("notes.txt", 2500, "1000");
    Command(CmdSplit);
    EXPECT_TRUE(boxes->Boxes().empty());
    ExpectPieces(folder / "notes", "notes", source, 1000);
    EXPECT_TRUE(Exists(folder / "notes\\notes.bat"));
    ExpectLog(folder / "notes\\notes.log", "notes", "notes.bat", 1000);
    ExpectIdle("notes.txt", "2500 bytes", "3 splits");
}

TEST_F(SplitCommand, WithoutBatchFileTheLogSaysNone)
{
    Prepare("data.zip", 2500, "1000");
    Click(AppState.BatchFileCheck);
    ASSERT_FALSE(Checked(AppState.BatchFileCheck));
    Command(CmdSplit);
    EXPECT_TRUE(boxes->Boxes().empty());
    ExpectPieces(folder / "data", "data", source, 1000);
    EXPECT_FALSE(Exists(folder / "data\\data.bat"));
    ExpectLog(folder / "data\\data.log", "data", "None", 1000);
    ExpectIdle("data.zip", "2500 bytes", "3 splits");
}

TEST_F(SplitCommand, WithoutLogFileNoLogIsWritten)
{
    Prepare("data.zip", 2500, "1000");
    Click(AppState.LogFileCheck);
    ASSERT_FALSE(Checked(AppState.LogFileCheck));
    Command(CmdSplit);
    EXPECT_TRUE(boxes->Boxes().empty());
    ExpectPieces(folder / "data", "data", source, 1000);
    EXPECT_TRUE(Exists(folder / "data\\data.bat"));
    EXPECT_EQ(Listing(folder / "data"), (std::vector<std::string>{"data.001", "data.002", "data.003", "data.bat"}));
    ExpectIdle("data.zip", "2500 bytes", "3 splits");
}

TEST_F(SplitCommand, WithoutSubDirectoryEverythingGoesIntoTheOutputFolder)
{
    Prepare("data.zip", 2500, "1000");
    const std::string out = folder / "out";
    ASSERT_TRUE(CreateDirectoryA(out.c_str(), NULL));
    TypeOutput(out);
    Click(AppState.SubDirectoryCheck);
    ASSERT_FALSE(Checked(AppState.SubDirectoryCheck));
    Command(CmdSplit);
    EXPECT_TRUE(boxes->Boxes().empty());
    ExpectPieces(out, "data", source, 1000);
    EXPECT_EQ(Listing(out), (std::vector<std::string>{"data.001", "data.002", "data.003", "data.bat", "data.log"}));
    ExpectLog(out + "\\data.log", "data", "data.bat", 1000);
    EXPECT_EQ(Listing(folder.Path()), (std::vector<std::string>{"data.zip", "out"}));
    ExpectIdle("data.zip", "2500 bytes", "3 splits");
}

TEST_F(SplitCommand, IntoAnOutputSubFolderTheWindowReturnsToTheSourceFolder)
{
    Prepare("data.zip", 2500, "1000");
    const std::string out = folder / "out";
    ASSERT_TRUE(CreateDirectoryA(out.c_str(), NULL));
    TypeOutput(out);
    Command(CmdSplit);
    EXPECT_TRUE(boxes->Boxes().empty());
    ExpectPieces(out + "\\data", "data", source, 1000);
    EXPECT_TRUE(Exists(out + "\\data\\data.bat"));
    ExpectLog(out + "\\data\\data.log", "data", "data.bat", 1000);
    EXPECT_FALSE(Exists(folder / "data"));
    ExpectIdle("data.zip", "2500 bytes", "3 splits");
    EXPECT_EQ(AppState.FileSize, 2500);
    EXPECT_EQ(AppState.PieceCount, 3);
}

TEST_F(SplitCommand, WithoutUseOutputThePiecesGoBesideTheSource)
{
    // The source is dropped from its own folder; the output folder stays the start folder.
    const std::string src = folder / "src";
    ASSERT_TRUE(CreateDirectoryA(src.c_str(), NULL));
    source = MakeFile(src + "\\data.zip", 2500, 25);
    ASSERT_NO_FATAL_FAILURE(Open());
    TypeSize("1000");
    Drop({src + "\\data.zip"});
    ASSERT_EQ(WindowText(AppState.FileNameEdit), "data.zip");
    home = AppState.CurrentDirectory;
    ASSERT_EQ(home, src);
    Click(AppState.UseOutputCheck);
    ASSERT_FALSE(Checked(AppState.UseOutputCheck));

    Command(CmdSplit);
    EXPECT_TRUE(boxes->Boxes().empty());
    ExpectPieces(src + "\\data", "data", source, 1000);
    ExpectLog(src + "\\data\\data.log", "data", "data.bat", 1000);
    EXPECT_TRUE(Exists(src + "\\data\\data.bat"));
    EXPECT_FALSE(Exists(folder / "data")) << "the unused output folder got something";
    ExpectIdle("data.zip", "2500 bytes", "3 splits");
}

TEST_F(SplitCommand, AMissingOutputFolderCreatedOnYesTakesTheFiles)
{
    Prepare("data.zip", 2500, "1000");
    const std::string out = folder / "made";
    TypeOutput(out);
    boxes->Answer(IDYES);
    Command(CmdSplit);

    ASSERT_EQ(boxes->Boxes().size(), 1u);
    const BoxSeen &box = boxes->Boxes()[0];
    EXPECT_TRUE(IsBox(box, "The directory\n" + out + "\ndoes not exist\n\nWould you like to create it?",
                      "Path Not Found", MB_ICONQUESTION, MB_YESNO));
    ASSERT_TRUE(IsFolder(out));
    ExpectPieces(out + "\\data", "data", source, 1000);
    EXPECT_TRUE(Exists(out + "\\data\\data.bat"));
    ExpectLog(out + "\\data\\data.log", "data", "data.bat", 1000);
    ExpectIdle("data.zip", "2500 bytes", "3 splits");
}

TEST_F(SplitCommand, AMissingOutputFolderDeclinedWritesNothingAndSaysNothingMore)
{
    Prepare("data.zip", 2500, "1000");
    TypeOutput(folder / "made");
    boxes->Answer(IDNO);
    Command(CmdSplit);

    ASSERT_EQ(boxes->Boxes().size(), 1u) << "declining is silent";
    EXPECT_EQ(boxes->Boxes()[0].caption, "Path Not Found");
    EXPECT_EQ(Listing(folder.Path()), (std::vector<std::string>{"data.zip"}));
    ExpectIdle("data.zip", "2500 bytes", "3 splits");
    EXPECT_TRUE(SplitEnabled());
}

TEST_F(SplitCommand, AnExistingBatchFileKeptOnNoStillGivesALogAndCountsAsSuccess)
{
    Prepare("data.zip", 2500, "1000");
    Click(AppState.SubDirectoryCheck);
    ASSERT_FALSE(Checked(AppState.SubDirectoryCheck));
    const std::string mine = "REM the user's own script\r\n";
    ASSERT_TRUE(WriteBytes(folder / "data.bat", Bytes(mine.begin(), mine.end())));

    boxes->Answer(IDNO);
    EXPECT_EQ(RunSplitCommand(), 1);

    ASSERT_EQ(boxes->Boxes().size(), 1u);
    const BoxSeen &box = boxes->Boxes()[0];
    EXPECT_TRUE(IsBox(box, "data.bat already exist\n\nDo you want to overwrite it?",
                      "Batch File Exist", MB_ICONWARNING, MB_YESNO));
    EXPECT_EQ(ReadText(folder / "data.bat"), mine) << "the user's batch file was changed";
    ExpectPieces(folder.Path(), "data", source, 1000);
    ExpectLog(folder / "data.log", "data", "data.bat", 1000);
    ExpectIdle("data.zip", "2500 bytes", "3 splits");
}

TEST_F(SplitCommand, ABatchFileThatCannotBeWrittenStopsBeforeTheLog)
{
    Prepare("data.zip", 2500, "1000");
    Click(AppState.SubDirectoryCheck);
    // A folder holds the batch file's name: the overwrite question comes, then the open fails.
    ASSERT_TRUE(CreateDirectoryA((folder / "data.bat").c_str(), NULL));

    boxes->Answer(IDYES);
    boxes->Answer(IDOK);
    EXPECT_EQ(RunSplitCommand(), 0);
    ASSERT_EQ(boxes->Boxes().size(), 2u);
    EXPECT_EQ(boxes->Boxes()[0].caption, "Batch File Exist");
    EXPECT_EQ(boxes->Boxes()[1].text, "Batch file stream buffer null");
    EXPECT_EQ(boxes->Boxes()[1].caption, "Error");
    ExpectPieces(folder.Path(), "data", source, 1000);
    EXPECT_FALSE(Exists(folder / "data.log")) << "a failed batch file prevents the log";
    ExpectIdle("data.zip", "2500 bytes", "3 splits");
}

TEST_F(SplitCommand, ASizeBelowOneIsRefusedAndNothingElseHappens)
{
    Prepare("data.zip", 2500, "1000");
    ASSERT_TRUE(SplitEnabled());
    for (const char *size : {"0", "-5"}) {
        SCOPED_TRACE(std::string("size ") + size);
        TypeSize(size);
        // Marks on the window that a return to idle would wipe out.
        SetWindowTextA(AppState.MainWindow, "before the split");
        SendMessageA(AppState.ProgressBar, PBM_SETPOS, 7, 0);
        const size_t seen = boxes->Boxes().size();
        boxes->Answer(IDOK);
        Command(CmdSplit);

        ASSERT_EQ(boxes->Boxes().size(), seen + 1);
        const BoxSeen &box = boxes->Boxes().back();
        EXPECT_TRUE(IsBox(box, "Split size must be between 1 and 2,147,483,647", "Error", MB_ICONERROR, MB_OK));
        EXPECT_EQ(Listing(folder.Path()), (std::vector<std::string>{"data.zip"}));
        EXPECT_EQ(Title(), "before the split");
        EXPECT_FALSE(IsWindowVisible(AppState.ProgressBar));
        EXPECT_EQ(SendMessageA(AppState.ProgressBar, PBM_GETPOS, 0, 0), 7);
        EXPECT_EQ(WorkingDirectory(), home);
        ExpectPanes("data.zip", "2500 bytes", "0 splits");
        EXPECT_EQ(AppState.FileSize, 2500);
    }
}

TEST_F(SplitCommand, AnExistingSubFolderFailsTheSplitWithoutBatchOrLog)
{
    Prepare("data.zip", 2500, "1000");
    const std::string out = folder / "out";
    ASSERT_TRUE(CreateDirectoryA(out.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA((out + "\\data").c_str(), NULL));
    TypeOutput(out);

    boxes->Answer(IDOK);
    EXPECT_EQ(RunSplitCommand(), 0);
    ASSERT_EQ(boxes->Boxes().size(), 1u);
    EXPECT_TRUE(IsBox(boxes->Boxes()[0], "Could not create sub directory", "Error", MB_ICONERROR, MB_OK));
    EXPECT_TRUE(Listing(out + "\\data").empty());
    EXPECT_EQ(Listing(out), (std::vector<std::string>{"data"}));
    ExpectIdle("data.zip", "2500 bytes", "3 splits");
}

TEST_F(SplitCommand, AClashHalfWayLeavesTheWrittenPiecesAndAnIdleWindow)
{
    Prepare("data.zip", 2500, "1000");
    const std::string out = folder / "out";
    ASSERT_TRUE(CreateDirectoryA(out.c_str(), NULL));
    const std::string mine = "not a piece";
    ASSERT_TRUE(WriteBytes(out + "\\data.002", Bytes(mine.begin(), mine.end())));
    TypeOutput(out);
    Click(AppState.SubDirectoryCheck);

    boxes->Answer(IDOK);
    EXPECT_EQ(RunSplitCommand(), 0);
    ASSERT_EQ(boxes->Boxes().size(), 1u);
    EXPECT_EQ(boxes->Boxes()[0].text, "data.002 already exist");
    EXPECT_EQ(boxes->Boxes()[0].caption, "Warning");
    EXPECT_EQ(Listing(out), (std::vector<std::string>{"data.001", "data.002"})) << "no batch file, no log";
    EXPECT_EQ(ReadBytes(out + "\\data.001"), Bytes(source.begin(), source.begin() + 1000));
    EXPECT_EQ(ReadText(out + "\\data.002"), mine);
    // The bar had been shown and advanced by the first piece: it is hidden and empty again.
    ExpectIdle("data.zip", "2500 bytes", "3 splits");
}

TEST_F(SplitCommand, ABatchFileTheNameCannotCarryIsLeftOutAndTheLogSaysNone)
{
    Prepare("my file.zip", 2500, "1000");
    EXPECT_FALSE(Enabled(AppState.BatchFileCheck));
    EXPECT_TRUE(Checked(AppState.BatchFileCheck));
    ASSERT_TRUE(SplitEnabled());
    Command(CmdSplit);
    EXPECT_TRUE(boxes->Boxes().empty());
    const std::string target = folder / "my file";
    ExpectPieces(target, "my file", source, 1000);
    EXPECT_EQ(Listing(target),
              (std::vector<std::string>{"my file.001", "my file.002", "my file.003", "my file.log"}));
    ExpectLog(target + "\\my file.log", "my file", "None", 1000);
    ExpectIdle("my file.zip", "2500 bytes", "3 splits");
}

// The log's progress runs over the pieces again, from an empty bar.
static WNDPROC ProgressProc = NULL;
static std::vector<std::string> *ProgressEvents = NULL;

static LRESULT CALLBACK RecordingProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (ProgressEvents != NULL && message == PBM_SETRANGE)
        ProgressEvents->push_back("range 0.." + std::to_string(HIWORD(lParam)) + " from " +
                                  std::to_string(CallWindowProcA(ProgressProc, window, PBM_GETPOS, 0, 0)));
    LRESULT result = CallWindowProcA(ProgressProc, window, message, wParam, lParam);
    if (ProgressEvents != NULL && message == PBM_STEPIT)
        ProgressEvents->push_back(std::to_string(CallWindowProcA(ProgressProc, window, PBM_GETPOS, 0, 0)));
    return result;
}

TEST_F(SplitCommand, TheLogCountsThePiecesAgainFromAnEmptyBar)
{
    Prepare("data.zip", 2500, "1000");
    Click(AppState.BatchFileCheck);
    std::vector<std::string> events;
    ProgressEvents = &events;
    ProgressProc = (WNDPROC)SetWindowLongPtrA(AppState.ProgressBar, GWLP_WNDPROC, (LONG_PTR)RecordingProgressProc);
    Command(CmdSplit);
    SetWindowLongPtrA(AppState.ProgressBar, GWLP_WNDPROC, (LONG_PTR)ProgressProc);
    ProgressEvents = NULL;

    EXPECT_EQ(events, (std::vector<std::string>{"range 0..3 from 0", "1", "2", "3", "range 0..3 from 0", "1", "2",
                                                 "3"}));
    EXPECT_TRUE(Exists(folder / "data\\data.log"));
    ExpectIdle("data.zip", "2500 bytes", "3 splits");
}

TEST_F(SplitCommand, AFailedAutoSplitAfterADropLeavesTheDroppedFileLoaded)
{
    const std::string src = folder / "src";
    ASSERT_TRUE(CreateDirectoryA(src.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA((src + "\\data").c_str(), NULL));
    source = MakeFile(src + "\\data.zip", 2914001, 29);
    ASSERT_NO_FATAL_FAILURE(Open());
    Click(AppState.UseOutputCheck);
    Command(CmdAutoSplit);
    ASSERT_EQ(GetMenuState(AppState.TrayMenu, CmdAutoSplit, MF_BYCOMMAND) & MF_CHECKED, (UINT)MF_CHECKED);

    boxes->Answer(IDOK);
    Drop({src + "\\data.zip"});
    ASSERT_EQ(boxes->Boxes().size(), 1u) << "nothing is retried";
    EXPECT_EQ(boxes->Boxes()[0].text, "Could not create sub directory");
    home = src;
    ExpectIdle("data.zip", "2914001 bytes", "3 splits");
    EXPECT_EQ(WindowText(AppState.FileNameEdit), "data.zip");
    EXPECT_TRUE(SplitEnabled());
    EXPECT_TRUE(Listing(src + "\\data").empty());
    EXPECT_EQ(Listing(folder.Path()), (std::vector<std::string>{"src"}));
}
