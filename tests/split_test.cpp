// The split run: piece boundaries, limits, target folders, clashes and every message it shows.
#include "split/Split.h"
#include "support/SplitFixture.h"

#include <commctrl.h>

#include <stdlib.h>

class SplitRun : public SplitFixture {};

// --- Piece arithmetic -------------------------------------------------------------------------

TEST_F(SplitRun, ExactMultipleGivesEqualPiecesAndNoEmptyOne)
{
    Bytes source = MakeSource("data.zip", 3 * 100000);
    AppState.SplitSize = 100000;
    ASSERT_EQ(SplitFile(), 1);
    EXPECT_EQ(AppState.FileSize, 300000);
    EXPECT_EQ(AppState.PieceCount, 3);
    ExpectPieces(folder.Path(), "data", source, 100000);
    EXPECT_TRUE(boxes->Boxes().empty());
}

TEST_F(SplitRun, OneByteOverTheSizeGivesAOneBytePiece)
{
    Bytes source = MakeSource("data.zip", 65536);
    AppState.SplitSize = 65535;
    ASSERT_EQ(SplitFile(), 1);
    EXPECT_EQ(AppState.PieceCount, 2);
    EXPECT_EQ(SizeOf(folder / "data.002"), 1);
    ExpectPieces(folder.Path(), "data", source, 65535);
}

TEST_F(SplitRun, PiecesFollowTheChunkRemaindersOfTheWorkedExample)
{
    // 3,000,000 bytes at 1,457,000: two pieces of 22 chunks and 15,230 bytes, then 86,000 bytes.
    Bytes source = MakeSource("big.bin", 3000000, 11);
    AppState.SplitSize = 1457000;
    ASSERT_EQ(SplitFile(), 1);
    EXPECT_EQ(AppState.PieceCount, 3);
    EXPECT_EQ(SizeOf(folder / "big.001"), 1457000);
    EXPECT_EQ(SizeOf(folder / "big.002"), 1457000);
    EXPECT_EQ(SizeOf(folder / "big.003"), 86000);
    ExpectPieces(folder.Path(), "big", source, 1457000);
}

TEST_F(SplitRun, PieceNamesDropTheExtensionAndKeepInnerDots)
{
    Bytes source = MakeSource("a.b.c", 10);
    AppState.SplitSize = 4;
    ASSERT_EQ(SplitFile(), 1);
    ExpectPieces(folder.Path(), "a.b", source, 4);
    EXPECT_EQ(SizeOf(folder / "a.b.003"), 2);

    Bytes plain = MakeSource("noext", 5);
    AppState.SplitSize = 2;
    ASSERT_EQ(SplitFile(), 1);
    ExpectPieces(folder.Path(), "noext", plain, 2);
}

TEST_F(SplitRun, NineHundredNinetyNinePiecesAreAcceptedAndAThousandRefused)
{
    Bytes source = MakeSource("many.bin", 999 * 3);
    AppState.SplitSize = 3;
    ASSERT_EQ(SplitFile(), 1);
    EXPECT_EQ(AppState.PieceCount, 999);
    ExpectPieces(folder.Path(), "many", source, 3);
    EXPECT_EQ(SizeOf(folder / "many.999"), 3);

    MakeSource("more.bin", 999 * 3 + 1);
    boxes->Answer(IDOK);
    EXPECT_EQ(SplitFile(), 0);
    BoxSeen box = boxes->Boxes().back();
    EXPECT_TRUE(IsBox(box, "Number of splits must be\nbetween 2 and 999", "Error", MB_ICONERROR, MB_OK));
    EXPECT_EQ(AppState.FileSize, 2998) << "the measured size stays stored";
    EXPECT_EQ(AppState.PieceCount, 1000) << "the computed count stays stored";
    EXPECT_FALSE(Exists(folder / "more.001"));
}

TEST_F(SplitRun, OnePieceIsRefusedWithTheCountMessage)
{
    MakeSource("small.txt", 100);
    AppState.SplitSize = 100;
    boxes->Answer(IDOK);
    EXPECT_EQ(SplitFile(), 0);
    EXPECT_EQ(OnlyBox().text, "Number of splits must be\nbetween 2 and 999");
    EXPECT_EQ(AppState.FileSize, 100);
    EXPECT_EQ(AppState.PieceCount, 1);
    EXPECT_FALSE(Exists(folder / "small.001"));
}

