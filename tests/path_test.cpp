// Parsing of dropped, opened and typed names into drive, folder, base name and extension.
#include "core/AppState.h"

#include <gtest/gtest.h>

#include <string>

struct Parsed {
    std::string drive, dir, base, extension;
};

static Parsed Parse(const std::string &path)
{
    strcpy(AppState.Drive, "X:");
    strcpy(AppState.DirPart, "stale\\");
    strcpy(AppState.BaseName, "stale");
    strcpy(AppState.Extension, ".stale");
    ParsePath(path.c_str());
    return {AppState.Drive, AppState.DirPart, AppState.BaseName, AppState.Extension};
}

TEST(ParsePath, SplitsAFullPathIntoItsFourParts)
{
    Parsed p = Parse("C:\\Data\\Work\\report.zip");
    EXPECT_EQ(p.drive, "C:");
    EXPECT_EQ(p.dir, "\\Data\\Work\\");
    EXPECT_EQ(p.base, "report");
    EXPECT_EQ(p.extension, ".zip");
}

TEST(ParsePath, ExtensionRunsFromTheLastDotOfTheFinalComponent)
{
    Parsed p = Parse("a.b.c");
    EXPECT_EQ(p.base, "a.b");
    EXPECT_EQ(p.extension, ".c");

    p = Parse("C:\\folder.d\\file");
    EXPECT_EQ(p.dir, "\\folder.d\\");
    EXPECT_EQ(p.base, "file");
    EXPECT_EQ(p.extension, "") << "a dot in a folder name is no extension";

    p = Parse("archive.");
    EXPECT_EQ(p.base, "archive");
    EXPECT_EQ(p.extension, ".");

    p = Parse(".profile");
    EXPECT_EQ(p.base, "");
    EXPECT_EQ(p.extension, ".profile");
}

TEST(ParsePath, ABareNameClearsDriveAndFolder)
{
    Parsed p = Parse("data");
    EXPECT_EQ(p.drive, "");
    EXPECT_EQ(p.dir, "");
    EXPECT_EQ(p.base, "data");
    EXPECT_EQ(p.extension, "");

    p = Parse("");
    EXPECT_EQ(p.drive, "");
    EXPECT_EQ(p.dir, "");
    EXPECT_EQ(p.base, "");
    EXPECT_EQ(p.extension, "");
}

TEST(ParsePath, BothSeparatorsCount)
{
    Parsed p = Parse("D:/one\\two/three.tar.gz");
    EXPECT_EQ(p.drive, "D:");
    EXPECT_EQ(p.dir, "/one\\two/");
    EXPECT_EQ(p.base, "three.tar");
    EXPECT_EQ(p.extension, ".gz");

    p = Parse("\\\\server\\share\\x.bin");
    EXPECT_EQ(p.drive, "");
    EXPECT_EQ(p.dir, "\\\\server\\share\\");
    EXPECT_EQ(p.base, "x");
}

TEST(ParsePath, ADriveIsOnlyALetterAndColonAtTheVeryStart)
{
    Parsed p = Parse("c:file.txt");
    EXPECT_EQ(p.drive, "c:");
    EXPECT_EQ(p.dir, "");
    EXPECT_EQ(p.base, "file");

    p = Parse("1:\\x.y");
    EXPECT_EQ(p.drive, "");
    EXPECT_EQ(p.dir, "1:\\");

    p = Parse("dir\\C:x.y");
    EXPECT_EQ(p.drive, "");
    EXPECT_EQ(p.dir, "dir\\");
    EXPECT_EQ(p.base, "C:x");

    p = Parse("C:");
    EXPECT_EQ(p.drive, "C:");
    EXPECT_EQ(p.base, "");
}

TEST(ParsePath, LooksAtNoMoreThan260CharactersAndCapsEachPartAt255)
{
    // A base name of 300 characters is cut to 255, with no extension beyond the 260th character.
    std::string longName(300, 'n');
    Parsed p = Parse(longName + ".zip");
    EXPECT_EQ(p.base, std::string(255, 'n'));
    EXPECT_EQ(p.extension, "") << "the dot lies beyond the 260 characters looked at";

    // Folder part of 257 characters is cut to 255.
    std::string folder = "C:\\" + std::string(254, 'f') + "\\";
    p = Parse(folder + "ab.c");
    EXPECT_EQ(p.drive, "C:");
    EXPECT_EQ(p.dir.size(), 255u);
    EXPECT_EQ(p.dir, folder.substr(2, 255));
    EXPECT_EQ(p.base, "ab") << "characters 259 and 260 are 'a' and 'b'; the rest lies beyond the limit";
    EXPECT_EQ(p.extension, "");

    // An extension is cut to 255 characters too.
    p = Parse("x." + std::string(400, 'e'));
    EXPECT_EQ(p.base, "x");
    EXPECT_EQ(p.extension.size(), 255u);
}

TEST(CopyText, AlwaysTerminatesWithinTheCapacity)
{
    char buffer[8];
    memset(buffer, 'z', sizeof buffer);
    CopyText(buffer, sizeof buffer, "0123456789");
    EXPECT_STREQ(buffer, "0123456");
    CopyText(buffer, sizeof buffer, "ab");
    EXPECT_STREQ(buffer, "ab");
}
