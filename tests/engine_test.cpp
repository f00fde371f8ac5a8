// The split, its batch file and its log, run by the Split command on the real main window in
// this process: every way a split ends, pieces byte for byte against GNU split, and the exact
// texts the user gets.
#include "support/Support.h"

#include "resources/resource.h"
#include "core/Sha256.h"
#include "split/Split.h"

#include <shlwapi.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <iostream>
#include <set>
#include <sstream>
#include <thread>

class Engine : public ProgramTest {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(Start()); }

    // Batch File, Log File, Use Output and Sub Directory checked for the letters B, L, O and S.
    void Options(const std::string &letters)
    {
        const std::pair<HWND, char> options[] = {{AppState.BatchFileCheck, 'B'}, {AppState.LogFileCheck, 'L'},
                                                 {AppState.UseOutputCheck, 'O'}, {AppState.SubDirectoryCheck, 'S'}};
        for (const auto &option : options)
            if (Checked(option.first) != (letters.find(option.second) != std::string::npos))
                Click(option.first);
    }

    void Split(const std::string &name, int splitSize)
    {
        Type(AppState.SplitSizeEdit, std::to_string(splitSize));
        Type(AppState.FileNameEdit, name);
        Command(CmdSplit);
    }

    // What the idle window shows: title, status panes, Split, progress bar, working folder.
    static std::string Face()
    {
        char folder[PathCapacity] = "";
        GetCurrentDirectoryA(sizeof folder, folder);
        std::ostringstream face;
        face << Text(AppState.MainWindow) << "|" << Text(AppState.StatusNamePane) << "|" << Text(AppState.StatusSizePane)
             << "|" << Text(AppState.StatusPiecesPane) << "|" << Text(AppState.SplitButton) << IsWindowEnabled(AppState.SplitButton) << "|"
             << IsWindowVisible(AppState.ProgressBar) << SendMessageA(AppState.ProgressBar, PBM_GETPOS, 0, 0) << "|"
             << folder << "|" << AppState.CurrentDirectory;
        return face.str();
    }
};

// A box a split shows, the answer given and what is done while it is on screen; '@' in its text
// stands for the source's folder. The icon has MB_DEFBUTTON2 added for a question whose default is No.
struct ExpectedBox { int answer; std::string text, caption; UINT icon; std::function<void()> action = nullptr; };

// A double-click on Split as it comes: a click, then a second click of a message of its own.
static void DoubleClickSplit()
{ PostMessageA(AppState.SplitButton, WM_LBUTTONDBLCLK, MK_LBUTTON, 0), PostMessageA(AppState.SplitButton, WM_LBUTTONUP, 0, 0); }

// The progress bar, made slow: each position it is handed waits 25 ms, longer than the window's
// pace, so that it is handed one at every chunk and every line; the test's moment then comes.
static WNDPROC BarProc = nullptr;
static std::function<void(WPARAM)> AtBar;
static LRESULT CALLBACK SlowBar(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == PBM_SETPOS && AtBar)
        Sleep(25), AtBar(wParam);
    return CallWindowProcA(BarProc, bar, message, wParam, lParam);
}

// A split or join cancelled (or an exit asked for) the first time the bar moves once file (a name,
// or a pattern) is there with at least so many bytes; or, for a double-click on Split, its second
// click once the split is over (the bar emptied), before it has ended.
enum CancelWay { ClickCancel, PressEscape, ExitAsked, SessionEnds, SecondClick };
static void CancelWhen(const std::string &file, CancelWay way, DWORD bytes = 0)
{
    if (BarProc == nullptr)
        BarProc = (WNDPROC)SetWindowLongPtrA(AppState.ProgressBar, GWLP_WNDPROC, (LONG_PTR)SlowBar);
    AtBar = [file, way, bytes, done = false](WPARAM position) mutable {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(file.c_str(), &found);
        FindClose(search);
        if (done || search == INVALID_HANDLE_VALUE || found.nFileSizeLow < bytes || (way == SecondClick && position != 0))
            return;
        done = true;
        EXPECT_EQ(Text(AppState.SplitButton), "Cancel");
        if (way == SecondClick)
            DoubleClickSplit();
        if (way == ClickCancel)
            Click(AppState.SplitButton);
        if (way == PressEscape || way == ExitAsked) // a key at a field, or the close box's message
            PostMessageA(way == ExitAsked ? AppState.MainWindow : AppState.SplitSizeEdit,
                         way == ExitAsked ? WM_CLOSE : WM_KEYDOWN, VK_ESCAPE, 0);
        if (way == SessionEnds) { // all done before the program returns: Windows may end it then
            SetWindowTextA(AppState.SplitSizeEdit, "500"); // saved as the window shows it
            SendMessageA(AppState.MainWindow, WM_ENDSESSION, TRUE, 0);
            std::string folder = file.substr(0, file.rfind('\\')); // the sub-folder the split made
            EXPECT_FALSE(IsWindow(AppState.MainWindow) || GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES);
        }
    };
}

struct Ending {
    const char *what;
    int size, splitSize;
    const char *options; // as Engine::Options takes them
    std::string output;  // the output folder: in the source's folder, or a whole path; "disk" for the full disk
    std::vector<ExpectedBox> boxes;
    std::string files;   // the source's folder afterwards (and " | " the full disk's folder)
    std::function<void()> before = nullptr;
    const char *kept = nullptr; // a file of the user's there beforehand, which must stay as it was
    const char *cancelAt = nullptr; CancelWay way = ClickCancel; // a file of the split's: the moment to cancel
};

// The boxes seen from the first on are the rows' boxes, '@' the folder.
static void ExpectBoxes(const BoxAnswerer &boxes, size_t first, const std::vector<ExpectedBox> &expected, const std::string &at)
{
    ASSERT_EQ(boxes.Count() - first, expected.size());
    for (size_t i = 0; i < expected.size(); i++) {
        std::string text = expected[i].text;
        for (size_t p = text.find('@'); p != std::string::npos; p = text.find('@', p + 1))
            text.replace(p, 1, at);
        UINT icon = expected[i].icon & ~MB_DEFMASK, buttons = expected[i].answer == IDOK ? MB_OK : MB_YESNO;
        EXPECT_TRUE(IsBox(boxes.Seen(first + i), text, expected[i].caption, icon, buttons | (expected[i].icon & MB_DEFMASK)));
    }
}

