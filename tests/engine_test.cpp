// The split, its batch file and its log, run by the Split command on the real main window in
// this process: pieces byte for byte against GNU split, files never written over, full disks,
// and the exact texts the user gets.
#include "support/Support.h"

#include "split/Split.h"

#include <stdlib.h>

class Engine : public ProgramTest {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(Start()); }

    // Pieces, batch file and log beside the source, in the current folder.
    void Beside()
    {
        Click(AppState.UseOutputCheck);
        Click(AppState.SubDirectoryCheck);
    }

    void Split(const std::string &name, int splitSize)
    {
        Type(AppState.SplitSizeEdit, std::to_string(splitSize));
        Type(AppState.FileNameEdit, name);
        RunSplitCommand();
    }
};

struct Boundary {
    int size, splitSize, pieces; // no pieces: refused with the box
    const char *text = nullptr, *caption = "Error";
    UINT icon = MB_ICONERROR;
};

TEST_F(Engine, PiecesAreGnuSplitsAtEveryBoundary)
{
    const char *tooFew = "Number of splits must be\nbetween 2 and 999";
    const Boundary rows[] = {
        {4000, 1000, 4},          // an exact multiple: no empty last piece
        {1001, 1000, 2},          // a last piece of one byte
        {200000, 65536, 4},       // every piece ends in a transfer of one byte
        {200000, 65535, 4},       // whole transfers
        {999, 1, 999},            // the most pieces
        {1000, 1, 0, tooFew},
        {1000, 1000, 0, tooFew}, // one piece
        {1, 1, 0, "File size too small to split", "Notice", MB_ICONWARNING},
        {0, 1, 0, "File size too small to split", "Notice", MB_ICONWARNING},
    };
    Beside();
    int row = 0;
    for (const Boundary &b : rows) {
        SCOPED_TRACE(std::to_string(b.size) + " bytes at " + std::to_string(b.splitSize));
        std::string base = "b" + std::to_string(++row);
        ASSERT_TRUE(WriteBytes(folder / (base + ".bin"), RandomBytes(b.size, row)));
        if (b.pieces == 0)
            boxes.Answer(IDOK);
        Split(base + ".bin", b.splitSize);
        if (b.pieces == 0) {
            EXPECT_TRUE(IsBox(boxes.Seen(boxes.Count() - 1), b.text, b.caption, b.icon));
            EXPECT_FALSE(Exists(folder / (base + ".001")));
            continue;
        }
        folder.RunLinux("cd " + folder.Unix() + " && split -a 3 --numeric-suffixes=1 -b " +
                        std::to_string(b.splitSize) + " " + base + ".bin gnu-" + base + ".");
        char suffix[8];
        for (int k = 1; k <= b.pieces; k++) {
            snprintf(suffix, sizeof suffix, ".%03d", k);
            Bytes gnu = ReadBytes(folder / ("gnu-" + base + suffix));
            ASSERT_FALSE(gnu.empty()) << "GNU split made fewer pieces";
            ASSERT_TRUE(ReadBytes(folder / (base + suffix)) == gnu) << base + suffix;
        }
        snprintf(suffix, sizeof suffix, ".%03d", b.pieces + 1);
        EXPECT_FALSE(Exists(folder / (base + suffix)) || Exists(folder / ("gnu-" + base + suffix)));
    }
}

// scripts/test mounts a 1 MiB tmpfs and names it, as Wine sees it, in MORVANE_FULL_DISK. The second
// piece is one transfer that finds 45,056 bytes free: Wine reports such a short write as success.
TEST_F(Engine, AFullDiskStopsTheSplitAndRemovesTheIncompletePiece)
{
    const char *disk = getenv("MORVANE_FULL_DISK");
    if (disk == nullptr)
        GTEST_SKIP() << "MORVANE_FULL_DISK is not set";
    TempFolder out(disk);
    Click(AppState.SubDirectoryCheck);
    Type(AppState.OutputPathEdit, out.Path());
    Bytes source = RandomBytes(1060000);
    ASSERT_TRUE(WriteBytes(folder / "data.bin", source));
    boxes.Answer(IDOK);
    Split("data.bin", 1000000);
    EXPECT_TRUE(IsBox(boxes.Seen(0), "Could not write\ndata.002\nThe disk may be full", "Error", MB_ICONERROR));
    EXPECT_TRUE(ReadBytes(out / "data.001") == source.substr(0, 1000000));
    EXPECT_FALSE(Exists(out / "data.002"));
    EXPECT_FALSE(Exists(out / "data.bat"));
}

