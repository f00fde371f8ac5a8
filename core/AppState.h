// The one process-wide record of the program: paths, sizes, flags, text buffers and handles.
// Every other file includes this header; there are no other long-lived objects.
#pragma once

#ifdef UNICODE
#error "Morvane is an ANSI program: build it without UNICODE"
#endif
#ifdef _UNICODE
#error "Morvane is an ANSI program: build it without _UNICODE"
#endif

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <stdint.h>

// Product name and version as they appear inside texts.
#define PRODUCT_NAME "Morvane"
#define PRODUCT_VERSION "3.2"
#define PRODUCT_TITLE "Morvane 3.2"

// Sizes of the three floppy presets, in bytes; the 1.44 MB one is also the default piece size.
enum {
    Preset288Size = 2931000,
    Preset144Size = 1457000,
    Preset720Size = 730000,
};

// The only piece counts the program produces.
enum { MinPieces = 2, MaxPieces = 999 };

// A cancel of the running split: asked for (a click), then taken by the split, which stops at
// once and takes away what it has made.
enum { NotCancelled = 0, CancelAsked = 1, CancelTaken = 2 };

// The most digits a piece size has: 2147483647, the largest, has ten.
enum { MaxSizeDigits = 10 };

// Copy buffer of the split run: 0xFFFF bytes, the largest count a 16-bit length can hold.
enum { SplitBufferSize = 65535 };

// Capacities of the text fields, terminator included. Windows counts names and paths in UTF-16
// characters; in UTF-8 (the program's code page from Windows 10 1903 on) one takes up to 3 bytes
// (a pair of two takes 4). Every field that holds a name or a path holds the file-name field's
// 260 characters, the longest path Windows allows and more, whole.
enum {
    PathCapacity = 3 * MAX_PATH + 1,
    DriveCapacity = 4,
    SuffixCapacity = 5,                  // ".001" ... ".999"
    MessageCapacity = 3 * PathCapacity,  // two whole paths and the words around them
};

// The most characters (UTF-16, as Windows counts them) the file-name field takes, and a folder
// the program works in: the output-path field, the start folder and the current one.
enum { FileNameLimit = 260, FolderLimit = 256 };

struct AppStateRecord {
    char StartDirectory[PathCapacity];   // working directory at start-up; the help file is looked for here after the program's folder
    char CurrentDirectory[PathCapacity]; // the source file's folder; the working directory while idle
    char OutputDirectory[PathCapacity];  // where pieces go while Use Output is checked
    char SourcePath[PathCapacity];      // full path of the last dropped or opened file
    char FileName[PathCapacity];        // text of the file-name field, relative to the working directory
    char Drive[DriveCapacity];          // "C:" or empty, from the last parsed path
    char DirPart[PathCapacity];         // folder of the last parsed path, with its trailing separator
    char BaseName[PathCapacity];        // name without extension: stem of pieces, batch, log, sub-folder
    char Extension[PathCapacity];       // ".zip", or empty when the name has no dot
    char PieceSuffix[SuffixCapacity];   // ".001" ... ".999"
    char PieceName[PathCapacity];       // BaseName + PieceSuffix
    char BatchName[PathCapacity];       // BaseName + ".bat"
    char LogName[PathCapacity];         // BaseName + ".log" (".txt" for a source that is itself a log)
    char ChecksumName[PathCapacity];    // BaseName + ".sha256" (".sha256.txt" for a source that is itself one)
    char MessageText[MessageCapacity];  // scratch for message texts, field texts and the title

    int32_t SplitSize;    // bytes per piece, 1 ... 2147483647 when valid
    int64_t FileSize;     // source size as last measured: files of any size, pieces of at most 2 GiB - 1
    int64_t PieceCount;   // pieces for FileSize and SplitSize; 0 when SplitSize is below 1
    int16_t OnTop;        // 1 while the main window is topmost
    int16_t JoinSelected; // 1 while FileName is a piece of a set to join: the Split button reads Join
    int16_t RunCancelled; // of the running or last split or join: CancelAsked, then CancelTaken once it stopped for it
    int32_t OutputToggle; // 1 while Use Output is checked; drives the output-path controls

    HWND MainWindow;
    UINT Dpi;              // dots per inch the window is laid out for: 96 at 100 %, 144 at 150 %
    HINSTANCE AppInstance; // read from the main window when it is created

    HWND FileNameLabel, PinButton, PinTooltip, FileNameEdit, OpenButton, OpenTooltip;
    HWND OutputPathLabel, OutputPathEdit, BrowseButton, BrowseTooltip;
    HWND SplitSizeGroup, SplitSizeEdit, Preset288Radio, Preset144Radio, Preset720Radio;
    HWND OptionsGroup, BatchFileCheck, BatchTooltip, LogFileCheck, UseOutputCheck, SubDirectoryCheck;
    HWND SplitButton, HelpButton, AboutButton, ExitButton, ProgressBar;
    HWND StatusNamePane, StatusSizePane, StatusPiecesPane;

    HFONT NormalFont, BoldFont;
    HICON OpenIcon, PinOffIcon, PinOnIcon;
    HCURSOR WaitCursor;
    HBITMAP LogoBitmap, BadgeMaskBitmap, BadgeBitmap;

    HMENU TrayMenu;
    NOTIFYICONDATAA TrayIconData; // registered in its first form (88 bytes in the 32-bit build)
    POINT TrayCursorPos;          // where the tray menu was opened
    TOOLINFOA ToolInfo;           // the one tooltip record, refilled before every use
};

extern AppStateRecord AppState;

// Splits a path into Drive, DirPart, BaseName and Extension of AppState (cleared first).
// Looks at no more than what a field holds; '\' and '/' both separate folders. A name that
// is only an extension (.profile) keeps it as its base name.
void ParsePath(const char *path);

// Drops the trailing spaces and dots of a name, as Windows does when it opens one: "data.log "
// and "data.log." name data.log.
void TrimAsWindowsDoes(char *name);

// Pieces for a file of fileSize bytes at splitSize bytes each: the quotient, plus one for a
// remainder; 0 when splitSize is below 1.
int64_t CountPieces(int64_t fileSize, int32_t splitSize);

// Sets PieceSuffix to ".nnn" for the 1-based piece number and PieceName to BaseName + PieceSuffix.
void ComposePieceName(int number);

// Copies at most capacity - 1 bytes of a NUL-terminated text and always terminates; a text cut
// short ends between two characters.
void CopyText(char *dest, size_t capacity, const char *src);

// Where a text cut to at most n bytes must end so that it ends between two characters: n, or
// less when byte n is inside a character of UTF-8, the program's code page under its manifest.
size_t CharacterEnd(const char *text, size_t n);

// The length of a text in UTF-16 characters, as Windows counts names and paths: the program's
// texts are in its code page (UTF-8 from Windows 10 1903 on), where bytes are no measure.
size_t WideLength(const char *text);
