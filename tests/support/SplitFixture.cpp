#include "support/SplitFixture.h"

#include <stdio.h>

#include <algorithm>

SplitFixture::SplitFixture()
{
    ResetAppState(folder.Path());
    window.reset(new TestWindow());
    boxes.reset(new MessageBoxAnswerer());
}

SplitFixture::~SplitFixture()
{
    boxes.reset();
    window.reset();
}

Bytes SplitFixture::MakeSource(const std::string &name, size_t size, uint32_t seed)
{
    Bytes bytes = RandomBytes(size, seed);
    EXPECT_TRUE(WriteBytes(folder / name, bytes));
    Select(name);
    return bytes;
}

void SplitFixture::Select(const std::string &name)
{
    CopyText(AppState.FileName, sizeof AppState.FileName, name.c_str());
    ParsePath(AppState.FileName);
}

void SplitFixture::ExpectPieces(const std::string &inFolder, const std::string &base, const Bytes &source,
                                size_t splitSize)
{
    size_t count = (source.size() + splitSize - 1) / splitSize;
    for (size_t k = 1; k <= count; k++) {
        char suffix[8];
        snprintf(suffix, sizeof suffix, ".%03u", (unsigned)k);
        std::string piece = inFolder + "\\" + base + suffix;
        bool ok = false;
        Bytes got = ReadBytes(piece, &ok);
        ASSERT_TRUE(ok) << piece << " is missing";
        size_t from = (k - 1) * splitSize;
        size_t size = k < count ? splitSize : source.size() - from;
        ASSERT_EQ(got.size(), size) << piece;
        ASSERT_TRUE(std::equal(got.begin(), got.end(), source.begin() + from)) << piece << " differs from the source";
    }
    char suffix[8];
    snprintf(suffix, sizeof suffix, ".%03u", (unsigned)count + 1);
    EXPECT_FALSE(Exists(inFolder + "\\" + base + suffix)) << "a piece beyond the last";
}

std::string SplitFixture::WorkingDirectory() const
{
    char cwd[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof cwd, cwd);
    return cwd;
}

BoxSeen SplitFixture::OnlyBox() const
{
    EXPECT_EQ(boxes->Boxes().size(), 1u);
    if (boxes->Boxes().empty())
        return BoxSeen{"(none)", "(none)", 0, false, false, false, 0};
    return boxes->Boxes().back();
}