TEST_F(Engine, SourcesThatCannotBeSplitAreRefusedBeforeAnythingIsWritten)
{
    for (LONG high : {1, 0}) { // 4 GiB + 5 bytes (not 5 bytes), then 2 GiB: files that take no room
        HANDLE huge = CreateFileA((folder / "huge.iso").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        SetFilePointer(huge, high ? 5 : (LONG)0x80000000, &high, FILE_BEGIN);
        ASSERT_TRUE(SetEndOfFile(huge));
        CloseHandle(huge);
        Type(AppState.FileNameEdit, "huge.iso");
        EXPECT_EQ(Text(AppState.StatusSizePane), "2 GB or more");
        EXPECT_FALSE(IsWindowEnabled(AppState.SplitButton));
    }

    boxes.Answer(IDOK);
    Split("huge.iso", 1457000);
    boxes.Answer(IDOK);
    Split("gone.bin", 1457000);
    EXPECT_TRUE(IsBox(boxes.Seen(0),
                      "huge.iso\nis too large to split\nFiles must be smaller than 2 GB (2,147,483,648 bytes)",
                      "Error", MB_ICONERROR));
    EXPECT_TRUE(IsBox(boxes.Seen(1), "gone.bin\ndoes not exist", "File Not Found", MB_ICONERROR));
    EXPECT_FALSE(Exists(folder / "huge"));
    EXPECT_FALSE(Exists(folder / "gone.bin")) << "a missing source is never created";
}

static std::string Header(const std::string &target)
{
    return "ECHO OFF\r\nCLS\r\nREM Morvane 3.2\r\nECHO Rejoining " + target + "\r\n";
}

TEST_F(Engine, TheBatchFileGroupsItsCopyCommandsByTheNameLengths)
{
    const std::string b = "annual_report_with_all_appendices_and_figures"; // 45 characters: 2 pieces a line
    std::string twenty = "COPY /B /Y data.001";
    for (int n = 2; n <= 20; n++)
        twenty += " + data.0" + std::to_string(n / 10) + std::to_string(n % 10);
    const struct {
        std::string name;
        int pieces;
        std::string text;
    } rows[] = {
        {"my.data.zip", 5, Header("my.data.zip") + "COPY /B /Y my.data.001 + my.data.002 + my.data.003 + my.data.004 + "
                                                   "my.data.005 my.data.zip\r\n"},
        {"data", 2, Header("data") + "COPY /B /Y data.001 + data.002 data\r\n"},
        {"data.zip", 21, Header("data.zip") + twenty + " data.zip\r\nECHO Still Rejoining...\r\n"
                                                       "COPY /B /Y data.zip + data.021 data.zip\r\n"},
        {b + ".zip", 4, Header(b + ".zip") + "COPY /B /Y " + b + ".001 + " + b + ".002 " + b + ".zip\r\n"
                                             "ECHO Still Rejoining...\r\n"
                                             "COPY /B /Y " + b + ".zip + " + b + ".003 + " + b + ".004 " + b + ".zip\r\n"},
        {b + ".zip", 5, Header(b + ".zip") + "COPY /B /Y " + b + ".001 + " + b + ".002 " + b + ".zip\r\n"
                                             "ECHO Still Rejoining...\r\n"
                                             "COPY /B /Y " + b + ".zip + " + b + ".003 + " + b + ".004 " + b + ".zip\r\n"
                                             "ECHO Still Rejoining...\r\n"
                                             "COPY /B /Y " + b + ".zip + " + b + ".005 " + b + ".zip\r\n"},
    };
    for (const auto &row : rows) {
        Type(AppState.FileNameEdit, row.name);
        AppState.PieceCount = row.pieces;
        ASSERT_EQ(WriteBatchFile(), 1);
        std::string batch = folder / (row.name.substr(0, row.name.rfind('.')) + ".bat");
        EXPECT_EQ(ReadBytes(batch), row.text + "ECHO Rejoining Completed\r\n") << row.pieces << " of " << row.name;
        DeleteFileA(batch.c_str());
    }
}

TEST_F(Engine, TheBatchFileOptionIsOnlyForNamesItCanCarry)
{
    const std::string b55(55, 'n');
    std::vector<std::pair<std::string, bool>> rows = {
        {"data.zip", true}, {"R\xE9sum\xE9.zip", true}, {b55 + ".zip", true}, {b55 + "n.zip", false},
        {"\x80uro.zip", false}, // the euro sign has no place in the OEM code page
        {"setup.BAT", false},   // its script would take the source's own name
    };
    for (char c : std::string(" `!@#$%^&*()/-=+[]{}|;'\",<>?"))
        rows.push_back({std::string("da") + c + "ta.zip", false});
    for (const auto &row : rows) {
        Type(AppState.FileNameEdit, row.first);
        EXPECT_EQ(IsWindowEnabled(AppState.BatchFileCheck) != FALSE, row.second) << row.first;
    }
}

// A piece's line, with the piece's creation time in local time.
static std::string PieceLine(const std::string &folder, int n, const char *piece, int size)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    GetFileAttributesExA((folder + "\\" + piece).c_str(), GetFileExInfoStandard, &data);
    FILETIME local;
    SYSTEMTIME t;
    FileTimeToLocalFileTime(&data.ftCreationTime, &local);
    FileTimeToSystemTime(&local, &t);
    char line[200];
    snprintf(line, sizeof line, " %3d. %s  %10d bytes   %02d-%02d-%04d  %02d:%02d:%02d\r\n", n, piece, size, t.wMonth,
             t.wDay, t.wYear, t.wHour, t.wMinute, t.wSecond);
    return line;
}

