#include "MessageBoxAnswerer.h"

#include <gtest/gtest.h>

static thread_local MessageBoxAnswerer *Current = nullptr;

static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_DESTROYWND && Current != nullptr)
        Current->OnDestroy((HWND)wParam);
    if (code == HCBT_ACTIVATE && Current != nullptr) {
        HWND window = (HWND)wParam;
        char className[32] = "";
        GetClassNameA(window, className, sizeof className);
        if (strcmp(className, "#32770") == 0 && GetDlgItem(window, 0xFFFF) != NULL)
            Current->OnActivate(window);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

// Wine's icon control has another id than Windows': find it by the icon it shows.
static UINT FindIcon(HWND box)
{
    static const struct {
        LPCSTR id;
        UINT style;
    } icons[] = {{IDI_HAND, MB_ICONERROR},
                 {IDI_EXCLAMATION, MB_ICONWARNING},
                 {IDI_QUESTION, MB_ICONQUESTION},
                 {IDI_ASTERISK, MB_ICONINFORMATION}};
    for (HWND child = GetWindow(box, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT)) {
        HICON shown = (HICON)SendMessageA(child, STM_GETICON, 0, 0);
        if (shown == NULL)
            continue;
        for (const auto &icon : icons)
            if (shown == LoadIconA(NULL, icon.id))
                return icon.style;
    }
    return 0;
}

const char *IconName(UINT icon)
{
    switch (icon) {
    case MB_ICONERROR: return "error";
    case MB_ICONWARNING: return "warning";
    case MB_ICONQUESTION: return "question";
    case MB_ICONINFORMATION: return "information";
    default: return "none";
    }
}

MessageBoxAnswerer::MessageBoxAnswerer(bool failOnUnexpected)
    : failOnUnexpected_(failOnUnexpected), previous_(Current)
{
    Current = this;
    hook_ = SetWindowsHookExA(WH_CBT, CbtHook, NULL, GetCurrentThreadId());
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    UnhookWindowsHookEx(hook_);
    Current = previous_;
    if (failOnUnexpected_)
        EXPECT_TRUE(script_.empty()) << script_.size() << " scripted answer(s) left over: an expected box never came";
}

void MessageBoxAnswerer::Answer(int button, std::function<void()> action)
{
    script_.push_back(std::make_pair(button, action));
}

void MessageBoxAnswerer::OnActivate(HWND box)
{
    // A box loses and regains activation when another window comes and goes (on a busy
    // machine, other tests' windows do): it has had its answer the first time.
    if (!answered_.insert(box).second)
        return;
    BoxSeen seen;
    char text[2048] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    seen.text = text;
    char caption[256] = "";
    GetWindowTextA(box, caption, sizeof caption);
    seen.caption = caption;
    seen.icon = FindIcon(box);
    seen.hasOk = GetDlgItem(box, IDOK) != NULL;
    seen.hasYes = GetDlgItem(box, IDYES) != NULL;
    seen.hasNo = GetDlgItem(box, IDNO) != NULL;

    int answer;
    if (!script_.empty()) {
        answer = script_.front().first;
        std::function<void()> action = script_.front().second;
        script_.pop_front();
        if (action)
            action();
        bool exists = (answer == IDOK && seen.hasOk) || (answer == IDYES && seen.hasYes) || (answer == IDNO && seen.hasNo);
        if (!exists) {
            ADD_FAILURE() << "scripted answer " << answer << " is not a button of the box \"" << seen.text
                          << "\" (" << seen.caption << ")";
            answer = seen.hasOk ? IDOK : IDNO;
        }
    } else {
        if (failOnUnexpected_)
            ADD_FAILURE() << "unexpected message box \"" << seen.text << "\" caption \"" << seen.caption << "\"";
        answer = seen.hasOk ? IDOK : IDNO;
    }
    seen.answer = answer;
    boxes_.push_back(seen);
    PostMessageA(box, WM_COMMAND, answer, 0);
}

::testing::AssertionResult IsBox(const BoxSeen &box, const std::string &text, const std::string &caption, UINT icon,
                                 UINT buttons)
{
    bool yesNo = buttons == MB_YESNO;
    std::string shown = std::string(box.hasOk ? " OK" : "") + (box.hasYes ? " Yes" : "") + (box.hasNo ? " No" : "");
    std::string differences;
    if (box.text != text)
        differences += "\n  text \"" + box.text + "\", expected \"" + text + "\"";
    if (box.caption != caption)
        differences += "\n  caption \"" + box.caption + "\", expected \"" + caption + "\"";
    if (box.icon != icon)
        differences += std::string("\n  icon ") + IconName(box.icon) + ", expected " + IconName(icon);
    if (box.hasOk == yesNo || box.hasYes != yesNo || box.hasNo != yesNo)
        differences += "\n  buttons" + shown + ", expected " + (yesNo ? "Yes No" : "OK");
    if (differences.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the box differs:" << differences;
}