static const char ExitQuestion[] = "A split is running. Cancel it and exit?";
static const UINT NoFirst = MB_ICONQUESTION | MB_DEFBUTTON2; // its icon, No its default: Enter goes on splitting

static ExpectedBox Error(const std::string &text, std::function<void()> action = nullptr)
{ return {IDOK, text, "Error", MB_ICONERROR, action}; }

// "data.001 ... data.nnn data.bin": n pieces beside their source.
static std::string PieceNames(int n)
{
    std::string names = "data.bin";
    for (char suffix[16]; n > 0; n--)
        names = std::string(suffix, snprintf(suffix, sizeof suffix, "data.%03d ", n)) + names;
    return names;
}

// Reads (value < 0) or writes one byte at an offset of a file, made when missing: the byte, or -1.
static int ByteAt(const std::string &path, int64_t offset, int value = -1)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_ALWAYS, 0, NULL);
    LARGE_INTEGER at = {{(DWORD)offset, (LONG)(offset >> 32)}};
    unsigned char byte = (unsigned char)value;
    DWORD done = 0;
    BOOL ok = SetFilePointerEx(file, at, NULL, FILE_BEGIN) &&
              (value < 0 ? ReadFile(file, &byte, 1, &done, NULL) : WriteFile(file, &byte, 1, &done, NULL));
    CloseHandle(file);
    return ok && done == 1 ? byte : -1;
}