TEST_F(SplitRun, FilesOfNoneOrOneByteAreTooSmallAndLeaveTheCountsAlone)
{
    for (size_t size : {0u, 1u}) {
        MakeSource("tiny.dat", size);
        AppState.SplitSize = 1;
        AppState.FileSize = 4242;
        AppState.PieceCount = 17;
        boxes->Answer(IDOK);
        EXPECT_EQ(SplitFile(), 0);
        BoxSeen box = boxes->Boxes().back();
        EXPECT_TRUE(IsBox(box, "File size too small to split", "Notice", MB_ICONWARNING, MB_OK));
        EXPECT_EQ(AppState.FileSize, 4242);
        EXPECT_EQ(AppState.PieceCount, 17);
        EXPECT_FALSE(Exists(folder / "tiny.001"));
    }
}

// --- The source ---------------------------------------------------------------------------------

TEST_F(SplitRun, AMissingSourceIsNamedInTheMessage)
{
    Select("gone.zip");
    AppState.SplitSize = 10;
    boxes->Answer(IDOK);
    EXPECT_EQ(SplitFile(), 0);
    BoxSeen box = OnlyBox();
    EXPECT_TRUE(IsBox(box, "gone.zip\ndoes not exist", "File Not Found", MB_ICONERROR, MB_OK));
    EXPECT_FALSE(Exists(folder / "gone.zip")) << "the test comes before the open, which would create it";
}

TEST_F(SplitRun, AFolderCannotBeOpenedAsASource)
{
    CreateDirectoryA((folder / "stuff.d").c_str(), NULL);
    Select("stuff.d");
    AppState.SplitSize = 10;
    boxes->Answer(IDOK);
    EXPECT_EQ(SplitFile(), 0);
    EXPECT_EQ(OnlyBox().text, "File handle null");
    EXPECT_EQ(OnlyBox().caption, "Error");
}

TEST_F(SplitRun, ASourceOf2GiBOrMoreIsRefusedBeforeAnythingIsCreated)
{
    // Sparse files: 2 GiB exactly, and 4 GiB + 5 bytes, whose low 32 bits alone would read as 5.
    for (unsigned long long size : {2147483648ull, 4294967301ull}) {
        ASSERT_TRUE(MakeSparse(folder / "huge.iso", size));

        Select("huge.iso");
        AppState.SplitSize = 1457000;
        SetCheck(AppState.SubDirectoryCheck, 1);
        AppState.FileSize = 12;
        boxes->Answer(IDOK);
        EXPECT_EQ(SplitFile(), 0);
        BoxSeen box = boxes->Boxes().back();
        EXPECT_TRUE(IsBox(box, "huge.iso\nis too large to split\nFiles must be smaller than 2 GB (2,147,483,648 bytes)",
                          "Error", MB_ICONERROR, MB_OK));
        EXPECT_EQ(AppState.FileSize, 12);
        EXPECT_FALSE(Exists(folder / "huge")) << "no sub-folder";
        EXPECT_FALSE(Exists(folder / "huge.001"));
        EXPECT_EQ(SizeOf(folder / "huge.iso"), (long long)size) << "the source is untouched";
    }
}

// --- Progress and status ------------------------------------------------------------------------

