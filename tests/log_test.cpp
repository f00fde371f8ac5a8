// The split log: exact layout, names, the batch line, piece lines and totals, the overwrite
// question and every failure.
#include "core/UiHelpers.h"
#include "split/Split.h"
#include "support/SplitFixture.h"

#include <commctrl.h>

#include <stdlib.h>

#include <sstream>
#include <vector>

class SplitLog : public SplitFixture {
protected:
    // Splits a fresh source in the folder, as the Split command would before the log.
    void Split(const std::string &name, size_t size, int splitSize)
    {
        MakeSource(name, size);
        AppState.SplitSize = splitSize;
        ASSERT_EQ(SplitFile(), 1);
    }

    // The piece line the log must hold for piece n of the given size, with the piece file's
    // creation time in local time.
    std::string PieceLine(int n, int size)
    {
        char name[300];
        snprintf(name, sizeof name, "%s.%03d", AppState.BaseName, n);
        WIN32_FILE_ATTRIBUTE_DATA data;
        EXPECT_TRUE(GetFileAttributesExA((folder / name).c_str(), GetFileExInfoStandard, &data));
        FILETIME local;
        SYSTEMTIME t;
        FileTimeToLocalFileTime(&data.ftCreationTime, &local);
        FileTimeToSystemTime(&local, &t);
        char line[400];
        snprintf(line, sizeof line, " %3d. %s  %10d bytes   %02d-%02d-%04d  %02d:%02d:%02d\r\n", n, name, size,
                 t.wMonth, t.wDay, t.wYear, t.wHour, t.wMinute, t.wSecond);
        return line;
    }

};

TEST_F(SplitLog, TheExampleLayoutByteForByte)
{
    Split("data.zip", 3500000, 1457000);
    SetCheck(AppState.BatchFileCheck, 1);
    CopyText(AppState.CurrentDirectory, sizeof AppState.CurrentDirectory, "C:\\Work");
    ASSERT_EQ(WriteLogFile(), 1);
    EXPECT_STREQ(AppState.LogName, "data.log");
    std::string expected = "Log file for data.zip\r\n"
                           "Morvane 3.2\r\n"
                           "\r\n"
                           "Original file name... data.zip\r\n"
                           "Original path........ C:\\Work\r\n"
                           "Original file size... 3500000 bytes\r\n"
                           "Split size........... 1457000 bytes\r\n"
                           "Batch file........... data.bat\r\n"
                           "Number of splits..... 3\r\n"
                           "\r\n" +
                           PieceLine(1, 1457000) + PieceLine(2, 1457000) + PieceLine(3, 586000) +
                           "\r\n"
                           "  Total bytes split = 3500000 bytes\r\n";
    EXPECT_EQ(ReadText(folder / "data.log"), expected);
    EXPECT_TRUE(boxes->Boxes().empty());
}

TEST_F(SplitLog, PieceLinesHaveTheirColumnsAndTodaysLocalDate)
{
    Split("data.zip", 3500000, 1457000);
    ASSERT_EQ(WriteLogFile(), 1);
    std::vector<std::string> lines = CrLfLines(ReadText(folder / "data.log"));
    ASSERT_EQ(lines.size(), 15u);
    SYSTEMTIME now;
    GetLocalTime(&now);
    char date[16];
    snprintf(date, sizeof date, "%02d-%02d-%04d", now.wMonth, now.wDay, now.wYear);
    // "   1. data.001     1457000 bytes   MM-DD-YYYY  HH:MM:SS"
    const std::string &first = lines[10];
    EXPECT_EQ(first.substr(0, 16), "   1. data.001  ");
    EXPECT_EQ(first.substr(16, 16), "   1457000 bytes");
    EXPECT_EQ(first.substr(32, 3), "   ");
    EXPECT_EQ(first.substr(35, 10), date) << "pieces made today carry today's local date (month first)";
    EXPECT_EQ(first.substr(45, 2), "  ");
    ASSERT_EQ(first.size(), 55u);
    EXPECT_EQ(first[49], ':');
    EXPECT_EQ(first[52], ':');
    EXPECT_EQ(lines[12].substr(0, 32), "   3. data.003      586000 bytes") << "the last piece shows the remainder";
}