// Every way a split can end, through the window's Split command, for a source dropped on it: the
// boxes, the files on disk (every piece complete and as GNU split cuts it, at every boundary;
// nothing of the user's touched) and the window idle again as it was before, or, for the last
// row, the program ended once the split was over. scripts/test mounts a 1 MiB tmpfs (as root)
// and names it, as Wine sees it, in MORVANE_FULL_DISK; each full-disk row is sized so that its
// phase is the one that runs out (Wine reports a short write as success).
TEST_F(Engine, EverySplitEndsWithItsBoxesItsFilesAndTheWindowIdle)
{
    const char *disk = getenv("MORVANE_FULL_DISK");
    const Bytes kept = "kept!";
    const std::string create = "The directory\n@\\new\ndoes not exist\n\nWould you like to create it?",
                      deep = "C:\\" + Repeat("\xD0\xBF", 248); // deep\data.001: 260 characters (508 bytes)
    const ExpectedBox tooFew = Error("Number of splits must be\nbetween 2 and 999"),
                      tooSmall = {IDOK, "File size too small to split", "Notice", MB_ICONWARNING};
    std::string at; // the source's folder
    auto made = [&](const char *name) { return [&at, name] { CreateDirectoryA((at + "\\" + name).c_str(), NULL); }; };
    HANDLE held = INVALID_HANDLE_VALUE;
    const Ending rows[] = {
        {"beside the file, an exact multiple: no empty last piece", 4000, 1000, "", "", {}, PieceNames(4)},
        {"a last piece of one byte", 1001, 1000, "", "", {}, PieceNames(2)},
        {"pieces that end in a transfer of one byte", 200000, 65536, "", "", {}, PieceNames(4)},
        {"whole transfers", 200000, 65535, "", "", {}, PieceNames(4)},
        {"into the output folder", 3000, 1000, "BLO", "out", {},
         "data.bin out/ out/data.001 out/data.002 out/data.003 out/data.bat out/data.log out/data.sha256", made("out")},
        {"into a missing output folder, made on Yes", 3000, 1000, "O", "new",
         {{IDYES, create, "Path Not Found", MB_ICONQUESTION}}, "data.bin new/ new/data.001 new/data.002 new/data.003"},
        {"declined on No", 3000, 1000, "BLO", "new", {{IDNO, create, "Path Not Found", MB_ICONQUESTION}}, "data.bin"},
        {"an output folder that cannot be made", 3000, 1000, "O", "gone\\new",
         {{IDYES, "The directory\n@\\gone\\new\ndoes not exist\n\nWould you like to create it?", "Path Not Found",
           MB_ICONQUESTION},
          Error("Could not create\n@\\gone\\new")},
         "data.bin"},
        {"no output folder given", 3000, 1000, "BLO", "",
         {Error("No output folder is given\nType one into Output Path, or uncheck Use Output")}, "data.bin"},
        {"an output path that is a file", 3000, 1000, "BLO", "taken", {Error("The output path is a file\n@\\taken")},
         "data.bin taken", [&] { WriteBytes(at + "\\taken", "x"); }},
        {"pieces whose paths would be too long for Windows", 3000, 1000, "O", deep,
         {Error("The pieces' paths would be longer than the 259 characters Windows allows in\n" + deep +
                "\nfor example data.003")},
         "data.bin"},
        {"into a new sub-folder", 3000, 1000, "BLS", "", {},
         "data.bin data/ data/data.001 data/data.002 data/data.003 data/data.bat data/data.log data/data.sha256"},
        {"a sub-folder already there", 3000, 1000, "BLS", "", {Error("Could not create sub directory")}, "data.bin data/",
         made("data")},
        {"a log that cannot list a piece is closed before it says so", 3000, 1000, "L", "",
         {{IDYES, "data.log already exist\n\nDo you want to overwrite it?", "Log File Exist", MB_ICONWARNING,
           [&] { // another program holds the first piece
               held = CreateFileA((at + "\\data.001").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
           }},
          Error("Null file handle", [&] {
              EXPECT_EQ(SendMessageA(AppState.ProgressBar, PBM_GETPOS, 0, 0), 0) << "the bar starts again for the log";
              HANDLE log = CreateFileA((at + "\\data.log").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
              EXPECT_NE(log, INVALID_HANDLE_VALUE) << "the log was still open while its box was shown";
              CloseHandle(log);
          })},
         "data.001 data.002 data.003 data.bin data.log data.sha256", [&] { WriteBytes(at + "\\data.log", "old"); }},
        {"one piece", 1000, 1000, "", "", {tooFew}, "data.bin"},
        {"1000 pieces", 1000, 1, "", "", {tooFew}, "data.bin"},
        {"one byte", 1, 1, "", "", {tooSmall}, "data.bin"},
        {"a source gone since it was chosen: nothing of its name is created", 3000, 1000, "BLS", "",
         {{IDOK, "data.bin\ndoes not exist", "File Not Found", MB_ICONERROR}}, "",
         [&] { DeleteFileA((at + "\\data.bin").c_str()); }},
        {"a source another program holds open for writing", 3000, 1000, "", "", {}, PieceNames(3), [&] {
             held = CreateFileA((at + "\\data.bin").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, 0, NULL);
         }},
        {"a source cut short by another program while it is split: the short piece goes", 3000, 1000, "O", "new",
         {{IDYES, create, "Path Not Found", MB_ICONQUESTION, [&] { // emptied, then written again
               CloseHandle(CreateFileA((at + "\\data.bin").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       NULL, TRUNCATE_EXISTING, 0, NULL));
           }},
          Error("Could not read the source file while writing\ndata.001", [&] { ByteAt(at + "\\data.bin", 2999, 0); })},
         "data.bin new/"},
        {"double-clicks on Split: a second click queued meanwhile, or once the split is over, splits nothing", 3000, 1000,
         "S", "", {}, "data.bin data/ data/data.001 data/data.002 data/data.003", DoubleClickSplit, nullptr,
         "data\\data.003", SecondClick},
        {"a full disk while writing a piece", 1060000, 1000000, "BLO", "disk",
         {Error("Could not write\ndata.002\nThe disk may be full")}, "data.bin | data.001"},
        {"a full disk while writing the checksum file", 1048576, 524288, "BLO", "disk",
         {Error("Could not write\ndata.sha256\nThe disk may be full")}, "data.bin | data.001 data.002"},
        {"a full disk while writing the batch file", 1044480, 348160, "BLO", "disk",
         {Error("Could not write\ndata.bat\nThe disk may be full")}, "data.bin | data.001 data.002 data.003 data.sha256"},
        {"a full disk while writing the log", 1040384, 520192, "BLO", "disk", {Error("Could not write\ndata.log\nThe disk may be full")},
         "data.bin | data.001 data.002 data.bat data.log data.sha256"},
        {"a piece already there; a drop and Uninstall meanwhile are ignored, Cancel is too late, Exit and close ask",
         3000, 1000, "BLO", "out",
         {{IDOK, "data.002 already exist", "Warning", MB_ICONWARNING,
           [this] {
               Drop(folder / "other.bin");
               for (int id : {CmdSplit, CmdUninstall, CmdExit})
                   Command(id);
               SendMessageA(AppState.MainWindow, WM_CLOSE, 0, 0);
               EXPECT_TRUE(IsWindow(AppState.MainWindow)) << "the window outlives the split";
           }},
          {IDNO, ExitQuestion, "Split Running", NoFirst}, {IDNO, ExitQuestion, "Split Running", NoFirst}},
         "data.bin out/ out/data.001 out/data.002", made("out"), "out\\data.002"},
        // Cancelled: nothing of the split is left, what was there before stays, the window says so.
        {"cancelled in the first piece, into the output folder it made", 3000, 1000, "O", "new",
         {{IDYES, create, "Path Not Found", MB_ICONQUESTION}}, "data.bin", nullptr, nullptr, "new\\data.001"},
        {"cancelled in the middle by Escape, into its sub-folder", 3000, 1000, "BLS", "", {}, "data.bin", nullptr, nullptr,
         "data\\data.002", PressEscape},
        {"cancelled in the last piece, beside a file of the user's", 3000, 1000, "BLO", "out", {},
         "data.bin out/ out/data.txt", made("out"), "out\\data.txt", "out\\data.003"},
        {"cancelled in the batch file, in a sub-folder of an empty output folder", 3000, 1000, "BLOS", "out", {},
         "data.bin out/", made("out"), nullptr, "out\\data\\data.bat"},
        {"Exit answered No: the split goes on", 3000, 1000, "BLO", "out", {{IDNO, ExitQuestion, "Split Running", NoFirst}},
         "data.bin out/ out/data.001 out/data.002 out/data.003 out/data.bat out/data.log out/data.sha256", made("out"),
         nullptr, "out\\data.002", ExitAsked},
        {"cancelled in the log by Exit answered Yes, which then ends the program", 3000, 1000, "BLS", "",
         {{IDYES, ExitQuestion, "Split Running", NoFirst}}, "data.bin", nullptr, nullptr, "data\\data.log", ExitAsked},
    };
    for (const Ending &row : rows) {
        SCOPED_TRACE(row.what);
        bool onDisk = row.output == "disk";
        if (onDisk && disk == nullptr) {
            std::cout << "MORVANE_FULL_DISK is not set: skipped \"" << row.what << "\"\n";
            continue;
        }
        TempFolder folder, out(onDisk ? disk : "Z:\\tmp");
        at = folder.Path();
        Bytes source = RandomBytes(row.size, row.size);
        ASSERT_TRUE(WriteBytes(at + "\\data.bin", source));
        if (row.before)
            row.before();
        if (row.kept != nullptr)
            WriteBytes(at + "\\" + row.kept, kept);
        Options(row.options);
        bool whole = row.output.empty() || row.output[1] == ':';
        Type(AppState.OutputPathEdit, onDisk ? out.Path() : whole ? row.output : at + "\\" + row.output);
        Type(AppState.SplitSizeEdit, std::to_string(row.splitSize));
        Drop(at + "\\data.bin");
        std::string idle = Face();
        size_t first = boxes.Count();
        for (const ExpectedBox &box : row.boxes)
            boxes.Answer(box.answer, box.action);
        if (row.cancelAt != nullptr)
            CancelWhen(at + "\\" + row.cancelAt, row.way);
        Command(CmdSplit);
        AtBar = nullptr;
        bool quit = false;
        for (MSG message; PeekMessageA(&message, NULL, 0, 0, PM_REMOVE); DispatchMessageA(&message))
            quit = quit || message.message == WM_QUIT;

        ExpectBoxes(boxes, first, row.boxes, at);
        if (held != INVALID_HANDLE_VALUE && CloseHandle(held)) // before the files are read
            held = INVALID_HANDLE_VALUE;
        std::string files = Listing(at), onTheDisk = Listing(out.Path());
        EXPECT_EQ(files + (onDisk ? " | " + onTheDisk : ""), row.files);
        for (const auto &place : {std::make_pair(at, files), std::make_pair(out.Path(), onTheDisk)}) {
            std::istringstream names(place.second);
            for (std::string name; names >> name;) { // every piece complete, whatever came after it
                int k = name.size() < 8 ? 0 : atoi(name.c_str() + name.size() - 3);
                if (k == 0 || name.compare(name.size() - 8, 5, "data.") != 0)
                    continue;
                std::replace(name.begin(), name.end(), '/', '\\');
                Bytes piece = ReadBytes(place.first + "\\" + name);
                if (row.kept != nullptr && name == row.kept)
                    EXPECT_EQ(piece, kept) << "a file of the user's was written over";
                else
                    EXPECT_TRUE(piece == source.substr((k - 1) * row.splitSize, row.splitSize)) << name;
            }
        }
        if (IsWindow(AppState.MainWindow)) {
            if (row.cancelAt != nullptr && row.way != ExitAsked && row.way != SecondClick)
                idle.replace(idle.find("|data.bin|"), 10, "|split cancelled|");
            EXPECT_EQ(Face(), idle) << "the window is idle again, as before the split";
            continue;
        }
        // The exit came once the split was over: the settings are the idle window's, the source's folder.
        EXPECT_TRUE(quit);
        EXPECT_EQ(ProgramValue("CurrentDirectory"), at + std::string(257 - at.size(), '\0'));
        EXPECT_STREQ(row.what, rows[sizeof rows / sizeof rows[0] - 1].what) << "only the last row ends the program";
    }
}


// A sparse source above 4 GiB in pieces of 2^31 - 1 bytes: the panes, the bytes around 2^31 and 2^32 and
// at each piece's end in place, the log's sizes; a piece a byte longer than 2^31 - 1 is named by the
// batch file, which compares sizes as text. On a tmpfs that scripts/test mounts (as root).
TEST_F(Engine, ASourceAbove4GiBIsCutAtItsBoundaries)
{
    const char *disk = getenv("MORVANE_BIG_DISK");
    if (disk == nullptr)
        GTEST_SKIP() << "MORVANE_BIG_DISK is not set: no disk for 4 GiB of pieces (scripts/test mounts one as root)";
    TempFolder big(disk);
    const int64_t piece = 2147483647, size = (1LL << 32) + 5;
    const int64_t marks[] = {piece - 1, piece, 1LL << 31, 2 * piece - 1, 2 * piece, (1LL << 32) - 1, 1LL << 32, size - 1};
    for (int i = 0; i < 8; i++)
        ASSERT_EQ(ByteAt(big / "data.bin", marks[i], 'a' + i), 'a' + i);
    Options("BL");
    Type(AppState.SplitSizeEdit, std::to_string(piece));
    Drop(big / "data.bin");
    EXPECT_EQ(Text(AppState.StatusSizePane) + ", " + Text(AppState.StatusPiecesPane), "4294967301 bytes, 3 splits");
    Command(CmdSplit);
    SetCurrentDirectoryA(folder.Path().c_str()); // the big folder goes when the test ends
    for (const auto &end : {std::make_pair("data.001", piece), {"data.002", piece}, {"data.003", (int64_t)7}})
        EXPECT_EQ(ByteAt(big / end.first, end.second), -1) << end.first << " has no byte past its end";
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(ByteAt(big / ("data.00" + std::to_string(marks[i] / piece + 1)), marks[i] % piece), 'a' + i)
            << "the source's byte at " << marks[i];
    std::string log = ReadBytes(big / "data.log");
    const std::string lines[] = {"Original file size... 4294967301 bytes\r\n",
                                 "   3. data.003  " + std::string(9, ' ') + "7 bytes",
                                 "Total bytes split = 4294967301 bytes\r\n"};
    for (const std::string &line : lines)
        EXPECT_NE(log.find(line), std::string::npos) << line << " in\n" << log;
    ASSERT_EQ(ByteAt(big / "data.001", piece, 'x'), 'x');
    EXPECT_EQ(system(("cd /d " + big.Path() + " && data.bat >said.txt").c_str()), 2);
    EXPECT_NE(ReadBytes(big / "said.txt").find("data.001 has the wrong size: copy it again"), std::string::npos);
}

// While a split (of the most pieces) and its log run, the window answers another program; keys and
// clicks act on nothing (no box flipped, no preset picked, no answer to a later box); the tray's
// click acts once it is over; fields another program changes meanwhile are taken then.
TEST_F(Engine, WhileItSplitsTheWindowAnswersAndActsOnNothing)
{
    ASSERT_TRUE(WriteBytes(folder / "data.bin", RandomBytes(999)) && WriteBytes(folder / "data.log", "old") &&
                WriteBytes(folder / "other.bin", RandomBytes(2000)));
    Options("L");
    Type(AppState.SplitSizeEdit, "1");
    Drop(folder / "data.bin");
    SetForegroundWindow(AppState.MainWindow);
    SetFocus(AppState.LogFileCheck);
    Key(VK_SPACE), Key(VK_RETURN);
    PostMessageA(AppState.Preset720Radio, WM_LBUTTONDOWN, MK_LBUTTON, 0), PostMessageA(AppState.Preset720Radio, WM_LBUTTONUP, 0, 0);
    PostMessageA(AppState.MainWindow, 0x203, 0, WM_LBUTTONUP);
    ShowWindow(AppState.MainWindow, SW_HIDE);
    std::atomic<bool> over(false);
    std::set<std::string> seen;
    std::thread asker([&] {
        for (char text[32]; !over; Sleep(1))
            if (SendMessageTimeoutA(AppState.StatusNamePane, WM_GETTEXT, sizeof text, (LPARAM)text, 0, 100, NULL))
                seen.insert(text);
    });
    boxes.Answer(IDYES, [this] {
        MSG key;
        EXPECT_FALSE(PeekMessageA(&key, NULL, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE)) << "a key waits to answer the box";
        EXPECT_EQ(SendMessageA(AppState.MainWindow, WM_QUERYENDSESSION, 0, 0), FALSE) << "no log-off while it splits";
        EXPECT_FALSE(Checked(AppState.Preset720Radio));
        Type(AppState.FileNameEdit, "other.bin");
        Type(AppState.SplitSizeEdit, "500");
    });
    Command(CmdSplit);
    over = true;
    asker.join();
    for (MSG message; PeekMessageA(&message, NULL, 0, 0, PM_REMOVE);)
        DispatchMessageA(&message);
    EXPECT_EQ(seen.count("writing log file..."), 1u) << "the window answered during the log";
    EXPECT_TRUE(IsWindowVisible(AppState.MainWindow)) << "the tray's click acted after the split";
    EXPECT_EQ(Listing(folder.Path()).size(), PieceNames(999).size() + strlen(" data.log data.sha256 other.bin")) << "one split, and its log";
    EXPECT_EQ(Text(AppState.StatusNamePane) + Text(AppState.StatusPiecesPane), "other.bin4 splits");
    SendMessageA(AppState.MainWindow, WM_ENDSESSION, TRUE, 0); // the session ends: saved as at Exit
    EXPECT_TRUE(QuitPosted());
    EXPECT_EQ(ProgramValue("ChkBits") + ProgramValue("SplitSize"), Bytes({4, 0, 0, 0, (char)0xF4, 1, 0, 0}));
}

// Windows ends the session in the middle of a split: before the program returns from the message,
// the split is taken away and the idle window's settings are saved.
TEST_F(Engine, TheSessionEndingDuringASplitLeavesNothingAndSaves)
{
    ASSERT_TRUE(WriteBytes(folder / "data.bin", RandomBytes(3000)));
    Options("BLS");
    CancelWhen(folder / "data\\data.002", SessionEnds);
    Split("data.bin", 1000);
    EXPECT_TRUE(QuitPosted());
    EXPECT_EQ(Listing(folder.Path()), "data.bin");
    EXPECT_EQ(ProgramValue("CurrentDirectory"), folder.Path() + std::string(257 - folder.Path().size(), '\0'));
    EXPECT_EQ(ProgramValue("SplitSize"), Bytes({(char)0xF4, 1, 0, 0})) << "500, the field's, not the split's 1000";
}

static std::string Sha256Of(const Bytes &bytes)
{
    Sha256 hash;
    unsigned char digest[Sha256Size];
    char hex[Sha256HexSize];
    Sha256Begin(&hash, Sha256Portable);
    Sha256Add(&hash, bytes.data(), bytes.size());
    Sha256End(&hash, digest);
    Sha256Hex(digest, hex);
    return hex;
}

// What a batch file does once the pieces are copied, whatever they are.
static const char BatchTail[] =
    "IF \"%MORVANE_SHA256%\"==\"other\" GOTO CONTENT\r\nIF \"%MORVANE_SHA256%\"==\"\" ECHO The sizes were checked, but not "
    "the content: this Windows has no certutil that computes SHA-256\r\n:COMPLETED\r\nECHO Rejoining Completed\r\n"
    "IF \"%OS%\"==\"Windows_NT\" EXIT /B 0\r\nGOTO END\r\n:MISSING\r\nECHO @ was not rebuilt: a piece is missing\r\n"
    "IF \"%OS%\"==\"Windows_NT\" EXIT /B 1\r\nGOTO END\r\n:CONTENT\r\nDEL @\r\nSET MORVANE_DAMAGED=\r\n";
static const char BatchEnd[] =
    "IF NOT DEFINED MORVANE_DAMAGED GOTO UNWRITTEN\r\n:DAMAGED\r\nECHO @ was not rebuilt: a piece is damaged\r\nEXIT /B 2\r\n"
    ":UNWRITTEN\r\nIF EXIST @ DEL @\r\nECHO @ was not rebuilt whole: run this file again, with room enough on the disk\r\n"
    "EXIT /B 3\r\n:PIECE\r\nCALL :SHA256 %1 %2\r\nIF \"%MORVANE_SHA256%\"==\"other\" SET MORVANE_DAMAGED=1\r\n"
    "IF \"%MORVANE_SHA256%\"==\"other\" ECHO %1 is damaged: copy it again\r\nGOTO :EOF\r\n:SHA256\r\nSET MORVANE_SHA256=\r\n"
    "FOR /F \"delims=\" %%L IN ('\"%SystemRoot%\\System32\\certutil.exe\" -hashfile %1 SHA256 2^>NUL') DO "
    "(SET \"MORVANE_LINE=%%L\" & CALL :LINE %2)\r\nGOTO :EOF\r\n:LINE\r\nSET \"MORVANE_LINE=%MORVANE_LINE: =%\"\r\n"
    "IF NOT DEFINED MORVANE_LINE GOTO :EOF\r\nIF NOT \"%MORVANE_LINE::=%\"==\"%MORVANE_LINE%\" GOTO :EOF\r\n"
    "IF \"%MORVANE_LINE:~63,1%\"==\"\" GOTO :EOF\r\nIF NOT \"%MORVANE_LINE:~64%\"==\"\" GOTO :EOF\r\n"
    "SET MORVANE_SHA256=other\r\nIF /I \"%MORVANE_LINE%\"==\"%1\" SET MORVANE_SHA256=same\r\nGOTO :EOF\r\n:END\r\n";

// The batch file's whole text, with its checks and COPY commands grouped by the name lengths, and
// the checksum file beside it: each piece's size and SHA-256 and the whole file's, for pieces cut
// as GNU split cuts them, the last one exactly full, and one of a byte.
TEST_F(Engine, TheBatchFileAndTheChecksumFileCarryEverySizeAndDigest)
{
    Options("B");
    for (const auto &row : {std::make_pair(std::string("data"), 2000), std::make_pair(std::string("data.zip"), 20001)}) {
        Bytes source = RandomBytes(row.second);
        ASSERT_TRUE(WriteBytes(folder / row.first, source));
        Split(row.first, 1000);
        const int pieces = (row.second + 999) / 1000, perLine = row.first == "data" ? 21 : 20;
        std::vector<std::string> names;
        std::string copy, calls, sums;
        for (int k = 1; k <= pieces; k++) {
            char name[16];
            snprintf(name, sizeof name, "data.%03d", k);
            names.push_back(name);
            Bytes piece = source.substr((k - 1) * 1000, 1000);
            EXPECT_EQ(ReadBytes(folder / name), piece) << name;
            copy += (k == 1 ? "COPY /B /Y " : k % perLine == 1 ? "ECHO Still Rejoining...\r\nCOPY /B /Y " + row.first + " + " : " + ") +
                    name + (k % perLine == 0 || k == pieces ? " " + row.first + "\r\n" : "");
            calls += "CALL :PIECE " + names.back() + " " + Sha256Of(piece) + "\r\n";
            sums += Sha256Of(piece) + " *" + name + "\r\n";
        }
        auto groups = [&](int first, int last, const std::string &test) { // FOR lines of pieces first ... last
            std::string lines;
            for (int from = first; from <= last; from += perLine) {
                lines += "FOR %%P IN (" + names[from - 1];
                for (int k = from + 1; k <= last && k < from + perLine; k++)
                    lines += " " + names[k - 1];
                lines += ") DO " + test + "\r\n";
            }
            return lines;
        };
        std::string text = "ECHO OFF\r\nCLS\r\nREM Morvane 3.2\r\n";
        for (const char *action : {"ECHO %%P is missing", "GOTO MISSING"})
            text += groups(1, pieces, std::string("IF NOT EXIST %%P ") + action);
        text += "IF NOT \"%OS%\"==\"Windows_NT\" GOTO REJOIN\r\nSETLOCAL\r\n";
        for (const char *action : {" ECHO %%P has the wrong size: copy it again", " GOTO DAMAGED"})
            text += groups(1, pieces - 1, std::string("IF NOT \"%%~zP\"==\"1000\"") + action) +
                    groups(pieces, pieces, "IF NOT \"%%~zP\"==\"" + std::to_string(row.second - 1000 * (pieces - 1)) + "\"" + action);
        text += ":REJOIN\r\nECHO Rejoining " + row.first + "\r\n" + copy + "IF NOT \"%OS%\"==\"Windows_NT\" GOTO COMPLETED\r\n" +
                "FOR %%F IN (" + row.first + ") DO IF NOT \"%%~zF\"==\"" + std::to_string(row.second) + "\" GOTO UNWRITTEN\r\n" +
                "CALL :SHA256 " + row.first + " " + Sha256Of(source) + "\r\n" + BatchTail + calls + BatchEnd;
        for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@'))
            text.replace(at, 1, row.first);
        EXPECT_EQ(ReadBytes(folder / "data.bat"), text) << row.first;
        EXPECT_EQ(ReadBytes(folder / "data.sha256"), sums + Sha256Of(source) + " *" + row.first + "\r\n") << row.first;
        names.insert(names.end(), {"data.bat", "data.sha256"});
        for (const std::string &made : names)
            DeleteFileA((folder / made).c_str());
    }
}

// The batch file under cmd, with Wine's own certutil, which prints no digest (the sizes are
// checked, the content cannot be), and with a stand-in put in its place that prints one as Windows
// 10 does and as older versions did (in capitals): a good set rebuilt and checked; a piece a byte
// short (named, status 2, nothing made); a piece with a byte changed (named, status 2, the rebuilt
// file deleted). A certutil lying beside the pieces never runs.
TEST_F(Engine, TheBatchFileRebuildsOnlyWhatMatches)
{
    const Bytes source = RandomBytes(3500000);
    ASSERT_TRUE(WriteBytes(folder / "data.zip", source) && WriteBytes(folder / "certutil.bat", "ECHO ran>ran.txt\r\n"));
    Options("B");
    Split("data.zip", 1457000);
    ASSERT_TRUE(DeleteFileA((folder / "data.zip").c_str()));
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, MAX_PATH); // a 32-bit process's lands where a 32-bit cmd looks
    const std::string certutil = system + std::string("\\certutil.exe"), wines = certutil + ".wine";
    CopyFileA(certutil.c_str(), wines.c_str(), TRUE);
    auto file = [this](bool run) { // a 64-bit Wine runs its own certutil, not the file, unless told
        RegOverridePredefKey(HKEY_CURRENT_USER, NULL);
        run ? SHSetValueA(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "certutil.exe", REG_SZ, "native", 7)
            : SHDeleteValueA(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "certutil.exe");
        RedirectRegistry();
    };
    const Bytes piece = ReadBytes(folder / "data.002");
    const std::string done = "Rejoining data.zip\r\nRejoining Completed\r\n", damaged = "data.zip was not rebuilt: a piece is damaged\r\n";
    const struct { const char *form; int damage, status; std::string said; } rows[] = {
        {nullptr, 0, 0, "Rejoining data.zip\r\nThe sizes were checked, but not the content: this Windows has no certutil that "
                        "computes SHA-256\r\nRejoining Completed\r\n"},
        {"win10", 0, 0, done}, {"spaced", 0, 0, done},
        {"win10", -1, 2, "data.002 has the wrong size: copy it again\r\n" + damaged},
        {"spaced", 1, 2, "Rejoining data.zip\r\ndata.002 is damaged: copy it again\r\n" + damaged},
    };
    for (const auto &row : rows) {
        SetEnvironmentVariableA("MORVANE_CERTUTIL", row.form);
        file(row.form != nullptr);
        ASSERT_TRUE(CopyFileA(row.form ? MORVANE_BUILD_DIR "/tests/certutil.exe" : wines.c_str(), certutil.c_str(), FALSE));
        Bytes changed = piece.substr(0, piece.size() + std::min(row.damage, 0));
        changed[1000] ^= (char)std::max(row.damage, 0);
        ASSERT_TRUE(WriteBytes(folder / "data.002", changed));
        EXPECT_EQ(::system(("cd /d \"" + folder.Path() + "\" && data.bat >said.txt").c_str()), row.status) << row.form;
        std::string said = ReadBytes(folder / "said.txt");
        EXPECT_EQ(said.substr(std::min(said.find(row.said.substr(0, 8)), said.size())), row.said) << said;
        EXPECT_EQ(ReadBytes(folder / "data.zip") == source, row.status == 0) << row.form;
        EXPECT_EQ(DeleteFileA((folder / "data.zip").c_str()) != FALSE, row.status == 0) << "made only when whole";
    }
    CopyFileA(wines.c_str(), certutil.c_str(), FALSE);
    file(false);
    EXPECT_EQ(Listing(folder.Path()).find("ran.txt"), std::string::npos) << "a certutil beside the pieces ran";
}

// CRC-32 as zip computes it, a bit at a time.
static uint32_t ZipCrc(const Bytes &bytes)
{
    uint32_t crc = 0xFFFFFFFF;
    for (unsigned char byte : bytes)
        for (int bit = 0; bit < 8; bit++, byte >>= 1)
            crc = (crc >> 1) ^ (((crc ^ byte) & 1) ? 0xEDB88320 : 0);
    return ~crc;
}

// Every way a join ends, for a piece dropped on the window (Split reads Join, and what only a split
// uses is greyed out): the file rebuilt byte for byte from Morvane's own set (checked against its
// checksum file), in the output folder, from a set as GNU split names and cuts it (data.zip.001 ...),
// from a set with a file manager's .crc record; a piece past those its record lists left alone;
// a gap, a short piece, a damaged piece, a cancel half-way, an existing file kept on No: each named,
// and nothing of the join left.
TEST_F(Engine, EveryJoinEndsWithItsFileProvenOrNothingOfIt)
{
    const Bytes source = RandomBytes(250000);
    const std::string own = "data.001 data.002 data.003 data.bat data.log data.sha256";
    char crc[16];
    snprintf(crc, sizeof crc, "%08X", ZipCrc(source));
    std::string at;
    auto error = [](const std::string &text) { return Error(text + "\nCopy it again, then join again."); };
    const struct {
        const char *what, *stem; // "data" split by Morvane itself, or pieces made here, with what follows
        std::string output, record, piece; // a record written beside the pieces; the piece dropped
        std::function<void()> change;
        std::vector<ExpectedBox> boxes;
        std::string files, status;
    } rows[] = {
        {"Morvane's own set", "", "", "", "data.001", nullptr, {}, own + " data.zip", "joined and checked"},
        {"into the output folder", "", "out", "", "data.002", nullptr, {}, own + " out/ out/data.zip", "joined and checked"},
        {"pieces made as GNU split makes them", "data.zip", "", "", "data.zip.002", nullptr, {},
         "data.zip data.zip.001 data.zip.002 data.zip.003", "joined, not checked"},
        {"a file manager's record", "data", "", "filename=data.zip\r\nsize=250000\r\ncrc32=" + std::string(crc),
         "data.001", nullptr, {}, "data.001 data.002 data.003 data.crc data.zip", "joined and checked"},
        {"a record that names itself", "data", "", "filename=DATA.crc\r\nsize=250000\r\ncrc32=" + std::string(crc), "data.001",
         nullptr, {Error("@\\DATA.crc\nis one of the pieces or their record: Morvane never writes over them.")},
         "data.001 data.002 data.003 data.crc", "DATA.crc"},
        {"a piece past those the record lists", "", "", "", "data.001", [&] { WriteBytes(at + "\\data.004", "x"); },
         {{IDOK, "data.004 was left alone: data.sha256 lists 3 pieces.", "Notice", MB_ICONWARNING}},
         "data.001 data.002 data.003 data.004 data.bat data.log data.sha256 data.zip", "joined and checked"},
        {"a gap", "data", "", "", "data.001", [&] { DeleteFileA((at + "\\data.002").c_str()); },
         {Error("data.002 is missing.\nCopy it beside the other pieces, then join again.")}, "data.001 data.003", "data"},
        {"a short piece", "data", "", "", "data.003", [&] { WriteBytes(at + "\\data.002", source.substr(100000, 99999)); },
         {Error("data.002 has 99999 bytes, but the first piece has more: 100000.\nA piece is cut short or too long: copy it "
                "again, then join again.")},
         "data.001 data.002 data.003", "data"},
        {"a last piece longer than the first", "data", "", "", "data.001", [&] { WriteBytes(at + "\\data.003", source.substr(0, 100001)); },
         {error("data.003 has 100001 bytes: the last piece holds at least 1 and at most as many as the first, 100000.")},
         "data.001 data.002 data.003", "data"},
        {"a damaged piece", "", "", "", "data.001", [&] { ByteAt(at + "\\data.002", 5000, ByteAt(at + "\\data.002", 5000) ^ 1); },
         {error("data.002 is damaged: its SHA-256 is not the one data.sha256 gives.")}, own, "data.zip"},
        {"a file of its name kept on No", "", "", "", "data.001", [&] { WriteBytes(at + "\\data.zip", "kept"); },
         {{IDNO, "@\\data.zip already exist\n\nDo you want to overwrite it?", "File Exist", MB_ICONWARNING | MB_DEFBUTTON2}},
         own + " data.zip", "data.zip"},
        {"cancelled half-way by Escape", "", "", "", "data.001", [] { CancelWhen("mvj*.tmp", PressEscape, 125000); }, {}, own,
         "join cancelled"},
        {"Exit answered No: the join goes on", "", "", "", "data.001", [] { CancelWhen("mvj*.tmp", ExitAsked, 125000); },
         {{IDNO, "A join is running. Cancel it and exit?", "Join Running", NoFirst}}, own + " data.zip", "joined and checked"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        TempFolder folder;
        at = folder.Path();
        Options("BL");
        Type(AppState.OutputPathEdit, at + "\\" + row.output);
        if (*row.stem == '\0') { // split by the program
            WriteBytes(at + "\\data.zip", source);
            Drop(at + "\\data.zip");
            Split("data.zip", 100000);
            DeleteFileA((at + "\\data.zip").c_str());
        }
        for (int k = 1; *row.stem != '\0' && k <= 3; k++)
            WriteBytes(at + "\\" + row.stem + ".00" + std::to_string(k), source.substr((k - 1) * 100000, 100000));
        if (!row.record.empty())
            WriteBytes(at + "\\data.crc", row.record);
        if (!row.output.empty())
            CreateDirectoryA((at + "\\" + row.output).c_str(), NULL);
        if (row.change)
            row.change();
        Options(row.output.empty() ? "" : "O");
        Drop(at + "\\" + row.piece);
        std::string face = Text(AppState.SplitButton);
        for (HWND control : {AppState.SplitSizeEdit, AppState.Preset144Radio, AppState.BatchFileCheck,
                             AppState.LogFileCheck, AppState.SubDirectoryCheck, AppState.UseOutputCheck})
            face += std::to_string(IsWindowEnabled(control));
        EXPECT_EQ(face, "Join000001");
        size_t first = boxes.Count();
        for (const ExpectedBox &box : row.boxes)
            boxes.Answer(box.answer, box.action);
        Command(CmdSplit);
        AtBar = nullptr;
        ExpectBoxes(boxes, first, row.boxes, at);
        EXPECT_EQ(Listing(at), row.files);
        EXPECT_EQ(Text(AppState.StatusNamePane), row.status);
        std::string rebuilt = at + "\\" + row.output + (row.output.empty() ? "" : "\\") + "data.zip";
        EXPECT_EQ(ReadBytes(rebuilt) == source, row.status.compare(0, 6, "joined") == 0) << "rebuilt byte for byte";
    }
}

// The Batch File option's tip says why it is greyed out, and nothing while it is not.
TEST_F(Engine, TheBatchFileOptionIsOnlyForNamesItCanCarryAndItsTipSaysWhy)
{
    const std::string b55 = Repeat("\xC3\xA9", 55), sign = "The batch file cannot carry the sign "; // characters, not bytes
    std::vector<std::pair<std::string, std::string>> rows = {
        {"data.zip", ""}, {"donn\xC3\xA9\x65s.zip", ""}, {b55 + ".zip", ""},
        {b55 + "n.zip", "This name is too long for the batch file's COPY lines"},
        {"setup.BAT", "The batch file would take the name of this .bat file"},
        {"da ta.zip", "The batch file cannot carry spaces in a name"},
        {"\xE2\x82\xACuro.zip", "The command prompt cannot read every character of this name from a batch file"}, // code page 850
    };
    for (char c : std::string("`!@#$%^&*()/-=+[]{}|;'\",<>?"))
        rows.push_back({std::string("da") + c + "ta.zip", sign + c + " in a name"});
    for (auto &row : rows) {
        Type(AppState.FileNameEdit, row.first);
        EXPECT_EQ(IsWindowEnabled(AppState.BatchFileCheck) != FALSE, row.second.empty()) << row.first;
        row.second += row.second.empty() ? "" : ": rename the file, or rejoin its pieces with COPY /B by hand.";
        EXPECT_EQ(TipText(AppState.BatchTooltip, AppState.MainWindow, (UINT_PTR)AppState.BatchFileCheck), row.second);
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
    Options("BL");
    const Bytes source = RandomBytes(3500000);
    ASSERT_TRUE(WriteBytes(folder / "data.zip", source));
    Split("data.zip", 1457000);
    EXPECT_EQ(ReadBytes(folder / "data.log"), "Log file for data.zip\r\nMorvane 3.2\r\n\r\n"
                                             "Original file name... data.zip\r\nOriginal path........ " + folder.Path() + "\r\n"
                                             "Original file size... 3500000 bytes\r\nSplit size........... 1457000 bytes\r\n"
                                             "Batch file........... data.bat\r\nNumber of splits..... 3\r\n\r\n" +
                                                 PieceLine(folder.Path(), 1, "data.001", 1457000) +
                                                 PieceLine(folder.Path(), 2, "data.002", 1457000) + PieceLine(folder.Path(), 3, "data.003", 586000) +
                                                 "\r\n  Total bytes split = 3500000 bytes\r\n\r\nChecksum file........ data.sha256\r\n"
                                                 "SHA-256.............. " + Sha256Of(source) + "\r\n");

    // Sources whose outputs could take their name, or typed otherwise than they are on disk: the source
    // stays, the title names it, its log has the line that tells; or a box says why no log, or why
    // Windows would refuse. A name of 255 characters is Windows' longest. Whole paths make their
    // folder the current one.
    CreateDirectoryA((folder / "sub").c_str(), NULL);
    const std::string name252(252, 'n'), name248(248, 'n'), root = "C:\\" + name248; // its checksum file's name: 255
    const struct {
        const char *options;
        std::string typed, file, log, line, link = ""; // link: another name of the source, made first
    } rows[] = {
        {"BLS", "notes.LOG", "notes.LOG", "notes\\notes.txt", "notes.004        1000 bytes"},
        {"BL", "setup.bat", "setup.bat", "setup.log", "Batch file........... None\r\n"}, // Batch File is checked
        {"BL", "my notes.txt", "my notes.txt", "my notes.log", "Batch file........... None\r\n"},
        {"BL", "my.trace.log. ", "my.trace.log", "my.trace.txt", "Original file name... my.trace.log\r\n"},
        {"BL", ".profile", ".profile", ".profile.log", ".profile.004"},
        {"BL", "sums.SHA256", "sums.SHA256", "sums.log", "Checksum file........ sums.sha256.txt\r\n"},
        {"BL", "e.log", "e.log", "",
         "No log file was written: its name\ne.txt\nopens the source file itself, which Morvane never writes over",
         "e.txt"},
        {"", name252 + ".b", name252 + ".b", "",
         "The pieces' names would be longer than the 255 characters Windows allows:\n" + name252 + ".004"},
        {"L", name252.substr(3) + ".c", name252.substr(3) + ".c", "", // its pieces' names fit
         "The checksum file's name would be longer than the 255 characters Windows allows:\n" + name252.substr(3) + ".sha256"},
        {"BL", root + ".b", root + ".b", root + ".log", " 4. " + name248 + ".004 "},
        {"BL", folder / "sub\\deep.bin", "sub\\deep.bin", "sub\\deep.log", "Original path........ " + folder / "sub\r\n"},
    };
    auto in = [&](const std::string &name) { return name.find(':') != std::string::npos ? name : folder / name; };
    Bytes notes = RandomBytes(4000);
    for (const auto &row : rows) {
        ASSERT_TRUE(WriteBytes(in(row.file), notes));
        ASSERT_TRUE(row.link.empty() || CreateHardLinkA(in(row.link).c_str(), in(row.file).c_str(), NULL));
        size_t box = boxes.Count();
        if (row.log.empty())
            boxes.Answer(IDOK);
        Options(row.options);
        Split(row.typed, 1000);
        EXPECT_TRUE(ReadBytes(in(row.file)) == notes) << row.file;
        EXPECT_EQ(Text(AppState.MainWindow), in(row.file));
        if (row.log.empty())
            EXPECT_TRUE(IsBox(boxes.Seen(box), row.line, "Error", MB_ICONERROR));
        else
            EXPECT_NE(ReadBytes(in(row.log)).find(row.line), std::string::npos) << row.log << " of " << row.typed;
    }
    for (const char *made : {".b", ".001", ".002", ".003", ".004", ".log", ".sha256"})
        DeleteFileA((root + made).c_str());
    EXPECT_EQ(Listing(folder.Path()).find(name252 + ".0"), std::string::npos);
}