TEST_F(SplitRun, ProgressCountsThePiecesAndTheStatusSaysSplitting)
{
    MakeSource("data.zip", 5000);
    AppState.SplitSize = 1000;
    ASSERT_EQ(SplitFile(), 1);
    EXPECT_EQ(WindowText(AppState.StatusNamePane), "splitting...");
    EXPECT_TRUE(IsWindowVisible(AppState.ProgressBar) || (GetWindowLongA(AppState.ProgressBar, GWL_STYLE) & WS_VISIBLE));
    EXPECT_EQ(SendMessageA(AppState.ProgressBar, PBM_GETRANGE, FALSE, 0), 5);
    EXPECT_EQ(SendMessageA(AppState.ProgressBar, PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendMessageA(AppState.ProgressBar, PBM_GETPOS, 0, 0), 5);
    EXPECT_EQ(WorkingDirectory(), folder.Path()) << "no target folder: the pieces stay beside the source";
}

TEST_F(SplitRun, ASizeBelowOneIsRefusedWithoutDividingByIt)
{
    MakeSource("data.zip", 5000);
    for (int size : {0, -5}) {
        AppState.SplitSize = size;
        boxes->Answer(IDOK);
        EXPECT_EQ(SplitFile(), 0);
        EXPECT_EQ(boxes->Boxes().back().text, "Split size must be between 1 and 2,147,483,647");
    }
    EXPECT_FALSE(Exists(folder / "data.001"));
}

// --- Output folder and sub-folder ---------------------------------------------------------------

TEST_F(SplitRun, AnExistingOutputFolderTakesThePiecesWithoutAQuestion)
{
    Bytes source = MakeSource("data.zip", 2500);
    CreateDirectoryA((folder / "out").c_str(), NULL);
    CopyText(AppState.OutputDirectory, sizeof AppState.OutputDirectory, (folder / "out").c_str());
    SetCheck(AppState.UseOutputCheck, 1);
    AppState.SplitSize = 1000;
    ASSERT_EQ(SplitFile(), 1);
    ExpectPieces(folder / "out", "data", source, 1000);
    EXPECT_FALSE(Exists(folder / "data.001"));
    EXPECT_EQ(WorkingDirectory(), folder / "out");
    EXPECT_TRUE(boxes->Boxes().empty());
}

TEST_F(SplitRun, AMissingOutputFolderDeclinedWritesNothingAndSaysNothingMore)
{
    MakeSource("data.zip", 2500);
    std::string out = folder / "missing";
    CopyText(AppState.OutputDirectory, sizeof AppState.OutputDirectory, out.c_str());
    SetCheck(AppState.UseOutputCheck, 1);
    AppState.SplitSize = 1000;
    boxes->Answer(IDNO);
    EXPECT_EQ(SplitFile(), 0);
    BoxSeen box = OnlyBox();
    EXPECT_TRUE(IsBox(box, "The directory\n" + out + "\ndoes not exist\n\nWould you like to create it?",
                      "Path Not Found", MB_ICONQUESTION, MB_YESNO));
    EXPECT_FALSE(Exists(out));
    EXPECT_FALSE(Exists(folder / "data.001"));
    EXPECT_EQ(WindowText(AppState.StatusNamePane), "") << "the run ended before it started splitting";
}

TEST_F(SplitRun, AMissingOutputFolderAcceptedIsCreatedAndTakesThePieces)
{
    Bytes source = MakeSource("data.zip", 2500);
    std::string out = folder / "made";
    CopyText(AppState.OutputDirectory, sizeof AppState.OutputDirectory, out.c_str());
    SetCheck(AppState.UseOutputCheck, 1);
    AppState.SplitSize = 1000;
    boxes->Answer(IDYES);
    ASSERT_EQ(SplitFile(), 1);
    EXPECT_TRUE(IsFolder(out));
    ExpectPieces(out, "data", source, 1000);
    EXPECT_EQ(WorkingDirectory(), out);
}

TEST_F(SplitRun, AnOutputFolderWhoseParentIsMissingCannotBeCreated)
{
    MakeSource("data.zip", 2500);
    std::string out = folder / "no\\such";
    CopyText(AppState.OutputDirectory, sizeof AppState.OutputDirectory, out.c_str());
    SetCheck(AppState.UseOutputCheck, 1);
    AppState.SplitSize = 1000;
    boxes->Answer(IDYES);
    boxes->Answer(IDOK);
    EXPECT_EQ(SplitFile(), 0);
    ASSERT_EQ(boxes->Boxes().size(), 2u);
    BoxSeen box = boxes->Boxes()[1];
    EXPECT_TRUE(IsBox(box, "Could not create\n" + out, "Error", MB_ICONERROR, MB_OK));
    EXPECT_FALSE(Exists(folder / "no"));
    EXPECT_FALSE(Exists(folder / "data.001"));
}

TEST_F(SplitRun, TheSubFolderIsCreatedInTheOutputFolderAndEntered)
{
    Bytes source = MakeSource("data.zip", 2500);
    CreateDirectoryA((folder / "out").c_str(), NULL);
    CopyText(AppState.OutputDirectory, sizeof AppState.OutputDirectory, (folder / "out").c_str());
    SetCheck(AppState.UseOutputCheck, 1);
    SetCheck(AppState.SubDirectoryCheck, 1);
    AppState.SplitSize = 1000;
    ASSERT_EQ(SplitFile(), 1);
    ExpectPieces(folder / "out\\data", "data", source, 1000);
    EXPECT_EQ(WorkingDirectory(), folder / "out\\data");

    // Without Use Output the sub-folder goes beside the source.
    SetCurrentDirectoryA(folder.Path().c_str());
    SetCheck(AppState.UseOutputCheck, 0);
    Bytes other = MakeSource("other.bin", 1500);
    ASSERT_EQ(SplitFile(), 1);
    ExpectPieces(folder / "other", "other", other, 1000);
}

TEST_F(SplitRun, ADisabledSubDirectoryOptionActsAsUnchecked)
{
    Bytes source = MakeSource("data.zip", 2500);
    SetCheck(AppState.SubDirectoryCheck, 1);
    EnableWindow(AppState.SubDirectoryCheck, FALSE);
    AppState.SplitSize = 1000;
    ASSERT_EQ(SplitFile(), 1);
    EXPECT_FALSE(Exists(folder / "data"));
    ExpectPieces(folder.Path(), "data", source, 1000);
}

TEST_F(SplitRun, AnExistingSubFolderStopsTheRunBeforeAnyPiece)
{
    MakeSource("data.zip", 2500);
    CreateDirectoryA((folder / "data").c_str(), NULL);
    SetCheck(AppState.SubDirectoryCheck, 1);
    AppState.SplitSize = 1000;
    boxes->Answer(IDOK);
    EXPECT_EQ(SplitFile(), 0);
    EXPECT_EQ(OnlyBox().text, "Could not create sub directory");
    EXPECT_EQ(OnlyBox().caption, "Error");
    EXPECT_FALSE(Exists(folder / "data\\data.001"));
    EXPECT_FALSE(Exists(folder / "data.001"));
}

TEST_F(SplitRun, ASourceWithoutExtensionOccupiesItsOwnSubFolderName)
{
    Bytes source = MakeSource("backup", 2500);
    SetCheck(AppState.SubDirectoryCheck, 1);
    AppState.SplitSize = 1000;
    boxes->Answer(IDOK);
    EXPECT_EQ(SplitFile(), 0);
    EXPECT_EQ(OnlyBox().text, "Could not create sub directory");
    EXPECT_EQ(ReadBytes(folder / "backup"), source) << "the source is untouched";
}

// --- Existing pieces ----------------------------------------------------------------------------

TEST_F(SplitRun, AnExistingThirdPieceStopsTheRunAfterTwoCompletePieces)
{
    Bytes source = MakeSource("data.zip", 5000);
    Bytes stranger = RandomBytes(123, 99);
    ASSERT_TRUE(WriteBytes(folder / "data.003", stranger));
    AppState.SplitSize = 1000;
    boxes->Answer(IDOK);
    EXPECT_EQ(SplitFile(), 0);
    BoxSeen box = OnlyBox();
    EXPECT_TRUE(IsBox(box, "data.003 already exist", "Warning", MB_ICONWARNING, MB_OK));
    EXPECT_EQ(ReadBytes(folder / "data.001"), Bytes(source.begin(), source.begin() + 1000));
    EXPECT_EQ(ReadBytes(folder / "data.002"), Bytes(source.begin() + 1000, source.begin() + 2000));
    EXPECT_EQ(ReadBytes(folder / "data.003"), stranger) << "an existing file is never written over";
    EXPECT_FALSE(Exists(folder / "data.004"));
    EXPECT_EQ(SendMessageA(AppState.ProgressBar, PBM_GETPOS, 0, 0), 2);
}

TEST_F(SplitRun, ASourceNamedLikeItsFirstPieceIsNeverOverwritten)
{
    Bytes source = MakeSource("movie.001", 5000);
    AppState.SplitSize = 1000;
    boxes->Answer(IDOK);
    EXPECT_EQ(SplitFile(), 0);
    EXPECT_EQ(OnlyBox().text, "movie.001 already exist");
    EXPECT_EQ(ReadBytes(folder / "movie.001"), source);
    EXPECT_FALSE(Exists(folder / "movie.002"));
}

// --- A full disk ---------------------------------------------------------------------------------

// The test script mounts a 1 MiB tmpfs and names it (as Wine sees it) in MORVANE_FULL_DISK.
TEST_F(SplitRun, AFullDiskStopsTheRunAndRemovesTheIncompletePiece)
{
    const char *disk = getenv("MORVANE_FULL_DISK");
    if (disk == nullptr || *disk == '\0')
        GTEST_SKIP() << "no small disk: MORVANE_FULL_DISK is not set";
    TempFolder out(disk);
    ASSERT_FALSE(out.Path().empty());

    Bytes source = MakeSource("data.zip", 2000000, 3);
    CopyText(AppState.OutputDirectory, sizeof AppState.OutputDirectory, out.Path().c_str());
    SetCheck(AppState.UseOutputCheck, 1);
    AppState.SplitSize = 400000;
    boxes->Answer(IDOK);
    EXPECT_EQ(SplitFile(), 0);
    BoxSeen box = OnlyBox();
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.icon, (UINT)MB_ICONERROR);
    EXPECT_EQ(box.text, "Could not write\ndata.003\nThe disk may be full");
    EXPECT_EQ(ReadBytes(out / "data.001"), Bytes(source.begin(), source.begin() + 400000));
    EXPECT_EQ(ReadBytes(out / "data.002"), Bytes(source.begin() + 400000, source.begin() + 800000));
    EXPECT_FALSE(Exists(out / "data.003")) << "an incomplete piece would rebuild a wrong file";
    EXPECT_FALSE(Exists(out / "data.004"));
    EXPECT_EQ(ReadBytes(folder / "data.zip"), source);
    SetCurrentDirectoryA(folder.Path().c_str());
}
