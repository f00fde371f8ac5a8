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

BoxSeen SplitFixture::OnlyBox() const
{
    EXPECT_EQ(boxes->Boxes().size(), 1u);
    if (boxes->Boxes().empty())
        return BoxSeen{"(none)", "(none)", 0, false, false, false, 0};
    return boxes->Boxes().back();
}
