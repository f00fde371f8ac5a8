// Answers the program's message boxes in tests: a thread-local CBT hook sees each box as it is
// activated, records what it says and presses the scripted button.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

struct BoxSeen {
    std::string text;
    std::string caption;
    UINT icon;   // MB_ICONERROR, MB_ICONWARNING, MB_ICONQUESTION, MB_ICONINFORMATION or 0
    bool hasOk, hasYes, hasNo;
    int answer;  // the button pressed
};

class MessageBoxAnswerer {
public:
    // With failOnUnexpected, a box with no scripted answer fails the running test
    // (it is answered with OK or No so that the program can go on).
    explicit MessageBoxAnswerer(bool failOnUnexpected = true);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer &) = delete;
    MessageBoxAnswerer &operator=(const MessageBoxAnswerer &) = delete;

    // Queues the button (IDOK, IDYES, IDNO) that the next box is answered with; the action, when
    // given, runs while that box is on screen, before the answer.
    void Answer(int button, std::function<void()> action = nullptr);
    const std::vector<BoxSeen> &Boxes() const { return boxes_; }
    size_t Pending() const { return script_.size(); }

    void OnActivate(HWND box);
    void OnDestroy(HWND window) { answered_.erase(window); }

private:
    bool failOnUnexpected_;
    HHOOK hook_;
    std::deque<std::pair<int, std::function<void()>>> script_;
    std::vector<BoxSeen> boxes_;
    std::set<HWND> answered_; // boxes on screen that have had their answer
    MessageBoxAnswerer *previous_;
};

// Icon name for failure messages.
const char *IconName(UINT icon);

// Whether a box showed this text and caption, this icon, and these buttons (MB_OK or MB_YESNO).
// Use it in EXPECT_TRUE or ASSERT_TRUE: a failure lists every difference.
::testing::AssertionResult IsBox(const BoxSeen &box, const std::string &text, const std::string &caption, UINT icon,
                                 UINT buttons);