TEST_F(SplitLog, AnExactMultipleListsEqualPiecesAndTotalsTheSource)
{
    Split("even.bin", 4000, 1000);
    ASSERT_EQ(WriteLogFile(), 1);
    std::vector<std::string> lines = CrLfLines(ReadText(folder / "even.log"));
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[8], "Number of splits..... 4");
    for (int i = 10; i < 14; i++)
        EXPECT_EQ(lines[i].substr(16, 16), "      1000 bytes") << lines[i];
    EXPECT_EQ(lines[14], "");
    EXPECT_EQ(lines[15], "  Total bytes split = 4000 bytes");
}

TEST_F(SplitLog, PieceNumbersFromOneHundredFillTheirThreeColumns)
{
    Split("p.dat", 1234, 10);
    ASSERT_EQ(WriteLogFile(), 1);
    std::vector<std::string> lines = CrLfLines(ReadText(folder / "p.log"));
    ASSERT_EQ(lines.size(), 10u + 124u + 2u);
    EXPECT_EQ(lines[10].substr(0, 13), "   1. p.001  ");
    EXPECT_EQ(lines[108].substr(0, 13), "  99. p.099  ");
    EXPECT_EQ(lines[109].substr(0, 13), " 100. p.100  ");
    EXPECT_EQ(lines[133].substr(0, 29), " 124. p.124           4 bytes");
    EXPECT_EQ(lines[135], "  Total bytes split = 1234 bytes");
    EXPECT_EQ(SendMessageA(AppState.ProgressBar, PBM_GETRANGE, FALSE, 0), 124);
    EXPECT_EQ(SendMessageA(AppState.ProgressBar, PBM_GETPOS, 0, 0), 124) << "the bar counts the pieces again";
    EXPECT_EQ(WindowText(AppState.StatusNamePane), "writing log file...");
}

TEST_F(SplitLog, TheBatchLineNamesTheBatchFileOnlyWhileTheOptionIsInForce)
{
    Split("data.zip", 3000, 1000);
    const struct {
        int checked, enabled;
        const char *line;
    } cases[] = {{1, 1, "Batch file........... data.bat"},
                 {0, 1, "Batch file........... None"},
                 {1, 0, "Batch file........... None"}};
    for (const auto &c : cases) {
        SetCheck(AppState.BatchFileCheck, c.checked);
        EnableWindow(AppState.BatchFileCheck, c.enabled);
        DeleteFileA((folder / "data.log").c_str());
        ASSERT_EQ(WriteLogFile(), 1);
        EXPECT_EQ(CrLfLines(ReadText(folder / "data.log"))[7], c.line);
    }
}

TEST_F(SplitLog, TheLogNeverTakesTheSourcesOwnName)
{
    for (const char *name : {"notes.log", "notes.LOG", "notes.Log"}) {
        SCOPED_TRACE(name);
        Bytes source = MakeSource(name, 3000);
        AppState.SplitSize = 1000;
        DeleteFileA((folder / "notes.001").c_str());
        DeleteFileA((folder / "notes.002").c_str());
        DeleteFileA((folder / "notes.003").c_str());
        ASSERT_EQ(SplitFile(), 1);
        ASSERT_EQ(WriteLogFile(), 1);
        EXPECT_STREQ(AppState.LogName, "notes.txt");
        EXPECT_EQ(ReadBytes(folder / name), source) << "the source is untouched";
        EXPECT_EQ(CrLfLines(ReadText(folder / "notes.txt"))[0], std::string("Log file for ") + name);
        DeleteFileA((folder / "notes.txt").c_str());
        DeleteFileA((folder / name).c_str());
    }
    Select("data.zip");
    Split("plain", 3000, 1000);
    ASSERT_EQ(WriteLogFile(), 1);
    EXPECT_STREQ(AppState.LogName, "plain.log");
    EXPECT_EQ(CrLfLines(ReadText(folder / "plain.log"))[0], "Log file for plain");
}