TEST_F(Engine, TheLogListsEveryPieceAndNothingTakesTheSourcesName)
{
    Beside();
    ASSERT_TRUE(WriteBytes(folder / "data.zip", RandomBytes(3500000)));
    Split("data.zip", 1457000);
    EXPECT_EQ(ReadBytes(folder / "data.log"), "Log file for data.zip\r\n"
                                             "Morvane 3.2\r\n"
                                             "\r\n"
                                             "Original file name... data.zip\r\n"
                                             "Original path........ " + folder.Path() + "\r\n"
                                             "Original file size... 3500000 bytes\r\n"
                                             "Split size........... 1457000 bytes\r\n"
                                             "Batch file........... data.bat\r\n"
                                             "Number of splits..... 3\r\n"
                                             "\r\n" +
                                                 PieceLine(folder.Path(), 1, "data.001", 1457000) +
                                                 PieceLine(folder.Path(), 2, "data.002", 1457000) +
                                                 PieceLine(folder.Path(), 3, "data.003", 586000) +
                                                 "\r\n"
                                                 "  Total bytes split = 3500000 bytes\r\n");

    Bytes notes = RandomBytes(4000);
    ASSERT_TRUE(WriteBytes(folder / "notes.LOG", notes));
    Split("notes.LOG", 1000);
    EXPECT_TRUE(ReadBytes(folder / "notes.LOG") == notes);
    std::string log = ReadBytes(folder / "notes.txt");
    EXPECT_NE(log.find(PieceLine(folder.Path(), 4, "notes.004", 1000) + "\r\n  Total bytes split = 4000 bytes\r\n"),
              std::string::npos) << log;
    // A .bat source gets no batch file: it would take the source's name, and no question about
    // overwriting it comes.
    ASSERT_TRUE(WriteBytes(folder / "setup.BAT", notes));
    Split("setup.BAT", 1000);
    EXPECT_TRUE(ReadBytes(folder / "setup.BAT") == notes);
    EXPECT_NE(ReadBytes(folder / "setup.log").find("\r\nBatch file........... None\r\n"), std::string::npos);
}

TEST_F(Engine, ALogThatCannotListAPieceIsClosedBeforeItSaysSo)
{
    Beside();
    ASSERT_TRUE(WriteBytes(folder / "data.bin", RandomBytes(3000)));
    ASSERT_TRUE(WriteBytes(folder / "data.log", Bytes(3, 'x')));
    HANDLE held = INVALID_HANDLE_VALUE;
    bool logClosed = false;
    boxes.Answer(IDYES, [&] { // overwrite the log, while another program holds the first piece
        held = CreateFileA((folder / "data.001").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    });
    boxes.Answer(IDOK, [&] {
        HANDLE log = CreateFileA((folder / "data.log").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        logClosed = log != INVALID_HANDLE_VALUE;
        CloseHandle(log);
    });
    Split("data.bin", 1000);
    CloseHandle(held);
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_TRUE(IsBox(boxes.Seen(0), "data.log already exist\n\nDo you want to overwrite it?", "Log File Exist",
                      MB_ICONWARNING, MB_YESNO));
    EXPECT_TRUE(IsBox(boxes.Seen(1), "Null file handle", "Error", MB_ICONERROR));
    EXPECT_TRUE(logClosed) << "the log was still open while its box was shown";
}
