// Shared set-up of the engine tests: a fresh folder that is the working directory and
// CurrentDirectory, the stand-in window with its controls, and the message-box answerer.
#pragma once

#include "core/AppState.h"
#include "support/Files.h"
#include "support/MessageBoxAnswerer.h"
#include "support/TempFolder.h"
#include "support/TestWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class SplitFixture : public ::testing::Test {
protected:
    SplitFixture();
    ~SplitFixture() override;

    // Writes a source file into the folder and selects it as a typed name would.
    Bytes MakeSource(const std::string &name, size_t size, uint32_t seed = 7);
    void Select(const std::string &name);

    // Asserts exactly one box was shown and returns it.
    BoxSeen OnlyBox() const;

    TempFolder folder;
    std::unique_ptr<TestWindow> window;
    std::unique_ptr<MessageBoxAnswerer> boxes;
};