TEST_F(SplitLog, AnExistingLogIsKeptOnNoAndReplacedOnYes)
{
    Split("data.zip", 3000, 1000);
    ASSERT_TRUE(WriteBytes(folder / "data.log", Bytes{'o', 'l', 'd'}));
    boxes->Answer(IDNO);
    EXPECT_EQ(WriteLogFile(), 1) << "No counts as success";
    BoxSeen box = OnlyBox();
    EXPECT_TRUE(IsBox(box, "data.log already exist\n\nDo you want to overwrite it?",
                      "Log File Exist", MB_ICONWARNING, MB_YESNO));
    EXPECT_EQ(ReadText(folder / "data.log"), "old");

    boxes->Answer(IDYES);
    EXPECT_EQ(WriteLogFile(), 1);
    EXPECT_EQ(CrLfLines(ReadText(folder / "data.log"))[0], "Log file for data.zip");
}

TEST_F(SplitLog, ALogThatCannotBeOpenedFailsWithTheStreamMessage)
{
    Split("data.zip", 3000, 1000);
    CreateDirectoryA((folder / "data.log").c_str(), NULL);
    boxes->Answer(IDYES);
    boxes->Answer(IDOK);
    EXPECT_EQ(WriteLogFile(), 0);
    ASSERT_EQ(boxes->Boxes().size(), 2u);
    EXPECT_TRUE(IsBox(boxes->Boxes()[1], "Log file stream buffer null", "Error", MB_ICONERROR, MB_OK));
}

TEST_F(SplitLog, APieceDeletedBeforeTheLogEndsItWithNullFileHandle)
{
    Split("data.zip", 5000, 1000);
    DeleteFileA((folder / "data.003").c_str());
    boxes->Answer(IDOK);
    EXPECT_EQ(WriteLogFile(), 0);
    BoxSeen box = OnlyBox();
    EXPECT_TRUE(IsBox(box, "Null file handle", "Error", MB_ICONERROR, MB_OK));
    std::vector<std::string> lines = CrLfLines(ReadText(folder / "data.log"));
    ASSERT_EQ(lines.size(), 12u) << "the header and the first two pieces stay";
    EXPECT_EQ(lines[11].substr(0, 10), "   2. data");
    EXPECT_TRUE(Exists(folder / "data.004")) << "the pieces are never touched";
}

TEST_F(SplitLog, APieceHeldOpenElsewhereCannotBeListed)
{
    Split("data.zip", 3000, 1000);
    HANDLE held = CreateFileA((folder / "data.002").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0,
                              NULL);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    boxes->Answer(IDOK);
    EXPECT_EQ(WriteLogFile(), 0);
    CloseHandle(held);
    EXPECT_EQ(OnlyBox().text, "Null file handle");
}

TEST_F(SplitLog, AFullDiskIsReportedAsAFailure)
{
    const char *disk = getenv("MORVANE_FULL_DISK");
    if (disk == nullptr || *disk == '\0')
        GTEST_SKIP() << "no small disk: MORVANE_FULL_DISK is not set";
    TempFolder full(disk);
    ASSERT_FALSE(full.Path().empty());
    // 200 small pieces take most of the disk; a filler takes the rest to the last byte.
    Bytes source = MakeSource("data.zip", 200 * 1000);
    CopyText(AppState.OutputDirectory, sizeof AppState.OutputDirectory, full.Path().c_str());
    SetCheck(AppState.UseOutputCheck, 1);
    AppState.SplitSize = 1000;
    ASSERT_EQ(SplitFile(), 1);
    HANDLE filler = CreateFileA((full / "filler").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(filler, INVALID_HANDLE_VALUE);
    char byte = 'x';
    DWORD written = 1;
    while (WriteFile(filler, &byte, 1, &written, NULL) && written == 1) {
    }
    CloseHandle(filler);

    boxes->Answer(IDOK);
    EXPECT_EQ(WriteLogFile(), 0);
    BoxSeen box = OnlyBox();
    EXPECT_TRUE(IsBox(box, "Could not write\ndata.log\nThe disk may be full", "Error", MB_ICONERROR, MB_OK));
    SetCurrentDirectoryA(folder.Path().c_str());
}
